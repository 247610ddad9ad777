// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/ContactMerge.h"
#include "editing/RecordChange.h"
#include "editing/VcardReport.h"
#include "fileio/ContactsCsv.h"
#include "fileio/VcardReader.h"
#include "phonebook/RecordStore.h"
#include "support/EntryText.h"
#include "support/PlainImport.h"

#include <QStringEncoder>
#include <QTest>
#include <memory>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

const NumberTypeNames kTypes = defaultNumberTypeNames();
constexpr int kGermany = 49;

QByteArray utf16le(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
}

QByteArray vcard(const QString& name, const QStringList& tels)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + name.toUtf8() + "\r\n";
    for (const QString& tel : tels)
        card += "TEL;" + tel.toUtf8() + "\r\n";
    return card + "END:VCARD\r\n";
}

std::unique_ptr<RecordStore> storeOf(const QByteArray& cards)
{
    auto store = std::make_unique<RecordStore>();
    importVcard(cards, *store, ImportRange::HandsetMemory, kTypes);
    return store;
}

// Whether a record holds the same values in both stores.
bool sameRecord(const RecordStore& a, const RecordStore& b, int record)
{
    for (int field = Speicherplatz; field <= Feld18; ++field)
        if (a.field(record, field) != b.field(record, field))
            return false;
    return true;
}

} // namespace

class TestContacts : public QObject
{
    Q_OBJECT

private slots:
    void headerFormats_data();
    void headerFormats();
    void formatDecision_data();
    void formatDecision();
    void numbersChosenByType();
    void reportSumsUpByKind();
    void merge_data();
    void merge();
    void allAsNewEntries();
    void reportSaysWhatTheImportDid_data();
    void reportSaysWhatTheImportDid();
    void duplicatesFoundAndMergedInOneStep();
    void mergeKeepsTheFirstNineEntry_data();
    void mergeKeepsTheFirstNineEntry();
    void numberForm();
};

