// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavPaths.h"

#include <QHostAddress>

namespace q7::sync {

QUrl collectionUrl(const QUrl& url)
{
    QUrl collection = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    QString path = collection.path(QUrl::FullyDecoded);
    if (!path.endsWith(u'/'))
        collection.setPath(path + u'/', QUrl::DecodedMode);
    return collection;
}

QString cardIdFromHref(const QUrl& collection, const QString& href)
{
    const QString base = collectionUrl(collection).path(QUrl::FullyDecoded);
    const QString path = collection.resolved(QUrl(href)).path(QUrl::FullyDecoded);
    if (path.size() <= base.size() || !path.startsWith(base))
        return {};
    return path.mid(base.size());
}

QUrl cardUrl(const QUrl& collection, const QString& id)
{
    QUrl url = collectionUrl(collection);
    url.setPath(url.path(QUrl::FullyDecoded) + id, QUrl::DecodedMode);
    return url;
}

QString newCardId(const QString& uid)
{
    QString name = uid;
    name.replace(u'/', u'_').replace(u'\\', u'_');
    return name + QStringLiteral(".vcf");
}

bool isLoopback(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace q7::sync
