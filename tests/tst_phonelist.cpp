// SPDX-License-Identifier: GPL-3.0-or-later
// The printed phone list: what it holds for each choice, and its PDF read
// back as poppler's tools read it (text, word boxes, page count and size).

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/ProgramLanguage.h"
#include "phonebook/NameOrder.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"
#include "print/PhoneList.h"
#include "print/PhoneListPdf.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

struct Number
{
    const char* type;
    const char* number;
};

void put(RecordStore& store, int record, QStringView name, QStringView group = {},
         QList<Number> numbers = {})
{
    store.setField(record, Speicherplatz, QByteArray::number(record));
    store.setField(record, Name, encodePc(name));
    store.setField(record, Gruppe, encodePc(group));
    for (int j = 1; j <= numbers.size(); ++j) {
        store.setField(record, nummernartField(j),
                       encodePc(QString::fromUtf8(numbers[j - 1].type)));
        store.setField(record, nummerField(j), numbers[j - 1].number);
    }
}

// A small phonebook: names that sort differently by byte and by language,
// the characters of the handset's set, a First Nine entry and a deleted one.
RecordStore smallPhonebook()
{
    RecordStore store;
    put(store, 3, u"Zoe", u"Freunde", {{"Mobil", "01711111111"}});
    put(store, 7, u"Jörg Müller", u"Familie", {{"Mobil", "01712345678"}, {"Heim", "0301234"}});
    put(store, 12, u"Ärzte Notdienst", {}, {{"Büro", "116117"}});
    put(store, 20, u"bernd", u"freunde", {{"Fax", "0309999"}});
    put(store, 21, u"Søren Ærø Ñandú ¿ß£¥§", u"Familie", {{"Telefon", "+4530123456"}});
    put(store, 22, u"Q7LoeschenQ7", {}, {{"Mobil", "0000"}});
    put(store, 501, u"Mama", u"Familie", {{"Mobil", "01701111111"}});
    put(store, 503, u"Anna", {}, {{"Heim", "0302222"}, {"Mobil", "01703333333"}});
    return store;
}

QStringList namesOf(const QList<PhoneListEntry>& entries)
{
    QStringList names;
    for (const PhoneListEntry& entry : entries)
        names << entry.name;
    return names;
}

QString englishFile()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

// Runs one of poppler's tools on the PDF and gives what it printed.
QString popplerOutput(const QString& tool, const QByteArray& pdf, QStringList arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        qFatal("%s is missing: poppler-utils (scripts/ensure-deps.sh installs it)",
               qPrintable(tool));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    QProcess process;
    arguments.replaceInStrings(QStringLiteral("PDF"), path);
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QByteArray& pdf)
{
    return popplerOutput(QStringLiteral("pdftotext"), pdf,
                         {QStringLiteral("-layout"), QStringLiteral("PDF"), QStringLiteral("-")});
}

int pdfPages(const QByteArray& pdf)
{
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    return pages.match(popplerOutput(QStringLiteral("pdfinfo"), pdf, {QStringLiteral("PDF")}))
        .captured(1)
        .toInt();
}

PhoneList wholeList(const RecordStore& store, const LanguageFile& texts, bool byGroup = false)
{
    return makePhoneList(store, {phonebookTreeOrder(store), byGroup}, texts, numberTypeNames(texts),
                         QDate(2026, 12, 11));
}

} // namespace

class TestPhoneList : public QObject
{
    Q_OBJECT

private slots:
    void init() { useProgramLanguage(QStringLiteral("de")); }
    void cleanupTestCase() { useProgramLanguage(QStringLiteral("de")); }

    void choices_data();
    void choices();
    void pdfReadsBack_data();
    void pdfReadsBack();
    void emptyPhonebookSaysSo();
    void wholeHandsetPaginates();
    void longNameWrapsWithinItsColumn();
    void paperFollowsSystemLocale_data();
    void paperFollowsSystemLocale();
};

