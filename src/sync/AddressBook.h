// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace q7::sync {

// An address book the handset is kept in step with: a folder of vCards or a
// CardDAV collection. The engine sees only this, so a kind of address book
// is one more class behind it and never a branch in the merge.
//
// A card is named by an id that is stable for as long as the card lives
// (the file name in a folder, the href below the collection on a server)
// and carries a version that changes whenever its content does (a file's
// modification stamp and size, a server's ETag). Versions are opaque: the
// engine only stores them and hands them back as preconditions.
struct CardVersion
{
    QString id;
    QString version;
};

struct Card
{
    QString id;
    QString version;
    QByteArray data; // the vCard as stored, byte for byte
};

// What changed since a token the address book handed out earlier.
struct CardChanges
{
    QString token;              // to pass next time
    QList<CardVersion> changed; // new or changed cards
    QStringList removed;        // ids of deleted cards
};

class AddressBook
{
public:
    virtual ~AddressBook() = default;

    // Stable for this address book across runs: the key of its sync state
    // (a folder's absolute path, a collection's URL).
    virtual QString identity() const = 0;
    // What the user calls it, for plans and summaries.
    virtual QString displayName() const = 0;

    // Every card with its version. Throws a Q7Error when the address book
    // cannot be reached: an empty list always means an empty address book.
    virtual QList<CardVersion> list() = 0;
    // What changed since `token`, where the kind can tell (a server's sync
    // token); nullopt when it cannot or the token has expired, and the
    // engine then compares list() with the versions it stored.
    virtual std::optional<CardChanges> changesSince(const QString& token)
    {
        (void)token;
        return std::nullopt;
    }
    // The token that describes the address book as it is now, or empty.
    virtual QString currentToken() { return {}; }

    // The cards with these ids; an id that is gone is left out.
    virtual QList<Card> fetch(const QStringList& ids) = 0;

    // Stores a card. With `ifVersion` empty the card is new, stored under
    // `id` or, when that is empty, under an id made from `uid`, and must not
    // exist yet; otherwise it replaces the
    // card `id` only while that still has `ifVersion`. Gives the stored
    // card's id and new version, or nullopt when the precondition failed
    // (someone changed the card since it was fetched): fetch and merge
    // again. Throws a Q7Error on any other failure.
    virtual std::optional<CardVersion> put(const QString& id, const QString& uid,
                                           const QByteArray& data, const QString& ifVersion) = 0;

    // Deletes card `id` while it still has `ifVersion`; false when the
    // precondition failed. A card already gone counts as deleted.
    virtual bool remove(const QString& id, const QString& ifVersion) = 0;

    // The user stopped the sync: the request under way ends at once and
    // throws EOperationCancelled. A kind whose steps are all quick has
    // nothing to end; the engine stops between steps.
    virtual void abort() {}
};

} // namespace q7::sync
