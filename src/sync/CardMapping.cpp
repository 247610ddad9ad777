// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardMapping.h"

#include "fileio/VcardReader.h"
#include "fileio/VcardWriter.h"
#include "phonebook/PhoneNumbers.h"

#include <QTimeZone>
#include <algorithm>

namespace q7::sync {

namespace {

bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    return colon > 0 && line.first(colon).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

// The property name of a content line: upper case, its group dropped.
QByteArray propertyName(QByteArrayView line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ':' && line[end] != ';')
        ++end;
    QByteArrayView name = line.first(end).trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.sliced(dot + 1);
    return name.toByteArray().toUpper();
}

// The group prefix ("item1.") and the value of a line, the parameters between
// them dropped.
QByteArray groupPrefix(QByteArrayView line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ':' && line[end] != ';')
        ++end;
    const qsizetype dot = line.first(end).lastIndexOf('.');
    return dot < 0 ? QByteArray() : line.first(dot + 1).toByteArray();
}

QByteArray valueOf(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.sliced(i + 1).toByteArray();
    }
    return {};
}

// Reads one content line as the import reads it, so that a type, a charset
// or an encoding means here what it means there.
Contact readLine(const QByteArray& version, const QByteArray& line)
{
    const QList<Contact> contacts = readVcardContacts("BEGIN:VCARD\r\nVERSION:" + version + "\r\n" +
                                                      line + "\r\nEND:VCARD\r\n");
    return contacts.isEmpty() ? Contact() : contacts.front();
}

std::optional<SyncNumber> numberOfLine(const QByteArray& version, const QByteArray& line)
{
    const Contact contact = readLine(version, line);
    if (contact.numbers.isEmpty())
        return std::nullopt;
    const TypedNumber typed = cleanTypedNumber(contact.numbers.front().text.trimmed());
    if (!typed.accepted() || typed.number.isEmpty())
        return std::nullopt; // not a number a handset dials: the card keeps it as it is
    return SyncNumber{typed.number, contact.numbers.front().image};
}

} // namespace

QByteArray revisionStamp(const QDateTime& now)
{
    return now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

CardMapping::CardMapping(QByteArray data, QString category, int countryCode)
    : m_category(std::move(category)), m_countryCode(countryCode)
{
    parse(data);
}

CardMapping CardMapping::newCard(const QString& uid, const QString& category, int countryCode,
                                 const QDateTime& now)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    appendVcardLine(card, "UID:" + vcardText(uid));
    appendVcardLine(card, "REV:" + revisionStamp(now));
    card += "END:VCARD\r\n";
    CardMapping mapping(card, category, countryCode);
    if (!category.isEmpty())
        mapping.m_lines.insert(mapping.endIndex(),
                               mapping.lineOf("CATEGORIES:" + vcardText(category)));
    return mapping;
}

void CardMapping::parse(const QByteArray& data)
{
    m_lines.clear();
    bool softBreak = false;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        end = end < 0 ? data.size() : end + 1;
        const QByteArray raw = data.sliced(pos, end - pos);
        pos = end;
        QByteArray content = raw;
        while (content.endsWith('\n') || content.endsWith('\r'))
            content.chop(1);
        const bool continues = !m_lines.isEmpty() &&
                               (softBreak || content.startsWith(' ') || content.startsWith('\t'));
        if (continues) {
            Line& last = m_lines.last();
            last.raw += raw;
            if (softBreak)
                last.unfolded.chop(1); // the '='
            last.unfolded += softBreak ? content : content.sliced(1);
        } else {
            m_lines.append(Line{raw, propertyName(content), content});
        }
        const QByteArray& unfolded = m_lines.last().unfolded;
        softBreak = unfolded.endsWith('=') && isQuotedPrintable(unfolded);
    }
    if (const qsizetype begin = indexOf("BEGIN"); begin >= 0 && m_lines[begin].raw.endsWith("\n"))
        m_ending = m_lines[begin].raw.endsWith("\r\n") ? "\r\n" : "\n";
    const qsizetype version = indexOf("VERSION");
    m_version = version < 0 ? QByteArray("3.0") : valueOf(m_lines[version].unfolded).trimmed();
    m_data = data;
}

