// SPDX-License-Identifier: GPL-3.0-or-later
// The new entry dialog as the user meets it, and the entry it leaves in the
// store and the phonebook tree through the window's "&Neuer Eintrag".

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "base/PcText.h"
#include "editing/ui/NeuerEintragDialog.h"
#include "link/ComPort.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace q7;

namespace {

template <class T> T* control(QWidget& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QToolButton* typeButton(QDialog& dialog, int k)
{
    return control<QToolButton>(dialog, QStringLiteral("BitBtn_Nummer%1").arg(k));
}

QLineEdit* numberEdit(QDialog& dialog, int k)
{
    return control<QLineEdit>(dialog, QStringLiteral("Edt_Nummer%1").arg(k));
}

// Chooses a type for row k as the user does: a right click on the row's
// glyph button opens the menu, a click on the item picks it.
void chooseType(QDialog& dialog, int k, const char* item)
{
    QToolButton* button = typeButton(dialog, k);
    QTest::mouseClick(button, Qt::RightButton);
    auto* menu = control<QMenu>(dialog, QStringLiteral("PU_Symbol"));
    QVERIFY(menu->isVisible());
    QAction* action = menu->findChild<QAction*>(QLatin1String(item));
    if (!action)
        action = dialog.findChild<QAction*>(QLatin1String(item));
    QVERIFY(action);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    QVERIFY(!menu->isVisible());
}

QStringList entryNames(PhonebookTrees& trees)
{
    QStringList names;
    for (int i = 0; i < trees.phonebookRoot()->childCount(); ++i)
        names << trees.phonebookRoot()->child(i)->text(0);
    return names;
}

} // namespace

class TestNewEntryDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void tabOrder();
    void typeMenu();
    void erstellenNeedsAName_data();
    void erstellenNeedsAName();
    void closingWithoutErstellenCreatesNothing_data();
    void closingWithoutErstellenCreatesNothing();
    void createsTheTypedEntry_data();
    void createsTheTypedEntry();
    void untouchedRowStoresTheWordTelefon();
    void newEntryTakesItsPlaceInTheTree();
    void fullRangeKeepsTheDialogOpen();
    void createdEntriesReachTheHandset();
    void bottomRowCutsNoCaption_data();
    void bottomRowCutsNoCaption();
    void enterCreates();
    void fieldsTakeWhatTheStoreKeeps_data();
    void fieldsTakeWhatTheStoreKeeps();
    void messageLineKeepsWhatAFieldStillSays();

private:
    std::unique_ptr<TFrm_Q7_Manager> makeWindow(const QByteArray& languageFile = {});
    // Opens the dialog through the window's button; `script` gets it shown.
    void runDialog(TFrm_Q7_Manager& window, std::function<void(TFrm_NeuerEintrag&)> script);

    std::unique_ptr<WindowFixture> m_f;
};

void TestNewEntryDialog::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestNewEntryDialog::init()
{
    m_f = std::make_unique<WindowFixture>();
}

void TestNewEntryDialog::cleanup()
{
    m_f.reset();
}

std::unique_ptr<TFrm_Q7_Manager> TestNewEntryDialog::makeWindow(const QByteArray& languageFile)
{
    const QString path = m_f->filePath(QStringLiteral("q7manager.ini"));
    if (!languageFile.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(languageFile) != languageFile.size())
            qFatal("cannot write the language file");
    }
    auto window = std::make_unique<TFrm_Q7_Manager>(path);
    window->comPort().setDeviceOverride(m_f->filePath(QStringLiteral("no-such-tty")));
    return window;
}

void TestNewEntryDialog::runDialog(TFrm_Q7_Manager& window,
                                   std::function<void(TFrm_NeuerEintrag&)> script)
{
    m_f->dialogs.queueDialog([script](QDialog& dialog) {
        auto& neuerEintrag = dynamic_cast<TFrm_NeuerEintrag&>(dialog);
        dialog.show();
        dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&dialog))
            qWarning("the dialog did not become active");
        script(neuerEintrag);
        return dialog.result();
    });
    control<QPushButton>(window, QStringLiteral("Btn_NeuerEintrag"))->click();
    QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Dialog).size(), 1);
}

