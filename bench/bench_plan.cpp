// SPDX-License-Identifier: GPL-3.0-or-later
// The write plan of a full phonebook: 700 records against a handset as last
// seen that holds 700 entries differing from them in every value, so that
// every entry is a change of every field. Times the plan itself, then the
// plan dialog built and shown with it until it has painted, and until its
// list has laid out every line again with the heights of those it painted,
// once with the German defaults and once with a language file, whose texts
// each plan line looks up.
//
//   bench_plan [--runs 20] [--language FILE]

#include "BenchPhonebook.h"
#include "app/transfers/WritePlanDialog.h"
#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookWriter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace q7;

namespace {

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> samples, double goal)
{
    const double first = samples.front();
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    std::printf("%-36s n=%3zu  median %8.2f ms  min %8.2f  max %8.2f  first %8.2f", what,
                samples.size(), median, samples.front(), samples.back(), first);
    if (goal > 0)
        std::printf("  goal %.0f ms: %.2f of it%s", goal, median / goal,
                    median < goal ? "" : "  (GOAL MISSED)");
    std::printf("\n");
    std::fflush(stdout);
}

struct DialogTimes
{
    double shown = 0;
    double laidOut = 0;
};

// Built, shown and painted once, as the write shows it before it starts;
// then until the list has settled.
DialogTimes dialogMs(const WritePlan& plan, const RecordStore& store, const HandsetImage& image,
                     const LanguageFile& texts)
{
    QElapsedTimer timer;
    timer.start();
    WritePlanDialog dialog(plan, store, image, texts);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        std::fprintf(stderr, "the plan dialog did not show\n");
    QListWidget* list = dialog.list();
    list->viewport()->repaint();
    DialogTimes times;
    times.shown = msSince(timer);
    if (list->count() != kRecordCount) {
        std::fprintf(stderr, "the plan dialog lists %d lines, not 700\n", list->count());
        return times;
    }
    // The lines shown are measured as they paint, and the list is laid out
    // again with their heights.
    do
        QCoreApplication::processEvents();
    while (list->visualItemRect(list->item(list->count() - 1)).isEmpty());
    list->viewport()->repaint();
    times.laidOut = msSince(timer);
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Samples of each."),
                                        QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption languageOption(QStringLiteral("language"),
                                            QStringLiteral("A language file to look texts up in."),
                                            QStringLiteral("FILE"));
    parser.addOptions({runsOption, languageOption});
    parser.addHelpOption();
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());

    HandsetImage image;
    image.takeRead(q7bench::fullStore(0));
    const RecordStore store = q7bench::fullStore(1);
    std::printf("700 records against 700 entries that differ in every value\n");

    std::vector<double> planning;
    WritePlan plan;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        plan = planWrite(store, image, true);
        planning.push_back(msSince(timer));
    }
    if (plan.changedCount != kRecordCount) {
        std::fprintf(stderr, "the plan changes %d entries, not 700\n", plan.changedCount);
        return 1;
    }
    report("plan", planning, 50);

    const auto dialogRuns = [&](const LanguageFile& texts, const char* what) {
        std::vector<double> shown;
        std::vector<double> laidOut;
        for (int run = 0; run < std::max(1, runs / 4); ++run) {
            const DialogTimes times = dialogMs(plan, store, image, texts);
            shown.push_back(times.shown);
            laidOut.push_back(times.laidOut);
        }
        report((QByteArray("plan dialog shown, ") + what).constData(), shown, 0);
        report((QByteArray("list settled, ") + what).constData(), laidOut, 0);
    };
    dialogRuns(LanguageFile(), "German");
    if (parser.isSet(languageOption))
        dialogRuns(LanguageFile(parser.value(languageOption)), "language file");
    return 0;
}
