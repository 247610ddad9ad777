// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimCharset.h"

#include <algorithm>
#include <array>
#include <utility>

namespace q7sim {

namespace {

// The bytes where the handset's set differs from ISO 8859-1: accented letters
// and a few symbols where the GSM default alphabet has them, the at sign at 143.
constexpr std::array<std::pair<unsigned char, char16_t>, 28> kHandsetSpecial{{
    {1, u'£'},  {2, u'$'},   {3, u'¥'},   {4, u'è'},   {5, u'é'},   {6, u'ù'},   {7, u'ì'},
    {8, u'ò'},  {9, u'Ç'},   {11, u'Ø'},  {12, u'ø'},  {14, u'Á'},  {15, u'å'},  {17, u'_'},
    {28, u'Æ'}, {29, u'æ'},  {30, u'ß'},  {91, u'Ä'},  {92, u'Ö'},  {93, u'Ñ'},  {94, u'Ü'},
    {95, u'§'}, {123, u'ä'}, {124, u'ö'}, {125, u'ñ'}, {126, u'ü'}, {127, u'à'}, {143, u'@'},
}};

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

QList<QByteArray> charsetNames()
{
    return {"GSM", "IRA", "8859-1", "UCS2"};
}

QByteArray charsetName(Charset charset)
{
    return charsetNames().at(int(charset));
}

std::optional<Charset> charsetByName(const QByteArray& name)
{
    const qsizetype index = charsetNames().indexOf(name);
    if (index < 0)
        return std::nullopt;
    return Charset(index);
}

char16_t handsetToUnicode(unsigned char byte)
{
    for (const auto& [handset, unicode] : kHandsetSpecial)
        if (handset == byte)
            return unicode;
    return byte;
}

std::optional<unsigned char> unicodeToHandset(char16_t ch)
{
    for (const auto& [handset, unicode] : kHandsetSpecial)
        if (unicode == ch)
            return handset;
    // Any other Latin-1 character is stored as itself, unless the handset
    // byte of that value means something else.
    if (ch > 0xff)
        return std::nullopt;
    for (const auto& special : kHandsetSpecial)
        if (special.first == ch)
            return std::nullopt;
    return static_cast<unsigned char>(ch);
}

QByteArray encodeText(const QByteArray& handsetBytes, Charset charset)
{
    if (charset == Charset::Handset)
        return handsetBytes;
    QByteArray out;
    for (const char byte : handsetBytes) {
        const char16_t ch = handsetToUnicode(static_cast<unsigned char>(byte));
        switch (charset) {
        case Charset::Ucs2:
            out += QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
            break;
        case Charset::Ira:
            out += ch < 0x80 ? char(ch) : '?';
            break;
        default:
            out += ch <= 0xff ? char(ch) : '?';
        }
    }
    return out;
}

std::optional<QByteArray> decodeText(const QByteArray& text, Charset charset)
{
    if (charset == Charset::Handset)
        return text;
    QList<char16_t> chars;
    if (charset == Charset::Ucs2) {
        if (text.size() % 4 != 0)
            return std::nullopt;
        for (qsizetype i = 0; i < text.size(); i += 4) {
            const QByteArray unit = text.mid(i, 4);
            if (!std::all_of(unit.begin(), unit.end(), isHex))
                return std::nullopt;
            chars << char16_t(unit.toUInt(nullptr, 16));
        }
    } else {
        for (const char byte : text) {
            const auto c = static_cast<unsigned char>(byte);
            if (charset == Charset::Ira && c >= 0x80)
                return std::nullopt;
            chars << char16_t(c);
        }
    }
    QByteArray out;
    for (const char16_t ch : chars) {
        const std::optional<unsigned char> byte = unicodeToHandset(ch);
        if (!byte)
            return std::nullopt;
        out += char(*byte);
    }
    return out;
}

} // namespace q7sim
