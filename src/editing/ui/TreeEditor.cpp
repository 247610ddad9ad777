// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/TreeEditor.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/ui/TextInput.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QAbstractItemDelegate>
#include <QLineEdit>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <utility>

namespace q7 {

namespace {

int slotOfNumberField(int field)
{
    for (int k = 1; k <= 3; ++k)
        if (field == nummerField(k))
            return k;
    return 0;
}

} // namespace

TreeEditor::TreeEditor(PhonebookTrees& trees, const RecordStore& store, QObject* parent)
    : QObject(parent), m_trees(trees), m_store(store)
{
    qRegisterMetaType<NodeTarget>();
    watch(m_trees.phonebookTree());
    watch(m_trees.firstNineTree());
}

void TreeEditor::watch(QTreeWidget* tree)
{
    connect(tree, &QTreeWidget::itemChanged, this,
            [this, tree](QTreeWidgetItem* item, int) { onItemChanged(tree, item); });
    // The view connects to its delegate first, so by the time these run the
    // text is in the node and the editor is out of the view.
    QAbstractItemDelegate* delegate = tree->itemDelegate();
    connect(delegate, &QAbstractItemDelegate::commitData, this, [this, tree](QWidget* editor) {
        if (m_editor.tree == tree && m_editor.widget == editor)
            m_editor.committed = true;
    });
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this, tree](QWidget* editor) {
        if (m_editor.tree == tree && m_editor.widget == editor)
            onEditorClosed(tree);
    });
}

NodeTarget TreeEditor::selectedTarget(QTreeWidget* tree) const
{
    // Of several selected nodes, the current one is the one the user last
    // went to; a command for one node acts on it.
    if (QTreeWidgetItem* current = tree->currentItem(); current && current->isSelected())
        return targetOf(tree, current);
    return targetOf(tree,
                    PhonebookTrees::itemAtFlatIndex(tree, PhonebookTrees::SelectedItemIndex(tree)));
}

NodeTarget TreeEditor::targetOf(QTreeWidget* tree, QTreeWidgetItem* node) const
{
    NodeTarget target;
    target.tree = tree;
    target.node = node;
    if (!node || !node->parent())
        return target; // the root
    QTreeWidgetItem* entry = node;
    int level = 1;
    while (entry->parent()->parent()) {
        entry = entry->parent();
        ++level;
    }
    target.record = m_trees.recordOfEntryNode(tree, entry);
    target.kind = NodeKind::OtherDetail;
    if (target.record == 0)
        return target;
    if (level == 1) {
        target.kind = NodeKind::Entry;
    } else if (level == 2) {
        target.slot = slotOfNumberField(PhonebookTrees::fieldOfItem(node));
        if (target.slot != 0)
            target.kind = NodeKind::Number;
    }
    return target;
}

bool TreeEditor::mayEdit(const NodeTarget& target)
{
    return target.kind == NodeKind::Entry || target.kind == NodeKind::Number;
}

