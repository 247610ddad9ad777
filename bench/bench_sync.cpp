// SPDX-License-Identifier: GPL-3.0-or-later
// A sync of a full handset (700 entries) with a folder of 750 cards against
// the simulated handset paced at a real line rate: the first sync, then one
// with nothing to do. Each is held against its bound: the handset's part at
// the line rate (the bytes of the busier direction and the pause after each
// reply, as bench_transfer counts them) plus the time the address book's own
// calls took. With --radicale the 750 cards are on a Radicale started on a
// free loopback port, and the requests each sync sent are counted.
//
//   bench_sync [--baud 115200] [--radicale]
#include "SimHandset.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "support/DavServer.h"
#include "sync/CardDavAddressBook.h"
#include "sync/SyncEngine.h"
#include "sync/VcardFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

using namespace q7;
using namespace q7::sync;

namespace {

// The address book's calls, timed: its share of the bound.
class TimedBook : public AddressBook
{
public:
    explicit TimedBook(AddressBook& book) : m_book(book) {}
    QString identity() const override { return m_book.identity(); }
    QString displayName() const override { return m_book.displayName(); }
    QList<CardVersion> list() override
    {
        const Clock clock(seconds);
        return m_book.list();
    }
    std::optional<CardChanges> changesSince(const QString& token) override
    {
        const Clock clock(seconds);
        return m_book.changesSince(token);
    }
    QString currentToken() override
    {
        const Clock clock(seconds);
        return m_book.currentToken();
    }
    QList<Card> fetch(const QStringList& ids) override
    {
        const Clock clock(seconds);
        return m_book.fetch(ids);
    }
    std::optional<CardVersion> put(const QString& id, const QString& uid, const QByteArray& data,
                                   const QString& ifVersion) override
    {
        const Clock clock(seconds);
        return m_book.put(id, uid, data, ifVersion);
    }
    bool remove(const QString& id, const QString& ifVersion) override
    {
        const Clock clock(seconds);
        return m_book.remove(id, ifVersion);
    }
    double seconds = 0;

private:
    // Adds the time it lives to the total.
    struct Clock
    {
        explicit Clock(double& total) : m_total(total) { m_clock.start(); }
        ~Clock() { m_total += double(m_clock.nsecsElapsed()) / 1e9; }
        double& m_total;
        QElapsedTimer m_clock;
    };
    AddressBook& m_book;
};

QByteArray name(int i)
{
    static const char* const first[] = {"Anna",  "Bert",   "Carla", "Dieter", "Erika",
                                        "Frank", "Gisela", "Horst", "Ilse",   "Jörg"};
    static const char* const last[] = {"Muster", "Berg", "Cordes", "Dreher", "Engel",
                                       "Fuchs",  "Graf", "Huber",  "Ivers",  "Jäger"};
    return QByteArray(first[i % 10]) + ' ' + last[(i / 10) % 10] + ' ' + QByteArray::number(i);
}

QByteArray number(int i, int which)
{
    return "0" + QByteArray::number(170 + which) + QByteArray::number(1000000 + i);
}

QList<QByteArray> entry(int location, int i)
{
    QList<QByteArray> values{QByteArray::number(location),
                             name(i).replace("ö", "o").replace("ä", "a"),
                             "Freunde",
                             "TELNO",
                             "Mobil",
                             number(i, 1),
                             "TELNO",
                             {},
                             {},
                             "TELNO",
                             {},
                             {},
                             "CUSTOM",
                             {},
                             {},
                             "CUSTOM",
                             {},
                             {}};
    return values;
}

// What another program keeps: an e-mail, an address, a note, a photo line.
QByteArray card(int i, bool secondNumber)
{
    QByteArray tels = "TEL;TYPE=cell:+49 " + number(i, 1).mid(1) + "\r\n";
    if (secondNumber)
        tels += "TEL;TYPE=work:" + number(i, 2) + "\r\n";
    const QByteArray plain = name(i).replace("ö", "o").replace("ä", "a");
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-" + QByteArray::number(i) + "\r\nFN:" + plain +
           "\r\nN:;" + plain + ";;;\r\n" + tels + "EMAIL:p" + QByteArray::number(i) +
           "@example.org\r\nADR;TYPE=home:;;Weg " + QByteArray::number(i) +
           ";Berlin;;10115;Germany\r\nNOTE:kennt man vom Verein\r\nCATEGORIES:Freunde\r\n"
           "PHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAAC0lEQVR4\r\n"
           " nGNgAAIAAAUAAR4f7BQAAAAASUVORK5CYII=\r\nEND:VCARD\r\n";
}

struct Measure
{
    CommandExchange& exchange;
    TimedBook& folder;
    int baud;
    CommandExchange::Traffic before = exchange.traffic();
    double folderBefore = folder.seconds;
    QElapsedTimer wall;
    Measure(CommandExchange& e, TimedBook& f, int b) : exchange(e), folder(f), baud(b)
    {
        wall.start();
    }
    void report(const char* what)
    {
        const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
        const auto& after = exchange.traffic();
        const double line =
            double(after.busierDirectionBytes - before.busierDirectionBytes) * 10.0 / baud;
        const double pauses = double(after.pausesAfterReplies - before.pausesAfterReplies) *
                              kPauseAfterReplyMs / 1000.0;
        const double folderSeconds = folder.seconds - folderBefore;
        const double bound = line + pauses + folderSeconds;
        std::printf("%-9s wall %7.2f s   bound %7.2f s (line %6.2f s + pauses %5.2f s + book "
                    "%5.2f s)   over bound %5.1f %%   %lld exchanges\n",
                    what, wallSeconds, bound, line, pauses, folderSeconds,
                    (wallSeconds / bound - 1) * 100,
                    static_cast<long long>(after.exchanges - before.exchanges));
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
    const QCommandLineOption radicaleOption(QStringLiteral("radicale"),
                                            QStringLiteral("The cards on a local Radicale."));
    parser.addOptions({baudOption, radicaleOption});
    parser.addHelpOption();
    parser.process(app);
    const int baud = parser.value(baudOption).toInt();

    // 700 entries; 650 of them have a card (100 of those with a second
    // number the handset lacks), 50 have none; 100 cards find no room.
    q7sim::SimOptions options;
    options.baud = baud;
    q7sim::SimHandset sim(options);
    for (int location = 1; location <= kRecordCount; ++location)
        sim.setEntry(location, entry(location, location));
    QTemporaryDir dir;
    const QString cards = dir.filePath(QStringLiteral("cards"));
    QDir().mkpath(cards);
    for (int i = 1; i <= 750; ++i) {
        const int contact = i <= 650 ? i : 700 + i;
        QFile file(QDir(cards).filePath(QStringLiteral("card-%1.vcf").arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(card(contact, i <= 100));
    }

    TComPort port;
    port.setDeviceOverride(sim.start());
    CommandExchange exchange(port);
    OperationHost quiet;
    const LanguageFile texts;
    if (!searchHandset(exchange, texts, quiet)) {
        std::fprintf(stderr, "no handset\n");
        return 1;
    }
    SyncSettings settings;
    settings.stateFolder = dir.filePath(QStringLiteral("state"));
    settings.snapshotFolder = dir.filePath(QStringLiteral("snapshots"));
    settings.verify = false;
    std::unique_ptr<AddressBook> book = std::make_unique<VcardFolder>(cards);
    std::unique_ptr<q7::test::DavServer> radicale;
    CardDavAddressBook* server = nullptr;
    if (parser.isSet(radicaleOption)) {
        radicale = std::make_unique<q7::test::DavServer>(q7::test::DavServer::Radicale);
        QString error;
        if (!radicale->start(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        CardDavLogin login;
        login.url = radicale->root().resolved(QUrl(QStringLiteral("/bench/cards/")));
        login.user = QStringLiteral("bench");
        auto onServer = std::make_unique<CardDavAddressBook>(login);
        if (!q7::test::makeAddressBook(onServer->client(), login.url, QStringLiteral("Bench")))
            return 1;
        VcardFolder source(cards);
        QStringList ids;
        for (const CardVersion& each : source.list())
            ids << each.id;
        for (const Card& each : source.fetch(ids))
            if (!onServer->put({}, each.id.chopped(4), each.data, {})) // card-N.vcf
                return 1;
        server = onServer.get();
        book = std::move(onServer);
    }
    TimedBook folder(*book);
    std::printf("700 entries, 750 cards (650 shared) %s, %d baud\n",
                server ? "on Radicale" : "in a folder", baud);

    for (const char* run : {"first", "no change"}) {
        if (server)
            server->client().resetCounts();
        Measure measure(exchange, folder, baud);
        SyncRun sync(folder, exchange, texts, quiet, settings);
        sync.prepare();
        const SyncCounts planned = sync.counts();
        const SyncResult result = sync.carryOut();
        measure.report(run);
        std::printf("          handset %d new, %d changed, %d deleted; cards %d new, %d changed, "
                    "%d deleted; %d conflicts\n",
                    result.done.handsetNew, result.done.handsetChanged, result.done.handsetDeleted,
                    result.done.cardsNew, result.done.cardsChanged, result.done.cardsDeleted,
                    planned.conflicts);
        if (server) {
            QStringList requests;
            const auto& counts = server->client().requestCounts();
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                requests
                    << QStringLiteral("%1 %2").arg(it.value()).arg(QString::fromLatin1(it.key()));
            std::printf("          server requests: %s\n", qPrintable(requests.join(u", ")));
        }
    }
    return 0;
}
