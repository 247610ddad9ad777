// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Snapshots.h"

#include <QDialog>
#include <optional>

class QListWidget;
class QPushButton;
class QTreeWidget;

namespace q7 {

class LanguageFile;
class RecordStore;

// "Sicherungen": what the handset held at each snapshot, newest first, with
// its time, entries and reason; for the chosen one, what differs from the
// window. Accepted with "Laden": chosen() names the snapshot to load.
class SnapshotsDialog : public QDialog
{
    Q_OBJECT

public:
    SnapshotsDialog(const QList<SnapshotInfo>& snapshots, const RecordStore& window,
                    const LanguageFile& texts, QWidget* parent = nullptr);

    QTreeWidget* snapshotList() const { return m_snapshots; }
    QListWidget* differences() const { return m_differences; }
    QPushButton* loadButton() const { return m_load; }
    std::optional<SnapshotInfo> chosen() const;

private:
    void showDifferences();

    QList<SnapshotInfo> m_infos;
    const RecordStore& m_window;
    const LanguageFile& m_texts;
    QTreeWidget* m_snapshots = nullptr;
    QListWidget* m_differences = nullptr;
    QPushButton* m_load = nullptr;
};

} // namespace q7
