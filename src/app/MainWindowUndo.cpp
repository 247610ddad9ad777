// The main window's undo history: every edit of the store is one step, kept
// as the bytes of the records it touched.

#include "app/MainWindow.h"
#include "editing/RecordChange.h"
#include "editing/ui/PhonebookMenu.h"
#include "editing/ui/RecordEditCommand.h"
#include "editing/ui/TreeEditor.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>
#include <QUndoStack>
#include <utility>

namespace q7 {

void TFrm_Q7_Manager::createUndo()
{
    m_undoBase = std::make_unique<RecordStore>(*m_store);
    m_undoStack = new QUndoStack(this);
    m_undoAction = new QAction(this);
    m_undoAction->setObjectName(QStringLiteral("PM_Rueckgaengig"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(this);
    m_redoAction->setObjectName(QStringLiteral("PM_Wiederholen"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {m_undoAction, m_redoAction})
        action->setShortcutContext(Qt::WidgetShortcut);
    // The keys belong to the trees alone: in the in-place editor, or in any
    // other field, Ctrl+Z is that field's own.
    for (QTreeWidget* tree : {TV_Telefonbuch, TV_FirstNine})
        tree->addActions({m_undoAction, m_redoAction});

    QMenu* menu = m_menu->menu();
    QAction* first = menu->actions().value(0);
    menu->insertAction(first, m_undoAction);
    menu->insertAction(first, m_redoAction);
    menu->insertSeparator(first);

    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (m_undoStack->canUndo() && editingAllowed())
            m_undoStack->undo();
    });
    connect(m_redoAction, &QAction::triggered, this, [this] {
        if (m_undoStack->canRedo() && editingAllowed())
            m_undoStack->redo();
    });
    connect(m_undoStack, &QUndoStack::indexChanged, this, &TFrm_Q7_Manager::updateUndoActions);
    updateUndoActions();
}

void TFrm_Q7_Manager::updateUndoActions()
{
    if (!m_undoStack)
        return;
    const bool allowed = editingAllowed();
    auto caption = [this](TextId item, const QString& step) {
        const QString text = m_languageFile.text(item);
        return step.isEmpty() ? text : text + QStringLiteral(": ") + step;
    };
    m_undoAction->setText(caption(TextId::Rueckgaengig_Rueckgaengig, m_undoStack->undoText()));
    m_redoAction->setText(caption(TextId::Rueckgaengig_Wiederholen, m_undoStack->redoText()));
    m_undoAction->setEnabled(allowed && m_undoStack->canUndo());
    m_redoAction->setEnabled(allowed && m_undoStack->canRedo());
}

void TFrm_Q7_Manager::storeEdited(const EditResult& result)
{
    const TextId step = std::exchange(m_editStep, TextId::Rueckgaengig_Bearbeiten);
    if (!result.changed())
        return;
    QList<RecordChange> changes = changesBetween(*m_undoBase, *m_store, result.touched);
    for (int r : result.touched)
        m_undoBase->setRawRecord(r, m_store->rawRecord(r));
    m_undoStack->push(
        new RecordEditCommand(m_languageFile.text(step), *m_store, std::move(changes),
                              [this](const QList<int>& records) { showUndone(records); }));
}

void TFrm_Q7_Manager::showUndone(const QList<int>& records)
{
    for (int r : records)
        m_undoBase->setRawRecord(r, m_store->rawRecord(r));
    QTreeWidget* tree = TV_FirstNine->hasFocus() ? TV_FirstNine : TV_Telefonbuch;
    m_treeEditor->showRecords(records, tree);
    CollectGroupNames(*m_store, m_groups);
}

bool TFrm_Q7_Manager::hasUnsavedEdits() const
{
    return m_unsavedBeforeHistory || (m_undoStack && !m_undoStack->isClean());
}

void TFrm_Q7_Manager::startHistory(bool saved)
{
    m_unsavedBeforeHistory = !saved && hasUnsavedEdits();
    *m_undoBase = *m_store;
    m_undoStack->clear();
}

void TFrm_Q7_Manager::markSaved()
{
    m_unsavedBeforeHistory = false;
    m_undoStack->setClean();
}

} // namespace q7
