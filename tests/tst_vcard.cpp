// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/VcardReport.h"
#include "fileio/VcardReader.h"
#include "fileio/VcardWriter.h"
#include "phonebook/RecordStore.h"
#include "support/EntryText.h"
#include "support/PlainImport.h"

#include <QTest>
#include <memory>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray pc(QStringView text)
{
    return encodePc(text);
}

const NumberTypeNames kTypes = defaultNumberTypeNames();

QList<QByteArray> lines(const QByteArray& vcard)
{
    QList<QByteArray> out = vcard.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

// The cards of a file one by one, to import them in portions. No value holds
// a line end, so every card ends at the first END line after its start.
QList<QByteArray> cardsOf(const QByteArray& vcard)
{
    QList<QByteArray> cards;
    const QByteArray end = "\r\nEND:VCARD\r\n";
    for (qsizetype from = 0, at; (at = vcard.indexOf(end, from)) >= 0; from = at + end.size())
        cards.append(vcard.sliced(from, at + end.size() - from));
    return cards;
}

// Every byte of the PC set that Unicode has a character for: all but the five
// that Windows-1252 leaves undefined.
QByteArray pcAlphabet()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            bytes.append(static_cast<char>(b));
    return bytes;
}

// 700 entries whose names, groups and notes together use every such
// character, at every length up to 30, with zero to three numbers of every type.
std::unique_ptr<RecordStore> fullStore()
{
    const QByteArray alphabet = pcAlphabet();
    auto store = std::make_unique<RecordStore>();
    int next = 0;
    const auto text = [&](int length) {
        QByteArray t;
        while (t.size() < length)
            t.append(alphabet[next++ % alphabet.size()]);
        return t;
    };
    const auto dialable = [&](int length) {
        static const QByteArray kDialed = "0123456789*#pw";
        QByteArray t;
        while (t.size() < length)
            t.append(kDialed[next++ % kDialed.size()]);
        return t;
    };
    for (int r = 1; r <= kRecordCount; ++r) {
        store->setField(r, Speicherplatz, QByteArray::number(r));
        store->setField(r, Name, "N" + text(r % kFieldWidth));
        store->setField(r, Gruppe, text((r * 7) % (kFieldWidth + 1)));
        for (int slot = 1; slot <= r % 4; ++slot) {
            store->setField(r, nummernartField(slot), kTypes[(r + slot) % kTypes.size()]);
            // The import keeps only what a handset dials in a number.
            store->setField(r, nummerField(slot), "0" + dialable((r + slot) % kFieldWidth));
        }
        QByteArray zusatz1 = text((r * 3) % (kFieldWidth + 1));
        zusatz1.replace('\n', ' '); // the line break is what parts the two
        store->setField(r, Zusatz1, zusatz1);
        store->setField(r, Zusatz2, text((r * 5) % (kFieldWidth + 1)));
    }
    return store;
}

} // namespace

class TestVcard : public QObject
{
    Q_OBJECT

private slots:
    void exportOneEntry();
    void exportNumberTypes_data();
    void exportNumberTypes();
    void exportFoldsWithoutSplittingCharacters();
    void fullStoreRoundTrip();
    void importFixtures_data();
    void importFixtures();
    void importNeverOverwritesAndStopsWhenFull();
    void importIntoSimRange();
};

void TestVcard::exportOneEntry()
{
    auto store = std::make_unique<RecordStore>();
    store->setField(12, Speicherplatz, "12");
    store->setField(12, Name, pc(u"Jörg Muster; Jr., \\o/"));
    store->setField(12, Gruppe, "Familie");
    store->setField(12, Nummernart2, "Mobil");
    store->setField(12, Nummer2, "0123456789");
    store->setField(12, Zusatz1, pc(u"Schlüssel"));
    store->setField(12, Zusatz2, "Garten");
    store->setField(13, Name, "Q7LoeschenQ7"); // marked for deletion: not a card
    QCOMPARE(exportVcard(*store, kTypes), QByteArray("BEGIN:VCARD\r\n"
                                                     "VERSION:3.0\r\n"
                                                     "FN:J\xc3\xb6rg Muster\\; Jr.\\, \\\\o/\r\n"
                                                     "N:\\\\o/;J\xc3\xb6rg Muster\\; Jr.\\,;;;\r\n"
                                                     "TEL;TYPE=cell:0123456789\r\n"
                                                     "CATEGORIES:Familie\r\n"
                                                     "NOTE:Schl\xc3\xbcssel\\nGarten\r\n"
                                                     "END:VCARD\r\n"));
}

