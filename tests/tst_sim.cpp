// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated handset, driven over its pty with plain POSIX calls, the way
// any program on the other end of the line would see it.
#include "SimCharset.h"
#include "SimHandset.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

using q7sim::SimHandset;
using q7sim::SimOptions;

Q_DECLARE_METATYPE(SimOptions)

namespace {

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";

bool hasFinalResult(const QByteArray& bytes)
{
    if (bytes.endsWith(kOk) || bytes.endsWith(kError))
        return true;
    const qsizetype cme = bytes.lastIndexOf("\r\n+CME ERROR: ");
    return cme >= 0 && bytes.indexOf("\r\n", cme + 2) == bytes.size() - 2;
}

// The far end of the line: opens the slave device like a terminal program.
class Peer
{
public:
    ~Peer() { close(); }

    bool open(const QString& device)
    {
        close();
        m_fd = ::open(QFile::encodeName(device).constData(),
                      O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        return m_fd >= 0;
    }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    void send(const QByteArray& bytes)
    {
        QCOMPARE(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }

    // The line for this program alone, as Gammu takes it: others' opens fail
    // unless they are root's.
    bool takeExclusive() { return ::ioctl(m_fd, TIOCEXCL) == 0; }
    bool exclusive() const
    {
        int taken = 0;
        return ::ioctl(m_fd, TIOCGEXCL, &taken) == 0 && taken != 0;
    }

    // Everything up to and including a final result code, or what came
    // before the deadline.
    QByteArray readReply(int timeoutMs = 3000) { return readWhile(timeoutMs, true); }
    // Everything arriving within the time: for checking that nothing comes.
    QByteArray readFor(int ms) { return readWhile(ms, false); }

    QByteArray transact(const QByteArray& command)
    {
        send(command + '\r');
        return readReply();
    }

    // True once the other side has closed the line.
    bool lineDead(int timeoutMs = 3000)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        char c;
        return (p.revents & POLLHUP) || ::read(m_fd, &c, 1) <= 0;
    }

private:
    QByteArray readWhile(int timeoutMs, bool stopAtFinal)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (!(stopAtFinal && hasFinalResult(got))) {
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(left)) <= 0)
                continue;
            char buffer[512];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }

    int m_fd = -1;
};

QList<QByteArray> entry(std::initializer_list<const char*> values)
{
    QList<QByteArray> out;
    for (const char* v : values)
        out << QByteArray(v);
    out.resize(18);
    return out;
}

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void identityAndErrors_data();
    void identityAndErrors();
    void echo();
    void hangupResetsEcho();
    void hangupDiscardsUnsentReply();
    void hangupEndsExclusiveUse();
    void readCommands_data();
    void readCommands();
    void standardCommands_data();
    void standardCommands();
    void charsetConversion_data();
    void charsetConversion();
    void writeCommands_data();
    void writeCommands();
    void faults_data();
    void faults();
    void silentAtRunTime();
    void lineDrop_data();
    void lineDrop();
    void pacing_data();
    void pacing();
    void commandTakesItsLineTime();
    void logFile();
    void phonebookFile_data();
    void phonebookFile();
    void demoPhonebook();

private:
    // Starts the handset with the fixture phonebook and opens the line.
    void startWith(const SimOptions& options);

    std::unique_ptr<SimHandset> m_sim;
    Peer m_peer;
};

void TestSim::init()
{
    startWith({});
}

void TestSim::cleanup()
{
    m_peer.close();
    m_sim.reset();
}

void TestSim::startWith(const SimOptions& options)
{
    m_peer.close();
    m_sim = std::make_unique<SimHandset>(options);
    m_sim->setEntry(3, entry({"3", "Anna", "", "TELNO", "Mobil", "+4930123"}));
    m_sim->setEntry(12, entry({"12", "J|rg", "Familie", "TELNO", "Mobil", "0123456789", "TELNO", "",
                               "", "TELNO", "", "", "CUSTOM", "", "", "CUSTOM"}));
    m_sim->setEntry(14, entry({"14", "M~ller, Hans", "Verein", "TELNO", "B~ro", "0815"}));
    m_sim->setEntry(501, entry({"501", "SIM Eins", "", "TELNO", "", "0301"}));
    m_sim->setEntry(700, entry({"700", "SIM Ende", "", "TELNO", "", "0700"}));
    QVERIFY(m_peer.open(m_sim->start()));
}

