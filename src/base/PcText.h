// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace q7 {

// Record fields and the language file hold text in the PC character set,
// Windows-1252. Qt has no codec for it without ICU, and the mapping is small
// enough to keep here so that every platform decodes it alike.

QString decodePc(QByteArrayView bytes);

// Characters that Windows-1252 cannot hold become '?', one for each
// character, also for one that UTF-16 writes as two units.
QByteArray encodePc(QStringView text);

} // namespace q7
