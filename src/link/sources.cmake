# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7core_sources
  link/CommandExchange.cpp
  link/ComPort.cpp
  link/ComPortSettings.cpp
  link/GsmText.cpp
  link/HandsetSearch.cpp
  link/PortDiagnosis.cpp
  link/PortDoctor.cpp
  link/PortFailureText.cpp
  link/PortMap.cpp
  link/PortWatcher.cpp
)
# What the system shows about its ports and who holds them, in the
# platform's own calls; a Windows build brings the same functions in
# PortDiagnosis_win.cpp.
if(UNIX)
  list(APPEND q7core_sources link/PortDiagnosis_unix.cpp)
endif()
