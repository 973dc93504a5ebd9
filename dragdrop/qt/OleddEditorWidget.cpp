#include "dragdrop/qt/OleddEditorWidget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>

namespace ze {

TOleddEditorWidget::TOleddEditorWidget(QWidget* parent)
    : TEditorWidget(Create<TOleddEditor>(nullptr), parent) {
  TOleddEditor& e = *OleddEditor();
  loop_ = std::make_unique<TQtDragDropLoop>(viewport());
  e.SetDragDropLoop(loop_.get());
  e.ScreenToClient = [this](TPointL p) {
    const QPoint c = viewport()->mapFromGlobal(QPoint(p.X, p.Y));
    return TPointL{c.x(), c.y()};
  };
  e.OnDragLeaveFocus = [this] { ReturnFocus(); };
  forwarder_ = std::make_unique<TQtDropForwarder>(viewport(), e.DropTarget());
  // The viewport takes the drops; the scroll area hands its drag events
  // to the handlers below.
  viewport()->setAcceptDrops(true);
}

TOleddEditorWidget::~TOleddEditorWidget() {
  // The drop registration goes before the editor does.
  viewport()->setAcceptDrops(false);
  forwarder_.reset();
  OleddEditor()->SetDragDropLoop(nullptr);
  OleddEditor()->ScreenToClient = nullptr;
  OleddEditor()->OnDragLeaveFocus = nullptr;
}

void TOleddEditorWidget::SetDragDropLoop(TDragDropLoop* loop) {
  OleddEditor()->SetDragDropLoop(loop ? loop : loop_.get());
}

void TOleddEditorWidget::dragEnterEvent(QDragEnterEvent* e) {
  hadFocus_ = hasFocus();
  focusBefore_ = QApplication::focusWidget();
  forwarder_->DragEnter(e);
}

void TOleddEditorWidget::dragMoveEvent(QDragMoveEvent* e) {
  forwarder_->DragMove(e);
}

void TOleddEditorWidget::dragLeaveEvent(QDragLeaveEvent* e) {
  forwarder_->DragLeave();
  e->accept();
}

void TOleddEditorWidget::dropEvent(QDropEvent* e) {
  forwarder_->Drop(e);
}

void TOleddEditorWidget::ReturnFocus() {
  if (hadFocus_) return; // it was ours before the drag came
  if (focusBefore_ && focusBefore_ != this)
    focusBefore_->setFocus(Qt::OtherFocusReason);
  else if (hasFocus())
    clearFocus();
  // Without a window focus change Qt sends no focus-out: tell the editor.
  if (!hasFocus() && OleddEditor()->Focused()) OleddEditor()->FocusOut();
}

} // namespace ze
