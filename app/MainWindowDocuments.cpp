// TForm1: the documents. Opening, inserting, clearing, saving and closing
// pages, the files named on the command line and dropped on the window or
// an editor. The Qt-free checks and texts are in Documents.*.
//
// A file operation that fails says so, naming the file and the reason, and
// leaves everything as it was before it: a failed load leaves no page
// behind that claims the file, a failed save leaves the file on disk
// untouched and the page modified, and nothing after the failing step runs.
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "dragdrop/qt/OleddEditorWidget.h"
#include "dragdrop/qt/WindowDropTarget.h"
#include "editorprop/EditorProp.h"
#include "platform/Encoding.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

using C = TCommandId;
namespace fs = std::filesystem;

void TForm1::InstallDocumentHandlers() {
  handlers_[Index(C::New1)] = [this] { NewPage(); };
  handlers_[Index(C::Open1)] = [this] { OpenFiles(); };
  handlers_[Index(C::AddRead)] = [this] { AddReadFile(); };
  handlers_[Index(C::Clear1)] = [this] { ClearPage(); };
  handlers_[Index(C::ClosePage)] = [this] { ClosePageCommand(); };
  handlers_[Index(C::Save1)] = [this] { SaveActive(); };
  handlers_[Index(C::SaveAs1)] = [this] { SaveActiveAs(); };
  handlers_[Index(C::Exit1)] = [this] { ExitCommand(); };

  // Dragging the selection is the drag-and-drop editor's own (a drag can
  // leave the window); every editor receives EditorProp1, so it carries
  // the mode.
  prop_->Caret()->SetSelDragMode(dmManual);

  dropTarget_ = new TWindowDropTarget(this, prompter_);
  dropTarget_->SetTabBar(pageControl_->tabBar());
  dropTarget_->SwitchTab = [this](int index) { SetActivePage(index); };
  dropTarget_->OpenFiles = [this](const std::vector<std::string>& paths) { DropFiles(paths); };
}

void TForm1::HookDropFiles(TEditorWidget* w) {
  auto* ole = qobject_cast<TOleddEditorWidget*>(w);
  if (!ole) return;
  ole->OleddEditor()->Caret()->SetSelDragMode(dmManual);
  ole->OleddEditor()->OnDropFiles = [this](TObject*, HDROP drop, uint32_t, TPointL) {
    if (dropTarget_) dropTarget_->OpenDropped(drop);
  };
}

// ---------------------------------------------------------------- helpers

void TForm1::SetPagePath(int index, const std::string& path) {
  docs_.SetPath(index, path);
  pageControl_->setTabText(index, QString::fromStdString(PageCaption(path)));
  pageControl_->setTabToolTip(index, QString::fromStdString(path));
  if (index == docs_.ActiveIndex()) setWindowTitle(QString::fromStdString(path));
}

bool TForm1::LoadInto(TEditorWidget* w, const std::string& path) {
  TEditor& e = *w->Editor();
  try {
    e.Lines()->LoadFromFile(path);
  } catch (const std::exception& error) {
    prompter_.Error(LoadFailedMessage(path, error.what()));
    return false;
  }
  e.SetModified(false);
  e.SetTopRow(0);
  e.SetRowCol(0, 0);
  // The flag follows the file: a page reused for a writable file is
  // writable again.
  e.SetReadOnly(FileIsReadOnly(path));
  // After the read-only flag: a text not held exactly makes it read-only.
  AfterLoad(w, path);
  return true;
}

bool TForm1::OpenChecked(const std::string& path) {
  TEditor* active = ActiveEditor();
  // Only an empty, unmodified, untitled page is taken over; any other
  // page keeps its text and the file gets a page of its own.
  const bool reuse = active && !active->Modified() && active->Lines()->Count() == 0 &&
                     docs_.ActivePath() == kUntitled;
  if (!reuse) {
    if (active) TakeProp(*active);
    CreatePage(kUntitled);
  }
  if (!LoadInto(ActivePage()->Editor(), path)) {
    // The page never claims a file it does not hold.
    if (!reuse) CloseActivePage();
    PageControl1Change();
    return false;
  }
  SetPagePath(docs_.ActiveIndex(), path);
  PageControl1Change();
  return true;
}

