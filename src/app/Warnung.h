#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace q7 {

// The disclaimer shown at the first start and then at every fourth one.
// Declining it ends the program; closing it with the close box goes on as
// accepting does.
class TFrm_Warnung : public QDialog
{
    Q_OBJECT

public:
    explicit TFrm_Warnung(QWidget* parent = nullptr);

    // A language file beside the program means the user does not read
    // German: the English text and buttons then.
    void setEnglish(bool english);
    bool declined() const { return m_declined; }

    static QString germanText();
    static QString englishText();

private:
    void Btn_AkzeptiertClick();
    void Btn_AbgelehtClick();

    QPlainTextEdit* Mem_Warnung_ger;
    QPlainTextEdit* Mem_Warnung_eng;
    QPushButton* Btn_Akzeptiert;
    QPushButton* Btn_Abgeleht;
    bool m_declined = false;
};

} // namespace q7
