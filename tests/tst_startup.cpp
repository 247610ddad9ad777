// SPDX-License-Identifier: GPL-3.0-or-later
// From the start tick to the end of the run: the start counter, the
// disclaimer, the settings loaded and written back, the search at start and
// closing the window while it runs.

#include "app/frame/MainWindow.h"
#include "app/frame/Warnung.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "support/PtyPeer.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace q7;

namespace {

// What the disclaimer looked like when it came up.
struct DisclaimerSeen
{
    bool german = false;
    bool english = false;
    QString accept;
    QString decline;
};

// A script for the disclaimer: notes what it showed, then presses a button.
ScriptedDialogs::DialogScript answerDisclaimer(DisclaimerSeen& seen, const char* buttonName)
{
    return [&seen, buttonName](QDialog& dialog) {
        seen.german =
            !dialog.findChild<QPlainTextEdit*>(QStringLiteral("Mem_Warnung_ger"))->isHidden();
        seen.english =
            !dialog.findChild<QPlainTextEdit*>(QStringLiteral("Mem_Warnung_eng"))->isHidden();
        seen.accept = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Akzeptiert"))->text();
        seen.decline = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Abgeleht"))->text();
        dialog.findChild<QPushButton*>(QLatin1String(buttonName))->click();
        return dialog.result();
    };
}

const QStringList kStoredKeys = {
    QStringLiteral("Telefonbuch/Nur Geaenderte"),
    QStringLiteral("Telefonbuch/Loeschbefehle"),
    QStringLiteral("Telefonbuch/Hintergrundfarbe"),
    QStringLiteral("Telefonbuch/Schriftfarbe"),
    QStringLiteral("Telefonbuch/Hottrackfarbe"),
    QStringLiteral("ComPort/Port"),
    QStringLiteral("ComPort/BaudRate"),
    QStringLiteral("ComPort/StopBits"),
    QStringLiteral("ComPort/DataBits"),
    QStringLiteral("ComPort/Parity"),
    QStringLiteral("ComPort/FlowControl"),
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStart();
    void disclaimerComesBackAtTheFifthStart();
    void decliningEndsWithoutSearchAndKeepsTheSettings();
    void languageFileMakesTheDisclaimerEnglish();
    void chosenColourIsSavedInWindowsByteOrder();
    void storedColoursReachTheTreesInWindowsByteOrder();
    void portSettingsFailureDoesNotStopTheStart();
    void closingDuringTheSearchCancelsIt();
    void startWaitsForASearchAlreadyRunning();

private:
    std::unique_ptr<TFrm_Q7_Manager> start(const QString& languageFile = {});
    QString stored(const QString& key) const;
    int disclaimersShown() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
};

void TestStartup::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_override = std::make_unique<DialogsOverride>(*m_dialogs);
}

void TestStartup::cleanup()
{
    m_override.reset();
    m_dialogs.reset();
    m_dir.reset();
}

// A window up to the end of its start tick, its port on a device that does
// not exist.
std::unique_ptr<TFrm_Q7_Manager> TestStartup::start(const QString& languageFile)
{
    auto window = std::make_unique<TFrm_Q7_Manager>(
        languageFile.isEmpty() ? m_dir->filePath(QStringLiteral("absent.ini")) : languageFile);
    window->comPort().setDeviceOverride(m_dir->filePath(QStringLiteral("no-such-tty")));
    QSignalSpy started(window.get(), &TFrm_Q7_Manager::startupFinished);
    window->show();
    if (!started.wait(5000))
        qFatal("the start tick did not come");
    return window;
}

QString TestStartup::stored(const QString& key) const
{
    const QVariant value = openRegistryKey(kProgramKey)->value(key);
    return value.isValid() ? value.toString() : QStringLiteral("<missing>");
}

int TestStartup::disclaimersShown() const
{
    int shown = 0;
    for (const auto& call : m_dialogs->callsOf(ScriptedDialogs::Kind::Dialog))
        shown += call.dialogClass == QLatin1String("q7::TFrm_Warnung");
    return shown;
}

