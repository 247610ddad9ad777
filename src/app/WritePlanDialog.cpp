// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WritePlanDialog.h"

#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookWriter.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace q7 {

WritePlanDialog::WritePlanDialog(const WritePlan& plan, const RecordStore& store,
                                 const HandsetImage& image, const LanguageFile& texts,
                                 QWidget* parent)
    : QDialog(parent)
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
    auto* counts = new QLabel(planCounts(plan, texts), this);
    counts->setObjectName(QStringLiteral("Lbl_Summe"));
    layout->addWidget(counts);

    // Only what reaches the handset: the entries left as they are stand in the counts.
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LB_Plan"));
    m_list->setAccessibleName(texts.text(TextId::Plan_Caption));
    for (const PlanItem& item : plan.items) {
        if (item.isSent())
            m_list->addItem(planLine(item, store, image, texts));
    }
    m_list->setMinimumSize(520, 260);
    layout->addWidget(m_list, 1);

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

} // namespace q7
