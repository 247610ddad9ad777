// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/CsvPhonebook.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "fileio/FileAccess.h"
#include "link/GsmText.h"
#include "phonebook/EntryParser.h"

#include <QStringList>
#include <algorithm>
#include <memory>

namespace q7 {

namespace {

constexpr char kEndOfFile = 26;

// Old editors append byte 26 as an end-of-file mark, some a run of them.
// Only there does it end the file: the export writes handset bytes as they
// are, and 26 is one of them, so anywhere else it is part of a value.
QByteArrayView withoutEndOfFileMark(QByteArrayView data)
{
    qsizetype tail = data.size();
    while (tail > 0 && QByteArrayView(" \t\r\n\x1a").contains(data[tail - 1]))
        --tail;
    const qsizetype mark = data.indexOf(kEndOfFile, tail);
    return mark >= 0 ? data.first(mark) : data;
}

// EConvertError keeps its runtime text; the import adds where it happened.
// The text before the first comma is the whole line when it has none: a
// file that is no phonebook would fill the screen with one message box and
// send its control bytes to q7ctl's terminal. The start of it, printable,
// is enough to find the line.
EConvertError convertErrorInLine(QByteArrayView text, int lineNumber)
{
    constexpr qsizetype kShown = 40;
    QString shown = decodePc(text.first(std::min(text.size(), kShown)));
    for (QChar& c : shown)
        if (!c.isPrint())
            c = u'?';
    if (text.size() > kShown)
        shown += QStringLiteral("...");
    return EConvertError(shown, lineNumber);
}

bool isBlankLine(QByteArrayView line)
{
    for (const char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

void appendQuoted(QByteArray& out, QByteArrayView text)
{
    out += '"';
    out += text;
    out += '"';
}

} // namespace

QByteArray exportCsv(RecordStore& store, bool includeMarkedForDeletion)
{
    QByteArray out;
    for (int r = 1; r <= kRecordCount; ++r) {
        if (store.fieldIsEmpty(r, Speicherplatz))
            continue;
        if (store.isMarkedForDeletion(r) && !includeMarkedForDeletion)
            continue;
        const QByteArray location = QByteArray::number(toInteger(store.field(r, Speicherplatz)));
        store.setField(r, Speicherplatz, location);

        out += location;
        for (int k = Name; k <= Feld18; ++k) {
            out += ',';
            const QByteArray text = store.field(r, k);
            // Field 18 is converted as well, so that it reads back as written.
            appendQuoted(out, k == Gruppe ? text : pcToHandset(text));
        }
        out += "\r\n";
    }
    return out;
}

void writeCsvFile(const QString& path, RecordStore& store, bool includeMarkedForDeletion,
                  FileReaders readers)
{
    // The normalised Speicherplatz texts reach the caller's store only with
    // a complete file; the store is too large for the stack.
    auto staged = std::make_unique<RecordStore>(store);
    const QByteArray content = exportCsv(*staged, includeMarkedForDeletion);

    writeFileAtomically(path, content, readers);
    store = *staged;
}

RecordStore importCsv(const QByteArray& content, const RecordStore& current,
                      QList<int>* repeatedLocations)
{
    RecordStore result = current;
    result.ClearRecords();
    // A file edited by hand can name a location twice; the later line wins,
    // and the caller hears of it, since the earlier entry is not loaded.
    QList<int> linesNaming(kRecordCount + 1, 0);

    const QByteArrayView data = withoutEndOfFileMark(content);
    // Lines end at CR, an LF right after it belongs to the line end. A file
    // from an editor that writes LF alone would otherwise be one long line.
    const bool crLines = data.contains('\r');
    const char lineEnd = crLines ? '\r' : '\n';

    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf(lineEnd, pos);
        if (end < 0)
            end = data.size();
        const QByteArrayView line = data.sliced(pos, end - pos);
        pos = end + 1;
        if (crLines && pos < data.size() && data[pos] == '\n')
            ++pos;
        ++lineNumber;

        if (isBlankLine(line))
            continue;
        const qsizetype comma = line.indexOf(',');
        const QByteArrayView numberText = comma < 0 ? line : line.first(comma);
        const std::optional<int> record = readInteger(numberText);
        if (!record)
            throw convertErrorInLine(numberText, lineNumber);
        if (*record < 1 || *record > kRecordCount)
            throw Q7Error(TextId::Fehler_SpeicherplatzBereich,
                          {QString::number(*record), QString::number(kRecordCount),
                           QString::number(lineNumber)});

        QByteArray reply = " :";
        reply += line;
        reply += '\r';
        parseEntryLine(result, *record, reply);
        result.setField(*record, Speicherplatz, QByteArray::number(*record));
        ++linesNaming[*record];
    }
    if (repeatedLocations) {
        repeatedLocations->clear();
        for (int r = 1; r <= kRecordCount; ++r)
            if (linesNaming[r] > 1)
                repeatedLocations->append(r);
    }
    return result;
}

RecordStore readCsvFile(const QString& path, const RecordStore& current,
                        QList<int>* repeatedLocations)
{
    return importCsv(readWholeFile(path), current, repeatedLocations);
}

QString repeatedLocationsWarning(const QList<int>& locations, const LanguageFile& texts)
{
    QStringList numbers;
    for (int location : locations)
        numbers << QString::number(location);
    return texts.text(TextId::Datei_Operationen_Mehrfach).arg(numbers.join(QStringLiteral(", ")));
}

} // namespace q7
