// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/RecordStore.h"

#include "base/PcText.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace q7 {

RecordStore::RecordStore() : m_records(kRecordCount) {}

void RecordStore::checkIndex(int record, int field)
{
    // An index from outside (a file line, a node text) is validated by whoever
    // takes it; reaching here with a bad one is a programming error, and it
    // must never touch memory outside the table.
    if (record < 1 || record > kRecordCount || field < 1 || field > kFieldCount)
        throw std::out_of_range("record store index");
}

const unsigned char* RecordStore::fieldData(int record, int field) const
{
    checkIndex(record, field);
    return m_records[record - 1].data() + (field - 1) * kFieldSize;
}

unsigned char* RecordStore::fieldData(int record, int field)
{
    checkIndex(record, field);
    return m_records[record - 1].data() + (field - 1) * kFieldSize;
}

QByteArray RecordStore::field(int record, int field) const
{
    const unsigned char* data = fieldData(record, field);
    const int length = std::min<int>(data[0], kFieldWidth);
    return QByteArray(reinterpret_cast<const char*>(data + 1), length);
}

void RecordStore::setField(int record, int field, QByteArrayView text)
{
    unsigned char* data = fieldData(record, field);
    const auto length = static_cast<unsigned char>(std::min<qsizetype>(text.size(), kFieldWidth));
    data[0] = length;
    if (length > 0)
        std::memcpy(data + 1, text.data(), length);
}

bool RecordStore::fieldIsEmpty(int record, int field) const
{
    return fieldData(record, field)[0] == 0;
}

bool RecordStore::holdsEntry(int record) const
{
    return !fieldIsEmpty(record, Name);
}

bool RecordStore::isMarkedForDeletion(int record) const
{
    return field(record, Name) == kDeletionMarker;
}

bool RecordStore::isLive(int record) const
{
    return holdsEntry(record) && !isMarkedForDeletion(record);
}

bool RecordStore::isChanged(int record) const
{
    return field(record, ChangedFlag) == kChangedYes;
}

void RecordStore::ClearRecords()
{
    for (int r = 1; r <= kRecordCount; ++r)
        clearEntry(r);
}

void RecordStore::clearEntry(int record)
{
    for (int k = 1; k <= kEntryValueCount; ++k)
        fieldData(record, k)[0] = 0;
}

int RecordStore::FindFreeMemoryRecord() const
{
    for (int r = 1; r <= kLastMemoryRecord; ++r)
        if (!isLive(r))
            return r;
    return 0;
}

int RecordStore::FindFreeSimRecord() const
{
    for (int r = kLastFirstNineRecord + 1; r <= kLastShownRecord; ++r)
        if (!isLive(r))
            return r;
    return 0;
}

QByteArrayView RecordStore::rawRecord(int record) const
{
    checkIndex(record, 1);
    return QByteArrayView(reinterpret_cast<const char*>(m_records[record - 1].data()), kRecordSize);
}

void RecordStore::setRawRecord(int record, QByteArrayView bytes)
{
    checkIndex(record, 1);
    if (bytes.size() != kRecordSize)
        throw std::invalid_argument("record bytes");
    std::memcpy(m_records[record - 1].data(), bytes.data(), kRecordSize);
}

bool GroupList::contains(QByteArrayView group) const
{
    const QString wanted = decodePc(group);
    return std::any_of(m_names.begin(), m_names.end(), [&](const QByteArray& name) {
        return QString::compare(decodePc(name), wanted, Qt::CaseInsensitive) == 0;
    });
}

void GroupList::add(QByteArrayView group)
{
    if (!contains(group))
        m_names.append(group.toByteArray());
}

void CollectGroupNames(const RecordStore& store, GroupList& groups)
{
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (store.isLive(r) && !store.fieldIsEmpty(r, Gruppe))
            groups.add(store.field(r, Gruppe));
}

} // namespace q7
