// SPDX-License-Identifier: GPL-3.0-or-later
// q7sim: a simulated TLM-Q7 handset on a pseudo-terminal, for trying the
// manager without the hardware. Prints the device path, serves until
// SIGINT/SIGTERM.
#include "SimHandset.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

[[noreturn]] void die(const QString& message)
{
    std::fprintf(stderr, "q7sim: %s\n", qPrintable(message));
    std::exit(1);
}

int intValue(const QCommandLineParser& parser, const QString& name, int minimum)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < minimum)
        die(QStringLiteral("--%1 needs a whole number of at least %2").arg(name).arg(minimum));
    return value;
}

std::optional<int> optionalValue(const QCommandLineParser& parser, const QString& name, int minimum)
{
    if (!parser.isSet(name))
        return std::nullopt;
    return intValue(parser, name, minimum);
}

// Replaces an old symlink, but never a real file someone put there.
void makeLink(const QString& link, const QString& target)
{
    const QByteArray path = QFile::encodeName(link);
    if (QFileInfo(link).isSymLink())
        ::unlink(path.constData());
    if (::symlink(QFile::encodeName(target).constData(), path.constData()) != 0)
        die(QStringLiteral("cannot create link %1: %2")
                .arg(link, QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("q7sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated TLM-Q7 handset on a pseudo-terminal."));
    parser.addHelpOption();
    const auto opt = [&parser](const char* name, const char* help,
                               const char* valueName = nullptr) {
        parser.addOption(
            valueName ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                           QString::fromLatin1(valueName))
                      : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help)));
    };
    opt("phonebook", "Start with the entries of this CSV phonebook.", "file.csv");
    opt("sim-range", "Index range reported for the SIM phonebook (default (1-200)).", "text");
    opt("serial", "Serial number AT+CGSN answers (empty: it answers ERROR).", "text");
    opt("baud", "Pace output at this line rate (default: unpaced).", "n");
    opt("latency", "Wait this long before each reply.", "ms");
    opt("log", "Log every command and reply, with ms since start, to this file.", "file");
    opt("link", "Also make the device reachable through a symlink here.", "path");
    opt("stop-answering-after", "Fault: after N commands, never echo or answer again.", "n");
    opt("silent-after", "Fault: after N commands go silent (see --silent-for).", "n");
    opt("silent-for", "Fault: stay silent for M commands, then answer again (default 1).", "m");
    opt("late-after", "Fault: after N commands answer late (see --late-for, --late-ms).", "n");
    opt("late-for", "Fault: answer M commands late (default 1).", "m");
    opt("late-ms", "Fault: how late (default 1500).", "ms");
    opt("garbage-at-command", "Fault: answer command number N with junk and no result code.", "n");
    opt("garbage-at-location", "Fault: answer junk for any command touching this location (1-700).",
        "loc");
    opt("drop-line-after", "Fault: close the line after answering N commands.", "n");
    opt("refuse-extended-write", "Fault: answer ERROR to every -SCEW.");
    opt("refuse-indexed-me-write",
        "Fault: answer ERROR to +CPBW with an index while ME is selected.");
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(1);

    q7sim::SimOptions options;
    options.phonebookFile = parser.value(QStringLiteral("phonebook"));
    if (parser.isSet(QStringLiteral("serial")))
        options.serialNumber = parser.value(QStringLiteral("serial")).toLatin1();
    if (parser.isSet(QStringLiteral("sim-range")))
        options.simRange = parser.value(QStringLiteral("sim-range")).toLatin1();
    if (parser.isSet(QStringLiteral("baud")))
        options.baud = intValue(parser, QStringLiteral("baud"), 0);
    if (parser.isSet(QStringLiteral("latency")))
        options.latencyMs = intValue(parser, QStringLiteral("latency"), 0);
    options.logFile = parser.value(QStringLiteral("log"));
    options.stopAnsweringAfter = optionalValue(parser, QStringLiteral("stop-answering-after"), 0);
    options.silentAfter = optionalValue(parser, QStringLiteral("silent-after"), 0);
    if (parser.isSet(QStringLiteral("silent-for"))) {
        if (!options.silentAfter)
            die(QStringLiteral("--silent-for needs --silent-after"));
        options.silentFor = intValue(parser, QStringLiteral("silent-for"), 1);
    } else if (options.silentAfter) {
        options.silentFor = 1;
    }
    options.lateAfter = optionalValue(parser, QStringLiteral("late-after"), 0);
    if (options.lateAfter) {
        options.lateFor = parser.isSet(QStringLiteral("late-for"))
                              ? intValue(parser, QStringLiteral("late-for"), 1)
                              : 1;
        options.lateMs = parser.isSet(QStringLiteral("late-ms"))
                             ? intValue(parser, QStringLiteral("late-ms"), 0)
                             : 1500;
    }
    options.garbageAtCommand = optionalValue(parser, QStringLiteral("garbage-at-command"), 1);
    options.garbageAtLocation = optionalValue(parser, QStringLiteral("garbage-at-location"), 1);
    options.dropLineAfter = optionalValue(parser, QStringLiteral("drop-line-after"), 0);
    options.refuseExtendedWrite = parser.isSet(QStringLiteral("refuse-extended-write"));
    options.refuseIndexedMeWrite = parser.isSet(QStringLiteral("refuse-indexed-me-write"));

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        die(QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action
    {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    q7sim::SimHandset handset(options);
    QString device;
    try {
        device = handset.start();
    } catch (const std::runtime_error& e) {
        die(QString::fromLocal8Bit(e.what()));
    }
    const QString link = parser.value(QStringLiteral("link"));
    if (!link.isEmpty())
        makeLink(link, device);
    std::printf("%s\n", qPrintable(device));
    std::fflush(stdout);

    const int rc = app.exec();
    handset.stop();
    if (!link.isEmpty() && QFileInfo(link).isSymLink())
        ::unlink(QFile::encodeName(link).constData());
    return rc;
}
