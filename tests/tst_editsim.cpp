// SPDX-License-Identifier: GPL-3.0-or-later
// Editing end to end against the simulated handset: a phonebook read from
// it, changed only through the trees' context menu and its shortcuts as a
// user changes it, written back, and read again in a window of its own.

#include "app/frame/MainWindow.h"
#include "app/phonebook/PhonebookCommands.h"
#include "app/transfers/WritePlanDialog.h"
#include "base/PcText.h"
#include "editing/ui/PhonebookMenu.h"
#include "editing/ui/TreeEditor.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/PhonebookNodes.h"
#include "support/SimFixture.h"
#include "support/TreeActions.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>
#include <memory>

using namespace q7;

namespace {

using M = MenuItem;

// An entry as the handset holds it, with a second number and a note where
// given, so that a move or a cut that drops a value shows.
QList<QByteArray> handsetEntry(int location, const QByteArray& name, const QByteArray& number,
                               const QByteArray& group = {}, const QByteArray& note = {})
{
    QList<QByteArray> values = simEntry(location, name, number, group);
    values[14] = note; // Zusatz1
    return values;
}

// The locations of the commands that begin with prefix, e.g. "AT-SCEW=".
QList<int> locationsOf(const QList<QByteArray>& commands, const QByteArray& prefix)
{
    QList<int> locations;
    for (const QByteArray& command : commands)
        if (command.toUpper().startsWith(prefix))
            locations << command.mid(prefix.size()).split(',').value(0).toInt();
    return locations;
}

// The first field in which two stores differ, as a message; empty when they
// hold the same bytes in every field that reaches the handset or a file.
QString firstDifference(const RecordStore& actual, const RecordStore& expected)
{
    for (int r = 1; r <= kRecordCount; ++r)
        for (int field = Speicherplatz; field < ChangedFlag; ++field)
            if (actual.field(r, field) != expected.field(r, field))
                return QStringLiteral("record %1 field %2: \"%3\", expected \"%4\"")
                    .arg(r)
                    .arg(field)
                    .arg(decodePc(actual.field(r, field)), decodePc(expected.field(r, field)));
    return {};
}

// Everything a tree shows, as text: a change anywhere shows up.
QStringList treeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts << (*it)->text(0);
    return texts;
}

} // namespace

class TestEditSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init();
    void cleanup();

    void menuEditsReachTheHandsetAndNothingElse();
    void undoneEditsLeaveTheHandsetAsRead();
    void severalEntriesGoAndComeBackAsOneStep();
    void dragAndClipboardKeysReachTheHandset();
    void undoKeysDoNothingWhileAWriteRuns();

private:
    // A window on the simulated handset that has found it at start.
    void startWindow();
    // Closes the window and reads the handset in a new one.
    void closeAndReadAgain();
    // A click on node with modifiers, as the mouse makes it.
    void click(QTreeWidget* tree, QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = {});
    // The in-place editor that has the focus: its text replaced and Enter.
    void typeIntoEditor(const QString& text);

    QTreeWidget* phonebook() const { return window().phonebookPage().trees().phonebookTree(); }
    QTreeWidgetItem* entry(int r) const
    {
        return window().phonebookPage().trees().phonebookNode(r);
    }
    TFrm_Q7_Manager& window() const { return *m_f->window; }
    q7sim::SimHandset& sim() const { return m_f->sim; }
    ScriptedDialogs& dialogs() const { return m_f->dialogs; }

    std::unique_ptr<WindowFixture> m_f;
};

