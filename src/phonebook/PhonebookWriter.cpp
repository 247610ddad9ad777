#include "phonebook/PhonebookWriter.h"

#include "app/Errors.h"
#include "app/LanguageFile.h"
#include "app/OperationHost.h"
#include "app/PcText.h"
#include "link/CommandExchange.h"
#include "link/GsmText.h"
#include "phonebook/EntryParser.h"
#include "phonebook/LostLink.h"

namespace q7 {

namespace {

constexpr QByteArrayView kPlaceholderName = "HilfsDummy";
constexpr QByteArrayView kFindPlaceholder = "at+cpbf=\"HilfsDummy\"\r\n";
// The handset's answer to a read of a location that the reset left in
// command mode; such a location holds nothing to delete.
constexpr QByteArrayView kBareOk = "AT\r\nOK";

QByteArray command(const char* prefix, int number, const char* suffix = "\r\n")
{
    return QByteArray(prefix) + QByteArray::number(number) + suffix;
}

QByteArray placeholderWrite(std::optional<int> location)
{
    const QByteArray index = location ? QByteArray::number(*location) : QByteArray();
    return "at+cpbw=" + index + ",\"123456\",129,\"HilfsDummy\"\r\n";
}

class Writer
{
public:
    Writer(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
           RecordStore& store)
        : m_exchange(exchange), m_host(host), m_store(store),
          m_lostLink(texts.text(TextId::Datenlesen_keinedaten)),
          m_writingText(texts.text(TextId::Statusleiste_Schreiben)),
          m_deletingText(texts.text(TextId::Statusleiste_Loeschen))
    {
    }

    Reply ask(QByteArrayView command, int firstByteMs = kFirstByteTimeoutMs)
    {
        return exchangeAnswered(m_exchange, command, m_host, m_lostLink, firstByteMs);
    }

    void handle(int record)
    {
        const std::optional<int> location = recordLocation(m_store, record);
        if (m_store.isMarkedForDeletion(record))
            deleteEntry(record, location);
        else
            writeEntry(record, location);
    }

    TransferResult result;

private:
    void deleteEntry(int record, std::optional<int> location)
    {
        if (!location) {
            result.failedRecords << record;
            return;
        }
        const Reply probe = ask(command("at-scer=", *location));
        if (!probe.isOk()) {
            // The handset holds nothing there: the deletion is done.
            m_store.clearEntry(record);
            return;
        }
        if (probe.text.contains(kBareOk))
            return;
        m_host.showStatus(m_deletingText + u' ' + QString::number(record));
        if (ask(command("at-sced=", *location)).isOk())
            m_store.clearEntry(record);
        else
            result.failedRecords << record;
    }

    void writeEntry(int record, std::optional<int> location)
    {
        m_host.showStatus(m_writingText + u' ' + QString::number(record));
        if (!location) {
            result.failedRecords << record;
            return;
        }
        ask("atz\r\n");
        const Reply probe = ask(command("at-scer=", *location));
        if (probe.isError() && isMemoryRecord(record))
            location = placeEntry(record, *location);

        const bool written = ask(writeCommand(m_store, record, *location)).isOk();
        removeLeftoverPlaceholder(record);
        if (!written)
            result.failedRecords << record;
    }

    // An empty handset-memory location takes no extended write: the handset
    // needs an entry there first. The placeholder goes to the record's own
    // location; only when the handset refuses that does it choose one, and
    // the record then remembers where its entry went.
    int placeEntry(int record, int location)
    {
        ask("at+cpbs=\"ME\"\r\n");
        if (ask(placeholderWrite(location)).isOk())
            return location;
        ask(placeholderWrite(std::nullopt));
        const int chosen = locationInFindReply(ask(kFindPlaceholder).text);
        m_store.setField(record, Speicherplatz, QByteArray::number(chosen));
        return chosen;
    }

