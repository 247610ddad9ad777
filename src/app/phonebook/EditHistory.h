// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QUndoStack;
class QWidget;

namespace q7 {

class LanguageFile;
class RecordStore;
struct EditResult;

// The undo history of the phonebook: every edit of the store since the last
// read, import or write is a step, kept as the bytes of the records it
// touched. The base is the store as the steps leave it, so a step can keep
// the bytes its records had before it.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    // editingAllowed: the undo keys act only while it says so; showRecords:
    // shows the records an undo or a redo has put back.
    EditHistory(RecordStore& store, const LanguageFile& texts, std::function<bool()> editingAllowed,
                std::function<void(const QList<int>&)> showRecords, QObject* parent = nullptr);
    ~EditHistory() override;

    // The undo and redo items go first into the menu; their keys belong to
    // the trees alone (in the in-place editor, or in any other field, Ctrl+Z
    // is that field's own).
    void addTo(QMenu* menu, const QList<QWidget*>& trees);

    // Every edit of the store reports what it touched here: it becomes one
    // step, called step in the undo items, and closing, reading and loading
    // know that something would be lost.
    void storeEdited(const EditResult& result, TextId step);
    // The store differs from what the last successful read, import, write or
    // export left (undoing every edit since then leaves nothing unsaved).
    bool hasUnsavedEdits() const;
    // A read, an import or a write replaces the store or the handset: the
    // steps before it no longer apply. saved: the store now matches what it
    // was taken from or written to.
    void start(bool saved);
    // An export keeps the history; the store as it is now is saved.
    void markSaved();
    // Edits from elsewhere (the recovery file) that were never saved.
    void markUnsaved();
    // The handset as last seen changed (a read, a write, an erase): what is
    // unsaved may differ now, though the store did not change.
    void handsetChanged() { emit stateChanged(); }
    // The items' captions name the steps; they are on only while editing is.
    void updateActions();

    QUndoStack* stack() const { return m_stack; }
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }

signals:
    // An edit, an undo or redo, a read, import, write or export: what is
    // unsaved and what is changed may differ now.
    void stateChanged();

private:
    void showUndone(const QList<int>& records);

    RecordStore& m_store;
    const LanguageFile& m_texts;
    std::function<bool()> m_editingAllowed;
    std::function<void(const QList<int>&)> m_showRecords;
    std::unique_ptr<RecordStore> m_base;
    QUndoStack* m_stack = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    bool m_unsavedBeforeHistory = false; // edits a failed write left unsaved
};

} // namespace q7
