// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCollator>
#include <QList>
#include <QString>

namespace q7 {

class RecordStore;

// The order of names in the phonebook tree and wherever a list follows it
// (the printed phone list, q7ctl's PDF): the collation of the program's
// language (the default locale, which the language file sets), not of the
// system, case ignored. Under a C or English system locale a German
// phonebook would otherwise put Ärzte after Zoe.
class NameOrder
{
public:
    // The collation of the language in use now.
    NameOrder();

    int compare(const QString& a, const QString& b) const { return m_collator.compare(a, b); }
    bool lessThan(const QString& a, const QString& b) const { return compare(a, b) < 0; }

private:
    QCollator m_collator;
};

// The live records the phonebook tree shows (1..600) in the order a rebuild
// of the tree gives them: by name, records of equal names by index.
QList<int> phonebookTreeOrder(const RecordStore& store);

} // namespace q7
