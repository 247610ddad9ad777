// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/PhonebookCommands.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/ManagerContext.h"
#include "app/common/StatusPanel.h"
#include "app/phonebook/EditHistory.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "editing/ui/PhonebookMenu.h"
#include "editing/ui/TreeEditor.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

namespace q7 {

namespace {

using M = MenuItem;

// What the undo items call the step a command makes.
TextId undoStepOf(MenuItem item)
{
    if (item == M::PM_Loeschen)
        return TextId::Rueckgaengig_Loeschen;
    if (item == M::PM_Ausschneiden)
        return TextId::Rueckgaengig_Ausschneiden;
    if (item == M::PM_Einfuegen)
        return TextId::Rueckgaengig_Einfuegen;
    std::optional<MenuItem> parent = parentOf(item);
    if (parent == M::PM_FirstNine)
        parent = M::PM_Verschieben;
    if (parent == M::PM_Hinzufuegen)
        return TextId::Rueckgaengig_Hinzufuegen;
    if (parent == M::PM_Einfuegenals)
        return TextId::Rueckgaengig_Einfuegen;
    if (parent == M::PM_Gruppezuweisen)
        return TextId::Rueckgaengig_Gruppe;
    if (parent == M::PM_Verschieben)
        return TextId::Rueckgaengig_Verschieben;
    if (parent == M::PM_NR_Aendern)
        return TextId::Rueckgaengig_Nummernart;
    return TextId::Rueckgaengig_Bearbeiten;
}

} // namespace

PhonebookCommands::PhonebookCommands(const ManagerContext& context, QWidget* page,
                                     PhonebookTrees& trees, QTreeWidget* phonebookTree,
                                     QTreeWidget* firstNineTree,
                                     std::function<bool()> transferRunning,
                                     StatusPanel* clipboardPanel)
    : QObject(page), m_window(context.window), m_host(context.host), m_page(page),
      m_store(context.store), m_groups(context.groups), m_numberTypeNames(context.numberTypeNames),
      m_languageFile(context.texts), m_trees(trees), TV_Telefonbuch(phonebookTree),
      TV_FirstNine(firstNineTree), m_transferRunning(std::move(transferRunning)),
      m_clipboardPanel(clipboardPanel)
{
    connectEditing();
}

PhonebookCommands::~PhonebookCommands()
{
    closeEditor();
    delete std::exchange(m_history, nullptr);
}

void PhonebookCommands::closeEditor()
{
    delete std::exchange(m_treeEditor, nullptr);
}

void PhonebookCommands::finishEditing()
{
    if (m_treeEditor)
        m_treeEditor->finishEditing();
}

void PhonebookCommands::connectEditing()
{
    // The menu and the editor belong to the page's widgets.
    m_menu = new PhonebookMenu(m_page);
    m_treeEditor = new TreeEditor(m_trees, m_store, m_page);
    for (QTreeWidget* tree : {TV_Telefonbuch, TV_FirstNine}) {
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint& at) {
            PU_Menu_TelefonbuchPopup(tree, tree->viewport()->mapToGlobal(at));
        });
        m_menu->addShortcutsTo(tree);
    }
    connect(TV_Telefonbuch, &QTreeWidget::itemClicked, this,
            &PhonebookCommands::TV_TelefonbuchClick);
    connect(TV_FirstNine, &QTreeWidget::itemClicked, this, &PhonebookCommands::TV_FirstNineClick);
    connect(m_menu, &PhonebookMenu::chosen, this, [this](MenuItem item) {
        if (m_menuTree)
            runMenuCommand(item, m_menuTree);
    });
    connect(m_menu, &PhonebookMenu::shortcutPressed, this, [this](MenuItem item, QWidget* tree) {
        // With the menu open its own keys come first.
        if (!QApplication::activePopupWidget())
            runMenuCommand(item, static_cast<QTreeWidget*>(tree));
    });
    connect(m_treeEditor, &TreeEditor::textEdited, this,
            [this](const NodeTarget& target, const QString& text) {
                if (target.tree == TV_Telefonbuch)
                    TV_TelefonbuchItemChange(target, text);
                else
                    TV_FirstNineItemChange(target, text);
            });
    connect(m_treeEditor, &TreeEditor::newNumberClosed, this, &PhonebookCommands::newNumberClosed);
    // The editor's keys (Del, Shift+Ins, ...) are its own while it is open.
    connect(m_treeEditor, &TreeEditor::editorOpened, this, [this] {
        m_menu->setShortcutsEnabled(false);
        m_history->updateActions();
    });
    connect(m_treeEditor, &TreeEditor::editorClosed, this, [this] {
        m_menu->setShortcutsEnabled(!m_transferRunning());
        m_history->updateActions();
    });
    m_history = new EditHistory(
        m_store, m_languageFile, [this] { return editingAllowed(); },
        [this](const QList<int>& records) { showUndone(records); }, m_page);
    m_history->addTo(m_menu->menu(), {TV_Telefonbuch, TV_FirstNine});
    // Why an edit kept the old text, or which characters will not arrive as
    // typed: the status bar keeps it after the tooltip has gone.
    connect(m_treeEditor, &TreeEditor::notice, this, [this](const QString& message) {
        // Taking a notice back must not wipe what a transfer said.
        if (message.isEmpty() && m_showsNotice)
            m_host.showStatus(m_languageFile.text(TextId::Statusleiste_Ruhezustand));
        else if (!message.isEmpty())
            m_host.showStatus(message);
        m_showsNotice = !message.isEmpty();
    });
    // A write clears the changed flags of every record it sent, a read or
    // load brings others; the bold names follow whatever changed the state.
    connect(m_history, &EditHistory::stateChanged, this, [this] { m_trees.showChangedMarks(); });
    acceptDrops();
}