void TestSim::identityAndErrors_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("plain AT") << QByteArray("AT") << kOk;
    QTest::newRow("identity") << QByteArray("ATI2") << "\r\nVexa TLM-Q7 Rev 1.0\r\n" + kOk;
    QTest::newRow("lower case") << QByteArray("ati2") << "\r\nVexa TLM-Q7 Rev 1.0\r\n" + kOk;
    QTest::newRow("unknown AT command") << QByteArray("AT+CGMX") << kError;
    QTest::newRow("unknown basic command") << QByteArray("ATI7") << kError;
    QTest::newRow("not an AT command") << QByteArray("hello") << kError;
}

void TestSim::identityAndErrors()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QCOMPARE(m_peer.transact("ATE0"), "ATE0\r" + kOk);
    QCOMPARE(m_peer.transact(command), reply);
}

void TestSim::echo()
{
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
    QCOMPARE(m_peer.transact("ATE0"), "ATE0\r" + kOk);
    QCOMPARE(m_peer.transact("AT"), kOk);
    QCOMPARE(m_peer.transact("ATZ"), kOk);
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);

    // A blank line is only echoed; LF is echoed but not part of the command.
    m_peer.send("  \r");
    QCOMPARE(m_peer.readFor(200), QByteArray("  \r"));
    QCOMPARE(m_peer.transact("\nAT"), "\nAT\r" + kOk);

    QCOMPARE(m_sim->commands(), QList<QByteArray>({"AT", "ATE0", "AT", "ATZ", "AT", "AT"}));
}

void TestSim::hangupResetsEcho()
{
    QCOMPARE(m_peer.transact("ATE0"), "ATE0\r" + kOk);
    m_peer.close();
    QTRY_COMPARE(m_sim->hangupCount(), 1);
    QVERIFY(m_peer.open(m_sim->devicePath()));
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
}

void TestSim::hangupDiscardsUnsentReply()
{
    SimOptions slow;
    slow.latencyMs = 300;
    startWith(slow);
    m_peer.send("ATI2\r");
    m_peer.readFor(50); // the echo
    m_peer.close();
    QTRY_COMPARE(m_sim->hangupCount(), 1);
    QVERIFY(m_peer.open(m_sim->devicePath()));
    QCOMPARE(m_peer.readFor(500), QByteArray());
}

// A program that took the line for itself and ended leaves it free, as a
// closed serial line is: else only root could open the device after it.
void TestSim::hangupEndsExclusiveUse()
{
    QVERIFY(m_peer.takeExclusive());
    QVERIFY(m_peer.exclusive());
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
    m_peer.close();
    QTRY_COMPARE(m_sim->hangupCount(), 1);
    QVERIFY(m_peer.open(m_sim->devicePath()));
    QVERIFY(!m_peer.exclusive());
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
}

