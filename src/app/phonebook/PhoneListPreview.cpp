// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/PhoneListPreview.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "print/PhoneListPages.h"
#include "print/PhoneListPdf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QToolBar>
#include <algorithm>
#include <utility>

namespace q7 {

PhoneListPreview::PhoneListPreview(const RecordStore& store, QList<int> treeOrder,
                                   QList<int> selected, const LanguageFile& texts,
                                   const NumberTypeNames& numberTypeNames, QWidget* parent)
    : QPrintPreviewDialog(&m_printer, parent), m_store(store), m_treeOrder(std::move(treeOrder)),
      m_selected(std::move(selected)), m_texts(texts), m_numberTypeNames(numberTypeNames),
      m_date(QDate::currentDate())
{
    setObjectName(QStringLiteral("PhoneListPreview"));
    setWindowTitle(texts.text(TextId::Drucken_Caption));
    setUpPhoneListPage(m_printer);
    m_printer.setDocName(texts.text(TextId::Drucken_Kopf));

    m_range = new QComboBox(this);
    m_range->setObjectName(QStringLiteral("CB_Umfang"));
    m_range->addItem(texts.text(TextId::Drucken_Ganz));
    m_range->addItem(
        fillIn(texts.text(TextId::Drucken_Auswahl), {QString::number(m_selected.size())}));
    // Without a selection there is nothing to choose.
    m_range->setEnabled(!m_selected.isEmpty());
    m_byGroup = new QCheckBox(texts.text(TextId::Drucken_NachGruppe), this);
    m_byGroup->setObjectName(QStringLiteral("CB_NachGruppe"));

    m_preview = findChild<QPrintPreviewWidget*>();
    // The choices go on the preview's own tool bar, after its tools; a Qt
    // without one gets them above the pages.
    if (auto* tools = findChild<QToolBar*>()) {
        tools->addSeparator();
        tools->addWidget(m_range);
        tools->addWidget(m_byGroup);
        // Wide enough that no tool hides behind the tool bar's overflow
        // button, and tall enough for most of a page.
        const QSize wanted(std::max(tools->sizeHint().width() + 40, 900), 860);
        resize(wanted.boundedTo(screen()->availableGeometry().size()));
    } else if (auto* box = qobject_cast<QBoxLayout*>(layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(m_range);
        row->addWidget(m_byGroup);
        row->addStretch();
        box->insertLayout(0, row);
    }
    connect(this, &QPrintPreviewDialog::paintRequested, this, &PhoneListPreview::paintPages);
    connect(m_range, &QComboBox::currentIndexChanged, m_preview,
            &QPrintPreviewWidget::updatePreview);
    connect(m_byGroup, &QCheckBox::toggled, m_preview, &QPrintPreviewWidget::updatePreview);
}

PhoneList PhoneListPreview::phoneList() const
{
    const bool selection = m_range->currentIndex() == 1;
    const PhoneListChoice choice{selection ? m_selected : m_treeOrder, m_byGroup->isChecked()};
    return makePhoneList(m_store, choice, m_texts, m_numberTypeNames, m_date);
}

void PhoneListPreview::paintPages(QPrinter* target) const
{
    printPhoneList(phoneList(), m_texts, *target);
}

} // namespace q7
