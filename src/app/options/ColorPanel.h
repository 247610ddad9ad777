// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ClickLabel.h"
#include "base/AppSettings.h"

#include <QColor>

namespace q7 {

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
