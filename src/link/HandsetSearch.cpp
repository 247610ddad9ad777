// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/HandsetSearch.h"

#include "base/Errors.h"
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

bool identifyHandset(CommandExchange& exchange)
{
    Reply reply = exchange.exchange(kWakeUp, 500, 800);
    if (!reply.text.isEmpty()) {
        exchange.exchange("ATE0\r\n");
        reply = exchange.exchange("ATI2\r\n");
    }
    return reply.text.contains(kIdentity);
}

bool searchHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host)
{
    BusyScope busy(host);
    host.showStatus(texts.text(TextId::Statusleiste_Handysuchen));
    exchange.port().OpenPort();

    const bool found = identifyHandset(exchange);
    if (found) {
        host.showStatus(texts.text(TextId::Statusleiste_Handygefunden));
        host.handsetFound();
    } else {
        host.showStatus(texts.text(TextId::Statusleiste_Handynichtgefunden));
    }
    return found;
}

bool reconnectHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host)
{
    TComPort& port = exchange.port();
    if (port.Connected() && !port.lineFailed())
        return false;
    BusyScope busy(host);
    host.showStatus(texts.text(TextId::Statusleiste_Verbindungpruefen));
    port.forgetFailure();
    port.OpenPort();
    if (!identifyHandset(exchange)) {
        host.showStatus(texts.text(TextId::Statusleiste_Handynichtgefunden));
        throw Q7Error(texts.text(TextId::Fehler_Handyantwortetnicht));
    }
    host.showStatus(texts.text(TextId::Statusleiste_Verbindungwieder));
    return true;
}

} // namespace q7
