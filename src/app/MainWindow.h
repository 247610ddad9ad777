#pragma once

#include "app/ManagerContext.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "editing/EditOperations.h"
#include "editing/MenuRules.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QSettings;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeWidget;
class QUndoStack;

namespace q7 {

class CommandExchange;
class OptionsPage;
class PhonebookFiles;
class PhonebookMenu;
class PhonebookPage;
class PhonebookTrees;
class TComPort;
class TransferController;
class TreeEditor;

// The main window is the frame of the program's run, from the start tick to
// the saving of the settings. It owns everything that lives as long as the
// program (the record store, the group list, the number type names, the
// language file, the port and the command exchange), lays out its two pages
// and the status bar, and hands each handler's job to the part that owns it:
// the phonebook page (trees, menu, editing, undo, search), the options page
// (port, colours, options), the transfers (search, read, write, erase) and
// the phonebook files (load and save).
class TFrm_Q7_Manager : public QWidget, public OperationHost
{
    Q_OBJECT

public:
    explicit TFrm_Q7_Manager(QWidget* parent = nullptr);
    // Reads the language file at languageFilePath instead of the one beside
    // the program.
    explicit TFrm_Q7_Manager(const QString& languageFilePath, QWidget* parent = nullptr);
    ~TFrm_Q7_Manager() override;

    // The window's parts.
    PhonebookPage& phonebookPage() { return *m_page; }
    OptionsPage& optionsPage() { return *m_options; }
    TransferController& transfers() { return *m_transfers; }
    PhonebookFiles& phonebookFiles() { return *m_files; }

    RecordStore& recordStore() { return *m_store; }
    GroupList& groupList() { return m_groups; }
    const NumberTypeNames& numberTypeNames() const { return m_numberTypeNames; }
    const LanguageFile& languageFile() const { return m_languageFile; }
    TComPort& comPort() { return *m_comPort; }
    CommandExchange& exchange() { return *m_exchange; }
    PhonebookTrees& trees();
    // The program key, open from the start tick to the end; null before.
    QSettings* settings() { return m_settings.get(); }

    // The options of the options page, as the operations use them.
    bool writeOnlyChanged() const;     // CB_NurGeaenderte
    bool saveDeletionCommands() const; // CB_Loeschbefehle
    PhonebookOptions phonebookOptions() const;
    // The filter of OpenDialog and SaveDialog in the Windows form
    // "Description|*.csv"; the dialogs' default extension is "csv".
    const QString& openDialogFilter() const;
    const QString& saveDialogFilter() const;

    // Every edit of the store reports what it touched here: it becomes one
    // undo step, and closing, reading and loading know that something would
    // be lost.
    void storeEdited(const EditResult& result);
    // The store differs from what the last successful read, import, write or
    // export left (undoing every edit since then leaves nothing unsaved).
    bool hasUnsavedEdits() const;
    QUndoStack* undoStack() const;
    QAction* undoAction() const;
    QAction* redoAction() const;
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
    bool transferRunning() const;
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

    // --- Editing in the trees (the phonebook page) ---
    PhonebookMenu& phonebookMenu();
    TreeEditor& treeEditor();
    const NumberClipboard& numberClipboard() const;
    // PU_Menu_TelefonbuchPopup opens on the selected node of the tree it was
    // asked for in: that tree has the focus, and is the command tree.
    void PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos);
    // The command of an item on the selected node of tree, when it fits that
    // node now; the menu's states of its last opening play no part.
    void runMenuCommand(MenuItem item, QTreeWidget* tree);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void createStatusBar();
    void connectHandlers();
    // The window may grow: the phonebook tree takes the room.
    void anchorToEdges();
    void applyTexts();

    void StartTimerTimer();
    void SuchTimerTimer();
    void loadSettings();
    void saveSettings();
    bool showDisclaimer(); // false: declined
    bool mayClose();
    void FormDestroy();

    std::unique_ptr<RecordStore> m_store;
    GroupList m_groups;
    NumberTypeNames m_numberTypeNames;
    LanguageFile m_languageFile;
    std::unique_ptr<TComPort> m_comPort;
    std::unique_ptr<CommandExchange> m_exchange;
    std::unique_ptr<QSettings> m_settings;
    ManagerContext m_context;

    QTimer* StartTimer;
    QTimer* SuchTimer;
    QTabWidget* PageControl;
    PhonebookPage* m_page = nullptr;  // TabSheet_Telefonbuch
    OptionsPage* m_options = nullptr; // TabSheet_Optionen
    TransferController* m_transfers = nullptr;
    PhonebookFiles* m_files = nullptr;
    QStatusBar* StatusBar;
    QLabel* m_statusPanels[2];

    bool m_settingsLoaded = false; // only loaded settings are ever written back
    bool m_shutDown = false;
    bool m_endingBySignal = false;
};

} // namespace q7
