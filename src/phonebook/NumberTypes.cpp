// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/NumberTypes.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/ShippedLanguages.h"

namespace q7 {

namespace {

constexpr TextId kTypeTexts[] = {TextId::Nummernart_Telefon, TextId::Nummernart_Heim,
                                 TextId::Nummernart_Buero,   TextId::Nummernart_Mobil,
                                 TextId::Nummernart_Fax,     TextId::Nummernart_Funkruf,
                                 TextId::Nummernart_Etc};

NumberTypeNames namesInFile(const QByteArray& content)
{
    NumberTypeNames names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const TextEntry& entry = textEntry(kTypeTexts[i]);
        names[i] =
            encodePc(profileString(content, QString::fromLatin1(entry.section),
                                   QString::fromLatin1(entry.key), defaultText(kTypeTexts[i])));
    }
    return names;
}

int matchingType(QByteArrayView typeName, const NumberTypeNames& names)
{
    int type = -1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == typeName)
            type = static_cast<int>(i);
    return type;
}

// -1: no language knows the name.
int typeOf(QByteArrayView typeName, const NumberTypeNames& names,
           const QList<NumberTypeNames>& otherLanguages)
{
    if (const int type = matchingType(typeName, names); type >= 0)
        return type;
    for (const NumberTypeNames& other : otherLanguages)
        if (const int type = matchingType(typeName, other); type >= 0)
            return type;
    return -1;
}

} // namespace

NumberTypeNames numberTypeNames(const LanguageFile& texts)
{
    NumberTypeNames names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = encodePc(texts.text(kTypeTexts[i]));
    return names;
}

NumberTypeNames defaultNumberTypeNames()
{
    return numberTypeNames(LanguageFile());
}

const QList<NumberTypeNames>& knownNumberTypeNames()
{
    static const QList<NumberTypeNames> known = [] {
        QList<NumberTypeNames> all{defaultNumberTypeNames()};
        for (const QString& name : shippedLanguageFiles())
            all << namesInFile(shippedLanguageFile(name));
        return all;
    }();
    return known;
}

int NumberTypeImage(QByteArrayView typeName, const NumberTypeNames& names,
                    const QList<NumberTypeNames>& otherLanguages)
{
    const int type = typeOf(typeName, names, otherLanguages);
    return type < 0 ? kUnknownNumberTypeImage : kFirstNumberTypeImage + type;
}

QString numberTypeToolTip(QByteArrayView typeName, const NumberTypeNames& names,
                          const QList<NumberTypeNames>& otherLanguages)
{
    const QString stored = decodePc(typeName);
    const int type = typeOf(typeName, names, otherLanguages);
    if (type < 0 || names[static_cast<std::size_t>(type)] == typeName)
        return stored;
    return QStringLiteral("%1 (%2)").arg(stored, decodePc(names[static_cast<std::size_t>(type)]));
}

} // namespace q7
