# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7core_sources
  base/AppSettings.cpp
  base/Errors.cpp
  base/LanguageFile.cpp
  base/PcText.cpp
  base/ProgramLanguage.cpp
  base/RegistryKey.cpp
  base/ShippedLanguages.cpp
  base/Texts.cpp
)
# The language files the program ships, compiled in: an entry keeps its type
# image whichever of them it was read under, and a disclaimer that a language
# file leaves out comes from the English one.
file(GLOB q7_shipped_languages CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../../lang/*.ini)
set(q7_languages_qrc "<RCC>\n  <qresource prefix=\"/q7/lang\">\n")
foreach(language ${q7_shipped_languages})
  get_filename_component(name ${language} NAME)
  string(APPEND q7_languages_qrc "    <file alias=\"${name}\">${language}</file>\n")
endforeach()
string(APPEND q7_languages_qrc "  </qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/languages.qrc CONTENT "${q7_languages_qrc}")
qt_add_resources(q7core_sources ${CMAKE_CURRENT_BINARY_DIR}/languages.qrc)
