// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Snapshots.h"
#include "sync/AddressBook.h"
#include "sync/SyncState.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace q7 {
class LanguageFile;
class OperationHost;
} // namespace q7

namespace q7::sync {

// The cards a sync kept before it changed or deleted them, put back into
// their address book: each under the id it had, else where a card of its
// UID lives now, else as a new card under its old id. Planned first from
// the address book as it is, then carried out with the versions the plan
// saw as preconditions, so that a card someone changed meanwhile is left
// alone and named.
//
// The pairs of the sync state stay as they are, and that keeps them true:
// a card put back has a new version, so the next sync reads it as changed
// on the address book's side and brings it to the handset rather than
// undoing it; a card the sync had deleted comes back unlinked, and the next
// sync links it with its entry or makes one for it, as any new card. Only
// the address book's token is forgotten, since a server may hand out the
// very token of before the sync again once its cards are as they were.
class CardRestore
{
public:
    struct Item
    {
        enum class Action
        {
            Unchanged, // the card there holds this already
            Replace,
            New,
        };
        Action action = Action::New;
        QString id;      // where it goes; empty: an id made from its UID
        QString version; // of the card there now, when it replaces one
        QString uid;
        QString name;
        QByteArray data; // as it was kept

        // What the user knows the card by: its name, else its UID.
        QString shownName() const { return name.isEmpty() ? uid : name; }
    };
    struct Result
    {
        int restored = 0;
        QStringList problems; // by name
        bool stopped = false;
    };

    // `stateFolder`: where the sync states are, of which those of this
    // address book forget their tokens once a card is put back.
    CardRestore(AddressBook& book, QList<KeptCard> cards, const LanguageFile& texts,
                QString stateFolder = SyncState::defaultFolder());

    // Reads the address book and plans. Throws Q7Error.
    void plan();
    const QList<Item>& items() const { return m_items; }
    // "Adressbuch …:", then one line for each card and what happens to it.
    QStringList planLines() const;
    bool anythingToDo() const;

    // Puts the planned cards; stops between cards when the host asks.
    // Throws Q7Error when the address book fails: the cards put so far stay.
    Result carryOut(OperationHost& host);
    QStringList summaryLines(const Result& result) const;

private:
    AddressBook& m_book;
    QList<KeptCard> m_cards;
    const LanguageFile& m_texts;
    QList<Item> m_items;
    QString m_stateFolder;
};

} // namespace q7::sync
