// SPDX-License-Identifier: GPL-3.0-or-later
// A CardDAV address book against real servers: Radicale (with a password)
// and Xandikos, each started once for this file on a free loopback port.
// Each test makes an address book of its own with an extended MKCOL.

#include "base/Errors.h"
#include "support/DavServer.h"
#include "sync/CardDavAddressBook.h"
#include "sync/CardDavDiscovery.h"
#include "sync/CardDavOpen.h"
#include "sync/CardDavXml.h"

#include <QTest>
#include <memory>

using namespace q7;
using namespace q7::sync;
using namespace q7::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kUser = u"alice"_s;
const QString kPassword = u"gehe1m:ß"_s;

QByteArray card(const QString& uid, const QString& name, const QString& number)
{
    QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    if (!uid.isEmpty())
        text += "UID:" + uid.toUtf8() + "\r\n";
    text += "FN:" + name.toUtf8() + "\r\nTEL;TYPE=CELL:" + number.toUtf8() +
            "\r\nEMAIL:x@example.org\r\nEND:VCARD\r\n";
    return text;
}

QString errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const Q7Error& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestCardDav : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void discovery_data();
    void discovery();
    void cards_data();
    void cards();
    void changes_data();
    void changes();
    void batches_data();
    void batches();
    void wrongPassword();
    void serverStopped();

private:
    void servers();
    CardDavLogin login(int server, const QUrl& url) const;
    QUrl makeBook(int server, const QString& name, const QString& displayName);
    std::unique_ptr<CardDavAddressBook> freshBook(int server);

    std::unique_ptr<DavServer> m_servers[2];
    QStringList m_homes; // where each server keeps the user's address books
    int m_books = 0;
};

CardDavLogin TestCardDav::login(int server, const QUrl& url) const
{
    CardDavLogin login;
    login.url = url;
    if (server == DavServer::Radicale) {
        login.user = kUser;
        login.password = kPassword;
    }
    return login;
}

QUrl TestCardDav::makeBook(int server, const QString& name, const QString& displayName)
{
    const QUrl url = m_servers[server]->root().resolved(QUrl(m_homes.at(server) + name + u'/'));
    CardDavClient client(login(server, url));
    if (!makeAddressBook(client, url, displayName))
        qFatal("MKCOL %s failed", qPrintable(url.toString()));
    return url;
}

std::unique_ptr<CardDavAddressBook> TestCardDav::freshBook(int server)
{
    const QString name = QStringLiteral("book%1").arg(++m_books);
    return std::make_unique<CardDavAddressBook>(login(server, makeBook(server, name, name)), name,
                                                10000);
}

void TestCardDav::initTestCase()
{
    m_servers[DavServer::Radicale] = std::make_unique<DavServer>(
        DavServer::Radicale, DavServer::Options{kUser, kPassword, {}, {}});
    m_servers[DavServer::Xandikos] = std::make_unique<DavServer>(DavServer::Xandikos);
    for (auto& server : m_servers) {
        QString error;
        QVERIFY2(server->start(&error), qPrintable(error));
    }
    m_homes = QStringList{u"/alice/"_s, u"/user/contacts/"_s};
    for (int server : {0, 1}) {
        makeBook(server, u"familie"_s, u"Familie"_s);
        makeBook(server, u"verein"_s, u"Verein Süd"_s);
    }
}

void TestCardDav::servers()
{
    QTest::addColumn<int>("server");
    QTest::newRow("radicale") << int(DavServer::Radicale);
    QTest::newRow("xandikos") << int(DavServer::Xandikos);
}

void TestCardDav::discovery_data()
{
    servers();
}

// From the server's bare address, from the user's home and from an address
// book itself, the way a user might give any of them.
void TestCardDav::discovery()
{
    QFETCH(int, server);
    const QUrl root = m_servers[server]->root();
    const QUrl home = root.resolved(QUrl(m_homes.at(server)));
    const QUrl familie = home.resolved(QUrl(u"familie/"_s));

    for (const QUrl& start : {root, home}) {
        CardDavClient client(login(server, start));
        QStringList found;
        for (const FoundAddressBook& book : discoverAddressBooks(client))
            found.append(book.name + u' ' + book.url.toString());
        QVERIFY2(found.contains(u"Familie "_s + familie.toString()), qPrintable(found.join(u'\n')));
        QVERIFY2(found.contains(u"Verein Süd "_s + home.resolved(QUrl(u"verein/"_s)).toString()),
                 qPrintable(found.join(u'\n')));
        QVERIFY(found.size() >= 2);
    }

    // The address book itself, with or without its last slash.
    for (QString direct : {familie.toString(), familie.toString().chopped(1)}) {
        CardDavClient client(login(server, QUrl(direct)));
        const QList<FoundAddressBook> found = discoverAddressBooks(client);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().url, familie);
        QCOMPARE(found.first().name, u"Familie"_s);
        // One PROPFIND was enough.
        QCOMPARE(client.requestCount(), 1);
    }

    // Opening a location: several address books are listed for the user to
    // choose one; the one given is opened by its name.
    const CardDavLogin who = login(server, root);
    const ServerAccess access{who.user, who.password, false, 10000};
    const QString several = errorOf([&] { openCardDav(root.toString(), access); });
    QVERIFY2(several.contains(u"mehrere Adressbücher"_s) &&
                 several.contains(u"  Familie: "_s + familie.toString()) &&
                 several.contains(u"  Verein Süd: "_s),
             qPrintable(several));
    const auto opened = openCardDav(familie.toString(), access);
    QCOMPARE(opened->identity(), familie.toString());
    QCOMPARE(opened->displayName(), u"Familie ("_s + familie.toString() + u')');

    // A collection that holds no address book.
    CardDavClient nothing(login(server, root.resolved(QUrl(u"/nowhere/"_s))));
    const QString error = errorOf([&] { discoverAddressBooks(nothing); });
    QVERIFY2(!error.isEmpty(), "a missing collection must not pass");
}

