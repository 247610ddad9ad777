#include "app/TransferGuard.h"

#include "app/MainWindow.h"
#include "app/TransferController.h"

namespace q7 {

TransferGuard::TransferGuard(TransferController& transfers, const QList<QWidget*>& alsoLocked)
    : m_transfers(transfers)
{
    m_transfers.begin(alsoLocked);
}

TransferGuard::TransferGuard(TFrm_Q7_Manager& window, const QList<QWidget*>& alsoLocked)
    : TransferGuard(window.transfers(), alsoLocked)
{}

TransferGuard::~TransferGuard()
{
    m_transfers.end();
}

} // namespace q7