void TestSim::readCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QByteArray>("reply"); // to the last command

    const QByteArray line12 = "\r\n+CPBR: 12,\"0123456789\",129,\"J|rg\"\r\n";
    QTest::newRow("list ME range") << QList<QByteArray>{"AT+CPBR=1,20"}
                                   << "\r\n+CPBR: 3,\"+4930123\",145,\"Anna\"\r\n" + line12 +
                                          "\r\n+CPBR: 14,\"0815\",129,\"M~ller, Hans\"\r\n" + kOk;
    QTest::newRow("single index") << QList<QByteArray>{"AT+CPBR=12"} << line12 + kOk;
    QTest::newRow("range without entries") << QList<QByteArray>{"AT+CPBR=4,11"} << kOk;
    QTest::newRow("range past ME end") << QList<QByteArray>{"AT+CPBR=1,501"} << kError;
    QTest::newRow("ME range") << QList<QByteArray>{"AT+CPBR=?"}
                              << "\r\n+CPBR: (1-500),20,18\r\n" + kOk;
    QTest::newRow("SIM lists positions") << QList<QByteArray>{"AT+CPBS=\"SM\"", "AT+CPBR=1,200"}
                                         << "\r\n+CPBR: 1,\"0301\",129,\"SIM Eins\"\r\n\r\n+CPBR: "
                                            "200,\"0700\",129,\"SIM Ende\"\r\n" +
                                                kOk;
    QTest::newRow("SIM range") << QList<QByteArray>{"AT+CPBS=\"SM\"", "AT+CPBR=?"}
                               << "\r\n+CPBR: (1-200),20,18\r\n" + kOk;
    QTest::newRow("unknown phonebook") << QList<QByteArray>{"AT+CPBS=\"XY\""} << kError;
    QTest::newRow("find by text prefix") << QList<QByteArray>{"AT+CPBF=\"J|\""}
                                         << "\r\n+CPBF: 12,\"0123456789\",129,\"J|rg\"\r\n" + kOk;
    QTest::newRow("find nothing") << QList<QByteArray>{"AT+CPBF=\"Q\""} << kOk;
    QTest::newRow("extended entry")
        << QList<QByteArray>{"AT-SCER=12"}
        << "\r\n-SCER: "
           "12,\"J|rg\",\"Familie\",\"TELNO\",\"Mobil\",\"0123456789\",\"TELNO\",,,\"TELNO\",,,"
           "\"CUSTOM\",,,\"CUSTOM\",,\r\n" +
               kOk;
    QTest::newRow("extended SIM entry")
        << QList<QByteArray>{"AT-SCER=501"}
        << "\r\n-SCER: 501,\"SIM Eins\",,\"TELNO\",,\"0301\",,,,,,,,,,,,\r\n" + kOk;
    QTest::newRow("extended empty location") << QList<QByteArray>{"AT-SCER=2"} << kError;
    QTest::newRow("extended location 0") << QList<QByteArray>{"AT-SCER=0"} << kError;
    QTest::newRow("extended location 701") << QList<QByteArray>{"AT-SCER=701"} << kError;
}

void TestSim::readCommands()
{
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QByteArray, reply);
    m_peer.transact("ATE0");
    QByteArray last;
    for (const QByteArray& command : commands)
        last = m_peer.transact(command);
    QCOMPARE(last, reply);
}

