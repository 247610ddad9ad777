// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/SyncMerge.h"

#include <QList>
#include <QString>
#include <optional>

namespace q7::sync {

// What the last sync of one address book with one handset left behind: for
// each linked pair the handset location, the card's id, version and UID,
// and what each side held (the base). An SQLite database in the per-user
// data folder, the user's alone (0600), one per address book, handset and
// category. Every change is committed as it is made, so a sync that stops
// midway leaves it true.
class SyncState
{
public:
    struct Pair
    {
        qint64 id = 0; // 0 until stored
        int location = 0;
        QString cardId;
        QString cardVersion;
        QString uid;
        PairBase base;
    };

    // The folder "sync" in the per-user data folder.
    static QString defaultFolder();

    // Opens (or makes) the state of the address book `identity` with the
    // handset of serial number `serial` (empty when it gives none). Throws
    // Q7Error when the database cannot be opened.
    SyncState(const QString& folder, const QString& identity, const QString& serial,
              const QString& category);
    ~SyncState();
    SyncState(const SyncState&) = delete;
    SyncState& operator=(const SyncState&) = delete;

    QList<Pair> pairs() const;
    // Inserts a new pair (id 0) or replaces a stored one; gives its id.
    qint64 store(const Pair& pair);
    void remove(qint64 id);

    // The address book's token of the last sync, for changesSince().
    QString token() const;
    void setToken(const QString& token);

    const QString& path() const { return m_path; }

    // Every state of the address book `identity` in `folder`, whatever its
    // handset and category, forgets its token: the next sync of each
    // compares every card's version instead of asking what changed. For
    // changes a token may not show: a server whose token is a hash of what
    // it holds (Xandikos) gives the token of before a sync again once cards
    // are put back as they were then. Throws Q7Error.
    static void forgetTokens(const QString& folder, const QString& identity);

private:
    void exec(const QString& statement, const QVariantList& values = {}) const;
    QString m_path;
    QString m_connection;
};

// The base as the state keeps it, and back.
QByteArray encodeBase(const PairBase& base);
PairBase decodeBase(const QByteArray& text);

} // namespace q7::sync
