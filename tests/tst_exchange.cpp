// SPDX-License-Identifier: GPL-3.0-or-later
// The command exchange and the handset search over a real pseudo-terminal.

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "support/PtyPeer.h"

#include <QElapsedTimer>
#include <QTest>
#include <sys/resource.h>

using namespace q7;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// More than the line's buffers hold, so that a write to a peer that takes
// nothing stalls. Against the line's own write time-out (100 ms a byte) it
// would wait for days.
const QByteArray kFlood(1 << 20, 'x');

// What the manager's side of a pseudo-terminal reads once the far end is
// gone: EIO.
const QString kHangUpFailure =
    QStringLiteral("ReadFile function failed (errno 5, EIO: Input/output error)");

struct RecordingHost : OperationHost
{
    QStringList statuses;
    int found = 0;
    int busyDepth = 0;
    void showStatus(const QString& text) override { statuses << text; }
    void handsetFound() override { ++found; }
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
};

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        peer = std::make_unique<PtyPeer>();
        port = std::make_unique<TComPort>();
        port->setDeviceOverride(peer->devicePath());
        exchange = std::make_unique<CommandExchange>(*port);
    }
    void cleanup()
    {
        exchange.reset();
        port.reset();
        peer.reset();
    }

    void classifiesReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("end");
        QTest::newRow("nothing") << QByteArray() << int(ReplyEnd::Empty);
        QTest::newRow("ok") << QByteArray("\r\nOK\r\n") << int(ReplyEnd::Ok);
        QTest::newRow("error") << QByteArray("\r\nERROR\r\n") << int(ReplyEnd::Error);
        QTest::newRow("cme error") << QByteArray("\r\n+CME ERROR: 22\r\n") << int(ReplyEnd::Error);
        QTest::newRow("cms error") << QByteArray("\r\n+CMS ERROR: 500\r\n") << int(ReplyEnd::Error);
        QTest::newRow("echo then ok")
            << QByteArray("at-scer=1\r\r\n-SCER: 1,\"A\"\r\n\r\nOK\r\n") << int(ReplyEnd::Ok);
        QTest::newRow("name TOKYO, no result yet")
            << QByteArray("\r\n-SCER: 3,\"TOKYO\",\"BOOK\"") << int(ReplyEnd::NoFinalResult);
        QTest::newRow("name that is a whole OK line inside quotes")
            << QByteArray("\r\n-SCER: 3,\"OK\"\r\n") << int(ReplyEnd::NoFinalResult);
        QTest::newRow("OK still arriving") << QByteArray("\r\nOK") << int(ReplyEnd::NoFinalResult);
        QTest::newRow("ERROR in a name line")
            << QByteArray("\r\n+CPBR: 1,\"1\",129,\"ERROR\"\r\n") << int(ReplyEnd::NoFinalResult);
        QTest::newRow("wake-up echo")
            << QByteArray(" \r\n \r\n \r\n") << int(ReplyEnd::NoFinalResult);
    }
    void classifiesReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, end);
        QCOMPARE(int(classifyReply(reply)), end);
    }

    void firstByteTimeoutGivesEmptyReply()
    {
        port->OpenPort();
        QElapsedTimer clock;
        clock.start();
        const Reply reply = exchange->exchange("AT\r\n", 300, 2000);
        QVERIFY(reply.text.isEmpty());
        QCOMPARE(reply.end, ReplyEnd::Empty);
        QVERIFY2(clock.elapsed() >= 300 && clock.elapsed() < 700,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(peer->received(), QByteArray("AT\r\n"));
    }

    void eachPieceRestartsTheSilenceTimeout()
    {
        port->OpenPort();
        peer->sendAfter(50, "one ");
        peer->sendAfter(250, "two ");
        peer->sendAfter(450, "three");
        QElapsedTimer clock;
        clock.start();
        const Reply reply = exchange->exchange("AT\r\n", 1000, 300);
        QCOMPARE(reply.text, QByteArray("one two three"));
        QCOMPARE(reply.end, ReplyEnd::NoFinalResult);
        // The last piece came at 450 ms; silence ends 300 ms later.
        QVERIFY2(clock.elapsed() >= 740 && clock.elapsed() < 1200,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void finalResultEndsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("end");
        QTest::newRow("ERROR") << QByteArray("\r\nERROR\r\n") << int(ReplyEnd::Error);
        QTest::newRow("OK") << QByteArray("\r\nOK\r\n") << int(ReplyEnd::Ok);
    }
    void finalResultEndsAtOnce()
    {
        QFETCH(QByteArray, answer);
        QFETCH(int, end);
        port->OpenPort();
        peer->sendAfter(20, answer);
        QElapsedTimer clock;
        clock.start();
        const Reply reply = exchange->exchange("AT\r\n", 1000, 5000);
        QCOMPARE(int(reply.end), end);
        QCOMPARE(reply.text, answer);
        QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
    }

    void entryHoldingOkAndErrorIsReadWhole()
    {
        port->OpenPort();
        const QByteArray entry = "\r\n-SCER: 7,\"TOKYO BOOK\",\"ERROR\",\"TELNO\"";
        peer->sendAfter(20, entry);
        peer->sendAfter(120, ",\"Mobil\"\r\n\r\nOK\r\n");
        const Reply reply = exchange->exchange("at-scer=7\r\n");
        QCOMPARE(reply.end, ReplyEnd::Ok);
        QCOMPARE(reply.text, entry + ",\"Mobil\"\r\n\r\nOK\r\n");
    }

    void staleBytesAreNotTakenForTheNextReply()
    {
        port->OpenPort();
        // The first command's answer comes too late for it...
        peer->sendAfter(250, "\r\n-SCER: 1,\"Late\"\r\n\r\nOK\r\n");
        QVERIFY(exchange->exchange("at-scer=1\r\n", 100, 100).text.isEmpty());
        QTest::qWait(400);
        // ...and must not pass for the second one's.
        peer->sendAfter(50, "\r\n-SCER: 2,\"Own\"\r\n\r\nOK\r\n");
        const Reply reply = exchange->exchange("at-scer=2\r\n");
        QVERIFY2(reply.text.contains("Own") && !reply.text.contains("Late"),
                 reply.text.constData());
    }

    void cancelEndsTheWait()
    {
        port->OpenPort();
        QTimer::singleShot(100, exchange.get(), &CommandExchange::cancel);
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled, exchange->exchange("AT\r\n", 5000, 5000));
        QVERIFY(clock.elapsed() < 1000);
        // Every later wait stops too, until the next operation clears it.
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled, exchange->delay(10));
        exchange->clearCancel();
        exchange->delay(10);
    }

    void hangUpEndsTheExchangeWithAPortFailure()
    {
        port->OpenPort();
        QTimer::singleShot(100, [this] { peer->hangUp(); });
        const double cpuBefore = cpuSeconds();
        QVERIFY_THROWS_EXCEPTION(EComPort, exchange->exchange("AT\r\n", 5000, 5000));
        QTest::qWait(200);
        QVERIFY(!port->Connected());
        // A hung-up line must not keep the process busy.
        QVERIFY2(cpuSeconds() - cpuBefore < 0.2,
                 qPrintable(QString::number(cpuSeconds() - cpuBefore)));
    }

    // The handset confirmed the command and the line died right after: the
    // confirmation counts, and the next command meets the failure.
    void aWholeReplyCountsWhenTheLineDiesRightAfterIt()
    {
        port->OpenPort();
        peer->answer("AT-SCEW=3", "\r\nOK\r\n");
        QObject::connect(
            port.get(), &TComPort::readyRead, port.get(), [this] { peer->hangUp(); },
            Qt::SingleShotConnection);
        QCOMPARE(exchange->exchange("AT-SCEW=3\r\n", 5000, 5000).end, ReplyEnd::Ok);
        QVERIFY_THROWS_EXCEPTION(EComPort, exchange->exchange("AT\r\n", 5000, 5000));
    }

    void cancelEndsAStalledWrite()
    {
        port->OpenPort();
        peer->setReading(false);
        // Should the cancel not reach the write, the hang-up ends it, with
        // the wrong outcome, instead of the test waiting for the time-out.
        QTimer::singleShot(3000, exchange.get(), [this] { peer->hangUp(); });
        QTimer::singleShot(100, exchange.get(), &CommandExchange::cancel);
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled, exchange->exchange(kFlood, 5000, 5000));
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(port->Connected());

        // Nothing of the abandoned write goes out later in front of the next
        // command.
        exchange->clearCancel();
        peer->setReading(true);
        peer->sendAfter(50, "\r\nOK\r\n");
        QCOMPARE(exchange->exchange("AT\r\n").end, ReplyEnd::Ok);
        const QByteArray sent = peer->received();
        QVERIFY(sent.endsWith("AT\r\n"));
        QVERIFY2(sent.size() < kFlood.size(), qPrintable(QString::number(sent.size())));
    }

    void portFailureDuringAWriteIsTheDevicesOwn_data()
    {
        QTest::addColumn<bool>("throughExchange");
        QTest::newRow("command exchange") << true;
        QTest::newRow("port alone") << false;
    }
    void portFailureDuringAWriteIsTheDevicesOwn()
    {
        QFETCH(bool, throughExchange);
        port->OpenPort();
        peer->setReading(false);
        QTimer::singleShot(100, exchange.get(), [this] { peer->hangUp(); });
        try {
            if (throughExchange)
                exchange->exchange(kFlood, 5000, 5000);
            else
                port->WriteText(kFlood);
            QFAIL("the write went through");
        } catch (const EComPort& failure) {
            // The line hung up; the write did not run out of time.
            QCOMPARE(failure.message(), kHangUpFailure);
        }
        // Taken once: neither the line's further reports until the port has
        // closed nor the next command may bring it back.
        QTest::qWait(100);
        QVERIFY(!port->Connected());
        QVERIFY(!port->hasFailure());
    }

    void hangUpCarriesTheLinesOwnErrorNumber()
    {
        port->OpenPort();
        QTimer::singleShot(100, exchange.get(), [this] { peer->hangUp(); });
        try {
            exchange->exchange("AT\r\n", 5000, 5000);
            QFAIL("no failure");
        } catch (const EComPort& failure) {
            // The read that meets the hang-up sets no number of its own; a
            // "try again" left by an earlier read must not pass for one.
            QCOMPARE(failure.message(), kHangUpFailure);
        }
    }

    void waitingCostsNoCpu()
    {
        port->OpenPort();
        const double cpuBefore = cpuSeconds();
        QVERIFY(exchange->exchange("AT\r\n", 1000, 1000).text.isEmpty());
        exchange->delay(500);
        QVERIFY2(cpuSeconds() - cpuBefore < 0.05,
                 qPrintable(QString::number(cpuSeconds() - cpuBefore)));
    }

    void readingWhenNothingWaitsReturnsAtOnce()
    {
        port->OpenPort();
        QCOMPARE(port->InputPending(), 0);
        QVERIFY(port->ReadPending(port->InputPending()).isEmpty());
    }

    void searchOnASilentLineGivesUpAfterHalfASecond()
    {
        RecordingHost host;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!searchHandset(*exchange, LanguageFile(), host));
        QVERIFY2(clock.elapsed() >= 500 && clock.elapsed() < 900,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(peer->received(), QByteArray(" \r\n \r\n \r\n"));
        QCOMPARE(host.statuses, QStringList({QStringLiteral("Nach Vexa TLM-Q7 suchen..."),
                                             QStringLiteral("Kein Vexa TLM-Q7 gefunden.")}));
        QCOMPARE(host.found, 0);
        QCOMPARE(host.busyDepth, 0);
        QVERIFY(port->Connected()); // stays open either way
    }

    void searchAsksOtherDevicesAndRejectsThem()
    {
        RecordingHost host;
        peer->sendAfter(20, " \r\n \r\n \r\n");
        peer->answer("ATE0", "\r\nOK\r\n");
        peer->answer("ATI2", "\r\nSomePhone X1\r\n\r\nOK\r\n");
        QVERIFY(!searchHandset(*exchange, LanguageFile(), host));
        QCOMPARE(peer->received(), QByteArray(" \r\n \r\n \r\nATE0\r\nATI2\r\n"));
        QCOMPARE(host.found, 0);
    }

    void searchFailsOnAPortThatCannotOpen()
    {
        RecordingHost host;
        port->setDeviceOverride(QStringLiteral("/dev/q7-no-such-device"));
        try {
            searchHandset(*exchange, LanguageFile(), host);
            QFAIL("no failure");
        } catch (const EComPort& failure) {
            QCOMPARE(failure.message(),
                     QStringLiteral(
                         "Unable to open com port (errno 2, ENOENT: No such file or directory)"));
        }
        QVERIFY(!port->Connected());
        QCOMPARE(host.busyDepth, 0);
    }

private:
    std::unique_ptr<PtyPeer> peer;
    std::unique_ptr<TComPort> port;
    std::unique_ptr<CommandExchange> exchange;
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
