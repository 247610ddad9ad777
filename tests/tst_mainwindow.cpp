// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the user meets it: its layout and captions, the texts
// of the language file, the options page and its port lists, the colour
// pickers, the error box and the transfer guard.

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/StatusPanel.h"
#include "app/frame/MainWindow.h"
#include "app/options/ComComboBox.h"
#include "app/transfers/TransferGuard.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <stdexcept>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

bool isQtsOwn(const QWidget* widget)
{
    return widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"_s);
}

// Every control the window places: each has the name its handlers and the
// language file know it by. Qt's own parts of a control have none or one of
// Qt's, and so do their parts, except the pages a tab widget holds.
QList<QWidget*> placedControls(QWidget* window)
{
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QWidget* parent = widget->parentWidget();
        if (!widget->isWindow() && !isQtsOwn(widget) &&
            (parent == window || !isQtsOwn(parent) || qobject_cast<const QStackedWidget*>(parent)))
            controls << widget;
    }
    return controls;
}

// Whether the widget shows when its page does: no part of the way up to
// the window is hidden, but for the page a tab widget does not show now.
bool shownWithItsPage(const QWidget* widget)
{
    for (; widget && !widget->isWindow(); widget = widget->parentWidget())
        if (widget->isHidden() && !qobject_cast<const QStackedWidget*>(widget->parentWidget()))
            return false;
    return true;
}

// Controls drawn side by side may share the line between them; more than
// that, one hides part of the other.
bool overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.width() > 1 && common.height() > 1;
}

QSize textSize(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().size(Qt::TextShowMnemonic, text);
}

// The caption of a control when it does not fit into the room the control
// gives it, else nothing.
QString cutCaption(QWidget* widget)
{
    QStyle* style = widget->style();
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize needed = textSize(button, button->text());
        return needed.width() > room.width() || needed.height() > room.height() ? button->text()
                                                                                : QString();
    }
    // A check box or a radio button: the text right of its indicator.
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
        auto* box = static_cast<QAbstractButton*>(widget);
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect room =
            style->subElementRect(qobject_cast<QCheckBox*>(box) ? QStyle::SE_CheckBoxContents
                                                                : QStyle::SE_RadioButtonContents,
                                  &option, box);
        return textSize(box, box->text()).width() > room.width() ? box->text() : QString();
    }
    if (auto* panel = qobject_cast<StatusPanel*>(widget))
        return panel->isElided() ? panel->text() : QString();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty())
            return {};
        const QRect room = label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
        bool fits = false;
        if (label->wordWrap())
            fits = label->heightForWidth(label->width()) <= label->height();
        else if (Qt::mightBeRichText(label->text()) || label->textFormat() == Qt::RichText)
            fits = label->sizeHint().width() <= label->width();
        else
            fits = label->fontMetrics().size(0, label->text()).width() <= room.width() &&
                   label->fontMetrics().size(0, label->text()).height() <= room.height();
        return fits ? QString() : label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->minimumSizeHint().width() > group->width() ? group->title() : QString();
    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth = field->hasFrame() ? 1 : 0;
        const QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, field);
        return field->fontMetrics().horizontalAdvance(field->placeholderText()) > room.width()
                   ? field->placeholderText()
                   : QString();
    }
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        const QRect room =
            style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        for (int i = 0; i < list->count(); ++i)
            if (list->fontMetrics().horizontalAdvance(list->itemText(i)) > room.width())
                return list->itemText(i);
    }
    return {};
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowFrame();
    void layoutHolds_data();
    void layoutHolds();
    void stateAtStart();
    void statusPanelsNeverCutAText_data();
    void statusPanelsNeverCutAText();
    void treesLook_data();
    void treesLook();
    void languageFileReplacesTexts();

    void optionsPageShowsPortValues_data();
    void optionsPageShowsPortValues();
    void choosingAnEntrySetsThePort_data();
    void choosingAnEntrySetsThePort();

    void colourPicker_data();
    void colourPicker();

    void errorBox_data();
    void errorBox();
    void lostLinkAsksRetryOrCancel_data();
    void lostLinkAsksRetryOrCancel();

    void transferGuardLocksAndRestores();
    void handsetFoundDuringTransferOutlivesTheGuard();

    void fileDialogFilter_data();
    void fileDialogFilter();

