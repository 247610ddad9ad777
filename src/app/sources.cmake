list(APPEND q7core_sources
  app/Errors.cpp
  app/LanguageFile.cpp
  app/PcText.cpp
  app/RegistryKey.cpp
  app/Texts.cpp
)
list(APPEND q7gui_sources
)
