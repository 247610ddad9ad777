// SPDX-License-Identifier: GPL-3.0-or-later
// The CardDAV replies as Radicale and Xandikos wrote them (recorded in
// tests/data/carddav), read without a server; the request bodies; the names
// of cards below an address book.

#include "sync/CardDavAddressBook.h"
#include "sync/CardDavPaths.h"
#include "sync/CardDavXml.h"

#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

using namespace q7::sync;
using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(qEnvironmentVariable("Q7_SOURCE_DIR") + u"/tests/data/carddav/"_s + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture %s missing", qPrintable(name));
    return file.readAll();
}

DavMultistatus parsed(const QString& name)
{
    QString error;
    const auto reply = parseMultistatus(fixture(name), &error);
    if (!reply)
        qFatal("%s: %s", qPrintable(name), qPrintable(error));
    return *reply;
}

// Every element of a body as "namespace|name", in document order.
QStringList elementsOf(const QByteArray& body)
{
    QStringList names;
    QXmlStreamReader xml(body);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            names.append(xml.namespaceUri().toString() + u'|' + xml.name().toString());
    if (xml.hasError())
        names.append(u"error: "_s + xml.errorString());
    return names;
}

const QString D = u"DAV:|"_s;
const QString C = u"urn:ietf:params:xml:ns:carddav|"_s;
const QString CS = u"http://calendarserver.org/ns/|"_s;

} // namespace

class TestCardDavXml : public QObject
{
    Q_OBJECT

private slots:
    void cardsAndTokens_data();
    void cardsAndTokens();
    void discovery_data();
    void discovery();
    void addressData_data();
    void addressData();
    void otherPrefixesAndFaults();
    void statusLine_data();
    void statusLine();
    void requestBodies();
    void cardIds_data();
    void cardIds();
    void cardUrls();
    void loopback_data();
    void loopback();
    void uidLine_data();
    void uidLine();
};

// The hrefs, statuses and ETags of each reply, and the token a report hands
// out (Radicale writes it before the responses, Xandikos after them).
void TestCardDavXml::cardsAndTokens_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("hrefs");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<QStringList>("etags");
    QTest::addColumn<QString>("token");

    const QString ra = u"/alice/familie/"_s;
    const QString xa = u"/user/contacts/addressbook/"_s;
    QTest::newRow("radicale etags")
        << "radicale-etags.xml" << QStringList{ra, ra + "card2.vcf", ra + "card1.vcf"}
        << QList<int>{200, 200, 200}
        << QStringList{u"\"9da43b287b8f7eca3009c340540a62a994a1da0ea52246e7e6170c0facef9111\""_s,
                       u"\"738255e8dad6bf9b2592194e55b1c9d1170ea9b71602775fdf828698050e1b85\""_s,
                       u"\"14faf01ebb3eafa81e5f3c61f40560f48dd2e9bdb1b1a69575f40b9c48fed2d5\""_s}
        << QString();
    QTest::newRow("xandikos etags")
        << "xandikos-etags.xml" << QStringList{xa, xa + "card1.vcf", xa + "card2.vcf"}
        << QList<int>{200, 200, 200}
        << QStringList{u"\"64f945c89b4804f6fd2565f0142a46ce884cb40e\""_s,
                       u"\"a3fb7305227e9e0a5aa074dc2755ca55eece2bd8\""_s,
                       u"\"671c8afd9c4397d8b79b2069d4f1057363e8cd65\""_s}
        << QString();
    QTest::newRow("radicale sync, first")
        << "radicale-sync-initial.xml" << QStringList{ra + "card2.vcf", ra + "card1.vcf"}
        << QList<int>{200, 200}
        << QStringList{u"\"738255e8dad6bf9b2592194e55b1c9d1170ea9b71602775fdf828698050e1b85\""_s,
                       u"\"14faf01ebb3eafa81e5f3c61f40560f48dd2e9bdb1b1a69575f40b9c48fed2d5\""_s}
        << u"http://radicale.org/ns/sync/"
           "9a3aaf2c206c5d06efe5109cdea9794804640b0d19ec47b1ae83fde8e7cf42a2"_s;
    QTest::newRow("xandikos sync, first")
        << "xandikos-sync-initial.xml" << QStringList{xa + "card1.vcf", xa + "card2.vcf"}
        << QList<int>{200, 200}
        << QStringList{u"\"a3fb7305227e9e0a5aa074dc2755ca55eece2bd8\""_s,
                       u"\"671c8afd9c4397d8b79b2069d4f1057363e8cd65\""_s}
        << u"64f945c89b4804f6fd2565f0142a46ce884cb40e"_s;
    // One card changed, one deleted: the deleted one has its own 404.
    QTest::newRow("radicale sync, changes")
        << "radicale-sync-changes.xml" << QStringList{ra + "card2.vcf", ra + "card1.vcf"}
        << QList<int>{404, 200}
        << QStringList{QString(),
                       u"\"c948c2e3e0e967e781264354aa9ee8981df2d6c6edcc30547593be0d20cc6913\""_s}
        << u"http://radicale.org/ns/sync/"
           "6052cd4f4dfb5a95c9a60e1d3db9cb829732a32a0d818a4aaae9dae2b93d3458"_s;
    QTest::newRow("xandikos sync, changes")
        << "xandikos-sync-changes.xml" << QStringList{xa + "card1.vcf", xa + "card2.vcf"}
        << QList<int>{200, 404}
        << QStringList{u"\"c0bde17658bedf8baa1396d75172f1c797affa57\""_s, QString()}
        << u"fafb9d52a3453e44481e02dced6de4abdd367492"_s;
}

