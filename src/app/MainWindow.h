#pragma once

#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "editing/EditOperations.h"
#include "editing/EntryFilter.h"
#include "editing/MenuRules.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"

#include <QDir>

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QUndoStack;

namespace q7 {

class ClickLabel;
class ColorPanel;
class CommandExchange;
class PhonebookMenu;
class PhonebookTrees;
class TreeEditor;
struct NodeTarget;
class TComComboBox;
class TComPort;

// The main window: the phonebook page with its two trees and buttons, the
// options page, and the frame of the program's run from the start tick to
// the saving of the settings. It owns everything that lives as long as the
// program: the record store, the group list, the number type names, the
// language file, the port and the command exchange.
class TFrm_Q7_Manager : public QWidget, public OperationHost
{
    Q_OBJECT

public:
    explicit TFrm_Q7_Manager(QWidget* parent = nullptr);
    // Reads the language file at languageFilePath instead of the one beside
    // the program.
    explicit TFrm_Q7_Manager(const QString& languageFilePath, QWidget* parent = nullptr);
    ~TFrm_Q7_Manager() override;

    RecordStore& recordStore() { return *m_store; }
    GroupList& groupList() { return m_groups; }
    const NumberTypeNames& numberTypeNames() const { return m_numberTypeNames; }
    const LanguageFile& languageFile() const { return m_languageFile; }
    TComPort& comPort() { return *m_comPort; }
    CommandExchange& exchange() { return *m_exchange; }
    PhonebookTrees& trees() { return *m_trees; }
    // The program key, open from the start tick to the end; null before.
    QSettings* settings() { return m_settings.get(); }

    // The options of the options page, as the operations use them.
    bool writeOnlyChanged() const;     // CB_NurGeaenderte
    bool saveDeletionCommands() const; // CB_Loeschbefehle
    PhonebookOptions phonebookOptions() const;
    // The filter of OpenDialog and SaveDialog in the Windows form
    // "Description|*.csv"; the dialogs' default extension is "csv".
    const QString& openDialogFilter() const { return m_openDialogFilter; }
    const QString& saveDialogFilter() const { return m_saveDialogFilter; }

    // Every edit of the store reports what it touched here: it becomes one
    // undo step, and closing, reading and loading know that something would
    // be lost.
    void storeEdited(const EditResult& result);
    // The store differs from what the last successful read, import, write or
    // export left (undoing every edit since then leaves nothing unsaved).
    bool hasUnsavedEdits() const;
    QUndoStack* undoStack() const { return m_undoStack; }
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    // A termination signal is ending the program: unsaved edits go to the
    // recovery file instead of being lost.
    void markEndingBySignal() { m_endingBySignal = true; }
    bool hasShutDown() const { return m_shutDown; }

    // RebuildPhonebookTree, then RebuildFirstNineTree.
    void rebuildTrees();
    // Puts a read or imported store in place and shows it; the undo history
    // starts anew.
    void takeStore(RecordStore store);

    // 0: the status texts; 1: the number clipboard.
    QLabel* statusPanel(int index) const;

    // True while a search or a transfer runs (a TransferGuard is alive).
    bool transferRunning() const { return m_transferDepth > 0; }
    // Enables a control now, or, while a transfer holds it disabled, once
    // the transfer ends.
    void setControlEnabled(QWidget* control, bool enabled);

    // OperationHost
    void showStatus(const QString& text) override;
    void setProgress(int value) override;
    bool retryLostLink(const QString& message) override;
    void setBusy(bool busy) override;
    void handsetFound() override;

signals:
    // The start tick has run: counter, settings, disclaimer.
    void startupFinished();
    void searchStarted();
    void searchFinished(bool found);
    // The window has closed: settings saved, port closed.
    void shutDown();

public slots:
    void Btn_DatenLesenClick();
    void Btn_DatenschreibenClick();
    void Btn_LoeschenClick();
    void Btn_DatenladenClick();
    void Btn_DatenspeichernClick();
    void Btn_NeuerEintragClick();
    void Btn_ComTestClick();
    void Btn_CloseClick();

    // --- Editing in the trees (MainWindowEditing.cpp) ---
    PhonebookMenu& phonebookMenu() { return *m_menu; }
    TreeEditor& treeEditor() { return *m_treeEditor; }
    const NumberClipboard& numberClipboard() const { return m_clipboard; }
    // PU_Menu_Telefonbuch opens on the selected node of the tree it was asked
    // for in: that tree has the focus, and is the command tree.
    void PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos);
    // The command of an item on the selected node of tree, when it fits that
    // node now; the menu's states of its last opening play no part.
    void runMenuCommand(MenuItem item, QTreeWidget* tree);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TransferGuard;

    void FormCreate();
    void createPhonebookPage(QWidget* page);
    void createOptionsPage(QWidget* page);
    void createStatusBar();
    // The window may grow: the phonebook tree takes the room.
    void anchorToEdges();
    void Edt_SuchenChange(const QString& text);
    void filterPhonebook();
    void applyTexts();

