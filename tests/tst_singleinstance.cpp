// SPDX-License-Identifier: GPL-3.0-or-later
// One program per user: a second start finds the first, asks it to bring its
// window forward and gives way; what a crashed run left is taken over.

#include "app/frame/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondStartRaisesTheFirst()
    {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QVERIFY(first.claim());
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);

        SingleInstance second(folder.path());
        QVERIFY(!second.claim());
        QVERIFY(raised.size() == 1 || raised.wait(2000));

        // Another user (another folder) runs a program of his own.
        QTemporaryDir otherUser;
        SingleInstance elsewhere(otherUser.path());
        QVERIFY(elsewhere.claim());
        QCOMPARE(raised.size(), 1);
    }

    void lockOfACrashedRunIsTakenOver()
    {
        QTemporaryDir folder;
        SingleInstance crashed(folder.path());
        {
            // The lock and the socket file as a run that died leaves them:
            // its process no longer runs.
            QFile lock(crashed.lockFilePath());
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write("2147483\nq7manager\n" + QSysInfo::machineHostName().toUtf8() + '\n');
            QFile socket(crashed.serverName());
            QVERIFY(socket.open(QIODevice::WriteOnly));
        }
        SingleInstance next(folder.path());
        QVERIFY(next.claim());
        QSignalSpy raised(&next, &SingleInstance::raiseRequested);
        SingleInstance later(folder.path());
        QVERIFY(!later.claim());
        QVERIFY(raised.size() == 1 || raised.wait(2000));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
