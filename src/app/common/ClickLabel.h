// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace q7 {

// A label the user clicks, like a link: the colour rows of the options page
// and the about line. The keyboard reaches it with Tab and presses it with
// Space or Enter; a screen reader sees a button it can press.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace q7
