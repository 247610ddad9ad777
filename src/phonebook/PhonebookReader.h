// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArrayView>
#include <QSet>

namespace q7 {

class CommandExchange;
class LanguageFile;
class OperationHost;

// The locations a standard listing names: each "+CPBR: " followed by exactly
// a number and then a character that is not a digit.
QSet<int> listedLocations(QByteArrayView listing);

// The end of the SIM's index range from "+CPBR: (1-250),20,18": the decimal
// digits after the first "-"; 200 when there is none.
int simRangeEnd(QByteArrayView rangeReply);

// Reads the handset's whole phonebook, the handset memory into records 1..500
// and the SIM card into 501..700, into a copy of the store: the caller puts it
// in place only when the read has finished. A port failure throws EComPort, a
// cancel (also at the lost-link question) EOperationCancelled, a stop the host
// requested EOperationStopped.
RecordStore readPhonebook(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host,
                          const RecordStore& current);

} // namespace q7
