// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/CardDavClient.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace q7::sync {

struct FoundAddressBook
{
    QUrl url;
    QString name; // its display name, or the last part of its path
};

// The address books the user can reach from the client's URL: that one
// when it is an address book; otherwise those in the user's home, found
// the standard way (/.well-known/carddav when the URL is only the server,
// the current-user-principal, its addressbook-home-set, a PROPFIND of depth
// 1 there). Throws a Q7Error when there is none or the server fails.
QList<FoundAddressBook> discoverAddressBooks(CardDavClient& client);

} // namespace q7::sync
