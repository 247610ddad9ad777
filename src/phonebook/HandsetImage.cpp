// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/HandsetImage.h"

#include "phonebook/PhonebookWriter.h"

#include <QSet>
#include <algorithm>

namespace q7 {

int HandsetImage::entryCount() const
{
    if (!m_known)
        return 0;
    int count = 0;
    for (int location = 1; location <= kRecordCount; ++location)
        count += m_entries.holdsEntry(location) ? 1 : 0;
    return count;
}

void HandsetImage::takeRead(const RecordStore& read)
{
    m_entries = RecordStore();
    for (int location = 1; location <= kRecordCount; ++location)
        if (read.holdsEntry(location))
            setEntry(location, read, location);
    m_known = true;
}

void HandsetImage::setEmpty()
{
    m_entries = RecordStore();
    m_known = true;
}

void HandsetImage::forget()
{
    m_entries = RecordStore();
    m_known = false;
}

void HandsetImage::setEntry(int location, const RecordStore& from, int record)
{
    // Zeroed, not only emptied: two images of the same entries compare equal.
    m_entries.setRawRecord(location, QByteArray(kRecordSize, '\0'));
    for (int field = Name; field <= kEntryValueCount; ++field)
        m_entries.setField(location, field, from.field(record, field));
    m_entries.setField(location, Speicherplatz, QByteArray::number(location));
}

void HandsetImage::clearEntry(int location)
{
    m_entries.setRawRecord(location, QByteArray(kRecordSize, '\0'));
}

bool handsetKeeps(int field)
{
    return field >= Speicherplatz && field <= kEntryValueCount && field != Zusatz1 &&
           field != Zusatz2;
}

QList<int> differingFields(const RecordStore& store, int record, const RecordStore& image,
                           int location)
{
    QList<int> fields;
    for (int field = Name; field <= kEntryValueCount; ++field)
        if (handsetKeeps(field) && store.field(record, field) != image.field(location, field))
            fields << field;
    return fields;
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
                    bool deleteUnnamed)
{
    if (!image.isKnown())
        return planByFlags(store, false);

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
        if (!deleteUnnamed || !handset.holdsEntry(location) || named.contains(location) ||
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

} // namespace q7

namespace q7 {

int entriesUnlikeHandset(const RecordStore& store, const HandsetImage& image)
{
    if (!image.isKnown())
        return 0;
    int count = 0;
    for (const PlanItem& item : planWrite(store, image, true).items) {
        const bool differs = (item.kind == PlanItem::Kind::New) ||
                             (item.kind == PlanItem::Kind::Changed && !item.fields.isEmpty()) ||
                             (item.kind == PlanItem::Kind::Deleted && item.onHandset);
        count += differs ? 1 : 0;
    }
    return count;
}

} // namespace q7
