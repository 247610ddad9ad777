// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace q7 {

// The handset keeps its texts in its own 8-bit set, with the accented letters
// where the GSM default alphabet has them. Both directions map byte for byte
// through one table; every byte outside it passes unchanged, so the length
// never changes.

QByteArray handsetToPc(QByteArrayView handsetText);
QByteArray pcToHandset(QByteArrayView pcText);

} // namespace q7
