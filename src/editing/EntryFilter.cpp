#include "editing/EntryFilter.h"

#include "base/PcText.h"

namespace q7 {

QString foldForSearch(QStringView text)
{
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    return folded.toCaseFolded();
}

QString digitsOf(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    return digits;
}

EntryFilter::EntryFilter(QStringView text)
    : m_text(foldForSearch(text.trimmed())), m_digits(digitsOf(text))
{}

bool EntryFilter::matches(const RecordStore& store, int record) const
{
    if (isEmpty())
        return true;
    if (foldForSearch(decodePc(store.field(record, Name))).contains(m_text))
        return true;
    if (m_digits.isEmpty())
        return false;
    for (int k = 1; k <= 3; ++k)
        if (digitsOf(decodePc(store.field(record, nummerField(k)))).contains(m_digits))
            return true;
    return false;
}

} // namespace q7
