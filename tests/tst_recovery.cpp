// The window finds its way back to the handset by itself: after the
// simulated handset went away and came back on the same link, and after the
// line dropped in the middle of a write.

#include "app/MainWindow.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "simhandset.h"
#include "support/ScriptedDialogs.h"
#include "support/SimFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("StartZaehler"), 1);
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_override = std::make_unique<DialogsOverride>(*m_dialogs);
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_sim->setEntry(3, simEntry(3, "Zoe"));
        m_sim->setEntry(12, simEntry(12, "Paul"));
        m_sim->setEntry(505, simEntry(505, "anna"));
        m_link = m_dir->filePath(QStringLiteral("handset"));
        startSimOnLink();
        m_window = std::make_unique<TFrm_Q7_Manager>(m_dir->filePath(QStringLiteral("absent.ini")));
        m_window->comPort().setDeviceOverride(m_link);
        QSignalSpy searched(m_window.get(), &TFrm_Q7_Manager::searchFinished);
        m_window->show();
        QVERIFY(searched.wait(5000));
        QVERIFY(searched.first().first().toBool());
    }

    void cleanup()
    {
        m_window.reset();
        m_sim.reset();
        m_override.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void readAfterTheHandsetCameBack()
    {
        m_window->Btn_DatenLesenClick();
        QCOMPARE(m_window->recordStore().field(12, Name), QByteArray("Paul"));

        restartSim();
        m_sim->setEntry(12, simEntry(12, "Paula"));
        m_window->Btn_DatenLesenClick();

        QVERIFY2(m_dialogs->calls().isEmpty(), qPrintable(m_dialogs->calls().value(0).text));
        QCOMPARE(m_window->recordStore().field(12, Name), QByteArray("Paula"));
        QCOMPARE(m_window->recordStore().field(505, Name), QByteArray("anna"));
        // Checked again before anything else: the reset handset echoes.
        const QList<QByteArray> sent = m_sim->commands();
        QCOMPARE(sent.value(0), QByteArray("ATE0"));
        QCOMPARE(sent.value(1), QByteArray("ATI2"));
    }

    void writeAgainAfterTheLineDroppedMidWrite()
    {
        m_window->Btn_DatenLesenClick();
        m_window->findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->setChecked(false);
        m_sim->clearEntry(3);
        m_sim->clearEntry(505);

        q7sim::SimOptions options = m_sim->options();
        options.dropLineAfter = m_sim->commandCount() + 4;
        m_sim->setOptions(options);
        m_window->Btn_DatenschreibenClick();
        const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(
            boxes[0].text.contains(QStringLiteral("Die Verbindung zum Handy ist unterbrochen")),
            qPrintable(boxes[0].text));
        QCOMPARE(progressBar()->value(), 0);
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("Ruhezustand"));

        // The cable goes back in: the handset is the same, its line is new.
        options.dropLineAfter.reset();
        m_sim->setOptions(options);
        restartSim();
        m_dialogs->clearCalls();
        m_window->Btn_DatenschreibenClick();
        QVERIFY2(m_dialogs->calls().isEmpty(), qPrintable(m_dialogs->calls().value(0).text));
        QCOMPARE(m_sim->entry(3).value(1), QByteArray("Zoe"));
        QCOMPARE(m_sim->entry(12).value(1), QByteArray("Paul"));
        QCOMPARE(m_sim->entry(505).value(1), QByteArray("anna"));
        QCOMPARE(m_sim->commands().value(1), QByteArray("ATI2"));
    }

private:
    void startSimOnLink()
    {
        const QString device = m_sim->start();
        QFile::remove(m_link);
        QVERIFY(QFile::link(device, m_link));
    }

    // The handset is switched off and on again; the window is not told.
    void restartSim()
    {
        m_sim->stop();
        // The window notices the hang-up from its event loop, as it would
        // before the user can press anything.
        QTRY_VERIFY(!m_window->comPort().Connected());
        startSimOnLink();
        m_sim->clearCommands();
    }

    QProgressBar* progressBar() const
    {
        return m_window->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    std::unique_ptr<TFrm_Q7_Manager> m_window;
    QString m_link;
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
