// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ManagerContext.h"
#include "app/phonebook/PhonebookCommands.h"
#include "base/Texts.h"
#include "editing/EditOperations.h"
#include "editing/EntryFilter.h"
#include "editing/MenuRules.h"
#include "link/PortFailureText.h"
#include "phonebook/WritePlan.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace q7 {

class ClickLabel;
class EditHistory;
class NoHandsetNotice;
class PhonebookMenu;
class PhonebookTrees;
class TreeEditor;

// The phonebook page: its two trees, the search field, the new entry dialog
// and the buttons the window's other parts work with. The trees' context
// menu, in-place editor, number clipboard and undo history are its commands'
// (PhonebookCommands).
class PhonebookPage : public QWidget
{
    Q_OBJECT

public:
    // transferRunning locks the editing; clipboardPanel shows the number
    // clipboard.
    PhonebookPage(const ManagerContext& context, std::function<bool()> transferRunning,
                  StatusPanel* clipboardPanel, QWidget* parent = nullptr);
    ~PhonebookPage() override;

    // The captions of the page's controls and of the trees' popup menu.
    void applyTexts();
    // The window is going: an editor still open would commit into the store.
    void closeEditor();

    QTreeWidget* phonebookTree() const { return TV_Telefonbuch; }
    QTreeWidget* firstNineTree() const { return TV_FirstNine; }
    QPushButton* newEntryButton() const { return Btn_NeuerEintrag; }
    QPushButton* printButton() const { return Btn_Drucken; }
    QPushButton* syncButton() const { return Btn_Abgleichen; }
    QLineEdit* searchField() const { return Edt_Suchen; }
    QProgressBar* progressBar() const { return ProgressBar; }
    // Shown while no handset has answered the search.
    NoHandsetNotice* noHandsetNotice() const { return m_noHandsetNotice; }
    // The notice takes the place of the tidying buttons below the file
    // operations while no handset has answered.
    void showNoHandsetNotice(bool shown);
    // After a search: the notice shows, with why the port did not open
    // (cause) or that nothing answered on it, unless the handset was found.
    void showSearchResult(bool found, std::optional<PortFailureCause> cause, const QString& port);

    // What the transfers work with. The controls that talk to the handset
    // (read, write, erase, sync): locked while any transfer runs, enabled
    // once a handset has answered.
    QList<QWidget*> handsetControls() const;
    // The controls that change or replace the store (load, save, new entry,
    // duplicates, one number form): locked while the handset's phonebook is
    // read or written.
    QList<QWidget*> storeControls() const;
    // "Anhalten" offered while a read, write or erase runs; once pressed
    // (stopRequested) it stays in sight, disabled, until the run is over.
    void offerStop(bool offered);
    void stopTaken();
    // Where the progress bar stands: the record a run is at, of how many.
    int progressValue() const;
    int progressMaximum() const;
    // The caption of "Daten speichern" as the page shows it, for questions
    // that name the button.
    QString saveCaption() const;
    // Ctrl+F: the search field, its text selected.
    void focusSearch();
    // The user's own country, for finding a number in either form.
    void setCountryCode(int countryCode);

    PhonebookTrees& trees() { return *m_trees; }
    // The trees' commands: menu, in-place editor, clipboard, undo history.
    PhonebookCommands& commands() { return *m_commands; }
    PhonebookMenu& phonebookMenu() { return m_commands->phonebookMenu(); }
    TreeEditor& treeEditor() { return m_commands->treeEditor(); }
    const NumberClipboard& numberClipboard() const { return m_commands->numberClipboard(); }
    EditHistory& history() { return m_commands->history(); }

    // RebuildPhonebookTree, then RebuildFirstNineTree, then the search.
    void rebuildTrees();
    // Puts a read or loaded store in place and shows it; the undo history
    // starts anew. by: a file stands for the whole handset, a read does not.
    void takeStore(RecordStore store, Replacement by = Replacement::None);
    // What last replaced the window's phonebook, until a write has put it
    // on the handset or a read replaced it: only then does a write delete
    // what the window does not name.
    Replacement replacedBy() const { return m_replacedBy; }
    void setReplacedBy(Replacement by) { m_replacedBy = by; }
    // The store holds edits recovered from a run that ended by a signal.
    void showRecovered();
    // The one way from an edit of the store to the window, whatever made it
    // (a command of the trees, the new entry dialog, an import, duplicates,
    // the number form, a snapshot, the handset's entries taken in): it
    // becomes one undo step, named step; then the trees show what it
    // touched, and the group names take in new ones. The selection of
    // commandTree (none: the phonebook tree) stays on its node.
    void applyEdit(const EditResult& result, TextId step, QTreeWidget* commandTree = nullptr);
    // Edits since the last read, import, write or export, or entries the
    // handset as last seen lacks or holds otherwise: what closing, reading
    // or loading would lose. The title's "*" follows it too.
    bool hasUnsavedEdits() const;
    int entriesUnlikeHandset() const;

