// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QListWidget;
class QWidget;

namespace q7 {

// A list of write plan lines, as the plan dialog and the snapshots'
// differences show them. Long names and several changed fields wrap inside
// the list: no line reaches past the dialog's edge.
QListWidget* makePlanList(const QString& objectName, QWidget* parent);

} // namespace q7
