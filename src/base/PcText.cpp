// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PcText.h"

#include <array>

namespace q7 {

namespace {

// 0x80..0x9F; 0 marks the five positions that Windows-1252 leaves undefined,
// which we pass through as the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t toUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

char toPc(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<char>(ch);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : char16_t(0x80 + i);
        if (mapped == ch)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString decodePc(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray encodePc(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the first 65536 (an emoji) comes as two
        // halves; the record holds one '?' for it, not one per half.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += toPc(text[i].unicode());
    }
    return bytes;
}

} // namespace q7
