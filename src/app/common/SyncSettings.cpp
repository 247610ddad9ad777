// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/SyncSettings.h"

#include "app/common/Dialogs.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"

#include <QInputDialog>
#include <QUrl>

namespace q7 {

QString serverKey(const QUrl& url)
{
    return url
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo)
        .toString();
}

std::optional<QString> askPassword(QWidget* parent, const LanguageFile& texts, const QUrl& server,
                                   const QString& user)
{
    QInputDialog ask(parent);
    ask.setWindowTitle(texts.text(TextId::AbgleichServer_PasswortCaption));
    ask.setLabelText(
        fillIn(texts.text(TextId::AbgleichServer_PasswortFrage), {user, server.host()}));
    ask.setTextEchoMode(QLineEdit::Password);
    if (dialogs().execDialog(ask) != QDialog::Accepted)
        return std::nullopt;
    return ask.textValue();
}

} // namespace q7
