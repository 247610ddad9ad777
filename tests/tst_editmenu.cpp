// SPDX-License-Identifier: GPL-3.0-or-later
// Editing in the window's trees: the context menu and its shortcuts, the
// in-place editor, every entry command with the trees it patches, and the
// questions that keep unsaved edits from being dropped unasked.

#include "app/frame/MainWindow.h"
#include "app/transfers/TransferGuard.h"
#include "base/PcText.h"
#include "editing/ui/PhonebookMenu.h"
#include "editing/ui/TreeEditor.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/PhonebookNodes.h"
#include "support/TreeActions.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QUndoStack>

using namespace q7;

namespace {

QLineEdit* openEditor()
{
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

// Enter closes the editor from the event loop.
bool confirm(QLineEdit* editor, TFrm_Q7_Manager& window)
{
    QTest::keyClick(editor, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !window.phonebookPage().treeEditor().editorOpen(); });
}

} // namespace

class TestEditMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init();
    void cleanup();

    void menuOffersWhatFitsTheNode();
    void menuTextsAndShortcutsAtStart();
    void editInPlace_data();
    void editInPlace();
    void onlyEntriesAndNumbersOpenAnEditor();
    void inPlaceEditorKeepsToTheFieldRules_data();
    void inPlaceEditorKeepsToTheFieldRules();
    void newNumber_data();
    void newNumber();
    void deleteEntryAsks_data();
    void deleteEntryAsks();
    void deleteNumberAsksNothing();
    void typeShortcutInFirstNineRebuildsThePhonebookNodes();
    void groupAddedAndRemovedInBothTrees();
    void movesKeepTheNodeAndItsSelection();
    void moveWithoutAFreeRecordTellsTheRange_data();
    void moveWithoutAFreeRecordTellsTheRange();
    void clipboardExchangesAndShowsItsNumber();
    void desktopKeysAndPasteAsKeepEveryNumber();
    void pasteKeyOnAnEntryFillsItsFirstFreeSlot();
    void dragInsideFirstNineExchangesPositions();
    void shortcutsActOnTheStateWhenPressed();
    void shortcutsWaitForTheEditor();
    void editingIsLockedDuringATransfer();
    void clickTogglesAllButTheRoot();
    void undoAndRedoPutTheRecordsBack();
    void undoLeavesNothingToAsk();
    void titleAndCountsFollowTheEdits();
    void ctrlZInTheEditorUndoesTyping();
    void eachStepIsNamed_data();
    void eachStepIsNamed();
    void newEntryAndImportAreOneStepEach();
    void findAsYouType();
    void searchKeysMoveIntoTheResults_data();
    void searchKeysMoveIntoTheResults();
    void shiftF10OpensTheMenu();
    void windowGrowsWithTheTree();
    void questionsBeforeUnsavedEditsAreLost_data();
    void questionsBeforeUnsavedEditsAreLost();

private:
    void startWindow(const QString& languageFile = {});
    QTreeWidget* phonebook() const { return m_f->window->phonebookPage().trees().phonebookTree(); }
    QTreeWidget* firstNine() const { return m_f->window->phonebookPage().trees().firstNineTree(); }
    QTreeWidgetItem* entry(int r) const
    {
        return m_f->window->phonebookPage().trees().phonebookNode(r);
    }
    QTreeWidgetItem* firstNineEntry(int p) const
    {
        return m_f->window->phonebookPage().trees().firstNineNode(p);
    }
    QAction* action(MenuItem item) const
    {
        return m_f->window->phonebookPage().phonebookMenu().action(item);
    }
    QByteArray field(int r, int f) const { return m_f->window->recordStore().field(r, f); }

    std::unique_ptr<WindowFixture> m_f;
};

void TestEditMenu::init()
{
    m_f = std::make_unique<WindowFixture>();
}

void TestEditMenu::cleanup()
{
    m_f.reset();
}

// The window after its search at start, with a phonebook of four
// entries in place as a read leaves it.
void TestEditMenu::startWindow(const QString& languageFile)
{
    // No handset: the search at start fails at once and locks nothing after.
    m_f->startWithoutHandset(languageFile);

    auto read = std::make_unique<RecordStore>();
    RecordStore& store = *read;
    putRecord(store, 3, u"Zoe",
              {{Gruppe, "Familie"},
               {Nummernart1, "Mobil"},
               {Nummer1, "0301"},
               {Nummernart3, encodePc(u"Büro")},
               {Nummer3, "0303"}});
    putRecord(store, 12, u"Jörg",
              {{Gruppe, "Freunde"}, {Nummernart1, "Telefon"}, {Nummer1, "0302"}});
    putRecord(
        store, 505, u"anna",
        {{Nummernart1, "Heim"}, {Nummer1, "0505"}, {Nummernart2, "Mobil"}, {Nummer2, "0506"}});
    putRecord(store, 550, u"Sim", {{Nummernart1, "Fax"}, {Nummer1, "0550"}});
    m_f->window->phonebookPage().takeStore(std::move(store));
    m_f->dialogs.clearCalls();
}

void TestEditMenu::menuOffersWhatFitsTheNode()
{
    startWindow();
    using M = MenuItem;

    // On a root only the undo items are offered.
    select(phonebook(), m_f->window->phonebookPage().trees().phonebookRoot());
    QVERIFY(openMenu(phonebook())->isVisible());
    QVERIFY(m_f->window->phonebookPage().history().undoAction()->isVisible() &&
            !action(M::PM_Editieren)->isVisible());
    m_f->window->phonebookPage().phonebookMenu().menu()->hide();

    select(phonebook(), entry(3));
    QMenu* menu = openMenu(phonebook());
    QVERIFY(menu->isVisible());
    QVERIFY(action(M::PM_Gruppezuweisen)->isVisible() && !action(M::PM_Kopieren)->isVisible());
    QCOMPARE(action(M::PM_HF_Nummer1)->isEnabled(), false);
    QCOMPARE(action(M::PM_HF_Nummer2)->isEnabled(), true);
    QCOMPARE(action(M::PM_Einfuegenals_Nummer1)->isChecked(), true);
    QCOMPARE(action(M::PM_Einfuegenals_Nummer2)->isChecked(), false);
    QCOMPARE(action(M::PM_Einfuegenals)->isEnabled(), false); // the clipboard is empty
    QCOMPARE(action(M::PM_Gruppe1)->text(), QStringLiteral("Familie"));
    QCOMPARE(action(M::PM_Gruppe2)->text(), QStringLiteral("Freunde"));
    QVERIFY(!action(M::PM_Gruppe3)->isVisible());
    QCOMPARE(action(M::PM_FNV_Position5)->text(), QStringLiteral("anna"));
    QCOMPARE(action(M::PM_FNV_Position4)->text(), QString());
    menu->hide();

    select(firstNine(), detail(firstNineEntry(5), NodeRole::Nummer2));
    openMenu(firstNine());
    QVERIFY(action(M::PM_NR_Aendern)->isVisible() && action(M::PM_Ausschneiden)->isVisible());
    QVERIFY(!action(M::PM_Verschieben)->isVisible());
    menu->hide();

    // A name with "&" is a name, not an accelerator.
    m_f->window->recordStore().setField(505, Name, "A & B");
    select(phonebook(), entry(3));
    openMenu(phonebook());
    QCOMPARE(action(M::PM_FNV_Position5)->text(), QStringLiteral("A && B"));
    menu->hide();
}

