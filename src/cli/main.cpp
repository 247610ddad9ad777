// SPDX-License-Identifier: GPL-3.0-or-later
// q7ctl: the manager's operations from the command line, on the same core as
// the window.

#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/ProgramLanguage.h"
#include "base/RegistryKey.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

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

// Outside a desktop session (a terminal on the console, cron, ssh) Qt Gui
// warns that there is no runtime folder, which it never needs for a PDF;
// stderr carries q7ctl's own reports, so that line stays out of them.
QtMessageHandler qtMessages = nullptr;

void keepRuntimeFolderWarningOut(QtMsgType type, const QMessageLogContext& context,
                                 const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    qtMessages(type, context, message);
}

// A PDF's pages are painted with Qt Gui, which wants a QGuiApplication for
// its fonts. q7ctl shows no window, so the offscreen platform serves with or
// without a display; the other commands keep to a plain core application.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]).toLower().endsWith(".pdf")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qtMessages = qInstallMessageHandler(keepRuntimeFolderWarningOut);
            return std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));

    const LanguageFile texts(LanguageFile::locate(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("q7manager"))));
    // The list a PDF holds speaks the window's language and sorts its names
    // as the window's tree does.
    useProgramLanguage(texts.languageCode());
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
    const QCommandLineOption addressBookOption(QStringLiteral("addressbook"),
                                               say(TextId::Befehlszeile_OptionAddressbook),
                                               QStringLiteral("DIR|URL"));
    const QCommandLineOption categoryOption(QStringLiteral("category"),
                                            say(TextId::Befehlszeile_OptionCategory),
                                            QStringLiteral("NAME"));
    const QCommandLineOption preferOption(
        QStringLiteral("prefer"), say(TextId::Befehlszeile_OptionPrefer), QStringLiteral("SIDE"));
    const QCommandLineOption allowDeletionsOption(QStringLiteral("allow-deletions"),
                                                  say(TextId::Befehlszeile_OptionAllowDeletions));
    const QCommandLineOption userOption(
        QStringLiteral("user"), say(TextId::Befehlszeile_OptionUser), QStringLiteral("NAME"));
    const QCommandLineOption passwordFileOption(QStringLiteral("password-file"),
                                                say(TextId::Befehlszeile_OptionPasswordFile),
                                                QStringLiteral("FILE"));
    const QCommandLineOption allowHttpOption(QStringLiteral("allow-http"),
                                             say(TextId::Befehlszeile_OptionAllowHttp));
    parser.addOptions({portOption, deviceOption, baudOption, yesOption, replaceOption, simOption,
                       dryRunOption, snapshotOption, noSnapshotOption, noVerifyOption,
                       addressBookOption, categoryOption, preferOption, allowDeletionsOption,
                       userOption, passwordFileOption, allowHttpOption});
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
                           parser.value(snapshotOption),
                           nullptr,
                           parser.value(addressBookOption),
                           parser.value(categoryOption),
                           parser.value(preferOption),
                           parser.isSet(allowDeletionsOption),
                           parser.value(userOption),
                           parser.value(passwordFileOption),
                           parser.isSet(allowHttpOption)};
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
