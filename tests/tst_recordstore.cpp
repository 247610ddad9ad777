// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QTest>
#include <stdexcept>

using namespace q7;

namespace {

struct Range
{
    int first;
    int last;
};

void fill(RecordStore& store, const QList<Range>& ranges, QByteArrayView name)
{
    for (const Range& range : ranges)
        for (int r = range.first; r <= range.last; ++r)
            store.setField(r, Name, name);
}

QByteArrayList toList(const NumberTypeNames& names)
{
    return QByteArrayList(names.begin(), names.end());
}

// The English file as it ships, not the copy compiled into the program.
QString englishFilePath()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

NumberTypeNames fromList(const QByteArrayList& list)
{
    NumberTypeNames names;
    std::copy(list.begin(), list.end(), names.begin());
    return names;
}

} // namespace

Q_DECLARE_METATYPE(QList<Range>)

class TestRecordStore : public QObject
{
    Q_OBJECT

private slots:
    void fieldsSitAtTheirOffsets();
    void longTextsAreCut_data();
    void longTextsAreCut();
    void cutTextStaysInItsField();
    void badIndexIsRefused_data();
    void badIndexIsRefused();
    void deletionMarker_data();
    void deletionMarker();
    void changedFlag_data();
    void changedFlag();
    void clearRecordsKeepsTheChangedFlag();
    void freeRecords_data();
    void freeRecords();
    void numberTypeImage_data();
    void numberTypeImage();
    void numberTypeToolTip_data();
    void numberTypeToolTip();
    void collectGroupNames();
};

void TestRecordStore::fieldsSitAtTheirOffsets()
{
    // Every field gets a different length, so a field written at the wrong
    // offset shows up as a wrong length byte or as damage to its neighbour.
    RecordStore store;
    const int r = 123;
    for (int k = 1; k <= kFieldCount; ++k)
        store.setField(r, k, QByteArray(k, char('a' + k - 1)));

    const QByteArrayView raw = store.rawRecord(r);
    QCOMPARE(raw.size(), 589);
    for (int k = 1; k <= kFieldCount; ++k) {
        const qsizetype offset = (k - 1) * 31;
        QCOMPARE(int(static_cast<unsigned char>(raw[offset])), k);
        QCOMPARE(raw.sliced(offset + 1, k).toByteArray(), QByteArray(k, char('a' + k - 1)));
        QCOMPARE(store.field(r, k), QByteArray(k, char('a' + k - 1)));
    }
    // Its neighbours in the table stay untouched.
    QCOMPARE(store.rawRecord(r - 1).toByteArray(), QByteArray(589, '\0'));
    QCOMPARE(store.rawRecord(r + 1).toByteArray(), QByteArray(589, '\0'));
}

void TestRecordStore::longTextsAreCut_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stored");

    const QByteArray thirty = "123456789012345678901234567890";
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("29 bytes") << thirty.left(29) << thirty.left(29);
    QTest::newRow("exactly 30") << thirty << thirty;
    QTest::newRow("31 bytes") << thirty + "X" << thirty;
    QTest::newRow("255 bytes") << QByteArray(255, 'z') << QByteArray(30, 'z');
    QTest::newRow("PC umlauts") << encodePc(u"Müller-Lüdenscheidt, Großhändler GmbH")
                                << encodePc(u"Müller-Lüdenscheidt, Großhändl");
}

void TestRecordStore::longTextsAreCut()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stored);

    RecordStore store;
    store.setField(7, Name, "a previous, longer text here");
    store.setField(7, Name, text);
    QCOMPARE(store.field(7, Name), stored);
    QCOMPARE(int(static_cast<unsigned char>(store.rawRecord(7)[31])), int(stored.size()));
    QCOMPARE(store.fieldIsEmpty(7, Name), stored.isEmpty());
}

void TestRecordStore::cutTextStaysInItsField()
{
    RecordStore store;
    store.setField(1, Gruppe, "Familie");
    store.setField(1, Name, QByteArray(100, 'N'));
    QCOMPARE(store.field(1, Gruppe), QByteArray("Familie"));

    store.setField(kRecordCount, ChangedFlag, QByteArray(100, 'J'));
    QCOMPARE(store.field(kRecordCount, ChangedFlag).size(), 30);
    QCOMPARE(store.field(kRecordCount - 1, ChangedFlag), QByteArray());
}

void TestRecordStore::badIndexIsRefused_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("field");

    QTest::newRow("record 0") << 0 << int(Name);
    QTest::newRow("record 701") << 701 << int(Name);
    QTest::newRow("field 0") << 1 << 0;
    QTest::newRow("field 20") << 700 << 20;
}

void TestRecordStore::badIndexIsRefused()
{
    QFETCH(int, record);
    QFETCH(int, field);

    // An index from a file or a node text that slipped through must not reach
    // memory outside the table.
    RecordStore store;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.field(record, field));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, store.setField(record, field, "x"));
    QVERIFY(store == RecordStore());
}

