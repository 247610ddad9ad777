// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/AddressBook.h"
#include "sync/CardDavClient.h"
#include "sync/CardDavXml.h"

#include <QUrl>

namespace q7::sync {

// An address book collection on a CardDAV server. A card's id is its
// decoded path below the collection, its version the server's ETag.
// Changes come from a sync-collection report where the server offers one;
// otherwise the token is the collection's getctag, which tells at least
// that nothing changed. Cards are fetched by addressbook-multiget in
// batches, and every write carries its ETag (or If-None-Match: * for a new
// card) as a precondition.
class CardDavAddressBook : public AddressBook
{
public:
    // `login.url` is the collection itself; `name` what discovery found it
    // called.
    explicit CardDavAddressBook(CardDavLogin login, QString name = {},
                                int timeoutMs = CardDavClient::kDefaultTimeoutMs);

    QString identity() const override;
    QString displayName() const override;
    QList<CardVersion> list() override;
    std::optional<CardChanges> changesSince(const QString& token) override;
    QString currentToken() override;
    QList<Card> fetch(const QStringList& ids) override;
    std::optional<CardVersion> put(const QString& id, const QString& uid, const QByteArray& data,
                                   const QString& ifVersion) override;
    bool remove(const QString& id, const QString& ifVersion) override;
    void abort() override { m_client.abort(); }

    CardDavClient& client() { return m_client; }

    // How many cards one multiget asks for.
    static constexpr int kDefaultBatch = 100;
    void setBatchSize(int cards) { m_batch = cards; }

private:
    QString etagOf(const QUrl& card);
    DavResource collectionState();

    CardDavClient m_client;
    QUrl m_collection;
    QString m_name;
    int m_batch = kDefaultBatch;
};

// The card with a UID line: as it is when it has one, otherwise with
// "UID:`uid`" after its VERSION line (servers such as Radicale refuse a card
// without one).
QByteArray cardWithUid(const QByteArray& card, const QString& uid);
// Two cards with the same properties, in whatever order, folding and line
// ends a server keeps them.
bool sameCard(const QByteArray& a, const QByteArray& b);

} // namespace q7::sync
