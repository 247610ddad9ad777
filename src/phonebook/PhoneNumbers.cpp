// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/PhoneNumbers.h"

#include "base/PcText.h"
#include "phonebook/RecordStore.h"

#include <QStringList>

namespace q7 {

namespace {

bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u'-':
    case u'/':
    case u'.':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case 0x2010: // the typographic hyphens and dashes a word processor puts in
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
        return true;
    default:
        return c.isSpace();
    }
}

bool dials(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'*' || c == u'#' || c == u'p' || c == u'w';
}

// "+49 (0) 171": the bracketed trunk zero of the international notation is
// not dialled after the country code.
QString withoutTrunkZero(QStringView text)
{
    QString s = text.toString();
    if (s.trimmed().startsWith(u'+'))
        s.remove(QStringLiteral("(0)"));
    return s;
}

// The number with separators dropped; refused characters are dropped too, so
// that a comparison never fails on them.
QString dialled(QStringView number)
{
    return cleanTypedNumber(withoutTrunkZero(number)).number;
}

} // namespace

TypedNumber cleanTypedNumber(QStringView text)
{
    TypedNumber result;
    const QString source = withoutTrunkZero(text);
    if (source.size() != text.size())
        result.separated = true;
    for (QChar c : source) {
        const QChar lower = c.toLower();
        if (c == u'+' && result.number.isEmpty())
            result.number.append(c);
        else if (dials(lower))
            result.number.append(lower);
        else if (isSeparator(c))
            result.separated = true;
        else if (!result.refused.contains(c))
            result.refused.append(c);
    }
    return result;
}

QString comparableNumber(QStringView number, int countryCode)
{
    const QString digits = dialled(number);
    const QString own = QString::number(countryCode);
    if (digits.startsWith(u'+'))
        return digits.mid(1).startsWith(own) ? u'0' + digits.mid(1 + own.size()) : digits;
    if (digits.startsWith(QStringLiteral("00")))
        return digits.mid(2).startsWith(own) ? u'0' + digits.mid(2 + own.size())
                                             : u'+' + digits.mid(2);
    return digits;
}

QString nationalNumber(QStringView number, int countryCode)
{
    return comparableNumber(number, countryCode);
}

QString internationalNumber(QStringView number, int countryCode)
{
    const QString national = comparableNumber(number, countryCode);
    if (national.startsWith(u'0') && !national.startsWith(QStringLiteral("00")))
        return u'+' + QString::number(countryCode) + national.mid(1);
    return national;
}

bool sameNumber(QStringView a, QStringView b, int countryCode)
{
    const QString left = comparableNumber(a, countryCode);
    return !left.isEmpty() && left == comparableNumber(b, countryCode);
}

QString numbersLine(const RecordStore& store, int record)
{
    QStringList numbers;
    for (int slot = 1; slot <= 3; ++slot) {
        if (store.fieldIsEmpty(record, nummerField(slot)))
            continue;
        const QString type = decodePc(store.field(record, nummernartField(slot)));
        const QString number = decodePc(store.field(record, nummerField(slot)));
        numbers << (type.isEmpty() ? number : type + u' ' + number);
    }
    return numbers.join(QStringLiteral(", "));
}

} // namespace q7