void TestEditMenu::menuTextsAndShortcutsAtStart()
{
    const QString ini =
        m_f->writeFile("texts.ini", "[Contexmenu]\r\nPM_Kopieren=&Copy\r\n"
                                    "Nummer=Number\r\n[Nummernart]\r\nMobil=Handy\r\n");
    startWindow(ini);
    using M = MenuItem;
    QCOMPARE(action(M::PM_Kopieren)->text(), QStringLiteral("&Copy"));
    QCOMPARE(action(M::PM_Einfuegenals_Nummer2)->text(), QStringLiteral("Number 2"));
    QCOMPARE(action(M::PM_HF_Nummer3)->text(), QStringLiteral("Number 3"));
    QCOMPARE(action(M::PM_Mobil)->text(), QStringLiteral("Handy"));
    QCOMPARE(action(M::PM_Buero)->text(), QStringLiteral("Büro"));
    QCOMPARE(action(M::PM_KeineGruppe)->text(), QStringLiteral("Keine"));
    QCOMPARE(action(M::PM_Einfuegen)->text(), QStringLiteral("Ein&fügen"));
    QCOMPARE(action(M::PM_Kopieren)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    QCOMPARE(action(M::PM_Fax)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_5));
    QCOMPARE(action(M::PM_VerschiebenaufSIM)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F2));
    QVERIFY(!action(M::PM_VerschiebenaufMEM)->icon().isNull());
    QVERIFY(!action(M::PM_FNV_Position9)->icon().isNull());
    // The type stored is the language file's text.
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_4, Qt::ControlModifier);
    QCOMPARE(field(12, Nummernart1), QByteArray("Handy"));
}

void TestEditMenu::editInPlace_data()
{
    QTest::addColumn<bool>("inFirstNine");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // = stored
    QTest::addColumn<bool>("edited");
    const QString long35 = QStringLiteral("Annabella Maria Theresia Schmidtke");
    QTest::newRow("phonebook tree") << false << "Zorro"
                                    << "Zorro" << true;
    QTest::newRow("first nine tree") << true << "Zorro"
                                     << "Zorro" << true;
    QTest::newRow("35 characters: the editor takes the 30 stored")
        << false << long35 + QStringLiteral("X") << long35.left(30) << true;
    // Keeping the name is no edit: nothing is marked changed.
    QTest::newRow("empty brings the name back") << false << ""
                                                << "anna" << false;
    QTest::newRow("blanks bring the name back") << false << "   "
                                                << "anna" << false;
}

void TestEditMenu::editInPlace()
{
    QFETCH(bool, inFirstNine);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, edited);
    startWindow();
    QTreeWidget* tree = inFirstNine ? firstNine() : phonebook();
    QSignalSpy notices(&m_f->window->phonebookPage().treeEditor(), &TreeEditor::notice);
    select(tree, inFirstNine ? firstNineEntry(5) : entry(505));
    QTest::keyClick(tree, Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("anna"));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, typed);
    QCOMPARE(editor->text().size(), std::min<qsizetype>(typed.size(), 30));
    QVERIFY(confirm(editor, *m_f->window));

    QCOMPARE(decodePc(field(505, Name)), shown);
    QCOMPARE(field(505, ChangedFlag), QByteArray(edited ? "JA" : "NEIN"));
    QCOMPARE(m_f->window->hasUnsavedEdits(), edited);
    QCOMPARE(PhonebookTrees::showsChangedMark(entry(505)), edited);
    // The user is told how to delete an entry instead.
    QCOMPARE(!notices.isEmpty() && notices.last().at(0).toString().contains(u"Entf"), !edited);
    QCOMPARE(entry(505)->text(0), shown);
    QCOMPARE(firstNineEntry(5)->text(0), shown);
    // Sorted again: "anna" came first, a Z name comes last.
    const QStringList order = childTexts(m_f->window->phonebookPage().trees().phonebookRoot());
    QCOMPARE(order.indexOf(shown), shown.startsWith(u'Z') ? 3 : 0);
    // The node edited is still the selected one.
    QCOMPARE(tree->currentItem(), inFirstNine ? firstNineEntry(5) : entry(505));
}

void TestEditMenu::onlyEntriesAndNumbersOpenAnEditor()
{
    startWindow();
    for (QStringView role : {NodeRole::Speicherplatz, NodeRole::Gruppe}) {
        select(phonebook(), detail(entry(3), role));
        QTest::keyClick(phonebook(), Qt::Key_F2);
        QVERIFY2(!openEditor(), qPrintable(role.toString()));
    }
    select(phonebook(), m_f->window->phonebookPage().trees().phonebookRoot());
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QVERIFY(!openEditor());

    select(phonebook(), detail(entry(3), NodeRole::Nummer3));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    editor->setText(QStringLiteral("0404"));
    QVERIFY(confirm(editor, *m_f->window));
    QCOMPARE(field(3, Nummer3), QByteArray("0404"));
    QCOMPARE(field(3, Nummernart3), encodePc(u"Büro"));
}

void TestEditMenu::inPlaceEditorKeepsToTheFieldRules_data()
{
    QTest::addColumn<bool>("onNumber"); // number 1 of Jörg (12), else his name
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("notice"); // what the last notice contains
    QTest::newRow("separators leave as typed")
        << true << "0171-555 66 77" << false << QByteArray("01715556677") << "";
    QTest::newRow("separators pasted leave")
        << true << "+49 (0) 171 555" << true << QByteArray("+49171555") << "";
    QTest::newRow("letters typed are refused")
        << true << "0151abc" << false << QByteArray("0151") << "„c“";
    QTest::newRow("a paste with letters keeps the old number")
        << true << "abc123" << true << QByteArray("0302") << "„abc“";
    QTest::newRow("41 digits: the editor takes 30")
        << true << QString(41, u'7') << false << QByteArray(30, '7') << "";
    QTest::newRow("a character the PC set lacks is named before it is stored")
        << false << u"Łukasz"_qs << true << QByteArray("?ukasz") << "Ł";
}

