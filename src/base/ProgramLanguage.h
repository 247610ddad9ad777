// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace q7 {

// The language the program speaks: German unless the language file names
// another in section "Sprache", key "Code" (a code such as "en" or "de").
// It decides Qt's own texts (the standard buttons, the file and colour
// dialogs) and the order of names in the phonebook tree, whatever the
// system's locale is.
inline constexpr const char* kLanguageSection = "Sprache";
inline constexpr const char* kLanguageKey = "Code";
inline constexpr const char* kDefaultLanguage = "de";

// Makes `code` the language of Qt's texts and the default locale, so that
// collation follows it. A language Qt has no translation for leaves Qt's
// texts in English. Calling it again replaces the earlier language.
void useProgramLanguage(const QString& code);

} // namespace q7
