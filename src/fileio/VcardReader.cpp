// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/VcardReader.h"

#include "base/PcText.h"
#include "fileio/VcardFormat.h"
#include "phonebook/PhoneNumbers.h"

#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace q7 {

namespace {

// One content line, unfolded: [group.]NAME;params:value.
struct Property
{
    QByteArray name;                             // upper case, group dropped
    QList<QPair<QByteArray, QByteArray>> params; // name upper case, empty for a bare 2.1 value
    QByteArray value;                            // as in the file, still encoded

    QByteArray param(QByteArrayView key) const
    {
        for (const auto& [k, v] : params)
            if (k == key)
                return v;
        return {};
    }
    // TYPE values of every spelling: TYPE=a,b; TYPE="a,b"; TYPE=a;TYPE=b; 2.1's bare ;A;B.
    QList<QByteArray> types() const
    {
        QList<QByteArray> out;
        for (const auto& [k, v] : params)
            if (k == "TYPE" || k.isEmpty())
                for (const QByteArray& t : v.split(','))
                    out.append(t.trimmed().toUpper());
        return out;
    }
    bool hasEncoding(QByteArrayView encoding) const
    {
        return param("ENCODING").toUpper() == encoding || types().contains(encoding);
    }
};

bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    return colon > 0 && line.first(colon).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

// Physical lines end at LF with an optional CR before it. A line starting
// with a blank continues the one before (folding); a quoted-printable line
// ending in '=' continues on the next line whatever it starts with.
QList<QByteArray> logicalLines(QByteArrayView content)
{
    QList<QByteArray> lines;
    bool softBreak = false;
    qsizetype pos = 0;
    while (pos < content.size()) {
        qsizetype end = content.indexOf('\n', pos);
        if (end < 0)
            end = content.size();
        QByteArrayView line = content.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);

        if (softBreak) {
            lines.last().chop(1); // the '='
            lines.last() += line;
        } else if (!lines.isEmpty() && (line.startsWith(' ') || line.startsWith('\t'))) {
            lines.last() += line.sliced(1);
        } else {
            lines.append(line.toByteArray());
        }
        softBreak = lines.last().endsWith('=') && isQuotedPrintable(lines.last());
    }
    return lines;
}

// Splits at `separator` outside double quotes.
QList<QByteArrayView> splitOutsideQuotes(QByteArrayView text, char separator)
{
    QList<QByteArrayView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

std::optional<Property> parseLine(QByteArrayView line)
{
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size() && colon < 0; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon <= 0)
        return std::nullopt;

    Property property;
    const QList<QByteArrayView> head = splitOutsideQuotes(line.first(colon), ';');
    QByteArrayView name = head.front().trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.sliced(dot + 1);
    property.name = name.toByteArray().toUpper();
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QByteArrayView param = head[i].trimmed();
        const qsizetype equals = param.indexOf('=');
        if (equals < 0) {
            property.params.append({QByteArray(), param.toByteArray()});
            continue;
        }
        QByteArray value = param.sliced(equals + 1).toByteArray();
        value.replace('"', QByteArray());
        property.params.append({param.first(equals).trimmed().toByteArray().toUpper(), value});
    }
    property.value = line.sliced(colon + 1).toByteArray();
    return property;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Text as the card says it is coded; without a word, UTF-8 where the bytes
// are UTF-8, else the Windows set that older phones and Outlook write.
QString decodeCharset(const QByteArray& bytes, const QByteArray& charset)
{
    const QByteArray name = charset.toUpper();
    if (name == "ISO-8859-1" || name == "LATIN1" || name == "US-ASCII")
        return QString::fromLatin1(bytes);
    if (name == "WINDOWS-1252" || name == "CP1252")
        return decodePc(bytes);
    if (!name.isEmpty() && name != "UTF-8") {
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError() || name == "UTF-8")
        return text;
    return decodePc(bytes);
}

bool isBinary(const Property& property)
{
    return property.hasEncoding("B") || property.hasEncoding("BASE64");
}