void TestSim::standardCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QByteArray>("reply"); // to the last command

    using L = QList<QByteArray>;
    const auto line = [](const QByteArray& text) { return "\r\n" + text + "\r\n"; };
    QTest::newRow("manufacturer") << L{"AT+CGMI"} << line("Vexa") + kOk;
    QTest::newRow("model") << L{"AT+CGMM"} << line("TLM-Q7") + kOk;
    QTest::newRow("revision") << L{"AT+CGMR"} << line("Rev 1.0") + kOk;
    QTest::newRow("serial number") << L{"AT+CGSN"} << line("351234567890125") + kOk;
    QTest::newRow("model test form") << L{"AT+CGMM=?"} << kOk;
    QTest::newRow("ATI") << L{"ATI"} << line("TLM-Q7") + kOk;
    QTest::newRow("ATI3") << L{"ATI3"} << line("Vexa") + kOk;
    QTest::newRow("power is on") << L{"AT+CFUN=1"} << kOk;
    QTest::newRow("power off refused") << L{"AT+CFUN=0"} << kError;

    QTest::newRow("error mode default") << L{"AT+CMEE?"} << line("+CMEE: 0") + kOk;
    QTest::newRow("error mode range") << L{"AT+CMEE=?"} << line("+CMEE: (0-2)") + kOk;
    QTest::newRow("error mode 3") << L{"AT+CMEE=3"} << kError;
    QTest::newRow("numeric error: not found")
        << L{"AT+CMEE=1", "AT-SCER=2"} << line("+CME ERROR: 22");
    QTest::newRow("numeric error: invalid index")
        << L{"AT+CMEE=1", "AT+CPBR=0"} << line("+CME ERROR: 21");
    QTest::newRow("verbose error: text too long")
        << L{"AT+CMEE=2", "AT+CPBW=2,\"1\",129,\"0123456789012345678\""}
        << line("+CME ERROR: text string too long");
    QTest::newRow("unknown command stays plain ERROR") << L{"AT+CMEE=1", "AT+CGMX"} << kError;
    QTest::newRow("ATZ resets the error mode")
        << L{"AT+CMEE=1", "ATZ", "ATE0", "AT-SCER=2"} << kError;

    QTest::newRow("character sets")
        << L{"AT+CSCS=?"} << line("+CSCS: (\"GSM\",\"IRA\",\"8859-1\",\"UCS2\")") + kOk;
    QTest::newRow("handset set by default") << L{"AT+CSCS?"} << line("+CSCS: \"GSM\"") + kOk;
    QTest::newRow("unknown set") << L{"AT+CSCS=\"UTF-8\""} << kError;
    QTest::newRow("set named in UCS2") << L{"AT+CSCS=\"UCS2\"", "AT+CSCS=\"00490052004100\"",
                                            "AT+CSCS=\"004900520041\"", "AT+CSCS?"}
                                       << line("+CSCS: \"IRA\"") + kOk;
    QTest::newRow("UCS2 list") << L{"AT+CSCS=\"UCS2\"", "AT+CPBR=12"}
                               << line("+CPBR: 12,\"0030003100320033003400350036003700380039\",129,"
                                       "\"004A00F600720067\"") +
                                      kOk;
    QTest::newRow("8859-1 find") << L{"AT+CSCS=\"8859-1\"", "AT+CPBF=\"M\xfc\""}
                                 << line("+CPBF: 14,\"0815\",129,\"M\xfcller, Hans\"") + kOk;
    QTest::newRow("IRA shows what it cannot as ?")
        << L{"AT+CSCS=\"IRA\"", "AT+CPBR=12"}
        << line("+CPBR: 12,\"0123456789\",129,\"J?rg\"") + kOk;
    QTest::newRow("extended entry keeps handset bytes")
        << L{"AT+CSCS=\"UCS2\"", "AT-SCER=14"}
        << line("-SCER: 14,\"M~ller, Hans\",\"Verein\",\"TELNO\",\"B~ro\",\"0815\",,,,,,,,,,,,") +
               kOk;
    QTest::newRow("hang-up resets the set") << L{"AT+CSCS=\"UCS2\"", "ATZ", "ATE0", "AT+CPBR=12"}
                                            << line("+CPBR: 12,\"0123456789\",129,\"J|rg\"") + kOk;
    QTest::newRow("long values cut to what +CPBR=? admits")
        << L{"AT-SCEW=14,\"" + QByteArray(30, 'n') + "\",,,,\"" + QByteArray(30, '7') + "\"",
             "AT+CPBR=14"}
        << line("+CPBR: 14,\"" + QByteArray(20, '7') + "\",129,\"" + QByteArray(18, 'n') + "\"") +
               kOk;
    QTest::newRow("clock") << L{"AT+CCLK=\"26/01/02,03:04:05+04\"", "AT+CCLK=\"garbage\""}
                           << kError;
}

void TestSim::standardCommands()
{
    readCommands();
}

void TestSim::charsetConversion_data()
{
    QTest::addColumn<QByteArray>("handset");
    QTest::addColumn<QString>("text");

    QTest::newRow("umlauts and sharp s")
        << QByteArray("J|rg M~ller, Gr{\x1e [\\]") << QStringLiteral("Jörg Müller, Gräß ÄÖÑ");
    QTest::newRow("at sign, dollar, underscore") << QByteArray("a\x8f"
                                                               "b \x02 \x11")
                                                 << QStringLiteral("a@b $ _");
    QTest::newRow("unlisted Latin-1 passes") << QByteArray("C\xf4te") << QStringLiteral("Côte");
}