void TestVcard::exportNumberTypes_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("Telefon") << pc(u"Telefon") << QByteArray("TEL;TYPE=voice:1");
    QTest::newRow("Heim") << pc(u"Heim") << QByteArray("TEL;TYPE=home:1");
    QTest::newRow("Büro") << pc(u"Büro") << QByteArray("TEL;TYPE=work:1");
    QTest::newRow("Mobil") << pc(u"Mobil") << QByteArray("TEL;TYPE=cell:1");
    QTest::newRow("Fax") << pc(u"Fax") << QByteArray("TEL;TYPE=fax:1");
    QTest::newRow("Funkrufempfänger") << pc(u"Funkrufempfänger") << QByteArray("TEL;TYPE=pager:1");
    QTest::newRow("Etc...") << pc(u"Etc...") << QByteArray("TEL;TYPE=voice;X-Q7-TYPE=etc:1");
    QTest::newRow("unknown") << pc(u"Autotelefon") << QByteArray("TEL;TYPE=voice:1");
    QTest::newRow("no type") << QByteArray() << QByteArray("TEL;TYPE=voice:1");
}

void TestVcard::exportNumberTypes()
{
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, line);
    auto store = std::make_unique<RecordStore>();
    store->setField(1, Name, "A");
    store->setField(1, Nummernart1, type);
    store->setField(1, Nummer1, "1");
    QVERIFY(lines(exportVcard(*store, kTypes)).contains(line + '\r'));

    // A type the language file renamed is matched by its place among the
    // seven, not by its German word.
    NumberTypeNames renamed = kTypes;
    for (QByteArray& name : renamed)
        name.prepend("x-");
    const int at = static_cast<int>(std::find(kTypes.begin(), kTypes.end(), type) - kTypes.begin());
    if (at < 7) {
        store->setField(1, Nummernart1, renamed[at]);
        QVERIFY(lines(exportVcard(*store, renamed)).contains(line + '\r'));
    }
}

