// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QTreeWidgetItem>
#include <array>

class QTreeWidget;

namespace q7 {

class HandsetImage;
class LanguageFile;

// Item data that carries the node's image indexes, so that code and tests can
// tell an image by its number rather than by its pixels: the main image into
// ImageList_Telefonbuch and the second image into ImageList_Nummern (0: none).
inline constexpr int kMainImageRole = Qt::UserRole;
inline constexpr int kSecondImageRole = Qt::UserRole + 1;

inline constexpr int kFirstNineCount = 9;

// The texts of the hidden role nodes; they name the field a detail node shows.
namespace NodeRole {
inline constexpr QStringView Speicherplatz = u"Speicherplatz";
inline constexpr QStringView Gruppe = u"Gruppe";
inline constexpr QStringView Nummer1 = u"Nummer1";
inline constexpr QStringView Nummer2 = u"Nummer2";
inline constexpr QStringView Nummer3 = u"Nummer3";
inline constexpr QStringView Zusatz1 = u"Zusatz1";
inline constexpr QStringView Zusatz2 = u"Zusatz2";
} // namespace NodeRole

// The field a role text names (Speicherplatz, Gruppe, Nummer1..3, Zusatz1..2),
// or 0 for any other text.
int fieldOfRole(QStringView role);
// The role text of one of those seven fields; empty for any other field.
QString roleOfField(int field);

// The phonebook tree (records 1..600) and the First Nine tree (records
// 501..509) of the main window, built from the record store. The window owns
// the widgets, the store, the language file and the number type names; this
// class only keeps the two node tables and the root references, which stay
// valid until the next rebuild of their tree.
//
// The constructor sets up both views (one column, no header, several
// entries selectable in the phonebook tree and one in the First Nine tree, no automatic sorting, a
// delegate that draws the second image beside the main one, lines in the text colour between the
// nodes but none beside the roots) and builds both trees on the store as it is.
//
// Every node is fully set up before it joins its tree, so a rebuild never
// raises the tree's itemChanged signal, which the window treats as an edit;
// showRecords changes nodes in their trees, and says so (updatingNodes).
// Every node may be edited in place as far as the view is concerned; the
// window decides, before it opens an editor, which nodes it lets the user
// edit.
// Nodes that go into these trees should come from here (AddRecordNodes,
// insertDetailNode): the sort of the entries relies on their comparison.
class PhonebookTrees
{
public:
    PhonebookTrees(QTreeWidget* phonebookTree, QTreeWidget* firstNineTree, const RecordStore& store,
                   const LanguageFile& language, const NumberTypeNames& numberTypeNames);

    ~PhonebookTrees();
    PhonebookTrees(const PhonebookTrees&) = delete;
    PhonebookTrees& operator=(const PhonebookTrees&) = delete;

    // Appends record r (1..600) with its details under the phonebook root and
    // keeps the entry node in slot r; a record that is not live is skipped
    // and its slot left alone. Does not sort.
    void AddRecordNodes(int r);
    // Adds record 500 + p, when it is live, to the First Nine tree in its
    // place by position, and keeps the entry node in slot p.
    void AddFirstNineNodes(int p);
    void RebuildPhonebookTree();
    void RebuildFirstNineTree();

    // Remove an entry node with its subtree and empty its slot; nothing when
    // the slot is empty.
    void removePhonebookNode(int r);
    void removeFirstNineNode(int p);

    // A detail node as record r asks for it: the field it shows, its text,
    // image and tooltip (a number's names its type, which the image alone
    // does not tell apart for every user: as stored, and in the current
    // language when that calls it otherwise).
    struct DetailNode
    {
        int field;
        QString text;
        int image;
        QString toolTip;
    };
    // The detail nodes of record r in their fixed order: Speicherplatz
    // always, the others when their field is not empty.
    QList<DetailNode> detailNodesOf(int r) const;
    // The main image of record r's entry node in the phonebook tree.
    static int phonebookEntryImage(int r);

