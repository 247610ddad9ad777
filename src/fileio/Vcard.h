// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace q7 {

class LanguageFile;

// vCard, the address book format that phones, mail programs and web contacts
// speak today. We write 3.0; we read 2.1, 3.0 and 4.0 as they come from real
// exports.

// The live records 1..700 as vCard 3.0, one card per record in record order:
// UTF-8, CR LF, lines folded at 75 octets. Number types are told apart by
// their image, so a type the language file renamed keeps its meaning.
QByteArray exportVcard(const RecordStore& store, const NumberTypeNames& typeNames);

// Writes the export to the file; an earlier file of that name changes only
// when everything has succeeded. Throws EInOutError.
void writeVcardFile(const QString& path, const RecordStore& store,
                    const NumberTypeNames& typeNames);

enum class ImportRange
{
    HandsetMemory, // records 1..500
    SimCard,       // records 510..600, as for a new entry
};

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

    int created() const { return static_cast<int>(records.size()); }
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

QList<Contact> readVcardContacts(const QByteArray& content);

// The building blocks an import and a merge share.
// The name as PC text for the Name field, noting a cut or a replacement; empty
// when the contact names no entry.
QByteArray contactName(const Contact& contact, QList<VcardNote>& notes);
// Brings the numbers into the form the handset dials; a number with other
// characters is dropped and noted, one taken apart by blanks or hyphens is
// noted as cleaned.
void cleanContactNumbers(Contact& contact, QList<VcardNote>& notes);
// The numbers that fill `room` slots: up to three, mobile first, then home,
// work, main or other, fax and pager last; the order among equals stays.
// The rest goes to leftOut.
QList<ContactNumber> chooseNumbers(const QList<ContactNumber>& numbers, qsizetype room,
                                   QList<ContactNumber>* leftOut);
// "Fax 0301234", to name a number in the report.
QString numberWithType(const ContactNumber& number, const NumberTypeNames& typeNames);
// Fills an empty record with the contact as the new entry dialog makes an
// entry, marked changed; its numbers must be clean.
void placeContact(RecordStore& store, int record, const QByteArray& name, const Contact& contact,
                  const NumberTypeNames& typeNames, QList<VcardNote>& notes);
// Stores number k of a record with its type, as PC text.
void storeContactNumber(RecordStore& store, int record, int slot, const ContactNumber& number,
                        const NumberTypeNames& typeNames, QList<VcardNote>& notes);

// Every contact with a name as a new entry, as importVcard does with cards.
VcardImportReport importContacts(QList<Contact> contacts, RecordStore& store, ImportRange range,
                                 const NumberTypeNames& typeNames);

// Places every card that gives a name into the first free record of the
// range, never over a live entry, marked changed ("JA"). Stops before the
// first card that finds no free record. Never throws on content.
VcardImportReport importVcard(const QByteArray& content, RecordStore& store, ImportRange range,
                              const NumberTypeNames& typeNames);

// The report as lines the user reads: per card what was cut, replaced or
// left out, the skipped cards, the count created and what did not fit.
QStringList vcardReportLines(const VcardImportReport& report, const LanguageFile& texts);

} // namespace q7