void TestNewEntryDialog::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");

    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(8, 0, -1, 177) << "";
    QTest::newRow("Label_name") << "Label_name" << QRect(8, 8, 193, 14) << "Name";
    QTest::newRow("Edt_Name") << "Edt_Name" << QRect(8, 24, 193, 21) << "";
    QTest::newRow("Label_gruppe") << "Label_gruppe" << QRect(208, 8, 137, 14) << "Gruppe";
    QTest::newRow("CB_Gruppe") << "CB_Gruppe" << QRect(208, 24, 137, 21) << "";
    for (int k = 1; k <= 3; ++k) {
        const int top = 64 + 40 * (k - 1);
        QTest::addRow("Label_Nummer%d", k)
            << QStringLiteral("Label_Nummer%1").arg(k) << QRect(40, top - 16, 177, 14)
            << QStringLiteral("Nummer %1").arg(k);
        QTest::addRow("BitBtn_Nummer%d", k)
            << QStringLiteral("BitBtn_Nummer%1").arg(k) << QRect(32, top, 22, 22) << "";
        QTest::addRow("Edt_Nummer%d", k)
            << QStringLiteral("Edt_Nummer%1").arg(k) << QRect(56, top, 161, 21) << "";
    }
    // The bottom row takes the width its captions need in the font at hand
    // (bottomRowCutsNoCaption); only the top and height are fixed.
    QTest::newRow("RB_SIM") << "RB_SIM" << QRect(8, 184, -1, 21) << "Auf die Sim-Karte";
    QTest::newRow("RB_Mem") << "RB_Mem" << QRect(-1, 184, -1, 21) << "In den Handyspeicher";
    QTest::newRow("Btn_Erstellen") << "Btn_Erstellen" << QRect(-1, 184, -1, 25) << "&Erstellen";
    QTest::newRow("Btn_Abbruch") << "Btn_Abbruch" << QRect(-1, 184, -1, 25) << "&Abbruch";
}

void TestNewEntryDialog::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);

    auto window = makeWindow();
    window->groupList().add("Familie");
    // With or without a handset.
    QVERIFY(control<QPushButton>(*window, QStringLiteral("Btn_NeuerEintrag"))->isEnabled());
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Neuen Eintrag erstellen"));
        QVERIFY(dialog.width() >= 364);
        QCOMPARE(dialog.height(), 211);
        QVERIFY(dialog.windowFlags() & Qt::Tool);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));

        auto* widget = control<QWidget>(dialog, name);
        if (geometry.left() >= 0)
            QCOMPARE(widget->x(), geometry.left());
        QCOMPARE(widget->y(), geometry.top());
        QCOMPARE(widget->height(), geometry.height());
        if (geometry.width() > 0)
            QCOMPARE(widget->width(), geometry.width());
        else
            QVERIFY(widget->width() >= 51);
        if (name == u"GroupBox1")
            QCOMPARE(widget->width(), dialog.width() - 11);
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), caption);
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !caption.isEmpty())
            QCOMPARE(button->text(), caption);

        // The state a new entry starts from.
        QVERIFY(control<QRadioButton>(dialog, QStringLiteral("RB_SIM"))->isChecked());
        auto* groups = control<QComboBox>(dialog, QStringLiteral("CB_Gruppe"));
        QVERIFY(!groups->isEditable());
        QCOMPARE(groups->currentIndex(), -1);
        QCOMPARE(groups->count(), 2);
        QCOMPARE(groups->itemText(0), QStringLiteral("Familie"));
        QCOMPARE(groups->itemText(1), QStringLiteral("Keine"));
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(typeButton(dialog, k)->toolTip(), QStringLiteral("Telefon"));
            QVERIFY(!typeButton(dialog, k)->icon().isNull());
        }
        QVERIFY(dialog.cancelled());
    });
}

void TestNewEntryDialog::tabOrder()
{
    auto window = makeWindow();
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        const QStringList expected = {"Edt_Name",       "CB_Gruppe",      "BitBtn_Nummer1",
                                      "Edt_Nummer1",    "BitBtn_Nummer2", "Edt_Nummer2",
                                      "BitBtn_Nummer3", "Edt_Nummer3",    "RB_SIM",
                                      "RB_Mem",         "Btn_Erstellen",  "Btn_Abbruch"};
        QWidget* widget = control<QWidget>(dialog, expected.first());
        QStringList order{widget->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus));
            order << widget->objectName();
        }
        QCOMPARE(order, expected);
    });
}

