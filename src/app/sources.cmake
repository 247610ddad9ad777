list(APPEND q7gui_sources
  app/ClickLabel.cpp
  app/ComComboBox.cpp
  app/Dialogs.cpp
  app/ErrorBox.cpp
  app/ImportReport.cpp
  app/MainWindow.cpp
  app/RecoveryFile.cpp
  app/ShutdownSignals.cpp
  app/SingleInstance.cpp
  app/MainWindowEditing.cpp
  app/MainWindowUndo.cpp
  app/EdgeAnchors.cpp
  app/TransferGuard.cpp
  app/Warnung.cpp
)
