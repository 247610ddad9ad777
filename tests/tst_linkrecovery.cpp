// SPDX-License-Identifier: GPL-3.0-or-later
// The window finds its way back to the handset by itself: after the
// simulated handset went away and came back on the same link, and after the
// line dropped in the middle of a write.

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "link/ComPort.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

using namespace q7;

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        m_f->sim.setEntry(3, simEntry(3, "Zoe"));
        m_f->sim.setEntry(12, simEntry(12, "Paul"));
        m_f->sim.setEntry(505, simEntry(505, "anna"));
        m_link = m_f->filePath(QStringLiteral("handset"));
        startSimOnLink();
        m_f->start(m_link);
        QVERIFY(m_f->handsetFound());
    }

    void cleanup() { m_f.reset(); }

    void readAfterTheHandsetCameBack()
    {
        m_f->read();
        QCOMPARE(m_f->window->recordStore().field(12, Name), QByteArray("Paul"));

        restartSim();
        m_f->sim.setEntry(12, simEntry(12, "Paula"));
        m_f->read();

        QVERIFY2(m_f->dialogs.calls().isEmpty(), qPrintable(m_f->dialogs.calls().value(0).text));
        QCOMPARE(m_f->window->recordStore().field(12, Name), QByteArray("Paula"));
        QCOMPARE(m_f->window->recordStore().field(505, Name), QByteArray("anna"));
        // Checked again before anything else: the reset handset echoes.
        const QList<QByteArray> sent = m_f->sim.commands();
        QCOMPARE(sent.value(0), QByteArray("ATE0"));
        QCOMPARE(sent.value(1), QByteArray("ATI2"));
    }

    void writeAgainAfterTheLineDroppedMidWrite()
    {
        m_f->read();
        m_f->setWriteOnlyChanged(false);
        m_f->sim.clearEntry(3);
        m_f->sim.clearEntry(505);

        q7sim::SimOptions options = m_f->sim.options();
        options.dropLineAfter = m_f->sim.commandCount() + 4;
        m_f->sim.setOptions(options);
        m_f->window->Btn_DatenschreibenClick();
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(
            boxes[0].text.contains(QStringLiteral("Die Verbindung zum Handy ist unterbrochen")),
            qPrintable(boxes[0].text));
        QCOMPARE(progressBar()->value(), 0);
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("Ruhezustand"));

        // The cable goes back in: the handset is the same, its line is new.
        options.dropLineAfter.reset();
        m_f->sim.setOptions(options);
        restartSim();
        m_f->dialogs.clearCalls();
        m_f->window->Btn_DatenschreibenClick();
        const auto boxes2 = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QVERIFY2(boxes2.isEmpty(), qPrintable(boxes2.value(0).text));
        QCOMPARE(m_f->sim.entry(3).value(1), QByteArray("Zoe"));
        QCOMPARE(m_f->sim.entry(12).value(1), QByteArray("Paul"));
        QCOMPARE(m_f->sim.entry(505).value(1), QByteArray("anna"));
        QCOMPARE(m_f->sim.commands().value(1), QByteArray("ATI2"));
    }

private:
    void startSimOnLink()
    {
        const QString device = m_f->sim.start();
        QFile::remove(m_link);
        QVERIFY(QFile::link(device, m_link));
    }

    // The handset is switched off and on again; the window is not told.
    void restartSim()
    {
        m_f->sim.stop();
        // The window notices the hang-up from its event loop, as it would
        // before the user can press anything.
        QTRY_VERIFY(!m_f->window->comPort().Connected());
        startSimOnLink();
        m_f->sim.clearCommands();
    }

    QProgressBar* progressBar() const
    {
        return m_f->window->findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
    }

    std::unique_ptr<WindowFixture> m_f;
    QString m_link;
};

QTEST_MAIN(TestRecovery)
#include "tst_linkrecovery.moc"