    // The questions before unsaved edits are lost; true: go ahead.
    bool mayReplaceEdits();
    // phonebookTransfer: a read, write or erase is running.
    bool mayClose(bool phonebookTransfer);
    // "Daten speichern" as closing offers it for note lines only the window
    // holds; true when the file was written.
    void setSaveToFile(std::function<bool()> save) { m_saveToFile = std::move(save); }
    // Menu, shortcuts and in-place editing are off while a transfer runs.
    void lockEditing(bool locked);

    // PU_Menu_Telefonbuch opens on the selected node of the tree it was
    // asked for in: that tree has the focus, and is the command tree.
    void PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos);
    // The command of an item on the selected node of tree, when it fits that
    // node now; the menu's states of its last opening play no part.
    void runMenuCommand(MenuItem item, QTreeWidget* tree);
    void Btn_NeuerEintragClick();
    // "Doppelte Einträge…" and "Nummern vereinheitlichen…": one undo step
    // per merge, one for all the numbers.
    void Btn_DoppelteClick();
    void Btn_VereinheitlichenClick();
    // "Sicherungen": a snapshot of the handset back into the window.
    void Btn_SicherungenClick();
    // "Drucken…" (Ctrl+P): the phone list in the print preview.
    void Btn_DruckenClick();

signals:
    // "Anhalten" was pressed: the run ends after the record it is on.
    void stopRequested();
    // The page's buttons for what the window's other parts do.
    void readRequested();
    void writeRequested();
    void eraseRequested();
    void loadRequested();
    void saveRequested();
    void syncRequested();
    void newEntryRequested();
    void closeRequested();
    // The about line was clicked.
    void aboutRequested();
    // The notice's way to the port settings.
    void optionsRequested();

private:
    void createControls();
    // Asks editsQuestion after edits, else the question naming the entries
    // the handset lacks, else nothing; true: go ahead.
    bool askBeforeLoss(TextId editsQuestion);
    bool askYesNo(const QString& question);
    // Note lines the handset dropped at a write: save them first? Closes
    // (true) or stays (false) when the answer decides; none: ask on.
    std::optional<bool> askAboutNotes();
    // The nodes of records, or both trees built anew where most of them
    // changed.
    void showInTrees(const QList<int>& records, const QList<EntryMove>& moves,
                     QTreeWidget* commandTree);
    void Edt_SuchenChange(const QString& text);
    void filterPhonebook();
    void enterResults();

    ManagerContext m_context;
    QWidget* m_window;
    RecordStore* m_store;
    GroupList& m_groups;
    const NumberTypeNames& m_numberTypeNames;
    const LanguageFile& m_languageFile;

    QTreeWidget* TV_FirstNine;
    QTreeWidget* TV_Telefonbuch;
    QGroupBox* GroupBox1;
    QPushButton* Btn_DatenLesen;
    QPushButton* Btn_Datenschreiben;
    QPushButton* Btn_Loeschen;
    QGroupBox* GroupBox2;
    QPushButton* Btn_Datenladen;
    QPushButton* Btn_Datenspeichern;
    ClickLabel* Label1;
    QPushButton* Btn_Close;
    QPushButton* Btn_NeuerEintrag;
    QPushButton* Btn_Doppelte;
    QPushButton* Btn_Vereinheitlichen;
    QPushButton* Btn_Anhalten;
    QPushButton* Btn_Abgleichen;
    QPushButton* Btn_Sicherungen;
    QPushButton* Btn_Drucken;
    QLineEdit* Edt_Suchen;
    QProgressBar* ProgressBar;
    NoHandsetNotice* m_noHandsetNotice;

    std::unique_ptr<PhonebookTrees> m_trees;
    EntryFilter m_filter;
    int m_countryCode = kDefaultCountryCode;
    PhonebookCommands* m_commands;
    Replacement m_replacedBy = Replacement::None;
    std::function<bool()> m_saveToFile;
};

} // namespace q7
