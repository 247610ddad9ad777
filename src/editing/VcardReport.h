// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/ContactPlacement.h"

#include <QStringList>

namespace q7 {

class LanguageFile;

// The report as lines the user reads: per card what was cut, replaced or
// left out, the skipped cards, the count created and what did not fit.
QStringList vcardReportLines(const VcardImportReport& report, const LanguageFile& texts);

} // namespace q7