void TestNewEntryDialog::typeMenu()
{
    // The captions follow the number type names; the shortcut column is the
    // German one whatever the language.
    auto window = makeWindow("[Nummernart]\r\nMobil=Handy mobil\r\n");
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        QMenu* menu = dialog.typeMenu();
        const QStringList captions = {"Telefon",          "Heim",  "Büro", "Handy mobil", "Fax",
                                      "Funkrufempfänger", "Etc..."};
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(items[i]->text(), captions[i]);
            QCOMPARE(items[i]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
            // What the menu shows beside it: the window speaks German.
            QCOMPARE(items[i]->shortcut().toString(QKeySequence::NativeText),
                     QStringLiteral("Strg+%1").arg(i + 1));
        }

        // The menu acts on the button it was opened for.
        chooseType(dialog, 2, "PM_Mobil");
        QCOMPARE(typeButton(dialog, 2)->toolTip(), QStringLiteral("Handy mobil"));
        QCOMPARE(typeButton(dialog, 1)->toolTip(), QStringLiteral("Telefon"));
        QCOMPARE(typeButton(dialog, 3)->toolTip(), QStringLiteral("Telefon"));
        // A left click opens the menu too, below the button, for its row.
        QTest::mouseClick(typeButton(dialog, 3), Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(dialog.currentTypeButton(), typeButton(dialog, 3));
        QVERIFY(menu->geometry().top() >= typeButton(dialog, 3)->mapToGlobal(QPoint(0, 0)).y());
        menu->hide();
        // So do Space and Enter on the focused button.
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            typeButton(dialog, 1)->setFocus();
            QTest::keyClick(typeButton(dialog, 1), key);
            QTRY_VERIFY2(menu->isVisible(), qPrintable(QKeySequence(key).toString()));
            QCOMPARE(dialog.currentTypeButton(), typeButton(dialog, 1));
            menu->hide();
        }

        // The keyboard: Ctrl+3 in the first number field sets that row's type.
        numberEdit(dialog, 1)->setFocus();
        QTest::keyClick(numberEdit(dialog, 1), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(typeButton(dialog, 1)->toolTip(), QStringLiteral("Büro"));
        QCOMPARE(typeButton(dialog, 3)->toolTip(), QStringLiteral("Telefon"));
    });
}

void TestNewEntryDialog::erstellenNeedsAName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("a name") << " Anna" << true;
}

void TestNewEntryDialog::erstellenNeedsAName()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    auto window = makeWindow();
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        auto* erstellen = control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"));
        QVERIFY(!erstellen->isEnabled());
        QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("Edt_Name")), name);
        QCOMPARE(erstellen->isEnabled(), enabled);
    });
}

void TestNewEntryDialog::closingWithoutErstellenCreatesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Abbruch") << "Abbruch";
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("window closed") << "close";
}

void TestNewEntryDialog::closingWithoutErstellenCreatesNothing()
{
    QFETCH(QString, how);
    auto window = makeWindow();
    const auto before = std::make_unique<RecordStore>(window->recordStore());
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("Edt_Name")), "Anna");
        QTest::keyClicks(numberEdit(dialog, 1), "0301234");
        if (how == "Abbruch")
            control<QPushButton>(dialog, QStringLiteral("Btn_Abbruch"))->click();
        else if (how == "Escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QVERIFY(dialog.cancelled());
    });
    QVERIFY(window->recordStore() == *before);
    QCOMPARE(window->phonebookPage().trees().phonebookRoot()->childCount(), 0);
    QVERIFY(!window->hasUnsavedEdits());
}

void TestNewEntryDialog::createsTheTypedEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("groupIndex"); // -1: none chosen
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("row2Type"); // an item of PU_Symbol; empty: untouched
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QList<QByteArray>>("typesAndNumbers"); // fields 5, 6, 8, 9, 11, 12

    QTest::newRow("a name only: no types although the buttons show Telefon")
        << "Anna" << -1 << QStringList{"", "", ""} << "" << QByteArray()
        << QList<QByteArray>{"", "", "", "", "", ""};
    QTest::newRow("row 2 as Mobil: fields 8 and 9 only")
        << "Bernd" << -1 << QStringList{"", "0171 22", ""} << "PM_Mobil" << QByteArray()
        << QList<QByteArray>{"", "", "Mobil", "017122", "", ""};
    QTest::newRow("a group from the list")
        << "Carla" << 0 << QStringList{"1", "", "3"} << "" << QByteArray("Familie")
        << QList<QByteArray>{"Telefon", "1", "", "", "Telefon", "3"};
    QTest::newRow("the no-group item: no group")
        << "Dora" << 1 << QStringList{"", "", ""} << "" << QByteArray()
        << QList<QByteArray>{"", "", "", "", "", ""};
    QTest::newRow("umlauts in the PC character set")
        << "Jörg Müller" << -1 << QStringList{"", "", ""} << "" << QByteArray()
        << QList<QByteArray>{"", "", "", "", "", ""};
}

