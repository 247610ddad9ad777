// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ManagerContext.h"
#include "app/common/StatusPanel.h"
#include "app/files/PhonebookFiles.h"
#include "app/options/OptionsPage.h"
#include "app/phonebook/EditHistory.h"
#include "app/phonebook/PhonebookPage.h"
#include "app/transfers/TransferController.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "editing/EditOperations.h"
#include "editing/MenuRules.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"

#include <QWidget>
#include <memory>
#include <utility>

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
class HandsetImage;
class SyncController;
class TComPort;

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

    // The window's parts: each handler below hands its job to one of them.
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
    // The program key, open from the start tick to the end; null before.
    QSettings* settings() { return m_settings.get(); }
    // 0: the status texts; 1: the number clipboard; 2: the entries and the
    // changed ones.
    StatusPanel* statusPanel(int index) const { return m_statusPanels[qBound(0, index, 2)]; }
    // A termination signal is ending the program: unsaved edits go to the
    // recovery file instead of being lost.
    void markEndingBySignal() { m_endingBySignal = true; }
    bool hasShutDown() const { return m_shutDown; }

    // Edits that closing would lose: the title's "*", the recovery file.
    bool hasUnsavedEdits() const { return m_page && m_page->hasUnsavedEdits(); }
    bool transferRunning() const { return m_transfers && m_transfers->running(); }

    // OperationHost: the status bar and the page's progress bar are the
    // window's; the transfers ask and wait.
    void showStatus(const QString& text) override;
    void setProgress(int value) override;
    void setStepProgress(int done, int total) override;
    bool retryLostLink(const QString& message) override
    {
        return m_transfers->retryLostLink(message);
    }
    void setBusy(bool busy) override { m_transfers->setBusy(busy); }
    void handsetFound() override { m_transfers->handsetFound(); }
    bool stopRequested() override { return m_transfers->stopRequested(); }

signals:
    // The start tick has run: counter, settings, disclaimer.
    void startupFinished();
    void searchStarted();
    void searchFinished(bool found);
    // The window has closed: settings saved, port closed.
    void shutDown();

public slots:
    void Btn_DatenLesenClick() { m_transfers->read(); }
    void Btn_DatenschreibenClick() { m_transfers->write(); }
    void Btn_LoeschenClick() { m_transfers->erase(); }
    void Btn_DatenladenClick() { m_files->load(); }
    void Btn_DatenspeichernClick() { m_files->save(); }
    void Btn_NeuerEintragClick() { m_page->Btn_NeuerEintragClick(); }
    void Btn_ComTestClick() { m_transfers->test(); }
    void Btn_CloseClick() { close(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void createStatusBar();
    void connectHandlers();
    // The window may grow: the phonebook tree takes the room.
    void anchorToEdges();
    // The language file's: Qt's own language and the number types' names.
    void takeLanguage();
    void applyTexts();
    // The title's "*" and the count of entries and changed ones follow
    // every edit, read, write and load.
    void showEditState();

    void StartTimerTimer();
    void SuchTimerTimer();
    void loadSettings();
    void saveSettings();
    bool showDisclaimer(); // false: declined
    void showAbout();
    bool mayClose();
    void FormDestroy();

    std::unique_ptr<RecordStore> m_store;
    GroupList m_groups;
    NumberTypeNames m_numberTypeNames;
    LanguageFile m_languageFile;
    QString m_caption; // the file's, read at start as the other captions
    std::unique_ptr<TComPort> m_comPort;
    std::unique_ptr<CommandExchange> m_exchange;
    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<HandsetImage> m_handset;
    ManagerContext m_context;

    QTimer* StartTimer;
    QTimer* SuchTimer;
    QTabWidget* PageControl;
    PhonebookPage* m_page = nullptr;  // TabSheet_Telefonbuch
    OptionsPage* m_options = nullptr; // TabSheet_Optionen
    TransferController* m_transfers = nullptr;
    PhonebookFiles* m_files = nullptr;
    SyncController* m_sync = nullptr;
    QStatusBar* StatusBar;
    StatusPanel* m_statusPanels[3];

    bool m_settingsLoaded = false; // only loaded settings are ever written back
    bool m_shutDown = false;
    bool m_endingBySignal = false;
};

} // namespace q7