// An entry of the phonebook tree dragged onto the First Nine tree moves there
// as the menu's move does, and one dragged inside the First Nine tree onto
// another position exchanges places with the entry there, as the menu does.
// The drag only ever copies: a move action would let the tree remove the
// dragged nodes itself.
void PhonebookCommands::acceptDrops()
{
    TV_Telefonbuch->setDragEnabled(true);
    TV_Telefonbuch->setDragDropMode(QAbstractItemView::DragOnly);
    TV_Telefonbuch->setDefaultDropAction(Qt::CopyAction);
    TV_FirstNine->setDragEnabled(true);
    TV_FirstNine->setDefaultDropAction(Qt::CopyAction);
    TV_FirstNine->setAcceptDrops(true);
    TV_FirstNine->viewport()->setAcceptDrops(true);
    TV_FirstNine->viewport()->installEventFilter(this);
}

bool PhonebookCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TV_FirstNine->viewport() &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop))
        return dropOnFirstNine(event);
    return QObject::eventFilter(watched, event);
}

bool PhonebookCommands::dropOnFirstNine(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<DropTarget> target = dropTarget(drop->source(), drop->position().toPoint());
    if (!target) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() == QEvent::Drop)
        dropEntry(target->record, target->position, target->tree);
    return true;
}

std::optional<PhonebookCommands::DropTarget>
PhonebookCommands::dropTarget(const QObject* source, const QPoint& viewportPos) const
{
    QTreeWidget* tree = source == TV_Telefonbuch ? TV_Telefonbuch
                        : source == TV_FirstNine ? TV_FirstNine
                                                 : nullptr;
    if (!tree || !editingAllowed())
        return std::nullopt;
    const NodeTarget dragged = m_treeEditor->selectedTarget(tree);
    const int position = firstNinePositionAt(viewportPos);
    if (dragged.kind != NodeKind::Entry || position == 0)
        return std::nullopt;
    return DropTarget{tree, dragged.record, position};
}

int PhonebookCommands::firstNinePositionAt(const QPoint& viewportPos) const
{
    QTreeWidgetItem* node = TV_FirstNine->itemAt(viewportPos);
    while (node && node->parent() && node->parent() != m_trees.firstNineRoot())
        node = node->parent();
    for (int p = 1; node && node->parent() && p <= kFirstNineCount; ++p)
        if (m_trees.firstNineNode(p) == node)
            return p;
    // The root or the room below the positions: the first free one.
    for (int p = 1; p <= kFirstNineCount; ++p)
        if (!m_store.isLive(kLastMemoryRecord + p))
            return p;
    return 0;
}

