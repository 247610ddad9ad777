#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace q7 {

class CommandExchange;
class LanguageFile;
class CliHost;

struct CommandContext
{
    CommandExchange& exchange;
    const LanguageFile& texts;
    CliHost& host;
    QStringList arguments; // after the command's name
    bool confirmed;        // --yes
    bool replace;          // --replace
    bool simRange;         // --sim
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
