// SPDX-License-Identifier: GPL-3.0-or-later
// q7ctl sync against the simulated handset and a CardDAV address book on
// Radicale (with a password) and Xandikos, each started once for this file.

#include "SimHandset.h"
#include "base/Errors.h"
#include "support/DavServer.h"
#include "support/EngineSync.h"
#include "support/Q7ctlRun.h"
#include "support/SimFixture.h"
#include "support/SlowServer.h"
#include "sync/CardDavAddressBook.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace q7;
using namespace q7::sync;
using namespace q7::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kPassword = u"gehe1m"_s;

QByteArray card(const QByteArray& uid, const QByteArray& name, const QByteArray& tel)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Other Program//EN\r\nUID:" + uid +
           "\r\nFN:" + name + "\r\n" + tel + "EMAIL;TYPE=home:" + uid +
           "@example.org\r\nADR;TYPE=home:;;Hauptstr. 1;Berlin;;10115;Germany\r\n"
           "X-OTHER-PROGRAM:keeps this\r\nEND:VCARD\r\n";
}

// An address book with something done before each of its puts: another
// client changing a card, the server going away.
class HookedBook : public AddressBook
{
public:
    explicit HookedBook(AddressBook& inner) : m_inner(inner) {}

    std::function<void(int)> beforePut; // with the put's number, from 1

    QString identity() const override { return m_inner.identity(); }
    QString displayName() const override { return m_inner.displayName(); }
    QList<CardVersion> list() override { return m_inner.list(); }
    std::optional<CardChanges> changesSince(const QString& token) override
    {
        return m_inner.changesSince(token);
    }
    QString currentToken() override { return m_inner.currentToken(); }
    QList<Card> fetch(const QStringList& ids) override { return m_inner.fetch(ids); }
    std::optional<CardVersion> put(const QString& id, const QString& uid, const QByteArray& data,
                                   const QString& ifVersion) override
    {
        if (beforePut)
            beforePut(++m_puts);
        return m_inner.put(id, uid, data, ifVersion);
    }
    bool remove(const QString& id, const QString& ifVersion) override
    {
        return m_inner.remove(id, ifVersion);
    }

private:
    AddressBook& m_inner;
    int m_puts = 0;
};

} // namespace

