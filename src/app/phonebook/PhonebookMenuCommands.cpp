// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the menu's items on the node they were given for: delete,
// number type, group, moves, new numbers and the number clipboard. Each edits
// the store first and shows the result in the trees.
#include "app/phonebook/PhonebookCommands.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/phonebook/EditHistory.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/PcText.h"
#include "editing/ui/TreeEditor.h"
#include "phonebook/ui/PhonebookTrees.h"

#include <QMessageBox>
#include <QTreeWidget>

namespace q7 {

namespace {

using M = MenuItem;

int indexIn(MenuItem item, MenuItem first)
{
    return static_cast<int>(item) - static_cast<int>(first) + 1;
}

// Whether a move to target would take record r anywhere: an entry already in
// the range stays where it is.
bool leavesItsRange(const RecordStore& store, int r, MoveTarget target)
{
    const bool inRange = target == MoveTarget::Memory
                             ? isMemoryRecord(r)
                             : r > kLastFirstNineRecord && r <= kLastShownRecord;
    return store.isLive(r) && !inRange;
}

} // namespace

// --- Delete, number type, group -------------------------------------------

void PhonebookCommands::PM_LoeschenClick(const NodeTarget& target)
{
    if (target.kind == NodeKind::Entry) {
        // One question for all the selected entries, and one undo step.
        const QList<int> records = entriesOf(target);
        const QString question =
            records.size() == 1
                ? m_languageFile.text(TextId::Contexmenu_LoeschenFrage)
                      .arg(decodePc(m_store.field(records.first(), Name)))
                : m_languageFile.text(TextId::Contexmenu_LoeschenMehrere).arg(records.size());
        const auto answer =
            dialogs().message(m_window, QMessageBox::Question,
                              m_languageFile.text(TextId::Contexmenu_MessageboxCaption), question,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes)
            showEdited(deleteEntries(m_store, records), target.tree);
    } else if (target.kind == NodeKind::Number) {
        showEdited(clearNumber(m_store, target.record, target.slot), target.tree);
    }
}

void PhonebookCommands::PM_TelefonClick(const NodeTarget& target)
{
    setNumberType(target, 0);
}

void PhonebookCommands::PM_HeimClick(const NodeTarget& target)
{
    setNumberType(target, 1);
}

void PhonebookCommands::PM_BueroClick(const NodeTarget& target)
{
    setNumberType(target, 2);
}

void PhonebookCommands::PM_MobilClick(const NodeTarget& target)
{
    setNumberType(target, 3);
}

void PhonebookCommands::PM_FaxClick(const NodeTarget& target)
{
    setNumberType(target, 4);
}

void PhonebookCommands::PM_FunkrufClick(const NodeTarget& target)
{
    setNumberType(target, 5);
}

void PhonebookCommands::PM_EtcClick(const NodeTarget& target)
{
    setNumberType(target, 6);
}

void PhonebookCommands::setNumberType(const NodeTarget& target, int type)
{
    showEdited(q7::setNumberType(m_store, target.record, target.slot,
                                 m_numberTypeNames[static_cast<std::size_t>(type)]),
               target.tree);
}

void PhonebookCommands::PM_GruppeClick(MenuItem item, const NodeTarget& target)
{
    const QByteArray group = item == M::PM_KeineGruppe
                                 ? QByteArray()
                                 : m_groups.names().value(indexIn(item, M::PM_Gruppe1) - 1);
    showEdited(setGroup(m_store, target.record, group), target.tree);
}

// --- Moves ------------------------------------------------------------------

void PhonebookCommands::PM_VerschiebenaufMEMClick(const NodeTarget& target)
{
    const QList<int> records = entriesOf(target);
    const EditResult result = moveEntries(m_store, records, MoveTarget::Memory);
    const bool anyToMove = std::any_of(records.begin(), records.end(), [this](int r) {
        return leavesItsRange(m_store, r, MoveTarget::Memory);
    });
    if (!result.changed() && anyToMove)
        dialogs().message(m_window, QMessageBox::Warning, kApplicationTitle,
                          m_languageFile.text(TextId::Contexmenu_KeinPlatzMEM), QMessageBox::Ok);
    showEdited(result, target.tree);
}

void PhonebookCommands::PM_VerschiebenaufSIMClick(const NodeTarget& target)
{
    const QList<int> records = entriesOf(target);
    const EditResult result = moveEntries(m_store, records, MoveTarget::Sim);
    const bool anyToMove = std::any_of(records.begin(), records.end(), [this](int r) {
        return leavesItsRange(m_store, r, MoveTarget::Sim);
    });
    if (!result.changed() && anyToMove)
        dialogs().message(m_window, QMessageBox::Warning, kApplicationTitle,
                          m_languageFile.text(TextId::Contexmenu_KeinPlatzSIM), QMessageBox::Ok);
    showEdited(result, target.tree);
}

void PhonebookCommands::PM_FNV_PositionClick(MenuItem item, const NodeTarget& target)
{
    moveToPosition(target.record, indexIn(item, M::PM_FNV_Position1), target.tree);
}

void PhonebookCommands::moveToPosition(int record, int position, QTreeWidget* commandTree)
{
    // Onto a held position the two entries exchange places; the status bar
    // names both, so that the other one is not looked for at its old place.
    const QString moving = decodePc(m_store.field(record, Name));
    const EditResult result = moveToFirstNine(m_store, record, position);
    showEdited(result, commandTree);
    if (result.exchanged != 0)
        m_host.showStatus(m_languageFile.text(TextId::Eingabe_Getauscht)
                              .arg(moving, decodePc(m_store.field(result.exchanged, Name))));
}

// --- Numbers ----------------------------------------------------------------

void PhonebookCommands::PM_HF_NummerClick(MenuItem item, const NodeTarget& target)
{
    // The store changes only once the user confirms a number (newNumberClosed).
    m_treeEditor->startNewNumber(target, indexIn(item, M::PM_HF_Nummer1), m_numberTypeNames[0]);
}

void PhonebookCommands::newNumberClosed(const NodeTarget& target, int k, bool confirmed,
                                        const QString& text)
{
    guarded([&] {
        if (confirmed) {
            const EditResult result =
                addNumber(m_store, target.record, k, m_numberTypeNames[0], encodePc(text));
            if (result.changed())
                return showEdited(result, target.tree);
        }
        // Cancelled, or confirmed empty: the node goes and nothing was stored.
        m_trees.showRecords({target.record}, {}, target.tree);
    });
}

void PhonebookCommands::PM_KopierenClick(MenuItem item, const NodeTarget& target)
{
    if (item == M::PM_Ausschneiden)
        showEdited(cutNumber(m_store, target.record, target.slot, m_clipboard), target.tree);
    else
        copyNumber(m_store, target.record, target.slot, m_clipboard);
    showClipboard();
}

void PhonebookCommands::PM_EinfuegenClick(const NodeTarget& target)
{
    showEdited(pasteNumber(m_store, target.record, target.slot, m_clipboard), target.tree);
    showClipboard();
}

void PhonebookCommands::PM_Einfuegenals_NummerClick(MenuItem item, const NodeTarget& target)
{
    showEdited(pasteAsNumber(m_store, target.record, indexIn(item, M::PM_Einfuegenals_Nummer1),
                             m_clipboard),
               target.tree);
    // A number the pasted one replaced is in the clipboard now.
    showClipboard();
}

} // namespace q7
