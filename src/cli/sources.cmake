# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7ctl_sources
  cli/main.cpp
  cli/CliHost.cpp
  cli/Commands.cpp
)
# Whether a terminal watches, in the platform's own calls; a Windows build
# brings the same functions in CliHost_win.cpp.
if(UNIX)
  list(APPEND q7ctl_sources cli/CliHost_unix.cpp)
endif()
