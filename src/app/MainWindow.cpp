#include "app/MainWindow.h"

#include "app/ClickLabel.h"
#include "app/ComComboBox.h"
#include "app/Dialogs.h"
#include "app/EdgeAnchors.h"
#include "app/ErrorBox.h"
#include "app/ImportReport.h"
#include "app/RecoveryFile.h"
#include "app/TransferGuard.h"
#include "app/Warnung.h"
#include "base/PcText.h"
#include "base/ProgramLanguage.h"
#include "base/RegistryKey.h"
#include "editing/NewEntry.h"
#include "editing/ui/NeuerEintrag.h"
#include "editing/ui/TreeEditor.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "fileio/Vcard.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "link/PortMap.h"
#include "phonebook/Confirmations.h"
#include "phonebook/NoteLines.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
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

const QString kWindowCaption = QStringLiteral("Vexa Q7 Manager  ** Final Version 1.02 **");
const QString kAboutLine = QStringLiteral("Q7 Manager 1.02 \u2013 Telefonbuch für das Vexa TLM-Q7");

template <class W> W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* result = place(new QPushButton(parent), name, left, top, width, height);
    result->setAutoDefault(false);
    return result;
}

// What the two trees look like beyond what PhonebookTrees sets up for their
// contents.
QTreeWidget* tree(QWidget* parent, const char* name, int left, int top, int width, int height,
                  int indent, int lineHeight)
{
    auto* result = place(new QTreeWidget(parent), name, left, top, width, height);
    result->setIndentation(indent);
    // An editor opens only through PM_EditierenClick (F2) or on a new
    // number, both of which ask for the edit permission first.
    result->setEditTriggers(QAbstractItemView::NoEditTriggers);
    result->setMouseTracking(true); // hot tracking
    result->setProperty("q7LineHeight", lineHeight);
    return result;
}

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
      m_exchange(std::make_unique<CommandExchange>(*m_comPort))
{
    setObjectName(QStringLiteral("Frm_Q7_Manager"));
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    setWindowTitle(kWindowCaption);
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
    delete std::exchange(m_treeEditor, nullptr);
    FormDestroy();
    // The history clears itself as it goes and says so; as a child it would
    // go when only the QWidget part of this window is left to hear it.
    delete std::exchange(m_undoStack, nullptr);
    setErrorBoxTexts(nullptr);
}

void TFrm_Q7_Manager::FormCreate()
{
    PageControl = place(new QTabWidget(this), "PageControl", 0, 8, 633, 529);
    TabSheet_Telefonbuch = new QWidget;
    TabSheet_Telefonbuch->setObjectName(QStringLiteral("TabSheet_Telefonbuch"));
    TabSheet_Optionen = new QWidget;
    TabSheet_Optionen->setObjectName(QStringLiteral("TabSheet_Optionen"));
    PageControl->addTab(TabSheet_Telefonbuch, QString());
    PageControl->addTab(TabSheet_Optionen, QString());
    createPhonebookPage(TabSheet_Telefonbuch);
    createOptionsPage(TabSheet_Optionen);
    createStatusBar();
    anchorToEdges();
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl->widget(index) == TabSheet_Optionen)
            TabSheet_OptionenShow();
    });

    applyTexts();
    m_trees = std::make_unique<PhonebookTrees>(TV_Telefonbuch, TV_FirstNine, *m_store,
                                               m_languageFile, m_numberTypeNames);
    rebuildTrees();
    createEditing();
}

