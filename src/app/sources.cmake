# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7gui_sources
  app/frame/AboutBox.cpp
  app/common/ClickLabel.cpp
  app/options/ColorPanel.cpp
  app/options/ComComboBox.cpp
  app/phonebook/ContactTools.cpp
  app/common/Dialogs.cpp
  app/common/ErrorBox.cpp
  app/common/PlanList.cpp
  app/files/ImportReport.cpp
  app/frame/MainWindow.cpp
  app/phonebook/NoHandsetNotice.cpp
  app/frame/RecoveryFile.cpp
  app/frame/ShutdownSignals.cpp
  app/phonebook/SnapshotsDialog.cpp
  app/common/StatusPanel.cpp
  app/common/SyncSettings.cpp
  app/frame/SingleInstance.cpp
  app/frame/EdgeAnchors.cpp
  app/phonebook/EditHistory.cpp
  app/options/OptionsPage.cpp
  app/phonebook/PhonebookCommands.cpp
  app/phonebook/PhonebookMenuCommands.cpp
  app/files/PhonebookFiles.cpp
  app/phonebook/PhonebookPage.cpp
  app/phonebook/PhoneListPreview.cpp
  app/transfers/TransferController.cpp
  app/transfers/TransferGuard.cpp
  app/frame/Warnung.cpp
  app/transfers/WritePlanDialog.cpp
  app/sync/SyncController.cpp
  app/sync/SyncDialogs.cpp
)
# The about box names the version the project is built as.
set_source_files_properties(app/frame/AboutBox.cpp PROPERTIES
  COMPILE_DEFINITIONS Q7_VERSION="${PROJECT_VERSION}")
# The termination signals in the platform's own terms; a Windows build
# brings closeOnTerminationSignals in ShutdownSignals_win.cpp.
if(UNIX)
  list(APPEND q7gui_sources app/frame/ShutdownSignals_unix.cpp)
endif()
