// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/RecordChange.h"

namespace q7 {

QList<RecordChange> changesBetween(const RecordStore& before, const RecordStore& after,
                                   const QList<int>& records)
{
    QList<RecordChange> changes;
    for (int r : records)
        changes.append({r, before.rawRecord(r).toByteArray(), after.rawRecord(r).toByteArray()});
    return changes;
}

void applyChanges(RecordStore& store, const QList<RecordChange>& changes, ChangeSide side)
{
    for (const RecordChange& change : changes)
        store.setRawRecord(change.record,
                           side == ChangeSide::Before ? change.before : change.after);
}

} // namespace q7
