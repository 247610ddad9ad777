// SPDX-License-Identifier: GPL-3.0-or-later
// q7ctl: the manager's operations from the command line, on the same core as
// the window.

#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using namespace q7;

namespace {

constexpr int kExitUsage = 2;

int usageError(QCommandLineParser& parser, const LanguageFile& texts, TextId message,
               const QString& value = {})
{
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::System);
    err << "q7ctl: " << fillIn(texts.text(message), {value}) << "\n\n" << parser.helpText();
    return kExitUsage;
}

// A known command called wrongly: what is wrong and its right form, rather
// than the whole help.
int commandUsageError(const Command& command, const QString& message)
{
    QTextStream err(stderr);
    err.setEncoding(QStringConverter::System);
    err << "q7ctl " << command.name << ": " << message << '\n'
        << "usage: q7ctl [--port COMn | --device PATH] [--baud RATE] " << command.form << '\n';
    return kExitUsage;
}

// The window's port settings, when the user has saved any.
void restoreWindowPortSettings(TComPort& port)
{
    auto settings = openRegistryKey(kProgramKey);
    if (settings->childGroups().contains(kComPortGroup))
        port.RestorePortSettings(kProgramKey);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));

    const LanguageFile texts(LanguageFile::locate(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("q7manager"))));
    const auto say = [&](TextId id) { return texts.text(id); };
    QCommandLineParser parser;
    parser.setApplicationDescription(say(TextId::Befehlszeile_Beschreibung) +
                                     QStringLiteral("\n\n") + commandsHelp(texts));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), say(TextId::Befehlszeile_OptionPort), QStringLiteral("COMn"));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"), say(TextId::Befehlszeile_OptionDevice), QStringLiteral("PATH"));
    const QCommandLineOption baudOption(
        QStringLiteral("baud"), say(TextId::Befehlszeile_OptionBaud), QStringLiteral("RATE"));
    const QCommandLineOption yesOption(QStringLiteral("yes"), say(TextId::Befehlszeile_OptionYes));
    const QCommandLineOption replaceOption(QStringLiteral("replace"),
                                           say(TextId::Befehlszeile_OptionReplace));
    const QCommandLineOption simOption(QStringLiteral("sim"), say(TextId::Befehlszeile_OptionSim));
    const QCommandLineOption dryRunOption(QStringLiteral("dry-run"),
                                          say(TextId::Befehlszeile_OptionDryRun));
    const QCommandLineOption snapshotOption(QStringLiteral("snapshot"),
                                            say(TextId::Befehlszeile_OptionSnapshot),
                                            QStringLiteral("latest|N"));
    const QCommandLineOption noSnapshotOption(QStringLiteral("no-snapshot"),
                                              say(TextId::Befehlszeile_OptionNoSnapshot));
    const QCommandLineOption noVerifyOption(QStringLiteral("no-verify"),
                                            say(TextId::Befehlszeile_OptionNoVerify));
    parser.addOptions({portOption, deviceOption, baudOption, yesOption, replaceOption, simOption,
                       dryRunOption, snapshotOption, noSnapshotOption, noVerifyOption});
    parser.addPositionalArgument(QStringLiteral("command"), say(TextId::Befehlszeile_Befehl));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(parser, texts, TextId::Fehler_AufrufKeinBefehl);
    if (parser.isSet(portOption) && parser.isSet(deviceOption))
        return usageError(parser, texts, TextId::Fehler_AufrufPortUndDevice);

    int baudRate = 0;
    if (parser.isSet(baudOption)) {
        bool ok = false;
        baudRate = parser.value(baudOption).toInt(&ok);
        if (!ok || baudRate <= 0)
            return usageError(parser, texts, TextId::Fehler_AufrufBaud);
    }

    CliHost host(texts);
    TComPort port;
    CommandExchange exchange(port);

    const auto command = findCommand(args.front());
    if (!command)
        return usageError(parser, texts, TextId::Fehler_AufrufUnbekannt, args.front());
    CommandContext context{exchange,
                           texts,
                           host,
                           args.mid(1),
                           parser.isSet(yesOption),
                           parser.isSet(replaceOption),
                           parser.isSet(simOption),
                           parser.isSet(dryRunOption),
                           parser.isSet(noSnapshotOption),
                           parser.isSet(noVerifyOption),
                           parser.value(snapshotOption)};
    if (const QString problem = command->checkArguments(context); !problem.isEmpty())
        return commandUsageError(*command, problem);

    return exitStatusOf(
        [&] {
            restoreWindowPortSettings(port);
            if (parser.isSet(portOption))
                port.setPort(parser.value(portOption));
            if (parser.isSet(deviceOption))
                port.setDeviceOverride(parser.value(deviceOption));
            if (baudRate > 0) {
                const TBaudRate named = baudRateFromName(QString::number(baudRate));
                port.setBaudRate(bitsPerSecond(named, 0) == baudRate ? named : brCustom);
                port.setCustomBaudRate(baudRate);
            }
            const int status = command->run(context);
            host.finishLine();
            port.ClosePort();
            return status;
        },
        [&](const QString& message) {
            host.finishLine();
            QTextStream err(stderr);
            err.setEncoding(QStringConverter::System);
            err << message << '\n';
        },
        texts);
}
