// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/GsmText.h"

#include <array>
#include <utility>

namespace q7 {

namespace {

// (handset byte, PC byte). Handset 14 is "Á", not "Å"; 95 stands on both
// sides: handset 95 is "§" while the PC underscore is handset 17.
constexpr std::array<std::pair<unsigned char, unsigned char>, 28> kPairs = {{
    {1, 163},  {2, 36},    {3, 165},   {4, 232},   {5, 233},   {6, 249},   {7, 236},
    {8, 242},  {9, 199},   {11, 216},  {12, 248},  {14, 193},  {15, 229},  {17, 95},
    {28, 198}, {29, 230},  {30, 223},  {91, 196},  {92, 214},  {93, 209},  {94, 220},
    {95, 167}, {123, 228}, {124, 246}, {125, 241}, {126, 252}, {127, 224}, {143, 64},
}};

using ByteMap = std::array<unsigned char, 256>;

constexpr ByteMap buildMap(bool toPc)
{
    ByteMap map{};
    for (int b = 0; b < 256; ++b)
        map[b] = static_cast<unsigned char>(b);
    for (const auto& [handset, pc] : kPairs) {
        if (toPc)
            map[handset] = pc;
        else
            map[pc] = handset;
    }
    return map;
}

constexpr ByteMap kHandsetToPc = buildMap(true);
constexpr ByteMap kPcToHandset = buildMap(false);

QByteArray convert(QByteArrayView text, const ByteMap& map)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(map[static_cast<unsigned char>(text[i])]);
    return out;
}

} // namespace

QByteArray handsetToPc(QByteArrayView handsetText)
{
    return convert(handsetText, kHandsetToPc);
}

QByteArray pcToHandset(QByteArrayView pcText)
{
    return convert(pcText, kPcToHandset);
}

} // namespace q7
