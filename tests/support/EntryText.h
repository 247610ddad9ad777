// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/PcText.h"
#include "phonebook/RecordStore.h"

#include <QString>
#include <QStringList>

namespace q7 {

// One entry as a test row writes it, with exactly three number slots:
// name|group|type:number|type:number|type:number|zusatz1|zusatz2
inline QString describeEntry(const RecordStore& store, int record)
{
    QStringList parts{decodePc(store.field(record, Name)), decodePc(store.field(record, Gruppe))};
    for (int slot = 1; slot <= 3; ++slot) {
        const QByteArray number = store.field(record, nummerField(slot));
        parts << (number.isEmpty() ? QString()
                                   : decodePc(store.field(record, nummernartField(slot))) + u':' +
                                         decodePc(number));
    }
    parts << decodePc(store.field(record, Zusatz1)) << decodePc(store.field(record, Zusatz2));
    return parts.join(u'|');
}

// Every entry the trees show, in record order.
inline QStringList describeLiveEntries(const RecordStore& store)
{
    QStringList entries;
    for (int record = 1; record <= kLastShownRecord; ++record)
        if (store.isLive(record))
            entries << describeEntry(store, record);
    return entries;
}

} // namespace q7
