// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/Warnung.h"

#include "base/LanguageFile.h"
#include "base/ShippedLanguages.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace q7 {

namespace {

QPlainTextEdit* makeMemo(QWidget* parent, const char* name, const QString& text)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setGeometry(8, 8, 473, 337);
    memo->setReadOnly(true);
    // Read with the keyboard's cursor, line by line, as a screen reader does.
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setPlainText(text);
    memo->hide();
    return memo;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 352, 75, 25);
    button->setAutoDefault(false);
    return button;
}

// A profile file holds one line a value: the disclaimer's paragraphs are
// written "\n" there.
QString withLineBreaks(QString text)
{
    return text.replace(QLatin1String("\\n"), QLatin1String("\n"));
}

// Whoever has a language file does not read German: what that file leaves
// out of the disclaimer comes from the English file the program ships, so
// that nobody accepts terms in a language they cannot read.
QString disclaimerText(const LanguageFile& texts, TextId id, bool hasLanguageFile)
{
    if (!hasLanguageFile)
        return defaultText(id);
    const TextEntry& entry = textEntry(id);
    const QString section = QString::fromLatin1(entry.section);
    const QString key = QString::fromLatin1(entry.key);
    const QString english =
        profileString(shippedLanguageFile(kEnglishLanguageFile), section, key, defaultText(id));
    return withLineBreaks(texts.lookup(section, key, english));
}

} // namespace

TFrm_Warnung::TFrm_Warnung(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Frm_Warnung"));
    setWindowTitle(defaultText(TextId::Warnung_Caption));
    setFixedSize(489, 383);
    setModal(true);

    Mem_Warnung_ger = makeMemo(this, "Mem_Warnung_ger", germanText());
    Mem_Warnung_eng = makeMemo(this, "Mem_Warnung_eng", englishText());
    Btn_Akzeptiert =
        makeButton(this, "Btn_Akzeptiert", defaultText(TextId::Warnung_Btn_Akzeptiert), 168);
    Btn_Abgeleht = makeButton(this, "Btn_Abgeleht", defaultText(TextId::Warnung_Btn_Abgeleht), 248);
    Btn_Akzeptiert->setDefault(true);

    connect(Btn_Akzeptiert, &QPushButton::clicked, this, &TFrm_Warnung::Btn_AkzeptiertClick);
    connect(Btn_Abgeleht, &QPushButton::clicked, this, &TFrm_Warnung::Btn_AbgelehtClick);
    setEnglish(false);
}

void TFrm_Warnung::setEnglish(bool english)
{
    showTexts(LanguageFile(), english);
}

void TFrm_Warnung::applyTexts(const LanguageFile& texts)
{
    showTexts(texts, texts.exists());
}

void TFrm_Warnung::showTexts(const LanguageFile& texts, bool hasLanguageFile)
{
    // The German text keeps a memo of its own, so that a German user who
    // drops in a language file sees the other memo, never a mixture.
    Mem_Warnung_eng->setVisible(hasLanguageFile);
    Mem_Warnung_ger->setVisible(!hasLanguageFile);
    if (hasLanguageFile)
        Mem_Warnung_eng->setPlainText(disclaimerText(texts, TextId::Warnung_Text, true));
    setWindowTitle(disclaimerText(texts, TextId::Warnung_Caption, hasLanguageFile));
    Mem_Warnung_ger->setAccessibleName(defaultText(TextId::Warnung_Caption));
    Mem_Warnung_eng->setAccessibleName(windowTitle());
    Btn_Akzeptiert->setText(disclaimerText(texts, TextId::Warnung_Btn_Akzeptiert, hasLanguageFile));
    Btn_Abgeleht->setText(disclaimerText(texts, TextId::Warnung_Btn_Abgeleht, hasLanguageFile));
}

void TFrm_Warnung::Btn_AkzeptiertClick()
{
    accept();
}

void TFrm_Warnung::Btn_AbgelehtClick()
{
    m_declined = true;
    reject();
}

QString TFrm_Warnung::germanText()
{
    return defaultText(TextId::Warnung_Text);
}

QString TFrm_Warnung::englishText()
{
    return disclaimerText(LanguageFile(), TextId::Warnung_Text, true);
}

} // namespace q7