// What the editor holds is what the record stores: nothing typed is dropped
// or changed unseen.
void TestEditMenu::inPlaceEditorKeepsToTheFieldRules()
{
    QFETCH(bool, onNumber);
    QFETCH(QString, typed);
    QFETCH(bool, pasted);
    QFETCH(QByteArray, stored);
    QFETCH(QString, notice);
    startWindow();
    QSignalSpy notices(&m_f->window->phonebookPage().treeEditor(), &TreeEditor::notice);
    select(phonebook(), onNumber ? entry(12)->child(2) : entry(12));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), 30);
    if (pasted) {
        editor->selectAll();
        editor->insert(typed); // over the whole text
    } else {
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, typed);
    }
    if (notice.isEmpty())
        QVERIFY(notices.isEmpty() || notices.last().at(0).toString().isEmpty());
    else
        QVERIFY(!notices.isEmpty() && notices.last().at(0).toString().contains(notice));
    // The status bar keeps the word after the tooltip has gone.
    QCOMPARE(m_f->window->statusPanel(0)->text().contains(notice), true);
    QVERIFY(confirm(editor, *m_f->window));
    QCOMPARE(field(12, onNumber ? Nummer1 : Name), stored);
    QCOMPARE(onNumber ? entry(12)->child(2)->text(0) : entry(12)->text(0), decodePc(stored));
}

void TestEditMenu::newNumber_data()
{
    QTest::addColumn<QString>("typed"); // empty: Esc
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("Esc leaves nothing") << "" << QByteArray();
    QTest::newRow("the digit confirmed is kept") << "2" << QByteArray("2");
    QTest::newRow("a typed number") << "0302" << QByteArray("0302");
}

void TestEditMenu::newNumber()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    startWindow();
    select(phonebook(), entry(3));
    choose(phonebook(), MenuItem::PM_HF_Nummer2);

    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("2"));
    // The new node sits between numbers 1 and 3; the store has nothing yet.
    QCOMPARE(childRoles(entry(3)),
             (QStringList{"Speicherplatz", "Gruppe", "Nummer1", "Nummer2", "Nummer3"}));
    QCOMPARE(field(3, Nummer2), QByteArray());
    if (typed.isEmpty()) {
        QTest::keyClick(editor, Qt::Key_Escape);
    } else {
        editor->setText(typed);
        QVERIFY(confirm(editor, *m_f->window));
    }
    QVERIFY(!m_f->window->phonebookPage().treeEditor().editorOpen());

    QCOMPARE(field(3, Nummer2), stored);
    QCOMPARE(field(3, Nummernart2), stored.isEmpty() ? QByteArray() : QByteArray("Telefon"));
    QCOMPARE(field(3, ChangedFlag), stored.isEmpty() ? QByteArray("NEIN") : QByteArray("JA"));
    QCOMPARE(m_f->window->hasUnsavedEdits(), !stored.isEmpty());
    QStringList roles{"Speicherplatz", "Gruppe", "Nummer1", "Nummer3"};
    if (!stored.isEmpty())
        roles.insert(3, QStringLiteral("Nummer2"));
    QCOMPARE(childRoles(entry(3)), roles);
    if (!stored.isEmpty())
        QCOMPARE(detail(entry(3), NodeRole::Nummer2)->toolTip(0), QStringLiteral("Telefon"));
}

void TestEditMenu::deleteEntryAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("inFirstNine");
    QTest::newRow("yes, in the phonebook tree") << int(QMessageBox::Yes) << false;
    QTest::newRow("yes, in the first nine tree") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
}

void TestEditMenu::deleteEntryAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, inFirstNine);
    startWindow();
    QTreeWidget* tree = inFirstNine ? firstNine() : phonebook();
    select(tree, inFirstNine ? firstNineEntry(5) : entry(505));
    m_f->dialogs.queueAnswer(QMessageBox::StandardButton(answer));
    QTest::keyClick(tree, Qt::Key_Delete);

    const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].icon, QMessageBox::Question);
    QCOMPARE(boxes[0].title, QStringLiteral("Warnung"));
    QCOMPARE(boxes[0].text, QStringLiteral("„anna“ löschen?"));
    QCOMPARE(boxes[0].buttons, QMessageBox::Yes | QMessageBox::No);
    const bool deleted = answer == QMessageBox::Yes;
    QCOMPARE(field(505, Name), deleted ? QByteArray("Q7LoeschenQ7") : QByteArray("anna"));
    QCOMPARE(field(505, Nummer2), QByteArray("0506")); // the rest stays for the write
    QCOMPARE(field(505, ChangedFlag), deleted ? QByteArray("JA") : QByteArray("NEIN"));
    QCOMPARE(entry(505) == nullptr, deleted);
    QCOMPARE(firstNineEntry(5) == nullptr, deleted);
    QCOMPARE(m_f->window->phonebookPage().trees().phonebookRoot()->childCount(), deleted ? 3 : 4);
    QCOMPARE(m_f->window->phonebookPage().trees().firstNineRoot()->childCount(), deleted ? 0 : 1);
}

