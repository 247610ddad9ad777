// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/SyncEngine.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "editing/ContactMerge.h"
#include "link/CommandExchange.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/RetryingExchange.h"
#include "sync/CardMapping.h"

#include <QSet>
#include <algorithm>

namespace q7::sync {

namespace {

constexpr int kDeletionLimit = 10;
// Cards fetched at a time: the progress moves, and a stop waits no longer
// than one batch. A server's own batches are no larger.
constexpr qsizetype kFetchStep = 100;

QByteArray fieldText(const QString& text)
{
    return encodePc(text.normalized(QString::NormalizationForm_C)).left(kFieldWidth);
}

// The entry a write puts down to learn a free location. One left behind by
// a write the line cut short is no contact; the next write removes it.
bool isPlaceholder(const RecordStore& store, int location)
{
    return store.field(location, Name) == "HilfsDummy" &&
           store.field(location, Nummer1) == "123456";
}

bool tooMany(int deleted, int of)
{
    return deleted > kDeletionLimit || (of > 0 && deleted * 4 > of);
}

} // namespace

QString SyncItem::name() const
{
    if (handset && !handset->name.isEmpty())
        return handset->name;
    if (card && !card->name.isEmpty())
        return card->name;
    return pair ? pair->base.card.name : QString();
}

QString askSerialNumber(CommandExchange& exchange, OperationHost& host, const LanguageFile& texts)
{
    const Reply reply =
        exchangeAnswered(exchange, "AT+CGSN\r\n", host, texts.text(TextId::Datenlesen_keinedaten));
    if (!reply.isOk())
        return {};
    for (QByteArray line : reply.text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line == "OK" || line.toUpper().startsWith("AT"))
            continue;
        if (line.startsWith("+CGSN:"))
            line = line.mid(6).trimmed();
        return QString::fromLatin1(line).remove(u'"');
    }
    return {};
}

SyncRun::SyncRun(AddressBook& book, CommandExchange& exchange, const LanguageFile& texts,
                 OperationHost& host, SyncSettings settings)
    : m_book(book), m_exchange(exchange), m_texts(texts), m_host(host),
      m_settings(std::move(settings))
{
    m_context.countryCode = m_settings.countryCode;
    m_context.prefer = m_settings.prefer;
}

SyncRun::~SyncRun() = default;

void SyncRun::prepare()
{
    readHandset();
    m_state = std::make_unique<SyncState>(m_settings.stateFolder, m_book.identity(), m_serial,
                                          m_settings.category);
    try {
        readAddressBook();
    } catch (const EOperationCancelled&) {
        showIdle();
        if (stopping())
            throw EOperationStopped();
        throw;
    }
    linkUnlinked();
    plan();
    showIdle();
}

void SyncRun::stop()
{
    m_stopAsked = true;
    m_book.abort();
}

bool SyncRun::stopping()
{
    return m_stopAsked || m_host.stopRequested();
}

void SyncRun::showIdle()
{
    m_host.showStatus(m_texts.text(TextId::Statusleiste_Ruhezustand));
    m_host.setProgress(0);
}

void SyncRun::readHandset()
{
    m_serial = askSerialNumber(m_exchange, m_host, m_texts);
    m_read = readPhonebook(m_exchange, m_texts, m_host, RecordStore());
    m_image.takeRead(m_read);
}

ContactFields SyncRun::handsetView(const RecordStore& store, int record) const
{
    ContactFields fields{
        decodePc(store.field(record, Name)), {}, decodePc(store.field(record, Gruppe))};
    for (int slot = 1; slot <= 3; ++slot) {
        if (store.fieldIsEmpty(record, nummerField(slot)))
            continue;
        int image =
            NumberTypeImage(store.field(record, nummernartField(slot)), m_settings.typeNames);
        if (image == kUnknownNumberTypeImage)
            image = kFirstNumberTypeImage;
        fields.numbers << SyncNumber{decodePc(store.field(record, nummerField(slot))), image};
    }
    return fields;
}

bool SyncRun::holdsContact(int location) const
{
    return location >= 1 && location <= kRecordCount && m_read.isLive(location) &&
           !isPlaceholder(m_read, location);
}

