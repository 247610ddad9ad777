// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace q7 {

class LanguageFile;

// The report of an import as a dialog the user can read through, select,
// copy and save as a text file: one line per finding, scrollable, closed with
// OK. A value that spans lines stays on its finding's line.
void showImportReport(QWidget* parent, const QString& title, const QStringList& lines,
                      const QString& startFolder, const LanguageFile& texts);

// The lines as the report shows them: line breaks inside a finding become a
// visible mark, other control characters blanks.
QString importReportText(const QStringList& lines);

} // namespace q7
