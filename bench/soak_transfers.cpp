// SPDX-License-Identifier: GPL-3.0-or-later
// The transfers soaked in faults: a seeded random schedule of what a bad
// line does (silence, garbage, a dropped line, refused writes, latency
// spikes, late answers) over many read, write, restore and backup cycles against the
// simulated handset, each cycle checked against what must hold whatever the
// line did:
//   - a failed or cancelled read leaves the store as it was; a read that
//     succeeds holds exactly the handset's entries;
//   - a failed write leaves every handset location as it was or as written,
//     and names every record it handled and did not write; a write that
//     succeeds leaves no placeholder behind;
//   - a failed backup leaves the existing file untouched;
//   - no operation runs past what its time-outs allow.
//
//   q7soak [--cycles 200] [--seed N] [--verbose]
//
// Prints cycles run, faults injected and violations, each with the seed and
// cycle that replays it (--seed N --cycles C reaches cycle C).

#include "SimHandset.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "fileio/CsvPhonebook.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/GsmText.h"
#include "link/HandsetSearch.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace q7;

namespace {

// Longer than any operation may take here: a few lost-link rounds of the
// 5 s silence time-out each, on a small phonebook.
constexpr int kOperationLimitMs = 90'000;
constexpr int kMaxRetries = 3;
const QByteArray kPlaceholder = "HilfsDummy";
const char* const kFaultKinds[] = {"silence",       "garbage",       "dropped line",
                                   "refused -SCEW", "refused +CPBW", "late answers",
                                   "latency spikes"};

quint64 g_seed = 0;
int g_cycle = 0;

void onAlarm(int)
{
    // A hang the watchdog could not end: say which run it was and stop.
    char text[128];
    const int n = std::snprintf(text, sizeof text,
                                "HANG: seed %llu cycle %d did not finish; replay with --seed %llu "
                                "--cycles %d\n",
                                static_cast<unsigned long long>(g_seed), g_cycle,
                                static_cast<unsigned long long>(g_seed), g_cycle);
    [[maybe_unused]] const ssize_t written = ::write(2, text, size_t(n));
    ::_exit(3);
}

// Answers the lost-link question at random, retrying a few times at most.
struct SoakHost : OperationHost
{
    QRandomGenerator* random = nullptr;
    int retries = 0;
    int lastProgress = 0;

    bool retryLostLink(const QString&) override
    {
        if (retries >= kMaxRetries || random->bounded(10) < 3)
            return false;
        ++retries;
        return true;
    }
    void setProgress(int value) override
    {
        if (value > 0)
            lastProgress = value;
    }
};

// The handset entry a record stands for: values in the handset character set
// but the Gruppe and value 18, as the write sends them.
QList<QByteArray> handsetEntry(const RecordStore& store, int record, int location)
{
    QList<QByteArray> values{QByteArray::number(location)};
    for (int k = Name; k <= kEntryValueCount; ++k) {
        const QByteArray value = store.field(record, k);
        values << (k == Gruppe || k == Feld18 ? value : pcToHandset(value));
    }
    values[Zusatz1 - 1].clear(); // the handset keeps no additional texts from a write
    values[Zusatz2 - 1].clear();
    return values;
}

QByteArray randomText(QRandomGenerator& random, int maxLength)
{
    // PC text with the letters that the handset keeps elsewhere.
    static const QByteArray letters =
        QByteArray("abcdefghijklmnopqrstuvwxyz ABCXYZ") + "\xe4\xf6\xfc\xc4\xd6\xdc\xdf" + "@$_";
    QByteArray text;
    const int length = 1 + random.bounded(maxLength);
    for (int i = 0; i < length; ++i)
        text += letters.at(random.bounded(int(letters.size())));
    return text.trimmed().isEmpty() || text.startsWith(' ') ? "x" + text.trimmed() : text;
}

QByteArray randomNumber(QRandomGenerator& random)
{
    QByteArray number = random.bounded(2) ? "+49" : "0";
    for (int i = random.bounded(4, 12); i > 0; --i)
        number += char('0' + random.bounded(10));
    return number;
}

void fillRecord(RecordStore& store, QRandomGenerator& random, int record, int location)
{
    store.clearEntry(record);
    store.setField(record, Speicherplatz, QByteArray::number(location));
    store.setField(record, Name, randomText(random, 20));
    if (random.bounded(2))
        store.setField(record, Gruppe, random.bounded(2) ? "Familie" : "Freunde");
    for (int slot = 1; slot <= 3; ++slot) {
        store.setField(record, NummerTag1 + 3 * (slot - 1), "TELNO");
        if (slot == 1 || random.bounded(3) == 0) {
            store.setField(record, nummernartField(slot), random.bounded(2) ? "Mobil" : "Heim");
            store.setField(record, nummerField(slot), randomNumber(random));
        }
    }
    store.setField(record, ZusatzTag1, "CUSTOM");
    store.setField(record, ZusatzTag2, "CUSTOM");
    if (random.bounded(3) == 0)
        store.setField(record, Feld14, randomText(random, 12));
    store.setField(record, ChangedFlag, "JA");
}

class Soak
{
public:
    Soak(quint64 seed, bool verbose) : m_random(seed), m_seed(seed), m_verbose(verbose)
    {
        m_host.random = &m_random;
    }

