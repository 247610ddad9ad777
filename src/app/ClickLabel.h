// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/AppSettings.h"

#include <QColor>
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

// A small swatch that holds one colour of the trees. It keeps the colour as
// the Windows value it was given, so that a stored value goes back to the
// registry exactly as it came.
class ColorPanel : public ClickLabel
{
    Q_OBJECT

public:
    explicit ColorPanel(QWidget* parent = nullptr);

    WindowsColor windowsColor() const { return m_value; }
    void setWindowsColor(WindowsColor value);
    QColor color() const;
    void setColor(const QColor& color);

private:
    WindowsColor m_value = 0;
};

} // namespace q7