void TestStartup::firstStart()
{
    DisclaimerSeen seen;
    m_dialogs->queueDialog(answerDisclaimer(seen, "Btn_Akzeptiert"));
    auto window = start();
    QSignalSpy searched(window.get(), &TFrm_Q7_Manager::searchFinished);

    QCOMPARE(disclaimersShown(), 1);
    QVERIFY(seen.german);
    QVERIFY(!seen.english);
    QCOMPARE(seen.accept, QStringLiteral("&Akzeptiert"));
    QCOMPARE(seen.decline, QStringLiteral("Abge&lehnt"));
    QCOMPARE(stored(QStringLiteral("StartZaehler")), QStringLiteral("1"));

    for (const char* name : {"TV_Telefonbuch", "TV_FirstNine"}) {
        const QPalette palette = window->findChild<QTreeWidget*>(QLatin1String(name))->palette();
        QCOMPARE(palette.color(QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(palette.color(QPalette::Text), QColor(0, 0, 0));
    }
    QVERIFY(window->findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->isChecked());
    QVERIFY(!window->findChild<QCheckBox*>(QStringLiteral("CB_Loeschbefehle"))->isChecked());

    // No handset: the port cannot be opened, the error box says so, and
    // the program stays usable without the data buttons.
    QVERIFY(searched.wait(5000));
    QCOMPARE(searched.front().front().toBool(), false);
    const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front().title, QStringLiteral("Vexa Q7 Manager"));
    // What happened in words first, the port's own text below it.
    QVERIFY2(boxes.front().text.startsWith(QStringLiteral("Der Anschluss ")),
             qPrintable(boxes.front().text));
    QVERIFY2(boxes.front().text.endsWith(QStringLiteral("\n\nUnable to open com port (errno 2, "
                                                        "ENOENT: No such file or directory)")),
             qPrintable(boxes.front().text));
    for (const char* name : {"Btn_DatenLesen", "Btn_Datenschreiben", "Btn_Loeschen"})
        QVERIFY2(!window->findChild<QPushButton*>(QLatin1String(name))->isEnabled(), name);
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Btn_ComTest"))->isEnabled());
    QVERIFY(window->findChild<QWidget*>(QStringLiteral("ComCB_COM"))->isEnabled());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("Btn_Datenladen"))->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    window->close();
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Nur Geaenderte")), QStringLiteral("1"));
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Loeschbefehle")), QStringLiteral("0"));
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hintergrundfarbe")), QStringLiteral("12632256"));
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Schriftfarbe")), QStringLiteral("0"));
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hottrackfarbe")), QStringLiteral("16711680"));
    QCOMPARE(stored(QStringLiteral("ComPort/Port")), QStringLiteral("COM1"));
}

void TestStartup::disclaimerComesBackAtTheFifthStart()
{
    QStringList counters;
    QList<int> shown;
    for (int run = 1; run <= 5; ++run) {
        const int before = disclaimersShown();
        auto window = start();
        shown << disclaimersShown() - before;
        counters << stored(QStringLiteral("StartZaehler"));
        window->close(); // before the search: nothing to wait for
    }
    QCOMPARE(counters, (QStringList{"1", "2", "3", "-1", "1"}));
    QCOMPARE(shown, (QList<int>{1, 0, 0, 0, 1}));
}