void TestCardDavXml::cardsAndTokens()
{
    QFETCH(QString, file);
    QFETCH(QStringList, hrefs);
    QFETCH(QList<int>, statuses);
    QFETCH(QStringList, etags);
    QFETCH(QString, token);

    const DavMultistatus reply = parsed(file);
    QStringList gotHrefs, gotEtags;
    QList<int> gotStatuses;
    for (const DavResource& r : reply.resources) {
        gotHrefs.append(r.href);
        gotStatuses.append(r.status);
        gotEtags.append(r.etag);
    }
    QCOMPARE(gotHrefs, hrefs);
    QCOMPARE(gotStatuses, statuses);
    QCOMPARE(gotEtags, etags);
    QCOMPARE(reply.syncToken, token);
}

// Each step of finding an address book, as both servers answer it. A
// property the server lists as missing (Radicale's 404 propstat with an
// empty displayname) stays empty; Xandikos's "contacts" is a collection but
// no address book.
void TestCardDavXml::discovery_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("principal");
    QTest::addColumn<QStringList>("homeSet");
    // "href name ctag? token?" for each address book in the reply
    QTest::addColumn<QStringList>("addressBooks");
    QTest::addColumn<QStringList>("otherCollections");

    QTest::newRow("radicale principal")
        << "radicale-principal.xml"
        << "/alice/" << QStringList() << QStringList() << QStringList{u"/"_s};
    QTest::newRow("xandikos principal")
        << "xandikos-principal.xml"
        << "/user/" << QStringList() << QStringList() << QStringList();
    QTest::newRow("radicale home") << "radicale-home.xml" << QString() << QStringList{u"/alice/"_s}
                                   << QStringList() << QStringList();
    QTest::newRow("xandikos home")
        << "xandikos-home.xml" << QString() << QStringList{u"/user/contacts/"_s} << QStringList()
        << QStringList();
    QTest::newRow("radicale books")
        << "radicale-books.xml" << QString() << QStringList()
        << QStringList{u"/alice/familie/ Familie ctag token"_s} << QStringList{u"/alice/"_s};
    QTest::newRow("xandikos books")
        << "xandikos-books.xml" << QString() << QStringList()
        << QStringList{u"/user/contacts/addressbook/ addressbook ctag token"_s}
        << QStringList{u"/user/contacts/"_s};
}

