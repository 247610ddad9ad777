list(APPEND q7core_sources
  phonebook/RecordStore.cpp
  phonebook/EntryParser.cpp
  phonebook/LostLink.cpp
  phonebook/PhonebookReader.cpp
  phonebook/PhonebookWriter.cpp
)
list(APPEND q7gui_sources
  phonebook/PhonebookImages.cpp
  phonebook/PhonebookTrees.cpp
  phonebook/TreeLines.cpp
)
# AUTORCC is off in this project, so the tree images are compiled in here.
qt_add_resources(q7gui_sources phonebook/images/phonebook_images.qrc)
