// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Errors.h"
#include "link/ComPortSettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QSettings>
#include <QString>
#include <functional>
#include <optional>

namespace q7 {

// The one serial port through which all traffic with the handset goes. The
// user sees and stores names "COM1" to "COM96"; PortMap turns a name into a
// device. Setters may be called at any time: on an open port a new name
// reopens it and a new line setting is sent to the device at once.
class TComPort : public QObject
{
    Q_OBJECT

public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    QString Port() const { return m_port; }
    void setPort(const QString& name);

    // A device path to use instead of the name's mapping (the command line's
    // --device, tests on a pseudo-terminal).
    void setDeviceOverride(const QString& devicePath);
    QString deviceOverride() const { return m_deviceOverride; }
    QString devicePath() const;

    const LineSettings& lineSettings() const { return m_line; }
    TBaudRate BaudRate() const { return m_line.BaudRate; }
    void setBaudRate(TBaudRate rate);
    void setCustomBaudRate(int bitsPerSecond);
    TDataBits DataBits() const { return m_line.DataBits; }
    void setDataBits(TDataBits bits);
    TStopBits StopBits() const { return m_line.StopBits; }
    void setStopBits(TStopBits bits);
    const TComParity& Parity() const { return m_line.Parity; }
    void setParity(const TComParity& parity);
    const TComFlowControl& FlowControl() const { return m_line.FlowControl; }
    void setFlowControl(const TComFlowControl& flow);
    TFlowControl flowControlChoice() const { return q7::flowControlChoice(m_line.FlowControl); }
    // Re-sends the line settings even when no flag changes.
    void setFlowControlChoice(TFlowControl choice);

    bool Connected() const;

    void OpenPort();
    void ClosePort();
    int InputPending() const;
    // At most count bytes of what is waiting; never waits for more.
    QByteArray ReadPending(int count);
    // How a caller waits while the device takes the bytes: for at most ms,
    // woken by bytesWritten() or failed(). It may throw to give the write up;
    // the command exchange's wait does when the operation is cancelled.
    using WriteWait = std::function<void(int ms)>;
    // Returns once the device has taken every byte; gives up after
    // 1000 ms + 100 ms a byte. Waiting lets the window go on. A write that
    // ends early drops its unsent bytes.
    int WriteText(const QByteArray& text, const WriteWait& wait = {});
    // Drops what an earlier reply left unread, so that it is not taken for
    // the answer to the next command.
    void discardInput();

    void StorePortSettings(const QString& registryPath) const;
    void RestorePortSettings(const QString& registryPath);

    // A failure the device reported on its own (the line hung up, the adapter
    // went away). It is kept until taken, and the port closes itself.
    bool hasFailure() const { return m_failure.has_value(); }
    // True from a failure the device reported until the port opens again.
    bool lineFailed() const { return m_failing; }
    // Drops a failure not yet taken and closes the port now if it failed, so
    // that the next OpenPort starts on a fresh line.
    void forgetFailure();
    void throwPendingFailure();

signals:
    void readyRead();
    void bytesWritten();
    void failed();
    void connectedChanged(bool connected);

private:
    void applyLineSettings();
    // A failure of this port, naming it and its device.
    EComPort portFailure(EComPort::Code code, int systemError) const;
    void waitUntilWritten(qsizetype size, const WriteWait& wait);
    template <typename T> void changeLine(T& setting, const T& value);
    void lineSettingsChanged();
    void onError(QSerialPort::SerialPortError error);
    void reopenUnderNewName();
    void restoreFrom(QSettings& settings);

    QSerialPort m_serial;
    QString m_port = QStringLiteral("COM1");
    QString m_deviceOverride;
    LineSettings m_line;
    bool m_restoring = false;
    std::optional<int> m_failure; // the EComPort code of a failure not yet taken
    bool m_failing = false;       // the device failed since it was opened; it is closing
    int m_failureErrno = 0;
};

} // namespace q7
