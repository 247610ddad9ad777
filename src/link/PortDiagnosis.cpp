// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortDiagnosis.h"

#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "base/Texts.h"
#include "link/ComPortSettings.h"
#include "link/PortMap.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace q7 {

namespace {

bool isUsbSerial(const QString& device)
{
    const QString name = QFileInfo(device).fileName();
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")) ||
           device.startsWith(QLatin1String("/dev/serial/by-id/usb-"));
}

QString settingsFile()
{
    return openRegistryKey(kProgramKey)->fileName();
}

// Whether the settings' [Ports] already name the device of this port: then
// the name stays when the adapter comes back, and pinning is no advice.
bool isPinned(const QString& portName)
{
    if (!portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return false;
    return explicitPortMappings(*openRegistryKey(kProgramKey))
        .contains(comNumber(normalisePortName(portName)));
}

} // namespace

QString SystemView::path(const QString& absolute) const
{
    if (isLive())
        return absolute;
    return QDir::cleanPath(root + u'/' + absolute);
}

QString SystemView::realPath(const QString& device) const
{
    const QString canonical = QFileInfo(path(device)).canonicalFilePath();
    if (canonical.isEmpty() || isLive())
        return canonical;
    const QString rootPath = QFileInfo(root).canonicalFilePath();
    return canonical.startsWith(rootPath + u'/') ? canonical.mid(rootPath.size()) : canonical;
}

QString modemManagerRule(const QString& vendorId, const QString& productId)
{
    return QStringLiteral(
               "ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
        .arg(vendorId, productId);
}

bool brlttyClaimedAdapter(const SystemView& system)
{
    // "usbfs: interface 0 claimed by ch341 while 'brltty' sets config #1"
    return system.kernelLog.contains(QLatin1String("'brltty'")) ||
           system.kernelLog.contains(QLatin1String("brltty:"));
}

QString explainOpenFailure(const QString& portName, const QString& device, int systemError,
                           const SystemView& system, const LanguageFile& texts)
{
    const QString label =
        portName == device ? device : QStringLiteral("%1 (%2)").arg(portName, device);
    const DeviceFacts facts = deviceFacts(device, system);
    QStringList lines;
    const auto say = [&](TextId id) -> QString { return texts.text(id); };
    const auto brltty = [&] {
        if (!isUsbSerial(device))
            return;
        const bool claimed = brlttyClaimedAdapter(system);
        if (claimed || system.isRunning(QStringLiteral("brltty")))
            lines << say(claimed ? TextId::Anschluss_BrlttyUebernommen
                                 : TextId::Anschluss_BrlttyLaeuft) +
                         u' ' + say(TextId::Anschluss_BrlttyEntfernen);
    };

    switch (systemError) {
    case EACCES:
    case EPERM: {
        if (!facts.exists)
            return {};
        lines << say(TextId::Anschluss_KeinRecht)
                     .arg(label, facts.realDevice, facts.group, facts.permissions);
        // Joining a group that may not use the device would not help.
        if (!facts.groupMayUse)
            lines << say(TextId::Anschluss_GruppeOhneRecht).arg(facts.group, facts.realDevice);
        else if (facts.inGroupDatabase && !facts.inGroupNow)
            lines << say(TextId::Anschluss_GruppeNachAnmeldung).arg(system.userName, facts.group);
        else if (!facts.inGroupDatabase)
            lines << say(TextId::Anschluss_NichtInGruppe).arg(system.userName, facts.group);
        break;
    }
    case EBUSY: {
        lines << say(TextId::Anschluss_Belegt).arg(label);
        for (const DeviceHolder& holder : facts.holders)
            lines << say(TextId::Anschluss_BelegtVon)
                         .arg(holder.program)
                         .arg(holder.pid)
                         .arg(facts.realDevice);
        if (!facts.lockFile.isEmpty()) {
            if (!facts.lockProgram.isEmpty())
                lines << say(TextId::Anschluss_Sperrdatei)
                             .arg(facts.lockFile, facts.lockProgram)
                             .arg(facts.lockPid);
            else
                lines << say(TextId::Anschluss_SperrdateiVerwaist)
                             .arg(facts.lockFile)
                             .arg(facts.lockPid);
        }
        if (system.isRunning(QStringLiteral("ModemManager"))) {
            if (!facts.vendorId.isEmpty())
                lines << say(TextId::Anschluss_ModemManagerRegel)
                             .arg(modemManagerRule(facts.vendorId, facts.productId));
            else
                lines << say(TextId::Anschluss_ModemManager);
        }
        brltty();
        if (lines.size() == 1)
            lines << say(TextId::Anschluss_BelegtUnsichtbar);
        break;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO: {
        lines << say(TextId::Anschluss_Weg).arg(label);
        brltty();
        // The adapter may be back under another name: name what is there
        // now and how to keep one name for it.
        const QStringList links = serialByIdLinks(system);
        if (!links.isEmpty()) {
            const QString now = system.realPath(links.front());
            lines << say(TextId::Anschluss_JetztDa).arg(links.front(), now);
        }
        if (!portName.isEmpty() && portName != device && facts.byIdPath.isEmpty() &&
            !isPinned(portName))
            lines << say(TextId::Anschluss_Festlegen)
                         .arg(settingsFile(), portName,
                              links.isEmpty() ? QStringLiteral("/dev/serial/by-id/...")
                                              : links.front());
        break;
    }
    default:
        return {};
    }
    return lines.join(u' ');
}

} // namespace q7