private:
    std::unique_ptr<TFrm_Q7_Manager> makeWindow(const QString& languageFile = {});
    template <class T> T* control(TFrm_Q7_Manager& window, const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
};

void TestMainWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_override = std::make_unique<DialogsOverride>(*m_dialogs);
}

void TestMainWindow::cleanup()
{
    m_override.reset();
    m_dialogs.reset();
    m_dir.reset();
}

std::unique_ptr<TFrm_Q7_Manager> TestMainWindow::makeWindow(const QString& languageFile)
{
    auto window = std::make_unique<TFrm_Q7_Manager>(
        languageFile.isEmpty() ? m_dir->filePath(QStringLiteral("absent.ini")) : languageFile);
    // Should a test reach the search, it must not touch a real port.
    window->comPort().setDeviceOverride(m_dir->filePath(QStringLiteral("no-such-tty")));
    return window;
}

void TestMainWindow::windowFrame()
{
    auto window = makeWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Vexa Q7 Manager  ** Final Version 1.02 **"));
    // Drawn for 633 x 555; it may grow, never shrink below that.
    QCOMPARE(window->size(), QSize(633, 555));
    QCOMPARE(window->minimumSize(), QSize(633, 555));
    QVERIFY(window->windowFlags() & Qt::WindowMaximizeButtonHint);
}

// What the layout must hold for every control the window places, those of
// the phonebook and options pages and of the status bar alike, whoever adds
// one: it lies inside its parent, overlaps none of its siblings, and its
// caption fits, in German and in English. tst_mainwindow_scaled runs it
// again on a display scaled by 1.5.
void TestMainWindow::layoutHolds_data()
{
    QTest::addColumn<QString>("languageFile"); // empty: none, German
    QTest::newRow("German") << QString();
    QTest::newRow("English") << qEnvironmentVariable("Q7_SOURCE_DIR") + u"/lang/english.ini"_s;
}

