// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortMap.h"

#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "link/ComPortSettings.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSet>
#include <algorithm>
#include <tuple>

namespace q7 {

namespace {

constexpr int kHighestComNumber = 96;

// Sort key of a device: its family (ttyS, ttyUSB, ttyACM, the rest), then its
// number, then its name.
struct DeviceKey
{
    int family;
    int number;
    QString name;
    bool operator<(const DeviceKey& other) const
    {
        return std::tie(family, number, name) < std::tie(other.family, other.number, other.name);
    }
};

DeviceKey deviceKey(const QString& path)
{
    static const QRegularExpression pattern(QStringLiteral("^(.*?)(\\d*)$"));
    const QString name = path.section(u'/', -1);
    const auto match = pattern.match(name);
    const QString stem = match.captured(1);
    const int number = match.captured(2).isEmpty() ? -1 : match.captured(2).toInt();
    static const QStringList families = {QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
                                         QStringLiteral("ttyACM")};
    const qsizetype family = families.indexOf(stem);
    return {family < 0 ? int(families.size()) : int(family), number, name};
}

// A pin may name the device by a symlink (/dev/serial/by-id/...) while the
// system lists it as /dev/ttyUSB0: compare what the paths resolve to. A path
// that does not resolve (nothing there yet) stands for itself.
QString deviceIdentity(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

QMap<int, QString> assignComNumbers(const QMap<int, QString>& explicitMappings,
                                    const QStringList& systemDevices)
{
    QMap<int, QString> map = explicitMappings;
    QSet<QString> taken;
    for (const QString& device : explicitMappings)
        taken.insert(deviceIdentity(device));

    QStringList devices;
    for (const QString& device : systemDevices) {
        const QString identity = deviceIdentity(device);
        if (taken.contains(identity))
            continue;
        taken.insert(identity);
        devices.append(device);
    }
    std::sort(devices.begin(), devices.end(),
              [](const QString& a, const QString& b) { return deviceKey(a) < deviceKey(b); });

    int next = 1;
    for (const QString& device : devices) {
        while (next <= kHighestComNumber && map.contains(next))
            ++next;
        if (next > kHighestComNumber)
            break;
        map.insert(next, device);
    }
    return map;
}

QMap<int, QString> explicitPortMappings(QSettings& settings)
{
    QMap<int, QString> mappings;
    settings.beginGroup(QStringLiteral("Ports"));
    for (const QString& key : settings.childKeys()) {
        const QString device = settings.value(key).toString();
        if (!key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) || device.isEmpty())
            continue;
        bool ok = false;
        const int number = QStringView(key).mid(3).toInt(&ok);
        if (ok && number >= 1 && number <= kHighestComNumber)
            mappings.insert(number, device);
    }
    settings.endGroup();
    return mappings;
}

QMap<int, QString> currentPortMap()
{
#ifdef Q_OS_WIN
    QMap<int, QString> map;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        if (name.startsWith(QLatin1String("COM")))
            map.insert(QStringView(name).mid(3).toInt(), name);
    }
    return map;
#else
    auto settings = openRegistryKey(kProgramKey);
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    return assignComNumbers(explicitPortMappings(*settings), devices);
#endif
}

QStringList listComPorts()
{
    QStringList names;
    const QMap<int, QString> map = currentPortMap();
    for (auto it = map.begin(); it != map.end(); ++it)
        names.append(QStringLiteral("COM%1").arg(it.key()));
    return names;
}

QString deviceForComName(const QString& comName)
{
#ifdef Q_OS_WIN
    return normalisePortName(comName);
#else
    return currentPortMap().value(comNumber(normalisePortName(comName)));
#endif
}

ComPortDevice describeComPort(const QString& comName)
{
    ComPortDevice port;
    port.device = deviceForComName(comName);
    if (port.device.isEmpty())
        return port;
#ifndef Q_OS_WIN
    // A pinned /dev/serial/by-id/ link dangles while its adapter is out.
    port.present = QFileInfo::exists(port.device);
#endif
    const QString identity = deviceIdentity(port.device);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (deviceIdentity(info.systemLocation()) != identity)
            continue;
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        break;
    }
    return port;
}

QString deviceDescription(const ComPortDevice& port, const LanguageFile& texts)
{
    if (port.device.isEmpty())
        return {};
    QString what = port.description;
    // Many adapters name their maker in the description already.
    if (!port.manufacturer.isEmpty() && !what.contains(port.manufacturer, Qt::CaseInsensitive))
        what += what.isEmpty() ? port.manufacturer : QStringLiteral(" (%1)").arg(port.manufacturer);
    if (!port.serialNumber.isEmpty()) {
        const QString serial = texts.text(TextId::TAB_Optionen_Seriennummer).arg(port.serialNumber);
        what += what.isEmpty() ? serial : QStringLiteral(", ") + serial;
    }
    const QString device = port.present
                               ? port.device
                               : texts.text(TextId::TAB_Optionen_NichtVorhanden).arg(port.device);
    return what.isEmpty() ? device : device + QStringLiteral(" \u2013 ") + what;
}

} // namespace q7
