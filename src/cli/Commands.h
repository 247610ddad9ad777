// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace q7 {

class CommandExchange;
class LanguageFile;
class CliHost;
class RecordStore;

struct CommandContext
{
    CommandExchange& exchange;
    const LanguageFile& texts;
    CliHost& host;
    QStringList arguments;                    // after the command's name
    bool confirmed;                           // --yes
    bool replace;                             // --replace
    bool simRange;                            // --sim
    bool dryRun = false;                      // --dry-run: restore only prints its plan
    bool noSnapshot = false;                  // --no-snapshot
    bool noVerify = false;                    // --no-verify
    QString snapshot;                         // --snapshot latest|N: restore a snapshot, not a file
    const RecordStore* reportStore = nullptr; // names the records a write report lists
    QString addressBook;                      // sync: --addressbook DIR
    QString category;                         // sync: --category NAME
    QString prefer;                           // sync: --prefer handset|addressbook
    bool allowDeletions = false;              // sync: --allow-deletions
    QString user;                             // sync: --user NAME on a server
    QString passwordFile;                     // sync: --password-file FILE
    bool allowHttp = false;                   // sync: --allow-http
};

// One row of q7ctl's command table (kCommands in Commands.cpp): the help and
// the usage errors are made from it, so a new command is a new row there,
// its help text a new line in the text table.
struct Command
{
    const char* name;
    // How it is called, in the help's left column: "convert IN OUT".
    const char* synopsis;
    // What it does, in the help's right column.
    TextId help;
    // An empty text when the arguments fit, else what is wrong with them.
    QString (*checkArguments)(const CommandContext&);
    // The exit status: 0 done, 1 failed. Failures may also throw Q7Error.
    int (*run)(CommandContext&);
    // How it is called with its options, for a usage error:
    // "[--sim] convert IN.csv OUT.vcf | IN.vcf OUT.csv".
    const char* form;
};

std::optional<Command> findCommand(const QString& name);

// The help's list of commands, one per table row, in the language file's
// words.
QString commandsHelp(const LanguageFile& texts);

} // namespace q7
