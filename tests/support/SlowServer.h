// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A server that answers slowly: a proxy on a free loopback port in front of
// a real one, which passes every request on but can keep back the answer to
// one of them, as a server busy for a long while would. The request is
// carried out (the server took it); only its answer does not come.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <functional>
#include <memory>
#include <utility>

namespace q7::test {

class SlowServer
{
public:
    explicit SlowServer(quint16 target) : m_target(target)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }

    QUrl root() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()));
    }

    // Keeps back the answer to the `nth` request of `method` from here on;
    // `held` is called once the server has answered it.
    void holdAnswer(const QByteArray& method, int nth, std::function<void()> held)
    {
        m_method = method + ' ';
        m_nth = nth;
        m_seen = 0;
        m_held = std::move(held);
    }
    void holdNothing() { m_nth = 0; }

private:
    // QAbstractSocket, not QTcpSocket: a socket emits `disconnected` from
    // its own destructor, when it is no longer a QTcpSocket.
    struct Link
    {
        QPointer<QAbstractSocket> client;
        QPointer<QAbstractSocket> upstream;
        bool holding = false;
    };

    void accept()
    {
        while (QTcpSocket* client = m_server.nextPendingConnection()) {
            auto* upstream = new QTcpSocket(client);
            auto link = std::make_shared<Link>(Link{client, upstream, false});
            QObject::connect(client, &QTcpSocket::readyRead, client, [this, link] {
                const QByteArray data = link->client->readAll();
                // A request's first line starts a read: the client sends the
                // next only after the answer to the last.
                if (m_nth > 0 && data.startsWith(m_method) && ++m_seen == m_nth)
                    link->holding = true;
                link->upstream->write(data);
            });
            QObject::connect(upstream, &QTcpSocket::readyRead, upstream, [this, link] {
                const QByteArray data = link->upstream->readAll();
                if (!link->holding) {
                    link->client->write(data);
                    return;
                }
                if (m_held)
                    std::exchange(m_held, nullptr)();
            });
            QObject::connect(client, &QTcpSocket::disconnected, client, [link] {
                if (link->upstream)
                    link->upstream->abort();
                link->client->deleteLater();
            });
            QObject::connect(upstream, &QTcpSocket::disconnected, upstream, [link] {
                if (link->client && !link->holding)
                    link->client->disconnectFromHost();
            });
            upstream->connectToHost(QHostAddress::LocalHost, m_target);
            upstream->waitForConnected(5000);
        }
    }

    QTcpServer m_server;
    quint16 m_target;
    QByteArray m_method;
    int m_nth = 0;
    int m_seen = 0;
    std::function<void()> m_held;
};

} // namespace q7::test
