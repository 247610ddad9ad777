// SPDX-License-Identifier: GPL-3.0-or-later
// Placing a new entry in the record store: the first free record of the
// chosen range, every field of it replaced, the changed flag set.

#include "editing/NewEntryRules.h"

#include <QTest>
#include <memory>

using namespace q7;

Q_DECLARE_METATYPE(q7::NewEntry)

namespace {

using Fields = QList<QByteArray>; // fields 1..19

constexpr QByteArrayView kKeine = "Keine";

NewEntry entry(QByteArray name, MoveTarget target = MoveTarget::Sim)
{
    NewEntry result;
    result.name = std::move(name);
    result.numberTypes = {"Telefon", "Telefon", "Telefon"};
    result.target = target;
    return result;
}

void fillRecord(RecordStore& store, int r, const QByteArray& name)
{
    for (int field = 1; field <= kFieldCount; ++field)
        store.setField(r, field, "old" + QByteArray::number(field));
    store.setField(r, Name, name);
}

Fields recordFields(const RecordStore& store, int r)
{
    Fields fields;
    for (int field = 1; field <= kFieldCount; ++field)
        fields << store.field(r, field);
    return fields;
}

} // namespace

class TestNewEntry : public QObject
{
    Q_OBJECT

private slots:
    void writesTheWholeRecord_data();
    void writesTheWholeRecord();
    void goesToTheFirstFreeRecordOfItsRange_data();
    void goesToTheFirstFreeRecordOfItsRange();
    void writesNothing_data();
    void writesNothing();
};

void TestNewEntry::writesTheWholeRecord_data()
{
    QTest::addColumn<NewEntry>("input");
    QTest::addColumn<Fields>("expected");

    // Record 510 holds an old entry under the deletion marker; every one of
    // its fields must go.
    Fields nameOnly = {"510", "Anna", "",       "TELNO", "", "",       "TELNO", "", "",  "TELNO",
                       "",    "",     "CUSTOM", "",      "", "CUSTOM", "",      "", "JA"};
    QTest::newRow("name only: no type although the buttons show one") << entry("Anna") << nameOnly;

    NewEntry mobile = entry("Bernd");
    mobile.numbers[1] = "0171 555";
    mobile.numberTypes[1] = "Mobil";
    Fields mobileFields = nameOnly;
    mobileFields[Name - 1] = "Bernd";
    mobileFields[Nummernart2 - 1] = "Mobil";
    mobileFields[Nummer2 - 1] = "0171 555";
    QTest::newRow("row 2 typed as Mobil fills fields 8 and 9 only") << mobile << mobileFields;

    NewEntry all = entry("Carla");
    all.group = "Familie";
    all.numbers = {"1", "22", "333"};
    all.numberTypes = {"Telefon", "Fax", "Etc..."};
    Fields allFields = nameOnly;
    allFields[Name - 1] = "Carla";
    allFields[Gruppe - 1] = "Familie";
    allFields[Nummernart1 - 1] = "Telefon";
    allFields[Nummer1 - 1] = "1";
    allFields[Nummernart2 - 1] = "Fax";
    allFields[Nummer2 - 1] = "22";
    allFields[Nummernart3 - 1] = "Etc...";
    allFields[Nummer3 - 1] = "333";
    QTest::newRow("group and three numbers") << all << allFields;

    NewEntry keine = entry("Anna");
    keine.group = "Keine";
    QTest::newRow("the no-group item means no group") << keine << nameOnly;

    NewEntry lowerKeine = entry("Anna");
    lowerKeine.group = "keine";
    Fields lowerKeineFields = nameOnly;
    lowerKeineFields[Gruppe - 1] = "keine";
    QTest::newRow("a group that differs from it in case is a group")
        << lowerKeine << lowerKeineFields;

    NewEntry longTexts = entry(QByteArray(40, 'N'));
    longTexts.group = QByteArray(31, 'G');
    longTexts.numbers[0] = QByteArray(35, '1');
    Fields longFields = nameOnly;
    longFields[Name - 1] = QByteArray(30, 'N');
    longFields[Gruppe - 1] = QByteArray(30, 'G');
    longFields[Nummernart1 - 1] = "Telefon";
    longFields[Nummer1 - 1] = QByteArray(30, '1');
    QTest::newRow("texts cut to 30 characters") << longTexts << longFields;
}

