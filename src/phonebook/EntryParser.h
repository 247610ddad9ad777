// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArrayView>
#include <optional>

namespace q7 {

// Fills fields 1..18 of the record from one extended-entry reply and marks the
// record unchanged ("NEIN"). Only the entry's own line counts: the one that
// holds the first ':' (an echoed command may come before it), up to the first
// CR or LF after that colon. Values missing from that line give empty fields.
// The CSV import hands each file line over as " :" + line + CR.
void parseEntryLine(RecordStore& store, int record, QByteArrayView text);

// An integer as the file and the Speicherplatz field write it: leading blanks,
// an optional sign, then decimal digits, or hexadecimal digits after "$",
// "0x" or "0X", and nothing after them. Empty when the text is not one or does
// not fit into an int.
std::optional<int> readInteger(QByteArrayView text);

// The same, but a text that is no integer throws EConvertError naming it.
int toInteger(QByteArrayView text);

} // namespace q7
