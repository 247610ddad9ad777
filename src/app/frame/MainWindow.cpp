// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/MainWindow.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/Placement.h"
#include "app/frame/AboutBox.h"
#include "app/frame/EdgeAnchors.h"
#include "app/frame/RecoveryFile.h"
#include "app/frame/Warnung.h"
#include "app/phonebook/NoHandsetNotice.h"
#include "app/sync/SyncController.h"
#include "base/ProgramLanguage.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

namespace q7 {

namespace {

constexpr int kClientWidth = 633;
constexpr int kClientHeight = 555;
constexpr int kStartTimerMs = 100;
constexpr int kSuchTimerMs = 150;
// The folder the file dialogs last used, beside the phonebook options.
const QString kLastFolderKey = QStringLiteral("Telefonbuch/LetzterOrdner");
const QString kGeometryKey = QStringLiteral("Fenster/Geometrie");

} // namespace

TFrm_Q7_Manager::TFrm_Q7_Manager(QWidget* parent)
    : TFrm_Q7_Manager(LanguageFile::locate(QCoreApplication::applicationFilePath()), parent)
{}

TFrm_Q7_Manager::TFrm_Q7_Manager(const QString& languageFilePath, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      m_store(std::make_unique<RecordStore>()), m_numberTypeNames(defaultNumberTypeNames()),
      m_languageFile(languageFilePath), m_comPort(std::make_unique<TComPort>()),
      m_exchange(std::make_unique<CommandExchange>(*m_comPort)),
      m_handset(std::make_unique<HandsetImage>()), m_context{this,          *this,
                                                             *m_store,      *m_handset,
                                                             m_groups,      m_numberTypeNames,
                                                             m_languageFile}
{
    setObjectName(QStringLiteral("Frm_Q7_Manager"));
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    // The layout is drawn for this size; a larger window gives the phonebook
    // tree the room.
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    // The layout was drawn for a narrow 8-point sans of 11 pixels. The
    // system's sans at that pixel size runs wider, so it is taken
    // semi-condensed where the family has such a face: the longest captions
    // ("Nur Geänderte Datensätze schreiben") then stay inside their controls.
    QFont windowFont = QApplication::font();
    windowFont.setPixelSize(11);
    windowFont.setStretch(QFont::SemiCondensed);
    setFont(windowFont);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        move(desktop.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }

    StartTimer = new QTimer(this);
    StartTimer->setObjectName(QStringLiteral("StartTimer"));
    StartTimer->setSingleShot(true);
    StartTimer->setInterval(kStartTimerMs);
    connect(StartTimer, &QTimer::timeout, this, &TFrm_Q7_Manager::StartTimerTimer);
    SuchTimer = new QTimer(this);
    SuchTimer->setObjectName(QStringLiteral("SuchTimer"));
    SuchTimer->setSingleShot(true);
    SuchTimer->setInterval(kSuchTimerMs);
    connect(SuchTimer, &QTimer::timeout, this, &TFrm_Q7_Manager::SuchTimerTimer);

    FormCreate();
    setErrorBoxTexts(&m_languageFile);
    StartTimer->start();
}

TFrm_Q7_Manager::~TFrm_Q7_Manager()
{
    // An editor still open would commit into the store as the window goes.
    m_page->closeEditor();
    FormDestroy();
    // The parts go while the store, the texts and the port they work on are
    // still there; as children they would go when only the QWidget part of
    // this window is left.
    disconnect(PageControl, nullptr, this, nullptr); // no page comes into view now
    delete std::exchange(m_files, nullptr);
    delete std::exchange(m_transfers, nullptr);
    delete std::exchange(m_page, nullptr);
    delete std::exchange(m_options, nullptr);
    setErrorBoxTexts(nullptr);
}

void TFrm_Q7_Manager::FormCreate()
{
    PageControl = place(new QTabWidget(this), "PageControl", 0, 8, 633, 529);
    // The page's trees sort and name the number types in the file's language
    // from the start, and its number clipboard shows in the status bar.
    takeLanguage();
    createStatusBar();
    m_page = new PhonebookPage(
        m_context, [this] { return transferRunning(); }, m_statusPanels[1]);
    m_options = new OptionsPage(*m_comPort, m_languageFile,
                                {m_page->phonebookTree(), m_page->firstNineTree()});
    PageControl->addTab(m_page, QString());
    PageControl->addTab(m_options, QString());
    anchorToEdges();
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl->widget(index) == m_options)
            m_options->TabSheet_OptionenShow();
    });

    m_transfers =
        new TransferController(m_context, *m_comPort, *m_exchange, *m_page, *m_options, this);
    m_files = new PhonebookFiles(m_context, *m_page, *m_options, this);
    m_page->setSaveToFile([this] { return m_files->save(); });
    m_sync = new SyncController(m_context, *m_exchange, *m_page, *m_transfers, this);
    applyTexts();
    connectHandlers();
    connect(&m_page->history(), &EditHistory::stateChanged, this, &TFrm_Q7_Manager::showEditState);
    showEditState();
}

