#include "link/PortFailureText.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"

#include <cerrno>

namespace q7 {

PortFailureCause portFailureCause(const EComPort& failure)
{
    switch (failure.code()) {
    case EComPort::OpenFailed:
        if (failure.device().isEmpty() && !failure.portName().isEmpty())
            return PortFailureCause::NotMapped;
        switch (failure.systemError()) {
        case EACCES:
        case EPERM:
            return PortFailureCause::NoPermission;
        case EBUSY:
            return PortFailureCause::Busy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return PortFailureCause::Absent;
        default:
            return PortFailureCause::CannotOpen;
        }
    case EComPort::ReadFailed:
    case EComPort::WriteFailed:
    case EComPort::ClearErrorFailed:
    case EComPort::PurgeFailed:
        return PortFailureCause::LineLost;
    case EComPort::SetStateFailed:
    case EComPort::SetTimeoutsFailed:
    case EComPort::SetupFailed:
        return PortFailureCause::Refused;
    case EComPort::EnumPortsFailed:
    case EComPort::StoreFailed:
    case EComPort::LoadFailed:
        break;
    }
    return PortFailureCause::Other;
}

QString portFailureAdvice(const EComPort& failure, const LanguageFile& texts)
{
    // "COM3 (/dev/ttyUSB0)"; a port given by its device is named once.
    const QString port = failure.portName() == failure.device()
                             ? failure.device()
                             : QStringLiteral("%1 (%2)").arg(failure.portName(), failure.device());
    // Nothing to tell about a port the failure does not name.
    const auto onPort = [&](TextId id) {
        return failure.portName().isEmpty() ? QString() : texts.text(id).arg(port);
    };
    switch (portFailureCause(failure)) {
    case PortFailureCause::NoPermission:
        return onPort(TextId::Fehler_Keinzugriff);
    case PortFailureCause::Busy:
        return onPort(TextId::Fehler_Belegt);
    case PortFailureCause::Absent:
        return onPort(TextId::Fehler_Nichtvorhanden);
    case PortFailureCause::NotMapped:
        return texts.text(TextId::Fehler_Keingeraet).arg(failure.portName());
    case PortFailureCause::CannotOpen:
        return onPort(TextId::Fehler_Oeffnen);
    case PortFailureCause::LineLost:
        return texts.text(TextId::Fehler_Verbindungunterbrochen);
    case PortFailureCause::Refused:
        return onPort(TextId::Fehler_Einstellungen);
    case PortFailureCause::Other:
        break;
    }
    return {};
}

QStringList failureLines(const Q7Error& failure, const LanguageFile& texts)
{
    const QString technical = errorBoxText(failure.message());
    const auto* port = dynamic_cast<const EComPort*>(&failure);
    const QString advice = port ? portFailureAdvice(*port, texts) : QString();
    return advice.isEmpty() ? QStringList{technical} : QStringList{advice, technical};
}

} // namespace q7
