// SPDX-License-Identifier: GPL-3.0-or-later
// The handset's command interpreter: a line in, the bytes to answer out. It
// does no I/O, so pacing, latency and the pty stay in SimHandset.
//
// What it understands (names case-insensitive, arguments taken as bytes):
//   AT, ATZ, ATE0, ATE1, ATI, ATI0..ATI3, ATV1, ATQ0
//   AT+CGMI, AT+CGMM, AT+CGMR, AT+CGSN (and their =? forms)
//   AT+CFUN=1, AT+CFUN?, AT+CFUN=?      the handset is always fully on
//   AT+CCLK="yy/MM/dd,hh:mm:ss+zz", AT+CCLK?   a clock kept as an offset
//   AT+CMEE=0|1|2, AT+CMEE?, AT+CMEE=?
//   AT+CSCS="GSM"|"IRA"|"8859-1"|"UCS2", AT+CSCS?, AT+CSCS=?
//   AT+CPBS="ME"|"SM", AT+CPBS?, AT+CPBS=?
//   AT+CPBR=a[,b], AT+CPBR=?        index = location (ME) or SIM position (SM)
//   AT+CPBW=[n],"number"[,type[,"text"]], AT+CPBW=n[,]  (clear), AT+CPBW=?
//       numbers over 20 or texts over 18 handset bytes are refused, as =? says,
//       and +CPBR and +CPBF show no more of a longer value
//   AT+CPBF="prefix", AT+CPBF=?      prefix of the text
//   AT-SCER=n, AT-SCEW=n,v2..v18, AT-SCED=n, AT-SCER=?   n = 1..700
// The set chosen with +CSCS applies to the number and text of +CPBR, +CPBW and
// +CPBF only; the extended-entry commands always carry the handset's bytes.
// Unknown commands and malformed arguments get ERROR; a well-formed command
// the phonebook refuses gets +CME ERROR in the form +CMEE chose (plain ERROR
// at 0, the default). ATZ and a hang-up reset echo, +CMEE and +CSCS.
#pragma once

#include "SimCharset.h"
#include "SimOptions.h"
#include "SimPhonebook.h"

#include <QDateTime>
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
    void reset();

private:
    bool quietFor(int command) const;
    QByteArray execute(const QByteArray& line);
    QByteArray executeBasic(const QByteArray& command);
    QByteArray executeSetting(const QByteArray& name, const QByteArray& tail);
    QByteArray cmeError(int code) const;
    QDateTime clockNow() const;
    QByteArray readEntries(const QByteArray& args);
    QByteArray writeEntry(const QByteArray& args);
    QByteArray findEntries(const QByteArray& args);
    QByteArray readExtended(const QByteArray& args);
    QByteArray writeExtended(const QByteArray& args);
    QByteArray deleteExtended(const QByteArray& args);

    int locationOf(int index) const { return m_sim ? kMeSize + index : index; }
    int bookSize() const { return m_sim ? kSimSize : kMeSize; }
    bool isGarbageLocation(int location) const;
    // The location an extended-entry command names, in *location; the reply
    // that refuses it (not a number, out of range, the garbage location), or
    // nothing when the command may go on.
    QByteArray refuseLocation(const QByteArray& text, int* location) const;
    QByteArray standardLine(const char* prefix, int location) const;
    std::optional<QByteArray> decodeNumber(const QByteArray& number) const;

    SimState& m_state;
    bool m_echo = true;
    bool m_sim = false;  // "SM" selected rather than "ME"
    int m_errorMode = 0; // +CMEE: 0 plain ERROR, 1 numeric, 2 verbose +CME ERROR
    Charset m_charset = Charset::Handset;
    qint64 m_clockOffsetSecs = 0; // +CCLK: the handset's clock against the system's
};

} // namespace q7sim
