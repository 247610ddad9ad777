// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"

#include <QDate>
#include <QList>
#include <QString>

namespace q7 {

class LanguageFile;
class RecordStore;

// What the printed phone list shows, decoded from the store once: the
// preview, the printer, the PDF and q7ctl all lay out this.
struct PhoneListNumber
{
    QString type; // as the tree's tooltip names it: "Büro (Office)"
    QString number;
};

struct PhoneListEntry
{
    int record = 0;
    QString name;
    QString group;
    QList<PhoneListNumber> numbers;
};

// The entries under one heading: a group's name when the list is grouped,
// else one section without a heading.
struct PhoneListSection
{
    QString heading;
    QList<PhoneListEntry> entries;
};

struct PhoneList
{
    QString title; // the handset's name, at the head of every page
    QString date;
    QList<PhoneListEntry> firstNine; // by position; the position is record - 500
    QList<PhoneListSection> sections;
    bool grouped = false;
};

struct PhoneListChoice
{
    // The records to print in the phonebook tree's order: all it shows, or
    // the selected ones. The First Nine among them come first as well.
    QList<int> records;
    bool byGroup = false;
};

// Records that are not live (any more) are left out. Grouped, the groups
// follow each other in name order, compared without regard to case as the
// group list does, and the entries without a group come last.
PhoneList makePhoneList(const RecordStore& store, const PhoneListChoice& choice,
                        const LanguageFile& texts, const NumberTypeNames& numberTypeNames,
                        const QDate& date);

} // namespace q7
