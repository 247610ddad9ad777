// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EditOperations.h"

#include <QByteArray>

namespace q7 {

namespace {

EditResult markChanged(RecordStore& store, std::initializer_list<int> records)
{
    EditResult result;
    for (int r : records) {
        store.setField(r, ChangedFlag, kChangedYes);
        result.touched.append(r);
    }
    return result;
}

EditResult storeUnlessEmpty(RecordStore& store, int r, int field, QByteArrayView text)
{
    if (!text.isEmpty())
        store.setField(r, field, text);
    return markChanged(store, {r});
}

// Speicherplatz of t names t; every value but the flag comes from s; s keeps
// its values under the deletion marker, so a later write deletes it on the
// handset.
EditResult copyEntry(RecordStore& store, int s, int t)
{
    store.setField(t, Speicherplatz, QByteArray::number(t));
    for (int field = Name; field < ChangedFlag; ++field)
        store.setField(t, field, store.field(s, field));
    store.setField(s, Name, kDeletionMarker);
    EditResult result = markChanged(store, {t, s});
    result.target = t;
    result.moves.append({s, t});
    return result;
}

// s and t trade places; each keeps all its values but the Speicherplatz,
// which names the record it now lives in.
EditResult exchangeEntries(RecordStore& store, int s, int t)
{
    const QByteArray held = store.rawRecord(t).toByteArray();
    store.setRawRecord(t, store.rawRecord(s));
    store.setRawRecord(s, held);
    store.setField(t, Speicherplatz, QByteArray::number(t));
    store.setField(s, Speicherplatz, QByteArray::number(s));
    EditResult result = markChanged(store, {t, s});
    result.target = t;
    result.moves = {{s, t}, {t, s}};
    result.exchanged = s;
    return result;
}

bool inRange(int r, MoveTarget target)
{
    return target == MoveTarget::Memory ? isMemoryRecord(r)
                                        : r > kLastFirstNineRecord && r <= kLastShownRecord;
}

} // namespace

bool isNumberSlot(int k)
{
    return k >= 1 && k <= 3;
}

void EditResult::append(const EditResult& other)
{
    for (int r : other.touched)
        if (!touched.contains(r))
            touched.append(r);
    moves.append(other.moves);
    if (other.target != 0)
        target = other.target;
    if (other.exchanged != 0)
        exchanged = other.exchanged;
}

EditResult storeName(RecordStore& store, int r, QByteArrayView text)
{
    return storeUnlessEmpty(store, r, Name, text);
}

EditResult storeNumber(RecordStore& store, int r, int k, QByteArrayView text)
{
    if (!isNumberSlot(k))
        return {};
    return storeUnlessEmpty(store, r, nummerField(k), text);
}

EditResult deleteEntry(RecordStore& store, int r)
{
    store.setField(r, Name, kDeletionMarker);
    return markChanged(store, {r});
}

EditResult clearNumber(RecordStore& store, int r, int k)
{
    if (!isNumberSlot(k))
        return {};
    store.setField(r, nummerField(k), {});
    store.setField(r, nummernartField(k), {});
    return markChanged(store, {r});
}

EditResult setNumberType(RecordStore& store, int r, int k, QByteArrayView typeName)
{
    if (!isNumberSlot(k))
        return {};
    store.setField(r, nummernartField(k), typeName);
    return markChanged(store, {r});
}

EditResult setGroup(RecordStore& store, int r, QByteArrayView group)
{
    store.setField(r, Gruppe, group);
    return markChanged(store, {r});
}

EditResult addNumber(RecordStore& store, int r, int k, QByteArrayView typeName, QByteArrayView text)
{
    if (text.isEmpty() || !isNumberSlot(k))
        return {};
    store.setField(r, nummernartField(k), typeName);
    store.setField(r, nummerField(k), text);
    return markChanged(store, {r});
}

EditResult moveEntry(RecordStore& store, int s, MoveTarget target)
{
    const int t =
        target == MoveTarget::Memory ? store.FindFreeMemoryRecord() : store.FindFreeSimRecord();
    if (t == 0)
        return {};
    return copyEntry(store, s, t);
}

EditResult moveToFirstNine(RecordStore& store, int s, int position)
{
    if (position < 1 || position > kLastFirstNineRecord - kLastMemoryRecord)
        return {};
    const int t = kFirstSimRecord - 1 + position;
    if (t == s || !store.isLive(s))
        return {};
    if (store.isLive(t))
        return exchangeEntries(store, s, t);
    return copyEntry(store, s, t);
}

EditResult deleteEntries(RecordStore& store, const QList<int>& records)
{
    EditResult result;
    for (int r : records)
        if (store.isLive(r))
            result.append(deleteEntry(store, r));
    return result;
}

EditResult moveEntries(RecordStore& store, const QList<int>& records, MoveTarget target)
{
    // Tried on a copy: a range that fills up half way leaves the store as it
    // was rather than with some entries moved and some not.
    RecordStore trial = store;
    EditResult result;
    for (int s : records) {
        if (!trial.isLive(s) || inRange(s, target))
            continue;
        const EditResult one = moveEntry(trial, s, target);
        if (!one.changed())
            return {};
        result.append(one);
    }
    if (result.changed())
        store = std::move(trial);
    return result;
}

void copyNumber(const RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    if (!isNumberSlot(k))
        return;
    clipboard.number = store.field(r, nummerField(k));
    clipboard.type = store.field(r, nummernartField(k));
}

EditResult cutNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    if (!isNumberSlot(k))
        return {};
    copyNumber(store, r, k, clipboard);
    return clearNumber(store, r, k);
}

EditResult pasteNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    if (!clipboard.holdsNumber() || !isNumberSlot(k))
        return {};
    NumberClipboard held;
    copyNumber(store, r, k, held);
    store.setField(r, nummerField(k), clipboard.number);
    store.setField(r, nummernartField(k), clipboard.type);
    clipboard = held;
    return markChanged(store, {r});
}

EditResult pasteAsNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    if (!clipboard.holdsNumber() || !isNumberSlot(k))
        return {};
    NumberClipboard held;
    copyNumber(store, r, k, held);
    store.setField(r, nummerField(k), clipboard.number);
    store.setField(r, nummernartField(k), clipboard.type);
    // A number that was there is not dropped but kept for the next paste.
    // Otherwise the type may stay: only the number says whether the
    // clipboard holds one.
    if (held.holdsNumber())
        clipboard = held;
    else
        clipboard.number.clear();
    return markChanged(store, {r});
}

} // namespace q7
