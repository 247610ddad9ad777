// SPDX-License-Identifier: GPL-3.0-or-later
// Carrying a sync's plan out: the handset's part first, then the address
// book's, each change recorded in the state as it is done.
#include "sync/SyncEngine.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/CommandExchange.h"
#include "sync/CardMapping.h"

#include <QSet>
#include <QUuid>
#include <algorithm>

namespace q7::sync {

QByteArray SyncRun::cardData(const SyncItem& item)
{
    if (!m_fetched.contains(item.cardId))
        for (const Card& card : m_book.fetch({item.cardId}))
            m_fetched.insert(card.id, card);
    return m_fetched.value(item.cardId).data;
}

// Every card the sync changes or deletes, as it was, in one vCard file beside
// the handset's snapshots, with the address book and the ids to put it back.
void SyncRun::keepCopies()
{
    QList<KeptCard> copies;
    for (const SyncItem& item : m_items)
        if (item.cardAction == SyncItem::Action::Update ||
            item.cardAction == SyncItem::Action::Delete)
            if (const QByteArray data = cardData(item); !data.isEmpty())
                copies << KeptCard{item.cardId, data};
    keepCopies(copies);
}

void SyncRun::keepCopies(const QList<KeptCard>& copies)
{
    Snapshots(m_settings.snapshotFolder.isEmpty() ? Snapshots::defaultFolder()
                                                  : m_settings.snapshotFolder,
              m_settings.snapshotsKept)
        .keepCards(copies, m_book.identity(), m_book.displayName());
}

int SyncRun::locationAfter(const SyncItem& item) const
{
    if (item.handsetAction == SyncItem::Action::New)
        return item.newRecord == 0 ? 0 : recordLocation(m_store, item.newRecord).value_or(0);
    return item.handsetAction == SyncItem::Action::Delete ? 0 : item.record;
}

bool SyncRun::handsetDone(const SyncItem& item, const TransferResult& written) const
{
    if (item.leftOut)
        return false;
    switch (item.handsetAction) {
    case SyncItem::Action::None:
        return true;
    case SyncItem::Action::Delete:
        return !m_image.holdsEntry(item.record);
    case SyncItem::Action::New:
    case SyncItem::Action::Update:
        break;
    }
    const int record = item.handsetAction == SyncItem::Action::New ? item.newRecord : item.record;
    const int location = locationAfter(item);
    if (item.leftOut || location == 0 || written.failedRecords.contains(record) ||
        !m_image.holdsEntry(location))
        return false;
    // What the check after the write found otherwise was written all the same.
    const bool checked =
        std::any_of(written.differences.begin(), written.differences.end(),
                    [&](const auto& difference) { return difference.record == record; });
    return checked || differingFields(m_store, record, m_image.entries(), location).isEmpty();
}

void SyncRun::storePair(const SyncItem& item, const std::optional<Card>& written)
{
    const int cc = m_settings.countryCode;
    const auto outcome = item.merge.outcome;
    if (outcome != PairMerge::Outcome::Merged) {
        if (item.pair)
            m_state->remove(item.pair->id);
        return;
    }
    const int location = locationAfter(item);
    if (location == 0 || (!written && item.cardId.isEmpty()))
        return; // one side only: linked once both are there
    SyncState::Pair pair = item.pair.value_or(SyncState::Pair{});
    pair.location = location;
    pair.uid = item.uid;
    ContactFields cardNow;
    if (written) {
        pair.cardId = written->id;
        pair.cardVersion = written->version;
        cardNow = CardMapping(written->data, m_settings.category, cc).fields();
    } else {
        pair.cardId = item.cardId;
        pair.cardVersion = item.cardVersion;
        cardNow = *item.card;
    }
    // A card whose version is the stored one is not read again: its base
    // stands for it. A conflict left open keeps the old base, which the card
    // no longer holds, so the card must be read next time.
    if (!item.merge.conflicts.isEmpty())
        pair.cardVersion.clear();
    // The handset holds what the first merge gave it, short of what the card
    // changed meanwhile: against the card as it was then, the next sync sees
    // that change on the card's side and brings it to the handset.
    if (item.handsetBehind && item.plannedCard) {
        cardNow = *item.plannedCard;
        pair.cardVersion.clear();
    }
    const std::optional<PairBase> old =
        item.pair ? std::optional<PairBase>(item.pair->base) : std::nullopt;
    pair.base.handset = baseAfter(handsetView(m_image.entries(), location),
                                  old ? std::optional<ContactFields>(old->handset) : std::nullopt,
                                  item.merge.conflicts, cc);
    pair.base.card =
        baseAfter(cardNow, old ? std::optional<ContactFields>(old->card) : std::nullopt,
                  item.merge.conflicts, cc);
    if (item.pair && item.pair->location == pair.location && item.pair->cardId == pair.cardId &&
        item.pair->cardVersion == pair.cardVersion && item.pair->uid == pair.uid &&
        encodeBase(item.pair->base) == encodeBase(pair.base))
        return; // a sync with nothing to do writes nothing
    m_state->store(pair);
}

QSet<qsizetype> SyncRun::writeHandset(SyncResult& result)
{
    QSet<qsizetype> done;
    const auto collect = [&](const TransferResult& written) {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const SyncItem& item = m_items[i];
            if (!handsetDone(item, written))
                continue;
            done.insert(i);
            result.done.handsetNew += item.handsetAction == SyncItem::Action::New;
            result.done.handsetChanged += item.handsetAction == SyncItem::Action::Update;
            result.done.handsetDeleted += item.handsetAction == SyncItem::Action::Delete;
        }
    };
    TransferResult written(TransferResult::Operation::Write);
    if (m_plan.isEmpty()) {
        collect(written);
        return done;
    }
    Snapshots(m_settings.snapshotFolder.isEmpty() ? Snapshots::defaultFolder()
                                                  : m_settings.snapshotFolder,
              m_settings.snapshotsKept)
        .keep(m_image, SnapshotReason::BeforeWrite);
    try {
        writePlanned(m_exchange, m_texts, m_host, m_store, m_image, m_plan, m_settings.verify,
                     written);
    } catch (...) {
        // What the handset took is kept where the address book has nothing
        // to add; the rest waits for the next sync.
        collect(written);
        for (const qsizetype i : std::as_const(done))
            if (m_items[i].cardAction == SyncItem::Action::None &&
                m_items[i].handsetAction != SyncItem::Action::None)
                storePair(m_items[i], std::nullopt);
        throw;
    }
    collect(written);
    result.stopped = written.stopped;
    if (!written.failedRecords.isEmpty() || !written.differences.isEmpty())
        result.problems << transferReport(m_store, written, m_texts);
    return done;
}