void TestStartup::decliningEndsWithoutSearchAndKeepsTheSettings()
{
    {
        auto key = openRegistryKey(kProgramKey);
        key->setValue(QStringLiteral("StartZaehler"), QStringLiteral("-1"));
        const QStringList values = {"0",    "1", "255", "65280", "-2147483640", "COM5",
                                    "9600", "2", "7",   "Even",  "Hardware"};
        for (qsizetype i = 0; i < kStoredKeys.size(); ++i)
            key->setValue(kStoredKeys.at(i), values.at(i));
    }
    QStringList before;
    for (const QString& key : kStoredKeys)
        before << stored(key);

    DisclaimerSeen seen;
    m_dialogs->queueDialog(answerDisclaimer(seen, "Btn_Abgeleht"));
    auto window = start();
    QSignalSpy searchStarted(window.get(), &TFrm_Q7_Manager::searchStarted);

    QCOMPARE(disclaimersShown(), 1);
    QVERIFY(!window->isVisible());
    QVERIFY(!searchStarted.wait(500));
    QVERIFY(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).isEmpty());
    QVERIFY(!window->comPort().Connected());

    QStringList after;
    for (const QString& key : kStoredKeys)
        after << stored(key);
    QCOMPARE(after, before);
    // The counter stays where it was: the next start asks again, and only an
    // acceptance moves it on.
    QCOMPARE(stored(QStringLiteral("StartZaehler")), QStringLiteral("-1"));
    window.reset();
    m_dialogs->queueDialog(answerDisclaimer(seen, "Btn_Akzeptiert"));
    window = start();
    QCOMPARE(disclaimersShown(), 2);
    QCOMPARE(stored(QStringLiteral("StartZaehler")), QStringLiteral("1"));
    window->close();
}

void TestStartup::languageFileMakesTheDisclaimerEnglish()
{
    const QString path = m_dir->filePath(QStringLiteral("q7manager.ini"));
    QFile empty(path);
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();

    DisclaimerSeen seen;
    m_dialogs->queueDialog(answerDisclaimer(seen, "Btn_Akzeptiert"));
    auto window = start(path);
    QCOMPARE(disclaimersShown(), 1);
    QVERIFY(seen.english);
    QVERIFY(!seen.german);
    QCOMPARE(seen.accept, QStringLiteral("&Accept"));
    QCOMPARE(seen.decline, QStringLiteral("&Cancel"));
    QVERIFY(window->isVisible());
    window->close();
}

void TestStartup::chosenColourIsSavedInWindowsByteOrder()
{
    auto window = start();
    m_dialogs->queueColor(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("Lbl_Hottrackfarbe")),
                      Qt::LeftButton);
    // Only at shutdown.
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hottrackfarbe")), QStringLiteral("<missing>"));
    window->close();
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hottrackfarbe")), QString::number(0x563412));
}

void TestStartup::storedColoursReachTheTreesInWindowsByteOrder()
{
    {
        const auto settings = openRegistryKey(kProgramKey);
        settings->setValue(QStringLiteral("Telefonbuch/Hintergrundfarbe"),
                           QStringLiteral("16711680"));
        settings->setValue(QStringLiteral("Telefonbuch/Schriftfarbe"), QStringLiteral("255"));
    }
    auto window = start();
    // 16711680 is blue and 255 red to Windows; read as 0xRRGGBB they swap.
    for (const char* name : {"TV_Telefonbuch", "TV_FirstNine"}) {
        const QPalette palette = window->findChild<QTreeWidget*>(QLatin1String(name))->palette();
        QCOMPARE(palette.color(QPalette::Base), QColor(0, 0, 255));
        QCOMPARE(palette.color(QPalette::Text), QColor(255, 0, 0));
    }
    // What the user sees, not only what the palette says.
    const QImage shown = window->findChild<QTreeWidget*>(QStringLiteral("TV_Telefonbuch"))
                             ->viewport()
                             ->grab()
                             .toImage();
    QCOMPARE(shown.pixelColor(shown.width() - 5, shown.height() - 5), QColor(0, 0, 255));
    window->close();
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hintergrundfarbe")), QStringLiteral("16711680"));
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Schriftfarbe")), QStringLiteral("255"));
}