void TestNewEntryDialog::createsTheTypedEntry()
{
    QFETCH(QString, name);
    QFETCH(int, groupIndex);
    QFETCH(QStringList, numbers);
    QFETCH(QString, row2Type);
    QFETCH(QByteArray, group);
    QFETCH(QList<QByteArray>, typesAndNumbers);

    auto window = makeWindow();
    window->groupList().add("Familie");
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        // Typed as a whole: QTest types only ASCII key by key.
        control<QLineEdit>(dialog, QStringLiteral("Edt_Name"))->insert(name);
        control<QComboBox>(dialog, QStringLiteral("CB_Gruppe"))->setCurrentIndex(groupIndex);
        for (int k = 1; k <= 3; ++k)
            QTest::keyClicks(numberEdit(dialog, k), numbers[k - 1]);
        if (!row2Type.isEmpty())
            chooseType(dialog, 2, qPrintable(row2Type));
        control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();
        QVERIFY(!dialog.isVisible());
    });

    const RecordStore& store = window->recordStore();
    QCOMPARE(store.field(510, Name), encodePc(name));
    QCOMPARE(store.field(510, Speicherplatz), QByteArray("510"));
    QCOMPARE(store.field(510, Gruppe), group);
    const int fields[] = {Nummernart1, Nummer1, Nummernart2, Nummer2, Nummernart3, Nummer3};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(store.field(510, fields[i]), typesAndNumbers[i]);
    QCOMPARE(store.field(510, ChangedFlag), QByteArray("JA"));
    QVERIFY(window->hasUnsavedEdits());
    QCOMPARE(window->phonebookPage().trees().phonebookNode(510)->text(0), name);
}

void TestNewEntryDialog::untouchedRowStoresTheWordTelefon()
{
    auto window = makeWindow("[NummernArt]\r\nTelefon=Phone\r\n");
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("Edt_Name")), "Anna");
        QTest::keyClicks(numberEdit(dialog, 1), "1");
        QTest::keyClicks(numberEdit(dialog, 2), "2");
        chooseType(dialog, 2, "PM_Telefon");
        control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();
    });
    QCOMPARE(window->recordStore().field(510, Nummernart1), QByteArray("Telefon"));
    QCOMPARE(window->recordStore().field(510, Nummernart2), QByteArray("Phone"));
}

void TestNewEntryDialog::newEntryTakesItsPlaceInTheTree()
{
    auto window = makeWindow();
    RecordStore& store = window->recordStore();
    for (const auto& [r, name] : {std::pair{1, "Zora"}, std::pair{510, "Bernd"}}) {
        store.setField(r, Speicherplatz, QByteArray::number(r));
        store.setField(r, Name, name);
    }
    window->phonebookPage().rebuildTrees();

    const auto create = [&](const QString& name, bool memory) {
        runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
            QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("Edt_Name")), name);
            if (memory)
                control<QRadioButton>(dialog, QStringLiteral("RB_Mem"))->click();
            control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();
        });
        m_f->dialogs.clearCalls();
    };
    create(QStringLiteral("Anna"), true);
    create(QStringLiteral("Carl"), false);

    PhonebookTrees& trees = window->phonebookPage().trees();
    QCOMPARE(entryNames(trees), (QStringList{"Anna", "Bernd", "Carl", "Zora"}));
    QCOMPARE(PhonebookTrees::mainImage(trees.phonebookNode(2)), 3);   // handset memory
    QCOMPARE(PhonebookTrees::mainImage(trees.phonebookNode(511)), 2); // SIM card
    QCOMPARE(trees.phonebookNode(2)->text(0), QStringLiteral("Anna"));
    // The First Nine tree and the group list are not touched.
    QCOMPARE(trees.firstNineRoot()->childCount(), 0);
}

void TestNewEntryDialog::fullRangeKeepsTheDialogOpen()
{
    auto window = makeWindow();
    RecordStore& store = window->recordStore();
    for (int r = 1; r <= kLastMemoryRecord; ++r)
        store.setField(r, Name, "M" + QByteArray::number(r));
    const auto before = std::make_unique<RecordStore>(store);

    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        QTest::keyClicks(control<QLineEdit>(dialog, QStringLiteral("Edt_Name")), "Anna");
        control<QRadioButton>(dialog, QStringLiteral("RB_Mem"))->click();
        control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();

        const auto messages = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("Kein freier Speicherplatz im Handyspeicher."));
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.cancelled());
        QVERIFY(window->recordStore() == *before);

        // What was typed is still there for the other range.
        control<QRadioButton>(dialog, QStringLiteral("RB_SIM"))->click();
        control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();
        QVERIFY(!dialog.isVisible());
    });
    QCOMPARE(store.field(510, Name), QByteArray("Anna"));
}

