// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the entry line parser (as a handset reply) and to
// the CSV import. A refused file is a normal outcome; a crash, a sanitizer
// report or a broken invariant is a finding.

#include "base/Errors.h"
#include "fileio/CsvPhonebook.h"
#include "phonebook/EntryParser.h"
#include "phonebook/RecordStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace q7;

namespace {

[[noreturn]] void fail(const char* what, int record, int field)
{
    std::fprintf(stderr, "invariant broken: %s (record %d, field %d)\n", what, record, field);
    std::abort();
}

// What the parser stores never holds a CR (which ends every line) and never starts with a
// blank or control byte.
void checkParsedRecord(const RecordStore& store, int record)
{
    for (int k = 1; k <= kEntryValueCount; ++k) {
        const QByteArray value = store.field(record, k);
        if (value.contains('\r'))
            fail("CR in a field", record, k);
        if (!value.isEmpty() && static_cast<unsigned char>(value.front()) <= 32)
            fail("field starts with a blank or control byte", record, k);
    }
    if (store.field(record, ChangedFlag) != kChangedNo)
        fail("changed flag not NEIN", record, ChangedFlag);
}

// Two things the file cannot carry, both known: the last value ends at the
// first comma, as no quote-comma pair closes it; and a value that the 30-byte
// cut left ending in a comma is closed early by that comma and its quote.
// Such a record reads back differently and is left out of the comparison.
bool fileCarries(const RecordStore& store, int record)
{
    if (store.field(record, Feld18).contains(','))
        return false;
    for (int k = Name; k <= Feld18; ++k)
        if (store.field(record, k).endsWith(','))
            return false;
    return true;
}

// A field straight from the record's bytes: the comparisons below run over
// all 700 records for every input, and copies would slow the search down.
QByteArrayView fieldView(const RecordStore& store, int record, int field)
{
    const QByteArrayView raw = store.rawRecord(record);
    const qsizetype at = static_cast<qsizetype>(field - 1) * kFieldSize;
    const int length = static_cast<unsigned char>(raw[at]);
    return raw.sliced(at + 1, length);
}

const RecordStore& currentStore()
{
    static const auto store = [] {
        auto s = std::make_unique<RecordStore>();
        s->setField(3, Speicherplatz, "3");
        s->setField(3, Name, "vorher");
        s->setField(3, ChangedFlag, kChangedYes);
        s->setField(650, ChangedFlag, kChangedYes);
        return s;
    }();
    return *store;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    static auto scratch = std::make_unique<RecordStore>();
    const int record = 1 + static_cast<int>(size % kRecordCount);
    parseEntryLine(*scratch, record, input);
    checkParsedRecord(*scratch, record);

    // Kept between inputs: a fresh 400 KB store each time costs more than
    // the parsing itself.
    static auto imported = std::make_unique<RecordStore>();
    static auto exported = std::make_unique<RecordStore>();
    static auto again = std::make_unique<RecordStore>();
    try {
        *imported = importCsv(input, currentStore());
    } catch (const Q7Error&) {
        return 0;
    }

    for (int r = 1; r <= kRecordCount; ++r) {
        if (imported->fieldIsEmpty(r, Speicherplatz)) {
            if (fieldView(*imported, r, ChangedFlag) != fieldView(currentStore(), r, ChangedFlag))
                fail("changed flag of a record not in the file", r, ChangedFlag);
            for (int k = 1; k <= kEntryValueCount; ++k)
                if (!imported->fieldIsEmpty(r, k))
                    fail("record not in the file keeps a value", r, k);
        } else {
            checkParsedRecord(*imported, r);
        }
    }

    // The import leaves every Speicherplatz plain, so the export has nothing
    // to normalise and cannot refuse.
    *exported = *imported;
    const QByteArray file = exportCsv(*exported, true);
    if (!(*exported == *imported))
        fail("export changed an imported store", 0, 0);

    try {
        *again = importCsv(file, RecordStore());
    } catch (const Q7Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        fail("exported file refused", 0, 0);
    }
    for (int r = 1; r <= kRecordCount; ++r) {
        if (imported->fieldIsEmpty(r, Speicherplatz)) {
            if (!again->fieldIsEmpty(r, Speicherplatz))
                fail("record appeared", r, Speicherplatz);
            continue;
        }
        if (!fileCarries(*imported, r))
            continue;
        for (int k = 1; k <= kEntryValueCount; ++k)
            if (fieldView(*again, r, k) != fieldView(*imported, r, k))
                fail("export and import differ", r, k);
    }
    return 0;
}