void TestEditMenu::deleteNumberAsksNothing()
{
    startWindow();
    select(phonebook(), detail(entry(505), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QVERIFY(m_f->dialogs.calls().isEmpty());
    QCOMPARE(field(505, Nummer1), QByteArray());
    QCOMPARE(field(505, Nummernart1), QByteArray());
    QCOMPARE(field(505, ChangedFlag), QByteArray("JA"));
    QCOMPARE(childTexts(entry(505)), (QStringList{"505", "0506"}));
    QCOMPARE(childTexts(firstNineEntry(5)), (QStringList{"505", "0506"}));
    // The entry stays selected in place of its number.
    QCOMPARE(phonebook()->currentItem(), entry(505));

    // Del on a Speicherplatz node does nothing.
    select(phonebook(), detail(entry(3), NodeRole::Speicherplatz));
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QVERIFY(m_f->dialogs.calls().isEmpty());
    QCOMPARE(field(3, ChangedFlag), QByteArray("NEIN"));
}

void TestEditMenu::typeShortcutInFirstNineRebuildsThePhonebookNodes()
{
    startWindow();
    QTreeWidgetItem* number = detail(firstNineEntry(5), NodeRole::Nummer2);
    QCOMPARE(number->toolTip(0), QStringLiteral("Mobil"));
    select(firstNine(), number);
    QTest::keyClick(firstNine(), Qt::Key_5, Qt::ControlModifier);

    QCOMPARE(field(505, Nummernart2), QByteArray("Fax"));
    QCOMPARE(field(505, ChangedFlag), QByteArray("JA"));
    QCOMPARE(PhonebookTrees::mainImage(number), 9);
    QCOMPARE(number->toolTip(0), QStringLiteral("Fax"));
    QTreeWidgetItem* inPhonebook = detail(entry(505), NodeRole::Nummer2);
    QCOMPARE(PhonebookTrees::mainImage(inPhonebook), 9);
    QCOMPARE(inPhonebook->toolTip(0), QStringLiteral("Fax"));
    QCOMPARE(firstNine()->currentItem(), number);

    // On an entry node the type shortcut does nothing.
    select(phonebook(), entry(3));
    QTest::keyClick(phonebook(), Qt::Key_5, Qt::ControlModifier);
    QCOMPARE(field(3, ChangedFlag), QByteArray("NEIN"));
}

void TestEditMenu::groupAddedAndRemovedInBothTrees()
{
    startWindow();
    select(firstNine(), firstNineEntry(5));
    choose(firstNine(), MenuItem::PM_Gruppe2);
    QCOMPARE(field(505, Gruppe), QByteArray("Freunde"));
    for (QTreeWidgetItem* node : {entry(505), firstNineEntry(5)}) {
        QCOMPARE(childRoles(node).mid(0, 2), (QStringList{"Speicherplatz", "Gruppe"}));
        QCOMPARE(PhonebookTrees::mainImage(detail(node, NodeRole::Gruppe)), 4);
    }

    select(phonebook(), entry(3));
    choose(phonebook(), MenuItem::PM_KeineGruppe);
    QCOMPARE(field(3, Gruppe), QByteArray());
    QCOMPARE(field(3, ChangedFlag), QByteArray("JA"));
    QVERIFY(!detail(entry(3), NodeRole::Gruppe));
}

void TestEditMenu::movesKeepTheNodeAndItsSelection()
{
    startWindow();
    // A SIM entry to the handset memory: the first free record is 1.
    select(phonebook(), entry(550));
    QTreeWidgetItem* node = entry(550);
    QTest::keyClick(phonebook(), Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(field(1, Name), QByteArray("Sim"));
    QCOMPARE(field(550, Name), QByteArray("Q7LoeschenQ7"));
    QCOMPARE(entry(1), node);
    QCOMPARE(entry(550), nullptr);
    QCOMPARE(node->child(0)->text(0), QStringLiteral("1"));
    QCOMPARE(PhonebookTrees::mainImage(node), 3);
    QCOMPARE(phonebook()->currentItem(), node);

    // Memory entry 12 to First Nine position 5, held by "anna": the two
    // exchange their places, and the moving node stays selected.
    select(phonebook(), entry(12));
    QTreeWidgetItem* joerg = entry(12);
    choose(phonebook(), MenuItem::PM_FNV_Position5);
    QCOMPARE(field(505, Name), encodePc(u"Jörg"));
    QCOMPARE(field(12, Name), QByteArray("anna"));
    QCOMPARE(field(12, Speicherplatz), QByteArray("12"));
    QCOMPARE(entry(505), joerg);
    QCOMPARE(phonebook()->currentItem(), joerg);
    QCOMPARE(PhonebookTrees::mainImage(entry(505)), 17);
    QCOMPARE(PhonebookTrees::mainImage(entry(12)), 3);
    QCOMPARE(entry(12)->child(0)->text(0), QStringLiteral("12"));
    QCOMPARE(childTexts(m_f->window->phonebookPage().trees().phonebookRoot()),
             (QStringList{"anna", "Jörg", "Sim", "Zoe"}));
    QCOMPARE(childTexts(m_f->window->phonebookPage().trees().firstNineRoot()), QStringList{"Jörg"});
    QCOMPARE(PhonebookTrees::secondImage(firstNineEntry(5)), 5);

    // From the First Nine tree to position 2: that tree keeps it selected.
    select(firstNine(), firstNineEntry(5));
    choose(firstNine(), MenuItem::PM_FNV_Position2);
    QCOMPARE(firstNineEntry(5), nullptr);
    QVERIFY(firstNineEntry(2));
    QCOMPARE(firstNine()->currentItem(), firstNineEntry(2));
    QCOMPARE(PhonebookTrees::mainImage(entry(502)), 14);
}

void TestEditMenu::moveWithoutAFreeRecordTellsTheRange_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("message");
    QTest::newRow("memory full") << 1 << 500 << int(Qt::Key_F1)
                                 << "Kein freier Speicherplatz im Handyspeicher.";
    QTest::newRow("SIM full") << 510 << 600 << int(Qt::Key_F2)
                              << "Kein freier Speicherplatz auf der SIM-Karte.";
}

void TestEditMenu::moveWithoutAFreeRecordTellsTheRange()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, key);
    QFETCH(QString, message);
    startWindow();
    RecordStore& store = m_f->window->recordStore();
    for (int r = first; r <= last; ++r)
        if (!store.isLive(r))
            putRecord(store, r, QStringLiteral("Voll %1").arg(r));
    m_f->window->phonebookPage().rebuildTrees();
    const auto before = std::make_unique<RecordStore>(store);

    select(firstNine(), firstNineEntry(5));
    QTest::keyClick(firstNine(), Qt::Key(key), Qt::ControlModifier);
    const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, message);
    QVERIFY(store == *before);
    QVERIFY(!m_f->window->hasUnsavedEdits());
}

void TestEditMenu::clipboardExchangesAndShowsItsNumber()
{
    startWindow();
    QLabel* panel = m_f->window->statusPanel(1);
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    choose(phonebook(), MenuItem::PM_Kopieren);
    QCOMPARE(panel->text(), QStringLiteral("In Zwischenablage: 0301"));
    QVERIFY(!m_f->window->hasUnsavedEdits()); // a copy changes nothing

    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    choose(phonebook(), MenuItem::PM_Einfuegen);
    QCOMPARE(field(12, Nummer1), QByteArray("0301"));
    QCOMPARE(field(12, Nummernart1), QByteArray("Mobil"));
    QCOMPARE(PhonebookTrees::mainImage(detail(entry(12), NodeRole::Nummer1)), 8);
    QCOMPARE(panel->text(), QStringLiteral("In Zwischenablage: 0302"));

    // Cut from the First Nine tree, paste as number 3 of another entry.
    select(firstNine(), detail(firstNineEntry(5), NodeRole::Nummer2));
    choose(firstNine(), MenuItem::PM_Ausschneiden);
    QCOMPARE(panel->text(), QStringLiteral("In Zwischenablage: 0506"));
    QCOMPARE(field(505, Nummer2), QByteArray());
    QVERIFY(!detail(entry(505), NodeRole::Nummer2));
    select(phonebook(), entry(12));
    choose(phonebook(), MenuItem::PM_Einfuegenals_Nummer3);
    QCOMPARE(field(12, Nummer3), QByteArray("0506"));
    QCOMPARE(field(12, Nummernart3), QByteArray("Mobil"));
    QCOMPARE(childRoles(entry(12)).last(), QStringLiteral("Nummer3"));
    QCOMPARE(panel->text(), QString());
    QVERIFY(!m_f->window->phonebookPage().numberClipboard().holdsNumber());
    openMenu(phonebook());
    QVERIFY(!action(MenuItem::PM_Einfuegenals)->isEnabled());
    m_f->window->phonebookPage().phonebookMenu().menu()->hide();
}