    // Brings the nodes of records up to date with the store in both trees:
    // texts as stored, images, tooltips, changed marks and detail nodes;
    // entries that appeared or went likewise. An entry in moves carries its
    // node from one record to the other, open and selected as it was. The
    // phonebook tree is sorted again when a name left its place. A node
    // selected in commandTree that went is replaced by the nearest one left
    // of its record.
    void showRecords(const QList<int>& records, const QList<EntryMove>& moves,
                     QTreeWidget* commandTree);

    // While the program itself changes the nodes in a tree (showRecords, or
    // an editor putting the stored text back), the tree's itemChanged
    // signal is no edit of the user. One of these is alive meanwhile.
    class NodeUpdate
    {
    public:
        explicit NodeUpdate(PhonebookTrees& trees) : m_trees(trees) { ++m_trees.m_updating; }
        ~NodeUpdate() { --m_trees.m_updating; }
        NodeUpdate(const NodeUpdate&) = delete;
        NodeUpdate& operator=(const NodeUpdate&) = delete;

    private:
        PhonebookTrees& m_trees;
    };
    bool updatingNodes() const { return m_updating > 0; }

    // Sorts the entry nodes under the phonebook root by name, ignoring case,
    // in the user's locale. Entries keep their subtrees, hidden role nodes,
    // expansion and selection; details keep their fixed order.
    void sortPhonebookEntries();

    QTreeWidget* phonebookTree() const { return m_phonebookTree; }
    QTreeWidget* firstNineTree() const { return m_firstNineTree; }
    QTreeWidgetItem* phonebookRoot() const { return m_phonebookRoot; }
    QTreeWidgetItem* firstNineRoot() const { return m_firstNineRoot; }
    const LanguageFile& language() const { return m_language; }

    // Slot r (1..600) of the phonebook node table; nullptr when empty. An
    // operation that deletes an entry node empties its slot.
    QTreeWidgetItem* phonebookNode(int r) const;
    // Slot p (1..9) of the First Nine node table.
    QTreeWidgetItem* firstNineNode(int p) const;
    // The entry node of record r in tree (either of the two), by the node
    // tables; nullptr when it has none there.
    QTreeWidgetItem* entryNode(const QTreeWidget* tree, int r) const;
    // The record whose entry node in tree is entry, by the node tables; 0
    // for any other node.
    int recordOfEntryNode(const QTreeWidget* tree, const QTreeWidgetItem* entry) const;

    // Entries changed since the last read, load or write show their name in
    // bold. Nodes built here get the mark from the store; an edit's update
    // sets it on the nodes it touches, and showChangedMarks sets it on every
    // node, for a write that cleared the changed flags.
    static void showChangedMark(QTreeWidgetItem* entry, bool changed);
    static bool showsChangedMark(const QTreeWidgetItem* entry);
    void showChangedMarks();
    // Whether record r shows as changed: flagged by an edit, and not held by
    // the handset as it is now. The flag outlives a write on purpose (a
    // later write of the changed entries sends it again), but the handset
    // then has the edit, and the mark is for what it does not have yet.
    bool showsAsChanged(int r) const;
    // What the handset held when last seen; without it the flag alone counts.
    void setHandsetImage(const HandsetImage* handset) { m_handset = handset; }

    // What the status bar tells: the live entries of records 1..600, and how
    // many records the next write sends (deletions included).
    struct Counts
    {
        int entries = 0;
        int changed = 0;
    };
    Counts counts() const;

    // The image of a number detail node whose type field holds typeName.
    int numberImage(QByteArrayView typeName) const;

    // Inserts a detail node with its hidden role node as child `position` of
    // an entry node that is already in its tree, and returns it.
    static QTreeWidgetItem* insertDetailNode(QTreeWidgetItem* entry, int position,
                                             const QString& text, int image, QStringView role);
    static QTreeWidgetItem* insertDetailNode(QTreeWidgetItem* entry, int position,
                                             const DetailNode& detail);

