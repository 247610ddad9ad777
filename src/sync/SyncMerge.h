// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace q7::sync {

// The three-way merge of one handset entry with one card, against what both
// held at the last sync. Pure: no handset, no files, no state.

// A number as the merge sees it: cleaned to what a handset dials, and its
// type as the image of the seven number types (5..11).
struct SyncNumber
{
    QString number;
    int image = 5;

    bool operator==(const SyncNumber&) const = default;
};

// The fields the handset and a card share. A card's view is whole: its full
// name, every number it has, its first category. The handset's view holds
// what the handset can: 30 characters, three numbers.
//
// Each side is compared with what that side itself held after the last sync
// (its own base), never with the other side: a name the handset holds cut,
// a fourth number only the card has, a number one side writes with blanks
// are then never taken for a change.
struct ContactFields
{
    QString name;
    QList<SyncNumber> numbers;
    QString group;

    bool operator==(const ContactFields&) const = default;
};

enum class Side
{
    Handset,
    AddressBook,
};

// One field both sides changed, each to its own value.
struct FieldConflict
{
    enum class Field
    {
        Name,
        Group,
        NumberType, // both changed the type of one number (or added it with different types)
    };
    Field field = Field::Name;
    QString key;          // "name", "group" or "tel:" and the number as compared
    QString handsetValue; // as the user reads it
    QString cardValue;
};

// What both sides held after the last sync, each as it held it.
struct PairBase
{
    ContactFields handset;
    ContactFields card;
};

struct MergeContext
{
    int countryCode = 49;
    // Conflicts settled beforehand, by their key; the rest by `prefer`, or
    // left as each side has them.
    QHash<QString, Side> choices;
    std::optional<Side> prefer;
};

// What becomes of a pair.
struct PairMerge
{
    enum class Outcome
    {
        Merged,        // both sides stay (maybe changed)
        DeleteHandset, // the card was deleted and the entry unchanged: it goes too
        DeleteCard,    // the entry was deleted and the card unchanged: it goes too
        Unlinked,      // both are gone
    };
    Outcome outcome = Outcome::Merged;
    ContactFields handset; // what the handset is to hold (before the cut to its size)
    ContactFields card;    // what the card is to hold
    bool handsetChanges = false;
    bool cardChanges = false;
    // A side deleted its part while the other changed it: the change won
    // and the deleted part comes back.
    std::optional<Side> restored;
    QList<FieldConflict> conflicts; // left unsettled: each side keeps its value
    QList<FieldConflict> settled;   // settled by a choice or the preference
};

// The key numbers are compared by: the national form.
QString numberKey(const QString& number, int countryCode);

// A text as a record field holds it: the PC set, at most 30 characters.
QString handsetText(const QString& text);

// What the handset can hold of a view: the name and group as a field holds
// them, and three numbers, mobile, home and work first as an import chooses
// them.
ContactFields handsetProjection(const ContactFields& fields);

// The same name, group and numbers, the numbers as a set by their key and
// type.
bool sameFields(const ContactFields& a, const ContactFields& b, int countryCode);

// The merge of a linked pair. `base` is empty for a pair linked by this
// sync (the first sync): a field set on both sides to different values is a
// conflict, and a number or a group on one side only goes to the other. A
// missing handset entry or card is one deleted since the last sync.
PairMerge mergePair(const std::optional<PairBase>& base,
                    const std::optional<ContactFields>& handset,
                    const std::optional<ContactFields>& card, const MergeContext& context);

// The base a side keeps for the next sync: what it holds now, but for the
// fields left in conflict, which keep their old base so that the conflict
// is shown again.
ContactFields baseAfter(const ContactFields& heldNow, const std::optional<ContactFields>& oldBase,
                        const QList<FieldConflict>& conflicts, int countryCode);

} // namespace q7::sync
