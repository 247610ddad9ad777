// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NameOrder.h"
#include "phonebook/ui/PhonebookImages.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/PhonebookNodes.h"

#include <QImage>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace q7;

namespace {

QList<int> childImages(const QTreeWidgetItem* entry)
{
    QList<int> images;
    for (int i = 0; i < entry->childCount(); ++i)
        images << PhonebookTrees::mainImage(entry->child(i));
    return images;
}

// Each detail node has exactly one child, hidden and without children.
bool roleNodesHidden(const QTreeWidgetItem* entry)
{
    for (int i = 0; i < entry->childCount(); ++i) {
        const QTreeWidgetItem* detail = entry->child(i);
        if (detail->isHidden() || detail->childCount() != 1 || !detail->child(0)->isHidden() ||
            detail->child(0)->childCount() != 0)
            return false;
    }
    return true;
}

// How many pixels of the area have exactly the colour.
int pixelsOfColour(const QImage& image, const QRect& area, QColor colour)
{
    const QRgb wanted = colour.rgb();
    const QRect inside = area & image.rect();
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixel(x, y) == wanted ? 1 : 0;
    return count;
}

// The colours the window gives its trees, with the window text (which the
// expand arrows are drawn from) kept apart from the item text.
void colourTree(QTreeWidget* tree, QColor text)
{
    QPalette palette = tree->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(0xc0, 0xc0, 0xc0));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, QColor(0x00, 0x00, 0x00));
    }
    tree->setPalette(palette);
}

} // namespace

class TestTrees : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void imagesAreLoadedAndDistinct();
    void emptyStoreGivesOnlyRoots();
    void detailNodes_data();
    void detailNodes();
    void entryImages_data();
    void entryImages();
    void entriesSortByNameIgnoringCase();
    void phonebookTreeOrderIsTheTreesOwn();
    void firstNineTreeKeepsPositionOrder();
    void recordsOutsideTheTreesGetNoNode();
    void numberImagesFollowTheTypeNames();
    void rebuildEmptiesStaleSlots();
    void addRecordNodesAppendsWithoutSorting();
    void rebuildRaisesNoItemChange();
    void sortKeepsTheViewState();
    void showRecordsFollowsTheStore_data();
    void showRecordsFollowsTheStore();
    void selectedItemIndex_data();
    void selectedItemIndex();
    void recordOfItem_data();
    void recordOfItem();
    void rootTextsComeFromTheLanguageFile();
    void onlyFirstNineKeepsItsSelection_data();
    void onlyFirstNineKeepsItsSelection();
    void branchLinesInTheTextColour_data();
    void branchLinesInTheTextColour();
    void changedEntriesAreMarked();
    void changedMarksLeaveOutWhatTheHandsetHolds();
    void phonebookSelectsSeveralEntries();

private:
    PhonebookTrees& rebuilt();

    RecordStore m_store;
    NumberTypeNames m_names;
    LanguageFile m_language;
    std::unique_ptr<QTreeWidget> m_phonebook;
    std::unique_ptr<QTreeWidget> m_firstNine;
    std::unique_ptr<PhonebookTrees> m_trees;
};

void TestTrees::init()
{
    m_store = RecordStore();
    m_names = defaultNumberTypeNames();
    m_language = LanguageFile();
    m_trees.reset();
    m_phonebook = std::make_unique<QTreeWidget>();
    m_firstNine = std::make_unique<QTreeWidget>();
    m_trees = std::make_unique<PhonebookTrees>(m_phonebook.get(), m_firstNine.get(), m_store,
                                               m_language, m_names);
}

PhonebookTrees& TestTrees::rebuilt()
{
    m_trees->RebuildPhonebookTree();
    m_trees->RebuildFirstNineTree();
    return *m_trees;
}

void TestTrees::imagesAreLoadedAndDistinct()
{
    const auto check = [](const QList<QIcon>& icons, int count, QSize size) {
        QCOMPARE(icons.size(), count);
        QList<QImage> images;
        for (int i = 0; i < count; ++i) {
            QVERIFY2(!icons[i].isNull(), qPrintable(QString::number(i)));
            const QImage image = icons[i].pixmap(size).toImage();
            QCOMPARE(image.size(), size);
            QVERIFY2(!images.contains(image), qPrintable(QStringLiteral("%1 repeats").arg(i)));
            images << image;
        }
    };
    check(phonebookImages(), 24, QSize(16, 16));
    check(numberImages(), 10, QSize(8, 16));
}

void TestTrees::emptyStoreGivesOnlyRoots()
{
    PhonebookTrees& trees = rebuilt();
    for (QTreeWidget* tree : {m_phonebook.get(), m_firstNine.get()}) {
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    }
    QCOMPARE(trees.phonebookRoot(), m_phonebook->topLevelItem(0));
    QCOMPARE(trees.firstNineRoot(), m_firstNine->topLevelItem(0));
    QCOMPARE(trees.phonebookRoot()->text(0), QStringLiteral("Telefonbuch"));
    QCOMPARE(trees.firstNineRoot()->text(0), QStringLiteral("First Nine"));
    QCOMPARE(PhonebookTrees::mainImage(trees.phonebookRoot()), 1);
    QCOMPARE(PhonebookTrees::mainImage(trees.firstNineRoot()), 22);
    QVERIFY(trees.phonebookRoot()->isExpanded());
    QVERIFY(trees.firstNineRoot()->isExpanded());
    for (int r = 1; r <= 600; ++r)
        QVERIFY(!trees.phonebookNode(r));
    for (int p = 1; p <= 9; ++p)
        QVERIFY(!trees.firstNineNode(p));
}

