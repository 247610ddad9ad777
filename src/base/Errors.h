// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>
#include <optional>

namespace q7 {

class LanguageFile;

// Every failure that ends an operation is one of these. The message is the
// exact text the user sees (the error box adds only its closing period). One
// from the text table is kept with its key and values, since it is mostly
// thrown where no language is at hand: whoever shows it gives it in the
// program's language through messageIn(); message() and what() give it in
// the default one.
class Q7Error : public std::exception
{
public:
    explicit Q7Error(QString message);
    // The text `id` with %1, %2, ... filled in from `values`.
    Q7Error(TextId id, QStringList values);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }
    // The message in the language of `texts`.
    virtual QString messageIn(const LanguageFile& texts) const;

private:
    QString m_message;
    QByteArray m_utf8;
    std::optional<TextId> m_id;
    QStringList m_values;
};

// `text` with each %1 to %9 replaced by the value of that number, in one
// pass, so that a value holding "%2" stays as it is.
QString fillIn(const QString& text, const QStringList& values);

// A failure of the serial port, with the code of the port service and, where
// a system call failed, the system's error number.
class EComPort : public Q7Error
{
public:
    enum Code
    {
        OpenFailed = 1,
        WriteFailed = 2,
        ReadFailed = 3,
        PurgeFailed = 5,
        SetStateFailed = 7,
        SetTimeoutsFailed = 8,
        SetupFailed = 9,
        ClearErrorFailed = 10,
        EnumPortsFailed = 15,
        StoreFailed = 16,
        LoadFailed = 17,
    };
    static constexpr int kNoSystemError = -1;

    explicit EComPort(Code code, int systemError = kNoSystemError);
    Code code() const noexcept { return m_code; }
    int systemError() const noexcept { return m_systemError; }
    // The port it happened on, so that a message can name it: the name the
    // user chose ("COM3") and the device it stands for (empty: none).
    EComPort& onPort(const QString& name, const QString& device);
    const QString& portName() const noexcept { return m_portName; }
    const QString& device() const noexcept { return m_device; }

    static QString codeText(Code code);

private:
    Code m_code;
    int m_systemError;
    QString m_portName;
    QString m_device;
};

// A text that should have been an integer: "'%s' ist kein gültiger Integerwert".
class EConvertError : public Q7Error
{
public:
    // The line of a file it was found on, when given, follows the runtime
    // text: "(Zeile 3)".
    explicit EConvertError(const QString& offendingText, int lineNumber = 0);
    QString messageIn(const LanguageFile& texts) const override;

private:
    QString m_offendingText;
    int m_lineNumber;
};

// A file that could not be created, opened, read or written, with the
// runtime's text for its error number (German by default).
class EInOutError : public Q7Error
{
public:
    enum Code
    {
        FileNotFound = 2,
        InvalidFileName = 3,
        TooManyOpenFiles = 4,
        AccessDenied = 5,
        ReadBeyondEnd = 100,
        DiskFull = 101,
    };
    explicit EInOutError(int code, const QString& detail = {});
    int code() const noexcept { return m_code; }
    QString messageIn(const LanguageFile& texts) const override;

    static QString codeText(int code, const LanguageFile& texts);

private:
    int m_code;
    QString m_detail;
};

// The user (or the window closing) cancelled a wait. Callers stop the
// operation as for a failure, but no error box is shown.
class EOperationCancelled : public Q7Error
{
public:
    EOperationCancelled();
};

// The user stopped a read between two records: what was read is dropped.
class EOperationStopped : public EOperationCancelled
{};

// The text of the application's error box: the message, with a period
// appended when its last character sorts after ".".
QString errorBoxText(const QString& message);

} // namespace q7