    void StartTimerTimer();
    void SuchTimerTimer();
    void TabSheet_OptionenShow();
    void showSelectedPortDevice();
    void Lbl_HintergrundfarbeClick();
    void Lbl_SchriftfarbeClick();
    void Lbl_HottrackfarbeClick();

    void loadSettings();
    void saveSettings();
    bool showDisclaimer(); // false: declined
    void pickColor(ColorPanel* panel);
    void applyTreeColors();
    void runSearch(bool closePortFirst);

    // Read, write, erase and import change the store; these stay disabled
    // besides the port's controls while one of them runs.
    QList<QWidget*> storeControls() const;
    // Puts a read or imported store in place and shows it.
    void importVcardFile(const QString& path);
    // Runs a write or an erase with the store's controls locked; whatever
    // the handset refused is named afterwards, also when the run stopped.
    void runTransfer(TransferResult::Operation operation,
                     const std::function<void(TransferResult&)>& run);
    // After a failure: nothing runs any more, and the bars say so.
    void showIdle();
    // The handset drops the additional text lines of the entries it is
    // sent; true when there are none or the user agrees to lose them.
    bool noteLinesMayGo();
    // Empty when the user cancelled; remembers the folder for next time.
    QString chooseFile(bool forSaving, TextId title);
    void FormDestroy();

    // Editing in the trees (MainWindowEditing.cpp)
    void createEditing();
    // Neither a transfer runs nor the in-place editor is open.
    bool editingAllowed() const;
    // Menu, shortcuts and in-place editing are off while a transfer runs.
    void lockEditing(bool locked);
    // The questions before unsaved edits are lost; true: go ahead.
    bool mayReplaceEdits();
    bool mayClose();
    void showEdited(const EditResult& result, QTreeWidget* commandTree);
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

    // TransferGuard
    QList<QWidget*> transferLockedControls() const;
    void beginTransfer(const QList<QWidget*>& alsoLocked);
    void endTransfer();

    std::unique_ptr<RecordStore> m_store;
    GroupList m_groups;
    NumberTypeNames m_numberTypeNames;
    LanguageFile m_languageFile;
    std::unique_ptr<TComPort> m_comPort;
    std::unique_ptr<CommandExchange> m_exchange;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<PhonebookTrees> m_trees;
    QString m_lastFolder = QDir::homePath();
    QString m_openDialogFilter;
    QString m_saveDialogFilter;

    QTimer* StartTimer;
    QTimer* SuchTimer;

    QTabWidget* PageControl;
    QWidget* TabSheet_Telefonbuch;
    QWidget* TabSheet_Optionen;
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
    EntryFilter m_filter;
    QProgressBar* ProgressBar;

    QGroupBox* GB_COM_Settings;
    TComComboBox* ComCB_COM;
    QLabel* Lbl_ComGeraet;
    TComComboBox* ComCB_BAUD;
    QLabel* Label_Flusskontrolle;
    TComComboBox* ComCB_Fluss;
    QPushButton* Btn_ComTest;
    QGroupBox* GB_TelefonbuchOptionen;
    QCheckBox* CB_NurGeaenderte;
    QCheckBox* CB_Loeschbefehle;
    ColorPanel* Panel_Hintergrundfarbe;
    ClickLabel* Lbl_Hintergrundfarbe;
    ColorPanel* Panel_Schriftfarbe;
    ClickLabel* Lbl_Schriftfarbe;
    ColorPanel* Panel_Hottrackfarbe;
    ClickLabel* Lbl_Hottrackfarbe;

    QStatusBar* StatusBar;
    QLabel* m_statusPanels[2];

    bool m_settingsLoaded = false; // only loaded settings are ever written back
    bool m_shutDown = false;
    bool m_endingBySignal = false;
    bool m_closePending = false; // closing waits for the running transfer to unwind
    bool m_busy = false;
    // Undo: every edit since the last read, import or write is a step. The
    // base is the store as the steps leave it, so a step can keep the bytes
    // its records had before it.
    void createUndo();
    void updateUndoActions();
    void showUndone(const QList<int>& records);
    // A read, an import or a write replaces the store or the handset: the
    // steps before it no longer apply. saved: the store now matches what it
    // was taken from or written to.
    void startHistory(bool saved);
    // An export keeps the history; the store as it is now is saved.
    void markSaved();
    std::unique_ptr<RecordStore> m_undoBase;
    QUndoStack* m_undoStack = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    TextId m_editStep = TextId::Rueckgaengig_Bearbeiten; // what the next step is called
    bool m_unsavedBeforeHistory = false;                 // edits a failed write left unsaved
    bool m_phonebookTransfer = false;                    // a read, write or erase is running

    PhonebookMenu* m_menu = nullptr;
    TreeEditor* m_treeEditor = nullptr;
    NumberClipboard m_clipboard;
    QTreeWidget* m_menuTree = nullptr; // the command tree of the menu's last opening
    int m_transferDepth = 0;
    QHash<QWidget*, bool> m_enabledBeforeTransfer;
};

} // namespace q7
