// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Contacts.h"

#include <QByteArray>
#include <QList>

namespace q7 {

// The cards of a vCard file (2.1, 3.0 or 4.0) as contacts; never throws on
// content.
QList<Contact> readVcardContacts(const QByteArray& content);

// Places every card that gives a name into the first free record of the
// range, never over a live entry, marked changed ("JA"). Stops before the
// first card that finds no free record. Never throws on content.
VcardImportReport importVcard(const QByteArray& content, RecordStore& store, ImportRange range,
                              const NumberTypeNames& typeNames);

} // namespace q7
