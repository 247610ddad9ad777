// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/PhonebookPage.h"

#include "app/common/ClickLabel.h"
#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/Placement.h"
#include "app/phonebook/ContactTools.h"
#include "app/phonebook/EditHistory.h"
#include "app/phonebook/NoHandsetNotice.h"
#include "app/phonebook/PhoneListPreview.h"
#include "app/phonebook/PhonebookCommands.h"
#include "app/phonebook/SnapshotsDialog.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/HandsetEntries.h"
#include "editing/NewEntryRules.h"
#include "editing/ui/NeuerEintragDialog.h"
#include "editing/ui/PhonebookMenu.h"
#include "editing/ui/TreeEditor.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NoteLines.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/WritePlan.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSet>
#include <QTreeWidget>
#include <utility>

namespace q7 {

namespace {

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

// An edit of more records than this shows in trees built anew: patching
// node by node would take longer, and little is left of what was open or
// selected.
constexpr qsizetype kMostRecords = kLastShownRecord / 2;

} // namespace

PhonebookPage::PhonebookPage(const ManagerContext& context, std::function<bool()> transferRunning,
                             StatusPanel* clipboardPanel, QWidget* parent)
    : QWidget(parent), m_context(context), m_window(context.window), m_store(&context.store),
      m_groups(context.groups), m_numberTypeNames(context.numberTypeNames),
      m_languageFile(context.texts)
{
    setObjectName(QStringLiteral("TabSheet_Telefonbuch"));
    createControls();
    m_trees = std::make_unique<PhonebookTrees>(TV_Telefonbuch, TV_FirstNine, *m_store,
                                               m_languageFile, m_numberTypeNames);
    m_trees->setHandsetImage(&m_context.handset);
    rebuildTrees();
    m_commands = new PhonebookCommands(m_context, this, *m_trees, TV_Telefonbuch, TV_FirstNine,
                                       std::move(transferRunning), clipboardPanel);
    connect(m_commands, &PhonebookCommands::edited, this, &PhonebookPage::applyEdit);
    connect(m_commands, &PhonebookCommands::restored, this,
            [this](const QList<int>& records, QTreeWidget* tree) {
                showInTrees(records, {}, tree);
                CollectGroupNames(*m_store, m_groups);
            });
}

PhonebookPage::~PhonebookPage()
{
    // The commands' editor and history go before the trees and the store.
    delete std::exchange(m_commands, nullptr);
}

void PhonebookPage::closeEditor()
{
    m_commands->closeEditor();
}

void PhonebookPage::createControls()
{
    TV_FirstNine = tree(this, "TV_FirstNine", 16, 8, 273, 225, 13, 18);
    TV_Telefonbuch = tree(this, "TV_Telefonbuch", 304, 8, 313, 441, 17, 19);

    GroupBox1 = place(new QGroupBox(this), "GroupBox1", 16, 256, 129, 113);
    Btn_DatenLesen = button(GroupBox1, "Btn_DatenLesen", 16, 14, 97, 25);
    Btn_Datenschreiben = button(GroupBox1, "Btn_Datenschreiben", 16, 46, 97, 25);
    Btn_Loeschen = button(GroupBox1, "Btn_Loeschen", 16, 78, 97, 25);
    // Reading, writing and erasing wait for a handset the search has found.
    Btn_DatenLesen->setEnabled(false);
    Btn_Datenschreiben->setEnabled(false);
    Btn_Loeschen->setEnabled(false);
    connect(Btn_DatenLesen, &QPushButton::clicked, this, &PhonebookPage::readRequested);
    connect(Btn_Datenschreiben, &QPushButton::clicked, this, &PhonebookPage::writeRequested);
    connect(Btn_Loeschen, &QPushButton::clicked, this, &PhonebookPage::eraseRequested);

    GroupBox2 = place(new QGroupBox(this), "GroupBox2", 152, 256, 137, 113);
    Btn_Datenladen = button(GroupBox2, "Btn_Datenladen", 20, 14, 97, 25);
    Btn_Datenspeichern = button(GroupBox2, "Btn_Datenspeichern", 20, 46, 97, 25);
    // Keeping the handset in step with an address book, beside the files.
    Btn_Abgleichen = button(GroupBox2, "Btn_Abgleichen", 20, 78, 97, 25);
    Btn_Abgleichen->setEnabled(false);
    connect(Btn_Datenladen, &QPushButton::clicked, this, &PhonebookPage::loadRequested);
    connect(Btn_Datenspeichern, &QPushButton::clicked, this, &PhonebookPage::saveRequested);
    connect(Btn_Abgleichen, &QPushButton::clicked, this, &PhonebookPage::syncRequested);

    Label1 = place(new ClickLabel(this), "Label1", 0, 387, 305, 14);
    Label1->setAlignment(Qt::AlignCenter);
    connect(Label1, &ClickLabel::clicked, this, &PhonebookPage::aboutRequested);

    Btn_Close = button(this, "Btn_Close", 112, 408, 75, 25);
    Btn_NeuerEintrag = button(this, "Btn_NeuerEintrag", 424, 452, 81, 25);
    connect(Btn_Close, &QPushButton::clicked, this, &PhonebookPage::closeRequested);
    connect(Btn_NeuerEintrag, &QPushButton::clicked, this, &PhonebookPage::newEntryRequested);
    // Tidying up the phonebook, below the file operations.
    Btn_Doppelte = button(this, "Btn_Doppelte", 16, 448, 117, 25);
    Btn_Vereinheitlichen = button(this, "Btn_Vereinheitlichen", 139, 448, 157, 25);
    connect(Btn_Doppelte, &QPushButton::clicked, this, &PhonebookPage::Btn_DoppelteClick);
    connect(Btn_Vereinheitlichen, &QPushButton::clicked, this,
            &PhonebookPage::Btn_VereinheitlichenClick);
    Edt_Suchen = place(new QLineEdit(this), "Edt_Suchen", 304, 452, 113, 25);
    Edt_Suchen->setClearButtonEnabled(true);
    connect(Edt_Suchen, &QLineEdit::textChanged, this, &PhonebookPage::Edt_SuchenChange);
    auto* clearSearch = new QAction(Edt_Suchen);
    clearSearch->setShortcut(Qt::Key_Escape);
    clearSearch->setShortcutContext(Qt::WidgetShortcut);
    Edt_Suchen->addAction(clearSearch);
    connect(clearSearch, &QAction::triggered, Edt_Suchen, &QLineEdit::clear);
    auto* toResults = new QAction(Edt_Suchen);
    toResults->setShortcuts(
        {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Down)});
    toResults->setShortcutContext(Qt::WidgetShortcut);
    Edt_Suchen->addAction(toResults);
    connect(toResults, &QAction::triggered, this, &PhonebookPage::enterResults);