void TestPhoneList::choices_data()
{
    QTest::addColumn<QList<int>>("records"); // empty: the whole tree
    QTest::addColumn<bool>("byGroup");
    QTest::addColumn<QStringList>("firstNine");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QList<QStringList>>("sections");

    const QStringList tree{"Anna", "Ärzte Notdienst",       "bernd", "Jörg Müller",
                           "Mama", "Søren Ærø Ñandú ¿ß£¥§", "Zoe"};
    QTest::newRow("whole phonebook in the tree's order")
        << QList<int>{} << false << QStringList{"Mama", "Anna"} << QStringList{QString()}
        << QList<QStringList>{tree};
    QTest::newRow("selected entries, a First Nine one among them")
        << QList<int>{12, 503, 3} << false << QStringList{"Anna"} << QStringList{QString()}
        << QList<QStringList>{{"Ärzte Notdienst", "Anna", "Zoe"}};
    QTest::newRow("a selection without First Nine, a deleted record in it")
        << QList<int>{22, 7} << false << QStringList{} << QStringList{QString()}
        << QList<QStringList>{{"Jörg Müller"}};
    // Groups by name, "freunde" and "Freunde" one group under its first
    // spelling in the tree, the entries without one last.
    QTest::newRow("grouped") << QList<int>{} << true << QStringList{"Mama", "Anna"}
                             << QStringList{"Familie", "freunde", "Ohne Gruppe"}
                             << QList<QStringList>{{"Jörg Müller", "Mama", "Søren Ærø Ñandú ¿ß£¥§"},
                                                   {"bernd", "Zoe"},
                                                   {"Anna", "Ärzte Notdienst"}};
    QTest::newRow("nothing chosen")
        << QList<int>{22} << true << QStringList{} << QStringList{} << QList<QStringList>{};
}

void TestPhoneList::choices()
{
    QFETCH(QList<int>, records);
    QFETCH(bool, byGroup);
    QFETCH(QStringList, firstNine);
    QFETCH(QStringList, headings);
    QFETCH(QList<QStringList>, sections);

    const RecordStore store = smallPhonebook();
    const LanguageFile texts;
    if (records.isEmpty())
        records = phonebookTreeOrder(store);
    const PhoneList list = makePhoneList(store, {records, byGroup}, texts, numberTypeNames(texts),
                                         QDate(2026, 12, 11));
    QCOMPARE(namesOf(list.firstNine), firstNine);
    QStringList shownHeadings;
    QList<QStringList> shownSections;
    for (const PhoneListSection& section : list.sections) {
        shownHeadings << section.heading;
        shownSections << namesOf(section.entries);
    }
    QCOMPARE(shownHeadings, headings);
    QCOMPARE(shownSections, sections);
    QCOMPARE(list.date, QStringLiteral("Freitag, 11. Dezember 2026"));
}

void TestPhoneList::pdfReadsBack_data()
{
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("lines"); // patterns, in this order in the text

    const QString name = QStringLiteral("Søren Ærø Ñandú ¿ß£¥§");
    QTest::newRow("German") << QString() << "de"
                            << QStringList{
                                   "Telefonliste des Vexa TLM-Q7 +Freitag, 11. Dezember 2026",
                                   "First Nine",
                                   "Platz +Name +Nummer",
                                   "1 +Mama +01701111111",
                                   "3 +Anna +0302222",
                                   "01703333333",
                                   "Telefonbuch",
                                   "Name +Nummernart +Nummer +Gruppe",
                                   "Anna +Heim +0302222",
                                   "Mobil +01703333333",
                                   "Ärzte Notdienst +Büro +116117",
                                   "bernd +Fax +0309999 +freunde",
                                   "Jörg Müller +Mobil +01712345678 +Familie",
                                   "Heim +0301234",
                                   "Mama +Mobil +01701111111 +Familie",
                                   name + " +Telefon +\\+4530123456 +Familie",
                                   "Zoe +Mobil +01711111111 +Freunde",
                                   "Seite 1 von 1"};
    // Types read under German keep their name, with the English one beside.
    QTest::newRow("English") << englishFile() << "en"
                             << QStringList{
                                    "Phone list of the Vexa TLM-Q7 +Friday, December 11, 2026",
                                    "First Nine",
                                    "Position +Name +Number",
                                    "Phonebook",
                                    "Name +Number type +Number +Group",
                                    "Anna +Heim \\(Home\\) +0302222",
                                    "Ärzte Notdienst +Büro \\(Office\\) +116117",
                                    "Zoe +Mobil \\(Mobile\\) +01711111111 +Freunde",
                                    "Page 1 of 1"};
}

void TestPhoneList::pdfReadsBack()
{
    QFETCH(QString, languageFile);
    QFETCH(QString, code);
    QFETCH(QStringList, lines);

    useProgramLanguage(code);
    const LanguageFile texts(languageFile);
    const QByteArray pdf = phoneListPdf(wholeList(smallPhonebook(), texts), texts, QLocale::German);
    QVERIFY(pdf.startsWith("%PDF"));
    const QString text = pdfText(pdf);
    qsizetype at = 0;
    for (const QString& line : lines) {
        const QRegularExpression pattern(line);
        const QRegularExpressionMatch match = pattern.match(text, at);
        QVERIFY2(
            match.hasMatch(),
            qPrintable(QStringLiteral("%1 after %2 in\n%3").arg(line, QString::number(at), text)));
        at = match.capturedEnd();
    }
    QVERIFY(!text.contains(u"Q7LoeschenQ7"));
    QCOMPARE(pdfPages(pdf), 1);
}

