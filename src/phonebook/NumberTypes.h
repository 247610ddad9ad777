// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>

namespace q7 {

class LanguageFile;

// The seven number type names, in the order of their images 5..11, as PC text.
using NumberTypeNames = std::array<QByteArray, 7>;
// The names the language file gives ("Nummernart"), else their defaults.
NumberTypeNames numberTypeNames(const LanguageFile& texts);
NumberTypeNames defaultNumberTypeNames();
// The names of every language the program knows: the German defaults first,
// then those of each language file it ships (compiled in, so an installed
// program and one in its build tree know the same). An entry read under one
// language keeps its type under another.
const QList<NumberTypeNames>& knownNumberTypeNames();

inline constexpr int kFirstNumberTypeImage = 5;
// A number whose type matches none of the seven names (a text from the handset
// or a file, or one the language file has since renamed).
inline constexpr int kUnknownNumberTypeImage = 23;

// Image 5..11 of a number type name. The current names come first (the last
// that matches decides); a name they do not hold is looked up among the
// names of the other languages, the first language that has it deciding.
int NumberTypeImage(QByteArrayView typeName, const NumberTypeNames& names,
                    const QList<NumberTypeNames>& otherLanguages = knownNumberTypeNames());

// The tooltip of a number: the type as stored and, when the current language
// calls that type otherwise, its name there: "Büro (Office)".
QString numberTypeToolTip(QByteArrayView typeName, const NumberTypeNames& names,
                          const QList<NumberTypeNames>& otherLanguages = knownNumberTypeNames());

} // namespace q7
