// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The benchmarks' phonebook: 700 entries with every value at its full 30
// characters. Value k of location n is "n " padded with one letter to 30
// characters, the three numbers 30 digits each; a second edition differs
// from the first in every value but the location, so that writing one over
// the other changes every field of every entry.

#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>

namespace q7bench {

// edition 0 or 1
inline QList<QByteArray> fullEntry(int location, int edition = 0)
{
    QList<QByteArray> values{QByteArray::number(location)};
    for (int k = 2; k <= q7::kEntryValueCount; ++k) {
        const QByteArray start = QByteArray::number(location) + ' ';
        values << start + QByteArray(q7::kFieldWidth - start.size(),
                                     char((edition == 0 ? 'A' : 'a') + k));
    }
    const char digit = edition == 0 ? '7' : '1';
    for (int slot = 1; slot <= 3; ++slot)
        values[q7::nummerField(slot) - 1] = QByteArray(q7::kFieldWidth, char(digit + slot - 1));
    return values;
}

// The same as the records of a store, as a read leaves them.
inline q7::RecordStore fullStore(int edition = 0)
{
    q7::RecordStore store;
    for (int record = 1; record <= q7::kRecordCount; ++record) {
        const QList<QByteArray> values = fullEntry(record, edition);
        for (int field = q7::Speicherplatz; field <= q7::kEntryValueCount; ++field)
            store.setField(record, field, values[field - 1]);
        store.setField(record, q7::ChangedFlag, q7::kChangedNo);
    }
    return store;
}

} // namespace q7bench
