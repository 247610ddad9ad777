// SPDX-License-Identifier: GPL-3.0-or-later
// A termination signal ends the program also while a message box is open,
// and unsaved edits survive it in a recovery file the next start offers.

#include "app/frame/MainWindow.h"
#include "app/frame/RecoveryFile.h"
#include "app/frame/ShutdownSignals.h"
#include "app/phonebook/PhonebookPage.h"
#include "base/RegistryKey.h"
#include "editing/EditOperations.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>

using namespace q7;

class TestShutdown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void sigtermWhileAMessageBoxIsOpen()
    {
        // Real dialogs: the search at start meets no port and opens its box.
        WindowFixture f(WindowFixture::DialogsUsed::Real);
        TFrm_Q7_Manager& window = f.makeWindow(f.filePath(QStringLiteral("no-such-tty")));
        window.recordStore().setField(3, Name, "Zoe");
        window.recordStore().setField(3, Speicherplatz, "3");
        EditResult edited;
        edited.touched = {3};
        window.phonebookPage().applyEdit(edited, TextId::Rueckgaengig_Bearbeiten);
        closeOnTerminationSignals(window);

        QElapsedTimer sinceSignal;
        QString boxText;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || sinceSignal.isValid())
                return;
            boxText = box->text();
            sinceSignal.start();
            ::raise(SIGTERM);
        });
        poll.start();
        QSignalSpy shutDown(&window, &TFrm_Q7_Manager::shutDown);
        window.show();
        QVERIFY(shutDown.wait(5000));
        QVERIFY2(sinceSignal.isValid(), "no message box came up");
        QVERIFY2(sinceSignal.elapsed() < 1000, qPrintable(QString::number(sinceSignal.elapsed())));
        QVERIFY2(boxText.contains(QStringLiteral("Unable to open com port")), qPrintable(boxText));
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        // Saved as on a normal close, and the edit kept.
        QVERIFY(
            openRegistryKey(kProgramKey)->contains(QStringLiteral("Telefonbuch/Nur Geaenderte")));
        QVERIFY(QFileInfo::exists(recoveryFilePath()));
        QCOMPARE(QFileInfo(recoveryFilePath()).absolutePath(),
                 QFileInfo(openRegistryKey(kProgramKey)->fileName()).absolutePath());
        // The edits are personal data: nobody else on the machine reads them.
        const QFile::Permissions ownerOnly =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(QFileInfo(recoveryFilePath()).permissions().toInt(), ownerOnly.toInt());
    }

    void nextStartOffersTheRecoveryFile_data()
    {
        QTest::addColumn<bool>("load");
        QTest::newRow("loaded") << true;
        QTest::newRow("declined") << false;
    }
    void nextStartOffersTheRecoveryFile()
    {
        QFETCH(bool, load);
        WindowFixture f;
        auto edited = std::make_unique<RecordStore>();
        edited->setField(3, Speicherplatz, "3");
        edited->setField(3, Name, "Zoe");
        edited->setField(7, Speicherplatz, "7");
        edited->setField(7, Name, "Q7LoeschenQ7");
        writeRecoveryFile(*edited);

        f.dialogs.queueAnswer(load ? QMessageBox::Yes : QMessageBox::No);
        TFrm_Q7_Manager& window = f.makeWindow(f.filePath(QStringLiteral("no-such-tty")));
        QSignalSpy started(&window, &TFrm_Q7_Manager::startupFinished);
        window.show();
        QVERIFY(started.wait(5000));

        const auto asked = f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked[0].title, QStringLiteral("Nicht gespeicherte Änderungen"));
        QVERIFY(!QFileInfo::exists(recoveryFilePath()));
        QCOMPARE(window.hasUnsavedEdits(), load);
        QCOMPARE(window.recordStore().field(3, Name), load ? QByteArray("Zoe") : QByteArray());
        if (load) {
            // Not on the handset yet: the next write sends them.
            QVERIFY(window.recordStore().isChanged(3));
            QVERIFY(window.recordStore().isMarkedForDeletion(7));
        }
    }
};

QTEST_MAIN(TestShutdown)
#include "tst_shutdown.moc"
