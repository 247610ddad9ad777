// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/StatusPanel.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>
#include <QStyle>

namespace q7 {

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent) {}

void StatusPanel::setText(const QString& text)
{
    QLabel::setText(text);
    updateToolTip();
    announce();
}

void StatusPanel::setPurpose(const QString& purpose)
{
    setAccessibleDescription(purpose);
    announce();
}

void StatusPanel::announce()
{
    // A screen reader hears the panel's text as its name, and what the
    // panel is for (its description) while it has none. The bus learns of
    // each new text, so that a read or a write can be followed by ear.
    setAccessibleName(text().isEmpty() ? accessibleDescription() : text());
    // Sent whether or not a reader listens: Qt drops it cheaply when none does.
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QRect StatusPanel::textRect() const
{
    // As QLabel lays out a plain text: a framed label keeps half an "x"
    // from its frame.
    int indentation = indent();
    if (indentation < 0 && frameWidth() > 0)
        indentation = fontMetrics().horizontalAdvance(u'x') / 2;
    QRect rect = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    if (indentation > 0) {
        if (alignment() & Qt::AlignRight)
            rect.setRight(rect.right() - indentation);
        else
            rect.setLeft(rect.left() + indentation);
    }
    return rect;
}

bool StatusPanel::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > textRect().width();
}

QSize StatusPanel::minimumSizeHint() const
{
    QSize hint = QLabel::minimumSizeHint();
    hint.setWidth(qMax(minimumWidth(), 2 * frameWidth()));
    return hint;
}

bool StatusPanel::event(QEvent* event)
{
    // A text set through QLabel itself gets its tooltip before it shows.
    if (event->type() == QEvent::ToolTip)
        updateToolTip();
    return QLabel::event(event);
}

void StatusPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the frame only
    QPainter painter(this);
    const QRect rect = textRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, rect.width());
    style()->drawItemText(&painter, rect, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

void StatusPanel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

void StatusPanel::updateToolTip()
{
    setToolTip(isElided() ? text() : QString());
}

} // namespace q7
