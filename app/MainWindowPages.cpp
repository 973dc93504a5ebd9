// TForm1: pages and documents, the active editor, the editors' events and
// the refreshes that follow the active page.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>
#include <exception>

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/commands/MarkCommands.h"
#include "platform/Keys.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"
#include "platform/qt/QtKeys.h"

namespace ze {

// ---------------------------------------------------------------- lookups

TEditorWidget* TForm1::ActiveEditorWidget() const {
  TPageWidget* page = ActivePage();
  return page ? page->ActiveEditor() : nullptr;
}

TEditor* TForm1::ActiveEditor() const {
  TEditorWidget* w = ActiveEditorWidget();
  return w ? w->Editor() : nullptr;
}

TEditorWidget* TForm1::OtherEditorWidget() const {
  TPageWidget* page = ActivePage();
  return page ? page->OtherEditor() : nullptr;
}

bool TForm1::IsSplit() const {
  TPageWidget* page = ActivePage();
  return page && page->IsSplit();
}

void TForm1::SetActivePage(int index) {
  docs_.SetActive(index);
  pageControl_->setCurrentIndex(index);
  PageControl1Change();
}

void TForm1::TabChanged(int index) {
  if (building_ || index < 0 || index >= docs_.Count() || index == docs_.ActiveIndex()) return;
  docs_.SetActive(index);
  PageControl1Change();
}

// ---------------------------------------------------------------- pages

TPageWidget* TForm1::CreatePage(const std::string& path) {
  auto* page = new TPageWidget(options_.EditorFactory, pageControl_);
  page->OnEditorCreated = [this](TEditorWidget* w) { HookEditor(w); };
  page->OnEditorFocused = [this](TEditorWidget* w) { EditorEnter(w); };
  page->CreateEditor();
  const bool was = building_;
  building_ = true; // the tab switch below is this page's, not the user's
  docs_.Add(path, page);
  const int index = pageControl_->addTab(page, QString::fromStdString(PageCaption(path)));
  pageControl_->setTabToolTip(index, QString::fromStdString(path));
  pageControl_->setCurrentIndex(index);
  building_ = was;
  TEditor* e = page->Editor()->Editor();
  ApplyProp(*e);
  e->SetScrollBars(ssBoth);
  e->Imagebar()->SetVisible(false);
  ApplyNewDocumentFormat(*e);
  return page;
}

void TForm1::HookEditor(TEditorWidget* w) {
  TEditor* e = w->Editor();
  e->OnCaretMoved = [this, w](TObject*) { CaretMoved(w); };
  e->OnChange = [this, w](TObject*) { EditorChange(w); };
  e->OnSelectionModeChange = [this, w](TObject*) { EditorEnter(w); };
  e->OnSelectionChange = [this](TObject*, bool) { RefreshCommandsQuick(); };
  // Keys reach the editor itself, the mouse and the context menu its
  // viewport.
  w->installEventFilter(this);
  w->viewport()->installEventFilter(this);
  HookDropFiles(w);
}

void TForm1::CaretMoved(TEditorWidget* w) {
  if (building_ || w != ActiveEditorWidget()) return;
  SetStatus(0, CaretPositionText(w->Editor()->Row(), w->Editor()->Col()));
  RefreshCommandsQuick();
}

void TForm1::EditorChange(TEditorWidget* w) {
  if (building_) return;
  TPageWidget* page = ActivePage();
  if (!page || (w != page->Editor() && w != page->SecondEditor())) return;
  SetStatus(1, ModifiedText(w->Editor()->Modified()));
  RefreshCommandsQuick();
}

void TForm1::EditorEnter(TEditorWidget* w) {
  if (building_ || w != ActiveEditorWidget()) return;
  SetStatus(3, BoxModeText(w->Editor()->SelectionMode() == smBox));
  SetStatus(0, CaretPositionText(w->Editor()->Row(), w->Editor()->Col()));
  SetStatus(1, ModifiedText(w->Editor()->Modified()));
  RefreshCommands();
}

// ---------------------------------------------------------------- refresh

void TForm1::RefreshCaptionAndStatus() {
  TEditor* e = ActiveEditor();
  if (!e) {
    setWindowTitle(QStringLiteral("ZorvaneEditor"));
    for (int i = 0; i < 6; ++i)
      SetStatus(i, {});
    RefreshCommands();
    return;
  }
  setWindowTitle(QString::fromStdString(docs_.ActivePath()));
  RefreshCommands();
  SetStatus(1, ModifiedText(e->Modified()));
  SetStatus(2, OverWriteText(e->OverWrite()));
  SetStatus(3, BoxModeText(e->SelectionMode() == smBox));
  SetStatus(0, CaretPositionText(e->Row(), e->Col()));
  RefreshFileFormatStatus();
  TFontDesc font = e->Font();
  if (fontName_->currentIndex() >= 0) font.Name = fontName_->currentText().toStdString();
  if (fontSize_->currentIndex() >= 0) font.Size = fontSize_->currentIndex() + 7;
  e->SetFont(font);
  ApplyProp(*e);
}

void TForm1::ApplyViewFeatures(TEditor& e) {
  e.Leftbar()->SetVisible(lineNumbers_);
  e.Ruler()->SetVisible(ruler_);
  e.Marks()->Underline()->SetVisible(lineCursor_);
  UpdateMarkColumn(e);
}

// The mark column shows only while the document has a bookmark or a
// jump mark.
void TForm1::UpdateMarkColumn(TEditor& e) {
  bool marked = false;
  for (int n = 0; n < 15 && !marked; ++n)
    marked = e.FindRowMark(n) >= 0;
  TEditorImagebar* bar = e.Imagebar();
  bar->SetVisible(marked);
  if (marked) {
    bar->SetMarkWidth(13);
    bar->SetDigitWidth(13);
    bar->SetLeftMargin(0);
    bar->SetRightMargin(0);
    e.SetImageMarks(&BookmarkImages());
    e.SetImageDigits(&JumpMarkImages());
  }
}

void TForm1::PageControl1Change() {
  TEditorWidget* w = ActiveEditorWidget();
  if (!w) {
    RefreshCaptionAndStatus();
    return;
  }
  if (isVisible()) w->setFocus();
  RefreshCaptionAndStatus();
  TEditor& e = *w->Editor();
  ApplyViewFeatures(e);
  if (TEditorWidget* other = OtherEditorWidget()) {
    TakeProp(e);
    ApplyProp(*other->Editor());
    ApplyViewFeatures(*other->Editor());
  }
  SetStatus(3, ReadOnlyText(e.ReadOnly()));
  RefreshCommands();
}

// ---------------------------------------------------------------- events

std::unique_ptr<QMenu> TForm1::CreateContextMenu() {
  RefreshCommands();
  auto menu = std::make_unique<QMenu>();
  actions_->FillMenu(*menu, ContextMenuLines());
  return menu;
}

bool TForm1::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<TEditorWidget*>(watched);
  if (!w && watched->parent()) w = qobject_cast<TEditorWidget*>(watched->parent());
  if (!w) return QMainWindow::eventFilter(watched, e);
  switch (e->type()) {
  case QEvent::ContextMenu: {
    auto* ce = static_cast<QContextMenuEvent*>(e);
    if (w->Editor()->MouseBusy()) return true;
    if (TPageWidget* page = ActivePage()) page->SetActiveEditor(w);
    w->setFocus();
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(ce->reason() == QContextMenuEvent::Mouse
                   ? ce->globalPos()
                   : w->viewport()->mapToGlobal(w->CaretRect().bottomLeft()));
    return true;
  }
  case QEvent::ShortcutOverride:
    // A key bound to an enabled command of the window goes to the
    // command, before the editor takes it as an editing key.
    if (ShortcutTaken(*static_cast<QKeyEvent*>(e))) {
      e->ignore();
      return true;
    }
    break;
  case QEvent::KeyPress:
    if (watched == w && MarkKeyTaken(*static_cast<QKeyEvent*>(e))) return true;
    if (OnEditorKeyDown && watched == w) {
      auto* ke = static_cast<QKeyEvent*>(e);
      const int vk = VirtualKeyFromEvent(*ke);
      if (vk != 0 && OnEditorKeyDown(*w->Editor(), vk, ShiftStateFromQt(ke->modifiers()))) {
        RefreshCommandsQuick();
        return true;
      }
    }
    break;
  case QEvent::KeyRelease:
    if (OnEditorKeyUp && watched == w) {
      auto* ke = static_cast<QKeyEvent*>(e);
      if (const int vk = VirtualKeyFromEvent(*ke))
        // After the editor has seen the release.
        QTimer::singleShot(0, w, [this, w, vk, shift = ShiftStateFromQt(ke->modifiers())] {
          if (OnEditorKeyUp) OnEditorKeyUp(*w->Editor(), vk, shift);
        });
    }
    break;
  case QEvent::MouseButtonDblClick:
    if (watched != w && EditorDoubleClick(w, static_cast<QMouseEvent*>(e))) {
      RefreshCommandsQuick();
      return true;
    }
    RefreshCommandsQuick();
    break;
  case QEvent::MouseButtonRelease:
    RefreshCommandsQuick();
    break;
  default:
    break;
  }
  return QMainWindow::eventFilter(watched, e);
}

bool TForm1::ShortcutTaken(const QKeyEvent& e) {
  const QKeySequence key(e.keyCombination());
  if (key.isEmpty()) return false;
  RefreshCommandsQuick();
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    QAction* a = actions_->Action(CommandAt(i));
    if (a->isEnabled() && !a->shortcut().isEmpty() &&
        a->shortcut().matches(key) == QKeySequence::ExactMatch)
      return true;
  }
  return false;
}

void TForm1::wheelEvent(QWheelEvent* e) {
  // A wheel turn anywhere else in the window scrolls the active editor
  // by one line.
  TEditor* ed = ActiveEditor();
  if (!ed || e->angleDelta().y() == 0) return QMainWindow::wheelEvent(e);
  ed->VScroll(e->angleDelta().y() > 0 ? SB_LINEUP : SB_LINEDOWN);
  e->accept();
}

} // namespace ze
