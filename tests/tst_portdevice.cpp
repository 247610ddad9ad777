// SPDX-License-Identifier: GPL-3.0-or-later
// What the port list tells about the device behind each name.

#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "link/PortMap.h"

#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestPortDevice : public QObject
{
    Q_OBJECT

private slots:
    void description_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("shown");
        QTest::newRow("usb adapter")
            << "/dev/ttyUSB0"
            << "USB-Serial Controller"
            << "Prolific"
            << "A50285BI" << true
            << "/dev/ttyUSB0 \u2013 USB-Serial Controller (Prolific), Seriennummer A50285BI";
        QTest::newRow("maker named in the description")
            << "/dev/ttyUSB1"
            << "FTDI FT232R USB UART"
            << "FTDI"
            << "" << true << "/dev/ttyUSB1 \u2013 FTDI FT232R USB UART";
        QTest::newRow("maker only") << "/dev/ttyACM0"
                                    << ""
                                    << "Vexa"
                                    << "" << true << "/dev/ttyACM0 \u2013 Vexa";
        QTest::newRow("serial only") << "/dev/ttyACM1"
                                     << ""
                                     << ""
                                     << "42" << true << "/dev/ttyACM1 \u2013 Seriennummer 42";
        QTest::newRow("on-board port") << "/dev/ttyS0"
                                       << ""
                                       << ""
                                       << "" << true << "/dev/ttyS0";
        QTest::newRow("pinned adapter unplugged")
            << "/dev/serial/by-id/usb-Prolific-port0"
            << ""
            << ""
            << "" << false << "/dev/serial/by-id/usb-Prolific-port0 (nicht vorhanden)";
        QTest::newRow("nothing behind the name") << ""
                                                 << ""
                                                 << ""
                                                 << "" << true << "";
    }
    void description()
    {
        QFETCH(QString, device);
        QFETCH(QString, description);
        QFETCH(QString, manufacturer);
        QFETCH(QString, serial);
        QFETCH(bool, present);
        QFETCH(QString, shown);
        QCOMPARE(
            deviceDescription({device, description, manufacturer, serial, present}, LanguageFile()),
            shown);
    }

    void pinnedNameFindsItsDevice()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const QString pinned = dir.filePath(QStringLiteral("handset"));
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("Ports/COM9"), pinned);
        QCOMPARE(describeComPort(QStringLiteral("COM9")).device, pinned);
        QVERIFY(describeComPort(QStringLiteral("COM96")).device.isEmpty());
    }

    // A name pinned to a link whose adapter is out says so; plugged in, not.
    void pinnedDeviceThatIsNotThere()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const QString pinned = dir.filePath(QStringLiteral("by-id-link"));
        const QString adapter = dir.filePath(QStringLiteral("ttyUSB7"));
        QVERIFY(QFile::link(adapter, pinned));
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("Ports/COM9"), pinned);
        QVERIFY(!describeComPort(QStringLiteral("COM9")).present);
        QFile plugged(adapter);
        QVERIFY(plugged.open(QIODevice::WriteOnly));
        plugged.close();
        QVERIFY(describeComPort(QStringLiteral("COM9")).present);
    }
};

QTEST_GUILESS_MAIN(TestPortDevice)
#include "tst_portdevice.moc"
