// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/ui/TreeLines.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionViewItem>
#include <QTreeView>

namespace q7 {

namespace {

QStyle* applicationStyleInstance()
{
    if (const QStyle* style = QApplication::style())
        return QStyleFactory::create(style->name());
    return nullptr;
}

// The smallest rectangle around the pixels that were painted on.
QRect paintedArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0)
                area |= QRect(x, y, 1, 1);
    }
    return area;
}

} // namespace

TreeLinesStyle::TreeLinesStyle() : QProxyStyle(applicationStyleInstance()) {}

QRect TreeLinesStyle::indicatorArea(const QStyleOptionViewItem& option, const QWidget* widget) const
{
    const bool open = option.state & State_Open;
    const bool reverse = option.direction == Qt::RightToLeft;
    const quint64 key = (quint64(quint32(option.rect.width())) << 32) |
                        (quint64(quint32(option.rect.height())) << 2) | (quint64(open) << 1) |
                        quint64(reverse);
    auto found = m_indicatorAreas.constFind(key);
    if (found == m_indicatorAreas.cend()) {
        QImage canvas(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QStyleOptionViewItem atOrigin(option);
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter painter(&canvas);
        baseStyle()->drawPrimitive(PE_IndicatorBranch, &atOrigin, &painter, widget);
        painter.end();
        found = m_indicatorAreas.insert(key, paintedArea(canvas));
    }
    return found->translated(option.rect.topLeft());
}

void TreeLinesStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const
{
    const auto* branch = qstyleoption_cast<const QStyleOptionViewItem*>(option);
    if (element != PE_IndicatorBranch || !branch) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }

    const QRect cell = branch->rect;
    const bool item = branch->state & State_Item;       // the row's own column
    const bool sibling = branch->state & State_Sibling; // more rows follow at this level
    const bool children = branch->state & State_Children;
    const bool reverse = branch->direction == Qt::RightToLeft;
    const QPoint centre(cell.left() + cell.width() / 2, cell.top() + cell.height() / 2);

    // Only the indicator is wanted from the application style; a style that
    // draws lines of its own would draw them over these.
    QStyleOptionViewItem indicator(*branch);
    indicator.state &= ~(State_Item | State_Sibling);

    // The lines end on the edges of this rectangle: the point in the middle
    // of the cell where they meet, or a frame a pixel clear of the expand
    // indicator, so that they do not run through it.
    QRect ends(centre, QSize(1, 1));
    if (children)
        if (const QRect area = indicatorArea(indicator, widget); !area.isEmpty())
            ends = area.adjusted(-2, -2, 2, 2);

    // Every other pixel, on a checkerboard anchored to the view rather than
    // to the cell: the dots of a line carry on evenly across rows of odd
    // height, and a horizontal line meets its vertical one on the same grid.
    const QBrush dots(branch->palette.color(QPalette::Text), Qt::Dense4Pattern);
    const auto vertical = [&](int top, int bottom) {
        if (bottom >= top)
            painter->fillRect(centre.x(), top, 1, bottom - top + 1, dots);
    };
    const auto horizontal = [&](int left, int right) {
        if (right >= left)
            painter->fillRect(left, centre.y(), right - left + 1, 1, dots);
    };

    if (item) {
        vertical(cell.top(), ends.top());
        if (sibling)
            vertical(ends.bottom(), cell.bottom());
        if (reverse)
            horizontal(cell.left(), ends.left());
        else
            horizontal(ends.right(), cell.right());
    } else if (sibling) {
        vertical(cell.top(), cell.bottom());
    }

    if (children)
        QProxyStyle::drawPrimitive(element, &indicator, painter, widget);
}

void showTreeLines(QTreeView* tree)
{
    auto* style = new TreeLinesStyle;
    style->setParent(tree);
    tree->setStyle(style);
}

} // namespace q7