void TestCardDavXml::discovery()
{
    QFETCH(QString, file);
    QFETCH(QString, principal);
    QFETCH(QStringList, homeSet);
    QFETCH(QStringList, addressBooks);
    QFETCH(QStringList, otherCollections);

    const DavMultistatus reply = parsed(file);
    QVERIFY(!reply.resources.isEmpty());
    QCOMPARE(reply.resources.first().principal, principal);
    QCOMPARE(reply.resources.first().homeSet, homeSet);
    QStringList books, others;
    for (const DavResource& r : reply.resources) {
        if (r.addressBook) {
            QVERIFY(r.collection);
            books.append(QStringList{r.href, r.displayName, r.ctag.isEmpty() ? "-" : "ctag",
                                     r.syncToken.isEmpty() ? "-" : "token"}
                             .join(u' '));
        } else if (r.collection) {
            QVERIFY(r.displayName.isEmpty() || r.displayName == u"contacts");
            others.append(r.href);
        }
    }
    QCOMPARE(books, addressBooks);
    QCOMPARE(others, otherCollections);
}

// The cards of a multiget come with CRLF line ends again (an XML reader
// turns them into LF), byte for byte otherwise; an href the server does not
// know has its own 404 and no card.
void TestCardDavXml::addressData_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("radicale") << "radicale-multiget.xml"
                              << "/alice/familie/";
    QTest::newRow("xandikos") << "xandikos-multiget.xml"
                              << "/user/contacts/addressbook/";
}

void TestCardDavXml::addressData()
{
    QFETCH(QString, file);
    QFETCH(QString, prefix);

    const DavMultistatus reply = parsed(file);
    QCOMPARE(reply.resources.size(), 3);
    QHash<QString, DavResource> byHref;
    for (const DavResource& r : reply.resources)
        byHref.insert(r.href, r);
    const DavResource gone = byHref.value(prefix + "gone.vcf");
    QCOMPARE(gone.status, 404);
    QVERIFY(!gone.hasAddressData);

    const DavResource bernd = byHref.value(prefix + "card2.vcf");
    QCOMPARE(bernd.status, 200);
    QVERIFY(bernd.hasAddressData);
    QCOMPARE(bernd.addressData, QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bernd-2\r\n"
                                           "FN:Bernd Beispiel\r\nTEL;TYPE=HOME:030 123456\r\n"
                                           "END:VCARD\r\n"));
    const DavResource anna = byHref.value(prefix + "card1.vcf");
    QVERIFY(anna.addressData.contains("\r\nTEL;TYPE=CELL:+49 170 7654321\r\n"));
    QVERIFY(anna.addressData.contains("\r\nEMAIL:anna@example.org\r\n"));
    QVERIFY(!anna.etag.isEmpty());
}

