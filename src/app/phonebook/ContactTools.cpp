// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/ContactTools.h"

#include "app/common/Dialogs.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/Texts.h"
#include "phonebook/PhoneNumbers.h"
#include "phonebook/RecordStore.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace q7 {

namespace {

// A menu caption as a window title: no accelerator, no ellipsis.
QString titleOf(const LanguageFile& texts, TextId id)
{
    QString title = texts.text(id);
    title.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    title.replace(QStringLiteral("&&"), QStringLiteral("&"));
    while (title.endsWith(u'…') || title.endsWith(u'.'))
        title.chop(1);
    return title.trimmed();
}

} // namespace

// --- Duplicates -------------------------------------------------------------

DuplicatesDialog::DuplicatesDialog(RecordStore& store, const LanguageFile& texts,
                                   const NumberTypeNames& typeNames, int countryCode,
                                   std::function<void(const EditResult&)> merged, QWidget* parent)
    : QDialog(parent), m_store(store), m_texts(texts), m_typeNames(typeNames),
      m_countryCode(countryCode), m_merged(std::move(merged))
{
    setObjectName(QStringLiteral("Frm_Doppelte"));
    setWindowTitle(titleOf(texts, TextId::Kontakte_DoppelteEintraege));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(texts.text(TextId::Kontakte_DoppelteHinweis), this);
    hint->setObjectName(QStringLiteral("Lbl_Hinweis"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("TV_Doppelte"));
    m_list->setAccessibleName(windowTitle());
    m_list->setAccessibleDescription(hint->text());
    m_list->setHeaderHidden(true);
    m_list->setColumnCount(3);
    m_list->setRootIsDecorated(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_merge = buttons->addButton(texts.text(TextId::Kontakte_Zusammenfuehren),
                                 QDialogButtonBox::ActionRole);
    m_merge->setObjectName(QStringLiteral("Btn_Zusammenfuehren"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_merge, &QPushButton::clicked, this, &DuplicatesDialog::mergeSelected);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_merge->setEnabled(selectedGroup() >= 0); });
    layout->addWidget(buttons);
    resize(600, 380);
    fill();
}

void DuplicatesDialog::fill()
{
    m_groups = findDuplicates(m_store, m_countryCode);
    m_list->clear();
    for (qsizetype g = 0; g < m_groups.size(); ++g) {
        const QList<int>& group = m_groups[g];
        // The group is named after the entry it merges into, shown bold.
        const int kept = keptRecordOf(group);
        auto* top = new QTreeWidgetItem(m_list);
        top->setText(0, decodePc(m_store.field(kept, Name)));
        top->setData(0, Qt::UserRole, int(g));
        QFont bold = top->font(0);
        bold.setBold(true);
        top->setFont(0, bold);
        for (const int record : group) {
            auto* item = new QTreeWidgetItem(top);
            item->setText(0, QString::number(record));
            item->setText(1, decodePc(m_store.field(record, Name)));
            item->setText(2, numbersLine(m_store, record));
            item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
            item->setData(0, Qt::UserRole, int(g));
            if (record == kept)
                for (int column = 0; column < 3; ++column)
                    item->setFont(column, bold);
        }
        top->setFirstColumnSpanned(true);
        top->setExpanded(true);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_merge->setEnabled(selectedGroup() >= 0);
}

int DuplicatesDialog::selectedGroup() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected())
        return -1;
    const int g = item->data(0, Qt::UserRole).toInt();
    return g >= 0 && g < m_groups.size() ? g : -1;
}

