// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/EditOperations.h"
#include "phonebook/RecordStore.h"

#include <QByteArray>
#include <array>
#include <optional>

namespace q7 {

// The items of the trees' context menu, PU_Menu_Telefonbuch, in menu order,
// each sub-item after its parent.
enum class MenuItem : int
{
    PM_Editieren,
    PM_Loeschen,
    PM_Hinzufuegen,
    PM_HF_Nummer1,
    PM_HF_Nummer2,
    PM_HF_Nummer3,
    PM_Einfuegenals,
    PM_Einfuegenals_Nummer1,
    PM_Einfuegenals_Nummer2,
    PM_Einfuegenals_Nummer3,
    PM_Gruppezuweisen,
    PM_Gruppe1,
    PM_Gruppe2,
    PM_Gruppe3,
    PM_Gruppe4,
    PM_Gruppe5,
    PM_Gruppe6,
    PM_Gruppe7,
    PM_Gruppe8,
    PM_Gruppe9,
    PM_KeineGruppe,
    PM_Verschieben,
    PM_VerschiebenaufMEM,
    PM_VerschiebenaufSIM,
    PM_FirstNine,
    PM_FNV_Position1,
    PM_FNV_Position2,
    PM_FNV_Position3,
    PM_FNV_Position4,
    PM_FNV_Position5,
    PM_FNV_Position6,
    PM_FNV_Position7,
    PM_FNV_Position8,
    PM_FNV_Position9,
    PM_NR_Aendern,
    PM_Telefon,
    PM_Heim,
    PM_Buero,
    PM_Mobil,
    PM_Fax,
    PM_Funkruf,
    PM_Etc,
    PM_Kopieren,
    PM_Ausschneiden,
    PM_Einfuegen,
};
inline constexpr int kMenuItemCount = static_cast<int>(MenuItem::PM_Einfuegen) + 1;

// The item a sub-item hangs under, or nullopt for a top-level item.
std::optional<MenuItem> parentOf(MenuItem item);
// Whether other items hang under it: it opens a submenu and is no command.
bool isSubmenu(MenuItem item);
// The k-th (1-based) of a run of numbered items: menuItem(PM_Gruppe1, 3) is PM_Gruppe3.
constexpr MenuItem menuItem(MenuItem first, int k)
{
    return static_cast<MenuItem>(static_cast<int>(first) + k - 1);
}

// The kind of node a command acts on.
enum class NodeKind
{
    Root,
    Entry,
    Number,      // a detail node of Nummer1..3
    OtherDetail, // Speicherplatz, Gruppe, Zusatz1, Zusatz2
};

struct MenuItemState
{
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    // Set where the opening gives the item a caption of its own (groups, First
    // Nine positions), as PC text; otherwise the item keeps the one it has.
    std::optional<QByteArray> caption;
};

class MenuState
{
public:
    MenuItemState& operator[](MenuItem item) { return m_items[static_cast<int>(item)]; }
    const MenuItemState& operator[](MenuItem item) const { return m_items[static_cast<int>(item)]; }

private:
    std::array<MenuItemState, kMenuItemCount> m_items{};
};

// What the menu shows when it opens on a node of the given kind; record is
// the node's record (0 for a root). The group list supplies the first nine
// group captions, the store the names on the nine First Nine positions.
MenuState prepareMenu(NodeKind kind, const RecordStore& store, int record,
                      const NumberClipboard& clipboard, const QList<QByteArray>& groups);

// Whether a command fits the node it would act on: the item and every item
// above it would be shown and enabled by prepareMenu for that node. A
// shortcut asks this at the moment it is pressed, so it never acts on a
// state that an earlier opening of the menu left behind.
bool commandFits(MenuItem item, const MenuState& state);

// What the paste keys (Ctrl+V, Shift+Ins) do on an entry node, where there
// is no number to exchange: paste as the first number the entry lacks.
// nullopt when it holds all three.
std::optional<MenuItem> pasteOnEntry(const RecordStore& store, int record);

} // namespace q7
