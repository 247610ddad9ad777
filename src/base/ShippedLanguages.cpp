// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ShippedLanguages.h"

#include <QDir>
#include <QFile>

// The resource lives in a static library, so nothing pulls it in unless it is
// initialised by name, outside any namespace.
static void initLanguageResource()
{
    Q_INIT_RESOURCE(languages);
}

namespace q7 {

namespace {

const QString kFolder = QStringLiteral(":/q7/lang");

} // namespace

QStringList shippedLanguageFiles()
{
    initLanguageResource();
    return QDir(kFolder).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
}

QByteArray shippedLanguageFile(const QString& name)
{
    initLanguageResource();
    QFile file(kFolder + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace q7