void TestTrees::detailNodes_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("roles");
    QTest::addColumn<QList<int>>("images");

    // Detail texts that would sort differently show that only the entries
    // are sorted.
    QTest::newRow("every detail") << 17 << Fields{{Gruppe, "Familie"},
                                                  {Nummernart1, "Mobil"},
                                                  {Nummer1, "01711234567"},
                                                  {Nummernart2, "Heim"},
                                                  {Nummer2, "030123456"},
                                                  {Nummernart3, "Pieper"},
                                                  {Nummer3, "555"},
                                                  {Zusatz1, "Geburtstag 3.5."},
                                                  {Zusatz2, encodePc(u"Straße 1")}}
                                  << QStringList{"17",
                                                 "Familie",
                                                 "01711234567",
                                                 "030123456",
                                                 "555",
                                                 "Geburtstag 3.5.",
                                                 QStringLiteral("Straße 1")}
                                  << QStringList{"Speicherplatz", "Gruppe",  "Nummer1", "Nummer2",
                                                 "Nummer3",       "Zusatz1", "Zusatz2"}
                                  << QList<int>{12, 4, 8, 6, 23, 0, 0};
    QTest::newRow("gaps are skipped")
        << 540 << Fields{{Nummernart2, encodePc(u"Büro")}, {Nummer2, "0891234"}, {Zusatz2, "Chef"}}
        << QStringList{"540", "0891234", "Chef"}
        << QStringList{"Speicherplatz", "Nummer2", "Zusatz2"} << QList<int>{12, 7, 0};
    QTest::newRow("a number without a type")
        << 2 << Fields{{Nummer1, "112"}} << QStringList{"2", "112"}
        << QStringList{"Speicherplatz", "Nummer1"} << QList<int>{12, 23};
    QTest::newRow("empty Speicherplatz") << 3 << Fields{{Speicherplatz, ""}} << QStringList{""}
                                         << QStringList{"Speicherplatz"} << QList<int>{12};
}

void TestTrees::detailNodes()
{
    QFETCH(int, record);
    QFETCH(Fields, fields);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, roles);
    QFETCH(QList<int>, images);

    putRecord(m_store, record, "Anna", fields);
    PhonebookTrees& trees = rebuilt();

    QTreeWidgetItem* entry = trees.phonebookNode(record);
    QVERIFY(entry);
    QCOMPARE(entry->parent(), trees.phonebookRoot());
    QCOMPARE(entry->text(0), QStringLiteral("Anna"));
    QVERIFY(!entry->isExpanded());
    QCOMPARE(childTexts(entry), texts);
    QCOMPARE(childRoles(entry), roles);
    QCOMPARE(childImages(entry), images);
    QVERIFY(roleNodesHidden(entry));
    for (int i = 0; i < entry->childCount(); ++i) {
        QCOMPARE(entry->child(i)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
        QVERIFY(!entry->child(i)->icon(0).isNull());
    }
}

void TestTrees::entryImages_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("image");

    QTest::newRow("first of handset memory") << 1 << 3;
    QTest::newRow("last of handset memory") << 500 << 3;
    QTest::newRow("First Nine 1") << 501 << 13;
    QTest::newRow("First Nine 5") << 505 << 17;
    QTest::newRow("First Nine 9") << 509 << 21;
    QTest::newRow("first SIM after the First Nine") << 510 << 2;
    QTest::newRow("last SIM in the tree") << 600 << 2;
}

void TestTrees::entryImages()
{
    QFETCH(int, record);
    QFETCH(int, image);

    putRecord(m_store, record, "Eintrag");
    PhonebookTrees& trees = rebuilt();
    QTreeWidgetItem* entry = trees.phonebookNode(record);
    QVERIFY(entry);
    QCOMPARE(PhonebookTrees::mainImage(entry), image);
    QCOMPARE(PhonebookTrees::secondImage(entry), 0);
    QVERIFY(!entry->icon(0).isNull());
}

void TestTrees::entriesSortByNameIgnoringCase()
{
    putRecord(m_store, 1, "Zoe", {{Gruppe, "Aaa"}});
    putRecord(m_store, 2, "anna");
    putRecord(m_store, 3, "bert");
    putRecord(m_store, 4, "Bernd");
    putRecord(m_store, 530, "Carla");
    putRecord(m_store, 502, "ZZ Top");
    PhonebookTrees& trees = rebuilt();

    QCOMPARE(childTexts(trees.phonebookRoot()),
             (QStringList{"anna", "Bernd", "bert", "Carla", "Zoe", "ZZ Top"}));
    QCOMPARE(childTexts(trees.phonebookNode(1)), (QStringList{"1", "Aaa"}));
    for (const int r : {1, 2, 3, 4, 530, 502})
        QVERIFY(roleNodesHidden(trees.phonebookNode(r)));
}

