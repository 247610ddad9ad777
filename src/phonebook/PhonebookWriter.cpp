// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/PhonebookWriter.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "link/CommandExchange.h"
#include "link/GsmText.h"
#include "phonebook/EntryParser.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/RetryingExchange.h"

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
           RecordStore& store, HandsetImage& image, bool verify, TransferResult& result)
        : m_exchange(exchange), m_host(host), m_store(store), m_image(image), m_result(result),
          m_noRoomText(texts.text(TextId::Schreiben_KeinPlatz)),
          m_noSimRoomText(texts.text(TextId::Schreiben_KeinSimPlatz)),
          m_lostLink(texts.text(TextId::Datenlesen_keinedaten)),
          m_writingText(texts.text(TextId::Statusleiste_Schreiben)),
          m_deletingText(texts.text(TextId::Statusleiste_Loeschen)), m_verify(verify)
    {}

    Reply ask(QByteArrayView command, int firstByteMs = kFirstByteTimeoutMs)
    {
        return exchangeAnswered(m_exchange, command, m_host, m_lostLink, firstByteMs);
    }

    void handle(const PlanItem& item)
    {
        if (item.kind == PlanItem::Kind::Unchanged)
            return;
        if (item.kind != PlanItem::Kind::Deleted) {
            writeEntry(item.record, recordLocation(m_store, item.record));
            return;
        }
        if (item.record == 0) {
            deleteUnnamed(item.location);
            return;
        }
        if (!item.onHandset) {
            // The handset as last seen lacks it: only the store still holds it.
            m_store.clearEntry(item.record);
            return;
        }
        deleteEntry(item.record, recordLocation(m_store, item.record));
    }

    // A placeholder an earlier, interrupted write left behind.
    void removeLeftoverPlaceholder()
    {
        ask("at+cpbs=\"ME\"\r\n");
        removePlaceholder();
    }

    // Reads back each entry this run wrote, one location read each. What
    // reads back as it was sent is no longer a change of the window's.
    void verifyWritten()
    {
        for (const auto& [record, location] : std::as_const(m_writtenEntries)) {
            const Reply reply = ask(command("at-scer=", location));
            if (!readInto(m_readBack, location, reply)) {
                m_result.differences << TransferResult::Difference{record, location, {}};
                m_image.clearEntry(location);
                continue;
            }
            const QList<int> fields = differingFields(m_store, record, m_readBack, location);
            if (fields.isEmpty()) {
                m_store.setField(record, ChangedFlag, kChangedNo);
                continue;
            }
            m_result.differences << TransferResult::Difference{record, location, fields};
            m_image.setEntry(location, m_readBack, location);
        }
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
        if (deleteAt(*location, record))
            m_store.clearEntry(record);
        else
            m_result.failedRecords << record;
    }

    // An entry of the handset that no record of the window names.
    void deleteUnnamed(int location)
    {
        if (m_writtenHere.contains(location))
            return;
        if (!deleteAt(location, location))
            m_result.failedRecords << location;
    }

    bool deleteAt(int location, int shownNumber)
    {
        const Reply probe = ask(command("at-scer=", location));
        if (!probe.isOk() || probe.text.contains(kBareOk)) {
            // The handset holds nothing there: the deletion is done.
            m_image.clearEntry(location);
            ++m_result.deleted;
            return true;
        }
        m_host.showStatus(m_deletingText + u' ' + QString::number(shownNumber));
        if (!ask(command("at-sced=", location)).isOk())
            return false;
        m_image.clearEntry(location);
        ++m_result.deleted;
        return true;
    }

    void writeEntry(int record, std::optional<int> location)
    {
        m_host.showStatus(m_writingText + u' ' + QString::number(record));
        if (!location) {
            m_result.failedRecords << record;
            return;
        }
        ask("atz\r\n");
        m_move.reset();
        Placement place = placementOf(record, *location);
        bool written = place.target && ask(writeCommand(m_store, record, *place.target)).isOk();
        if (!written && place.target && !place.probed) {
            // The handset refused a location it held an entry at when last
            // seen: it may have been emptied on the keypad since. An empty
            // one goes the way of a location not known; where an entry is,
            // the refusal stands.
            const Reply probe = ask(command("at-scer=", *location));
            if (readInto(m_readBack, *location, probe)) {
                m_image.setEntry(*location, m_readBack, *location);
            } else {
                m_image.clearEntry(*location);
                place = placementInEmpty(record, *location, probe);
                written = place.target && ask(writeCommand(m_store, record, *place.target)).isOk();
            }
        }
        // Only a record that made a placeholder can have left one.
        if (place.placeholder)
            removePlaceholder();
        if (!place.target) {
            noRoom(record);
            return;
        }
        if (!written) {
            m_result.failedRecords << record;
            return;
        }
        confirmWritten(record, *location, *place.target);
    }

    // Where a record's entry goes, and what finding it out took.
    struct Placement
    {
        std::optional<int> target; // none: no free location left
        bool probed = false;       // the location was read in this run just now
        bool placeholder = false;  // a placeholder may be left on the handset
    };

    Placement placementOf(int record, int location)
    {
        // A record the handset placed away from its own index leaves that
        // index free in the store, and a new entry made there names the same
        // location: it takes a location of its own.
        if (isMemoryRecord(record) && claimedByAnother(record, location))
            return {placeEntry(std::nullopt), true, true};
        // The window knows the entry there, from the read or from this
        // run: written over as it stands, with no read before.
        if (m_image.holdsEntry(location) || m_writtenHere.contains(location))
            return {location, false, false};
        return placementAfterReading(record, location);
    }

    // An empty handset-memory location takes no extended write: the handset
    // needs an entry there first. An entry there that the window never saw
    // stays: the record goes to a free location instead.
    Placement placementAfterReading(int record, int location)
    {
        const Reply probe = ask(command("at-scer=", location));
        if (!readInto(m_readBack, location, probe)) {
            m_image.clearEntry(location);
            return placementInEmpty(record, location, probe);
        }
        if (windowKnows(record, m_readBack, location))
            return {location, true, false};
        m_image.setEntry(location, m_readBack, location);
        const QByteArray kept = m_readBack.field(location, Name);
        Placement place;
        place.probed = true;
        if (isMemoryRecord(record)) {
            place.target = placeEntry(std::nullopt);
            place.placeholder = true;
        } else {
            place.target = freeSimPosition(record);
        }
        if (place.target)
            m_move = TransferResult::Move{record, location, *place.target, kept};
        return place;
    }

    Placement placementInEmpty(int record, int location, const Reply& probe)
    {
        if (isMemoryRecord(record) && probe.isError())
            return {placeEntry(location), true, true};
        return {location, true, false};
    }

    // Whether the window knows the entry the handset holds where it was not
    // known to be: the record's own, by its name as the handset stores it
    // (a file loaded into a window that never read the handset names the
    // entries it holds), or the entry of another record that names the
    // location, one marked for deletion (writing over it is as good as
    // deleting it).
    bool windowKnows(int record, const RecordStore& found, int location) const
    {
        if (pcToHandset(found.field(location, Name)) == pcToHandset(m_store.field(record, Name)))
            return true;
        for (int other = 1; other <= kRecordCount; ++other)
            if (other != record && m_store.holdsEntry(other) &&
                recordLocation(m_store, other) == location)
                return true;
        return false;
    }

    // The first SIM position the trees show, past the First Nine, that the
    // handset lists as free and that no record of the window holds or names.
    std::optional<int> freeSimPosition(int record)
    {
        ask("at+cpbs=\"SM\"\r\n");
        const int first = kLastFirstNineRecord + 1 - kLastMemoryRecord;
        const int last = kLastShownRecord - kLastMemoryRecord;
        const Reply listing =
            ask("at+cpbr=" + QByteArray::number(first) + ',' + QByteArray::number(last) + "\r\n");
        // Without a listing nothing is known to be free.
        if (!listing.isOk())
            return std::nullopt;
        const QSet<int> used = listedLocations(listing.text);
        for (int position = kLastFirstNineRecord + 1; position <= kLastShownRecord; ++position) {
            if (used.contains(position - kLastMemoryRecord) || m_store.holdsEntry(position) ||
                m_writtenHere.contains(position) || m_image.holdsEntry(position) ||
                claimedByAnother(record, position))
                continue;
            return position;
        }
        return std::nullopt;
    }

    void noRoom(int record)
    {
        // The handset has no free location: this one is named, the others go on.
        const bool memory = isMemoryRecord(record);
        m_host.showStatus(
            (memory ? m_noRoomText : m_noSimRoomText).arg(decodePc(m_store.field(record, Name))));
        m_result.failedRecords << record;
        (memory ? m_result.noRoom : m_result.noSimRoom) << record;
    }

    // The record remembers where its entry went only once the handset holds
    // it there: a refused write leaves no entry at the chosen location (its
    // placeholder goes), and pointing the record at it would make a later
    // write overwrite whatever lands there.
    void confirmWritten(int record, int location, int target)
    {
        if (target != location) {
            if (isMemoryRecord(record)) {
                m_store.setField(record, Speicherplatz, QByteArray::number(target));
            } else {
                // A SIM record is its position: it moves there in the store.
                m_store.setRawRecord(target, m_store.rawRecord(record));
                m_store.setField(target, Speicherplatz, QByteArray::number(target));
                m_store.clearEntry(record);
                record = target;
            }
        }
        if (m_move) {
            m_move->record = record;
            m_result.moved << *m_move;
        }
        ++m_result.written;
        m_writtenHere.insert(target);
        m_writtenEntries.append({record, target});
        m_image.setEntry(target, m_store, record);
        // Without the check the handset's OK is all there is to go by.
        if (!m_verify)
            m_store.setField(record, ChangedFlag, kChangedNo);
    }

    // What a location read found there, put into the store's record of the
    // location; false when the handset holds nothing there.
    static bool readInto(RecordStore& store, int location, const Reply& reply)
    {
        store.clearEntry(location);
        if (reply.isOk() && !reply.text.contains(kBareOk))
            parseEntryLine(store, location, reply.text);
        return store.holdsEntry(location);
    }

    // The placeholder goes to the record's own location when it has one;
    // only when the handset refuses that does it choose one. None when the
    // handset has no free location left.
    std::optional<int> placeEntry(std::optional<int> location)
    {
        ask("at+cpbs=\"ME\"\r\n");
        if (location && ask(placeholderWrite(location)).isOk())
            return *location;
        if (!ask(placeholderWrite(std::nullopt)).isOk())
            return std::nullopt;
        const Reply found = ask(kFindPlaceholder);
        if (!found.text.contains("+CPBF:"))
            return std::nullopt;
        return locationInFindReply(found.text);
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

    // The placeholder lives in the handset memory, which placeEntry selected.
    void removePlaceholder()
    {
        const Reply found = ask(kFindPlaceholder, 5000);
        if (!found.text.contains("+CPBF:"))
            return;
        ask(command("at-sced=", locationInFindReply(found.text)));
    }

    CommandExchange& m_exchange;
    OperationHost& m_host;
    RecordStore& m_store;
    HandsetImage& m_image;
    TransferResult& m_result;
    const QString m_noRoomText;
    const QString m_noSimRoomText;
    const QString m_lostLink;
    const QString m_writingText;
    const QString m_deletingText;
    const bool m_verify;
    RecordStore m_readBack; // what the last location read found, at its location
    std::optional<TransferResult::Move> m_move; // of the record at hand, until confirmed
    QSet<int> m_writtenHere;                    // locations this run wrote a live record's entry to
    QList<std::pair<int, int>> m_writtenEntries; // record and location, in the order written
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

QString failureSummary(const TransferResult& result, const LanguageFile& texts)
{
    QStringList numbers;
    for (int number : result.failedRecords)
        numbers << QString::number(number);
    const bool one = result.failedRecords.size() == 1;
    const TextId what =
        result.operation == TransferResult::Operation::Write
            ? (one ? TextId::Schreiben_NichtUebertragenEiner : TextId::Schreiben_NichtUebertragen)
            : (one ? TextId::Schreiben_NichtGeloeschtEiner : TextId::Schreiben_NichtGeloescht);
    return texts.text(what)
        .arg(result.failedRecords.size())
        .arg(numbers.join(QStringLiteral(", ")));
}

void writePlanned(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  RecordStore& store, HandsetImage& image, const WritePlan& plan, bool verify,
                  TransferResult& result)
{
    Writer writer(exchange, texts, host, store, image, verify, result);
    writer.ask("atz\r\n");
    writer.removeLeftoverPlaceholder();
    host.setProgress(0);
    for (const PlanItem& item : plan.items)
        result.toHandle += item.kind == PlanItem::Kind::Unchanged ? 0 : 1;
    for (const PlanItem& item : plan.items) {
        if (item.kind == PlanItem::Kind::Unchanged)
            continue;
        if (host.stopRequested()) {
            result.stopped = true;
            break;
        }
        host.setProgress(item.record != 0 ? item.record : item.location);
        writer.handle(item);
        ++result.handled;
    }
    if (verify)
        writer.verifyWritten();
    host.setProgress(0);
    host.showStatus(result.succeeded() ? texts.text(TextId::Statusleiste_Ruhezustand)
                                       : transferReport(store, result, texts).join(u' '));
}

void writePhonebook(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                    RecordStore& store, bool onlyChanged, TransferResult& result)
{
    // Without a read nothing is known of the handset: what this write
    // learns is not kept.
    HandsetImage unknown;
    writePlanned(exchange, texts, host, store, unknown, planByFlags(store, onlyChanged), false,
                 result);
}

void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  TransferResult& result)
{
    HandsetImage unknown;
    EraseHandset(exchange, texts, host, unknown, result);
}

