// SPDX-License-Identifier: GPL-3.0-or-later
// Contacts from other address books in the window: other programs' CSV files
// load as contacts, a file imported twice adds nothing the second time,
// duplicates already there merge one undo step at a time, and every number
// takes one form on request.

#include "app/files/ImportReport.h"
#include "app/frame/MainWindow.h"
#include "app/phonebook/ContactTools.h"
#include "base/PcText.h"
#include "phonebook/RecordStore.h"
#include "support/EntryText.h"
#include "support/PhonebookNodes.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>
#include <memory>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kTwoCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Eins\r\nTEL;TYPE=cell:0171 1\r\n"
                             "END:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zwei\r\nTEL;TYPE=home:030 2\r\n"
                             "END:VCARD\r\n";

} // namespace

class TestContactImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { m_f = std::make_unique<WindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void otherProgramsFilesLoadAsContacts_data();
    void otherProgramsFilesLoadAsContacts();
    void secondImportMerges_data();
    void secondImportMerges();
    void reportKeepsOneLinePerFindingAndIsSaved();
    void duplicatesMergedOneStepEach();
    void mergeThatEmptiesAFirstNinePositionAsks();
    void numbersTakeOneForm();

private:
    void startWindow(RecordStore store);
    // "Daten laden" with the file, into the handset memory; the report's
    // text goes to report.
    void load(const QString& path, QString* report = nullptr);
    RecordStore& store() { return m_f->window->recordStore(); }
    void undo();

    std::unique_ptr<WindowFixture> m_f;
};

void TestContactImport::startWindow(RecordStore store)
{
    m_f->startWithoutHandset();
    m_f->window->phonebookPage().takeStore(std::move(store));
    m_f->dialogs.clearCalls();
}

void TestContactImport::load(const QString& path, QString* report)
{
    m_f->dialogs.queueFileName(path);
    m_f->dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
    m_f->dialogs.queueDialog([report](QDialog& dialog) {
        if (report)
            *report = dialog.findChild<QPlainTextEdit*>(u"Memo_Bericht"_s)->toPlainText();
        return int(QDialog::Accepted);
    });
    m_f->window->Btn_DatenladenClick();
}

void TestContactImport::undo()
{
    QTreeWidget* tree = m_f->window->phonebookPage().trees().phonebookTree();
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
}

void TestContactImport::otherProgramsFilesLoadAsContacts_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("reportLine");

    QTest::newRow("Google")
        << QByteArray("\xEF\xBB\xBFName,Given Name,Family Name,Notes,Group Membership,"
                      "Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value\r\n"
                      "J\xC3\xB6rg M\xC3\xBCller,J\xC3\xB6rg,M\xC3\xBCller,\"Schl\xC3\xBCssel\r\n"
                      "beim Nachbarn\",* myContacts ::: Familie,Home,030 1234 ::: 030 5678,"
                      "* Mobile,+49 171 555-66-77\r\n")
        << QStringList{u"Jörg Müller|Familie|Mobil:+491715556677|Heim:0301234|Heim:0305678|"
                       "Schlüssel|beim Nachbarn"_s}
        << u"Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: 3"_s;
    QTest::newRow("Thunderbird")
        << QByteArray("First Name,Last Name,Display Name,Nickname,Primary Email,Work Phone,"
                      "Home Phone,Fax Number,Pager Number,Mobile Number\r\n"
                      "Max,Muster,Max Muster,Maxi,m@example.com,030-1,030-2,030-3,030-4,0171-5\r\n"
                      "Eva,Berg,Eva Berg,,,,,,,0172 6\r\n")
        << QStringList{u"Max Muster||Mobil:01715|Heim:0302|Büro:0301||"_s,
                       u"Eva Berg||Mobil:01726||||"_s}
        << u"    Nummer ausgelassen: Funkrufempfänger 0304"_s;
}

