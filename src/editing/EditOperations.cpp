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
    return result;
}

} // namespace

EditResult storeName(RecordStore& store, int r, QByteArrayView text)
{
    return storeUnlessEmpty(store, r, Name, text);
}

EditResult storeNumber(RecordStore& store, int r, int k, QByteArrayView text)
{
    return storeUnlessEmpty(store, r, nummerField(k), text);
}

EditResult deleteEntry(RecordStore& store, int r)
{
    store.setField(r, Name, kDeletionMarker);
    return markChanged(store, {r});
}

EditResult clearNumber(RecordStore& store, int r, int k)
{
    store.setField(r, nummerField(k), {});
    store.setField(r, nummernartField(k), {});
    return markChanged(store, {r});
}

EditResult setNumberType(RecordStore& store, int r, int k, QByteArrayView typeName)
{
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
    if (text.isEmpty())
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
    const int t = kFirstSimRecord - 1 + position;
    if (t == s)
        return {};
    return copyEntry(store, s, t);
}

void copyNumber(const RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    clipboard.number = store.field(r, nummerField(k));
    clipboard.type = store.field(r, nummernartField(k));
}

EditResult cutNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    copyNumber(store, r, k, clipboard);
    return clearNumber(store, r, k);
}

EditResult pasteNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard)
{
    if (!clipboard.holdsNumber())
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
    if (!clipboard.holdsNumber())
        return {};
    store.setField(r, nummerField(k), clipboard.number);
    store.setField(r, nummernartField(k), clipboard.type);
    // The type may stay: only the number says whether the clipboard holds one.
    clipboard.number.clear();
    return markChanged(store, {r});
}

} // namespace q7
