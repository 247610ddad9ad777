// SPDX-License-Identifier: GPL-3.0-or-later
// q7ctl: the manager's operations from the command line, on the same core as
// the window.

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
    if (settings->childGroups().contains(QStringLiteral("ComPort")))
        port.RestorePortSettings(kProgramKey);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads, saves and restores the phonebook of a Vexa TLM-Q7 and keeps it in step\n"
        "with an address book.\n\n"
        "Commands:\n"
        "  detect               search for the handset\n"
        "  doctor               list the serial ports and what keeps each from\n"
        "                       working, then search for the handset on each\n"
        "  list                 read the whole phonebook, one line per entry\n"
        "  backup FILE.csv      read the whole phonebook and save it as a CSV file\n"
        "  backup FILE.vcf      ... or as vCard\n"
        "  restore FILE.csv     write every entry of a CSV file to the handset\n"
        "                       (--replace erases the handset first)\n"
        "  restore --snapshot latest|N\n"
        "                       put the handset back as a snapshot holds it\n"
        "  restore --dry-run ...  read the handset and print what restore would do\n"
        "  snapshots            list the snapshots of the handset, newest first\n"
        "  erase --yes          delete every entry on the handset\n"
        "  convert IN OUT       turn a CSV file into vCard or vCard into a CSV file,\n"
        "                       without a handset (--sim places the cards on the\n"
        "                       SIM card, else in the handset memory); IN may also be\n"
        "                       another program's contacts CSV file\n"
        "  merge BASE IN OUT    add the contacts of IN (vCard or contacts CSV) to the\n"
        "                       phonebook file BASE without duplicates, into OUT\n"
        "  duplicates FILE.csv  list the entries that share a number or a name\n"
        "  sync --addressbook DIR|URL\n"
        "                       bring the handset and a folder of vCards in step:\n"
        "                       print the plan, carry it out, print the summary;\n"
        "                       exit status 3 when conflicts are left"));
    parser.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Serial port COM1..COM96."), QStringLiteral("COMn"));
    const QCommandLineOption deviceOption(QStringLiteral("device"),
                                          QStringLiteral("Device path, e.g. /dev/ttyUSB0."),
                                          QStringLiteral("PATH"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Line rate."),
                                        QStringLiteral("RATE"));
    const QCommandLineOption yesOption(QStringLiteral("yes"),
                                       QStringLiteral("Confirm erasing the handset."));
    const QCommandLineOption replaceOption(QStringLiteral("replace"),
                                           QStringLiteral("restore: erase the handset first."));
    const QCommandLineOption simOption(
        QStringLiteral("sim"),
        QStringLiteral("convert, merge: place new entries on the SIM card."));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("restore: read the handset and print the plan; change nothing."));
    const QCommandLineOption snapshotOption(
        QStringLiteral("snapshot"),
        QStringLiteral("restore: write back this snapshot (latest, or its number in snapshots)."),
        QStringLiteral("latest|N"));
    const QCommandLineOption noSnapshotOption(
        QStringLiteral("no-snapshot"),
        QStringLiteral("restore, erase: keep no snapshot of the handset first."));
    const QCommandLineOption noVerifyOption(
        QStringLiteral("no-verify"), QStringLiteral("restore: do not read back what was written."));
    const QCommandLineOption addressBookOption(
        QStringLiteral("addressbook"),
        QStringLiteral("sync: the folder of vCards, or the CardDAV server or address book "
                       "(http:// or https:// URL), to sync with."),
        QStringLiteral("DIR|URL"));
    const QCommandLineOption categoryOption(
        QStringLiteral("category"),
        QStringLiteral("sync: only the cards of this category; new cards get it."),
        QStringLiteral("NAME"));
    const QCommandLineOption preferOption(
        QStringLiteral("prefer"),
        QStringLiteral("sync: settle conflicts for this side (handset or addressbook)."),
        QStringLiteral("SIDE"));
    const QCommandLineOption allowDeletionsOption(
        QStringLiteral("allow-deletions"),
        QStringLiteral("sync: delete even more than 10 or a quarter of a side."));
    const QCommandLineOption userOption(
        QStringLiteral("user"), QStringLiteral("sync: the user name on the CardDAV server."),
        QStringLiteral("NAME"));
    const QCommandLineOption passwordFileOption(
        QStringLiteral("password-file"),
        QStringLiteral("sync: the file whose first line is the server's password (else the "
                       "environment variable Q7_PASSWORD)."),
        QStringLiteral("FILE"));
    const QCommandLineOption allowHttpOption(
        QStringLiteral("allow-http"),
        QStringLiteral("sync: talk plain http:// to a server on another machine."));
    parser.addOptions({portOption, deviceOption, baudOption, yesOption, replaceOption, simOption,
                       dryRunOption, snapshotOption, noSnapshotOption, noVerifyOption,
                       addressBookOption, categoryOption, preferOption, allowDeletionsOption,
                       userOption, passwordFileOption, allowHttpOption});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do."));
    parser.process(app);

    const LanguageFile texts(LanguageFile::locate(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("q7manager"))));
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
