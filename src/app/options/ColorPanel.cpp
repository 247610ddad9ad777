// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/ColorPanel.h"

#include <QPalette>

namespace q7 {

ColorPanel::ColorPanel(QWidget* parent) : ClickLabel(parent)
{
    setAutoFillBackground(true);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setWindowsColor(0);
}

void ColorPanel::setWindowsColor(WindowsColor value)
{
    m_value = value;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, color());
    setPalette(palette);
}

QColor ColorPanel::color() const
{
    return QColor::fromRgb(rgbFromWindowsColor(m_value));
}

void ColorPanel::setColor(const QColor& color)
{
    setWindowsColor(windowsColorFromRgb(color.rgb()));
}

} // namespace q7