void TestContacts::headerFormats_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("report");

    QTest::newRow("Google, UTF-8 with BOM, ' ::: ' and a note over two lines")
        << QByteArray(
               "\xEF\xBB\xBFName,Given Name,Additional Name,Family Name,Birthday,Notes,"
               "Group Membership,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,"
               "Phone 1 - Value,Phone 2 - Type,Phone 2 - Value\r\n"
               "J\xC3\xB6rg M\xC3\xBCller,J\xC3\xB6rg,,M\xC3\xBCller,1970-01-01,\"Schl\xC3\xBCssel "
               "beim Nachbarn\r\nKlingel \"\"defekt\"\"\",* myContacts ::: Familie ::: Verein,"
               "* Home,j@example.com,Home,030 1234 ::: 030 5678,* Mobile,+49 171 555-66-77\r\n"
               ",Anna,,Schmidt,,,* myContacts,,,Work,(089) 12 34,,\r\n")
        << QStringList{u"Jörg Müller|Familie|Mobil:+491715556677|Heim:0301234|Heim:0305678|"
                       "Schlüssel beim Nachbarn|Klingel \"defekt\""_s,
                       u"Anna Schmidt||Büro:0891234||||"_s}
        << QStringList{u"Angelegte Einträge: 2"_s,
                       u"Karte 1, Jörg Müller (Speicherplatz 1):"_s,
                       u"    Gruppe ausgelassen: Verein"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 4"_s,
                       u"Nicht übernommen:"_s,
                       u"    E-Mail: 1 Karte"_s,
                       u"    Birthday"_s};

    QTest::newRow("Outlook English, Windows-1252")
        << QByteArray("\"First Name\",\"Middle Name\",\"Last Name\",\"Title\",\"Company\","
                      "\"Business Phone\",\"Home Phone\",\"Mobile Phone\",\"Car Phone\","
                      "\"Business Fax\",\"Pager\",\"Categories\",\"E-mail Address\"\r\n"
                      "\"J\xF6rg\",\"\",\"M\xFCller\",\"Dr.\",\"Muster GmbH\",\"030 1\",\"030 2\","
                      "\"0171 3\",\"0172 4\",\"030 5\",\"\",\"Kunden\",\"j@example.com\"\r\n")
        << QStringList{u"Dr. Jörg Müller|Kunden|Mobil:01713|Heim:0302|Büro:0301||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Dr. Jörg Müller (Speicherplatz 1):"_s,
                       u"    Nummer ausgelassen: Telefon 01724"_s,
                       u"    Nummer ausgelassen: Fax 0305"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 5"_s,
                       u"Nicht übernommen:"_s,
                       u"    E-Mail: 1 Karte"_s,
                       u"    Firma: 1 Karte"_s};

    QTest::newRow("Outlook German, UTF-16 with BOM, semicolons")
        << utf16le(u"Vorname;Nachname;Telefon geschäftlich;Mobiltelefon;Fax privat;Notizen\r\n"
                   "Änne;Groß;030 1;;;\r\n"
                   "Bernd;Becker;;0171 9;030 8;\"zwei\r\nZeilen\"\r\n"_s)
        << QStringList{u"Änne Groß||Büro:0301||||"_s,
                       u"Bernd Becker||Mobil:01719|Fax:0308||zwei|Zeilen"_s}
        << QStringList{u"Angelegte Einträge: 2"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 3"_s};

    QTest::newRow("Thunderbird, UTF-8 without BOM")
        << QByteArray("First Name,Last Name,Display Name,Nickname,Primary Email,Work Phone,"
                      "Home Phone,Fax Number,Pager Number,Mobile Number,Custom 1\r\n"
                      "Max,Muster,Max Muster,Maxi,m@example.com,030-1,030-2,030-3,030-4,0171-5,"
                      "x\r\n")
        << QStringList{u"Max Muster||Mobil:01715|Heim:0302|Büro:0301||"_s}
        << QStringList{u"Angelegte Einträge: 1"_s,
                       u"Karte 1, Max Muster (Speicherplatz 1):"_s,
                       u"    Nummer ausgelassen: Fax 0303"_s,
                       u"    Nummer ausgelassen: Funkrufempfänger 0304"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 5"_s,
                       u"Nicht übernommen:"_s,
                       u"    E-Mail: 1 Karte"_s,
                       u"    Nickname und 1 weitere: nicht übernommen"_s};

    QTest::newRow("a plain table, Windows-1252, a refused number")
        << QByteArray("Name;Telefon;Handy\r\nM\xFCller;030 12;0171/34\r\nPizza;0800-PIZZA;\r\n")
        << QStringList{u"Müller||Telefon:03012|Mobil:017134|||"_s, u"Pizza||||||"_s}
        << QStringList{u"Angelegte Einträge: 2"_s, u"Karte 2, Pizza (Speicherplatz 2):"_s,
                       u"    Nummer nicht übernommen, \"IZA\" wählt kein Handy: 0800-PIZZA"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 2"_s};
}

void TestContacts::headerFormats()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, report);

    QCOMPARE(phonebookFileFormat(u"export.csv"_s, file), PhonebookFileFormat::ContactsCsv);
    auto store = std::make_unique<RecordStore>();
    const VcardImportReport result =
        importAllNew(readContactsCsv(file), *store, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(describeLiveEntries(*store), entries);
    QCOMPARE(vcardReportLines(result, LanguageFile()), report);
}

void TestContacts::formatDecision_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("vcardFilter");
    QTest::addColumn<PhonebookFileFormat>("format");

    const QByteArray phonebook = "1,\"Name\",\"\",\"TELNO\",\"Mobil\",\"0171\"\r\n";
    QTest::newRow("phonebook file")
        << u"a.csv"_s << phonebook << false << PhonebookFileFormat::PhonebookCsv;
    QTest::newRow("empty file") << u"a.csv"_s << QByteArray() << false
                                << PhonebookFileFormat::PhonebookCsv;
    QTest::newRow("header without a name column")
        << u"a.csv"_s << QByteArray("Telefon;Ort\r\n030;Berlin\r\n") << false
        << PhonebookFileFormat::PhonebookCsv;
    QTest::newRow("contacts") << u"a.txt"_s << QByteArray("Name;Telefon\r\n") << false
                              << PhonebookFileFormat::ContactsCsv;
    QTest::newRow("vCard named .csv") << u"a.csv"_s << QByteArray("\xEF\xBB\xBF begin:vcard\r\n")
                                      << false << PhonebookFileFormat::Vcard;
    QTest::newRow(".vcf") << u"a.VCF"_s << phonebook << false << PhonebookFileFormat::Vcard;
    QTest::newRow("vCard filter") << u"a"_s << phonebook << true << PhonebookFileFormat::Vcard;
}

void TestContacts::formatDecision()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, content);
    QFETCH(bool, vcardFilter);
    QFETCH(PhonebookFileFormat, format);
    QCOMPARE(phonebookFileFormat(path, content, vcardFilter), format);
}

