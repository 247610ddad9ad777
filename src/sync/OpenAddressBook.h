// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/AddressBook.h"
#include "sync/CardDavOpen.h"

#include <memory>

namespace q7::sync {

// The address book a location names: an http:// or https:// URL a CardDAV
// server or address book, reached with `access`; a folder path a folder of
// vCards.
std::unique_ptr<AddressBook> openAddressBook(const QString& location,
                                             const ServerAccess& access = {});

} // namespace q7::sync
