// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace q7::sync {

// A server's password in the desktop's keyring (QtKeychain: the Secret
// Service, KWallet), one per server and user; never in the settings file.
// Each call waits for the keyring in a nested event loop, since unlocking
// it may ask the user.
class Keyring
{
public:
    enum class Outcome
    {
        Done,
        NotStored, // the keyring holds no password for them
        NoKeyring, // no keyring answers: the window asks at each sync
    };
    struct Lookup
    {
        Outcome outcome = Outcome::NoKeyring;
        QString password;
    };

    static Lookup read(const QUrl& server, const QString& user);
    static Outcome store(const QUrl& server, const QString& user, const QString& password);
    static Outcome forget(const QUrl& server, const QString& user);

    // The keyring's name for the password of `user` on `server`: the user
    // and the server's scheme, host and port, so that two address books on
    // one server share it.
    static QString key(const QUrl& server, const QString& user);
};

} // namespace q7::sync
