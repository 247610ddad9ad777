// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/TextInput.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/PhoneNumbers.h"
#include "phonebook/RecordStore.h"

#include <QLineEdit>
#include <QPointer>

namespace q7 {

QString charactersLostInPcText(QStringView text)
{
    QString lost;
    for (qsizetype i = 0; i < text.size();) {
        // A character outside the Basic Multilingual Plane is two units and
        // one '?'.
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        const QStringView character = text.mid(i, length);
        i += length;
        if (character == u"?" || encodePc(character) != "?")
            continue;
        if (!lost.contains(character))
            lost.append(character);
    }
    return lost;
}

QValidator::State DialNumberValidator::validate(QString& input, int& pos) const
{
    const TypedNumber typed = cleanTypedNumber(input);
    QString refused;
    for (QChar c : typed.refused)
        if (!m_held.contains(c))
            refused.append(c);
    if (!refused.isEmpty()) {
        if (m_refused)
            m_refused(refused);
        return Invalid;
    }
    if (!typed.refused.isEmpty() || !typed.separated)
        return Acceptable; // a held number with its own characters, or clean
    // Separators leave as they come; the cursor keeps its place among the
    // characters that stay.
    const TypedNumber before = cleanTypedNumber(QStringView(input).left(pos));
    input = typed.number;
    pos = int(qMin(before.number.size(), input.size()));
    return Acceptable;
}

void DialNumberValidator::fixup(QString& input) const
{
    const TypedNumber typed = cleanTypedNumber(input);
    if (typed.accepted())
        input = typed.number;
}

void setUpFieldInput(QLineEdit* edit, InputKind kind, const LanguageFile& texts,
                     std::function<void(const QString& message)> say)
{
    // One PC character is one byte of the field, so the field's width is
    // also the number of characters that arrive.
    edit->setMaxLength(kFieldWidth);
    if (kind == InputKind::Number) {
        auto* validator = new DialNumberValidator(edit);
        validator->setHeld(edit->text());
        QPointer<QLineEdit> guarded(edit);
        validator->setRefused([say, guarded, &texts](const QString& characters) {
            if (guarded)
                say(texts.text(TextId::Eingabe_NummerZeichen).arg(characters));
        });
        edit->setValidator(validator);
    }
    QObject::connect(edit, &QLineEdit::textEdited, edit, [say, &texts](const QString& text) {
        const QString lost = charactersLostInPcText(text);
        say(lost.isEmpty() ? QString() : texts.text(TextId::Eingabe_Zeichensatz).arg(lost));
    });
}

} // namespace q7
