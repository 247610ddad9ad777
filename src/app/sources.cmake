# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7gui_sources
  app/AboutBox.cpp
  app/ClickLabel.cpp
  app/ColorPanel.cpp
  app/ComComboBox.cpp
  app/ContactTools.cpp
  app/Dialogs.cpp
  app/ErrorBox.cpp
  app/ImportReport.cpp
  app/MainWindow.cpp
  app/NoHandsetNotice.cpp
  app/RecoveryFile.cpp
  app/ShutdownSignals.cpp
  app/SnapshotsDialog.cpp
  app/StatusPanel.cpp
  app/SingleInstance.cpp
  app/EdgeAnchors.cpp
  app/EditHistory.cpp
  app/OptionsPage.cpp
  app/PhonebookCommands.cpp
  app/PhonebookMenuCommands.cpp
  app/PhonebookFiles.cpp
  app/PhonebookPage.cpp
  app/PhoneListPreview.cpp
  app/TransferController.cpp
  app/TransferGuard.cpp
  app/Warnung.cpp
  app/WritePlanDialog.cpp
  app/sync/SyncController.cpp
  app/sync/SyncDialogs.cpp
)
# The about box names the version the project is built as.
set_source_files_properties(app/AboutBox.cpp PROPERTIES
  COMPILE_DEFINITIONS Q7_VERSION="${PROJECT_VERSION}")
# The termination signals in the platform's own terms; a Windows build
# brings closeOnTerminationSignals in ShutdownSignals_win.cpp.
if(UNIX)
  list(APPEND q7gui_sources app/ShutdownSignals_unix.cpp)
endif()
