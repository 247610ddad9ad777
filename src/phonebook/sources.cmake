# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND q7core_sources
  phonebook/TransferStatusTexts.cpp
  phonebook/EntryParser.cpp
  phonebook/HandsetImage.cpp
  phonebook/NameOrder.cpp
  phonebook/RetryingExchange.cpp
  phonebook/NoteLines.cpp
  phonebook/NumberTypes.cpp
  phonebook/PhoneNumbers.cpp
  phonebook/PhonebookReader.cpp
  phonebook/PhonebookWriter.cpp
  phonebook/RecordStore.cpp
  phonebook/WritePlan.cpp
)
list(APPEND q7gui_sources
  phonebook/ui/PhonebookImages.cpp
  phonebook/ui/PhonebookTrees.cpp
  phonebook/ui/TreeLines.cpp
)
# AUTORCC is off in this project, so the tree images are compiled in here.
qt_add_resources(q7gui_sources phonebook/ui/images/phonebook_images.qrc)