void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  HandsetImage& image, TransferResult& result)
{
    const QString lostLink = texts.text(TextId::Datenlesen_keinedaten);
    const QString deletingText = texts.text(TextId::Statusleiste_Loeschen);
    const auto ask = [&](QByteArrayView command) {
        return exchangeAnswered(exchange, command, host, lostLink);
    };
    result.toHandle = kRecordCount;
    for (int location = 1; location <= kRecordCount; ++location) {
        if (host.stopRequested()) {
            result.stopped = true;
            break;
        }
        host.showStatus(deletingText + u' ' + QString::number(location));
        const Reply probe = ask(command("at-scer=", location));
        ++result.handled;
        if (!probe.isOk() || probe.text.contains(kBareOk)) {
            image.clearEntry(location);
            continue;
        }
        if (ask(command("at-sced=", location)).isOk()) {
            ++result.deleted;
            image.clearEntry(location);
        } else
            result.failedRecords << location;
        ask("atz\r\n");
    }
    // Every location was looked at: what the handset holds is known now,
    // also when it was not before.
    if (!image.isKnown() && result.handled == kRecordCount && result.failedRecords.isEmpty())
        image.setEmpty();
    host.showStatus(result.succeeded() ? texts.text(TextId::Statusleiste_Loeschenfertig)
                                       : transferReport(RecordStore(), result, texts).join(u' '));
}

