// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "link/PortFailureText.h"

#include <QString>
#include <exception>
#include <functional>

namespace q7 {

inline constexpr int kExitFailed = 1;
// A sync that left conflicts: both sides hold all else in step, and each
// keeps its own value where they conflict.
inline constexpr int kExitConflicts = 3;

// Runs a command of q7ctl and gives its exit status. Any failure ends the
// program with status 1 and its message, whatever threw it: a failure of the
// runtime (memory, a bad index) must not end it through terminate with a core
// dump and no word on what went wrong.
// A port failure is reported as the window shows it: what happened and what
// to do on one line, the port's own text on the next.
template <class Command>
int exitStatusOf(Command&& command, const std::function<void(const QString&)>& report,
                 const LanguageFile& texts = LanguageFile())
{
    try {
        return std::forward<Command>(command)();
    } catch (const Q7Error& error) {
        report(failureLines(error, texts).join(u'\n'));
    } catch (const std::exception& error) {
        report(errorBoxText(QString::fromLocal8Bit(error.what())));
    }
    return kExitFailed;
}

} // namespace q7
