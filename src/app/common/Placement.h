// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

namespace q7 {

// The window's controls sit where the layout was drawn, each under the name
// the program's handlers and the language file know it by.
template <class W> W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// Enter belongs to the focused control, never to a default button.
inline QPushButton* button(QWidget* parent, const char* name, int left, int top, int width,
                           int height)
{
    auto* result = place(new QPushButton(parent), name, left, top, width, height);
    result->setAutoDefault(false);
    return result;
}

} // namespace q7
