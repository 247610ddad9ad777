// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EditOperations.h"
#include "editing/RecordChange.h"

#include <QTest>
#include <functional>
#include <memory>

using namespace q7;

namespace {

using Edit = std::function<EditResult(RecordStore&, NumberClipboard&)>;

// A field of a record and the bytes it must hold after the edit.
struct Expect
{
    int record;
    int field;
    QByteArray value;
};

struct Case
{
    const char* name;
    Edit edit;
    QList<int> touched;
    QList<Expect> expect;
    NumberClipboard clipboardBefore = {};
    NumberClipboard clipboardAfter = {};
    int target = 0; // result.target
    QList<EntryMove> moves = {};
};

const QByteArray k35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789";

// Anna (1) has a group, numbers 1 and 3 and a note; 2 and 3 are live and 4 is
// free. On the SIM card 503 and 505 hold First Nine positions, 510..519 are
// live, 520 is marked deleted, and 550 is live.
std::unique_ptr<RecordStore> fixture()
{
    auto store = std::make_unique<RecordStore>();
    auto entry = [&](int r, QByteArrayView name) {
        store->setField(r, Speicherplatz, QByteArray::number(r));
        store->setField(r, Name, name);
        store->setField(r, ChangedFlag, kChangedNo);
    };
    entry(1, "Anna");
    store->setField(1, Gruppe, "Familie");
    store->setField(1, Nummernart1, "Telefon");
    store->setField(1, Nummer1, "0301");
    store->setField(1, Nummernart3, "Mobil");
    store->setField(1, Nummer3, "0303");
    store->setField(1, Zusatz1, "Notiz");
    entry(2, "Bernd");
    entry(3, "Carl");
    entry(503, "Dora");
    entry(505, "Emil");
    store->setField(505, Nummer1, "0505");
    for (int r = 510; r <= 519; ++r)
        entry(r, "Sim");
    entry(520, kDeletionMarker);
    store->setField(520, Nummer1, "0520");
    entry(550, "Fritz");
    store->setField(550, Gruppe, "Club");
    store->setField(550, Nummernart2, "Fax");
    store->setField(550, Nummer2, "0550");
    // The last fields of a record, which a copy that stops early would lose.
    store->setField(550, ZusatzTag2, "T2");
    store->setField(550, Zusatz2, "Zweite Notiz");
    store->setField(550, Feld18, "F18");
    return store;
}

const NumberClipboard kHolds{"0999", "Heim"};

const QList<Case>& cases()
{
    static const QList<Case> all = {
        {"rename",
         [](RecordStore& s, NumberClipboard&) { return storeName(s, 1, "Anne"); },
         {1},
         {{1, Name, "Anne"}, {1, ChangedFlag, "JA"}, {1, Nummer1, "0301"}}},
        {"rename cuts at 30",
         [](RecordStore& s, NumberClipboard&) { return storeName(s, 1, k35); },
         {1},
         {{1, Name, k35.left(30)}}},
        {"empty name keeps the old one but counts as edited",
         [](RecordStore& s, NumberClipboard&) { return storeName(s, 1, ""); },
         {1},
         {{1, Name, "Anna"}, {1, ChangedFlag, "JA"}}},
        {"number",
         [](RecordStore& s, NumberClipboard&) { return storeNumber(s, 1, 3, "+49 30"); },
         {1},
         {{1, Nummer3, "+49 30"}, {1, Nummernart3, "Mobil"}, {1, ChangedFlag, "JA"}}},
        {"empty number keeps the old one",
         [](RecordStore& s, NumberClipboard&) { return storeNumber(s, 1, 1, ""); },
         {1},
         {{1, Nummer1, "0301"}, {1, ChangedFlag, "JA"}}},
        {"delete keeps every other field",
         [](RecordStore& s, NumberClipboard&) { return deleteEntry(s, 1); },
         {1},
         {{1, Name, "Q7LoeschenQ7"},
          {1, Gruppe, "Familie"},
          {1, Nummer3, "0303"},
          {1, Zusatz1, "Notiz"},
          {1, ChangedFlag, "JA"}}},
        {"clear number 3 with its type",
         [](RecordStore& s, NumberClipboard&) { return clearNumber(s, 1, 3); },
         {1},
         {{1, Nummer3, ""}, {1, Nummernart3, ""}, {1, Nummer1, "0301"}, {1, ChangedFlag, "JA"}}},
        {"number type",
         [](RecordStore& s, NumberClipboard&) { return setNumberType(s, 1, 1, "Fax"); },
         {1},
         {{1, Nummernart1, "Fax"}, {1, Nummer1, "0301"}, {1, ChangedFlag, "JA"}}},
        {"group set",
         [](RecordStore& s, NumberClipboard&) { return setGroup(s, 2, "Freunde"); },
         {2},
         {{2, Gruppe, "Freunde"}, {2, ChangedFlag, "JA"}}},
        {"group cleared",
         [](RecordStore& s, NumberClipboard&) { return setGroup(s, 1, ""); },
         {1},
         {{1, Gruppe, ""}, {1, ChangedFlag, "JA"}}},
        {"add number 2",
         [](RecordStore& s, NumberClipboard&) { return addNumber(s, 1, 2, "Telefon", "0302"); },
         {1},
         {{1, Nummer2, "0302"}, {1, Nummernart2, "Telefon"}, {1, ChangedFlag, "JA"}}},
        {"add number left empty adds nothing",
         [](RecordStore& s, NumberClipboard&) { return addNumber(s, 2, 2, "Telefon", ""); },
         {},
         {{2, Nummer2, ""}, {2, Nummernart2, ""}, {2, ChangedFlag, "NEIN"}}},
        {"move a SIM entry to the first free memory record",
         [](RecordStore& s, NumberClipboard&) { return moveEntry(s, 550, MoveTarget::Memory); },
         {4, 550},
         {{4, Speicherplatz, "4"},
          {4, Name, "Fritz"},
          {4, Gruppe, "Club"},
          {4, Nummer2, "0550"},
          {4, Nummernart2, "Fax"},
          {4, ZusatzTag2, "T2"},
          {4, Zusatz2, "Zweite Notiz"},
          {4, Feld18, "F18"},
          {4, ChangedFlag, "JA"},
          {550, Name, "Q7LoeschenQ7"},
          {550, Speicherplatz, "550"},
          {550, Nummer2, "0550"},
          {550, ChangedFlag, "JA"}},
         {},
         {},
         4,
         {{550, 4}}},
        {"move to the SIM card takes a record marked deleted",
         [](RecordStore& s, NumberClipboard&) { return moveEntry(s, 1, MoveTarget::Sim); },
         {520, 1},
         {{520, Speicherplatz, "520"},
          {520, Name, "Anna"},
          {520, Nummer1, "0301"},
          {520, Zusatz1, "Notiz"},
          {1, Name, "Q7LoeschenQ7"}},
         {},
         {},
         520,
         {{1, 520}}},
        {"move within memory goes to the first free record",
         [](RecordStore& s, NumberClipboard&) { return moveEntry(s, 3, MoveTarget::Memory); },
         {4, 3},
         {{4, Name, "Carl"}, {3, Name, "Q7LoeschenQ7"}},
         {},
         {},
         4,
         {{3, 4}}},
        {"move to the own First Nine position does nothing",
         [](RecordStore& s, NumberClipboard&) { return moveToFirstNine(s, 503, 3); },
         {},
         {{503, Name, "Dora"}, {503, ChangedFlag, "NEIN"}}},
        {"move to a held First Nine position exchanges the two",
         [](RecordStore& s, NumberClipboard&) { return moveToFirstNine(s, 550, 5); },
         {505, 550},
         {{505, Speicherplatz, "505"},
          {505, Name, "Fritz"},
          {505, Nummer1, ""},
          {505, Nummer2, "0550"},
          {505, Feld18, "F18"},
          {505, ChangedFlag, "JA"},
          {550, Speicherplatz, "550"},
          {550, Name, "Emil"},
          {550, Nummer1, "0505"},
          {550, Nummer2, ""},
          {550, Feld18, ""},
          {550, ChangedFlag, "JA"}},
         {},
         {},
         505,
         {{550, 505}, {505, 550}}},
        {"move from one First Nine position to a free one",
         [](RecordStore& s, NumberClipboard&) { return moveToFirstNine(s, 503, 7); },
         {507, 503},
         {{507, Speicherplatz, "507"}, {507, Name, "Dora"}, {503, Name, "Q7LoeschenQ7"}},
         {},
         {},
         507,
         {{503, 507}}},
        {"move between two held First Nine positions exchanges them",
         [](RecordStore& s, NumberClipboard&) { return moveToFirstNine(s, 503, 5); },
         {505, 503},
         {{505, Name, "Dora"}, {503, Name, "Emil"}, {503, Nummer1, "0505"}},
         {},
         {},
         505,
         {{503, 505}, {505, 503}}},
        {"move to First Nine position 0 is refused",
         [](RecordStore& s, NumberClipboard&) { return moveToFirstNine(s, 2, 0); },
         {},
         {{500, Name, ""}, {2, Name, "Bernd"}}},
        {"cut empties the number and fills the clipboard",
         [](RecordStore& s, NumberClipboard& c) { return cutNumber(s, 1, 3, c); },
         {1},
         {{1, Nummer3, ""}, {1, Nummernart3, ""}, {1, ChangedFlag, "JA"}},
         {},
         {"0303", "Mobil"}},
        {"paste exchanges the number with the clipboard",
         [](RecordStore& s, NumberClipboard& c) { return pasteNumber(s, 1, 1, c); },
         {1},
         {{1, Nummer1, "0999"}, {1, Nummernart1, "Heim"}, {1, ChangedFlag, "JA"}},
         kHolds,
         {"0301", "Telefon"}},
        {"paste with an empty clipboard does nothing",
         [](RecordStore& s, NumberClipboard& c) { return pasteNumber(s, 1, 1, c); },
         {},
         {{1, Nummer1, "0301"}, {1, ChangedFlag, "NEIN"}}},
        {"paste as a held number keeps the replaced one in the clipboard",
         [](RecordStore& s, NumberClipboard& c) { return pasteAsNumber(s, 1, 1, c); },
         {1},
         {{1, Nummer1, "0999"}, {1, Nummernart1, "Heim"}, {1, ChangedFlag, "JA"}},
         kHolds,
         {"0301", "Telefon"}},
        {"paste as a missing number adds it",
         [](RecordStore& s, NumberClipboard& c) { return pasteAsNumber(s, 2, 3, c); },
         {2},
         {{2, Nummer3, "0999"}, {2, Nummernart3, "Heim"}, {2, Nummer1, ""}},
         kHolds,
         {"", "Heim"}},
        {"paste as with an empty clipboard does nothing",
         [](RecordStore& s, NumberClipboard& c) { return pasteAsNumber(s, 2, 3, c); },
         {},
         {{2, Nummer3, ""}, {2, ChangedFlag, "NEIN"}}},
        {"delete several entries as one edit",
         [](RecordStore& s, NumberClipboard&) {
             return deleteEntries(s, {1, 520, 503, 550});
         },
         {1, 503, 550},
         {{1, Name, "Q7LoeschenQ7"},
          {503, Name, "Q7LoeschenQ7"},
          {550, Name, "Q7LoeschenQ7"},
          {520, ChangedFlag, "NEIN"}}},
        {"move several entries to memory passes over those already there",
         [](RecordStore& s, NumberClipboard&) {
             return moveEntries(s, {550, 2, 503}, MoveTarget::Memory);
         },
         {4, 550, 5, 503},
         {{4, Name, "Fritz"},
          {5, Name, "Dora"},
          {5, Speicherplatz, "5"},
          {2, Name, "Bernd"},
          {550, Name, "Q7LoeschenQ7"},
          {503, Name, "Q7LoeschenQ7"}},
         {},
         {},
         5,
         {{550, 4}, {503, 5}}},
    };
    return all;
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void edits_data();
    void edits();
    void undoAndRedoAreExact_data() { edits_data(); }
    void undoAndRedoAreExact();
    void noFreeRecordWritesNothing_data();
    void noFreeRecordWritesNothing();
    void copyThenPasteExchangesTwoNumbers();
    void onlySlotsOneToThree_data();
    void onlySlotsOneToThree();
    void severalMovesThatDoNotFitWriteNothing();
};

void TestEditing::edits_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < cases().size(); ++i)
        QTest::newRow(cases()[i].name) << i;
}

