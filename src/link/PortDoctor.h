// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace q7 {

class CommandExchange;
class LanguageFile;
class OperationHost;
struct SystemView;

// One thing the doctor found, in a line that says what to do about it.
struct PortFinding
{
    enum Kind
    {
        Info,    // how things are; nothing to do
        Problem, // something in the way, with what to do
        Handset, // the handset answered on a port
    };
    Kind kind = Info;
    QString text;
    friend bool operator==(const PortFinding&, const PortFinding&) = default;
};

// A port by the name the user sees ("COM3") and its device.
using DoctorPort = QPair<QString, QString>;

// The ports the doctor looks at: every mapped name, and a device given by
// its path (the command line's --device) that no name stands for.
QList<DoctorPort> doctorPorts(const QString& deviceOverride);

// What the system shows about each port and the programs that get in the
// way of serial ports, without opening any.
QList<PortFinding> portFindings(const QList<DoctorPort>& ports, const SystemView& system,
                                const LanguageFile& texts);

// Whether the search should try the port: it is there, the user may open it
// and nothing holds it.
bool worthSearching(const DoctorPort& port, const SystemView& system);

// The findings, then the handset search on each port worth it; the port's
// device is set back afterwards. True when the handset answered somewhere.
bool runPortDoctor(CommandExchange& exchange, const QList<DoctorPort>& ports,
                   const SystemView& system, const LanguageFile& texts, OperationHost& host,
                   QList<PortFinding>& findings);

} // namespace q7
