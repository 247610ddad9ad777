// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/PlanList.h"

#include <QListWidget>

namespace q7 {

QListWidget* makePlanList(const QString& objectName, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Qt measures every wrapped line again whenever the width it wraps in
    // changes, half a millisecond for a line of many fields: a scroll bar
    // that came as the list filled made a whole phonebook's plan be measured
    // twice before the dialog showed.
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setResizeMode(QListView::Adjust);
    return list;
}

} // namespace q7
