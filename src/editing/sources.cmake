# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7core_sources
  editing/ContactMerge.cpp
  editing/ContactPlacement.cpp
  editing/EditOperations.cpp
  editing/EntryFilter.cpp
  editing/HandsetEntries.cpp
  editing/MenuRules.cpp
  editing/NewEntryRules.cpp
  editing/RecordChange.cpp
  editing/VcardReport.cpp
)
list(APPEND q7gui_sources
  editing/ui/NeuerEintragDialog.cpp
  editing/ui/PhonebookMenu.cpp
  editing/ui/RecordEditCommand.cpp
  editing/ui/TextInput.cpp
  editing/ui/TreeEditor.cpp
)
