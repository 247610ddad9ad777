#include "link/HandsetSearch.h"

#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"

namespace q7 {

namespace {

constexpr QByteArrayView kWakeUp = " \r\n \r\n \r\n";
constexpr QByteArrayView kIdentity = "TLM-Q7";

struct BusyScope
{
    OperationHost& host;
    explicit BusyScope(OperationHost& h) : host(h) { host.setBusy(true); }
    ~BusyScope() { host.setBusy(false); }
};

} // namespace

bool searchHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host)
{
    BusyScope busy(host);
    host.showStatus(texts.text(TextId::Statusleiste_Handysuchen));
    exchange.port().OpenPort();

    Reply reply = exchange.exchange(kWakeUp, 500, 800);
    if (!reply.text.isEmpty()) {
        exchange.exchange("ATE0\r\n");
        reply = exchange.exchange("ATI2\r\n");
    }
    const bool found = reply.text.contains(kIdentity);
    if (found) {
        host.showStatus(texts.text(TextId::Statusleiste_Handygefunden));
        host.handsetFound();
    } else {
        host.showStatus(texts.text(TextId::Statusleiste_Handynichtgefunden));
    }
    return found;
}

} // namespace q7
