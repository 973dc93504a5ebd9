// TForm1: print preview, print, page setup and printer setting of the
// active page, and keeping the printed document alive while pages are
// built (the build runs nested event loops: progress, preview, dialogs).
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <system_error>

#include "app/MainWindow.h"
#include "platform/qt/EditorWidget.h"
#include "printing/PrintController.h"

namespace ze {

using C = TCommandId;

void TForm1::InstallPrintHandlers() {
  print_ = std::make_unique<TPrintController>(this, prompter_, location_.Files.Printer);
  // The commands are refused while one runs: the states show it at once.
  print_->OnBusyChange = [this] {
    if (!closing_ && !building_) RefreshCommands();
  };
  handlers_[Index(C::PrintPreview)] = [this] { RunPrint(C::PrintPreview); };
  handlers_[Index(C::Print1)] = [this] { RunPrint(C::Print1); };
  handlers_[Index(C::PrintSetup1)] = [this] { RunPrint(C::PrintSetup1); };
  handlers_[Index(C::PrinterSetting)] = [this] { RunPrint(C::PrinterSetting); };
}

bool TForm1::PrintBusy() const {
  return print_ && print_->Busy();
}

void TForm1::RunPrint(TCommandId id) {
  if (PrintBusy()) return;
  TEditor* e = ActiveEditor();
  const std::string path = docs_.Count() > 0 ? docs_.ActivePath() : std::string();
  switch (id) {
  case C::PrintPreview:
    if (e) print_->PrintPreview(*e->Lines(), e->ActiveFountain(), path);
    break;
  case C::Print1:
    if (e) print_->Print(*e->Lines(), e->ActiveFountain(), path);
    break;
  case C::PrintSetup1: {
    // The settings file may live in a folder not made yet (the user's
    // configuration folder before the first close).
    const std::filesystem::path folder =
        std::filesystem::path(location_.Files.Printer).parent_path();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    // The dialog starts from the editor's tab width.
    print_->StringsPrinter1().SetTabSpaceCount(settings_.TabCount);
    print_->PageSetup(e ? e->Lines() : nullptr, e ? e->ActiveFountain() : nullptr, path);
    break;
  }
  case C::PrinterSetting:
    print_->PrinterSetting();
    break;
  default:
    break;
  }
  // What was asked while the command ran (closing the page or the window)
  // happens now that nothing uses the document any more.
  std::vector<std::function<void()>> pending;
  pending.swap(afterPrint_);
  for (auto& f : pending)
    QTimer::singleShot(0, this, f);
}

bool TForm1::DeferWhilePrinting(std::function<void()> then) {
  if (!PrintBusy()) return false;
  afterPrint_.push_back(std::move(then));
  print_->Cancel();
  return true;
}

bool TForm1::DeferCloseWhilePrinting() {
  return DeferWhilePrinting([this] { close(); });
}

bool TForm1::DeferPageCloseWhilePrinting() {
  QPointer<TPageWidget> page = docs_.Active();
  return DeferWhilePrinting([this, page] {
    if (!page) return;
    const int index = docs_.IndexOfPage(page.data());
    if (index < 0) return;
    SetActivePage(index);
    CloseActivePage();
  });
}

} // namespace ze
