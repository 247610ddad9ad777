// SPDX-License-Identifier: GPL-3.0-or-later
// A serial device plugged in after the start is noticed by the port list's
// poll, and only a device that was not there at the last look counts.

#include "link/PortWatcher.h"

#include <QSignalSpy>
#include <QTest>

using namespace q7;

class TestPortWatcher : public QObject
{
    Q_OBJECT

private slots:
    void saysWhichDevicesAppeared()
    {
        QStringList present{"/dev/ttyS0"};
        PortWatcher watcher([&] { return present; });
        QSignalSpy appeared(&watcher, &PortWatcher::portsAppeared);
        watcher.start();
        QVERIFY(watcher.isActive());

        // What was there at the start is known; nothing changed, nothing said.
        watcher.poll();
        QCOMPARE(appeared.size(), 0);

        present << "/dev/ttyUSB0"
                << "/dev/ttyACM0";
        watcher.poll();
        QCOMPARE(appeared.size(), 1);
        QCOMPARE(appeared.takeFirst().front().toStringList(),
                 (QStringList{"/dev/ttyUSB0", "/dev/ttyACM0"}));

        // Unplugged and plugged in again: it counts once more.
        present.removeAll("/dev/ttyUSB0");
        watcher.poll();
        QCOMPARE(appeared.size(), 0);
        present << "/dev/ttyUSB0";
        watcher.poll();
        QCOMPARE(appeared.size(), 1);
        QCOMPARE(appeared.takeFirst().front().toStringList(), QStringList{"/dev/ttyUSB0"});

        watcher.stop();
        QVERIFY(!watcher.isActive());
    }

    // The timer looks by itself, every two seconds.
    void pollsOnItsOwn()
    {
        QStringList present;
        PortWatcher watcher([&] { return present; });
        QSignalSpy appeared(&watcher, &PortWatcher::portsAppeared);
        watcher.start();
        present << "/dev/ttyUSB3";
        QVERIFY(appeared.wait(PortWatcher::kIntervalMs + 1000));
        QCOMPARE(appeared.front().front().toStringList(), QStringList{"/dev/ttyUSB3"});
    }
};

QTEST_GUILESS_MAIN(TestPortWatcher)
#include "tst_portwatcher.moc"
