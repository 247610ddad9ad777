// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port's settings: names, the flow-control choice and the lines it sets,
// the settings store, and the mapping of COM names to devices.

#include "base/Errors.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "link/PortMap.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

class TestComPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    }
    void init() { openRegistryKey(kProgramKey)->clear(); }

    void normalisesPortNames_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("name");
        QTest::newRow("lower case") << "com5"
                                    << "COM5";
        QTest::newRow("highest") << "COM96"
                                 << "COM96";
        QTest::newRow("zero") << "COM0"
                              << "COM1";
        QTest::newRow("too high") << "COM97"
                                  << "COM1";
        QTest::newRow("other kind") << "LPT1"
                                    << "COM1";
        QTest::newRow("empty") << ""
                               << "COM1";
        QTest::newRow("bare number") << "12"
                                     << "COM12";
        QTest::newRow("negative") << "COM-3"
                                  << "COM1";
    }
    void normalisesPortNames()
    {
        QFETCH(QString, given);
        QFETCH(QString, name);
        QCOMPARE(normalisePortName(given), name);
        TComPort port;
        port.setPort(given);
        QCOMPARE(port.Port(), name);
    }

    void namesFallBackWhenUnknown()
    {
        QCOMPARE(baudRateFromName(QStringLiteral("12345")), br9600);
        QCOMPARE(baudRateFromName(QStringLiteral("custom")), brCustom);
        QCOMPARE(baudRateFromName(QStringLiteral("115200")), br115200);
        QCOMPARE(stopBitsFromName(QStringLiteral("3")), sbOneStopBit);
        QCOMPARE(stopBitsFromName(QStringLiteral("1.5")), sbOne5StopBits);
        QCOMPARE(dataBitsFromName(QStringLiteral("9")), dbEight);
        QCOMPARE(parityFromName(QStringLiteral("EVEN")), prEven);
        QCOMPARE(parityFromName(QStringLiteral("x")), prNone);
        QCOMPARE(flowControlFromName(QStringLiteral("none")), fcNone);
        QCOMPARE(flowControlFromName(QStringLiteral("rts")), fcCustom);
        QCOMPARE(baudRateNames().indexOf(QStringLiteral("115200")), 13);
    }

    void theWindowsValues()
    {
        const LineSettings settings;
        const TComFlowControl& flow = settings.FlowControl;
        QCOMPARE(flow.ControlDTR, dtrHandshake);
        QCOMPARE(flow.ControlRTS, rtsDisable);
        QVERIFY(!flow.OutCTSFlow);
        QVERIFY(!flow.XonXoffOut);
        QVERIFY(!flow.XonXoffIn);
        QCOMPARE(settings.Parity.Bits, prNone);
        QCOMPARE(flowControlChoice(settings.FlowControl), fcNone);
        QCOMPARE(bitsPerSecond(settings.BaudRate, settings.CustomBaudRate), 115200);
    }

    void flowControlChoiceSetsTheLines_data()
    {
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<int>("rts");
        QTest::addColumn<bool>("ctsOut");
        QTest::addColumn<bool>("xonXoff"); // in and out alike
        QTest::addColumn<int>("derived");
        QTest::newRow("hardware") << QList<int>{fcHardware} << int(rtsHandshake) << true << false
                                  << int(fcHardware);
        QTest::newRow("software") << QList<int>{fcSoftware} << int(rtsDisable) << false << true
                                  << int(fcSoftware);
        QTest::newRow("hardware then none")
            << QList<int>{fcHardware, fcNone} << int(rtsDisable) << false << false << int(fcNone);
        QTest::newRow("software then custom") << QList<int>{fcSoftware, fcCustom} << int(rtsDisable)
                                              << false << true << int(fcSoftware);
    }
    void flowControlChoiceSetsTheLines()
    {
        QFETCH(QList<int>, choices);
        QFETCH(int, rts);
        QFETCH(bool, ctsOut);
        QFETCH(bool, xonXoff);
        QFETCH(int, derived);
        TComPort port;
        for (int choice : choices)
            port.setFlowControlChoice(TFlowControl(choice));
        const TComFlowControl& flow = port.lineSettings().FlowControl;
        QCOMPARE(int(flow.ControlRTS), rts);
        QCOMPARE(flow.OutCTSFlow, ctsOut);
        QCOMPARE(flow.XonXoffOut, xonXoff);
        QCOMPARE(flow.XonXoffIn, xonXoff);
        QCOMPARE(int(port.flowControlChoice()), derived);
        QCOMPARE(port.FlowControl().ControlDTR, dtrHandshake); // no choice touches DTR
    }

    void customFlagsDeriveCustom()
    {
        TComFlowControl flow;
        flow.XonXoffIn = true; // only one direction
        QCOMPARE(flowControlChoice(flow), fcCustom);
        flow = {};
        flow.ControlRTS = rtsEnable;
        QCOMPARE(flowControlChoice(flow), fcCustom);
    }

    void settingsRoundTrip()
    {
        TComPort stored;
        stored.setPort(QStringLiteral("COM7"));
        stored.setBaudRate(brCustom);
        stored.setCustomBaudRate(31250);
        stored.setStopBits(sbTwoStopBits);
        stored.setParity({prOdd});
        stored.setFlowControlChoice(fcSoftware);
        stored.StorePortSettings(kProgramKey);

        auto settings = openRegistryKey(kProgramKey);
        settings->beginGroup(QStringLiteral("ComPort"));
        QCOMPARE(settings->value(QStringLiteral("BaudRate")).toString(), QStringLiteral("Custom"));
        QCOMPARE(settings->value(QStringLiteral("CustomBaudRate")).toInt(), 31250);
        QCOMPARE(settings->value(QStringLiteral("FlowControl")).toString(),
                 QStringLiteral("Software"));
        settings.reset();

        TComPort restored;
        restored.RestorePortSettings(kProgramKey);
        QCOMPARE(restored.Port(), QStringLiteral("COM7"));
        QCOMPARE(restored.lineSettings(), stored.lineSettings());
    }

    void restoreTakesFallbacksForUnknownNames()
    {
        {
            auto settings = openRegistryKey(kProgramKey);
            settings->setValue(QStringLiteral("ComPort/Port"), QStringLiteral("LPT2"));
            settings->setValue(QStringLiteral("ComPort/BaudRate"), QStringLiteral("12345"));
            settings->setValue(QStringLiteral("ComPort/FlowControl"), QStringLiteral("none"));
        }
        TComPort port;
        port.setFlowControlChoice(fcHardware);
        port.RestorePortSettings(kProgramKey);
        QCOMPARE(port.Port(), QStringLiteral("COM1"));
        QCOMPARE(port.BaudRate(), br9600);
        QCOMPARE(port.flowControlChoice(), fcNone);
        QCOMPARE(port.FlowControl().ControlDTR, dtrHandshake);
    }

    void openingAnAbsentPortFails()
    {
        TComPort port;
        port.setDeviceOverride(QStringLiteral("/dev/q7-absent"));
        try {
            port.OpenPort();
            QFAIL("an absent device opened");
        } catch (const EComPort& failure) {
            QCOMPARE(failure.code(), EComPort::OpenFailed);
            QVERIFY(
                failure.message().startsWith(QStringLiteral("Unable to open com port (errno ")));
        }
        QVERIFY(!port.Connected());
    }

    void mapsComNamesToDevices_data()
    {
        using Map = QMap<int, QString>;
        QTest::addColumn<Map>("pinned");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<Map>("expected");
        QTest::newRow("families in order")
            << Map{}
            << QStringList{"/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyS2",
                           "/dev/ttyUSB0"}
            << Map{{1, "/dev/ttyS2"},
                   {2, "/dev/ttyS10"},
                   {3, "/dev/ttyUSB0"},
                   {4, "/dev/ttyUSB1"},
                   {5, "/dev/ttyACM0"}};
        QTest::newRow("pinned numbers are reserved")
            << Map{{1, "/dev/pts/4"}, {3, "/dev/ttyUSB0"}}
            << QStringList{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"}
            << Map{{1, "/dev/pts/4"}, {2, "/dev/ttyS0"}, {3, "/dev/ttyUSB0"}, {4, "/dev/ttyS1"}};
        QTest::newRow("others last") << Map{} << QStringList{"/dev/rfcomm0", "/dev/ttyS0"}
                                     << Map{{1, "/dev/ttyS0"}, {2, "/dev/rfcomm0"}};
    }
    void mapsComNamesToDevices()
    {
        using Map = QMap<int, QString>;
        QFETCH(Map, pinned);
        QFETCH(QStringList, devices);
        QFETCH(Map, expected);
        QCOMPARE(assignComNumbers(pinned, devices), expected);
    }

    // A stand-in for /dev: two devices, and the links udev would make to one.
    void pinnedByAnotherPathIsNotNumberedAgain_data()
    {
        using Map = QMap<int, QString>;
        QTest::addColumn<Map>("pinned");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<Map>("expected");
        QTest::newRow("pinned by its by-id link")
            << Map{{5, "serial/by-id/usb-Adapter-if00-port0"}} << QStringList{"ttyUSB0", "ttyS0"}
            << Map{{1, "ttyS0"}, {5, "serial/by-id/usb-Adapter-if00-port0"}};
        QTest::newRow("pinned through a link to a link")
            << Map{{2, "serial/by-path/adapter"}} << QStringList{"ttyUSB0"}
            << Map{{2, "serial/by-path/adapter"}};
        QTest::newRow("pin to a device not there yet")
            << Map{{3, "ttyUSB9"}} << QStringList{"ttyUSB0"} << Map{{1, "ttyUSB0"}, {3, "ttyUSB9"}};
    }
    void pinnedByAnotherPathIsNotNumberedAgain()
    {
        using Map = QMap<int, QString>;
        QFETCH(Map, pinned);
        QFETCH(QStringList, devices);
        QFETCH(Map, expected);
        QTemporaryDir dev;
        QVERIFY(dev.isValid());
        for (const char* device : {"ttyUSB0", "ttyS0"}) {
            QFile file(dev.filePath(QLatin1String(device)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dev.path()).mkpath(QStringLiteral("serial/by-id")));
        QVERIFY(QDir(dev.path()).mkpath(QStringLiteral("serial/by-path")));
        QVERIFY(QFile::link(dev.filePath(QStringLiteral("ttyUSB0")),
                            dev.filePath(QStringLiteral("serial/by-id/usb-Adapter-if00-port0"))));
        QVERIFY(QFile::link(dev.filePath(QStringLiteral("serial/by-id/usb-Adapter-if00-port0")),
                            dev.filePath(QStringLiteral("serial/by-path/adapter"))));

        const auto inDev = [&](Map map) {
            for (QString& path : map)
                path = dev.filePath(path);
            return map;
        };
        QStringList listed;
        for (const QString& device : devices)
            listed << dev.filePath(device);
        QCOMPARE(assignComNumbers(inDev(pinned), listed), inDev(expected));
    }

    void pinnedPortsComeFromTheSettings()
    {
        {
            auto settings = openRegistryKey(kProgramKey);
            settings->setValue(QStringLiteral("Ports/COM9"), QStringLiteral("/tmp/q7-link"));
            settings->setValue(QStringLiteral("Ports/COM200"), QStringLiteral("/dev/ignored"));
        }
        QCOMPARE(deviceForComName(QStringLiteral("com9")), QStringLiteral("/tmp/q7-link"));
        QVERIFY(listComPorts().contains(QStringLiteral("COM9")));
        QVERIFY(!currentPortMap().values().contains(QStringLiteral("/dev/ignored")));
    }

private:
    QTemporaryDir settingsDir;
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