void TFrm_Q7_Manager::createPhonebookPage(QWidget* page)
{
    TV_FirstNine = tree(page, "TV_FirstNine", 16, 8, 273, 225, 13, 18);
    TV_Telefonbuch = tree(page, "TV_Telefonbuch", 304, 8, 313, 441, 17, 19);

    GroupBox1 = place(new QGroupBox(page), "GroupBox1", 16, 256, 129, 113);
    Btn_DatenLesen = button(GroupBox1, "Btn_DatenLesen", 16, 14, 97, 25);
    Btn_Datenschreiben = button(GroupBox1, "Btn_Datenschreiben", 16, 46, 97, 25);
    Btn_Loeschen = button(GroupBox1, "Btn_Loeschen", 16, 78, 97, 25);
    // Reading, writing and erasing wait for a handset the search has found.
    Btn_DatenLesen->setEnabled(false);
    Btn_Datenschreiben->setEnabled(false);
    Btn_Loeschen->setEnabled(false);

    GroupBox2 = place(new QGroupBox(page), "GroupBox2", 152, 256, 137, 113);
    Btn_Datenladen = button(GroupBox2, "Btn_Datenladen", 20, 24, 97, 25);
    Btn_Datenspeichern = button(GroupBox2, "Btn_Datenspeichern", 20, 64, 97, 25);

    Label1 = place(new QLabel(kAboutLine, page), "Label1", 0, 387, 305, 14);
    Label1->setAlignment(Qt::AlignCenter);

    Btn_Close = button(page, "Btn_Close", 112, 408, 75, 25);
    Btn_NeuerEintrag = button(page, "Btn_NeuerEintrag", 424, 452, 81, 25);
    Edt_Suchen = place(new QLineEdit(page), "Edt_Suchen", 304, 452, 113, 25);
    Edt_Suchen->setClearButtonEnabled(true);
    connect(Edt_Suchen, &QLineEdit::textChanged, this, &TFrm_Q7_Manager::Edt_SuchenChange);
    auto* clearSearch = new QAction(Edt_Suchen);
    clearSearch->setShortcut(Qt::Key_Escape);
    clearSearch->setShortcutContext(Qt::WidgetShortcut);
    Edt_Suchen->addAction(clearSearch);
    connect(clearSearch, &QAction::triggered, Edt_Suchen, &QLineEdit::clear);
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(find, &QShortcut::activated, this, [this] {
        PageControl->setCurrentWidget(TabSheet_Telefonbuch);
        Edt_Suchen->setFocus(Qt::ShortcutFocusReason);
        Edt_Suchen->selectAll();
    });

    ProgressBar = place(new QProgressBar(page), "ProgressBar", 0, 484, 625, 17);
    ProgressBar->setRange(0, kRecordCount);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    connect(Btn_DatenLesen, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_DatenLesenClick);
    connect(Btn_Datenschreiben, &QPushButton::clicked, this,
            &TFrm_Q7_Manager::Btn_DatenschreibenClick);
    connect(Btn_Loeschen, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_LoeschenClick);
    connect(Btn_Datenladen, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_DatenladenClick);
    connect(Btn_Datenspeichern, &QPushButton::clicked, this,
            &TFrm_Q7_Manager::Btn_DatenspeichernClick);
    connect(Btn_NeuerEintrag, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_NeuerEintragClick);
    connect(Btn_Close, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_CloseClick);
}

