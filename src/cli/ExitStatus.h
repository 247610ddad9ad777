#pragma once

#include "base/Errors.h"

#include <QString>
#include <exception>
#include <functional>

namespace q7 {

inline constexpr int kExitFailed = 1;

// Runs a command of q7ctl and gives its exit status. Any failure ends the
// program with status 1 and its message, whatever threw it: a failure of the
// runtime (memory, a bad index) must not end it through terminate with a core
// dump and no word on what went wrong.
template <class Command>
int exitStatusOf(Command&& command, const std::function<void(const QString&)>& report)
{
    try {
        return std::forward<Command>(command)();
    } catch (const Q7Error& error) {
        report(errorBoxText(error.message()));
    } catch (const std::exception& error) {
        report(errorBoxText(QString::fromLocal8Bit(error.what())));
    }
    return kExitFailed;
}

} // namespace q7
