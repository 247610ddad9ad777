// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEventLoop>
#include <QTimer>
#include <cerrno>

namespace q7 {

// Waits in a nested event loop until one of the chosen signals fires or the
// time is up. The window keeps repainting and the process sleeps meanwhile.
class NestedWait
{
public:
    NestedWait()
    {
        m_timer.setSingleShot(true);
        // Coarse timers fire up to 5 % early, which would shorten a time-out.
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    }

    template <typename Sender, typename Signal>
    NestedWait& wakeOn(const Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, &m_loop, &QEventLoop::quit);
        return *this;
    }

    void run(int ms)
    {
        // A port failure reported while we wait takes its number from errno.
        // Start from none, so that a number an earlier call left behind is
        // not taken for the failure's.
        errno = 0;
        m_timer.start(ms);
        m_loop.exec();
    }

private:
    QEventLoop m_loop;
    QTimer m_timer;
};

} // namespace q7
