// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/MenuRules.h"

namespace q7 {

namespace {

bool between(MenuItem item, MenuItem first, MenuItem last)
{
    return static_cast<int>(item) >= static_cast<int>(first) &&
           static_cast<int>(item) <= static_cast<int>(last);
}

constexpr MenuItem kTopLevel[] = {
    MenuItem::PM_Editieren,    MenuItem::PM_Loeschen,       MenuItem::PM_Hinzufuegen,
    MenuItem::PM_Einfuegenals, MenuItem::PM_Gruppezuweisen, MenuItem::PM_Verschieben,
    MenuItem::PM_NR_Aendern,   MenuItem::PM_Kopieren,       MenuItem::PM_Ausschneiden,
    MenuItem::PM_Einfuegen,
};

// The top-level items each node kind shows; every other one is hidden.
bool shownOn(MenuItem item, NodeKind kind)
{
    switch (kind) {
    case NodeKind::Root:
        return false;
    case NodeKind::Entry:
        return item == MenuItem::PM_Editieren || item == MenuItem::PM_Loeschen ||
               item == MenuItem::PM_Hinzufuegen || item == MenuItem::PM_Einfuegenals ||
               item == MenuItem::PM_Gruppezuweisen || item == MenuItem::PM_Verschieben;
    case NodeKind::Number:
        return item == MenuItem::PM_Editieren || item == MenuItem::PM_Loeschen ||
               item == MenuItem::PM_NR_Aendern || item == MenuItem::PM_Kopieren ||
               item == MenuItem::PM_Ausschneiden || item == MenuItem::PM_Einfuegen;
    case NodeKind::OtherDetail:
        return false;
    }
    return false;
}

void prepareEntryItems(MenuState& state, const RecordStore& store, int record,
                       const QList<QByteArray>& groups)
{
    for (int k = 1; k <= 3; ++k) {
        const bool hasNumber = !store.fieldIsEmpty(record, nummerField(k));
        state[menuItem(MenuItem::PM_Einfuegenals_Nummer1, k)].checked = hasNumber;
        state[menuItem(MenuItem::PM_HF_Nummer1, k)].enabled = !hasNumber;
    }
    for (int k = 1; k <= 9; ++k) {
        MenuItemState& group = state[menuItem(MenuItem::PM_Gruppe1, k)];
        group.visible = k <= groups.size();
        if (group.visible)
            group.caption = groups[k - 1];
    }
    for (int k = 1; k <= 9; ++k) {
        const int r = kFirstSimRecord - 1 + k;
        state[menuItem(MenuItem::PM_FNV_Position1, k)].caption =
            store.isMarkedForDeletion(r) ? QByteArray() : store.field(r, Name);
    }
}

} // namespace

std::optional<MenuItem> parentOf(MenuItem item)
{
    using M = MenuItem;
    if (between(item, M::PM_HF_Nummer1, M::PM_HF_Nummer3))
        return M::PM_Hinzufuegen;
    if (between(item, M::PM_Einfuegenals_Nummer1, M::PM_Einfuegenals_Nummer3))
        return M::PM_Einfuegenals;
    if (between(item, M::PM_Gruppe1, M::PM_KeineGruppe))
        return M::PM_Gruppezuweisen;
    if (between(item, M::PM_VerschiebenaufMEM, M::PM_FirstNine))
        return M::PM_Verschieben;
    if (between(item, M::PM_FNV_Position1, M::PM_FNV_Position9))
        return M::PM_FirstNine;
    if (between(item, M::PM_Telefon, M::PM_Etc))
        return M::PM_NR_Aendern;
    return std::nullopt;
}

bool isSubmenu(MenuItem item)
{
    using M = MenuItem;
    switch (item) {
    case M::PM_Hinzufuegen:
    case M::PM_Einfuegenals:
    case M::PM_Gruppezuweisen:
    case M::PM_Verschieben:
    case M::PM_FirstNine:
    case M::PM_NR_Aendern:
        return true;
    default:
        return false;
    }
}

MenuState prepareMenu(NodeKind kind, const RecordStore& store, int record,
                      const NumberClipboard& clipboard, const QList<QByteArray>& groups)
{
    MenuState state;
    for (MenuItem item : kTopLevel)
        state[item].visible = shownOn(item, kind);
    const bool canPaste = clipboard.holdsNumber();
    state[MenuItem::PM_Einfuegenals].enabled = canPaste;
    state[MenuItem::PM_Einfuegen].enabled = canPaste;
    if (kind == NodeKind::Entry)
        prepareEntryItems(state, store, record, groups);
    return state;
}

bool commandFits(MenuItem item, const MenuState& state)
{
    for (std::optional<MenuItem> at = item; at; at = parentOf(*at))
        if (!state[*at].visible || !state[*at].enabled)
            return false;
    return true;
}

std::optional<MenuItem> pasteOnEntry(const RecordStore& store, int record)
{
    for (int k = 1; k <= 3; ++k)
        if (store.fieldIsEmpty(record, nummerField(k)))
            return menuItem(MenuItem::PM_Einfuegenals_Nummer1, k);
    return std::nullopt;
}

} // namespace q7
