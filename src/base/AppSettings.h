// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace q7 {

// The values the program keeps below its registry key besides the port
// settings. The registry holds every number as decimal text, as the Windows
// version of this program always did, so that both read each other's values.

// A colour as Windows stores it: 0x00BBGGRR, red in the lowest byte, written
// as signed decimal text. The window keeps this value as it was read, so a
// value it cannot show exactly (a system colour) goes back unchanged.
using WindowsColor = qint32;

inline constexpr WindowsColor kSilver = 12632256; // 0xC0C0C0
inline constexpr WindowsColor kBlack = 0;
inline constexpr WindowsColor kBlue = 16711680; // 0xFF0000: blue is the high byte

// Conversions to and from Qt's 0xAARRGGBB layout (QRgb); the alpha of a
// Windows colour is always opaque, and the high byte of a Windows value
// (system colours) is dropped.
quint32 rgbFromWindowsColor(WindowsColor value);
WindowsColor windowsColorFromRgb(quint32 argb);

// The integer in a stored value; a value whose text is not a decimal 32-bit
// integer counts as missing, so that its default applies.
std::optional<int> storedInteger(const QSettings& settings, const QString& key);
// On for every integer other than 0.
bool storedFlag(const QSettings& settings, const QString& key, bool fallback);
WindowsColor storedColor(const QSettings& settings, const QString& key, WindowsColor fallback);

// The group "Telefonbuch": the options and the three colours of both trees.
struct PhonebookOptions
{
    bool nurGeaenderte = true;  // write only the changed records
    bool loeschbefehle = false; // keep deletion commands in the CSV file
    bool pruefen = true;        // read back what a write sent
    int sicherungen = 50;       // snapshots of the handset kept
    WindowsColor hintergrundfarbe = kSilver;
    WindowsColor schriftfarbe = kBlack;
    WindowsColor hottrackfarbe = kBlue;
    bool operator==(const PhonebookOptions&) const = default;
};

inline const QString kPhonebookGroup = QStringLiteral("Telefonbuch");
inline const QString kComPortGroup = QStringLiteral("ComPort");

// Settings is the program key; the group is entered and left here.
PhonebookOptions loadPhonebookOptions(QSettings& programKey);
void savePhonebookOptions(QSettings& programKey, const PhonebookOptions& options);

// The start counter "StartZaehler" makes the disclaimer come back at every
// fourth start: missing -> 1 -> 2 -> 3 -> -1 -> 1 ...
struct StartCount
{
    qint64 n = 1;   // this start's number; a stored 2147483647 must not wrap
    int stored = 1; // what goes back into the registry
    bool showsDisclaimer() const { return n == 1; }
};

// Pure step: the stored value (nullopt when missing or not an integer) to
// this start's count.
StartCount nextStartCount(std::optional<int> stored);
// Reads the counter of the program key, writes the new value and returns it.
StartCount advanceStartCounter(QSettings& programKey);
// The start tick's whole use of the counter: on a start that shows the
// disclaimer, disclaimerAccepted shows it and says whether the user took
// it. The counter moves on only when the start goes ahead; a declined
// disclaimer leaves it as it was, so the next start asks again. False: the
// user declined, and the program ends.
bool passStartCounter(QSettings& programKey, const std::function<bool()>& disclaimerAccepted);

// "Laendervorwahl" in the group "Telefonbuch": the country code of the
// user's own numbers, which lets "+49171..." and "0171..." count as one
// number. Read only, so that a value set by hand is never overwritten; a
// missing value or one that is no country code (1 to 999) gives 49.
inline constexpr int kDefaultCountryCode = 49;
int loadCountryCode(QSettings& programKey);
// The country code as the program key holds it now: what the window, its
// contact tools, its imports and q7ctl all go by.
int userCountryCode();

inline const QString kStartCounterKey = QStringLiteral("StartZaehler");

// The folder of the phonebook snapshots: "snapshots" in the program's data
// folder (~/.local/share/Norvik/Q7 Manager/snapshots on Linux). It may not
// exist yet.
QString snapshotFolder();
// The folder that holds the settings (on Windows the registry has none: the
// program's folder then).
QString settingsFolder();

} // namespace q7
