// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

namespace q7::sync {

// A card on a server is named by its path below the address book, decoded
// ("Anna Muster.vcf"), so that a server's choice of percent-encoding
// ("%20", "%40" or "@") never makes two names of one card.

// The collection's URL with its path ending in "/", as servers list their
// members below it.
QUrl collectionUrl(const QUrl& url);
// The id of the card at `href` (a path or a URL, as a reply gives it), or
// empty when the href is not a card below `collection` (the collection
// itself, or somewhere else).
QString cardIdFromHref(const QUrl& collection, const QString& href);
// Where the card `id` lives.
QUrl cardUrl(const QUrl& collection, const QString& id);
// The id a new card gets: its UID and ".vcf", with the characters that
// would make a folder of it replaced.
QString newCardId(const QString& uid);
// Plain http:// needs no question only where nothing leaves the machine.
bool isLoopback(const QUrl& url);

} // namespace q7::sync
