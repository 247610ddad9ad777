// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/RecordEditCommand.h"

namespace q7 {

RecordEditCommand::RecordEditCommand(const QString& text, RecordStore& store,
                                     QList<RecordChange> changes, Refresh refresh)
    : QUndoCommand(text), m_store(store), m_changes(std::move(changes)),
      m_refresh(std::move(refresh))
{}

void RecordEditCommand::undo()
{
    put(ChangeSide::Before);
}

void RecordEditCommand::redo()
{
    // QUndoStack::push redoes the step at once; the edit is already made.
    if (m_skipFirstRedo) {
        m_skipFirstRedo = false;
        return;
    }
    put(ChangeSide::After);
}

void RecordEditCommand::put(ChangeSide side)
{
    applyChanges(m_store, m_changes, side);
    QList<int> records;
    for (const RecordChange& change : m_changes)
        records.append(change.record);
    m_refresh(records);
}

} // namespace q7
