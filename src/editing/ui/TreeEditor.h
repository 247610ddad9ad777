// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/MenuRules.h"
#include "phonebook/RecordStore.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace q7 {

class PhonebookTrees;

// A node of one of the two trees and what the editing commands make of it.
struct NodeTarget
{
    QTreeWidget* tree = nullptr;
    QTreeWidgetItem* node = nullptr;
    NodeKind kind = NodeKind::Root;
    int record = 0; // 0: a root, or a node of no record
    int slot = 0;   // k of a number node (1..3), else 0
};

// The trees' side of editing: which record and field a node stands for, and
// the in-place editor. The store operations, and showing their result in the
// trees (PhonebookTrees::showRecords), are the window's to call.
//
// A node's record is looked up in the node tables rather than read from the
// text of its Speicherplatz node: that text is a field of the record like any
// other, and one that does not name its own record must not steer an edit to
// another one.
class TreeEditor : public QObject
{
    Q_OBJECT

public:
    TreeEditor(PhonebookTrees& trees, const RecordStore& store, QObject* parent = nullptr);

    // The selected node of tree: its current node when that is selected,
    // else its first selected node, else its root.
    NodeTarget selectedTarget(QTreeWidget* tree) const;
    // The records of the selected entry nodes, in tree order; the commands
    // for several entries at once act on these.
    QList<int> selectedEntryRecords(QTreeWidget* tree) const;
    NodeTarget targetOf(QTreeWidget* tree, QTreeWidgetItem* node) const;

    // Entry and number nodes may be edited in place; the root and the other
    // details may not.
    static bool mayEdit(const NodeTarget& target);

    // Opens the in-place editor on the node; false when it did not open.
    bool openEditor(const NodeTarget& target);
    bool editorOpen() const { return m_editor.tree != nullptr; }
    // Confirms the open editor's text, as moving the focus away would.
    void finishEditing();

    // Adds a node for a new number k (text the digit k, the image of
    // typeName) to the entry of the target and opens the editor on it. The
    // store is not touched: newNumberClosed says what became of it.
    bool startNewNumber(const NodeTarget& entry, int k, QByteArrayView typeName);

signals:
    // The user confirmed a new text on an entry or number node. The node
    // still shows it until the trees show the record as stored.
    void textEdited(const q7::NodeTarget& target, const QString& text);
    // The editor on a new number closed: confirmed (with its text, which may
    // still be the digit) or cancelled. The node is still there.
    void newNumberClosed(const q7::NodeTarget& target, int k, bool confirmed, const QString& text);
    void editorOpened();
    void editorClosed();
    // A word for the status bar: why an edit kept the old text, or which
    // characters of the text being typed will not arrive as typed. An
    // empty message takes the last one back.
    void notice(const QString& message);

private:
    void watch(QTreeWidget* tree);
    void onItemChanged(QTreeWidget* tree, QTreeWidgetItem* item);
    void onEditorClosed(QTreeWidget* tree);
    void say(QWidget* at, const QString& message);
    bool keepNameOfEmptyEdit(QTreeWidget* tree, QTreeWidgetItem* item);

    PhonebookTrees& m_trees;
    const RecordStore& m_store;

    struct OpenEditor
    {
        QTreeWidget* tree = nullptr;
        QTreeWidgetItem* node = nullptr;
        QWidget* widget = nullptr;
        QPointer<QWidget> alive; // the same editor, null once it is gone
        int record = 0;
        bool committed = false;
        // The editor is on the node of a new number k.
        bool newNumber = false;
        int slot = 0;
    };
    OpenEditor m_editor;
};

} // namespace q7

Q_DECLARE_METATYPE(q7::NodeTarget)