void TFrm_Q7_Manager::connectHandlers()
{
    connect(m_page, &PhonebookPage::readRequested, this, &TFrm_Q7_Manager::Btn_DatenLesenClick);
    connect(m_page, &PhonebookPage::writeRequested, this,
            &TFrm_Q7_Manager::Btn_DatenschreibenClick);
    connect(m_page, &PhonebookPage::eraseRequested, this, &TFrm_Q7_Manager::Btn_LoeschenClick);
    connect(m_page, &PhonebookPage::loadRequested, this, &TFrm_Q7_Manager::Btn_DatenladenClick);
    connect(m_page, &PhonebookPage::saveRequested, this, &TFrm_Q7_Manager::Btn_DatenspeichernClick);
    connect(m_page, &PhonebookPage::newEntryRequested, this,
            &TFrm_Q7_Manager::Btn_NeuerEintragClick);
    connect(m_page, &PhonebookPage::closeRequested, this, &TFrm_Q7_Manager::Btn_CloseClick);
    connect(m_page, &PhonebookPage::syncRequested, m_sync, &SyncController::sync);
    connect(m_options->testButton(), &QPushButton::clicked, this,
            &TFrm_Q7_Manager::Btn_ComTestClick);
    connect(m_page, &PhonebookPage::optionsRequested, this,
            [this] { PageControl->setCurrentWidget(m_options); });
    connect(m_transfers, &TransferController::searchStarted, this, &TFrm_Q7_Manager::searchStarted);
    connect(m_transfers, &TransferController::searchFinished, this,
            &TFrm_Q7_Manager::searchFinished);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] {
        PageControl->setCurrentWidget(m_page);
        m_page->focusSearch();
    });
    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, &TFrm_Q7_Manager::showAbout);
    connect(m_page, &PhonebookPage::aboutRequested, this, &TFrm_Q7_Manager::showAbout);
}

void TFrm_Q7_Manager::createStatusBar()
{
    StatusBar = place(new QStatusBar(this), "StatusBar", 0, 536, 633, 19);
    StatusBar->setSizeGripEnabled(false);
    const int widths[2] = {300, 50};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new StatusPanel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusBar_Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusPanels[i] = panel;
    }
    // As in a Windows status bar, the last panel reaches to the right edge:
    // at its own 50 pixels the number clipboard would show "In Zw".
    m_statusPanels[0]->setFixedWidth(widths[0]);
    m_statusPanels[1]->setMinimumWidth(widths[1]);
    // The counts take the room they need, between the two.
    m_statusPanels[2]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    StatusBar->addWidget(m_statusPanels[0]);
    StatusBar->addWidget(m_statusPanels[2]);
    StatusBar->addWidget(m_statusPanels[1], 1);
}

void TFrm_Q7_Manager::showEditState()
{
    // The same question as before edits are lost: the handset does not have
    // them yet.
    setWindowTitle(hasUnsavedEdits() ? m_caption + QStringLiteral(" *") : m_caption);
    // Counted as the trees show them, so that the panel and the bold names
    // never disagree.
    const PhonebookTrees::Counts counts = m_page->trees().counts();
    m_statusPanels[2]->setText(m_languageFile.text(TextId::Statusleiste_Bestand)
                                   .arg(entryCount(counts.entries, m_languageFile))
                                   .arg(counts.changed));
}

void TFrm_Q7_Manager::takeLanguage()
{
    // Qt's own buttons and dialogs and the order of the phonebook speak the
    // language of the file, not the system's.
    useProgramLanguage(m_languageFile.languageCode());
    m_numberTypeNames = q7::numberTypeNames(m_languageFile);
}

void TFrm_Q7_Manager::applyTexts()
{
    m_caption = m_languageFile.text(TextId::Hauptfenster_Caption);
    PageControl->setTabText(0, m_languageFile.text(TextId::TAB_Telefonbuch_TAB_Name));
    PageControl->setTabText(1, m_languageFile.text(TextId::TAB_Optionen_TAB_Name));
    // A panel that shows nothing yet is still named for what it shows.
    const TextId panelNames[3] = {TextId::Vorlesen_Status, TextId::Vorlesen_Zwischenablage,
                                  TextId::Vorlesen_Bestand};
    for (int i = 0; i < 3; ++i)
        m_statusPanels[i]->setPurpose(m_languageFile.text(panelNames[i]));
    m_page->applyTexts();
    m_files->applyTexts();
    m_options->applyTexts();
}

void TFrm_Q7_Manager::anchorToEdges()
{
    using E = EdgeAnchors;
    auto* anchors = new EdgeAnchors(this, QSize(kClientWidth, kClientHeight));
    anchors->anchor(PageControl, E::Left | E::Top | E::Right | E::Bottom);
    anchors->anchor(StatusBar, E::Left | E::Right | E::Bottom);
    anchors->anchor(m_page->phonebookTree(), E::Left | E::Top | E::Right | E::Bottom);
    anchors->anchor(m_page->searchField(), E::Left | E::Right | E::Bottom);
    anchors->anchor(m_page->newEntryButton(), E::Right | E::Bottom);
    anchors->anchor(m_page->printButton(), E::Right | E::Bottom);
    anchors->anchor(m_page->progressBar(), E::Left | E::Right | E::Bottom);
    anchors->anchor(m_page->noHandsetNotice(), E::Left | E::Bottom);
}

