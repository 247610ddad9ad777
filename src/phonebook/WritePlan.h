// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace q7 {

class HandsetImage;
class LanguageFile;

// The handset location of a record: its Speicherplatz as a number within the
// record's own range (1..500 for records 1..500, 501..700 for the others).
// Anything else must never reach the handset.
std::optional<int> recordLocation(const RecordStore& store, int record);

// One entry of a write, as the plan shows it and the write carries it out.
struct PlanItem
{
    enum class Kind
    {
        New,       // the handset lacks it (or was never read)
        Changed,   // the handset holds it otherwise, or it is flagged changed
        Deleted,   // the handset holds an entry the window does not
        Unchanged, // the handset holds it as the window does; not sent
    };
    Kind kind = Kind::New;
    int record = 0;    // store record; 0 for an entry of the handset no record names
    int location = 0;  // handset location (record space 1..700); 0 when the record has none
    QByteArray name;   // PC character set
    QList<int> fields; // Changed: the fields that differ (old in the image, new in the store)
    // Deleted: whether the handset holds it; a deletion of an entry it
    // lacks only clears the record in the store.
    bool onHandset = true;
    // New: the location the window first gave it, which the handset turned
    // out to hold for another entry; 0 when it stayed where it was.
    int movedFrom = 0;

    bool isSent() const { return kind != Kind::Unchanged && onHandset; }
    // An entry of the handset that no record of the window names.
    bool deletesUnnamed() const { return kind == Kind::Deleted && record == 0; }
};

struct WritePlan
{
    bool handsetKnown = false;
    QList<PlanItem> items; // in the order the write handles them, Unchanged included
    int newCount = 0;
    int changedCount = 0;
    int deletedCount = 0;
    int unchangedCount = 0;

    // Nothing reaches the handset and nothing changes in the store.
    bool isEmpty() const;
};

// What the window's phonebook was last replaced by. Only a phonebook that
// replaced the window's stands for the whole handset: what it lacks, the
// handset is to lose. A window that read the handset, or never saw it,
// knows only part of it.
enum class Replacement
{
    None,
    File,
    Snapshot,
};

// The write of the store onto the handset as last seen. With onlyChanged:
// every record flagged "JA", and every one that differs from the image (a
// live record it lacks or holds otherwise, a deletion it still holds).
// Deleted is what someone chose: a record marked for deletion, and, only
// with replacesHandset (a file or a snapshot was loaded), an entry the image
// holds at a location no record names. A location the window does not know
// is otherwise left alone. When the image is unknown: every live record,
// and the marked records only of a phonebook that replaces the handset's:
// the window's own entries never reached the handset, so what it holds at
// their locations is someone else's.
WritePlan planWrite(const RecordStore& store, const HandsetImage& image, bool onlyChanged,
                    bool replacesHandset = false);

// The plan without deleting the entries no record of the window names: the
// user keeps them on the handset.
WritePlan keepingUnnamed(const WritePlan& plan);

// Entries the window holds that the handset as last seen lacks or holds
// otherwise, and entries it holds that a write would delete: what would be
// lost by closing, reading or loading. 0 while the handset is unknown.
int entriesUnlikeHandset(const RecordStore& store, const HandsetImage& image,
                         bool replacesHandset = false);

// The records by their changed flag alone, as the write always chose them
// before the program knew what the handset holds.
WritePlan planByFlags(const RecordStore& store, bool onlyChanged);

// "Name", "Nummer 2": a field as the plan and the report name it.
QString fieldName(int field, const LanguageFile& texts);

// A line of the plan: "  4  Bert  geändert: Nummer 1 0301234567 → 0999";
// with several fields, one field a line below it. An emptied field shows
// as "(leer)".
QString planLine(const PlanItem& item, const RecordStore& store, const HandsetImage& image,
                 const LanguageFile& texts);
// "1 neu, 1 geändert, 1 gelöscht, 27 unverändert".
QString planCounts(const WritePlan& plan, const LanguageFile& texts);
// The plan as the dialogs and the command line list it: a line for each
// entry the write sends; the entries left as they are stand in the counts.
QStringList planLines(const WritePlan& plan, const RecordStore& store, const HandsetImage& image,
                      const LanguageFile& texts);

} // namespace q7
