// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>

class QWidget;

namespace q7 {

// The lock on the window's controls while a search or a transfer runs. The
// one who runs transfers says which controls every transfer locks and what
// happens when the first guard comes and the last one goes.
class TransferLock
{
public:
    // True while a search or a transfer runs (a TransferGuard is alive).
    bool running() const { return m_depth > 0; }
    // Enables a control now, or, while a transfer holds it disabled, once
    // the transfer ends.
    void setControlEnabled(QWidget* control, bool enabled);

protected:
    TransferLock() = default;
    ~TransferLock() = default;
    TransferLock(const TransferLock&) = delete;
    TransferLock& operator=(const TransferLock&) = delete;

    virtual QList<QWidget*> lockedControls() const = 0;
    // Before the outermost guard locks anything.
    virtual void transferStarted() = 0;
    // After the outermost guard has given every control its state back.
    virtual void transferEnded() = 0;

private:
    friend class TransferGuard;
    void begin(const QList<QWidget*>& alsoLocked);
    void end();

    int m_depth = 0;
    QHash<QWidget*, bool> m_enabledBefore;
};

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
    explicit TransferGuard(TransferLock& lock, const QList<QWidget*>& alsoLocked = {});
    ~TransferGuard();
    TransferGuard(const TransferGuard&) = delete;
    TransferGuard& operator=(const TransferGuard&) = delete;

private:
    TransferLock& m_lock;
};

} // namespace q7
