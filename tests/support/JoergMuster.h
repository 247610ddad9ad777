// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace q7 {

// Jörg Muster in record 12 as the new-entry dialog makes him (group Familie,
// a mobile number, the tags of the empty slots), as one line of a phonebook
// CSV file without its line end.
inline const QByteArray kJoergMusterLine =
    "12,\"J|rg Muster\",\"Familie\",\"TELNO\",\"Mobil\",\"0123456789\","
    "\"TELNO\",\"\",\"\",\"TELNO\",\"\",\"\",\"CUSTOM\",\"\",\"\","
    "\"CUSTOM\",\"\",\"\"";

} // namespace q7
