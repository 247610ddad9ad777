// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComPort.h"

#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/RegistryKey.h"
#include "link/NestedWait.h"
#include "link/PortMap.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <limits>

namespace q7 {

namespace {

// The bits of a character, as QSerialPort names them.
QSerialPort::DataBits toQt(TDataBits bits)
{
    static constexpr QSerialPort::DataBits kBits[] = {QSerialPort::Data5, QSerialPort::Data6,
                                                      QSerialPort::Data7, QSerialPort::Data8};
    return kBits[bits];
}

QSerialPort::StopBits toQt(TStopBits bits)
{
    static constexpr QSerialPort::StopBits kBits[] = {
        QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
    return kBits[bits];
}

QSerialPort::Parity toQt(TParityBits parity)
{
    static constexpr QSerialPort::Parity kParity[] = {
        QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
        QSerialPort::MarkParity, QSerialPort::SpaceParity};
    return kParity[parity];
}

QSerialPort::FlowControl toQt(const TComFlowControl& flow)
{
    if (flow.OutCTSFlow && flow.ControlRTS == rtsHandshake)
        return QSerialPort::HardwareControl;
    if (flow.XonXoffIn || flow.XonXoffOut)
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

// The system's error number for a failed open. QSerialPort keeps only its own
// category, so errno is read right after the call, with the category's usual
// number where the call left none.
int openErrorNumber(const QSerialPort& serial, int savedErrno)
{
    switch (serial.error()) {
    case QSerialPort::DeviceNotFoundError:
        return ENOENT;
    case QSerialPort::PermissionError: {
        // Qt reports a device another program holds (its lock file, or the
        // kernel's "busy") in the same category as a refused open.
        const QString text = serial.errorString();
        const bool held = savedErrno == EBUSY || text.contains(QLatin1String("locking")) ||
                          text.contains(QLatin1String("in use"));
        return held ? EBUSY : EACCES;
    }
    default:
        return savedErrno != 0 ? savedErrno : EIO;
    }
}

// The number of the call that just failed. errno is cleared right before each
// call, so a call that fails without setting it gets the category's number,
// never one that an earlier call left behind.
int errnoOr(int categoryNumber)
{
    return errno != 0 ? errno : categoryNumber;
}

// The number of a failure that the device reported on its own. Qt makes the
// failing call in its notifier and reports it at once, so errno is that
// call's; but a read that meets a hung-up line returns nothing and sets no
// number, and errno then holds 0 (the wait cleared it) or the "try again" of
// some other read the event loop made since.
int deviceFailureNumber(int number)
{
    if (number == 0 || number == EAGAIN || number == EINTR)
        return EIO;
    return number;
}

} // namespace

TComPort::TComPort(QObject* parent) : QObject(parent)
{
    connect(&m_serial, &QSerialPort::readyRead, this, &TComPort::readyRead);
    connect(&m_serial, &QSerialPort::bytesWritten, this, &TComPort::bytesWritten);
    connect(&m_serial, &QSerialPort::errorOccurred, this, &TComPort::onError);
}

TComPort::~TComPort()
{
    if (m_serial.isOpen())
        m_serial.close();
}

void TComPort::setPort(const QString& name)
{
    const QString normalised = normalisePortName(name);
    if (normalised == m_port)
        return;
    m_port = normalised;
    reopenUnderNewName();
}

void TComPort::setDeviceOverride(const QString& devicePath)
{
    if (devicePath == m_deviceOverride)
        return;
    m_deviceOverride = devicePath;
    reopenUnderNewName();
}

void TComPort::reopenUnderNewName()
{
    if (!Connected())
        return;
    ClosePort();
    OpenPort();
}

QString TComPort::devicePath() const
{
    return m_deviceOverride.isEmpty() ? deviceForComName(m_port) : m_deviceOverride;
}

template <typename T> void TComPort::changeLine(T& setting, const T& value)
{
    // An equal value sends nothing to the device.
    if (setting == value)
        return;
    setting = value;
    lineSettingsChanged();
}

void TComPort::setBaudRate(TBaudRate rate)
{
    changeLine(m_line.BaudRate, rate);
}

void TComPort::setCustomBaudRate(int bitsPerSecond)
{
    changeLine(m_line.CustomBaudRate, bitsPerSecond);
}

void TComPort::setDataBits(TDataBits bits)
{
    changeLine(m_line.DataBits, bits);
}

void TComPort::setStopBits(TStopBits bits)
{
    changeLine(m_line.StopBits, bits);
}

void TComPort::setParity(const TComParity& parity)
{
    changeLine(m_line.Parity, parity);
}

void TComPort::setFlowControl(const TComFlowControl& flow)
{
    changeLine(m_line.FlowControl, flow);
}

void TComPort::setFlowControlChoice(TFlowControl choice)
{
    applyFlowControlChoice(m_line.FlowControl, choice);
    lineSettingsChanged();
}

void TComPort::lineSettingsChanged()
{
    if (Connected() && !m_restoring)
        applyLineSettings();
}

bool TComPort::Connected() const
{
    return m_serial.isOpen();
}

void TComPort::OpenPort()
{
    if (Connected())
        return;
    const QString device = devicePath();
    m_failure.reset();
    m_failing = false;
    m_serial.setPortName(device);
    errno = 0;
    if (device.isEmpty() || !m_serial.open(QIODevice::ReadWrite)) {
        const int savedErrno = errno;
        throw portFailure(EComPort::OpenFailed,
                          device.isEmpty() ? ENOENT : openErrorNumber(m_serial, savedErrno));
    }
    try {
        applyLineSettings();
    } catch (...) {
        m_serial.close();
        throw;
    }
    emit connectedChanged(true);
}

void TComPort::applyLineSettings()
{
    const LineSettings& s = m_line;
    const auto setFormat = [this](auto&& call) {
        errno = 0;
        if (!call())
            throw portFailure(EComPort::SetStateFailed, errnoOr(EINVAL));
    };
    setFormat([&] { return m_serial.setBaudRate(bitsPerSecond(s.BaudRate, s.CustomBaudRate)); });
    setFormat([&] { return m_serial.setDataBits(toQt(s.DataBits)); });
    setFormat([&] { return m_serial.setParity(toQt(s.Parity.Bits)); });
    setFormat([&] { return m_serial.setStopBits(toQt(s.StopBits)); });
    setFormat([&] { return m_serial.setFlowControl(toQt(s.FlowControl)); });

    // DTR and RTS are lines a device may not have: a pseudo-terminal or a
    // three-wire adapter refuses them as unsupported. There is nothing to set
    // then; a device that has the lines and refuses still reports it.
    const auto setLine = [this](auto&& call) {
        errno = 0;
        if (!call() && m_serial.error() != QSerialPort::UnsupportedOperationError)
            throw portFailure(EComPort::SetStateFailed, errnoOr(EIO));
        m_serial.clearError();
    };
    const TComFlowControl& f = s.FlowControl;
    setLine([&] { return m_serial.setDataTerminalReady(f.ControlDTR != dtrDisable); });
    if (f.ControlRTS == rtsEnable || f.ControlRTS == rtsDisable)
        setLine([&] { return m_serial.setRequestToSend(f.ControlRTS == rtsEnable); });
}

EComPort TComPort::portFailure(EComPort::Code code, int systemError) const
{
    EComPort failure(code, systemError);
    // A device given by its path has no other name.
    failure.onPort(m_deviceOverride.isEmpty() ? m_port : m_deviceOverride, devicePath());
    return failure;
}

void TComPort::ClosePort()
{
    if (!Connected())
        return;
    m_serial.clear(QSerialPort::AllDirections);
    m_serial.close();
    emit connectedChanged(false);
}

int TComPort::InputPending() const
{
    if (!Connected())
        throw portFailure(EComPort::ClearErrorFailed, EBADF);
    return static_cast<int>(m_serial.bytesAvailable());
}

QByteArray TComPort::ReadPending(int count)
{
    if (!Connected())
        throw portFailure(EComPort::ReadFailed, EBADF);
    if (count <= 0)
        return {};
    return m_serial.read(count);
}

int TComPort::WriteText(const QByteArray& text, const WriteWait& wait)
{
    if (!Connected())
        throw portFailure(EComPort::WriteFailed, EBADF);
    errno = 0;
    const qint64 written = m_serial.write(text);
    if (written < 0)
        throw portFailure(EComPort::WriteFailed, errnoOr(EIO));
    try {
        waitUntilWritten(text.size(), wait);
    } catch (...) {
        // What is still queued would go out later, in front of the next
        // command, and garble it.
        if (Connected())
            m_serial.clear(QSerialPort::Output);
        throw;
    }
    return static_cast<int>(written);
}

void TComPort::waitUntilWritten(qsizetype size, const WriteWait& wait)
{
    // The write time-out of the line: 1000 ms and 100 ms a byte.
    const qint64 limitMs = 1000 + 100 * qint64(size);
    QElapsedTimer elapsed;
    elapsed.start();
    for (;;) {
        // A failure the device reported is why the bytes did not go out, and
        // the port closing on it drops them: look at the failure first.
        throwPendingFailure();
        if (!Connected())
            throw portFailure(EComPort::WriteFailed, EBADF);
        if (m_serial.bytesToWrite() == 0)
            return;
        const qint64 left = limitMs - elapsed.elapsed();
        if (left <= 0)
            throw portFailure(EComPort::WriteFailed, ETIMEDOUT);
        const int ms = int(std::min<qint64>(left, std::numeric_limits<int>::max()));
        if (wait)
            wait(ms);
        else
            NestedWait()
                .wakeOn(this, &TComPort::bytesWritten)
                .wakeOn(this, &TComPort::failed)
                .run(ms);
    }
}

void TComPort::discardInput()
{
    if (!Connected())
        return;
    m_serial.clear(QSerialPort::Input);
    m_serial.readAll();
}

void TComPort::onError(QSerialPort::SerialPortError error)
{
    // A hung-up line reports ReadError over and over, busying a whole core:
    // note the failure once and close the port outside the signal. The
    // reports that follow until it closes are the same failure, also when
    // the first has been taken already.
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        error != QSerialPort::WriteError)
        return;
    if (m_failing)
        return;
    m_failing = true;
    m_failure = error == QSerialPort::WriteError ? EComPort::WriteFailed : EComPort::ReadFailed;
    m_failureErrno = deviceFailureNumber(errno);
    // Reopened before this runs (a transfer recovering at once): the new
    // line is not the one that failed.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_failing)
                ClosePort();
        },
        Qt::QueuedConnection);
    emit failed();
}