void TFrm_Q7_Manager::createOptionsPage(QWidget* page)
{
    GB_COM_Settings = place(new QGroupBox(page), "GB_COM_Settings", 16, 16, 177, 153);
    place(new QLabel(QStringLiteral("Port"), GB_COM_Settings), "Label_Port", 16, 24, 65, 14);
    place(new QLabel(QStringLiteral("Baud"), GB_COM_Settings), "Label_Baud", 88, 24, 73, 14);
    Label_Flusskontrolle =
        place(new QLabel(GB_COM_Settings), "Label_Flusskontrolle", 16, 72, 145, 14);

    ComCB_COM = place(new TComComboBox(GB_COM_Settings), "ComCB_COM", 16, 40, 65, 21);
    ComCB_BAUD = place(new TComComboBox(GB_COM_Settings), "ComCB_BAUD", 88, 40, 73, 21);
    ComCB_Fluss = place(new TComComboBox(GB_COM_Settings), "ComCB_Fluss", 16, 88, 145, 21);
    ComCB_COM->setItemHeight(16);
    const std::pair<TComComboBox*, TComProperty> lists[] = {
        {ComCB_COM, cpPort}, {ComCB_BAUD, cpBaudRate}, {ComCB_Fluss, cpFlowControl}};
    for (const auto& [list, property] : lists) {
        list->setComPort(m_comPort.get());
        list->setAutoApply(true);
        // The port list asks the system; a failure leaves that list empty.
        guarded([&] { list->setComProperty(property); });
    }

    // The names alone do not tell which is the cable: each says what stands
    // behind it, beside it in the opened list and, for the chosen one, under
    // the box.
    Lbl_ComGeraet = place(new QLabel(page), "Lbl_ComGeraet", 16, 174, 409, 30);
    Lbl_ComGeraet->setWordWrap(true);
    Lbl_ComGeraet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    guarded([this] {
        QStringList devices;
        for (int i = 0; i < ComCB_COM->count(); ++i)
            devices << deviceDescription(describeComPort(ComCB_COM->itemText(i)), m_languageFile);
        ComCB_COM->setItemDevices(devices);
    });
    connect(ComCB_COM, &QComboBox::currentIndexChanged, this,
            &TFrm_Q7_Manager::showSelectedPortDevice);

    Btn_ComTest = button(GB_COM_Settings, "Btn_ComTest", 48, 120, 75, 25);
    Btn_ComTest->setText(QStringLiteral("&Test"));
    connect(Btn_ComTest, &QPushButton::clicked, this, &TFrm_Q7_Manager::Btn_ComTestClick);

    GB_TelefonbuchOptionen =
        place(new QGroupBox(page), "GB_TelefonbuchOptionen", 208, 16, 217, 153);
    CB_NurGeaenderte =
        place(new QCheckBox(GB_TelefonbuchOptionen), "CB_NurGeaenderte", 8, 24, 201, 17);
    CB_NurGeaenderte->setChecked(true);
    CB_Loeschbefehle =
        place(new QCheckBox(GB_TelefonbuchOptionen), "CB_Loeschbefehle", 8, 48, 201, 17);
    CB_Loeschbefehle->setChecked(false);
    // The longest caption of the page needs the room between box and text.
    for (QCheckBox* box : {CB_NurGeaenderte, CB_Loeschbefehle})
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));

    struct ColorRow
    {
        ColorPanel*& panel;
        ClickLabel*& label;
        const char* panelName;
        const char* labelName;
        int top;
        WindowsColor initial;
        void (TFrm_Q7_Manager::*handler)();
    };
    const ColorRow rows[] = {
        {Panel_Hintergrundfarbe, Lbl_Hintergrundfarbe, "Panel_Hintergrundfarbe",
         "Lbl_Hintergrundfarbe", 80, kSilver, &TFrm_Q7_Manager::Lbl_HintergrundfarbeClick},
        {Panel_Schriftfarbe, Lbl_Schriftfarbe, "Panel_Schriftfarbe", "Lbl_Schriftfarbe", 104,
         kBlack, &TFrm_Q7_Manager::Lbl_SchriftfarbeClick},
        {Panel_Hottrackfarbe, Lbl_Hottrackfarbe, "Panel_Hottrackfarbe", "Lbl_Hottrackfarbe", 128,
         kBlue, &TFrm_Q7_Manager::Lbl_HottrackfarbeClick},
    };
    for (const ColorRow& row : rows) {
        row.panel =
            place(new ColorPanel(GB_TelefonbuchOptionen), row.panelName, 8, row.top, 14, 14);
        row.panel->setWindowsColor(row.initial);
        row.label =
            place(new ClickLabel(GB_TelefonbuchOptionen), row.labelName, 28, row.top, 185, 14);
        connect(row.panel, &ClickLabel::clicked, this, row.handler);
        connect(row.label, &ClickLabel::clicked, this, row.handler);
    }
    applyTreeColors();
}

void TFrm_Q7_Manager::createStatusBar()
{
    StatusBar = place(new QStatusBar(this), "StatusBar", 0, 536, 633, 19);
    StatusBar->setSizeGripEnabled(false);
    const int widths[2] = {300, 50};
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QStringLiteral("StatusBar_Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        m_statusPanels[i] = panel;
    }
    // As in a Windows status bar, the last panel reaches to the right edge:
    // at its own 50 pixels the number clipboard would show "In Zw".
    m_statusPanels[0]->setFixedWidth(widths[0]);
    m_statusPanels[1]->setMinimumWidth(widths[1]);
    StatusBar->addWidget(m_statusPanels[0]);
    StatusBar->addWidget(m_statusPanels[1], 1);
}

