// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

struct Command
{
    const char* name;
    // An empty text when the arguments fit, else what is wrong with them.
    QString (*checkArguments)(const CommandContext&);
    // The exit status: 0 done, 1 failed. Failures may also throw Q7Error.
    int (*run)(CommandContext&);
    // How it is called, for a usage error: "backup FILE.csv".
    const char* form = nullptr;
};

std::optional<Command> findCommand(const QString& name);

} // namespace q7