void TestPhoneList::emptyPhonebookSaysSo()
{
    const LanguageFile texts;
    const QByteArray pdf = phoneListPdf(wholeList(RecordStore(), texts), texts, QLocale::German);
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QRegularExpression(
                 QStringLiteral("Telefonbuch\\s+Das Telefonbuch enthält keinen Eintrag.\\s+"
                                "Seite 1 von 1"))),
             qPrintable(text));
    QVERIFY(!text.contains(u"First Nine"));
}

// Every location of the handset taken: the 600 the tree shows are all
// there, on pages a reader can count on, each page numbered.
void TestPhoneList::wholeHandsetPaginates()
{
    RecordStore store;
    for (int r = 1; r <= kRecordCount; ++r)
        put(store, r, QStringLiteral("Eintrag %1").arg(r, 3, 10, QChar(u'0')), u"Gruppe",
            {{"Mobil", "0171000000"}, {"Heim", "030000000"}});
    const LanguageFile texts;
    const QByteArray pdf = phoneListPdf(wholeList(store, texts), texts, QLocale::German);
    const int pages = pdfPages(pdf);
    // Two lines of numbers an entry: some 20 entries a page.
    QVERIFY2(pages >= 20 && pages <= 40, qPrintable(QString::number(pages)));
    const QString text = pdfText(pdf);
    for (int r = 1; r <= kLastShownRecord; ++r)
        QVERIFY2(text.contains(QStringLiteral("Eintrag %1").arg(r, 3, 10, QChar(u'0'))),
                 qPrintable(QString::number(r)));
    QVERIFY(!text.contains(u"Eintrag 601"));
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QStringLiteral("Seite %1 von %2").arg(page).arg(pages)));
    // The column heads start each page again.
    QCOMPARE(text.count(QRegularExpression(QStringLiteral("Name +Nummernart +Nummer +Gruppe"))),
             pages);
}

// Thirty of the widest letters, beside a long type, a long number and a
// long group: the name takes two lines in its own column, every letter there.
void TestPhoneList::longNameWrapsWithinItsColumn()
{
    const QString name(30, u'W');
    RecordStore store;
    put(store, 1, name, u"Arbeitskolleginnen und Kollegen",
        {{"Funkrufempfänger", "+491234567890123456789012345678"}});
    const LanguageFile texts;
    const QByteArray pdf = phoneListPdf(wholeList(store, texts), texts, QLocale::German);
    const QString boxes =
        popplerOutput(QStringLiteral("pdftotext"), pdf,
                      {QStringLiteral("-bbox"), QStringLiteral("PDF"), QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"[\\d.]+\">([^<]*)</word>"));
    QString letters;
    QSet<QString> lineTops;
    double nameRight = 0;
    double typeLeft = 1e9;
    for (const QRegularExpressionMatch& match : word.globalMatch(boxes)) {
        const QString text = match.captured(4);
        if (text.contains(QRegularExpression(QStringLiteral("^W+$")))) {
            letters += text;
            lineTops << match.captured(2);
            nameRight = std::max(nameRight, match.captured(3).toDouble());
        } else if (text == u"Nummernart" || text.startsWith(u"Funkruf")) {
            typeLeft = std::min(typeLeft, match.captured(1).toDouble());
        }
    }
    QCOMPARE(letters, name);
    QVERIFY2(lineTops.size() >= 2, "the name is on one line: cut or overflowing");
    QVERIFY2(
        nameRight < typeLeft,
        qPrintable(
            QStringLiteral("name ends at %1, type starts at %2").arg(nameRight).arg(typeLeft)));
    QCOMPARE(pdfPages(pdf), 1);
}

void TestPhoneList::paperFollowsSystemLocale_data()
{
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("paper"); // as pdfinfo names it
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << "A4";
    QTest::newRow("United States") << QLocale(QLocale::English, QLocale::UnitedStates) << "letter";
    QTest::newRow("United Kingdom") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "A4";
    QTest::newRow("C") << QLocale::c() << "A4";
}

void TestPhoneList::paperFollowsSystemLocale()
{
    QFETCH(QLocale, system);
    QFETCH(QString, paper);
    const LanguageFile texts;
    const QByteArray pdf = phoneListPdf(wholeList(smallPhonebook(), texts), texts, system);
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), pdf, {QStringLiteral("PDF")});
    QVERIFY2(info.contains(QStringLiteral("(%1)").arg(paper)), qPrintable(info));
}

// Fonts come from the platform, so the pages want a GUI application; no
// window is shown.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestPhoneList test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_phonelist.moc"