void TestSim::charsetConversion()
{
    QFETCH(QByteArray, handset);
    QFETCH(QString, text);
    using namespace q7sim;
    QByteArray ucs2;
    for (const QChar c : text)
        ucs2 += QByteArray::number(c.unicode(), 16).toUpper().rightJustified(4, '0');
    QCOMPARE(encodeText(handset, Charset::Ucs2), ucs2);
    QCOMPARE(decodeText(ucs2, Charset::Ucs2), std::optional<QByteArray>(handset));
    QCOMPARE(encodeText(handset, Charset::Latin1), text.toLatin1());
    QCOMPARE(decodeText(text.toLatin1(), Charset::Latin1), std::optional<QByteArray>(handset));
    QCOMPARE(encodeText(handset, Charset::Handset), handset);
}

void TestSim::writeCommands_data()
{
    QTest::addColumn<QList<QByteArray>>("commands");
    QTest::addColumn<QByteArray>("reply"); // to the last command
    QTest::addColumn<int>("location");
    QTest::addColumn<QList<QByteArray>>("stored");

    QTest::newRow("extended write replaces, drops additional texts")
        << QList<QByteArray>{"AT-SCEW=12,\"Neu, "
                             "Anna\",\"Freunde\",\"TELNO\",\"Heim\",\"089\",,,,,,,\"CUSTOM\","
                             "\"note\",\"Zusatz 1\",\"CUSTOM\",\"Zusatz 2\",x"}
        << kOk << 12
        << entry({"12", "Neu, Anna", "Freunde", "TELNO", "Heim", "089", "", "", "", "", "", "",
                  "CUSTOM", "note", "", "CUSTOM", "", "x"});
    QTest::newRow("extended write on empty ME location")
        << QList<QByteArray>{"AT-SCEW=2,\"Neu\",,\"TELNO\",,\"089\""} << kError << 2
        << QList<QByteArray>();
    QTest::newRow("extended write on empty SIM position")
        << QList<QByteArray>{"AT-SCEW=502,\"Neu\",,\"TELNO\",,\"089\""} << kOk << 502
        << entry({"502", "Neu", "", "TELNO", "", "089"});
    QTest::newRow("extended delete")
        << QList<QByteArray>{"AT-SCED=12"} << kOk << 12 << QList<QByteArray>();
    QTest::newRow("extended delete of empty location")
        << QList<QByteArray>{"AT-SCED=2"} << kError << 2 << QList<QByteArray>();
    QTest::newRow("write without index takes first free ME location")
        << QList<QByteArray>{"AT+CPBW=,\"123456\",129,\"HilfsDummy\""} << kOk << 1
        << entry({"1", "HilfsDummy", "", "TELNO", "", "123456"});
    QTest::newRow("write without index on SIM")
        << QList<QByteArray>{"AT+CPBS=\"SM\"", "AT+CPBW=,\"123456\",129,\"HilfsDummy\""} << kOk
        << 502 << entry({"502", "HilfsDummy", "", "TELNO", "", "123456"});
    QTest::newRow("overwrite keeps the other values")
        << QList<QByteArray>{"AT+CPBW=12,\"+49999\",145,\"Neu\""} << kOk << 12
        << entry({"12", "Neu", "Familie", "TELNO", "Mobil", "+49999", "TELNO", "", "", "TELNO", "",
                  "", "CUSTOM", "", "", "CUSTOM"});
    QTest::newRow("overwrite SIM position")
        << QList<QByteArray>{"AT+CPBS=\"SM\"", "AT+CPBW=1,\"0302\",129,\"SIM Neu\""} << kOk << 501
        << entry({"501", "SIM Neu", "", "TELNO", "", "0302"});
    QTest::newRow("clear with trailing comma")
        << QList<QByteArray>{"AT+CPBW=12,"} << kOk << 12 << QList<QByteArray>();
    QTest::newRow("clear with index only")
        << QList<QByteArray>{"AT+CPBW=12"} << kOk << 12 << QList<QByteArray>();
    QTest::newRow("clear empty location")
        << QList<QByteArray>{"AT+CPBW=2,"} << kOk << 2 << QList<QByteArray>();
    QTest::newRow("text too long")
        << QList<QByteArray>{"AT+CPBW=2,\"1\",129,\"0123456789012345678\""} << kError << 2
        << QList<QByteArray>();
    QTest::newRow("UCS2 text, plain number")
        << QList<QByteArray>{"AT+CSCS=\"UCS2\"", "AT+CPBW=2,\"0221\",129,\"004300F400740065\""}
        << kOk << 2 << entry({"2", "C\xf4te", "", "TELNO", "", "0221"});
    QTest::newRow("UCS2 text and number")
        << QList<QByteArray>{"AT+CSCS=\"UCS2\"", "AT+CPBW=2,\"002B0034\",145,\"00DF0040005F\""}
        << kOk << 2 << entry({"2", "\x1e\x8f\x11", "", "TELNO", "", "+4"});
    QTest::newRow("UCS2 character the handset lacks")
        << QList<QByteArray>{"AT+CSCS=\"UCS2\"", "AT+CMEE=1", "AT+CPBW=2,\"1\",129,\"20AC\""}
        << QByteArray("\r\n+CME ERROR: 25\r\n") << 2 << QList<QByteArray>();
    QTest::newRow("UCS2 odd length")
        << QList<QByteArray>{"AT+CSCS=\"UCS2\"", "AT+CPBW=2,\"1\",129,\"004\""} << kError << 2
        << QList<QByteArray>();
    QTest::newRow("18 handset bytes of UCS2 fit")
        << QList<QByteArray>{"AT+CSCS=\"UCS2\"",
                             "AT+CPBW=2,\"1\",129,\"" + QByteArray("00FC").repeated(18) + "\""}
        << kOk << 2 << entry({"2", QByteArray(18, '~').constData(), "", "TELNO", "", "1"});
    QTest::newRow("8859-1 text") << QList<QByteArray>{"AT+CSCS=\"8859-1\"",
                                                      "AT+CPBW=2,\"1\",129,\"\xc4rger\""}
                                 << kOk << 2 << entry({"2", "[rger", "", "TELNO", "", "1"});
    QTest::newRow("number with letters")
        << QList<QByteArray>{"AT+CPBW=2,\"12a\",129,\"x\""} << kError << 2 << QList<QByteArray>();
}