// The printed list and q7ctl's PDF take the tree's order without a tree:
// the same names in the same places, equal names by location.
void TestTrees::phonebookTreeOrderIsTheTreesOwn()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    putRecord(m_store, 9, u"Zoe");
    putRecord(m_store, 4, u"anna");
    putRecord(m_store, 2, u"Ärzte");
    putRecord(m_store, 7, u"Anna");
    putRecord(m_store, 600, u"Öl");
    putRecord(m_store, 505, u"anna");
    putRecord(m_store, 650, u"Aaron"); // beyond what the trees show
    PhonebookTrees& trees = rebuilt();
    QList<int> shown;
    for (int i = 0; i < trees.phonebookRoot()->childCount(); ++i)
        shown << PhonebookTrees::recordOfItem(trees.phonebookRoot()->child(i));
    QCOMPARE(shown, (QList<int>{4, 7, 505, 2, 600, 9}));
    QCOMPARE(phonebookTreeOrder(m_store), shown);
}

void TestTrees::firstNineTreeKeepsPositionOrder()
{
    putRecord(m_store, 501, "Zoe", {{Nummernart1, "Mobil"}, {Nummer1, "0171"}});
    putRecord(m_store, 505, "Mama", {{Nummernart1, "Heim"}, {Nummer1, "0301"}});
    putRecord(m_store, 509, "Anna");
    putRecord(m_store, 503, kDeletionMarker);
    PhonebookTrees& trees = rebuilt();

    QTreeWidgetItem* root = trees.firstNineRoot();
    QCOMPARE(childTexts(root), (QStringList{"Zoe", "Mama", "Anna"}));
    const std::array<int, 3> positions{1, 5, 9};
    for (int i = 0; i < 3; ++i) {
        const int p = positions[i];
        QTreeWidgetItem* entry = root->child(i);
        QCOMPARE(trees.firstNineNode(p), entry);
        QCOMPARE(PhonebookTrees::mainImage(entry), 2);
        QCOMPARE(PhonebookTrees::secondImage(entry), p);
        QCOMPARE(PhonebookTrees::recordOfItem(entry), 500 + p);
        QVERIFY(roleNodesHidden(entry));
        // The same record in the phonebook tree carries its position badge.
        QCOMPARE(PhonebookTrees::mainImage(trees.phonebookNode(500 + p)), 12 + p);
    }
    for (const int p : {2, 3, 4, 6, 7, 8})
        QVERIFY(!trees.firstNineNode(p));
    QCOMPARE(childTexts(trees.firstNineNode(5)), (QStringList{"505", "0301"}));
    QCOMPARE(childImages(trees.firstNineNode(5)), (QList<int>{12, 6}));
}

void TestTrees::recordsOutsideTheTreesGetNoNode()
{
    putRecord(m_store, 10, "Anna");
    putRecord(m_store, 20, kDeletionMarker);
    putRecord(m_store, 21, "q7loeschenq7"); // not the marker: a live name
    putRecord(m_store, 502, kDeletionMarker);
    putRecord(m_store, 601, "Bert");
    putRecord(m_store, 650, "Carla");
    putRecord(m_store, 700, "Dora");
    PhonebookTrees& trees = rebuilt();

    QCOMPARE(childTexts(trees.phonebookRoot()), (QStringList{"Anna", "q7loeschenq7"}));
    QVERIFY(!trees.phonebookNode(20));
    QVERIFY(!trees.phonebookNode(502));
    QCOMPARE(trees.firstNineRoot()->childCount(), 0);
}

void TestTrees::numberImagesFollowTheTypeNames()
{
    putRecord(
        m_store, 1, "Anna",
        {{Nummernart1, "Mobil"}, {Nummer1, "0171"}, {Nummernart2, "Handy"}, {Nummer2, "0172"}});
    QCOMPARE(childImages(rebuilt().phonebookNode(1)), (QList<int>{12, 8, 23}));

    // The language file renamed the type; texts already stored keep the old
    // one, which is still known as the German default, and the tooltip
    // gives the name the file uses now.
    m_names[3] = "Handy";
    QTreeWidgetItem* entry = rebuilt().phonebookNode(1);
    QCOMPARE(childImages(entry), (QList<int>{12, 8, 8}));
    QCOMPARE(entry->child(1)->toolTip(0), QStringLiteral("Mobil (Handy)"));
    QCOMPARE(entry->child(2)->toolTip(0), QStringLiteral("Handy"));
}

void TestTrees::rebuildEmptiesStaleSlots()
{
    putRecord(m_store, 5, "Anna");
    putRecord(m_store, 505, "Bert");
    PhonebookTrees& trees = rebuilt();
    QVERIFY(trees.phonebookNode(5));
    QVERIFY(trees.firstNineNode(5));

    m_store.ClearRecords();
    rebuilt();
    QVERIFY(!trees.phonebookNode(5));
    QVERIFY(!trees.phonebookNode(505));
    QVERIFY(!trees.firstNineNode(5));
}

