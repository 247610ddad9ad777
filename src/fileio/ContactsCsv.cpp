// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/ContactsCsv.h"

#include "base/PcText.h"
#include "fileio/VcardReader.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace q7 {

namespace {

QString decodeFile(const QByteArray& content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(content.sliced(3));
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(content.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                            : QStringDecoder::Utf16BE);
        return utf16.decode(content.sliced(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(content);
    return utf8.hasError() ? decodePc(content) : text;
}

QStringView firstLine(QStringView text)
{
    const qsizetype end = text.indexOf(u'\n');
    QStringView line = end < 0 ? text : text.first(end);
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

QChar separatorOf(QStringView header)
{
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    qsizetype tabs = 0;
    bool quoted = false;
    for (const QChar ch : header) {
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && ch == u',')
            ++commas;
        else if (!quoted && ch == u';')
            ++semicolons;
        else if (!quoted && ch == u'\t')
            ++tabs;
    }
    if (tabs > commas && tabs > semicolons)
        return u'\t';
    return semicolons > commas ? u';' : u',';
}

// Rows of values: quotes around a value, "" for a quote inside it, line
// breaks inside quotes kept as LF.
QList<QStringList> rowsOf(QStringView text, QChar separator)
{
    QList<QStringList> rows;
    QStringList row;
    QString value;
    bool quoted = false;
    bool rowHasContent = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                value += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else if (ch != u'\r') {
                value += ch;
            }
            continue;
        }
        if (ch == u'"') {
            quoted = true;
            rowHasContent = true;
        } else if (ch == separator) {
            row << value;
            value.clear();
            rowHasContent = true;
        } else if (ch == u'\n') {
            row << value;
            value.clear();
            if (rowHasContent || !row.front().isEmpty())
                rows << row;
            row.clear();
            rowHasContent = false;
        } else if (ch != u'\r') {
            value += ch;
            rowHasContent = true;
        }
    }
    if (rowHasContent || !value.isEmpty()) {
        row << value;
        rows << row;
    }
    return rows;
}

// What a column holds.
enum class Column
{
    Ignored,
    Name,
    Given,
    Additional,
    Family,
    Prefix,
    Suffix,
    Phone,       // its number type from its own name
    GooglePhone, // "Phone 1 - Value", typed by "Phone 1 - Type"
    GoogleType,
    Group,
    Note,
    Email,
    Address,
    Company,
    Other,
};

struct ColumnInfo
{
    Column column = Column::Other;
    int image = kFirstNumberTypeImage;
    QString googleKey; // "phone 1" for a Google phone's value and type
    QString header;
};

bool containsAny(const QString& text, std::initializer_list<const char*> words)
{
    for (const char* word : words)
        if (text.contains(QString::fromUtf8(word)))
            return true;
    return false;
}

// The number type a column's name or a type word gives.
int imageOfWord(const QString& lower)
{
    if (containsAny(lower, {"fax"}))
        return kFirstNumberTypeImage + 4;
    if (containsAny(lower, {"pager", "funkruf"}))
        return kFirstNumberTypeImage + 5;
    if (containsAny(lower, {"mobil", "cell", "handy"}))
        return kFirstNumberTypeImage + 3;
    if (containsAny(lower, {"home", "privat"}))
        return kFirstNumberTypeImage + 1;
    if (containsAny(lower, {"work", "business", "geschäft", "dienst", "büro", "firma", "company"}))
        return kFirstNumberTypeImage + 2;
    return kFirstNumberTypeImage;
}

ColumnInfo classify(const QString& header)
{
    ColumnInfo info;
    info.header = header.trimmed();
    const QString lower = info.header.toLower();
    static const QRegularExpression google(QStringLiteral("^(phone \\d+) - (type|label|value)$"));
    if (const QRegularExpressionMatch match = google.match(lower); match.hasMatch()) {
        info.column = match.captured(2) != u"value" ? Column::GoogleType : Column::GooglePhone;
        info.googleKey = match.captured(1);
        return info;
    }
    const auto is = [&](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (lower == QString::fromUtf8(name))
                return true;
        return false;
    };
    if (is({"name", "display name", "anzeigename", "full name", "vollständiger name", "kontakt",
            "contact"}))
        info.column = Column::Name;
    else if (is({"given name", "first name", "vorname"}))
        info.column = Column::Given;
    else if (is({"additional name", "middle name", "weitere vornamen", "zweiter vorname"}))
        info.column = Column::Additional;
    else if (is({"family name", "last name", "nachname", "surname"}))
        info.column = Column::Family;
    else if (is({"name prefix", "title", "anrede", "titel"}))
        info.column = Column::Prefix;
    else if (is({"name suffix", "suffix", "namenszusatz"}))
        info.column = Column::Suffix;
    else if (is({"group membership", "labels", "categories", "kategorien", "gruppe", "group"}))
        info.column = Column::Group;
    else if (is({"notes", "note", "notizen", "notiz", "bemerkung"}))
        info.column = Column::Note;
    else if (lower.contains(u"mail"))
        info.column = Column::Email;
    else if (containsAny(lower, {"address", "adresse", "street", "straße", "city", "postal", "zip",
                                 "country", "region", "state", "postleitzahl", "ort", "land",
                                 "bundesland"}) &&
             !containsAny(lower, {"phone", "telefon"}))
        info.column = Column::Address;
    else if (containsAny(lower, {"organization", "company", "firma", "organisation"}) &&
             !containsAny(lower, {"phone", "telefon", "main"}))
        info.column = Column::Company;
    else if (containsAny(lower, {"phone", "telefon", "tel.", "mobil", "handy", "fax", "pager",
                                 "number", "nummer", "callback", "rückmeldung", "isdn"}) ||
             is({"tel", "telephone"})) {
        info.column = Column::Phone;
        info.image = imageOfWord(lower);
    }
    return info;
}

QStringList split(const QString& value, const QString& separator)
{
    QStringList parts;
    for (const QString& part : value.split(separator))
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    return parts;
}

QString oneLine(const QString& text)
{
    constexpr qsizetype kShown = 60;
    const QString line = QString(text).replace(u'\n', u' ').simplified();
    return line.size() > kShown ? line.first(kShown) + QStringLiteral("...") : line;
}

Contact contactOf(const QList<ColumnInfo>& columns, const QStringList& row)
{
    static const QString kGoogleSeparator = QStringLiteral(" ::: ");
    Contact contact;
    QString given;
    QString additional;
    QString family;
    QString prefix;
    QString suffix;
    QStringList groups;
    QList<VcardNote> companies;
    for (qsizetype i = 0; i < columns.size() && i < row.size(); ++i) {
        const ColumnInfo& info = columns[i];
        const QString value = row[i].trimmed();
        if (value.isEmpty())
            continue;
        switch (info.column) {
        case Column::Name:
            if (contact.name.isEmpty())
                contact.name = value;
            break;
        case Column::Given:
            given = value;
            break;
        case Column::Additional:
            additional = value;
            break;
        case Column::Family:
            family = value;
            break;
        case Column::Prefix:
            prefix = value;
            break;
        case Column::Suffix:
            suffix = value;
            break;
        case Column::Phone:
            for (const QString& number : split(value, kGoogleSeparator))
                contact.numbers.append({number, info.image, 1000});
            break;
        case Column::GooglePhone: {
            QString type;
            for (qsizetype j = 0; j < columns.size() && j < row.size(); ++j)
                if (columns[j].column == Column::GoogleType &&
                    columns[j].googleKey == info.googleKey)
                    type = row[j].trimmed();
            // Google marks the primary number's type with "* ".
            const bool primary = type.startsWith(u'*');
            for (const QString& number : split(value, kGoogleSeparator))
                contact.numbers.append({number, imageOfWord(type.toLower()), primary ? 1 : 1000});
            break;
        }
        case Column::GoogleType:
        case Column::Ignored:
            break;
        case Column::Group:
            for (const QString& group :
                 split(value,
                       value.contains(kGoogleSeparator) ? kGoogleSeparator : QStringLiteral(";")))
                // "* myContacts" and "* starred" are the address book's own.
                if (!group.startsWith(u'*'))
                    groups << group;
            break;
        case Column::Note:
            if (!contact.note)
                contact.note = QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            else
                contact.leftOut.append({VcardNote::LeftOut, VcardNote::NotePart, oneLine(value)});
            break;
        case Column::Email:
            for (const QString& mail : split(value, kGoogleSeparator))
                contact.leftOut.append({VcardNote::LeftOut, VcardNote::EmailPart, mail});
            break;
        case Column::Address:
            contact.leftOut.append({VcardNote::LeftOut, VcardNote::AddressPart, oneLine(value)});
            break;
        case Column::Company:
            companies.append({VcardNote::LeftOut, VcardNote::CompanyPart, oneLine(value)});
            break;
        case Column::Other:
            contact.leftOut.append({VcardNote::LeftOut, VcardNote::OtherPart,
                                    info.header + QStringLiteral(": ") + oneLine(value)});
            break;
        }
    }
    if (contact.name.isEmpty()) {
        QStringList parts;
        for (const QString& part : {prefix, given, additional, family, suffix})
            if (!part.isEmpty())
                parts << part;
        contact.name = parts.join(u' ');
    }
    if (contact.name.isEmpty() && !companies.isEmpty())
        contact.name = companies.takeFirst().detail;
    contact.leftOut += companies;
    if (!groups.isEmpty())
        contact.group = groups.takeFirst();
    for (const QString& group : groups)
        contact.leftOut.append({VcardNote::LeftOut, VcardNote::GroupPart, group});
    std::stable_sort(
        contact.numbers.begin(), contact.numbers.end(),
        [](const ContactNumber& a, const ContactNumber& b) { return a.preference < b.preference; });
    return contact;
}

bool namesAContact(const QList<ColumnInfo>& columns)
{
    for (const ColumnInfo& info : columns)
        if (info.column == Column::Name || info.column == Column::Given ||
            info.column == Column::Family)
            return true;
    return false;
}

QList<ColumnInfo> headerOf(QStringView text)
{
    QList<ColumnInfo> columns;
    const QList<QStringList> rows = rowsOf(firstLine(text), separatorOf(firstLine(text)));
    if (rows.isEmpty())
        return columns;
    for (const QString& header : rows.front())
        columns << classify(header);
    return columns;
}

} // namespace

