// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardRestore.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "sync/CardDavAddressBook.h"
#include "sync/CardMapping.h"

#include <QHash>
#include <QUuid>

namespace q7::sync {

namespace {

// An id a copy names is taken only as a plain name below the address book.
bool plainId(const QString& id)
{
    return !id.isEmpty() && !id.contains(u'/') && !id.contains(u'\\') && !id.startsWith(u'.');
}

} // namespace

CardRestore::CardRestore(AddressBook& book, QList<KeptCard> cards, const LanguageFile& texts,
                         QString stateFolder)
    : m_book(book), m_cards(std::move(cards)), m_texts(texts), m_stateFolder(std::move(stateFolder))
{}

void CardRestore::plan()
{
    m_items.clear();
    QHash<QString, QString> listed;
    for (const CardVersion& card : m_book.list())
        listed.insert(card.id, card.version);

    for (const KeptCard& kept : std::as_const(m_cards)) {
        const CardMapping mapping(kept.data);
        Item item;
        item.id = plainId(kept.id) ? kept.id : QString();
        item.uid = mapping.uid();
        item.name = mapping.fields().name;
        item.data = kept.data;
        m_items << item;
    }

    // A card whose id is gone may live on under another id with the same
    // UID (a server that renamed it, a folder another program tidied):
    // putting it back there keeps it one card. Only then is every card read.
    bool anyGone = false;
    for (const Item& item : std::as_const(m_items))
        anyGone = anyGone || !listed.contains(item.id);
    QHash<QString, QString> idOfUid;
    QHash<QString, Card> there;
    if (anyGone) {
        for (const Card& card : m_book.fetch(listed.keys())) {
            there.insert(card.id, card);
            if (const QString uid = CardMapping(card.data).uid(); !uid.isEmpty())
                idOfUid.insert(uid, card.id);
        }
    }
    QStringList toFetch;
    for (Item& item : m_items) {
        if (!listed.contains(item.id) && !item.uid.isEmpty() && idOfUid.contains(item.uid))
            item.id = idOfUid.value(item.uid);
        if (listed.contains(item.id) && !there.contains(item.id))
            toFetch << item.id;
    }
    for (const Card& card : m_book.fetch(toFetch))
        there.insert(card.id, card);

    for (Item& item : m_items) {
        const auto now = there.constFind(item.id);
        if (now == there.cend()) {
            item.action = Item::Action::New;
            continue;
        }
        item.version = now->version;
        item.action =
            sameCard(now->data, item.data) ? Item::Action::Unchanged : Item::Action::Replace;
    }
}

bool CardRestore::anythingToDo() const
{
    for (const Item& item : m_items)
        if (item.action != Item::Action::Unchanged)
            return true;
    return false;
}

QStringList CardRestore::planLines() const
{
    QStringList lines{fillIn(m_texts.text(TextId::Abgleich_Adressbuch), {m_book.displayName()})};
    for (const Item& item : m_items) {
        const TextId line = item.action == Item::Action::New       ? TextId::Kartenkopien_Neu
                            : item.action == Item::Action::Replace ? TextId::Kartenkopien_Ersetzt
                                                                   : TextId::Kartenkopien_Gleich;
        lines << QStringLiteral("  ") + fillIn(m_texts.text(line), {item.shownName()});
    }
    return lines;
}

CardRestore::Result CardRestore::carryOut(OperationHost& host)
{
    Result result;
    host.showStatus(m_texts.text(TextId::Abgleich_Schreiben));
    // Before the first card, so that a restore cut short leaves no token
    // that hides the cards it put back.
    if (anythingToDo())
        SyncState::forgetTokens(m_stateFolder, m_book.identity());
    for (Item& item : m_items) {
        if (item.action == Item::Action::Unchanged)
            continue;
        if (host.stopRequested()) {
            result.stopped = true;
            break;
        }
        // A card without a UID gets one, or it would have no name to go by.
        const QString uid = item.uid.isEmpty() && item.id.isEmpty()
                                ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                                : item.uid;
        const std::optional<CardVersion> stored =
            m_book.put(item.id, uid, item.data,
                       item.action == Item::Action::Replace ? item.version : QString());
        if (!stored) {
            result.problems << fillIn(m_texts.text(TextId::Kartenkopien_SeitdemGeaendert),
                                      {item.shownName()});
            continue;
        }
        ++result.restored;
    }
    host.showStatus(m_texts.text(TextId::Statusleiste_Ruhezustand));
    return result;
}

QStringList CardRestore::summaryLines(const Result& result) const
{
    QStringList lines;
    if (!anythingToDo())
        lines << m_texts.text(TextId::Kartenkopien_Nichts);
    else
        lines << fillIn(m_texts.text(TextId::Kartenkopien_Fertig),
                        {cardCount(result.restored, m_texts), m_book.displayName()});
    lines << result.problems;
    if (result.stopped)
        lines << m_texts.text(TextId::Kartenkopien_Angehalten);
    else if (result.restored > 0)
        lines << m_texts.text(TextId::Kartenkopien_Hinweis);
    return lines;
}

} // namespace q7::sync