void TestEditSim::init()
{
    m_f = std::make_unique<WindowFixture>();
    sim().setEntry(1, handsetEntry(1, "Berta", "0101", {}, "Nachbarin"));
    sim().setEntry(3, handsetEntry(3, "Zoe", "0301", "Familie"));
    sim().setEntry(12, handsetEntry(12, "J|rg", "0302", "Freunde")); // Jörg
    QList<QByteArray> max = handsetEntry(20, "Max", "0320");
    max[7] = "Heim"; // Nummernart2
    max[8] = "0321"; // Nummer2
    sim().setEntry(20, max);
    sim().setEntry(30, handsetEntry(30, "Weg", "0330"));
    sim().setEntry(40, handsetEntry(40, "Otto", "0340"));
    sim().setEntry(505, handsetEntry(505, "anna", "0505"));
    sim().setEntry(510, handsetEntry(510, "Sim A", "0510", "Familie", "Notiz A"));
    sim().setEntry(511, handsetEntry(511, "Sim B", "0511"));
    // Beyond the trees: read and written like any other, never shown.
    sim().setEntry(650, handsetEntry(650, "Versteckt", "0650"));
}

void TestEditSim::cleanup()
{
    m_f.reset();
}

void TestEditSim::startWindow()
{
    m_f->start(sim().devicePath().isEmpty() ? sim().start() : sim().devicePath());
    if (!QTest::currentTestFailed())
        QVERIFY(m_f->handsetFound());
}

void TestEditSim::closeAndReadAgain()
{
    // Written: closing asks nothing and lets the port go.
    dialogs().clearCalls();
    QVERIFY(window().close());
    QVERIFY(window().hasShutDown());
    m_f->window.reset();
    QVERIFY(dialogs().calls().isEmpty());

    startWindow();
    if (!QTest::currentTestFailed())
        m_f->read();
}

void TestEditSim::click(QTreeWidget* tree, QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers)
{
    QVERIFY(node);
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers,
                      tree->visualItemRect(node).center());
}

void TestEditSim::typeIntoEditor(const QString& text)
{
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QVERIFY(window().phonebookPage().treeEditor().editorOpen());
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&] { return !window().phonebookPage().treeEditor().editorOpen(); }));
}

