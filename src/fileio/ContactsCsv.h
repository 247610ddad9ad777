// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Contacts.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace q7 {

// CSV files that address books export (web contacts, mail programs, a table
// a user keeps): a header line names the columns, each further line is one
// contact. The encoding is found from a byte order mark, else UTF-8 where the
// bytes are UTF-8, else Windows-1252; the separator is a comma or a
// semicolon, whichever the header line uses more; a quoted value may span
// lines.

// The header line names a contact's name and is no line of a phonebook file,
// which starts with a bare location number.
bool isContactsCsv(const QByteArray& content);

// The contacts in file order, one per line after the header; empty lines are
// skipped. Never throws on content.
QList<Contact> readContactsCsv(const QByteArray& content);

// The file formats "Daten laden", the import and q7ctl tell apart.
enum class PhonebookFileFormat
{
    PhonebookCsv, // this program's own file (no header)
    ContactsCsv,  // another program's contacts, with a header line
    Vcard,
};

// A file that starts as a vCard is one, whatever its name; otherwise the
// chosen filter or a ".vcf" extension says vCard, and a CSV file's header
// line tells contacts from a phonebook file.
PhonebookFileFormat phonebookFileFormat(const QString& path, const QByteArray& content,
                                        bool vcardFilterChosen = false);

// Whether a file written under this name is a vCard (the extension decides).
bool isVcardPath(const QString& path);

// The contacts of a vCard or a contacts CSV file.
QList<Contact> readContacts(const QByteArray& content, PhonebookFileFormat format);

} // namespace q7