QStringList transferReport(const RecordStore& store, const TransferResult& result,
                           const LanguageFile& texts)
{
    QStringList lines;
    if (result.stopped)
        lines << texts.text(TextId::Schreiben_Angehalten).arg(result.handled).arg(result.toHandle);
    const auto namesOf = [&](const QList<int>& records) {
        QStringList names;
        for (int record : records)
            names << QStringLiteral("%1 (%2)").arg(decodePc(store.field(record, Name))).arg(record);
        return names.join(QStringLiteral(", "));
    };
    if (!result.noRoom.isEmpty())
        lines << texts.text(TextId::Schreiben_NichtGeschrieben).arg(namesOf(result.noRoom));
    if (!result.noSimRoom.isEmpty())
        lines << texts.text(TextId::Schreiben_KeinSimPlatz).arg(namesOf(result.noSimRoom));
    for (const TransferResult::Move& move : result.moved)
        lines << texts.text(TextId::Schreiben_Verschoben)
                     .arg(decodePc(store.field(move.record, Name)), QString::number(move.to),
                          QString::number(move.from), decodePc(move.keptName));
    if (!result.failedRecords.isEmpty())
        lines << failureSummary(result, texts);
    for (const TransferResult::Difference& difference : result.differences) {
        const QString name = decodePc(store.field(difference.record, Name));
        if (difference.fields.isEmpty()) {
            lines << texts.text(TextId::Schreiben_Fehlt).arg(name).arg(difference.location);
            continue;
        }
        QStringList fields;
        for (int field : difference.fields)
            fields << fieldName(field, texts);
        lines << texts.text(TextId::Schreiben_Abweichung)
                     .arg(name)
                     .arg(difference.location)
                     .arg(fields.join(QStringLiteral(", ")));
    }
    return lines;
}

} // namespace q7
