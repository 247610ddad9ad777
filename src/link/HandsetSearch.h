// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace q7 {

class CommandExchange;
class LanguageFile;
class OperationHost;

// Opens the port (it stays open either way) and checks that the handset
// identifies itself. On success the host is told handsetFound(). A port that
// cannot be opened throws EComPort.
bool searchHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host);

// The search's check on a port that is open: the wake-up text, then ATE0 and
// ATI2 when anything answered it. True when the handset names itself.
bool identifyHandset(CommandExchange& exchange);

// Called before every transfer. A port that closed since the last one (the
// line hung up, the adapter went away) is opened again, and because the
// handset resets itself when its line drops (echo back on), it is checked
// again as the search checks it before anything else is sent; the status
// bar says so. A port that cannot be opened throws EComPort, a handset that
// does not answer Q7Error. False when the port was fine and nothing was sent.
bool reconnectHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host);

} // namespace q7
