#include "app/TransferGuard.h"

#include "app/MainWindow.h"

namespace q7 {

TransferGuard::TransferGuard(TFrm_Q7_Manager& window, const QList<QWidget*>& alsoLocked)
    : m_window(window)
{
    m_window.beginTransfer(alsoLocked);
}

TransferGuard::~TransferGuard()
{
    m_window.endTransfer();
}

} // namespace q7
