// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/AppSettings.h"
#include "phonebook/RecordStore.h"

#include <QString>
#include <QStringView>

namespace q7 {

// Find as you type: which entries of the phonebook tree a typed text finds.
// A name or a group matches when it contains the text without regard to case
// or accents (ä finds a, é finds e), and "ss" finds "ß". A number matches when its digits
// contain the text's digits, so that spaces, dashes and brackets on either
// side never hide a match, or when the two compare alike in the form that
// writes the user's own country nationally: "01701234" finds
// "+491701234567", and "+4917012" finds "01701234567". A text without digits
// finds no number.
class EntryFilter
{
public:
    explicit EntryFilter(QStringView text = {}, int countryCode = kDefaultCountryCode);

    bool isEmpty() const { return m_text.isEmpty(); }
    // An empty filter finds everything.
    bool matches(const RecordStore& store, int record) const;

private:
    QString m_text;       // folded
    QString m_digits;     // the digits alone
    QString m_comparable; // comparableNumber of the text
    int m_countryCode;
};

// Lower case without accents, and the letters collation spells out written
// out ("ß" as "ss", "æ" as "ae"): the form names are compared in.
QString foldForSearch(QStringView text);
// The digits of a text, in order.
QString digitsOf(QStringView text);

} // namespace q7
