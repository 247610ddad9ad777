# SPDX-License-Identifier: GPL-3.0-or-later
# The sync with an address book: the one core folder that reaches for the
# network (CardDAV) and for SQL (the sync state).
list(APPEND q7core_sources
  sync/AddressBook.h
  sync/CardDavAddressBook.cpp
  sync/CardDavClient.cpp
  sync/CardDavDiscovery.cpp
  sync/CardDavOpen.cpp
  sync/CardDavPaths.cpp
  sync/CardDavXml.cpp
  sync/CardMapping.cpp
  sync/CardMapping.h
  sync/CardRestore.cpp
  sync/CardRestore.h
  sync/Keyring.cpp
  sync/OpenAddressBook.cpp
  sync/OpenAddressBook.h
  sync/SyncCarryOut.cpp
  sync/SyncEngine.cpp
  sync/SyncEngine.h
  sync/SyncLines.cpp
  sync/SyncMerge.cpp
  sync/SyncMerge.h
  sync/SyncState.cpp
  sync/SyncState.h
  sync/VcardFolder.cpp
  sync/VcardFolder.h
)
