// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Texts.h"

#include <array>

namespace q7 {

namespace {

constexpr TextEntry kTexts[] = {
#define Q7_TEXT_ENTRY(id, section, key, fallback) {section, key, fallback},
    Q7_TEXTS(Q7_TEXT_ENTRY)
#undef Q7_TEXT_ENTRY
};

} // namespace

const TextEntry& textEntry(TextId id)
{
    return kTexts[static_cast<int>(id)];
}

QString defaultText(TextId id)
{
    return QString::fromUtf8(textEntry(id).defaultText);
}

} // namespace q7
