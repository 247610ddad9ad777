// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/NameOrder.h"

#include "base/PcText.h"
#include "phonebook/RecordStore.h"

#include <QLocale>
#include <algorithm>

namespace q7 {

NameOrder::NameOrder() : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

QList<int> phonebookTreeOrder(const RecordStore& store)
{
    QList<int> records;
    QList<QString> names(kLastShownRecord + 1);
    for (int r = 1; r <= kLastShownRecord; ++r) {
        if (!store.isLive(r))
            continue;
        records.append(r);
        names[r] = decodePc(store.field(r, Name));
    }
    // Stable, as the tree's own sort is: equal names keep the index order.
    const NameOrder order;
    std::stable_sort(records.begin(), records.end(),
                     [&](int a, int b) { return order.lessThan(names[a], names[b]); });
    return records;
}

} // namespace q7