void TestTrees::addRecordNodesAppendsWithoutSorting()
{
    putRecord(m_store, 1, "Zoe");
    putRecord(m_store, 2, "Bert");
    PhonebookTrees& trees = rebuilt();

    putRecord(m_store, 3, "Anna", {{Gruppe, "Familie"}});
    trees.AddRecordNodes(3);
    QCOMPARE(childTexts(trees.phonebookRoot()), (QStringList{"Bert", "Zoe", "Anna"}));
    QCOMPARE(trees.phonebookNode(3), trees.phonebookRoot()->child(2));
    QVERIFY(roleNodesHidden(trees.phonebookNode(3)));

    trees.sortPhonebookEntries();
    QCOMPARE(childTexts(trees.phonebookRoot()), (QStringList{"Anna", "Bert", "Zoe"}));

    // A record that is not live is skipped and its slot left as it was.
    QTreeWidgetItem* old = trees.phonebookNode(2);
    m_store.setField(2, Name, kDeletionMarker);
    trees.AddRecordNodes(2);
    QCOMPARE(trees.phonebookRoot()->childCount(), 3);
    QCOMPARE(trees.phonebookNode(2), old);
}

void TestTrees::rebuildRaisesNoItemChange()
{
    // The window stores an item's text into the record on itemChanged; a
    // rebuild must not look like an edit.
    for (int r = 1; r <= 600; r += 7)
        putRecord(m_store, r, QByteArray("Name ") + QByteArray::number(r),
                  {{Gruppe, "G"}, {Nummernart1, "Fax"}, {Nummer1, "1"}, {Zusatz1, "z"}});
    QSignalSpy phonebookChanges(m_phonebook.get(), &QTreeWidget::itemChanged);
    QSignalSpy firstNineChanges(m_firstNine.get(), &QTreeWidget::itemChanged);
    PhonebookTrees& trees = rebuilt();
    trees.AddRecordNodes(1);
    trees.sortPhonebookEntries();
    QCOMPARE(phonebookChanges.count(), 0);
    QCOMPARE(firstNineChanges.count(), 0);
}

void TestTrees::sortKeepsTheViewState()
{
    putRecord(m_store, 1, "Bert", {{Nummernart1, "Mobil"}, {Nummer1, "0171"}});
    putRecord(m_store, 2, "Zoe", {{Nummernart1, "Mobil"}, {Nummer1, "0172"}});
    PhonebookTrees& trees = rebuilt();
    QTreeWidgetItem* zoe = trees.phonebookNode(2);
    zoe->setExpanded(true);
    zoe->child(1)->setSelected(true);

    // What a rename in place does before it sorts again.
    zoe->setText(0, QStringLiteral("Anton"));
    trees.sortPhonebookEntries();

    QCOMPARE(trees.phonebookRoot()->child(0), zoe);
    QVERIFY(zoe->isExpanded());
    QVERIFY(zoe->child(1)->isSelected());
    QVERIFY(roleNodesHidden(zoe));
    QVERIFY(roleNodesHidden(trees.phonebookNode(1)));
    QVERIFY(trees.phonebookRoot()->isExpanded());
}

namespace {

enum class StoreEdit
{
    Rename,
    NumberGone,
    Deleted,
    Moved,
    Exchanged,
    Added
};

} // namespace

Q_DECLARE_METATYPE(StoreEdit)

void TestTrees::showRecordsFollowsTheStore_data()
{
    QTest::addColumn<StoreEdit>("edit");
    QTest::addColumn<QStringList>("names");    // the phonebook tree's entries after it
    QTest::addColumn<int>("bertAt");           // whose entry node Bert's node is now
    QTest::addColumn<QString>("selectedRole"); // of the node selected after it; "": the entry

    const QString number = NodeRole::Nummer1.toString();
    QTest::newRow("renamed, sorted anew")
        << StoreEdit::Rename << QStringList{"Bert", "Carl", "Zoe"} << 3 << number;
    QTest::newRow("the selected number went")
        << StoreEdit::NumberGone << QStringList{"Anna", "Bert", "Carl"} << 3 << QString();
    QTest::newRow("another entry deleted")
        << StoreEdit::Deleted << QStringList{"Bert", "Carl"} << 3 << number;
    QTest::newRow("moved, its node carried along")
        << StoreEdit::Moved << QStringList{"Anna", "Bert", "Carl"} << 20 << number;
    QTest::newRow("exchanged with a First Nine entry")
        << StoreEdit::Exchanged << QStringList{"Anna", "Bert", "Carl"} << 505 << number;
    QTest::newRow("a new entry in its place")
        << StoreEdit::Added << QStringList{"Aaron", "Anna", "Bert", "Carl"} << 3 << number;
}