    int run(int cycles);

private:
    enum class Operation
    {
        Read,
        Write,
        Restore,
        Backup
    };

    void startHandset();
    void connect();
    void armFaults(int expectedCommands);
    void clearFaults();
    void violation(const QString& what);

    void cycleRead(bool backup);
    void cycleWrite(bool restore);
    void checkRead(const RecordStore& read);
    void checkWrite(const q7sim::Phonebook& before, const RecordStore& intended,
                    const RecordStore& written, const QList<int>& handled,
                    const TransferResult& result, bool threw);
    void idle();
    void modifyStore();
    template <class Body> bool timed(const char* what, Body&& body);

    QRandomGenerator m_random;
    quint64 m_seed;
    bool m_verbose;
    QTemporaryDir m_dir;
    q7sim::SimHandset m_sim;
    TComPort m_port;
    CommandExchange m_exchange{m_port};
    LanguageFile m_texts;
    SoakHost m_host;
    RecordStore m_store; // what the window would hold
    bool m_lineDropped = false;
    int m_faults = 0;
    std::array<int, std::size(kFaultKinds)> m_faultsByKind{};
    int m_violations = 0;
    int m_failedOperations = 0;
    int m_placeholdersLeft = 0;
    QList<QTimer*> m_faultTimers;
};

void Soak::violation(const QString& what)
{
    ++m_violations;
    std::printf("VIOLATION seed %llu cycle %d: %s\n", static_cast<unsigned long long>(m_seed),
                g_cycle, qPrintable(what));
    std::fflush(stdout);
}

void Soak::startHandset()
{
    m_port.ClosePort();
    m_sim.stop();
    m_port.setDeviceOverride(m_sim.start());
    m_lineDropped = false;
}

void Soak::connect()
{
    m_port.ClosePort();
    m_exchange.clearCancel();
    m_host.retries = 0;
    m_host.lastProgress = 0;
    if (m_lineDropped)
        startHandset();
    if (!searchHandset(m_exchange, m_texts, m_host))
        throw std::runtime_error("the handset was not found on a clean line");
}

// One to three faults, placed among the commands the operation will send.
void Soak::armFaults(int expectedCommands)
{
    q7sim::SimOptions o;
    const int base = m_sim.commandCount();
    const auto at = [&] { return base + 1 + m_random.bounded(std::max(1, expectedCommands)); };
    for (int n = 1 + m_random.bounded(3); n > 0; --n) {
        ++m_faults;
        const int kind = m_random.bounded(7);
        ++m_faultsByKind[kind];
        switch (kind) {
        case 0:
            o.silentAfter = at();
            o.silentFor = 1 + m_random.bounded(3);
            break;
        case 1:
            o.garbageAtCommand = at();
            break;
        case 2:
            o.dropLineAfter = at();
            break;
        case 3:
            o.refuseExtendedWrite = true;
            break;
        case 4:
            o.refuseIndexedMeWrite = true;
            break;
        case 5:
            // Answers past the first-byte time-out: the retry gets answered too.
            o.lateAfter = at() - 1;
            o.lateFor = 1 + m_random.bounded(2);
            o.lateMs = 1100 + m_random.bounded(800);
            break;
        default: {
            // A latency spike, sometimes past the first-byte time-out.
            const int startMs = m_random.bounded(1500);
            const int spikeMs = m_random.bounded(2) ? 1200 : 400;
            const int lengthMs = 300 + m_random.bounded(2000);
            auto* begin = new QTimer;
            begin->setSingleShot(true);
            QObject::connect(begin, &QTimer::timeout, [this, spikeMs, lengthMs] {
                q7sim::SimOptions now = m_sim.options();
                now.latencyMs = spikeMs;
                m_sim.setOptions(now);
                QTimer::singleShot(lengthMs, [this] {
                    q7sim::SimOptions later = m_sim.options();
                    later.latencyMs = 0;
                    m_sim.setOptions(later);
                });
            });
            begin->start(startMs);
            m_faultTimers << begin;
        }
        }
    }
    m_sim.setOptions(o);
    if (m_verbose)
        std::printf("  faults from command %d: silent %d+%d late %d+%d garbage %d drop %d "
                    "refuse %d/%d\n",
                    base + 1, o.silentAfter.value_or(0), o.silentFor, o.lateAfter.value_or(0),
                    o.lateFor, o.garbageAtCommand.value_or(0), o.dropLineAfter.value_or(0),
                    int(o.refuseExtendedWrite), int(o.refuseIndexedMeWrite));
}

// Back to the idle event loop, as the window between two commands: what the
// port queued up after a failure (its close) happens now.
void Soak::idle()
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

void Soak::clearFaults()
{
    qDeleteAll(m_faultTimers);
    m_faultTimers.clear();
    // Whatever the drop fault did has happened once the operation is over.
    const q7sim::SimOptions o = m_sim.options();
    if (o.dropLineAfter && m_sim.commandCount() >= *o.dropLineAfter)
        m_lineDropped = true;
    m_sim.setOptions({}); // also ends a latency spike still under way
}

template <class Body> bool Soak::timed(const char* what, Body&& body)
{
    QElapsedTimer clock;
    clock.start();
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [this] { m_exchange.cancel(); });
    watchdog.start(kOperationLimitMs);
    ::alarm(kOperationLimitMs / 1000 + 60);
    bool ok = true;
    try {
        body();
    } catch (const Q7Error& e) {
        ok = false;
        ++m_failedOperations;
        if (m_verbose)
            std::printf("  %s stopped: %s\n", what, e.what());
    }
    ::alarm(0);
    if (clock.elapsed() > kOperationLimitMs)
        violation(QStringLiteral("%1 ran %2 ms, past its time-outs")
                      .arg(QLatin1String(what))
                      .arg(clock.elapsed()));
    return ok;
}