void TestEditMenu::desktopKeysAndPasteAsKeepEveryNumber()
{
    startWindow();
    using M = MenuItem;
    QCOMPARE(action(M::PM_Kopieren)->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Insert),
                                  QKeySequence(Qt::CTRL | Qt::Key_C)}));
    QCOMPARE(action(M::PM_Ausschneiden)->shortcuts().last(), QKeySequence(Qt::CTRL | Qt::Key_X));
    QCOMPARE(action(M::PM_Einfuegen)->shortcuts().last(), QKeySequence(Qt::CTRL | Qt::Key_V));
    const NumberClipboard& clipboard = m_f->window->phonebookPage().numberClipboard();

    select(phonebook(), detail(entry(3), NodeRole::Nummer3));
    QTest::keyClick(phonebook(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(field(3, Nummer3), QByteArray());
    QCOMPARE(clipboard.number, QByteArray("0303"));
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field(12, Nummer1), QByteArray("0303"));
    QCOMPARE(field(12, Nummernart1), encodePc(u"Büro"));
    QCOMPARE(clipboard.number, QByteArray("0302"));
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard.number, QByteArray("0301"));
    QCOMPARE(field(3, Nummer1), QByteArray("0301"));

    // Paste as number 1 onto anna's number 1: hers goes into the clipboard.
    select(phonebook(), entry(505));
    choose(phonebook(), M::PM_Einfuegenals_Nummer1);
    QCOMPARE(field(505, Nummer1), QByteArray("0301"));
    QCOMPARE(field(505, Nummernart1), QByteArray("Mobil"));
    QCOMPARE(clipboard.number, QByteArray("0505"));
    QCOMPARE(clipboard.type, QByteArray("Heim"));
    QCOMPARE(detail(entry(505), NodeRole::Nummer1)->text(0), QStringLiteral("0301"));
    QCOMPARE(m_f->window->statusPanel(1)->text(), QStringLiteral("In Zwischenablage: 0505"));
}

void TestEditMenu::pasteKeyOnAnEntryFillsItsFirstFreeSlot()
{
    startWindow();
    // Zoe holds numbers 1 and 3; Ctrl+V on her entry fills number 2.
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_C, Qt::ControlModifier);
    select(phonebook(), entry(3));
    QTest::keyClick(phonebook(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field(3, Nummer2), QByteArray("0302"));
    QCOMPARE(field(3, Nummernart2), QByteArray("Telefon"));
    QCOMPARE(childRoles(entry(3)).mid(1), (QStringList{"Gruppe", "Nummer1", "Nummer2", "Nummer3"}));
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             QStringLiteral("&Rückgängig: Einfügen"));

    // With all three taken, the key says so and changes nothing.
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Insert, Qt::ControlModifier);
    select(phonebook(), entry(3));
    QTest::keyClick(phonebook(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field(3, Nummer1), QByteArray("0301"));
    QCOMPARE(field(3, Nummer2), QByteArray("0302"));
    QCOMPARE(field(3, Nummer3), QByteArray("0303"));
    QVERIFY2(m_f->window->statusPanel(0)->text().contains(u"„Zoe“ hat schon drei Nummern"),
             qPrintable(m_f->window->statusPanel(0)->text()));
    QVERIFY(m_f->window->phonebookPage().numberClipboard().holdsNumber());
}

void TestEditMenu::dragInsideFirstNineExchangesPositions()
{
    startWindow();
    select(phonebook(), entry(550));
    choose(phonebook(), MenuItem::PM_FNV_Position2);
    QCOMPARE(field(502, Name), QByteArray("Sim"));

    // anna, at position 5, dragged onto Sim's position 2.
    select(firstNine(), firstNineEntry(5));
    PhonebookCommands& commands = m_f->window->phonebookPage().commands();
    const QPoint onSim = firstNine()->visualItemRect(firstNineEntry(2)).center();
    const auto target = commands.dropTarget(firstNine(), onSim);
    QVERIFY(target.has_value());
    QCOMPARE(target->record, 505);
    QCOMPARE(target->position, 2);
    commands.dropEntry(target->record, target->position, target->tree);
    QCOMPARE(field(502, Name), QByteArray("anna"));
    QCOMPARE(field(505, Name), QByteArray("Sim"));
    QCOMPARE(firstNineEntry(2)->text(0), QStringLiteral("anna"));
    QCOMPARE(firstNineEntry(5)->text(0), QStringLiteral("Sim"));

    // Dropped on its own position, an entry stays; a number node is no drag.
    select(firstNine(), firstNineEntry(2));
    const QPoint onItself = firstNine()->visualItemRect(firstNineEntry(2)).center();
    commands.dropEntry(502, commands.dropTarget(firstNine(), onItself)->position, firstNine());
    QCOMPARE(field(502, Name), QByteArray("anna"));
    select(firstNine(), detail(firstNineEntry(2), NodeRole::Nummer1));
    QVERIFY(!commands.dropTarget(firstNine(), onSim).has_value());
}

void TestEditMenu::shortcutsActOnTheStateWhenPressed()
{
    startWindow();
    // The menu's last opening, with an empty clipboard, left paste disabled.
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    openMenu(phonebook())->hide();
    QVERIFY(!action(MenuItem::PM_Einfuegen)->isEnabled());

    QTest::keyClick(phonebook(), Qt::Key_Insert, Qt::ControlModifier);
    select(phonebook(), detail(entry(3), NodeRole::Nummer3));
    QTest::keyClick(phonebook(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field(3, Nummer3), QByteArray("0301"));
    QCOMPARE(field(3, Nummernart3), QByteArray("Mobil"));
    // And back: the two numbers have changed places.
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field(3, Nummer1), QByteArray("0303"));
    QCOMPARE(field(3, Nummernart1), encodePc(u"Büro"));
    QCOMPARE(childTexts(entry(3)), (QStringList{"3", "Familie", "0303", "0301"}));
}

void TestEditMenu::shortcutsWaitForTheEditor()
{
    startWindow();
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    // Del belongs to the editor now.
    editor->setCursorPosition(0);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->text(), QStringLiteral("301"));
    QCOMPARE(field(3, Nummer1), QByteArray("0301"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!m_f->window->phonebookPage().treeEditor().editorOpen());
    QCOMPARE(field(3, Nummer1), QByteArray("0301"));
    QCOMPARE(field(3, ChangedFlag), QByteArray("NEIN"));

    // Cancelled: the shortcuts are back.
    phonebook()->setFocus();
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(field(3, Nummer1), QByteArray());
}