// The nodes of the records an edit wrote follow the store, and what the user
// had open and selected stays where its entry went. None of the node changes
// may pass for an edit of the user's.
void TestTrees::showRecordsFollowsTheStore()
{
    QFETCH(StoreEdit, edit);
    QFETCH(QStringList, names);
    QFETCH(int, bertAt);
    QFETCH(QString, selectedRole);

    putRecord(m_store, 3, "Bert", {{Nummernart1, "Mobil"}, {Nummer1, "0171"}});
    putRecord(m_store, 7, "Anna");
    putRecord(m_store, 505, "Carl");
    PhonebookTrees& trees = rebuilt();
    QTreeWidgetItem* bert = trees.phonebookNode(3);
    bert->setExpanded(true);
    m_phonebook->setCurrentItem(detail(bert, NodeRole::Nummer1));
    int changesByTheProgram = 0;
    int otherChanges = 0;
    for (QTreeWidget* tree : {m_phonebook.get(), m_firstNine.get()})
        connect(tree, &QTreeWidget::itemChanged, tree,
                [&] { ++(trees.updatingNodes() ? changesByTheProgram : otherChanges); });

    QList<int> records;
    QList<EntryMove> moves;
    const auto swap = [this](int s, int t) {
        const QByteArray held = m_store.rawRecord(t).toByteArray();
        m_store.setRawRecord(t, m_store.rawRecord(s));
        m_store.setRawRecord(s, held);
        m_store.setField(s, Speicherplatz, QByteArray::number(s));
        m_store.setField(t, Speicherplatz, QByteArray::number(t));
    };
    switch (edit) {
    case StoreEdit::Rename:
        m_store.setField(7, Name, "Zoe");
        records = {7};
        break;
    case StoreEdit::NumberGone:
        m_store.setField(3, Nummer1, "");
        m_store.setField(3, Nummernart1, "");
        records = {3};
        break;
    case StoreEdit::Deleted:
        m_store.setField(7, Name, kDeletionMarker);
        records = {7};
        break;
    case StoreEdit::Moved:
        swap(3, 20);
        m_store.setField(3, Name, kDeletionMarker);
        records = {20, 3};
        moves = {{3, 20}};
        break;
    case StoreEdit::Exchanged:
        swap(3, 505);
        records = {505, 3};
        moves = {{3, 505}, {505, 3}};
        break;
    case StoreEdit::Added:
        putRecord(m_store, 12, "Aaron");
        records = {12};
        break;
    }
    trees.showRecords(records, moves, m_phonebook.get());

    QCOMPARE(childTexts(trees.phonebookRoot()), names);
    QCOMPARE(trees.phonebookNode(bertAt), bert);
    QVERIFY(bert->isExpanded());
    QCOMPARE(PhonebookTrees::recordOfItem(bert), bertAt);
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (QTreeWidgetItem* entry = trees.phonebookNode(r)) {
            QCOMPARE(entry->parent(), trees.phonebookRoot());
            QCOMPARE(entry->text(0), decodePc(m_store.field(r, Name)));
            QVERIFY(roleNodesHidden(entry));
        }
    QCOMPARE(trees.phonebookRoot()->childCount(), names.size());
    QCOMPARE(childTexts(trees.firstNineRoot()), QStringList{decodePc(m_store.field(505, Name))});
    QCOMPARE(trees.firstNineNode(5)->text(0), decodePc(m_store.field(505, Name)));

    QTreeWidgetItem* selected = m_phonebook->currentItem();
    QVERIFY(selected && selected->isSelected());
    QCOMPARE(selected == bert ? QString() : PhonebookTrees::roleOfItem(selected), selectedRole);
    QCOMPARE(selected == bert ? bert : selected->parent(), bert);
    if (edit == StoreEdit::Rename)
        QVERIFY(changesByTheProgram > 0);
    QCOMPARE(otherChanges, 0);
}

void TestTrees::selectedItemIndex_data()
{
    QTest::addColumn<bool>("firstNine");
    QTest::addColumn<int>("record"); // 0: the root
    QTest::addColumn<int>("detail"); // -1: the entry node itself
    QTest::addColumn<int>("index");

    // Flat order of the phonebook tree: 0 root, 1 anna, 2 its Speicherplatz,
    // 3 role, 4 its Gruppe, 5 role, 6 Mama, 7 Speicherplatz, 8 role, 9 Zoe,
    // 10 Speicherplatz, 11 role, 12 Nummer1.
    QTest::newRow("nothing selected") << false << -1 << -1 << 0;
    QTest::newRow("root") << false << 0 << -1 << 0;
    QTest::newRow("first entry") << false << 2 << -1 << 1;
    QTest::newRow("detail of the first entry") << false << 2 << 1 << 4;
    QTest::newRow("detail in a collapsed entry") << false << 1 << 1 << 12;
    QTest::newRow("First Nine entry") << true << 505 << -1 << 1;
    QTest::newRow("First Nine detail") << true << 505 << 0 << 2;
}