void TestCardDav::cards_data()
{
    servers();
}

// Every card goes up with a UID and comes back byte for byte but for what
// the server makes of it; each write and deletion carries its ETag, and a
// stale one is refused as a failed precondition, not as an error.
void TestCardDav::cards()
{
    QFETCH(int, server);
    const auto book = freshBook(server);
    QVERIFY(book->list().isEmpty());

    // A new card without a UID line gets the one it is stored under.
    const auto anna = book->put({}, u"anna-1"_s, card({}, u"Anna Muster"_s, u"+49 170 1"_s), {});
    QVERIFY(anna);
    QCOMPARE(anna->id, u"anna-1.vcf"_s);
    QVERIFY(!anna->version.isEmpty());
    const auto bernd =
        book->put({}, u"bernd@2"_s, card(u"bernd@2"_s, u"Bernd Beispiel"_s, u"030 2"_s), {});
    QVERIFY(bernd);

    QList<CardVersion> listed = book->list();
    QCOMPARE(listed.size(), 2);
    for (const CardVersion& v : listed)
        QCOMPARE(v.version, v.id == anna->id ? anna->version : bernd->version);

    QList<Card> fetched = book->fetch({anna->id, u"gone.vcf"_s, bernd->id});
    QCOMPARE(fetched.size(), 2);
    QCOMPARE(fetched.at(0).id, anna->id);
    QCOMPARE(fetched.at(0).version, anna->version);
    QVERIFY(fetched.at(0).data.contains("\r\nUID:anna-1\r\n"));
    QVERIFY(fetched.at(0).data.contains("\r\nEMAIL:x@example.org\r\n"));
    QVERIFY(sameCard(fetched.at(1).data, card(u"bernd@2"_s, u"Bernd Beispiel"_s, u"030 2"_s)));

    // A change with the card's ETag, then one with the ETag it had before.
    const QByteArray changed = card(u"anna-1"_s, u"Anna Muster"_s, u"+49 170 9"_s);
    const auto annaNow = book->put(anna->id, u"anna-1"_s, changed, anna->version);
    QVERIFY(annaNow);
    QCOMPARE(annaNow->id, anna->id);
    QVERIFY(annaNow->version != anna->version);
    QVERIFY(!book->put(anna->id, u"anna-1"_s, card(u"anna-1"_s, u"Anna"_s, u"1"_s), anna->version));
    QVERIFY(book->fetch({anna->id}).first().data.contains("+49 170 9"));

    // A new card under a name that is taken: the same card counts as stored
    // (a run that lost the server's answer), another one does not.
    const auto again = book->put({}, u"anna-1"_s, changed, {});
    QVERIFY(again);
    QCOMPARE(again->version, annaNow->version);
    QVERIFY(!book->put({}, u"anna-1"_s, card(u"anna-1"_s, u"Anna Other"_s, u"2"_s), {}));

    // Deleting: a stale ETag is refused; a card already gone counts as
    // deleted.
    QVERIFY(!book->remove(bernd->id, anna->version));
    QVERIFY(book->remove(bernd->id, bernd->version));
    QVERIFY(book->remove(bernd->id, bernd->version));
    QCOMPARE(book->list().size(), 1);
    QVERIFY(book->fetch({bernd->id}).isEmpty());
}

void TestCardDav::changes_data()
{
    servers();
}

