// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/PhonebookReader.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/CommandExchange.h"
#include "phonebook/EntryParser.h"
#include "phonebook/RetryingExchange.h"

namespace q7 {

namespace {

constexpr QByteArrayView kListingPrefix = "+CPBR: ";
constexpr int kDefaultSimRangeEnd = 200;
constexpr int kStaleRepliesPerQuestion = 3;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArray command(const char* prefix, int number)
{
    return QByteArray(prefix) + QByteArray::number(number) + "\r\n";
}

// Whether an extended-entry reply holds the entry of another location than
// the one asked for: its line names "SCER" before the first ':' and another
// location right after it.
bool namesOtherLocation(QByteArrayView reply, int location)
{
    const qsizetype colon = reply.indexOf(':');
    if (colon < 4 || reply.sliced(colon - 4, 4).toByteArray().toUpper() != "SCER")
        return false;
    const QByteArrayView rest = reply.sliced(colon + 1);
    const qsizetype comma = rest.indexOf(',');
    bool ok = false;
    const int named =
        rest.first(comma < 0 ? rest.size() : comma).toByteArray().trimmed().toInt(&ok);
    return ok && named != location;
}

class Reader
{
public:
    Reader(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host)
        : m_exchange(exchange), m_host(host), m_lostLink(texts.text(TextId::Datenlesen_keinedaten)),
          m_readingText(texts.text(TextId::Statusleiste_Lesen))
    {}

    // A selection or listing that ends with an error result counts as an
    // empty memory; one that gets no answer is a lost link.
    Reply ask(QByteArrayView command)
    {
        return exchangeAnswered(m_exchange, command, m_host, m_lostLink);
    }

    // Reads the listed records first..last; position offset maps a record to
    // the number the listing gives it (SIM position = record - 500).
    void readListed(RecordStore& store, const QSet<int>& listed, int first, int last,
                    int positionOffset)
    {
        for (int record = first; record <= last; ++record) {
            m_host.setProgress(record);
            if (!listed.contains(record - positionOffset))
                continue;
            if (m_host.stopRequested())
                throw EOperationStopped();
            Reply reply = ask(command("at-scer=", record));
            // An answer later than the retry that followed it can still
            // arrive in the place of this one: an entry of another location
            // is never taken for this record. A handset that keeps doing so
            // is as good as lost.
            for (int stale = 1; namesOtherLocation(reply.text, record); ++stale) {
                if (stale % kStaleRepliesPerQuestion == 0 && !m_host.retryLostLink(m_lostLink))
                    throw EOperationCancelled();
                reply = ask(command("at-scer=", record));
            }
            if (reply.isError())
                continue; // nothing there: the record stays empty
            m_host.showStatus(m_readingText + u' ' + QString::number(record));
            parseEntryLine(store, record, reply.text);
        }
    }

    CommandExchange& m_exchange;
    OperationHost& m_host;
    const QString m_lostLink;
    const QString m_readingText;
};

} // namespace

QSet<int> listedLocations(QByteArrayView listing)
{
    QSet<int> listed;
    for (qsizetype at = listing.indexOf(kListingPrefix); at >= 0;
         at = listing.indexOf(kListingPrefix, at + 1)) {
        qsizetype end = at + kListingPrefix.size();
        const qsizetype digits = end;
        while (end < listing.size() && isDigit(listing[end]))
            ++end;
        if (end == digits || end - digits > 6)
            continue;
        listed.insert(listing.sliced(digits, end - digits).toInt());
    }
    return listed;
}

int simRangeEnd(QByteArrayView rangeReply)
{
    const qsizetype dash = rangeReply.indexOf('-');
    if (dash < 0)
        return kDefaultSimRangeEnd;
    qsizetype end = dash + 1;
    while (end < rangeReply.size() && isDigit(rangeReply[end]) && end - dash <= 6)
        ++end;
    const int value = rangeReply.sliced(dash + 1, end - dash - 1).toInt();
    return value > 0 ? value : kDefaultSimRangeEnd;
}

RecordStore readPhonebook(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                          const RecordStore& current)
{
    Reader reader(exchange, texts, host);
    RecordStore staged = current;
    staged.ClearRecords();
    const auto showIdle = [&] {
        host.showStatus(texts.text(TextId::Statusleiste_Ruhezustand));
        host.setProgress(0);
    };

    try {
        host.showStatus(texts.text(TextId::Statusleiste_Checkmem));
        reader.ask("at+cpbs=\"ME\"\r\n");
        const Reply memoryListing = reader.ask("at+cpbr=1,500\r\n");
        host.setProgress(0);
        reader.readListed(staged, listedLocations(memoryListing.text), 1, kLastMemoryRecord, 0);
        exchange.exchange("atz\r\n");

        host.showStatus(texts.text(TextId::Statusleiste_Checksim));
        reader.ask("at+cpbs=\"SM\"\r\n");
        const Reply range = reader.ask("at+cpbr=?\r\n");
        const Reply simListing = reader.ask(command("at+cpbr=1,", simRangeEnd(range.text)));
        // Every SIM position is tried, whatever range the handset reported.
        reader.readListed(staged, listedLocations(simListing.text), kFirstSimRecord, kRecordCount,
                          kFirstSimRecord - 1);
        exchange.exchange("atz\r\n");
    } catch (...) {
        // The store stays as it was, so the window must not go on showing a
        // read half-way through it.
        showIdle();
        throw;
    }
    showIdle();
    return staged;
}

} // namespace q7