void TestRecordStore::deletionMarker_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("holdsEntry");
    QTest::addColumn<bool>("marked");
    QTest::addColumn<bool>("live");

    QTest::newRow("empty") << QByteArray() << false << false << false;
    QTest::newRow("a name") << QByteArray("Anna") << true << false << true;
    QTest::newRow("the marker") << QByteArray("Q7LoeschenQ7") << true << true << false;
    QTest::newRow("marker in lower case") << QByteArray("q7loeschenq7") << true << false << true;
    QTest::newRow("marker in upper case") << QByteArray("Q7LOESCHENQ7") << true << false << true;
    QTest::newRow("marker with a blank") << QByteArray("Q7LoeschenQ7 ") << true << false << true;
    QTest::newRow("start of the marker") << QByteArray("Q7Loeschen") << true << false << true;
}

void TestRecordStore::deletionMarker()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, holdsEntry);
    QFETCH(bool, marked);
    QFETCH(bool, live);

    RecordStore store;
    store.setField(42, Name, name);
    QCOMPARE(store.holdsEntry(42), holdsEntry);
    QCOMPARE(store.isMarkedForDeletion(42), marked);
    QCOMPARE(store.isLive(42), live);
}

void TestRecordStore::changedFlag_data()
{
    QTest::addColumn<QByteArray>("flag");
    QTest::addColumn<bool>("changed");

    QTest::newRow("never filled") << QByteArray() << false;
    QTest::newRow("JA") << QByteArray("JA") << true;
    QTest::newRow("NEIN") << QByteArray("NEIN") << false;
    QTest::newRow("ja") << QByteArray("ja") << false;
    QTest::newRow("JA with a blank") << QByteArray("JA ") << false;
    QTest::newRow("JAWOHL") << QByteArray("JAWOHL") << false;
}

void TestRecordStore::changedFlag()
{
    QFETCH(QByteArray, flag);
    QFETCH(bool, changed);

    RecordStore store;
    store.setField(600, ChangedFlag, flag);
    QCOMPARE(store.isChanged(600), changed);
}

void TestRecordStore::clearRecordsKeepsTheChangedFlag()
{
    RecordStore store;
    for (const int r : {1, 350, 700}) {
        for (int k = 1; k <= kEntryValueCount; ++k)
            store.setField(r, k, "value");
        store.setField(r, ChangedFlag, r == 350 ? "NEIN" : "JA");
    }

    store.ClearRecords();

    for (const int r : {1, 350, 700}) {
        for (int k = 1; k <= kEntryValueCount; ++k)
            QVERIFY2(store.fieldIsEmpty(r, k),
                     qPrintable(QStringLiteral("record %1 field %2").arg(r).arg(k)));
        QCOMPARE(store.field(r, ChangedFlag), QByteArray(r == 350 ? "NEIN" : "JA"));
    }
}

void TestRecordStore::freeRecords_data()
{
    QTest::addColumn<QList<Range>>("live");
    QTest::addColumn<QList<Range>>("marked");
    QTest::addColumn<int>("freeMemory");
    QTest::addColumn<int>("freeSim");

    QTest::newRow("empty store") << QList<Range>{} << QList<Range>{} << 1 << 510;
    QTest::newRow("first ones taken")
        << QList<Range>{{1, 3}, {510, 512}} << QList<Range>{} << 4 << 513;
    QTest::newRow("marked records are free")
        << QList<Range>{{1, 500}, {510, 600}} << QList<Range>{{7, 7}, {510, 510}} << 7 << 510;
    QTest::newRow("handset memory full") << QList<Range>{{1, 500}} << QList<Range>{} << 0 << 510;
    QTest::newRow("First Nine never offered")
        << QList<Range>{{510, 520}} << QList<Range>{{501, 509}} << 1 << 521;
    QTest::newRow("positions beyond the trees never offered")
        << QList<Range>{{510, 600}} << QList<Range>{{650, 650}} << 1 << 0;
    QTest::newRow("handset memory ends at 500")
        << QList<Range>{{1, 500}} << QList<Range>{{501, 501}} << 0 << 510;
}

void TestRecordStore::freeRecords()
{
    QFETCH(QList<Range>, live);
    QFETCH(QList<Range>, marked);
    QFETCH(int, freeMemory);
    QFETCH(int, freeSim);

    RecordStore store;
    fill(store, live, "Belegt");
    fill(store, marked, kDeletionMarker);
    QCOMPARE(store.FindFreeMemoryRecord(), freeMemory);
    QCOMPARE(store.FindFreeSimRecord(), freeSim);
}

