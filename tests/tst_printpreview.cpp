// SPDX-License-Identifier: GPL-3.0-or-later
// "Drucken…" on the phonebook page: the print preview of the phone list as
// the window holds it, with its choices of the whole phonebook or the
// selection and of the groups.

#include "app/phonebook/PhoneListPreview.h"
#include "app/phonebook/PhonebookPage.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "print/PhoneListPages.h"
#include "support/PhonebookNodes.h"
#include "support/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>

using namespace q7;

namespace {

QString englishFile()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

QStringList namesOf(const QList<PhoneListEntry>& entries)
{
    QStringList names;
    for (const PhoneListEntry& entry : entries)
        names << entry.name;
    return names;
}

QStringList sectionHeadings(const PhoneList& list)
{
    QStringList headings;
    for (const PhoneListSection& section : list.sections)
        headings << section.heading;
    return headings;
}

QStringList comboTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// What a script saw of the preview it was given.
struct Seen
{
    QString title;
    QStringList ranges;
    bool rangeEnabled = false;
    QString groupCaption;
    bool onToolBar = false;
    int pages = 0;
    int laidOutPages = 0;
};

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

private slots:
    void buttonAndShortcutOpenThePreview_data();
    void buttonAndShortcutOpenThePreview();
    void choicesChangeTheList();
    void withoutSelectionTheWholePhonebookOnly();

private:
    void fillPhonebook(TFrm_Q7_Manager& window);
    // Opens the preview the way `open` does and gives the script the dialog.
    template <class Open, class Script>
    void openPreview(WindowFixture& f, Open open, Script script);
};

void TestPrintPreview::fillPhonebook(TFrm_Q7_Manager& window)
{
    RecordStore& store = window.recordStore();
    putRecord(store, 3, u"Zoe", {{Gruppe, "Freunde"}, {Nummernart1, "Mobil"}, {Nummer1, "0171"}});
    putRecord(store, 7, u"Jörg Müller",
              {{Gruppe, "Familie"}, {Nummernart1, "Heim"}, {Nummer1, "0301234"}});
    putRecord(store, 12, u"Ärzte", {{Nummernart1, "Fax"}, {Nummer1, "116117"}});
    putRecord(store, 501, u"Mama",
              {{Gruppe, "Familie"}, {Nummernart1, "Mobil"}, {Nummer1, "0170"}});
    window.phonebookPage().rebuildTrees();
}

template <class Open, class Script>
void TestPrintPreview::openPreview(WindowFixture& f, Open open, Script script)
{
    bool ran = false;
    f.dialogs.queueDialog([&](QDialog& dialog) {
        ran = true;
        auto* preview = dynamic_cast<PhoneListPreview*>(&dialog);
        if (!preview)
            qFatal("not the phone list's preview: %s", dialog.metaObject()->className());
        script(*preview);
        return int(QDialog::Rejected);
    });
    open();
    QVERIFY(ran);
}

void TestPrintPreview::buttonAndShortcutOpenThePreview_data()
{
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<bool>("shortcut");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<QString>("groups");

    QTest::newRow("German, the button")
        << QString() << false << "Drucken…"
        << "Telefonliste drucken" << QStringList{"Ganzes Telefonbuch", "Ausgewählte Einträge (2)"}
        << "Nach Gruppe";
    QTest::newRow("English, Ctrl+P")
        << englishFile() << true << "Print…"
        << "Print phone list" << QStringList{"Whole phonebook", "Selected entries (2)"}
        << "By group";
}

