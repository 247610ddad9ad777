// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/FileAccess.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace q7 {

class LanguageFile;

// The CSV phonebook file: one line per record with a Speicherplatz, in
// ascending record order, each ending in CR LF, no header. A line carries the
// 18 values of an extended entry: the Speicherplatz bare, the others in double
// quotes without any escaping, texts in the handset character set except the
// Gruppe, which stays in the PC set.

// The file's content. Writes every record with a Speicherplatz, those marked
// for deletion only when asked, and stores each Speicherplatz back as plain
// decimal ("007" becomes "7"). A Speicherplatz that is no integer throws
// EConvertError; the records before it have then been normalised already.
QByteArray exportCsv(RecordStore& store, bool includeMarkedForDeletion);

// Writes the export to the file. The store and an earlier file of that name
// change only when everything has succeeded. Throws EConvertError or
// EInOutError.
void writeCsvFile(const QString& path, RecordStore& store, bool includeMarkedForDeletion,
                  FileReaders readers = FileReaders::AsUsual);

// A new store made from the file's content: `current` with fields 1..18 of
// every record emptied (the changed flags stay), then each line's record
// filled and marked unchanged. A line whose leading number is no integer or
// names no record throws, naming its line number; `current` is never touched.
// A location that several lines name is filled by the last of them; such
// locations go to repeatedLocations, in ascending order, when it is given.
RecordStore importCsv(const QByteArray& content, const RecordStore& current,
                      QList<int>* repeatedLocations = nullptr);

// importCsv on the file's content; a file that cannot be read throws
// EInOutError.
RecordStore readCsvFile(const QString& path, const RecordStore& current,
                        QList<int>* repeatedLocations = nullptr);

// Tells that the entries of all but the last line of each repeated location
// were not loaded.
QString repeatedLocationsWarning(const QList<int>& locations, const LanguageFile& texts);

} // namespace q7
