// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/EntryFilter.h"

#include "base/PcText.h"
#include "phonebook/PhoneNumbers.h"

namespace q7 {

namespace {

// Letters that no decomposition takes apart but that the tree's collation
// sorts as the letters they are written as: "Weiß" beside "Weiss", "Æsop"
// beside "Aesop". Searched for in lower case, after case folding.
QStringView spelledOut(QChar c)
{
    switch (c.unicode()) {
    case 0x00DF: // ß
    case 0x1E9E: // ẞ
        return u"ss";
    case 0x00E6: // æ
        return u"ae";
    case 0x0153: // œ
        return u"oe";
    case 0x00F8: // ø
        return u"o";
    case 0x0111: // đ
    case 0x00F0: // ð
        return u"d";
    case 0x0142: // ł
        return u"l";
    case 0x00FE: // þ
        return u"th";
    case 0x0131: // ı
        return u"i";
    default:
        return {};
    }
}

} // namespace

QString foldForSearch(QStringView text)
{
    const QString decomposed =
        text.toString().normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (const QStringView spelled = spelledOut(c); !spelled.isEmpty())
            folded.append(spelled);
        else
            folded.append(c);
    }
    return folded;
}

QString digitsOf(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    return digits;
}

EntryFilter::EntryFilter(QStringView text, int countryCode)
    : m_text(foldForSearch(text.trimmed())), m_digits(digitsOf(text)),
      m_comparable(m_digits.isEmpty() ? QString() : comparableNumber(text, countryCode)),
      m_countryCode(countryCode)
{}

bool EntryFilter::matches(const RecordStore& store, int record) const
{
    if (isEmpty())
        return true;
    for (int field : {int(Name), int(Gruppe)})
        if (foldForSearch(decodePc(store.field(record, field))).contains(m_text))
            return true;
    if (m_digits.isEmpty())
        return false;
    for (int k = 1; k <= 3; ++k) {
        const QString number = decodePc(store.field(record, nummerField(k)));
        if (number.isEmpty())
            continue;
        // A '+' stands only at the start of the comparable form, so "+43"
        // finds numbers of that country and no national number with a 43.
        if (digitsOf(number).contains(m_digits) ||
            comparableNumber(number, m_countryCode).contains(m_comparable))
            return true;
    }
    return false;
}

} // namespace q7