void TestSim::writeCommands()
{
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QByteArray, reply);
    QFETCH(int, location);
    QFETCH(QList<QByteArray>, stored);
    m_peer.transact("ATE0");
    QByteArray last;
    for (const QByteArray& command : commands)
        last = m_peer.transact(command);
    QCOMPARE(last, reply);
    QCOMPARE(m_sim->entry(location), stored);
}

void TestSim::faults_data()
{
    QTest::addColumn<SimOptions>("options");
    QTest::addColumn<QList<QByteArray>>("commands");
    // One letter per command: O answered OK, E answered ERROR,
    // G junk without a final result code, - nothing at all (not even echo).
    QTest::addColumn<QByteArray>("outcomes");

    const QList<QByteArray> fourAts{"AT", "AT", "AT", "AT"};
    SimOptions o;
    o.stopAnsweringAfter = 2;
    QTest::newRow("stop answering") << o << fourAts << QByteArray("OO--");

    o = {};
    o.silentAfter = 1;
    o.silentFor = 2;
    QTest::newRow("silent for a while") << o << fourAts << QByteArray("O--O");

    o = {};
    o.garbageAtCommand = 2;
    QTest::newRow("garbage at command") << o << fourAts << QByteArray("OGOO");

    o = {};
    o.garbageAtLocation = 12;
    QTest::newRow("garbage at location")
        << o
        << QList<QByteArray>{"AT-SCER=3", "AT-SCER=12", "AT+CPBR=1,20", "AT+CPBR=13,20",
                             "AT-SCEW=12,\"x\""}
        << QByteArray("OGGOG");
    o.garbageAtLocation = 13; // empty: listing across it still upsets the handset
    QTest::newRow("garbage at empty location")
        << o << QList<QByteArray>{"AT+CPBR=1,12", "AT+CPBR=1,20", "AT-SCER=13"}
        << QByteArray("OGG");

    o = {};
    o.refuseExtendedWrite = true;
    QTest::newRow("refuse extended write")
        << o << QList<QByteArray>{"AT-SCEW=12,\"x\"", "AT-SCEW=501,\"x\"", "AT-SCER=12"}
        << QByteArray("EEO");

    o = {};
    o.refuseIndexedMeWrite = true;
    QTest::newRow("refuse indexed ME write")
        << o
        << QList<QByteArray>{"AT+CPBW=12,\"1\",129,\"x\"", "AT+CPBW=,\"1\",129,\"x\"",
                             "AT+CPBS=\"SM\"", "AT+CPBW=1,\"1\",129,\"x\""}
        << QByteArray("EOOO");
}

