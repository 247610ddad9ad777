// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/RegistryKey.h"

namespace q7 {

std::unique_ptr<QSettings> openRegistryKey(const QString& registryPath)
{
    const qsizetype slash = registryPath.indexOf(u'\\');
    const QString root = registryPath.left(slash);
    const QSettings::Scope scope =
        root.compare(QLatin1String("HKEY_LOCAL_MACHINE"), Qt::CaseInsensitive) == 0
            ? QSettings::SystemScope
            : QSettings::UserScope;
    QStringList parts = registryPath.mid(slash + 1).split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() &&
        parts.front().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    const QString organisation = parts.value(0);
    const QString application = parts.mid(1).join(u'\\');
    return std::make_unique<QSettings>(QSettings::NativeFormat, scope, organisation, application);
}

} // namespace q7
