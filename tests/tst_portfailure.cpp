// What a person is told when the port fails: the cause first, in words, then
// the port's exact technical text.

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "link/ComPort.h"
#include "link/PortFailureText.h"
#include "simhandset.h"

#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

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
        QTest::newRow("not in the dialout group")
            << EComPort::OpenFailed << EACCES << tty << PortFailureCause::NoPermission
            << "Keine Berechtigung für den Anschluss COM3 (/dev/ttyUSB0). Der Benutzer muss zur "
               "Gruppe \"dialout\" gehören: im Terminal \"sudo usermod -aG dialout $USER\" "
               "eingeben, sich ab- und wieder anmelden und den Vorgang wiederholen."
            << "Unable to open com port (win error code: 13)";
        QTest::newRow("held by another program")
            << EComPort::OpenFailed << EBUSY << tty << PortFailureCause::Busy
            << "Der Anschluss COM3 (/dev/ttyUSB0) wird von einem anderen Programm benutzt. Bitte "
               "das andere Programm beenden und den Vorgang wiederholen."
            << "Unable to open com port (win error code: 16)";
        QTest::newRow("adapter unplugged")
            << EComPort::OpenFailed << ENOENT << tty << PortFailureCause::Absent
            << "Der Anschluss COM3 (/dev/ttyUSB0) ist nicht vorhanden. Bitte Kabel oder "
               "USB-Adapter einstecken oder unter \"Optionen\" einen anderen Port wählen."
            << "Unable to open com port (win error code: 2)";
        QTest::newRow("no device for the name")
            << EComPort::OpenFailed << ENOENT << QString() << PortFailureCause::NotMapped
            << "Dem Anschluss COM3 ist kein Gerät zugeordnet. Bitte Kabel oder USB-Adapter "
               "einstecken oder unter \"Optionen\" einen anderen Port wählen."
            << "Unable to open com port (win error code: 2)";
        QTest::newRow("open fails otherwise")
            << EComPort::OpenFailed << EIO << tty << PortFailureCause::CannotOpen
            << "Der Anschluss COM3 (/dev/ttyUSB0) lässt sich nicht öffnen. Bitte Kabel und Handy "
               "prüfen und den Vorgang wiederholen."
            << "Unable to open com port (win error code: 5)";
        const QString lost = QStringLiteral("Die Verbindung zum Handy ist unterbrochen. Bitte "
                                            "Kabel und Handy prüfen und den Vorgang wiederholen.");
        QTest::newRow("hang-up mid-read")
            << EComPort::ReadFailed << EIO << tty << PortFailureCause::LineLost << lost
            << "ReadFile function failed (win error code: 5)";
        QTest::newRow("hang-up mid-write")
            << EComPort::WriteFailed << EIO << tty << PortFailureCause::LineLost << lost
            << "WriteFile function failed (win error code: 5)";
        QTest::newRow("closed port")
            << EComPort::WriteFailed << EBADF << tty << PortFailureCause::LineLost << lost
            << "WriteFile function failed (win error code: 9)";
        QTest::newRow("line settings refused")
            << EComPort::SetStateFailed << EINVAL << tty << PortFailureCause::Refused
            << "Der Anschluss COM3 (/dev/ttyUSB0) nimmt die Einstellungen nicht an. Bitte Baud "
               "und Fluss Kontrolle unter \"Optionen\" prüfen."
            << "SetCommState function failed (win error code: 22)";
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
        const QStringList lines = failureLines(failure, LanguageFile());
        QCOMPARE(lines.constLast(), technical);
        QCOMPARE(lines.size(), advice.isEmpty() ? 1 : 2);
        if (!advice.isEmpty())
            QCOMPARE(lines.constFirst(), advice);
    }

    void otherFailuresKeepTheirOwnText()
    {
        const QStringList lines = failureLines(EConvertError(QStringLiteral("x")), LanguageFile());
        QCOMPARE(lines, QStringList{QStringLiteral("'x' ist kein gültiger Integerwert.")});
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