void TestTrees::selectedItemIndex()
{
    QFETCH(bool, firstNine);
    QFETCH(int, record);
    QFETCH(int, detail);
    QFETCH(int, index);

    putRecord(m_store, 1, "Zoe", {{Nummer1, "0171"}});
    putRecord(m_store, 2, "anna", {{Gruppe, "Familie"}});
    putRecord(m_store, 505, "Mama");
    PhonebookTrees& trees = rebuilt();
    QTreeWidget* tree = firstNine ? m_firstNine.get() : m_phonebook.get();

    QTreeWidgetItem* item = nullptr;
    if (record == 0)
        item = tree->topLevelItem(0);
    else if (record > 0)
        item = firstNine ? trees.firstNineNode(record - 500) : trees.phonebookNode(record);
    if (item && detail >= 0)
        item = item->child(detail);
    if (item)
        item->setSelected(true);

    QCOMPARE(PhonebookTrees::SelectedItemIndex(tree), index);
    if (item)
        QCOMPARE(PhonebookTrees::itemAtFlatIndex(tree, index), item);
}

void TestTrees::recordOfItem_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QByteArray>("speicherplatz");
    QTest::addColumn<int>("depth"); // 1 entry, 2 detail, 3 role node
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("role");

    QTest::newRow("entry") << 42 << QByteArray("42") << 1 << 42 << "Speicherplatz";
    QTest::newRow("detail") << 42 << QByteArray("42") << 2 << 42 << "Nummer1";
    QTest::newRow("role node") << 42 << QByteArray("42") << 3 << 42 << QString();
    QTest::newRow("the text decides, not the slot")
        << 42 << QByteArray("17") << 2 << 17 << "Nummer1";
    QTest::newRow("SIM position") << 555 << QByteArray("555") << 1 << 555 << "Speicherplatz";
    QTest::newRow("empty Speicherplatz") << 42 << QByteArray() << 2 << 0 << "Nummer1";
    QTest::newRow("not a number") << 42 << QByteArray("4x") << 1 << 0 << "Speicherplatz";
}

void TestTrees::recordOfItem()
{
    QFETCH(int, record);
    QFETCH(QByteArray, speicherplatz);
    QFETCH(int, depth);
    QFETCH(int, expected);
    QFETCH(QString, role);

    putRecord(m_store, record, "Anna", {{Speicherplatz, speicherplatz}, {Nummer1, "0171"}});
    PhonebookTrees& trees = rebuilt();

    QTreeWidgetItem* item = trees.phonebookNode(record);
    QTreeWidgetItem* parent = trees.phonebookRoot();
    for (int level = 1; level < depth; ++level) {
        parent = item;
        item = item->child(level == 1 ? parent->childCount() - 1 : 0);
    }
    QCOMPARE(PhonebookTrees::recordOfItem(item), expected);
    QCOMPARE(PhonebookTrees::roleOfItem(depth == 1 ? item->child(0) : item), role);
    QCOMPARE(PhonebookTrees::recordOfItem(trees.phonebookRoot()), 0);
    QCOMPARE(PhonebookTrees::recordOfItem(nullptr), 0);
}

void TestTrees::rootTextsComeFromTheLanguageFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("q7manager.ini"));
    const auto writeFile = [&](const QByteArray& content) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    };
    writeFile("[TAB_Telefonbuch]\r\nTelefonbuch=Phonebook\r\nFirstnine=Top " + encodePc(u"Neun ä") +
              "\r\n");
    m_language = LanguageFile(path);
    PhonebookTrees& trees = rebuilt();
    QCOMPARE(trees.phonebookRoot()->text(0), QStringLiteral("Phonebook"));
    QCOMPARE(trees.firstNineRoot()->text(0), QStringLiteral("Top Neun ä"));

    // The file is read anew at every rebuild.
    writeFile("[TAB_Telefonbuch]\r\nFirstnine=Favoriten\r\n");
    rebuilt();
    QCOMPARE(trees.phonebookRoot()->text(0), QStringLiteral("Telefonbuch"));
    QCOMPARE(trees.firstNineRoot()->text(0), QStringLiteral("Favoriten"));
}

void TestTrees::onlyFirstNineKeepsItsSelection_data()
{
    QTest::addColumn<bool>("firstNine");
    QTest::addColumn<bool>("onEmptySpace"); // else Ctrl+click on the selected node
    QTest::addColumn<bool>("kept");
    QTest::newRow("First Nine, empty space") << true << true << true;
    QTest::newRow("First Nine, Ctrl+click") << true << false << true;
    QTest::newRow("phonebook, empty space") << false << true << false;
    QTest::newRow("phonebook, Ctrl+click") << false << false << false;
}

void TestTrees::onlyFirstNineKeepsItsSelection()
{
    QFETCH(bool, firstNine);
    QFETCH(bool, onEmptySpace);
    QFETCH(bool, kept);
    putRecord(m_store, 501, "Notruf");
    PhonebookTrees& trees = rebuilt();
    QTreeWidget* tree = firstNine ? m_firstNine.get() : m_phonebook.get();
    tree->resize(200, 300);
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    QTreeWidgetItem* entry = firstNine ? trees.firstNineNode(1) : trees.phonebookNode(501);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(entry).center());
    QVERIFY(entry->isSelected());

    if (onEmptySpace)
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(100, tree->viewport()->height() - 5));
    else
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          tree->visualItemRect(entry).center());
    QCOMPARE(entry->isSelected(), kept);
}

