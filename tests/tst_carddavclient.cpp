// SPDX-License-Identifier: GPL-3.0-or-later
// What the CardDAV client says when no proper answer comes: a server that
// never answers, one that hangs up halfway, one that refuses a write, plain
// http:// to another machine, a certificate the system does not trust, and
// the user's Anhalten. The wait keeps the event loop running throughout.

#include "base/Errors.h"
#include "support/DavServer.h"
#include "sync/CardDavAddressBook.h"
#include "sync/CardDavClient.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace q7;
using namespace q7::sync;
using namespace q7::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A server on a loopback port that answers every request with `answer` and
// then, when `hangUp`, closes the connection; an empty answer is none.
class FakeServer : public QObject
{
public:
    FakeServer(QByteArray answer, bool hangUp) : m_answer(std::move(answer)), m_hangUp(hangUp)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                if (!m_answer.isEmpty())
                    socket->write(m_answer);
                if (m_hangUp) {
                    socket->flush();
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QUrl url(const QString& path = u"/book/"_s) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

private:
    QTcpServer m_server;
    QByteArray m_answer;
    bool m_hangUp;
};

CardDavLogin at(const QUrl& url)
{
    CardDavLogin login;
    login.url = url;
    return login;
}

QString errorOf(const std::function<void()>& step)
{
    try {
        step();
    } catch (const EOperationCancelled&) {
        return u"cancelled"_s;
    } catch (const Q7Error& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestCardDavClient : public QObject
{
    Q_OBJECT

private slots:
    void noAnswer();
    void hangsUp_data();
    void hangsUp();
    void refusedWrite();
    void stoppedByUser();
    void plainHttp_data();
    void plainHttp();
    void untrustedCertificate();
};

// The time-out names the server, the request and the time; the event loop
// ran meanwhile (a timer kept ticking), so the window would have painted.
void TestCardDavClient::noAnswer()
{
    FakeServer server({}, false);
    CardDavClient client(at(server.url()), 400);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(20);
    QElapsedTimer took;
    took.start();
    const QString error = errorOf([&] { client.send("PROPFIND", server.url()); });
    QVERIFY2(took.elapsed() >= 400 && took.elapsed() < 3000,
             qPrintable(QString::number(took.elapsed())));
    QVERIFY(ticks >= 5);
    QVERIFY2(error.contains(u"nicht innerhalb von 0.4 Sekunden"_s) &&
                 error.contains(u"PROPFIND /book/"_s) && error.contains(server.url().authority()),
             qPrintable(error));
}

void TestCardDavClient::hangsUp_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("before answering") << QByteArray();
    QTest::newRow("halfway through the headers") << QByteArray("HTTP/1.1 207 Multi");
    QTest::newRow("halfway through the body")
        << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 500\r\n\r\n<multistatus");
}

// A server that closes the connection before its answer is complete: the
// message says so and names the request; nothing half read passes.
void TestCardDavClient::hangsUp()
{
    QFETCH(QByteArray, answer);
    FakeServer server(answer, true);
    CardDavAddressBook book(at(server.url()), {}, 3000);
    const QString error = errorOf([&] { book.list(); });
    QVERIFY2(error.contains(u"beendet"_s) || error.contains(u"gestört"_s), qPrintable(error));
    QVERIFY2(error.contains(server.url().authority()), qPrintable(error));
}

// A status the client did not expect is named with the server's own words.
void TestCardDavClient::refusedWrite()
{
    FakeServer server("HTTP/1.1 507 Insufficient Storage\r\nContent-Length: 0\r\n\r\n", false);
    CardDavAddressBook book(at(server.url()), {}, 3000);
    const QString error =
        errorOf([&] { book.put({}, u"u1"_s, "BEGIN:VCARD\r\nEND:VCARD\r\n", {}); });
    QVERIFY2(error.contains(u"PUT /book/u1.vcf"_s) && error.contains(u"507 Insufficient Storage"_s),
             qPrintable(error));
}

void TestCardDavClient::stoppedByUser()
{
    FakeServer server({}, false);
    CardDavClient client(at(server.url()), 10000);
    QTimer::singleShot(50, this, [&client] { client.abort(); });
    QElapsedTimer took;
    took.start();
    QCOMPARE(errorOf([&] { client.send("REPORT", server.url()); }), u"cancelled"_s);
    QVERIFY(took.elapsed() < 5000);
}

void TestCardDavClient::plainHttp_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("another machine") << "http://192.0.2.7/dav/" << false << true;
    QTest::newRow("another machine, allowed") << "http://192.0.2.7:9/dav/" << true << false;
    QTest::newRow("https") << "https://192.0.2.7:9/dav/" << false << false;
}

// Plain http:// to another machine is refused before anything is sent;
// allowed, or over https, the request goes out (and here finds nobody).
void TestCardDavClient::plainHttp()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QFETCH(bool, refused);
    CardDavLogin login = at(QUrl(url));
    login.user = u"alice"_s;
    login.password = u"secret"_s;
    login.allowPlainHttp = allowed;
    CardDavClient client(login, 300);
    const QString error = errorOf([&] { client.send("PROPFIND", QUrl(url)); });
    QCOMPARE(error.contains(u"unverschlüsselte Adresse"_s), refused);
    QVERIFY(!error.contains(u"secret"_s));
    QCOMPARE(client.requestCount(), refused ? 0 : 1);
}

// Radicale over TLS with a certificate of its own making: refused, with the
// host, the issuer and the reason.
void TestCardDavClient::untrustedCertificate()
{
    QTemporaryDir dir;
    const QString certificate = dir.filePath(u"cert.pem"_s);
    const QString key = dir.filePath(u"key.pem"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s, {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s,
                                 u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=Heimserver Test CA"_s,
                                 u"-keyout"_s, key, u"-out"_s, certificate});
    QVERIFY(openssl.waitForFinished(30000));
    QCOMPARE(openssl.exitCode(), 0);

    DavServer server(DavServer::Radicale, {{}, {}, certificate, key});
    QString startError;
    QVERIFY2(server.start(&startError), qPrintable(startError));
    CardDavLogin login = at(server.root());
    login.user = u"alice"_s;
    CardDavClient client(login, 5000);
    const QString error = errorOf([&] { client.send("PROPFIND", server.root()); });
    QVERIFY2(error.contains(u"Zertifikat von 127.0.0.1"_s) &&
                 error.contains(u"Heimserver Test CA"_s) && error.contains(u"self-signed"_s),
             qPrintable(error));
}

QTEST_GUILESS_MAIN(TestCardDavClient)
#include "tst_carddavclient.moc"
