#pragma once
// The editor's context-menu model (TEditorPopupMenu) as a QMenu. The menu
// shows each item's shortcut text, but the shortcut itself is not given to
// Qt: the editor widget hands its keys to the model, and a Qt shortcut
// would run the item a second time.

#include <QString>

class QAction;
class QMenu;

namespace ze {

class TEditorMenuItem;

// The text of an item as a QMenu shows it: the caption (its "&" marks the
// access key, as in Qt) and, after a tab, the shortcut text.
QString MenuText(const TEditorMenuItem& item);

// Adds the children of parent to menu: separators, submenus, and one
// action per item with its enabled and checked state. The model must
// outlive the menu and keep its items while the menu is open.
void FillMenu(QMenu& menu, TEditorMenuItem& parent);

// The model item an action of FillMenu stands for; null for other actions.
TEditorMenuItem* MenuItemOf(const QAction* action);

} // namespace ze
