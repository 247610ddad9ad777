// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortWatcher.h"

#include "link/PortMap.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace q7 {

PortWatcher::PortWatcher(QObject* parent) : PortWatcher(&PortWatcher::systemPorts, parent) {}

PortWatcher::PortWatcher(ListSource source, QObject* parent)
    : QObject(parent), m_source(std::move(source))
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
}

void PortWatcher::start()
{
    const QStringList now = m_source();
    m_known = QSet<QString>(now.begin(), now.end());
    m_timer.start();
}

void PortWatcher::stop()
{
    m_timer.stop();
}

void PortWatcher::poll()
{
    const QStringList now = m_source();
    QStringList appeared;
    for (const QString& device : now)
        if (!m_known.contains(device) && !appeared.contains(device))
            appeared << device;
    // A device that went away counts again when it comes back.
    m_known = QSet<QString>(now.begin(), now.end());
    if (!appeared.isEmpty())
        emit portsAppeared(appeared);
}

QStringList PortWatcher::systemPorts()
{
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    // A name pinned to a path the system does not list (a by-id link, a
    // pseudo-terminal) counts while its device is there.
    const QMap<int, QString> map = currentPortMap();
    for (const QString& device : map)
        if (!devices.contains(device) && QFileInfo::exists(device))
            devices << device;
    return devices;
}

} // namespace q7
