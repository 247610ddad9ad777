// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComPortSettings.h"

namespace q7 {

int bitsPerSecond(TBaudRate rate, int customRate)
{
    static constexpr int kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                     14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return rate == brCustom ? customRate : kRates[rate];
}

TFlowControl flowControlChoice(const TComFlowControl& f)
{
    const bool xonXoffOff = !f.XonXoffIn && !f.XonXoffOut;
    const bool xonXoffOn = f.XonXoffIn && f.XonXoffOut;
    if (f.ControlRTS == rtsHandshake && f.OutCTSFlow && xonXoffOff)
        return fcHardware;
    if (f.ControlRTS == rtsDisable && !f.OutCTSFlow && xonXoffOn)
        return fcSoftware;
    if (f.ControlRTS == rtsDisable && !f.OutCTSFlow && xonXoffOff)
        return fcNone;
    return fcCustom;
}

void applyFlowControlChoice(TComFlowControl& f, TFlowControl choice)
{
    if (choice == fcCustom)
        return;
    f.ControlRTS = rtsDisable;
    f.OutCTSFlow = false;
    f.XonXoffIn = false;
    f.XonXoffOut = false;
    if (choice == fcHardware) {
        f.ControlRTS = rtsHandshake;
        f.OutCTSFlow = true;
    } else if (choice == fcSoftware) {
        f.XonXoffIn = true;
        f.XonXoffOut = true;
    }
}

const QStringList& baudRateNames()
{
    static const QStringList names = {
        QStringLiteral("Custom"), QStringLiteral("110"),    QStringLiteral("300"),
        QStringLiteral("600"),    QStringLiteral("1200"),   QStringLiteral("2400"),
        QStringLiteral("4800"),   QStringLiteral("9600"),   QStringLiteral("14400"),
        QStringLiteral("19200"),  QStringLiteral("38400"),  QStringLiteral("56000"),
        QStringLiteral("57600"),  QStringLiteral("115200"), QStringLiteral("128000"),
        QStringLiteral("256000")};
    return names;
}

const QStringList& stopBitsNames()
{
    static const QStringList names = {QStringLiteral("1"), QStringLiteral("1.5"),
                                      QStringLiteral("2")};
    return names;
}

const QStringList& dataBitsNames()
{
    static const QStringList names = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                      QStringLiteral("8")};
    return names;
}

const QStringList& parityNames()
{
    static const QStringList names = {QStringLiteral("None"), QStringLiteral("Odd"),
                                      QStringLiteral("Even"), QStringLiteral("Mark"),
                                      QStringLiteral("Space")};
    return names;
}

const QStringList& flowControlNames()
{
    static const QStringList names = {QStringLiteral("Hardware"), QStringLiteral("Software"),
                                      QStringLiteral("None"), QStringLiteral("Custom")};
    return names;
}

namespace {

int indexOfName(const QStringList& names, const QString& name, int fallback)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return fallback;
}

} // namespace

QString baudRateName(TBaudRate v)
{
    return baudRateNames().at(v);
}
QString stopBitsName(TStopBits v)
{
    return stopBitsNames().at(v);
}
QString dataBitsName(TDataBits v)
{
    return dataBitsNames().at(v);
}
QString parityName(TParityBits v)
{
    return parityNames().at(v);
}
QString flowControlName(TFlowControl v)
{
    return flowControlNames().at(v);
}

TBaudRate baudRateFromName(const QString& name)
{
    return TBaudRate(indexOfName(baudRateNames(), name, br9600));
}
TStopBits stopBitsFromName(const QString& name)
{
    return TStopBits(indexOfName(stopBitsNames(), name, sbOneStopBit));
}
TDataBits dataBitsFromName(const QString& name)
{
    return TDataBits(indexOfName(dataBitsNames(), name, dbEight));
}
TParityBits parityFromName(const QString& name)
{
    return TParityBits(indexOfName(parityNames(), name, prNone));
}
TFlowControl flowControlFromName(const QString& name)
{
    return TFlowControl(indexOfName(flowControlNames(), name, fcCustom));
}

QString normalisePortName(const QString& text)
{
    QStringView rest(text);
    if (rest.left(3).compare(QLatin1String("COM"), Qt::CaseInsensitive) == 0)
        rest = rest.mid(3);
    bool ok = false;
    int number = rest.toInt(&ok);
    if (!ok || number < 1 || number > 96)
        number = 1;
    return QStringLiteral("COM%1").arg(number);
}

int comNumber(const QString& normalisedName)
{
    return QStringView(normalisedName).mid(3).toInt();
}

} // namespace q7
