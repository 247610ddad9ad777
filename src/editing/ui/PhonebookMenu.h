// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/MenuRules.h"
#include "phonebook/NumberTypes.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <array>

class QAction;
class QMenu;
class QShortcut;
class QWidget;

namespace q7 {

class LanguageFile;

// PU_Menu_Telefonbuch, the context menu of both trees: every item of its
// layout with its caption (taken from the language file by applyTexts),
// shortcut and image. It knows nothing of nodes or records: the window
// prepares a MenuState for the selected node and applies it at each opening,
// and gets back which item was chosen.
//
// The shortcuts do not belong to the menu's items: an item hidden or disabled
// by the last opening must not hold its shortcut back, since each command
// checks at the moment it is given whether it fits. Each tree gets a copy of
// every shortcut, live while that tree has the focus.
class PhonebookMenu : public QObject
{
    Q_OBJECT

public:
    explicit PhonebookMenu(QWidget* parent = nullptr);
    ~PhonebookMenu() override;

    // The items' captions before any opening has set its own.
    void applyTexts(const LanguageFile& texts, const NumberTypeNames& typeNames);

    QMenu* menu() const { return m_menu; }
    QAction* action(MenuItem item) const { return m_actions[static_cast<int>(item)]; }
    // "PM_Editieren" and so on: the item's name, also its action's objectName.
    static const char* nameOf(MenuItem item);
    // The key the menu shows beside the item.
    static QKeySequence shortcutOf(MenuItem item);
    // That key and any other that gives the command: Ctrl+C, Ctrl+X and
    // Ctrl+V besides the Insert-key ones of copy, cut and paste.
    static QList<QKeySequence> shortcutsOf(MenuItem item);

    // Visibility, enabled state, check mark and the captions of this opening.
    void apply(const MenuState& state);

    void addShortcutsTo(QWidget* tree);
    // Off while the in-place editor is open (its keys are the editor's then)
    // and while a transfer runs.
    void setShortcutsEnabled(bool enabled);

signals:
    // An item was chosen in the open menu.
    void chosen(q7::MenuItem item);
    // A shortcut was pressed while tree had the focus.
    void shortcutPressed(q7::MenuItem item, QWidget* tree);

private:
    void build();
    void addShortcut(QWidget* tree, MenuItem item, const QKeySequence& key);

    QMenu* m_menu;
    std::array<QAction*, kMenuItemCount> m_actions{};
    QList<QShortcut*> m_shortcuts;
    bool m_shortcutsEnabled = true;
};

} // namespace q7
