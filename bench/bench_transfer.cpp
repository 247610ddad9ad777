// SPDX-License-Identifier: GPL-3.0-or-later
// A full read and two full writes of 700 records against the simulated
// handset, paced at a real line rate, against the lower bound that the bytes
// on the line and the protocol's own pauses allow. The line is full duplex:
// the handset echoes a command while it is still coming in, so per exchange
// the busier direction's bytes count, not both one after the other. Each
// write puts a phonebook that differs in every value of every entry over
// what the handset holds: the first with the check after writing, the second
// (the first phonebook back) without it.
//
//   bench_transfer [--baud 115200] [--read-only]

#include "BenchPhonebook.h"
#include "SimHandset.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/WritePlan.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

using namespace q7;

namespace {

// CPU time of the manager's thread alone: the simulated handset runs in
// threads of its own in this process.
double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Measure
{
    CommandExchange& exchange;
    int baud;
    CommandExchange::Traffic before = exchange.traffic();
    QElapsedTimer wall;
    double cpuBefore = threadCpuSeconds();

    Measure(CommandExchange& e, int b) : exchange(e), baud(b) { wall.start(); }

    void report(const char* what, int records)
    {
        const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
        const double cpu = threadCpuSeconds() - cpuBefore;
        const auto& after = exchange.traffic();
        const qint64 received = after.bytesReceived - before.bytesReceived;
        const qint64 sent = after.bytesSent - before.bytesSent;
        const qint64 pauses = after.pausesAfterReplies - before.pausesAfterReplies;
        const qint64 busier = after.busierDirectionBytes - before.busierDirectionBytes;
        const qint64 exchanges = after.exchanges - before.exchanges;
        const double line = double(busier) * 10.0 / baud;
        const double bound = line + double(pauses) * kPauseAfterReplyMs / 1000.0;
        std::printf("%-12s %5lld exchanges (%.2f per record), %8lld bytes received, %8lld sent, "
                    "%8lld in the busier direction\n",
                    what, exchanges, double(exchanges) / records, received, sent, busier);
        std::printf("             wall %7.2f s   bound %7.2f s (line %6.2f s + pauses %5.2f s)   "
                    "over bound %5.1f %%\n",
                    wallSeconds, bound, line, double(pauses) * kPauseAfterReplyMs / 1000.0,
                    (wallSeconds / bound - 1) * 100);
        std::printf("             cpu  %7.3f s = %.2f %% of wall\n", cpu, cpu / wallSeconds * 100);
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("Line rate."),
                                        QStringLiteral("RATE"), QStringLiteral("115200"));
    const QCommandLineOption readOnly(QStringLiteral("read-only"),
                                      QStringLiteral("Skip the write."));
    parser.addOptions({baudOption, readOnly});
    parser.addHelpOption();
    parser.process(app);
    const int baud = parser.value(baudOption).toInt();

    q7sim::SimOptions options;
    options.baud = baud;
    q7sim::SimHandset sim(options);
    for (int location = 1; location <= kRecordCount; ++location)
        sim.setEntry(location, q7bench::fullEntry(location));

    TComPort port;
    port.setDeviceOverride(sim.start());
    CommandExchange exchange(port);
    OperationHost quiet;
    const LanguageFile texts;
    if (!searchHandset(exchange, texts, quiet)) {
        std::fprintf(stderr, "no handset\n");
        return 1;
    }
    std::printf("700 records, every value at 30 characters, %d baud\n", baud);

    Measure reading(exchange, baud);
    RecordStore store = readPhonebook(exchange, texts, quiet, RecordStore());
    reading.report("read", kRecordCount);
    int live = 0;
    for (int r = 1; r <= kRecordCount; ++r)
        live += store.isLive(r);
    if (live != kRecordCount) {
        std::fprintf(stderr, "read %d records, not 700\n", live);
        return 1;
    }
    if (parser.isSet(readOnly))
        return 0;

    // The other edition over the first, the check on; then the first back,
    // the check off. The plan is the window's, with "only changed" ticked.
    HandsetImage image;
    image.takeRead(store);
    bool succeeded = true;
    const auto writeAll = [&](RecordStore&& toWrite, bool verify, const char* what) {
        const WritePlan plan = planWrite(toWrite, image, true);
        Measure writing(exchange, baud);
        TransferResult result(TransferResult::Operation::Write);
        writePlanned(exchange, texts, quiet, toWrite, image, plan, verify, result);
        writing.report(what, kRecordCount);
        if (!result.succeeded() || result.written != kRecordCount) {
            std::fprintf(stderr, "%s: %d of 700 written, %lld failed, %lld differences\n", what,
                         result.written, qlonglong(result.failedRecords.size()),
                         qlonglong(result.differences.size()));
            succeeded = false;
        }
    };
    writeAll(q7bench::fullStore(1), true, "write");
    writeAll(q7bench::fullStore(0), false, "write, no check");
    return succeeded ? 0 : 1;
}