bool TForm1::OpenByName(const std::string& name, bool reportMissing) {
  std::string path, reason;
  const TFileCheck check = CheckFileToOpen(name, path, MaxDocumentBytes(), &reason);
  if (check == TFileCheck::Missing && !reportMissing) return false;
  if (check != TFileCheck::Ok) {
    prompter_.Notice(FileCheckMessage(check, name, reason));
    return false;
  }
  // Two names for one file would give two pages that overwrite each
  // other's saves.
  if (docs_.IndexOfPath(path) >= 0) {
    prompter_.Notice(AlreadyOpenMessage(path));
    return false;
  }
  return OpenChecked(path);
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
  if (OpenByName(name, reportMissing))
    if (TEditor* e = ActiveEditor()) ApplyProp(*e);
}

// ---------------------------------------------------------------- commands

void TForm1::NewPage() {
  if (TEditor* e = ActiveEditor()) TakeProp(*e);
  CreatePage(kUntitled);
  PageControl1Change();
}

std::string TForm1::AskOpenName(const std::string& title) {
  const std::vector<std::string> names = prompter_.AskOpenFileNames(
      title, QtFilter(kOpenFilter),
      docs_.Empty() ? std::string() : DialogFolder(docs_.ActivePath()), false);
  if (names.empty()) return {};
  std::string name = names.front();
  std::error_code ec;
  if (!fs::exists(name, ec)) {
    const std::string withExt = WithDefaultExtension(name);
    if (withExt != name && fs::exists(withExt, ec)) name = withExt;
  }
  return name;
}

void TForm1::OpenFiles() {
  const std::string name = AskOpenName("開く");
  if (!name.empty()) OpenByName(name, true);
}

void TForm1::AddReadFile() {
  TEditor* e = ActiveEditor();
  if (!e || e->ReadOnly()) return;
  const std::string name = AskOpenName("追加読込み");
  if (name.empty()) return;
  std::string path, reason;
  const TFileCheck check = CheckFileToOpen(name, path, MaxDocumentBytes(), &reason);
  if (check != TFileCheck::Ok) {
    prompter_.Notice(FileCheckMessage(check, name, reason));
    return;
  }
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const std::exception& error) {
    prompter_.Error(LoadFailedMessage(path, error.what()));
    return;
  }
  // The file may be in another encoding than the document: its text is
  // read as such and converted; text the document cannot hold is not
  // inserted (the user is told where).
  if (!DecodeInserted(path, bytes)) return;
  e->SetSelText(LinesWithBreaks(bytes));
}

void TForm1::ClearPage() {
  TEditor* e = ActiveEditor();
  if (!e || e->Lines()->Count() == 0 || e->ReadOnly()) return;
  if (prompter_.Message(kClearQuestion, TMsgKind::Confirmation, TMsgButtons::YesNo) !=
      TMsgResult::Yes)
    return;
  e->Lines()->Clear();
}

// ---------------------------------------------------------------- saving

bool TForm1::SaveTo(TEditor& e, const std::string& path) {
  // The text goes out through the page's own editor, which remembers the
  // file it loaded or saved (a second view shows the same text).
  TPageWidget* page = ActivePage();
  TEditor& own = page ? *page->Editor()->Editor() : e;
  try {
    if (own.Lines()->SaveToFileChecked(path) == TEditorStrings::srChangedOnDisk) {
      // Another program wrote the file since it was loaded or saved here:
      // its changes would be lost without a word.
      if (prompter_.Message(ChangedOnDiskQuestion(path), TMsgKind::Confirmation,
                            TMsgButtons::YesNo) != TMsgResult::Yes)
        return false;
      own.Lines()->SaveToFileChecked(path, true);
    }
  } catch (const std::exception& error) {
    // The file keeps its old content; the text stays modified and on
    // screen.
    prompter_.Error(SaveFailedMessage(path, error.what()));
    return false;
  }
  e.SetModified(false);
  own.SetModified(false);
  AfterSave(own);
  return true;
}

