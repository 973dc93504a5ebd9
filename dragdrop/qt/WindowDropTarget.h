#pragma once
// The main window as a drop target: while something droppable is dragged
// over a tab that is not the active one, that tab's page becomes active
// (so that text can be carried to another page); files dropped on the
// window are checked and handed on to be opened. Text dropped on the
// window itself (not on an editor) does nothing and says so.
//
// The helper is an event filter the window installs; it neither owns nor
// knows the window's pages.

#include <QObject>
#include <QPointer>
#include <QTabBar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dragdrop/DroppedFiles.h"
#include "dragdrop/qt/QtDragDrop.h"

namespace ze {

class TPrompter;

class TWindowDropTarget : public QObject {
  Q_OBJECT
public:
  // Registers window for drops (files, then text) and watches its drag
  // events. prompter tells the user about dropped names that cannot be
  // opened.
  TWindowDropTarget(QWidget* window, TPrompter& prompter);
  ~TWindowDropTarget() override;

  // The tabs that switch under a drag; their index is what SwitchTab gets.
  void SetTabBar(QTabBar* tabs) { tabs_ = tabs; }
  // Makes tab index the active page. Unset: the tab bar's own current index.
  std::function<void(int index)> SwitchTab;
  // Opens the dropped files that passed the check, in the order dropped.
  std::function<void(const std::vector<std::string>& paths)> OpenFiles;

  // The same for files dropped on an editor (its OnDropFiles).
  void OpenDropped(HDROP drop);
  TDroppedFileCheck& Check() { return check_; }
  TDropTarget* Target() const { return target_.Get(); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Over(IDataObject* data, uint32_t& effect, TPointL pt);
  void Dropped(IDataObject* data, uint32_t& effect);

  QPointer<QWidget> window_;
  TPrompter& prompter_;
  QPointer<QTabBar> tabs_;
  TDroppedFileCheck check_;
  TComPtr<TDropTarget> target_;
  std::unique_ptr<TQtDropForwarder> forwarder_;
};

} // namespace ze
