// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The far end of a pseudo-terminal, driven by the test itself: it answers on
// a schedule, records what the manager sent and can hang up. Its writes run
// from timers, so they happen while the code under test waits in its event
// loop, exactly as a handset's bytes arrive.

#include <QByteArray>
#include <QHash>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

class PtyPeer
{
public:
    PtyPeer()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            throw std::runtime_error("no pseudo-terminal");
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        // Raw from the start, so the line discipline neither echoes nor
        // rewrites line ends before the manager opens the device.
        // The peer keeps a descriptor of its own on the slave side: without
        // one, the master reads as hung up whenever the manager has the
        // device closed, and the notifier would fire without end.
        m_slaveHold = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
        termios raw{};
        tcgetattr(m_slaveHold, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slaveHold, TCSANOW, &raw);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drain(); });
    }

    ~PtyPeer() { hangUp(); }

    const QString& devicePath() const { return m_slavePath; }

    // Everything the manager has sent so far.
    QByteArray received()
    {
        drain();
        return m_received;
    }

    void send(const QByteArray& bytes)
    {
        if (m_master < 0)
            return;
        // A reply cut short would fail a test far from its cause: say so here.
        const ssize_t sent = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        if (sent != ssize_t(bytes.size()))
            qWarning("PtyPeer: %zd of %lld bytes sent", sent, qint64(bytes.size()));
    }

    void sendAfter(int ms, const QByteArray& bytes)
    {
        QTimer::singleShot(ms, Qt::PreciseTimer, [this, bytes] { send(bytes); });
    }

    // Sends the reply as soon as the manager has sent the command and its
    // line end, however slowly the manager runs (a sanitizer build).
    void answer(const QByteArray& command, const QByteArray& reply)
    {
        m_answers.insert(command, reply);
    }

    // A handset that stops taking bytes: what the manager writes piles up
    // until the line's buffers are full and its writes stall.
    void setReading(bool reading)
    {
        if (m_notifier)
            m_notifier->setEnabled(reading);
    }

    // Like a cable pulled: the manager's side reads an error from now on.
    void hangUp()
    {
        m_notifier.reset();
        if (m_master >= 0)
            ::close(m_master);
        if (m_slaveHold >= 0)
            ::close(m_slaveHold);
        m_master = -1;
        m_slaveHold = -1;
    }

private:
    void drain()
    {
        char buffer[512];
        ssize_t n;
        while (m_master >= 0 && (n = ::read(m_master, buffer, sizeof buffer)) > 0)
            m_received.append(buffer, n);
        for (qsizetype end; (end = m_received.indexOf("\r\n", m_answered)) >= 0;) {
            const QByteArray line = m_received.mid(m_answered, end - m_answered);
            m_answered = end + 2;
            if (const auto reply = m_answers.constFind(line); reply != m_answers.cend())
                send(*reply);
        }
    }

    int m_master = -1;
    int m_slaveHold = -1;
    QString m_slavePath;
    QByteArray m_received;
    qsizetype m_answered = 0; // m_received up to here has been looked at for commands
    QHash<QByteArray, QByteArray> m_answers;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