void TestSim::faults()
{
    QFETCH(SimOptions, options);
    QFETCH(QList<QByteArray>, commands);
    QFETCH(QByteArray, outcomes);
    startWith(options);
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const char expected = outcomes.at(i);
        m_peer.send(commands.at(i) + '\r');
        const QByteArray got =
            expected == 'O' || expected == 'E' ? m_peer.readReply() : m_peer.readFor(200);
        const QByteArray what = "command " + QByteArray::number(i + 1) + ": " + got;
        switch (expected) {
        case 'O':
            QVERIFY2(got.endsWith(kOk), what.constData());
            break;
        case 'E':
            QVERIFY2(got.endsWith(kError), what.constData());
            break;
        case 'G':
            QVERIFY2(got.size() > commands.at(i).size() + 1 && !got.contains("OK\r\n") &&
                         !got.contains("ERROR"),
                     what.constData());
            break;
        default:
            QVERIFY2(got.isEmpty(), what.constData());
        }
    }
    QCOMPARE(m_sim->commands(), commands); // silent or not, every command is recorded
}

void TestSim::silentAtRunTime()
{
    m_sim->setSilent(true);
    m_peer.send("AT\r");
    QCOMPARE(m_peer.readFor(200), QByteArray());
    m_sim->setSilent(false);
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
}

void TestSim::lineDrop_data()
{
    QTest::addColumn<bool>("onRequest");
    QTest::newRow("after a number of commands") << false;
    QTest::newRow("on request") << true;
}

void TestSim::lineDrop()
{
    QFETCH(bool, onRequest);
    SimOptions o;
    if (!onRequest)
        o.dropLineAfter = 2;
    startWith(o);
    QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk);
    if (onRequest)
        m_sim->dropLine();
    else
        QCOMPARE(m_peer.transact("AT"), "AT\r" + kOk); // answered in full before the line dies
    QVERIFY(m_peer.lineDead());
}

void TestSim::pacing_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("latencyMs");
    QTest::addColumn<int>("lateMs"); // the first command only
    QTest::addColumn<int>("minimumMs");

    // ATI2 with echo: 5 bytes echo + 29 bytes reply = 34 bytes, 340 bit times.
    QTest::newRow("1200 baud") << 1200 << 0 << 0 << 340 * 1000 / 1200;
    QTest::newRow("latency") << 0 << 250 << 0 << 250;
    QTest::newRow("late answer") << 0 << 0 << 300 << 300;
    QTest::newRow("both") << 2400 << 100 << 0
                          << 100 + 290 * 1000 / 2400; // echo goes out before the latency
}