void TComPort::forgetFailure()
{
    m_failure.reset();
    if (m_failing)
        ClosePort();
}

void TComPort::throwPendingFailure()
{
    if (!m_failure)
        return;
    const auto code = static_cast<EComPort::Code>(*m_failure);
    m_failure.reset();
    throw portFailure(code, m_failureErrno);
}

void TComPort::StorePortSettings(const QString& registryPath) const
{
    auto settings = openRegistryKey(registryPath);
    settings->beginGroup(kComPortGroup);
    settings->setValue(QStringLiteral("Port"), m_port);
    settings->setValue(QStringLiteral("BaudRate"), baudRateName(m_line.BaudRate));
    if (m_line.BaudRate == brCustom)
        settings->setValue(QStringLiteral("CustomBaudRate"), m_line.CustomBaudRate);
    settings->setValue(QStringLiteral("StopBits"), stopBitsName(m_line.StopBits));
    settings->setValue(QStringLiteral("DataBits"), dataBitsName(m_line.DataBits));
    settings->setValue(QStringLiteral("Parity"), parityName(m_line.Parity.Bits));
    settings->setValue(QStringLiteral("FlowControl"), flowControlName(flowControlChoice()));
    settings->endGroup();
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw EComPort(EComPort::StoreFailed);
}