// A card someone changed between the plan and the write is read again and
// merged once more, then written with its new version; a second change in
// that short while is left to the next sync.
std::optional<Card> SyncRun::putChanged(SyncItem& item, SyncResult& result)
{
    const int cc = m_settings.countryCode;
    CardMapping card(cardData(item), m_settings.category, cc);
    card.apply(item.merge.card);
    if (const std::optional<CardVersion> stored =
            m_book.put(item.cardId, item.uid, card.data(), item.cardVersion)) {
        ++result.done.cardsChanged;
        return Card{stored->id, stored->version, card.data()};
    }
    const std::optional<Card> now = mergeAgain(item);
    if (!now)
        return std::nullopt;
    if (!item.merge.cardChanges)
        return now; // it holds already what the merge wants
    keepCopies({KeptCard{item.cardId, now->data}});
    CardMapping again(now->data, m_settings.category, cc);
    again.apply(item.merge.card);
    const std::optional<CardVersion> stored =
        m_book.put(item.cardId, item.uid, again.data(), now->version);
    if (!stored)
        return std::nullopt;
    ++result.done.cardsChanged;
    return Card{stored->id, stored->version, again.data()};
}

// The three-way merge once more, with the card as it is now and the handset
// as it was read: its part is written already and stays as planned.
std::optional<Card> SyncRun::mergeAgain(SyncItem& item)
{
    const int cc = m_settings.countryCode;
    const QList<Card> fetched = m_book.fetch({item.cardId});
    if (fetched.isEmpty())
        return std::nullopt; // deleted meanwhile: the next sync sees it
    const Card& now = fetched.first();
    const CardMapping mapping(now.data, m_settings.category, cc);
    if (!mapping.inCategory())
        return std::nullopt;
    MergeContext context = m_context;
    context.choices = item.choices;
    PairMerge merge = mergePair(item.pair ? std::optional<PairBase>(item.pair->base) : std::nullopt,
                                item.handset, mapping.fields(), context);
    if (merge.outcome != PairMerge::Outcome::Merged)
        return std::nullopt;
    if (!item.pair)
        merge.restored.reset();
    item.handsetBehind =
        !sameFields(handsetProjection(merge.handset), handsetProjection(item.merge.handset), cc);
    item.plannedCard = item.card;
    item.card = mapping.fields();
    item.cardVersion = now.version;
    item.merge = std::move(merge);
    m_fetched.insert(now.id, now);
    return now;
}