class TestCardDavSync : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_servers[DavServer::Radicale] = std::make_unique<DavServer>(
            DavServer::Radicale, DavServer::Options{u"alice"_s, kPassword, {}, {}});
        m_servers[DavServer::Xandikos] = std::make_unique<DavServer>(DavServer::Xandikos);
        for (auto& server : m_servers) {
            QString error;
            QVERIFY2(server->start(&error), qPrintable(error));
        }
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_device = m_sim->start();
        QFile file(m_dir->filePath(u"password"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kPassword.toUtf8() + "\n");
    }
    void cleanup()
    {
        m_sim.reset();
        m_dir.reset();
    }

    void eachServer_data()
    {
        QTest::addColumn<int>("server");
        QTest::newRow("radicale") << int(DavServer::Radicale);
        QTest::newRow("xandikos") << int(DavServer::Xandikos);
    }
    void firstSyncThenNothing_data() { eachServer_data(); }

    // Entries and cards that partly overlap: each contact once on each side,
    // the lines of a linked card the handset has no field for kept; a second
    // sync sends no PUT or DELETE and writes nothing to the handset.
    void firstSyncThenNothing()
    {
        QFETCH(int, server);
        const auto owned = makeBook(server);
        CardDavAddressBook& book = *owned;
        const QByteArray anna = card("anna-alt", "Anna Alt", "TEL;TYPE=cell:+49 171 111\r\n");
        QVERIFY(book.put({}, u"anna-alt"_s, anna, {}));
        QVERIFY(
            book.put({}, u"dora"_s, card("dora", "Dora Dreher", "TEL;TYPE=work:040 4444\r\n"), {}));
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        m_sim->setEntry(2, simEntry(2, "Carla Cord", "0893333"));

        m_servers[server]->clearLog();
        const Q7ctlRun first = sync(server, book.identity());
        QVERIFY2(first.exitCode == 0, first.err.constData());
        QCOMPARE(m_servers[server]->requestsLogged(u"PUT"_s), 1); // Carla's new card
        QCOMPARE(handsetNames(), (QStringList{"Anna Alt", "Carla Cord", "Dora Dreher"}));
        QCOMPARE(cardNames(book), (QStringList{"Anna Alt", "Carla Cord", "Dora Dreher"}));
        const QList<Card> annaNow = book.fetch({u"anna-alt.vcf"_s});
        QCOMPARE(annaNow.size(), 1);
        for (const QByteArray& line : anna.split('\n'))
            QVERIFY2(annaNow.first().data.contains(line.trimmed()), line.constData());

        m_sim->clearCommands();
        m_servers[server]->clearLog();
        const Q7ctlRun again = sync(server, book.identity());
        QVERIFY2(again.exitCode == 0, again.err.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());
        DavServer& dav = *m_servers[server];
        QCOMPARE(dav.requestsLogged(u"PUT"_s), 0);
        QCOMPARE(dav.requestsLogged(u"DELETE"_s), 0);
        // Opening the address book, then its changes since the last sync.
        QCOMPARE(dav.requestsLogged(u"PROPFIND"_s), 1);
        QCOMPARE(dav.requestsLogged(u"REPORT"_s), 1);
        QCOMPARE(cardNames(book).size(), 3);
    }

    // A wrong password is named, and neither side changes.
    void wrongPassword()
    {
        const auto owned = makeBook(DavServer::Radicale);
        CardDavAddressBook& book = *owned;
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        QFile file(m_dir->filePath(u"password"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("falsch\n");
        file.close();
        m_sim->clearCommands();
        const Q7ctlRun run = sync(DavServer::Radicale, book.identity());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("401") && run.err.contains("alice"), run.err.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());
        QVERIFY(book.list().isEmpty());
    }

    // Only the server given, and it holds several address books: they are
    // listed, one is asked for, and the handset is not touched.
    void severalAddressBooks()
    {
        makeBook(DavServer::Xandikos);
        m_sim->clearCommands();
        const Q7ctlRun run =
            sync(DavServer::Xandikos, m_servers[DavServer::Xandikos]->root().toString());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("--addressbook URL") && run.err.contains("/user/contacts/sync"),
                 run.err.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());
    }

    // Another client changes the card between the plan and the write: the
    // refused PUT (412) fetches it again, merges once more and puts again,
    // so both changes are on the card; the next sync brings the other
    // client's change to the handset.
    void cardChangedOnServerBeforeWrite_data() { eachServer_data(); }
    void cardChangedOnServerBeforeWrite()
    {
        QFETCH(int, server);
        const auto owned = makeBook(server);
        CardDavAddressBook& book = *owned;
        annaOnBothSides(book);
        EngineSync engine{m_device, m_dir->path(), std::nullopt};
        QVERIFY(engine.run(book).problems.isEmpty());
        m_sim->setEntry(1, simEntry(1, "Anna Neu", "0171111"));

        DavServer& dav = *m_servers[server];
        const SyncResult result = engine.run(book, [&] {
            const QList<Card> cards = book.fetch({u"anna-alt.vcf"_s});
            QCOMPARE(cards.size(), 1);
            QByteArray data = cards.first().data;
            data.replace("X-OTHER-PROGRAM:", "CATEGORIES:Familie\r\nX-OTHER-PROGRAM:");
            dav.clearLog();
            QVERIFY(book.put(cards.first().id, u"anna-alt"_s, data, cards.first().version));
        });
        QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.join(u'\n')));
        // The other client's, the refused one, the one after the merge.
        QCOMPARE(dav.requestsLogged(u"PUT"_s), 3);
        const QByteArray anna = book.fetch({u"anna-alt.vcf"_s}).value(0).data;
        QVERIFY2(anna.contains("FN:Anna Neu\r\n"), anna.constData());
        QVERIFY(anna.contains("CATEGORIES:Familie\r\n"));
        QVERIFY(anna.contains("EMAIL;TYPE=home:anna-alt@example.org\r\n"));

        QVERIFY(engine.run(book).problems.isEmpty());
        QCOMPARE(m_sim->entry(1).value(1), QByteArray("Anna Neu"));
        QCOMPARE(m_sim->entry(1).value(2), QByteArray("Familie"));
        QVERIFY(engine.plan(book).first.inStep());
    }

    // A conflict left open, then a change on the handset in another field:
    // the card the server's changes do not name is read all the same, and
    // its one PUT carries its ETag (no refused PUT as a new card first).
    void conflictLeftOpenThenChange_data() { eachServer_data(); }
    void conflictLeftOpenThenChange()
    {
        QFETCH(int, server);
        const auto owned = makeBook(server);
        CardDavAddressBook& book = *owned;
        annaOnBothSides(book);
        EngineSync engine{m_device, m_dir->path(), std::nullopt};
        QVERIFY(engine.run(book).problems.isEmpty());

        m_sim->setEntry(1, simEntry(1, "Anna Handy", "0171111"));
        const Card before = book.fetch({u"anna-alt.vcf"_s}).value(0);
        QByteArray renamed = before.data;
        renamed.replace("FN:Anna Alt", "FN:Anna Karte");
        QVERIFY(book.put(before.id, u"anna-alt"_s, renamed, before.version));
        QCOMPARE(engine.run(book).conflictsLeft, 1);

        m_sim->setEntry(1, simEntry(1, "Anna Handy", "0171112"));
        DavServer& dav = *m_servers[server];
        dav.clearLog();
        const SyncResult result = engine.run(book);
        QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.join(u'\n')));
        QCOMPARE(result.conflictsLeft, 1);
        QCOMPARE(dav.requestsLogged(u"PUT"_s), 1);
        const QByteArray anna = book.fetch({u"anna-alt.vcf"_s}).value(0).data;
        QVERIFY2(anna.contains("0171112") && anna.contains("FN:Anna Karte\r\n"), anna.constData());
    }

    // The cards a sync changed and deleted, put back on the server from
    // their copy: one PUT each (no refused one), under their old names; the
    // next sync brings them to the handset and sends no PUT.
    void cardCopyPutBack_data() { eachServer_data(); }
    void cardCopyPutBack()
    {
        QFETCH(int, server);
        const auto owned = makeBook(server);
        CardDavAddressBook& book = *owned;
        annaOnBothSides(book);
        QVERIFY(
            book.put({}, u"dora"_s, card("dora", "Dora Dreher", "TEL;TYPE=cell:0404444\r\n"), {}));
        m_sim->setEntry(2, simEntry(2, "Dora Dreher", "0404444"));
        QCOMPARE(sync(server, book.identity()).exitCode, 0);
        m_sim->setEntry(1, simEntry(1, "Anna Neu", "0171111"));
        m_sim->clearEntry(2);
        QCOMPARE(sync(server, book.identity(), {"--allow-deletions"}).exitCode, 0);
        QCOMPARE(cardNames(book), QStringList{"Anna Neu"});

        DavServer& dav = *m_servers[server];
        dav.clearLog();
        const Q7ctlRun restore = q7ctl(server, {"restore", "--snapshot", "c1"});
        QVERIFY2(restore.exitCode == 0, restore.err.constData());
        QVERIFY2(restore.out.contains("kommt wieder: Dora Dreher"), restore.out.constData());
        QCOMPARE(dav.requestsLogged(u"PUT"_s), 2);
        QCOMPARE(book.fetch({u"dora.vcf"_s}).size(), 1);
        QCOMPARE(cardNames(book), (QStringList{"Anna Alt", "Dora Dreher"}));

        dav.clearLog();
        QCOMPARE(sync(server, book.identity()).exitCode, 0);
        QCOMPARE(handsetNames(), (QStringList{"Anna Alt", "Dora Dreher"}));
        QCOMPARE(dav.requestsLogged(u"PUT"_s), 0);
        m_sim->clearCommands();
        QCOMPARE(sync(server, book.identity()).exitCode, 0);
        QCOMPARE(writesSent(), QList<QByteArray>());
        QCOMPARE(cardNames(book).size(), 2);
    }

    // The server stops (by its process id) after two of the cards the sync
    // writes; started again, the next sync finishes the job: each contact
    // once on each side, one pair each, and nothing left to do.
    void serverStoppedThenRerun_data() { eachServer_data(); }
    void serverStoppedThenRerun()
    {
        QFETCH(int, server);
        const auto owned = makeBook(server);
        CardDavAddressBook& book = *owned;
        for (int i = 1; i <= 4; ++i)
            m_sim->setEntry(
                i, simEntry(i, "Handy " + QByteArray::number(i), "017100" + QByteArray::number(i)));
        for (int i = 1; i <= 3; ++i) {
            const QByteArray uid = "karte" + QByteArray::number(i);
            QVERIFY(book.put({}, QString::fromLatin1(uid),
                             card(uid, "Karte " + QByteArray::number(i),
                                  "TEL;TYPE=cell:017200" + QByteArray::number(i) + "\r\n"),
                             {}));
        }
        DavServer& dav = *m_servers[server];
        HookedBook stopping(book);
        stopping.beforePut = [&](int put) {
            if (put == 3)
                dav.stop();
        };
        EngineSync engine{m_device, m_dir->path(), std::nullopt};
        bool thrown = false;
        try {
            engine.run(stopping);
        } catch (const Q7Error&) {
            thrown = true;
        }
        QString error;
        QVERIFY2(dav.start(&error), qPrintable(error));
        QVERIFY(thrown);
        QCOMPARE(cardNames(book).size(), 5);

        const SyncResult rerun = engine.run(book);
        QVERIFY2(rerun.problems.isEmpty(), qPrintable(rerun.problems.join(u'\n')));
        const QStringList all{"Handy 1", "Handy 2", "Handy 3", "Handy 4",
                              "Karte 1", "Karte 2", "Karte 3"};
        QCOMPARE(handsetNames(), all);
        QCOMPARE(cardNames(book), all);
        const auto [counts, pairs] = engine.plan(book);
        QVERIFY(counts.inStep());
        QCOMPARE(pairs, 7);
    }

    // Anhalten while the server is busy with a request: the request ends at
    // once, not at the time-out. Stopped while reading, nothing changes on
    // either side; stopped while writing, what was done is recorded and the
    // summary says so, and the next sync finishes the job without a second
    // copy of the card the server took but did not answer for.
    void stoppedDuringARequest_data()
    {
        QTest::addColumn<int>("server");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<int>("nth");
        for (const int kind : {DavServer::Radicale, DavServer::Xandikos}) {
            const QByteArray name = DavServer::kindName(DavServer::Kind(kind)).toLatin1();
            QTest::newRow((name + ", reading").constData()) << kind << QByteArray("PROPFIND") << 1;
            QTest::newRow((name + ", writing").constData()) << kind << QByteArray("PUT") << 2;
        }
    }
    void stoppedDuringARequest()
    {
        QFETCH(int, server);
        QFETCH(QByteArray, method);
        QFETCH(int, nth);
        const auto direct = makeBook(server);
        for (int i = 1; i <= 3; ++i)
            m_sim->setEntry(
                i, simEntry(i, "Handy " + QByteArray::number(i), "017100" + QByteArray::number(i)));
        SlowServer slow(m_servers[server]->port());
        CardDavLogin login = direct->client().login();
        login.url = slow.root().resolved(QUrl(login.url.path()));
        CardDavAddressBook book(login);
        RecordingHost host;
        EngineSync engine{m_device, m_dir->path(), std::nullopt, &host};

        QElapsedTimer stopped;
        bool stoppedInPrepare = false;
        QStringList summary;
        const SyncResult result = engine.withRun(book, [&](SyncRun& run) {
            slow.holdAnswer(method, nth, [&] {
                stopped.start();
                run.stop();
            });
            try {
                run.prepare();
            } catch (const EOperationStopped&) {
                stoppedInPrepare = true;
                return SyncResult{};
            }
            SyncResult done = run.carryOut();
            summary = run.summaryLines(done);
            return done;
        });
        QVERIFY(stopped.isValid());
        const qint64 took = stopped.elapsed();
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        qInfo("the request ended %lld ms after Anhalten", took);
        m_sim->clearCommands();
        if (method == "PROPFIND") {
            QVERIFY(stoppedInPrepare);
            QVERIFY(direct->list().isEmpty());
        } else {
            QVERIFY(result.stopped);
            QCOMPARE(result.done.cardsNew, 1);
            QVERIFY2(summary.last().startsWith("Angehalten"), qPrintable(summary.join(u'\n')));
            // The server took the card it did not answer for.
            QCOMPARE(cardNames(*direct).size(), 2);
            // The cards written count on the page's bar, one step each.
            QCOMPARE(host.steps.last(), std::pair(1, 3));
        }

        slow.holdNothing();
        host.steps.clear();
        const SyncResult rerun = engine.run(book);
        QVERIFY2(rerun.problems.isEmpty() && !rerun.stopped,
                 qPrintable(rerun.problems.join(u'\n')));
        const QStringList all{"Handy 1", "Handy 2", "Handy 3"};
        QCOMPARE(cardNames(*direct), all);
        QCOMPARE(handsetNames(), all);
        QCOMPARE(writesSent(), QList<QByteArray>());
        const int left = method == "PROPFIND" ? 3 : 1;
        QCOMPARE(host.steps.last(), std::pair(left, left));
        const auto [counts, pairs] = engine.plan(book);
        QVERIFY(counts.inStep());
        QCOMPARE(pairs, 3);
    }