    void removeLeftoverPlaceholder(int record)
    {
        const Reply found = ask(kFindPlaceholder, 5000);
        if (!found.text.contains("+CPBF:"))
            return;
        const int leftover = locationInFindReply(found.text);
        if (isMemoryRecord(record))
            ask(command("at-sced=", leftover));
        else
            ask(command("at+cpbw=", leftover, ",\r\n"));
    }

    CommandExchange& m_exchange;
    OperationHost& m_host;
    RecordStore& m_store;
    const QString m_lostLink;
    const QString m_writingText;
    const QString m_deletingText;
};

} // namespace

int locationInFindReply(const QByteArray& findReply)
{
    const qsizetype colon = findReply.indexOf(':');
    const qsizetype comma = findReply.indexOf(',', colon + 1);
    const QByteArray text = findReply.mid(colon + 1, comma < 0 ? -1 : comma - colon - 1);
    bool ok = false;
    const int location = text.trimmed().toInt(&ok);
    if (colon < 0 || !ok || text.startsWith('+') || text.startsWith('-'))
        throw EConvertError(decodePc(text));
    return location;
}

std::optional<int> recordLocation(const RecordStore& store, int record)
{
    const std::optional<int> location = readInteger(store.field(record, Speicherplatz));
    if (!location)
        return std::nullopt;
    const bool fits = isMemoryRecord(record) ? isMemoryRecord(*location) : isSimRecord(*location);
    return fits ? location : std::nullopt;
}

QByteArray writeCommand(const RecordStore& store, int record, int location)
{
    QByteArray line = "AT-SCEW=" + QByteArray::number(location) + ',';
    for (int k = Name; k <= kEntryValueCount; ++k) {
        const QByteArray value = store.field(record, k);
        if (!value.isEmpty())
            line += '"' + (k == Gruppe ? value : pcToHandset(value)) + '"';
        if (k < kEntryValueCount)
            line += ',';
    }
    return line + "\r\n";
}

QString failureSummary(const TransferResult& result)
{
    QStringList records;
    for (int record : result.failedRecords)
        records << QString::number(record);
    const qsizetype count = result.failedRecords.size();
    return QStringLiteral("%1 %2 nicht übertragen: %3")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("Datensatz wurde") : QStringLiteral("Datensätze wurden"))
        .arg(records.join(QStringLiteral(", ")));
}

TransferResult writePhonebook(CommandExchange& exchange, const LanguageFile& texts,
                              OperationHost& host, RecordStore& store, bool onlyChanged)
{
    Writer writer(exchange, texts, host, store);
    writer.ask("atz\r\n");
    host.setProgress(0);
    for (int record = 1; record <= kRecordCount; ++record) {
        host.setProgress(record);
        if (onlyChanged && !store.isChanged(record))
            continue;
        if (!store.holdsEntry(record))
            continue;
        writer.handle(record);
    }
    host.setProgress(0);
    host.showStatus(writer.result.succeeded() ? texts.text(TextId::Statusleiste_Ruhezustand)
                                              : failureSummary(writer.result));
    return writer.result;
}

TransferResult EraseHandset(CommandExchange& exchange, const LanguageFile& texts,
                            OperationHost& host)
{
    TransferResult result;
    const QString lostLink = texts.text(TextId::Datenlesen_keinedaten);
    const auto ask = [&](QByteArrayView command) {
        return exchangeAnswered(exchange, command, host, lostLink);
    };
    for (int location = 1; location <= kRecordCount; ++location) {
        host.showStatus(QStringLiteral("Löschen von Datensatz %1").arg(location));
        const Reply probe = ask(command("at-scer=", location));
        if (!probe.isOk() || probe.text.contains(kBareOk))
            continue;
        if (!ask(command("at-sced=", location)).isOk())
            result.failedRecords << location;
        ask("atz\r\n");
    }
    host.showStatus(result.succeeded() ? QStringLiteral("Löschen abgeschlossen.")
                                       : failureSummary(result));
    return result;
}

} // namespace q7
