// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The simulated handset on a pseudo-terminal, the manager's port opened on
// the other end, and a host that records what an operation reported.

#include "SimHandset.h"
#include "base/OperationHost.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

struct RecordingHost : q7::OperationHost
{
    QStringList statuses;
    QList<int> progress;
    QList<std::pair<int, int>> steps; // done, total
    // Called with each step as it is reported.
    std::function<void(int, int)> onStep;
    int lostLinkQuestions = 0;
    int handsetFoundCalls = 0;
    // Answers the lost-link question; cancels when not set.
    std::function<bool()> onLostLink;

    void showStatus(const QString& text) override { statuses << text; }
    void setProgress(int value) override { progress << value; }
    void setStepProgress(int done, int total) override
    {
        steps << std::pair(done, total);
        if (onStep)
            onStep(done, total);
    }
    bool retryLostLink(const QString&) override
    {
        ++lostLinkQuestions;
        return onLostLink ? onLostLink() : false;
    }
    void handsetFound() override { ++handsetFoundCalls; }
};

// 18 values of an entry in the handset's own character set.
inline QList<QByteArray> simEntry(int location, const QByteArray& name,
                                  const QByteArray& number = "0301234567",
                                  const QByteArray& group = {})
{
    return {QByteArray::number(location),
            name,
            group,
            "TELNO",
            "Mobil",
            number,
            "TELNO",
            {},
            {},
            "TELNO",
            {},
            {},
            "CUSTOM",
            {},
            {},
            "CUSTOM",
            {},
            {}};
}

struct SimFixture
{
    explicit SimFixture(q7sim::SimOptions options = {})
        : sim(std::make_unique<q7sim::SimHandset>(std::move(options)))
    {
        port.setDeviceOverride(sim->start());
        port.OpenPort();
    }

    // Commands that begin with the prefix, ignoring case.
    QList<QByteArray> sent(const QByteArray& prefix) const
    {
        QList<QByteArray> matching;
        for (const QByteArray& command : sim->commands())
            if (command.toLower().startsWith(prefix.toLower()))
                matching << command;
        return matching;
    }

    std::unique_ptr<q7sim::SimHandset> sim;
    q7::TComPort port;
    q7::CommandExchange exchange{port};
    RecordingHost host;
};
