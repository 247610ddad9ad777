// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/PhonebookMenu.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/ui/PhonebookImages.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>
#include <QWidget>
#include <iterator>

namespace q7 {

namespace {

using M = MenuItem;

enum class ImageList
{
    None,
    Telefonbuch, // ImageList_Telefonbuch
    Nummern,     // ImageList_Nummern
};

struct ItemLayout
{
    MenuItem item;
    const char* name;
    QKeyCombination shortcut;
    ImageList images;
    int image;
    // The key every desktop program has for the same command, besides the
    // one the menu shows.
    QKeyCombination alternate = {};
};

constexpr QKeyCombination kNone{};

// The layout table: every item in menu order, each sub-item after its parent.
const ItemLayout kLayout[] = {
    {M::PM_Editieren, "PM_Editieren", Qt::Key_F2, ImageList::None, 0},
    {M::PM_Loeschen, "PM_Loeschen", Qt::Key_Delete, ImageList::None, 0},
    {M::PM_Hinzufuegen, "PM_Hinzufuegen", kNone, ImageList::None, 0},
    {M::PM_HF_Nummer1, "PM_HF_Nummer1", kNone, ImageList::None, 0},
    {M::PM_HF_Nummer2, "PM_HF_Nummer2", kNone, ImageList::None, 0},
    {M::PM_HF_Nummer3, "PM_HF_Nummer3", kNone, ImageList::None, 0},
    {M::PM_Einfuegenals, "PM_Einfuegenals", kNone, ImageList::None, 0},
    {M::PM_Einfuegenals_Nummer1, "PM_Einfuegenals_Nummer1", kNone, ImageList::None, 0},
    {M::PM_Einfuegenals_Nummer2, "PM_Einfuegenals_Nummer2", kNone, ImageList::None, 0},
    {M::PM_Einfuegenals_Nummer3, "PM_Einfuegenals_Nummer3", kNone, ImageList::None, 0},
    {M::PM_Gruppezuweisen, "PM_Gruppezuweisen", kNone, ImageList::None, 0},
    {M::PM_Gruppe1, "PM_Gruppe1", kNone, ImageList::None, 0},
    {M::PM_Gruppe2, "PM_Gruppe2", kNone, ImageList::None, 0},
    {M::PM_Gruppe3, "PM_Gruppe3", kNone, ImageList::None, 0},
    {M::PM_Gruppe4, "PM_Gruppe4", kNone, ImageList::None, 0},
    {M::PM_Gruppe5, "PM_Gruppe5", kNone, ImageList::None, 0},
    {M::PM_Gruppe6, "PM_Gruppe6", kNone, ImageList::None, 0},
    {M::PM_Gruppe7, "PM_Gruppe7", kNone, ImageList::None, 0},
    {M::PM_Gruppe8, "PM_Gruppe8", kNone, ImageList::None, 0},
    {M::PM_Gruppe9, "PM_Gruppe9", kNone, ImageList::None, 0},
    {M::PM_KeineGruppe, "PM_KeineGruppe", kNone, ImageList::None, 0},
    {M::PM_Verschieben, "PM_Verschieben", kNone, ImageList::None, 0},
    {M::PM_VerschiebenaufMEM, "PM_VerschiebenaufMEM", Qt::CTRL | Qt::Key_F1, ImageList::Telefonbuch,
     MemoryEntryImage},
    {M::PM_VerschiebenaufSIM, "PM_VerschiebenaufSIM", Qt::CTRL | Qt::Key_F2, ImageList::Telefonbuch,
     SimEntryImage},
    {M::PM_FirstNine, "PM_FirstNine", kNone, ImageList::Telefonbuch, FirstNineRootImage},
    {M::PM_FNV_Position1, "PM_FNV_Position1", kNone, ImageList::Nummern, 1},
    {M::PM_FNV_Position2, "PM_FNV_Position2", kNone, ImageList::Nummern, 2},
    {M::PM_FNV_Position3, "PM_FNV_Position3", kNone, ImageList::Nummern, 3},
    {M::PM_FNV_Position4, "PM_FNV_Position4", kNone, ImageList::Nummern, 4},
    {M::PM_FNV_Position5, "PM_FNV_Position5", kNone, ImageList::Nummern, 5},
    {M::PM_FNV_Position6, "PM_FNV_Position6", kNone, ImageList::Nummern, 6},
    {M::PM_FNV_Position7, "PM_FNV_Position7", kNone, ImageList::Nummern, 7},
    {M::PM_FNV_Position8, "PM_FNV_Position8", kNone, ImageList::Nummern, 8},
    {M::PM_FNV_Position9, "PM_FNV_Position9", kNone, ImageList::Nummern, 9},
    {M::PM_NR_Aendern, "PM_NR_Aendern", kNone, ImageList::None, 0},
    {M::PM_Telefon, "PM_Telefon", Qt::CTRL | Qt::Key_1, ImageList::Telefonbuch, 5},
    {M::PM_Heim, "PM_Heim", Qt::CTRL | Qt::Key_2, ImageList::Telefonbuch, 6},
    {M::PM_Buero, "PM_Buero", Qt::CTRL | Qt::Key_3, ImageList::Telefonbuch, 7},
    {M::PM_Mobil, "PM_Mobil", Qt::CTRL | Qt::Key_4, ImageList::Telefonbuch, 8},
    {M::PM_Fax, "PM_Fax", Qt::CTRL | Qt::Key_5, ImageList::Telefonbuch, 9},
    {M::PM_Funkruf, "PM_Funkruf", Qt::CTRL | Qt::Key_6, ImageList::Telefonbuch, 10},
    {M::PM_Etc, "PM_Etc", Qt::CTRL | Qt::Key_7, ImageList::Telefonbuch, 11},
    {M::PM_Kopieren, "PM_Kopieren", Qt::CTRL | Qt::Key_Insert, ImageList::None, 0,
     Qt::CTRL | Qt::Key_C},
    {M::PM_Ausschneiden, "PM_Ausschneiden", Qt::SHIFT | Qt::Key_Delete, ImageList::None, 0,
     Qt::CTRL | Qt::Key_X},
    {M::PM_Einfuegen, "PM_Einfuegen", Qt::SHIFT | Qt::Key_Insert, ImageList::None, 0,
     Qt::CTRL | Qt::Key_V},
};
static_assert(std::size(kLayout) == kMenuItemCount);

const ItemLayout& layoutOf(MenuItem item)
{
    return kLayout[static_cast<int>(item)];
}

// Names and groups come from the records: an "&" in them is a character,
// not the mark of an accelerator.
QString captionOfData(const QByteArray& pcText)
{
    return decodePc(pcText).replace(u'&', QStringLiteral("&&"));
}

// The caption each item has once the texts are applied at start.
QString startCaption(MenuItem item, const LanguageFile& texts, const NumberTypeNames& typeNames)
{
    const auto numbered = [&](MenuItem first) {
        const int k = static_cast<int>(item) - static_cast<int>(first) + 1;
        return texts.text(TextId::Contexmenu_Nummer) + u' ' + QString::number(k);
    };
    switch (item) {
    case M::PM_Editieren:
        return texts.text(TextId::Contexmenu_PM_Editieren);
    case M::PM_Loeschen:
        return texts.text(TextId::Contexmenu_PM_Loeschen);
    case M::PM_Hinzufuegen:
        return texts.text(TextId::Contexmenu_PM_Hinzufuegen);
    case M::PM_HF_Nummer1:
    case M::PM_HF_Nummer2:
    case M::PM_HF_Nummer3:
        return numbered(M::PM_HF_Nummer1);
    case M::PM_Einfuegenals:
        return texts.text(TextId::Contexmenu_PM_Einfuegenals);
    case M::PM_Einfuegenals_Nummer1:
    case M::PM_Einfuegenals_Nummer2:
    case M::PM_Einfuegenals_Nummer3:
        return numbered(M::PM_Einfuegenals_Nummer1);
    case M::PM_Gruppezuweisen:
        return texts.text(TextId::Contexmenu_PM_Gruppezuweisen);
    case M::PM_KeineGruppe:
        return texts.text(TextId::Contexmenu_PM_KeineGruppe);
    case M::PM_Verschieben:
        return texts.text(TextId::Contexmenu_PM_Verschieben);
    case M::PM_VerschiebenaufMEM:
        return texts.text(TextId::Contexmenu_PM_VerschiebenaufMEM);
    case M::PM_VerschiebenaufSIM:
        return texts.text(TextId::Contexmenu_PM_VerschiebenaufSIM);
    case M::PM_FirstNine:
        return texts.text(TextId::Contexmenu_PM_FirstNine);
    case M::PM_NR_Aendern:
        return texts.text(TextId::Contexmenu_PM_NR_Aendern);
    case M::PM_Kopieren:
        return texts.text(TextId::Contexmenu_PM_Kopieren);
    case M::PM_Ausschneiden:
        return texts.text(TextId::Contexmenu_PM_Ausschneiden);
    case M::PM_Einfuegen:
        return texts.text(TextId::Contexmenu_PM_Einfuegen);
    default:
        break;
    }
    if (item >= M::PM_Telefon && item <= M::PM_Etc)
        return captionOfData(
            typeNames[static_cast<std::size_t>(static_cast<int>(item) - int(M::PM_Telefon))]);
    // Captions of the form that the opening of the menu replaces.
    if (item >= M::PM_Gruppe1 && item <= M::PM_Gruppe9)
        return QStringLiteral("Gruppe%1").arg(int(item) - int(M::PM_Gruppe1) + 1);
    if (item >= M::PM_FNV_Position1 && item <= M::PM_FNV_Position9)
        return QStringLiteral("Position &%1").arg(int(item) - int(M::PM_FNV_Position1) + 1);
    return {};
}

QIcon imageOf(const ItemLayout& layout)
{
    switch (layout.images) {
    case ImageList::Telefonbuch:
        return phonebookImages().value(layout.image);
    case ImageList::Nummern:
        return numberImages().value(layout.image);
    case ImageList::None:
        break;
    }
    return {};
}

} // namespace

PhonebookMenu::PhonebookMenu(QWidget* parent) : QObject(parent), m_menu(new QMenu(parent))
{
    m_menu->setObjectName(QStringLiteral("PU_Menu_Telefonbuch"));
    build();
}

PhonebookMenu::~PhonebookMenu()
{
    // Without a parent widget the menu is ours to free.
    if (!m_menu->parent())
        delete m_menu;
}

const char* PhonebookMenu::nameOf(MenuItem item)
{
    return layoutOf(item).name;
}

QKeySequence PhonebookMenu::shortcutOf(MenuItem item)
{
    const QKeyCombination key = layoutOf(item).shortcut;
    return key == kNone ? QKeySequence() : QKeySequence(key);
}

QList<QKeySequence> PhonebookMenu::shortcutsOf(MenuItem item)
{
    QList<QKeySequence> keys;
    const ItemLayout& layout = layoutOf(item);
    for (QKeyCombination key : {layout.shortcut, layout.alternate})
        if (key != kNone)
            keys.append(QKeySequence(key));
    return keys;
}

void PhonebookMenu::build()
{
    std::array<QMenu*, kMenuItemCount> submenus{};
    for (int i = 0; i < kMenuItemCount; ++i)
        Q_ASSERT(kLayout[i].item == static_cast<MenuItem>(i));
    for (const ItemLayout& layout : kLayout) {
        const std::optional<MenuItem> parent = parentOf(layout.item);
        QMenu* into = parent ? submenus[static_cast<int>(*parent)] : m_menu;
        QAction* action;
        if (isSubmenu(layout.item)) {
            QMenu* submenu = into->addMenu(QString());
            submenu->setObjectName(QLatin1String(layout.name) + QStringLiteral("_Menu"));
            submenus[static_cast<int>(layout.item)] = submenu;
            action = submenu->menuAction();
        } else {
            action = into->addAction(QString());
            connect(action, &QAction::triggered, this,
                    [this, item = layout.item] { emit chosen(item); });
        }
        action->setObjectName(QLatin1String(layout.name));
        action->setIcon(imageOf(layout));
        // Shown beside the caption; pressing it reaches the tree's copy of the
        // shortcut, never this action (whose widget, the menu, never has the
        // focus).
        action->setShortcuts(shortcutsOf(layout.item));
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setCheckable(layout.item >= M::PM_Einfuegenals_Nummer1 &&
                             layout.item <= M::PM_Einfuegenals_Nummer3);
        m_actions[static_cast<int>(layout.item)] = action;
    }
    // The start states of the layout: the first three items hidden.
    for (MenuItem item : {M::PM_Editieren, M::PM_Loeschen, M::PM_Hinzufuegen})
        action(item)->setVisible(false);
}

void PhonebookMenu::applyTexts(const LanguageFile& texts, const NumberTypeNames& typeNames)
{
    for (const ItemLayout& layout : kLayout)
        action(layout.item)->setText(startCaption(layout.item, texts, typeNames));
}

void PhonebookMenu::apply(const MenuState& state)
{
    for (int i = 0; i < kMenuItemCount; ++i) {
        const auto item = static_cast<MenuItem>(i);
        const MenuItemState& wanted = state[item];
        QAction* act = action(item);
        act->setVisible(wanted.visible);
        act->setEnabled(wanted.enabled);
        if (act->isCheckable())
            act->setChecked(wanted.checked);
        if (wanted.caption)
            act->setText(captionOfData(*wanted.caption));
    }
}

void PhonebookMenu::addShortcutsTo(QWidget* tree)
{
    for (const ItemLayout& layout : kLayout)
        for (const QKeySequence& key : shortcutsOf(layout.item))
            addShortcut(tree, layout.item, key);
}

void PhonebookMenu::addShortcut(QWidget* tree, MenuItem item, const QKeySequence& key)
{
    auto* shortcut = new QShortcut(key, tree);
    shortcut->setObjectName(QLatin1String(nameOf(item)) + QStringLiteral("_Shortcut"));
    shortcut->setContext(Qt::WidgetShortcut);
    shortcut->setEnabled(m_shortcutsEnabled);
    connect(shortcut, &QShortcut::activated, this,
            [this, tree, item] { emit shortcutPressed(item, tree); });
    connect(shortcut, &QObject::destroyed, this,
            [this, shortcut] { m_shortcuts.removeOne(shortcut); });
    m_shortcuts.append(shortcut);
}

void PhonebookMenu::setShortcutsEnabled(bool enabled)
{
    m_shortcutsEnabled = enabled;
    for (QShortcut* shortcut : m_shortcuts)
        shortcut->setEnabled(enabled);
}

} // namespace q7
