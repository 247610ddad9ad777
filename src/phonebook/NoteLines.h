// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace q7 {

class HandsetImage;
class LanguageFile;
class RecordStore;
struct WritePlan;

// The handset does not keep an entry's two additional text lines (Zusatz1,
// Zusatz2) when the entry is written: they are lost there. These find the
// entries a write would send that hold such lines, so the user hears of it
// before the write and can save the phonebook to a file first.

// The records the plan writes (new or changed, whatever their changed
// flag) whose Zusatz1 or Zusatz2 holds text, in the plan's order.
QList<int> recordsLosingNoteLines(const RecordStore& store, const WritePlan& plan);

// The live records whose entry the handset holds without the note lines the
// window shows: a write dropped them, and only the window has them now.
QList<int> notesOnlyInWindow(const RecordStore& store, const HandsetImage& image);
bool holdsNotesOnlyInWindow(const RecordStore& store, const HandsetImage& image, int record);

// The Yes/No question before a write: how many entries, the first few
// names, and the advice to save to a file first (saveCaption is the caption
// of the button that does).
QString noteLinesQuestion(const RecordStore& store, const QList<int>& records,
                          const QString& saveCaption, const LanguageFile& texts);

// The command line's warning line before it writes anyway.
QString noteLinesWarning(const RecordStore& store, const QList<int>& records,
                         const LanguageFile& texts);

// The question before closing a window whose note lines the handset lacks:
// how many entries, the first few names; Yes saves them to a file first.
QString notesOnlyInWindowQuestion(const RecordStore& store, const QList<int>& records,
                                  const LanguageFile& texts);

} // namespace q7