void PhonebookCommands::dropEntry(int record, int position, QTreeWidget* sourceTree)
{
    // Dropped back onto its own position, it stays.
    if (!editingAllowed() || !m_store.isLive(record) || record == kLastMemoryRecord + position)
        return;
    m_step = TextId::Rueckgaengig_Verschieben;
    guarded([&] { moveToPosition(record, position, sourceTree ? sourceTree : TV_Telefonbuch); });
}

bool PhonebookCommands::editingAllowed() const
{
    return m_treeEditor && !m_transferRunning() && !m_treeEditor->editorOpen();
}

void PhonebookCommands::lockEditing(bool locked)
{
    if (!m_treeEditor)
        return; // the window is going
    if (locked) {
        // An edit under way goes into the store before the transfer reads
        // or replaces it, as a click on the button would have done.
        m_treeEditor->finishEditing();
        m_menu->menu()->hide();
    }
    m_menu->setShortcutsEnabled(!locked && !m_treeEditor->editorOpen());
    m_history->updateActions();
}

void PhonebookCommands::showEdited(const EditResult& result, QTreeWidget* commandTree)
{
    // The step after it is an edit again, unless a command names it.
    emit edited(result, std::exchange(m_step, TextId::Rueckgaengig_Bearbeiten), commandTree);
}

void PhonebookCommands::showUndone(const QList<int>& records)
{
    emit restored(records, TV_FirstNine->hasFocus() ? TV_FirstNine : TV_Telefonbuch);
}

void PhonebookCommands::showClipboard()
{
    if (!m_clipboard.holdsNumber()) {
        m_clipboardPanel->clear();
        return;
    }
    m_clipboardPanel->setText(m_languageFile.text(TextId::Statusleiste_Zwischenablage) + u' ' +
                              decodePc(m_clipboard.number));
}

QList<int> PhonebookCommands::entriesOf(const NodeTarget& target) const
{
    const QList<int> selected = m_treeEditor->selectedEntryRecords(target.tree);
    return selected.contains(target.record) ? selected : QList<int>{target.record};
}

// --- The menu and the command tree --------------------------------------

void PhonebookCommands::PU_Menu_TelefonbuchPopup(QTreeWidget* tree, const QPoint& globalPos)
{
    if (!editingAllowed())
        return;
    m_menuTree = tree;
    const NodeTarget target = m_treeEditor->selectedTarget(tree);
    m_menu->apply(prepareMenu(target.kind, m_store, target.record, m_clipboard, m_groups.names()));
    // The undo items are there on every node, the root included.
    m_menu->menu()->popup(globalPos);
}

