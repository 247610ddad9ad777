// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace q7 {

class LanguageFile;
class RecordStore;
struct TransferResult;

// The status line that says what an operation did, with its counts, once
// it is done: "27 Einträge in phonebook.csv gespeichert".

// "1 Eintrag", "27 Einträge".
QString entryCount(int count, const LanguageFile& texts);
// Entries a CSV file or the handset would receive from the store.
int liveEntryCount(const RecordStore& store);

QString savedConfirmation(int entries, const QString& fileName, const LanguageFile& texts);
QString loadedConfirmation(int entries, const QString& fileName, const LanguageFile& texts);
// "12 Einträge geschrieben", with the deletions when there were any; a write
// that had nothing to send says so.
QString writtenConfirmation(const TransferResult& result, const LanguageFile& texts);
// "Handy gelöscht: 31 Einträge".
QString erasedConfirmation(const TransferResult& result, const LanguageFile& texts);

} // namespace q7
