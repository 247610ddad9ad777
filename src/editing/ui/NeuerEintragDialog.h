// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/NewEntryRules.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QDialog>
#include <QList>
#include <QPair>
#include <array>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace q7 {

class LanguageFile;

// The new entry dialog: a name, a caller group, up to three numbers each with
// its number type, and the range the entry goes to. It only collects what
// was typed; the caller places the entry in the store. It is created for one
// opening and destroyed afterwards.
class TFrm_NeuerEintrag : public QDialog
{
    Q_OBJECT

public:
    // Asked on "&Erstellen" with what was typed; false keeps the dialog open
    // (the caller has told the user why, for instance that the range is full).
    using AcceptEntry = std::function<bool(const NewEntry&)>;

    TFrm_NeuerEintrag(const LanguageFile& texts, const NumberTypeNames& numberTypeNames,
                      const GroupList& groups, QWidget* parent = nullptr);

    void setAcceptEntry(AcceptEntry acceptEntry) { m_acceptEntry = std::move(acceptEntry); }

    // Set from creation on and cleared only by "&Erstellen": every other way
    // of closing the dialog creates nothing.
    bool cancelled() const { return m_cancelled; }
    // What the user typed, in the PC character set; each number's type is
    // the one its button shows.
    NewEntry entry() const;

    QMenu* typeMenu() const { return PU_Symbol; }
    // The glyph button the type menu acts on; nullptr before any was pressed.
    QToolButton* currentTypeButton() const { return m_currentTypeButton; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void applyTexts(const LanguageFile& texts, const NumberTypeNames& numberTypeNames);
    void BitBtn_NummerMouseDown(QToolButton* button, bool rightButton);
    void openTypeMenu(QToolButton* button);
    void fitBottomRow();
    void nameTypeButton(QToolButton* button);
    // Shows what a field says about its text: characters refused or not
    // carried; an empty message when there is nothing to say.
    void say(QWidget* field, const QString& message);
    void PM_NummernArtClick(int type); // 0..6, the order of the number types
    void Btn_ErstellenClick();
    void Btn_AbbruchClick();
    void updateErstellen();

    QGroupBox* GroupBox1;
    QLabel* Label_name;
    QLineEdit* Edt_Name;
    QLabel* Label_gruppe;
    QComboBox* CB_Gruppe;
    std::array<QLabel*, 3> Label_Nummer{};
    std::array<QToolButton*, 3> BitBtn_Nummer{};
    std::array<QLineEdit*, 3> Edt_Nummer{};
    QRadioButton* RB_SIM;
    QRadioButton* RB_Mem;
    QLabel* Lbl_Hinweis; // what a field says about its text
    QPushButton* Btn_Erstellen;
    QPushButton* Btn_Abbruch;
    QMenu* PU_Symbol;
    std::array<QAction*, 7> m_typeItems{};
    std::array<QString, 7> m_typeNames; // as the number type names are now
    QString m_typeButtonName;

    QToolButton* m_currentTypeButton = nullptr;
    // What each field says about its text, the last to speak last.
    QList<QPair<QWidget*, QString>> m_hinweise;
    bool m_cancelled = true;
    AcceptEntry m_acceptEntry;
};

} // namespace q7
