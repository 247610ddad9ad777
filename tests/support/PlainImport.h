// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/ContactMerge.h"
#include "fileio/VcardReader.h"

namespace q7 {

// The import as it places contacts when nothing is merged: every contact
// with a name a new entry. The country code only matters when merging.
inline VcardImportReport importAllNew(const QList<Contact>& contacts, RecordStore& store,
                                      ImportRange range, const NumberTypeNames& typeNames)
{
    return importContacts(contacts, store, range, MergeMode::AllNew, typeNames, 49).report;
}

inline VcardImportReport importVcard(const QByteArray& content, RecordStore& store,
                                     ImportRange range, const NumberTypeNames& typeNames)
{
    return importAllNew(readVcardContacts(content), store, range, typeNames);
}

} // namespace q7
