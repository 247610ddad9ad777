#pragma once

#include "app/ManagerContext.h"
#include "base/Texts.h"
#include "editing/EditOperations.h"
#include "editing/EntryFilter.h"
#include "editing/MenuRules.h"

#include <QWidget>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace q7 {

class EditHistory;
class NoHandsetNotice;
class PhonebookMenu;
class PhonebookTrees;
class TreeEditor;
struct NodeTarget;

// The phonebook page: its two trees with their context menu, the in-place
// editor, the number clipboard, the undo history and the search field, and
// the buttons the window's other parts work with. Every edit goes to the
// store first and then patches the trees.
class PhonebookPage : public QWidget
{
    Q_OBJECT

public:
    explicit PhonebookPage(const ManagerContext& context, QWidget* parent = nullptr);
    ~PhonebookPage() override;

    // The captions of the page's controls.
    void applyTexts();
    // Once the texts are there: the trees' contents, the menu, the in-place
    // editor and the undo history. transferRunning locks the editing;
    // clipboardPanel shows the number clipboard.
    void createEditing(std::function<bool()> transferRunning, QLabel* clipboardPanel);
    // The window is going: an editor still open would commit into the store.
    void closeEditor();

    QTreeWidget* phonebookTree() const { return TV_Telefonbuch; }
    QTreeWidget* firstNineTree() const { return TV_FirstNine; }
    QPushButton* readButton() const { return Btn_DatenLesen; }
    QPushButton* writeButton() const { return Btn_Datenschreiben; }
    QPushButton* eraseButton() const { return Btn_Loeschen; }
    QPushButton* loadButton() const { return Btn_Datenladen; }
    QPushButton* saveButton() const { return Btn_Datenspeichern; }
    QPushButton* closeButton() const { return Btn_Close; }
    QPushButton* newEntryButton() const { return Btn_NeuerEintrag; }
    QLineEdit* searchField() const { return Edt_Suchen; }
    QProgressBar* progressBar() const { return ProgressBar; }
    // Shown while no handset has answered the search.
    NoHandsetNotice* noHandsetNotice() const { return m_noHandsetNotice; }
    // Ctrl+F: the search field, its text selected.
    void focusSearch();

    PhonebookTrees& trees() { return *m_trees; }
    PhonebookMenu& phonebookMenu() { return *m_menu; }
    TreeEditor& treeEditor() { return *m_treeEditor; }
    const NumberClipboard& numberClipboard() const { return m_clipboard; }
    EditHistory& history() { return *m_history; }

    // RebuildPhonebookTree, then RebuildFirstNineTree, then the search.
    void rebuildTrees();
    // Puts a read or loaded store in place and shows it; the undo history
    // starts anew.
    void takeStore(RecordStore store);
    // The store holds edits recovered from a run that ended by a signal.
    void showRecovered();
    // Every edit of the store reports here what it touched; step names it in
    // the undo items.
    void storeEdited(const EditResult& result);
    void storeEdited(const EditResult& result, TextId step);
    bool hasUnsavedEdits() const;

    // The questions before unsaved edits are lost; true: go ahead.
    bool mayReplaceEdits();
    // phonebookTransfer: a read, write or erase is running.
    bool mayClose(bool phonebookTransfer);
    // Menu, shortcuts and in-place editing are off while a transfer runs.
    void lockEditing(bool locked);

    // PU_Menu_Telefonbuch opens on the selected node of the tree it was
    // asked for in: that tree has the focus, and is the command tree.
    void PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos);
    // The command of an item on the selected node of tree, when it fits that
    // node now; the menu's states of its last opening play no part.
    void runMenuCommand(MenuItem item, QTreeWidget* tree);
    void Btn_NeuerEintragClick();

private:
    void createControls();
    void Edt_SuchenChange(const QString& text);
    void filterPhonebook();

    // Editing in the trees (PhonebookCommands.cpp)
    void connectEditing();
    // Neither a transfer runs nor the in-place editor is open.
    bool editingAllowed() const;
    void showEdited(const EditResult& result, QTreeWidget* commandTree);
    void showUndone(const QList<int>& records);
    void showClipboard();
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

    QWidget* m_window;
    RecordStore* m_store;
    GroupList& m_groups;
    const NumberTypeNames& m_numberTypeNames;
    const LanguageFile& m_languageFile;
    std::function<bool()> m_transferRunning;

    QTreeWidget* TV_FirstNine;
    QTreeWidget* TV_Telefonbuch;
    QGroupBox* GroupBox1;
    QPushButton* Btn_DatenLesen;
    QPushButton* Btn_Datenschreiben;
    QPushButton* Btn_Loeschen;
    QGroupBox* GroupBox2;
    QPushButton* Btn_Datenladen;
    QPushButton* Btn_Datenspeichern;
    QLabel* Label1;
    QPushButton* Btn_Close;
    QPushButton* Btn_NeuerEintrag;
    QLineEdit* Edt_Suchen;
    QProgressBar* ProgressBar;
    NoHandsetNotice* m_noHandsetNotice;
    QLabel* m_clipboardPanel = nullptr;

    std::unique_ptr<PhonebookTrees> m_trees;
    EntryFilter m_filter;
    PhonebookMenu* m_menu = nullptr;
    TreeEditor* m_treeEditor = nullptr;
    EditHistory* m_history = nullptr;
    NumberClipboard m_clipboard;
    QTreeWidget* m_menuTree = nullptr; // the command tree of the menu's last opening
};

} // namespace q7
