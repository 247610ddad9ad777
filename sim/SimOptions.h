// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace q7sim {

// How the simulated handset behaves. Command numbers count the non-blank lines
// received since start(), from 1, across hang-ups; clearCommands() does not
// reset them (see SimHandset::commandCount()).
struct SimOptions
{
    QString phonebookFile;                       // CSV loaded by start(); empty: an empty handset
    QByteArray simRange = "(1-200)";             // index range text +CPBR=? reports for "SM"
    QByteArray serialNumber = "351234567890125"; // what AT+CGSN answers; empty: ERROR
    int baud = 0;      // pace output at this line rate; 0: as fast as possible
    int latencyMs = 0; // delay before each reply
    QString logFile;   // commands and replies with ms since start()

    // Faults, for testing how the other side copes.
    std::optional<int> stopAnsweringAfter; // commands after the Nth: no echo, no reply, ever
    std::optional<int> silentAfter;        // with silentFor: commands N+1..N+M get nothing,
    int silentFor = 0;                     //   later ones are answered again
    std::optional<int> lateAfter;          // with lateFor, lateMs: commands N+1..N+M are answered
    int lateFor = 0;                       //   lateMs after they came in (and hold back the input
    int lateMs = 0;                        //   behind them), on top of latencyMs
    std::optional<int> garbageAtCommand; // that command's reply is junk without a final result code
    std::optional<int> garbageAtLocation; // same for any command touching this location (1..700)
    std::optional<int> dropLineAfter;     // close the pty master after answering the Nth command
    bool refuseExtendedWrite = false;     // every -SCEW gets ERROR
    bool refuseIndexedMeWrite = false;    // +CPBW=n,... gets ERROR while "ME" is selected
    int nameKeptBy = 0; // an extended write keeps this many characters of the name; 0: all
};

} // namespace q7sim