void TestRecordStore::numberTypeImage_data()
{
    QTest::addColumn<QByteArrayList>("names");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("image");

    const QByteArrayList defaults = toList(defaultNumberTypeNames());
    QTest::newRow("Telefon") << defaults << QByteArray("Telefon") << 5;
    QTest::newRow("Heim") << defaults << QByteArray("Heim") << 6;
    QTest::newRow("Büro in the PC set") << defaults << encodePc(u"Büro") << 7;
    QTest::newRow("Büro in UTF-8") << defaults << QByteArray("B\xc3\xbcro") << 23;
    QTest::newRow("Mobil") << defaults << QByteArray("Mobil") << 8;
    QTest::newRow("Fax") << defaults << QByteArray("Fax") << 9;
    QTest::newRow("Funkrufempfänger") << defaults << encodePc(u"Funkrufempfänger") << 10;
    QTest::newRow("Etc...") << defaults << QByteArray("Etc...") << 11;
    QTest::newRow("other letter case") << defaults << QByteArray("mobil") << 23;
    QTest::newRow("trailing blank") << defaults << QByteArray("Mobil ") << 23;
    QTest::newRow("part of a name") << defaults << QByteArray("Tele") << 23;
    QTest::newRow("empty type") << defaults << QByteArray() << 23;

    QByteArrayList renamed = defaults;
    renamed[3] = "Handy";
    // The old text is the German default, which every language still knows.
    QTest::newRow("renamed type, old text") << renamed << QByteArray("Mobil") << 8;
    QTest::newRow("renamed type, new text") << renamed << QByteArray("Handy") << 8;

    QTest::newRow("renamed type, a text no language has") << renamed << QByteArray("Cell") << 23;

    // Entries read under one language keep their images under another.
    QByteArrayList english = toList(numberTypeNames(LanguageFile(englishFilePath())));
    QTest::newRow("English name under German") << defaults << QByteArray("Office") << 7;
    QTest::newRow("English pager under German") << defaults << QByteArray("Pager") << 10;
    QTest::newRow("German name under English") << english << encodePc(u"Büro") << 7;
    QTest::newRow("German pager under English") << english << encodePc(u"Funkrufempfänger") << 10;
    QTest::newRow("English name under English") << english << QByteArray("Mobile") << 8;
    QTest::newRow("no language has it") << english << QByteArray("Handy") << 23;
    // The current names decide before any other language: a file that calls
    // the home number "Mobil" makes that text a home number.
    QByteArrayList swapped = defaults;
    swapped[1] = "Mobil";
    swapped[3] = "Handy";
    QTest::newRow("the current language first") << swapped << QByteArray("Mobil") << 6;

    QByteArrayList twice = defaults;
    twice[6] = "Telefon";
    QTest::newRow("equal names, the last decides") << twice << QByteArray("Telefon") << 11;
}

void TestRecordStore::numberTypeImage()
{
    QFETCH(QByteArrayList, names);
    QFETCH(QByteArray, type);
    QFETCH(int, image);

    QCOMPARE(NumberTypeImage(type, fromList(names)), image);
}

void TestRecordStore::numberTypeToolTip_data()
{
    QTest::addColumn<bool>("english"); // else German
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("German under German") << false << encodePc(u"Büro") << "Büro";
    QTest::newRow("German under English") << true << encodePc(u"Büro") << "Büro (Office)";
    QTest::newRow("English under German")
        << false << QByteArray("Pager") << "Pager (Funkrufempfänger)";
    QTest::newRow("English under English") << true << QByteArray("Office") << "Office";
    QTest::newRow("a name no language has") << true << QByteArray("Handy") << "Handy";
    QTest::newRow("Fax, alike in both") << true << QByteArray("Fax") << "Fax";
}

void TestRecordStore::numberTypeToolTip()
{
    QFETCH(bool, english);
    QFETCH(QByteArray, type);
    QFETCH(QString, toolTip);

    const NumberTypeNames names =
        english ? numberTypeNames(LanguageFile(englishFilePath())) : defaultNumberTypeNames();
    QCOMPARE(q7::numberTypeToolTip(type, names), toolTip);
}

void TestRecordStore::collectGroupNames()
{
    RecordStore store;
    const auto put = [&](int r, QByteArrayView name, QByteArrayView group) {
        store.setField(r, Name, name);
        store.setField(r, Gruppe, group);
    };
    put(3, "Anna", "Familie");
    put(5, "Bert", "");
    put(7, "Clara", "familie");
    put(9, "Dora", "Freunde");
    put(11, "Q7LoeschenQ7", "Verein"); // marked for deletion
    put(13, "", "Chor");               // no entry
    put(540, "Emil", encodePc(u"Büro"));
    put(560, "Frida", encodePc(u"BÜRO"));
    put(650, "Gustav", "Kollegen"); // beyond the trees

    GroupList groups;
    groups.add("Sport"); // from an earlier load
    CollectGroupNames(store, groups);
    QCOMPARE(groups.names(), (QByteArrayList{"Sport", "Familie", "Freunde", encodePc(u"Büro")}));

    // Collecting again after the next load adds nothing twice.
    CollectGroupNames(store, groups);
    QCOMPARE(groups.names().size(), 4);
}

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
