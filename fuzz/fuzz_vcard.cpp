// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the vCard import. Whatever it makes of them must
// be stable: exporting the entries it created and importing that file again
// gives the same records, and nothing it writes lies outside the range.

#include "base/LanguageFile.h"
#include "editing/ContactMerge.h"
#include "editing/VcardReport.h"
#include "fileio/VcardReader.h"
#include "fileio/VcardWriter.h"
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

void checkPlacement(const RecordStore& store, const VcardImportReport& report, ImportRange range)
{
    int live = 0;
    for (int r = 1; r <= kRecordCount; ++r)
        live += store.isLive(r) ? 1 : 0;
    if (live != report.created())
        fail("live records differ from the records reported", 0);
    for (const int r : report.records) {
        const bool inRange =
            range == ImportRange::SimCard ? r >= 510 && r <= kLastShownRecord : isMemoryRecord(r);
        if (!inRange)
            fail("record outside the range", r);
        if (!store.isLive(r) || !store.isChanged(r))
            fail("created record not live and changed", r);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const NumberTypeNames types = defaultNumberTypeNames();
    // Kept between inputs: the stores are too large to make afresh each time.
    static const auto empty = std::make_unique<RecordStore>();
    static auto first = std::make_unique<RecordStore>();
    static auto second = std::make_unique<RecordStore>();

    const ImportRange range = size % 2 ? ImportRange::SimCard : ImportRange::HandsetMemory;
    *first = *empty;
    const VcardImportReport report =
        importContacts(readVcardContacts(input), *first, range, MergeMode::AllNew, types, 49)
            .report;
    checkPlacement(*first, report, range);
    static const LanguageFile defaults;
    (void)vcardReportLines(report, defaults);

    const QByteArray exported = exportVcard(*first, types);
    *second = *empty;
    const VcardImportReport again =
        importContacts(readVcardContacts(exported), *second, range, MergeMode::AllNew, types, 49)
            .report;
    if (again.records != report.records)
        fail("export and import placed the entries differently", 0);
    for (int r = 1; r <= kRecordCount; ++r)
        if (first->rawRecord(r) != second->rawRecord(r))
            fail("export and import differ", r);
    if (exportVcard(*second, types) != exported)
        fail("second export differs", 0);
    return 0;
}