void TestMainWindow::layoutHolds()
{
    QFETCH(QString, languageFile);
    if (!languageFile.isEmpty())
        QVERIFY2(QFile::exists(languageFile), qPrintable(languageFile));
    auto window = makeWindow(languageFile);
    // The first search finds no handset, so the notice that says so shows.
    QSignalSpy searched(window.get(), &TFrm_Q7_Manager::searchFinished);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(searched.wait(10000));
    QVERIFY(window->findChild<QWidget*>(u"NoHandsetNotice"_s)->isVisible());
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(window->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    // Both pages laid out, as each is when it comes into view.
    auto* pages = control<QTabWidget>(*window, "PageControl");
    for (int i = pages->count() - 1; i >= 0; --i) {
        pages->setCurrentIndex(i);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }

    const QList<QWidget*> controls = placedControls(window.get());
    QVERIFY(controls.size() > 30);
    QStringList faults;
    for (QWidget* widget : controls) {
        const QString name = widget->objectName();
        QWidget* parent = widget->parentWidget();
        if (!parent->rect().contains(widget->geometry()))
            faults << name + u" outside "_s + parent->objectName();
        if (const QString cut = cutCaption(widget); !cut.isEmpty())
            faults << name + u" cuts \""_s + cut + u'"';
        // Pages of a tab widget take turns; they may share a place.
        if (qobject_cast<QStackedWidget*>(parent) || !shownWithItsPage(widget))
            continue;
        for (QWidget* other : controls)
            if (other != widget && other->parentWidget() == parent && shownWithItsPage(other) &&
                name < other->objectName() && overlap(widget->geometry(), other->geometry()))
                faults << name + u" overlaps "_s + other->objectName();
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
}

void TestMainWindow::stateAtStart()
{
    auto window = makeWindow();
    auto* pages = control<QTabWidget>(*window, "PageControl");
    QCOMPARE(pages->count(), 2);
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TabSheet_Telefonbuch"));
    QCOMPARE(pages->widget(1)->objectName(), QStringLiteral("TabSheet_Optionen"));
    QCOMPARE(pages->tabText(0), QStringLiteral("Telefonbuch bearbeiten"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Optionen"));

    for (const char* name :
         {"Btn_DatenLesen", "Btn_Datenschreiben", "Btn_Loeschen", "Btn_Abgleichen"})
        QVERIFY2(!control<QPushButton>(*window, name)->isEnabled(), name);
    for (const char* name :
         {"Btn_Datenladen", "Btn_Datenspeichern", "Btn_NeuerEintrag", "Btn_Close", "Btn_ComTest"})
        QVERIFY2(control<QPushButton>(*window, name)->isEnabled(), name);

    auto* progress = control<QProgressBar>(*window, "ProgressBar");
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->maximum(), 700);
    QVERIFY(control<QCheckBox>(*window, "CB_NurGeaenderte")->isChecked());
    QVERIFY(!control<QCheckBox>(*window, "CB_Loeschbefehle")->isChecked());
    QCOMPARE(window->statusPanel(0)->width(), 300);
    // The clipboard's panel reaches to the right edge, as the last panel of
    // a Windows status bar does, so that "In Zwischenablage: ..." fits.
    QVERIFY(window->statusPanel(1)->width() >= 50);
    QVERIFY(window->statusPanel(1)->geometry().right() >= 633 - 8);

    // Both trees are built on the empty store: their roots only.
    QCOMPARE(control<QTreeWidget>(*window, "TV_Telefonbuch")->topLevelItemCount(), 1);
    QCOMPARE(control<QTreeWidget>(*window, "TV_FirstNine")->topLevelItemCount(), 1);

    QCOMPARE(control<TComComboBox>(*window, "ComCB_BAUD")->currentText(), QStringLiteral("115200"));
    QCOMPARE(control<TComComboBox>(*window, "ComCB_Fluss")->currentText(), QStringLiteral("Keine"));
    QCOMPARE(control<TComComboBox>(*window, "ComCB_Fluss")->count(), 4);
    QCOMPARE(control<TComComboBox>(*window, "ComCB_BAUD")->count(), 16);
}

void TestMainWindow::statusPanelsNeverCutAText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("elided");

    QTest::newRow("fits") << QStringLiteral("Ruhezustand") << false;
    QTest::newRow("written and deleted")
        << QStringLiteral("12 Einträge geschrieben, 12 Einträge auf dem Handy gelöscht") << true;
    QTest::newRow("nothing to write")
        << QStringLiteral("Nichts zu schreiben: kein Eintrag musste geschrieben werden.") << true;
}

// A status text too long for its panel ends in an ellipsis and is whole in
// the tooltip; the panel keeps its width, and the counts keep theirs.
void TestMainWindow::statusPanelsNeverCutAText()
{
    QFETCH(QString, text);
    QFETCH(bool, elided);
    auto window = makeWindow();
    window->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    StatusPanel* status = window->statusPanel(0);
    window->showStatus(text);
    QCOMPARE(status->text(), text);
    QCOMPARE(status->width(), 300);
    QCOMPARE(status->isElided(), elided);
    QCOMPARE(status->toolTip(), elided ? text : QString());

    StatusPanel* counts = window->statusPanel(2);
    QCOMPARE(counts->text(), QStringLiteral("0 Einträge, 0 geändert"));
    QVERIFY(!counts->isElided());
    QVERIFY(counts->geometry().left() > status->geometry().right());
    QVERIFY(window->statusPanel(1)->geometry().left() > counts->geometry().right());
    QVERIFY(window->statusPanel(1)->geometry().right() >= 633 - 8);
}

void TestMainWindow::treesLook_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("indent");
    QTest::addColumn<int>("lineHeight");
    QTest::newRow("First Nine") << QStringLiteral("TV_FirstNine") << 13 << 18;
    QTest::newRow("phonebook") << QStringLiteral("TV_Telefonbuch") << 17 << 19;
}

void TestMainWindow::treesLook()
{
    QFETCH(QString, name);
    QFETCH(int, indent);
    QFETCH(int, lineHeight);
    auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* view = window->findChild<QTreeWidget*>(name);
    QCOMPARE(view->indentation(), indent);
    QCOMPARE(view->visualItemRect(view->topLevelItem(0)).height(), lineHeight);
    QVERIFY(!view->rootIsDecorated());
    QVERIFY(!view->isSortingEnabled());
    QVERIFY(!view->expandsOnDoubleClick());
    // Several entries at once in the phonebook; one position at a time in
    // the First Nine tree.
    QCOMPARE(view->selectionMode(), name == u"TV_Telefonbuch" ? QAbstractItemView::ExtendedSelection
                                                              : QAbstractItemView::SingleSelection);
}

void TestMainWindow::languageFileReplacesTexts()
{
    const QString path = m_dir->filePath(QStringLiteral("q7manager.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[TAB_Telefonbuch]\r\n"
               "Btn_Close=\r\n"
               "Btn_DatenLesen=&Read data\r\n"
               "[NUMMERNART]\r\n"
               "Mobil=Cellular\r\n"
               "Etc=Autre t\xe9l\xe9phone\r\n"
               "[TAB_Optionen]\r\n"
               "TAB_Name=Options\r\n"
               "[Datei_Operationen]\r\n"
               "Dateiformat=CSV file|*.csv\r\n");
    file.close();

    auto window = makeWindow(path);
    QCOMPARE(control<QPushButton>(*window, "Btn_Close")->text(), QString());
    QCOMPARE(control<QPushButton>(*window, "Btn_DatenLesen")->text(), QStringLiteral("&Read data"));
    QCOMPARE(control<QTabWidget>(*window, "PageControl")->tabText(1), QStringLiteral("Options"));
    // Untouched keys keep their German default.
    QCOMPARE(control<QPushButton>(*window, "Btn_Datenladen")->text(),
             QStringLiteral("Daten &laden"));
    QCOMPARE(window->phonebookFiles().openDialogFilter(),
             QStringLiteral("CSV file|*.csv|vCard (*.vcf)|*.vcf"));
    QCOMPARE(window->phonebookFiles().saveDialogFilter(),
             QStringLiteral("CSV file|*.csv|vCard (*.vcf)|*.vcf"));

    // The type names are data in the PC character set, not captions.
    const NumberTypeNames& names = window->numberTypeNames();
    QCOMPARE(names[3], QByteArray("Cellular"));
    QCOMPARE(names[6], QByteArray("Autre t\xe9l\xe9phone"));
    QCOMPARE(names[2], QByteArray("B\xfcro"));
    QCOMPARE(names[5], QByteArray("Funkrufempf\xe4nger"));
}

void TestMainWindow::optionsPageShowsPortValues_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("flow");
    QTest::addColumn<QString>("shownPort");
    QTest::addColumn<QString>("shownBaud");
    QTest::addColumn<QString>("shownFlow");

    QTest::newRow("a port the system lists") << "COM7" << int(br9600) << int(fcHardware) << "COM7"
                                             << "9600"
                                             << "Hardware";
    QTest::newRow("a port the system does not list")
        << "COM77" << int(brCustom) << int(fcSoftware) << ""
        << "Eigene"
        << "Software";
}

void TestMainWindow::optionsPageShowsPortValues()
{
    QFETCH(QString, port);
    QFETCH(int, baud);
    QFETCH(int, flow);
    QFETCH(QString, shownPort);
    QFETCH(QString, shownBaud);
    QFETCH(QString, shownFlow);

    // A mapping of the user's pins COM7 to a device, so the list holds it.
    openRegistryKey(kProgramKey)
        ->setValue(QStringLiteral("Ports/COM7"), QStringLiteral("/dev/null"));
    auto window = makeWindow();
    auto* comList = control<TComComboBox>(*window, "ComCB_COM");
    auto* baudList = control<TComComboBox>(*window, "ComCB_BAUD");
    auto* flowList = control<TComComboBox>(*window, "ComCB_Fluss");
    QVERIFY(comList->findText(QStringLiteral("COM7")) >= 0);

    window->comPort().setPort(port);
    window->comPort().setBaudRate(TBaudRate(baud));
    window->comPort().setFlowControlChoice(TFlowControl(flow));
    control<QTabWidget>(*window, "PageControl")->setCurrentIndex(1);

    QCOMPARE(comList->currentIndex() < 0, shownPort.isEmpty());
    QCOMPARE(comList->currentText(), shownPort);
    QCOMPARE(baudList->currentText(), shownBaud);
    QCOMPARE(flowList->currentText(), shownFlow);
}

void TestMainWindow::choosingAnEntrySetsThePort_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("stored"); // the port's own name for it

    QTest::newRow("baud rate") << "ComCB_BAUD"
                               << "9600"
                               << "9600";
    QTest::newRow("custom baud rate") << "ComCB_BAUD"
                                      << "Eigene"
                                      << "Custom";
    QTest::newRow("hardware flow control") << "ComCB_Fluss"
                                           << "Hardware"
                                           << "Hardware";
    QTest::newRow("software flow control") << "ComCB_Fluss"
                                           << "Software"
                                           << "Software";
    QTest::newRow("no flow control") << "ComCB_Fluss"
                                     << "Keine"
                                     << "None";
}

