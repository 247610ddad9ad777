// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/EdgeAnchors.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace q7 {

EdgeAnchors::EdgeAnchors(QWidget* window, QSize drawnSize)
    : QObject(window), m_window(window), m_drawnSize(drawnSize)
{
    window->installEventFilter(this);
}

void EdgeAnchors::anchor(QWidget* widget, int edges)
{
    const Anchor anchor{widget->geometry(), edges};
    m_anchors.insert(widget, anchor);
    place(widget, anchor);
}

bool EdgeAnchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        for (auto it = m_anchors.cbegin(); it != m_anchors.cend(); ++it)
            place(it.key(), it.value());
    return QObject::eventFilter(watched, event);
}

void EdgeAnchors::place(QWidget* widget, const Anchor& anchor) const
{
    const int dx = std::max(0, m_window->width() - m_drawnSize.width());
    const int dy = std::max(0, m_window->height() - m_drawnSize.height());
    QRect rect = anchor.drawn;
    if (anchor.edges & Right) {
        if (anchor.edges & Left)
            rect.setWidth(rect.width() + dx);
        else
            rect.translate(dx, 0);
    }
    if (anchor.edges & Bottom) {
        if (anchor.edges & Top)
            rect.setHeight(rect.height() + dy);
        else
            rect.translate(0, dy);
    }
    widget->setGeometry(rect);
}

} // namespace q7
