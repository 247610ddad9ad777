// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace q7::sync {

// What a CardDAV server says in a multistatus reply, read by namespace and
// local name: Radicale writes DAV: as the default namespace, Xandikos as
// "ns0:", others as "d:" or "D:", and all of them mean the same element.

// One <response>: a resource and those of its properties the server
// found. Properties in a propstat with an error status (a server lists the
// ones it lacks under 404) are left empty.
struct DavResource
{
    QString href; // as the server wrote it: a path, percent-encoded
    // The response's own status where it gives one (a card gone from a
    // sync report, a multiget's unknown href); otherwise 200 when any of
    // its properties were found, or the status the server gave them.
    int status = 0;
    QString etag;
    QString displayName;
    bool collection = false;
    bool addressBook = false;
    QString principal;   // current-user-principal
    QStringList homeSet; // addressbook-home-set
    QString ctag;
    QString syncToken;
    QByteArray addressData; // the vCard, with CRLF line ends
    bool hasAddressData = false;
};

struct DavMultistatus
{
    QList<DavResource> resources;
    QString syncToken; // the report's new token (sync-collection)
};

// The reply as read, or nullopt with `error` set when it is not a
// well-formed multistatus.
std::optional<DavMultistatus> parseMultistatus(const QByteArray& xml, QString* error = nullptr);

// 404 from "HTTP/1.1 404 Not Found"; 0 when the line holds no status.
int davStatusCode(QStringView statusLine);

// The bodies of the requests the client sends.
// Finding the address books: what a URL is, whose it is, where its
// address books live, and what they are called.
QByteArray discoveryPropfind();
// The state of an address book, for choosing one and for noticing change.
QByteArray collectionPropfind();
// Every card below an address book with its ETag.
QByteArray etagPropfind();
// The changes since `token`; an empty token asks for everything.
QByteArray syncCollectionReport(const QString& token);
// The cards at these hrefs, with their ETags.
QByteArray multigetReport(const QStringList& hrefs);

} // namespace q7::sync