    // The way back to what the handset held: one click, or Ctrl+B anywhere on the page.
    Btn_Sicherungen = button(this, "Btn_Sicherungen", 16, 408, 81, 25);
    connect(Btn_Sicherungen, &QPushButton::clicked, this, &PhonebookPage::Btn_SicherungenClick);
    auto* snapshots = new QAction(this);
    snapshots->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    snapshots->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(snapshots);
    connect(snapshots, &QAction::triggered, Btn_Sicherungen, &QPushButton::click);

    // The phone list on paper: the button, or Ctrl+P anywhere on the page.
    Btn_Drucken = button(this, "Btn_Drucken", 511, 452, 106, 25);
    connect(Btn_Drucken, &QPushButton::clicked, this, &PhonebookPage::Btn_DruckenClick);
    auto* print = new QAction(this);
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    print->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(print);
    connect(print, &QAction::triggered, Btn_Drucken, &QPushButton::click);

    // Shown while a read, write or erase runs: it ends after the current record.
    Btn_Anhalten = button(this, "Btn_Anhalten", 196, 408, 93, 25);
    Btn_Anhalten->hide();
    connect(Btn_Anhalten, &QPushButton::clicked, this, &PhonebookPage::stopRequested);

    ProgressBar = place(new QProgressBar(this), "ProgressBar", 0, 484, 625, 17);
    ProgressBar->setRange(0, kRecordCount);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    m_noHandsetNotice = place(new NoHandsetNotice(this), "NoHandsetNotice", 16, 436, 273, 46);
    m_noHandsetNotice->hide();
    connect(m_noHandsetNotice, &NoHandsetNotice::optionsRequested, this,
            &PhonebookPage::optionsRequested);

