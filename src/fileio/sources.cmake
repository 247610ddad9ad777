list(APPEND q7core_sources
  fileio/CsvPhonebook.cpp
)
list(APPEND q7gui_sources
)