void TestNewEntryDialog::createdEntriesReachTheHandset()
{
    m_f->startOnSim();
    QVERIFY(m_f->handsetFound());
    TFrm_Q7_Manager* window = m_f->window.get();
    q7sim::SimHandset& sim = m_f->sim;

    const auto create = [&](const QString& name, const QString& number, bool memory) {
        runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
            control<QLineEdit>(dialog, QStringLiteral("Edt_Name"))->insert(name);
            numberEdit(dialog, 1)->insert(number);
            if (memory)
                control<QRadioButton>(dialog, QStringLiteral("RB_Mem"))->click();
            control<QPushButton>(dialog, QStringLiteral("Btn_Erstellen"))->click();
        });
        m_f->dialogs.clearCalls();
    };
    create(QStringLiteral("Jörg"), QStringLiteral("0301"), true);
    create(QStringLiteral("Carla"), QStringLiteral("0302"), false);
    window->Btn_DatenschreibenClick();
    QVERIFY(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).isEmpty());

    // SIM position 10 is record 510; the memory entry takes the handset's
    // first free location.
    QCOMPARE(sim.entry(510).value(1), QByteArray("Carla"));
    QCOMPARE(sim.entry(510).value(5), QByteArray("0302"));
    QCOMPARE(sim.entry(1).value(1), QByteArray("J|rg"));
    QCOMPARE(sim.entry(1).value(4), QByteArray("Telefon"));

    window->Btn_DatenLesenClick();
    const RecordStore& store = window->recordStore();
    QCOMPARE(store.field(1, Name), encodePc(u"Jörg"));
    QCOMPARE(store.field(510, Name), QByteArray("Carla"));
    QCOMPARE(store.field(510, ChangedFlag), QByteArray("NEIN"));
    QCOMPARE(entryNames(window->phonebookPage().trees()), (QStringList{"Carla", "Jörg"}));
    window->close();
}

void TestNewEntryDialog::bottomRowCutsNoCaption_data()
{
    QTest::addColumn<QByteArray>("languageFile");
    QTest::newRow("German") << QByteArray();
    QTest::newRow("longer captions")
        << QByteArray("[Neuereintrag]\r\nRB_SIM=Onto the SIM card of the handset\r\n"
                      "RB_MEM=Into the memory of the handset\r\nBtn_Erstellen=&Create it now\r\n");
}

// Each caption of the bottom row has the room it needs, and no neighbour
// covers it.
void TestNewEntryDialog::bottomRowCutsNoCaption()
{
    QFETCH(QByteArray, languageFile);
    auto window = makeWindow(languageFile);
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        const QStringList names = {"RB_SIM", "RB_Mem", "Btn_Erstellen", "Btn_Abbruch"};
        int right = 0;
        for (const QString& name : names) {
            auto* button = control<QAbstractButton>(dialog, name);
            const int needed =
                qobject_cast<QRadioButton*>(button)
                    ? button->sizeHint().width()
                    : button->fontMetrics().horizontalAdvance(button->text().remove(u'&')) + 8;
            QVERIFY2(button->width() >= needed, qPrintable(name));
            QVERIFY2(button->x() >= right, qPrintable(name));
            right = button->geometry().right() + 1;
        }
        QVERIFY(right <= dialog.width());
        QVERIFY(control<QGroupBox>(dialog, QStringLiteral("GroupBox1"))->geometry().right() <
                dialog.width());
    });
}

void TestNewEntryDialog::enterCreates()
{
    auto window = makeWindow();
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        auto* name = control<QLineEdit>(dialog, QStringLiteral("Edt_Name"));
        // Without a name Enter does nothing.
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QTest::keyClicks(name, "Anna");
        QTest::keyClicks(numberEdit(dialog, 1), "0301");
        QTest::keyClick(numberEdit(dialog, 1), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.cancelled());
    });
    QCOMPARE(window->recordStore().field(510, Name), QByteArray("Anna"));
    QCOMPARE(window->recordStore().field(510, Nummer1), QByteArray("0301"));
}

