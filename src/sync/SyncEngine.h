// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Snapshots.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"
#include "sync/AddressBook.h"
#include "sync/SyncMerge.h"
#include "sync/SyncState.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace q7 {
class CommandExchange;
class LanguageFile;
class OperationHost;
} // namespace q7

namespace q7::sync {

struct SyncSettings
{
    QString category;           // only the cards of this category; empty: all
    std::optional<Side> prefer; // settles every conflict the user did not choose
    int countryCode = 49;
    NumberTypeNames typeNames = defaultNumberTypeNames();
    QString stateFolder = SyncState::defaultFolder();
    QString snapshotFolder; // empty: the snapshots' own folder
    int snapshotsKept = 50;
    bool verify = true; // read back what was written to the handset
};

// One pair of the plan: a handset entry and a card, either of them gone or
// new, and what the merge made of them.
struct SyncItem
{
    enum class Action
    {
        None,
        New,
        Update,
        Delete,
    };
    std::optional<SyncState::Pair> pair; // as stored; none for a link this sync makes
    int record = 0;                      // the entry's location as read, 0 when none
    int newRecord = 0;                   // the record a new entry takes in the store
    QString cardId;
    QString cardVersion;
    QString uid;
    std::optional<ContactFields> handset; // as read
    std::optional<ContactFields> card;    // as read (or its base, when its version is the same)
    PairMerge merge;
    Action handsetAction = Action::None;
    Action cardAction = Action::None;
    bool leftOut = false;         // a card that found no room on the handset
    QHash<QString, Side> choices; // conflicts the user settled, by key
    // The card changed between the plan and the write and was merged once
    // more: what it held when the handset's part was planned, and whether
    // the handset now holds less than that second merge wants of it.
    std::optional<ContactFields> plannedCard;
    bool handsetBehind = false;

    QString name() const; // as the plan names it
};

struct SyncCounts
{
    int handsetNew = 0, handsetChanged = 0, handsetDeleted = 0;
    int cardsNew = 0, cardsChanged = 0, cardsDeleted = 0;
    int conflicts = 0;
    bool inStep() const
    {
        return handsetNew + handsetChanged + handsetDeleted + cardsNew + cardsChanged +
                   cardsDeleted ==
               0;
    }
};

struct SyncResult
{
    SyncCounts done;
    QStringList problems; // what did not get through, by name
    bool stopped = false;
    int conflictsLeft = 0;
};

// A sync of the handset with an address book, in two steps: prepare()
// reads both sides and plans, the caller shows the plan and settles
// conflicts, then carryOut() changes both sides. The handset's part is a
// write plan carried out by the writer like every write.
class SyncRun
{
public:
    SyncRun(AddressBook& book, CommandExchange& exchange, const LanguageFile& texts,
            OperationHost& host, SyncSettings settings);
    ~SyncRun();

    // Reads the handset (the search must have found it) and the address
    // book, opens the state and plans. Throws Q7Error; EOperationStopped
    // when the user stopped it, before anything was changed.
    void prepare();

    // The user stopped the sync (Anhalten): a request to the address book
    // under way ends at once, and the run stops before its next card. The
    // handset's part stops after its record, when the host says so.
    void stop();

    const QList<SyncItem>& items() const { return m_items; }
    // Settles conflict `key` of item `index` for one side, or leaves it
    // open again; the plan follows.
    void choose(qsizetype index, const QString& key, Side side);
    void leaveOpen(qsizetype index, const QString& key);
    // "Name", "Gruppe", "Nummer 0171…": the field of a conflict.
    QString fieldLabel(const FieldConflict& conflict) const;
    // One side's value of a conflict as the user reads it.
    QString conflictValue(const FieldConflict& conflict, const SyncItem& item, Side side) const;

    SyncCounts counts() const;
    // Deletions beyond 10 or a quarter of either side: the user must agree.
    bool deletesTooMuch() const;
    QString deletionWarning() const;

    // The handset's part, as every write shows it, and the store it writes.
    const WritePlan& handsetPlan() const { return m_plan; }
    const RecordStore& store() const { return m_store; }
    const HandsetImage& image() const { return m_image; }
    // The whole plan as lines: the handset's part, the address book's part,
    // the conflicts, entries that come back, cards left out.
    QStringList planLines() const;

    // Carries the plan out: a snapshot of the handset and copies of the
    // cards it changes or deletes first, then the handset, then the address
    // book; each pair's state is stored once both its sides are done. A
    // stop is a result (stopped), not an exception.
    SyncResult carryOut();
    QStringList summaryLines(const SyncResult& result) const;

    // The handset as it is after the sync, as a read leaves the window's store.
    RecordStore handsetNow() const;

    const QString& serial() const { return m_serial; }
    const SyncState* state() const { return m_state.get(); }

private:
    bool stopping();
    void readHandset();
    void showIdle();
    void readAddressBook();
    std::optional<CardChanges> changesSinceLastSync();
    QList<CardVersion> listedFrom(const CardChanges& changes) const;
    void linkUnlinked();
    void plan();
    void planItem(SyncItem& item);
    void buildStore();
    void applyFields(int record, const ContactFields& fields);
    QSet<qsizetype> writeHandset(SyncResult& result);
    void writeAddressBook(SyncResult& result, const QSet<qsizetype>& handsetDone);
    // False when the user stopped the sync before this card.
    bool writeCard(qsizetype index, SyncResult& result, const QSet<qsizetype>& handsetDone);
    void keepCopies();
    void keepCopies(const QList<KeptCard>& copies);
    std::optional<Card> mergeAgain(SyncItem& item);
    std::optional<Card> putChanged(SyncItem& item, SyncResult& result);
    bool handsetDone(const SyncItem& item, const TransferResult& written) const;
    int locationAfter(const SyncItem& item) const;
    void storePair(const SyncItem& item, const std::optional<Card>& written);
    ContactFields handsetView(const RecordStore& store, int record) const;
    int handsetEntries() const;
    bool holdsContact(int location) const;
    QStringList cardChangeLines(const SyncItem& item) const;
    QStringList noteLines() const;
    QByteArray cardData(const SyncItem& item);

    AddressBook& m_book;
    CommandExchange& m_exchange;
    const LanguageFile& m_texts;
    OperationHost& m_host;
    SyncSettings m_settings;
    MergeContext m_context;

    QString m_serial;
    std::unique_ptr<SyncState> m_state;
    RecordStore m_read; // the handset as read
    HandsetImage m_image;
    RecordStore m_store; // the handset as the sync leaves it
    WritePlan m_plan;
    QList<CardVersion> m_listed;
    QString m_token; // the address book's, as this sync read it
    QHash<QString, Card> m_fetched;
    QList<SyncItem> m_items;
    int m_cardsBefore = 0;
    bool m_stopAsked = false;
};

// The handset's serial number as AT+CGSN gives it; empty when it gives none.
QString askSerialNumber(CommandExchange& exchange, OperationHost& host, const LanguageFile& texts);

} // namespace q7::sync
