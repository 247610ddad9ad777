// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/TreeEditor.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/ui/TextInput.h"
#include "phonebook/ui/PhonebookImages.h"
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

int fieldOfNode(const QTreeWidgetItem* detail)
{
    return fieldOfRole(PhonebookTrees::roleOfItem(detail));
}

int slotOfNumberField(int field)
{
    for (int k = 1; k <= 3; ++k)
        if (field == nummerField(k))
            return k;
    return 0;
}

bool outOfOrder(QTreeWidgetItem* entry)
{
    const QTreeWidgetItem* root = entry->parent();
    const int at = root->indexOfChild(entry);
    const QTreeWidgetItem* before = at > 0 ? root->child(at - 1) : nullptr;
    const QTreeWidgetItem* after = root->child(at + 1);
    return (before && *entry < *before) || (after && *after < *entry);
}

// Where a selection was, by record and field (0: the entry node), so that it
// can be found again once the nodes are rebuilt.
struct Place
{
    int record = 0;
    int field = 0;
};

} // namespace

// While the program itself sets node texts, images and tooltips, the trees'
// itemChanged signal is no edit of the user.
class TreeEditor::Patching
{
public:
    explicit Patching(TreeEditor& editor) : m_editor(editor) { ++m_editor.m_patching; }
    ~Patching() { --m_editor.m_patching; }
    Patching(const Patching&) = delete;
    Patching& operator=(const Patching&) = delete;

private:
    TreeEditor& m_editor;
};

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
    target.record = recordOfEntry(tree, entry);
    target.kind = NodeKind::OtherDetail;
    if (target.record == 0)
        return target;
    if (level == 1) {
        target.kind = NodeKind::Entry;
    } else if (level == 2) {
        target.slot = slotOfNumberField(fieldOfNode(node));
        if (target.slot != 0)
            target.kind = NodeKind::Number;
    }
    return target;
}

int TreeEditor::recordOfEntry(QTreeWidget* tree, const QTreeWidgetItem* entry) const
{
    if (tree == m_trees.phonebookTree()) {
        for (int r = 1; r <= kLastShownRecord; ++r)
            if (m_trees.phonebookNode(r) == entry)
                return r;
    } else {
        for (int p = 1; p <= kFirstNineCount; ++p)
            if (m_trees.firstNineNode(p) == entry)
                return kLastMemoryRecord + p;
    }
    return 0;
}

