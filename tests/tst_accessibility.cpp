// SPDX-License-Identifier: GPL-3.0-or-later
// The window and its dialogs as a screen reader meets them: every control
// the keyboard can reach has a name from the text table, in German and with
// the English file; the trees' nodes say what their images and bold names
// show; Tab walks each page and dialog in the order of its layout; the
// status panels and the progress bar say what they show; and the controls a
// mouse clicks are pressed by keys too. What is read here is what
// Qt hands the accessibility bus (QAccessibleInterface).

#include "SimHandset.h"
#include "app/common/StatusPanel.h"
#include "app/frame/AboutBox.h"
#include "app/frame/MainWindow.h"
#include "app/frame/Warnung.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/Texts.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace q7;

namespace {

#define Q7_LIST_TEXT(id, section, key, fallback) TextId::id,
constexpr TextId kAllTexts[] = {Q7_TEXTS(Q7_LIST_TEXT)};
#undef Q7_LIST_TEXT

QString englishFile()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

QString withoutAccelerator(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// The German texts that the English file says otherwise: none of them may be
// heard from an English program.
QSet<QString> germanOnlyTexts()
{
    const LanguageFile english(englishFile());
    QSet<QString> german;
    for (TextId id : kAllTexts) {
        const QString de = withoutAccelerator(defaultText(id));
        if (!de.contains(u'%') && de != withoutAccelerator(english.text(id)))
            german << de;
    }
    return german;
}

QString nameOf(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// What a screen reader says a control is: its name, or for a drop-down list
// (whose name on Linux is its current text) and a control without a name
// the label it is labelled by.
QString spokenName(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        return {};
    const QString name = iface->text(QAccessible::Name);
    if (!name.isEmpty() && iface->role() != QAccessible::ComboBox)
        return name;
    for (const auto& [label, relation] : iface->relations(QAccessible::Label))
        if (const QString text = label->text(QAccessible::Name); !text.isEmpty())
            return text;
    return name;
}

// The controls of root's window that take the focus, hidden ones included
// (they show at times), each with what a screen reader would say is wrong
// with its name.
QStringList badNames(QWidget* root, bool english)
{
    static const QSet<QString> german = germanOnlyTexts();
    QStringList problems;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : std::as_const(widgets)) {
        // A popup list or menu is a window of its own; a proxy hands its
        // focus to the control that carries the name.
        if (widget->focusPolicy() == Qt::NoFocus || widget->window() != root->window() ||
            widget->focusProxy())
            continue;
        const QString name = spokenName(widget);
        const QString control = QStringLiteral("%1 %2").arg(
            QLatin1String(widget->metaObject()->className()), widget->objectName());
        if (name.trimmed().isEmpty())
            problems << control + QStringLiteral(": no name");
        else if (name.contains(QRegularExpression(QStringLiteral("&(?!&)"))))
            problems << control + QStringLiteral(": accelerator mark in \"%1\"").arg(name);
        // A memo that holds the German disclaimer, hidden under a language
        // file, is German itself.
        else if (english && !widget->isHidden() && german.contains(name))
            problems << control + QStringLiteral(": German \"%1\"").arg(name);
    }
    return problems;
}

// The names Tab visits from the focused control until it comes back to it.
QStringList tabWalk(QWidget* start)
{
    // The focus within the window, whichever window the test platform
    // holds active.
    QWidget* window = start->window();
    start->setFocus(Qt::TabFocusReason);
    QStringList names;
    QWidget* current = window->focusWidget();
    for (int step = 0; current && step < 40; ++step) {
        names << spokenName(current);
        QTest::keyClick(current, Qt::Key_Tab);
        current = window->focusWidget();
        if (current == start)
            break;
    }
    return names;
}

enum class Surface
{
    Window,
    NewEntry,
    Disclaimer,
    About,
    Snapshots,
    WritePlan,
    Duplicates,
    NumberForm,
    ImportReport,
};

// Two entries that share a number: the duplicates have a group, the one
// number form has numbers to change, a write has a plan.
void fillStore(RecordStore& store)
{
    for (const auto& [record, name] : {std::pair{3, "Anna"}, std::pair{12, "Zoe"}}) {
        store.setField(record, Speicherplatz, QByteArray::number(record));
        store.setField(record, Name, name);
        store.setField(record, Nummernart1, "Mobil");
        store.setField(record, Nummer1, "+491701234567");
        store.setField(record, ChangedFlag, "JA");
    }
}

// Opens one surface of the window and hands it to check while it is open.
void openSurface(WindowFixture& f, Surface surface, const std::function<void(QWidget&)>& check)
{
    TFrm_Q7_Manager& window = *f.window;
    const auto whenOpen = [&](int result) {
        f.dialogs.queueDialog([&check, result](QDialog& dialog) {
            dialog.show();
            check(dialog);
            return result;
        });
    };
    const auto click = [&](const char* name) {
        window.findChild<QPushButton*>(QLatin1String(name))->click();
    };
    switch (surface) {
    case Surface::Window:
        check(window);
        break;
    case Surface::NewEntry:
        whenOpen(QDialog::Rejected);
        window.Btn_NeuerEintragClick();
        break;
    case Surface::Disclaimer: {
        TFrm_Warnung warnung(&window);
        warnung.applyTexts(window.languageFile());
        warnung.show();
        check(warnung);
        break;
    }
    case Surface::About: {
        AboutBox about(window.languageFile(), &window);
        about.show();
        check(about);
        break;
    }
    case Surface::Snapshots:
        whenOpen(QDialog::Rejected);
        click("Btn_Sicherungen");
        break;
    case Surface::WritePlan:
        whenOpen(QDialog::Rejected);
        window.Btn_DatenschreibenClick();
        break;
    case Surface::Duplicates:
        whenOpen(QDialog::Rejected);
        click("Btn_Doppelte");
        break;
    case Surface::NumberForm:
        whenOpen(QDialog::Rejected);
        click("Btn_Vereinheitlichen");
        break;
    case Surface::ImportReport:
        f.dialogs.queueFileName(f.writeFile(
            QStringLiteral("k.vcf"),
            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Neu\r\nTEL:0306\r\nEMAIL:n@b\r\nEND:VCARD\r\n"));
        f.dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
        whenOpen(QDialog::Accepted);
        window.Btn_DatenladenClick();
        break;
    }
}

void addSurfaceRows(const char* language)
{
    const std::pair<const char*, Surface> surfaces[] = {
        {"window", Surface::Window},
        {"new entry", Surface::NewEntry},
        {"disclaimer", Surface::Disclaimer},
        {"about", Surface::About},
        {"snapshots", Surface::Snapshots},
        {"write plan", Surface::WritePlan},
        {"duplicates", Surface::Duplicates},
        {"number form", Surface::NumberForm},
        {"import report", Surface::ImportReport},
    };
    for (const auto& [name, surface] : surfaces)
        QTest::addRow("%s, %s", name, language)
            << int(surface) << (QLatin1String(language) == QLatin1String("English"));
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void everyControlHasAName_data();
    void everyControlHasAName();
    void nodesSayWhatTheirImagesShow_data();
    void nodesSayWhatTheirImagesShow();
    void tabFollowsTheLayout_data();
    void tabFollowsTheLayout();
    void statusPanelsSpeakTheirTexts();
    void keysPressWhatTheMouseClicks_data();
    void keysPressWhatTheMouseClicks();

private:
    // The window is started once for each language the rows ask for.
    WindowFixture& windowIn(bool english);

    std::unique_ptr<WindowFixture> m_fixture;
    bool m_english = false;
};

WindowFixture& TestAccessibility::windowIn(bool english)
{
    if (!m_fixture || m_english != english) {
        m_fixture.reset();
        m_fixture = std::make_unique<WindowFixture>();
        m_fixture->sim.setEntry(3, simEntry(3, "Anna", "+491701234567"));
        m_fixture->sim.setEntry(12, simEntry(12, "Zoe", "+491701234567"));
        m_fixture->start(m_fixture->sim.start(), english ? englishFile() : QString());
        m_english = english;
    }
    fillStore(m_fixture->window->recordStore());
    m_fixture->window->phonebookPage().rebuildTrees();
    return *m_fixture;
}

void TestAccessibility::everyControlHasAName_data()
{
    QTest::addColumn<int>("surface");
    QTest::addColumn<bool>("english");
    addSurfaceRows("German");
    addSurfaceRows("English");
}

void TestAccessibility::everyControlHasAName()
{
    QFETCH(int, surface);
    QFETCH(bool, english);
    WindowFixture& f = windowIn(english);
    QStringList problems;
    bool opened = false;
    openSurface(f, Surface(surface), [&](QWidget& root) {
        opened = true;
        problems = badNames(&root, english);
    });
    QVERIFY(opened);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestAccessibility::nodesSayWhatTheirImagesShow_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("firstNineTree");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("heard");       // a row of the tree, as the bus has it
    QTest::addColumn<QString>("description"); // the entry's, when it is not empty

    QTest::newRow("handset memory")
        << false << false << 33 << "Dr. Sörensen, Handyspeicher, Speicherplatz 33"
        << "Gruppe: Arbeit; Nummer 1, Büro: +4930555100; Nummer 2: 0301; Zusatzzeile 1: Durchwahl";
    QTest::newRow("handset memory in English")
        << true << false << 33 << "Dr. Sörensen, handset memory, location 33"
        << "Group: Arbeit; Number 1, Büro (Office): +4930555100; Number 2: 0301; "
           "Additional line 1: Durchwahl";
    QTest::newRow("a detail: the location") << false << false << 33 << "Speicherplatz: 33"
                                            << "";
    QTest::newRow("a detail: the group") << false << false << 33 << "Gruppe: Arbeit"
                                         << "";
    QTest::newRow("a detail: a number and its type")
        << false << false << 33 << "Nummer 1, Büro: +4930555100"
        << "";
    QTest::newRow("a detail: a number without type") << false << false << 33 << "Nummer 2: 0301"
                                                     << "";
    QTest::newRow("a detail: an additional line")
        << false << false << 33 << "Zusatzzeile 1: Durchwahl"
        << "";
    QTest::newRow("SIM card") << false << false << 510 << "Frieda, SIM-Karte, Position 10"
                              << "Nummer 1, Heim: 0304445556";
    QTest::newRow("First Nine in the phonebook")
        << false << false << 503 << "Mailbox, First Nine, Position 3, geändert"
        << "Nummer 1, Telefon: 3311";
    QTest::newRow("First Nine tree")
        << false << true << 503 << "Mailbox, First Nine, Position 3, geändert"
        << "Nummer 1, Telefon: 3311";
    QTest::newRow("the root") << false << false << 0 << "Telefonbuch"
                              << "";
}

void TestAccessibility::nodesSayWhatTheirImagesShow()
{
    QFETCH(bool, english);
    QFETCH(bool, firstNineTree);
    QFETCH(int, record);
    QFETCH(QString, heard);
    QFETCH(QString, description);

    WindowFixture& f = windowIn(english);
    RecordStore& store = f.window->recordStore();
    const auto put = [&](int r, const char* name, const QList<QByteArray>& values) {
        store.setField(r, Speicherplatz, QByteArray::number(r));
        store.setField(r, Name, encodePc(QString::fromUtf8(name)));
        const int fields[] = {Gruppe, Nummernart1, Nummer1, Nummer2, Zusatz1};
        for (qsizetype i = 0; i < values.size(); ++i)
            store.setField(r, fields[i], values[i]);
        store.setField(r, ChangedFlag, "NEIN");
    };
    put(33, "Dr. Sörensen",
        {"Arbeit", encodePc(QStringLiteral("Büro")), "+4930555100", "0301", "Durchwahl"});
    put(510, "Frieda", {{}, "Heim", "0304445556"});
    put(503, "Mailbox", {{}, "Telefon", "3311"});
    store.setField(503, ChangedFlag, "JA"); // never read: it shows as changed
    f.window->phonebookPage().rebuildTrees();

    PhonebookTrees& trees = f.window->phonebookPage().trees();
    QTreeWidget* tree = firstNineTree ? trees.firstNineTree() : trees.phonebookTree();
    QTreeWidgetItem* node = record == 0
                                ? trees.phonebookRoot()
                                : (firstNineTree ? trees.firstNineNode(record - kLastMemoryRecord)
                                                 : trees.phonebookNode(record));
    QVERIFY(node);
    node->setExpanded(true);
    QCoreApplication::processEvents(); // the view lays its rows out

    // The rows the bus sees: the tree's visible rows with their names and
    // descriptions.
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(tree);
    QVERIFY(view);
    QHash<QString, QString> rows;
    for (int i = 0; i < view->childCount(); ++i)
        rows.insert(view->child(i)->text(QAccessible::Name),
                    view->child(i)->text(QAccessible::Description));
    QVERIFY2(rows.contains(heard), qPrintable(rows.keys().join(u'\n')));
    if (!description.isEmpty())
        QCOMPARE(rows.value(heard), description);
}

void TestAccessibility::tabFollowsTheLayout_data()
{
    QTest::addColumn<int>("surface");
    QTest::addColumn<QString>("page"); // the window's page, or empty
    QTest::addColumn<QStringList>("order");
    // A button box orders its buttons, and Tab with them, as the platform
    // lays them out; a button that is off (nothing to load, nothing to
    // change) is not visited.

    const QString aboutLine = defaultText(TextId::Hauptfenster_Label1);
    QTest::newRow("phonebook page") << int(Surface::Window) << "TabSheet_Telefonbuch"
                                    << QStringList{"First Nine",
                                                   "Daten einlesen",
                                                   "Daten schreiben",
                                                   "Löschen",
                                                   "Daten laden",
                                                   "Daten speichern",
                                                   "Abgleichen…",
                                                   aboutLine,
                                                   "Sicherungen",
                                                   "Beenden",
                                                   "Doppelte Einträge…",
                                                   "Nummern vereinheitlichen…",
                                                   "Telefonbuch",
                                                   "Telefonbuch durchsuchen",
                                                   "Neuer Eintrag",
                                                   "Drucken…",
                                                   "Telefonbuch bearbeiten"};
    QTest::newRow("options page") << int(Surface::Window) << "TabSheet_Optionen"
                                  << QStringList{"Port",
                                                 "Baud",
                                                 "Fluss Kontrolle",
                                                 "Test",
                                                 "Nur Geänderte Datensätze schreiben",
                                                 "Löschbefehle mitspeichern",
                                                 "Nach dem Schreiben prüfen",
                                                 "Hintergrundfarbe auswählen",
                                                 "Schriftfarbe auswählen",
                                                 "Hottrack Schriftfarbe auswählen",
                                                 "Optionen"};
    QTest::newRow("new entry") << int(Surface::NewEntry) << ""
                               << QStringList{"Name",
                                              "Gruppe",
                                              "Nummernart von Nummer 1: Telefon",
                                              "Nummer 1",
                                              "Nummernart von Nummer 2: Telefon",
                                              "Nummer 2",
                                              "Nummernart von Nummer 3: Telefon",
                                              "Nummer 3",
                                              "Auf die Sim-Karte",
                                              "In den Handyspeicher",
                                              "Erstellen",
                                              "Abbruch"};
    QTest::newRow("about") << int(Surface::About) << ""
                           << QStringList{"Einstellungen öffnen", "Sicherungen öffnen",
                                          "Schließen"};
    QTest::newRow("snapshots") << int(Surface::Snapshots) << ""
                               << QStringList{"Sicherungen", "Unterschiede zum Fenster",
                                              "Abbrechen"};
    QTest::newRow("write plan") << int(Surface::WritePlan) << ""
                                << QStringList{"Was das Schreiben im Handy ändert",
                                               "Ohne Lesen schreiben", "Zuerst lesen (empfohlen)",
                                               "Abbrechen"};
    QTest::newRow("duplicates") << int(Surface::Duplicates) << ""
                                << QStringList{"Doppelte Einträge", "Zusammenführen", "Schließen"};
    QTest::newRow("number form") << int(Surface::NumberForm) << ""
                                 << QStringList{"International (+49…)", "National (0…)",
                                                "Zu ändernde Nummern: 2", "OK", "Abbrechen"};
    QTest::newRow("import report")
        << int(Surface::ImportReport) << "" << QStringList{"Import-Bericht", "OK", "Speichern…"};
    QTest::newRow("disclaimer") << int(Surface::Disclaimer) << ""
                                << QStringList{"Wichtiger Hinweis !!!", "Akzeptiert", "Abgelehnt"};
}

void TestAccessibility::tabFollowsTheLayout()
{
    QFETCH(int, surface);
    QFETCH(QString, page);
    QFETCH(QStringList, order);

    WindowFixture& f = windowIn(false);
    auto* pages = f.window->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    if (!page.isEmpty())
        pages->setCurrentWidget(pages->findChild<QWidget*>(page));
    QStringList walked;
    openSurface(f, Surface(surface), [&](QWidget& root) {
        // The walk starts at the first control of the table.
        QWidget* start = nullptr;
        for (QWidget* widget : root.findChildren<QWidget*>())
            if (widget->isVisible() && widget->focusPolicy() & Qt::TabFocus &&
                spokenName(widget) == order.first() && !widget->focusProxy())
                start = widget;
        QVERIFY2(start, qPrintable(order.first()));
        root.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&root));
        if (auto* name = root.findChild<QLineEdit*>(QStringLiteral("Edt_Name")))
            name->setText(QStringLiteral("x")); // "Erstellen" waits for a name
        walked = tabWalk(start);
    });
    pages->setCurrentIndex(0);
    QCOMPARE(walked.join(u'|'), order.join(u'|'));
}

void TestAccessibility::statusPanelsSpeakTheirTexts()
{
    // The events that carry each new text and value to the bus are sent
    // only where a platform has one; the bus test hears them.
    WindowFixture& f = windowIn(false);
    f.window->phonebookPage().takeStore(RecordStore()); // nothing a read would replace
    const QString purposes[3] = {defaultText(TextId::Vorlesen_Status),
                                 defaultText(TextId::Vorlesen_Zwischenablage),
                                 defaultText(TextId::Vorlesen_Bestand)};
    for (int i = 0; i < 3; ++i) {
        StatusPanel* panel = f.window->statusPanel(i);
        QCOMPARE(nameOf(panel), panel->text().isEmpty() ? purposes[i] : panel->text());
    }
    f.read();
    QCOMPARE(nameOf(f.window->statusPanel(0)), defaultText(TextId::Statusleiste_Ruhezustand));
    QCOMPARE(nameOf(f.window->statusPanel(2)), f.window->statusPanel(2)->text());
    auto* bar = f.window->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    QAccessibleInterface* progress = QAccessible::queryAccessibleInterface(bar);
    QCOMPARE(progress->text(QAccessible::Name), defaultText(TextId::Vorlesen_Fortschritt));
    f.window->setProgress(350); // half of a read
    QCOMPARE(progress->valueInterface()->currentValue().toInt(), 350);
}

void TestAccessibility::keysPressWhatTheMouseClicks_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focus"); // the control with the focus
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<bool>("pressAction"); // through the bus instead of a key
    QTest::addColumn<QString>("opened");   // the dialog class, or "colour"

    QTest::newRow("Alt+N: new entry") << "TabSheet_Telefonbuch"
                                      << "TV_Telefonbuch" << QKeySequence(Qt::ALT | Qt::Key_N)
                                      << false << "q7::TFrm_NeuerEintrag";
    QTest::newRow("Ctrl+B: snapshots")
        << "TabSheet_Telefonbuch"
        << "TV_Telefonbuch" << QKeySequence(Qt::CTRL | Qt::Key_B) << false << "q7::SnapshotsDialog";
    QTest::newRow("F1: about") << "TabSheet_Telefonbuch"
                               << "TV_FirstNine" << QKeySequence(Qt::Key_F1) << false
                               << "q7::AboutBox";
    QTest::newRow("Enter on the about line")
        << "TabSheet_Telefonbuch"
        << "Label1" << QKeySequence(Qt::Key_Return) << false << "q7::AboutBox";
    QTest::newRow("Space on a colour")
        << "TabSheet_Optionen"
        << "Lbl_Schriftfarbe" << QKeySequence(Qt::Key_Space) << false << "colour";
    QTest::newRow("a colour pressed through the bus")
        << "TabSheet_Optionen"
        << "Lbl_Hottrackfarbe" << QKeySequence() << true << "colour";
}

void TestAccessibility::keysPressWhatTheMouseClicks()
{
    QFETCH(QString, page);
    QFETCH(QString, focus);
    QFETCH(QKeySequence, key);
    QFETCH(bool, pressAction);
    QFETCH(QString, opened);

    WindowFixture& f = windowIn(false);
    auto* pages = f.window->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    pages->setCurrentWidget(pages->findChild<QWidget*>(page));
    auto* control = f.window->findChild<QWidget*>(focus);
    QVERIFY(control);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    control->setFocus(Qt::TabFocusReason);
    f.dialogs.clearCalls();
    if (pressAction) {
        QAccessibleActionInterface* actions =
            QAccessible::queryAccessibleInterface(control)->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
    } else {
        const QKeyCombination combination = key[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(),
                        combination.keyboardModifiers());
    }
    // A button's letter clicks it as a user sees it pressed: a moment later.
    QTRY_COMPARE(f.dialogs.calls().size(), 1);
    pages->setCurrentIndex(0);
    const ScriptedDialogs::Call& call = f.dialogs.calls().first();
    if (opened == QLatin1String("colour"))
        QCOMPARE(call.kind, ScriptedDialogs::Kind::Color);
    else
        QCOMPARE(call.dialogClass, opened);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