void TestEditMenu::editingIsLockedDuringATransfer()
{
    startWindow();
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    editor->setText(QStringLiteral("0399"));
    {
        // A transfer that starts takes the edit into the store first.
        TransferGuard guard(m_f->window->transfers());
        QVERIFY(!m_f->window->phonebookPage().treeEditor().editorOpen());
        QCOMPARE(field(3, Nummer1), QByteArray("0399"));

        select(phonebook(), detail(entry(3), NodeRole::Nummer3));
        QVERIFY(!openMenu(phonebook())->isVisible());
        QTest::keyClick(phonebook(), Qt::Key_Delete);
        QTest::keyClick(phonebook(), Qt::Key_F2);
        QVERIFY(!openEditor());
        m_f->window->phonebookPage().runMenuCommand(MenuItem::PM_Loeschen, phonebook());
        QCOMPARE(field(3, Nummer3), QByteArray("0303"));
    }
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(field(3, Nummer3), QByteArray());
}

void TestEditMenu::clickTogglesAllButTheRoot()
{
    startWindow();
    const auto click = [this](QTreeWidgetItem* node) {
        QTest::mouseClick(phonebook()->viewport(), Qt::LeftButton, {},
                          phonebook()->visualItemRect(node).center());
    };
    QTreeWidgetItem* root = m_f->window->phonebookPage().trees().phonebookRoot();
    click(root);
    QVERIFY(root->isExpanded());
    QVERIFY(!entry(3)->isExpanded());
    click(entry(3));
    QVERIFY(entry(3)->isExpanded());
    click(entry(3));
    QVERIFY(!entry(3)->isExpanded());
}

// Each step gives back the records and the nodes as they were, the
// overwritten First Nine entry included, and the menu names the step.
void TestEditMenu::undoAndRedoPutTheRecordsBack()
{
    startWindow();
    const auto read = std::make_unique<RecordStore>(m_f->window->recordStore());
    QAction* undo = m_f->window->phonebookPage().history().undoAction();
    QAction* redo = m_f->window->phonebookPage().history().redoAction();
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete); // a number goes without a question
    select(phonebook(), entry(3));
    choose(phonebook(), MenuItem::PM_FNV_Position5); // anna goes to 3 in exchange
    QCOMPARE(decodePc(field(505, Name)), QStringLiteral("Zoe"));
    QCOMPARE(decodePc(field(3, Name)), QStringLiteral("anna"));
    const auto edited = std::make_unique<RecordStore>(m_f->window->recordStore());
    QCOMPARE(undo->text(), QStringLiteral("&Rückgängig: Verschieben"));

    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(decodePc(field(505, Name)), QStringLiteral("anna"));
    QCOMPARE(firstNineEntry(5)->text(0), QStringLiteral("anna"));
    QVERIFY(entry(3) && entry(505));
    QCOMPARE(undo->text(), QStringLiteral("&Rückgängig: Löschen"));
    QCOMPARE(redo->text(), QStringLiteral("&Wiederholen: Verschieben"));
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(m_f->window->recordStore() == *read);
    QCOMPARE(childTexts(entry(3)).contains(QStringLiteral("0301")), true);
    QVERIFY(!undo->isEnabled());
    QVERIFY(!m_f->window->hasUnsavedEdits());

    QTest::keyClick(phonebook(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(m_f->window->recordStore() == *edited);
    QCOMPARE(entry(3)->text(0), QStringLiteral("anna"));
    QCOMPARE(firstNineEntry(5)->text(0), QStringLiteral("Zoe"));
}

// Unsaved means: different from what the last read, import, write or export
// left, whatever the way back.
void TestEditMenu::undoLeavesNothingToAsk()
{
    startWindow();
    auto deleteNumber = [this] {
        select(phonebook(), detail(entry(12), NodeRole::Nummer1));
        QTest::keyClick(phonebook(), Qt::Key_Delete);
    };
    deleteNumber();
    QVERIFY(m_f->window->hasUnsavedEdits());
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!m_f->window->hasUnsavedEdits());

    deleteNumber();
    m_f->dialogs.queueFileName(m_f->dir.filePath(QStringLiteral("saved.csv")));
    m_f->window->Btn_DatenspeichernClick();
    QVERIFY(!m_f->window->hasUnsavedEdits());
    QVERIFY(m_f->window->phonebookPage().history().undoAction()->isEnabled()); // an export keeps
                                                                               // the history
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(m_f->window->hasUnsavedEdits()); // the file holds the edit; the store no more

    // A read or an import ends the history.
    m_f->dialogs.queueAnswer(QMessageBox::Yes);
    m_f->dialogs.queueFileName(m_f->dir.filePath(QStringLiteral("saved.csv")));
    m_f->window->Btn_DatenladenClick();
    QVERIFY(!m_f->window->hasUnsavedEdits());
    QVERIFY(!m_f->window->phonebookPage().history().undoAction()->isEnabled() &&
            !m_f->window->phonebookPage().history().redoAction()->isEnabled());
}

