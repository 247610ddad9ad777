// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace q7 {

// One window per user: the first start holds a lock file and listens for
// later starts; a later start finds the lock held, asks the first to bring
// its window to the front and ends. A lock whose process no longer runs (a
// crashed run) is taken over, as is the socket it left.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // folder: where the lock and the socket live; by default the user's
    // runtime folder, so that every user has a program of his own.
    explicit SingleInstance(const QString& folder = defaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True: this is the only run; it keeps the lock while it lives and
    // emits raiseRequested() when a later start asks. False: another run
    // holds it and was asked to come to the front.
    bool claim();

    QString lockFilePath() const;
    QString serverName() const;
    static QString defaultFolder();

signals:
    void raiseRequested();

private:
    void listen();
    void askFirstToRaise();

    QString m_folder;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace q7