void SyncRun::readAddressBook()
{
    if (stopping())
        throw EOperationStopped();
    m_host.showStatus(m_texts.text(TextId::Abgleich_Lesen));
    // The token describes the address book as this sync reads it, taken
    // before anything is written: what others change meanwhile comes as a
    // change next time, and this sync's own writes come back with the
    // versions stored for them.
    const std::optional<CardChanges> changes = changesSinceLastSync();
    m_token = changes ? changes->token : m_book.currentToken();
    m_listed = changes ? listedFrom(*changes) : m_book.list();
    QHash<QString, QString> stored;
    for (const SyncState::Pair& pair : m_state->pairs())
        stored.insert(pair.cardId, pair.cardVersion);
    // A card whose version is the one stored holds what it held then: the
    // base stands for it until it has to be changed. One without a version
    // (a conflict left open cleared it, and a server's changes since the
    // last sync need not name the card) is read, or its next write would
    // go out as a new card and be refused.
    QStringList toFetch;
    for (const CardVersion& card : std::as_const(m_listed))
        if (card.version.isEmpty() || stored.value(card.id) != card.version ||
            !stored.contains(card.id))
            toFetch << card.id;
    for (qsizetype at = 0; at < toFetch.size(); at += kFetchStep) {
        m_host.setStepProgress(int(at), int(toFetch.size()));
        if (stopping())
            throw EOperationStopped();
        for (const Card& card : m_book.fetch(toFetch.mid(at, kFetchStep)))
            m_fetched.insert(card.id, card);
    }
    m_host.setStepProgress(int(toFetch.size()), int(toFetch.size()));
    QList<CardVersion> listed;
    for (CardVersion card : std::as_const(m_listed)) {
        if (card.version.isEmpty()) {
            const auto fetched = m_fetched.constFind(card.id);
            if (fetched == m_fetched.cend())
                continue; // gone since
            card.version = fetched->version;
        }
        listed << card;
    }
    m_listed = listed;
}

// Only the changes are asked for when they tell the whole story: every
// contact on the handset has its card already, so no card that stayed the
// same is needed to link a new entry. A server then answers a sync with
// nothing to do in one request.
std::optional<CardChanges> SyncRun::changesSinceLastSync()
{
    if (m_state->token().isEmpty())
        return std::nullopt;
    QSet<int> paired;
    for (const SyncState::Pair& pair : m_state->pairs())
        paired.insert(pair.location);
    for (int location = 1; location <= kRecordCount; ++location)
        if (holdsContact(location) && !paired.contains(location))
            return std::nullopt;
    return m_book.changesSince(m_state->token());
}

// The cards as the last sync left them, with what changed since.
QList<CardVersion> SyncRun::listedFrom(const CardChanges& changes) const
{
    const QSet<QString> removed(changes.removed.cbegin(), changes.removed.cend());
    QHash<QString, QString> changed;
    for (const CardVersion& card : changes.changed)
        changed.insert(card.id, card.version);
    QList<CardVersion> listed;
    for (const SyncState::Pair& pair : m_state->pairs()) {
        if (removed.contains(pair.cardId))
            continue;
        listed << CardVersion{pair.cardId, changed.value(pair.cardId, pair.cardVersion)};
        changed.remove(pair.cardId);
    }
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        if (!removed.contains(it.key()))
            listed << CardVersion{it.key(), it.value()};
    return listed;
}

