// SPDX-License-Identifier: GPL-3.0-or-later
// Phonebook storage of the simulated handset and the text formats it is read
// from and written as. No I/O threads here, so the rules can be unit tested.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace q7sim {

// Locations use the extended numbering throughout: 1..500 handset memory,
// 501..700 SIM positions 1..200.
constexpr int kMeSize = 500;
constexpr int kSimSize = 200;
constexpr int kLastLocation = kMeSize + kSimSize;
constexpr int kValueCount = 18;

// location -> its 18 values (value 1 is the location as decimal text).
// Values are bytes in the handset character set; nothing here converts them.
using Phonebook = QMap<int, QList<QByteArray>>;

// Splits a comma separated list of values. A value starting with '"' runs to
// the next '"' that is followed by ',' or the end, so quoted values may hold
// commas (and even quotes). Unquoted values are taken bare, blanks trimmed.
// Returns false on an unterminated quote or junk after a closing quote.
bool splitValues(const QByteArray& text, QList<QByteArray>* values);

// Reads a phonebook file: one entry per line, 18 values, value 1 the bare
// location, lines ending CR LF or LF, blank lines skipped. On failure leaves
// *book untouched and says which line was wrong in *error.
bool readPhonebookCsv(const QString& path, Phonebook* book, QString* error);

} // namespace q7sim
