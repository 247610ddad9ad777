// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the reader of other programs' contacts CSV files
// and places what it finds, once as new entries and once merged into the
// entries the first pass made. Whatever the bytes, the placing stays in its
// range, the merge adds no entry for a contact the first pass placed, and the
// report can be written.

#include "base/LanguageFile.h"
#include "editing/ContactMerge.h"
#include "editing/VcardReport.h"
#include "fileio/ContactsCsv.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace q7;

namespace {

[[noreturn]] void fail(const char* what, int record)
{
    std::fprintf(stderr, "invariant broken: %s (record %d)\n", what, record);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const NumberTypeNames types = defaultNumberTypeNames();
    static const LanguageFile defaults;
    // Kept between inputs: the stores are too large to make afresh each time.
    static const auto empty = std::make_unique<RecordStore>();
    static auto store = std::make_unique<RecordStore>();
    static auto before = std::make_unique<RecordStore>();

    (void)isContactsCsv(input);
    const QList<Contact> contacts = readContactsCsv(input);
    const ImportRange range = size % 2 ? ImportRange::SimCard : ImportRange::HandsetMemory;

    *store = *empty;
    const ContactImport first =
        importContacts(contacts, *store, range, MergeMode::AllNew, types, 49);
    (void)vcardReportLines(first.report, defaults);
    for (int r = 1; r <= kRecordCount; ++r) {
        const bool inRange =
            range == ImportRange::SimCard ? r >= 510 && r <= kLastShownRecord : isMemoryRecord(r);
        if (store->isLive(r) && (!inRange || !store->isChanged(r)))
            fail("entry outside the range or not marked changed", r);
    }
    if (first.report.created() != first.edit.touched.size())
        fail("created entries differ from the records touched", 0);

    // Every contact the first pass placed is found again.
    *before = *store;
    const ContactImport second =
        importContacts(contacts, *store, range, MergeMode::Merge, types, 49);
    (void)vcardReportLines(second.report, defaults);
    if (first.report.notImported == 0 && second.report.created() != 0)
        fail("a contact placed before made a new entry", 0);
    for (int r = 1; r <= kRecordCount; ++r)
        if (!second.edit.touched.contains(r) && store->rawRecord(r) != before->rawRecord(r))
            fail("a record not reported changed", r);
    return 0;
}
