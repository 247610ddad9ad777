// SPDX-License-Identifier: GPL-3.0-or-later
// How the window leads the user to a handset it did not find: the notice on
// the phonebook page and its way to the options page, the search on a port
// chosen in the list, "Test" ending in words and findings, and the search
// on a device that appears later.

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "app/options/ComComboBox.h"
#include "app/phonebook/NoHandsetNotice.h"
#include "app/transfers/TransferGuard.h"
#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace q7;

class TestFindHandset : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { m_f = std::make_unique<WindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void noHandsetShowsTheNoticeThatLeadsToTheOptions()
    {
        m_f->startWithoutHandset();
        QVERIFY(!m_f->handsetFound());
        NoHandsetNotice* notice = m_f->window->phonebookPage().noHandsetNotice();
        QVERIFY(notice->isVisible());
        QVERIFY(m_f->window->transfers().portWatcher().isActive());
        QCOMPARE(resultLabel()->text(),
                 QStringLiteral("COM1 ließ sich nicht öffnen; die Meldung sagt, warum."));
        // The device is not there: no word of switching the handset on.
        QCOMPARE(notice->text(), QStringLiteral("COM1 ist nicht vorhanden. Bitte Kabel oder "
                                                "USB-Adapter einstecken oder den Port wählen."));

        QTest::mouseClick(notice->optionsButton(), Qt::LeftButton);
        auto* pages = m_f->window->findChild<QTabWidget*>(QStringLiteral("PageControl"));
        QCOMPARE(pages->currentWidget(), &m_f->window->optionsPage());
    }

    // The notice in the words of the port's failure.
    void noticeSaysWhyThePortFailed_data()
    {
        QTest::addColumn<int>("cause"); // -1: the port opened, nothing answered
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing answered")
            << -1
            << "Kein Vexa TLM-Q7 gefunden. Bitte das Handy einschalten, das Kabel prüfen oder den "
               "Port wählen.";
        QTest::newRow("no permission")
            << int(PortFailureCause::NoPermission)
            << "Keine Berechtigung für COM3; die Meldung sagt, was zu tun ist.";
        QTest::newRow("held by another program")
            << int(PortFailureCause::Busy)
            << "COM3 wird von einem anderen Programm benutzt. Bitte das Programm beenden oder den "
               "Port wählen.";
        QTest::newRow("no device behind the name")
            << int(PortFailureCause::NotMapped)
            << "COM3 ist nicht vorhanden. Bitte Kabel oder USB-Adapter einstecken oder den Port "
               "wählen.";
        QTest::newRow("the settings refused")
            << int(PortFailureCause::Refused)
            << "COM3 ließ sich nicht öffnen; die Meldung sagt, warum.";
    }

    void noticeSaysWhyThePortFailed()
    {
        QFETCH(int, cause);
        QFETCH(QString, text);
        const std::optional<PortFailureCause> failure =
            cause < 0 ? std::nullopt : std::optional(PortFailureCause(cause));
        QCOMPARE(noHandsetText(LanguageFile(), failure, QStringLiteral("COM3")), text);
    }

    void choosingAPortSearchesThereAtOnce()
    {
        // COM7 stands for the handset; the window starts on a port with none.
        const QString device = m_f->sim.start();
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("Ports/COM7"), device);
        m_f->startWithoutHandset();
        m_f->window->comPort().setDeviceOverride(QString());
        QVERIFY(m_f->window->phonebookPage().noHandsetNotice()->isVisible());

        auto* ports = m_f->window->findChild<TComComboBox*>(QStringLiteral("ComCB_COM"));
        const int index = ports->findText(QStringLiteral("COM7"));
        QVERIFY(index >= 0);
        QSignalSpy searched(m_f->window.get(), &TFrm_Q7_Manager::searchFinished);
        ports->setCurrentIndex(index);
        emit ports->activated(index);
        QVERIFY(searched.wait(5000));
        QCOMPARE(searched.first().first().toBool(), true);
        QCOMPARE(m_f->window->comPort().Port(), QStringLiteral("COM7"));
        QVERIFY(!m_f->window->phonebookPage().noHandsetNotice()->isVisible());
        QVERIFY(!m_f->window->transfers().portWatcher().isActive());
        QCOMPARE(resultLabel()->text(), QStringLiteral("COM7: der Vexa TLM-Q7 antwortet."));
    }

    void testEndsWithItsResultInWords_data()
    {
        QTest::addColumn<bool>("answering");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("findingsBox");

        QTest::newRow("handset answers") << true << "COM1: der Vexa TLM-Q7 antwortet." << false;
        QTest::newRow("nothing answers")
            << false
            << "COM1: kein Vexa TLM-Q7 antwortet. Bitte das Handy einschalten, das Kabel prüfen "
               "und den Vorgang wiederholen."
            << true;
    }

    void testEndsWithItsResultInWords()
    {
        QFETCH(bool, answering);
        QFETCH(QString, result);
        QFETCH(bool, findingsBox);

        m_f->startOnSim();
        QVERIFY(m_f->handsetFound());
        m_f->sim.setSilent(!answering);
        m_f->dialogs.clearCalls();
        QTest::mouseClick(button("Btn_ComTest"), Qt::LeftButton);

        QCOMPARE(resultLabel()->text(), result);
        QCOMPARE(m_f->window->phonebookPage().noHandsetNotice()->isVisible(), !answering);
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), findingsBox ? 1 : 0);
        if (findingsBox) {
            // What did not answer, then what the system shows about the
            // port the search used.
            QVERIFY2(boxes.first().text.startsWith(result + "\n\nDas zeigt das System:\n- "),
                     qPrintable(boxes.first().text));
            QVERIFY2(boxes.first().text.contains(m_f->window->comPort().devicePath()),
                     qPrintable(boxes.first().text));
        }
    }

    void appearingDeviceStartsASearch_data()
    {
        QTest::addColumn<bool>("duringTransfer");
        QTest::newRow("nothing runs") << false;
        QTest::newRow("a transfer runs") << true;
    }

    void appearingDeviceStartsASearch()
    {
        QFETCH(bool, duringTransfer);

        // The port's device is not there at the start: an adapter not yet
        // plugged in. Then it appears.
        const QString link = m_f->filePath(QStringLiteral("ttyQ7"));
        m_f->start(link);
        QVERIFY(!m_f->handsetFound());
        QVERIFY(QFile::link(m_f->sim.start(), link));

        QSignalSpy started(m_f->window.get(), &TFrm_Q7_Manager::searchStarted);
        TransferController& transfers = m_f->window->transfers();
        {
            std::optional<TransferGuard> transfer;
            if (duringTransfer)
                transfer.emplace(transfers);
            emit transfers.portWatcher().portsAppeared({link});
        }
        QCOMPARE(started.size(), duringTransfer ? 0 : 1);
        QCOMPARE(button("Btn_DatenLesen")->isEnabled(), !duringTransfer);
        QCOMPARE(m_f->window->phonebookPage().noHandsetNotice()->isVisible(), duringTransfer);
    }

private:
    QPushButton* button(const char* name) const
    {
        return m_f->window->findChild<QPushButton*>(QLatin1String(name));
    }
    QLabel* resultLabel() const { return m_f->window->optionsPage().searchResultLabel(); }

    std::unique_ptr<WindowFixture> m_f;
};

QTEST_MAIN(TestFindHandset)
#include "tst_findhandset.moc"
