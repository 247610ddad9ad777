list(APPEND q7core_sources
  base/AppSettings.cpp
  base/Errors.cpp
  base/LanguageFile.cpp
  base/PcText.cpp
  base/ProgramLanguage.cpp
  base/RegistryKey.cpp
  base/Texts.cpp
)
