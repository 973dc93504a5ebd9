// TForm1: pages and documents, the active editor, the editors' events and
// the refreshes that follow the active page.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <exception>
#include <unistd.h>

#include "app/Documents.h"
#include "app/MainWindow.h"
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
  e->OnSelectionChange = [this](TObject*, bool) { RefreshCommands(); };
  // Keys reach the editor itself, the mouse and the context menu its
  // viewport.
  w->installEventFilter(this);
  w->viewport()->installEventFilter(this);
}

void TForm1::CaretMoved(TEditorWidget* w) {
  if (building_ || w != ActiveEditorWidget()) return;
  SetStatus(0, CaretPositionText(w->Editor()->Row(), w->Editor()->Col()));
  RefreshCommands();
}

void TForm1::EditorChange(TEditorWidget* w) {
  if (building_) return;
  TPageWidget* page = ActivePage();
  if (!page || (w != page->Editor() && w != page->SecondEditor())) return;
  SetStatus(1, ModifiedText(w->Editor()->Modified()));
  RefreshCommands();
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
  TFontSpec font = e->Font();
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

// ---------------------------------------------------------------- files

bool TForm1::LoadInto(TEditorWidget* w, const std::string& path) {
  TEditor& e = *w->Editor();
  try {
    e.Lines()->LoadFromFile(path);
  } catch (const std::exception& error) {
    ShowError(path + " を読み込めませんでした。\n" + error.what());
    return false;
  }
  e.SetModified(false);
  e.SetTopRow(0);
  e.SetRowCol(0, 0);
  // A file this user cannot write is opened read-only.
  if (::access(path.c_str(), W_OK) != 0) e.SetReadOnly(true);
  AfterLoad(w, path);
  return true;
}

bool TForm1::OpenByName(const std::string& path) {
  TEditor* e = ActiveEditor();
  int index = docs_.ActiveIndex();
  const bool reuse =
      e && !e->Modified() && e->Lines()->Count() == 0 && docs_.ActivePath() == kUntitled;
  if (reuse) {
    docs_.SetPath(index, path);
    pageControl_->setTabText(index, QString::fromStdString(PageCaption(path)));
    pageControl_->setTabToolTip(index, QString::fromStdString(path));
  } else {
    CreatePage(path);
    index = docs_.ActiveIndex();
  }
  setWindowTitle(QString::fromStdString(path));
  const bool loaded = LoadInto(ActiveEditorWidget(), path);
  PageControl1Change();
  return loaded;
}

bool TForm1::SaveTo(TEditor& e, const std::string& path) {
  try {
    e.Lines()->SaveToFile(path);
  } catch (const std::exception& error) {
    // The text stays modified and on screen.
    ShowError(path + " を保存できませんでした。\n" + error.what());
    return false;
  }
  e.SetModified(false);
  AfterSave(e);
  return true;
}

bool TForm1::SaveActive() {
  TEditor* e = ActiveEditor();
  if (!e) return false;
  const std::string& path = docs_.ActivePath();
  if (path == kUntitled || !e->Modified()) return SaveActiveAs();
  if (!SaveTo(*e, path)) return false;
  RefreshCaptionAndStatus();
  return true;
}

bool TForm1::SaveActiveAs() {
  TEditor* e = ActiveEditor();
  if (!e) return false;
  const std::string current = docs_.ActivePath();
  auto name =
      prompter_.AskSaveFileName("名前をつけて保存", "テキストファイル (*.txt);;全てのファイル (*)",
                                current == kUntitled ? std::string("*.txt") : current);
  if (!name) return false;
  std::string target = *name;
  std::string canonical;
  if (CheckFileToOpen(target, canonical) == TFileCheck::Ok) target = canonical;
  const int holder = docs_.IndexOfPath(target);
  if (holder >= 0 && holder != docs_.ActiveIndex()) {
    prompter_.Notice("\n" + target + " は\n現在使用中です 上書きできません！");
    return false;
  }
  if (!SaveTo(*e, target)) return false;
  if (CheckFileToOpen(target, canonical) == TFileCheck::Ok) target = canonical;
  const int index = docs_.ActiveIndex();
  docs_.SetPath(index, target);
  pageControl_->setTabText(index, QString::fromStdString(PageCaption(target)));
  pageControl_->setTabToolTip(index, QString::fromStdString(target));
  RefreshCaptionAndStatus();
  return true;
}

void TForm1::CloseActivePage() {
  if (docs_.Count() <= 1) return;
  const int index = docs_.ActiveIndex();
  TPageWidget* page = docs_.Active();
  building_ = true;
  page->Unsplit();
  docs_.Remove(index);
  pageControl_->removeTab(index);
  pageControl_->setCurrentIndex(docs_.ActiveIndex());
  building_ = false;
  page->deleteLater();
  page->hide();
  PageControl1Change();
}

void TForm1::OpenStartFiles(const std::vector<std::string>& names) {
  // Damaged settings did not stop the start; the user hears of them once.
  if (!settingsProblems_.empty()) {
    std::string text = "設定ファイルの一部を読めなかったため、既定値を使います。";
    for (const std::string& p : settingsProblems_)
      text += "\n" + p;
    settingsProblems_.clear();
    prompter_.Message(text, TMsgKind::Warning, TMsgButtons::Ok);
  }
  // A name that is no file is passed over silently.
  for (const std::string& name : names)
    OpenNamedFile(name, false);
  PageControl1Change();
}

void TForm1::DropFiles(const std::vector<std::string>& names) {
  for (const std::string& name : names)
    OpenNamedFile(name, true);
}

void TForm1::OpenNamedFile(const std::string& name, bool reportMissing) {
  std::string path;
  switch (CheckFileToOpen(name, path)) {
  case TFileCheck::Missing:
    if (reportMissing) prompter_.Notice(name + " が存在しません！");
    return;
  case TFileCheck::NotRegular:
    prompter_.Notice(NotAFileMessage(name));
    return;
  case TFileCheck::Ok:
    break;
  }
  // Two names for one file would give two pages that overwrite each
  // other's saves.
  if (docs_.IndexOfPath(path) >= 0) {
    prompter_.Notice(AlreadyOpenMessage(path));
    return;
  }
  OpenByName(path);
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
    if (OnEditorKeyDown && watched == w) {
      auto* ke = static_cast<QKeyEvent*>(e);
      const int vk = VirtualKeyFromEvent(*ke);
      if (vk != 0 && OnEditorKeyDown(*w->Editor(), vk, ShiftStateFromQt(ke->modifiers()))) {
        RefreshCommands();
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
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
    RefreshCommands();
    break;
  default:
    break;
  }
  return QMainWindow::eventFilter(watched, e);
}

bool TForm1::ShortcutTaken(const QKeyEvent& e) {
  const QKeySequence key(e.keyCombination());
  if (key.isEmpty()) return false;
  RefreshCommands();
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    QAction* a = actions_->Action(CommandAt(i));
    if (a->isEnabled() && !a->shortcut().isEmpty() &&
        a->shortcut().matches(key) == QKeySequence::ExactMatch)
      return true;
  }
  return false;
}

// ---------------------------------------------------------------- drops

namespace {

bool OffersFilesOrText(const QMimeData* data) {
  return data && (data->hasUrls() || data->hasText());
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
  if (!OffersFilesOrText(e->mimeData())) return;
  e->acceptProposedAction();
  FollowDragOverTabs(e->position().toPoint(), e->mimeData());
}

void TForm1::dragMoveEvent(QDragMoveEvent* e) {
  if (!OffersFilesOrText(e->mimeData())) return;
  e->acceptProposedAction();
  FollowDragOverTabs(e->position().toPoint(), e->mimeData());
}

// Dragging over another page's tab shows that page, so that text can be
// carried to it.
void TForm1::FollowDragOverTabs(const QPoint& windowPos, const QMimeData*) {
  QTabBar* tabs = pageControl_->tabBar();
  const int tab = tabs->tabAt(tabs->mapFrom(this, windowPos));
  if (tab >= 0 && tab != docs_.ActiveIndex()) SetActivePage(tab);
}

void TForm1::dropEvent(QDropEvent* e) {
  const QMimeData* data = e->mimeData();
  // Files first; plain text dropped on the frame does nothing.
  if (!data || !data->hasUrls()) return;
  std::vector<std::string> names;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) names.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  if (names.empty()) return;
  e->acceptProposedAction();
  try {
    DropFiles(names);
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
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
