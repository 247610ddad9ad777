// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ContactMerge.h"

#include "base/PcText.h"
#include "editing/EntryFilter.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhoneNumbers.h"

#include <QHash>
#include <QMap>
#include <algorithm>
#include <memory>
#include <numeric>

namespace q7 {

namespace {

QString entryNumber(const RecordStore& store, int record, int slot)
{
    return decodePc(store.field(record, nummerField(slot)));
}

bool entryHoldsNumber(const RecordStore& store, int record, const QString& number, int countryCode)
{
    for (int slot = 1; slot <= 3; ++slot)
        if (!store.fieldIsEmpty(record, nummerField(slot)) &&
            sameNumber(entryNumber(store, record, slot), number, countryCode))
            return true;
    return false;
}

QList<int> freeSlots(const RecordStore& store, int record)
{
    QList<int> openSlots;
    for (int slot = 1; slot <= 3; ++slot)
        if (store.fieldIsEmpty(record, nummerField(slot)))
            openSlots << slot;
    return openSlots;
}

// The words of a name as compared: folded, without the dots and hyphens
// that abbreviate or join them.
QStringList nameWords(const QString& folded)
{
    QStringList words;
    QString word;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

// Whether the shorter name is a part of the longer one: each of its words,
// in order, is a word of the other or the initial of one ("Anna S." in
// "Anna Schmidt", "Müller" in "Jörg Müller"), so that one person written
// two ways is one entry and "Renée Größl" is never "Jörg Müller".
bool nameIsPartOf(const QStringList& shorter, const QStringList& longer)
{
    qsizetype next = 0;
    for (const QString& word : shorter) {
        while (next < longer.size() &&
               !(longer[next] == word || (word.size() == 1 && longer[next].startsWith(word))))
            ++next;
        if (next == longer.size())
            return false;
        ++next;
    }
    return true;
}

bool mayBeOnePerson(const QString& a, const QString& b)
{
    const QStringList wordsA = nameWords(a);
    const QStringList wordsB = nameWords(b);
    if (wordsA.isEmpty() || wordsB.isEmpty())
        return true;
    return wordsA.size() <= wordsB.size() ? nameIsPartOf(wordsA, wordsB)
                                          : nameIsPartOf(wordsB, wordsA);
}

// The entry a contact belongs to: one of the same name first (of several,
// one that holds one of its numbers), else one that holds one of its numbers
// under a name that may be the same person's; 0 when none. An entry that holds a number under
// another name goes to sharedBy: two people may share one number (a household's line).
int matchingRecord(const RecordStore& store, const Contact& contact, const QByteArray& pcName,
                   int countryCode, int* sharedBy = nullptr)
{
    // The name as the entry would hold it, so that a name cut to 30
    // characters finds the entry it made before.
    const QString name = foldedName(decodePc(pcName));
    const auto holdsANumber = [&](int record) {
        return std::any_of(contact.numbers.begin(), contact.numbers.end(),
                           [&](const ContactNumber& number) {
                               return entryHoldsNumber(store, record, number.text, countryCode);
                           });
    };
    // Of two entries of the name, the one that holds one of the numbers.
    int sameName = 0;
    for (int record = 1; record <= kLastShownRecord; ++record) {
        if (!store.isLive(record))
            continue;
        const QByteArray held = store.field(record, Name);
        if (name.isEmpty() ? held != pcName : foldedName(decodePc(held)) != name)
            continue;
        if (holdsANumber(record))
            return record;
        if (sameName == 0)
            sameName = record;
    }
    if (sameName != 0)
        return sameName;
    for (const ContactNumber& number : contact.numbers)
        for (int record = 1; record <= kLastShownRecord; ++record) {
            if (!store.isLive(record) || !entryHoldsNumber(store, record, number.text, countryCode))
                continue;
            if (mayBeOnePerson(name, foldedName(decodePc(store.field(record, Name)))))
                return record;
            if (sharedBy && *sharedBy == 0)
                *sharedBy = record;
        }
    return 0;
}

// The contact's number that the entry holds too, for the report.
QString sharedNumber(const RecordStore& store, int record, const Contact& contact, int countryCode)
{
    for (const ContactNumber& number : contact.numbers)
        if (entryHoldsNumber(store, record, number.text, countryCode))
            return number.text;
    return {};
}

// The contact's numbers the entry does not hold, each once.
QList<ContactNumber> newNumbers(const RecordStore& store, int record, const Contact& contact,
                                int countryCode)
{
    QList<ContactNumber> fresh;
    for (const ContactNumber& number : contact.numbers) {
        if (entryHoldsNumber(store, record, number.text, countryCode))
            continue;
        const bool repeated = std::any_of(fresh.begin(), fresh.end(), [&](const ContactNumber& n) {
            return sameNumber(n.text, number.text, countryCode);
        });
        if (!repeated)
            fresh << number;
    }
    return fresh;
}

} // namespace

QString foldedName(QStringView name)
{
    return foldForSearch(name).simplified();
}

ContactImport importContacts(const QList<Contact>& contacts, RecordStore& store, ImportRange range,
                             MergeMode mode, const NumberTypeNames& typeNames, int countryCode)
{
    ContactImport result;
    VcardImportReport& report = result.report;
    report.cardsFound = static_cast<int>(contacts.size());
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        Contact contact = contacts[i];
        VcardCardReport cardReport;
        QList<VcardNote> notes;
        const QByteArray name =
            startContact(contact, static_cast<int>(i + 1), cardReport, notes, report);
        if (name.isEmpty())
            continue;

        int sharedBy = 0;
        const int matched = mode == MergeMode::Merge
                                ? matchingRecord(store, contact, name, countryCode, &sharedBy)
                                : 0;
        if (matched != 0) {
            // The entry stays as the user keeps it; only numbers come in,
            // and only what became of them is reported: the contact's name
            // never reaches the entry.
            notes.removeIf([](const VcardNote& note) { return note.part == VcardNote::NamePart; });
            cardReport.record = matched;
            const QList<ContactNumber> fresh = newNumbers(store, matched, contact, countryCode);
            const QList<int> openSlots = freeSlots(store, matched);
            QList<ContactNumber> leftOut;
            const QList<ContactNumber> chosen = chooseNumbers(fresh, openSlots.size(), &leftOut);
            for (qsizetype k = 0; k < chosen.size(); ++k)
                storeContactNumber(store, matched, openSlots[k], chosen[k], typeNames, notes);
            for (const ContactNumber& number : leftOut)
                notes.append(
                    {VcardNote::LeftOut, VcardNote::NumberPart, numberWithType(number, typeNames)});
            if (chosen.isEmpty()) {
                cardReport.outcome = VcardCardReport::AlreadyThere;
                ++report.alreadyThere;
                // Nothing came in: only a number with no slot left is news.
                notes.removeIf(
                    [](const VcardNote& note) { return note.kind != VcardNote::LeftOut; });
            } else {
                cardReport.outcome = VcardCardReport::Completed;
                store.setField(matched, ChangedFlag, kChangedYes);
                if (!report.completedRecords.contains(matched))
                    report.completedRecords.append(matched);
                if (!result.edit.touched.contains(matched))
                    result.edit.touched.append(matched);
            }
            cardReport.notes = notes;
            report.cards.append(cardReport);
            continue;
        }

        if (sharedBy != 0)
            notes.prepend({VcardNote::Shared, VcardNote::NumberPart,
                           sharedNumber(store, sharedBy, contact, countryCode),
                           decodePc(store.field(sharedBy, Name)), sharedBy});
        cardReport.notes = notes;
        if (!placeInFreeRecord(store, range, name, contact, typeNames, cardReport, report,
                               contacts.size() - i))
            break;
        result.edit.touched.append(cardReport.record);
    }
    if (!result.edit.touched.isEmpty())
        result.edit.target = result.edit.touched.front();
    return result;
}

MergeCounts countMerge(const QList<Contact>& contacts, const RecordStore& store, ImportRange range,
                       const NumberTypeNames& typeNames, int countryCode)
{
    auto scratch = std::make_unique<RecordStore>(store);
    const ContactImport trial =
        importContacts(contacts, *scratch, range, MergeMode::Merge, typeNames, countryCode);
    MergeCounts counts;
    counts.added = trial.report.created();
    counts.alreadyThere = trial.report.alreadyThere;
    // Entries, as the question says: two contacts that complete one entry
    // complete one.
    counts.completed = int(trial.report.completedRecords.size());
    return counts;
}

QList<QList<int>> findDuplicates(const RecordStore& store, int countryCode)
{
    QList<int> live;
    for (int record = 1; record <= kLastShownRecord; ++record)
        if (store.isLive(record))
            live << record;
    // Union by shared key: each comparable number and the folded name.
    std::vector<int> parent(static_cast<std::size_t>(kLastShownRecord) + 1);
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int r) {
        while (parent[static_cast<std::size_t>(r)] != r)
            r = parent[static_cast<std::size_t>(r)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(r)])];
        return r;
    };
    QHash<QString, int> firstWithKey;
    const auto join = [&](const QString& key, int record) {
        if (key.isEmpty())
            return;
        const auto it = firstWithKey.constFind(key);
        if (it == firstWithKey.cend()) {
            firstWithKey.insert(key, record);
            return;
        }
        const int a = root(*it);
        const int b = root(record);
        if (a != b)
            parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
    };
    for (const int record : live) {
        join(QStringLiteral("n:") + foldedName(decodePc(store.field(record, Name))), record);
        for (int slot = 1; slot <= 3; ++slot)
            if (!store.fieldIsEmpty(record, nummerField(slot)))
                join(QStringLiteral("t:") +
                         comparableNumber(entryNumber(store, record, slot), countryCode),
                     record);
    }
    QMap<int, QList<int>> groups;
    for (const int record : live)
        groups[root(record)] << record;
    QList<QList<int>> duplicates;
    for (const QList<int>& group : std::as_const(groups))
        if (group.size() > 1)
            duplicates << group;
    return duplicates;
}

