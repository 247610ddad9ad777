// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/RetryingExchange.h"

#include "base/Errors.h"
#include "base/OperationHost.h"

namespace q7 {

Reply exchangeAnswered(CommandExchange& exchange, QByteArrayView command, OperationHost& host,
                       const QString& lostLinkMessage, int firstByteMs, int silenceMs)
{
    for (bool retried = false;; retried = true) {
        Reply reply = exchange.exchange(command, firstByteMs, silenceMs);
        if (!reply.linkLost()) {
            // A handset that was only late answers the first try now and
            // the retry after it: take that second answer off the line, or
            // the next command would take it for its own.
            if (retried)
                exchange.readResponse(2 * firstByteMs, silenceMs);
            return reply;
        }
        if (!host.retryLostLink(lostLinkMessage))
            throw EOperationCancelled();
    }
}

} // namespace q7