void TestNewEntry::writesTheWholeRecord()
{
    QFETCH(NewEntry, input);
    QFETCH(Fields, expected);

    auto store = std::make_unique<RecordStore>();
    fillRecord(*store, 510, kDeletionMarker.toByteArray());
    const EditResult result = createEntry(*store, input, kKeine);
    QCOMPARE(result.target, 510);
    QCOMPARE(result.touched, QList<int>{510});
    QCOMPARE(recordFields(*store, 510), expected);
}

void TestNewEntry::goesToTheFirstFreeRecordOfItsRange_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QList<int>>("used");
    QTest::addColumn<int>("marked"); // holds the deletion marker; 0: none
    QTest::addColumn<int>("expected");

    QList<int> sim510to519;
    for (int r = 510; r <= 519; ++r)
        sim510to519 << r;
    QTest::newRow("SIM: 510-519 used, 520 marked")
        << int(MoveTarget::Sim) << sim510to519 << 520 << 520;
    QTest::newRow("SIM never takes the First Nine")
        << int(MoveTarget::Sim) << QList<int>{} << 0 << 510;
    QTest::newRow("memory: 1 and 2 used") << int(MoveTarget::Memory) << QList<int>{1, 2} << 0 << 3;
    QTest::newRow("memory: a marked record is free")
        << int(MoveTarget::Memory) << QList<int>{2} << 1 << 1;
}

void TestNewEntry::goesToTheFirstFreeRecordOfItsRange()
{
    QFETCH(int, target);
    QFETCH(QList<int>, used);
    QFETCH(int, marked);
    QFETCH(int, expected);

    auto store = std::make_unique<RecordStore>();
    for (int r : used)
        fillRecord(*store, r, "Used " + QByteArray::number(r));
    if (marked)
        fillRecord(*store, marked, kDeletionMarker.toByteArray());
    const auto before = std::make_unique<RecordStore>(*store);

    const EditResult result =
        createEntry(*store, entry("Neu", static_cast<MoveTarget>(target)), kKeine);
    QCOMPARE(result.target, expected);
    QCOMPARE(store->field(expected, Speicherplatz), QByteArray::number(expected));
    QCOMPARE(store->field(expected, Name), QByteArray("Neu"));
    // No other record moved.
    for (int r = 1; r <= kRecordCount; ++r)
        if (r != expected && recordFields(*store, r) != recordFields(*before, r))
            QFAIL(qPrintable(QStringLiteral("record %1 changed").arg(r)));
}

void TestNewEntry::writesNothing_data()
{
    QTest::addColumn<NewEntry>("input");
    QTest::addColumn<bool>("rangesFull");

    QTest::newRow("SIM full") << entry("Anna", MoveTarget::Sim) << true;
    QTest::newRow("memory full") << entry("Anna", MoveTarget::Memory) << true;
    QTest::newRow("empty name") << entry("") << false;
    QTest::newRow("only blanks") << entry("   ") << false;
}

void TestNewEntry::writesNothing()
{
    QFETCH(NewEntry, input);
    QFETCH(bool, rangesFull);

    auto store = std::make_unique<RecordStore>();
    if (rangesFull) {
        for (int r = 1; r <= kLastMemoryRecord; ++r)
            fillRecord(*store, r, "M" + QByteArray::number(r));
        for (int r = 510; r <= kLastShownRecord; ++r)
            fillRecord(*store, r, "S" + QByteArray::number(r));
    }
    const auto before = std::make_unique<RecordStore>(*store);
    QCOMPARE(freeRecordFor(*store, input.target) == 0, rangesFull);

    const EditResult result = createEntry(*store, input, kKeine);
    QVERIFY(!result.changed());
    QCOMPARE(result.target, 0);
    QVERIFY(*store == *before);
}

QTEST_GUILESS_MAIN(TestNewEntry)
#include "tst_newentry.moc"
