#include "cli/Commands.h"

#include "app/Errors.h"
#include "app/LanguageFile.h"
#include "cli/CliHost.h"
#include "link/HandsetSearch.h"

#include <QTextStream>

namespace q7 {

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    stream.setEncoding(QStringConverter::System);
    return stream;
}

QString noArguments(const CommandContext& context)
{
    return context.arguments.isEmpty() ? QString() : QStringLiteral("too many arguments");
}

// Every command but detect needs the handset first.
void requireHandset(CommandContext& context)
{
    if (!searchHandset(context.exchange, context.texts, context.host))
        throw Q7Error(context.texts.text(TextId::Statusleiste_Handynichtgefunden));
}

int detect(CommandContext& context)
{
    const bool found = searchHandset(context.exchange, context.texts, context.host);
    context.host.finishLine();
    out() << context.texts.text(found ? TextId::Statusleiste_Handygefunden
                                      : TextId::Statusleiste_Handynichtgefunden)
          << '\n';
    out().flush();
    return found ? 0 : 1;
}

const Command kCommands[] = {
    {"detect", noArguments, detect},
};

} // namespace

std::optional<Command> findCommand(const QString& name)
{
    for (const Command& command : kCommands)
        if (name == QLatin1String(command.name))
            return command;
    return std::nullopt;
}

} // namespace q7
