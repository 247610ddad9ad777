// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/VcardFolder.h"

#include "base/Errors.h"
#include "fileio/FileAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace q7::sync {

VcardFolder::VcardFolder(QString path) : m_path(QDir(path).absolutePath()) {}

QString VcardFolder::identity() const
{
    const QString canonical = QFileInfo(m_path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(m_path) : canonical;
}

QString VcardFolder::displayName() const
{
    return QDir::toNativeSeparators(m_path);
}

QString VcardFolder::filePath(const QString& id) const
{
    return QDir(m_path).filePath(id);
}

QString VcardFolder::versionOf(const QString& id) const
{
    const QFileInfo info(filePath(id));
    if (!info.exists())
        return {};
    return QStringLiteral("%1-%2").arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
}

QList<CardVersion> VcardFolder::list()
{
    QDir dir(m_path);
    if (!dir.exists() && !QDir().mkpath(m_path))
        throw EInOutError(EInOutError::AccessDenied, m_path);
    if (!QFileInfo(m_path).isReadable())
        throw EInOutError(EInOutError::AccessDenied, m_path);
    QList<CardVersion> cards;
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.vcf"), QStringLiteral("*.VCF")},
                          QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files)
        cards << CardVersion{file.fileName(), versionOf(file.fileName())};
    return cards;
}

QList<Card> VcardFolder::fetch(const QStringList& ids)
{
    QList<Card> cards;
    for (const QString& id : ids) {
        if (!QFileInfo::exists(filePath(id)))
            continue;
        const QString version = versionOf(id);
        cards << Card{id, version, readWholeFile(filePath(id))};
    }
    return cards;
}

QString VcardFolder::fileNameFor(const QString& uid)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9@._-]{1,100}$"));
    if (safe.match(uid).hasMatch() && !uid.startsWith(u'.'))
        return uid + QStringLiteral(".vcf");
    return QString::fromLatin1(
               QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex()) +
           QStringLiteral(".vcf");
}

std::optional<CardVersion> VcardFolder::put(const QString& id, const QString& uid,
                                            const QByteArray& data, const QString& ifVersion)
{
    const QString target = ifVersion.isEmpty() && id.isEmpty() ? fileNameFor(uid) : id;
    // An id from elsewhere (a card copy) names a file in this folder only.
    if (target != QFileInfo(target).fileName() || target.startsWith(u'.'))
        throw EInOutError(EInOutError::InvalidFileName, target);
    const QString held = versionOf(target);
    if (held != ifVersion)
        return std::nullopt; // new but there already, or changed since it was read
    if (!QDir().mkpath(m_path))
        throw EInOutError(EInOutError::AccessDenied, m_path);
    writeFileAtomically(filePath(target), data);
    return CardVersion{target, versionOf(target)};
}

bool VcardFolder::remove(const QString& id, const QString& ifVersion)
{
    const QString held = versionOf(id);
    if (held.isEmpty())
        return true;
    if (held != ifVersion)
        return false;
    QFile file(filePath(id));
    if (!file.remove())
        throw EInOutError(EInOutError::AccessDenied, filePath(id));
    return true;
}

} // namespace q7::sync
