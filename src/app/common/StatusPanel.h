// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace q7 {

// A panel of the status bar that never cuts a text in the middle of a
// letter: a text longer than the panel ends in "…" and the panel's tooltip
// holds the whole of it. text() is always the whole text.
class StatusPanel : public QLabel
{
    Q_OBJECT

public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // QLabel::setText, and the tooltip follows the text.
    void setText(const QString& text);
    // What the panel is for ("Status"): a screen reader hears it while the
    // panel shows nothing.
    void setPurpose(const QString& purpose);
    // The panel shows less than its whole text.
    bool isElided() const;

    // A long text does not widen the panel: it is elided instead.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void announce();
    QRect textRect() const;
    void updateToolTip();
};

} // namespace q7