// What changed since a token: new and changed cards with the ETags a list
// gives, deleted ones by id; nothing at all from the new token; an unknown
// token and a moved getctag send the engine to the whole list.
void TestCardDav::changes()
{
    QFETCH(int, server);
    const auto book = freshBook(server);
    const auto a = book->put({}, u"a"_s, card(u"a"_s, u"A"_s, u"1"_s), {});
    const auto b = book->put({}, u"b"_s, card(u"b"_s, u"B"_s, u"2"_s), {});
    const QString token = book->currentToken();
    QVERIFY(!token.isEmpty());
    const auto none = book->changesSince(token);
    QVERIFY(none);
    QVERIFY(none->changed.isEmpty());
    QVERIFY(none->removed.isEmpty());

    const auto c = book->put({}, u"c"_s, card(u"c"_s, u"C"_s, u"3"_s), {});
    const auto a2 = book->put(a->id, u"a"_s, card(u"a"_s, u"A"_s, u"11"_s), a->version);
    QVERIFY(book->remove(b->id, b->version));

    book->client().resetCounts();
    const auto since = book->changesSince(token);
    QVERIFY(since);
    QCOMPARE(book->client().requestCount(), 1);
    QStringList changed;
    for (const CardVersion& v : since->changed)
        changed.append(v.id + u' ' + v.version);
    changed.sort();
    QStringList expected{a2->id + u' ' + a2->version, c->id + u' ' + c->version};
    expected.sort();
    QCOMPARE(changed, expected);
    QCOMPARE(since->removed, QStringList{b->id});
    QVERIFY(since->token != token);
    const auto after = book->changesSince(since->token);
    QVERIFY(after);
    QVERIFY(after->changed.isEmpty() && after->removed.isEmpty());

    QVERIFY(!book->changesSince(server == DavServer::Radicale
                                    ? u"http://radicale.org/ns/sync/0000"_s
                                    : u"0000000000000000000000000000000000000000"_s));

    // A server without sync-collection: the getctag.
    const DavReply state =
        book->client().sendXml("PROPFIND", QUrl(book->identity()), 0, collectionPropfind());
    const QString ctag = u"ctag:"_s + parseMultistatus(state.body)->resources.first().ctag;
    const auto same = book->changesSince(ctag);
    QVERIFY(same);
    QCOMPARE(same->token, ctag);
    QVERIFY(same->changed.isEmpty() && same->removed.isEmpty());
    book->put({}, u"d"_s, card(u"d"_s, u"D"_s, u"4"_s), {});
    QVERIFY(!book->changesSince(ctag));
}

void TestCardDav::batches_data()
{
    servers();
}

// More cards than one multiget asks for: every card comes, in the order
// asked, with one report per batch.
void TestCardDav::batches()
{
    QFETCH(int, server);
    const auto book = freshBook(server);
    book->setBatchSize(5);
    const int count = 12;
    QStringList ids;
    for (int i = 0; i < count; ++i) {
        const QString uid = QStringLiteral("card-%1").arg(i);
        ids.prepend(book->put({}, uid, card(uid, uid, QString::number(1000 + i)), {})->id);
    }
    book->client().resetCounts();
    const QList<Card> cards = book->fetch(ids);
    QCOMPARE(book->client().requestCounts().value("REPORT"), 3);
    QCOMPARE(book->client().requestCount(), 3);
    QCOMPARE(cards.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(cards.at(i).id, ids.at(i));
}

// Radicale with a password: a wrong one is named as such and changes
// nothing; no user at all is asked for.
void TestCardDav::wrongPassword()
{
    const auto book = freshBook(DavServer::Radicale);
    QVERIFY(book->put({}, u"p"_s, card(u"p"_s, u"P"_s, u"1"_s), {}));

    CardDavLogin wrong = login(DavServer::Radicale, QUrl(book->identity()));
    wrong.password = u"falsch"_s;
    CardDavAddressBook intruder(wrong);
    const QString error =
        errorOf([&] { intruder.put({}, u"q"_s, card(u"q"_s, u"Q"_s, u"2"_s), {}); });
    QVERIFY2(error.contains(u"401"_s) && error.contains(u"Passwort"_s) && error.contains(kUser),
             qPrintable(error));
    QVERIFY(!errorOf([&] { intruder.list(); }).isEmpty());

    CardDavLogin anonymous = wrong;
    anonymous.user.clear();
    anonymous.password.clear();
    CardDavAddressBook stranger(anonymous);
    const QString asked = errorOf([&] { stranger.list(); });
    QVERIFY2(asked.contains(u"verlangt einen Benutzernamen"_s), qPrintable(asked));

    QCOMPARE(book->list().size(), 1);
}

// A server that goes away between two requests: the next one names it.
void TestCardDav::serverStopped()
{
    for (auto kind : {DavServer::Radicale, DavServer::Xandikos}) {
        DavServer server(kind);
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        CardDavLogin who;
        who.url = server.root().resolved(
            QUrl(kind == DavServer::Radicale ? u"/bob/book/"_s : u"/user/contacts/addressbook/"_s));
        who.user = u"bob"_s;
        CardDavAddressBook book(who);
        if (kind == DavServer::Radicale)
            QVERIFY(makeAddressBook(book.client(), who.url, u"Book"_s));
        QVERIFY(book.put({}, u"x"_s, card(u"x"_s, u"X"_s, u"1"_s), {}));
        server.stop();
        const QString gone = errorOf([&] { book.list(); });
        QVERIFY2(gone.contains(u"nimmt keine Verbindung an"_s) || gone.contains(u"beendet"_s),
                 qPrintable(gone));
        QVERIFY2(gone.contains(u"127.0.0.1"_s), qPrintable(gone));
    }
}

QTEST_GUILESS_MAIN(TestCardDav)
#include "tst_carddav.moc"
