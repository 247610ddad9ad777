#include "phonebook/PhonebookWriter.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "link/CommandExchange.h"
#include "link/GsmText.h"
#include "phonebook/EntryParser.h"
#include "phonebook/LostLink.h"

#include <QSet>

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
           RecordStore& store, TransferResult& result)
        : m_exchange(exchange), m_host(host), m_store(store), m_result(result),
          m_lostLink(texts.text(TextId::Datenlesen_keinedaten)),
          m_writingText(texts.text(TextId::Statusleiste_Schreiben)),
          m_deletingText(texts.text(TextId::Statusleiste_Loeschen))
    {}

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

private:
    void deleteEntry(int record, std::optional<int> location)
    {
        if (!location) {
            m_result.failedRecords << record;
            return;
        }
        if (isMemoryRecord(record) && holdsAnothersEntry(record, *location)) {
            m_store.clearEntry(record);
            ++m_result.deleted;
            return;
        }
        const Reply probe = ask(command("at-scer=", *location));
        if (!probe.isOk() || probe.text.contains(kBareOk)) {
            // The handset holds nothing there: the deletion is done.
            m_store.clearEntry(record);
            ++m_result.deleted;
            return;
        }
        m_host.showStatus(m_deletingText + u' ' + QString::number(record));
        if (ask(command("at-sced=", *location)).isOk()) {
            m_store.clearEntry(record);
            ++m_result.deleted;
        } else
            m_result.failedRecords << record;
    }

    void writeEntry(int record, std::optional<int> location)
    {
        m_host.showStatus(m_writingText + u' ' + QString::number(record));
        if (!location) {
            m_result.failedRecords << record;
            return;
        }
        ask("atz\r\n");
        const Reply probe = ask(command("at-scer=", *location));
        int target = *location;
        if (isMemoryRecord(record) && claimedByAnother(record, *location))
            target = placeEntry(std::nullopt);
        else if (isMemoryRecord(record) && probe.isError())
            target = placeEntry(*location);

        const bool written = ask(writeCommand(m_store, record, target)).isOk();
        // The record remembers where its entry went only once the handset
        // holds it there: a refused write leaves no entry at the chosen
        // location (its placeholder goes next), and pointing the record at
        // it would make a later write overwrite whatever lands there.
        if (written && target != *location)
            m_store.setField(record, Speicherplatz, QByteArray::number(target));
        removeLeftoverPlaceholder(record);
        if (written) {
            ++m_result.written;
            m_writtenHere.insert(target);
        } else
            m_result.failedRecords << record;
    }

    // An empty handset-memory location takes no extended write: the handset
    // needs an entry there first. The placeholder goes to the record's own
    // location when it has one; only when the handset refuses that does it
    // choose one.
    int placeEntry(std::optional<int> location)
    {
        ask("at+cpbs=\"ME\"\r\n");
        if (location && ask(placeholderWrite(location)).isOk())
            return *location;
        ask(placeholderWrite(std::nullopt));
        return locationInFindReply(ask(kFindPlaceholder).text);
    }

    // A record the handset placed away from its own index leaves that index
    // free in the store, and a new entry made there names the same location.
    // Writing the new entry there would overwrite the placed one: a record to
    // write whose location another live record names takes a location of its
    // own. An entry marked for deletion claims nothing: writing over it is
    // as good as deleting it.
    bool claimedByAnother(int record, int location) const
    {
        for (int other = 1; other <= kLastMemoryRecord; ++other)
            if (other != record && m_store.isLive(other) &&
                recordLocation(m_store, other) == location)
                return true;
        return false;
    }

    // The same the other way round: the location of a record to delete may
    // hold another record's entry, one this run wrote there or one the
    // handset placed there earlier. Deleting there would remove it.
    bool holdsAnothersEntry(int record, int location) const
    {
        if (m_writtenHere.contains(location))
            return true;
        for (int other = 1; other <= kLastMemoryRecord; ++other)
            if (other != record && other != location && m_store.isLive(other) &&
                recordLocation(m_store, other) == location)
                return true;
        return false;
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
    TransferResult& m_result;
    const QString m_lostLink;
    const QString m_writingText;
    const QString m_deletingText;
    QSet<int> m_writtenHere; // locations this run wrote a live record's entry to
};

} // namespace

int locationInFindReply(const QByteArray& findReply)
{
    const qsizetype colon = findReply.indexOf(':');
    // Without a colon ("ERROR", or an echo and "OK") the whole reply stands
    // where the number should be; on one line it reads in the error box.
    if (colon < 0)
        throw EConvertError(decodePc(findReply).simplified());
    const qsizetype comma = findReply.indexOf(',', colon + 1);
    const QByteArray text = findReply.mid(colon + 1, comma < 0 ? -1 : comma - colon - 1);
    bool ok = false;
    const int location = text.trimmed().toInt(&ok);
    if (!ok || text.startsWith('+') || text.startsWith('-'))
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
    QStringList numbers;
    for (int number : result.failedRecords)
        numbers << QString::number(number);
    const bool one = result.failedRecords.size() == 1;
    const QString what = result.operation == TransferResult::Operation::Write
                             ? (one ? QStringLiteral("Datensatz wurde nicht übertragen")
                                    : QStringLiteral("Datensätze wurden nicht übertragen"))
                             : (one ? QStringLiteral("Speicherplatz wurde nicht gelöscht")
                                    : QStringLiteral("Speicherplätze wurden nicht gelöscht"));
    return QStringLiteral("%1 %2: %3")
        .arg(result.failedRecords.size())
        .arg(what, numbers.join(QStringLiteral(", ")));
}

void writePhonebook(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                    RecordStore& store, bool onlyChanged, TransferResult& result)
{
    Writer writer(exchange, texts, host, store, result);
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
    host.showStatus(result.succeeded() ? texts.text(TextId::Statusleiste_Ruhezustand)
                                       : failureSummary(result));
}

void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  TransferResult& result)
{
    const QString lostLink = texts.text(TextId::Datenlesen_keinedaten);
    const auto ask = [&](QByteArrayView command) {
        return exchangeAnswered(exchange, command, host, lostLink);
    };
    for (int location = 1; location <= kRecordCount; ++location) {
        host.showStatus(QStringLiteral("Löschen von Datensatz %1").arg(location));
        const Reply probe = ask(command("at-scer=", location));
        if (!probe.isOk() || probe.text.contains(kBareOk))
            continue;
        if (ask(command("at-sced=", location)).isOk())
            ++result.deleted;
        else
            result.failedRecords << location;
        ask("atz\r\n");
    }
    host.showStatus(result.succeeded() ? QStringLiteral("Löschen abgeschlossen.")
                                       : failureSummary(result));
}

} // namespace q7
