#include "fileio/Vcard.h"

#include "base/LanguageFile.h"

namespace q7 {

namespace {

QString partText(VcardNote::Part part, const LanguageFile& texts)
{
    switch (part) {
    case VcardNote::NamePart:
        return texts.text(TextId::vCard_Name);
    case VcardNote::NumberPart:
        return texts.text(TextId::vCard_Nummer);
    case VcardNote::GroupPart:
        return texts.text(TextId::vCard_Gruppe);
    case VcardNote::NotePart:
        return texts.text(TextId::vCard_Notiz);
    case VcardNote::AddressPart:
        return texts.text(TextId::vCard_Adresse);
    case VcardNote::EmailPart:
        return texts.text(TextId::vCard_EMail);
    case VcardNote::CompanyPart:
        return texts.text(TextId::vCard_Firma);
    case VcardNote::OtherPart:
        break;
    }
    return texts.text(TextId::vCard_Angabe);
}

QString noteText(const VcardNote& note, const LanguageFile& texts)
{
    const TextId id = note.kind == VcardNote::Cut        ? TextId::vCard_Gekuerzt
                      : note.kind == VcardNote::Replaced ? TextId::vCard_Ersetzt
                                                         : TextId::vCard_Ausgelassen;
    return texts.text(id).arg(partText(note.part, texts), note.detail);
}

} // namespace

QStringList vcardReportLines(const VcardImportReport& report, const LanguageFile& texts)
{
    QStringList lines;
    if (report.cardsFound == 0)
        lines << texts.text(TextId::vCard_KeineKarte);
    lines << texts.text(TextId::vCard_Angelegt).arg(report.created());
    if (report.notImported > 0)
        lines << texts.text(TextId::vCard_KeinPlatz)
                     .arg(report.notImported)
                     .arg(report.firstNotImported);
    for (const VcardCardReport& card : report.cards) {
        if (card.record == 0) {
            lines << (card.firstNumber.isEmpty()
                          ? texts.text(TextId::vCard_OhneNameUndNummer).arg(card.card)
                          : texts.text(TextId::vCard_OhneName)
                                .arg(QString::number(card.card), card.firstNumber));
            continue;
        }
        if (card.notes.isEmpty())
            continue;
        lines << texts.text(TextId::vCard_Karte)
                     .arg(QString::number(card.card), card.name, QString::number(card.record));
        for (const VcardNote& note : card.notes)
            lines << QStringLiteral("    ") + noteText(note, texts);
    }
    return lines;
}

} // namespace q7
