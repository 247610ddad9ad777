// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/OpenAddressBook.h"

#include "sync/VcardFolder.h"

namespace q7::sync {

std::unique_ptr<AddressBook> openAddressBook(const QString& location, const ServerAccess& access)
{
    if (isServerLocation(location))
        return openCardDav(location, access);
    return std::make_unique<VcardFolder>(location);
}

} // namespace q7::sync
