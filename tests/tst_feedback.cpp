// The window says what it did, and asks before a write that loses text.

#include "app/MainWindow.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "simhandset.h"
#include "support/ScriptedDialogs.h"
#include "support/SimFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestFeedback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("StartZaehler"), 1);
        openRegistryKey(kProgramKey)
            ->setValue(QStringLiteral("Ports/COM9"), m_dir->filePath(QStringLiteral("adapter")));
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_override = std::make_unique<DialogsOverride>(*m_dialogs);
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_sim->setEntry(3, simEntry(3, "Zoe"));
        QList<QByteArray> withLine = simEntry(12, "Paul");
        withLine[14] = "Hinterhaus";
        m_sim->setEntry(12, withLine);
        m_sim->setEntry(505, simEntry(505, "anna"));
        m_window = std::make_unique<TFrm_Q7_Manager>(m_dir->filePath(QStringLiteral("absent.ini")));
        m_window->comPort().setDeviceOverride(m_sim->start());
        QSignalSpy searched(m_window.get(), &TFrm_Q7_Manager::searchFinished);
        m_window->show();
        QVERIFY(searched.wait(5000));
        m_window->Btn_DatenLesenClick();
        m_sim->clearCommands();
    }

    void cleanup()
    {
        m_window.reset();
        m_sim.reset();
        m_override.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void writeAsksBeforeNoteLinesAreLost()
    {
        setWriteOnlyChanged(false);
        m_dialogs->queueAnswer(QMessageBox::No);
        m_window->Btn_DatenschreibenClick();
        const auto asked = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Zusatzzeilen gehen verloren"));
        QCOMPARE(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(asked[0].text.contains(QStringLiteral("Betroffen: 1 Eintrag (Paul)")),
                 qPrintable(asked[0].text));
        QVERIFY2(asked[0].text.contains(QStringLiteral("\"Daten speichern\"")),
                 qPrintable(asked[0].text));
        QVERIFY(m_sim->commands().isEmpty()); // No writes nothing

        m_dialogs->queueAnswer(QMessageBox::Yes);
        m_window->Btn_DatenschreibenClick();
        QCOMPARE(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).size(), 2);
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("3 Einträge geschrieben"));
    }

    void noQuestionWhenNoWrittenEntryHasLines()
    {
        // Only the changed records go: Paul's lines are not sent.
        setWriteOnlyChanged(true);
        m_window->recordStore().setField(3, ChangedFlag, "JA");
        m_window->Btn_DatenschreibenClick();
        QVERIFY(m_dialogs->calls().isEmpty());
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("1 Eintrag geschrieben"));

        m_window->recordStore().setField(3, ChangedFlag, "NEIN");
        m_window->Btn_DatenschreibenClick();
        QCOMPARE(m_window->statusPanel(0)->text(),
                 QStringLiteral("Nichts zu schreiben: kein Eintrag musste geschrieben werden."));
    }

    void fileOperationsAndEraseSayWhatWasDone()
    {
        const QString path = m_dir->filePath(QStringLiteral("phonebook.csv"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenspeichernClick();
        QCOMPARE(m_window->statusPanel(0)->text(),
                 QStringLiteral("3 Einträge in phonebook.csv gespeichert"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenladenClick();
        QCOMPARE(m_window->statusPanel(0)->text(),
                 QStringLiteral("3 Einträge aus phonebook.csv geladen"));

        m_dialogs->queueAnswer(QMessageBox::Yes);
        m_window->Btn_LoeschenClick();
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("Handy gelöscht: 3 Einträge"));
    }

    void portListSaysWhatEachNameIs()
    {
        auto* list = m_window->findChild<QComboBox*>(QStringLiteral("ComCB_COM"));
        const int com9 = list->findText(QStringLiteral("COM9"));
        QVERIFY(com9 >= 0);
        // The pinned adapter is not plugged in: no file stands at its path.
        const QString device =
            m_dir->filePath(QStringLiteral("adapter")) + QStringLiteral(" (nicht vorhanden)");
        QCOMPARE(list->itemData(com9, Qt::ToolTipRole).toString(), device);
        // The opened list is wide enough to show it beside the name.
        QVERIFY(list->view()->minimumWidth() >
                list->view()->fontMetrics().horizontalAdvance(QStringLiteral("COM9   ") + device));
        list->setCurrentIndex(com9);
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Lbl_ComGeraet"))->text(),
                 QStringLiteral("Gerät: ") + device);
    }

    void fileDialogsStartWhereTheLastRunLeftOff()
    {
        QDir(m_dir->path()).mkdir(QStringLiteral("sub"));
        const QString path = m_dir->filePath(QStringLiteral("sub/phonebook.csv"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenspeichernClick();
        m_window->close();
        m_window = std::make_unique<TFrm_Q7_Manager>(m_dir->filePath(QStringLiteral("absent.ini")));
        QSignalSpy started(m_window.get(), &TFrm_Q7_Manager::startupFinished);
        m_window->show();
        QVERIFY(started.wait(5000));
        m_window->Btn_DatenladenClick(); // cancelled: no file queued
        QCOMPARE(m_dialogs->startFolders().constLast(), QFileInfo(path).absolutePath());
    }

private:
    void setWriteOnlyChanged(bool on)
    {
        m_window->findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->setChecked(on);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    std::unique_ptr<TFrm_Q7_Manager> m_window;
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