    // Tab follows the page's two columns: the First Nine tree and the
    // operations below it, top to bottom; then the phonebook, its search
    // and the new entry. The notice's button stands where the tidying
    // buttons stand while it shows.
    const QList<QWidget*> tabOrder = {TV_FirstNine,         Btn_DatenLesen,
                                      Btn_Datenschreiben,   Btn_Loeschen,
                                      Btn_Datenladen,       Btn_Datenspeichern,
                                      Btn_Abgleichen,       Label1,
                                      Btn_Sicherungen,      Btn_Close,
                                      Btn_Anhalten,         Btn_Doppelte,
                                      Btn_Vereinheitlichen, m_noHandsetNotice->optionsButton(),
                                      TV_Telefonbuch,       Edt_Suchen,
                                      Btn_NeuerEintrag,     Btn_Drucken};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void PhonebookPage::applyTexts()
{
    const LanguageFile& texts = m_languageFile;
    Btn_DatenLesen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_DatenLesen));
    Btn_Datenschreiben->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenschreiben));
    Btn_Loeschen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenloeschen));
    Btn_Datenladen->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenladen));
    Btn_Datenspeichern->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Datenspeichern));
    Btn_Close->setText(texts.text(TextId::TAB_Telefonbuch_Btn_Close));
    Label1->setText(texts.text(TextId::Hauptfenster_Label1));
    Btn_NeuerEintrag->setText(texts.text(TextId::TAB_Telefonbuch_Btn_NeuerEintrag));
    Btn_Doppelte->setText(texts.text(TextId::Kontakte_DoppelteEintraege));
    Btn_Vereinheitlichen->setText(texts.text(TextId::Kontakte_Vereinheitlichen));
    Btn_Anhalten->setText(texts.text(TextId::Schreiben_Anhalten));
    Btn_Sicherungen->setText(texts.text(TextId::Sicherungen_Caption));
    Btn_Drucken->setText(texts.text(TextId::Drucken_Btn_Drucken));
    Btn_Abgleichen->setText(texts.text(TextId::Abgleich_Btn));
    // After the text: a caption's accelerator would take the place of Esc.
    Btn_Anhalten->setShortcut(Qt::Key_Escape);
    Edt_Suchen->setPlaceholderText(texts.text(TextId::TAB_Telefonbuch_Suchen));
    // What a screen reader calls the controls that have no caption of their own.
    TV_Telefonbuch->setAccessibleName(texts.text(TextId::TAB_Telefonbuch_Telefonbuch));
    TV_FirstNine->setAccessibleName(texts.text(TextId::TAB_Telefonbuch_Firstnine));
    Edt_Suchen->setAccessibleName(texts.text(TextId::Vorlesen_Suchen));
    ProgressBar->setAccessibleName(texts.text(TextId::Vorlesen_Fortschritt));
    m_noHandsetNotice->applyTexts(texts);
    m_commands->phonebookMenu().applyTexts(texts, m_numberTypeNames);
}

void PhonebookPage::lockEditing(bool locked)
{
    m_commands->lockEditing(locked);
}

void PhonebookPage::PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos)
{
    m_commands->PU_Menu_TelefonbuchPopup(tree, globalPos);
}

void PhonebookPage::runMenuCommand(MenuItem item, QTreeWidget* tree)
{
    m_commands->runMenuCommand(item, tree);
}

void PhonebookPage::focusSearch()
{
    Edt_Suchen->setFocus(Qt::ShortcutFocusReason);
    Edt_Suchen->selectAll();
}

void PhonebookPage::setCountryCode(int countryCode)
{
    m_countryCode = countryCode;
    m_filter = EntryFilter(Edt_Suchen->text(), m_countryCode);
    filterPhonebook();
}

void PhonebookPage::rebuildTrees()
{
    m_trees->RebuildPhonebookTree();
    m_trees->RebuildFirstNineTree();
    filterPhonebook();
}

void PhonebookPage::Edt_SuchenChange(const QString& text)
{
    m_filter = EntryFilter(text, m_countryCode);
    filterPhonebook();
}

// Enter or Down in the search field: the first entry it shows is selected
// and the phonebook tree has the focus. Without one the cursor stays.
void PhonebookPage::enterResults()
{
    QTreeWidgetItem* root = m_trees->phonebookRoot();
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* entry = root->child(i);
        if (entry->isHidden())
            continue;
        root->setExpanded(true);
        // The tree first, then its entry: a screen reader says them in that order.
        TV_Telefonbuch->setFocus(Qt::OtherFocusReason);
        TV_Telefonbuch->setCurrentItem(entry);
        TV_Telefonbuch->scrollToItem(entry);
        return;
    }
}

