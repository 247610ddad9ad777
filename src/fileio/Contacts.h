// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"

#include <QList>
#include <QString>
#include <optional>

namespace q7 {

// A contact as address books hold it, whether read from a vCard or from
// another program's CSV file. Making it an entry is the import's job, in the
// editing layer; the readers only say what the handset has no field for.

// What the import did with one part of a card that did not arrive whole.
struct VcardNote
{
    enum Kind
    {
        Cut,      // longer than a field: the first 30 characters kept
        Replaced, // characters the PC set lacks became '?'
        LeftOut,  // no place for it in a record
        Refused,  // a number with characters no handset dials; `extra` names them
        Cleaned,  // a number whose blanks, hyphens or brackets were taken out
        Shared,   // a number another person's entry holds too: `extra` names
                  // that entry, `record` is where it is
    };
    enum Part
    {
        NamePart,
        NumberPart,
        GroupPart,
        NotePart,
        AddressPart,
        EmailPart,
        CompanyPart,
        OtherPart,
    };
    Kind kind;
    Part part;
    QString detail; // the card's own text, or for OtherPart its property too
    QString extra = {};
    int record = 0;
};

// One contact as an address book holds it, read from a vCard or from another
// program's CSV file, before it meets the store.
struct ContactNumber
{
    QString text;
    int image = kFirstNumberTypeImage; // the number type's image
    int preference = 1000;             // lower first; 1000 when not preferred
};

struct Contact
{
    QString name;
    QList<ContactNumber> numbers;
    std::optional<QString> group;
    std::optional<QString> note;
    QList<VcardNote> leftOut; // what the handset has no field for
};

// The text as a note names it: one line, at most 60 characters.
QString noteDetail(const QString& text);
// The numbers that fill `room` slots: up to three, mobile first, then home,
// work, main or other, fax and pager last; the order among equals stays.
// The rest goes to leftOut.
QList<ContactNumber> chooseNumbers(const QList<ContactNumber>& numbers, qsizetype room,
                                   QList<ContactNumber>* leftOut);

} // namespace q7
