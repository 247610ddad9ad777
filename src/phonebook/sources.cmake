list(APPEND q7core_sources
  phonebook/RecordStore.cpp
  phonebook/EntryParser.cpp
  phonebook/LostLink.cpp
  phonebook/PhonebookReader.cpp
  phonebook/PhonebookWriter.cpp
)
list(APPEND q7gui_sources
)
