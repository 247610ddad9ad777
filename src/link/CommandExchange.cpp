// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/CommandExchange.h"

#include <algorithm>

#include "base/Errors.h"
#include "link/ComPort.h"
#include "link/NestedWait.h"

#include <QElapsedTimer>

namespace q7 {

namespace {

std::optional<ReplyEnd> finalResultOf(QByteArrayView line)
{
    if (line == "OK")
        return ReplyEnd::Ok;
    if (line == "ERROR" || line.startsWith("+CME ERROR:") || line.startsWith("+CMS ERROR:"))
        return ReplyEnd::Error;
    return std::nullopt;
}

} // namespace

ReplyEnd classifyReply(QByteArrayView reply)
{
    if (reply.isEmpty())
        return ReplyEnd::Empty;
    // Only complete lines count: "OK" still arriving could be the start of
    // "OKAY" in a name.
    qsizetype start = 0;
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (reply[i] != '\r' && reply[i] != '\n')
            continue;
        if (const auto end = finalResultOf(reply.sliced(start, i - start)))
            return *end;
        start = i + 1;
    }
    return ReplyEnd::NoFinalResult;
}

CommandExchange::CommandExchange(TComPort& port, QObject* parent) : QObject(parent), m_port(port) {}

void CommandExchange::cancel()
{
    m_cancelled = true;
    emit cancelRequested();
}

void CommandExchange::throwIfStopped()
{
    if (m_cancelled)
        throw EOperationCancelled();
    m_port.throwPendingFailure();
}

void CommandExchange::wait(int ms, WakeOn wakeOn)
{
    throwIfStopped();
    if (ms > 0) {
        NestedWait wait;
        wait.wakeOn(&m_port, &TComPort::failed).wakeOn(this, &CommandExchange::cancelRequested);
        if (wakeOn == WakeOn::Data)
            wait.wakeOn(&m_port, &TComPort::readyRead);
        else if (wakeOn == WakeOn::Written)
            wait.wakeOn(&m_port, &TComPort::bytesWritten);
        wait.run(ms);
    }
    throwIfStopped();
}

void CommandExchange::delay(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    do
        wait(int(ms - elapsed.elapsed()), WakeOn::TimerOnly);
    while (elapsed.elapsed() < ms);
}

Reply CommandExchange::readResponse(int firstByteMs, int silenceMs)
{
    Reply reply;
    QElapsedTimer clock;
    clock.start();

    throwIfStopped();
    while (m_port.InputPending() == 0) {
        const qint64 left = firstByteMs - clock.elapsed();
        if (left <= 0)
            return reply; // nothing at all: no pause follows
        wait(int(left), WakeOn::Data);
    }

    qint64 lastData = clock.elapsed();
    for (;;) {
        const QByteArray piece = m_port.ReadPending(m_port.InputPending());
        if (!piece.isEmpty()) {
            reply.text += piece;
            m_traffic.bytesReceived += piece.size();
            lastData = clock.elapsed();
            reply.end = classifyReply(reply.text);
            if (reply.end == ReplyEnd::Ok || reply.end == ReplyEnd::Error)
                break;
        }
        const qint64 left = silenceMs - (clock.elapsed() - lastData);
        if (left <= 0)
            break;
        wait(int(left), WakeOn::Data);
    }
    ++m_traffic.pausesAfterReplies;
    pauseAfterReply();
    return reply;
}

void CommandExchange::pauseAfterReply()
{
    // The reply is whole: a line that dies in the pause after it is the next
    // command's failure, so that what the handset confirmed still counts (a
    // write that went through must not read as one that did not). A cancel
    // still ends the pause.
    QElapsedTimer elapsed;
    elapsed.start();
    for (qint64 left = kPauseAfterReplyMs; left > 0;
         left = kPauseAfterReplyMs - elapsed.elapsed()) {
        if (m_cancelled)
            throw EOperationCancelled();
        NestedWait wait;
        wait.wakeOn(this, &CommandExchange::cancelRequested);
        wait.run(int(left));
    }
    if (m_cancelled)
        throw EOperationCancelled();
}

Reply CommandExchange::exchange(QByteArrayView command, int firstByteMs, int silenceMs)
{
    throwIfStopped();
    m_port.discardInput();
    // The write waits like every other wait here, so that a cancel ends a
    // write that flow control or a stalled adapter holds up.
    m_port.WriteText(command.toByteArray(), [this](int ms) { wait(ms, WakeOn::Written); });
    ++m_traffic.exchanges;
    m_traffic.bytesSent += command.size();
    const qint64 receivedBefore = m_traffic.bytesReceived;
    Reply reply = readResponse(firstByteMs, silenceMs);
    m_traffic.busierDirectionBytes +=
        std::max<qint64>(command.size(), m_traffic.bytesReceived - receivedBefore);
    return reply;
}

} // namespace q7
