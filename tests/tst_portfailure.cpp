// SPDX-License-Identifier: GPL-3.0-or-later
// What a person is told when the port fails: the cause first, in words, then
// the port's exact technical text.

#include "SimHandset.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/PortDiagnosis.h"
#include "link/PortDoctor.h"
#include "link/PortFailureText.h"
#include "support/SimFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace q7;

Q_DECLARE_METATYPE(q7::EComPort::Code)
Q_DECLARE_METATYPE(q7::PortFailureCause)

class TestPortFailure : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void explainedByCause_data()
    {
        QTest::addColumn<EComPort::Code>("code");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("device");
        QTest::addColumn<PortFailureCause>("cause");
        QTest::addColumn<QString>("advice");
        QTest::addColumn<QString>("technical");

        const QString tty = QStringLiteral("/dev/ttyUSB0");
        // Tests run as root, where no open is refused: the number is given.
        // These are the texts from the number alone, as where the system
        // shows nothing more; what it shows is the next test's.
        QTest::newRow("not in the dialout group")
            << EComPort::OpenFailed << EACCES << tty << PortFailureCause::NoPermission
            << "Keine Berechtigung für den Anschluss COM3 (/dev/ttyUSB0). Der Benutzer muss zur "
               "Gruppe \"dialout\" gehören: im Terminal \"sudo usermod -aG dialout $USER\" "
               "eingeben, sich ab- und wieder anmelden und den Vorgang wiederholen."
            << "Unable to open com port (errno 13, EACCES: Permission denied)";
        QTest::newRow("held by another program")
            << EComPort::OpenFailed << EBUSY << tty << PortFailureCause::Busy
            << "Der Anschluss COM3 (/dev/ttyUSB0) wird von einem anderen Programm benutzt. Bitte "
               "das andere Programm beenden und den Vorgang wiederholen."
            << "Unable to open com port (errno 16, EBUSY: Device or resource busy)";
        QTest::newRow("adapter unplugged")
            << EComPort::OpenFailed << ENOENT << tty << PortFailureCause::Absent
            << "Der Anschluss COM3 (/dev/ttyUSB0) ist nicht vorhanden. Bitte Kabel oder "
               "USB-Adapter einstecken oder unter \"Optionen\" einen anderen Port wählen."
            << "Unable to open com port (errno 2, ENOENT: No such file or directory)";
        QTest::newRow("no device for the name")
            << EComPort::OpenFailed << ENOENT << QString() << PortFailureCause::NotMapped
            << "Dem Anschluss COM3 ist kein Gerät zugeordnet. Bitte Kabel oder USB-Adapter "
               "einstecken oder unter \"Optionen\" einen anderen Port wählen."
            << "Unable to open com port (errno 2, ENOENT: No such file or directory)";
        QTest::newRow("open fails otherwise")
            << EComPort::OpenFailed << EIO << tty << PortFailureCause::CannotOpen
            << "Der Anschluss COM3 (/dev/ttyUSB0) lässt sich nicht öffnen. Bitte Kabel und Handy "
               "prüfen und den Vorgang wiederholen."
            << "Unable to open com port (errno 5, EIO: Input/output error)";
        const QString lost = QStringLiteral("Die Verbindung zum Handy ist unterbrochen. Bitte "
                                            "Kabel und Handy prüfen und den Vorgang wiederholen.");
        QTest::newRow("hang-up mid-read")
            << EComPort::ReadFailed << EIO << tty << PortFailureCause::LineLost << lost
            << "ReadFile function failed (errno 5, EIO: Input/output error)";
        QTest::newRow("hang-up mid-write")
            << EComPort::WriteFailed << EIO << tty << PortFailureCause::LineLost << lost
            << "WriteFile function failed (errno 5, EIO: Input/output error)";
        QTest::newRow("closed port")
            << EComPort::WriteFailed << EBADF << tty << PortFailureCause::LineLost << lost
            << "WriteFile function failed (errno 9, EBADF: Bad file descriptor)";
        QTest::newRow("line settings refused")
            << EComPort::SetStateFailed << EINVAL << tty << PortFailureCause::Refused
            << "Der Anschluss COM3 (/dev/ttyUSB0) nimmt die Einstellungen nicht an. Bitte Baud "
               "und Fluss Kontrolle unter \"Optionen\" prüfen."
            << "SetCommState function failed (errno 22, EINVAL: Invalid argument)";
        QTest::newRow("settings not stored")
            << EComPort::StoreFailed << int(EComPort::kNoSystemError) << tty
            << PortFailureCause::Other << QString() << "Failed to store settings.";
    }

    void explainedByCause()
    {
        QFETCH(EComPort::Code, code);
        QFETCH(int, systemError);
        QFETCH(QString, device);
        QFETCH(PortFailureCause, cause);
        QFETCH(QString, advice);
        QFETCH(QString, technical);

        EComPort failure(code, systemError);
        failure.onPort(QStringLiteral("COM3"), device);
        QCOMPARE(portFailureCause(failure), cause);
        const QStringList lines = failureLines(failure, LanguageFile(), nullptr);
        QCOMPARE(lines.constLast(), technical);
        QCOMPARE(lines.size(), advice.isEmpty() ? 1 : 2);
        if (!advice.isEmpty())
            QCOMPARE(lines.constFirst(), advice);
    }

    // What the system shows, laid out as a tree of its own: each line of
    // "tree" puts one thing there.
    //   dev PATH GID MODE          a device node (a plain file will do)
    //   link PATH TARGET           a symlink, such as a /dev/serial/by-id/ name
    //   proc PID PROGRAM [DEVICE]  a process, holding the device open
    //   lock PATH PID              a UUCP lock file
    //   usb TTY VENDOR PRODUCT     the adapter behind a tty in sysfs
    //   log TEXT                   the kernel log
    // The user is q7user (uid 1000, group 1000); the group database puts
    // him in dialout.
    void explainedFromWhatTheSystemShows_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QList<uint>>("processGroups");
        QTest::addColumn<QString>("advice"); // %CONF%: the settings file

        const QString usb0 = QStringLiteral("/dev/ttyUSB0");
        const QList<uint> ownGroup{1000};
        QTest::newRow("not in the device's group")
            << usb0 << EACCES << QStringList{"dev /dev/ttyUSB0 10 0660"} << ownGroup
            << "Keine Berechtigung für den Anschluss COM3 (/dev/ttyUSB0): das Gerät /dev/ttyUSB0 "
               "gehört der Gruppe \"uucp\" und hat die Rechte -rw-rw----. Der Benutzer q7user ist "
               "nicht in der Gruppe \"uucp\". Im Terminal \"sudo usermod -aG uucp q7user\" "
               "eingeben; das wirkt erst ab der nächsten Anmeldung: ab- und wieder anmelden und "
               "den Vorgang wiederholen.";
        QTest::newRow("joined the group, not logged in again")
            << usb0 << EACCES << QStringList{"dev /dev/ttyUSB0 20 0660"} << ownGroup
            << "Keine Berechtigung für den Anschluss COM3 (/dev/ttyUSB0): das Gerät /dev/ttyUSB0 "
               "gehört der Gruppe \"dialout\" und hat die Rechte -rw-rw----. Der Benutzer q7user "
               "ist schon in der Gruppe \"dialout\" eingetragen, aber das wirkt erst ab der "
               "nächsten Anmeldung: ab- und wieder anmelden und den Vorgang wiederholen.";
        QTest::newRow("the group itself may not")
            << "/dev/pts/4" << EACCES << QStringList{"dev /dev/pts/4 5 0600"} << ownGroup
            << "Keine Berechtigung für den Anschluss COM3 (/dev/pts/4): das Gerät /dev/pts/4 "
               "gehört der Gruppe \"tty\" und hat die Rechte -rw-------. Die Gruppe \"tty\" darf "
               "das Gerät nicht lesen und schreiben, nur sein Besitzer; \"sudo chmod g+rw "
               "/dev/pts/4\" gibt es ihr frei.";
        const QString busy = QStringLiteral("Der Anschluss COM3 (%1) ist belegt. ");
        QTest::newRow("held by another program of the user")
            << usb0 << EBUSY
            << QStringList{"dev /dev/ttyUSB0 20 0660", "proc 4242 minicom /dev/ttyUSB0",
                           "proc 4300 bash"}
            << ownGroup
            << busy.arg(usb0) + "Das Programm \"minicom\" (Prozess 4242) hält /dev/ttyUSB0 offen: "
                                "bitte dieses Programm beenden und den Vorgang wiederholen.";
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");
        QTest::newRow("held, named by its by-id path")
            << byId << EBUSY
            << QStringList{"dev /dev/ttyUSB0 20 0660", "link " + byId + " ../../ttyUSB0",
                           "proc 4242 minicom /dev/ttyUSB0"}
            << ownGroup
            << busy.arg(byId) + "Das Programm \"minicom\" (Prozess 4242) hält /dev/ttyUSB0 offen: "
                                "bitte dieses Programm beenden und den Vorgang wiederholen.";
        QTest::newRow("a lock file of a running program")
            << usb0 << EBUSY
            << QStringList{"dev /dev/ttyUSB0 20 0660", "lock /run/lock/LCK..ttyUSB0 4243",
                           "proc 4243 cu"}
            << ownGroup
            << busy.arg(usb0) +
                   "Die Sperrdatei /run/lock/LCK..ttyUSB0 gehört dem Programm \"cu\" (Prozess "
                   "4243).";
        QTest::newRow("a lock file left behind")
            << usb0 << EBUSY
            << QStringList{"dev /dev/ttyUSB0 20 0660", "lock /var/lock/LCK..ttyUSB0 999"}
            << ownGroup
            << busy.arg(usb0) +
                   "Die Sperrdatei /var/lock/LCK..ttyUSB0 stammt von Prozess 999, der nicht mehr "
                   "läuft; \"sudo rm /var/lock/LCK..ttyUSB0\" entfernt sie.";
        QTest::newRow("ModemManager probing the adapter")
            << usb0 << EBUSY
            << QStringList{"dev /dev/ttyUSB0 20 0660", "proc 700 ModemManager /dev/ttyUSB0",
                           "usb ttyUSB0 1a86 7523"}
            << ownGroup
            << busy.arg(usb0) +
                   "Das Programm \"ModemManager\" (Prozess 700) hält /dev/ttyUSB0 offen: bitte "
                   "dieses Programm beenden und den Vorgang wiederholen. Der ModemManager läuft "
                   "und prüft neue serielle Geräte. Damit er diesen Adapter in Ruhe lässt, die "
                   "Zeile ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", "
                   "ENV{ID_MM_DEVICE_IGNORE}=\"1\" in die Datei "
                   "/etc/udev/rules.d/99-q7manager.rules schreiben, \"sudo udevadm control "
                   "--reload\" eingeben und den Adapter neu einstecken.";
        QTest::newRow("held by a process of another user")
            << usb0 << EBUSY << QStringList{"dev /dev/ttyUSB0 20 0660"} << ownGroup
            << busy.arg(usb0) +
                   "Welches Programm das Gerät hält, zeigt das System nicht (es läuft unter einem "
                   "anderen Benutzer): bitte andere Programme am Anschluss beenden und den Vorgang "
                   "wiederholen.";
        const QString gone = QStringLiteral(
            "Der Anschluss COM3 (%1) ist nicht mehr da (ausgesteckt?). Bitte Kabel oder "
            "USB-Adapter einstecken oder unter \"Optionen\" einen anderen Port wählen.");
        const QString pin = QStringLiteral(
            " Damit der Port nach dem Einstecken seinen Namen behält, ihn in %CONF% unter [Ports] "
            "festlegen: COM3=%1");
        QTest::newRow("claimed by brltty")
            << usb0 << ENOENT
            << QStringList{"proc 600 brltty",
                           "log usbfs: interface 0 claimed by ch341 while 'brltty' sets config #1"}
            << ownGroup
            << gone.arg(usb0) +
                   " Laut Kernel-Protokoll hat das Braille-Programm brltty den USB-Seriell-Adapter "
                   "übernommen. Wer keine Braillezeile benutzt, entfernt es mit \"sudo apt remove "
                   "brltty\", sonst schaltet \"sudo systemctl mask brltty-udev.service\" es für "
                   "Adapter ab; danach den Adapter neu einstecken." +
                   pin.arg("/dev/serial/by-id/...");
        QTest::newRow("back as another device")
            << usb0 << ENOENT
            << QStringList{"dev /dev/ttyUSB1 20 0660", "link " + byId + " ../../ttyUSB1"}
            << ownGroup
            << gone.arg(usb0) + " Jetzt ist " + byId + " da (/dev/ttyUSB1)." + pin.arg(byId);
        QTest::newRow("pinned by its by-id path and unplugged")
            << byId << ENOENT << QStringList{} << ownGroup << gone.arg(byId);
        QTest::newRow("a failure the system does not explain")
            << usb0 << EIO << QStringList{"dev /dev/ttyUSB0 20 0660"} << ownGroup
            << "Der Anschluss COM3 (/dev/ttyUSB0) lässt sich nicht öffnen. Bitte Kabel und Handy "
               "prüfen und den Vorgang wiederholen.";
    }

    void explainedFromWhatTheSystemShows()
    {
        QFETCH(QString, device);
        QFETCH(int, systemError);
        QFETCH(QStringList, tree);
        QFETCH(QList<uint>, processGroups);
        QFETCH(QString, advice);

        QTemporaryDir root;
        SystemView system;
        layOut(system, root.path(), tree, processGroups);
        if (QTest::currentTestFailed())
            return;
        EComPort failure(EComPort::OpenFailed, systemError);
        failure.onPort(QStringLiteral("COM3"), device);
        const QStringList lines = failureLines(failure, LanguageFile(), &system);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.constFirst(),
                 QString(advice).replace("%CONF%", openRegistryKey(kProgramKey)->fileName()));
        QCOMPARE(lines.constLast(), errorBoxText(failure.message()));
    }

    // An adapter pinned in [Ports] and unplugged is told to be plugged in,
    // not to be pinned: it is already.
    void pinnedPortIsNotToldToBePinned()
    {
        const QString usb0 = QStringLiteral("/dev/ttyUSB0");
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");
        QTemporaryDir root;
        SystemView system;
        layOut(system, root.path(), {"dev /dev/ttyUSB1 20 0660", "link " + byId + " ../../ttyUSB1"},
               {1000, 20});
        EComPort failure(EComPort::OpenFailed, ENOENT);
        failure.onPort(QStringLiteral("COM3"), usb0);
        const QString pin = QStringLiteral("unter [Ports] festlegen");
        QVERIFY(failureLines(failure, LanguageFile(), &system).constFirst().contains(pin));

        auto settings = openRegistryKey(kProgramKey);
        settings->setValue(QStringLiteral("Ports/COM3"), usb0);
        settings->sync();
        const QString advice = failureLines(failure, LanguageFile(), &system).constFirst();
        settings->remove(QStringLiteral("Ports"));
        settings->sync();
        QVERIFY2(!advice.contains(pin), qPrintable(advice));
        QVERIFY(advice.contains(QStringLiteral("ist nicht mehr da")));
    }

    // The technical text names the number and its symbol, never another
    // system's error code.
    void technicalTextNamesTheSystemError()
    {
        QCOMPARE(EComPort(EComPort::OpenFailed, EACCES).message(),
                 QStringLiteral("Unable to open com port (errno 13, EACCES: Permission denied)"));
        QCOMPARE(EComPort(EComPort::ReadFailed, 99999).message(),
                 QStringLiteral("ReadFile function failed (errno 99999)"));
    }

    // The doctor's list: each port with its device, group and permission,
    // what holds it, and the programs that get in the way of adapters.
    void doctorListsWhatStandsInTheWay()
    {
        if (groupsForFiles().size() < 2)
            QSKIP("two devices of different groups need a user in two groups, or root");
        QTemporaryDir root;
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");
        SystemView system;
        layOut(system, root.path(),
               {"dev /dev/ttyS0 20 0660", "dev /dev/ttyUSB0 10 0660",
                "link " + byId + " ../../ttyUSB0", "usb ttyUSB0 1a86 7523",
                "proc 700 ModemManager /dev/ttyUSB0", "proc 600 brltty"},
               {1000, 20});
        const QList<DoctorPort> ports{
            {"COM1", "/dev/ttyS0"}, {"COM3", "/dev/ttyUSB0"}, {"COM4", "/dev/ttyUSB1"}};
        const QList<PortFinding> findings = portFindings(ports, system, LanguageFile());
        QStringList texts;
        for (const PortFinding& finding : findings)
            texts << finding.text;
        const QStringList expected{
            "COM1: /dev/ttyS0, Gruppe \"dialout\", Rechte -rw-rw----: darf geöffnet werden.",
            "COM3: /dev/ttyUSB0, Gruppe \"uucp\", Rechte -rw-rw----, auch " + byId +
                ": darf nicht geöffnet werden. Keine Berechtigung für den Anschluss COM3 "
                "(/dev/ttyUSB0): das Gerät /dev/ttyUSB0 gehört der Gruppe \"uucp\" und hat die "
                "Rechte -rw-rw----. Der Benutzer q7user ist nicht in der Gruppe \"uucp\". Im "
                "Terminal \"sudo usermod -aG uucp q7user\" eingeben; das wirkt erst ab der "
                "nächsten Anmeldung: ab- und wieder anmelden und den Vorgang wiederholen.",
            "COM3: Das Programm \"ModemManager\" (Prozess 700) hält /dev/ttyUSB0 offen: bitte "
            "dieses Programm beenden und den Vorgang wiederholen.",
            "Der Anschluss COM4 (/dev/ttyUSB1) ist nicht mehr da (ausgesteckt?). Bitte Kabel oder "
            "USB-Adapter einstecken oder unter \"Optionen\" einen anderen Port wählen. Das "
            "Braille-Programm brltty läuft; es übernimmt USB-Seriell-Adapter (CH340, CP210x) "
            "gleich beim Einstecken. Wer keine Braillezeile benutzt, entfernt es mit \"sudo apt "
            "remove brltty\", sonst schaltet \"sudo systemctl mask brltty-udev.service\" es für "
            "Adapter ab; danach den Adapter neu einstecken. Jetzt ist " +
                byId +
                " da (/dev/ttyUSB0). Damit der Port nach dem Einstecken seinen Namen behält, ihn "
                "in " +
                openRegistryKey(kProgramKey)->fileName() +
                " unter [Ports] festlegen: "
                "COM4=" +
                byId,
            "Der ModemManager läuft und prüft neue serielle Geräte. Damit er diesen Adapter in "
            "Ruhe lässt, die Zeile ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", "
            "ENV{ID_MM_DEVICE_IGNORE}=\"1\" in die Datei /etc/udev/rules.d/99-q7manager.rules "
            "schreiben, \"sudo udevadm control --reload\" eingeben und den Adapter neu "
            "einstecken.",
            "Das Braille-Programm brltty läuft; es übernimmt USB-Seriell-Adapter (CH340, CP210x) "
            "gleich beim Einstecken. Wer keine Braillezeile benutzt, entfernt es mit \"sudo apt "
            "remove brltty\", sonst schaltet \"sudo systemctl mask brltty-udev.service\" es für "
            "Adapter ab; danach den Adapter neu einstecken."};
        QCOMPARE(texts, expected);
        QCOMPARE(findings.at(0).kind, PortFinding::Info);
        QCOMPARE(findings.at(1).kind, PortFinding::Problem);
        QVERIFY(worthSearching(ports.at(0), system));
        QVERIFY(!worthSearching(ports.at(1), system));
        QVERIFY(!worthSearching(ports.at(2), system));
    }

    // Then the search on each port worth it; the handset answers on one.
    void doctorSearchesEachPortItMayOpen()
    {
        q7sim::SimHandset sim;
        const QString device = sim.start();
        QTemporaryDir quiet; // no ModemManager, no brltty, nothing held
        SystemView system;
        layOut(system, quiet.path(), {}, {});
        system.root = QStringLiteral("/");
        system.uid = 0;
        system.ownPid = ::getpid();

        TComPort port;
        port.setDeviceOverride(QStringLiteral("/dev/q7-before"));
        CommandExchange exchange(port);
        RecordingHost host;
        const QString absent = m_config.filePath(QStringLiteral("ttyUSB9"));
        QList<PortFinding> findings;
        QVERIFY(runPortDoctor(exchange, {{"COM2", absent}, {"COM5", device}}, system,
                              LanguageFile(), host, findings));
        QCOMPARE(findings.constLast(),
                 (PortFinding{PortFinding::Handset,
                              "COM5 (" + device + "): der Vexa TLM-Q7 antwortet."}));
        QCOMPARE(findings.constFirst().kind, PortFinding::Problem);
        QVERIFY(findings.constFirst().text.startsWith("Der Anschluss COM2 (" + absent +
                                                      ") ist nicht mehr da"));
        // The port is left on its own device, closed as it was.
        QCOMPARE(port.deviceOverride(), QStringLiteral("/dev/q7-before"));
        QVERIFY(!port.Connected());

        sim.setSilent(true);
        findings.clear();
        QVERIFY(
            !runPortDoctor(exchange, {{"COM5", device}}, system, LanguageFile(), host, findings));
        QCOMPARE(findings.constLast(),
                 (PortFinding{PortFinding::Problem,
                              "COM5 (" + device +
                                  "): kein Vexa TLM-Q7 antwortet. Bitte das Handy einschalten, "
                                  "das Kabel prüfen und den Vorgang wiederholen."}));
    }

    void otherFailuresKeepTheirOwnText()
    {
        const QStringList lines = failureLines(EConvertError(QStringLiteral("x")), LanguageFile());
        QCOMPARE(lines, QStringList{QStringLiteral("'x' ist kein gültiger Integerwert.")});
    }

    // A failure thrown where no language is at hand is still shown in the
    // program's language; a value is never read as a placeholder.
    void otherFailuresInTheProgramsLanguage_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("translated");
        QTest::newRow("conversion in a line") << "convert"
                                              << "'%2' ist kein gültiger Integerwert (Zeile 3)"
                                              << "'%2' is no integer (line 3)";
        QTest::newRow("file not found") << "notFound"
                                        << "Datei nicht gefunden: /tmp/a%1b."
                                        << "File not found: /tmp/a%1b.";
        QTest::newRow("other file error") << "io"
                                          << "E/A-Fehler 13."
                                          << "I/O error 13.";
        QTest::newRow("location out of range")
            << "range"
            << "Speicherplatz 701 liegt nicht zwischen 1 und 700 (Zeile 2)"
            << "Location 701 not in 1..700 (line 2)";
        QTest::newRow("cancelled") << "cancelled"
                                   << "Abgebrochen."
                                   << "Cancelled.";
        QTest::newRow("a text without key") << "plain"
                                            << "Etwas."
                                            << "Etwas.";
    }
    void otherFailuresInTheProgramsLanguage()
    {
        QFETCH(QString, failure);
        QFETCH(QString, german);
        QFETCH(QString, translated);
        const QString path = m_config.filePath(QStringLiteral("english.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Fehler]\r\n"
                   "KeinInteger='%1' is no integer\r\n"
                   "Zeile=(line %1)\r\n"
                   "DateiNichtGefunden=File not found\r\n"
                   "EAFehler=I/O error %1\r\n"
                   "SpeicherplatzBereich=Location %1 not in 1..%2 (line %3)\r\n"
                   "Abgebrochen=Cancelled\r\n");
        file.close();

        const auto check = [&](const Q7Error& error) {
            QCOMPARE(failureLines(error, LanguageFile()), QStringList{german});
            QCOMPARE(failureLines(error, LanguageFile(path)), QStringList{translated});
            // What a log or a plain catch sees stays the default.
            QCOMPARE(errorBoxText(error.message()), german);
        };
        if (failure == u"convert")
            check(EConvertError(QStringLiteral("%2"), 3));
        else if (failure == u"notFound")
            check(EInOutError(EInOutError::FileNotFound, QStringLiteral("/tmp/a%1b")));
        else if (failure == u"io")
            check(EInOutError(13));
        else if (failure == u"range")
            check(Q7Error(TextId::Fehler_SpeicherplatzBereich,
                          {QStringLiteral("701"), QStringLiteral("700"), QStringLiteral("2")}));
        else if (failure == u"cancelled")
            check(EOperationCancelled());
        else
            check(Q7Error(QStringLiteral("Etwas")));
    }

    // The causes as a real open meets them.
    void realOpensNameTheirCause()
    {
        TComPort absent;
        absent.setDeviceOverride(m_config.filePath(QStringLiteral("ttyUSB7")));
        QCOMPARE(openFailure(absent), PortFailureCause::Absent);

        q7sim::SimHandset sim;
        const QString device = sim.start();
        TComPort holder;
        holder.setDeviceOverride(device);
        holder.OpenPort();
        TComPort second;
        second.setDeviceOverride(device);
        QCOMPARE(openFailure(second), PortFailureCause::Busy);
    }

public:
    // The groups this test can give a file it makes: any as root (empty),
    // else the user's own.
    static QList<uint> groupsForFiles()
    {
        if (::geteuid() == 0)
            return {0, 1};
        QList<gid_t> groups(::getgroups(0, nullptr));
        groups.resize(qMax(0, ::getgroups(int(groups.size()), groups.data())));
        groups.append(::getegid());
        QList<uint> own;
        for (const gid_t gid : std::as_const(groups))
            if (!own.contains(gid))
                own.append(gid);
        return own;
    }

    // A system of its own below root, as the tree's lines describe it. The
    // group numbers of the lines (root 0, tty 5, uucp 10, dialout 20, q7user
    // 1000) stand for themselves as root; a user who is not root can give his
    // files only his own groups, so the devices' groups are mapped onto
    // those, in the fake group file and the process's groups alike. The user
    // q7user is never the one running the test, who owns the files.
    static void layOut(SystemView& system, const QString& root, const QStringList& tree,
                       const QList<uint>& processGroups)
    {
        QHash<uint, uint> gidOf;
        if (::geteuid() != 0) {
            const QList<uint> own = groupsForFiles();
            for (const QString& line : tree)
                if (line.startsWith(QLatin1String("dev "))) {
                    const uint named = line.split(u' ').value(2).toUInt();
                    if (!gidOf.contains(named) && gidOf.size() < own.size())
                        gidOf.insert(named, own[gidOf.size()]);
                }
            // The other groups keep their numbers unless one is taken.
            uint spare = 60000;
            for (const uint named : {0u, 5u, 10u, 20u, 1000u})
                if (!gidOf.contains(named))
                    gidOf.insert(named, own.contains(named) ? spare++ : named);
        }
        const auto gid = [&](uint named) { return gidOf.value(named, named); };
        system.root = root;
        system.uid = ::geteuid() == 1000 ? 1001 : 1000;
        system.userName = QStringLiteral("q7user");
        system.primaryGroup = gid(1000);
        system.processGroups.clear();
        for (const uint named : processGroups)
            system.processGroups.append(gid(named));
        system.ownPid = 1;
        const auto at = [&](const QString& path) {
            const QString full = root + path;
            QDir().mkpath(QFileInfo(full).path());
            return full;
        };
        const auto write = [&](const QString& path, const QByteArray& text) {
            QFile file(at(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        write("/etc/group", QStringLiteral("root:x:%1:\ntty:x:%2:\nuucp:x:%3:\n"
                                           "dialout:x:%4:pi,q7user\nq7user:x:%5:\n")
                                .arg(gid(0))
                                .arg(gid(5))
                                .arg(gid(10))
                                .arg(gid(20))
                                .arg(gid(1000))
                                .toUtf8());
        for (const QString& line : tree) {
            const QStringList f = line.split(u' ');
            const QString kind = f.value(0);
            if (kind == "dev") {
                write(f[1], {});
                const QByteArray path = QFile::encodeName(root + f[1]);
                QVERIFY(::chown(path.constData(), ::geteuid() == 0 ? 0 : uid_t(-1),
                                gid(f[2].toUInt())) == 0);
                QVERIFY(::chmod(path.constData(), f[3].toUInt(nullptr, 8)) == 0);
            } else if (kind == "link") {
                QVERIFY(QFile::link(f[2], at(f[1])));
            } else if (kind == "proc") {
                const QString dir = "/proc/" + f[1];
                write(dir + "/comm", f[2].toUtf8() + '\n');
                QDir().mkpath(root + dir + "/fd");
                if (f.size() > 3)
                    QVERIFY(QFile::link(f[3], root + dir + "/fd/3"));
            } else if (kind == "lock") {
                write(f[1], QByteArray::number(f[2].toInt()).rightJustified(10) + '\n');
            } else if (kind == "usb") {
                const QString adapter = "/sys/devices/pci0000:00/usb1/1-1";
                write(adapter + "/idVendor", f[2].toLatin1() + '\n');
                write(adapter + "/idProduct", f[3].toLatin1() + '\n');
                QDir().mkpath(root + adapter + "/1-1:1.0/" + f[1]);
                QVERIFY(QFile::link(root + adapter + "/1-1:1.0/" + f[1],
                                    at("/sys/class/tty/" + f[1] + "/device")));
            } else if (kind == "log") {
                system.kernelLog = line.mid(4);
            }
        }
    }

private:
    static PortFailureCause openFailure(TComPort& port)
    {
        try {
            port.OpenPort();
        } catch (const EComPort& failure) {
            return portFailureCause(failure);
        }
        return PortFailureCause::Other;
    }

    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestPortFailure)
#include "tst_portfailure.moc"
