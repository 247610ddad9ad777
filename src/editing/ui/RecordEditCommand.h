// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/RecordChange.h"

#include <QUndoCommand>
#include <functional>

namespace q7 {

// One undo step: the records one edit touched, as they were before and
// after it. The edit has already been made when the step is pushed, so the
// stack's first redo does nothing; every later undo or redo puts the bytes
// back and lets the window show the store again.
class RecordEditCommand : public QUndoCommand
{
public:
    // Shows the touched records again after an undo or a redo.
    using Refresh = std::function<void(const QList<int>& records)>;

    RecordEditCommand(const QString& text, RecordStore& store, QList<RecordChange> changes,
                      Refresh refresh);

    void undo() override;
    void redo() override;

private:
    void put(ChangeSide side);

    RecordStore& m_store;
    QList<RecordChange> m_changes;
    Refresh m_refresh;
    bool m_skipFirstRedo = true;
};

} // namespace q7