const QByteArray& CardMapping::data() const
{
    m_data.clear();
    for (const Line& line : m_lines)
        m_data += line.raw;
    return m_data;
}

qsizetype CardMapping::indexOf(QByteArrayView name, qsizetype from) const
{
    for (qsizetype i = from; i < m_lines.size(); ++i)
        if (m_lines[i].name == name)
            return i;
    return -1;
}

// Where new lines go: before the card's END, or at the end of a file that
// lacks one.
qsizetype CardMapping::endIndex() const
{
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i)
        if (m_lines[i].name == "END")
            return i;
    return m_lines.size();
}

CardMapping::Line CardMapping::lineOf(const QByteArray& content) const
{
    QByteArray raw;
    appendVcardLine(raw, content, m_ending);
    return Line{raw, propertyName(content), content};
}

QStringList CardMapping::categoriesAt(qsizetype index) const
{
    const Contact contact = readLine(m_version, m_lines[index].unfolded);
    QStringList categories;
    if (contact.group)
        categories << *contact.group;
    for (const VcardNote& note : contact.leftOut)
        if (note.part == VcardNote::GroupPart)
            categories << note.detail;
    return categories;
}

ContactFields CardMapping::fields() const
{
    ContactFields fields;
    const QList<Contact> contacts = readVcardContacts(data());
    if (!contacts.isEmpty())
        fields.name = contacts.front().name;
    for (const Line& line : m_lines)
        if (line.name == "TEL")
            if (const std::optional<SyncNumber> number = numberOfLine(m_version, line.unfolded))
                fields.numbers << *number;
    for (qsizetype i = indexOf("CATEGORIES"); i >= 0 && fields.group.isEmpty();
         i = indexOf("CATEGORIES", i + 1))
        for (const QString& category : categoriesAt(i))
            if (fields.group.isEmpty() && category.compare(m_category, Qt::CaseInsensitive) != 0)
                fields.group = category;
    return fields;
}

QString CardMapping::uid() const
{
    const qsizetype index = indexOf("UID");
    return index < 0 ? QString() : QString::fromUtf8(valueOf(m_lines[index].unfolded)).trimmed();
}

