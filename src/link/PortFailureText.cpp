// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortFailureText.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "link/PortDiagnosis.h"

#include <QtGlobal>

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
#ifdef Q_OS_WIN
    return portFailureAdvice(failure, texts, nullptr);
#else
    const SystemView system = SystemView::current();
    return portFailureAdvice(failure, texts, &system);
#endif
}

QString portFailureAdvice(const EComPort& failure, const LanguageFile& texts,
                          const SystemView* system)
{
    // Where the system shows why a device would not open, the device and
    // the cause are named from what it shows, with what to do about it.
    if (system && failure.code() == EComPort::OpenFailed && !failure.portName().isEmpty() &&
        !failure.device().isEmpty()) {
        const QString explained = explainOpenFailure(failure.portName(), failure.device(),
                                                     failure.systemError(), *system, texts);
        if (!explained.isEmpty())
            return explained;
    }
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
    const auto* port = dynamic_cast<const EComPort*>(&failure);
    if (!port)
        return {errorBoxText(failure.messageIn(texts))};
#ifdef Q_OS_WIN
    return failureLines(*port, texts, nullptr);
#else
    const SystemView system = SystemView::current();
    return failureLines(*port, texts, &system);
#endif
}

QStringList failureLines(const EComPort& port, const LanguageFile& texts, const SystemView* system)
{
    const QString technical = errorBoxText(port.message());
    const QString advice = portFailureAdvice(port, texts, system);
    return advice.isEmpty() ? QStringList{technical} : QStringList{advice, technical};
}

} // namespace q7
