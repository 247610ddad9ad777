// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace q7 {

class LanguageFile;

// The disclaimer shown at the first start and then at every fourth one.
// Declining it ends the program; closing it with the close box goes on as
// accepting does.
class TFrm_Warnung : public QDialog
{
    Q_OBJECT

public:
    explicit TFrm_Warnung(QWidget* parent = nullptr);

    // Without a language file the German text; with one, its texts, and
    // for what it leaves out those of the English file the program ships.
    void applyTexts(const LanguageFile& texts);
    // As applyTexts with no language file, or with an empty one.
    void setEnglish(bool english);
    bool declined() const { return m_declined; }

    static QString germanText();
    static QString englishText();

private:
    void showTexts(const LanguageFile& texts, bool hasLanguageFile);
    void Btn_AkzeptiertClick();
    void Btn_AbgelehtClick();

    QPlainTextEdit* Mem_Warnung_ger;
    QPlainTextEdit* Mem_Warnung_eng;
    QPushButton* Btn_Akzeptiert;
    QPushButton* Btn_Abgeleht;
    bool m_declined = false;
};

} // namespace q7
