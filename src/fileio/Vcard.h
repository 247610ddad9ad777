#pragma once

#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
};

struct VcardCardReport
{
    int card = 0; // 1.. in file order
    QString name; // as the card gives it, empty for a skipped card
    QString firstNumber;
    int record = 0; // where it went, 0 when skipped
    QList<VcardNote> notes;
};

struct VcardImportReport
{
    QList<VcardCardReport> cards; // every card looked at, skipped ones included
    QList<int> records;           // records written, in order
    int cardsFound = 0;
    int notImported = 0; // cards left over when the range ran out
    int firstNotImported = 0;

    int created() const { return static_cast<int>(records.size()); }
};

// Places every card that gives a name into the first free record of the
// range, never over a live entry, marked changed ("JA"). Stops before the
// first card that finds no free record. Never throws on content.
VcardImportReport importVcard(const QByteArray& content, RecordStore& store, ImportRange range,
                              const NumberTypeNames& typeNames);

// The report as lines the user reads: per card what was cut, replaced or
// left out, the skipped cards, the count created and what did not fit.
QStringList vcardReportLines(const VcardImportReport& report, const LanguageFile& texts);

} // namespace q7