// The title's "*" answers the questions before edits are lost; the status
// bar counts the live entries and those flagged changed.
void TestEditMenu::titleAndCountsFollowTheEdits()
{
    startWindow();
    TFrm_Q7_Manager& window = *m_f->window;
    const QString title = QStringLiteral("Vexa Q7 Manager  ** Final Version 1.02 **");
    QLabel* counts = window.statusPanel(2);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(counts->text(), QStringLiteral("4 Einträge, 0 geändert"));

    select(phonebook(), entry(12));
    m_f->dialogs.queueAnswer(QMessageBox::Yes);
    choose(phonebook(), MenuItem::PM_Loeschen);
    QCOMPARE(window.windowTitle(), title + QStringLiteral(" *"));
    QCOMPARE(counts->text(), QStringLiteral("3 Einträge, 1 geändert"));
    select(phonebook(), detail(entry(3), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(counts->text(), QStringLiteral("3 Einträge, 2 geändert"));

    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(counts->text(), QStringLiteral("4 Einträge, 0 geändert"));

    // A store put in place anew counts anew: one entry left.
    RecordStore one;
    putRecord(one, 7, u"Ida", {{Nummernart1, "Mobil"}, {Nummer1, "07"}});
    one.setField(7, ChangedFlag, kChangedYes);
    window.phonebookPage().takeStore(std::move(one));
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(counts->text(), QStringLiteral("1 Eintrag, 1 geändert"));
}

// The in-place editor keeps its own undo: Ctrl+Z there takes back typing,
// and the store's last step stays done.
void TestEditMenu::ctrlZInTheEditorUndoesTyping()
{
    startWindow();
    select(phonebook(), detail(entry(12), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QCOMPARE(m_f->window->phonebookPage().history().stack()->index(), 1);

    select(phonebook(), entry(3));
    QTest::keyClick(phonebook(), Qt::Key_F2);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    editor->end(false);
    QTest::keyClicks(editor, QStringLiteral("xy"));
    QVERIFY(!m_f->window->phonebookPage().history().undoAction()->isEnabled());
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->text(), QStringLiteral("Zoe"));
    QCOMPARE(m_f->window->phonebookPage().history().stack()->index(), 1);
    QCOMPARE(field(12, Nummer1), QByteArray());
    QTest::keyClick(editor, Qt::Key_Escape);

    // Closed, the keys are the tree's again.
    phonebook()->setFocus();
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field(12, Nummer1), QByteArray("0302"));
}

// The undo item names what it will undo, for every kind of edit.
void TestEditMenu::eachStepIsNamed_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("number"); // 0: the entry node
    QTest::addColumn<int>("item");   // a MenuItem
    QTest::addColumn<QString>("step");
    using M = MenuItem;
    QTest::newRow("rename") << 12 << 0 << int(M::PM_Editieren) << "Umbenennen";
    QTest::newRow("number") << 12 << 1 << int(M::PM_Editieren) << "Nummer ändern";
    QTest::newRow("delete") << 12 << 0 << int(M::PM_Loeschen) << "Löschen";
    QTest::newRow("type") << 12 << 1 << int(M::PM_Fax) << "Nummernart ändern";
    QTest::newRow("group") << 12 << 0 << int(M::PM_KeineGruppe) << "Gruppe zuweisen";
    QTest::newRow("to the SIM") << 12 << 0 << int(M::PM_VerschiebenaufSIM) << "Verschieben";
    QTest::newRow("to First Nine") << 12 << 0 << int(M::PM_FNV_Position2) << "Verschieben";
    QTest::newRow("add a number") << 12 << 0 << int(M::PM_HF_Nummer2) << "Nummer hinzufügen";
    QTest::newRow("cut") << 12 << 1 << int(M::PM_Ausschneiden) << "Ausschneiden";
    QTest::newRow("paste") << 12 << 1 << int(M::PM_Einfuegen) << "Einfügen";
    QTest::newRow("paste as") << 12 << 0 << int(M::PM_Einfuegenals_Nummer2) << "Einfügen";
}

void TestEditMenu::eachStepIsNamed()
{
    QFETCH(int, record);
    QFETCH(int, number);
    QFETCH(int, item);
    QFETCH(QString, step);
    startWindow();
    const auto command = static_cast<MenuItem>(item);
    if (command == MenuItem::PM_Einfuegen || command == MenuItem::PM_Einfuegenals_Nummer2) {
        select(phonebook(), detail(entry(3), NodeRole::Nummer1));
        choose(phonebook(), MenuItem::PM_Kopieren);
    }
    QTreeWidgetItem* node = number == 0 ? entry(record) : detail(entry(record), NodeRole::Nummer1);
    m_f->dialogs.queueAnswer(QMessageBox::Yes); // a deletion asks
    select(phonebook(), node);
    choose(phonebook(), command);
    if (QLineEdit* editor = openEditor()) {
        QTest::keyClicks(editor, QStringLiteral("9"));
        QVERIFY(confirm(editor, *m_f->window));
    }
    QVERIFY(m_f->window->hasUnsavedEdits());
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             QStringLiteral("&Rückgängig: ") + step);
    QCOMPARE(m_f->window->phonebookPage().history().stack()->count(), 1);
}

void TestEditMenu::newEntryAndImportAreOneStepEach()
{
    startWindow();
    const auto read = std::make_unique<RecordStore>(m_f->window->recordStore());
    m_f->dialogs.queueDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Edt_Name"))->setText(QStringLiteral("Neu"));
        dialog.findChild<QPushButton*>(QStringLiteral("Btn_Erstellen"))->click();
        return dialog.result();
    });
    m_f->window->Btn_NeuerEintragClick();
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             QStringLiteral("&Rückgängig: Neuer Eintrag"));
    // The new entry is where the user looks next.
    QTreeWidgetItem* created = phonebook()->currentItem();
    QVERIFY(created && created->isSelected());
    QCOMPARE(created->text(0), QStringLiteral("Neu"));
    QCOMPARE(phonebook()->selectedItems().size(), 1);

    // Cards are added, not put in place of the edits: no question on them.
    m_f->dialogs.clearCalls();
    m_f->dialogs.queueFileName(m_f->writeFile("two.vcf",
                                              "BEGIN:VCARD\r\nFN:Eins\r\nTEL:01\r\nEND:VCARD\r\n"
                                              "BEGIN:VCARD\r\nFN:Zwei\r\nTEL:02\r\nEND:VCARD\r\n"));
    m_f->dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
    m_f->window->Btn_DatenladenClick();
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1);
    QCOMPARE(m_f->window->phonebookPage().history().undoAction()->text(),
             QStringLiteral("&Rückgängig: Import"));
    QCOMPARE(childTexts(m_f->window->phonebookPage().trees().phonebookRoot()).size(), 7);

    // Both cards go with one step, the new entry with the next.
    phonebook()->setFocus();
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(childTexts(m_f->window->phonebookPage().trees().phonebookRoot()).size(), 5);
    QTest::keyClick(phonebook(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(m_f->window->recordStore() == *read);
    QCOMPARE(childTexts(m_f->window->phonebookPage().trees().phonebookRoot()).size(), 4);
}

void TestEditMenu::findAsYouType()
{
    startWindow();
    auto* search = m_f->window->findChild<QLineEdit*>(QStringLiteral("Edt_Suchen"));
    QVERIFY(search);
    QCOMPARE(search->placeholderText(), QStringLiteral("Suchen (Strg+F)"));
    auto shown = [this] {
        QList<int> records;
        for (int r : {3, 12, 505, 550})
            if (!entry(r)->isHidden())
                records << r;
        return records;
    };
    QTest::keyClick(m_f->window.get(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), search);
    QTest::keyClicks(search, QStringLiteral("jorg"));
    QCOMPARE(shown(), (QList<int>{12}));
    search->setText(QStringLiteral("05 5"));
    QCOMPARE(shown(), (QList<int>{550})); // 0550, not the 0505 of anna
    QCOMPARE(m_f->window->phonebookPage().trees().firstNineRoot()->childCount(),
             1); // First Nine is not filtered

    // An entry the user edits out of the search stays in sight.
    select(phonebook(), detail(entry(550), NodeRole::Nummer1));
    QTest::keyClick(phonebook(), Qt::Key_Delete);
    QVERIFY(!entry(550)->isHidden());
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Escape);
    QCOMPARE(search->text(), QString());
    QCOMPARE(shown(), (QList<int>{3, 12, 505, 550}));

    // A read keeps the search.
    search->setText(QStringLiteral("zoe"));
    m_f->window->phonebookPage().takeStore(RecordStore(m_f->window->recordStore()));
    QCOMPARE(shown(), (QList<int>{3}));
}