void TestMainWindow::choosingAnEntrySetsThePort()
{
    QFETCH(QString, list);
    QFETCH(QString, entry);
    QFETCH(QString, stored);

    auto window = makeWindow();
    auto* combo = window->findChild<TComComboBox*>(list);
    QVERIFY(combo);
    const int index = combo->findText(entry);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    // Read back through the port, not the list.
    QCOMPARE(combo->portValueName(), stored);
    QVERIFY(m_dialogs->calls().isEmpty());
}

void TestMainWindow::colourPicker_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QColor>("before");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("background, by its label")
        << "Lbl_Hintergrundfarbe"
        << "Panel_Hintergrundfarbe" << QColor(192, 192, 192) << true;
    QTest::newRow("background, by its swatch")
        << "Panel_Hintergrundfarbe"
        << "Panel_Hintergrundfarbe" << QColor(192, 192, 192) << true;
    QTest::newRow("text") << "Lbl_Schriftfarbe"
                          << "Panel_Schriftfarbe" << QColor(0, 0, 0) << true;
    QTest::newRow("hot-track") << "Lbl_Hottrackfarbe"
                               << "Panel_Hottrackfarbe" << QColor(0, 0, 255) << true;
    QTest::newRow("cancelled") << "Lbl_Hintergrundfarbe"
                               << "Panel_Hintergrundfarbe" << QColor(192, 192, 192) << false;
}

