// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace q7 {

class EComPort;
class LanguageFile;
class Q7Error;
struct SystemView;

// Why a port failed, in the terms a person can act on.
enum class PortFailureCause
{
    NoPermission, // the user may not open the device (not in the dialout group)
    Busy,         // another program holds the device
    Absent,       // the device the name stands for is not there
    NotMapped,    // no device stands for the name at all
    CannotOpen,   // opening failed for another reason
    LineLost,     // a read or write failed once the port was open
    Refused,      // the device refused the line settings
    Other,        // nothing a person could do differently (settings storage)
};

PortFailureCause portFailureCause(const EComPort& failure);

// What happened and what to do, in the program's language; empty where the
// technical text is all there is to say.
QString portFailureAdvice(const EComPort& failure, const LanguageFile& texts);
// The same from what the given system shows (none: from the number alone).
QString portFailureAdvice(const EComPort& failure, const LanguageFile& texts,
                          const SystemView* system);

// The lines a failure is reported with: the person's text first where there
// is one, then the exact technical text for support (with the error box's
// closing period).
QStringList failureLines(const Q7Error& failure, const LanguageFile& texts);
QStringList failureLines(const EComPort& failure, const LanguageFile& texts,
                         const SystemView* system);

} // namespace q7
