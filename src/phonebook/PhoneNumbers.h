// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

namespace q7 {

// A number as the handset dials it: digits, a leading '+', '*', '#' and the
// pause characters 'p' and 'w'. What a user types or pastes, or another
// program exports, is brought into that form here; what the handset or a
// phonebook file already holds is kept as it is and never passes through.
struct TypedNumber
{
    QString number;         // the separators taken out
    QString refused;        // each character no handset dials, once, in order of appearance
    bool separated = false; // blanks, hyphens, slashes, dots or brackets were taken out
    bool accepted() const { return refused.isEmpty(); }
};

// "0171-555 66 77" -> "01715556677"; "+49 (0)171 5556677" -> "+491715556677";
// "0151abc555" is refused for "abc". A '+' after the first digit is refused.
TypedNumber cleanTypedNumber(QStringView text);

// countryCode is the user's own (userCountryCode in base/AppSettings.h).
// The form numbers are compared in: separators dropped, and an international
// number of the user's own country written nationally ("+49171" and
// "0049171" become "0171"); other international numbers keep their '+'
// ("0043..." becomes "+43...").
QString comparableNumber(QStringView number, int countryCode);

// "+49171..." for "0171..." with country code 49; a number already
// international, or without a leading single zero, only loses its separators.
QString internationalNumber(QStringView number, int countryCode);
// "0171..." for "+49171..." or "0049171..."; numbers of other countries stay
// international.
QString nationalNumber(QStringView number, int countryCode);

// Two numbers dial the same line.
bool sameNumber(QStringView a, QStringView b, int countryCode);

class RecordStore;
// The numbers of a record as a user reads them in a list:
// "Mobil 0123456789, Heim 0301234"; a number without a type stands alone.
QString numbersLine(const RecordStore& store, int record);

} // namespace q7
