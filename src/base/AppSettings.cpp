// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/AppSettings.h"

#include "base/RegistryKey.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace q7 {

namespace {

const QString kNurGeaenderte = QStringLiteral("Nur Geaenderte");
const QString kPruefen = QStringLiteral("Nach dem Schreiben pruefen");
const QString kSicherungen = QStringLiteral("Sicherungen");
const QString kLoeschbefehle = QStringLiteral("Loeschbefehle");
const QString kHintergrundfarbe = QStringLiteral("Hintergrundfarbe");
const QString kSchriftfarbe = QStringLiteral("Schriftfarbe");
const QString kHottrackfarbe = QStringLiteral("Hottrackfarbe");
const QString kLaendervorwahl = QStringLiteral("Laendervorwahl");

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

quint32 rgbFromWindowsColor(WindowsColor value)
{
    const auto bits = static_cast<quint32>(value);
    const quint32 red = bits & 0xFF;
    const quint32 green = (bits >> 8) & 0xFF;
    const quint32 blue = (bits >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

WindowsColor windowsColorFromRgb(quint32 argb)
{
    const quint32 red = (argb >> 16) & 0xFF;
    const quint32 green = (argb >> 8) & 0xFF;
    const quint32 blue = argb & 0xFF;
    return static_cast<WindowsColor>(red | (green << 8) | (blue << 16));
}

std::optional<int> storedInteger(const QSettings& settings, const QString& key)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

bool storedFlag(const QSettings& settings, const QString& key, bool fallback)
{
    const std::optional<int> number = storedInteger(settings, key);
    return number ? *number != 0 : fallback;
}

WindowsColor storedColor(const QSettings& settings, const QString& key, WindowsColor fallback)
{
    return storedInteger(settings, key).value_or(fallback);
}

PhonebookOptions loadPhonebookOptions(QSettings& programKey)
{
    const PhonebookOptions defaults;
    PhonebookOptions options;
    programKey.beginGroup(kPhonebookGroup);
    options.nurGeaenderte = storedFlag(programKey, kNurGeaenderte, defaults.nurGeaenderte);
    options.hintergrundfarbe =
        storedColor(programKey, kHintergrundfarbe, defaults.hintergrundfarbe);
    options.schriftfarbe = storedColor(programKey, kSchriftfarbe, defaults.schriftfarbe);
    options.hottrackfarbe = storedColor(programKey, kHottrackfarbe, defaults.hottrackfarbe);
    options.loeschbefehle = storedFlag(programKey, kLoeschbefehle, defaults.loeschbefehle);
    options.pruefen = storedFlag(programKey, kPruefen, defaults.pruefen);
    // At least one snapshot is kept: the one a restore takes before it writes.
    options.sicherungen =
        std::max(1, storedInteger(programKey, kSicherungen).value_or(defaults.sicherungen));
    programKey.endGroup();
    return options;
}

void savePhonebookOptions(QSettings& programKey, const PhonebookOptions& options)
{
    programKey.beginGroup(kPhonebookGroup);
    programKey.setValue(kNurGeaenderte, flagText(options.nurGeaenderte));
    programKey.setValue(kLoeschbefehle, flagText(options.loeschbefehle));
    programKey.setValue(kHintergrundfarbe, QString::number(options.hintergrundfarbe));
    programKey.setValue(kSchriftfarbe, QString::number(options.schriftfarbe));
    programKey.setValue(kHottrackfarbe, QString::number(options.hottrackfarbe));
    programKey.setValue(kPruefen, flagText(options.pruefen));
    programKey.setValue(kSicherungen, QString::number(options.sicherungen));
    programKey.endGroup();
}

int loadCountryCode(QSettings& programKey)
{
    programKey.beginGroup(kPhonebookGroup);
    const std::optional<int> stored = storedInteger(programKey, kLaendervorwahl);
    programKey.endGroup();
    return stored && *stored >= 1 && *stored <= 999 ? *stored : kDefaultCountryCode;
}

int userCountryCode()
{
    return loadCountryCode(*openRegistryKey(kProgramKey));
}

StartCount nextStartCount(std::optional<int> stored)
{
    const qint64 value = stored.value_or(-1);
    StartCount count;
    count.n = value == -1 ? 1 : value + 1;
    count.stored = count.n <= 3 ? static_cast<int>(count.n) : -1;
    return count;
}

StartCount advanceStartCounter(QSettings& programKey)
{
    const StartCount count = nextStartCount(storedInteger(programKey, kStartCounterKey));
    programKey.setValue(kStartCounterKey, QString::number(count.stored));
    return count;
}

bool passStartCounter(QSettings& programKey, const std::function<bool()>& disclaimerAccepted)
{
    const StartCount count = nextStartCount(storedInteger(programKey, kStartCounterKey));
    if (count.showsDisclaimer() && !disclaimerAccepted())
        return false;
    programKey.setValue(kStartCounterKey, QString::number(count.stored));
    return true;
}

QString snapshotFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("snapshots"));
}

QString settingsFolder()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath();
#else
    return QFileInfo(openRegistryKey(kProgramKey)->fileName()).absolutePath();
#endif
}

} // namespace q7