QTreeWidgetItem* TreeEditor::entryNode(QTreeWidget* tree, int r) const
{
    if (tree == m_trees.phonebookTree())
        return r >= 1 && r <= kLastShownRecord ? m_trees.phonebookNode(r) : nullptr;
    return isFirstNineRecord(r) ? m_trees.firstNineNode(r - kLastMemoryRecord) : nullptr;
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
           fieldOfNode(entry.node->child(position)) < nummerField(k))
        ++position;
    QTreeWidgetItem* node;
    {
        Patching patching(*this);
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
    if (m_patching > 0 || item->childCount() == 0)
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
        Patching patching(*this);
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

void TreeEditor::syncEntry(QTreeWidgetItem* entry, int r, int mainImage, int secondImage)
{
    const QString name = decodePc(m_store.field(r, Name));
    if (entry->text(0) != name)
        entry->setText(0, name);
    PhonebookTrees::showChangedMark(entry, m_trees.showsAsChanged(r));
    if (PhonebookTrees::mainImage(entry) != mainImage ||
        PhonebookTrees::secondImage(entry) != secondImage)
        PhonebookTrees::setNodeImages(entry, mainImage, secondImage);

    const QList<PhonebookTrees::DetailNode> wanted = m_trees.detailNodesOf(r);
    const auto isWanted = [&](int field) {
        for (const auto& detail : wanted)
            if (detail.field == field)
                return true;
        return false;
    };
    for (int i = entry->childCount() - 1; i >= 0; --i)
        if (!isWanted(fieldOfNode(entry->child(i))))
            delete entry->child(i);
    // What is left is in the fixed order already, so one pass puts in what
    // is missing and updates the rest.
    for (int i = 0; i < wanted.size(); ++i) {
        const PhonebookTrees::DetailNode& detail = wanted[i];
        QTreeWidgetItem* node = entry->child(i);
        if (!node || fieldOfNode(node) != detail.field) {
            PhonebookTrees::insertDetailNode(entry, i, detail);
            continue;
        }
        if (node->text(0) != detail.text)
            node->setText(0, detail.text);
        if (PhonebookTrees::mainImage(node) != detail.image)
            PhonebookTrees::setNodeImages(node, detail.image);
        if (node->toolTip(0) != detail.toolTip)
            node->setToolTip(0, detail.toolTip);
    }
}

bool TreeEditor::showRecord(int r)
{
    if (r < 1 || r > kLastShownRecord)
        return false;
    const bool live = m_store.isLive(r);
    if (QTreeWidgetItem* node = m_trees.phonebookNode(r); node && !live)
        m_trees.removePhonebookNode(r);
    else if (node)
        syncEntry(node, r, PhonebookTrees::phonebookEntryImage(r), 0);
    else if (live)
        m_trees.AddRecordNodes(r);
    if (isFirstNineRecord(r)) {
        const int p = r - kLastMemoryRecord;
        if (QTreeWidgetItem* node = m_trees.firstNineNode(p)) {
            if (live)
                syncEntry(node, r, SimEntryImage, p);
            else
                m_trees.removeFirstNineNode(p);
        } else if (live) {
            m_trees.AddFirstNineNodes(p);
        }
    }
    // The editor may have put the new name on the node already, so whether
    // to sort is told by the node's place, not by a change of its text.
    return live && outOfOrder(m_trees.phonebookNode(r));
}

void TreeEditor::moveEntryNodes(const QList<EntryMove>& moves)
{
    const auto shown = [](int r) { return r >= 1 && r <= kLastShownRecord; };
    // All nodes are taken out of their slots first, so that an exchange
    // carries each node to the other's slot rather than one over the other.
    QList<std::pair<int, QTreeWidgetItem*>> carried;
    for (const EntryMove& move : moves)
        if (shown(move.from) && shown(move.to))
            if (QTreeWidgetItem* node = m_trees.phonebookNode(move.from))
                carried.append({move.to, node});
    for (const EntryMove& move : moves)
        if (shown(move.from) && shown(move.to))
            m_trees.setPhonebookNode(move.from, nullptr);
    for (const auto& [to, node] : carried) {
        // An entry that held t and did not move is overwritten, and its node
        // goes with it.
        if (m_trees.phonebookNode(to) != node)
            m_trees.removePhonebookNode(to);
        m_trees.setPhonebookNode(to, node);
    }
}

void TreeEditor::showEdited(const EditResult& result, QTreeWidget* commandTree)
{
    if (!result.changed())
        return;
    Patching patching(*this);
    QList<int> records = result.touched;
    Place place;
    if (!commandTree->selectedItems().isEmpty()) {
        const NodeTarget selected = selectedTarget(commandTree);
        place.record = selected.record;
        place.field = selected.kind == NodeKind::Entry ? 0 : fieldOfNode(selected.node);
    }
    QList<EntryMove> moves = result.moves;
    if (moves.isEmpty() && result.target != 0)
        for (int s : result.touched)
            if (s != result.target)
                moves.append({s, result.target});
    moveEntryNodes(moves);
    for (const EntryMove& move : moves)
        if (place.record == move.from) {
            place.record = move.to;
            break;
        }
    bool sort = false;
    for (int r : records)
        sort = showRecord(r) || sort;
    if (sort)
        m_trees.sortPhonebookEntries();

    // The selection stays on its node; one that went leaves the nearest node
    // of its record selected rather than whatever neighbour the view picks.
    if (place.record == 0)
        return;
    QTreeWidgetItem* entry = entryNode(commandTree, place.record);
    if (!entry)
        return;
    QTreeWidgetItem* select = entry;
    for (int i = 0; place.field != 0 && i < entry->childCount(); ++i)
        if (fieldOfNode(entry->child(i)) == place.field)
            select = entry->child(i);
    if (commandTree->currentItem() != select || !select->isSelected())
        commandTree->setCurrentItem(select);
}

void TreeEditor::showRecords(const QList<int>& records, QTreeWidget* commandTree)
{
    EditResult refresh;
    refresh.touched = records;
    showEdited(refresh, commandTree);
}

} // namespace q7