void TFrm_Q7_Manager::applyTexts()
{
    const LanguageFile& texts = m_languageFile;

    // Qt's own buttons and dialogs and the order of the phonebook speak the
    // language of the file, not the system's.
    useProgramLanguage(texts.languageCode());
    m_numberTypeNames = q7::numberTypeNames(texts);

    PageControl->setTabText(0, texts.text(TextId::TAB_Telefonbuch_TAB_Name));
    Btn_DatenLesen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_DatenLesen));
    Btn_Datenschreiben->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenschreiben));
    Btn_Loeschen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenloeschen));
    Btn_Datenladen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenladen));
    Btn_Datenspeichern->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenspeichern));
    Btn_Close->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Close));
    Btn_NeuerEintrag->setText(texts.text(TextId::TAB_Telefonbuch_Btn_NeuerEintrag));
    Edt_Suchen->setPlaceholderText(texts.text(TextId::TAB_Telefonbuch_Suchen));

    // The trees' popup menu takes its texts when it is built, right after
    // these (createEditing).

    const QString fileFormats = texts.text(TextId::Datei_Operationen_Dateiformat) + u'|' +
                                texts.text(TextId::Datei_Operationen_DateiformatVcard);
    m_openDialogFilter = fileFormats;
    m_saveDialogFilter = fileFormats;

    PageControl->setTabText(1, texts.text(TextId::TAB_Optionen_TAB_Name));
    GB_COM_Settings->setTitle(texts.text(TextId::TAB_Optionen_GB_COM_Settings));
    Label_Flusskontrolle->setText(texts.text(TextId::TAB_Optionen_Label_Flusskontrolle));
    GB_TelefonbuchOptionen->setTitle(texts.text(TextId::TAB_Optionen_GB_TelefonbuchOptionen));
    CB_NurGeaenderte->setText(texts.text(TextId::TAB_Optionen_CB_NurGeaenderte));
    CB_Loeschbefehle->setText(texts.text(TextId::TAB_Optionen_CB_Loeschbefehle));
    Lbl_Hintergrundfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Hintergrundfarbe));
    Lbl_Schriftfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Schriftfarbe));
    Lbl_Hottrackfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Hottrackfarbe));
}

void TFrm_Q7_Manager::rebuildTrees()
{
    m_trees->RebuildPhonebookTree();
    m_trees->RebuildFirstNineTree();
    filterPhonebook();
}

void TFrm_Q7_Manager::anchorToEdges()
{
    using E = EdgeAnchors;
    auto* anchors = new EdgeAnchors(this, QSize(kClientWidth, kClientHeight));
    anchors->anchor(PageControl, E::Left | E::Top | E::Right | E::Bottom);
    anchors->anchor(StatusBar, E::Left | E::Right | E::Bottom);
    anchors->anchor(TV_Telefonbuch, E::Left | E::Top | E::Right | E::Bottom);
    anchors->anchor(Edt_Suchen, E::Left | E::Right | E::Bottom);
    anchors->anchor(Btn_NeuerEintrag, E::Right | E::Bottom);
    anchors->anchor(ProgressBar, E::Left | E::Right | E::Bottom);
}

void TFrm_Q7_Manager::Edt_SuchenChange(const QString& text)
{
    m_filter = EntryFilter(text);
    filterPhonebook();
}

// Hides the entries the search does not find. Only a change of the search
// text or a rebuild filters: an entry that an edit makes a non-match stays in
// sight under the user's cursor.
void TFrm_Q7_Manager::filterPhonebook()
{
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (QTreeWidgetItem* entry = m_trees->phonebookNode(r))
            entry->setHidden(!m_filter.matches(*m_store, r));
}

bool TFrm_Q7_Manager::writeOnlyChanged() const
{
    return CB_NurGeaenderte->isChecked();
}

bool TFrm_Q7_Manager::saveDeletionCommands() const
{
    return CB_Loeschbefehle->isChecked();
}

PhonebookOptions TFrm_Q7_Manager::phonebookOptions() const
{
    PhonebookOptions options;
    options.nurGeaenderte = CB_NurGeaenderte->isChecked();
    options.loeschbefehle = CB_Loeschbefehle->isChecked();
    options.hintergrundfarbe = Panel_Hintergrundfarbe->windowsColor();
    options.schriftfarbe = Panel_Schriftfarbe->windowsColor();
    options.hottrackfarbe = Panel_Hottrackfarbe->windowsColor();
    return options;
}

