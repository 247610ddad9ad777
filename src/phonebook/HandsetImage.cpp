// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/HandsetImage.h"

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
            copyEntry(location, read, location, true);
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
    copyEntry(location, from, record, false);
}

void HandsetImage::copyEntry(int location, const RecordStore& from, int record, bool withNotes)
{
    // Zeroed, not only emptied: two images of the same entries compare equal.
    m_entries.setRawRecord(location, QByteArray(kRecordSize, '\0'));
    for (int field = Name; field <= kEntryValueCount; ++field)
        if (withNotes || handsetKeeps(field))
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

} // namespace q7
