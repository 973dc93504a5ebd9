// TForm1: the command handlers this window provides, the state snapshot
// and running a command.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <exception>

#include "app/AppInfo.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "editor/PopupMenu.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

using C = TCommandId;

// ---------------------------------------------------------------- running

void TForm1::SetHandler(TCommandId id, std::function<void()> handler) {
  handlers_[Index(id)] = std::move(handler);
  if (!building_) RefreshCommands();
}

bool TForm1::Run(TCommandId id) {
  RefreshCommands();
  if (!actions_->Applied()[Index(id)].Enabled) return false;
  // Nothing a command throws may cross the event loop unreported.
  try {
    handlers_[Index(id)]();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  if (!closing_) RefreshCommands();
  return true;
}

TCommandSnapshot TForm1::Snapshot() const {
  TCommandSnapshot s;
  for (std::size_t i = 0; i < kCommandCount; ++i)
    s.Available[i] = bool(handlers_[i]);
  s.PageCount = docs_.Count();
  s.LineNumbers = lineNumbers_;
  s.Ruler = ruler_;
  s.LineCursor = lineCursor_;
  for (std::size_t b = 0; b < kBarCount; ++b)
    s.BarVisible[b] = !bars_[b]->isHidden();
  s.StatusBarVisible = !statusBar()->isHidden();
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  s.ClipboardHasText = clip && clip->hasText();
  s.PrintBusy = PrintBusy();
  TEditor* e = ActiveEditor();
  if (!e) return s;
  s.HasEditor = true;
  s.ReadOnly = e->ReadOnly();
  s.Modified = e->Modified();
  s.HasLines = e->Lines()->Count() > 0;
  s.HasSelection = e->HasSelection();
  s.WordWrap = e->WordWrap();
  s.BoxMode = e->SelectionMode() == smBox;
  s.CanUndo = e->CanUndo();
  s.CanRedo = e->CanRedo();
  s.CaretRow = e->Row();
  s.CaretCol = e->Col();
  s.CaretRowEndCol = e->Row() < e->ListCount() ? e->RowEndCol(e->Row()) : 0;
  s.ActivePageSplit = IsSplit();
  FillMarkSnapshot(*e, s);
  s.HasFile = docs_.ActivePath() != kUntitled;
  s.Encoding = e->Lines()->FileFormat().Encoding;
  s.LineBreak = e->Lines()->FileFormat().LineBreak;
  return s;
}

void TForm1::RefreshCommands() {
  if (!actions_) return;
  actions_->Apply(ComputeCommandStates(Snapshot()));
  RefreshMarkSubmenus();
}

// ---------------------------------------------------------------- handlers

void TForm1::InstallHandlers() {

  // The edit, search and mark commands: MainWindowEdit.cpp, MainWindowMarks.cpp.
  InstallEditHandlers();
  InstallMarkHandlers();

  for (C id : {C::LineNum1, C::Ruler1, C::LCursor1})
    handlers_[Index(id)] = [this, id] { ToggleView(id); };
  for (C id : {C::ViewFontBar, C::ViewStatusBar, C::ViewFileTool, C::ViewEditTool, C::ViewFindTool,
               C::ViewShowTool, C::ViewWindowTool})
    handlers_[Index(id)] = [this, id] { ToggleBar(id); };
  handlers_[Index(C::Divide1)] = [this] { Divide(); };

  handlers_[Index(C::About1)] = [this] { About(); };
  handlers_[Index(C::OpenURL)] = [this] { OpenHelp(kHelpPage); };
  handlers_[Index(C::Verify_ver)] = [this] { OpenHelp(kVersionPage); };
}

// ---------------------------------------------------------------- view

void TForm1::ToggleView(TCommandId id) {
  bool& flag = id == C::LineNum1 ? lineNumbers_ : id == C::Ruler1 ? ruler_ : lineCursor_;
  flag = !flag;
  TEditor* e = ActiveEditor();
  ApplyViewFeatures(*e);
  TakeProp(*e);
  if (TEditorWidget* other = OtherEditorWidget()) {
    ApplyProp(*other->Editor());
    ApplyViewFeatures(*other->Editor());
  }
}

void TForm1::ToggleBar(TCommandId id) {
  if (id == C::ViewStatusBar) {
    statusBar()->setVisible(statusBar()->isHidden());
    return;
  }
  for (std::size_t b = 0; b < kBarCount; ++b) {
    const TBarInfo& info = BarInfo(static_cast<TBarId>(b));
    if (info.Closable && info.ViewCommand == id) bars_[b]->setVisible(bars_[b]->isHidden());
  }
}

// Splits the active page or joins it again; the check mark follows the
// active page's own state, so each page keeps its own.
void TForm1::Divide() {
  TPageWidget* page = ActivePage();
  if (page->IsSplit()) {
    page->Unsplit();
    PageControl1Change();
    return;
  }
  TEditor* first = ActiveEditor();
  TakeProp(*first);
  TEditorWidget* second = page->Split();
  if (!second) return;
  TEditor* e = second->Editor();
  ApplyProp(*e);
  e->SetScrollBars(ssBoth);
  ApplyViewFeatures(*e);
  ShareFileFormat(page->Editor());
}

// ---------------------------------------------------------------- help

void TForm1::About() {
  prompter_.Message(AboutText(), TMsgKind::Information, TMsgButtons::Ok, "バージョン情報");
}

void TForm1::OpenHelp(const char* file) {
  const std::string path = options_.DataDir + "/" + file;
  if (!QFileInfo::exists(QString::fromStdString(path))) {
    ShowError(path + " が見つかりません。");
    return;
  }
  const std::string url =
      QUrl::fromLocalFile(QString::fromStdString(path)).toString().toStdString();
  if (options_.OpenUrl)
    options_.OpenUrl(url);
  else if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(url))))
    ShowError(url + " を開けませんでした。");
}

} // namespace ze
