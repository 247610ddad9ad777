// SPDX-License-Identifier: GPL-3.0-or-later
// A simulated TLM-Q7 handset behind a pseudo-terminal, for tests, the demo and
// benchmarks. It speaks the handset's AT dialect on the pty master; whoever
// opens the slave device (the path start() returns) talks to it like to the
// real serial line.
//
// Behaviour worth knowing on the other side:
//  - Closing the slave is a hang-up: the handset resets its echo to on and
//    forgets any half-received line and unsent reply (see hangupCount()).
//    A program that took the line for itself (TIOCEXCL) leaves it free for
//    the next one, as a closed serial line is.
//  - Echo returns the received bytes as they arrive; ATE0 turns it off, ATZ
//    and a hang-up turn it back on.
//  - Faults (SimOptions) make it fall silent, answer junk or drop the line.
#pragma once

#include "SimOptions.h"
#include "SimPhonebook.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace q7sim {

struct SimState;
class SimLinkThread;

class SimHandset
{
public:
    explicit SimHandset(SimOptions options = {});
    ~SimHandset(); // stops
    SimHandset(const SimHandset&) = delete;
    SimHandset& operator=(const SimHandset&) = delete;

    // Opens the pty (and loads options().phonebookFile when set, replacing the
    // phonebook) and serves it from an own thread, so the caller may block or
    // run nested event loops. Returns the slave device path, e.g. /dev/pts/3.
    // Throws std::runtime_error when the pty, phonebook or log cannot be opened.
    QString start();
    // Closes the pty and ends the thread; the phonebook is kept.
    void stop();
    QString devicePath() const { return m_path; }

    // Thread-safe state access. Locations are 1..500 (handset memory) and
    // 501..700 (SIM positions 1..200).
    QList<QByteArray> entry(int location) const; // 18 values; empty when unused
    // Value 1 is always stored as the location; missing values are empty.
    // An empty list clears the location; locations outside 1..700 are ignored.
    void setEntry(int location, const QList<QByteArray>& values);
    void clearEntry(int location);
    Phonebook phonebook() const;
    bool loadPhonebook(const QString& csvPath, QString* error = nullptr);

    QList<QByteArray> commands() const; // non-blank lines received, without CR/LF
    void clearCommands();
    int commandCount() const; // lines ever received; the fault options count these
    int hangupCount() const;  // times the other side closed the device

    SimOptions options() const;
    // Pacing, latency and faults apply from the next byte on; phonebookFile
    // and logFile are only read by start().
    void setOptions(const SimOptions& options);
    // While set, nothing is echoed or answered (commands are still recorded).
    void setSilent(bool silent);
    // Closes the pty master now, as a handset that dies would.
    void dropLine();

private:
    std::unique_ptr<SimState> m_state;
    std::unique_ptr<SimLinkThread> m_thread;
    QString m_path;
};

} // namespace q7sim
