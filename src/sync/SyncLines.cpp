// SPDX-License-Identifier: GPL-3.0-or-later
// What a sync says to its user: the plan's lines, the conflicts' values and
// the summary.
#include "sync/SyncEngine.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"

namespace q7::sync {

namespace {

QString numbersText(const QList<SyncNumber>& numbers, const NumberTypeNames& typeNames)
{
    QStringList parts;
    for (const SyncNumber& number : numbers)
        parts << decodePc(
                     typeNames[static_cast<std::size_t>(number.image - kFirstNumberTypeImage)]) +
                     u' ' + number.number;
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString SyncRun::fieldLabel(const FieldConflict& conflict) const
{
    switch (conflict.field) {
    case FieldConflict::Field::Name:
        return m_texts.text(TextId::Plan_Name);
    case FieldConflict::Field::Group:
        return m_texts.text(TextId::Plan_Gruppe);
    case FieldConflict::Field::NumberType:
        break;
    }
    return fillIn(m_texts.text(TextId::Plan_Nummer), {conflict.key.mid(4)});
}

// A value of a conflict as the user reads it: a number's type by its name.
QString SyncRun::conflictValue(const FieldConflict& conflict, const SyncItem& item, Side side) const
{
    if (conflict.field != FieldConflict::Field::NumberType)
        return side == Side::Handset ? conflict.handsetValue : conflict.cardValue;
    const std::optional<ContactFields>& fields = side == Side::Handset ? item.handset : item.card;
    for (const SyncNumber& number : fields ? fields->numbers : QList<SyncNumber>())
        if (numberKey(number.number, m_settings.countryCode) == conflict.key.mid(4))
            return numbersText({number}, m_settings.typeNames);
    return {};
}

QStringList SyncRun::cardChangeLines(const SyncItem& item) const
{
    const QString plain = QStringLiteral("  %1: %2");
    switch (item.cardAction) {
    case SyncItem::Action::None:
        return {};
    case SyncItem::Action::New:
        return {plain.arg(m_texts.text(TextId::Abgleich_Neu), item.merge.card.name) +
                QStringLiteral("  ") + numbersText(item.merge.card.numbers, m_settings.typeNames)};
    case SyncItem::Action::Delete:
        return {plain.arg(m_texts.text(TextId::Abgleich_Geloescht), item.name())};
    case SyncItem::Action::Update:
        break;
    }
    const ContactFields& from = *item.card;
    const ContactFields& to = item.merge.card;
    QStringList changes;
    const QString arrow = QStringLiteral("%1 %2 → %3");
    if (from.name != to.name)
        changes << arrow.arg(m_texts.text(TextId::Plan_Name), from.name, to.name);
    if (from.group != to.group)
        changes << arrow.arg(m_texts.text(TextId::Plan_Gruppe), from.group, to.group);
    if (!sameFields({{}, from.numbers, {}}, {{}, to.numbers, {}}, m_settings.countryCode))
        changes << arrow.arg(m_texts.text(TextId::Contexmenu_Nummer),
                             numbersText(from.numbers, m_settings.typeNames),
                             numbersText(to.numbers, m_settings.typeNames));
    return {plain.arg(m_texts.text(TextId::Abgleich_Geaendert), from.name) + QStringLiteral(": ") +
            changes.join(QStringLiteral("; "))};
}

QStringList SyncRun::planLines() const
{
    QStringList lines;
    lines << m_texts.text(TextId::Abgleich_Handy);
    for (const PlanItem& item : m_plan.items)
        if (item.isSent())
            lines << planLine(item, m_store, m_image, m_texts);
    lines << QStringLiteral("  ") + planCounts(m_plan, m_texts);

    lines << fillIn(m_texts.text(TextId::Abgleich_Adressbuch), {m_book.displayName()});
    for (const SyncItem& item : m_items)
        if (!item.leftOut)
            lines << cardChangeLines(item);
    const SyncCounts planned = counts();
    lines << QStringLiteral("  ") +
                 fillIn(m_texts.text(TextId::Abgleich_Summe),
                        {QString::number(planned.cardsNew), QString::number(planned.cardsChanged),
                         QString::number(planned.cardsDeleted)});
    lines << noteLines();
    return lines;
}

// The conflicts, the entries that come back and the cards left out.
QStringList SyncRun::noteLines() const
{
    QStringList lines;
    QStringList leftOut;
    for (const SyncItem& item : m_items) {
        if (item.leftOut) {
            leftOut << item.name();
            continue;
        }
        for (const FieldConflict& conflict : item.merge.conflicts)
            lines << fillIn(m_texts.text(TextId::Abgleich_Konflikt),
                            {item.name(), fieldLabel(conflict),
                             conflictValue(conflict, item, Side::Handset),
                             conflictValue(conflict, item, Side::AddressBook)});
        if (item.merge.restored)
            lines << fillIn(m_texts.text(*item.merge.restored == Side::Handset
                                             ? TextId::Abgleich_ZurueckHandy
                                             : TextId::Abgleich_ZurueckAdressbuch),
                            {item.name()});
    }
    if (!leftOut.isEmpty())
        lines << fillIn(m_texts.text(TextId::Abgleich_KeinPlatz),
                        {leftOut.join(QStringLiteral(", "))});
    return lines;
}

QStringList SyncRun::summaryLines(const SyncResult& result) const
{
    QStringList lines;
    const SyncCounts& done = result.done;
    if (done.inStep() && result.problems.isEmpty() && !result.stopped &&
        result.conflictsLeft == 0) {
        lines << m_texts.text(TextId::Abgleich_Gleichstand);
    } else {
        const QString summe = m_texts.text(TextId::Abgleich_Summe);
        lines << fillIn(
            m_texts.text(TextId::Abgleich_Fertig),
            {fillIn(summe, {QString::number(done.handsetNew), QString::number(done.handsetChanged),
                            QString::number(done.handsetDeleted)}),
             fillIn(summe, {QString::number(done.cardsNew), QString::number(done.cardsChanged),
                            QString::number(done.cardsDeleted)})});
    }
    lines << noteLines();
    if (result.conflictsLeft > 0)
        lines << fillIn(m_texts.text(TextId::Abgleich_KonflikteOffen),
                        {QString::number(result.conflictsLeft)});
    lines << result.problems;
    if (result.stopped)
        lines << m_texts.text(TextId::Abgleich_Angehalten);
    return lines;
}
} // namespace q7::sync