bool TreeEditor::openEditor(const NodeTarget& target)
{
    if (editorOpen() || !mayEdit(target) || !target.node)
        return false;
    QTreeWidget* tree = target.tree;
    for (QTreeWidgetItem* above = target.node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree->setCurrentItem(target.node);
    tree->scrollToItem(target.node);
    tree->editItem(target.node, 0);
    QWidget* editor = tree->itemWidget(target.node, 0);
    if (!editor)
        return false;
    // A screen reader names the editor for the field it changes, as the new
    // entry dialog's labels do.
    const LanguageFile& texts = m_trees.language();
    editor->setAccessibleName(target.kind == NodeKind::Number
                                  ? texts.text(TextId::Contexmenu_Nummer) +
                                        QStringLiteral(" %1").arg(target.slot)
                                  : texts.text(TextId::Neuereintrag_Label_name));
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        setUpFieldInput(line, target.kind == NodeKind::Number ? InputKind::Number : InputKind::Text,
                        m_trees.language(),
                        [this, line](const QString& message) { say(line, message); });
    m_editor = OpenEditor{};
    m_editor.tree = tree;
    m_editor.node = target.node;
    m_editor.widget = editor;
    m_editor.alive = editor;
    m_editor.record = target.record;
    // An editor that goes without closing (its node removed under it) ends
    // the edit all the same, or the shortcuts would stay suspended.
    connect(editor, &QObject::destroyed, this, [this, tree, editor] {
        if (m_editor.widget == editor)
            onEditorClosed(tree);
    });
    emit editorOpened();
    return true;
}

void TreeEditor::finishEditing()
{
    if (!editorOpen())
        return;
    QWidget* editor = m_editor.widget;
    QAbstractItemDelegate* delegate = m_editor.tree->itemDelegate();
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
}

bool TreeEditor::startNewNumber(const NodeTarget& entry, int k, QByteArrayView typeName)
{
    if (editorOpen() || entry.kind != NodeKind::Entry || !entry.node)
        return false;
    int position = 0;
    while (position < entry.node->childCount() &&
           PhonebookTrees::fieldOfItem(entry.node->child(position)) < nummerField(k))
        ++position;
    QTreeWidgetItem* node;
    {
        PhonebookTrees::NodeUpdate update(m_trees);
        node =
            PhonebookTrees::insertDetailNode(entry.node, position,
                                             {nummerField(k), QString::number(k),
                                              m_trees.numberImage(typeName), decodePc(typeName)});
    }
    const NodeTarget target{entry.tree, node, NodeKind::Number, entry.record, k};
    if (!openEditor(target)) {
        delete node;
        return false;
    }
    m_editor.newNumber = true;
    m_editor.slot = k;
    return true;
}

void TreeEditor::onItemChanged(QTreeWidget* tree, QTreeWidgetItem* item)
{
    // Only the editor's own commit is an edit: the program's updates of
    // texts, images and tooltips, and nodes under construction, are not.
    if (m_trees.updatingNodes() || item->childCount() == 0)
        return;
    if (m_editor.tree != tree || m_editor.node != item || m_editor.newNumber)
        return; // a new number is decided when its editor closes
    if (keepNameOfEmptyEdit(tree, item))
        return;
    const NodeTarget target = targetOf(tree, item);
    if (mayEdit(target))
        emit textEdited(target, item->text(0));
}

// A name cleared in the editor is no edit: the entry keeps its name and
// nothing counts as changed. Deleting is a command of its own, and the user
// is told which.
bool TreeEditor::keepNameOfEmptyEdit(QTreeWidget* tree, QTreeWidgetItem* item)
{
    const NodeTarget target = targetOf(tree, item);
    if (target.kind != NodeKind::Entry || !item->text(0).trimmed().isEmpty())
        return false;
    {
        PhonebookTrees::NodeUpdate update(m_trees);
        item->setText(0, decodePc(m_store.field(target.record, Name)));
    }
    say(tree->viewport(), m_trees.language().text(TextId::Eingabe_NameLeer));
    return true;
}

void TreeEditor::say(QWidget* at, const QString& message)
{
    emit notice(message);
    if (message.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Shown where the user looks, below the field being typed in; the window
    // also puts it into the status bar.
    QToolTip::showText(at->mapToGlobal(QPoint(0, at->height())), message, at);
}

QList<int> TreeEditor::selectedEntryRecords(QTreeWidget* tree) const
{
    QList<int> records;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->isSelected())
            if (const NodeTarget target = targetOf(tree, *it); target.kind == NodeKind::Entry)
                records.append(target.record);
    return records;
}

void TreeEditor::onEditorClosed(QTreeWidget* tree)
{
    const OpenEditor closed = std::exchange(m_editor, OpenEditor{});
    if (closed.newNumber) {
        // The node may be gone with its editor; only the record and slot are
        // passed on as sure.
        const bool confirmed = closed.committed && closed.alive;
        const NodeTarget target{tree, confirmed ? closed.node : nullptr, NodeKind::Number,
                                closed.record, closed.slot};
        emit newNumberClosed(target, closed.slot, confirmed,
                             confirmed ? closed.node->text(0) : QString());
    }
    emit editorClosed();
    // Once the edit is in the node: what it says now is what is heard.
    QTimer::singleShot(0, tree, [tree] { PhonebookTrees::announceCurrent(tree); });
}

} // namespace q7
