// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/NewEntryRules.h"

namespace q7 {

namespace {

constexpr QByteArrayView kNumberTag = "TELNO";
constexpr QByteArrayView kCustomTag = "CUSTOM";

} // namespace

int freeRecordFor(const RecordStore& store, MoveTarget target)
{
    return target == MoveTarget::Sim ? store.FindFreeSimRecord() : store.FindFreeMemoryRecord();
}

EditResult createEntry(RecordStore& store, const NewEntry& entry, QByteArrayView noGroupText)
{
    if (entry.name.trimmed().isEmpty())
        return {};
    const int r = freeRecordFor(store, entry.target);
    if (r == 0)
        return {};

    store.setField(r, Speicherplatz, QByteArray::number(r));
    store.setField(r, Name, entry.name);
    store.setField(r, Gruppe, entry.group == noGroupText ? QByteArrayView() : entry.group);
    for (int k = 1; k <= 3; ++k) {
        const QByteArray& number = entry.numbers[k - 1];
        store.setField(r, nummernartField(k) - 1, kNumberTag);
        store.setField(r, nummernartField(k),
                       number.isEmpty() ? QByteArrayView() : entry.numberTypes[k - 1]);
        store.setField(r, nummerField(k), number);
    }
    store.setField(r, ZusatzTag1, kCustomTag);
    store.setField(r, Feld14, {});
    store.setField(r, Zusatz1, {});
    store.setField(r, ZusatzTag2, kCustomTag);
    store.setField(r, Zusatz2, {});
    store.setField(r, Feld18, {});
    store.setField(r, ChangedFlag, kChangedYes);

    EditResult result;
    result.touched.append(r);
    result.target = r;
    return result;
}

} // namespace q7
