// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>

namespace q7 {

class TComPort;

// How a reply ended. A reply ends at a final result line, never at "OK" or
// "ERROR" inside data such as an upper-case name.
enum class ReplyEnd
{
    Ok,            // a line that is exactly "OK"
    Error,         // "ERROR", "+CME ERROR: ..." or "+CMS ERROR: ..."
    NoFinalResult, // data, then silence
    Empty,         // nothing within the first-byte time-out
};

// The first complete final result line of the text decides; text without one
// is NoFinalResult, or Empty when there is no text at all.
ReplyEnd classifyReply(QByteArrayView reply);

struct Reply
{
    QByteArray text;
    ReplyEnd end = ReplyEnd::Empty;

    bool isOk() const { return end == ReplyEnd::Ok; }
    bool isError() const { return end == ReplyEnd::Error; }
    // The handset did not finish its answer: nothing, or data cut off.
    bool linkLost() const { return end == ReplyEnd::Empty || end == ReplyEnd::NoFinalResult; }
};

inline constexpr int kFirstByteTimeoutMs = 1000;
inline constexpr int kSilenceTimeoutMs = 5000;
// The pause after every reply that gave the handset time to settle.
inline constexpr int kPauseAfterReplyMs = 10;

// Writes AT commands and collects their replies. Every wait is a nested event
// loop woken by the port or a timer: the window repaints and no CPU is spent.
// A wait ends with EComPort when the port fails and with EOperationCancelled
// after cancel().
class CommandExchange : public QObject
{
    Q_OBJECT

public:
    explicit CommandExchange(TComPort& port, QObject* parent = nullptr);

    TComPort& port() { return m_port; }

    Reply exchange(QByteArrayView command, int firstByteMs = kFirstByteTimeoutMs,
                   int silenceMs = kSilenceTimeoutMs);
    Reply readResponse(int firstByteMs, int silenceMs);
    void delay(int ms);

    // Ends the running wait, and every later one until clearCancel().
    void cancel();
    void clearCancel() { m_cancelled = false; }

    // Traffic so far, for the benchmarks' lower bound.
    struct Traffic
    {
        qint64 exchanges = 0;
        qint64 bytesSent = 0;
        qint64 bytesReceived = 0;
        qint64 pausesAfterReplies = 0; // 10 ms each
        // Per exchange the larger of the bytes sent and received: the line
        // is full duplex, and the echo comes back while the command goes out.
        qint64 busierDirectionBytes = 0;
    };
    const Traffic& traffic() const { return m_traffic; }

signals:
    void cancelRequested();

private:
    enum class WakeOn
    {
        Data,
        Written,
        TimerOnly
    };
    void wait(int ms, WakeOn wakeOn);
    void pauseAfterReply();
    void throwIfStopped();

    TComPort& m_port;
    bool m_cancelled = false;
    Traffic m_traffic;
};

} // namespace q7
