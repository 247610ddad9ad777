// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Errors.h"
#include "base/PcText.h"
#include "fileio/CsvPhonebook.h"
#include "link/GsmText.h"
#include "phonebook/RecordStore.h"
#include "support/JoergMuster.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace q7;

namespace {

QByteArray pc(QStringView text)
{
    return encodePc(text);
}

// Record 12 as the new entry dialog makes it.
void fillJoergMuster(RecordStore& store)
{
    store.setField(12, Speicherplatz, "12");
    store.setField(12, Name, pc(u"Jörg Muster"));
    store.setField(12, Gruppe, "Familie");
    store.setField(12, NummerTag1, "TELNO");
    store.setField(12, Nummernart1, "Mobil");
    store.setField(12, Nummer1, "0123456789");
    store.setField(12, NummerTag2, "TELNO");
    store.setField(12, NummerTag3, "TELNO");
    store.setField(12, ZusatzTag1, "CUSTOM");
    store.setField(12, ZusatzTag2, "CUSTOM");
}

QByteArrayList entryFields(const RecordStore& store, int record)
{
    QByteArrayList values;
    for (int k = 1; k <= kEntryValueCount; ++k)
        values.append(store.field(record, k));
    return values;
}

// Where two stores differ in fields 1..18, as "record/field", so that a
// failure names the place rather than dumping 700 records.
QString firstDifference(const RecordStore& a, const RecordStore& b)
{
    for (int r = 1; r <= kRecordCount; ++r)
        for (int k = 1; k <= kEntryValueCount; ++k)
            if (a.field(r, k) != b.field(r, k))
                return QStringLiteral("%1/%2: '%3' vs '%4'")
                    .arg(r)
                    .arg(k)
                    .arg(QString::fromLatin1(a.field(r, k).toHex()),
                         QString::fromLatin1(b.field(r, k).toHex()));
    return {};
}

// The bytes a value can carry through the file and back: not CR, which ends
// the line (a lone LF is carried, since the file holds CRs), byte 26 too (a
// handset byte like any other), no quote or comma (placed on purpose), and for
// converted values only PC bytes that come back from the handset set as
// themselves.
QByteArray carriedBytes(bool converted)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        if (c == '\r' || c == ',' || c == '"')
            continue;
        if (converted && handsetToPc(pcToHandset(QByteArray(1, c))) != QByteArray(1, c))
            continue;
        bytes.append(c);
    }
    return bytes;
}

// Every record holds an entry whose texts together use every byte the file
// can carry, of every length up to 30, some with up to three commas (each
// followed by a plain byte, and none in field 18) and with quotes at either
// end.
std::unique_ptr<RecordStore> fullStore()
{
    const QByteArray plain = carriedBytes(false);
    const QByteArray converted = carriedBytes(true);
    auto store = std::make_unique<RecordStore>();
    int next = 0;
    for (int r = 1; r <= kRecordCount; ++r) {
        store->setField(r, Speicherplatz, QByteArray::number(r));
        for (int k = Name; k <= Feld18; ++k) {
            const QByteArray& alphabet = k == Gruppe ? plain : converted;
            const int length = (r * 13 + k * 7) % (kFieldWidth + 1);
            QByteArray text;
            while (text.size() < length) {
                const char c = alphabet[next++ % alphabet.size()];
                if (text.isEmpty() && static_cast<unsigned char>(c) <= 32)
                    continue;
                text.append(c);
            }
            // The last value ends at the line end, so a comma in it would end
            // it early.
            if (length >= 9) {
                for (int comma = 0; k != Feld18 && comma < (r + k) % 4; ++comma)
                    text[2 + 2 * comma] = ',';
                if ((r * k) % 7 == 0)
                    text[0] = '"';
                if ((r * k) % 11 == 0)
                    text[length - 1] = '"';
            }
            store->setField(r, k, text);
        }
        store->setField(r, ChangedFlag, r % 2 ? kChangedYes : kChangedNo);
    }
    return store;
}

struct TempFile
{
    QTemporaryDir dir;
    QString path(const QString& name = QStringLiteral("phonebook.csv")) const
    {
        return dir.filePath(name);
    }
};

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

} // namespace

