// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/CardDavAddressBook.h"

#include <QString>
#include <memory>

namespace q7::sync {

// Who may reach a server, as the user gave it (q7ctl's options, the
// window's fields and keyring).
struct ServerAccess
{
    QString user;
    QString password;
    bool allowPlainHttp = false;
    int timeoutMs = CardDavClient::kDefaultTimeoutMs;
    StopLine* stopLine = nullptr; // Anhalten, from finding the book on
};

// An address book location that names a server (http:// or https://)
// rather than a folder.
bool isServerLocation(const QString& location);

// The address book at a server location: the one found there. Several
// found are a failure that lists them, for the user to give one.
std::unique_ptr<CardDavAddressBook> openCardDav(const QString& location,
                                                const ServerAccess& access);

} // namespace q7::sync
