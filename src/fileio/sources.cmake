list(APPEND q7core_sources
  fileio/CsvPhonebook.cpp
  fileio/FileAccess.cpp
)
