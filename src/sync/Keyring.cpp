// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/Keyring.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace q7::sync {

namespace {

const QString kService = QStringLiteral("Q7 Manager CardDAV");

Keyring::Outcome outcomeOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return Keyring::Outcome::Done;
    case QKeychain::EntryNotFound:
        return Keyring::Outcome::NotStored;
    default:
        return Keyring::Outcome::NoKeyring;
    }
}

void run(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    // Without a keyring the password is asked for again, never written to
    // a file beside the settings.
    job.setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

} // namespace

QString Keyring::key(const QUrl& server, const QString& user)
{
    return user + u'@' +
           server
               .adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery |
                         QUrl::RemoveFragment)
               .toString();
}

Keyring::Lookup Keyring::read(const QUrl& server, const QString& user)
{
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key(server, user));
    run(job);
    Lookup lookup;
    lookup.outcome = outcomeOf(job);
    if (lookup.outcome == Outcome::Done)
        lookup.password = job.textData();
    return lookup;
}

Keyring::Outcome Keyring::store(const QUrl& server, const QString& user, const QString& password)
{
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key(server, user));
    job.setTextData(password);
    run(job);
    return outcomeOf(job);
}

Keyring::Outcome Keyring::forget(const QUrl& server, const QString& user)
{
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key(server, user));
    run(job);
    return outcomeOf(job);
}

} // namespace q7::sync
