// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QValidator>
#include <functional>

class QLineEdit;

namespace q7 {

class LanguageFile;

// The characters of text that the PC character set cannot hold and that a
// record would store as '?', each once, in order of appearance.
QString charactersLostInPcText(QStringView text);

// What may be typed or pasted as a number: the characters a handset dials.
// Separators are taken out as they come ("0171-555 66 77" becomes
// "01715556677"); any other character is refused and the field keeps what it
// had. Characters the number already held when the editor opened stay
// allowed: what the handset or a file holds is kept as it is.
class DialNumberValidator : public QValidator
{
public:
    // Told the refused characters whenever an input is refused.
    using Refused = std::function<void(const QString& characters)>;

    explicit DialNumberValidator(QObject* parent = nullptr) : QValidator(parent) {}

    void setHeld(const QString& held) { m_held = held; }
    void setRefused(Refused refused) { m_refused = std::move(refused); }

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    QString m_held;
    Refused m_refused;
};

// Sets a line edit up for one field of a record: no more characters than the
// field keeps, and for a number the rule above. Whenever the text holds
// characters the PC character set lacks, or a number refuses some, `say` is
// given the message to show, in the language of texts; an empty message
// when the text is fine again.
enum class InputKind
{
    Text,
    Number,
};
void setUpFieldInput(QLineEdit* edit, InputKind kind, const LanguageFile& texts,
                     std::function<void(const QString& message)> say);

} // namespace q7