QLabel* TFrm_Q7_Manager::statusPanel(int index) const
{
    return m_statusPanels[index == 0 ? 0 : 1];
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
    const StartCount count = advanceStartCounter(*m_settings);
    loadSettings();
    const bool declined = count.showsDisclaimer() && !showDisclaimer();
    if (declined) {
        // The user refused the terms: no search, and the settings just
        // loaded go back unchanged on the normal way out.
        close();
    } else {
        guarded([this] {
            if (offerRecovery(this, m_languageFile, *m_store)) {
                // The recovered edits were never written or saved anywhere.
                startHistory(false);
                m_unsavedBeforeHistory = true;
                rebuildTrees();
                CollectGroupNames(*m_store, m_groups);
            }
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

    const PhonebookOptions options = loadPhonebookOptions(*m_settings);
    CB_NurGeaenderte->setChecked(options.nurGeaenderte);
    Panel_Hintergrundfarbe->setWindowsColor(options.hintergrundfarbe);
    Panel_Schriftfarbe->setWindowsColor(options.schriftfarbe);
    Panel_Hottrackfarbe->setWindowsColor(options.hottrackfarbe);
    applyTreeColors();
    CB_Loeschbefehle->setChecked(options.loeschbefehle);
    // Qt brings a window saved on a screen that is gone back where it can be
    // seen.
    const QByteArray geometry = m_settings->value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    // A folder that has gone since gives way to the home folder.
    const QString folder = m_settings->value(kLastFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_lastFolder = folder;
}

bool TFrm_Q7_Manager::showDisclaimer()
{
    TFrm_Warnung warnung(this);
    warnung.setEnglish(m_languageFile.exists());
    dialogs().execDialog(warnung);
    return !warnung.declined();
}

void TFrm_Q7_Manager::SuchTimerTimer()
{
    SuchTimer->stop();
    // A search the user started is already doing this one's work; a second
    // one inside it would share its port and its replies.
    if (transferRunning())
        return;
    runSearch(false);
}

void TFrm_Q7_Manager::Btn_ComTestClick()
{
    runSearch(true);
}

void TFrm_Q7_Manager::runSearch(bool closePortFirst)
{
    emit searchStarted();
    bool found = false;
    const bool done = guarded([&] {
        TransferGuard guard(*this);
        if (closePortFirst)
            m_comPort->ClosePort();
        found = searchHandset(*m_exchange, m_languageFile, *this);
    });
    // A search that failed is over: the status must not say it still runs.
    if (!done)
        showStatus(m_languageFile.text(TextId::Statusleiste_Handynichtgefunden));
    emit searchFinished(found);
}

// --- Options page -----------------------------------------------------------

void TFrm_Q7_Manager::TabSheet_OptionenShow()
{
    ComCB_COM->ShowPortValue();
    ComCB_BAUD->ShowPortValue();
    ComCB_Fluss->ShowPortValue();
    showSelectedPortDevice();
}

void TFrm_Q7_Manager::showSelectedPortDevice()
{
    // With no entry selected the port's own name still has its device.
    const QString name =
        ComCB_COM->currentIndex() >= 0 ? ComCB_COM->currentText() : m_comPort->Port();
    QString description;
    guarded([&] { description = deviceDescription(describeComPort(name), m_languageFile); });
    Lbl_ComGeraet->setText(
        description.isEmpty()
            ? m_languageFile.text(TextId::TAB_Optionen_KeinGeraet)
            : m_languageFile.text(TextId::TAB_Optionen_Lbl_Geraet).arg(description));
}

void TFrm_Q7_Manager::Lbl_HintergrundfarbeClick()
{
    pickColor(Panel_Hintergrundfarbe);
}

void TFrm_Q7_Manager::Lbl_SchriftfarbeClick()
{
    pickColor(Panel_Schriftfarbe);
}

void TFrm_Q7_Manager::Lbl_HottrackfarbeClick()
{
    pickColor(Panel_Hottrackfarbe);
}

void TFrm_Q7_Manager::pickColor(ColorPanel* panel)
{
    const std::optional<QColor> chosen = dialogs().chooseColor(this, panel->color());
    if (!chosen)
        return;
    panel->setColor(*chosen);
    applyTreeColors();
}

void TFrm_Q7_Manager::applyTreeColors()
{
    // The panels are the one place the colours live; the trees follow them.
    const QColor background = Panel_Hintergrundfarbe->color();
    const QColor text = Panel_Schriftfarbe->color();
    const QColor hotTrack = Panel_Hottrackfarbe->color();
    for (QTreeWidget* view : {TV_Telefonbuch, TV_FirstNine}) {
        QPalette palette = view->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, background);
            palette.setColor(group, QPalette::Text, text);
            palette.setColor(group, QPalette::WindowText, text);
        }
        // The selection hides while the tree does not have the focus.
        palette.setColor(QPalette::Inactive, QPalette::Highlight, background);
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
        // Setting a style sheet puts back the palettes the tree and its
        // viewport had when the sheet was first applied, and the viewport
        // keeps its own from then on: both palettes go in after the sheet.
        view->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }"
                                           "QTreeView::item:hover { color: %2; }")
                                .arg(view->property("q7LineHeight").toInt())
                                .arg(hotTrack.name()));
        view->setPalette(palette);
        view->viewport()->setPalette(palette);
    }
}

