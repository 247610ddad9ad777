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
  sync/Keyring.cpp
)
