// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/EditOperations.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>

namespace q7 {

// What the new entry dialog hands over: the texts as typed, in the PC
// character set, and the range the entry goes to.
struct NewEntry
{
    QByteArray name;
    QByteArray group; // the text of the group box, the no-group item included
    std::array<QByteArray, 3> numbers;
    // The type name each number's button shows, used only where a number
    // was typed.
    std::array<QByteArray, 3> numberTypes;
    MoveTarget target = MoveTarget::Sim;
};

// The record a new entry in that range would go to: the first free one of
// 1..500 or of 510..600; 0 when the range is full.
int freeRecordFor(const RecordStore& store, MoveTarget target);

// Writes the entry into the first free record of its range, replacing all
// 19 fields, and marks it changed. A group equal to noGroupText (exactly,
// case included) means no group. Nothing is written when the range is full
// or the name is empty or blanks: such a record would show no node and count
// as free, so the next new entry would silently overwrite it.
EditResult createEntry(RecordStore& store, const NewEntry& entry, QByteArrayView noGroupText);

} // namespace q7