void TestMainWindow::colourPicker()
{
    QFETCH(QString, clicked);
    QFETCH(QString, panel);
    QFETCH(QColor, before);
    QFETCH(bool, confirmed);

    auto window = makeWindow();
    auto* phonebook = control<QTreeWidget>(*window, "TV_Telefonbuch");
    auto* firstNine = control<QTreeWidget>(*window, "TV_FirstNine");
    const QColor chosen(0x12, 0x34, 0x56);
    m_dialogs->queueColor(confirmed ? std::optional<QColor>(chosen) : std::nullopt);

    QTest::mouseClick(window->findChild<QWidget*>(clicked), Qt::LeftButton);

    const auto calls = m_dialogs->callsOf(ScriptedDialogs::Kind::Color);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.front().initialColor, before); // the picker starts at the panel's colour

    const QColor expected = confirmed ? chosen : before;
    QCOMPARE(window->findChild<QWidget*>(panel)->palette().color(QPalette::Window), expected);
    for (QTreeWidget* tree : {phonebook, firstNine}) {
        if (panel == "Panel_Hintergrundfarbe")
            QCOMPARE(tree->palette().color(QPalette::Base), expected);
        else if (panel == "Panel_Schriftfarbe")
            QCOMPARE(tree->palette().color(QPalette::Text), expected);
        else
            QVERIFY2(tree->styleSheet().contains(expected.name()), qPrintable(tree->styleSheet()));
    }
}

void TestMainWindow::errorBox_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("shown"); // empty: no box at all

    // ")" sorts before ".": the box adds no period.
    QTest::newRow("port failure")
        << "port"
        << "Unable to open com port (errno 2, ENOENT: No such file or directory)";
    QTest::newRow("conversion failure") << "convert"
                                        << "'x1' ist kein gültiger Integerwert.";
    QTest::newRow("a failure of the runtime") << "std"
                                              << "bad allocation.";
    QTest::newRow("cancelled shows nothing") << "cancel"
                                             << "";
    QTest::newRow("no failure shows nothing") << "none"
                                              << "";
}

