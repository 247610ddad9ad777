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

// "Sicherungen": what the handset held at each snapshot and the cards a
// sync changed or deleted, newest first, with their time, count and
// reason. For a snapshot, what differs from the window; accepted with
// "Laden", chosen() names the snapshot to load. For a card copy, its cards;
// "Karten zurücklegen…" puts them back into their address book after a
// plan, and the dialog stays open.
class SnapshotsDialog : public QDialog
{
    Q_OBJECT

public:
    SnapshotsDialog(const QList<SnapshotInfo>& snapshots, const RecordStore& window,
                    const LanguageFile& texts, QWidget* parent = nullptr,
                    const QList<CardCopyInfo>& cardCopies = Snapshots().cardCopies());

    QTreeWidget* snapshotList() const { return m_snapshots; }
    QListWidget* differences() const { return m_differences; }
    QPushButton* loadButton() const { return m_load; }
    QPushButton* putBackButton() const { return m_putBack; }
    std::optional<SnapshotInfo> chosen() const;
    std::optional<CardCopyInfo> chosenCardCopy() const;

    // Where the sync states are, whose tokens a put back forgets.
    void setStateFolder(const QString& folder) { m_stateFolder = folder; }

private:
    void showDifferences();
    void putBackCards();

    QList<SnapshotInfo> m_infos;
    QList<CardCopyInfo> m_cardCopies;
    const RecordStore& m_window;
    const LanguageFile& m_texts;
    QString m_stateFolder;
    QTreeWidget* m_snapshots = nullptr;
    QListWidget* m_differences = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_putBack = nullptr;
};

} // namespace q7
