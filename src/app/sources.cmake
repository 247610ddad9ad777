list(APPEND q7core_sources
  app/AppSettings.cpp
  app/Errors.cpp
  app/LanguageFile.cpp
  app/PcText.cpp
  app/RegistryKey.cpp
  app/Texts.cpp
)
list(APPEND q7gui_sources
  app/ClickLabel.cpp
  app/ComComboBox.cpp
  app/Dialogs.cpp
  app/ErrorBox.cpp
  app/MainWindow.cpp
  app/ScriptedDialogs.cpp
  app/TransferGuard.cpp
  app/Warnung.cpp
)
