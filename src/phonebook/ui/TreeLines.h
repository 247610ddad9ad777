// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QProxyStyle>
#include <QRect>

class QStyleOptionViewItem;
class QTreeView;

namespace q7 {

// The application style draws a tree's expand arrows but no lines between
// the nodes. This style adds them: 1-pixel dotted lines in the tree's text
// colour (QPalette::Text, the colour the items are written in), with the
// application style's expand indicator on top for nodes that have children.
// The colour is read at every paint, so a new palette shows at once.
//
// Which columns get lines is the view's business: with root decoration off,
// the top-level rows have no branch column and so no lines.
class TreeLinesStyle : public QProxyStyle
{
public:
    // Builds on a fresh instance of the application's style, since a proxy
    // takes ownership of the style it wraps.
    TreeLinesStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    // Where in the branch cell of the option the application style puts its
    // expand indicator, measured once per cell size and state.
    QRect indicatorArea(const QStyleOptionViewItem& option, const QWidget* widget) const;

    mutable QHash<quint64, QRect> m_indicatorAreas;
};

// Gives the tree its own TreeLinesStyle, deleted with the tree. A style sheet
// set on the tree before or after keeps it: Qt wraps the widget's own style.
void showTreeLines(QTreeView* tree);

} // namespace q7
