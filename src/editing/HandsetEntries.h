// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/EditOperations.h"

namespace q7 {

// The window's phonebook as a snapshot holds it, each entry marked to be
// written, so that the next write (after its plan) puts the handset back as
// it was. One edit: the records that differ are written over.
EditResult replaceWithSnapshot(RecordStore& store, const RecordStore& snapshot);

} // namespace q7
