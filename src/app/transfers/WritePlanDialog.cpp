// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transfers/WritePlanDialog.h"

#include "app/common/PlanList.h"
#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace q7 {

WritePlanDialog::WritePlanDialog(const WritePlan& plan, const RecordStore& store,
                                 const HandsetImage& image, const LanguageFile& texts,
                                 Replacement replacedBy, QWidget* parent)
    : QDialog(parent), m_plan(plan), m_texts(texts)
{
    setObjectName(QStringLiteral("WritePlanDialog"));
    setWindowTitle(texts.text(TextId::Plan_Caption));
    auto* layout = new QVBoxLayout(this);

    if (!plan.handsetKnown) {
        auto* unknown = new QLabel(texts.text(TextId::Plan_NieGelesen), this);
        unknown->setObjectName(QStringLiteral("Lbl_NieGelesen"));
        unknown->setWordWrap(true);
        layout->addWidget(unknown);
    }
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("Lbl_Summe"));
    layout->addWidget(m_counts);

    // Only what reaches the handset: the entries left as they are stand in the counts.
    m_list = makePlanList(QStringLiteral("LB_Plan"), this);
    m_list->addItems(planLines(keepingUnnamed(plan), store, image, texts));
    m_list->setAccessibleName(texts.text(TextId::Plan_Caption));
    m_list->setMinimumSize(520, 220);
    layout->addWidget(m_list, 2);

    QStringList unnamed;
    for (const PlanItem& item : plan.items)
        if (item.deletesUnnamed())
            unnamed << planLine(item, store, image, texts);
    if (!unnamed.isEmpty()) {
        auto* heading = new QLabel(texts.text(replacedBy == Replacement::Snapshot
                                                  ? TextId::Schreibplan_SicherungLoescht
                                                  : TextId::Schreibplan_DateiLoescht),
                                   this);
        heading->setObjectName(QStringLiteral("Lbl_NichtEnthalten"));
        heading->setWordWrap(true);
        layout->addWidget(heading);
        m_unnamed = makePlanList(QStringLiteral("LB_NichtEnthalten"), this);
        m_unnamed->addItems(unnamed);
        m_unnamed->setMinimumHeight(100);
        heading->setBuddy(m_unnamed);
        m_unnamed->setAccessibleName(heading->text());
        layout->addWidget(m_unnamed, 1);
        m_keep = new QCheckBox(texts.text(TextId::Schreibplan_Behalten), this);
        m_keep->setObjectName(QStringLiteral("CB_Behalten"));
        layout->addWidget(m_keep);
        connect(m_keep, &QCheckBox::toggled, this, [this](bool keep) {
            m_unnamed->setEnabled(!keep);
            showCounts();
        });
    }
    showCounts();

    auto* buttons = new QDialogButtonBox(this);
    if (!plan.handsetKnown) {
        m_readFirst =
            buttons->addButton(texts.text(TextId::Plan_ZuerstLesen), QDialogButtonBox::ActionRole);
        m_write =
            buttons->addButton(texts.text(TextId::Plan_OhneLesen), QDialogButtonBox::AcceptRole);
        connect(m_readFirst, &QPushButton::clicked, this, [this] { done(ReadFirst); });
    } else {
        m_write =
            buttons->addButton(texts.text(TextId::Plan_Schreiben), QDialogButtonBox::AcceptRole);
    }
    buttons->addButton(QDialogButtonBox::Cancel);
    // Reading first is the safe way when nothing is known; else writing is
    // what the user asked for.
    QPushButton* preferred = m_readFirst ? m_readFirst : m_write;
    preferred->setDefault(true);
    preferred->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool WritePlanDialog::keepsUnnamed() const
{
    return m_keep && m_keep->isChecked();
}

void WritePlanDialog::showCounts()
{
    m_counts->setText(planCounts(keepsUnnamed() ? keepingUnnamed(m_plan) : m_plan, m_texts));
}

} // namespace q7