void TestEditSim::menuEditsReachTheHandsetAndNothingElse()
{
    startWindow();
    if (QTest::currentTestFailed())
        return;
    window().findChild<QPushButton*>(QStringLiteral("Btn_DatenLesen"))->click();
    QCOMPARE(window().recordStore().field(12, Name), encodePc(u"Jörg"));
    QCOMPARE(window().groupList().names(), (QList<QByteArray>{"Familie", "Freunde"}));
    // What the handset held, and what it must hold after the write.
    const auto read = std::make_unique<RecordStore>(window().recordStore());
    auto expected = std::make_unique<RecordStore>(*read);
    const auto put = [&](int r, int field, QByteArrayView value) {
        expected->setField(r, field, value);
    };

    // Rename, from the menu's "Editieren".
    select(phonebook(), entry(3));
    choose(phonebook(), M::PM_Editieren);
    typeIntoEditor(QStringLiteral("Zora"));
    put(3, Name, "Zora");

    // A number changed with F2, its type with Ctrl+3.
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    typeIntoEditor(QStringLiteral("0399"));
    QTreeWidgetItem* number = detail(entry(12), NodeRole::Nummer1);
    QVERIFY(number);
    select(phonebook(), number);
    QTest::keyClick(phonebook(), Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(number->text(0), QStringLiteral("0399"));
    QCOMPARE(number->toolTip(0), QStringLiteral("Büro"));
    put(12, Nummer1, "0399");
    put(12, Nummernart1, encodePc(u"Büro"));

    // A group for an entry that had none: the second of the list.
    select(phonebook(), entry(40));
    choose(phonebook(), M::PM_Gruppe2);
    QCOMPARE(childTexts(entry(40)), (QStringList{"40", "Freunde", "0340"}));
    put(40, Gruppe, "Freunde");

    // A SIM entry to the handset memory with Ctrl+F1: record 2 is free.
    select(phonebook(), entry(510));
    QTest::keyClick(phonebook(), Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(childTexts(entry(2)).value(0), QStringLiteral("2"));
    put(2, Speicherplatz, "2");
    for (int field = Name; field < ChangedFlag; ++field)
        put(2, field, read->field(510, field));
    expected->clearEntry(510);

    // Another to First Nine position 3, from the First Nine submenu, whose
    // captions name what each position holds.
    select(phonebook(), entry(511));
    openMenu(phonebook());
    QCOMPARE(window().phonebookPage().phonebookMenu().action(M::PM_FNV_Position5)->text(),
             QStringLiteral("anna"));
    QCOMPARE(window().phonebookPage().phonebookMenu().action(M::PM_FNV_Position3)->text(),
             QString());
    window().phonebookPage().phonebookMenu().menu()->hide();
    choose(phonebook(), M::PM_FNV_Position3);
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()),
             (QStringList{"Sim B", "anna"})); // in position order
    put(503, Speicherplatz, "503");
    for (int field = Name; field < ChangedFlag; ++field)
        put(503, field, read->field(511, field));
    expected->clearEntry(511);

    // A number 2 added: the editor opens on the new node.
    select(phonebook(), entry(1));
    choose(phonebook(), M::PM_HF_Nummer2);
    typeIntoEditor(QStringLiteral("0172"));
    put(1, Nummernart2, "Telefon");
    put(1, Nummer2, "0172");

    // Cut with Shift+Del, pasted as number 2 of another entry.
    select(phonebook(), detail(entry(20), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(window().statusPanel(1)->text(), QStringLiteral("In Zwischenablage: 0320"));
    select(phonebook(), entry(505));
    choose(phonebook(), M::PM_Einfuegenals_Nummer2);
    QCOMPARE(childTexts(entry(505)), (QStringList{"505", "0505", "0320"}));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineNode(5)),
             (QStringList{"505", "0505", "0320"}));
    put(20, Nummer1, {});
    put(20, Nummernart1, {});
    put(505, Nummer2, "0320");
    put(505, Nummernart2, "Mobil");

    // Deleted with Del, after a Yes.
    select(phonebook(), entry(30));
    dialogs().queueAnswer(QMessageBox::Yes);
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(entry(30), nullptr);
    expected->clearEntry(30);

    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()),
             (QStringList{"anna", "Berta", "Jörg", "Max", "Otto", "Sim A", "Sim B", "Zora"}));
    QVERIFY(window().hasUnsavedEdits());

    // Only the changed records go out, the default. The handset keeps no
    // note lines of an entry written to it: the window asks first, since
    // Berta's and Sim A's go.
    QVERIFY(window().findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->isChecked());
    dialogs().clearCalls();
    dialogs().queueAnswer(QMessageBox::Yes);
    sim().clearCommands();
    window().findChild<QPushButton*>(QStringLiteral("Btn_Datenschreiben"))->click();
    QCOMPARE(dialogs().callsOf(ScriptedDialogs::Kind::Message).size(), 1);
    const QList<QByteArray> commands = sim().commands();
    const QList<int> written = locationsOf(commands, "AT-SCEW=");
    QCOMPARE(written, (QList<int>{1, 2, 3, 12, 20, 40, 503, 505}));
    QCOMPARE(locationsOf(commands, "AT-SCED="), (QList<int>{30, 510, 511}));
    // Berta's and Sim A's note lines are the window's alone now: until they
    // are saved to a file, closing would ask for them.
    QVERIFY(window().hasUnsavedEdits());
    dialogs().queueFileName(m_f->filePath(QStringLiteral("notes.csv")));
    window().Btn_DatenspeichernClick();
    QVERIFY(!window().hasUnsavedEdits());
    for (int r : written) {
        put(r, Zusatz1, {});
        put(r, Zusatz2, {});
    }

    closeAndReadAgain();
    if (QTest::currentTestFailed())
        return;
    const QString difference = firstDifference(window().recordStore(), *expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()),
             (QStringList{"anna", "Berta", "Jörg", "Max", "Otto", "Sim A", "Sim B", "Zora"}));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()),
             (QStringList{"Sim B", "anna"}));
}

