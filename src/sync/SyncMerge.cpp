// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/SyncMerge.h"

#include "base/PcText.h"
#include "fileio/Contacts.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhoneNumbers.h"
#include "phonebook/RecordStore.h"

#include <QMap>
#include <algorithm>

namespace q7::sync {

namespace {

constexpr int kGenericImage = kFirstNumberTypeImage; // "Telefon"

// The numbers of a view by their key; a number held twice counts once.
QMap<QString, SyncNumber> byKey(const QList<SyncNumber>& numbers, int countryCode)
{
    QMap<QString, SyncNumber> keyed;
    for (const SyncNumber& number : numbers)
        keyed.insert(numberKey(number.number, countryCode), number);
    return keyed;
}

QString typeText(const std::optional<SyncNumber>& number)
{
    return number ? QStringLiteral("%1 (%2)").arg(number->number).arg(number->image) : QString();
}

std::optional<SyncNumber> numberAt(const QMap<QString, SyncNumber>& keyed, const QString& key)
{
    const auto it = keyed.constFind(key);
    return it == keyed.cend() ? std::nullopt : std::optional<SyncNumber>(*it);
}

bool sameType(const std::optional<SyncNumber>& a, const std::optional<SyncNumber>& b)
{
    return a.has_value() == b.has_value() && (!a || a->image == b->image);
}

std::optional<Side> choiceFor(const MergeContext& context, const QString& key)
{
    if (const auto it = context.choices.constFind(key); it != context.choices.cend())
        return *it;
    return context.prefer;
}

// One text field, each side against its own base. The handset's side of a
// card's value is what a field holds of it.
struct TextMerge
{
    QString handset;
    QString card;
    std::optional<FieldConflict> conflict;
    bool settled = false;
};

TextMerge mergeText(FieldConflict::Field field, const QString& key,
                    const std::optional<QString>& handsetBase,
                    const std::optional<QString>& cardBase, const QString& handset,
                    const QString& card, const MergeContext& context)
{
    TextMerge out{handset, card, std::nullopt};
    const bool handsetChanged = !handsetBase || *handsetBase != handset;
    const bool cardChanged = !cardBase || *cardBase != card;
    // On the first sync an empty field on one side is no value to defend.
    const bool firstSync = !handsetBase && !cardBase;
    if (firstSync && (handset.isEmpty() || card.isEmpty())) {
        out.handset = out.card = handset.isEmpty() ? card : handset;
        out.handset = handsetText(out.handset);
        return out;
    }
    if (handsetChanged && !cardChanged) {
        out.card = handset;
    } else if (cardChanged && !handsetChanged) {
        out.handset = handsetText(card);
    } else if (handsetChanged && cardChanged && handsetText(card) != handset) {
        FieldConflict conflict{field, key, handset, card};
        if (const std::optional<Side> side = choiceFor(context, key)) {
            out.settled = true;
            if (*side == Side::Handset)
                out.card = handset;
            else
                out.handset = handsetText(card);
        }
        out.conflict = conflict;
    }
    return out;
}

// The numbers, each by its key, each side against its own base: one side
// changed a number's type, added or removed it, and the other takes that;
// removed on one side and changed on the other, the change wins.
void mergeNumbers(const std::optional<PairBase>& base, const ContactFields& handset,
                  const ContactFields& card, const MergeContext& context, PairMerge& out)
{
    const int cc = context.countryCode;
    const QMap<QString, SyncNumber> handsetBase =
        base ? byKey(base->handset.numbers, cc) : QMap<QString, SyncNumber>();
    const QMap<QString, SyncNumber> cardBase =
        base ? byKey(base->card.numbers, cc) : QMap<QString, SyncNumber>();
    const QMap<QString, SyncNumber> onHandset = byKey(handset.numbers, cc);
    const QMap<QString, SyncNumber> onCard = byKey(card.numbers, cc);

    QStringList keys = onHandset.keys() + onCard.keys() + handsetBase.keys() + cardBase.keys();
    keys.removeDuplicates();
    QMap<QString, std::optional<SyncNumber>> handsetResult;
    QMap<QString, std::optional<SyncNumber>> cardResult;
    for (const QString& key : std::as_const(keys)) {
        const std::optional<SyncNumber> h = numberAt(onHandset, key);
        const std::optional<SyncNumber> c = numberAt(onCard, key);
        const bool handsetChanged = !sameType(h, numberAt(handsetBase, key));
        const bool cardChanged = !sameType(c, numberAt(cardBase, key));
        std::optional<SyncNumber> toHandset = h;
        std::optional<SyncNumber> toCard = c;
        if (handsetChanged && !cardChanged) {
            toCard = h;
        } else if (cardChanged && !handsetChanged) {
            toHandset = c;
        } else if (handsetChanged && cardChanged && !sameType(h, c)) {
            if (!base && h && c && (h->image == kGenericImage || c->image == kGenericImage)) {
                // Linked now: a plain "Telefon" on one side says less than
                // the other side's type, and is no conflict with it.
                const int image = h->image == kGenericImage ? c->image : h->image;
                toHandset = SyncNumber{h->number, image};
                toCard = SyncNumber{c->number, image};
            } else if (!h || !c) {
                toHandset = toCard = h ? h : c; // the change wins over the removal
            } else {
                const QString conflictKey = QStringLiteral("tel:") + key;
                FieldConflict conflict{FieldConflict::Field::NumberType, conflictKey, typeText(h),
                                       typeText(c)};
                if (const std::optional<Side> side = choiceFor(context, conflictKey)) {
                    if (*side == Side::Handset)
                        toCard = SyncNumber{c->number, h->image};
                    else
                        toHandset = SyncNumber{h->number, c->image};
                    out.settled << conflict;
                } else {
                    out.conflicts << conflict;
                }
            }
        }
        // A side keeps its own spelling of a number it holds.
        if (toHandset && h)
            toHandset->number = h->number;
        if (toCard && c)
            toCard->number = c->number;
        handsetResult.insert(key, toHandset);
        cardResult.insert(key, toCard);
    }

    // The card keeps its order and gains new numbers at the end; the
    // handset keeps the numbers it holds before new ones of their rank.
    const auto ordered = [&](const QList<SyncNumber>& held,
                             const QMap<QString, std::optional<SyncNumber>>& result) {
        QList<SyncNumber> numbers;
        QStringList placed;
        for (const SyncNumber& number : held) {
            const QString key = numberKey(number.number, cc);
            if (!placed.contains(key) && result.value(key)) {
                numbers << *result.value(key);
                placed << key;
            }
        }
        for (const QString& key : std::as_const(keys))
            if (!placed.contains(key) && result.value(key))
                numbers << *result.value(key);
        return numbers;
    };
    out.card.numbers = ordered(card.numbers, cardResult);
    // The numbers the entry holds keep their slots, whatever their rank: the
    // user chose them for the handset. New ones take the slots left, chosen
    // as an import chooses.
    QList<SyncNumber> kept;
    QList<SyncNumber> fresh;
    for (const SyncNumber& number : ordered(handset.numbers, handsetResult))
        (onHandset.contains(numberKey(number.number, cc)) ? kept : fresh) << number;
    out.handset.numbers = kept.mid(0, 3);
    out.handset.numbers += handsetProjection(ContactFields{{}, fresh, {}})
                               .numbers.mid(0, 3 - out.handset.numbers.size());
}

} // namespace

QString numberKey(const QString& number, int countryCode)
{
    return comparableNumber(number, countryCode);
}

QString handsetText(const QString& text)
{
    return decodePc(encodePc(text.normalized(QString::NormalizationForm_C)).left(kFieldWidth));
}

ContactFields handsetProjection(const ContactFields& fields)
{
    ContactFields projected{handsetText(fields.name), {}, handsetText(fields.group)};
    QList<ContactNumber> numbers;
    for (const SyncNumber& number : fields.numbers)
        numbers << ContactNumber{number.number, number.image};
    for (const ContactNumber& number : chooseNumbers(numbers, 3, nullptr))
        projected.numbers << SyncNumber{number.text, number.image};
    return projected;
}

bool sameFields(const ContactFields& a, const ContactFields& b, int countryCode)
{
    if (a.name != b.name || a.group != b.group)
        return false;
    const QMap<QString, SyncNumber> x = byKey(a.numbers, countryCode);
    const QMap<QString, SyncNumber> y = byKey(b.numbers, countryCode);
    if (x.keys() != y.keys())
        return false;
    for (auto it = x.cbegin(); it != x.cend(); ++it)
        if (it->image != y.value(it.key()).image)
            return false;
    return true;
}

PairMerge mergePair(const std::optional<PairBase>& base,
                    const std::optional<ContactFields>& handset,
                    const std::optional<ContactFields>& card, const MergeContext& context)
{
    const int cc = context.countryCode;
    PairMerge out;
    if (!handset || !card) {
        if (!handset && !card) {
            out.outcome = PairMerge::Outcome::Unlinked;
            return out;
        }
        // One side deleted its part: unchanged, the other goes too; changed,
        // the change wins and the deleted part comes back.
        const bool handsetLeft = handset.has_value();
        const bool changed = !base || (handsetLeft ? !sameFields(*handset, base->handset, cc)
                                                   : !sameFields(*card, base->card, cc));
        if (!changed) {
            out.outcome =
                handsetLeft ? PairMerge::Outcome::DeleteHandset : PairMerge::Outcome::DeleteCard;
            return out;
        }
        const ContactFields& kept = handsetLeft ? *handset : *card;
        out.card = kept;
        out.handset = handsetProjection(kept);
        out.restored = handsetLeft ? Side::AddressBook : Side::Handset;
        out.handsetChanges = !handsetLeft;
        out.cardChanges = handsetLeft;
        return out;
    }

    const auto text = [&](FieldConflict::Field field, const QString& key,
                          QString ContactFields::*member) {
        const TextMerge merged = mergeText(
            field, key, base ? std::optional<QString>((base->handset).*member) : std::nullopt,
            base ? std::optional<QString>((base->card).*member) : std::nullopt, (*handset).*member,
            (*card).*member, context);
        out.handset.*member = merged.handset;
        out.card.*member = merged.card;
        if (merged.conflict)
            (merged.settled ? out.settled : out.conflicts) << *merged.conflict;
    };
    text(FieldConflict::Field::Name, QStringLiteral("name"), &ContactFields::name);
    text(FieldConflict::Field::Group, QStringLiteral("group"), &ContactFields::group);
    mergeNumbers(base, *handset, *card, context, out);
    out.handsetChanges = !sameFields(out.handset, *handset, cc);
    out.cardChanges = !sameFields(out.card, *card, cc);
    return out;
}

ContactFields baseAfter(const ContactFields& heldNow, const std::optional<ContactFields>& oldBase,
                        const QList<FieldConflict>& conflicts, int countryCode)
{
    ContactFields base = heldNow;
    for (const FieldConflict& conflict : conflicts) {
        switch (conflict.field) {
        case FieldConflict::Field::Name:
            base.name = oldBase ? oldBase->name : QString();
            break;
        case FieldConflict::Field::Group:
            base.group = oldBase ? oldBase->group : QString();
            break;
        case FieldConflict::Field::NumberType: {
            const QString key = conflict.key.mid(4);
            const std::optional<SyncNumber> old =
                oldBase ? numberAt(byKey(oldBase->numbers, countryCode), key) : std::nullopt;
            for (qsizetype i = base.numbers.size() - 1; i >= 0; --i)
                if (numberKey(base.numbers[i].number, countryCode) == key)
                    base.numbers.removeAt(i);
            if (old)
                base.numbers << *old;
            break;
        }
        }
    }
    return base;
}

} // namespace q7::sync