class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void joergMusterExport();
    void joergMusterImport();
    void valueCodingBothWays();
    void emptyStoreGivesEmptyFile();
    void fullStoreRoundTrip();
    void exportSelection_data();
    void exportSelection();
    void exportNormalisesSpeicherplatz_data();
    void exportNormalisesSpeicherplatz();
    void exportRejectsBadSpeicherplatz();
    void importLines_data();
    void importLines();
    void importKeepsChangedFlagsOfAbsentRecords();
    void importFailures_data();
    void importFailures();
    void writeAndReadFile();
    void missingFile();
    void writeIntoMissingFolder();
    void exportFailureKeepsEarlierFile();
};

void TestCsv::joergMusterExport()
{
    auto store = std::make_unique<RecordStore>();
    fillJoergMuster(*store);
    QCOMPARE(exportCsv(*store, false), kJoergMusterLine + "\r\n");
}

void TestCsv::joergMusterImport()
{
    auto expected = std::make_unique<RecordStore>();
    fillJoergMuster(*expected);
    const RecordStore imported = importCsv(kJoergMusterLine + "\r\n", RecordStore());
    QCOMPARE(entryFields(imported, 12), entryFields(*expected, 12));
    QCOMPARE(imported.field(12, ChangedFlag), QByteArray("NEIN"));
    QCOMPARE(firstDifference(imported, *expected), QString());
}

void TestCsv::valueCodingBothWays()
{
    // ø goes out as handset byte 12 and must survive the stripping of low
    // bytes on the way in; the Gruppe stays in the PC set; field 18 goes out
    // converted so that it comes back as itself.
    auto store = std::make_unique<RecordStore>();
    store->setField(3, Speicherplatz, "3");
    store->setField(3, Name, pc(u"øle"));
    store->setField(3, Gruppe, pc(u"Grün"));
    store->setField(3, Feld18, pc(u"Ä@_§"));
    const QByteArray line =
        "3,\"\x0cle\",\"Gr\xfcn\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"\",\"\",\"\",\"\",\"[\x8f\x11_\"\r\n";
    QCOMPARE(exportCsv(*store, false), line);
    const RecordStore imported = importCsv(line, RecordStore());
    QCOMPARE(entryFields(imported, 3), entryFields(*store, 3));
}

void TestCsv::emptyStoreGivesEmptyFile()
{
    auto store = std::make_unique<RecordStore>();
    store->setField(4, Name, "no Speicherplatz");
    QCOMPARE(exportCsv(*store, true), QByteArray());
}

void TestCsv::fullStoreRoundTrip()
{
    const auto original = fullStore();
    auto exported = std::make_unique<RecordStore>(*original);
    const QByteArray file = exportCsv(*exported, true);
    QCOMPARE(file.count("\r\n"), kRecordCount);

    const RecordStore imported = importCsv(file, RecordStore());
    QCOMPARE(firstDifference(imported, *original), QString());
    for (int r = 1; r <= kRecordCount; ++r)
        QVERIFY(!imported.isChanged(r));
}

void TestCsv::exportSelection_data()
{
    QTest::addColumn<bool>("includeMarked");
    QTest::addColumn<QByteArrayList>("written");

    QTest::newRow("marked records left out")
        << false << QByteArrayList{"4", "6", "601", "650", "700"};
    QTest::newRow("marked records written")
        << true << QByteArrayList{"4", "5", "6", "601", "650", "700"};
}

void TestCsv::exportSelection()
{
    QFETCH(bool, includeMarked);
    QFETCH(QByteArrayList, written);

    auto store = std::make_unique<RecordStore>();
    store->setField(3, Name, "no Speicherplatz");
    store->setField(4, Speicherplatz, "4"); // no name, but written
    store->setField(5, Speicherplatz, "5");
    store->setField(5, Name, kDeletionMarker);
    store->setField(6, Speicherplatz, "6");
    store->setField(6, Name, "q7loeschenq7"); // not the marker, but live
    store->setField(700, Speicherplatz, "700");
    store->setField(700, Name, "last");
    store->setField(650, Speicherplatz, "650");
    store->setField(650, Name, "hidden");
    store->setField(601, Speicherplatz, "601");
    store->setField(601, Name, "first hidden");

    const QByteArray file = exportCsv(*store, includeMarked);
    QByteArrayList lines = file.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QByteArrayList numbers;
    for (const QByteArray& line : lines)
        numbers.append(line.left(line.indexOf(',')));
    QCOMPARE(numbers, written);

    // What the file holds comes back, the marker included.
    const RecordStore imported = importCsv(file, RecordStore());
    for (const QByteArray& number : written)
        QCOMPARE(entryFields(imported, number.toInt()), entryFields(*store, number.toInt()));
    QCOMPARE(imported.isMarkedForDeletion(5), includeMarked);
    QVERIFY(!imported.holdsEntry(3));
}

