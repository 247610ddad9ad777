// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>

namespace q7 {

// What the program knows the handset holds: the entries at locations 1..700,
// laid out as the store is (the entry at location n in record n). It is
// unknown until a read in this run has finished; from then on every
// operation keeps it true with what the handset confirmed, also when the
// operation stops half-way.
class HandsetImage
{
public:
    bool isKnown() const { return m_known; }
    // Only meaningful when known.
    const RecordStore& entries() const { return m_entries; }
    bool holdsEntry(int location) const { return m_known && m_entries.holdsEntry(location); }
    int entryCount() const;

    // A finished read: the handset holds exactly these.
    void takeRead(const RecordStore& read);
    // A finished erase that deleted everything: known and empty.
    void setEmpty();
    void forget();

    // The handset confirmed the record's entry at the location (what it read
    // back after a write, or what was sent when nothing was read back).
    void setEntry(int location, const RecordStore& from, int record);
    // The handset holds nothing at the location any more.
    void clearEntry(int location);

private:
    bool m_known = false;
    RecordStore m_entries;
};

// The fields the handset keeps of an entry: everything but the two
// additional text lines, which a write never carries over.
bool handsetKeeps(int field);

// The fields (2..18) of the store's record that the handset keeps and
// that differ from the image's entry at the location.
QList<int> differingFields(const RecordStore& store, int record, const RecordStore& image,
                           int location);

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

    bool isSent() const { return kind != Kind::Unchanged && onHandset; }
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

// The write of the store onto the handset as last seen. With onlyChanged:
// every record flagged "JA", and every one that differs from the image (a
// live record it lacks or holds otherwise, a deletion it still holds). An
// entry the image holds at a location no live record names is deleted.
// When the image is unknown: every live record and every deletion. Without
// deleteUnnamed the entries no record names stay on the handset (a restore
// of a file that adds to the handset).
WritePlan planWrite(const RecordStore& store, const HandsetImage& image, bool onlyChanged,
                    bool deleteUnnamed = true);

// Entries the window holds that the handset as last seen lacks or holds
// otherwise, and entries it holds that the window does not: what would be
// lost by closing, reading or loading. 0 while the handset is unknown.
int entriesUnlikeHandset(const RecordStore& store, const HandsetImage& image);

// The records by their changed flag alone, as the write always chose them
// before the program knew what the handset holds.
WritePlan planByFlags(const RecordStore& store, bool onlyChanged);

} // namespace q7