// Bold is the mark of an entry the handset does not have as shown; the
// counts are what the status bar tells.
void TestTrees::changedEntriesAreMarked()
{
    putRecord(m_store, 1, "Anna");
    putRecord(m_store, 2, "Bernd", {{ChangedFlag, "JA"}});
    putRecord(m_store, 503, "Dora", {{ChangedFlag, "JA"}});
    putRecord(m_store, 4, kDeletionMarker, {{ChangedFlag, "JA"}});
    PhonebookTrees& trees = rebuilt();
    QVERIFY(!PhonebookTrees::showsChangedMark(trees.phonebookNode(1)));
    QVERIFY(trees.phonebookNode(2)->font(0).bold());
    QVERIFY(PhonebookTrees::showsChangedMark(trees.phonebookNode(503)));
    QVERIFY(PhonebookTrees::showsChangedMark(trees.firstNineNode(3)));
    // Details are never marked.
    QVERIFY(!trees.phonebookNode(2)->child(0)->font(0).bold());
    QCOMPARE(trees.counts().entries, 3);
    QCOMPARE(trees.counts().changed, 3); // the deletion of 4 included

    // A write clears the flags; the marks follow.
    for (int r : {2, 4, 503})
        m_store.setField(r, ChangedFlag, kChangedNo);
    m_store.setField(1, ChangedFlag, kChangedYes);
    trees.showChangedMarks();
    QVERIFY(PhonebookTrees::showsChangedMark(trees.phonebookNode(1)));
    QVERIFY(!PhonebookTrees::showsChangedMark(trees.phonebookNode(2)));
    QVERIFY(!trees.phonebookNode(2)->font(0).bold());
    QVERIFY(!PhonebookTrees::showsChangedMark(trees.firstNineNode(3)));
    QCOMPARE(trees.counts().changed, 1);
}

// The flags outlive a write; the marks do not: what the handset, as last
// seen, holds as the store does is no edit it still lacks.
void TestTrees::changedMarksLeaveOutWhatTheHandsetHolds()
{
    RecordStore seen;
    putRecord(seen, 1, "Anna", {{Nummer1, "01"}});
    putRecord(seen, 2, "Bernd", {{Nummer1, "02"}});
    putRecord(seen, 4, "Dora");
    putRecord(m_store, 1, "Anna", {{Nummer1, "01"}, {ChangedFlag, "JA"}});   // written
    putRecord(m_store, 2, "Bernd", {{Nummer1, "022"}, {ChangedFlag, "JA"}}); // not yet
    putRecord(m_store, 3, "Carl", {{ChangedFlag, "JA"}});                    // new
    putRecord(m_store, 4, kDeletionMarker, {{ChangedFlag, "JA"}});           // still there
    putRecord(m_store, 5, kDeletionMarker, {{ChangedFlag, "JA"}});           // gone
    HandsetImage handset;
    m_trees->setHandsetImage(&handset);
    PhonebookTrees& trees = rebuilt();
    // Never read: the flags alone count.
    QVERIFY(PhonebookTrees::showsChangedMark(trees.phonebookNode(1)));
    QCOMPARE(trees.counts().changed, 5);

    handset.takeRead(seen);
    trees.showChangedMarks();
    QVERIFY(!PhonebookTrees::showsChangedMark(trees.phonebookNode(1)));
    QVERIFY(PhonebookTrees::showsChangedMark(trees.phonebookNode(2)));
    QVERIFY(PhonebookTrees::showsChangedMark(trees.phonebookNode(3)));
    QCOMPARE(trees.counts().changed, 3); // 2, 3 and the deletion of 4
}

