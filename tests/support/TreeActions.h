// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Picking a node in one of the window's trees and a command from its
// context menu, the way a user does it.

#include "app/frame/MainWindow.h"
#include "editing/MenuRules.h"
#include "editing/ui/PhonebookMenu.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

namespace q7 {

// Gives tree the focus with node the current and only selected node, its
// branch opened above it.
inline void select(QTreeWidget* tree, QTreeWidgetItem* node)
{
    QVERIFY(node);
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    tree->setFocus();
    // Only this node: the modifiers of a key the test pressed before would
    // otherwise add it to the selection.
    tree->setCurrentItem(node, 0, QItemSelectionModel::ClearAndSelect);
}

// The window a tree sits in.
inline TFrm_Q7_Manager& windowOf(const QTreeWidget* tree)
{
    return *qobject_cast<TFrm_Q7_Manager*>(tree->window());
}

// Opens the menu on the selected node of tree, as a right click does.
inline QMenu* openMenu(QTreeWidget* tree)
{
    emit tree->customContextMenuRequested(QPoint(4, 4));
    return windowOf(tree).phonebookPage().phonebookMenu().menu();
}

// Opens the menu on the selected node of tree and chooses item in it; item
// and the submenus it sits in must be there to choose.
inline void choose(QTreeWidget* tree, MenuItem item)
{
    TFrm_Q7_Manager& window = windowOf(tree);
    QMenu* menu = openMenu(tree);
    QVERIFY(menu->isVisible());
    QAction* action = window.phonebookPage().phonebookMenu().action(item);
    QVERIFY2(action->isVisible() && action->isEnabled(), PhonebookMenu::nameOf(item));
    for (auto parent = parentOf(item); parent; parent = parentOf(*parent)) {
        QAction* above = window.phonebookPage().phonebookMenu().action(*parent);
        QVERIFY2(above->isVisible() && above->isEnabled(), PhonebookMenu::nameOf(*parent));
    }
    action->trigger();
    menu->hide();
    // The window system gives the window back its activation once the menu
    // is gone; the offscreen one leaves that to the caller.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace q7
