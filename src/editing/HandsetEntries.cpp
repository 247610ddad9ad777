// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/HandsetEntries.h"

namespace q7 {

EditResult replaceWithSnapshot(RecordStore& store, const RecordStore& snapshot)
{
    RecordStore loaded = snapshot;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (loaded.holdsEntry(record))
            loaded.setField(record, ChangedFlag, kChangedYes);
    }
    EditResult result;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (store.rawRecord(record) != loaded.rawRecord(record)) {
            store.setRawRecord(record, loaded.rawRecord(record));
            result.touched << record;
        }
    }
    return result;
}

} // namespace q7