// Each edit writes exactly the records it reports, and nothing else.
void TestEditing::edits()
{
    QFETCH(int, index);
    const Case& c = cases()[index];
    auto store = fixture();
    const auto before = fixture();
    NumberClipboard clipboard = c.clipboardBefore;

    const EditResult result = c.edit(*store, clipboard);

    QCOMPARE(result.touched, c.touched);
    QCOMPARE(result.target, c.target);
    QCOMPARE(result.moves, c.moves);
    for (const Expect& e : c.expect)
        QCOMPARE(store->field(e.record, e.field), e.value);
    for (int r = 1; r <= kRecordCount; ++r)
        if (!c.touched.contains(r))
            QVERIFY2(store->rawRecord(r) == before->rawRecord(r),
                     qPrintable(QStringLiteral("record %1 changed").arg(r)));
    QCOMPARE(clipboard.number, c.clipboardAfter.number);
    QCOMPARE(clipboard.type, c.clipboardAfter.type);
}

// Putting back the bytes an edit recorded gives the store before it, and
// then after it, byte for byte; the clipboard is no part of the store.
void TestEditing::undoAndRedoAreExact()
{
    QFETCH(int, index);
    const Case& c = cases()[index];
    auto store = fixture();
    const auto original = fixture();
    NumberClipboard clipboard = c.clipboardBefore;

    const EditResult result = c.edit(*store, clipboard);
    const auto edited = std::make_unique<RecordStore>(*store);
    const QList<RecordChange> changes = changesBetween(*original, *edited, result.touched);

    applyChanges(*store, changes, ChangeSide::Before);
    QVERIFY(*store == *original);
    applyChanges(*store, changes, ChangeSide::After);
    QVERIFY(*store == *edited);
    QCOMPARE(clipboard.number, c.clipboardAfter.number);
}

