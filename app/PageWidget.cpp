#include "app/PageWidget.h"

#include <QEvent>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt/EditorWidget.h"

namespace ze {

TPageWidget::TPageWidget(TEditorFactory factory, QWidget* parent)
    : QWidget(parent), factory_(std::move(factory)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setChildrenCollapsible(false);
  layout->addWidget(splitter_);
}

TEditorWidget* TPageWidget::Make() {
  TEditorWidget* w = factory_ ? factory_(splitter_) : new TEditorWidget(splitter_);
  w->setParent(splitter_);
  w->installEventFilter(this);
  if (OnEditorCreated) OnEditorCreated(w);
  return w;
}

void TPageWidget::CreateEditor() {
  if (editor_) return;
  editor_ = Make();
  splitter_->addWidget(editor_);
  setFocusProxy(editor_);
}

bool TPageWidget::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusIn) {
    auto* w = static_cast<TEditorWidget*>(watched);
    if (w == editor_ || w == second_) {
      lastFocused_ = w;
      if (OnEditorFocused) OnEditorFocused(w);
    }
  }
  return QWidget::eventFilter(watched, e);
}

TEditorWidget* TPageWidget::ActiveEditor() const {
  for (TEditorWidget* w : {editor_, second_})
    if (w && w->hasFocus()) return w;
  if (lastFocused_) return lastFocused_;
  return editor_;
}

void TPageWidget::SetActiveEditor(TEditorWidget* w) {
  if (w == editor_ || (w && w == second_)) lastFocused_ = w;
}

TEditorWidget* TPageWidget::OtherEditor() const {
  if (!second_) return nullptr;
  return ActiveEditor() == second_ ? editor_ : second_;
}

TEditorWidget* TPageWidget::Split() {
  if (second_ || !editor_) return nullptr;
  TEditor* first = editor_->Editor();
  second_ = Make();
  splitter_->insertWidget(0, second_);
  second_->Editor()->ShareScreenStrings(first);
  const int half = std::max(1, splitter_->height() / 2);
  splitter_->setSizes({half, std::max(1, splitter_->height() - half)});
  // The top view shows what the page showed; the bottom one goes on from
  // where the top one ends.
  TEditor* top = second_->Editor();
  top->SetTopRow(first->TopRow());
  top->SetRowCol(first->Row(), first->Col());
  // How many rows the top view holds is known once the splitter has laid
  // the two views out.
  second_->show();
  QTimer::singleShot(0, second_,
                     [top, first] { first->SetTopRow(top->TopRow() + top->RowCount()); });
  return second_;
}

void TPageWidget::Unsplit() {
  if (!second_) return;
  TEditorWidget* gone = second_;
  second_ = nullptr;
  if (lastFocused_ == gone) lastFocused_ = editor_;
  gone->removeEventFilter(this);
  // The shared text stays with the first editor; the second one lets go
  // of it when it is destroyed.
  gone->hide();
  gone->setParent(nullptr);
  delete gone;
}

} // namespace ze