// The edits that drop data (a deletion, a cut, a First Nine move over an
// entry) taken back with Ctrl+Z leave nothing for a write to send: the
// changed flags come back with the bytes, and the handset keeps what it held.
void TestEditSim::undoneEditsLeaveTheHandsetAsRead()
{
    startWindow();
    if (QTest::currentTestFailed())
        return;
    window().findChild<QPushButton*>(QStringLiteral("Btn_DatenLesen"))->click();
    const auto read = std::make_unique<RecordStore>(window().recordStore());
    const QStringList names = childTexts(window().phonebookPage().trees().phonebookRoot());
    QCOMPARE(names,
             (QStringList{"anna", "Berta", "Jörg", "Max", "Otto", "Sim A", "Sim B", "Weg", "Zoe"}));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"anna"}));

    select(phonebook(), entry(30));
    dialogs().queueAnswer(QMessageBox::Yes);
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(entry(30), nullptr);

    select(phonebook(), detail(entry(20), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(childTexts(entry(20)), (QStringList{"20", "0321"}));
    const QString clipboard = QStringLiteral("In Zwischenablage: 0320");
    QCOMPARE(window().statusPanel(1)->text(), clipboard);

    select(phonebook(), entry(40));
    choose(phonebook(), M::PM_FNV_Position5); // held by anna, who goes to 40 in exchange
    QCOMPARE(entry(40)->text(0), QStringLiteral("anna"));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"Otto"}));
    QCOMPARE(window().recordStore().field(505, Name), QByteArray("Otto"));
    QCOMPARE(window().phonebookPage().history().stack()->count(), 3);

    // Each undo shows its records again at once, in both trees.
    phonebook()->setFocus();
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"anna"}));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineNode(5)),
             (QStringList{"505", "0505"}));
    QCOMPARE(childTexts(entry(40)), (QStringList{"40", "0340"}));
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(entry(20)), (QStringList{"20", "0320", "0321"}));
    QCOMPARE(window().statusPanel(1)->text(), clipboard); // the clipboard keeps the number
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()), names);
    QVERIFY(!window().phonebookPage().history().undoAction()->isEnabled());
    QVERIFY(!window().hasUnsavedEdits());
    const QString undone = firstDifference(window().recordStore(), *read);
    QVERIFY2(undone.isEmpty(), qPrintable(undone));
    QVERIFY(window().recordStore() == *read); // the changed flags too

    // Only the changed records go out, the default: none are.
    QVERIFY(window().findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->isChecked());
    dialogs().clearCalls();
    sim().clearCommands();
    window().findChild<QPushButton*>(QStringLiteral("Btn_Datenschreiben"))->click();
    QVERIFY(dialogs().calls().isEmpty());
    const QList<QByteArray> commands = sim().commands();
    // The handset holds what the window shows: nothing is sent at all.
    QVERIFY2(commands.isEmpty(), commands.join(' ').constData());

    closeAndReadAgain();
    if (QTest::currentTestFailed())
        return;
    const QString difference = firstDifference(window().recordStore(), *read);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()), names);
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"anna"}));
}

