// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <utility>

class QNetworkReply;

namespace q7::sync {

// Where a CardDAV address book is and who asks.
struct CardDavLogin
{
    QUrl url;
    QString user;
    QString password;
    // Plain http:// to a host other than this machine sends the password
    // readable; it takes the user's explicit word.
    bool allowPlainHttp = false;
};

struct DavReply
{
    int status = 0;
    QString reason; // the status line's words: "Precondition Failed"
    QByteArray body;
    QString etag;  // the ETag header
    QUrl location; // where a redirect points, resolved
};

class CardDavClient;

// Where the user's Anhalten reaches the request under way, whichever client
// sends it (the one that finds the address book, then the book's own).
// Once stopped, every request through it ends with EOperationCancelled.
class StopLine
{
public:
    void stop();
    bool stopped() const { return m_stopped; }

private:
    friend class CardDavClient;
    CardDavClient* m_waiting = nullptr;
    bool m_stopped = false;
};

// HTTP requests to one server, each waited for in a nested event loop (the
// window keeps painting), with Basic authentication sent along. Whatever
// keeps a request from getting an HTTP answer is thrown as a Q7Error that
// names it: a time-out, a refused or lost connection, a certificate the
// system does not trust, plain http:// that was not allowed; so is a 401.
// Every other status is the caller's to judge.
class CardDavClient
{
public:
    using Headers = QList<std::pair<QByteArray, QByteArray>>;
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit CardDavClient(CardDavLogin login, int timeoutMs = kDefaultTimeoutMs);
    ~CardDavClient();
    CardDavClient(const CardDavClient&) = delete;
    CardDavClient& operator=(const CardDavClient&) = delete;

    const CardDavLogin& login() const { return m_login; }
    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setStopLine(StopLine* line) { m_stopLine = line; }

    DavReply send(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                  const Headers& headers = {});
    // A PROPFIND or REPORT: an XML body, and the depth it reaches.
    DavReply sendXml(const QByteArray& method, const QUrl& url, int depth, const QByteArray& body);

    // Ends the request under way (the user pressed Anhalten): it throws
    // EOperationCancelled.
    void abort();

    // The server as the user names it in messages: scheme, host and port.
    QString serverName() const;
    // "PUT /alice/book/x.vcf", for messages.
    static QString requestName(const QByteArray& method, const QUrl& url);
    // The failure for an answer the caller did not expect.
    [[noreturn]] void fail(const QByteArray& method, const QUrl& url, const DavReply& reply) const;
    [[noreturn]] void failUnreadable(const QByteArray& method, const QUrl& url,
                                     const QString& why) const;

    // How many requests of each method were sent, for the tests and the
    // benchmark: a sync with nothing to do should cost one.
    const QMap<QByteArray, int>& requestCounts() const { return m_counts; }
    int requestCount() const;
    void resetCounts() { m_counts.clear(); }

private:
    void refuseUnencrypted(const QUrl& url) const;
    DavReply wait(QNetworkReply* reply, const QByteArray& method, const QUrl& url);

    CardDavLogin m_login;
    int m_timeoutMs;
    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_running;
    bool m_aborted = false;
    QMap<QByteArray, int> m_counts;
    StopLine* m_stopLine = nullptr;
};

} // namespace q7::sync
