// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/AppSettings.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace q7 {

class ClickLabel;
class ColorPanel;
class LanguageFile;
class TComComboBox;
class TComPort;

// The options page: the port with its device, its rate and flow control and
// the button that searches on it, the colours of the trees and the two
// phonebook options.
class OptionsPage : public QWidget
{
    Q_OBJECT

public:
    // trees: the ones that take the page's colours.
    OptionsPage(TComPort& port, const LanguageFile& texts, const QList<QTreeWidget*>& trees,
                QWidget* parent = nullptr);

    void applyTexts();

    bool writeOnlyChanged() const;     // CB_NurGeaenderte
    bool saveDeletionCommands() const; // CB_Loeschbefehle
    bool verifyAfterWrite() const;     // CB_Pruefen
    int snapshotsKept() const { return m_snapshotsKept; }
    PhonebookOptions phonebookOptions() const;
    void setPhonebookOptions(const PhonebookOptions& options);

    // "&Test": a search on the chosen port.
    QPushButton* testButton() const { return Btn_ComTest; }
    // The test button and the port lists: a transfer must not change the
    // port under it.
    QList<QWidget*> portControls() const;

    // The page comes into view: the lists show what the port uses now.
    void TabSheet_OptionenShow();

    // What the last "&Test" or search from this page found, in words under
    // the port's device.
    void showSearchResult(const QString& text);
    QLabel* searchResultLabel() const { return Lbl_Suchergebnis; }

signals:
    // The user chose another entry in the port list; the port uses it already.
    void portChosen();

private:
    void createControls(TComPort& port);
    void showSelectedPortDevice();
    void Lbl_HintergrundfarbeClick();
    void Lbl_SchriftfarbeClick();
    void Lbl_HottrackfarbeClick();
    void pickColor(ColorPanel* panel);
    void applyTreeColors();

    TComPort& m_port;
    const LanguageFile& m_languageFile;
    QList<QTreeWidget*> m_trees;

    QGroupBox* GB_COM_Settings;
    TComComboBox* ComCB_COM;
    QLabel* Lbl_ComGeraet;
    QLabel* Lbl_Suchergebnis;
    TComComboBox* ComCB_BAUD;
    QLabel* Label_Port;
    QLabel* Label_Baud;
    QLabel* Label_Flusskontrolle;
    TComComboBox* ComCB_Fluss;
    QPushButton* Btn_ComTest;
    QGroupBox* GB_TelefonbuchOptionen;
    QCheckBox* CB_NurGeaenderte;
    QCheckBox* CB_Loeschbefehle;
    QCheckBox* CB_Pruefen;
    int m_snapshotsKept = PhonebookOptions().sicherungen; // a setting without a control
    ColorPanel* Panel_Hintergrundfarbe;
    ClickLabel* Lbl_Hintergrundfarbe;
    ColorPanel* Panel_Schriftfarbe;
    ClickLabel* Lbl_Schriftfarbe;
    ColorPanel* Panel_Hottrackfarbe;
    ClickLabel* Lbl_Hottrackfarbe;
};

} // namespace q7
