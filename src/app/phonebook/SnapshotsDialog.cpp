// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/SnapshotsDialog.h"

#include "app/common/PlanList.h"
#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/WritePlan.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace q7 {

SnapshotsDialog::SnapshotsDialog(const QList<SnapshotInfo>& snapshots, const RecordStore& window,
                                 const LanguageFile& texts, QWidget* parent)
    : QDialog(parent), m_infos(snapshots), m_window(window), m_texts(texts)
{
    setObjectName(QStringLiteral("SnapshotsDialog"));
    setWindowTitle(texts.text(TextId::Sicherungen_Caption));
    auto* layout = new QVBoxLayout(this);

    m_snapshots = new QTreeWidget(this);
    m_snapshots->setObjectName(QStringLiteral("TV_Sicherungen"));
    m_snapshots->setAccessibleName(texts.text(TextId::Sicherungen_Caption));
    m_snapshots->setRootIsDecorated(false);
    m_snapshots->setHeaderHidden(true);
    m_snapshots->setColumnCount(3);
    for (const SnapshotInfo& info : m_infos) {
        auto* item = new QTreeWidgetItem(m_snapshots);
        item->setText(0, QLocale().toString(info.time.toLocalTime(), QLocale::ShortFormat));
        item->setText(1, QString::number(info.entries));
        item->setText(2, snapshotReasonText(info.reason, texts));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_snapshots->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_snapshots->setMinimumSize(520, 160);
    layout->addWidget(m_snapshots);

    if (m_infos.isEmpty()) {
        auto* none = new QLabel(texts.text(TextId::Sicherungen_Keine), this);
        none->setObjectName(QStringLiteral("Lbl_Keine"));
        layout->addWidget(none);
    }

    // What the window would change on the handset if this snapshot were it.
    m_differences = makePlanList(QStringLiteral("LB_Unterschiede"), this);
    m_differences->setAccessibleName(texts.text(TextId::Vorlesen_Unterschiede));
    m_differences->setMinimumHeight(160);
    layout->addWidget(m_differences, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_load =
        buttons->addButton(texts.text(TextId::Sicherungen_Laden), QDialogButtonBox::AcceptRole);
    m_load->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_snapshots, &QTreeWidget::currentItemChanged, this, &SnapshotsDialog::showDifferences);
    if (m_infos.isEmpty())
        m_load->setEnabled(false);
    else
        m_snapshots->setCurrentItem(m_snapshots->topLevelItem(0));
}

std::optional<SnapshotInfo> SnapshotsDialog::chosen() const
{
    const int row = m_snapshots->indexOfTopLevelItem(m_snapshots->currentItem());
    if (row < 0 || row >= m_infos.size())
        return std::nullopt;
    return m_infos[row];
}

void SnapshotsDialog::showDifferences()
{
    m_differences->clear();
    const std::optional<SnapshotInfo> info = chosen();
    if (!info)
        return;
    // The snapshot as if it were the handset: a write of the window onto it
    // is exactly what tells them apart.
    HandsetImage image;
    image.takeRead(Snapshots::load(*info));
    const WritePlan plan = planWrite(m_window, image, false, true);
    m_differences->addItem(planCounts(plan, m_texts));
    m_differences->addItems(planLines(plan, m_window, image, m_texts));
}

} // namespace q7