void TestSim::pacing()
{
    QFETCH(int, baud);
    QFETCH(int, latencyMs);
    QFETCH(int, lateMs);
    QFETCH(int, minimumMs);
    SimOptions o;
    o.baud = baud;
    o.latencyMs = latencyMs;
    o.lateAfter = 0;
    o.lateFor = 1;
    o.lateMs = lateMs;
    startWith(o);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_peer.transact("ATI2"), "ATI2\r\r\nVexa TLM-Q7 Rev 1.0\r\n" + kOk);
    QVERIFY2(clock.elapsed() >= minimumMs, QByteArray::number(clock.elapsed()).constData());
}

void TestSim::commandTakesItsLineTime()
{
    SimOptions o;
    o.baud = 2400;
    startWith(o);
    QCOMPARE(m_peer.transact("ATE0"), "ATE0\r\r\nOK\r\n");
    // 99 bytes and CR in, OK out: 106 bytes, 1060 bit times, nearly all of
    // them before the handset may answer.
    const QByteArray command = "AT+CPBF=\"" + QByteArray(89, 'x') + '"';
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(m_peer.transact(command), kOk);
    QVERIFY2(clock.elapsed() >= 1060 * 1000 / 2400,
             QByteArray::number(clock.elapsed()).constData());
}

void TestSim::logFile()
{
    QTemporaryDir dir;
    SimOptions o;
    o.logFile = dir.filePath(QStringLiteral("sim.log"));
    startWith(o);
    m_peer.transact("AT+CPBR=3");
    m_sim->stop();
    QFile log(o.logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY2(text.contains(" < AT+CPBR=3\n"), text.constData());
    QVERIFY2(text.contains(" > \\r\\n+CPBR: 3,\"+4930123\",145,\"Anna\"\\r\\n\\r\\nOK\\r\\n\n"),
             text.constData());
}

void TestSim::phonebookFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");

    const QByteArray good =
        "7,\"J|rg, M.\",\"Familie\",\"TELNO\",\"Mobil\",\"0171\",\"\",\"\",\"\",\"\",\"\",\"\","
        "\"CUSTOM\",\"\",\"Zeile\",\"CUSTOM\",\"\",\"\"";
    QTest::newRow("CR LF") << good + "\r\n" << true;
    QTest::newRow("LF and blank lines") << "\n" + good + "\n\r\n" << true;
    QTest::newRow("no line end") << good << true;
    QTest::newRow("too few values") << QByteArray("7,\"a\",\"b\"\r\n") << false;
    QTest::newRow("location 0") << "0" + good.mid(1) << false;
    QTest::newRow("location 701") << "701" + good.mid(1) << false;
    QTest::newRow("unterminated quote") << good.chopped(1) << false;
    QTest::newRow("location twice") << good + "\r\n" + good + "\r\n" << false;
}

void TestSim::phonebookFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    QString error;
    QCOMPARE(m_sim->loadPhonebook(path, &error), valid);
    if (valid) {
        QCOMPARE(m_sim->phonebook().keys(), QList<int>{7});
        QCOMPARE(m_sim->entry(7), entry({"7", "J|rg, M.", "Familie", "TELNO", "Mobil", "0171", "",
                                         "", "", "", "", "", "CUSTOM", "", "Zeile", "CUSTOM"}));
    } else {
        QVERIFY2(error.contains(path), qPrintable(error));
        QCOMPARE(m_sim->entry(12).value(1), QByteArray("J|rg")); // the old phonebook stays
    }
}

void TestSim::demoPhonebook()
{
    const QString path = QFINDTESTDATA("../sim/demo/phonebook.csv");
    QVERIFY(!path.isEmpty());
    QString error;
    QVERIFY2(m_sim->loadPhonebook(path, &error), qPrintable(error));
    const q7sim::Phonebook book = m_sim->phonebook();
    for (int location = 501; location <= 509; ++location)
        QVERIFY2(book.contains(location), qPrintable(QString::number(location)));
    QVERIFY(book.firstKey() <= 500);
    QVERIFY(book.lastKey() > 509);
    // The handset hands the bytes out as stored: no character conversion.
    const QByteArray name = book.first().at(1);
    QVERIFY(m_peer.transact("AT-SCER=" + QByteArray::number(book.firstKey()))
                .contains(",\"" + name + "\","));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
