// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavClient.h"

#include "base/Errors.h"
#include "sync/CardDavPaths.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>
#include <memory>

namespace q7::sync {

namespace {

struct LaterDeleter
{
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

// What the system holds against a server's certificate, gathered as the
// handshake reports it: the reasons and who issued the certificate.
struct CertificateComplaint
{
    QStringList reasons;
    QString issuer;
};

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'g', 3);
}

} // namespace

void StopLine::stop()
{
    m_stopped = true;
    if (m_waiting)
        m_waiting->abort();
}

CardDavClient::CardDavClient(CardDavLogin login, int timeoutMs)
    : m_login(std::move(login)), m_timeoutMs(timeoutMs)
{
    // Redirects are followed where they are expected (finding the address
    // book), each hop checked like the first; a PUT is never sent on to
    // where a server points.
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

CardDavClient::~CardDavClient()
{
    if (m_running)
        m_running->abort();
}

QString CardDavClient::serverName() const
{
    return m_login.url
        .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                  QUrl::RemoveFragment)
        .toString();
}

QString CardDavClient::requestName(const QByteArray& method, const QUrl& url)
{
    return QString::fromLatin1(method) + u' ' + url.path(QUrl::FullyDecoded);
}

int CardDavClient::requestCount() const
{
    int total = 0;
    for (int count : m_counts)
        total += count;
    return total;
}

void CardDavClient::refuseUnencrypted(const QUrl& url) const
{
    if (url.scheme().compare(QStringLiteral("http"), Qt::CaseInsensitive) == 0 &&
        !m_login.allowPlainHttp && !isLoopback(url))
        throw Q7Error(TextId::Server_Unverschluesselt,
                      {url.adjusted(QUrl::RemoveUserInfo).toString()});
}

DavReply CardDavClient::sendXml(const QByteArray& method, const QUrl& url, int depth,
                                const QByteArray& body)
{
    return send(
        method, url, body,
        {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", QByteArray::number(depth)}});
}

DavReply CardDavClient::send(const QByteArray& method, const QUrl& url, const QByteArray& body,
                             const Headers& headers)
{
    if (m_stopLine && m_stopLine->stopped())
        throw EOperationCancelled();
    refuseUnencrypted(url);
    QNetworkRequest request(url);
    if (!m_login.user.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " +
                                 (m_login.user + u':' + m_login.password).toUtf8().toBase64());
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    ++m_counts[method];
    return wait(m_network.sendCustomRequest(request, method, body), method, url);
}

void CardDavClient::abort()
{
    if (!m_running)
        return;
    m_aborted = true;
    m_running->abort();
}

DavReply CardDavClient::wait(QNetworkReply* raw, const QByteArray& method, const QUrl& url)
{
    std::unique_ptr<QNetworkReply, LaterDeleter> reply(raw);
    CertificateComplaint complaint;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(),
                     [&complaint, &reply](const QList<QSslError>& errors) {
                         for (const QSslError& error : errors) {
                             complaint.reasons.append(error.errorString());
                             QSslCertificate certificate = error.certificate();
                             if (certificate.isNull())
                                 certificate = reply->sslConfiguration().peerCertificate();
                             if (complaint.issuer.isEmpty() && !certificate.isNull())
                                 complaint.issuer = certificate.issuerDisplayName();
                         }
                     });

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // Coarse timers fire up to 5 % early, which would shorten the time-out.
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    m_running = reply.get();
    m_aborted = false;
    if (m_stopLine)
        m_stopLine->m_waiting = this;
    // The elapsed time decides, not the timer alone: a timer may fire a
    // little early, and then the loop waits for the rest.
    QElapsedTimer waited;
    waited.start();
    while (!reply->isFinished() && !waited.hasExpired(m_timeoutMs)) {
        timer.start(int(m_timeoutMs - waited.elapsed()) + 1);
        loop.exec();
    }
    m_running = nullptr;
    if (m_stopLine)
        m_stopLine->m_waiting = nullptr;

    const QString server = serverName();
    if (m_aborted) {
        m_aborted = false;
        throw EOperationCancelled();
    }
    if (!reply->isFinished()) {
        QObject::disconnect(reply.get(), nullptr, &loop, nullptr);
        reply->abort();
        throw Q7Error(TextId::Server_Zeit,
                      {server, requestName(method, url), seconds(m_timeoutMs)});
    }

    DavReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Errors below 200 are the connection's (refused, closed halfway, a
    // certificate), even where a status line had already arrived: a body
    // cut short must not pass for the whole answer.
    const bool connectionFailed = reply->error() > QNetworkReply::NoError &&
                                  reply->error() < QNetworkReply::ContentAccessDenied;
    if (result.status == 0 || connectionFailed) {
        switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError:
            throw Q7Error(TextId::Server_KeineVerbindung, {server});
        case QNetworkReply::RemoteHostClosedError:
            throw Q7Error(TextId::Server_Beendet, {server, requestName(method, url)});
        case QNetworkReply::HostNotFoundError:
            throw Q7Error(TextId::Server_Unbekannt, {url.host()});
        case QNetworkReply::SslHandshakeFailedError:
            if (!complaint.reasons.isEmpty())
                throw Q7Error(
                    TextId::Server_Zertifikat,
                    {url.host(), complaint.reasons.join(QStringLiteral("; ")), complaint.issuer});
            [[fallthrough]];
        default:
            throw Q7Error(TextId::Server_Netz, {server, reply->errorString()});
        }
    }
    if (result.status == 401) {
        if (m_login.user.isEmpty())
            throw Q7Error(TextId::Server_Anmeldung, {server});
        throw Q7Error(TextId::Server_FalschesPasswort, {server, m_login.user});
    }
    result.reason =
        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    result.body = reply->readAll();
    // Qt takes a connection closed before the promised length for the end
    // of the body (the length of a compressed body is not the one read).
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && !reply->hasRawHeader("Content-Encoding") &&
        result.body.size() < length.toLongLong())
        throw Q7Error(TextId::Server_Beendet, {server, requestName(method, url)});
    result.etag = QString::fromLatin1(reply->rawHeader("ETag"));
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (target.isValid())
        result.location = url.resolved(target);
    return result;
}

void CardDavClient::fail(const QByteArray& method, const QUrl& url, const DavReply& reply) const
{
    throw Q7Error(TextId::Server_Abgelehnt, {serverName(), requestName(method, url),
                                             QString::number(reply.status), reply.reason});
}

void CardDavClient::failUnreadable(const QByteArray& method, const QUrl& url,
                                   const QString& why) const
{
    throw Q7Error(TextId::Server_Unlesbar, {serverName(), requestName(method, url), why});
}

} // namespace q7::sync
