// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/AddressBook.h"

#include <memory>

namespace q7::sync {

// The address book a location names: a folder path gives a folder of vCards.
std::unique_ptr<AddressBook> openAddressBook(const QString& location);

} // namespace q7::sync