// Three entries picked with Ctrl+click go with one question and one Del, and
// one Ctrl+Z brings all three back: a write then has nothing to send.
void TestEditSim::severalEntriesGoAndComeBackAsOneStep()
{
    startWindow();
    if (QTest::currentTestFailed())
        return;
    m_f->read();
    const auto read = std::make_unique<RecordStore>(window().recordStore());
    const QStringList names = childTexts(window().phonebookPage().trees().phonebookRoot());

    click(phonebook(), entry(3));
    click(phonebook(), entry(30), Qt::ControlModifier);
    click(phonebook(), entry(510), Qt::ControlModifier);
    QCOMPARE(window().phonebookPage().treeEditor().selectedEntryRecords(phonebook()),
             (QList<int>{510, 30, 3}));

    dialogs().clearCalls();
    dialogs().queueAnswer(QMessageBox::Yes);
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    const auto questions = dialogs().callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.first().text, QStringLiteral("3 Einträge löschen?"));
    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()),
             (QStringList{"anna", "Berta", "Jörg", "Max", "Otto", "Sim B"}));
    QCOMPARE(window().phonebookPage().history().stack()->count(), 1);
    QVERIFY(window().windowTitle().endsWith(QStringLiteral(" *")));

    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(window().phonebookPage().trees().phonebookRoot()), names);
    QVERIFY(window().recordStore() == *read); // the changed flags too
    QVERIFY(!window().windowTitle().endsWith(QStringLiteral(" *")));
    for (int r : {3, 30, 510})
        QVERIFY(!PhonebookTrees::showsChangedMark(entry(r)));

    sim().clearCommands();
    window().findChild<QPushButton*>(QStringLiteral("Btn_Datenschreiben"))->click();
    const QList<QByteArray> commands = sim().commands();
    // The handset holds what the window shows: nothing is sent at all.
    QVERIFY2(commands.isEmpty(), commands.join(' ').constData());

    // One entry alone is asked for by its name.
    select(phonebook(), entry(40));
    dialogs().clearCalls();
    dialogs().queueAnswer(QMessageBox::No);
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(dialogs().callsOf(ScriptedDialogs::Kind::Message).value(0).text,
             QStringLiteral("„Otto“ löschen?"));
    QVERIFY(entry(40));
}

