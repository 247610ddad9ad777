#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>

namespace q7 {

class LanguageFile;

// The seven number type names, in the order of their images 5..11, as PC text.
using NumberTypeNames = std::array<QByteArray, 7>;
// The names the language file gives ("Nummernart"), else their defaults.
NumberTypeNames numberTypeNames(const LanguageFile& texts);
NumberTypeNames defaultNumberTypeNames();

inline constexpr int kFirstNumberTypeImage = 5;
// A number whose type matches none of the seven names (a text from the handset
// or a file, or one the language file has since renamed).
inline constexpr int kUnknownNumberTypeImage = 23;

// Image 5..11 of a number type name; the last name that matches decides.
int NumberTypeImage(QByteArrayView typeName, const NumberTypeNames& names);

} // namespace q7
