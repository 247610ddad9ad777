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
