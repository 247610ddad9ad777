// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace q7 {

// What an edit did to the store: the records it wrote, in the order it wrote
// them. None when the edit was refused or had nothing to do. The window
// refreshes the nodes of exactly these records.
struct EditResult
{
    QList<int> touched;
    // The record an entry went to (a move, a new entry); 0 when none did.
    // With several moves, the last one's.
    int target = 0;
    // Every entry that changed its record, so that the trees can carry its
    // node along instead of building it anew.
    QList<EntryMove> moves;
    // The record whose entry a First Nine move sent to the mover's old
    // place; 0 when the position was free.
    int exchanged = 0;
    bool changed() const { return !touched.isEmpty(); }
    // Adds another edit's records and moves, as one step.
    void append(const EditResult& other);
};

// The number clipboard of the trees: a number and its type name, as PC text.
// It holds a number when the number is not empty. It is not the system's
// clipboard, so it never carries anything between programs.
struct NumberClipboard
{
    QByteArray number;
    QByteArray type;
    bool holdsNumber() const { return !number.isEmpty(); }
};

// Every edit below works on one record r of the trees (1..600) and k, the
// number slot 1..3. It cuts each text to 30 characters, marks every record it
// writes as changed ("JA"), and reports them. A slot other than 1, 2 or 3 is
// refused and nothing is written: slot 0 would otherwise name the fields
// before Nummernart1, the Name among them.
bool isNumberSlot(int k);

// An empty text is refused: the Name or number stays as it was, but the
// record still counts as edited, since the user confirmed an edit on it.
EditResult storeName(RecordStore& store, int r, QByteArrayView text);
EditResult storeNumber(RecordStore& store, int r, int k, QByteArrayView text);

// Writes the deletion marker into the Name; every other field stays, so the
// handset entry can still be deleted at the next write.
EditResult deleteEntry(RecordStore& store, int r);
// Empties number k and its type.
EditResult clearNumber(RecordStore& store, int r, int k);
EditResult setNumberType(RecordStore& store, int r, int k, QByteArrayView typeName);
// An empty group clears it.
EditResult setGroup(RecordStore& store, int r, QByteArrayView group);
// A number typed into a new slot k, with its type. An empty text adds
// nothing: the user left the new slot without typing a number.
EditResult addNumber(RecordStore& store, int r, int k, QByteArrayView typeName,
                     QByteArrayView text);

enum class MoveTarget
{
    Memory, // the first free record 1..500
    Sim,    // the first free record 510..600
};
// Copies entry s to the first free record of the target range (which may be
// s's own range) and marks s deleted. No free record: nothing is written and
// the result is empty.
EditResult moveEntry(RecordStore& store, int s, MoveTarget target);
// Moves entry s to First Nine position 1..9 (record 500 + position). An entry
// that holds the position takes s's place in exchange, so that neither is
// lost (result.exchanged names it); a move onto itself does nothing.
EditResult moveToFirstNine(RecordStore& store, int s, int position);

// The same for several entries at once, as one edit. Records that hold no
// live entry are passed over. A move to a range passes over the entries
// already in it; when the range cannot take them all, nothing is written.
EditResult deleteEntries(RecordStore& store, const QList<int>& records);
EditResult moveEntries(RecordStore& store, const QList<int>& records, MoveTarget target);

// Puts number k of r into the clipboard; the store is not touched.
void copyNumber(const RecordStore& store, int r, int k, NumberClipboard& clipboard);
// Puts number k of r into the clipboard and empties it in the record.
EditResult cutNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard);
// Exchanges number k of r with the clipboard's number. An empty clipboard
// does nothing.
EditResult pasteNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard);
// Stores the clipboard's number as number k of r. A number that was there
// goes into the clipboard in exchange, as paste does; otherwise the
// clipboard's number is emptied. An empty clipboard does nothing.
EditResult pasteAsNumber(RecordStore& store, int r, int k, NumberClipboard& clipboard);

} // namespace q7
