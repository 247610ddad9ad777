// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"
#include "phonebook/WritePlan.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace q7 {

class CommandExchange;
class HandsetImage;
class LanguageFile;
class OperationHost;

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
    explicit TransferResult(Operation op) : operation(op) {}

    // A written entry that the handset holds otherwise than it was sent.
    struct Difference
    {
        int record = 0;
        int location = 0;
        QList<int> fields; // empty: the entry is not there at all
    };

    // A record written elsewhere than it named: the handset held an entry
    // there that the window did not know, and that entry stays.
    struct Move
    {
        int record = 0; // where the record is now
        int from = 0;
        int to = 0;
        QByteArray keptName; // the entry that stays, PC character set
    };

    Operation operation;
    QList<int> failedRecords; // record indices of a write, locations of an erase
    QList<int> noRoom;        // records of failedRecords that found no free location
    QList<int> noSimRoom;     // the same on the SIM card
    QList<Move> moved;
    QList<Difference> differences; // what the check after the write found
    int written = 0;               // entries the handset confirmed
    int deleted = 0;               // entries no longer on the handset that were there or marked
    bool stopped = false;          // a stop was requested and the run ended early
    int handled = 0;               // entries (of a write) or locations (of an erase) handled
    int toHandle = 0;              // of how many
    bool succeeded() const { return failedRecords.isEmpty() && differences.isEmpty() && !stopped; }
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
QString failureSummary(const TransferResult& result, const LanguageFile& texts);

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

// Carries out the plan and nothing else: its New and Changed items with the
// extended-entry write, its Deleted items deleted. The store keeps what the
// handset confirmed (as above); the image takes every entry the handset
// confirmed and every deletion. With verify, each written entry is read back
// once after the last one: what differs from what was sent goes to
// result.differences, and the image takes what was read. A record that
// needs a new handset-memory location and gets none goes to
// result.noRoom, and the write goes on. Between entries it asks the host
// whether to stop; a stop ends the run normally with result.stopped.
void writePlanned(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  RecordStore& store, HandsetImage& image, const WritePlan& plan, bool verify,
                  TransferResult& result);

// Deletes every entry the handset holds at locations 1..700. The store is
// not touched.
void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  TransferResult& result);
// The same, keeping the image true: each location found or made empty is
// empty in it. A stop between locations ends the run with result.stopped.
void EraseHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                  HandsetImage& image, TransferResult& result);

// The lines a finished (or stopped) write or erase reports besides its
// confirmation: how far a stopped run got, the records that found no free
// location, the failures, the differences the check found.
QStringList transferReport(const RecordStore& store, const TransferResult& result,
                           const LanguageFile& texts);

} // namespace q7