void TestCsv::exportNormalisesSpeicherplatz_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("normalised");

    QTest::newRow("leading zeros") << QByteArray("007") << QByteArray("7");
    QTest::newRow("leading blanks") << QByteArray("  7") << QByteArray("7");
    QTest::newRow("plus sign") << QByteArray("+7") << QByteArray("7");
    QTest::newRow("hex") << QByteArray("$1F") << QByteArray("31");
    QTest::newRow("already plain") << QByteArray("520") << QByteArray("520");
}

void TestCsv::exportNormalisesSpeicherplatz()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, normalised);

    auto store = std::make_unique<RecordStore>();
    store->setField(9, Speicherplatz, stored);
    store->setField(9, Name, "Max");
    const QByteArray file = exportCsv(*store, false);
    QVERIFY2(file.startsWith(normalised + ",\"Max\","), file.constData());
    QCOMPARE(store->field(9, Speicherplatz), normalised);
}

void TestCsv::exportRejectsBadSpeicherplatz()
{
    auto store = std::make_unique<RecordStore>();
    store->setField(2, Speicherplatz, "2");
    store->setField(5, Speicherplatz, pc(u"fünf"));
    try {
        exportCsv(*store, false);
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("'fünf' ist kein gültiger Integerwert"));
    }
}

void TestCsv::importLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("records");
    QTest::addColumn<QByteArrayList>("names");
    QTest::addColumn<QList<int>>("repeated"); // locations named by more than one line

    QTest::newRow("CR LF lines") << QByteArray("1,\"A\"\r\n2,\"B\"\r\n") << QList<int>{1, 2}
                                 << QByteArrayList{"A", "B"} << QList<int>{};
    QTest::newRow("LF only lines read like CR LF")
        << QByteArray("1,\"A\"\n2,\"B\"\n") << QList<int>{1, 2} << QByteArrayList{"A", "B"}
        << QList<int>{};
    QTest::newRow("CR only lines") << QByteArray("1,\"A\"\r2,\"B\"\r") << QList<int>{1, 2}
                                   << QByteArrayList{"A", "B"} << QList<int>{};
    QTest::newRow("last line without line end")
        << QByteArray("1,\"A\"\r\n2,\"B\"") << QList<int>{1, 2} << QByteArrayList{"A", "B"}
        << QList<int>{};
    QTest::newRow("byte 26 as the end-of-file mark")
        << QByteArray("1,\"A\"\r\n2,\"B\"\r\n\x1a") << QList<int>{1, 2} << QByteArrayList{"A", "B"}
        << QList<int>{};
    QTest::newRow("end-of-file mark with blanks and line ends after it")
        << QByteArray("1,\"A\"\r\n2,\"B\"\r\n\x1a \r\n\t") << QList<int>{1, 2}
        << QByteArrayList{"A", "B"} << QList<int>{};
    QTest::newRow("a run of end-of-file marks")
        << QByteArray("1,\"A\"\r\n2,\"B\"\x1a\x1a\x1a") << QList<int>{1, 2}
        << QByteArrayList{"A", "B"} << QList<int>{};
    QTest::newRow("byte 26 inside a value")
        << QByteArray("1,\"A\"\r\n2,\"B\x1a\"\r\n3,\"C\"\r\n") << QList<int>{1, 2, 3}
        << QByteArrayList{"A", "B\x1a", "C"} << QList<int>{};
    QTest::newRow("byte 26 ending the last value") << QByteArray("1,\"A\x1a\"\r\n") << QList<int>{1}
                                                   << QByteArrayList{"A\x1a"} << QList<int>{};
    QTest::newRow("blank lines skipped")
        << QByteArray("\r\n1,\"A\"\r\n   \r\n\t\r\n2,\"B\"\r\n\r\n") << QList<int>{1, 2}
        << QByteArrayList{"A", "B"} << QList<int>{};
    QTest::newRow("quoted name with a comma and a blank")
        << QByteArray("5,\"Muster, Max\",\"Fam\"\r\n") << QList<int>{5}
        << QByteArrayList{"Muster, Max"} << QList<int>{};
    QTest::newRow("31 characters cut to 30")
        << QByteArray("5,\"abcdefghijklmnopqrstuvwxyz01234\"\r\n") << QList<int>{5}
        << QByteArrayList{"abcdefghijklmnopqrstuvwxyz0123"} << QList<int>{};
    QTest::newRow("same number twice, the later wins")
        << QByteArray("5,\"first\",\"Fam\",\"TELNO\"\r\n5,\"second\"\r\n") << QList<int>{5}
        << QByteArrayList{"second"} << QList<int>{5};
    QTest::newRow("three lines for one location, two spellings of another")
        << QByteArray("3,\"a\"\r\n7,\"b\"\r\n3,\"c\"\r\n007,\"d\"\r\n3,\"e\"\r\n")
        << QList<int>{3, 7} << QByteArrayList{"e", "d"} << QList<int>{3, 7};
    QTest::newRow("plus sign stored as 7")
        << QByteArray("+7,\"A\"\r\n") << QList<int>{7} << QByteArrayList{"A"} << QList<int>{};
    QTest::newRow("dollar hex stored as 7")
        << QByteArray("$7,\"A\"\r\n") << QList<int>{7} << QByteArrayList{"A"} << QList<int>{};
    QTest::newRow("0x hex stored as 7")
        << QByteArray("0x7,\"A\"\r\n") << QList<int>{7} << QByteArrayList{"A"} << QList<int>{};
    QTest::newRow("leading blanks and zeros")
        << QByteArray("  007,\"A\"\r\n") << QList<int>{7} << QByteArrayList{"A"} << QList<int>{};
    QTest::newRow("a number alone")
        << QByteArray("700\r\n") << QList<int>{700} << QByteArrayList{""} << QList<int>{};
}