void TestContacts::numbersChosenByType()
{
    // The card lists car, home, home fax, pager, work, other and mobile in
    // that order; the handset keeps mobile, home and work.
    const QByteArray card = vcard(
        u"John Doe"_s, {u"TYPE=car:1"_s, u"TYPE=home:2"_s, u"TYPE=home,fax:3"_s, u"TYPE=pager:4"_s,
                        u"TYPE=work:5"_s, u"TYPE=other:6"_s, u"TYPE=cell:7"_s});
    auto store = std::make_unique<RecordStore>();
    const VcardImportReport report = importVcard(card, *store, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(describeEntry(*store, 1), u"John Doe||Mobil:7|Heim:2|Büro:5||"_s);
    QCOMPARE(
        vcardReportLines(report, LanguageFile()),
        (QStringList{u"Angelegte Einträge: 1"_s, u"Karte 1, John Doe (Speicherplatz 1):"_s,
                     u"    Nummer ausgelassen: Telefon 1"_s, u"    Nummer ausgelassen: Telefon 6"_s,
                     u"    Nummer ausgelassen: Fax 3"_s,
                     u"    Nummer ausgelassen: Funkrufempfänger 4"_s}));
}

void TestContacts::reportSumsUpByKind()
{
    QByteArray cards;
    for (int i = 1; i <= 12; ++i)
        cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:K" + QByteArray::number(i) +
                 "\r\nEMAIL:a@b\r\nEMAIL:c@d\r\nX-MOZILLA-HTML:FALSE\r\nBDAY:2000-01-01\r\n"
                 "ADR:;;Weg 1\\nHinterhaus;Ort;;;\r\nURL:x\r\nX-AIM:y\r\nEND:VCARD\r\n";
    auto store = std::make_unique<RecordStore>();
    const VcardImportReport report = importVcard(cards, *store, ImportRange::HandsetMemory, kTypes);
    QCOMPARE(vcardReportLines(report, LanguageFile()),
             (QStringList{u"Angelegte Einträge: 12"_s, u"Nicht übernommen:"_s,
                          u"    Adresse: 12 Karten"_s, u"    E-Mail: 12 Karten"_s,
                          u"    X-MOZILLA-HTML und 3 weitere: nicht übernommen"_s}));
}

void TestContacts::merge_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("counts"); // added, completed, already there
    QTest::addColumn<int>("countryCode");

    const QByteArray anna = vcard(u"Anna Schmidt"_s, {u"TYPE=cell:0171 111"_s});
    const QByteArray bernd = vcard(u"Bernd Becker"_s, {u"TYPE=home:030 222"_s});
    QTest::newRow("the same file twice adds nothing")
        << anna + bernd << anna + bernd
        << QStringList{u"Anna Schmidt||Mobil:0171111||||"_s, u"Bernd Becker||Heim:030222||||"_s}
        << QList<int>{0, 0, 2} << kGermany;
    QTest::newRow("one new number completes its entry")
        << anna << vcard(u"Anna Schmidt"_s, {u"TYPE=cell:0171111"_s, u"TYPE=work:089 3"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111|Büro:0893|||"_s} << QList<int>{0, 1, 0}
        << kGermany;
    QTest::newRow("matched by +49 and 0 under a part of the name")
        << anna << vcard(u"Schmidt"_s, {u"TYPE=cell:+49 171-111"_s, u"TYPE=home:030 9"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111|Heim:0309|||"_s} << QList<int>{0, 1, 0}
        << kGermany;
    QTest::newRow("the same number under another name is another person")
        << anna << vcard(u"Anni"_s, {u"TYPE=cell:+49 171-111"_s, u"TYPE=home:030 9"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111||||"_s,
                       u"Anni||Mobil:+49171111|Heim:0309|||"_s}
        << QList<int>{1, 0, 0} << kGermany;
    QTest::newRow("two people sharing one line")
        << vcard(u"Jörg Müller"_s, {u"TYPE=home:+4989123456"_s})
        << vcard(u"Renée Größl"_s, {u"TYPE=home:08912 3456"_s})
        << QStringList{u"Jörg Müller||Heim:+4989123456||||"_s, u"Renée Größl||Heim:089123456||||"_s}
        << QList<int>{1, 0, 0} << kGermany;
    QTest::newRow("an initial stands for the first name; Mueller is not Müller")
        << vcard(u"Jörg Müller"_s, {u"TYPE=home:+4989123456"_s})
        << vcard(u"J. Mueller"_s, {u"TYPE=home:089123456"_s}) +
               vcard(u"J. Müller"_s, {u"TYPE=home:089123456"_s, u"TYPE=cell:0172 5"_s})
        << QStringList{u"Jörg Müller||Heim:+4989123456|Mobil:01725|||"_s,
                       u"J. Mueller||Heim:089123456||||"_s}
        << QList<int>{1, 1, 0} << kGermany;
    QTest::newRow("the name decides before the number")
        << vcard(u"Anna Schmidt"_s, {u"TYPE=cell:0171111"_s}) +
               vcard(u"Bernd Becker"_s, {u"TYPE=home:030 222"_s})
        << vcard(u"Bernd Becker"_s, {u"TYPE=cell:0171111"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111||||"_s,
                       u"Bernd Becker||Heim:030222|Mobil:0171111|||"_s}
        << QList<int>{0, 1, 0} << kGermany;
    QTest::newRow("of two entries of one name, the one with the number")
        << vcard(u"Anna"_s, {u"TYPE=cell:0171"_s}) + vcard(u"Anna"_s, {u"TYPE=home:0302"_s})
        << vcard(u"Anna"_s, {u"TYPE=home:0302"_s})
        << QStringList{u"Anna||Mobil:0171||||"_s, u"Anna||Heim:0302||||"_s} << QList<int>{0, 0, 1}
        << kGermany;
    QTest::newRow("ss and ß are one name")
        << vcard(u"Jens Weiß"_s, {}) << vcard(u"Jens Weiss"_s, {u"TYPE=cell:0173"_s})
        << QStringList{u"Jens Weiß||Mobil:0173||||"_s} << QList<int>{0, 1, 0} << kGermany;
    QTest::newRow("matched by the name, case and accents folded")
        << vcard(u"Jörg Müller"_s, {}) << vcard(u"JORG  MULLER"_s, {u"TYPE=cell:0172"_s})
        << QStringList{u"Jörg Müller||Mobil:0172||||"_s} << QList<int>{0, 1, 0} << kGermany;
    QTest::newRow("two contacts matching one entry")
        << anna
        << vcard(u"Anna"_s, {u"TYPE=cell:0171111"_s, u"TYPE=home:030 1"_s}) +
               vcard(u"Anna S."_s, {u"TYPE=home:0301"_s, u"TYPE=work:089 2"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111|Heim:0301|Büro:0892||"_s}
        << QList<int>{0, 1, 0} << kGermany;
    QTest::newRow("a full entry takes nothing, a stranger is new")
        << vcard(u"Voll"_s, {u"TYPE=cell:1"_s, u"TYPE=home:2"_s, u"TYPE=work:3"_s})
        << vcard(u"Voll"_s, {u"TYPE=fax:4"_s}) + bernd
        << QStringList{u"Voll||Mobil:1|Heim:2|Büro:3||"_s, u"Bernd Becker||Heim:030222||||"_s}
        << QList<int>{1, 0, 1} << kGermany;
    QTest::newRow("a long name matches the entry it was cut for")
        << vcard(u"Maximiliane Alexandra von Mustermann-Ost"_s, {})
        << vcard(u"Maximiliane Alexandra von Mustermann-Ost"_s, {u"TYPE=cell:0173"_s})
        << QStringList{u"Maximiliane Alexandra von Must||Mobil:0173||||"_s} << QList<int>{0, 1, 0}
        << kGermany;
    QTest::newRow("a contact twice in one file makes one entry")
        << QByteArray() << bernd + bernd << QStringList{u"Bernd Becker||Heim:030222||||"_s}
        << QList<int>{1, 0, 1} << kGermany;
    // Another country: "+43…" is "0…", "+49…" a number of its own.
    QTest::newRow("the user's own country code")
        << anna
        << vcard(u"Anna"_s, {u"TYPE=cell:+43 171-111"_s, u"TYPE=home:030 9"_s}) +
               vcard(u"Ben"_s, {u"TYPE=cell:+49 171 111"_s})
        << QStringList{u"Anna Schmidt||Mobil:0171111|Heim:0309|||"_s, u"Ben||Mobil:+49171111||||"_s}
        << QList<int>{1, 1, 0} << 43;
}

void TestContacts::merge()
{
    QFETCH(QByteArray, base);
    QFETCH(QByteArray, in);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, counts);
    QFETCH(int, countryCode);

    auto store = storeOf(base);
    const QList<Contact> contacts = readVcardContacts(in);
    const MergeCounts expected =
        countMerge(contacts, *store, ImportRange::HandsetMemory, kTypes, countryCode);
    QCOMPARE((QList<int>{expected.added, expected.completed, expected.alreadyThere}), counts);

    auto before = std::make_unique<RecordStore>(*store);
    const ContactImport result = importContacts(contacts, *store, ImportRange::HandsetMemory,
                                                MergeMode::Merge, kTypes, countryCode);
    QCOMPARE(describeLiveEntries(*store), entries);
    // The question's counts are what the import then did: the entries it
    // made, the ones it gave numbers, and the contacts it left alone.
    int added = 0;
    int completed = 0;
    for (int r = 1; r <= kRecordCount; ++r) {
        if (!before->isLive(r) && store->isLive(r))
            ++added;
        else if (before->isLive(r) && !sameRecord(*before, *store, r))
            ++completed;
    }
    QCOMPARE((QList<int>{added, completed, result.report.alreadyThere}), counts);
    QCOMPARE(result.report.created(), added);
    // One undo step gives back the phonebook as it was.
    const QList<RecordChange> changes = changesBetween(*before, *store, result.edit.touched);
    applyChanges(*store, changes, ChangeSide::Before);
    QVERIFY(*store == *before);
}

void TestContacts::allAsNewEntries()
{
    const QByteArray anna = vcard(u"Anna Schmidt"_s, {u"TYPE=cell:0171 111"_s});
    auto store = storeOf(anna);
    const ContactImport result = importContacts(
        readVcardContacts(anna), *store, ImportRange::SimCard, MergeMode::AllNew, kTypes, kGermany);
    QCOMPARE(result.edit.touched, QList<int>{kLastFirstNineRecord + 1});
    QCOMPARE(describeLiveEntries(*store).size(), 2);
}

void TestContacts::reportSaysWhatTheImportDid_data()
{
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<bool>("contactsFile");
    QTest::addColumn<QStringList>("report");

    const QByteArray joerg = vcard(u"Jörg Müller"_s, {u"TYPE=home:+4989123456"_s});
    QTest::newRow("a shared number names the entry that holds it")
        << joerg << vcard(u"Renée Größl"_s, {u"TYPE=home:08912 3456"_s}) << false
        << QStringList{u"Angelegte Einträge: 1"_s, u"Karte 1, Renée Größl (Speicherplatz 2):"_s,
                       u"    Nummer 089123456 hat auch Jörg Müller (Speicherplatz 1): als "
                       "eigener Eintrag angelegt"_s,
                       u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 1"_s};
    const QByteArray longName =
        vcard(u"Maximiliane Alexandra von Mustermann-Ost"_s, {u"TYPE=cell:0173 1"_s});
    QTest::newRow("a second import of a file reports nothing it did not do")
        << longName << longName << false
        << QStringList{u"Angelegte Einträge: 0"_s, u"Schon vorhandene Kontakte: 1"_s,
                       u"Nichts gekürzt, ersetzt oder ausgelassen."_s};
    QTest::newRow("a contacts file speaks of contacts")
        << QByteArray()
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nEMAIL:a@b\r\nEND:VCARD\r\n") << true
        << QStringList{u"Angelegte Einträge: 1"_s, u"Nicht übernommen:"_s,
                       u"    E-Mail: 1 Kontakt"_s};
}

void TestContacts::reportSaysWhatTheImportDid()
{
    QFETCH(QByteArray, base);
    QFETCH(QByteArray, in);
    QFETCH(bool, contactsFile);
    QFETCH(QStringList, report);

    auto store = storeOf(base);
    ContactImport result = importContacts(readVcardContacts(in), *store, ImportRange::HandsetMemory,
                                          MergeMode::Merge, kTypes, kGermany);
    result.report.fromContactsFile = contactsFile;
    QCOMPARE(vcardReportLines(result.report, LanguageFile()), report);
}

void TestContacts::duplicatesFoundAndMergedInOneStep()
{
    auto store = storeOf(vcard(u"Anna Schmidt"_s, {u"TYPE=cell:0171111"_s}) +
                         vcard(u"Bernd"_s, {u"TYPE=home:030 1"_s}) +
                         vcard(u"anna schmidt"_s, {u"TYPE=work:089 2"_s, u"TYPE=fax:089 3"_s}) +
                         vcard(u"Caro"_s, {u"TYPE=cell:+49171111"_s}) +
                         vcard(u"Bernhard"_s, {u"TYPE=cell:0172"_s}));
    store->setField(2, ChangedFlag, kChangedNo);
    const QList<QList<int>> groups = findDuplicates(*store, kGermany);
    QCOMPARE(groups, (QList<QList<int>>{{1, 3, 4}}));

    auto before = std::make_unique<RecordStore>(*store);
    QStringList leftOut;
    const EditResult merged = mergeDuplicates(*store, groups.front(), kGermany, kTypes, &leftOut);
    QCOMPARE(merged.touched, (QList<int>{1, 3, 4}));
    QCOMPARE(describeEntry(*store, 1), u"Anna Schmidt||Mobil:0171111|Büro:0892|Fax:0893||"_s);
    QVERIFY(store->isMarkedForDeletion(3));
    QVERIFY(store->isMarkedForDeletion(4));
    QCOMPARE(leftOut, QStringList{});
    QVERIFY(findDuplicates(*store, kGermany).isEmpty());

    applyChanges(*store, changesBetween(*before, *store, merged.touched), ChangeSide::Before);
    QVERIFY(*store == *before);
}

void TestContacts::mergeKeepsTheFirstNineEntry_data()
{
    QTest::addColumn<QList<int>>("records"); // one person at each
    QTest::addColumn<int>("kept");
    QTest::addColumn<QList<int>>("emptied"); // First Nine positions the merge asks about

    QTest::newRow("no First Nine entry: the lowest location")
        << QList<int>{17, 512} << 17 << QList<int>{};
    QTest::newRow("the First Nine entry, not the lowest location")
        << QList<int>{17, 505} << 505 << QList<int>{};
    QTest::newRow("two First Nine positions: the other is asked about")
        << QList<int>{17, 503, 505} << 503 << QList<int>{505};
}

void TestContacts::mergeKeepsTheFirstNineEntry()
{
    QFETCH(QList<int>, records);
    QFETCH(int, kept);
    QFETCH(QList<int>, emptied);

    auto store = std::make_unique<RecordStore>();
    QStringList numbers;
    for (const int record : records) {
        const QByteArray number = "0171" + QByteArray::number(record);
        store->setField(record, Speicherplatz, QByteArray::number(record));
        store->setField(record, Name, "Anna Schmidt");
        store->setField(record, Nummernart1, "Mobil");
        store->setField(record, Nummer1, number);
        numbers << u"Mobil:"_s + QString::fromLatin1(number);
    }
    const QList<QList<int>> groups = findDuplicates(*store, kGermany);
    QCOMPARE(groups, QList<QList<int>>{records});
    QCOMPARE(keptRecordOf(groups.front()), kept);
    QCOMPARE(firstNineEmptiedBy(groups.front()), emptied);

    const EditResult merged = mergeDuplicates(*store, groups.front(), kGermany, kTypes);
    QCOMPARE(merged.target, kept);
    for (const int record : records)
        QCOMPARE(store->isLive(record), record == kept);
    // The kept entry holds the numbers of all, its own first.
    QStringList held = describeEntry(*store, kept).split(u'|').mid(2, records.size());
    QCOMPARE(held.front(), u"Mobil:0171"_s + QString::number(kept));
    held.sort();
    numbers.sort();
    QCOMPARE(held, numbers);
}

void TestContacts::numberForm()
{
    auto store = storeOf(vcard(u"A"_s, {u"TYPE=cell:0171 1"_s, u"TYPE=home:+43 1 2"_s}) +
                         vcard(u"B"_s, {u"TYPE=cell:+491722"_s}));
    store->setField(3, Name, kDeletionMarker);
    store->setField(3, Nummer1, "0301");

    const QList<NumberRewrite> international =
        planNumberForm(*store, NumberForm::International, kGermany);
    QCOMPARE(international.size(), 1);
    QCOMPARE(international.front().after, QByteArray("+491711"));
    const QList<NumberRewrite> national = planNumberForm(*store, NumberForm::National, kGermany);
    QCOMPARE(national.size(), 1);
    QCOMPARE(national.front().record, 2);
    QCOMPARE(national.front().after, QByteArray("01722"));

    store->setField(1, ChangedFlag, kChangedNo);
    const EditResult result = applyNumberForm(*store, international);
    QCOMPARE(result.touched, QList<int>{1});
    QCOMPARE(store->field(1, Nummer1), QByteArray("+491711"));
    QVERIFY(store->isChanged(1));
}

QTEST_GUILESS_MAIN(TestContacts)
#include "tst_contacts.moc"
