// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NoHandsetNotice.h"

#include "base/LanguageFile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace q7 {

NoHandsetNotice::NoHandsetNotice(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("NoHandsetNotice"));
    setFrameShape(QFrame::StyledPanel);
    // The colours of a tooltip: a note that stands out from the grey page
    // without looking like an error.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("Lbl_KeinHandy"));
    m_text->setWordWrap(true);
    m_text->setForegroundRole(QPalette::ToolTipText);
    m_optionsButton = new QPushButton(this);
    m_optionsButton->setObjectName(QStringLiteral("Btn_PortWaehlen"));
    m_optionsButton->setAutoDefault(false);
    connect(m_optionsButton, &QPushButton::clicked, this, &NoHandsetNotice::optionsRequested);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 4, 2);
    layout->setSpacing(6);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_optionsButton, 0, Qt::AlignVCenter);
}

void NoHandsetNotice::applyTexts(const LanguageFile& texts)
{
    m_text->setText(texts.text(TextId::Handysuche_Hinweis));
    m_optionsButton->setText(texts.text(TextId::Handysuche_Optionen));
}

} // namespace q7
