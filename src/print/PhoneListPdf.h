// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;

namespace q7 {

class LanguageFile;
struct PhoneList;

// The paper of the system's locale, not of the program's language: Letter
// where the locale measures in US units, A4 everywhere else.
QPageSize phoneListPageSize(const QLocale& system = QLocale::system());
// That paper and the list's margins, for a printer or a PDF writer.
void setUpPhoneListPage(QPagedPaintDevice& device, const QLocale& system = QLocale::system());

// Whether a file name asks for the phone list as a PDF file (.pdf).
bool isPdfPath(const QString& path);

// The list as a PDF file's bytes, on the paper of the system's locale.
QByteArray phoneListPdf(const PhoneList& list, const LanguageFile& texts,
                        const QLocale& system = QLocale::system());
// Written atomically: a failure leaves an earlier file of that name as it was.
void writePhoneListPdf(const QString& path, const PhoneList& list, const LanguageFile& texts);

} // namespace q7