void TestContactImport::otherProgramsFilesLoadAsContacts()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, entries);
    QFETCH(QString, reportLine);
    startWindow(RecordStore());

    // Placed as cards are, beside the entries, with no question on edits.
    QString report;
    load(m_f->writeFile(u"export.csv"_s, file), &report);
    QCOMPARE(describeLiveEntries(store()), entries);
    QVERIFY2(report.split(u'\n').contains(reportLine), qPrintable(report));
    QCOMPARE(m_f->window->phonebookPage().history().stack()->count(), 1);
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(), u"&Rückgängig: Import"_s);
    // Nothing matched: no question on merging.
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1);
}

void TestContactImport::secondImportMerges_data()
{
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("entries"); // after the second import

    const QStringList once{u"Eins||Mobil:01711||||"_s, u"Zwei||Heim:0302||||"_s};
    QTest::newRow("the same file, merged")
        << kTwoCards << int(QMessageBox::Yes)
        << u"0 neue Einträge, 0 Einträge um Nummern ergänzt, 2 Kontakte schon vorhanden."_s << once;
    QTest::newRow("the same file, all as new entries")
        << kTwoCards << int(QMessageBox::No)
        << u"0 neue Einträge, 0 Einträge um Nummern ergänzt, 2 Kontakte schon vorhanden."_s
        << once + once;
    QTest::newRow("cancelled") << kTwoCards << int(QMessageBox::Cancel)
                               << u"0 neue Einträge, 0 Einträge um Nummern ergänzt, 2 Kontakte "
                                  "schon vorhanden."_s
                               << once;
    // Matched by "+49…" against "0…", then the new number fills a slot.
    QTest::newRow("a new number, matched in the international form")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zwei Neu\r\nTEL;TYPE=home:+49302\r\n"
                      "TEL;TYPE=work:0309\r\nEND:VCARD\r\n"
                      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Drei\r\nTEL:0303\r\nEND:VCARD\r\n")
        << int(QMessageBox::Yes)
        << u"1 neuer Eintrag, 1 Eintrag um Nummern ergänzt, 0 Kontakte schon vorhanden."_s
        << QStringList{u"Eins||Mobil:01711||||"_s, u"Zwei||Heim:0302|Büro:0309|||"_s,
                       u"Drei||Telefon:0303||||"_s};
}

void TestContactImport::secondImportMerges()
{
    QFETCH(QByteArray, second);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QStringList, entries);
    startWindow(RecordStore());
    load(m_f->writeFile(u"first.vcf"_s, kTwoCards));
    const auto afterFirst = std::make_unique<RecordStore>(store());
    const int steps = m_f->window->phonebookPage().history().stack()->count();

    m_f->dialogs.clearCalls();
    m_f->dialogs.queueFileName(m_f->writeFile(u"second.vcf"_s, second));
    m_f->dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
    m_f->dialogs.queueAnswer(QMessageBox::StandardButton(answer));
    m_f->window->Btn_DatenladenClick();
    const auto messages = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[1].text, question);
    QCOMPARE(messages[1].captions.size(), 2);
    QCOMPARE(messages[1].captions[0].second, u"&Zusammenführen"_s);
    QCOMPARE(messages[1].captions[1].second, u"&Alle als neue Einträge"_s);
    QCOMPARE(describeLiveEntries(store()), entries);

    // The whole import is one step; one that changed nothing is none.
    if (store() == *afterFirst) {
        QCOMPARE(m_f->window->phonebookPage().history().stack()->count(), steps);
        return;
    }
    QCOMPARE(m_f->window->phonebookPage().history().stack()->count(), steps + 1);
    undo();
    QVERIFY(store() == *afterFirst);
}

