// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/EditHistory.h"

#include "base/LanguageFile.h"
#include "editing/EditOperations.h"
#include "editing/RecordChange.h"
#include "editing/ui/RecordEditCommand.h"
#include "phonebook/RecordStore.h"

#include <QAction>
#include <QMenu>
#include <QUndoStack>
#include <QWidget>
#include <utility>

namespace q7 {

EditHistory::EditHistory(RecordStore& store, const LanguageFile& texts,
                         std::function<bool()> editingAllowed,
                         std::function<void(const QList<int>&)> showRecords, QObject* parent)
    : QObject(parent), m_store(store), m_texts(texts), m_editingAllowed(std::move(editingAllowed)),
      m_showRecords(std::move(showRecords)), m_base(std::make_unique<RecordStore>(store))
{
    m_stack = new QUndoStack(this);
    m_undoAction = new QAction(this);
    m_undoAction->setObjectName(QStringLiteral("PM_Rueckgaengig"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(this);
    m_redoAction->setObjectName(QStringLiteral("PM_Wiederholen"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {m_undoAction, m_redoAction})
        action->setShortcutContext(Qt::WidgetShortcut);

    connect(m_undoAction, &QAction::triggered, this, [this] {
        if (m_stack->canUndo() && m_editingAllowed())
            m_stack->undo();
    });
    connect(m_redoAction, &QAction::triggered, this, [this] {
        if (m_stack->canRedo() && m_editingAllowed())
            m_stack->redo();
    });
    connect(m_stack, &QUndoStack::indexChanged, this, &EditHistory::updateActions);
    connect(m_stack, &QUndoStack::indexChanged, this, &EditHistory::stateChanged);
    connect(m_stack, &QUndoStack::cleanChanged, this, &EditHistory::stateChanged);
    updateActions();
}

EditHistory::~EditHistory()
{
    // The steps go before the store and the trees they point into; the
    // stack says so as it clears, and nobody needs to hear it any more.
    disconnect(m_stack, nullptr, this, nullptr);
    delete std::exchange(m_stack, nullptr);
}

void EditHistory::addTo(QMenu* menu, const QList<QWidget*>& trees)
{
    for (QWidget* tree : trees)
        tree->addActions({m_undoAction, m_redoAction});
    QAction* first = menu->actions().value(0);
    menu->insertAction(first, m_undoAction);
    menu->insertAction(first, m_redoAction);
    menu->insertSeparator(first);
}

void EditHistory::updateActions()
{
    if (!m_stack)
        return;
    const bool allowed = m_editingAllowed();
    auto caption = [this](TextId item, const QString& step) {
        const QString text = m_texts.text(item);
        return step.isEmpty() ? text : text + QStringLiteral(": ") + step;
    };
    m_undoAction->setText(caption(TextId::Rueckgaengig_Rueckgaengig, m_stack->undoText()));
    m_redoAction->setText(caption(TextId::Rueckgaengig_Wiederholen, m_stack->redoText()));
    m_undoAction->setEnabled(allowed && m_stack->canUndo());
    m_redoAction->setEnabled(allowed && m_stack->canRedo());
}

void EditHistory::storeEdited(const EditResult& result, TextId step)
{
    if (!result.changed())
        return;
    QList<RecordChange> changes = changesBetween(*m_base, m_store, result.touched);
    for (int r : result.touched)
        m_base->setRawRecord(r, m_store.rawRecord(r));
    m_stack->push(
        new RecordEditCommand(m_texts.text(step), m_store, std::move(changes),
                              [this](const QList<int>& records) { showUndone(records); }));
}

void EditHistory::showUndone(const QList<int>& records)
{
    for (int r : records)
        m_base->setRawRecord(r, m_store.rawRecord(r));
    m_showRecords(records);
}

bool EditHistory::hasUnsavedEdits() const
{
    return m_unsavedBeforeHistory || (m_stack && !m_stack->isClean());
}

void EditHistory::start(bool saved)
{
    m_unsavedBeforeHistory = !saved && hasUnsavedEdits();
    *m_base = m_store;
    m_stack->clear();
    emit stateChanged();
}

void EditHistory::markSaved()
{
    m_unsavedBeforeHistory = false;
    m_stack->setClean();
    emit stateChanged();
}

void EditHistory::markUnsaved()
{
    m_unsavedBeforeHistory = true;
    emit stateChanged();
}

} // namespace q7