// What other servers write: upper-case prefixes, a card in CDATA, a status
// line with a reason of several words, an element of another namespace with
// a DAV name; and replies that are no multistatus at all.
void TestCardDavXml::otherPrefixesAndFaults()
{
    const QByteArray prefixed =
        "<?xml version=\"1.0\"?>\n"
        "<D:multistatus xmlns:D=\"DAV:\" xmlns:A=\"urn:ietf:params:xml:ns:carddav\""
        " xmlns:x=\"urn:example:other\">"
        "<D:response><D:href>/dav/a%20b.vcf</D:href><D:propstat><D:prop>"
        "<x:getetag>\"wrong\"</x:getetag><D:getetag>W/\"7\"</D:getetag>"
        "<A:address-data><![CDATA[BEGIN:VCARD\r\nUID:x&y\r\nEND:VCARD\r\n]]></A:address-data>"
        "</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>"
        "<D:propstat><D:prop><D:displayname/></D:prop>"
        "<D:status>HTTP/1.1 404 Not Found</D:status></D:propstat></D:response>"
        "<D:response><D:href>/dav/</D:href><D:propstat><D:prop><D:getetag/></D:prop>"
        "<D:status>HTTP/1.1 403 Forbidden By Policy</D:status></D:propstat></D:response>"
        "</D:multistatus>";
    const auto reply = parseMultistatus(prefixed);
    QVERIFY(reply);
    QCOMPARE(reply->resources.size(), 2);
    const DavResource card = reply->resources.at(0);
    QCOMPARE(card.href, u"/dav/a%20b.vcf"_s);
    QCOMPARE(card.status, 200);
    QCOMPARE(card.etag, u"W/\"7\""_s);
    QCOMPARE(card.addressData, QByteArray("BEGIN:VCARD\r\nUID:x&y\r\nEND:VCARD\r\n"));
    QCOMPARE(reply->resources.at(1).status, 403);

    QString error;
    // Radicale's answer to a sync token it no longer knows.
    QVERIFY(!parseMultistatus("<?xml version='1.0' encoding='utf-8'?>\n"
                              "<error xmlns=\"DAV:\"><valid-sync-token /></error>",
                              &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!parseMultistatus("<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a", &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!parseMultistatus("500 Internal Server Error"));
    QVERIFY(!parseMultistatus("<multistatus><response/></multistatus>")); // no DAV: namespace
}

void TestCardDavXml::statusLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("code");
    QTest::newRow("ok") << "HTTP/1.1 200 OK" << 200;
    QTest::newRow("not found") << " HTTP/1.1 404 Not Found\n" << 404;
    QTest::newRow("no reason") << "HTTP/1.0 207" << 207;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no number") << "HTTP/1.1 OK" << 0;
}

void TestCardDavXml::statusLine()
{
    QFETCH(QString, line);
    QFETCH(int, code);
    QCOMPARE(davStatusCode(line), code);
}

// Each body asks for what the client reads from its reply, in the right
// namespaces; a token and hrefs with XML's own characters go in escaped.
void TestCardDavXml::requestBodies()
{
    QCOMPARE(elementsOf(discoveryPropfind()),
             (QStringList{D + "propfind", D + "prop", D + "resourcetype", D + "displayname",
                          D + "current-user-principal", C + "addressbook-home-set"}));
    QCOMPARE(elementsOf(collectionPropfind()),
             (QStringList{D + "propfind", D + "prop", D + "resourcetype", D + "displayname",
                          CS + "getctag", D + "sync-token"}));
    QCOMPARE(elementsOf(etagPropfind()),
             (QStringList{D + "propfind", D + "prop", D + "resourcetype", D + "getetag"}));
    QCOMPARE(elementsOf(syncCollectionReport(u"t&<1>"_s)),
             (QStringList{D + "sync-collection", D + "sync-token", D + "sync-level", D + "prop",
                          D + "getetag"}));
    QVERIFY(syncCollectionReport(u"t&<1>"_s).contains("t&amp;&lt;1&gt;"));
    QVERIFY(syncCollectionReport(QString()).contains("sync-token></d:sync-token>"));
    const QByteArray multiget = multigetReport({u"/a/1.vcf"_s, u"/a/R&D.vcf"_s});
    QCOMPARE(elementsOf(multiget),
             (QStringList{C + "addressbook-multiget", D + "prop", D + "getetag", C + "address-data",
                          D + "href", D + "href"}));
    QVERIFY(multiget.contains("<d:href>/a/R&amp;D.vcf</d:href>"));
}

// A card's id is its decoded path below the address book, whatever form of
// the path a reply gives.
void TestCardDavXml::cardIds_data()
{
    QTest::addColumn<QString>("collection");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("id");
    const QString book = u"http://127.0.0.1:5232/alice/familie/"_s;
    QTest::newRow("path") << book << "/alice/familie/card1.vcf"
                          << "card1.vcf";
    QTest::newRow("encoded") << book << "/alice/familie/Anna%20M%40x.vcf"
                             << "Anna M@x.vcf";
    QTest::newRow("absolute URL") << book << "https://proxy.example/alice/familie/b.vcf"
                                  << "b.vcf";
    QTest::newRow("relative") << book << "c.vcf"
                              << "c.vcf";
    QTest::newRow("collection itself") << book << "/alice/familie/"
                                       << "";
    QTest::newRow("collection, no slash") << book << "/alice/familie"
                                          << "";
    QTest::newRow("elsewhere") << book << "/alice/other/card1.vcf"
                               << "";
    QTest::newRow("book URL without slash") << "http://127.0.0.1:5232/alice/familie"
                                            << "/alice/familie/card1.vcf"
                                            << "card1.vcf";
    QTest::newRow("encoded book") << "https://h/dav/M%C3%BCller/"
                                  << "/dav/M%c3%bcller/x.vcf"
                                  << "x.vcf";
}

void TestCardDavXml::cardIds()
{
    QFETCH(QString, collection);
    QFETCH(QString, href);
    QFETCH(QString, id);
    QCOMPARE(cardIdFromHref(QUrl(collection), href), id);
}

void TestCardDavXml::cardUrls()
{
    const QUrl book(u"https://h.example/dav/addressbooks/alice/default"_s);
    QCOMPARE(cardUrl(book, u"Anna M.vcf"_s).toString(QUrl::FullyEncoded),
             u"https://h.example/dav/addressbooks/alice/default/Anna%20M.vcf"_s);
    const QString odd = u"50%/?#.vcf"_s;
    QCOMPARE(cardIdFromHref(book, cardUrl(book, odd).path(QUrl::FullyEncoded)), odd);
    QCOMPARE(newCardId(u"urn:uuid:1/2\\3"_s), u"urn:uuid:1_2_3.vcf"_s);
}

void TestCardDavXml::loopback_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("loopback");
    QTest::newRow("127.0.0.1") << "http://127.0.0.1:5232/" << true;
    QTest::newRow("127.8.9.1") << "http://127.8.9.1/" << true;
    QTest::newRow("::1") << "http://[::1]:8000/" << true;
    QTest::newRow("localhost") << "http://LocalHost/" << true;
    QTest::newRow("LAN address") << "http://192.168.1.5/" << false;
    QTest::newRow("name") << "http://dav.example.org/" << false;
    QTest::newRow("localhost lookalike") << "http://localhost.example.org/" << false;
}

