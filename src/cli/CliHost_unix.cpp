// SPDX-License-Identifier: GPL-3.0-or-later
// A Unix terminal; a Windows build brings the same two functions in
// CliHost_win.cpp.
#include "cli/CliHost.h"

#include <unistd.h>

namespace q7 {

bool stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

bool stdinIsTerminal()
{
    return ::isatty(STDIN_FILENO) != 0;
}

} // namespace q7
