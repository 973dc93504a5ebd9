#pragma once
// The actions of the command table: one QAction per command, carrying its
// caption, shortcut, image and hint, from which the menus, the toolbars
// and the context menu are filled, and the binder that applies computed
// states to them.

#include <QObject>
#include <array>
#include <functional>
#include <vector>

#include "app/CommandState.h"
#include "app/Commands.h"

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace ze {

class TCommandActions : public QObject {
  Q_OBJECT
public:
  // Every action triggers run(id); the actions are added to window so
  // that their shortcuts work wherever the focus is in it.
  TCommandActions(QWidget* window, std::function<void(TCommandId)> run);

  QAction* Action(TCommandId id) const { return actions_[Index(id)]; }

  // Fills a menu or toolbar with the table's lines.
  void FillMenu(QMenu& menu, const std::vector<TMenuLine>& lines);
  void FillToolbar(QToolBar& bar, const std::vector<TMenuLine>& lines);

  // Sets every action's enabled and checked state.
  void Apply(const TCommandStates& states);
  const TCommandStates& Applied() const { return applied_; }

private:
  std::array<QAction*, kCommandCount> actions_{};
  std::function<void(TCommandId)> run_;
  TCommandStates applied_{};
};

} // namespace ze
