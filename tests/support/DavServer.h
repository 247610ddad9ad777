// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A real CardDAV server from Debian's packages for the tests: Radicale or
// Xandikos in a temporary folder, on a free loopback port, stopped by its
// process id when the test ends.

#include "sync/CardDavClient.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace q7::test {

class DavServer
{
public:
    enum Kind
    {
        Radicale,
        Xandikos,
    };
    struct Options
    {
        // Radicale only: a user with a password (htpasswd); without one it
        // takes any user name and no password.
        QString user;
        QString password;
        // Radicale only: TLS with this certificate and key.
        QString certificate;
        QString key;
    };

    explicit DavServer(Kind kind, Options options = {}) : m_kind(kind), m_options(options) {}
    ~DavServer() { stop(); }
    DavServer(const DavServer&) = delete;
    DavServer& operator=(const DavServer&) = delete;

    static QString kindName(Kind kind) { return kind == Radicale ? "radicale" : "xandikos"; }

    // Starts the server and waits until it takes connections. False with
    // its output in `error` when it did not come up. Started again after a
    // stop, it takes the same port and the address books it held.
    bool start(QString* error = nullptr)
    {
        if (m_port == 0)
            m_port = freePort();
        const QString store = m_dir.filePath(QStringLiteral("store"));
        QStringList args;
        QString program;
        if (m_kind == Radicale) {
            program = QStringLiteral("radicale");
            args << "-C"
                 << ""
                 << "--server-hosts" << QStringLiteral("127.0.0.1:%1").arg(m_port)
                 << "--storage-filesystem-folder"
                 << store
                 // Info logs every request, which the tests count.
                 << "--logging-level"
                 << "info";
            if (m_options.user.isEmpty()) {
                args << "--auth-type"
                     << "none";
            } else {
                const QString users = m_dir.filePath(QStringLiteral("users"));
                QFile file(users);
                if (!file.open(QIODevice::WriteOnly))
                    return false;
                file.write((m_options.user + u':' + m_options.password + u'\n').toUtf8());
                file.close();
                args << "--auth-type"
                     << "htpasswd"
                     << "--auth-htpasswd-filename" << users << "--auth-htpasswd-encryption"
                     << "plain";
            }
            if (!m_options.certificate.isEmpty())
                args << "--server-ssl"
                     << "True"
                     << "--server-certificate" << m_options.certificate << "--server-key"
                     << m_options.key;
        } else {
            program = QStringLiteral("xandikos");
            args << "-d" << store << "--defaults"
                 << "-l"
                 << "127.0.0.1"
                 << "-p" << QString::number(m_port);
        }
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, args);
        if (!m_process.waitForStarted(5000)) {
            if (error)
                *error = program + QStringLiteral(" did not start: ") + m_process.errorString();
            return false;
        }
        const bool up = QTest::qWaitFor(
            [this] {
                if (m_process.state() != QProcess::Running)
                    return true;
                QTcpSocket probe;
                probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
                return probe.waitForConnected(100);
            },
            20000);
        if (!up || m_process.state() != QProcess::Running) {
            if (error)
                *error = program + QStringLiteral(" did not come up: ") +
                         QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        return true;
    }

    // Stops the server by its process id.
    void stop() { stopProcess(m_process); }

    // A process a test started, ended by its id: asked first, then killed.
    static void stopProcess(QProcess& process)
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    qint64 pid() const { return m_process.processId(); }
    quint16 port() const { return m_port; }
    // What the server printed so far; the pipe is drained first, since no
    // event loop may have run since the server wrote.
    QString output()
    {
        while (m_process.state() == QProcess::Running && m_process.waitForReadyRead(300)) {
        }
        return QString::fromLocal8Bit(m_process.readAll());
    }
    // The requests of `method` the server logged since clearLog().
    int requestsLogged(const QString& method)
    {
        m_log += output();
        // Radicale: "[INFO] PUT request for '/a/b.vcf'"; Xandikos (aiohttp):
        // "\"PUT /a/b.vcf HTTP/1.1\" 201".
        return int(m_log.count(QStringLiteral("[INFO] %1 request for").arg(method)) +
                   m_log.count(QStringLiteral("\"%1 ").arg(method)));
    }
    void clearLog()
    {
        output();
        m_log.clear();
    }
    QString folder() const { return m_dir.path(); }

    QUrl root() const
    {
        const QString scheme = m_options.certificate.isEmpty() ? "http" : "https";
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(scheme).arg(m_port));
    }

private:
    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    Kind m_kind;
    Options m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};

// An address book made the way Radicale wants it: an extended MKCOL.
// False when the server did not make it.
inline bool makeAddressBook(sync::CardDavClient& client, const QUrl& url,
                            const QString& displayName)
{
    const QByteArray body =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<d:mkcol xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop>"
        "<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype><d:displayname>" +
        displayName.toHtmlEscaped().toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>";
    return client.send("MKCOL", url, body, {{"Content-Type", "application/xml; charset=utf-8"}})
               .status == 201;
}

} // namespace q7::test