// --- Operations ----------------------------------------------------------

QList<QWidget*> TFrm_Q7_Manager::storeControls() const
{
    return {Btn_Datenladen, Btn_Datenspeichern, Btn_NeuerEintrag};
}

void TFrm_Q7_Manager::takeStore(RecordStore store)
{
    *m_store = std::move(store);
    startHistory(true);
    rebuildTrees();
    CollectGroupNames(*m_store, m_groups);
}

void TFrm_Q7_Manager::runTransfer(TransferResult::Operation operation,
                                  const std::function<void(TransferResult&)>& run)
{
    bool complete = false;
    const bool done = guarded([&] {
        TransferGuard guard(*this, storeControls());
        const QScopedValueRollback phonebookTransfer(m_phonebookTransfer, true);
        m_exchange->clearCancel();
        reconnectHandset(*m_exchange, m_languageFile, *this);
        complete = runReported(operation, run, [&](const TransferResult& result) {
            if (!result.succeeded())
                dialogs().message(this, QMessageBox::Warning, kApplicationTitle,
                                  failureSummary(result), QMessageBox::Ok);
            else
                showStatus(operation == TransferResult::Operation::Write
                               ? writtenConfirmation(result, m_languageFile)
                               : erasedConfirmation(result, m_languageFile));
            return result.succeeded();
        });
    });
    // A write changes the handset and may place records anew, whether it ran
    // to its end or not, so the steps before it no longer apply. Only a write
    // that ran to its end and left no record behind has saved the edits.
    if (operation == TransferResult::Operation::Write)
        startHistory(done && complete);
    if (!done)
        showIdle();
}

void TFrm_Q7_Manager::showIdle()
{
    showStatus(m_languageFile.text(TextId::Statusleiste_Ruhezustand));
    setProgress(0);
}

void TFrm_Q7_Manager::Btn_DatenLesenClick()
{
    if (!mayReplaceEdits())
        return;
    const bool done = guarded([this] {
        TransferGuard guard(*this, storeControls());
        const QScopedValueRollback phonebookTransfer(m_phonebookTransfer, true);
        m_exchange->clearCancel();
        reconnectHandset(*m_exchange, m_languageFile, *this);
        // The store and the trees change only once the whole read has succeeded.
        takeStore(readPhonebook(*m_exchange, m_languageFile, *this, *m_store));
    });
    if (!done)
        showIdle();
}

void TFrm_Q7_Manager::Btn_DatenschreibenClick()
{
    if (!noteLinesMayGo())
        return;
    runTransfer(TransferResult::Operation::Write, [this](TransferResult& result) {
        writePhonebook(*m_exchange, m_languageFile, *this, *m_store, writeOnlyChanged(), result);
    });
}

