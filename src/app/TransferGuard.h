#pragma once

#include <QList>

class QWidget;

namespace q7 {

class TFrm_Q7_Manager;
class TransferController;

// Held for the whole of a search, read, write, erase or import. While it
// lives the data buttons, the port test and the port lists are disabled (and
// whatever else the operation names), so that no second transfer starts and
// the port does not change under the running one; closing the window then
// cancels the transfer and closes once it has unwound. At its end every
// control gets back the state it had, or the one set meanwhile through
// setControlEnabled() (the search enabling the data buttons), and the busy
// cursor goes. Guards may nest; the outermost one restores.
class TransferGuard
{
public:
    explicit TransferGuard(TransferController& transfers, const QList<QWidget*>& alsoLocked = {});
    explicit TransferGuard(TFrm_Q7_Manager& window, const QList<QWidget*>& alsoLocked = {});
    ~TransferGuard();
    TransferGuard(const TransferGuard&) = delete;
    TransferGuard& operator=(const TransferGuard&) = delete;

private:
    TransferController& m_transfers;
};

} // namespace q7