void TestCsv::importLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, records);
    QFETCH(QByteArrayList, names);
    QFETCH(QList<int>, repeated);

    // An entry that is not in the file must be gone afterwards.
    auto current = std::make_unique<RecordStore>();
    current->setField(3, Speicherplatz, "3");
    current->setField(3, Name, "old");
    current->setField(5, Gruppe, "old");

    QList<int> named = {-1}; // replaced, not added to
    const RecordStore imported = importCsv(content, *current, &named);
    QCOMPARE(named, repeated);
    for (int r = 1; r <= kRecordCount; ++r) {
        const qsizetype i = records.indexOf(r);
        if (i < 0) {
            QVERIFY2(entryFields(imported, r).join().isEmpty(), qPrintable(QString::number(r)));
            continue;
        }
        QCOMPARE(imported.field(r, Speicherplatz), QByteArray::number(r));
        QCOMPARE(imported.field(r, Name), names[i]);
        QCOMPARE(imported.field(r, ChangedFlag), QByteArray("NEIN"));
        if (names[i] == "second")
            QCOMPARE(imported.field(r, Gruppe), QByteArray());
    }
}

void TestCsv::importKeepsChangedFlagsOfAbsentRecords()
{
    auto current = std::make_unique<RecordStore>();
    current->setField(2, Name, "old");
    current->setField(2, ChangedFlag, kChangedYes);
    current->setField(4, ChangedFlag, kChangedYes);

    const RecordStore imported = importCsv("4,\"new\"\r\n", *current);
    QVERIFY(!imported.holdsEntry(2));
    QVERIFY(imported.isChanged(2));
    QVERIFY(!imported.isChanged(4));
}

void TestCsv::importFailures_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("convertError");
    QTest::addColumn<QString>("message");

    QTest::newRow("not an integer")
        << QByteArray("1,\"A\"\r\n2,\"B\"\r\nabc,\"C\"\r\n4,\"D\"\r\n") << true
        << QStringLiteral("'abc' ist kein gültiger Integerwert (Zeile 3)");
    QTest::newRow("line without a comma")
        << QByteArray("1,\"A\"\r\nJ|rg\r\n") << true
        << QStringLiteral("'J|rg' ist kein gültiger Integerwert (Zeile 2)");
    QTest::newRow("nothing before the comma")
        << QByteArray(",\"A\"\r\n") << true
        << QStringLiteral("'' ist kein gültiger Integerwert (Zeile 1)");
    QTest::newRow("blank after the number")
        << QByteArray("7 ,\"A\"\r\n") << true
        << QStringLiteral("'7 ' ist kein gültiger Integerwert (Zeile 1)");
    QTest::newRow("blank lines count as lines")
        << QByteArray("\r\n\r\nx,\"A\"\r\n") << true
        << QStringLiteral("'x' ist kein gültiger Integerwert (Zeile 3)");
    // A mark with lines after it is no mark: the import says so rather than
    // dropping the rest of the file unseen.
    QTest::newRow("byte 26 before further lines")
        << QByteArray("1,\"A\"\r\n\x1a\r\n2,\"B\"\r\n") << true
        << QStringLiteral("'?' ist kein gültiger Integerwert (Zeile 2)");
    // A file that is no phonebook: the message quotes the start of its
    // first line, without the bytes that would steer a terminal.
    QTest::newRow("a long line without a comma, cut")
        << QByteArray(5000, 'x') + "\r\n"
        << true
        << QStringLiteral("'%1...' ist kein gültiger Integerwert (Zeile 1)").arg(QString(40, u'x'));
    QTest::newRow("control bytes shown as ?")
        << QByteArray("\x1b]0;title\x07\x1b[2J,\"A\"\r\n") << true
        << QStringLiteral("'?]0;title??[2J' ist kein gültiger Integerwert (Zeile 1)");
    QTest::newRow("above 700") << QByteArray("1,\"A\"\r\n701,\"B\"\r\n") << false
                               << QStringLiteral(
                                      "Speicherplatz 701 liegt nicht zwischen 1 und 700 (Zeile 2)");
    QTest::newRow("zero") << QByteArray("0,\"A\"\r\n") << false
                          << QStringLiteral(
                                 "Speicherplatz 0 liegt nicht zwischen 1 und 700 (Zeile 1)");
    QTest::newRow("negative") << QByteArray("-1,\"A\"\r\n") << false
                              << QStringLiteral(
                                     "Speicherplatz -1 liegt nicht zwischen 1 und 700 (Zeile 1)");
}