// The value as text, with its line breaks as LF, still escaped.
QString rawText(const Property& property)
{
    const QByteArray bytes = property.hasEncoding("QUOTED-PRINTABLE")
                                 ? decodeQuotedPrintable(property.value)
                                 : property.value;
    QString text = decodeCharset(bytes, property.param("CHARSET"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString unescaped(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n' || next == u'N')
            out += u'\n';
        else if (next == u'\\' || next == u',' || next == u';' || next == u':')
            out += next;
        else
            out += QString(u'\\') + next;
    }
    return out;
}

// Components of a structured value, split where the separator is not escaped.
QStringList components(QStringView text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == separator) {
            parts.append(unescaped(text.sliced(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(unescaped(text.sliced(std::min(start, text.size()))));
    return parts;
}

QString joinNonBlank(const QStringList& parts, QStringView separator)
{
    QStringList kept;
    for (const QString& part : parts)
        if (!part.trimmed().isEmpty())
            kept.append(part);
    return kept.join(separator);
}

bool isBlank(const QString& text)
{
    return text.trimmed().isEmpty();
}

int imageOfTypes(const Property& tel)
{
    const QList<QByteArray> types = tel.types();
    const auto has = [&](QByteArrayView type) { return types.contains(type); };
    if (tel.param(kEtcParameter).compare(kEtcValue, Qt::CaseInsensitive) == 0)
        return kFirstNumberTypeImage + 6;
    if (has("FAX"))
        return kFirstNumberTypeImage + 4;
    if (has("PAGER"))
        return kFirstNumberTypeImage + 5;
    if (has("CELL") || has("MOBILE") || has("IPHONE"))
        return kFirstNumberTypeImage + 3;
    if (has("HOME"))
        return kFirstNumberTypeImage + 1;
    if (has("WORK"))
        return kFirstNumberTypeImage + 2;
    return kFirstNumberTypeImage;
}

int preferenceOf(const Property& tel)
{
    constexpr int kNotPreferred = 1000;
    bool ok = false;
    const int pref = tel.param("PREF").toInt(&ok);
    if (ok)
        return std::clamp(pref, 1, kNotPreferred - 1);
    return tel.types().contains("PREF") ? 1 : kNotPreferred;
}

// Properties that carry nothing a user would miss.
bool isBookkeeping(const QByteArray& name)
{
    static const QList<QByteArray> kNames = {
        "BEGIN", "END",     "VERSION",   "PRODID",     "REV",          "UID",
        "KIND",  "SOURCE",  "NAME",      "PROFILE",    "CLIENTPIDMAP", "SORT-STRING",
        "LABEL", "X-ABUID", "X-ABLABEL", "X-ABSHOWAS",
    };
    return kNames.contains(name) || name.startsWith("X-Q7-");
}

Contact readCard(const QList<Property>& properties)
{
    bool version4 = false;
    for (const Property& p : properties)
        if (p.name == "VERSION")
            version4 = p.value.trimmed().startsWith('4');

    Contact card;
    QString fromN;
    QList<VcardNote> orgs;
    for (const Property& p : properties) {
        if (p.name == "FN") {
            if (card.name.isEmpty() && !isBlank(unescaped(rawText(p))))
                card.name = unescaped(rawText(p));
        } else if (p.name == "N") {
            const QStringList n = components(rawText(p), u';');
            // family; given; additional; prefix; suffix, shown as a person says it
            if (fromN.isEmpty())
                fromN = joinNonBlank({n.value(3), n.value(1), n.value(2), n.value(0), n.value(4)},
                                     u" ");
        } else if (p.name == "ORG") {
            const QString org = joinNonBlank(components(rawText(p), u';'), u", ");
            if (!isBlank(org))
                orgs.append({VcardNote::LeftOut, VcardNote::CompanyPart, org});
        } else if (p.name == "TEL") {
            QString number = unescaped(rawText(p));
            if ((version4 || p.param("VALUE").toUpper() == "URI") &&
                number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
                number.remove(0, 4);
            if (!number.isEmpty())
                card.numbers.append({number, imageOfTypes(p), preferenceOf(p)});
        } else if (p.name == "CATEGORIES") {
            for (const QString& category : components(rawText(p), u',')) {
                if (category.isEmpty())
                    continue;
                if (!card.group)
                    card.group = category;
                else
                    card.leftOut.append({VcardNote::LeftOut, VcardNote::GroupPart, category});
            }
        } else if (p.name == "NOTE") {
            const QString note = unescaped(rawText(p));
            if (!card.note)
                card.note = note;
            else if (!isBlank(note))
                card.leftOut.append({VcardNote::LeftOut, VcardNote::NotePart, noteDetail(note)});
        } else if (p.name == "ADR") {
            card.leftOut.append({VcardNote::LeftOut, VcardNote::AddressPart,
                                 joinNonBlank(components(rawText(p), u';'), u", ")});
        } else if (p.name == "EMAIL") {
            card.leftOut.append(
                {VcardNote::LeftOut, VcardNote::EmailPart, unescaped(rawText(p)).trimmed()});
        } else if (!isBookkeeping(p.name)) {
            QString detail = QString::fromLatin1(p.name);
            if (!isBinary(p) && !isBlank(rawText(p)))
                detail += QStringLiteral(": ") + noteDetail(unescaped(rawText(p)).trimmed());
            card.leftOut.append({VcardNote::LeftOut, VcardNote::OtherPart, detail});
        }
    }

    // The name from FN, else from N, else from the company, which then is
    // not missing.
    if (card.name.isEmpty() && !isBlank(fromN))
        card.name = fromN;
    else if (card.name.isEmpty() && !orgs.isEmpty())
        card.name = orgs.takeFirst().detail;
    card.leftOut += orgs;
    // The preferred number first; the others keep the order of the card.
    std::stable_sort(
        card.numbers.begin(), card.numbers.end(),
        [](const ContactNumber& a, const ContactNumber& b) { return a.preference < b.preference; });
    return card;
}

// The cards of a file, each as its list of properties. Lines outside a card
// are ignored; a card inside a card (2.1's AGENT) belongs to its outer one.
QList<QList<Property>> splitCards(QByteArrayView content)
{
    QList<QList<Property>> cards;
    int depth = 0;
    for (const QByteArray& line : logicalLines(content)) {
        const std::optional<Property> property = parseLine(line);
        if (!property)
            continue;
        const bool vcard = property->value.trimmed().toUpper() == "VCARD";
        if (property->name == "BEGIN" && vcard) {
            if (depth++ == 0)
                cards.append(QList<Property>());
            continue;
        }
        if (property->name == "END" && vcard) {
            if (depth > 0)
                --depth;
            continue;
        }
        if (depth == 1)
            cards.last().append(*property);
    }
    return cards;
}

} // namespace

QList<Contact> readVcardContacts(const QByteArray& content)
{
    QList<Contact> contacts;
    for (const QList<Property>& card : splitCards(content))
        contacts.append(readCard(card));
    return contacts;
}

} // namespace q7
