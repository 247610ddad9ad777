// SPDX-License-Identifier: GPL-3.0-or-later
// The window says what it did, and asks before a write that loses text.

#include "app/frame/MainWindow.h"
#include "base/RegistryKey.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace q7;

class TestFeedback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        openRegistryKey(kProgramKey)
            ->setValue(QStringLiteral("Ports/COM9"), m_f->filePath(QStringLiteral("adapter")));
        m_f->sim.setEntry(3, simEntry(3, "Zoe"));
        QList<QByteArray> withLine = simEntry(12, "Paul");
        withLine[14] = "Hinterhaus";
        m_f->sim.setEntry(12, withLine);
        m_f->sim.setEntry(505, simEntry(505, "anna"));
        m_f->startOnSim();
        m_f->read();
        m_f->sim.clearCommands();
    }

    void cleanup() { m_f.reset(); }

    void writeAsksBeforeNoteLinesAreLost()
    {
        m_f->setWriteOnlyChanged(false);
        m_f->dialogs.queueAnswer(QMessageBox::No);
        m_f->window->Btn_DatenschreibenClick();
        const auto asked = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Zusatzzeilen gehen verloren"));
        QCOMPARE(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY2(asked[0].text.contains(QStringLiteral("Betroffen: 1 Eintrag (Paul)")),
                 qPrintable(asked[0].text));
        QVERIFY2(asked[0].text.contains(QStringLiteral("\"Daten speichern\"")),
                 qPrintable(asked[0].text));
        QVERIFY(m_f->sim.commands().isEmpty()); // No writes nothing

        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 2);
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("3 Einträge geschrieben"));
    }

    void noQuestionWhenNoWrittenEntryHasLines()
    {
        // Only the changed records go: Paul's lines are not sent.
        m_f->setWriteOnlyChanged(true);
        m_f->window->recordStore().setField(3, ChangedFlag, "JA");
        m_f->window->Btn_DatenschreibenClick();
        QVERIFY(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).isEmpty());
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("1 Eintrag geschrieben"));

        m_f->window->recordStore().setField(3, ChangedFlag, "NEIN");
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(
            m_f->window->statusPanel(0)->text(),
            QStringLiteral("Nichts zu schreiben: das Handy hält schon, was das Fenster zeigt."));
    }

    void fileOperationsAndEraseSayWhatWasDone()
    {
        const QString path = m_f->filePath(QStringLiteral("phonebook.csv"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenspeichernClick();
        QCOMPARE(m_f->window->statusPanel(0)->text(),
                 QStringLiteral("3 Einträge in phonebook.csv gespeichert"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();
        QCOMPARE(m_f->window->statusPanel(0)->text(),
                 QStringLiteral("3 Einträge aus phonebook.csv geladen"));

        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("Handy gelöscht: 3 Einträge"));
    }

    // A file edited by hand may name a location twice: the last line
    // fills it, and the window says which entries did not come in.
    void loadingALocationNamedTwiceSaysSo()
    {
        const QString path =
            m_f->writeFile(QStringLiteral("twice.csv"),
                           "3,\"Erste\"\r\n505,\"anna\"\r\n3,\"Zweite\"\r\n505,\"Anna\"\r\n");
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();
        const auto told = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(told.size(), 1);
        QCOMPARE(told[0].icon, QMessageBox::Warning);
        QCOMPARE(told[0].text, QStringLiteral("Diese Speicherplätze stehen mehr als einmal in der "
                                              "Datei, geladen ist jeweils nur die letzte Zeile: "
                                              "3, 505"));
        QCOMPARE(m_f->window->recordStore().field(3, Name), QByteArray("Zweite"));
        QCOMPARE(m_f->window->recordStore().field(505, Name), QByteArray("Anna"));
        QCOMPARE(m_f->window->statusPanel(0)->text(),
                 QStringLiteral("2 Einträge aus twice.csv geladen"));
    }

    void portListSaysWhatEachNameIs()
    {
        auto* list = m_f->window->findChild<QComboBox*>(QStringLiteral("ComCB_COM"));
        const int com9 = list->findText(QStringLiteral("COM9"));
        QVERIFY(com9 >= 0);
        // The pinned adapter is not plugged in: no file stands at its path.
        const QString device =
            m_f->filePath(QStringLiteral("adapter")) + QStringLiteral(" (nicht vorhanden)");
        QCOMPARE(list->itemData(com9, Qt::ToolTipRole).toString(), device);
        // The opened list is wide enough to show it beside the name.
        QVERIFY(list->view()->minimumWidth() >
                list->view()->fontMetrics().horizontalAdvance(QStringLiteral("COM9   ") + device));
        list->setCurrentIndex(com9);
        QCOMPARE(m_f->window->findChild<QLabel*>(QStringLiteral("Lbl_ComGeraet"))->text(),
                 QStringLiteral("Gerät: ") + device);
    }

    void fileDialogsStartWhereTheLastRunLeftOff()
    {
        QDir(m_f->dir.path()).mkdir(QStringLiteral("sub"));
        const QString path = m_f->filePath(QStringLiteral("sub/phonebook.csv"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenspeichernClick();
        m_f->window->close();
        m_f->makeWindow(m_f->sim.devicePath());
        QSignalSpy started(m_f->window.get(), &TFrm_Q7_Manager::startupFinished);
        m_f->window->show();
        QVERIFY(started.wait(5000));
        m_f->window->Btn_DatenladenClick(); // cancelled: no file queued
        QCOMPARE(m_f->dialogs.startFolders().constLast(), QFileInfo(path).absolutePath());
    }

private:
    std::unique_ptr<WindowFixture> m_f;
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
