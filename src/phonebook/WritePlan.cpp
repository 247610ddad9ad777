// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/WritePlan.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/EntryParser.h"
#include "phonebook/HandsetImage.h"

#include <QSet>
#include <algorithm>

namespace q7 {

std::optional<int> recordLocation(const RecordStore& store, int record)
{
    const std::optional<int> location = readInteger(store.field(record, Speicherplatz));
    if (!location)
        return std::nullopt;
    const bool fits = isMemoryRecord(record) ? isMemoryRecord(*location) : isSimRecord(*location);
    return fits ? location : std::nullopt;
}

bool WritePlan::isEmpty() const
{
    return std::none_of(items.begin(), items.end(), [](const PlanItem& item) {
        return item.kind != PlanItem::Kind::Unchanged;
    });
}

namespace {

PlanItem itemOf(const RecordStore& store, int record, PlanItem::Kind kind)
{
    PlanItem item;
    item.kind = kind;
    item.record = record;
    item.location = recordLocation(store, record).value_or(0);
    item.name = store.field(record, Name);
    return item;
}

void count(WritePlan& plan)
{
    for (const PlanItem& item : std::as_const(plan.items)) {
        switch (item.kind) {
        case PlanItem::Kind::New:
            ++plan.newCount;
            break;
        case PlanItem::Kind::Changed:
            ++plan.changedCount;
            break;
        case PlanItem::Kind::Deleted:
            plan.deletedCount += item.onHandset ? 1 : 0;
            break;
        case PlanItem::Kind::Unchanged:
            ++plan.unchangedCount;
            break;
        }
    }
}

} // namespace

WritePlan planByFlags(const RecordStore& store, bool onlyChanged)
{
    WritePlan plan;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (!store.holdsEntry(record) || (onlyChanged && !store.isChanged(record)))
            continue;
        plan.items << itemOf(store, record,
                             store.isMarkedForDeletion(record) ? PlanItem::Kind::Deleted
                                                               : PlanItem::Kind::New);
    }
    count(plan);
    return plan;
}

WritePlan planWrite(const RecordStore& store, const HandsetImage& image, bool onlyChanged,
                    bool replacesHandset)
{
    if (!image.isKnown()) {
        WritePlan plan = planByFlags(store, false);
        if (replacesHandset)
            return plan;
        for (PlanItem& item : plan.items)
            if (item.kind == PlanItem::Kind::Deleted)
                item.onHandset = false;
        plan.deletedCount = 0;
        return plan;
    }

    const RecordStore& handset = image.entries();
    QSet<int> named;    // locations a live record names
    QSet<int> toDelete; // locations a record marked for deletion names
    for (int record = 1; record <= kRecordCount; ++record)
        if (const std::optional<int> location = recordLocation(store, record);
            location && store.holdsEntry(record))
            (store.isLive(record) ? named : toDelete).insert(*location);

    WritePlan plan;
    plan.handsetKnown = true;
    // Entries of the handset that no live record names go, in location order
    // among the records.
    const auto deleteUnnamedAt = [&](int location) {
        // A record marked for deletion that names the location deletes it
        // itself.
        if (!replacesHandset || !handset.holdsEntry(location) || named.contains(location) ||
            toDelete.contains(location))
            return;
        PlanItem item;
        item.kind = PlanItem::Kind::Deleted;
        item.location = location;
        item.name = handset.field(location, Name);
        plan.items << item;
    };

    for (int record = 1; record <= kRecordCount; ++record) {
        deleteUnnamedAt(record);
        if (!store.holdsEntry(record))
            continue;
        const std::optional<int> location = recordLocation(store, record);
        if (store.isMarkedForDeletion(record)) {
            PlanItem item = itemOf(store, record, PlanItem::Kind::Deleted);
            item.onHandset =
                location && handset.holdsEntry(*location) && !named.contains(*location);
            if (item.onHandset) {
                item.name = handset.field(*location, Name);
                plan.items << item;
            } else if (!onlyChanged || store.isChanged(record)) {
                plan.items << item; // nothing to send: the record only goes from the store
            }
            continue;
        }
        if (!location || !handset.holdsEntry(*location)) {
            plan.items << itemOf(store, record, PlanItem::Kind::New);
            continue;
        }
        PlanItem item = itemOf(store, record, PlanItem::Kind::Changed);
        item.fields = differingFields(store, record, handset, *location);
        if (item.fields.isEmpty() && onlyChanged && !store.isChanged(record))
            item.kind = PlanItem::Kind::Unchanged;
        plan.items << item;
    }
    count(plan);
    return plan;
}