void SyncRun::linkUnlinked()
{
    const int cc = m_settings.countryCode;
    QHash<QString, QString> listed;
    for (const CardVersion& card : std::as_const(m_listed))
        listed.insert(card.id, card.version);

    QSet<int> claimed;
    QSet<QString> linkedCards;
    for (const SyncState::Pair& pair : m_state->pairs()) {
        SyncItem item;
        item.pair = pair;
        item.cardId = pair.cardId;
        item.uid = pair.uid;
        if (listed.contains(pair.cardId)) {
            item.cardVersion = listed.value(pair.cardId);
            if (const auto it = m_fetched.constFind(pair.cardId); it != m_fetched.cend()) {
                const CardMapping mapping(it->data, m_settings.category, cc);
                if (mapping.inCategory())
                    item.card = mapping.fields();
            } else {
                item.card = pair.base.card;
            }
        }
        if (holdsContact(pair.location) && !claimed.contains(pair.location)) {
            item.record = pair.location;
            item.handset = handsetView(m_read, pair.location);
            claimed.insert(pair.location);
        }
        linkedCards.insert(pair.cardId);
        m_items << item;
    }
    // Each pair had a card at the last sync.
    m_cardsBefore = static_cast<int>(m_items.size());

    // An entry moved to another location: the same name and numbers as the
    // handset held them at the last sync, at a location no pair names.
    QList<int> unlinked;
    for (int location = 1; location <= kRecordCount; ++location)
        if (holdsContact(location) && !claimed.contains(location))
            unlinked << location;
    for (SyncItem& item : m_items) {
        if (item.handset || !item.pair)
            continue;
        for (const int location : std::as_const(unlinked)) {
            const ContactFields view = handsetView(m_read, location);
            if (!claimed.contains(location) && sameFields(view, item.pair->base.handset, cc)) {
                item.record = location;
                item.handset = view;
                claimed.insert(location);
                break;
            }
        }
    }

    // The cards no pair holds, in the category, with a name.
    struct Unlinked
    {
        QString id;
        ContactFields fields;
        QString uid;
        bool taken = false;
    };
    QList<Unlinked> cards;
    QHash<QString, qsizetype> byNumber;
    QHash<QString, qsizetype> byName;
    for (const CardVersion& listedCard : std::as_const(m_listed)) {
        if (linkedCards.contains(listedCard.id) || !m_fetched.contains(listedCard.id))
            continue;
        const CardMapping mapping(m_fetched.value(listedCard.id).data, m_settings.category, cc);
        if (!mapping.inCategory())
            continue;
        ++m_cardsBefore;
        const ContactFields fields = mapping.fields();
        if (fields.name.trimmed().isEmpty())
            continue;
        // The first card of a number or a name is the one an entry finds.
        for (const SyncNumber& number : fields.numbers)
            if (const QString key = numberKey(number.number, cc); !byNumber.contains(key))
                byNumber.insert(key, cards.size());
        if (const QString key = foldedName(fields.name); !byName.contains(key))
            byName.insert(key, cards.size());
        cards << Unlinked{listedCard.id, fields, mapping.uid()};
    }
    // An entry and a card that share a number, or else the folded name, are
    // one contact: linked, never added twice.
    const auto take = [&](qsizetype index) {
        Unlinked& card = cards[index];
        card.taken = true;
        return card;
    };
    for (const int location : std::as_const(unlinked)) {
        if (claimed.contains(location))
            continue;
        SyncItem item;
        item.record = location;
        item.handset = handsetView(m_read, location);
        std::optional<qsizetype> match;
        for (const SyncNumber& number : item.handset->numbers)
            if (const auto it = byNumber.constFind(numberKey(number.number, cc));
                !match && it != byNumber.cend() && !cards[*it].taken)
                match = *it;
        if (const auto it = byName.constFind(foldedName(item.handset->name));
            !match && it != byName.cend() && !cards[*it].taken)
            match = *it;
        if (match) {
            const Unlinked& card = take(*match);
            item.cardId = card.id;
            item.cardVersion = listed.value(card.id);
            item.uid = card.uid;
            item.card = card.fields;
        }
        m_items << item;
    }
    // A card without a number has nothing the handset needs.
    for (const Unlinked& card : std::as_const(cards)) {
        if (card.taken || card.fields.numbers.isEmpty())
            continue;
        SyncItem item;
        item.cardId = card.id;
        item.cardVersion = listed.value(card.id);
        item.uid = card.uid;
        item.card = card.fields;
        m_items << item;
    }
}

void SyncRun::planItem(SyncItem& item)
{
    MergeContext context = m_context;
    context.choices = item.choices;
    item.merge = mergePair(item.pair ? std::optional<PairBase>(item.pair->base) : std::nullopt,
                           item.handset, item.card, context);
    if (!item.pair)
        item.merge.restored.reset(); // new on one side, not back
    item.handsetAction = item.cardAction = SyncItem::Action::None;
    item.leftOut = false;
    switch (item.merge.outcome) {
    case PairMerge::Outcome::DeleteHandset:
        item.handsetAction = SyncItem::Action::Delete;
        return;
    case PairMerge::Outcome::DeleteCard:
        item.cardAction = SyncItem::Action::Delete;
        return;
    case PairMerge::Outcome::Unlinked:
        return;
    case PairMerge::Outcome::Merged:
        break;
    }
    if (item.merge.handsetChanges)
        item.handsetAction = item.handset ? SyncItem::Action::Update : SyncItem::Action::New;
    if (item.merge.cardChanges)
        item.cardAction = item.card ? SyncItem::Action::Update : SyncItem::Action::New;
}

void SyncRun::plan()
{
    for (SyncItem& item : m_items)
        planItem(item);
    buildStore();
}

void SyncRun::choose(qsizetype index, const QString& key, Side side)
{
    m_items[index].choices.insert(key, side);
    planItem(m_items[index]);
    buildStore();
}

void SyncRun::leaveOpen(qsizetype index, const QString& key)
{
    m_items[index].choices.remove(key);
    planItem(m_items[index]);
    buildStore();
}

