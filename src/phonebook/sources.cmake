list(APPEND q7core_sources
  phonebook/RecordStore.cpp
)
list(APPEND q7gui_sources
)
