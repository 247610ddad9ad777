#include "phonebook/LostLink.h"

#include "base/Errors.h"
#include "base/OperationHost.h"

namespace q7 {

Reply exchangeAnswered(CommandExchange& exchange, QByteArrayView command, OperationHost& host,
                       const QString& lostLinkMessage, int firstByteMs, int silenceMs)
{
    for (;;) {
        Reply reply = exchange.exchange(command, firstByteMs, silenceMs);
        if (!reply.linkLost())
            return reply;
        if (!host.retryLostLink(lostLinkMessage))
            throw EOperationCancelled();
    }
}

} // namespace q7