void TFrm_Q7_Manager::showStatus(const QString& text)
{
    m_statusPanels[0]->setText(text);
}

void TFrm_Q7_Manager::setProgress(int value)
{
    QProgressBar* bar = m_page->progressBar();
    if (bar->value() == value)
        return;
    bar->setValue(value);
    // A read or a write can be followed without looking: the bar tells the
    // accessibility bus of each step, which Qt's bar does not do itself;
    // the event goes whether or not a reader listens, and Qt drops it
    // cheaply when none does.
    QAccessibleValueChangeEvent event(bar, value);
    QAccessible::updateAccessibility(&event);
}

void TFrm_Q7_Manager::setStepProgress(int done, int total)
{
    // The bar counts handset locations; steps take the same share of it.
    const int maximum = m_page->progressBar()->maximum();
    setProgress(total > 0 ? int(qint64(std::clamp(done, 0, total)) * maximum / total) : 0);
}

// --- Start ------------------------------------------------------------------

void TFrm_Q7_Manager::StartTimerTimer()
{
    // "&Test" pressed before this tick has a search waiting on the port:
    // restoring the port settings and a modal disclaimer must not happen
    // inside it, so the start comes back once it is over.
    if (transferRunning()) {
        StartTimer->start();
        return;
    }
    StartTimer->stop();
    m_settings = openRegistryKey(kProgramKey);
    loadSettings();
    // The counter moves on only past an accepted disclaimer: one declined is
    // asked again at the next start.
    const bool declined = !passStartCounter(*m_settings, [this] { return showDisclaimer(); });
    if (declined) {
        // The user refused the terms: no search, and the settings just
        // loaded go back unchanged on the normal way out.
        close();
    } else {
        guarded([this] {
            if (offerRecovery(this, m_languageFile, *m_store))
                m_page->showRecovered();
        });
        SuchTimer->start();
    }
    emit startupFinished();
}

void TFrm_Q7_Manager::loadSettings()
{
    // From here on the stored values are known, so shutdown may write them
    // back; a port failure below must not make it write defaults instead.
    m_settingsLoaded = true;
    if (m_settings->childGroups().contains(kComPortGroup))
        guarded([this] { m_comPort->RestorePortSettings(kProgramKey); });

    m_options->setPhonebookOptions(loadPhonebookOptions(*m_settings));
    m_page->setCountryCode(userCountryCode());
    // Qt brings a window saved on a screen that is gone back where it can be
    // seen.
    const QByteArray geometry = m_settings->value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    // A folder that has gone since gives way to the home folder.
    m_files->restoreLastFolder(m_settings->value(kLastFolderKey).toString());
}

bool TFrm_Q7_Manager::showDisclaimer()
{
    TFrm_Warnung warnung(this);
    warnung.applyTexts(m_languageFile);
    dialogs().execDialog(warnung);
    return !warnung.declined();
}

void TFrm_Q7_Manager::showAbout()
{
    AboutBox about(m_languageFile, this);
    dialogs().execDialog(about);
}

void TFrm_Q7_Manager::SuchTimerTimer()
{
    SuchTimer->stop();
    // A search the user started is already doing this one's work; a second
    // one inside it would share its port and its replies.
    if (transferRunning())
        return;
    m_transfers->search(false);
}

// --- End ------------------------------------------------------------------

bool TFrm_Q7_Manager::mayClose()
{
    // A termination signal asks nobody: the edits go to the recovery file.
    if (m_endingBySignal)
        return true;
    return m_page->mayClose(m_transfers->phonebookTransferRunning());
}

void TFrm_Q7_Manager::closeEvent(QCloseEvent* event)
{
    if (!m_transfers->closePending() && !mayClose()) {
        event->ignore();
        return;
    }
    if (transferRunning()) {
        m_transfers->closeWhenEnded();
        event->ignore();
        return;
    }
    FormDestroy();
    event->accept();
    emit shutDown();
}

void TFrm_Q7_Manager::FormDestroy()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    StartTimer->stop();
    SuchTimer->stop();
    m_transfers->portWatcher().stop(); // no search on a port closed for good
    guarded([this] { saveSettings(); });
    if (m_endingBySignal && hasUnsavedEdits())
        guarded([this] { writeRecoveryFile(*m_store); });
    guarded([this] { m_comPort->ClosePort(); });
}

void TFrm_Q7_Manager::saveSettings()
{
    // Closed before the start tick: nothing was read, and writing the form's
    // values would overwrite what the user stored.
    if (!m_settingsLoaded || !m_settings)
        return;
    m_comPort->StorePortSettings(kProgramKey);
    m_settings->sync();
    savePhonebookOptions(*m_settings, m_options->phonebookOptions());
    m_settings->setValue(kLastFolderKey, m_files->lastFolder());
    m_settings->setValue(kGeometryKey, saveGeometry());
    m_settings->sync();
}

} // namespace q7