// Hides the entries the search does not find. Only a change of the search
// text or a rebuild filters: an entry that an edit makes a non-match stays in
// sight under the user's cursor.
void PhonebookPage::filterPhonebook()
{
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (QTreeWidgetItem* entry = m_trees->phonebookNode(r))
            entry->setHidden(!m_filter.matches(*m_store, r));
}

// --- The store and its history ---------------------------------------------

void PhonebookPage::takeStore(RecordStore store, Replacement by)
{
    *m_store = std::move(store);
    m_replacedBy = by;
    history().start(true);
    rebuildTrees();
    CollectGroupNames(*m_store, m_groups);
}

void PhonebookPage::showRecovered()
{
    // Kept from a whole phonebook, as a file is.
    m_replacedBy = Replacement::File;
    // The recovered edits were never written or saved anywhere.
    history().start(false);
    history().markUnsaved();
    rebuildTrees();
    CollectGroupNames(*m_store, m_groups);
}

void PhonebookPage::applyEdit(const EditResult& result, TextId step, QTreeWidget* commandTree)
{
    if (!result.changed())
        return;
    history().storeEdited(result, step);
    showInTrees(result.touched, result.moves, commandTree ? commandTree : TV_Telefonbuch);
    CollectGroupNames(*m_store, m_groups);
}

void PhonebookPage::showInTrees(const QList<int>& records, const QList<EntryMove>& moves,
                                QTreeWidget* commandTree)
{
    if (records.size() > kMostRecords)
        rebuildTrees();
    else
        m_trees->showRecords(records, moves, commandTree);
}

int PhonebookPage::entriesUnlikeHandset() const
{
    return q7::entriesUnlikeHandset(*m_store, m_context.handset, m_replacedBy != Replacement::None);
}

bool PhonebookPage::hasUnsavedEdits() const
{
    // After an erase, a load or a failed write the window may hold entries
    // that are nowhere else: that is as much to lose as an edit.
    return m_commands->history().hasUnsavedEdits() || entriesUnlikeHandset() > 0;
}

bool PhonebookPage::askBeforeLoss(TextId editsQuestion)
{
    if (m_commands->history().hasUnsavedEdits())
        return askYesNo(m_languageFile.text(editsQuestion));
    const int unlike = entriesUnlikeHandset();
    return unlike == 0 || askYesNo(m_languageFile.text(TextId::TAB_Telefonbuch_FrageHandyAnders)
                                       .arg(entryCount(unlike, m_languageFile)));
}

bool PhonebookPage::askYesNo(const QString& question)
{
    return dialogs().message(m_window, QMessageBox::Question, kApplicationTitle, question,
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) == QMessageBox::Yes;
}

bool PhonebookPage::mayReplaceEdits()
{
    return askBeforeLoss(TextId::TAB_Telefonbuch_FrageErsetzen);
}

bool PhonebookPage::mayClose(bool phonebookTransfer)
{
    // The text in an open editor is an edit too.
    m_commands->finishEditing();
    // A write cut off by a stray click leaves the handset half written.
    if (phonebookTransfer &&
        !askYesNo(m_languageFile.text(TextId::TAB_Telefonbuch_FrageUebertragung)))
        return false;
    if (const std::optional<bool> notes = askAboutNotes())
        return *notes;
    return askBeforeLoss(TextId::TAB_Telefonbuch_FrageBeenden);
}

