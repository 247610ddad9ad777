// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"

class QWidget;

namespace q7 {

class GroupList;
class HandsetImage;
class LanguageFile;
class OperationHost;
class RecordStore;

// What the window's pages and controllers share, all owned by the window
// and living as long as it: the phonebook in the PC, the texts, and the
// host every operation reports to.
struct ManagerContext
{
    QWidget* window;     // the parent of every question and dialog
    OperationHost& host; // status text, progress bar, busy cursor
    RecordStore& store;
    // What the handset held when last seen: reads set it, writes and erases
    // keep it true, record by record.
    HandsetImage& handset;
    GroupList& groups;
    const NumberTypeNames& numberTypeNames;
    const LanguageFile& texts;
};

} // namespace q7
