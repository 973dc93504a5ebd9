#pragma once
// The window of a TOleddEditor: the editor widget with its drop target
// registered (the widget's drag events go to it) and with a Qt drag loop
// for dragging text out.
//
// Files dropped on it arrive through OleddEditor()->OnDropFiles; a main
// window hands them to its TWindowDropTarget::OpenDropped, which checks
// them as it does files dropped on the window.

#include <QPointer>
#include <memory>

#include "dragdrop/OleddEditor.h"
#include "dragdrop/qt/QtDragDrop.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

class TOleddEditorWidget : public TEditorWidget {
  Q_OBJECT
public:
  explicit TOleddEditorWidget(QWidget* parent = nullptr);
  ~TOleddEditorWidget() override;

  TOleddEditor* OleddEditor() const { return static_cast<TOleddEditor*>(Editor()); }
  // Replaces the drag loop (tests play the drag with events of their own);
  // nullptr returns to the widget's own. Not owned.
  void SetDragDropLoop(TDragDropLoop* loop);

protected:
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

private:
  // A drag that leaves again gives the focus back where it found it.
  void ReturnFocus();

  std::unique_ptr<TQtDragDropLoop> loop_;
  std::unique_ptr<TQtDropForwarder> forwarder_;
  bool hadFocus_ = true;
  QPointer<QWidget> focusBefore_;
};

} // namespace ze
