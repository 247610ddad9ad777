// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace q7 {

// The language files that come with the program (lang/*.ini), compiled in,
// so that an installed program and one in its build tree know the same.
// They are not the language the program speaks (that is the one language
// file beside it or in the settings folder); the program consults them for
// what any of its languages may have stored or left out.
QStringList shippedLanguageFiles();                  // file names, in order
QByteArray shippedLanguageFile(const QString& name); // empty when not shipped

inline const QString kEnglishLanguageFile = QStringLiteral("english.ini");

} // namespace q7