void TestVcard::exportFoldsWithoutSplittingCharacters()
{
    auto store = std::make_unique<RecordStore>();
    store->setField(1, Name, QByteArray(30, '\x80')); // €, three octets each in UTF-8
    store->setField(1, Zusatz1, QByteArray(30, 'z'));
    store->setField(1, Zusatz2, QByteArray(30, '\xe4'));
    const QByteArray vcard = exportVcard(*store, kTypes);
    for (const QByteArray& line : lines(vcard)) {
        QVERIFY(line.endsWith('\r'));
        QVERIFY2(line.size() - 1 <= 75, line.constData());
        QVERIFY2(QString::fromUtf8(line).toUtf8() == line, line.constData()); // whole characters
    }
    QVERIFY(lines(vcard).size() > 8); // folded at all

    auto imported = std::make_unique<RecordStore>();
    importVcard(vcard, *imported, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(describeEntry(*imported, 1), describeEntry(*store, 1));
}

void TestVcard::fullStoreRoundTrip()
{
    const auto original = fullStore();
    const QList<QByteArray> cards = cardsOf(exportVcard(*original, kTypes));
    QCOMPARE(cards.size(), kRecordCount);

    // Handset memory takes the first 500 back in their order; the SIM range
    // for new entries holds 91, so the rest goes there in portions.
    auto memory = std::make_unique<RecordStore>();
    const VcardImportReport report =
        importVcard(cards.mid(0, 500).join(), *memory, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(report.created(), 500);
    for (int r = 1; r <= 500; ++r) {
        QCOMPARE(describeEntry(*memory, r), describeEntry(*original, r));
        QVERIFY(memory->isChanged(r));
    }
    for (int first = 500; first < kRecordCount; first += 91) {
        auto sim = std::make_unique<RecordStore>();
        const QByteArray portion = cards.mid(first, 91).join();
        QCOMPARE(importVcard(portion, *sim, ImportRange::SimCard, kTypes).notImported, 0);
        for (int i = 0; first + i < kRecordCount && i < 91; ++i)
            QCOMPARE(describeEntry(*sim, 510 + i), describeEntry(*original, first + 1 + i));
    }
}

void TestVcard::importFixtures_data()
{
    QTest::addColumn<QByteArray>("vcard");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("report");

    QTest::newRow("2.1 quoted-printable in ISO-8859-1 with soft breaks")
        << QByteArray(
               "BEGIN:VCARD\r\n"
               "VERSION:2.1\r\n"
               "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg;;;\r\n"
               "FN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:J=F6rg M=\r\n"
               "=FCller\r\n"
               "TEL;HOME:0301234\r\n"
               "TEL;CELL;VOICE;PREF:+491701234567\r\n"
               "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:Schl=FCssel beim Nachb=\r\n"
               "arn=0D=0AKlingel defekt\r\n"
               "END:VCARD\r\n")
        << QStringList{u"Jörg Müller||Mobil:+491701234567|Heim:0301234||Schlüssel beim "
                       "Nachbarn|Klingel defekt"_s}
        << QStringList{u"Angelegte Einträge: 1"_s, u"Nichts gekürzt, ersetzt oder ausgelassen."_s};

    QTest::newRow("3.0 with grouped numbers, a folded note and LF lines")
        << QByteArray("BEGIN:VCARD\n"
                      "VERSION:3.0\n"
                      "FN:Anna Schmidt\n"
                      "N:Schmidt;Anna;;;\n"
                      "item1.TEL;TYPE=WORK,VOICE:+49 30 1234567\n"
                      "item1.X-ABLabel:_$!<Work>!$_\n"
                      "item2.TEL;type=fax:+49 30 1234568\n"
                      "EMAIL;TYPE=INTERNET:anna@example.org\n"
                      "CATEGORIES:Kollegen,Verein\n"
                      "NOTE:Erste Zeile\\nZweite Zei\n"
                      " le\n"
                      "END:VCARD\n")
        << QStringList{u"Anna Schmidt|Kollegen|Büro:+49301234567|Fax:+49301234568||Erste "
                       "Zeile|Zweite Zeile"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Anna Schmidt (Speicherplatz 1):"_s,
                       u"    Gruppe ausgelassen: Verein"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 2"_s,
                       u"Nicht übernommen:"_s,
                       u"    E-Mail: 1 Karte"_s};

    QTest::newRow("4.0 with quoted type lists, tel URIs and a preferred number")
        << QByteArray("BEGIN:VCARD\r\n"
                      "VERSION:4.0\r\n"
                      "FN:Bernd Becker\r\n"
                      "TEL;VALUE=uri;TYPE=\"home,voice\":tel:+49-30-555\r\n"
                      "TEL;VALUE=uri;PREF=1;TYPE=\"cell,voice\":tel:+49-170-555\r\n"
                      "TEL;TYPE=pager:0800\r\n"
                      "END:VCARD\r\n")
        << QStringList{u"Bernd Becker||Mobil:+49170555|Heim:+4930555|Funkrufempfänger:0800||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 2"_s};

    QTest::newRow("four numbers, an address and a company")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Vier\r\nORG:Muster GmbH;Einkauf\r\n"
                      "TEL:1\r\nTEL:2\r\nTEL;TYPE=work:3\r\nTEL;TYPE=cell:4\r\n"
                      "ADR;TYPE=home:;;Hauptstr. 1;Berlin;;10115;Deutschland\r\n"
                      "URL:https://example.org\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\r\n"
                      "END:VCARD\r\n")
        << QStringList{u"Vier||Mobil:4|Büro:3|Telefon:1||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Vier (Speicherplatz 1):"_s,
                       u"    Nummer ausgelassen: Telefon 2"_s,
                       u"Nicht übernommen:"_s,
                       u"    Adresse: 1 Karte"_s,
                       u"    Firma: 1 Karte"_s,
                       u"    URL und 1 weitere: nicht übernommen"_s};

    QTest::newRow("a name of 40 characters")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n"
                      "FN:Maximiliane Alexandra von Mustermann-Ost\r\nEND:VCARD\r\n")
        << QStringList{u"Maximiliane Alexandra von Must||||||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Maximiliane Alexandra von Mustermann-Ost (Speicherplatz 1):"_s,
                       u"    Name auf 30 Zeichen gekürzt: Maximiliane Alexandra von "
                       "Mustermann-Ost"_s};

    QTest::newRow("characters outside Windows-1252")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xc5\x81ukasz Zo\xc3\xab \xf0\x9f\x99\x82"
                      "\r\nTEL:5\r\nEND:VCARD\r\n")
        << QStringList{u"?ukasz Zoë ?||Telefon:5||||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Łukasz Zoë 🙂 (Speicherplatz 1):"_s,
                       u"    Name mit \"?\" für fehlende Zeichen: Łukasz Zoë 🙂"_s};

    QTest::newRow("no FN but N, escaped characters, Windows-1252")
        << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                      "N:Muster\\;Ost;Max;;Dr.;\r\n"
                      "TEL;WORK;ENCODING=QUOTED-PRINTABLE;CHARSET=WINDOWS-1252:=80 030\r\n"
                      "NOTE:Kunde seit 1999\\, zahlt p\xfcnktlich\r\n"
                      "END:VCARD\r\n")
        << QStringList{u"Dr. Max Muster;Ost|||||Kunde seit 1999, zahlt pünktli|ch"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Dr. Max Muster;Ost (Speicherplatz 1):"_s,
                       u"    Nummer nicht übernommen, \"€\" wählt kein Handy: € 030"_s};

    QTest::newRow("an empty card, a card without name and a card without number")
        << QByteArray("BEGIN:VCARD\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN: \r\nTEL:0301234\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nORG:Pizzeria\r\nEND:VCARD\r\n")
        << QStringList{u"Pizzeria||||||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s, u"Karte 1 ohne Namen und Nummer übersprungen."_s,
                       u"Karte 2 ohne Namen übersprungen (Nummer 0301234)."_s};

    QTest::newRow("a note longer than both fields")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nNOTE:" + QByteArray(70, 'n') +
                      "\r\nEND:VCARD\r\n")
        << QStringList{u"A|||||"_s + QString(30, u'n') + u'|' + QString(30, u'n')}
        << QStringList{u"Angelegte Einträge: 1"_s, u"Karte 1, A (Speicherplatz 1):"_s,
                       u"    Notiz auf 30 Zeichen gekürzt: "_s + QString(60, u'n') + u"..."_s};

    QTest::newRow("no card at all")
        << QByteArray("FN:Lost\r\n") << QStringList{}
        << QStringList{u"Die Datei enthält keine vCard."_s, u"Angelegte Einträge: 0"_s};
}

