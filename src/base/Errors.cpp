// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Errors.h"

#include "base/LanguageFile.h"

#include <QtGlobal>
#include <cstring>

namespace q7 {

Q7Error::Q7Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

Q7Error::Q7Error(TextId id, QStringList values) : Q7Error(fillIn(defaultText(id), values))
{
    m_id = id;
    m_values = std::move(values);
}

QString Q7Error::messageIn(const LanguageFile& texts) const
{
    return m_id ? fillIn(texts.text(*m_id), m_values) : m_message;
}

QString fillIn(const QString& text, const QStringList& values)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const qsizetype n = text[i + 1].unicode() - u'1';
            if (n < values.size()) {
                result += values[n];
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

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

static QString convertMessage(const QString& offendingText, int lineNumber,
                              const LanguageFile& texts)
{
    QString text = fillIn(texts.text(TextId::Fehler_KeinInteger), {offendingText});
    if (lineNumber > 0)
        text += u' ' + fillIn(texts.text(TextId::Fehler_Zeile), {QString::number(lineNumber)});
    return text;
}

EConvertError::EConvertError(const QString& offendingText, int lineNumber)
    : Q7Error(convertMessage(offendingText, lineNumber, LanguageFile())),
      m_offendingText(offendingText), m_lineNumber(lineNumber)
{}

QString EConvertError::messageIn(const LanguageFile& texts) const
{
    return convertMessage(m_offendingText, m_lineNumber, texts);
}

QString EInOutError::codeText(int code, const LanguageFile& texts)
{
    switch (code) {
    case FileNotFound:
        return texts.text(TextId::Fehler_DateiNichtGefunden);
    case InvalidFileName:
        return texts.text(TextId::Fehler_UngueltigerDateiname);
    case TooManyOpenFiles:
        return texts.text(TextId::Fehler_ZuVieleDateien);
    case AccessDenied:
        return texts.text(TextId::Fehler_Dateizugriff);
    case ReadBeyondEnd:
        return texts.text(TextId::Fehler_HinterDateiende);
    case DiskFull:
        return texts.text(TextId::Fehler_DatentraegerVoll);
    default:
        return fillIn(texts.text(TextId::Fehler_EAFehler), {QString::number(code)});
    }
}

static QString inOutMessage(int code, const QString& detail, const LanguageFile& texts)
{
    const QString text = EInOutError::codeText(code, texts);
    return detail.isEmpty() ? text : text + QStringLiteral(": ") + detail;
}

EInOutError::EInOutError(int code, const QString& detail)
    : Q7Error(inOutMessage(code, detail, LanguageFile())), m_code(code), m_detail(detail)
{}

QString EInOutError::messageIn(const LanguageFile& texts) const
{
    return inOutMessage(m_code, m_detail, texts);
}

EOperationCancelled::EOperationCancelled() : Q7Error(TextId::Fehler_Abgebrochen, {}) {}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace q7
