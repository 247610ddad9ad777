#pragma once

#include "editing/EditOperations.h"

#include <QByteArray>
#include <QList>
#include <functional>

namespace q7 {

// The bytes of one record before and after an edit. Putting either back is
// exact, changed flag included, whatever the edit was, so an undo needs no
// inverse of each command.
struct RecordChange
{
    int record = 0;
    QByteArray before;
    QByteArray after;
};

struct RecordedEdit
{
    EditResult result;
    QList<RecordChange> changes; // one per touched record
};

// Runs an edit and keeps the bytes of the records it touched.
RecordedEdit recordEdit(RecordStore& store, const std::function<EditResult(RecordStore&)>& edit);

enum class ChangeSide
{
    Before,
    After
};
// Puts the records of the changes back as they were before or after.
void applyChanges(RecordStore& store, const QList<RecordChange>& changes, ChangeSide side);

} // namespace q7