bool CardMapping::inCategory() const
{
    if (m_category.isEmpty())
        return true;
    for (qsizetype i = indexOf("CATEGORIES"); i >= 0; i = indexOf("CATEGORIES", i + 1))
        for (const QString& category : categoriesAt(i))
            if (category.compare(m_category, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

void CardMapping::apply(const ContactFields& to, const QDateTime& now)
{
    const ContactFields from = fields();
    if (sameFields(from, to, m_countryCode))
        return;
    if (from.name != to.name)
        setName(to.name);
    setNumbers(to.numbers);
    if (from.group != to.group)
        setGroup(to.group);
    touchRevision(now);
}

void CardMapping::setName(const QString& name)
{
    const QByteArray charset =
        m_version.startsWith("2") && name.toLatin1() != name.toUtf8() ? ";CHARSET=UTF-8" : "";
    const Line fn = lineOf("FN" + charset + ':' + vcardText(name));
    // The family name is the last word, as the export writes it.
    const QString whole = name.simplified();
    const qsizetype blank = whole.lastIndexOf(u' ');
    const Line n =
        lineOf("N" + charset + ':' + vcardText(blank < 0 ? whole : whole.sliced(blank + 1)) + ';' +
               vcardText(blank < 0 ? QString() : whole.first(blank)) + ";;;");
    const qsizetype version = indexOf("VERSION");
    const qsizetype after = version < 0 ? std::min<qsizetype>(1, m_lines.size()) : version + 1;
    if (const qsizetype at = indexOf("FN"); at >= 0)
        m_lines[at] = fn;
    else
        m_lines.insert(after, fn);
    if (const qsizetype at = indexOf("N"); at >= 0)
        m_lines[at] = n;
    else if (!m_version.startsWith("4"))
        m_lines.insert(indexOf("FN") + 1, n);
}

void CardMapping::setGroup(const QString& group)
{
    // The first line with a category that is not the sync's own holds the group.
    for (qsizetype i = indexOf("CATEGORIES"); i >= 0; i = indexOf("CATEGORIES", i + 1)) {
        QStringList categories = categoriesAt(i);
        const auto groupAt =
            std::find_if(categories.begin(), categories.end(), [&](const QString& c) {
                return c.compare(m_category, Qt::CaseInsensitive) != 0;
            });
        if (groupAt == categories.end())
            continue;
        if (group.isEmpty())
            categories.erase(groupAt);
        else
            *groupAt = group;
        if (categories.isEmpty()) {
            m_lines.removeAt(i);
            return;
        }
        QByteArray value;
        for (const QString& category : std::as_const(categories))
            value += (value.isEmpty() ? "" : ",") + vcardText(category);
        m_lines[i] = lineOf(groupPrefix(m_lines[i].unfolded) + "CATEGORIES:" + value);
        return;
    }
    if (group.isEmpty())
        return;
    // The group leads; a line of the sync's category alone takes it in front.
    if (const qsizetype own = indexOf("CATEGORIES"); own >= 0) {
        QByteArray value = vcardText(group);
        for (const QString& category : categoriesAt(own))
            value += ',' + vcardText(category);
        m_lines[own] = lineOf("CATEGORIES:" + value);
        return;
    }
    m_lines.insert(endIndex(), lineOf("CATEGORIES:" + vcardText(group)));
}

void CardMapping::setNumbers(const QList<SyncNumber>& to)
{
    QList<SyncNumber> missing = to;
    QStringList kept;
    qsizetype lastTel = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].name != "TEL")
            continue;
        const std::optional<SyncNumber> held = numberOfLine(m_version, m_lines[i].unfolded);
        if (!held) {
            lastTel = i;
            continue; // not ours: left as it is
        }
        const QString key = numberKey(held->number, m_countryCode);
        if (kept.contains(key)) {
            lastTel = i;
            continue; // the card's second line of a number: the merge saw it once
        }
        const auto wanted = std::find_if(missing.begin(), missing.end(), [&](const SyncNumber& n) {
            return numberKey(n.number, m_countryCode) == key;
        });
        if (wanted == missing.end()) {
            m_lines.removeAt(i--);
            continue;
        }
        if (wanted->image != held->image) {
            // The number keeps its own spelling; only its type changes.
            const QByteArray& unfolded = m_lines[i].unfolded;
            const QByteArray value = valueOf(unfolded);
            const QByteArray uri =
                value.startsWith("tel:") && m_version.startsWith("4") ? ";VALUE=uri" : "";
            m_lines[i] = lineOf(groupPrefix(unfolded) + "TEL" + uri +
                                vcardTelParameters(wanted->image) + ':' + value);
        }
        missing.erase(wanted);
        kept << key;
        lastTel = i;
    }
    // New numbers follow the last one, or come before the categories.
    const qsizetype categories = indexOf("CATEGORIES");
    qsizetype at = lastTel >= 0 ? lastTel + 1 : categories >= 0 ? categories : endIndex();
    for (const SyncNumber& number : std::as_const(missing)) {
        m_lines.insert(at++, lineOf("TEL" + vcardTelParameters(number.image) + ':' +
                                    vcardText(number.number)));
    }
}

void CardMapping::touchRevision(const QDateTime& now)
{
    if (const qsizetype at = indexOf("REV"); at >= 0) {
        m_lines[at] = lineOf("REV:" + revisionStamp(now));
    }
}

} // namespace q7::sync
