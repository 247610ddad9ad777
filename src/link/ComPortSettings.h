// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace q7 {

// The serial line's settings, with the values and names that the options
// page shows and the settings store keeps. Pure values and functions: the
// port object applies them to the device.

enum TBaudRate
{
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};
enum TDataBits
{
    dbFive,
    dbSix,
    dbSeven,
    dbEight
};
enum TStopBits
{
    sbOneStopBit,
    sbOne5StopBits,
    sbTwoStopBits
};
enum TParityBits
{
    prNone,
    prOdd,
    prEven,
    prMark,
    prSpace
};
enum TDTRFlowControl
{
    dtrDisable,
    dtrEnable,
    dtrHandshake
};
enum TRTSFlowControl
{
    rtsDisable,
    rtsEnable,
    rtsHandshake,
    rtsToggle
};
// The flow control the user chooses; it is derived from the flags, never kept.
enum TFlowControl
{
    fcHardware,
    fcSoftware,
    fcNone,
    fcCustom
};

struct TComParity
{
    TParityBits Bits = prNone;
    bool operator==(const TComParity&) const = default;
};

struct TComFlowControl
{
    TDTRFlowControl ControlDTR = dtrHandshake;
    TRTSFlowControl ControlRTS = rtsDisable;
    bool OutCTSFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool operator==(const TComFlowControl&) const = default;
};

// Everything that goes into one line-settings record of the device.
struct LineSettings
{
    TBaudRate BaudRate = br115200;
    int CustomBaudRate = 9600;
    TDataBits DataBits = dbEight;
    TStopBits StopBits = sbOneStopBit;
    TComParity Parity;
    TComFlowControl FlowControl;
    bool operator==(const LineSettings&) const = default;
};

int bitsPerSecond(TBaudRate rate, int customRate);

TFlowControl flowControlChoice(const TComFlowControl& flow);
// What choosing a flow control sets; fcCustom changes nothing and no choice
// touches DTR.
void applyFlowControlChoice(TComFlowControl& flow, TFlowControl choice);

// Names, in enumeration order, as the lists show them and the settings keep them.
const QStringList& baudRateNames();
const QStringList& stopBitsNames();
const QStringList& dataBitsNames();
const QStringList& parityNames();
const QStringList& flowControlNames();

QString baudRateName(TBaudRate value);
QString stopBitsName(TStopBits value);
QString dataBitsName(TDataBits value);
QString parityName(TParityBits value);
QString flowControlName(TFlowControl value);

// Names match without regard to case; an unknown name gives the fallback
// (9600 baud, one stop bit, eight data bits, no parity, custom flow control).
TBaudRate baudRateFromName(const QString& name);
TStopBits stopBitsFromName(const QString& name);
TDataBits dataBitsFromName(const QString& name);
TParityBits parityFromName(const QString& name);
TFlowControl flowControlFromName(const QString& name);

// "COM" and a number from 1 to 96: a leading "COM" in any case is dropped,
// the rest read as a decimal number, anything unreadable or out of range is 1.
QString normalisePortName(const QString& text);
// The number of a normalised name.
int comNumber(const QString& normalisedName);

} // namespace q7
