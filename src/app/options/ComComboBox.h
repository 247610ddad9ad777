// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

namespace q7 {

class LanguageFile;
class TComPort;

enum TComProperty
{
    cpNone,
    cpPort,
    cpBaudRate,
    cpDataBits,
    cpStopBits,
    cpParity,
    cpFlowControl
};

// A drop-down list of the names one property of a port can take. With
// AutoApply on, the user's choice goes to the port at once; ShowPortValue
// brings the list back to what the port holds, which may have changed
// behind its back (settings restored at start).
class TComComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TComComboBox(QWidget* parent = nullptr);

    void setComPort(TComPort* port);
    // Fills the list with the property's names (the port list is read now,
    // once) and shows the port's value.
    void setComProperty(TComProperty property);
    void setAutoApply(bool on) { m_autoApply = on; }
    // The names the list shows where they are words, not numbers (the flow
    // controls, "Custom" among the baud rates), in the language of texts;
    // the port still gets and gives the names it stores. Null: the stored
    // names themselves. texts must outlive the list.
    void setTexts(const LanguageFile* texts);
    // Rows of a fixed height, in pixels.
    void setItemHeight(int pixels);
    // What stands behind each name, in the order of the list: shown beside
    // the name in the opened list and as its tooltip.
    void setItemDevices(const QStringList& devices);

    // Selects the entry named like the port's current value, ignoring case,
    // or none when no entry matches.
    void ShowPortValue();
    // Gives the selected entry to the port. May throw EComPort when the port
    // is open and refuses the setting.
    void ApplySettings();

    // The name of the bound property's current value.
    QString portValueName() const;
    // The stored name behind a row, whatever the row shows.
    QString nameAt(int index) const;

private:
    void onActivated(int index);
    void showNamesInLanguage();

    TComPort* m_port = nullptr;
    TComProperty m_property = cpNone;
    const LanguageFile* m_texts = nullptr;
    bool m_autoApply = false;
    int m_itemHeight = 0; // 0: the style's
};

} // namespace q7
