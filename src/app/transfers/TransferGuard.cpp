// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transfers/TransferGuard.h"

#include <QWidget>

namespace q7 {

void TransferLock::setControlEnabled(QWidget* control, bool enabled)
{
    if (m_enabledBefore.contains(control))
        m_enabledBefore[control] = enabled;
    else
        control->setEnabled(enabled);
}

void TransferLock::begin(const QList<QWidget*>& alsoLocked)
{
    if (m_depth++ == 0)
        transferStarted();
    for (QWidget* control : lockedControls() + alsoLocked) {
        if (m_enabledBefore.contains(control))
            continue;
        m_enabledBefore.insert(control, control->isEnabled());
        control->setEnabled(false);
    }
}

void TransferLock::end()
{
    if (--m_depth > 0)
        return;
    for (auto it = m_enabledBefore.cbegin(); it != m_enabledBefore.cend(); ++it)
        it.key()->setEnabled(it.value());
    m_enabledBefore.clear();
    transferEnded();
}

TransferGuard::TransferGuard(TransferLock& lock, const QList<QWidget*>& alsoLocked) : m_lock(lock)
{
    m_lock.begin(alsoLocked);
}

TransferGuard::~TransferGuard()
{
    m_lock.end();
}

} // namespace q7
