// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/NoHandsetNotice.h"

#include "base/LanguageFile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace q7 {

QString noHandsetText(const LanguageFile& texts, std::optional<PortFailureCause> cause,
                      const QString& port)
{
    if (!cause)
        return texts.text(TextId::Handysuche_Hinweis);
    switch (*cause) {
    case PortFailureCause::NoPermission:
        return texts.text(TextId::Handysuche_KeinRecht).arg(port);
    case PortFailureCause::Busy:
        return texts.text(TextId::Handysuche_Belegt).arg(port);
    case PortFailureCause::Absent:
    case PortFailureCause::NotMapped:
        return texts.text(TextId::Handysuche_Fehlt).arg(port);
    case PortFailureCause::LineLost:
        // The port opened: the handset or the cable it is.
        return texts.text(TextId::Handysuche_Hinweis);
    case PortFailureCause::CannotOpen:
    case PortFailureCause::Refused:
    case PortFailureCause::Other:
        break;
    }
    return texts.text(TextId::Handysuche_NichtGeoeffnet).arg(port);
}

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
    m_texts = &texts;
    showText();
    m_optionsButton->setText(texts.text(TextId::Handysuche_Optionen));
}

void NoHandsetNotice::setCause(std::optional<PortFailureCause> cause, const QString& port)
{
    m_cause = cause;
    m_port = port;
    showText();
}

QString NoHandsetNotice::text() const
{
    return m_text->text();
}

void NoHandsetNotice::showText()
{
    if (m_texts)
        m_text->setText(noHandsetText(*m_texts, m_cause, m_port));
}

} // namespace q7