void SyncRun::writeAddressBook(SyncResult& result, const QSet<qsizetype>& handsetDone)
{
    m_host.showStatus(m_texts.text(TextId::Abgleich_Schreiben));
    // Stopped or the address book gone midway: the entries the handset took
    // that need nothing of it are linked all the same, so that the state
    // stays true and the next run finds both sides of them in step.
    const auto linkFrom = [&](qsizetype first) {
        for (qsizetype rest = first; rest < m_items.size(); ++rest)
            if (handsetDone.contains(rest) && !m_items[rest].leftOut &&
                m_items[rest].cardAction == SyncItem::Action::None)
                storePair(m_items[rest], std::nullopt);
    };
    const auto writes = [&](qsizetype index) {
        return handsetDone.contains(index) && !m_items[index].leftOut &&
               m_items[index].cardAction != SyncItem::Action::None;
    };
    int total = 0;
    for (qsizetype i = 0; i < m_items.size(); ++i)
        total += writes(i) ? 1 : 0;
    int written = 0;
    m_host.setStepProgress(0, total);
    qsizetype i = 0;
    try {
        for (; i < m_items.size(); ++i) {
            if (!writeCard(i, result, handsetDone)) {
                linkFrom(i);
                return;
            }
            if (writes(i))
                m_host.setStepProgress(++written, total);
        }
    } catch (const EOperationCancelled&) {
        linkFrom(i + 1);
        if (!stopping())
            throw;
        // Stopped in the middle of a request: whether the server took it is
        // not known, so the pair stays as it was. The next sync finds the
        // card as it is and merges again; a card it made is linked by its
        // number, never made twice.
        result.stopped = true;
    } catch (...) {
        linkFrom(i + 1);
        throw;
    }
}

bool SyncRun::writeCard(qsizetype i, SyncResult& result, const QSet<qsizetype>& handsetDone)
{
    const int cc = m_settings.countryCode;
    SyncItem& item = m_items[i];
    // An entry the handset did not take leaves its pair as it was: the
    // next sync merges it again from the same base.
    if (item.leftOut || !handsetDone.contains(i))
        return true;
    if (item.cardAction != SyncItem::Action::None && stopping()) {
        result.stopped = true;
        return false;
    }
    std::optional<Card> written;
    switch (item.cardAction) {
    case SyncItem::Action::None:
        break;
    case SyncItem::Action::New: {
        std::optional<CardVersion> stored;
        QByteArray data;
        for (int attempt = 0; attempt < 2 && !stored; ++attempt) {
            item.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
            CardMapping card = CardMapping::newCard(item.uid, m_settings.category, cc);
            card.apply(item.merge.card);
            data = card.data();
            stored = m_book.put({}, item.uid, data, {});
        }
        if (!stored) {
            result.problems << item.name();
            return true;
        }
        written = Card{stored->id, stored->version, data};
        ++result.done.cardsNew;
        break;
    }
    case SyncItem::Action::Update:
        written = putChanged(item, result);
        if (!written) {
            result.problems << fillIn(m_texts.text(TextId::Abgleich_SeitdemGeaendert),
                                      {item.name()});
            return true;
        }
        break;
    case SyncItem::Action::Delete:
        if (!m_book.remove(item.cardId, item.cardVersion)) {
            result.problems << fillIn(m_texts.text(TextId::Abgleich_SeitdemGeaendert),
                                      {item.name()});
            return true;
        }
        ++result.done.cardsDeleted;
        break;
    }
    storePair(item, written);
    return true;
}

SyncResult SyncRun::carryOut()
{
    SyncResult result;
    try {
        keepCopies();
    } catch (const EOperationCancelled&) {
        if (!stopping())
            throw;
        showIdle();
        result.stopped = true; // before anything was changed
        return result;
    }
    const QSet<qsizetype> done = writeHandset(result);
    if (result.stopped) {
        for (const qsizetype i : done)
            if (m_items[i].cardAction == SyncItem::Action::None)
                storePair(m_items[i], std::nullopt);
        return result;
    }
    writeAddressBook(result, done);
    showIdle();
    if (!result.stopped)
        m_state->setToken(m_token);
    for (const SyncItem& item : std::as_const(m_items))
        result.conflictsLeft += item.leftOut ? 0 : static_cast<int>(item.merge.conflicts.size());
    return result;
}

RecordStore SyncRun::handsetNow() const
{
    RecordStore store = m_image.entries();
    for (int record = 1; record <= kRecordCount; ++record)
        if (store.holdsEntry(record))
            store.setField(record, ChangedFlag, kChangedNo);
    return store;
}

} // namespace q7::sync
