// The handset's command interpreter: a line in, the bytes to answer out. It
// does no I/O, so pacing, latency and the pty stay in SimHandset.
//
// What it understands (names case-insensitive, arguments taken as bytes):
//   AT, ATZ, ATE0, ATE1, ATI2
//   AT+CPBS="ME"|"SM", AT+CPBS?, AT+CPBS=?
//   AT+CPBR=a[,b], AT+CPBR=?        index = location (ME) or SIM position (SM)
//   AT+CPBW=[n],"number"[,type[,"text"]], AT+CPBW=n[,]  (clear), AT+CPBW=?
//       numbers over 20 or texts over 18 bytes are refused, as reported by =?
//   AT+CPBF="prefix", AT+CPBF=?      byte-exact prefix of the text
//   AT-SCER=n, AT-SCEW=n,v2..v18, AT-SCED=n, AT-SCER=?   n = 1..700
// Anything else, or a malformed argument, gets ERROR.
#pragma once

#include "simoptions.h"
#include "simphonebook.h"

#include <QMutex>

namespace q7sim {

// What both the I/O thread and the owner's thread touch. Lock mutex for any access.
struct SimState
{
    mutable QMutex mutex;
    SimOptions options;
    Phonebook book;
    QList<QByteArray> commands;
    int commandCount = 0;
    int hangups = 0;
    bool silent = false;
};

class SimEngine
{
public:
    struct Reply
    {
        QByteArray bytes;      // empty: send nothing at all
        bool dropLine = false; // close the line once the bytes are out
    };

    explicit SimEngine(SimState& state) : m_state(state) {}

    // Whether a byte arriving now is echoed: echo is on and the command it
    // belongs to is not one the faults keep quiet.
    bool echoing() const;
    // A complete line, CR and LF removed.
    Reply handleLine(const QByteArray& line);
    // What a reset of the handset forgets: ATZ, or the line being hung up.
    void reset() { m_echo = true; }

private:
    bool quietFor(int command) const;
    QByteArray execute(const QByteArray& line);
    QByteArray executeBasic(const QByteArray& command);
    QByteArray readEntries(const QByteArray& args);
    QByteArray writeEntry(const QByteArray& args);
    QByteArray findEntries(const QByteArray& args);
    QByteArray readExtended(const QByteArray& args);
    QByteArray writeExtended(const QByteArray& args);
    QByteArray deleteExtended(const QByteArray& args);

    int locationOf(int index) const { return m_sim ? kMeSize + index : index; }
    int bookSize() const { return m_sim ? kSimSize : kMeSize; }
    bool isGarbageLocation(int location) const;
    QByteArray standardLine(const char* prefix, int location) const;

    SimState& m_state;
    bool m_echo = true;
    bool m_sim = false; // "SM" selected rather than "ME"
};

} // namespace q7sim
