// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Records as a read leaves them, and what the trees show of them.

#include "base/PcText.h"
#include "phonebook/RecordStore.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QMap>
#include <QStringList>
#include <QTreeWidgetItem>

namespace q7 {

using Fields = QMap<int, QByteArray>;

// The Speicherplatz equals the index and the record counts as unchanged.
inline void putRecord(RecordStore& store, int r, QByteArrayView name, const Fields& fields = {})
{
    store.setField(r, Speicherplatz, QByteArray::number(r));
    store.setField(r, Name, name);
    store.setField(r, ChangedFlag, kChangedNo);
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        store.setField(r, it.key(), it.value());
}

// The name as the user types it, in the PC's character set.
inline void putRecord(RecordStore& store, int r, QStringView name, const Fields& fields = {})
{
    putRecord(store, r, QByteArrayView(encodePc(name)), fields);
}

inline QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

inline QStringList childRoles(const QTreeWidgetItem* entry)
{
    QStringList roles;
    for (int i = 0; i < entry->childCount(); ++i)
        roles << PhonebookTrees::roleOfItem(entry->child(i));
    return roles;
}

// The detail node of the entry that holds role; none when it has no such.
inline QTreeWidgetItem* detail(QTreeWidgetItem* entry, QStringView role)
{
    for (int i = 0; entry && i < entry->childCount(); ++i)
        if (PhonebookTrees::roleOfItem(entry->child(i)) == role)
            return entry->child(i);
    return nullptr;
}

} // namespace q7