    // Sets the image indexes of a node, and its icon. On a node that is in a
    // tree this raises itemChanged, as a text change does.
    static void setNodeImages(QTreeWidgetItem* node, int mainImage, int secondImage = 0);
    static int mainImage(const QTreeWidgetItem* node);
    static int secondImage(const QTreeWidgetItem* node);

    // What a screen reader says of a node (its accessible text): an entry
    // its name, where it lives (handset memory location, SIM or First Nine
    // position) and whether it shows as changed; a detail its field and
    // value, a number with its type ("Nummer 1, Mobil: 0170 1111"). Empty
    // for a root, which says its caption.
    QString spokenText(const QTreeWidgetItem* node) const;
    // What it says besides (its accessible description): an entry its
    // details, so that they are heard without opening it.
    QString spokenDetails(const QTreeWidgetItem* node) const;
    // Tells a screen reader anew of the tree's current node, as when the
    // keyboard moves onto it: the tree alone says nothing of it when it
    // gets the focus back from an editor.
    static void announceCurrent(QTreeWidget* tree);

    // The flat index, in tree order with hidden and collapsed items counted,
    // of the first selected item; 0 (the root) when nothing is selected.
    static int SelectedItemIndex(QTreeWidget* tree);
    // The item at a flat index of SelectedItemIndex, or nullptr.
    static QTreeWidgetItem* itemAtFlatIndex(QTreeWidget* tree, int index);

    // The record of an entry node or of any node below one: the integer in
    // the text of the entry node's first child. 0 for a root, for a node of
    // no entry and when that text is not a number.
    static int recordOfItem(const QTreeWidgetItem* item);
    // The role text of a detail node: the text of its first child.
    static QString roleOfItem(const QTreeWidgetItem* detail);
    // The field a detail node shows (fieldOfRole of its role); 0 for any
    // other node.
    static int fieldOfItem(const QTreeWidgetItem* detail);

private:
    // The texts of the fields a record's nodes show (name, location, group,
    // numbers, lines), by field, read once for the entry node and its
    // details.
    using FieldTexts = std::array<QString, kEntryValueCount + 1>;
    FieldTexts shownTextsOf(int r) const;
    QList<DetailNode> detailNodesOf(int r, const FieldTexts& texts) const;
    QTreeWidgetItem* makeEntryNode(int r, int mainImage, int secondImage) const;
    void carryEntryNodes(const QList<EntryMove>& moves);
    // Returns whether the phonebook tree needs sorting.
    bool showRecord(int r);
    void updateEntryNode(QTreeWidgetItem* entry, int r, int mainImage, int secondImage);
    static void hideRoleNodes(QTreeWidgetItem* entry);
    QTreeWidgetItem* newRoot(QTreeWidget* tree, const QString& text, int image) const;

    // The words of spokenText, read with the other captions at the start.
    struct SpokenWords
    {
        QString memory, sim, firstNine, changed, location, group, number, numberWithoutType,
            extraLine;
    };

    QTreeWidget* m_phonebookTree;
    QTreeWidget* m_firstNineTree;
    SpokenWords m_words;
    const RecordStore& m_store;
    const HandsetImage* m_handset = nullptr;
    const LanguageFile& m_language;
    const NumberTypeNames& m_numberTypeNames;

    int m_updating = 0;
    QTreeWidgetItem* m_phonebookRoot = nullptr;
    QTreeWidgetItem* m_firstNineRoot = nullptr;
    std::array<QTreeWidgetItem*, kLastShownRecord + 1> m_phonebookNodes{}; // slot 0 unused
    std::array<QTreeWidgetItem*, kFirstNineCount + 1> m_firstNineNodes{};  // slot 0 unused
};

} // namespace q7