void TComPort::RestorePortSettings(const QString& registryPath)
{
    auto settings = openRegistryKey(registryPath);
    if (settings->status() != QSettings::NoError)
        throw EComPort(EComPort::LoadFailed);

    // Each value goes through its setter; the device hears the result once.
    // A failure half-way keeps what was read so far.
    m_restoring = true;
    try {
        restoreFrom(*settings);
    } catch (...) {
        m_restoring = false;
        throw;
    }
    m_restoring = false;
    if (Connected())
        applyLineSettings();
}

void TComPort::restoreFrom(QSettings& settings)
{
    settings.beginGroup(kComPortGroup);
    const auto text = [&](const char* key, const QString& current) {
        return settings.value(QLatin1String(key), current).toString();
    };
    setPort(text("Port", m_port));
    setBaudRate(baudRateFromName(text("BaudRate", baudRateName(m_line.BaudRate))));
    if (m_line.BaudRate == brCustom) {
        bool ok = false;
        const int rate =
            settings.value(QStringLiteral("CustomBaudRate"), m_line.CustomBaudRate).toInt(&ok);
        if (!ok)
            throw EComPort(EComPort::LoadFailed);
        setCustomBaudRate(rate);
    }
    setStopBits(stopBitsFromName(text("StopBits", stopBitsName(m_line.StopBits))));
    setDataBits(dataBitsFromName(text("DataBits", dataBitsName(m_line.DataBits))));
    TComParity parity = m_line.Parity;
    parity.Bits = parityFromName(text("Parity", parityName(m_line.Parity.Bits)));
    setParity(parity);
    setFlowControlChoice(
        flowControlFromName(text("FlowControl", flowControlName(flowControlChoice()))));
}

} // namespace q7
