// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace q7 {

// A label the user clicks, like a link: the colour rows of the options page.
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace q7