void Soak::checkRead(const RecordStore& read)
{
    const q7sim::Phonebook book = m_sim.phonebook();
    for (int record = 1; record <= kRecordCount; ++record) {
        const QList<QByteArray> entry = book.value(record);
        for (int k = Speicherplatz; k <= kEntryValueCount; ++k) {
            QByteArray expected;
            if (!entry.isEmpty())
                expected = k == Gruppe ? entry.at(k - 1) : handsetToPc(entry.at(k - 1));
            if (read.field(record, k) != expected.left(kFieldWidth)) {
                violation(QStringLiteral("read record %1 field %2: \"%3\", handset holds \"%4\"")
                              .arg(record)
                              .arg(k)
                              .arg(QString::fromLatin1(read.field(record, k)),
                                   QString::fromLatin1(expected)));
                return;
            }
        }
    }
}

void Soak::cycleRead(bool backup)
{
    const QString file = m_dir.filePath(QStringLiteral("backup.csv"));
    QFile before(file);
    const QByteArray fileBefore = before.open(QIODevice::ReadOnly) ? before.readAll() : "";
    before.close();
    const RecordStore storeBefore = m_store;

    const q7sim::Phonebook book = m_sim.phonebook();
    int expectedCommands = 8;
    for (auto it = book.cbegin(); it != book.cend(); ++it)
        ++expectedCommands;
    armFaults(expectedCommands);
    RecordStore read;
    const bool ok = timed(backup ? "backup" : "read", [&] {
        read = readPhonebook(m_exchange, m_texts, m_host, m_store);
        if (backup)
            writeCsvFile(file, read, false);
    });
    clearFaults();

    if (!ok) {
        if (!(m_store == storeBefore))
            violation(QStringLiteral("a failed read changed the store"));
        QFile after(file);
        const QByteArray fileAfter = after.open(QIODevice::ReadOnly) ? after.readAll() : "";
        if (backup && fileAfter != fileBefore)
            violation(QStringLiteral("a failed backup changed the existing file"));
        return;
    }
    checkRead(read);
    m_store = std::move(read);
}

