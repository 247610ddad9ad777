// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ContactPlacement.h"

#include "base/PcText.h"
#include "phonebook/PhoneNumbers.h"

#include <algorithm>

namespace q7 {

namespace {

// PC text, noting characters the PC set lacks.
QByteArray toPc(const QString& text, VcardNote::Part part, QList<VcardNote>& notes)
{
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QByteArray bytes;
    bool replaced = false;
    for (const char32_t codePoint : composed.toUcs4()) {
        const QString one = QString::fromUcs4(&codePoint, 1);
        const QByteArray pc = one.size() == 1 ? encodePc(one) : QByteArray("?");
        replaced = replaced || (pc == "?" && codePoint != U'?');
        bytes += pc;
    }
    if (replaced)
        notes.append({VcardNote::Replaced, part, noteDetail(text)});
    return bytes;
}

// PC text of one field, noting what did not fit.
QByteArray toField(const QString& text, VcardNote::Part part, QList<VcardNote>& notes)
{
    QByteArray bytes = toPc(text, part, notes);
    if (bytes.size() > kFieldWidth) {
        notes.append({VcardNote::Cut, part, noteDetail(text)});
        bytes.truncate(kFieldWidth);
    }
    return bytes;
}

// A note fills Zusatz1 and Zusatz2: its first line and the rest, or, as one
// line, its first 30 characters and the next 30.
void placeNote(RecordStore& store, int record, const QString& note, QList<VcardNote>& notes)
{
    const QByteArray bytes = toPc(note, VcardNote::NotePart, notes);
    QByteArray first;
    QByteArray second;
    if (const qsizetype lf = bytes.indexOf('\n'); lf >= 0) {
        first = bytes.first(lf);
        second = bytes.sliced(lf + 1);
    } else {
        first = bytes.first(std::min<qsizetype>(bytes.size(), kFieldWidth));
        second = bytes.sliced(first.size());
    }
    if (first.size() > kFieldWidth || second.size() > kFieldWidth)
        notes.append({VcardNote::Cut, VcardNote::NotePart, noteDetail(note)});
    store.setField(record, Zusatz1, first);
    store.setField(record, Zusatz2, second);
}

} // namespace

QByteArray contactName(const Contact& contact, QList<VcardNote>& notes)
{
    // A name that is blank once it fits the field names no entry; one like
    // the deletion marker would make a record the next contact takes.
    const QByteArray name = toField(contact.name, VcardNote::NamePart, notes);
    if (decodePc(name).trimmed().isEmpty() || name == kDeletionMarker)
        return {};
    return name;
}

void cleanContactNumbers(Contact& contact, QList<VcardNote>& notes)
{
    QList<ContactNumber> kept;
    for (ContactNumber number : contact.numbers) {
        const TypedNumber typed = cleanTypedNumber(number.text.trimmed());
        if (!typed.accepted()) {
            notes.append({VcardNote::Refused, VcardNote::NumberPart, noteDetail(number.text),
                          typed.refused});
            continue;
        }
        if (typed.number.isEmpty())
            continue;
        if (typed.separated)
            notes.append({VcardNote::Cleaned, VcardNote::NumberPart, number.text});
        number.text = typed.number;
        kept.append(number);
    }
    contact.numbers = kept;
}

QString numberWithType(const ContactNumber& number, const NumberTypeNames& typeNames)
{
    const QString type =
        decodePc(typeNames[static_cast<std::size_t>(number.image - kFirstNumberTypeImage)]);
    return type + u' ' + number.text;
}

void storeContactNumber(RecordStore& store, int record, int slot, const ContactNumber& number,
                        const NumberTypeNames& typeNames, QList<VcardNote>& notes)
{
    store.setField(record, nummerField(slot) - 2, "TELNO");
    store.setField(record, nummernartField(slot),
                   typeNames[static_cast<std::size_t>(number.image - kFirstNumberTypeImage)]);
    store.setField(record, nummerField(slot), toField(number.text, VcardNote::NumberPart, notes));
}

void placeContact(RecordStore& store, int record, const QByteArray& name, const Contact& contact,
                  const NumberTypeNames& typeNames, QList<VcardNote>& notes)
{
    store.clearEntry(record);
    store.setField(record, Speicherplatz, QByteArray::number(record));
    store.setField(record, Name, name);
    if (contact.group)
        store.setField(record, Gruppe, toField(*contact.group, VcardNote::GroupPart, notes));
    QList<ContactNumber> leftOut;
    const QList<ContactNumber> chosen = chooseNumbers(contact.numbers, 3, &leftOut);
    for (int slot = 1; slot <= 3; ++slot) {
        if (slot > chosen.size())
            store.setField(record, nummerField(slot) - 2, "TELNO");
        else
            storeContactNumber(store, record, slot, chosen[slot - 1], typeNames, notes);
    }
    for (const ContactNumber& extra : leftOut)
        notes.append({VcardNote::LeftOut, VcardNote::NumberPart, numberWithType(extra, typeNames)});
    store.setField(record, ZusatzTag1, "CUSTOM");
    store.setField(record, ZusatzTag2, "CUSTOM");
    if (contact.note)
        placeNote(store, record, *contact.note, notes);
    store.setField(record, ChangedFlag, kChangedYes);
    notes += contact.leftOut;
}

QByteArray startContact(Contact& contact, int card, VcardCardReport& cardReport,
                        QList<VcardNote>& notes, VcardImportReport& report)
{
    cardReport.card = card;
    cardReport.firstNumber = contact.numbers.isEmpty() ? QString() : contact.numbers.front().text;
    const QByteArray name = contactName(contact, notes);
    if (name.isEmpty()) {
        report.cards.append(cardReport);
        return {};
    }
    cleanContactNumbers(contact, notes);
    cardReport.name = contact.name;
    return name;
}

bool placeInFreeRecord(RecordStore& store, ImportRange range, const QByteArray& name,
                       const Contact& contact, const NumberTypeNames& typeNames,
                       VcardCardReport& cardReport, VcardImportReport& report, qsizetype remaining)
{
    const int record =
        range == ImportRange::SimCard ? store.FindFreeSimRecord() : store.FindFreeMemoryRecord();
    if (record == 0) {
        report.notImported = static_cast<int>(remaining);
        report.firstNotImported = cardReport.card;
        return false;
    }
    cardReport.record = record;
    placeContact(store, record, name, contact, typeNames, cardReport.notes);
    report.records.append(record);
    report.cards.append(cardReport);
    return true;
}

} // namespace q7
