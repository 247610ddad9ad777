list(APPEND q7core_sources
  editing/EditOperations.cpp
  editing/EntryFilter.cpp
  editing/MenuRules.cpp
  editing/RecordChange.cpp
)
list(APPEND q7gui_sources
)
