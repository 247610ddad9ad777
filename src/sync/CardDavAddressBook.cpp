// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavAddressBook.h"

#include "sync/CardDavPaths.h"
#include "sync/CardDavXml.h"

#include <QHash>
#include <QSet>
#include <QUuid>
#include <algorithm>

namespace q7::sync {

namespace {

const QByteArray kPropfind = "PROPFIND";
const QByteArray kReport = "REPORT";

bool isSuccess(int status)
{
    return status >= 200 && status < 300;
}

// A 207 reply read, or the failure that names what the server said instead.
DavMultistatus multistatus(const CardDavClient& client, const QByteArray& method, const QUrl& url,
                           const DavReply& reply)
{
    if (reply.status != 207)
        client.fail(method, url, reply);
    QString error;
    const auto parsed = parseMultistatus(reply.body, &error);
    if (!parsed)
        client.failUnreadable(method, url, error);
    return *parsed;
}

QList<QByteArray> linesOf(const QByteArray& card)
{
    QByteArray text = card;
    text.replace("\r\n", "\n");
    while (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

bool startsWithName(const QByteArray& line, const QByteArray& name)
{
    return line.size() > name.size() &&
           line.first(name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
           (line.at(name.size()) == ':' || line.at(name.size()) == ';');
}

} // namespace

QByteArray cardWithUid(const QByteArray& card, const QString& uid)
{
    const QList<QByteArray> lines = linesOf(card);
    for (const QByteArray& line : lines)
        if (startsWithName(line, "UID"))
            return card;
    const QByteArray eol = card.contains("\r\n") ? "\r\n" : "\n";
    qsizetype after = -1;
    qsizetype offset = 0;
    for (const QByteArray& line : lines) {
        offset += line.size() + eol.size();
        if (startsWithName(line, "VERSION") || startsWithName(line, "BEGIN")) {
            after = offset;
            if (startsWithName(line, "VERSION"))
                break;
        }
    }
    if (after < 0)
        return card;
    QByteArray withUid = card;
    withUid.insert(after, "UID:" + uid.toUtf8() + eol);
    return withUid;
}

bool sameCard(const QByteArray& a, const QByteArray& b)
{
    // Servers store a card their own way: Radicale sorts its properties and
    // folds long lines anew. The same properties are the same card.
    auto properties = [](const QByteArray& card) {
        QByteArray unfolded = card;
        unfolded.replace("\r\n", "\n").replace("\n ", "").replace("\n\t", "");
        QList<QByteArray> lines = linesOf(unfolded);
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    return properties(a) == properties(b);
}

CardDavAddressBook::CardDavAddressBook(CardDavLogin login, QString name, int timeoutMs)
    : m_client(login, timeoutMs), m_collection(collectionUrl(login.url)), m_name(std::move(name))
{}

QString CardDavAddressBook::identity() const
{
    return m_collection.adjusted(QUrl::RemoveUserInfo).toString(QUrl::FullyEncoded);
}

QString CardDavAddressBook::displayName() const
{
    const QString where = m_collection.adjusted(QUrl::RemoveUserInfo).toString();
    return m_name.isEmpty() ? where : QStringLiteral("%1 (%2)").arg(m_name, where);
}

QList<CardVersion> CardDavAddressBook::list()
{
    const DavMultistatus reply =
        multistatus(m_client, kPropfind, m_collection,
                    m_client.sendXml(kPropfind, m_collection, 1, etagPropfind()));
    QList<CardVersion> cards;
    for (const DavResource& resource : reply.resources) {
        const QString id = cardIdFromHref(m_collection, resource.href);
        if (!id.isEmpty() && !resource.collection && isSuccess(resource.status))
            cards.append({id, resource.etag});
    }
    return cards;
}

std::optional<CardChanges> CardDavAddressBook::changesSince(const QString& token)
{
    if (token.isEmpty())
        return std::nullopt;
    // A server without sync-collection: its getctag can only say that
    // nothing changed, which spares listing every card's ETag.
    if (token.startsWith(u"ctag:")) {
        if (QStringLiteral("ctag:") + collectionState().ctag == token)
            return CardChanges{token, {}, {}};
        return std::nullopt;
    }
    const DavReply reply = m_client.sendXml(kReport, m_collection, 0, syncCollectionReport(token));
    // A token the server no longer knows (Radicale: 403 valid-sync-token;
    // Xandikos: 500), or no sync-collection at all: the engine compares the
    // whole list instead, which is always right, only slower.
    if (reply.status != 207)
        return std::nullopt;
    const auto parsed = parseMultistatus(reply.body);
    if (!parsed || parsed->syncToken.isEmpty())
        return std::nullopt;
    CardChanges changes;
    changes.token = parsed->syncToken;
    for (const DavResource& resource : parsed->resources) {
        const QString id = cardIdFromHref(m_collection, resource.href);
        if (id.isEmpty()) {
            // 507 on the collection itself: the server sent only part of
            // the changes.
            if (resource.status == 507)
                return std::nullopt;
            continue;
        }
        if (resource.status == 404)
            changes.removed.append(id);
        else if (isSuccess(resource.status) && !resource.collection)
            changes.changed.append({id, resource.etag});
    }
    return changes;
}

DavResource CardDavAddressBook::collectionState()
{
    const DavMultistatus reply =
        multistatus(m_client, kPropfind, m_collection,
                    m_client.sendXml(kPropfind, m_collection, 0, collectionPropfind()));
    for (const DavResource& resource : reply.resources)
        if (cardIdFromHref(m_collection, resource.href).isEmpty())
            return resource;
    return {};
}

QString CardDavAddressBook::currentToken()
{
    const DavResource state = collectionState();
    if (!state.syncToken.isEmpty())
        return state.syncToken;
    if (!state.ctag.isEmpty())
        return QStringLiteral("ctag:") + state.ctag;
    return {};
}

QList<Card> CardDavAddressBook::fetch(const QStringList& ids)
{
    QHash<QString, Card> found;
    for (qsizetype from = 0; from < ids.size(); from += m_batch) {
        const QStringList batch = ids.mid(from, m_batch);
        QStringList hrefs;
        for (const QString& id : batch)
            hrefs.append(cardUrl(m_collection, id).path(QUrl::FullyEncoded));
        const DavMultistatus reply =
            multistatus(m_client, kReport, m_collection,
                        m_client.sendXml(kReport, m_collection, 1, multigetReport(hrefs)));
        QSet<QString> unanswered(batch.begin(), batch.end());
        for (const DavResource& resource : reply.resources) {
            const QString id = cardIdFromHref(m_collection, resource.href);
            if (!unanswered.contains(id))
                continue;
            if (isSuccess(resource.status) && resource.hasAddressData) {
                found.insert(id, {id, resource.etag, resource.addressData});
                unanswered.remove(id);
            } else if (resource.status == 404) {
                unanswered.remove(id);
            }
        }
        // A server that leaves a card out of its multiget answer still
        // hands it out on its own.
        for (const QString& id : std::as_const(unanswered)) {
            const QUrl url = cardUrl(m_collection, id);
            const DavReply single = m_client.send("GET", url);
            if (isSuccess(single.status))
                found.insert(id, {id, single.etag, single.body});
            else if (single.status != 404)
                m_client.fail("GET", url, single);
        }
    }
    QList<Card> cards;
    for (const QString& id : ids)
        if (found.contains(id))
            cards.append(found.take(id));
    return cards;
}

QString CardDavAddressBook::etagOf(const QUrl& card)
{
    const DavMultistatus reply = multistatus(m_client, kPropfind, card,
                                             m_client.sendXml(kPropfind, card, 0, etagPropfind()));
    return reply.resources.isEmpty() ? QString() : reply.resources.first().etag;
}

std::optional<CardVersion> CardDavAddressBook::put(const QString& id, const QString& uid,
                                                   const QByteArray& data, const QString& ifVersion)
{
    const bool isNew = ifVersion.isEmpty();
    const QString cardUid =
        uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : uid;
    const QString cardId = isNew && id.isEmpty() ? newCardId(cardUid) : id;
    const QByteArray body = cardWithUid(data, cardUid);
    const QUrl url = cardUrl(m_collection, cardId);
    CardDavClient::Headers headers{{"Content-Type", "text/vcard; charset=utf-8"}};
    if (isNew)
        headers.append({QByteArray("If-None-Match"), QByteArray("*")});
    else
        headers.append({QByteArray("If-Match"), ifVersion.toLatin1()});
    const DavReply reply = m_client.send("PUT", url, body, headers);
    if (isSuccess(reply.status))
        return CardVersion{cardId, reply.etag.isEmpty() ? etagOf(url) : reply.etag};
    if (reply.status != 412)
        m_client.fail("PUT", url, reply);
    // A new card whose name is taken: when the card there is this very one,
    // an earlier run stored it and lost the answer, and it counts as stored.
    if (isNew) {
        const QList<Card> there = fetch({cardId});
        if (there.size() == 1 && sameCard(there.first().data, body))
            return CardVersion{cardId, there.first().version};
    }
    return std::nullopt;
}

bool CardDavAddressBook::remove(const QString& id, const QString& ifVersion)
{
    const QUrl url = cardUrl(m_collection, id);
    CardDavClient::Headers headers;
    if (!ifVersion.isEmpty())
        headers.append({QByteArray("If-Match"), ifVersion.toLatin1()});
    const DavReply reply = m_client.send("DELETE", url, {}, headers);
    if (isSuccess(reply.status) || reply.status == 404)
        return true;
    if (reply.status == 412)
        return false;
    m_client.fail("DELETE", url, reply);
}

} // namespace q7::sync