private:
    // One contact on both sides, as a first sync will find it: the card
    // carries an e-mail line the handset has no place for.
    void annaOnBothSides(CardDavAddressBook& book)
    {
        QVERIFY(book.put({}, u"anna-alt"_s,
                         card("anna-alt", "Anna Alt", "TEL;TYPE=cell:0171111\r\n"), {}));
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
    }

    std::unique_ptr<CardDavAddressBook> makeBook(int server)
    {
        const QString home = server == DavServer::Radicale ? u"/alice/"_s : u"/user/contacts/"_s;
        CardDavLogin login;
        login.url = m_servers[server]->root().resolved(
            QUrl(home + QStringLiteral("sync%1/").arg(++m_books)));
        login.user = u"alice"_s;
        login.password = kPassword;
        auto book = std::make_unique<CardDavAddressBook>(login);
        if (!makeAddressBook(book->client(), login.url, QStringLiteral("Sync %1").arg(m_books)))
            qFatal("MKCOL failed");
        return book;
    }

    Q7ctlRun sync(int server, const QString& url, const QStringList& options = {})
    {
        return q7ctl(server, QStringList{"sync", "--addressbook", url} + options);
    }
    Q7ctlRun q7ctl(int server, const QStringList& command)
    {
        QStringList arguments = QStringList{"--device", m_device} + command;
        arguments << "--user"
                  << "alice";
        if (server == DavServer::Radicale)
            arguments << "--password-file" << m_dir->filePath(u"password"_s);
        return runQ7ctl(QStringLiteral(Q7CTL_PATH), arguments, m_dir->path(), 120000);
    }

    QStringList handsetNames() const
    {
        QStringList names;
        for (int location = 1; location <= 700; ++location)
            if (const QList<QByteArray> entry = m_sim->entry(location); !entry.isEmpty())
                names << QString::fromLatin1(entry.value(1));
        names.sort();
        return names;
    }
    static QStringList cardNames(CardDavAddressBook& book)
    {
        QStringList ids;
        for (const CardVersion& version : book.list())
            ids << version.id;
        QStringList names;
        for (const Card& each : book.fetch(ids))
            for (const QByteArray& line : each.data.split('\n'))
                if (line.startsWith("FN:"))
                    names << QString::fromUtf8(line.mid(3).trimmed());
        names.sort();
        return names;
    }
    QList<QByteArray> writesSent() const { return q7::test::handsetWrites(m_sim->commands()); }

    std::unique_ptr<DavServer> m_servers[2];
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    QString m_device;
    int m_books = 0;
};

QTEST_GUILESS_MAIN(TestCardDavSync)
#include "tst_carddavsync.moc"
