#include "phonebook/NumberTypes.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"

namespace q7 {

NumberTypeNames numberTypeNames(const LanguageFile& texts)
{
    static constexpr TextId kTypeTexts[] = {TextId::Nummernart_Telefon, TextId::Nummernart_Heim,
                                            TextId::Nummernart_Buero,   TextId::Nummernart_Mobil,
                                            TextId::Nummernart_Fax,     TextId::Nummernart_Funkruf,
                                            TextId::Nummernart_Etc};
    NumberTypeNames names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = encodePc(texts.text(kTypeTexts[i]));
    return names;
}

NumberTypeNames defaultNumberTypeNames()
{
    return numberTypeNames(LanguageFile());
}

int NumberTypeImage(QByteArrayView typeName, const NumberTypeNames& names)
{
    int image = kUnknownNumberTypeImage;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == typeName)
            image = kFirstNumberTypeImage + static_cast<int>(i);
    return image;
}

} // namespace q7
