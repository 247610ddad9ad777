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

// "gelesen", "vor dem Schreiben", "vor dem Löschen".
QString snapshotReasonText(SnapshotReason reason, const LanguageFile& texts);

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

    const QString& folder() const { return m_folder; }

private:
    void makeFolder() const;
    void prune() const;

    QString m_folder;
    int m_kept;
};

} // namespace q7