void TestCardDavXml::loopback()
{
    QFETCH(QString, url);
    QFETCH(bool, loopback);
    QCOMPARE(isLoopback(QUrl(url)), loopback);
}

// Every card sent has a UID: one without gets it after its VERSION line;
// one with a UID of any spelling keeps its own.
void TestCardDavXml::uidLine_data()
{
    QTest::addColumn<QByteArray>("card");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("has one") << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:own\r\nEND:VCARD\r\n")
                             << QByteArray(
                                    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:own\r\nEND:VCARD\r\n");
    QTest::newRow("lower case, parameter")
        << QByteArray("BEGIN:VCARD\r\nuid;VALUE=text:own\r\nEND:VCARD\r\n")
        << QByteArray("BEGIN:VCARD\r\nuid;VALUE=text:own\r\nEND:VCARD\r\n");
    QTest::newRow("none")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nX-UID:x\r\nEND:VCARD\r\n")
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:u-1\r\nFN:A\r\nX-UID:x\r\nEND:VCARD\r\n");
    QTest::newRow("LF only, no VERSION") << QByteArray("BEGIN:VCARD\nFN:A\nEND:VCARD\n")
                                         << QByteArray("BEGIN:VCARD\nUID:u-1\nFN:A\nEND:VCARD\n");
    QTest::newRow("no card") << QByteArray("FN:A\r\n") << QByteArray("FN:A\r\n");
}

void TestCardDavXml::uidLine()
{
    QFETCH(QByteArray, card);
    QFETCH(QByteArray, sent);
    QCOMPARE(cardWithUid(card, u"u-1"_s), sent);
    // What Radicale makes of a card: sorted, LF, folded anew.
    QVERIFY(sameCard("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nEMAIL:a@b\r\nEND:VCARD\r\n",
                     "BEGIN:VCARD\nVERSION:3.0\nEMAIL:a@\n b\nFN:Anna\nEND:VCARD\n"));
    QVERIFY(!sameCard("BEGIN:VCARD\r\nFN:Anna\r\nEND:VCARD\r\n",
                      "BEGIN:VCARD\r\nFN:Anne\r\nEND:VCARD\r\n"));
}

QTEST_GUILESS_MAIN(TestCardDavXml)
#include "tst_carddavxml.moc"