// An entry dropped on a held First Nine position exchanges places with the
// one there; a number cut with Ctrl+X and pasted with Ctrl+V onto another
// entry's number swaps the two. All of it survives a write and a read.
void TestEditSim::dragAndClipboardKeysReachTheHandset()
{
    startWindow();
    if (QTest::currentTestFailed())
        return;
    m_f->read();

    QTreeWidget* firstNine = window().phonebookPage().trees().firstNineTree();
    PhonebookCommands& commands = window().phonebookPage().commands();
    const QRect anna = firstNine->visualItemRect(window().phonebookPage().trees().firstNineNode(5));
    QCOMPARE(commands.firstNinePositionAt(anna.center()), 5);
    // Below the positions: the first free one.
    QCOMPARE(commands.firstNinePositionAt(QPoint(4, firstNine->viewport()->height() - 2)), 1);
    select(phonebook(), entry(40));
    commands.dropEntry(40, commands.firstNinePositionAt(anna.center()));
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"Otto"}));
    QCOMPARE(entry(40)->text(0), QStringLiteral("anna"));
    QCOMPARE(window().statusPanel(0)->text(),
             QStringLiteral("„Otto“ und „anna“ haben die Plätze getauscht."));
    QVERIFY(PhonebookTrees::showsChangedMark(entry(40)));
    QVERIFY(PhonebookTrees::showsChangedMark(entry(505)));

    select(phonebook(), detail(entry(20), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(childTexts(entry(20)), (QStringList{"20", "0321"}));
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(childTexts(entry(12)), (QStringList{"12", "Freunde", "0320"}));
    QCOMPARE(window().statusPanel(1)->text(), QStringLiteral("In Zwischenablage: 0302"));

    window().findChild<QPushButton*>(QStringLiteral("Btn_Datenschreiben"))->click();
    QVERIFY(!window().hasUnsavedEdits());

    closeAndReadAgain();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(childTexts(window().phonebookPage().trees().firstNineRoot()), (QStringList{"Otto"}));
    QCOMPARE(childTexts(entry(505)), (QStringList{"505", "0340"}));
    QCOMPARE(childTexts(entry(40)), (QStringList{"40", "0505"}));
    QCOMPARE(childTexts(entry(20)), (QStringList{"20", "0321"}));
    QCOMPARE(childTexts(entry(12)), (QStringList{"12", "Freunde", "0320"}));
}

// Ctrl+Z and Ctrl+Y pressed while a write runs must not change the records
// under it: until the write ends the trees and the history stay as they were
// before the keys, and the handset gets what the window showed when the
// write began.
void TestEditSim::undoKeysDoNothingWhileAWriteRuns()
{
    startWindow();
    if (QTest::currentTestFailed())
        return;
    m_f->read();

    // One step to undo, one to redo: either key would have work to do.
    select(phonebook(), entry(3));
    choose(phonebook(), M::PM_Editieren);
    typeIntoEditor(QStringLiteral("Zora"));
    select(phonebook(), entry(40));
    choose(phonebook(), M::PM_Gruppe2);
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(entry(40)), (QStringList{"40", "0340"}));
    QVERIFY(window().phonebookPage().history().undoAction()->isEnabled() &&
            window().phonebookPage().history().redoAction()->isEnabled());

    struct State
    {
        QStringList phonebook;
        QStringList firstNine;
        int steps = 0;
        int index = 0;
        QString undoText;
        QString redoText;
    };
    const auto state = [this] {
        return State{treeTexts(phonebook()),
                     treeTexts(window().phonebookPage().trees().firstNineTree()),
                     window().phonebookPage().history().stack()->count(),
                     window().phonebookPage().history().stack()->index(),
                     window().phonebookPage().history().undoAction()->text(),
                     window().phonebookPage().history().redoAction()->text()};
    };
    const State before = state();
    const auto shown = std::make_unique<RecordStore>(window().recordStore());

    // Slow replies keep the write running while the keys come; they are
    // pressed once its first command has gone out.
    const q7sim::SimOptions unpaced = sim().options();
    q7sim::SimOptions slow = unpaced;
    slow.latencyMs = 40;
    sim().setOptions(slow);
    sim().clearCommands();
    bool pressedWhileRunning = false;
    State afterKeys;
    QString storeAfterKeys = QStringLiteral("keys not pressed");
    QTimer keys;
    keys.setInterval(5);
    connect(&keys, &QTimer::timeout, this, [&] {
        if (!window().transfers().phonebookTransferRunning() || sim().commands().isEmpty())
            return;
        keys.stop();
        QWidget* focused = QApplication::focusWidget();
        QWidget* target = focused ? focused : phonebook();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(phonebook(), Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        afterKeys = state();
        storeAfterKeys = firstDifference(window().recordStore(), *shown);
        pressedWhileRunning = window().transfers().phonebookTransferRunning();
    });
    keys.start();
    dialogs().clearCalls();
    m_f->answerPlan(WritePlanDialog::Write);
    window().findChild<QPushButton*>(QStringLiteral("Btn_Datenschreiben"))->click();
    keys.stop();
    sim().setOptions(unpaced);
    QVERIFY(pressedWhileRunning);
    QVERIFY2(storeAfterKeys.isEmpty(), qPrintable(storeAfterKeys));
    QCOMPARE(afterKeys.phonebook, before.phonebook);
    QCOMPARE(afterKeys.firstNine, before.firstNine);
    QCOMPARE(afterKeys.steps, before.steps);
    QCOMPARE(afterKeys.index, before.index);
    QCOMPARE(afterKeys.undoText, before.undoText);
    QCOMPARE(afterKeys.redoText, before.redoText);

    // The write ran to its end as it would have without the keys: it sent
    // the one changed entry, asked nothing, and closed the history.
    QVERIFY(dialogs().callsOf(ScriptedDialogs::Kind::Message).isEmpty());
    QCOMPARE(locationsOf(sim().commands(), "AT-SCEW="), (QList<int>{3}));
    QVERIFY(!window().hasUnsavedEdits());
    QCOMPARE(window().phonebookPage().history().stack()->count(), 0);
    const QString kept = firstDifference(window().recordStore(), *shown);
    QVERIFY2(kept.isEmpty(), qPrintable(kept));
    QCOMPARE(treeTexts(phonebook()), before.phonebook);
    QCOMPARE(treeTexts(window().phonebookPage().trees().firstNineTree()), before.firstNine);

    closeAndReadAgain();
    if (QTest::currentTestFailed())
        return;
    const QString written = firstDifference(window().recordStore(), *shown);
    QVERIFY2(written.isEmpty(), qPrintable(written));
    QCOMPARE(treeTexts(phonebook()), before.phonebook);
}

QTEST_MAIN(TestEditSim)
#include "tst_editsim.moc"