void TestStartup::portSettingsFailureDoesNotStopTheStart()
{
    {
        auto key = openRegistryKey(kProgramKey);
        key->setValue(QStringLiteral("StartZaehler"), QStringLiteral("-1"));
        key->setValue(QStringLiteral("Telefonbuch/Hintergrundfarbe"), QStringLiteral("255"));
        key->setValue(QStringLiteral("Telefonbuch/Loeschbefehle"), QStringLiteral("1"));
        key->setValue(QStringLiteral("ComPort/Port"), QStringLiteral("COM5"));
        key->setValue(QStringLiteral("ComPort/BaudRate"), QStringLiteral("Custom"));
        key->setValue(QStringLiteral("ComPort/CustomBaudRate"), QStringLiteral("schnell"));
        key->setValue(QStringLiteral("ComPort/StopBits"), QStringLiteral("2"));
    }

    auto window = start();
    QSignalSpy searchStarted(window.get(), &TFrm_Q7_Manager::searchStarted);
    const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front().text, QStringLiteral("Failed to load settings."));
    // The port keeps what was read before the failure...
    QCOMPARE(window->comPort().Port(), QStringLiteral("COM5"));
    QCOMPARE(window->comPort().StopBits(), sbOneStopBit);
    // ...and the rest of the start goes on.
    QCOMPARE(window->optionsPage().phonebookOptions().hintergrundfarbe, 255);
    QVERIFY(window->optionsPage().saveDeletionCommands());
    QCOMPARE(disclaimersShown(), 1);
    QVERIFY(searchStarted.wait(2000));
    window->close();
    // Shutdown writes what was loaded, not the form's defaults.
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hintergrundfarbe")), QStringLiteral("255"));
    QCOMPARE(stored(QStringLiteral("ComPort/Port")), QStringLiteral("COM5"));
}

void TestStartup::closingDuringTheSearchCancelsIt()
{
    PtyPeer silentHandset; // opens, but never answers
    auto window = start();
    window->comPort().setDeviceOverride(silentHandset.devicePath());
    QSignalSpy searchFinished(window.get(), &TFrm_Q7_Manager::searchFinished);
    QSignalSpy shutDown(window.get(), &TFrm_Q7_Manager::shutDown);

    // The search runs inside the signal's emission, so the close has to be
    // scheduled from there to happen while it waits.
    bool lockedWhileSearching = false;
    QElapsedTimer sinceClose;
    connect(window.get(), &TFrm_Q7_Manager::searchStarted, this, [&] {
        QTimer::singleShot(100, window.get(), [&] {
            lockedWhileSearching =
                !window->findChild<QWidget*>(QStringLiteral("Btn_ComTest"))->isEnabled() &&
                !window->findChild<QWidget*>(QStringLiteral("ComCB_COM"))->isEnabled() &&
                !window->findChild<QWidget*>(QStringLiteral("ComCB_BAUD"))->isEnabled() &&
                !window->findChild<QWidget*>(QStringLiteral("ComCB_Fluss"))->isEnabled() &&
                window->comPort().Connected();
            sinceClose.start();
            window->close();
            // Still open: it waits for the search to unwind.
            QVERIFY(window->isVisible());
        });
    });
    QVERIFY(shutDown.wait(3000));
    QVERIFY(lockedWhileSearching);
    QCOMPARE(searchFinished.size(), 1);
    QCOMPARE(searchFinished.front().front().toBool(), false);
    // The search alone waits longer than this for its first answer.
    QVERIFY2(sinceClose.elapsed() < 300, qPrintable(QString::number(sinceClose.elapsed())));
    QVERIFY(!window->isVisible());
    QVERIFY(!window->comPort().Connected());
    QVERIFY(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).isEmpty());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(stored(QStringLiteral("Telefonbuch/Hintergrundfarbe")), QStringLiteral("12632256"));
}

void TestStartup::startWaitsForASearchAlreadyRunning()
{
    PtyPeer silentHandset;
    TFrm_Q7_Manager window(m_dir->filePath(QStringLiteral("absent.ini")));
    window.comPort().setDeviceOverride(silentHandset.devicePath());
    QStringList events;
    connect(&window, &TFrm_Q7_Manager::searchStarted, this, [&] { events << "search"; });
    connect(&window, &TFrm_Q7_Manager::searchFinished, this, [&] { events << "searched"; });
    connect(&window, &TFrm_Q7_Manager::startupFinished, this, [&] { events << "started"; });
    window.show();

    // "&Test" before the start tick: its search waits longer than the tick.
    window.findChild<QPushButton*>(QStringLiteral("Btn_ComTest"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(events.size(), 5, 5000);
    // The start and its own search each run on their own, never inside the
    // search that was already waiting.
    QCOMPARE(events, (QStringList{"search", "searched", "started", "search", "searched"}));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
