// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/CommandExchange.h"

#include <QString>

namespace q7 {

class OperationHost;

// Sends a command whose reply must come back complete. An empty reply, or
// data that stops without a final result, means the handset stopped
// answering: the host is asked whether to send the same command again, and
// a refusal cancels the operation (EOperationCancelled). A dead link must
// never pass for an empty location or an empty phonebook.
Reply exchangeAnswered(CommandExchange& exchange, QByteArrayView command, OperationHost& host,
                       const QString& lostLinkMessage, int firstByteMs = kFirstByteTimeoutMs,
                       int silenceMs = kSilenceTimeoutMs);

} // namespace q7
