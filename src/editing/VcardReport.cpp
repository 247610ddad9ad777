// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/VcardReport.h"

#include "base/LanguageFile.h"

#include <QMap>

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

// One line per card would bury the numbers that went missing under the
// e-mail addresses and birthdays every card carries: what the handset never
// holds is summed up by kind at the end.
bool summedUp(const VcardNote& note)
{
    return (note.kind == VcardNote::LeftOut &&
            (note.part == VcardNote::AddressPart || note.part == VcardNote::EmailPart ||
             note.part == VcardNote::CompanyPart || note.part == VcardNote::OtherPart)) ||
           note.kind == VcardNote::Cleaned;
}

QString noteText(const VcardNote& note, const LanguageFile& texts)
{
    if (note.kind == VcardNote::Refused)
        return texts.text(TextId::Kontakte_Abgelehnt).arg(note.detail, note.extra);
    if (note.kind == VcardNote::Shared)
        return texts.text(TextId::Import_GleicheNummer)
            .arg(note.detail, note.extra, QString::number(note.record));
    const TextId id = note.kind == VcardNote::Cut        ? TextId::vCard_Gekuerzt
                      : note.kind == VcardNote::Replaced ? TextId::vCard_Ersetzt
                                                         : TextId::vCard_Ausgelassen;
    return texts.text(id).arg(partText(note.part, texts), note.detail);
}

// The property's name of an OtherPart detail ("BDAY: 1970-01-01").
QString propertyName(const VcardNote& note)
{
    return note.detail.section(u':', 0, 0).trimmed();
}

// A vCard holds cards; another program's file holds contacts.
QString cardsCount(const VcardImportReport& report, int count, const LanguageFile& texts)
{
    return report.fromContactsFile
               ? texts.count(count, TextId::Import_EinKontakt, TextId::Import_Kontakte)
               : texts.count(count, TextId::Kontakte_EineKarte, TextId::Kontakte_Karten);
}

QString skippedLine(const VcardImportReport& report, const VcardCardReport& card,
                    const LanguageFile& texts)
{
    if (card.firstNumber.isEmpty())
        return texts
            .text(report.fromContactsFile ? TextId::Import_KontaktOhneNameUndNummer
                                          : TextId::vCard_OhneNameUndNummer)
            .arg(card.card);
    return texts
        .text(report.fromContactsFile ? TextId::Import_KontaktOhneName : TextId::vCard_OhneName)
        .arg(QString::number(card.card), card.firstNumber);
}

void appendSummary(const VcardImportReport& report, const LanguageFile& texts, QStringList& lines)
{
    // Cards per kind, each card counted once per kind.
    QMap<int, int> cardsPerPart;
    QStringList otherNames;
    int cleaned = 0;
    for (const VcardCardReport& card : report.cards) {
        QList<int> parts;
        for (const VcardNote& note : card.notes) {
            if (!summedUp(note))
                continue;
            if (note.kind == VcardNote::Cleaned) {
                ++cleaned;
            } else if (note.part == VcardNote::OtherPart) {
                if (const QString name = propertyName(note); !otherNames.contains(name))
                    otherNames << name;
            } else if (!parts.contains(note.part)) {
                parts << note.part;
                ++cardsPerPart[note.part];
            }
        }
    }
    if (cleaned > 0)
        lines << texts.text(TextId::Kontakte_Bereinigt).arg(cleaned);
    if (cardsPerPart.isEmpty() && otherNames.isEmpty())
        return;
    lines << texts.text(TextId::Kontakte_NichtUebernommen);
    for (auto it = cardsPerPart.cbegin(); it != cardsPerPart.cend(); ++it)
        lines << QStringLiteral("    ") +
                     texts.text(TextId::Kontakte_ArtKarten)
                         .arg(partText(static_cast<VcardNote::Part>(it.key()), texts),
                              cardsCount(report, it.value(), texts));
    if (otherNames.size() == 1)
        lines << QStringLiteral("    ") + otherNames.front();
    else if (otherNames.size() > 1)
        lines << QStringLiteral("    ") + texts.text(TextId::Kontakte_Weitere)
                                              .arg(otherNames.front())
                                              .arg(otherNames.size() - 1);
}

} // namespace

QStringList vcardReportLines(const VcardImportReport& report, const LanguageFile& texts)
{
    QStringList lines;
    if (report.cardsFound == 0)
        lines << texts.text(report.fromContactsFile ? TextId::Import_KeinKontakt
                                                    : TextId::vCard_KeineKarte);
    lines << texts.text(TextId::vCard_Angelegt).arg(report.created());
    if (!report.completedRecords.isEmpty())
        lines << texts.text(TextId::Kontakte_Ergaenzt).arg(report.completedRecords.size());
    if (report.alreadyThere > 0)
        lines << texts.text(TextId::Kontakte_Vorhanden).arg(report.alreadyThere);
    const qsizetype counts = lines.size();
    if (report.notImported > 0)
        lines << texts
                     .text(report.fromContactsFile ? TextId::Import_KeinPlatzKontakte
                                                   : TextId::Import_KeinPlatzKarten)
                     .arg(cardsCount(report, report.notImported, texts))
                     .arg(report.firstNotImported);
    for (const VcardCardReport& card : report.cards) {
        if (card.record == 0) {
            lines << skippedLine(report, card, texts);
            continue;
        }
        QStringList cardLines;
        for (const VcardNote& note : card.notes)
            if (!summedUp(note))
                cardLines << QStringLiteral("    ") + noteText(note, texts);
        if (cardLines.isEmpty())
            continue;
        lines << texts.text(report.fromContactsFile ? TextId::Import_Kontakt : TextId::vCard_Karte)
                     .arg(QString::number(card.card), card.name, QString::number(card.record));
        lines += cardLines;
    }
    appendSummary(report, texts, lines);
    // Below the counts an empty report would leave the user wondering
    // whether anything was looked at.
    if (lines.size() == counts && report.cardsFound > 0)
        lines << texts.text(TextId::Import_NichtsZuMelden);
    return lines;
}

} // namespace q7
