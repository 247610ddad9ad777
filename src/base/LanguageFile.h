// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"

#include <QByteArray>
#include <QString>

namespace q7 {

// The text of a language file. Editors today save UTF-8, so a file that
// starts with the UTF-8 byte order mark, or that is valid UTF-8 and holds
// bytes above 127, is read as UTF-8; any other as Windows-1252.
QString decodeLanguageFile(QByteArrayView content);

// Looks up one value in the text of a Windows profile file, with the rules of
// the Windows profile reader: section and key names match without regard to
// case, a missing section or key gives the default, a key present with an
// empty value gives the empty text, and a value is cut to 2047 characters
// (of the decoded text).
QString profileString(const QByteArray& fileContent, QStringView section, QStringView key,
                      const QString& fallback);

// The optional language file beside the program. It is read at every lookup,
// so texts looked up at their moment of use follow the file's current content.
class LanguageFile
{
public:
    LanguageFile() = default; // no file: every text is its default
    explicit LanguageFile(QString path);

    // manager.exe reads manager.ini; a name without a three-letter extension
    // gets ".ini" appended (q7manager reads q7manager.ini).
    static QString pathForProgram(const QString& programPath);
    // The file beside the program if there is one; else, outside Windows, the
    // one of that name in the settings folder (~/.config/Norvik), so that an
    // installed program can be translated without writing beside it.
    static QString locate(const QString& programPath);

    const QString& path() const { return m_path; }
    bool exists() const;

    QString lookup(QStringView section, QStringView key, const QString& fallback) const;
    QString text(TextId id) const;
    // A count with its noun: the text for one ("1 Eintrag") or the text for
    // any other number with the number filled in ("%1 Einträge").
    QString count(int n, TextId one, TextId many) const;
    // The code of the program's language ("Sprache", "Code"), "de" by default.
    QString languageCode() const;

private:
    QString m_path;
};

} // namespace q7