WritePlan keepingUnnamed(const WritePlan& plan)
{
    WritePlan kept;
    kept.handsetKnown = plan.handsetKnown;
    int left = 0;
    for (const PlanItem& item : plan.items) {
        if (!item.deletesUnnamed())
            kept.items << item;
        else
            ++left;
    }
    count(kept);
    // What stays on the handset is as unchanged as the entries the window names.
    kept.unchangedCount += left;
    return kept;
}

int entriesUnlikeHandset(const RecordStore& store, const HandsetImage& image, bool replacesHandset)
{
    if (!image.isKnown())
        return 0;
    int count = 0;
    for (const PlanItem& item : planWrite(store, image, true, replacesHandset).items) {
        const bool differs = (item.kind == PlanItem::Kind::New) ||
                             (item.kind == PlanItem::Kind::Changed && !item.fields.isEmpty()) ||
                             (item.kind == PlanItem::Kind::Deleted && item.onHandset);
        count += differs ? 1 : 0;
    }
    return count;
}

QString fieldName(int field, const LanguageFile& texts)
{
    switch (field) {
    case Name:
        return texts.text(TextId::Plan_Name);
    case Gruppe:
        return texts.text(TextId::Plan_Gruppe);
    case Nummer1:
    case Nummer2:
    case Nummer3:
        return texts.text(TextId::Plan_Nummer).arg((field - Nummer1) / 3 + 1);
    case Nummernart1:
    case Nummernart2:
    case Nummernart3:
        return texts.text(TextId::Plan_Nummernart).arg((field - Nummernart1) / 3 + 1);
    default:
        return texts.text(TextId::Plan_Feld).arg(field);
    }
}

QString planLine(const PlanItem& item, const RecordStore& store, const HandsetImage& image,
                 const LanguageFile& texts)
{
    QString line = QStringLiteral("%1  %2  ").arg(item.location, 3).arg(decodePc(item.name));
    switch (item.kind) {
    case PlanItem::Kind::New:
        if (item.movedFrom != 0)
            return line + texts.text(TextId::Schreibplan_Verlegt)
                              .arg(item.movedFrom)
                              .arg(decodePc(image.entries().field(item.movedFrom, Name)));
        return line + texts.text(TextId::Plan_Neu);
    case PlanItem::Kind::Deleted:
        return line + texts.text(TextId::Plan_Geloescht);
    case PlanItem::Kind::Unchanged:
        return line + texts.text(TextId::Plan_Unveraendert);
    case PlanItem::Kind::Changed:
        break;
    }
    if (item.fields.isEmpty())
        return line + texts.text(TextId::Plan_NeuGeschrieben);
    const QString empty = texts.text(TextId::Schreibplan_Leer);
    const auto shown = [&](const QByteArray& value) {
        return value.isEmpty() ? empty : decodePc(value);
    };
    QStringList changes;
    for (int field : item.fields)
        changes << QStringLiteral("%1 %2 → %3")
                       .arg(fieldName(field, texts),
                            shown(image.entries().field(item.location, field)),
                            shown(store.field(item.record, field)));
    // One field stays on the line; several go below it, one a line, so
    // that no line runs wider than a field and its two values.
    const QString head = line + texts.text(TextId::Plan_Geaendert) + u':';
    if (changes.size() == 1)
        return head + u' ' + changes.front();
    const QString indent(6, u' ');
    return head + u'\n' + indent + changes.join(u'\n' + indent);
}

QString planCounts(const WritePlan& plan, const LanguageFile& texts)
{
    return texts.text(TextId::Plan_Summe)
        .arg(plan.newCount)
        .arg(plan.changedCount)
        .arg(plan.deletedCount)
        .arg(plan.unchangedCount);
}

QStringList planLines(const WritePlan& plan, const RecordStore& store, const HandsetImage& image,
                      const LanguageFile& texts)
{
    QStringList lines;
    for (const PlanItem& item : plan.items)
        if (item.isSent())
            lines << planLine(item, store, image, texts);
    return lines;
}

} // namespace q7