void TestPrintPreview::buttonAndShortcutOpenThePreview()
{
    QFETCH(QString, languageFile);
    QFETCH(bool, shortcut);
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(QStringList, ranges);
    QFETCH(QString, groups);

    WindowFixture f;
    f.startWithoutHandset(languageFile);
    fillPhonebook(*f.window);
    PhonebookPage& page = f.window->phonebookPage();
    QCOMPARE(page.printButton()->text(), button);
    // A number of Zoe and the entry Mama: two entries selected.
    QTreeWidget* tree = page.phonebookTree();
    page.trees().phonebookNode(3)->child(1)->setSelected(true);
    page.trees().phonebookNode(501)->setSelected(true);

    Seen seen;
    openPreview(
        f,
        [&] {
            if (shortcut) {
                tree->setFocus();
                QTest::keyClick(tree, Qt::Key_P, Qt::ControlModifier);
            } else {
                page.printButton()->click();
            }
        },
        [&](PhoneListPreview& preview) {
            seen.title = preview.windowTitle();
            seen.ranges = comboTexts(preview.rangeChoice());
            seen.rangeEnabled = preview.rangeChoice()->isEnabled();
            seen.groupCaption = preview.groupChoice()->text();
            const QToolBar* tools = preview.findChild<QToolBar*>();
            seen.onToolBar = tools && tools->isAncestorOf(preview.rangeChoice());
            preview.previewWidget()->updatePreview();
            seen.pages = preview.previewWidget()->pageCount();
            seen.laidOutPages =
                PhoneListPages(preview.phoneList(), f.window->languageFile(), *preview.printer())
                    .pageCount();
        });
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.ranges, ranges);
    QVERIFY(seen.rangeEnabled);
    QCOMPARE(seen.groupCaption, groups);
    QVERIFY(seen.onToolBar);
    QCOMPARE(seen.pages, 1);
    QCOMPARE(seen.laidOutPages, seen.pages);
}

// The list follows the tree and the choices: all entries in the tree's
// order, or only the selected ones, under their groups when asked.
void TestPrintPreview::choicesChangeTheList()
{
    WindowFixture f;
    f.startWithoutHandset();
    fillPhonebook(*f.window);
    PhonebookPage& page = f.window->phonebookPage();
    page.trees().phonebookNode(7)->setSelected(true);
    page.trees().phonebookNode(501)->child(0)->setSelected(true);
    const QString pdf = f.filePath(QStringLiteral("printed.pdf"));

    openPreview(
        f, [&] { page.printButton()->click(); },
        [&](PhoneListPreview& preview) {
            PhoneList list = preview.phoneList();
            QCOMPARE(namesOf(list.firstNine), QStringList{"Mama"});
            QCOMPARE(namesOf(list.sections.front().entries),
                     (QStringList{"Ärzte", "Jörg Müller", "Mama", "Zoe"}));

            preview.rangeChoice()->setCurrentIndex(1);
            list = preview.phoneList();
            QCOMPARE(namesOf(list.sections.front().entries), (QStringList{"Jörg Müller", "Mama"}));

            preview.groupChoice()->setChecked(true);
            list = preview.phoneList();
            QCOMPARE(sectionHeadings(list), QStringList{"Familie"});
            preview.rangeChoice()->setCurrentIndex(0);
            list = preview.phoneList();
            QCOMPARE(sectionHeadings(list), (QStringList{"Familie", "Freunde", "Ohne Gruppe"}));
            preview.previewWidget()->updatePreview();
            QCOMPARE(preview.previewWidget()->pageCount(), 1);

            // What the print button sends: here to Qt's PDF printer, as the
            // print dialog's "print to file" does.
            preview.printer()->setOutputFormat(QPrinter::PdfFormat);
            preview.printer()->setOutputFileName(pdf);
            preview.previewWidget()->print();
        });
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(pdftotext.waitForFinished());
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(
        text.contains(QRegularExpression(
            QStringLiteral("First Nine.*1 +Mama +0170.*Familie.*Jörg Müller +Heim +0301234.*Mama.*"
                           "Freunde.*Zoe.*Ohne Gruppe.*Ärzte +Fax +116117"),
            QRegularExpression::DotMatchesEverythingOption)),
        qPrintable(text));
}

void TestPrintPreview::withoutSelectionTheWholePhonebookOnly()
{
    WindowFixture f;
    f.startWithoutHandset();
    fillPhonebook(*f.window);
    f.window->phonebookPage().phonebookTree()->clearSelection();
    openPreview(
        f, [&] { f.window->phonebookPage().printButton()->click(); },
        [&](PhoneListPreview& preview) {
            QVERIFY(!preview.rangeChoice()->isEnabled());
            QCOMPARE(preview.rangeChoice()->currentIndex(), 0);
            QCOMPARE(preview.phoneList().sections.front().entries.size(), 4);
        });
}

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