bool isContactsCsv(const QByteArray& content)
{
    const QString text = decodeFile(content);
    const QStringView line = firstLine(text);
    // A phonebook line starts with its location, bare.
    static const QRegularExpression location(QStringLiteral("^\\s*\\d+\\s*,"));
    if (location.match(line).hasMatch())
        return false;
    return namesAContact(headerOf(text));
}

QList<Contact> readContactsCsv(const QByteArray& content)
{
    const QString text = decodeFile(content);
    const QList<ColumnInfo> columns = headerOf(text);
    QList<Contact> contacts;
    if (!namesAContact(columns))
        return contacts;
    const QList<QStringList> rows = rowsOf(text, separatorOf(firstLine(text)));
    for (qsizetype i = 1; i < rows.size(); ++i)
        contacts << contactOf(columns, rows[i]);
    return contacts;
}

bool isVcardPath(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0;
}

PhonebookFileFormat phonebookFileFormat(const QString& path, const QByteArray& content,
                                        bool vcardFilterChosen)
{
    QByteArrayView start = content;
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    if (start.trimmed()
            .first(std::min<qsizetype>(11, start.trimmed().size()))
            .toByteArray()
            .toUpper() == "BEGIN:VCARD")
        return PhonebookFileFormat::Vcard;
    if (vcardFilterChosen || isVcardPath(path))
        return PhonebookFileFormat::Vcard;
    return isContactsCsv(content) ? PhonebookFileFormat::ContactsCsv
                                  : PhonebookFileFormat::PhonebookCsv;
}

QList<Contact> readContacts(const QByteArray& content, PhonebookFileFormat format)
{
    switch (format) {
    case PhonebookFileFormat::Vcard:
        return readVcardContacts(content);
    case PhonebookFileFormat::ContactsCsv:
        return readContactsCsv(content);
    case PhonebookFileFormat::PhonebookCsv:
        break;
    }
    return {};
}

} // namespace q7