void TestNewEntryDialog::fieldsTakeWhatTheStoreKeeps_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("keyByKey"); // else pasted as a whole
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message"); // what the dialog's line must contain
    const QString name = QStringLiteral("Edt_Name");
    const QString number = QStringLiteral("Edt_Nummer1");
    QTest::newRow("a name of 41 characters keeps 30")
        << name << u"Björn Weiß Langername01234567890123456789"_qs << false
        << u"Björn Weiß Langername012345678"_qs << "";
    QTest::newRow("a character the PC set lacks is named")
        << name << u"Łukasz"_qs << false << u"Łukasz"_qs << u"Ł"_qs;
    QTest::newRow("an emoji is one character and one '?'")
        << name << u"Oma \U0001F600"_qs << false << u"Oma \U0001F600"_qs << u"\U0001F600"_qs;
    QTest::newRow("a number as it is") << number << "+491715556677" << true << "+491715556677"
                                       << "";
    QTest::newRow("separators typed leave") << number << "0171-555 66 77" << true << "01715556677"
                                            << "";
    QTest::newRow("separators pasted leave")
        << number << "+49 (0)171 / 555.66" << false << "+4917155566"
        << "";
    QTest::newRow("pause characters and star stay")
        << number << "*31#0171p12w3" << true << "*31#0171p12w3"
        << "";
    QTest::newRow("letters typed are refused, each named") << number << "0151abc" << true << "0151"
                                                           << "„c“";
    QTest::newRow("a paste with letters is refused whole") << number << "0151abc555" << false << ""
                                                           << "„abc“";
    QTest::newRow("a plus after a digit is refused") << number << "0171+" << true << "0171"
                                                     << "„+“";
    QTest::newRow("a number of 41 digits keeps 30")
        << number << "01234567890123456789012345678901234567890" << true
        << "012345678901234567890123456789"
        << "";
}

void TestNewEntryDialog::fieldsTakeWhatTheStoreKeeps()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, keyByKey);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    auto window = makeWindow();
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        auto* edit = control<QLineEdit>(dialog, field);
        edit->setFocus();
        if (keyByKey)
            QTest::keyClicks(edit, typed);
        else
            edit->insert(typed);
        QCOMPARE(edit->text(), shown);
        // The message stands in a line of the dialog beside the fields, never
        // in a tooltip that would lie over the next field and take its click.
        const auto* line = control<QLabel>(dialog, u"Lbl_Hinweis"_qs);
        if (message.isEmpty())
            QCOMPARE(line->text(), QString());
        else
            QVERIFY2(line->text().contains(message), qPrintable(line->text()));
        QCOMPARE(edit->toolTip(), QString());
        for (const QWidget* other : line->parentWidget()->findChildren<QWidget*>())
            if (other != line && other->parentWidget() == line->parentWidget())
                QVERIFY2(!other->geometry().intersects(line->geometry()),
                         qPrintable(other->objectName()));
        // What is shown is what the entry stores.
        if (field == u"Edt_Name")
            QCOMPARE(decodePc(dialog.entry().name),
                     QString(shown).replace(u'Ł', u'?').replace(u"\U0001F600"_qs, u"?"_qs));
        else
            QCOMPARE(dialog.entry().numbers[0], shown.toLatin1());
    });
}

void TestNewEntryDialog::messageLineKeepsWhatAFieldStillSays()
{
    auto window = makeWindow();
    runDialog(*window, [&](TFrm_NeuerEintrag& dialog) {
        const auto* line = control<QLabel>(dialog, u"Lbl_Hinweis"_qs);
        auto* name = control<QLineEdit>(dialog, u"Edt_Name"_qs);
        name->setFocus();
        name->insert(u"Łukasz"_qs);
        QVERIFY(line->text().contains(u"„?“ gespeichert: Ł"_qs));
        // A refused letter in a number takes the line; a digit after it
        // gives the line back to what the name still says.
        QLineEdit* number = numberEdit(dialog, 1);
        number->setFocus();
        QTest::keyClicks(number, u"0x"_qs);
        QVERIFY(line->text().contains(u"„x“"_qs));
        QTest::keyClicks(number, u"1"_qs);
        QVERIFY(line->text().contains(u"gespeichert: Ł"_qs));
        name->clear();
        QTest::keyClicks(name, u"Lukas"_qs);
        QCOMPARE(line->text(), QString());
    });
}

QTEST_MAIN(TestNewEntryDialog)
#include "tst_newentrydialog.moc"