void TestEditing::noFreeRecordWritesNothing_data()
{
    QTest::addColumn<int>("target");
    QTest::newRow("memory") << int(MoveTarget::Memory);
    QTest::newRow("SIM card") << int(MoveTarget::Sim);
}

void TestEditing::noFreeRecordWritesNothing()
{
    QFETCH(int, target);
    auto store = fixture();
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (!store->isLive(r))
            store->setField(r, Name, "Voll");
    const auto before = std::make_unique<RecordStore>(*store);

    const EditResult result = moveEntry(*store, 2, MoveTarget(target));

    QVERIFY(!result.changed());
    QCOMPARE(result.target, 0);
    QVERIFY(*store == *before);
}

void TestEditing::copyThenPasteExchangesTwoNumbers()
{
    auto store = fixture();
    NumberClipboard clipboard;
    copyNumber(*store, 1, 1, clipboard);
    pasteNumber(*store, 1, 3, clipboard);
    pasteNumber(*store, 1, 1, clipboard);

    QCOMPARE(store->field(1, Nummer1), QByteArray("0303"));
    QCOMPARE(store->field(1, Nummernart1), QByteArray("Mobil"));
    QCOMPARE(store->field(1, Nummer3), QByteArray("0301"));
    QCOMPARE(store->field(1, Nummernart3), QByteArray("Telefon"));
    QCOMPARE(clipboard.number, QByteArray("0301"));
}

