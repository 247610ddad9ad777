// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/PortDoctor.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/Texts.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "link/PortDiagnosis.h"
#include "link/PortFailureText.h"
#include "link/PortMap.h"

#include <cerrno>

namespace q7 {

namespace {

QString label(const DoctorPort& port)
{
    return port.first == port.second ? port.second
                                     : QStringLiteral("%1 (%2)").arg(port.first, port.second);
}

} // namespace

QList<DoctorPort> doctorPorts(const QString& deviceOverride)
{
    QList<DoctorPort> ports;
    const QMap<int, QString> map = currentPortMap();
    for (auto it = map.begin(); it != map.end(); ++it)
        ports.append({QStringLiteral("COM%1").arg(it.key()), it.value()});
    if (!deviceOverride.isEmpty() && !map.values().contains(deviceOverride))
        ports.append({deviceOverride, deviceOverride});
    return ports;
}

QList<PortFinding> portFindings(const QList<DoctorPort>& ports, const SystemView& system,
                                const LanguageFile& texts)
{
    QList<PortFinding> findings;
    const auto add = [&](PortFinding::Kind kind, const QString& text) {
        findings.append({kind, text});
    };
    if (ports.isEmpty())
        add(PortFinding::Problem, texts.text(TextId::Diagnose_KeineGeraete));

    QStringList rules;
    for (const DoctorPort& port : ports) {
        const DeviceFacts facts = deviceFacts(port.second, system);
        if (!facts.exists) {
            add(PortFinding::Problem,
                explainOpenFailure(port.first, port.second, ENOENT, system, texts));
            continue;
        }
        QString line = texts.text(TextId::Diagnose_Geraet)
                           .arg(port.first, facts.realDevice, facts.group, facts.permissions);
        if (!facts.byIdPath.isEmpty() && facts.byIdPath != port.second)
            line += QStringLiteral(", ") + texts.text(TextId::Diagnose_AuchAls).arg(facts.byIdPath);
        line += QStringLiteral(": ");
        if (facts.userMayOpen) {
            add(PortFinding::Info, line + texts.text(TextId::Diagnose_Darf));
        } else {
            add(PortFinding::Problem,
                line + texts.text(TextId::Diagnose_DarfNicht) + u' ' +
                    explainOpenFailure(port.first, port.second, EACCES, system, texts));
        }
        for (const DeviceHolder& holder : facts.holders)
            add(PortFinding::Problem, port.first + QStringLiteral(": ") +
                                          texts.text(TextId::Anschluss_BelegtVon)
                                              .arg(holder.program)
                                              .arg(holder.pid)
                                              .arg(facts.realDevice));
        if (!facts.lockFile.isEmpty()) {
            if (facts.lockProgram.isEmpty())
                add(PortFinding::Problem, port.first + QStringLiteral(": ") +
                                              texts.text(TextId::Anschluss_SperrdateiVerwaist)
                                                  .arg(facts.lockFile)
                                                  .arg(facts.lockPid));
            else if (facts.lockPid != system.ownPid)
                add(PortFinding::Problem, port.first + QStringLiteral(": ") +
                                              texts.text(TextId::Anschluss_Sperrdatei)
                                                  .arg(facts.lockFile, facts.lockProgram)
                                                  .arg(facts.lockPid));
        }
        if (!facts.vendorId.isEmpty())
            rules << modemManagerRule(facts.vendorId, facts.productId);
    }

    if (system.isRunning(QStringLiteral("ModemManager"))) {
        if (rules.isEmpty())
            add(PortFinding::Problem, texts.text(TextId::Anschluss_ModemManager));
        for (const QString& rule : std::as_const(rules))
            add(PortFinding::Problem, texts.text(TextId::Anschluss_ModemManagerRegel).arg(rule));
    } else {
        add(PortFinding::Info, texts.text(TextId::Diagnose_ModemManagerAus));
    }
    const bool claimed = brlttyClaimedAdapter(system);
    if (claimed || system.isRunning(QStringLiteral("brltty")))
        add(PortFinding::Problem, texts.text(claimed ? TextId::Anschluss_BrlttyUebernommen
                                                     : TextId::Anschluss_BrlttyLaeuft) +
                                      u' ' + texts.text(TextId::Anschluss_BrlttyEntfernen));
    else
        add(PortFinding::Info, texts.text(TextId::Diagnose_BrlttyAus));
    return findings;
}

bool worthSearching(const DoctorPort& port, const SystemView& system)
{
    const DeviceFacts facts = deviceFacts(port.second, system);
    return facts.exists && facts.userMayOpen && facts.holders.isEmpty();
}

bool runPortDoctor(CommandExchange& exchange, const QList<DoctorPort>& ports,
                   const SystemView& system, const LanguageFile& texts, OperationHost& host,
                   QList<PortFinding>& findings)
{
    findings += portFindings(ports, system, texts);
    TComPort& port = exchange.port();
    const QString override = port.deviceOverride();
    const bool wasOpen = port.Connected();
    bool found = false;
    for (const DoctorPort& candidate : ports) {
        if (!worthSearching(candidate, system))
            continue;
        port.ClosePort();
        port.setDeviceOverride(candidate.second);
        try {
            if (searchHandset(exchange, texts, host)) {
                found = true;
                findings.append({PortFinding::Handset,
                                 texts.text(TextId::Diagnose_Gefunden).arg(label(candidate))});
            } else {
                findings.append({PortFinding::Problem,
                                 texts.text(TextId::Diagnose_KeineAntwort).arg(label(candidate))});
            }
        } catch (const EComPort& failure) {
            findings.append(
                {PortFinding::Problem, failureLines(failure, texts, &system).join(u' ')});
        }
        port.ClosePort();
    }
    port.setDeviceOverride(override);
    if (wasOpen && !port.Connected()) {
        try {
            port.OpenPort();
        } catch (const EComPort&) {
            // The doctor's own findings tell what is wrong with it.
        }
    }
    return found;
}

} // namespace q7
