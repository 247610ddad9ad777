// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

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
    // back after a write, or what was sent when nothing was read back). It
    // holds no note lines then: a write never carries them over, and the
    // window shows the ones that it alone holds.
    void setEntry(int location, const RecordStore& from, int record);
    // The handset holds nothing at the location any more.
    void clearEntry(int location);

private:
    void copyEntry(int location, const RecordStore& from, int record, bool withNotes);

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

} // namespace q7
