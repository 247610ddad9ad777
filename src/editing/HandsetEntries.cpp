// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/HandsetEntries.h"

#include "phonebook/HandsetImage.h"
#include "phonebook/WritePlan.h"

namespace q7 {

EditResult replaceWithSnapshot(RecordStore& store, const RecordStore& snapshot)
{
    RecordStore loaded = snapshot;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (loaded.holdsEntry(record))
            loaded.setField(record, ChangedFlag, kChangedYes);
    }
    EditResult result;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (store.rawRecord(record) != loaded.rawRecord(record)) {
            store.setRawRecord(record, loaded.rawRecord(record));
            result.touched << record;
        }
    }
    return result;
}

namespace {

bool named(const RecordStore& store, int location)
{
    for (int record = 1; record <= kRecordCount; ++record)
        if (store.holdsEntry(record) && recordLocation(store, record) == location)
            return true;
    return false;
}

// Where an entry of the window goes when the handset holds its location:
// the same part of the phonebook (a First Nine position stays among them
// while one is free, a SIM entry stays on the shown part of the card), at
// a location neither the handset nor the window uses.
int freeLocationFor(const RecordStore& store, const HandsetImage& image, int record)
{
    QList<std::pair<int, int>> ranges;
    if (isMemoryRecord(record))
        ranges = {{1, kLastMemoryRecord}};
    else if (isFirstNineRecord(record))
        ranges = {{kFirstSimRecord, kLastFirstNineRecord},
                  {kLastFirstNineRecord + 1, kLastShownRecord}};
    else
        ranges = {{kLastFirstNineRecord + 1, kLastShownRecord}};
    for (const auto& [first, last] : ranges)
        for (int location = first; location <= last; ++location)
            if (!store.holdsEntry(location) && !image.holdsEntry(location) &&
                !named(store, location))
                return location;
    return 0;
}

void moveAside(RecordStore& store, const HandsetImage& image, EditResult& result)
{
    for (int record = 1; record <= kRecordCount; ++record) {
        const std::optional<int> location = recordLocation(store, record);
        if (!store.holdsEntry(record) || !location || !image.holdsEntry(*location))
            continue;
        if (store.isMarkedForDeletion(record)) {
            // Deleted before it ever reached the handset: nothing of it is there.
            store.clearEntry(record);
            result.touched << record;
            continue;
        }
        const int to = freeLocationFor(store, image, record);
        // With no room left it stays, and the plan shows what it overwrites.
        if (to == 0)
            continue;
        store.setRawRecord(to, store.rawRecord(record));
        store.setField(to, Speicherplatz, QByteArray::number(to));
        store.setField(to, ChangedFlag, kChangedYes);
        store.clearEntry(record);
        result.touched << record << to;
        result.moves << EntryMove{record, to};
        result.target = to;
    }
}

} // namespace

EditResult takeHandsetEntries(RecordStore& store, const HandsetImage& image, OwnEntries own)
{
    EditResult result;
    if (!image.isKnown())
        return result;
    if (own == OwnEntries::MoveAside)
        moveAside(store, image, result);
    const RecordStore& handset = image.entries();
    for (int location = 1; location <= kRecordCount; ++location) {
        // An entry whose record holds another, which names some other
        // location, stays out: it is never deleted all the same.
        if (!handset.holdsEntry(location) || store.holdsEntry(location) || named(store, location))
            continue;
        store.setRawRecord(location, handset.rawRecord(location));
        store.setField(location, ChangedFlag, kChangedNo);
        result.touched << location;
    }
    return result;
}

void noteMoves(WritePlan& plan, const EditResult& taken)
{
    for (PlanItem& item : plan.items)
        for (const EntryMove& move : taken.moves)
            if (item.kind == PlanItem::Kind::New && item.record == move.to)
                item.movedFrom = move.from;
}

} // namespace q7
