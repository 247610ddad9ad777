// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileio/Contacts.h"

#include <QByteArray>
#include <QList>

namespace q7 {

// The cards of a vCard file (2.1, 3.0 or 4.0) as contacts; never throws on
// content.
QList<Contact> readVcardContacts(const QByteArray& content);

} // namespace q7