// Changes, adds and marks for deletion a few records, as editing would.
void Soak::modifyStore()
{
    for (int n = 1 + m_random.bounded(8); n > 0; --n) {
        const bool sim = m_random.bounded(3) == 0;
        const int record = sim ? kFirstSimRecord + m_random.bounded(40) : 1 + m_random.bounded(60);
        const int choice = m_random.bounded(4);
        if (m_store.isLive(record) && choice == 0) {
            m_store.setField(record, Name, kDeletionMarker.toByteArray());
            m_store.setField(record, ChangedFlag, "JA");
        } else if (m_store.isLive(record) && choice == 1) {
            m_store.setField(record, Name, randomText(m_random, 20));
            m_store.setField(record, ChangedFlag, "JA");
        } else if (!m_store.holdsEntry(record)) {
            fillRecord(m_store, m_random, record, record);
        }
    }
}

void Soak::checkWrite(const q7sim::Phonebook& before, const RecordStore& intended,
                      const RecordStore& written, const QList<int>& handled,
                      const TransferResult& result, bool threw)
{
    const q7sim::Phonebook after = m_sim.phonebook();
    // Where each handled record was to go: its location, or where the write
    // moved a new entry to (a deleted record's location is gone afterwards).
    QMap<int, int> recordAt;
    QMap<int, int> locationOf;
    for (int record : handled) {
        std::optional<int> location = recordLocation(written, record);
        if (!location)
            location = recordLocation(intended, record);
        if (!location)
            continue;
        recordAt.insert(*location, record);
        locationOf.insert(record, *location);
    }

    for (int location = 1; location <= kRecordCount; ++location) {
        const QList<QByteArray> now = after.value(location);
        if (now == before.value(location))
            continue;
        if (recordAt.contains(location)) {
            const int record = recordAt.value(location);
            const bool deleted = intended.isMarkedForDeletion(record);
            if ((deleted && now.isEmpty()) ||
                (!deleted && now == handsetEntry(intended, record, location)))
                continue;
        }
        if (now.isEmpty() && before.value(location).value(1) == kPlaceholder)
            continue; // a placeholder an earlier write left, removed as it should be
        if (now.value(1) == kPlaceholder && before.value(location).isEmpty() && threw) {
            // Nobody can take back a placeholder over a line that died right
            // after it; the next write removes it (checked below).
            ++m_placeholdersLeft;
            continue;
        }
        violation(QStringLiteral("location %1 is neither as it was nor as written: %2")
                      .arg(location)
                      .arg(QString::fromLatin1(now.join(','))));
    }

    for (int record : handled) {
        if (threw && record >= m_host.lastProgress)
            break; // not reached: the run stopped at or before it
        // A placeholder that an earlier dead line left and a read took in
        // is an entry named like it: the write removes it again after
        // writing it, as it removes every leftover placeholder.
        if (intended.field(record, Name) == kPlaceholder)
            continue;
        const int location = locationOf.value(record);
        const bool deleted = intended.isMarkedForDeletion(record);
        // A location a deletion emptied, or one that held another record's
        // entry all along, may hold that record's entry after the write.
        const int other = recordAt.value(location);
        const bool takenByOther = other != record && !intended.isMarkedForDeletion(other) &&
                                  after.value(location) == handsetEntry(intended, other, location);
        const bool done = location && (deleted ? after.value(location).isEmpty() || takenByOther
                                               : after.value(location) ==
                                                     handsetEntry(intended, record, location));
        if (!done && !result.failedRecords.contains(record)) {
            violation(
                QStringLiteral("record %1 (%2 at %3) was not written and not named; the "
                               "handset holds \"%4\", the write stopped at record %5%6")
                    .arg(record)
                    .arg(deleted ? u"to delete" : u"to write")
                    .arg(location)
                    .arg(QString::fromLatin1(after.value(location).join(',')))
                    .arg(threw ? m_host.lastProgress : 0)
                    .arg(other != record
                             ? QStringLiteral("; record %1 went to the same location").arg(other)
                             : QString()));
        }
    }
    if (!threw && result.succeeded())
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (it->value(1) == kPlaceholder && before.value(it.key()).value(1) != kPlaceholder &&
                !(recordAt.contains(it.key()) &&
                  intended.field(recordAt.value(it.key()), Name) == kPlaceholder))
                violation(
                    QStringLiteral("a placeholder stayed at %1 after a clean write").arg(it.key()));
}

