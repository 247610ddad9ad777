// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/EditOperations.h"

namespace q7 {

class HandsetImage;
struct WritePlan;

// The window's phonebook as a snapshot holds it, each entry marked to be
// written, so that the next write (after its plan) puts the handset back as
// it was. One edit: the records that differ are written over.
EditResult replaceWithSnapshot(RecordStore& store, const RecordStore& snapshot);

// What the window's own entries do where the handset holds another entry.
enum class OwnEntries
{
    // Made in a window that never saw the handset: they go to a location
    // the handset has free (as the moves of the result say), and a deletion
    // of one leaves the handset alone.
    MoveAside,
    // A loaded phonebook: they stand for the handset's, and a write puts
    // them there.
    Stay,
};

// Brings the entries of the handset as last seen that no record of the
// window names into the window, unchanged, each in the record of its
// location (where that record is free). The window's own work stays on top:
// its edits as they are, its entries moved as `own` says. One edit, nothing
// when the image is unknown.
EditResult takeHandsetEntries(RecordStore& store, const HandsetImage& image, OwnEntries own);

// Names in the plan the new entries that takeHandsetEntries moved aside.
void noteMoves(WritePlan& plan, const EditResult& taken);

} // namespace q7