std::optional<bool> PhonebookPage::askAboutNotes()
{
    // Saved to a file since the write, they are no longer the window's alone.
    if (!m_commands->history().hasUnsavedEdits())
        return std::nullopt;
    const QList<int> notes = notesOnlyInWindow(*m_store, m_context.handset);
    if (notes.isEmpty())
        return std::nullopt;
    const auto answer = dialogs().message(
        m_window, QMessageBox::Question, kApplicationTitle,
        notesOnlyInWindowQuestion(*m_store, notes, m_languageFile),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    // Not saving them is the answer to every other loss too.
    if (answer == QMessageBox::Discard)
        return true;
    // A save cancelled or failed keeps the window open, the notes in it.
    if (answer != QMessageBox::Save || !m_saveToFile || !m_saveToFile())
        return false;
    return std::nullopt;
}

// --- The snapshots -----------------------------------------------------------

void PhonebookPage::Btn_SicherungenClick()
{
    guarded([this] {
        SnapshotsDialog dialog(Snapshots().list(), *m_store, m_languageFile, m_window);
        if (dialogs().execDialog(dialog) != QDialog::Accepted)
            return;
        const std::optional<SnapshotInfo> chosen = dialog.chosen();
        if (!chosen)
            return;
        // One step, named as an import is: the whole phonebook as the
        // snapshot holds it, each entry to be written, so that the next
        // write (after its plan) puts the handset back.
        const EditResult result = replaceWithSnapshot(*m_store, Snapshots::load(*chosen));
        if (!result.changed())
            return;
        m_replacedBy = Replacement::Snapshot;
        applyEdit(result, TextId::Rueckgaengig_Import);
    });
}

// --- The printed phone list ------------------------------------------------

void PhonebookPage::Btn_DruckenClick()
{
    guarded([this] {
        // The list follows the tree: its order, and what is selected in it
        // (a selected number stands for its entry).
        QSet<int> chosen;
        for (const QTreeWidgetItem* item : TV_Telefonbuch->selectedItems())
            chosen.insert(PhonebookTrees::recordOfItem(item));
        QList<int> order;
        QList<int> selected;
        const QTreeWidgetItem* root = m_trees->phonebookRoot();
        for (int i = 0; i < root->childCount(); ++i) {
            const int record = PhonebookTrees::recordOfItem(root->child(i));
            order << record;
            if (chosen.contains(record))
                selected << record;
        }
        PhoneListPreview preview(*m_store, order, selected, m_languageFile, m_numberTypeNames,
                                 m_window);
        dialogs().execDialog(preview);
    });
}

// --- A new entry ------------------------------------------------------------

void PhonebookPage::Btn_NeuerEintragClick()
{
    guarded([this] {
        TFrm_NeuerEintrag dialog(m_languageFile, m_numberTypeNames, m_groups, m_window);
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
        applyEdit(result, TextId::Rueckgaengig_NeuerEintrag);
        // The new entry is where the user looks next, also when the search
        // would hide it.
        if (QTreeWidgetItem* entry = m_trees->phonebookNode(result.target)) {
            entry->setHidden(false);
            m_trees->phonebookRoot()->setExpanded(true);
            TV_Telefonbuch->clearSelection();
            TV_Telefonbuch->setFocus(Qt::OtherFocusReason);
            TV_Telefonbuch->setCurrentItem(entry);
            TV_Telefonbuch->scrollToItem(entry);
        }
    });
}

// --- Duplicates and one number form ----------------------------------------

void PhonebookPage::showNoHandsetNotice(bool shown)
{
    m_noHandsetNotice->setVisible(shown);
    Btn_Doppelte->setVisible(!shown);
    Btn_Vereinheitlichen->setVisible(!shown);
}

void PhonebookPage::showSearchResult(bool found, std::optional<PortFailureCause> cause,
                                     const QString& port)
{
    m_noHandsetNotice->setCause(cause, port);
    showNoHandsetNotice(!found);
}

// --- What the transfers work with --------------------------------------------

QList<QWidget*> PhonebookPage::handsetControls() const
{
    return {Btn_DatenLesen, Btn_Datenschreiben, Btn_Loeschen, Btn_Abgleichen};
}

QList<QWidget*> PhonebookPage::storeControls() const
{
    return {Btn_Datenladen, Btn_Datenspeichern, Btn_NeuerEintrag, Btn_Doppelte,
            Btn_Vereinheitlichen};
}

void PhonebookPage::offerStop(bool offered)
{
    if (offered)
        Btn_Anhalten->setEnabled(true);
    Btn_Anhalten->setVisible(offered);
}

void PhonebookPage::stopTaken()
{
    // Asked once: pressing it again would say nothing new.
    Btn_Anhalten->setEnabled(false);
}

int PhonebookPage::progressValue() const
{
    return ProgressBar->value();
}

int PhonebookPage::progressMaximum() const
{
    return ProgressBar->maximum();
}

QString PhonebookPage::saveCaption() const
{
    return Btn_Datenspeichern->text();
}

void PhonebookPage::Btn_DoppelteClick()
{
    guarded([this] {
        showDuplicates(*m_store, m_languageFile, m_numberTypeNames, m_window,
                       [this](const EditResult& result) {
                           applyEdit(result, TextId::Rueckgaengig_Zusammenfuehren);
                       });
    });
}

void PhonebookPage::Btn_VereinheitlichenClick()
{
    guarded([this] {
        unifyNumbers(*m_store, m_languageFile, m_window, [this](const EditResult& result) {
            applyEdit(result, TextId::Rueckgaengig_Vereinheitlichen);
        });
    });
}

} // namespace q7
