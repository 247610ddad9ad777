list(APPEND q7core_sources
  editing/EditOperations.cpp
  editing/MenuRules.cpp
)
list(APPEND q7gui_sources
)
