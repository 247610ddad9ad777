// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace q7 {

namespace {

constexpr QByteArrayView kRaise = "raise\n";
// How long a later start waits for the first to take its request.
constexpr int kAskMs = 2000;

} // namespace

SingleInstance::SingleInstance(const QString& folder, QObject* parent)
    : QObject(parent), m_folder(folder),
      m_lock(QDir(folder).filePath(QStringLiteral("q7manager.lock")))
{
    // No age makes a lock stale: a run may last for days. Only a lock whose
    // process is gone is, which QLockFile tells by its process id.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

QString SingleInstance::lockFilePath() const
{
    return QDir(m_folder).filePath(QStringLiteral("q7manager.lock"));
}

QString SingleInstance::serverName() const
{
    return QDir(m_folder).filePath(QStringLiteral("q7manager.socket"));
}

bool SingleInstance::claim()
{
    QDir().mkpath(m_folder);
    if (m_lock.tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock.error() == QLockFile::LockFailedError) {
        askFirstToRaise();
        return false;
    }
    // The folder does not let a lock be made: better two windows than none.
    return true;
}

void SingleInstance::listen()
{
    // A socket left by a crashed run would keep the name taken.
    QLocalServer::removeServer(serverName());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kRaise))
                    emit raiseRequested();
            });
        }
    });
    m_server->listen(serverName());
}

void SingleInstance::askFirstToRaise()
{
    QLocalSocket socket;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::connected, &loop,
            [&] { socket.write(kRaise.data(), kRaise.size()); });
    connect(&socket, &QLocalSocket::bytesWritten, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.connectToServer(serverName());
    timeout.start(kAskMs);
    if (socket.state() != QLocalSocket::UnconnectedState)
        loop.exec();
    socket.disconnectFromServer();
}

} // namespace q7
