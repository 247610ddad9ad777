// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Errors.h"

#include <QtGlobal>
#include <cstring>

namespace q7 {

Q7Error::Q7Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

QString EComPort::codeText(Code code)
{
    switch (code) {
    case OpenFailed:
        return QStringLiteral("Unable to open com port");
    case WriteFailed:
        return QStringLiteral("WriteFile function failed");
    case ReadFailed:
        return QStringLiteral("ReadFile function failed");
    case PurgeFailed:
        return QStringLiteral("PurgeComm function failed");
    case SetStateFailed:
        return QStringLiteral("SetCommState function failed");
    case SetTimeoutsFailed:
        return QStringLiteral("SetCommTimeouts failed");
    case SetupFailed:
        return QStringLiteral("SetupComm function failed");
    case ClearErrorFailed:
        return QStringLiteral("ClearCommError function failed");
    case EnumPortsFailed:
        return QStringLiteral("EnumPorts function failed");
    case StoreFailed:
        return QStringLiteral("Failed to store settings");
    case LoadFailed:
        return QStringLiteral("Failed to load settings");
    }
    return QStringLiteral("Unknown com port error");
}

static QString comPortMessage(EComPort::Code code, int systemError)
{
    QString text = EComPort::codeText(code);
    if (systemError == EComPort::kNoSystemError)
        return text;
#ifdef Q_OS_WIN
    text += QStringLiteral(" (win error code: %1)").arg(systemError);
#else
    // The number with its symbol and the C library's English words, the same
    // on every machine whatever its locale, for whoever reads it in support.
    const char* symbol = strerrorname_np(systemError);
    const char* words = strerrordesc_np(systemError);
    if (symbol && words)
        text += QStringLiteral(" (errno %1, %2: %3)")
                    .arg(systemError)
                    .arg(QLatin1String(symbol), QLatin1String(words));
    else
        text += QStringLiteral(" (errno %1)").arg(systemError);
#endif
    return text;
}

EComPort::EComPort(Code code, int systemError)
    : Q7Error(comPortMessage(code, systemError)), m_code(code), m_systemError(systemError)
{}

EComPort& EComPort::onPort(const QString& name, const QString& device)
{
    m_portName = name;
    m_device = device;
    return *this;
}

EConvertError::EConvertError(const QString& offendingText, const QString& where)
    : Q7Error(QStringLiteral("'%1' ist kein gültiger Integerwert").arg(offendingText) +
              (where.isEmpty() ? QString() : u' ' + where))
{}

QString EInOutError::codeText(int code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("Datei nicht gefunden");
    case InvalidFileName:
        return QStringLiteral("Ungültiger Dateiname");
    case TooManyOpenFiles:
        return QStringLiteral("Zu viele geöffnete Dateien");
    case AccessDenied:
        return QStringLiteral("Dateizugriff verweigert");
    case ReadBeyondEnd:
        return QStringLiteral("Versuch hinter dem Dateiende zu lesen");
    case DiskFull:
        return QStringLiteral("Zu wenig Speicherplatz");
    default:
        return QStringLiteral("E/A-Fehler %1").arg(code);
    }
}

static QString inOutMessage(int code, const QString& detail)
{
    const QString text = EInOutError::codeText(code);
    return detail.isEmpty() ? text : text + QStringLiteral(": ") + detail;
}

EInOutError::EInOutError(int code, const QString& detail)
    : Q7Error(inOutMessage(code, detail)), m_code(code)
{}

EOperationCancelled::EOperationCancelled() : Q7Error(QStringLiteral("Abgebrochen")) {}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace q7
