// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QString>

namespace q7 {

// vCard, the address book format that phones, mail programs and web contacts
// speak today. We write 3.0; we read 2.1, 3.0 and 4.0 as they come from real
// exports.

// The live records 1..700 as vCard 3.0, one card per record in record order:
// UTF-8, CR LF, lines folded at 75 octets. Number types are told apart by
// their image, so a type the language file renamed keeps its meaning.
QByteArray exportVcard(const RecordStore& store, const NumberTypeNames& typeNames);

// The pieces a card is written with, for whoever edits cards line by line:
// a text value escaped, the TEL parameters of a number type image, and a
// content line folded at 75 octets with its CR LF (or `ending`).
QByteArray vcardText(const QString& text);
QByteArray vcardTelParameters(int image);
void appendVcardLine(QByteArray& out, QByteArrayView line, QByteArrayView ending = "\r\n");

// Writes the export to the file; an earlier file of that name changes only
// when everything has succeeded. Throws EInOutError.
void writeVcardFile(const QString& path, const RecordStore& store,
                    const NumberTypeNames& typeNames);

} // namespace q7