void TestVcard::importFixtures()
{
    QFETCH(QByteArray, vcard);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, report);

    auto store = std::make_unique<RecordStore>();
    const VcardImportReport result = importVcard(vcard, *store, ImportRange::HandsetMemory, kTypes);
    QStringList created;
    for (const int record : result.records)
        created << describeEntry(*store, record);
    QCOMPARE(created, entries);
    QCOMPARE(vcardReportLines(result, LanguageFile()), report);
    for (const int record : result.records) {
        QCOMPARE(store->field(record, Speicherplatz), QByteArray::number(record));
        QCOMPARE(store->field(record, NummerTag1), QByteArray("TELNO"));
        QCOMPARE(store->field(record, ZusatzTag2), QByteArray("CUSTOM"));
        QCOMPARE(store->field(record, ChangedFlag), QByteArray("JA"));
    }
}

void TestVcard::importNeverOverwritesAndStopsWhenFull()
{
    auto store = std::make_unique<RecordStore>();
    for (int r = 1; r <= 500; ++r)
        store->setField(r, Name, "alt " + QByteArray::number(r));
    store->setField(7, Name, QByteArray());
    store->setField(9, Name, "Q7LoeschenQ7");
    store->setField(9, Gruppe, "alt");
    const auto before = std::make_unique<RecordStore>(*store);

    const QByteArray vcard = "BEGIN:VCARD\r\nFN:Eins\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nFN:Zwei\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nFN:Drei\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nFN:Vier\r\nEND:VCARD\r\n";
    const VcardImportReport report = importVcard(vcard, *store, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(report.records, (QList<int>{7, 9}));
    QCOMPARE(store->field(7, Name), QByteArray("Eins"));
    QCOMPARE(store->field(9, Name), QByteArray("Zwei"));
    QCOMPARE(store->field(9, Gruppe), QByteArray());
    for (int r = 1; r <= kRecordCount; ++r)
        if (r != 7 && r != 9)
            QVERIFY(store->rawRecord(r) == before->rawRecord(r));
    QCOMPARE(
        vcardReportLines(report, LanguageFile()),
        (QStringList{u"Angelegte Einträge: 2"_s,
                     u"Kein freier Speicherplatz mehr: 2 Karten ab Karte 3 nicht importiert."_s}));
}

void TestVcard::importIntoSimRange()
{
    auto store = std::make_unique<RecordStore>();
    const QByteArray vcard = "BEGIN:VCARD\r\nFN:Eins\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nFN:Zwei\r\nEND:VCARD\r\n";
    const VcardImportReport report = importVcard(vcard, *store, ImportRange::SimCard, kTypes);
    // The First Nine are never offered to a new entry.
    QCOMPARE(report.records, (QList<int>{510, 511}));
}

QTEST_GUILESS_MAIN(TestVcard)
#include "tst_vcard.moc"
