// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavDiscovery.h"

#include "base/Errors.h"
#include "sync/CardDavPaths.h"
#include "sync/CardDavXml.h"

namespace q7::sync {

namespace {

const QByteArray kPropfind = "PROPFIND";
constexpr int kMaxRedirects = 5;

// A PROPFIND that follows the server's redirects (/.well-known/carddav is
// one by design); `url` ends as where the answer came from.
DavReply propfind(CardDavClient& client, QUrl& url, int depth, const QByteArray& body)
{
    for (int hop = 0;; ++hop) {
        DavReply reply = client.sendXml(kPropfind, url, depth, body);
        const bool redirect = reply.status >= 300 && reply.status < 400 && reply.location.isValid();
        if (!redirect)
            return reply;
        if (hop == kMaxRedirects)
            throw Q7Error(TextId::Server_Umleitungen, {client.serverName()});
        url = reply.location;
    }
}

DavMultistatus read(CardDavClient& client, const QUrl& url, const DavReply& reply)
{
    if (reply.status != 207)
        client.fail(kPropfind, url, reply);
    QString error;
    const auto parsed = parseMultistatus(reply.body, &error);
    if (!parsed)
        client.failUnreadable(kPropfind, url, error);
    return *parsed;
}

QString lastSegment(const QUrl& url)
{
    const QStringList parts = url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.last();
}

// The address book collections one level below `home`.
void addAddressBooksIn(CardDavClient& client, QUrl home, QList<FoundAddressBook>& found)
{
    const DavMultistatus reply =
        read(client, home, propfind(client, home, 1, collectionPropfind()));
    for (const DavResource& resource : reply.resources) {
        if (!resource.addressBook)
            continue;
        const QUrl url = collectionUrl(home.resolved(QUrl(resource.href)));
        const bool known = std::any_of(found.cbegin(), found.cend(),
                                       [&url](const FoundAddressBook& b) { return b.url == url; });
        if (!known)
            found.append(
                {url, resource.displayName.isEmpty() ? lastSegment(url) : resource.displayName});
    }
}

} // namespace

QList<FoundAddressBook> discoverAddressBooks(CardDavClient& client)
{
    QUrl start = client.login().url;
    if (start.path().isEmpty())
        start.setPath(QStringLiteral("/"));
    // Only the server named: it says where its CardDAV service lives.
    if (start.path() == u"/") {
        QUrl wellKnown = start;
        wellKnown.setPath(QStringLiteral("/.well-known/carddav"));
        if (propfind(client, wellKnown, 0, discoveryPropfind()).status == 207)
            start = wellKnown;
    }
    const DavMultistatus here =
        read(client, start, propfind(client, start, 0, discoveryPropfind()));
    const DavResource self = here.resources.value(0);
    if (self.addressBook)
        return {{collectionUrl(start),
                 self.displayName.isEmpty() ? lastSegment(start) : self.displayName}};

    QStringList homes = self.homeSet;
    QUrl principal = self.principal.isEmpty() ? start : start.resolved(QUrl(self.principal));
    if (homes.isEmpty() && principal != start) {
        const DavMultistatus who =
            read(client, principal, propfind(client, principal, 0, discoveryPropfind()));
        homes = who.resources.value(0).homeSet;
    }
    QList<FoundAddressBook> found;
    for (const QString& home : std::as_const(homes))
        addAddressBooksIn(client, principal.resolved(QUrl(home)), found);
    // A server that names no home: the address books may sit right below
    // the URL the user gave.
    if (homes.isEmpty())
        addAddressBooksIn(client, start, found);
    if (found.isEmpty())
        throw Q7Error(TextId::Server_KeinAdressbuch,
                      {client.login().url.adjusted(QUrl::RemoveUserInfo).toString()});
    return found;
}

} // namespace q7::sync
