// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/VcardWriter.h"

#include "base/PcText.h"
#include "fileio/FileAccess.h"
#include "fileio/VcardFormat.h"

namespace q7 {

namespace {

constexpr qsizetype kMaxLineOctets = 75;

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

// Text values escape the characters that structure a line.
QByteArray vcardText(const QString& text)
{
    QByteArray out;
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'\\':
            out += "\\\\";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u',':
            out += "\\,";
            break;
        case u';':
            out += "\\;";
            break;
        default:
            out += QString(ch).toUtf8();
        }
    }
    return out;
}

// Folded at 75 octets, never inside a UTF-8 sequence; a continuation line
// starts with a blank that counts towards its 75.
void appendVcardLine(QByteArray& out, QByteArrayView line, QByteArrayView ending)
{
    qsizetype room = kMaxLineOctets;
    while (line.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && isUtf8Continuation(line[cut]))
            --cut;
        out += line.first(cut);
        out += ending;
        out += ' ';
        line = line.sliced(cut);
        room = kMaxLineOctets - 1;
    }
    out += line;
    out += ending;
}

QByteArray vcardTelParameters(int image)
{
    switch (image - kFirstNumberTypeImage) {
    case 1:
        return ";TYPE=home";
    case 2:
        return ";TYPE=work";
    case 3:
        return ";TYPE=cell";
    case 4:
        return ";TYPE=fax";
    case 5:
        return ";TYPE=pager";
    case 6:
        // Etc... has no vCard type; address books see a voice number, we
        // see our own type again.
        return ";TYPE=voice;" + kEtcParameter.toByteArray() + '=' + kEtcValue.toByteArray();
    default:
        return ";TYPE=voice";
    }
}

namespace {

QByteArray escaped(QByteArrayView pcText)
{
    return vcardText(decodePc(pcText));
}

void appendLine(QByteArray& out, QByteArrayView line)
{
    appendVcardLine(out, line);
}

void appendCard(QByteArray& out, const RecordStore& store, int record,
                const NumberTypeNames& typeNames)
{
    appendLine(out, "BEGIN:VCARD");
    appendLine(out, "VERSION:3.0");
    const QByteArray name = escaped(store.field(record, Name));
    appendLine(out, "FN:" + name);
    // The handset keeps the name in one field. Address books sort and show a
    // person by N's family name, so the last word goes there and the words
    // before it are the given names.
    const QByteArray whole = store.field(record, Name).simplified();
    const qsizetype lastBlank = whole.lastIndexOf(' ');
    const QByteArray family = escaped(lastBlank < 0 ? whole : whole.sliced(lastBlank + 1));
    const QByteArray given = lastBlank < 0 ? QByteArray() : escaped(whole.first(lastBlank));
    appendLine(out, "N:" + family + ';' + given + ";;;");
    for (int slot = 1; slot <= 3; ++slot) {
        const QByteArray number = store.field(record, nummerField(slot));
        if (number.isEmpty())
            continue;
        const int image = NumberTypeImage(store.field(record, nummernartField(slot)), typeNames);
        appendLine(out, "TEL" + vcardTelParameters(image) + ':' + escaped(number));
    }
    if (!store.fieldIsEmpty(record, Gruppe))
        appendLine(out, "CATEGORIES:" + escaped(store.field(record, Gruppe)));
    const QByteArray zusatz1 = store.field(record, Zusatz1);
    const QByteArray zusatz2 = store.field(record, Zusatz2);
    if (!zusatz2.isEmpty())
        appendLine(out, "NOTE:" + escaped(zusatz1 + '\n' + zusatz2));
    else if (!zusatz1.isEmpty())
        appendLine(out, "NOTE:" + escaped(zusatz1));
    appendLine(out, "END:VCARD");
}

} // namespace

QByteArray exportVcard(const RecordStore& store, const NumberTypeNames& typeNames)
{
    QByteArray out;
    for (int record = 1; record <= kRecordCount; ++record)
        if (store.isLive(record))
            appendCard(out, store, record, typeNames);
    return out;
}

void writeVcardFile(const QString& path, const RecordStore& store, const NumberTypeNames& typeNames)
{
    writeFileAtomically(path, exportVcard(store, typeNames));
}

} // namespace q7
