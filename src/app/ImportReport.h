#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace q7 {

// The report of an import as a dialog the user can read through and copy
// from: one line per finding, scrollable, closed with OK.
void showImportReport(QWidget* parent, const QString& title, const QStringList& lines);

} // namespace q7