void TestCsv::importFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, convertError);
    QFETCH(QString, message);

    auto current = std::make_unique<RecordStore>();
    fillJoergMuster(*current);
    const auto before = std::make_unique<RecordStore>(*current);
    try {
        (void)importCsv(content, *current);
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QVERIFY(convertError);
        QCOMPARE(e.message(), message);
    } catch (const Q7Error& e) {
        QVERIFY(!convertError);
        QCOMPARE(e.message(), message);
    }
    QVERIFY(*current == *before);
}

void TestCsv::writeAndReadFile()
{
    TempFile temp;
    auto store = std::make_unique<RecordStore>();
    fillJoergMuster(*store);
    store->setField(12, Speicherplatz, "012");
    writeCsvFile(temp.path(), *store, false);
    QCOMPARE(readBytes(temp.path()), kJoergMusterLine + "\r\n");
    QCOMPARE(store->field(12, Speicherplatz), QByteArray("12"));

    const RecordStore read = readCsvFile(temp.path(), RecordStore());
    QCOMPARE(firstDifference(read, *store), QString());
}

void TestCsv::missingFile()
{
    TempFile temp;
    auto current = std::make_unique<RecordStore>();
    fillJoergMuster(*current);
    try {
        (void)readCsvFile(temp.path(QStringLiteral("absent.csv")), *current);
        QFAIL("no exception");
    } catch (const EInOutError& e) {
        QCOMPARE(e.code(), int(EInOutError::FileNotFound));
        QCOMPARE(e.message(), QStringLiteral("Datei nicht gefunden"));
    }
    QCOMPARE(current->field(12, Name), pc(u"Jörg Muster"));
}

void TestCsv::writeIntoMissingFolder()
{
    TempFile temp;
    auto store = std::make_unique<RecordStore>();
    fillJoergMuster(*store);
    store->setField(12, Speicherplatz, "012");
    try {
        writeCsvFile(temp.path(QStringLiteral("absent/phonebook.csv")), *store, false);
        QFAIL("no exception");
    } catch (const EInOutError& e) {
        QCOMPARE(e.code(), int(EInOutError::InvalidFileName));
    }
    QCOMPARE(store->field(12, Speicherplatz), QByteArray("012"));
}

void TestCsv::exportFailureKeepsEarlierFile()
{
    TempFile temp;
    const QByteArray earlier = "1,\"earlier\"\r\n";
    writeBytes(temp.path(), earlier);

    auto store = std::make_unique<RecordStore>();
    store->setField(2, Speicherplatz, "002");
    store->setField(2, Name, "fine");
    store->setField(5, Speicherplatz, "abc");
    store->setField(5, Name, "broken");
    const auto before = std::make_unique<RecordStore>(*store);
    try {
        writeCsvFile(temp.path(), *store, false);
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("'abc' ist kein gültiger Integerwert"));
    }
    QCOMPARE(readBytes(temp.path()), earlier);
    QVERIFY(*store == *before);
    QCOMPARE(QDir(temp.dir.path()).entryList(QDir::Files), QStringList{"phonebook.csv"});
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
