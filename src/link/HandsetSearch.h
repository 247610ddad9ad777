#pragma once

namespace q7 {

class CommandExchange;
class LanguageFile;
class OperationHost;

// Opens the port (it stays open either way) and checks that the handset
// identifies itself. On success the host is told handsetFound(). A port that
// cannot be opened throws EComPort.
bool searchHandset(CommandExchange& exchange, const LanguageFile& texts, OperationHost& host);

} // namespace q7