void TestEditMenu::searchKeysMoveIntoTheResults_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selected"); // 0: the cursor stays in the search field

    // "030" finds Zoe and Jörg; Jörg comes first, anna is hidden.
    QTest::newRow("Return") << QStringLiteral("030") << int(Qt::Key_Return) << 12;
    QTest::newRow("Enter") << QStringLiteral("030") << int(Qt::Key_Enter) << 12;
    QTest::newRow("Down") << QStringLiteral("030") << int(Qt::Key_Down) << 12;
    QTest::newRow("no search text") << QString() << int(Qt::Key_Down) << 505;
    QTest::newRow("nothing found") << QStringLiteral("xyz") << int(Qt::Key_Return) << 0;
}

void TestEditMenu::searchKeysMoveIntoTheResults()
{
    QFETCH(QString, search);
    QFETCH(int, key);
    QFETCH(int, selected);
    startWindow();
    auto* field = m_f->window->findChild<QLineEdit*>(QStringLiteral("Edt_Suchen"));
    select(phonebook(), entry(550));
    QTest::keyClick(m_f->window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(field, search);
    QTest::keyClick(field, Qt::Key(key));
    if (selected == 0) {
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(phonebook()->currentItem(), entry(550));
    } else {
        QCOMPARE(QApplication::focusWidget(), phonebook());
        QCOMPARE(phonebook()->currentItem(), entry(selected));
        QVERIFY(entry(selected)->isSelected());
    }
}

// Shift+F10 opens the menu as the menu key does, on the selected node.
void TestEditMenu::shiftF10OpensTheMenu()
{
    startWindow();
    select(firstNine(), firstNineEntry(5));
    QTest::keyClick(firstNine(), Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = m_f->window->phonebookPage().phonebookMenu().menu();
    QVERIFY(menu->isVisible());
    QVERIFY(action(MenuItem::PM_Editieren)->isVisible());
    // The menu's command tree is the one it opened in.
    menu->hide();
    m_f->dialogs.queueAnswer(QMessageBox::Yes);
    action(MenuItem::PM_Loeschen)->trigger();
    QVERIFY(!m_f->window->recordStore().isLive(505));
}

void TestEditMenu::windowGrowsWithTheTree()
{
    startWindow();
    const QRect tree = phonebook()->geometry();
    const QRect button =
        m_f->window->findChild<QWidget*>(QStringLiteral("Btn_DatenLesen"))->geometry();
    m_f->window->resize(m_f->window->width() + 200, m_f->window->height() + 100);
    QTRY_COMPARE(phonebook()->geometry(), tree.adjusted(0, 0, 200, 100));
    QCOMPARE(m_f->window->findChild<QWidget*>(QStringLiteral("Btn_DatenLesen"))->geometry(),
             button);
}

void TestEditMenu::questionsBeforeUnsavedEditsAreLost_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("exported");
    QTest::addColumn<int>("answer");
    QTest::newRow("no edit, no question") << false << false << int(QMessageBox::NoButton);
    QTest::newRow("an edit, No keeps everything") << true << false << int(QMessageBox::No);
    QTest::newRow("an edit, Yes goes on") << true << false << int(QMessageBox::Yes);
    QTest::newRow("an edit exported, no question") << true << true << int(QMessageBox::NoButton);
}

void TestEditMenu::questionsBeforeUnsavedEditsAreLost()
{
    QFETCH(bool, edited);
    QFETCH(bool, exported);
    QFETCH(int, answer);
    startWindow();
    if (edited) {
        select(phonebook(), detail(entry(3), NodeRole::Nummer1));
        QTest::keyClick(phonebook(), Qt::Key_Delete);
    }
    if (exported) {
        m_f->dialogs.queueFileName(m_f->dir.filePath(QStringLiteral("saved.csv")));
        m_f->window->Btn_DatenspeichernClick();
    }
    const bool asks = answer != QMessageBox::NoButton;
    const auto store = std::make_unique<RecordStore>(m_f->window->recordStore());
    const QStringList shown = childTexts(m_f->window->phonebookPage().trees().phonebookRoot());
    m_f->dialogs.clearCalls();

    // Loading a CSV file replaces the store: asked once the file is chosen
    // (cards of a vCard are added, which replaces nothing).
    if (asks)
        m_f->dialogs.queueAnswer(QMessageBox::StandardButton(answer));
    const QString file =
        m_f->writeFile("other.csv", "7,\"Sieben\",\"\",\"TELNO\",\"Mobil\",\"07\","
                                    "\"TELNO\",\"\",\"\",\"TELNO\",\"\",\"\","
                                    "\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n");
    m_f->dialogs.queueFileName(file);
    m_f->window->Btn_DatenladenClick();
    const auto questions = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(questions.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(questions[0].icon, QMessageBox::Question);
        QCOMPARE(questions[0].text,
                 QStringLiteral("Es gibt Änderungen, die weder ins Handy geschrieben noch in einer "
                                "Datei gespeichert wurden. Trotzdem ersetzen?"));
    }
    const bool loaded = answer != QMessageBox::No;
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::OpenFile).size(), 1);
    if (!loaded) {
        QVERIFY(m_f->window->recordStore() == *store);
        QCOMPARE(childTexts(m_f->window->phonebookPage().trees().phonebookRoot()), shown);
        QVERIFY(m_f->window->hasUnsavedEdits());
    } else {
        QCOMPARE(field(7, Name), QByteArray("Sieben"));
        QVERIFY(!m_f->window->hasUnsavedEdits());
    }

    // Closing after an edit asks too.
    if (!loaded) {
        m_f->dialogs.clearCalls();
        m_f->dialogs.queueAnswer(QMessageBox::No);
        QVERIFY(!m_f->window->close());
        QVERIFY(m_f->window->isVisible());
        QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1);
        QCOMPARE(m_f->dialogs.calls().front().text,
                 QStringLiteral("Es gibt Änderungen, die weder ins Handy geschrieben noch in einer "
                                "Datei gespeichert wurden. Trotzdem beenden?"));
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
    }
    m_f->dialogs.clearCalls();
    QVERIFY(m_f->window->close());
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), loaded ? 0 : 1);
}

QTEST_MAIN(TestEditMenu)
#include "tst_editmenu.moc"
