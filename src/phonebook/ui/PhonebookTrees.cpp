// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/ui/PhonebookTrees.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NameOrder.h"
#include "phonebook/NoteLines.h"
#include "phonebook/ui/PhonebookImages.h"
#include "phonebook/ui/TreeLines.h"

#include <QAccessible>
#include <QCollator>
#include <QFont>
#include <QHash>
#include <QMouseEvent>
#include <QSet>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <stdexcept>
#include <utility>

namespace q7 {

namespace {

struct RoleField
{
    QStringView role;
    int field;
};

constexpr std::array<RoleField, 7> kRoleFields{{
    {NodeRole::Speicherplatz, Speicherplatz},
    {NodeRole::Gruppe, Gruppe},
    {NodeRole::Nummer1, Nummer1},
    {NodeRole::Nummer2, Nummer2},
    {NodeRole::Nummer3, Nummer3},
    {NodeRole::Zusatz1, Zusatz1},
    {NodeRole::Zusatz2, Zusatz2},
}};

// Taken anew at each sort, so the order follows the language in use.
NameOrder& nameOrder()
{
    static NameOrder order;
    return order;
}

void takeNameCollation()
{
    nameOrder() = NameOrder();
}

// The trees that say their nodes in words, by their widget: a node finds
// the words through the tree it is in.
QHash<const QTreeWidget*, const PhonebookTrees*>& speakers()
{
    static QHash<const QTreeWidget*, const PhonebookTrees*> trees;
    return trees;
}

// Every node of the two trees is one of these. QTreeWidgetItem::sortChildren
// compares with the item's operator<, and sorting through the model (rather
// than taking the children out and putting them back) keeps the view's state
// of the moved rows: hidden role nodes, expansion, selection, current item.
class Node : public QTreeWidgetItem
{
public:
    explicit Node(const QString& text) : QTreeWidgetItem(QStringList{text}, UserType)
    {
        setFlags(flags() | Qt::ItemIsEditable);
    }

    bool operator<(const QTreeWidgetItem& other) const override
    {
        return nameOrder().lessThan(text(0), other.text(0));
    }

