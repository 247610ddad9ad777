// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Contacts.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace q7 {

// How a contact from another address book becomes an entry: its name,
// numbers, group and note as the record's PC fields, and the report of what
// did not come over whole. The import and the merge of duplicates
// (ContactMerge.h) are built from these.

enum class ImportRange
{
    HandsetMemory, // records 1..500
    SimCard,       // records 510..600, as for a new entry
};

struct VcardCardReport
{
    int card = 0; // 1.. in file order
    QString name; // as the card gives it, empty for a skipped card
    QString firstNumber;
    int record = 0; // where it went, 0 when skipped
    QList<VcardNote> notes;
    // A merge may complete an entry the phonebook held, or find that it
    // holds the whole contact already.
    enum Outcome
    {
        Created,
        Completed,
        AlreadyThere,
    };
    Outcome outcome = Created;
};

struct VcardImportReport
{
    QList<VcardCardReport> cards; // every card looked at, skipped ones included
    QList<int> records;           // new entries, in order
    QList<int> completedRecords;  // entries a merge gave new numbers, in order
    int alreadyThere = 0;         // contacts a merge found whole in the phonebook
    int cardsFound = 0;
    int notImported = 0; // cards left over when the range ran out
    int firstNotImported = 0;
    // Read from another program's contacts file rather than from vCards:
    // the report calls them contacts, not cards.
    bool fromContactsFile = false;

    int created() const { return static_cast<int>(records.size()); }
};

// The building blocks an import and a merge share.
// The name as PC text for the Name field, noting a cut or a replacement; empty
// when the contact names no entry.
QByteArray contactName(const Contact& contact, QList<VcardNote>& notes);
// Brings the numbers into the form the handset dials; a number with other
// characters is dropped and noted, one taken apart by blanks or hyphens is
// noted as cleaned.
void cleanContactNumbers(Contact& contact, QList<VcardNote>& notes);
// "Fax 0301234", to name a number in the report.
QString numberWithType(const ContactNumber& number, const NumberTypeNames& typeNames);
// Fills an empty record with the contact as the new entry dialog makes an
// entry, marked changed; its numbers must be clean.
void placeContact(RecordStore& store, int record, const QByteArray& name, const Contact& contact,
                  const NumberTypeNames& typeNames, QList<VcardNote>& notes);
// Stores number k of a record with its type, as PC text.
void storeContactNumber(RecordStore& store, int record, int slot, const ContactNumber& number,
                        const NumberTypeNames& typeNames, QList<VcardNote>& notes);

// The start of each contact's turn in an import: the report's line for card
// `card` (1..), the numbers cleaned, and the name the entry gets. An empty
// name means the contact names no entry: its line goes into the report as
// skipped, and nothing else happens to it.
QByteArray startContact(Contact& contact, int card, VcardCardReport& cardReport,
                        QList<VcardNote>& notes, VcardImportReport& report);
// Places the contact into the first free record of the range, as
// placeContact does, and enters it in the report; false, with the contacts
// from `remaining` on counted as not imported, when the range is full.
bool placeInFreeRecord(RecordStore& store, ImportRange range, const QByteArray& name,
                       const Contact& contact, const NumberTypeNames& typeNames,
                       VcardCardReport& cardReport, VcardImportReport& report, qsizetype remaining);

} // namespace q7
