// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace q7 {

class LanguageFile;
class RecordStore;

// The handset does not keep an entry's two additional text lines (Zusatz1,
// Zusatz2) when the entry is written: they are lost there. These find the
// entries a write would send that hold such lines, so the user hears of it
// before the write and can save the phonebook to a file first.

// The live records a write sends (with onlyChanged, only those flagged
// "JA") whose Zusatz1 or Zusatz2 holds text, in index order.
QList<int> recordsLosingNoteLines(const RecordStore& store, bool onlyChanged);

// The Yes/No question before a write: how many entries, the first few
// names, and the advice to save to a file first (saveCaption is the caption
// of the button that does).
QString noteLinesQuestion(const RecordStore& store, const QList<int>& records,
                          const QString& saveCaption, const LanguageFile& texts);

// The command line's warning line before it writes anyway.
QString noteLinesWarning(const RecordStore& store, const QList<int>& records,
                         const LanguageFile& texts);

} // namespace q7
