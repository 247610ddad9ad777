// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sync engine itself against the simulated handset, for the cases q7ctl
// cannot reach: something done to the address book between the plan and
// the writes, or an address book that fails midway.

#include "base/LanguageFile.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "support/SimFixture.h"
#include "sync/SyncEngine.h"

#include <QString>
#include <functional>
#include <optional>

namespace q7::test {

// The commands among `commands` that change the handset's phonebook.
inline QList<QByteArray> handsetWrites(const QList<QByteArray>& commands)
{
    QList<QByteArray> writes;
    for (const QByteArray& command : commands) {
        const QByteArray upper = command.toUpper();
        if (upper.startsWith("AT-SCEW") || upper.startsWith("AT-SCED") ||
            upper.startsWith("AT+CPBW"))
            writes << command;
    }
    return writes;
}

struct EngineSync
{
    QString device; // the simulated handset's line
    QString folder; // for the state and the snapshots
    std::optional<sync::Side> prefer;
    RecordingHost* host = nullptr; // what the runs report; none: not kept

    // The run with this book, handed to `f`.
    template <typename F> auto withRun(sync::AddressBook& book, F&& f)
    {
        TComPort port;
        port.setDeviceOverride(device);
        port.OpenPort();
        CommandExchange exchange(port);
        RecordingHost ownHost;
        sync::SyncSettings settings;
        settings.prefer = prefer;
        settings.stateFolder = folder + QStringLiteral("/state");
        settings.snapshotFolder = folder + QStringLiteral("/snapshots");
        const LanguageFile texts;
        sync::SyncRun run(book, exchange, texts, host ? *host : ownHost, settings);
        return f(run);
    }

    // A whole sync, `between` done after the plan.
    sync::SyncResult run(sync::AddressBook& book, const std::function<void()>& between = {})
    {
        return withRun(book, [&](sync::SyncRun& run) {
            run.prepare();
            if (between)
                between();
            return run.carryOut();
        });
    }
    // What a sync would do now, and how many pairs the state holds.
    std::pair<sync::SyncCounts, qsizetype> plan(sync::AddressBook& book)
    {
        return withRun(book, [&](sync::SyncRun& run) {
            run.prepare();
            return std::pair(run.counts(), run.state()->pairs().size());
        });
    }
};

} // namespace q7::test
