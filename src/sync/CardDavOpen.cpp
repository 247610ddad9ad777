// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavOpen.h"

#include "base/Errors.h"
#include "sync/CardDavDiscovery.h"

namespace q7::sync {

bool isServerLocation(const QString& location)
{
    return location.startsWith(u"https://", Qt::CaseInsensitive) ||
           location.startsWith(u"http://", Qt::CaseInsensitive);
}

std::unique_ptr<CardDavAddressBook> openCardDav(const QString& location, const ServerAccess& access)
{
    CardDavLogin login{QUrl(location), access.user, access.password, access.allowPlainHttp};
    CardDavClient client(login, access.timeoutMs);
    client.setStopLine(access.stopLine);
    const QList<FoundAddressBook> found = discoverAddressBooks(client);
    if (found.size() > 1) {
        QStringList lines;
        for (const FoundAddressBook& book : found)
            lines.append(QStringLiteral("  %1: %2").arg(book.name, book.url.toString()));
        throw Q7Error(TextId::Server_Mehrere, {location, lines.join(u'\n')});
    }
    login.url = found.first().url;
    auto book = std::make_unique<CardDavAddressBook>(login, found.first().name, access.timeoutMs);
    book->client().setStopLine(access.stopLine);
    return book;
}

} // namespace q7::sync