bool TFrm_Q7_Manager::noteLinesMayGo()
{
    const QList<int> losing = recordsLosingNoteLines(*m_store, writeOnlyChanged());
    if (losing.isEmpty())
        return true;
    return dialogs().message(
               this, QMessageBox::Question, m_languageFile.text(TextId::Zusatzzeilen_Caption),
               noteLinesQuestion(*m_store, losing, Btn_Datenspeichern->text(), m_languageFile),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TFrm_Q7_Manager::Btn_LoeschenClick()
{
    const auto answer = dialogs().message(
        this, QMessageBox::Question, QStringLiteral("Achtung!"),
        QStringLiteral("Sollen die Daten im Handyspeicher und der SIM-Karte wirklich gelöscht "
                       "werden?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    runTransfer(TransferResult::Operation::Erase, [this](TransferResult& result) {
        EraseHandset(*m_exchange, m_languageFile, *this, result);
    });
}

QString TFrm_Q7_Manager::chooseFile(bool forSaving, TextId title)
{
    const QString path =
        forSaving ? dialogs().saveFileName(this, m_languageFile.text(title), m_saveDialogFilter,
                                           QStringLiteral("csv"), m_lastFolder)
                  : dialogs().openFileName(this, m_languageFile.text(title), m_openDialogFilter,
                                           QStringLiteral("csv"), m_lastFolder);
    if (!path.isEmpty())
        m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

namespace {

// The file dialogs give the chosen filter's extension to a name typed
// without one, so the extension tells the format.
bool isVcardFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0;
}

} // namespace

void TFrm_Q7_Manager::Btn_DatenladenClick()
{
    const QString path = chooseFile(false, TextId::Datei_Operationen_Import);
    if (path.isEmpty())
        return;
    // Cards are added beside the entries there: nothing is replaced.
    if (isVcardFile(path)) {
        importVcardFile(path);
        return;
    }
    if (!mayReplaceEdits())
        return;
    // A file with a single bad line changes nothing.
    guarded([&] {
        QList<int> repeated;
        takeStore(readCsvFile(path, *m_store, &repeated));
        showStatus(loadedConfirmation(liveEntryCount(*m_store), path, m_languageFile));
        if (!repeated.isEmpty())
            dialogs().message(this, QMessageBox::Warning,
                              m_languageFile.text(TextId::Datei_Operationen_Import),
                              repeatedLocationsWarning(repeated, m_languageFile), QMessageBox::Ok);
    });
}

// The cards become new entries beside those there, as the new entry dialog
// makes them: an edit, which the next write takes to the handset.
void TFrm_Q7_Manager::importVcardFile(const QString& path)
{
    const auto target = dialogs().message(
        this, QMessageBox::Question, m_languageFile.text(TextId::Datei_Operationen_Import),
        m_languageFile.text(TextId::vCard_Ziel),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        {{QMessageBox::Yes, m_languageFile.text(TextId::vCard_ZielHandy)},
         {QMessageBox::No, m_languageFile.text(TextId::vCard_ZielSim)}});
    if (target != QMessageBox::Yes && target != QMessageBox::No)
        return;
    guarded([&] {
        const QByteArray content = readWholeFile(path);
        const VcardImportReport report = importVcard(
            content, *m_store,
            target == QMessageBox::Yes ? ImportRange::HandsetMemory : ImportRange::SimCard,
            m_numberTypeNames);
        EditResult result;
        result.touched = report.records;
        rebuildTrees();
        CollectGroupNames(*m_store, m_groups);
        m_editStep = TextId::Rueckgaengig_Import;
        storeEdited(result);
        showImportReport(this, m_languageFile.text(TextId::Datei_Operationen_ImportBericht),
                         vcardReportLines(report, m_languageFile));
    });
}

void TFrm_Q7_Manager::Btn_DatenspeichernClick()
{
    const QString path = chooseFile(true, TextId::Datei_Operationen_Export);
    if (path.isEmpty())
        return;
    guarded([&] {
        if (isVcardFile(path)) {
            // A vCard keeps neither locations nor pending deletions: the
            // phonebook is not saved by it, so unsaved edits stay unsaved.
            writeVcardFile(path, *m_store, m_numberTypeNames);
        } else {
            writeCsvFile(path, *m_store, saveDeletionCommands());
            markSaved();
        }
        showStatus(savedConfirmation(liveEntryCount(*m_store), path, m_languageFile));
    });
}

void TFrm_Q7_Manager::Btn_NeuerEintragClick()
{
    guarded([this] {
        TFrm_NeuerEintrag dialog(m_languageFile, m_numberTypeNames, m_groups, this);
        // A full range keeps the dialog open, so what was typed is not lost.
        dialog.setAcceptEntry([this, &dialog](const NewEntry& entry) {
            if (freeRecordFor(*m_store, entry.target) != 0)
                return true;
            dialogs().message(&dialog, QMessageBox::Warning, kApplicationTitle,
                              m_languageFile.text(entry.target == MoveTarget::Sim
                                                      ? TextId::Contexmenu_KeinPlatzSIM
                                                      : TextId::Contexmenu_KeinPlatzMEM),
                              QMessageBox::Ok);
            return false;
        });
        dialogs().execDialog(dialog);
        if (dialog.cancelled())
            return;
        const QByteArray noGroup = encodePc(m_languageFile.text(TextId::Contexmenu_PM_KeineGruppe));
        const EditResult result = createEntry(*m_store, dialog.entry(), noGroup);
        if (!result.changed())
            return;
        m_trees->AddRecordNodes(result.target);
        m_trees->sortPhonebookEntries();
        m_editStep = TextId::Rueckgaengig_NeuerEintrag;
        storeEdited(result);
    });
}

void TFrm_Q7_Manager::showStatus(const QString& text)
{
    m_statusPanels[0]->setText(text);
}

void TFrm_Q7_Manager::setProgress(int value)
{
    ProgressBar->setValue(value);
}

bool TFrm_Q7_Manager::retryLostLink(const QString& message)
{
    return dialogs().message(this, QMessageBox::Warning, kApplicationTitle, message,
                             QMessageBox::Retry | QMessageBox::Cancel,
                             QMessageBox::Retry) == QMessageBox::Retry;
}

void TFrm_Q7_Manager::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TFrm_Q7_Manager::handsetFound()
{
    setControlEnabled(Btn_Datenschreiben, true);
    setControlEnabled(Btn_DatenLesen, true);
    setControlEnabled(Btn_Loeschen, true);
}

// --- Transfers ----------------------------------------------------------

QList<QWidget*> TFrm_Q7_Manager::transferLockedControls() const
{
    return {Btn_DatenLesen, Btn_Datenschreiben, Btn_Loeschen, Btn_ComTest,
            ComCB_COM,      ComCB_BAUD,         ComCB_Fluss};
}

void TFrm_Q7_Manager::beginTransfer(const QList<QWidget*>& alsoLocked)
{
    if (m_transferDepth == 0)
        lockEditing(true);
    if (m_transferDepth++ == 0)
        m_exchange->clearCancel();
    for (QWidget* control : transferLockedControls() + alsoLocked) {
        if (m_enabledBeforeTransfer.contains(control))
            continue;
        m_enabledBeforeTransfer.insert(control, control->isEnabled());
        control->setEnabled(false);
    }
}

void TFrm_Q7_Manager::endTransfer()
{
    if (--m_transferDepth > 0)
        return;
    for (auto it = m_enabledBeforeTransfer.cbegin(); it != m_enabledBeforeTransfer.cend(); ++it)
        it.key()->setEnabled(it.value());
    m_enabledBeforeTransfer.clear();
    lockEditing(false);
    setBusy(false);
    if (m_closePending) {
        // Close from the event loop, once the operation's frames are gone.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void TFrm_Q7_Manager::setControlEnabled(QWidget* control, bool enabled)
{
    if (m_enabledBeforeTransfer.contains(control))
        m_enabledBeforeTransfer[control] = enabled;
    else
        control->setEnabled(enabled);
}

// --- End ------------------------------------------------------------------

void TFrm_Q7_Manager::Btn_CloseClick()
{
    close();
}

void TFrm_Q7_Manager::closeEvent(QCloseEvent* event)
{
    if (!m_closePending && !mayClose()) {
        event->ignore();
        return;
    }
    if (transferRunning()) {
        m_closePending = true;
        m_exchange->cancel();
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
    savePhonebookOptions(*m_settings, phonebookOptions());
    m_settings->setValue(kLastFolderKey, m_lastFolder);
    m_settings->setValue(kGeometryKey, saveGeometry());
    m_settings->sync();
}

} // namespace q7