void TestTrees::phonebookSelectsSeveralEntries()
{
    putRecord(m_store, 1, "Anna");
    putRecord(m_store, 2, "Bernd");
    putRecord(m_store, 3, "Carl");
    putRecord(m_store, 4, "Dora");
    PhonebookTrees& trees = rebuilt();
    QTreeWidget* tree = m_phonebook.get();
    tree->resize(200, 300);
    tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    const auto click = [&](int r, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers,
                          tree->visualItemRect(trees.phonebookNode(r)).center());
    };
    const auto selected = [&] {
        QList<int> records;
        for (int r = 1; r <= 4; ++r)
            if (trees.phonebookNode(r)->isSelected())
                records << r;
        return records;
    };
    click(2, {});
    click(4, Qt::ShiftModifier);
    QCOMPARE(selected(), (QList<int>{2, 3, 4}));
    click(3, Qt::ControlModifier);
    QCOMPARE(selected(), (QList<int>{2, 4}));
    // The commands of one node take the first selected one, as before.
    QCOMPARE(PhonebookTrees::itemAtFlatIndex(tree, PhonebookTrees::SelectedItemIndex(tree)),
             trees.phonebookNode(2));
    click(1, {});
    QTest::keyClick(tree, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selected(), (QList<int>{1, 2}));
    // Shift+F10 asks for the context menu as the menu key does.
    QSignalSpy menuAsked(tree, &QWidget::customContextMenuRequested);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(menuAsked.size(), 1);
    // The First Nine tree keeps one.
    QCOMPARE(m_firstNine->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestTrees::branchLinesInTheTextColour_data()
{
    QTest::addColumn<int>("indentation");
    QTest::addColumn<int>("rowHeight"); // 0: no style sheet
    QTest::addColumn<bool>("sheetFirst");

    // The window sets its style sheet before the trees are set up; a style
    // sheet wraps the tree's style, and must not lose the lines either way.
    QTest::newRow("as the phonebook tree") << 17 << 19 << true;
    QTest::newRow("as the First Nine tree") << 13 << 18 << false;
    QTest::newRow("no style sheet") << 20 << 0 << false;
}

void TestTrees::branchLinesInTheTextColour()
{
    QFETCH(int, indentation);
    QFETCH(int, rowHeight);
    QFETCH(bool, sheetFirst);

    const QString sheet = QStringLiteral("QTreeView::item { height: %1px; }").arg(rowHeight);
    if (sheetFirst) {
        m_trees.reset();
        m_phonebook = std::make_unique<QTreeWidget>();
        m_phonebook->setStyleSheet(sheet);
        m_trees = std::make_unique<PhonebookTrees>(m_phonebook.get(), m_firstNine.get(), m_store,
                                                   m_language, m_names);
    } else if (rowHeight > 0) {
        m_phonebook->setStyleSheet(sheet);
    }
    QTreeWidget* tree = m_phonebook.get();
    tree->setIndentation(indentation);
    tree->resize(240, 200);

    putRecord(m_store, 1, "Anna", {{Nummer1, "0171"}});
    putRecord(m_store, 2, "Bert");
    PhonebookTrees& trees = rebuilt();
    QTreeWidgetItem* root = trees.phonebookRoot();
    QTreeWidgetItem* anna = trees.phonebookNode(1);
    QTreeWidgetItem* bert = trees.phonebookNode(2);
    anna->setExpanded(true);
    const QList<QTreeWidgetItem*> annasDetails{anna->child(0), anna->child(1)};
    for (QTreeWidgetItem* shown : {anna, bert, annasDetails[0], annasDetails[1]})
        QVERIFY2(!tree->visualItemRect(shown).isEmpty(), qPrintable(shown->text(0)));

    // Colours that no image of the trees uses, so that a match is a line;
    // the second one shows that the lines follow a change of colour.
    for (const QColor text : {QColor(0x5a, 0x1e, 0xc8), QColor(0x1e, 0xa0, 0x8c)}) {
        colourTree(tree, text);
        const QImage image = tree->viewport()->grab().toImage();
        const QString colour = text.name();
        // Left of a row's own image and text: the columns of its ancestors.
        const auto branchArea = [&](QTreeWidgetItem* item) {
            const QRect rect = tree->visualItemRect(item);
            return QRect(0, rect.top(), rect.left(), rect.height());
        };

        // Nothing is drawn beside the root: its row has no line up to where
        // its text could begin.
        const QRect rootRow = tree->visualItemRect(root);
        QCOMPARE(pixelsOfColour(image,
                                QRect(0, rootRow.top(), rootRow.left() + tree->iconSize().width(),
                                      rootRow.height()),
                                text),
                 0);

        // The entries hang from the root's line, and the details from their
        // entry's; the root's line goes on past Anna's details to Bert.
        for (QTreeWidgetItem* entry : {anna, bert})
            QVERIFY2(pixelsOfColour(image, branchArea(entry), text) > 0,
                     qPrintable(entry->text(0) + " in " + colour));
        for (QTreeWidgetItem* detail : annasDetails) {
            // The detail's own column: a line comes down from above into the
            // middle of the row and turns right towards the detail's image.
            const QRect area = branchArea(detail);
            const int own = area.right() - indentation + 1;
            const int turn = area.right() - indentation / 3 + 1;
            const QRect above(own, area.top(), turn - own, area.height() / 2 - 2);
            const QRect across(turn, area.top(), area.right() - turn + 1, area.height());
            const QRect outer(0, area.top(), own, area.height());
            QVERIFY2(pixelsOfColour(image, above, text) > 0,
                     qPrintable("above " + detail->text(0) + " in " + colour));
            QVERIFY2(pixelsOfColour(image, across, text) > 0,
                     qPrintable("to " + detail->text(0) + " in " + colour));
            QVERIFY2(pixelsOfColour(image, outer, text) > 0,
                     qPrintable("past " + detail->text(0) + " in " + colour));
        }

        // Bert is the last entry: the root's line ends beside him.
        const QRect bertRow = tree->visualItemRect(bert);
        const int belowLine = bertRow.top() + bertRow.height() / 2 + 2;
        QCOMPARE(pixelsOfColour(image, QRect(0, belowLine, bertRow.left(), image.height()), text),
                 0);
    }
}

QTEST_MAIN(TestTrees)
#include "tst_trees.moc"
