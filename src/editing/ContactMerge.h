// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/ContactPlacement.h"
#include "editing/EditOperations.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace q7 {

// Contacts from other address books meet the entries the phonebook holds:
// matched by the same name, else by a number they share under a name that
// may be the same person's ("Anna S.", "Anna Schmidt"), so that importing a
// file twice, or a file that overlaps the phonebook, makes no copies, and
// two people who share one number stay two entries.

// A name as compared: folded as the search folds it, blanks evened out.
QString foldedName(QStringView name);

enum class MergeMode
{
    Merge,  // a matched entry takes the contact's new numbers
    AllNew, // every contact becomes a new entry, as an import always did
};

// What a merge would do, for the question before it: contacts that become
// new entries, entries that take new numbers, contacts already there whole.
struct MergeCounts
{
    int added = 0;
    int completed = 0;
    int alreadyThere = 0;
};

struct ContactImport
{
    EditResult edit; // every record written, new and completed
    VcardImportReport report;
};

// Places the contacts into the live entries 1..600 of the store. In Merge
// mode each contact is matched against the entries (those placed by this
// import included): a contact whose numbers are all in its entry adds
// nothing; an entry with free number slots takes the new numbers (chosen by
// type, the rest named in the report); a contact that matches nothing becomes
// a new entry in the range. Never throws on content.
ContactImport importContacts(const QList<Contact>& contacts, RecordStore& store, ImportRange range,
                             MergeMode mode, const NumberTypeNames& typeNames, int countryCode);

// The counts importContacts would give, the store left as it is.
MergeCounts countMerge(const QList<Contact>& contacts, const RecordStore& store, ImportRange range,
                       const NumberTypeNames& typeNames, int countryCode);

// Entries that share a number or a folded name, each group in record order,
// the groups by their first record. Live entries 1..600 only.
QList<QList<int>> findDuplicates(const RecordStore& store, int countryCode);

// The record a merge of the group keeps: the first that holds a First Nine
// position, else the first.
int keptRecordOf(const QList<int>& group);
// The First Nine records of the group that a merge would empty, for the
// question before it: all but the kept one.
QList<int> firstNineEmptiedBy(const QList<int>& group);

// Merges a group into its kept record (keptRecordOf): the numbers of all
// are united up to three (chosen by type, the kept record's own first), the
// others are marked for deletion. The numbers that found no slot go to
// leftOut as "type number".
EditResult mergeDuplicates(RecordStore& store, const QList<int>& group, int countryCode,
                           const NumberTypeNames& typeNames, QStringList* leftOut = nullptr);

enum class NumberForm
{
    International, // "+49171..."
    National,      // "0171..."
};

struct NumberRewrite
{
    int record = 0;
    int slot = 0; // 1..3
    QByteArray before;
    QByteArray after;
};

// Every number of the live entries 1..600 that the form changes, in record
// and slot order; a number the form would make longer than a field stays.
QList<NumberRewrite> planNumberForm(const RecordStore& store, NumberForm form, int countryCode);
// Writes the rewrites, marking their records changed.
EditResult applyNumberForm(RecordStore& store, const QList<NumberRewrite>& rewrites);

} // namespace q7
