// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/Texts.h"
#include "editing/EditOperations.h"
#include "editing/MenuRules.h"
#include "phonebook/NumberTypes.h"

#include <QObject>
#include <functional>
#include <optional>

class QPoint;
class QTreeWidget;

namespace q7 {

class EditHistory;
class GroupList;
class LanguageFile;
class OperationHost;
class PhonebookMenu;
class PhonebookTrees;
class RecordStore;
class StatusPanel;
class TreeEditor;
struct ManagerContext;
struct NodeTarget;

// The commands of the phonebook page's trees: the context menu and its
// shortcuts, the in-place editor, the number clipboard and the undo history.
// The page owns it and hands it the menu's requests; every command edits the
// store first and then tells the page what it touched (edited), which shows
// it in the trees.
class PhonebookCommands : public QObject
{
    Q_OBJECT

public:
    // page parents the menu and the editor; transferRunning locks the
    // editing; clipboardPanel shows the number clipboard.
    PhonebookCommands(const ManagerContext& context, QWidget* page, PhonebookTrees& trees,
                      QTreeWidget* phonebookTree, QTreeWidget* firstNineTree,
                      std::function<bool()> transferRunning, StatusPanel* clipboardPanel);
    // The editor still open would commit into the store; the history goes
    // before the trees and the store its steps point into.
    ~PhonebookCommands() override;

    PhonebookMenu& phonebookMenu() { return *m_menu; }
    TreeEditor& treeEditor() { return *m_treeEditor; }
    const NumberClipboard& numberClipboard() const { return m_clipboard; }
    EditHistory& history() { return *m_history; }

    // The window is going: an editor still open would commit into the store.
    void closeEditor();
    // The text in an open editor goes into the store.
    void finishEditing();
    // Neither a transfer runs nor the in-place editor is open.
    bool editingAllowed() const;
    // Menu, shortcuts and in-place editing are off while a transfer runs.
    void lockEditing(bool locked);

    // PU_Menu_TelefonbuchPopup opens on the selected node of the tree it was
    // asked for in: that tree has the focus, and is the command tree.
    void PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos);
    // The command of an item on the selected node of tree, when it fits that
    // node now; the menu's states of its last opening play no part.
    void runMenuCommand(MenuItem item, QTreeWidget* tree);
    // The position of the First Nine tree a drop at viewportPos lands on: a
    // position's node (held), else the first free one; 0 when none is free.
    int firstNinePositionAt(const QPoint& viewportPos) const;
    // What a drag from source (a tree) dropped at viewportPos of the First
    // Nine tree does: the entry selected in source moves to the position.
    // nullopt where the drop is refused.
    struct DropTarget
    {
        QTreeWidget* tree;
        int record;
        int position;
    };
    std::optional<DropTarget> dropTarget(const QObject* source, const QPoint& viewportPos) const;
    // An entry of either tree (none: the phonebook tree) dropped onto a First
    // Nine position: onto a held one it exchanges places with the entry
    // there, as the menu's move does.
    void dropEntry(int record, int position, QTreeWidget* sourceTree = nullptr);

signals:
    // A command changed the store: result is what it touched, step what the
    // undo items call it, commandTree the tree it was given in.
    void edited(const q7::EditResult& result, q7::TextId step, QTreeWidget* commandTree);
    // An undo or redo put records back; tree is the one the user works in.
    void restored(const QList<int>& records, QTreeWidget* tree);

private:
    void connectEditing();
    // Tells of a command's result, as the step it was started as.
    void showEdited(const EditResult& result, QTreeWidget* commandTree);
    void showUndone(const QList<int>& records);
    void showClipboard();
    // The entries a command for several acts on: the selected ones, or the
    // target's alone when it is not among them.
    QList<int> entriesOf(const NodeTarget& target) const;
    void acceptDrops();
    bool dropOnFirstNine(QEvent* event);
    void moveToPosition(int record, int position, QTreeWidget* commandTree);
    bool TV_TelefonbuchTryEdit(const NodeTarget& target);
    bool TV_FirstNineTryEdit(const NodeTarget& target);
    void TV_TelefonbuchItemChange(const NodeTarget& target, const QString& text);
    void TV_FirstNineItemChange(const NodeTarget& target, const QString& text);
    void storeEditedText(const NodeTarget& target, const QString& text);
    void TV_TelefonbuchClick();
    void TV_FirstNineClick();
    void toggleSelectedNode(QTreeWidget* tree);
    void PM_EditierenClick(const NodeTarget& target);
    void PM_LoeschenClick(const NodeTarget& target);
    void PM_TelefonClick(const NodeTarget& target);
    void PM_HeimClick(const NodeTarget& target);
    void PM_BueroClick(const NodeTarget& target);
    void PM_MobilClick(const NodeTarget& target);
    void PM_FaxClick(const NodeTarget& target);
    void PM_FunkrufClick(const NodeTarget& target);
    void PM_EtcClick(const NodeTarget& target);
    void setNumberType(const NodeTarget& target, int type);
    void PM_GruppeClick(MenuItem item, const NodeTarget& target);
    void PM_VerschiebenaufMEMClick(const NodeTarget& target);
    void PM_VerschiebenaufSIMClick(const NodeTarget& target);
    void PM_FNV_PositionClick(MenuItem item, const NodeTarget& target);
    void PM_HF_NummerClick(MenuItem item, const NodeTarget& target);
    void newNumberClosed(const NodeTarget& target, int k, bool confirmed, const QString& text);
    void PM_KopierenClick(MenuItem item, const NodeTarget& target);
    void PM_EinfuegenClick(const NodeTarget& target);
    void PM_Einfuegenals_NummerClick(MenuItem item, const NodeTarget& target);

    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* m_window;
    OperationHost& m_host;
    QWidget* m_page;
    RecordStore& m_store;
    GroupList& m_groups;
    const NumberTypeNames& m_numberTypeNames;
    const LanguageFile& m_languageFile;
    PhonebookTrees& m_trees;
    QTreeWidget* TV_Telefonbuch;
    QTreeWidget* TV_FirstNine;
    std::function<bool()> m_transferRunning;
    StatusPanel* m_clipboardPanel;

    PhonebookMenu* m_menu = nullptr;
    TreeEditor* m_treeEditor = nullptr;
    EditHistory* m_history = nullptr;
    NumberClipboard m_clipboard;
    QTreeWidget* m_menuTree = nullptr; // the command tree of the menu's last opening
    // What the undo items call the step of the command that runs.
    TextId m_step = TextId::Rueckgaengig_Bearbeiten;
    bool m_showsNotice = false; // the status bar holds the editor's last notice
};

} // namespace q7