bool TForm1::SaveActive() {
  TEditor* e = ActiveEditor();
  if (!e) return false;
  const std::string path = docs_.ActivePath();
  if (path == kUntitled || !e->Modified()) return SaveActiveAs();
  if (!SaveTo(*e, path)) return false;
  RefreshCaptionAndStatus();
  return true;
}

std::optional<std::string> TForm1::AskSaveName() {
  const std::string current = docs_.ActivePath();
  std::optional<std::string> name =
      prompter_.AskSaveFileName("名前をつけて保存", QtFilter(kSaveFilter),
                                current == kUntitled ? std::string("*.txt") : current);
  if (!name || name->empty()) return std::nullopt;
  const std::string withExt = WithDefaultExtension(*name);
  if (withExt == *name) return name;
  // The dialog confirmed the name as typed; the name it becomes is asked
  // about here when it is taken.
  std::error_code ec;
  if (fs::exists(withExt, ec) &&
      prompter_.Message(OverwriteQuestion(withExt), TMsgKind::Confirmation, TMsgButtons::YesNo) !=
          TMsgResult::Yes)
    return std::nullopt;
  return withExt;
}

bool TForm1::SaveActiveAs() {
  const std::optional<std::string> name = AskSaveName();
  return name && SaveAsAction(*name);
}

bool TForm1::SaveAsAction(const std::string& name) {
  TEditor* e = ActiveEditor();
  if (!e) return false;
  // The same file under another name (a link, "..") is the same file.
  std::error_code ec;
  std::string target = fs::weakly_canonical(fs::absolute(name, ec), ec);
  if (ec || target.empty()) target = name;
  const int holder = docs_.IndexOfPath(target);
  if (holder >= 0 && holder != docs_.ActiveIndex()) {
    prompter_.Notice(InUseMessage(target));
    return false;
  }
  if (!SaveTo(*e, target)) return false;
  SetPagePath(docs_.ActiveIndex(), target);
  e->SetReadOnly(FileIsReadOnly(target));
  RefreshCaptionAndStatus();
  SetStatus(3, ReadOnlyText(e->ReadOnly()));
  return true;
}

// ---------------------------------------------------------------- closing

bool TForm1::PageCloseQuery() {
  TEditor* e = ActiveEditor();
  if (!e || !e->Modified()) return true;
  switch (prompter_.Message(CloseQuestion(docs_.ActivePath()), TMsgKind::Confirmation,
                            TMsgButtons::YesNoCancel)) {
  case TMsgResult::Yes:
    // Closes only when the text was written.
    if (docs_.ActivePath() != kUntitled) return SaveActive();
    return SaveActiveAs();
  case TMsgResult::No:
    return true;
  default:
    return false;
  }
}

void TForm1::ClosePageCommand() {
  if (docs_.Count() <= 1) return;
  if (PageCloseQuery()) CloseActivePage();
}

void TForm1::CloseActivePage() {
  if (docs_.Count() <= 1) return;
  // The page may be the one being printed: it goes when printing stopped.
  if (DeferPageCloseWhilePrinting()) return;
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

void TForm1::CloseUnModifiedPages() {
  for (int i = docs_.Count() - 1; i >= 0 && docs_.Count() > 1; --i) {
    if (i >= docs_.Count()) continue;
    SetActivePage(i);
    if (!ActiveEditor()->Modified()) CloseActivePage();
  }
}

void TForm1::ExitCommand() {
  // The unmodified pages go first, so that the close query asks only
  // about the others.
  CloseUnModifiedPages();
  close();
}

} // namespace ze
