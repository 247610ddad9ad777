// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/SyncEngine.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "editing/ContactMerge.h"
#include "fileio/FileAccess.h"
#include "fileio/Snapshots.h"
#include "link/CommandExchange.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/RetryingExchange.h"
#include "sync/CardMapping.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QUuid>
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

QString numbersText(const QList<SyncNumber>& numbers, const NumberTypeNames& typeNames)
{
    QStringList parts;
    for (const SyncNumber& number : numbers)
        parts << decodePc(
                     typeNames[static_cast<std::size_t>(number.image - kFirstNumberTypeImage)]) +
                     u' ' + number.number;
    return parts.join(QStringLiteral(", "));
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

QString SyncRun::fieldLabel(const FieldConflict& conflict) const
{
    switch (conflict.field) {
    case FieldConflict::Field::Name:
        return m_texts.text(TextId::Plan_Name);
    case FieldConflict::Field::Group:
        return m_texts.text(TextId::Plan_Gruppe);
    case FieldConflict::Field::NumberType:
        break;
    }
    return fillIn(m_texts.text(TextId::Plan_Nummer), {conflict.key.mid(4)});
}

// A value of a conflict as the user reads it: a number's type by its name.
QString SyncRun::conflictValue(const FieldConflict& conflict, const SyncItem& item, Side side) const
{
    if (conflict.field != FieldConflict::Field::NumberType)
        return side == Side::Handset ? conflict.handsetValue : conflict.cardValue;
    const std::optional<ContactFields>& fields = side == Side::Handset ? item.handset : item.card;
    for (const SyncNumber& number : fields ? fields->numbers : QList<SyncNumber>())
        if (numberKey(number.number, m_settings.countryCode) == conflict.key.mid(4))
            return numbersText({number}, m_settings.typeNames);
    return {};
}

QStringList SyncRun::cardChangeLines(const SyncItem& item) const
{
    const QString plain = QStringLiteral("  %1: %2");
    switch (item.cardAction) {
    case SyncItem::Action::None:
        return {};
    case SyncItem::Action::New:
        return {plain.arg(m_texts.text(TextId::Abgleich_Neu), item.merge.card.name) +
                QStringLiteral("  ") + numbersText(item.merge.card.numbers, m_settings.typeNames)};
    case SyncItem::Action::Delete:
        return {plain.arg(m_texts.text(TextId::Abgleich_Geloescht), item.name())};
    case SyncItem::Action::Update:
        break;
    }
    const ContactFields& from = *item.card;
    const ContactFields& to = item.merge.card;
    QStringList changes;
    const QString arrow = QStringLiteral("%1 %2 → %3");
    if (from.name != to.name)
        changes << arrow.arg(m_texts.text(TextId::Plan_Name), from.name, to.name);
    if (from.group != to.group)
        changes << arrow.arg(m_texts.text(TextId::Plan_Gruppe), from.group, to.group);
    if (!sameFields({{}, from.numbers, {}}, {{}, to.numbers, {}}, m_settings.countryCode))
        changes << arrow.arg(m_texts.text(TextId::Contexmenu_Nummer),
                             numbersText(from.numbers, m_settings.typeNames),
                             numbersText(to.numbers, m_settings.typeNames));
    return {plain.arg(m_texts.text(TextId::Abgleich_Geaendert), from.name) + QStringLiteral(": ") +
            changes.join(QStringLiteral("; "))};
}

QStringList SyncRun::planLines() const
{
    QStringList lines;
    lines << m_texts.text(TextId::Abgleich_Handy);
    for (const PlanItem& item : m_plan.items)
        if (item.isSent())
            lines << planLine(item, m_store, m_image, m_texts);
    lines << QStringLiteral("  ") + planCounts(m_plan, m_texts);

    lines << fillIn(m_texts.text(TextId::Abgleich_Adressbuch), {m_book.displayName()});
    for (const SyncItem& item : m_items)
        if (!item.leftOut)
            lines << cardChangeLines(item);
    const SyncCounts planned = counts();
    lines << QStringLiteral("  ") +
                 fillIn(m_texts.text(TextId::Abgleich_Summe),
                        {QString::number(planned.cardsNew), QString::number(planned.cardsChanged),
                         QString::number(planned.cardsDeleted)});
    lines << noteLines();
    return lines;
}

// The conflicts, the entries that come back and the cards left out.
QStringList SyncRun::noteLines() const
{
    QStringList lines;
    QStringList leftOut;
    for (const SyncItem& item : m_items) {
        if (item.leftOut) {
            leftOut << item.name();
            continue;
        }
        for (const FieldConflict& conflict : item.merge.conflicts)
            lines << fillIn(m_texts.text(TextId::Abgleich_Konflikt),
                            {item.name(), fieldLabel(conflict),
                             conflictValue(conflict, item, Side::Handset),
                             conflictValue(conflict, item, Side::AddressBook)});
        if (item.merge.restored)
            lines << fillIn(m_texts.text(*item.merge.restored == Side::Handset
                                             ? TextId::Abgleich_ZurueckHandy
                                             : TextId::Abgleich_ZurueckAdressbuch),
                            {item.name()});
    }
    if (!leftOut.isEmpty())
        lines << fillIn(m_texts.text(TextId::Abgleich_KeinPlatz),
                        {leftOut.join(QStringLiteral(", "))});
    return lines;
}

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

QStringList SyncRun::summaryLines(const SyncResult& result) const
{
    QStringList lines;
    const SyncCounts& done = result.done;
    if (done.inStep() && result.problems.isEmpty() && !result.stopped &&
        result.conflictsLeft == 0) {
        lines << m_texts.text(TextId::Abgleich_Gleichstand);
    } else {
        const QString summe = m_texts.text(TextId::Abgleich_Summe);
        lines << fillIn(
            m_texts.text(TextId::Abgleich_Fertig),
            {fillIn(summe, {QString::number(done.handsetNew), QString::number(done.handsetChanged),
                            QString::number(done.handsetDeleted)}),
             fillIn(summe, {QString::number(done.cardsNew), QString::number(done.cardsChanged),
                            QString::number(done.cardsDeleted)})});
    }
    lines << noteLines();
    if (result.conflictsLeft > 0)
        lines << fillIn(m_texts.text(TextId::Abgleich_KonflikteOffen),
                        {QString::number(result.conflictsLeft)});
    lines << result.problems;
    if (result.stopped)
        lines << m_texts.text(TextId::Abgleich_Angehalten);
    return lines;
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