void TestMainWindow::errorBox()
{
    QFETCH(QString, failure);
    QFETCH(QString, shown);

    bool ranToTheEnd = false;
    const bool completed = guarded([&] {
        if (failure == "port")
            throw EComPort(EComPort::OpenFailed, 2);
        if (failure == "convert")
            throw EConvertError(QStringLiteral("x1"));
        if (failure == "std")
            throw std::runtime_error("bad allocation");
        if (failure == "cancel")
            throw EOperationCancelled();
        ranToTheEnd = true;
    });
    const bool fails = failure != "none";
    QCOMPARE(completed, !fails);
    QCOMPARE(ranToTheEnd, !fails);

    const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
    if (shown.isEmpty()) {
        QVERIFY(boxes.isEmpty());
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front().icon, QMessageBox::Critical);
    QCOMPARE(boxes.front().title, QStringLiteral("Vexa Q7 Manager"));
    QCOMPARE(boxes.front().text, shown);
}

void TestMainWindow::lostLinkAsksRetryOrCancel_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("retry");

    QTest::newRow("retry") << int(QMessageBox::Retry) << true;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
}

void TestMainWindow::lostLinkAsksRetryOrCancel()
{
    QFETCH(int, answer);
    QFETCH(bool, retry);

    auto window = makeWindow();
    m_dialogs->queueAnswer(QMessageBox::StandardButton(answer));
    QCOMPARE(window->retryLostLink(QStringLiteral("Die Datenverbindung reagiert nicht mehr!")),
             retry);
    const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front().buttons, QMessageBox::Retry | QMessageBox::Cancel);
    QCOMPARE(boxes.front().text, QStringLiteral("Die Datenverbindung reagiert nicht mehr!"));
}

void TestMainWindow::transferGuardLocksAndRestores()
{
    auto window = makeWindow();
    auto* test = control<QPushButton>(*window, "Btn_ComTest");
    auto* comList = control<QWidget>(*window, "ComCB_COM");
    auto* load = control<QPushButton>(*window, "Btn_Datenladen");
    auto* newEntry = control<QPushButton>(*window, "Btn_NeuerEintrag");
    newEntry->setEnabled(false); // disabled before: must stay so

    {
        TransferGuard outer(window->transfers(), {load});
        QVERIFY(window->transferRunning());
        QVERIFY(!test->isEnabled());
        QVERIFY(!comList->isEnabled());
        QVERIFY(!load->isEnabled());
        {
            TransferGuard inner(window->transfers(), {newEntry});
        }
        QVERIFY2(!test->isEnabled(), "the inner guard must not unlock the outer one's controls");
        QVERIFY(!load->isEnabled());
    }
    QVERIFY(!window->transferRunning());
    QVERIFY(test->isEnabled());
    QVERIFY(comList->isEnabled());
    QVERIFY(load->isEnabled());
    QVERIFY(!newEntry->isEnabled());
    QVERIFY(!control<QPushButton>(*window, "Btn_DatenLesen")->isEnabled());
}

// The search finds the handset while its guard holds the data buttons
// disabled; the guard must not take back what the search granted.
void TestMainWindow::handsetFoundDuringTransferOutlivesTheGuard()
{
    auto window = makeWindow();
    {
        TransferGuard guard(window->transfers());
        window->handsetFound();
        QVERIFY(!control<QPushButton>(*window, "Btn_DatenLesen")->isEnabled());
    }
    for (const char* name : {"Btn_DatenLesen", "Btn_Datenschreiben", "Btn_Loeschen"})
        QVERIFY2(control<QPushButton>(*window, name)->isEnabled(), name);
}

void TestMainWindow::fileDialogFilter_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("qt");

    QTest::newRow("the default shows its pattern once") << "Komma getrennte Datei (*.csv)|*.csv"
                                                        << "Komma getrennte Datei (*.csv)";
    QTest::newRow("a description without the pattern") << "CSV file|*.csv"
                                                       << "CSV file (*.csv)";
    QTest::newRow("two filters, several patterns") << "Tabellen|*.csv;*.txt|Alle Dateien|*.*"
                                                   << "Tabellen (*.csv *.txt);;Alle Dateien (*.*)";
}

void TestMainWindow::fileDialogFilter()
{
    QFETCH(QString, windows);
    QFETCH(QString, qt);
    QCOMPARE(qtFileFilter(windows), qt);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