void TestEditing::onlySlotsOneToThree_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("op");
    const char* ops[] = {"number", "clear", "type", "add", "cut", "paste", "paste as", "copy"};
    for (int slot : {0, 4})
        for (int op = 0; op < int(std::size(ops)); ++op)
            QTest::addRow("%s in slot %d", ops[op], slot) << slot << op;
}

// Slot 0 would name the fields before Nummernart1, the Name among them: no
// edit may write there, whatever the menu asks.
void TestEditing::onlySlotsOneToThree()
{
    QFETCH(int, slot);
    QFETCH(int, op);
    auto store = fixture();
    const auto before = fixture();
    NumberClipboard clipboard = kHolds;

    EditResult result;
    switch (op) {
    case 0:
        result = storeNumber(*store, 1, slot, "0111");
        break;
    case 1:
        result = clearNumber(*store, 1, slot);
        break;
    case 2:
        result = setNumberType(*store, 1, slot, "Fax");
        break;
    case 3:
        result = addNumber(*store, 1, slot, "Fax", "0111");
        break;
    case 4:
        result = cutNumber(*store, 1, slot, clipboard);
        break;
    case 5:
        result = pasteNumber(*store, 1, slot, clipboard);
        break;
    case 6:
        result = pasteAsNumber(*store, 1, slot, clipboard);
        break;
    case 7:
        copyNumber(*store, 1, slot, clipboard);
        break;
    }

    QVERIFY(!result.changed());
    QVERIFY(*store == *before);
    QCOMPARE(clipboard.number, kHolds.number);
    QCOMPARE(clipboard.type, kHolds.type);
}

void TestEditing::severalMovesThatDoNotFitWriteNothing()
{
    auto store = fixture();
    for (int r = 5; r <= kLastMemoryRecord; ++r)
        store->setField(r, Name, "Voll");
    const auto before = std::make_unique<RecordStore>(*store);

    // Record 4 takes the first; the second finds the memory full.
    const EditResult result = moveEntries(*store, {550, 510}, MoveTarget::Memory);

    QVERIFY(!result.changed());
    QVERIFY(*store == *before);
}

QTEST_GUILESS_MAIN(TestEditing)
#include "tst_editing.moc"