void PhonebookCommands::runMenuCommand(MenuItem item, QTreeWidget* tree)
{
    if (!editingAllowed())
        return;
    const NodeTarget target = m_treeEditor->selectedTarget(tree);
    // The desktop's paste key on an entry adds the number beside the others.
    if (item == M::PM_Einfuegen && target.kind == NodeKind::Entry && m_clipboard.holdsNumber()) {
        const std::optional<MenuItem> pasteAs = pasteOnEntry(m_store, target.record);
        if (!pasteAs) {
            m_host.showStatus(m_languageFile.text(TextId::Eingabe_KeinFreierPlatz)
                                  .arg(decodePc(m_store.field(target.record, Name))));
            return;
        }
        item = *pasteAs;
    }
    if (!commandFits(
            item, prepareMenu(target.kind, m_store, target.record, m_clipboard, m_groups.names())))
        return;
    if (isSubmenu(item))
        return; // it opens its items and does nothing itself
    m_step = undoStepOf(item);
    guarded([&] {
        switch (item) {
        case M::PM_Editieren:
            return PM_EditierenClick(target);
        case M::PM_Loeschen:
            return PM_LoeschenClick(target);
        case M::PM_HF_Nummer1:
        case M::PM_HF_Nummer2:
        case M::PM_HF_Nummer3:
            return PM_HF_NummerClick(item, target);
        case M::PM_Einfuegenals_Nummer1:
        case M::PM_Einfuegenals_Nummer2:
        case M::PM_Einfuegenals_Nummer3:
            return PM_Einfuegenals_NummerClick(item, target);
        case M::PM_Gruppe1:
        case M::PM_Gruppe2:
        case M::PM_Gruppe3:
        case M::PM_Gruppe4:
        case M::PM_Gruppe5:
        case M::PM_Gruppe6:
        case M::PM_Gruppe7:
        case M::PM_Gruppe8:
        case M::PM_Gruppe9:
        case M::PM_KeineGruppe:
            return PM_GruppeClick(item, target);
        case M::PM_VerschiebenaufMEM:
            return PM_VerschiebenaufMEMClick(target);
        case M::PM_VerschiebenaufSIM:
            return PM_VerschiebenaufSIMClick(target);
        case M::PM_FNV_Position1:
        case M::PM_FNV_Position2:
        case M::PM_FNV_Position3:
        case M::PM_FNV_Position4:
        case M::PM_FNV_Position5:
        case M::PM_FNV_Position6:
        case M::PM_FNV_Position7:
        case M::PM_FNV_Position8:
        case M::PM_FNV_Position9:
            return PM_FNV_PositionClick(item, target);
        case M::PM_Telefon:
            return PM_TelefonClick(target);
        case M::PM_Heim:
            return PM_HeimClick(target);
        case M::PM_Buero:
            return PM_BueroClick(target);
        case M::PM_Mobil:
            return PM_MobilClick(target);
        case M::PM_Fax:
            return PM_FaxClick(target);
        case M::PM_Funkruf:
            return PM_FunkrufClick(target);
        case M::PM_Etc:
            return PM_EtcClick(target);
        case M::PM_Kopieren:
        case M::PM_Ausschneiden:
            return PM_KopierenClick(item, target);
        case M::PM_Einfuegen:
            return PM_EinfuegenClick(target);
        default:
            Q_ASSERT(isSubmenu(item));
            return;
        }
    });
}

// --- In-place editing -----------------------------------------------------

void PhonebookCommands::PM_EditierenClick(const NodeTarget& target)
{
    const bool permitted =
        target.tree == TV_Telefonbuch ? TV_TelefonbuchTryEdit(target) : TV_FirstNineTryEdit(target);
    if (permitted)
        m_treeEditor->openEditor(target);
}

bool PhonebookCommands::TV_TelefonbuchTryEdit(const NodeTarget& target)
{
    return editingAllowed() && TreeEditor::mayEdit(target);
}

bool PhonebookCommands::TV_FirstNineTryEdit(const NodeTarget& target)
{
    return editingAllowed() && TreeEditor::mayEdit(target);
}

void PhonebookCommands::TV_TelefonbuchItemChange(const NodeTarget& target, const QString& text)
{
    storeEditedText(target, text);
}

void PhonebookCommands::TV_FirstNineItemChange(const NodeTarget& target, const QString& text)
{
    storeEditedText(target, text);
}

void PhonebookCommands::storeEditedText(const NodeTarget& target, const QString& text)
{
    // An empty text is refused by the store; the node then shows the stored
    // one again, as it shows the stored 30 characters of a longer text.
    const QByteArray stored = encodePc(text);
    m_step = target.kind == NodeKind::Entry ? TextId::Rueckgaengig_Umbenennen
                                            : TextId::Rueckgaengig_Nummer;
    EditResult result;
    if (target.kind == NodeKind::Entry)
        result = storeName(m_store, target.record, stored);
    else if (target.kind == NodeKind::Number)
        result = storeNumber(m_store, target.record, target.slot, stored);
    showEdited(result, target.tree);
}

// --- Clicks ---------------------------------------------------------------

void PhonebookCommands::TV_TelefonbuchClick()
{
    toggleSelectedNode(TV_Telefonbuch);
}

void PhonebookCommands::TV_FirstNineClick()
{
    toggleSelectedNode(TV_FirstNine);
}

void PhonebookCommands::toggleSelectedNode(QTreeWidget* tree)
{
    QTreeWidgetItem* node =
        PhonebookTrees::itemAtFlatIndex(tree, PhonebookTrees::SelectedItemIndex(tree));
    if (node && node->parent() && node->childCount() > 0)
        node->setExpanded(!node->isExpanded());
}

} // namespace q7
