// SPDX-License-Identifier: GPL-3.0-or-later
// The character sets the standard phonebook commands speak (AT+CSCS). The
// handset stores its texts in its own 8-bit set; a client that selects
// another set sees them converted at the command line, and the handset's
// extended-entry commands keep the handset bytes whatever is selected.
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

namespace q7sim {

enum class Charset
{
    Handset, // "GSM": the handset's own bytes, unchanged
    Ira,     // "IRA": 7-bit ASCII
    Latin1,  // "8859-1"
    Ucs2,    // "UCS2": four hex digits per UTF-16 unit
};

// The names AT+CSCS=? lists, in that order.
QList<QByteArray> charsetNames();
QByteArray charsetName(Charset charset);
// Upper-case name without quotes; nullopt for a set the handset lacks.
std::optional<Charset> charsetByName(const QByteArray& name);

// The character a handset byte stands for, as a Unicode code point.
char16_t handsetToUnicode(unsigned char byte);
// The handset byte for a character; nullopt when the handset cannot store it.
std::optional<unsigned char> unicodeToHandset(char16_t ch);

// Handset bytes as the selected set shows them. A character the set cannot
// show becomes '?', as handsets do.
QByteArray encodeText(const QByteArray& handsetBytes, Charset charset);
// Text in the selected set back to handset bytes; nullopt for malformed input
// (bad hex, odd length) or a character the handset cannot store.
std::optional<QByteArray> decodeText(const QByteArray& text, Charset charset);

} // namespace q7sim
