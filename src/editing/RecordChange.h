// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/EditOperations.h"

#include <QByteArray>
#include <QList>

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

// The bytes of the given records in a store as it was before an edit and as
// it is after it.
QList<RecordChange> changesBetween(const RecordStore& before, const RecordStore& after,
                                   const QList<int>& records);

enum class ChangeSide
{
    Before,
    After
};
// Puts the records of the changes back as they were before or after.
void applyChanges(RecordStore& store, const QList<RecordChange>& changes, ChangeSide side);

} // namespace q7