void TestContactImport::reportKeepsOneLinePerFindingAndIsSaved()
{
    QCOMPARE(importReportText({u"Notiz: eins\r\nzwei\nd\u2028rei"_s, u"\tweiter"_s}),
             u"Notiz: eins \u21B5 zwei \u21B5 d rei\n weiter"_s);

    startWindow(RecordStore());
    const QString saved = m_f->filePath(u"bericht.txt"_s);
    m_f->dialogs.queueDialog([&](QDialog& dialog) {
        auto* text = dialog.findChild<QPlainTextEdit*>(u"Memo_Bericht"_s);
        [&] { QVERIFY(text->textInteractionFlags() & Qt::TextSelectableByKeyboard); }();
        m_f->dialogs.queueFileName(saved);
        dialog.findChild<QPushButton*>(u"Btn_Speichern"_s)->click();
        return int(QDialog::Accepted);
    });
    showImportReport(m_f->window.get(), u"Bericht"_s, {u"Angelegte Einträge: 1"_s, u"a\nb"_s},
                     m_f->dir.path(), m_f->window->languageFile());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), u"Angelegte Einträge: 1\na \u21B5 b\n"_s);
}

void TestContactImport::duplicatesMergedOneStepEach()
{
    RecordStore read;
    putRecord(read, 3, u"Zoe", {{Nummernart1, "Mobil"}, {Nummer1, "0301"}});
    putRecord(read, 12, u"Jörg", {{Nummernart1, "Telefon"}, {Nummer1, "0302"}});
    putRecord(read, 20, u"ZOË",
              {{Nummernart1, "Heim"},
               {Nummer1, "0309"},
               {Nummernart2, "Heim"},
               {Nummer2, "0308"},
               {Nummernart3, "Heim"},
               {Nummer3, "0307"}});
    putRecord(read, 30, u"Max", {{Nummernart1, encodePc(u"Büro")}, {Nummer1, "+49302"}});
    putRecord(read, 40, u"Anna", {{Nummernart1, "Heim"}, {Nummer1, "0404"}});
    startWindow(std::move(read));
    const auto before = std::make_unique<RecordStore>(store());

    QList<int> groupsSeen;
    m_f->dialogs.queueDialog([&](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(u"TV_Doppelte"_s);
        groupsSeen << list->topLevelItemCount();
        // The first group is selected: Zoe and ZOË, by the folded name.
        dialog.findChild<QPushButton*>(u"Btn_Zusammenfuehren"_s)->click();
        groupsSeen << list->topLevelItemCount();
        return int(QDialog::Rejected);
    });
    m_f->window->findChild<QPushButton*>(u"Btn_Doppelte"_s)->click();
    QCOMPARE(groupsSeen, (QList<int>{2, 1}));
    // Four numbers for three slots: the one left out is named.
    QCOMPARE(describeEntry(store(), 3), u"Zoe||Mobil:0301|Heim:0309|Heim:0308||"_s);
    const auto leftOut = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(leftOut.size(), 1);
    QCOMPARE(leftOut.front().text, u"Nicht übernommene Nummern: Heim 0307"_s);
    QVERIFY(store().isMarkedForDeletion(20));
    QCOMPARE(m_f->window->phonebookPage().history().stack()->count(), 1);
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             u"&Rückgängig: Zusammenführen"_s);
    undo();
    QVERIFY(store() == *before);

    // With nothing alike, a message says so and nothing opens.
    RecordStore single;
    putRecord(single, 40, u"Anna", {{Nummernart1, "Heim"}, {Nummer1, "0404"}});
    m_f->window->phonebookPage().takeStore(std::move(single));
    m_f->dialogs.clearCalls();
    m_f->window->findChild<QPushButton*>(u"Btn_Doppelte"_s)->click();
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Dialog).size(), 0);
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1);
    QCOMPARE(m_f->dialogs.calls().front().text, u"Keine doppelten Einträge gefunden."_s);
}

