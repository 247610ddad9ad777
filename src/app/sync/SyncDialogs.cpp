// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sync/SyncDialogs.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "sync/SyncEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace q7 {

SyncChoiceDialog::SyncChoiceDialog(const QString& location, const LanguageFile& texts,
                                   QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(texts.text(TextId::Abgleich_Caption));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(texts.text(TextId::Abgleich_Ordner), this);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    m_location = new QLineEdit(location, this);
    m_location->setMinimumWidth(360);
    m_location->setAccessibleName(texts.text(TextId::Abgleich_Ordner));
    label->setBuddy(m_location);
    m_choose = new QPushButton(texts.text(TextId::Abgleich_Waehlen), this);
    row->addWidget(m_location);
    row->addWidget(m_choose);
    layout->addLayout(row);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    startButton()->setText(texts.text(TextId::Abgleich_Weiter));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto update = [this] { startButton()->setEnabled(!this->location().isEmpty()); };
    connect(m_location, &QLineEdit::textChanged, this, update);
    update();
    connect(m_choose, &QPushButton::clicked, this, [this, &texts] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, texts.text(TextId::Abgleich_Ordner), this->location());
        if (!folder.isEmpty())
            m_location->setText(folder);
    });
}

QString SyncChoiceDialog::location() const
{
    return m_location->text().trimmed();
}

QPushButton* SyncChoiceDialog::startButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

SyncPlanDialog::SyncPlanDialog(sync::SyncRun& run, const LanguageFile& texts, QWidget* parent)
    : QDialog(parent), m_run(run), m_texts(texts)
{
    setWindowTitle(texts.text(TextId::Abgleich_PlanCaption));
    resize(680, 520);
    auto* layout = new QVBoxLayout(this);
    m_plan = new QPlainTextEdit(this);
    m_plan->setReadOnly(true);
    m_plan->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_plan->setAccessibleName(texts.text(TextId::Abgleich_PlanCaption));
    layout->addWidget(m_plan, 2);
    auto* conflictsLabel = new QLabel(texts.text(TextId::Abgleich_Konflikte), this);
    layout->addWidget(conflictsLabel);
    m_conflicts = new QTreeWidget(this);
    m_conflicts->setRootIsDecorated(false);
    m_conflicts->setHeaderLabels({texts.text(TextId::Plan_Name), texts.text(TextId::Abgleich_Feld),
                                  texts.text(TextId::Abgleich_Gilt)});
    m_conflicts->setAccessibleName(texts.text(TextId::Abgleich_Konflikte));
    conflictsLabel->setBuddy(m_conflicts);
    layout->addWidget(m_conflicts, 1);
    m_allowDeletions = new QCheckBox(texts.text(TextId::Abgleich_TrotzdemLoeschen), this);
    layout->addWidget(m_allowDeletions);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    startButton()->setText(texts.text(TextId::Abgleich_Start));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_allowDeletions, &QCheckBox::toggled, this, &SyncPlanDialog::showPlan);
    fillConflicts();
    conflictsLabel->setVisible(m_conflicts->topLevelItemCount() > 0);
    m_conflicts->setVisible(m_conflicts->topLevelItemCount() > 0);
    showPlan();
}

QPushButton* SyncPlanDialog::startButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

void SyncPlanDialog::fillConflicts()
{
    const QList<sync::SyncItem>& items = m_run.items();
    for (qsizetype index = 0; index < items.size(); ++index) {
        for (const sync::FieldConflict& conflict : items[index].merge.conflicts) {
            auto* row = new QTreeWidgetItem(
                m_conflicts, {items[index].name(), m_run.fieldLabel(conflict), QString()});
            row->setData(0, Qt::UserRole, QVariant::fromValue(index));
            row->setData(1, Qt::UserRole, conflict.key);
            auto* choice = new QComboBox(m_conflicts);
            choice->addItem(m_texts.text(TextId::Abgleich_Offen));
            choice->addItem(
                fillIn(m_texts.text(TextId::Abgleich_HandyGilt),
                       {m_run.conflictValue(conflict, items[index], sync::Side::Handset)}));
            choice->addItem(
                fillIn(m_texts.text(TextId::Abgleich_AdressbuchGilt),
                       {m_run.conflictValue(conflict, items[index], sync::Side::AddressBook)}));
            choice->setAccessibleName(items[index].name() + u' ' + m_run.fieldLabel(conflict));
            const int rowIndex = m_conflicts->topLevelItemCount() - 1;
            connect(choice, &QComboBox::currentIndexChanged, this,
                    [this, rowIndex](int chosen) { choose(rowIndex, chosen); });
            m_conflicts->setItemWidget(row, 2, choice);
        }
    }
    m_conflicts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void SyncPlanDialog::choose(int row, int choice)
{
    QTreeWidgetItem* item = m_conflicts->topLevelItem(row);
    if (!item)
        return;
    if (auto* combo = qobject_cast<QComboBox*>(m_conflicts->itemWidget(item, 2));
        combo && combo->currentIndex() != choice) {
        combo->setCurrentIndex(choice); // comes back here through its signal
        return;
    }
    const qsizetype index = item->data(0, Qt::UserRole).value<qsizetype>();
    const QString key = item->data(1, Qt::UserRole).toString();
    if (choice == 0)
        m_run.leaveOpen(index, key);
    else
        m_run.choose(index, key, choice == 1 ? sync::Side::Handset : sync::Side::AddressBook);
    showPlan();
}

void SyncPlanDialog::showPlan()
{
    QStringList lines = m_run.planLines();
    const bool tooMuch = m_run.deletesTooMuch();
    if (tooMuch)
        lines.prepend(m_run.deletionWarning() + u'\n');
    m_plan->setPlainText(lines.join(u'\n'));
    m_allowDeletions->setVisible(tooMuch);
    startButton()->setEnabled(!tooMuch || m_allowDeletions->isChecked());
}

} // namespace q7
