#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace q7 {

class CommandExchange;
class LanguageFile;
class OperationHost;

// The handset location of a record: its Speicherplatz as a number within the
// record's own range (1..500 for records 1..500, 501..700 for the others).
// Anything else must never reach the handset.
std::optional<int> recordLocation(const RecordStore& store, int record);

// "AT-SCEW=12,"J|rg",...,,\r\n": the extended-entry write of a record at its
// location. Every field but the Gruppe goes in the handset character set;
// an empty field is nothing between its commas.
QByteArray writeCommand(const RecordStore& store, int record, int location);

// The location in a find reply: the number between the first ':' and the
// first ',' after it. Anything else there throws EConvertError naming it.
int locationInFindReply(const QByteArray& findReply);

// What the handset did not confirm. The run fills it as it goes, so that a
// run stopped half-way (a cancel, a port failure) still names what failed
// before the stop.
struct TransferResult
{
    enum class Operation
    {
        Write,
        Erase
    };
    explicit TransferResult(Operation operation) : operation(operation) {}

    Operation operation;
    QList<int> failedRecords; // record indices of a write, locations of an erase
    int written = 0;          // entries the handset confirmed
    int deleted = 0;          // entries no longer on the handset that were there or marked
    bool succeeded() const { return failedRecords.isEmpty(); }
};

// Runs a write or an erase and hands what the handset refused to report,
// also when the run stops half-way: the stop then goes on to the caller, so
// records refused before a cancel or a port failure are still named.
template <class Run, class Report>
decltype(auto) runReported(TransferResult::Operation operation, Run&& run, Report&& report)
{
    TransferResult result(operation);
    try {
        run(result);
    } catch (...) {
        report(std::as_const(result));
        throw;
    }
    return report(std::as_const(result));
}

// "2 Datensätze wurden nicht übertragen: 7, 505",
// "2 Speicherplätze wurden nicht gelöscht: 2, 505"
QString failureSummary(const TransferResult& result);

// Writes the store to the handset: live records with the extended-entry
// write, records marked for deletion deleted there. With onlyChanged only
// records flagged "JA" are handled. The store keeps, record by record, what
// the handset confirmed: a location chosen through the placeholder, and a
// deleted entry emptied. A port failure throws EComPort, a cancel (also at
// the lost-link question) EOperationCancelled, a find reply without a
// location EConvertError; what was confirmed before stays, and `result`
// holds the failures up to there.
void writePhonebook(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                    RecordStore& store, bool onlyChanged, TransferResult& result);

// Deletes every entry the handset holds at locations 1..700. The store is
// not touched.
void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  TransferResult& result);

} // namespace q7
