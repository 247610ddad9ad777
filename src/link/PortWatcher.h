// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace q7 {

// Looks at the system's list of serial ports every two seconds and says when
// a device appears that was not there at the last look, so that a handset
// plugged in after the start is found without the user asking. The window
// runs it while no handset has answered and no operation runs.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    // The devices there are now (paths); by default the ports the system
    // lists and the devices the COM names stand for.
    using ListSource = std::function<QStringList()>;
    static constexpr int kIntervalMs = 2000;

    explicit PortWatcher(QObject* parent = nullptr);
    explicit PortWatcher(ListSource source, QObject* parent = nullptr);

    // Takes the present devices as known, so that only later ones count.
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // One look now, as the timer makes it.
    void poll();

    static QStringList systemPorts();

signals:
    // Devices that were not there at the last look, in the list's order.
    void portsAppeared(const QStringList& devices);

private:
    ListSource m_source;
    QSet<QString> m_known;
    QTimer m_timer;
};

} // namespace q7
