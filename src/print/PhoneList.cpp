// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PhoneList.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/NameOrder.h"
#include "phonebook/RecordStore.h"

#include <QLocale>
#include <algorithm>

namespace q7 {

namespace {

PhoneListEntry entryOf(const RecordStore& store, int record, const NumberTypeNames& typeNames)
{
    PhoneListEntry entry{
        record, decodePc(store.field(record, Name)), decodePc(store.field(record, Gruppe)), {}};
    for (int j = 1; j <= 3; ++j) {
        if (store.fieldIsEmpty(record, nummerField(j)))
            continue;
        entry.numbers.append({numberTypeToolTip(store.field(record, nummernartField(j)), typeNames),
                              decodePc(store.field(record, nummerField(j)))});
    }
    return entry;
}

QList<PhoneListSection> groupedSections(const QList<PhoneListEntry>& entries,
                                        const LanguageFile& texts)
{
    QList<PhoneListSection> sections;
    PhoneListSection withoutGroup{texts.text(TextId::Drucken_OhneGruppe), {}};
    for (const PhoneListEntry& entry : entries) {
        if (entry.group.isEmpty()) {
            withoutGroup.entries.append(entry);
            continue;
        }
        auto section = std::find_if(sections.begin(), sections.end(), [&](const auto& s) {
            return s.heading.compare(entry.group, Qt::CaseInsensitive) == 0;
        });
        if (section == sections.end())
            sections.append({entry.group, {entry}});
        else
            section->entries.append(entry);
    }
    const NameOrder order;
    std::stable_sort(sections.begin(), sections.end(), [&](const auto& a, const auto& b) {
        return order.lessThan(a.heading, b.heading);
    });
    if (!withoutGroup.entries.isEmpty())
        sections.append(withoutGroup);
    return sections;
}

} // namespace

PhoneList makePhoneList(const RecordStore& store, const PhoneListChoice& choice,
                        const LanguageFile& texts, const NumberTypeNames& numberTypeNames,
                        const QDate& date)
{
    PhoneList list;
    list.title = texts.text(TextId::Drucken_Kopf);
    list.date = QLocale().toString(date, QLocale::LongFormat);
    list.grouped = choice.byGroup;

    QList<PhoneListEntry> entries;
    for (const int record : choice.records)
        if (record >= 1 && record <= kLastShownRecord && store.isLive(record))
            entries.append(entryOf(store, record, numberTypeNames));
    for (int record = kFirstSimRecord; record <= kLastFirstNineRecord; ++record) {
        auto chosen = std::find_if(entries.cbegin(), entries.cend(),
                                   [&](const PhoneListEntry& e) { return e.record == record; });
        if (chosen != entries.cend())
            list.firstNine.append(*chosen);
    }
    if (entries.isEmpty())
        return list;
    if (choice.byGroup)
        list.sections = groupedSections(entries, texts);
    else
        list.sections.append({QString(), entries});
    return list;
}

} // namespace q7