void DuplicatesDialog::mergeSelected()
{
    const int g = selectedGroup();
    if (g < 0)
        return;
    // A First Nine position is a key on the handset: one emptied by the
    // merge is asked about, not just marked for deletion.
    if (const QList<int> emptied = firstNineEmptiedBy(m_groups[g]); !emptied.isEmpty()) {
        QStringList positions;
        for (const int record : emptied)
            positions << m_texts.text(TextId::Import_FirstNinePosition)
                             .arg(QString::number(record - kLastMemoryRecord),
                                  decodePc(m_store.field(record, Name)));
        if (dialogs().message(this, QMessageBox::Question, windowTitle(),
                              m_texts.text(TextId::Import_FirstNineFrage)
                                  .arg(positions.join(QStringLiteral(", "))),
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    QStringList leftOut;
    const EditResult result =
        mergeDuplicates(m_store, m_groups[g], m_countryCode, m_typeNames, &leftOut);
    if (m_merged)
        m_merged(result);
    fill();
    if (!leftOut.isEmpty())
        dialogs().message(
            this, QMessageBox::Information, windowTitle(),
            m_texts.text(TextId::Kontakte_Ausgelassen).arg(leftOut.join(QStringLiteral(", "))),
            QMessageBox::Ok);
}

void showDuplicates(RecordStore& store, const LanguageFile& texts, const NumberTypeNames& typeNames,
                    QWidget* parent, std::function<void(const EditResult&)> merged)
{
    DuplicatesDialog dialog(store, texts, typeNames, userCountryCode(), std::move(merged), parent);
    if (dialog.groups().isEmpty()) {
        dialogs().message(parent, QMessageBox::Information, dialog.windowTitle(),
                          texts.text(TextId::Kontakte_KeineDoppelten), QMessageBox::Ok);
        return;
    }
    dialogs().execDialog(dialog);
}

// --- One number form --------------------------------------------------------

NumberFormDialog::NumberFormDialog(const RecordStore& store, const LanguageFile& texts,
                                   int countryCode, QWidget* parent)
    : QDialog(parent), m_store(store), m_texts(texts), m_countryCode(countryCode)
{
    setObjectName(QStringLiteral("Frm_Vereinheitlichen"));
    setWindowTitle(titleOf(texts, TextId::Kontakte_Vereinheitlichen));
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(texts.text(TextId::Kontakte_Form), this);
    question->setWordWrap(true);
    layout->addWidget(question);
    // The country code the setting names, not the default's 49.
    const QString code = QString::number(countryCode);
    m_international = new QRadioButton(
        texts.text(TextId::Kontakte_International).replace(QStringLiteral("+49"), u'+' + code),
        this);
    m_international->setObjectName(QStringLiteral("RB_International"));
    m_national = new QRadioButton(texts.text(TextId::Kontakte_National), this);
    m_national->setObjectName(QStringLiteral("RB_National"));
    m_international->setChecked(true);
    layout->addWidget(m_international);
    layout->addWidget(m_national);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("Lbl_Anzahl"));
    layout->addWidget(m_count);
    m_changes = new QPlainTextEdit(this);
    m_changes->setObjectName(QStringLiteral("Memo_Aenderungen"));
    m_changes->setReadOnly(true);
    m_changes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The count above the list names it.
    m_count->setBuddy(m_changes);
    m_changes->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_changes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_international, &QRadioButton::toggled, this, &NumberFormDialog::plan);
    layout->addWidget(buttons);
    resize(520, 380);
    plan();
}

NumberForm NumberFormDialog::form() const
{
    return m_national->isChecked() ? NumberForm::National : NumberForm::International;
}

void NumberFormDialog::plan()
{
    m_rewrites = planNumberForm(m_store, form(), m_countryCode);
    QStringList lines;
    for (const NumberRewrite& rewrite : m_rewrites)
        lines << QStringLiteral("%1  %2:  %3 → %4")
                     .arg(rewrite.record, 3)
                     .arg(decodePc(m_store.field(rewrite.record, Name)), decodePc(rewrite.before),
                          decodePc(rewrite.after));
    m_changes->setPlainText(lines.join(u'\n'));
    m_count->setText(m_rewrites.isEmpty()
                         ? m_texts.text(TextId::Kontakte_KeineAenderungen)
                         : m_texts.text(TextId::Kontakte_Aenderungen).arg(m_rewrites.size()));
    m_ok->setEnabled(!m_rewrites.isEmpty());
}

void unifyNumbers(RecordStore& store, const LanguageFile& texts, QWidget* parent,
                  const std::function<void(const EditResult&)>& changed)
{
    NumberFormDialog dialog(store, texts, userCountryCode(), parent);
    if (dialogs().execDialog(dialog) != QDialog::Accepted || dialog.rewrites().isEmpty())
        return;
    changed(applyNumberForm(store, dialog.rewrites()));
}

} // namespace q7