void TestContactImport::mergeThatEmptiesAFirstNinePositionAsks()
{
    RecordStore read;
    putRecord(read, 17, u"Oma", {{Nummernart1, "Heim"}, {Nummer1, "0301"}});
    putRecord(read, 503, u"Oma", {{Nummernart1, "Mobil"}, {Nummer1, "0171"}});
    putRecord(read, 505, u"Oma", {{Nummernart1, "Heim"}, {Nummer1, "0301"}});
    startWindow(std::move(read));

    QString shownAsKept;
    bool liveAfterNo = false;
    m_f->dialogs.queueAnswer(QMessageBox::No);
    m_f->dialogs.queueAnswer(QMessageBox::Yes);
    m_f->dialogs.queueDialog([&](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(u"TV_Doppelte"_s);
        shownAsKept = list->topLevelItem(0)->child(1)->font(0).bold()
                          ? list->topLevelItem(0)->child(1)->text(0)
                          : QString();
        auto* merge = dialog.findChild<QPushButton*>(u"Btn_Zusammenfuehren"_s);
        merge->click(); // No: nothing changes
        liveAfterNo = store().isLive(505);
        merge->click(); // Yes
        return int(QDialog::Rejected);
    });
    m_f->window->findChild<QPushButton*>(u"Btn_Doppelte"_s)->click();
    QCOMPARE(shownAsKept, u"503"_s);
    QVERIFY(liveAfterNo);
    const auto questions = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(questions[0].text, u"Das Zusammenführen leert in First Nine: Position 5 (Oma). "
                                "Trotzdem zusammenführen?"_s);
    // First Nine 3 keeps its person, with the numbers of all.
    QCOMPARE(describeEntry(store(), 503), u"Oma||Mobil:0171|Heim:0301|||"_s);
    QVERIFY(store().isMarkedForDeletion(17));
    QVERIFY(store().isMarkedForDeletion(505));
}

void TestContactImport::numbersTakeOneForm()
{
    RecordStore read;
    putRecord(read, 3, u"Zoe", {{Nummernart1, "Mobil"}, {Nummer1, "+49301"}});
    putRecord(read, 12, u"Jörg", {{Nummernart1, "Telefon"}, {Nummer1, "0302"}});
    startWindow(std::move(read));
    const auto before = std::make_unique<RecordStore>(store());

    QStringList shown;
    m_f->dialogs.queueDialog([&](QDialog& dialog) {
        auto* changes = dialog.findChild<QPlainTextEdit*>(u"Memo_Aenderungen"_s);
        shown << changes->toPlainText();
        dialog.findChild<QRadioButton*>(u"RB_National"_s)->setChecked(true);
        shown << changes->toPlainText();
        return int(QDialog::Accepted);
    });
    m_f->window->findChild<QPushButton*>(u"Btn_Vereinheitlichen"_s)->click();
    // The list of changes comes first and follows the chosen form.
    QCOMPARE(shown, (QStringList{u" 12  Jörg:  0302 → +49302"_s, u"  3  Zoe:  +49301 → 0301"_s}));
    QCOMPARE(describeEntry(store(), 3), u"Zoe||Mobil:0301||||"_s);
    QCOMPARE(describeEntry(store(), 12), u"Jörg||Telefon:0302||||"_s);
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             u"&Rückgängig: Nummern vereinheitlichen"_s);

    // Asked again for the same form, it has nothing left to change.
    QString count;
    m_f->dialogs.queueDialog([&](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(u"RB_National"_s)->setChecked(true);
        count = dialog.findChild<QLabel*>(u"Lbl_Anzahl"_s)->text();
        return int(QDialog::Accepted);
    });
    m_f->window->findChild<QPushButton*>(u"Btn_Vereinheitlichen"_s)->click();
    QCOMPARE(count, u"Alle Nummern haben schon diese Form."_s);
    QCOMPARE(describeEntry(store(), 3), u"Zoe||Mobil:0301||||"_s);

    undo();
    QVERIFY(store() == *before);
}

QTEST_MAIN(TestContactImport)
#include "tst_contactimport.moc"
