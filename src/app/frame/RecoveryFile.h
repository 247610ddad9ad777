// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace q7 {

class LanguageFile;
class RecordStore;

// Edits that were not saved when a signal ended the program are neither
// kept silently nor lost: they go to a CSV phonebook file beside the
// settings, which the next start offers to load.
QString recoveryFilePath();

// The whole store, entries marked for deletion included, so that a
// deletion not yet written survives too.
void writeRecoveryFile(const RecordStore& store);

// Asks whether to load a recovery file left by the last run. Yes loads it
// into `store` with every entry marked changed (the edits are not on the
// handset yet) and returns true; either answer removes the file. A file
// that cannot be read throws and stays.
bool offerRecovery(QWidget* parent, const LanguageFile& texts, RecordStore& store);

} // namespace q7
