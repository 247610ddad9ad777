// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <array>
#include <vector>

namespace q7 {

inline constexpr int kRecordCount = 700;
inline constexpr int kFieldCount = 19; // fields 1..18 are the entry's values; 19 is ours
inline constexpr int kEntryValueCount = 18;
inline constexpr int kFieldWidth = 30;                       // characters a field holds
inline constexpr int kFieldSize = kFieldWidth + 1;           // with its length byte
inline constexpr int kRecordSize = kFieldCount * kFieldSize; // 589

// Index ranges of the store.
inline constexpr int kLastMemoryRecord = 500; // 1..500 handset memory, location = index
inline constexpr int kFirstSimRecord = 501;   // 501..700 SIM positions 1..200
inline constexpr int kLastFirstNineRecord = 509;
inline constexpr int kLastShownRecord = 600; // the trees show 1..600

// An entry that went from one record to another. An exchange is two of them.
struct EntryMove
{
    int from = 0;
    int to = 0;
    bool operator==(const EntryMove&) const = default;
};

enum Field : int
{
    Speicherplatz = 1,
    Name = 2,
    Gruppe = 3,
    NummerTag1 = 4,
    Nummernart1 = 5,
    Nummer1 = 6,
    NummerTag2 = 7,
    Nummernart2 = 8,
    Nummer2 = 9,
    NummerTag3 = 10,
    Nummernart3 = 11,
    Nummer3 = 12,
    ZusatzTag1 = 13,
    Feld14 = 14,
    Zusatz1 = 15,
    ZusatzTag2 = 16,
    Zusatz2 = 17,
    Feld18 = 18,
    ChangedFlag = 19,
};

// Number slot j (1..3): its type field and its number field.
constexpr int nummernartField(int j)
{
    return Nummernart1 + 3 * (j - 1);
}
constexpr int nummerField(int j)
{
    return Nummer1 + 3 * (j - 1);
}

inline constexpr QByteArrayView kDeletionMarker = "Q7LoeschenQ7";
inline constexpr QByteArrayView kChangedYes = "JA";
inline constexpr QByteArrayView kChangedNo = "NEIN";

// The program's one copy of the phonebook: 700 records of 19 length-prefixed
// fields of 30 bytes in the PC character set, laid out exactly as the handset
// locations are numbered. It is a plain value, so an operation can fill a
// copy and put it in place only once it has succeeded. The 412 KB table lives
// on the heap, in one block: a store can be a local or a return value
// anywhere without filling a stack. A moved-from store is only fit to be
// assigned to or destroyed.
class RecordStore
{
public:
    RecordStore();

    QByteArray field(int record, int field) const;
    // Keeps the first 30 bytes of the text.
    void setField(int record, int field, QByteArrayView text);
    bool fieldIsEmpty(int record, int field) const;

    bool holdsEntry(int record) const;          // Name not empty
    bool isMarkedForDeletion(int record) const; // Name is exactly the marker
    bool isLive(int record) const;              // holds an entry not marked
    bool isChanged(int record) const;           // flag is exactly "JA"

    // Empties fields 1..18 of every record; the changed flags stay.
    void ClearRecords();
    // Empties fields 1..18 of one record.
    void clearEntry(int record);

    // The first record of handset memory without a live entry, or 0.
    int FindFreeMemoryRecord() const;
    // The first SIM record 510..600 without a live entry, or 0. The First
    // Nine and the positions the trees do not show are never offered.
    int FindFreeSimRecord() const;

    // The record as the handset and the file see it: 589 bytes.
    QByteArrayView rawRecord(int record) const;
    // Puts back bytes that rawRecord gave, all 589 of them.
    void setRawRecord(int record, QByteArrayView bytes);

    bool operator==(const RecordStore&) const = default;

private:
    static void checkIndex(int record, int field);
    const unsigned char* fieldData(int record, int field) const;
    unsigned char* fieldData(int record, int field);

    std::vector<std::array<unsigned char, kRecordSize>> m_records;
};
static_assert(sizeof(RecordStore) < 64, "the table belongs on the heap");

inline bool isMemoryRecord(int record)
{
    return record >= 1 && record <= kLastMemoryRecord;
}
inline bool isSimRecord(int record)
{
    return record >= kFirstSimRecord && record <= kRecordCount;
}
inline bool isFirstNineRecord(int record)
{
    return record >= kFirstSimRecord && record <= kLastFirstNineRecord;
}

// Distinct group texts in order of first appearance; compared without regard
// to case. It only ever grows.
class GroupList
{
public:
    bool contains(QByteArrayView group) const;
    void add(QByteArrayView group); // unless already held
    const QList<QByteArray>& names() const { return m_names; }

private:
    QList<QByteArray> m_names;
};

// Adds the groups of the records the trees show (1..600) to the list.
void CollectGroupNames(const RecordStore& store, GroupList& groups);

} // namespace q7
