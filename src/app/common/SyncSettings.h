// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class QUrl;
class QWidget;

namespace q7 {

class LanguageFile;

// What the sync's address book choice remembers, in the program's settings.
// The snapshots dialog reads it too, to put copied cards back on the server
// they came from.
namespace syncsettings {
inline const QString kLocation = QStringLiteral("Abgleich/Adressbuch");
inline const QString kKind = QStringLiteral("Abgleich/Server");
inline const QString kServer = QStringLiteral("Abgleich/ServerAdresse");
inline const QString kUser = QStringLiteral("Abgleich/Benutzer");
inline const QString kBook = QStringLiteral("Abgleich/ServerAdressbuch");
inline const QString kRemember = QStringLiteral("Abgleich/Merken");
inline const QString kHttpAllowed = QStringLiteral("Abgleich/HttpErlaubt");
} // namespace syncsettings

// The plain-http consent holds for one server: scheme, host and port.
QString serverKey(const QUrl& url);

// The password of a server when the keyring has none: asked each time.
std::optional<QString> askPassword(QWidget* parent, const LanguageFile& texts, const QUrl& server,
                                   const QString& user);

} // namespace q7
