# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7core_sources
  fileio/Contacts.cpp
  fileio/ContactsCsv.cpp
  fileio/CsvPhonebook.cpp
  fileio/FileAccess.cpp
  fileio/Snapshots.cpp
  fileio/VcardReader.cpp
  fileio/VcardWriter.cpp
)
