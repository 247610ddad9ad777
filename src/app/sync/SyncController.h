// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ManagerContext.h"

#include <QObject>

namespace q7 {

class CommandExchange;
class PhonebookPage;
class TransferController;

// "Abgleichen…": the address book choice (remembered), the plan with its
// conflicts to settle, the sync on the handset with "Anhalten", and the
// summary. The window then shows the handset as the sync left it.
class SyncController : public QObject
{
    Q_OBJECT

public:
    SyncController(const ManagerContext& context, CommandExchange& exchange, PhonebookPage& page,
                   TransferController& transfers, QObject* parent = nullptr);

    void sync();

private:
    ManagerContext m_context;
    CommandExchange& m_exchange;
    PhonebookPage& m_page;
    TransferController& m_transfers;
};

} // namespace q7