    // A screen reader gets what the images and the bold name tell the eye,
    // worked out when it asks, so that no edit can leave it stale.
    QVariant data(int column, int role) const override
    {
        if (column == 0 &&
            (role == Qt::AccessibleTextRole || role == Qt::AccessibleDescriptionRole)) {
            if (const PhonebookTrees* trees = speakers().value(treeWidget())) {
                const QString spoken = role == Qt::AccessibleTextRole ? trees->spokenText(this)
                                                                      : trees->spokenDetails(this);
                if (!spoken.isEmpty())
                    return spoken;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
};

// Draws the second image to the right of the main one. Only items that have
// a second image get the wider decoration, so every other row keeps the
// plain 16 x 16 image in its usual place.
class NodeImageDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int second = index.data(kSecondImageRole).toInt();
        if (second <= 0)
            return;
        option->icon = combinedImage(index.data(kMainImageRole).toInt(), second);
        option->decorationSize = QSize(kPhonebookImageSize.width() + kNumberImageSize.width(),
                                       kPhonebookImageSize.height());
        option->features |= QStyleOptionViewItem::HasDecoration;
    }
};

// Keeps a node selected once one is: a click on empty space or a
// Ctrl+click on the selected node would otherwise leave the tree without a
// selection, and the commands of the First Nine tree act on the selected
// node.
class KeepSelection : public QObject
{
public:
    explicit KeepSelection(QTreeWidget* tree) : QObject(tree), m_tree(tree)
    {
        tree->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress &&
            event->type() != QEvent::MouseButtonDblClick)
            return QObject::eventFilter(watched, event);
        const auto* press = static_cast<QMouseEvent*>(event);
        const QTreeWidgetItem* item = m_tree->itemAt(press->position().toPoint());
        // Of several selected entries one may be taken out; the last stays.
        const bool deselects = item ? item->isSelected() &&
                                          (press->modifiers() & Qt::ControlModifier) &&
                                          m_tree->selectedItems().size() == 1
                                    : true;
        return deselects && !m_tree->selectedItems().isEmpty();
    }

private:
    QTreeWidget* m_tree;
};

void setUpTree(QTreeWidget* tree)
{
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    // The roots stand at the left edge, with no line or button beside them.
    tree->setRootIsDecorated(false);
    tree->setSortingEnabled(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setExpandsOnDoubleClick(false);
    tree->setUniformRowHeights(true);
    tree->setIconSize(kPhonebookImageSize);
    tree->setItemDelegate(new NodeImageDelegate(tree));
    showTreeLines(tree);
    // Shift+F10 opens the context menu as the menu key does, below the
    // current node, where the keyboard user looks.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), tree);
    menuKey->setObjectName(QStringLiteral("ContextMenu_Shortcut"));
    menuKey->setContext(Qt::WidgetShortcut);
    QObject::connect(menuKey, &QShortcut::activated, tree, [tree] {
        const QRect row = tree->visualItemRect(tree->currentItem());
        emit tree->customContextMenuRequested(row.isValid() ? row.bottomLeft() : QPoint());
    });
}

// The role node is a child so that the role travels with the node through
// every move; a detail node should still not look expandable.
QTreeWidgetItem* makeDetailNode(const QString& text, int image, QStringView role)
{
    auto* detail = new Node(text);
    PhonebookTrees::setNodeImages(detail, image);
    detail->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    detail->addChild(new Node(role.toString()));
    return detail;
}

QTreeWidgetItem* makeDetailNode(const PhonebookTrees::DetailNode& wanted)
{
    QTreeWidgetItem* detail = makeDetailNode(wanted.text, wanted.image, roleOfField(wanted.field));
    if (!wanted.toolTip.isEmpty())
        detail->setToolTip(0, wanted.toolTip);
    return detail;
}

const QTreeWidgetItem* entryNodeOf(const QTreeWidgetItem* item)
{
    if (!item || !item->parent())
        return nullptr; // a root
    while (item->parent()->parent())
        item = item->parent();
    return item;
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
// can be found again once the nodes are brought up to date.
struct Place
{
    int record = 0;
    int field = 0;
};

} // namespace

int fieldOfRole(QStringView role)
{
    for (const RoleField& rf : kRoleFields)
        if (rf.role == role)
            return rf.field;
    return 0;
}

QString roleOfField(int field)
{
    for (const RoleField& rf : kRoleFields)
        if (rf.field == field)
            return rf.role.toString();
    return {};
}

PhonebookTrees::PhonebookTrees(QTreeWidget* phonebookTree, QTreeWidget* firstNineTree,
                               const RecordStore& store, const LanguageFile& language,
                               const NumberTypeNames& numberTypeNames)
    : m_phonebookTree(phonebookTree), m_firstNineTree(firstNineTree), m_store(store),
      m_language(language), m_numberTypeNames(numberTypeNames)
{
    setUpTree(m_phonebookTree);
    setUpTree(m_firstNineTree);
    // Several entries can be deleted or moved at once; the commands of one
    // node act on the first selected one, as before. The First Nine tree has
    // one entry per position and keeps single selection.
    m_phonebookTree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    new KeepSelection(m_firstNineTree);
    m_words = {m_language.text(TextId::Vorlesen_Handyspeicher),
               m_language.text(TextId::Vorlesen_SimKarte),
               m_language.text(TextId::Vorlesen_FirstNine),
               m_language.text(TextId::Vorlesen_Geaendert),
               m_language.text(TextId::Vorlesen_Speicherplatz),
               m_language.text(TextId::Vorlesen_Gruppe),
               m_language.text(TextId::Vorlesen_Nummer),
               m_language.text(TextId::Vorlesen_NummerOhneArt),
               m_language.text(TextId::Vorlesen_Zusatz)};
    speakers().insert(m_phonebookTree, this);
    speakers().insert(m_firstNineTree, this);
    // Both roots exist from the start, so no operation has to ask for them.
    RebuildPhonebookTree();
    RebuildFirstNineTree();
}

PhonebookTrees::~PhonebookTrees()
{
    for (const QTreeWidget* tree : {m_phonebookTree, m_firstNineTree})
        if (speakers().value(tree) == this)
            speakers().remove(tree);
}

QString PhonebookTrees::spokenText(const QTreeWidgetItem* node) const
{
    if (!node->parent())
        return {}; // a root says its caption
    if (!node->parent()->parent()) {
        // An entry: its name, where it lives, and the bold of a change.
        QStringList parts{node->text(0)};
        const int record = recordOfItem(node);
        const int main = mainImage(node);
        if (const int position = secondImage(node); position > 0)
            parts << m_words.firstNine.arg(position);
        else if (main >= FirstNinePosition1Image &&
                 main < FirstNinePosition1Image + kFirstNineCount)
            parts << m_words.firstNine.arg(main - FirstNinePosition1Image + 1);
        else if (main == MemoryEntryImage)
            parts << m_words.memory.arg(record);
        else if (main == SimEntryImage)
            parts << m_words.sim.arg(record - kLastMemoryRecord);
        if (showsChangedMark(node))
            parts << m_words.changed;
        return parts.join(QStringLiteral(", "));
    }
    // A detail: the field it shows, a number with the type its image shows.
    const QString value = node->text(0);
    const int field = fieldOfRole(roleOfItem(node));
    for (int k = 1; k <= 3; ++k) {
        if (field != nummerField(k))
            continue;
        const QString type = node->toolTip(0);
        return type.isEmpty() ? m_words.numberWithoutType.arg(QString::number(k), value)
                              : m_words.number.arg(QString::number(k), type, value);
    }
    switch (field) {
    case Speicherplatz:
        return m_words.location.arg(value);
    case Gruppe:
        return m_words.group.arg(value);
    case Zusatz1:
    case Zusatz2:
        return m_words.extraLine.arg(QString::number(field == Zusatz1 ? 1 : 2), value);
    default:
        return {};
    }
}

QString PhonebookTrees::spokenDetails(const QTreeWidgetItem* node) const
{
    // An entry tells its group, numbers and lines without being opened; its
    // location is in its name already.
    if (!node->parent() || node->parent()->parent())
        return {};
    QStringList details;
    for (int i = 0; i < node->childCount(); ++i) {
        const QTreeWidgetItem* detail = node->child(i);
        if (fieldOfRole(roleOfItem(detail)) != Speicherplatz)
            details << spokenText(detail);
    }
    return details.join(QStringLiteral("; "));
}

void PhonebookTrees::announceCurrent(QTreeWidget* tree)
{
    const QTreeWidgetItem* current = tree->currentItem();
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(tree);
    QAccessibleTableInterface* table = view ? view->tableInterface() : nullptr;
    if (!current || !tree->hasFocus() || !table)
        return;
    // The bus counts the rows the view shows.
    const auto shown = [](const QTreeWidgetItem* item) {
        for (; item; item = item->parent())
            if (item->isHidden() || (item->parent() && !item->parent()->isExpanded()))
                return false;
        return true;
    };
    int row = 0;
    for (QTreeWidgetItemIterator it(tree); *it && *it != current; ++it)
        row += shown(*it) ? 1 : 0;
    if (QAccessibleInterface* cell = table->cellAt(row, 0)) {
        QAccessibleEvent event(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

QTreeWidgetItem* PhonebookTrees::newRoot(QTreeWidget* tree, const QString& text, int image) const
{
    auto* root = new Node(text);
    setNodeImages(root, image);
    tree->insertTopLevelItem(0, root);
    return root;
}

PhonebookTrees::FieldTexts PhonebookTrees::shownTextsOf(int r) const
{
    FieldTexts texts;
    for (const int field :
         {Name, Speicherplatz, Gruppe, Nummer1, Nummer2, Nummer3, Zusatz1, Zusatz2}) {
        const QByteArray stored = m_store.field(r, field);
        texts[static_cast<std::size_t>(field)] = decodePc(stored);
    }
    return texts;
}

QList<PhonebookTrees::DetailNode> PhonebookTrees::detailNodesOf(int r) const
{
    return detailNodesOf(r, shownTextsOf(r));
}

QList<PhonebookTrees::DetailNode> PhonebookTrees::detailNodesOf(int r,
                                                                const FieldTexts& texts) const
{
    const auto text = [&texts](int field) { return texts[static_cast<std::size_t>(field)]; };
    QList<DetailNode> details;
    details.append({Speicherplatz, text(Speicherplatz), SpeicherplatzImage, QString()});
    if (!m_store.fieldIsEmpty(r, Gruppe))
        details.append({Gruppe, text(Gruppe), GruppeImage, QString()});
    for (int j = 1; j <= 3; ++j) {
        if (m_store.fieldIsEmpty(r, nummerField(j)))
            continue;
        const QByteArray type = m_store.field(r, nummernartField(j));
        details.append({nummerField(j), text(nummerField(j)), numberImage(type),
                        numberTypeToolTip(type, m_numberTypeNames)});
    }
    // Lines a write could not take to the handset say so where they stand.
    const QString onlyHere = m_handset && holdsNotesOnlyInWindow(m_store, *m_handset, r)
                                 ? m_language.text(TextId::Schreibplan_NurImFenster)
                                 : QString();
    for (const int zusatz : {Zusatz1, Zusatz2})
        if (!m_store.fieldIsEmpty(r, zusatz))
            details.append({zusatz, text(zusatz), ZusatzImage, onlyHere});
    return details;
}

int PhonebookTrees::phonebookEntryImage(int r)
{
    if (isFirstNineRecord(r))
        return FirstNinePosition1Image + (r - kFirstSimRecord);
    return isMemoryRecord(r) ? MemoryEntryImage : SimEntryImage;
}

QTreeWidgetItem* PhonebookTrees::makeEntryNode(int r, int mainImage, int secondImage) const
{
    const FieldTexts texts = shownTextsOf(r);
    auto* entry = new Node(texts[Name]);
    setNodeImages(entry, mainImage, secondImage);
    showChangedMark(entry, showsAsChanged(r));
    for (const DetailNode& detail : detailNodesOf(r, texts))
        entry->addChild(makeDetailNode(detail));
    return entry;
}

void PhonebookTrees::hideRoleNodes(QTreeWidgetItem* entry)
{
    // The view keeps the hidden state, so it can only be set once the node is
    // in its tree.
    for (int i = 0; i < entry->childCount(); ++i)
        if (QTreeWidgetItem* detail = entry->child(i); detail->childCount() > 0)
            detail->child(0)->setHidden(true);
}

void PhonebookTrees::AddRecordNodes(int r)
{
    if (r < 1 || r > kLastShownRecord)
        throw std::out_of_range("phonebook node table index");
    if (!m_store.isLive(r))
        return;
    QTreeWidgetItem* entry = makeEntryNode(r, phonebookEntryImage(r), 0);
    m_phonebookRoot->addChild(entry);
    hideRoleNodes(entry);
    m_phonebookNodes[r] = entry;
}

void PhonebookTrees::RebuildPhonebookTree()
{
    m_phonebookTree->clear();
    m_phonebookNodes.fill(nullptr);
    m_phonebookRoot = newRoot(m_phonebookTree, m_language.text(TextId::TAB_Telefonbuch_Telefonbuch),
                              PhonebookRootImage);
    for (int r = 1; r <= kLastShownRecord; ++r)
        AddRecordNodes(r);
    m_phonebookRoot->setExpanded(true);
    sortPhonebookEntries();
}

void PhonebookTrees::RebuildFirstNineTree()
{
    m_firstNineTree->clear();
    m_firstNineNodes.fill(nullptr);
    m_firstNineRoot = newRoot(m_firstNineTree, m_language.text(TextId::TAB_Telefonbuch_Firstnine),
                              FirstNineRootImage);
    for (int p = 1; p <= kFirstNineCount; ++p)
        AddFirstNineNodes(p);
    m_firstNineRoot->setExpanded(true);
}

void PhonebookTrees::AddFirstNineNodes(int p)
{
    const int r = kLastMemoryRecord + p;
    if (!m_store.isLive(r))
        return;
    // Position order is the point of this tree: it is never sorted, so a
    // node goes in after those of the positions before it.
    int index = 0;
    for (int q = 1; q < p; ++q)
        index += m_firstNineNodes[q] ? 1 : 0;
    QTreeWidgetItem* entry = makeEntryNode(r, SimEntryImage, p);
    m_firstNineRoot->insertChild(index, entry);
    hideRoleNodes(entry);
    m_firstNineNodes[p] = entry;
}

void PhonebookTrees::showChangedMark(QTreeWidgetItem* entry, bool changed)
{
    QFont font = entry->font(0);
    if (font.bold() == changed && entry->data(0, Qt::FontRole).isValid() == changed)
        return;
    if (changed) {
        font.setBold(true);
        entry->setFont(0, font);
    } else {
        // Back to the tree's own font, whatever it is by then.
        entry->setData(0, Qt::FontRole, QVariant());
    }
}

bool PhonebookTrees::showsChangedMark(const QTreeWidgetItem* entry)
{
    return entry->data(0, Qt::FontRole).isValid() && entry->font(0).bold();
}

void PhonebookTrees::showChangedMarks()
{
    // A new font raises itemChanged like a new text; an edit whose step
    // brings this about may still have its editor on a node.
    NodeUpdate update(*this);
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (QTreeWidgetItem* node = phonebookNode(r))
            showChangedMark(node, showsAsChanged(r));
    for (int p = 1; p <= kFirstNineCount; ++p)
        if (QTreeWidgetItem* node = firstNineNode(p))
            showChangedMark(node, showsAsChanged(kLastMemoryRecord + p));
}

bool PhonebookTrees::showsAsChanged(int r) const
{
    if (!m_store.isChanged(r))
        return false;
    // The image lays the handset's entries out as the store does: the entry
    // at location r in record r.
    if (!m_handset || !m_handset->isKnown())
        return true;
    // A deletion is done once the handset holds nothing there.
    if (!m_store.isLive(r))
        return m_handset->holdsEntry(r);
    return !m_handset->holdsEntry(r) ||
           !differingFields(m_store, r, m_handset->entries(), r).isEmpty();
}

PhonebookTrees::Counts PhonebookTrees::counts() const
{
    Counts counts;
    for (int r = 1; r <= kLastShownRecord; ++r) {
        if (m_store.isLive(r))
            ++counts.entries;
        // A deletion waiting for the next write is a change as well.
        if (m_store.holdsEntry(r) && showsAsChanged(r))
            ++counts.changed;
    }
    return counts;
}

void PhonebookTrees::removePhonebookNode(int r)
{
    delete std::exchange(m_phonebookNodes.at(static_cast<std::size_t>(r)), nullptr);
}

void PhonebookTrees::removeFirstNineNode(int p)
{
    delete std::exchange(m_firstNineNodes.at(static_cast<std::size_t>(p)), nullptr);
}

void PhonebookTrees::sortPhonebookEntries()
{
    takeNameCollation();
    m_phonebookRoot->sortChildren(0, Qt::AscendingOrder);
}

QTreeWidgetItem* PhonebookTrees::phonebookNode(int r) const
{
    return m_phonebookNodes.at(static_cast<std::size_t>(r));
}

QTreeWidgetItem* PhonebookTrees::firstNineNode(int p) const
{
    return m_firstNineNodes.at(static_cast<std::size_t>(p));
}

QTreeWidgetItem* PhonebookTrees::entryNode(const QTreeWidget* tree, int r) const
{
    if (tree == m_phonebookTree)
        return r >= 1 && r <= kLastShownRecord ? phonebookNode(r) : nullptr;
    return isFirstNineRecord(r) ? firstNineNode(r - kLastMemoryRecord) : nullptr;
}

int PhonebookTrees::recordOfEntryNode(const QTreeWidget* tree, const QTreeWidgetItem* entry) const
{
    if (!entry)
        return 0;
    if (tree == m_phonebookTree) {
        for (int r = 1; r <= kLastShownRecord; ++r)
            if (m_phonebookNodes[static_cast<std::size_t>(r)] == entry)
                return r;
    } else {
        for (int p = 1; p <= kFirstNineCount; ++p)
            if (m_firstNineNodes[static_cast<std::size_t>(p)] == entry)
                return kLastMemoryRecord + p;
    }
    return 0;
}

int PhonebookTrees::numberImage(QByteArrayView typeName) const
{
    return NumberTypeImage(typeName, m_numberTypeNames);
}

QTreeWidgetItem* PhonebookTrees::insertDetailNode(QTreeWidgetItem* entry, int position,
                                                  const QString& text, int image, QStringView role)
{
    QTreeWidgetItem* detail = makeDetailNode(text, image, role);
    entry->insertChild(position, detail);
    detail->child(0)->setHidden(true);
    return detail;
}

QTreeWidgetItem* PhonebookTrees::insertDetailNode(QTreeWidgetItem* entry, int position,
                                                  const DetailNode& wanted)
{
    QTreeWidgetItem* detail = makeDetailNode(wanted);
    entry->insertChild(position, detail);
    detail->child(0)->setHidden(true);
    return detail;
}

void PhonebookTrees::setNodeImages(QTreeWidgetItem* node, int mainImage, int secondImage)
{
    node->setData(0, kMainImageRole, mainImage);
    node->setData(0, kSecondImageRole, secondImage);
    const QList<QIcon>& images = phonebookImages();
    node->setIcon(0, mainImage >= 0 && mainImage < images.size() ? images[mainImage] : QIcon());
}

int PhonebookTrees::mainImage(const QTreeWidgetItem* node)
{
    return node->data(0, kMainImageRole).toInt();
}

int PhonebookTrees::secondImage(const QTreeWidgetItem* node)
{
    return node->data(0, kSecondImageRole).toInt();
}

int PhonebookTrees::SelectedItemIndex(QTreeWidget* tree)
{
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    if (selected.isEmpty())
        return 0;
    // Asking each item whether it is selected costs a model lookup per item;
    // comparing against the few selected ones does not.
    const QSet<QTreeWidgetItem*> wanted(selected.cbegin(), selected.cend());
    int index = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++index)
        if (wanted.contains(*it))
            return index;
    return 0;
}

QTreeWidgetItem* PhonebookTrees::itemAtFlatIndex(QTreeWidget* tree, int index)
{
    if (index < 0)
        return nullptr;
    QTreeWidgetItemIterator it(tree);
    for (int i = 0; *it && i < index; ++i)
        ++it;
    return *it;
}

int PhonebookTrees::recordOfItem(const QTreeWidgetItem* item)
{
    const QTreeWidgetItem* entry = entryNodeOf(item);
    if (!entry || entry->childCount() == 0)
        return 0;
    bool ok = false;
    const int record = entry->child(0)->text(0).toInt(&ok);
    return ok ? record : 0;
}

QString PhonebookTrees::roleOfItem(const QTreeWidgetItem* detail)
{
    if (!detail || detail->childCount() == 0)
        return {};
    return detail->child(0)->text(0);
}

int PhonebookTrees::fieldOfItem(const QTreeWidgetItem* detail)
{
    return fieldOfRole(roleOfItem(detail));
}

// --- Bringing nodes up to date after an edit ---------------------------------

void PhonebookTrees::updateEntryNode(QTreeWidgetItem* entry, int r, int mainImage, int secondImage)
{
    const FieldTexts texts = shownTextsOf(r);
    if (entry->text(0) != texts[Name])
        entry->setText(0, texts[Name]);
    showChangedMark(entry, showsAsChanged(r));
    if (PhonebookTrees::mainImage(entry) != mainImage ||
        PhonebookTrees::secondImage(entry) != secondImage)
        setNodeImages(entry, mainImage, secondImage);

    const QList<DetailNode> wanted = detailNodesOf(r, texts);
    const auto isWanted = [&](int field) {
        for (const auto& detail : wanted)
            if (detail.field == field)
                return true;
        return false;
    };
    for (int i = entry->childCount() - 1; i >= 0; --i)
        if (!isWanted(fieldOfItem(entry->child(i))))
            delete entry->child(i);
    // What is left is in the fixed order already, so one pass puts in what
    // is missing and updates the rest.
    for (int i = 0; i < wanted.size(); ++i) {
        const DetailNode& detail = wanted[i];
        QTreeWidgetItem* node = entry->child(i);
        if (!node || fieldOfItem(node) != detail.field) {
            insertDetailNode(entry, i, detail);
            continue;
        }
        if (node->text(0) != detail.text)
            node->setText(0, detail.text);
        if (PhonebookTrees::mainImage(node) != detail.image)
            setNodeImages(node, detail.image);
        if (node->toolTip(0) != detail.toolTip)
            node->setToolTip(0, detail.toolTip);
    }
}

bool PhonebookTrees::showRecord(int r)
{
    if (r < 1 || r > kLastShownRecord)
        return false;
    const bool live = m_store.isLive(r);
    if (QTreeWidgetItem* node = phonebookNode(r); node && !live)
        removePhonebookNode(r);
    else if (node)
        updateEntryNode(node, r, phonebookEntryImage(r), 0);
    else if (live)
        AddRecordNodes(r);
    if (isFirstNineRecord(r)) {
        const int p = r - kLastMemoryRecord;
        if (QTreeWidgetItem* node = firstNineNode(p)) {
            if (live)
                updateEntryNode(node, r, SimEntryImage, p);
            else
                removeFirstNineNode(p);
        } else if (live) {
            AddFirstNineNodes(p);
        }
    }
    // An editor may have put the new name on the node already, so whether
    // to sort is told by the node's place, not by a change of its text.
    return live && outOfOrder(phonebookNode(r));
}

void PhonebookTrees::carryEntryNodes(const QList<EntryMove>& moves)
{
    const auto shown = [](int r) { return r >= 1 && r <= kLastShownRecord; };
    const auto slot = [this](int r) -> QTreeWidgetItem*& {
        return m_phonebookNodes.at(static_cast<std::size_t>(r));
    };
    // All nodes are taken out of their slots first, so that an exchange
    // carries each node to the other's slot rather than one over the other.
    QList<std::pair<int, QTreeWidgetItem*>> carried;
    for (const EntryMove& move : moves)
        if (shown(move.from) && shown(move.to))
            if (QTreeWidgetItem* node = slot(move.from))
                carried.append({move.to, node});
    for (const EntryMove& move : moves)
        if (shown(move.from) && shown(move.to))
            slot(move.from) = nullptr;
    for (const auto& [to, node] : carried) {
        // An entry that held the record and did not move is overwritten, and
        // its node goes with it.
        if (slot(to) != node)
            removePhonebookNode(to);
        slot(to) = node;
    }
}

void PhonebookTrees::showRecords(const QList<int>& records, const QList<EntryMove>& moves,
                                 QTreeWidget* commandTree)
{
    if (records.isEmpty())
        return;
    NodeUpdate update(*this);
    Place place;
    if (const QList<QTreeWidgetItem*> selected = commandTree->selectedItems();
        !selected.isEmpty()) {
        // Of several selected nodes the current one is the one the user
        // last went to.
        QTreeWidgetItem* node = commandTree->currentItem();
        if (!node || !node->isSelected())
            node = itemAtFlatIndex(commandTree, SelectedItemIndex(commandTree));
        QTreeWidgetItem* entry = node;
        while (entry && entry->parent() && entry->parent()->parent())
            entry = entry->parent();
        place.record = recordOfEntryNode(commandTree, entry);
        place.field = entry == node ? 0 : fieldOfItem(node);
    }
    carryEntryNodes(moves);
    for (const EntryMove& move : moves)
        if (place.record == move.from) {
            place.record = move.to;
            break;
        }
    bool sort = false;
    for (int r : records)
        sort = showRecord(r) || sort;
    if (sort)
        sortPhonebookEntries();

    // The selection stays on its node; one that went leaves the nearest node
    // of its record selected rather than whatever neighbour the view picks.
    QTreeWidgetItem* entry = place.record != 0 ? entryNode(commandTree, place.record) : nullptr;
    if (!entry)
        return;
    QTreeWidgetItem* select = entry;
    for (int i = 0; place.field != 0 && i < entry->childCount(); ++i)
        if (fieldOfItem(entry->child(i)) == place.field)
            select = entry->child(i);
    if (commandTree->currentItem() != select || !select->isSelected())
        commandTree->setCurrentItem(select);
}

} // namespace q7