int keptRecordOf(const QList<int>& group)
{
    // A First Nine position is a speed-dial key: the person keeps it.
    for (const int record : group)
        if (isFirstNineRecord(record))
            return record;
    return group.isEmpty() ? 0 : group.front();
}

QList<int> firstNineEmptiedBy(const QList<int>& group)
{
    const int kept = keptRecordOf(group);
    QList<int> emptied;
    for (const int record : group)
        if (record != kept && isFirstNineRecord(record))
            emptied << record;
    return emptied;
}

EditResult mergeDuplicates(RecordStore& store, const QList<int>& group, int countryCode,
                           const NumberTypeNames& typeNames, QStringList* leftOut)
{
    EditResult result;
    if (group.size() < 2)
        return result;
    const int kept = keptRecordOf(group);
    QList<int> mergedAway;
    for (const int record : group)
        if (record != kept)
            mergedAway << record;
    Contact others;
    for (const int record : mergedAway)
        for (int slot = 1; slot <= 3; ++slot)
            if (!store.fieldIsEmpty(record, nummerField(slot)))
                others.numbers.append(
                    {entryNumber(store, record, slot),
                     NumberTypeImage(store.field(record, nummernartField(slot)), typeNames), 1000});
    // An unknown type name has no image of the six; it counts as Telefon.
    for (ContactNumber& number : others.numbers)
        if (number.image < kFirstNumberTypeImage || number.image > kFirstNumberTypeImage + 6)
            number.image = kFirstNumberTypeImage;

    const QList<ContactNumber> fresh = newNumbers(store, kept, others, countryCode);
    const QList<int> openSlots = freeSlots(store, kept);
    QList<ContactNumber> rest;
    const QList<ContactNumber> chosen = chooseNumbers(fresh, openSlots.size(), &rest);
    QList<VcardNote> notes;
    for (qsizetype k = 0; k < chosen.size(); ++k) {
        // A number keeps the type name it had, whatever language named it.
        const QByteArray number = encodePc(chosen[k].text);
        QByteArray type;
        for (qsizetype i = 0; i < mergedAway.size() && type.isNull(); ++i)
            for (int slot = 1; slot <= 3; ++slot)
                if (store.field(mergedAway[i], nummerField(slot)) == number) {
                    type = store.field(mergedAway[i], nummernartField(slot));
                    break;
                }
        storeContactNumber(store, kept, openSlots[k], chosen[k], typeNames, notes);
        if (!type.isNull())
            store.setField(kept, nummernartField(openSlots[k]), type);
    }
    if (leftOut)
        for (const ContactNumber& number : rest)
            *leftOut << numberWithType(number, typeNames);
    store.setField(kept, ChangedFlag, kChangedYes);
    result.touched << kept;
    for (const int record : mergedAway)
        result.touched += deleteEntry(store, record).touched;
    result.target = kept;
    return result;
}

QList<NumberRewrite> planNumberForm(const RecordStore& store, NumberForm form, int countryCode)
{
    QList<NumberRewrite> rewrites;
    for (int record = 1; record <= kLastShownRecord; ++record) {
        if (!store.isLive(record))
            continue;
        for (int slot = 1; slot <= 3; ++slot) {
            const QByteArray before = store.field(record, nummerField(slot));
            if (before.isEmpty())
                continue;
            const QString number = decodePc(before);
            const QByteArray after = encodePc(form == NumberForm::International
                                                  ? internationalNumber(number, countryCode)
                                                  : nationalNumber(number, countryCode));
            if (after != before && !after.isEmpty() && after.size() <= kFieldWidth)
                rewrites << NumberRewrite{record, slot, before, after};
        }
    }
    return rewrites;
}

EditResult applyNumberForm(RecordStore& store, const QList<NumberRewrite>& rewrites)
{
    EditResult result;
    for (const NumberRewrite& rewrite : rewrites) {
        store.setField(rewrite.record, nummerField(rewrite.slot), rewrite.after);
        store.setField(rewrite.record, ChangedFlag, kChangedYes);
        if (!result.touched.contains(rewrite.record))
            result.touched << rewrite.record;
    }
    return result;
}

} // namespace q7
