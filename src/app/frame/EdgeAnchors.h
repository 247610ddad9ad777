// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

namespace q7 {

// Lets a window drawn at fixed positions grow: each anchored widget inside it
// keeps its distance to the window's edges that it is anchored to. Anchored
// to left and right it takes the extra width, to the right alone it moves
// with the right edge, to the left alone it stays; the same for top and
// bottom. A widget whose parent grows by being anchored itself (a page of a
// tab widget) is anchored the same way, since its parent grows by the
// window's growth. Below the size the layout was drawn for nothing moves.
class EdgeAnchors : public QObject
{
public:
    enum Edge
    {
        Left = 1,
        Top = 2,
        Right = 4,
        Bottom = 8,
    };

    EdgeAnchors(QWidget* window, QSize drawnSize);

    // Takes the widget's geometry now as the one drawn for drawnSize.
    void anchor(QWidget* widget, int edges);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Anchor
    {
        QRect drawn;
        int edges;
    };
    void place(QWidget* widget, const Anchor& anchor) const;

    QWidget* m_window;
    QSize m_drawnSize;
    QHash<QWidget*, Anchor> m_anchors;
};

} // namespace q7
