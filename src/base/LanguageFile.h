// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

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

// The values of a profile file's text by section and key, found as
// profileString finds them.
class ProfileTable
{
public:
    ProfileTable() = default;
    explicit ProfileTable(QStringView text);
    std::optional<QString> value(QStringView section, QStringView key) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections; // names case-folded
};

// The optional language file beside the program. Every lookup follows the
// file's current content, so texts looked up at their moment of use change
// with it; the file is read again only when it changed, since a transfer
// looks a text up at every record.
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
    // What the file system says of the file: a change to any of it is a
    // change of the file.
    struct FileStamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        quint64 id = 0;
        bool operator==(const FileStamp&) const = default;
    };
    static FileStamp stampOf(const QString& path);
    const ProfileTable& table() const;

    QString m_path;
    mutable std::optional<FileStamp> m_readStamp; // none: never read
    mutable ProfileTable m_table;                 // the file's values as last read
};

} // namespace q7