void SyncRun::buildStore()
{
    m_store = m_read;
    for (SyncItem& item : m_items) {
        if (item.handsetAction == SyncItem::Action::None)
            continue;
        if (item.handsetAction == SyncItem::Action::Delete) {
            m_store.setField(item.record, Name, kDeletionMarker);
            m_store.setField(item.record, ChangedFlag, kChangedYes);
            continue;
        }
        int record = item.record;
        item.newRecord = 0;
        if (item.handsetAction == SyncItem::Action::New) {
            record = m_store.FindFreeMemoryRecord();
            if (record == 0)
                record = m_store.FindFreeSimRecord();
            if (record == 0) {
                item.leftOut = true;
                continue;
            }
            m_store.clearEntry(record);
            m_store.setField(record, Speicherplatz, QByteArray::number(record));
            for (int slot = 1; slot <= 3; ++slot)
                m_store.setField(record, nummerField(slot) - 2, "TELNO");
            m_store.setField(record, ZusatzTag1, "CUSTOM");
            m_store.setField(record, ZusatzTag2, "CUSTOM");
            item.newRecord = record;
        }
        applyFields(record, item.merge.handset);
        m_store.setField(record, ChangedFlag, kChangedYes);
    }
    m_plan = planWrite(m_store, m_image, true, false);
}

void SyncRun::applyFields(int record, const ContactFields& fields)
{
    const int cc = m_settings.countryCode;
    m_store.setField(record, Name, fieldText(fields.name));
    m_store.setField(record, Gruppe, fieldText(fields.group));
    // The numbers the entry holds keep their slots; new ones take free ones.
    QList<SyncNumber> rest = fields.numbers;
    QList<int> freeSlots;
    for (int slot = 1; slot <= 3; ++slot) {
        if (m_store.fieldIsEmpty(record, nummerField(slot))) {
            freeSlots << slot;
            continue;
        }
        const QString key = numberKey(decodePc(m_store.field(record, nummerField(slot))), cc);
        const auto wanted = std::find_if(rest.begin(), rest.end(), [&](const SyncNumber& number) {
            return numberKey(number.number, cc) == key;
        });
        if (wanted == rest.end()) {
            m_store.setField(record, nummernartField(slot), {});
            m_store.setField(record, nummerField(slot), {});
            freeSlots << slot;
            continue;
        }
        int image =
            NumberTypeImage(m_store.field(record, nummernartField(slot)), m_settings.typeNames);
        if (image == kUnknownNumberTypeImage)
            image = kFirstNumberTypeImage;
        if (image != wanted->image)
            m_store.setField(
                record, nummernartField(slot),
                m_settings
                    .typeNames[static_cast<std::size_t>(wanted->image - kFirstNumberTypeImage)]);
        rest.erase(wanted);
    }
    std::sort(freeSlots.begin(), freeSlots.end());
    for (const SyncNumber& number : std::as_const(rest)) {
        if (freeSlots.isEmpty())
            break;
        const int slot = freeSlots.takeFirst();
        m_store.setField(record, nummerField(slot) - 2, "TELNO");
        m_store.setField(
            record, nummernartField(slot),
            m_settings.typeNames[static_cast<std::size_t>(number.image - kFirstNumberTypeImage)]);
        m_store.setField(record, nummerField(slot), fieldText(number.number));
    }
}

SyncCounts SyncRun::counts() const
{
    SyncCounts counts;
    for (const SyncItem& item : m_items) {
        if (item.leftOut)
            continue;
        counts.handsetNew += item.handsetAction == SyncItem::Action::New;
        counts.handsetChanged += item.handsetAction == SyncItem::Action::Update;
        counts.handsetDeleted += item.handsetAction == SyncItem::Action::Delete;
        counts.cardsNew += item.cardAction == SyncItem::Action::New;
        counts.cardsChanged += item.cardAction == SyncItem::Action::Update;
        counts.cardsDeleted += item.cardAction == SyncItem::Action::Delete;
        counts.conflicts += static_cast<int>(item.merge.conflicts.size());
    }
    return counts;
}

int SyncRun::handsetEntries() const
{
    int entries = 0;
    for (int location = 1; location <= kRecordCount; ++location)
        entries += holdsContact(location) ? 1 : 0;
    return entries;
}

bool SyncRun::deletesTooMuch() const
{
    const SyncCounts planned = counts();
    return tooMany(planned.handsetDeleted, handsetEntries()) ||
           tooMany(planned.cardsDeleted, m_cardsBefore);
}

QString SyncRun::deletionWarning() const
{
    const SyncCounts planned = counts();
    return fillIn(m_texts.text(TextId::Abgleich_Loeschschutz),
                  {QString::number(planned.handsetDeleted), QString::number(handsetEntries()),
                   QString::number(planned.cardsDeleted), QString::number(m_cardsBefore)});
}

} // namespace q7::sync