void Soak::cycleWrite(bool restore)
{
    RecordStore toWrite;
    bool onlyChanged = false;
    if (restore) {
        const QString file = m_dir.filePath(QStringLiteral("backup.csv"));
        toWrite = readCsvFile(file, RecordStore());
    } else {
        modifyStore();
        toWrite = m_store;
        onlyChanged = m_random.bounded(2);
    }
    QList<int> handled;
    for (int record = 1; record <= kRecordCount; ++record)
        if (toWrite.holdsEntry(record) && (!onlyChanged || toWrite.isChanged(record)))
            handled << record;

    const q7sim::Phonebook before = m_sim.phonebook();
    const RecordStore intended = toWrite;
    armFaults(int(handled.size()) * 4 + 2);
    TransferResult result(TransferResult::Operation::Write);
    bool threw = false;
    const bool ok = timed(restore ? "restore" : "write", [&] {
        try {
            writePhonebook(m_exchange, m_texts, m_host, toWrite, onlyChanged, result);
        } catch (...) {
            threw = true;
            throw;
        }
    });
    clearFaults();
    Q_UNUSED(ok);
    checkWrite(before, intended, toWrite, handled, result, threw);
    if (!restore)
        m_store = std::move(toWrite);
}

int Soak::run(int cycles)
{
    // A small phonebook keeps a cycle to seconds even with faults in it.
    RecordStore initial;
    for (int record = 1; record <= 60; ++record)
        if (m_random.bounded(2))
            fillRecord(initial, m_random, record, record);
    for (int record = kFirstSimRecord; record < kFirstSimRecord + 40; ++record)
        if (m_random.bounded(3) == 0)
            fillRecord(initial, m_random, record, record);
    for (int record = 1; record <= kRecordCount; ++record)
        if (initial.holdsEntry(record))
            m_sim.setEntry(record, handsetEntry(initial, record, record));
    startHandset();

    // The backup that restores go back to, made on a clean line.
    connect();
    m_store = readPhonebook(m_exchange, m_texts, m_host, RecordStore());
    writeCsvFile(m_dir.filePath(QStringLiteral("backup.csv")), m_store, false);

    QElapsedTimer clock;
    clock.start();
    const char* names[] = {"read", "write", "restore", "backup"};
    for (g_cycle = 1; g_cycle <= cycles; ++g_cycle) {
        const auto operation = Operation(m_random.bounded(4));
        if (m_verbose)
            std::printf("cycle %d: %s\n", g_cycle, names[int(operation)]);
        connect();
        switch (operation) {
        case Operation::Read:
            cycleRead(false);
            break;
        case Operation::Backup:
            cycleRead(true);
            break;
        case Operation::Write:
            cycleWrite(false);
            break;
        case Operation::Restore:
            cycleWrite(true);
            break;
        }
        idle();
        m_port.ClosePort();
    }
    std::printf("seed %llu: %d cycles, %d faults injected, %d operations stopped by them, "
                "%d placeholders left by a dead line, %d violations, %.0f s\n",
                static_cast<unsigned long long>(m_seed), cycles, m_faults, m_failedOperations,
                m_placeholdersLeft, m_violations, double(clock.elapsed()) / 1000);
    QStringList kinds;
    for (std::size_t kind = 0; kind < m_faultsByKind.size(); ++kind)
        kinds << QStringLiteral("%1 %2")
                     .arg(m_faultsByKind[kind])
                     .arg(QLatin1String(kFaultKinds[kind]));
    std::printf("  faults: %s\n", qPrintable(kinds.join(QStringLiteral(", "))));
    return m_violations == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption cyclesOption(QStringLiteral("cycles"),
                                          QStringLiteral("Cycles to run."), QStringLiteral("N"),
                                          QStringLiteral("200"));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the schedule (default: random)."),
                                        QStringLiteral("N"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Say what each cycle does."));
    parser.addOptions({cyclesOption, seedOption, verboseOption});
    parser.addHelpOption();
    parser.process(app);
    g_seed = parser.isSet(seedOption) ? parser.value(seedOption).toULongLong()
                                      : QRandomGenerator::system()->generate();
    std::signal(SIGALRM, onAlarm);
    // A long soak runs in the background into a file: show each line as it
    // comes, so that its log tells how far it got.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        Soak soak(g_seed, parser.isSet(verboseOption));
        return soak.run(parser.value(cyclesOption).toInt());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "seed %llu cycle %d: %s\n", static_cast<unsigned long long>(g_seed),
                     g_cycle, e.what());
        return 2;
    }
}
