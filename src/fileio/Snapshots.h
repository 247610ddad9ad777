// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace q7 {

class HandsetImage;
class LanguageFile;

// Copies of what the handset held, kept as phonebook files (byte for byte
// what an export writes) in a folder of their own, so that a write or an
// erase can be taken back. They hold personal data: the folder is the
// user's alone (0700), and so is each file (0600). What a snapshot is
// stands in its file name: "20261211-021503-117_read_27.csv" (UTC).

enum class SnapshotReason
{
    Read,        // a read finished
    BeforeWrite, // the handset as last seen before a write
    BeforeErase, // ... before an erase
};

struct SnapshotInfo
{
    QString path;
    QDateTime time; // UTC
    int entries = 0;
    SnapshotReason reason = SnapshotReason::Read;
};

// The cards a sync changed or deleted, as they were before it: one vCard
// file "20261211-021503-117_cards_3.vcf" beside the handset's snapshots and,
// under the same name ending in ".json", the address book they came from
// with each card's id there, so that they can be put back where they were.
struct CardCopyInfo
{
    QString path;   // the vCard file
    QDateTime time; // UTC
    int cards = 0;
    QString addressBook;     // its identity; empty when not known (an older copy)
    QString addressBookName; // as the user calls it
};

struct KeptCard
{
    QString id; // in its address book; empty when not known
    QByteArray data;
};

// "gelesen", "vor dem Schreiben", "vor dem Löschen".
QString snapshotReasonText(SnapshotReason reason, const LanguageFile& texts);
// "vor dem Abgleich mit /home/…/Kontakte".
QString cardCopyReasonText(const CardCopyInfo& copy, const LanguageFile& texts);
// "1 Karte", "3 Karten".
QString cardCount(int count, const LanguageFile& texts);

class Snapshots
{
public:
    // The folder "snapshots" in the per-user data folder.
    static QString defaultFolder();

    explicit Snapshots(QString folder = defaultFolder(), int kept = 50);

    // Keeps the image as a new snapshot, unless it is unknown or empty, or
    // holds exactly what the newest snapshot holds; then removes the oldest
    // beyond the number kept. The new snapshot, when one was kept. Throws
    // EInOutError when the folder or file cannot be written.
    std::optional<SnapshotInfo> keep(const HandsetImage& image, SnapshotReason reason,
                                     const QDateTime& now = QDateTime::currentDateTimeUtc());

    // Newest first; files whose names are not a snapshot's are left out.
    QList<SnapshotInfo> list() const;

    // The snapshot's entries, unchanged ("NEIN"), as a CSV load gives them.
    static RecordStore load(const SnapshotInfo& snapshot);

    // Keeps the cards of the address book `addressBook` (an identity, as
    // the sync state names it), called `name`, as a new card copy; then
    // removes the oldest copies beyond the number kept. Nothing for no card.
    // Throws EInOutError when the folder or a file cannot be written.
    std::optional<CardCopyInfo> keepCards(const QList<KeptCard>& cards, const QString& addressBook,
                                          const QString& name,
                                          const QDateTime& now = QDateTime::currentDateTimeUtc());
    // Newest first.
    QList<CardCopyInfo> cardCopies() const;
    // The copy's cards, each as it was kept, with its id where the copy
    // names it. Throws EInOutError when the file cannot be read.
    static QList<KeptCard> loadCards(const CardCopyInfo& copy);

    const QString& folder() const { return m_folder; }

private:
    void makeFolder() const;
    void prune() const;
    void pruneCards() const;

    QString m_folder;
    int m_kept;
};

} // namespace q7
