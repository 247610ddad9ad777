// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/EntryParser.h"

#include "base/Errors.h"
#include "base/PcText.h"
#include "link/GsmText.h"

#include <climits>

namespace q7 {

namespace {

// A comma followed by anything but a quote or another comma is taken to be
// part of a text such as "Muster, Max"; the handset writes no such comma
// between values. Three of them per value are believed, no more, so that a
// malformed line cannot swallow all its values into one field.
constexpr int kMaxCommasInValue = 3;

// The entry line of a reply: after the first ':' up to the first CR.
// Whatever follows ("OK", further lines) never reaches a field, so a reply
// with fewer than 18 values simply leaves the last fields empty. A reply
// without a colon holds no entry at all (an echo and "OK" are no values).
// A lone LF is a byte of the entry like any other: the handset keeps it in a
// text, and the file carries it between quotes.
QByteArrayView entryLine(QByteArrayView text)
{
    const qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return {};
    const QByteArrayView line = text.sliced(colon + 1);
    const qsizetype cr = line.indexOf('\r');
    return cr < 0 ? line : line.first(cr);
}

// Position of the comma that ends the value starting after `lead`, or the
// end of the line when no comma follows.
qsizetype valueEnd(QByteArrayView line, qsizetype lead)
{
    qsizetype end = line.indexOf(',', lead + 1);
    if (end < 0)
        return line.size();
    for (int absorbed = 0; absorbed < kMaxCommasInValue; ++absorbed) {
        const bool separates =
            end + 1 < line.size() && (line[end + 1] == '"' || line[end + 1] == ',');
        if (separates)
            break;
        const qsizetype next = line.indexOf(',', end + 1);
        if (next < 0)
            break;
        end = next;
    }
    return end;
}

QByteArrayView unquoted(QByteArrayView value)
{
    if (!value.isEmpty() && value.front() == '"' && value.back() == '"')
        return value.size() == 1 ? QByteArrayView() : value.sliced(1, value.size() - 2);
    return value;
}

QByteArrayView withoutLeadingControls(QByteArrayView value)
{
    qsizetype start = 0;
    while (start < value.size() && static_cast<unsigned char>(value[start]) <= 32)
        ++start;
    return value.sliced(start);
}

} // namespace

void parseEntryLine(RecordStore& store, int record, QByteArrayView text)
{
    // The line is read as if a comma stood before it; `lead` is the comma in
    // front of the current value (the one past the end once all are read).
    const QByteArrayView line = entryLine(text);
    qsizetype lead = -1;
    for (int k = 1; k <= kEntryValueCount; ++k) {
        if (lead >= line.size()) {
            store.setField(record, k, {});
            continue;
        }
        const qsizetype end = valueEnd(line, lead);
        const QByteArrayView raw = unquoted(line.sliced(lead + 1, end - lead - 1));
        // Conversion comes before the blanks are stripped: handset bytes below
        // 33 such as 12 (ø) or 5 (é) are letters and must survive.
        const QByteArray converted = k == Gruppe ? raw.toByteArray() : handsetToPc(raw);
        store.setField(record, k, withoutLeadingControls(converted));
        lead = end;
    }
    store.setField(record, ChangedFlag, kChangedNo);
}

std::optional<int> readInteger(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    // One past INT_MAX, so that INT_MIN can still be written.
    const long long limit = static_cast<long long>(INT_MAX) + (negative ? 1 : 0);
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

int toInteger(QByteArrayView text)
{
    const std::optional<int> value = readInteger(text);
    if (!value)
        throw EConvertError(decodePc(text));
    return *value;
}

} // namespace q7
