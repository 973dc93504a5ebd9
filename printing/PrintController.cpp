#include "printing/PrintController.h"

#include <QPrintDialog>

#include "platform/IniFile.h"
#include "printing/PageSetupDialog.h"
#include "printing/PrintPreview.h"
#include "text/ComponentStore.h"

namespace ze {

namespace {

struct BusyGuard {
  bool& flag;
  explicit BusyGuard(bool& f) : flag(f) { flag = true; }
  ~BusyGuard() { flag = false; }
};

std::string PdfNameFor(const std::string& document) {
  std::string base = document.empty() ? std::string("Untitled") : document;
  size_t slash = base.find_last_of('/');
  size_t dot = base.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) base.erase(dot);
  return base + ".pdf";
}

} // namespace

TPrintController::TPrintController(QWidget* parent, TPrompter& prompter, std::string iniPath)
    : parent_(parent), prompter_(prompter), iniPath_(std::move(iniPath)),
      device_(std::make_unique<TQtPrinterDevice>()),
      printer_(std::make_unique<TStringsPrinter>(nullptr)) {
  printer_->SetName("StringsPrinter1");
  LoadSettings();
}

TPrintController::~TPrintController() = default;

void TPrintController::LoadSettings() {
  if (iniPath_.empty()) return;
  IniFile ini(iniPath_);
  try {
    LoadComponentFromIni(*printer_, ini, "StringsPrinter1", "Property");
  } catch (const std::exception&) {
    // Damaged settings: keep the defaults rather than refuse to start.
  }
}

bool TPrintController::SaveSettings() {
  if (iniPath_.empty()) return false;
  IniFile ini(iniPath_);
  SaveComponentToIni(*printer_, ini, "StringsPrinter1", "Property");
  try {
    ini.UpdateFile();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void TPrintController::Prepare(TStringsPrinter& p, TFountain* fountain,
                               const std::string& fileName) {
  p.SetDevice(device_.get());
  p.SetPrompter(&prompter_);
  p.SetFountain(fountain);
  p.SetFileName(ByteString(fileName));
  QWidget* parent = parent_;
  p.ProgressFactory = [parent]() -> std::unique_ptr<TPrintProgress> {
    return std::make_unique<TFormStringsPrinterProgress>(parent);
  };
  p.OnPreview = [this](TStringsPrinter& printer, const TMetaFileList& pages) {
    if (ShowPreview)
      ShowPreview(printer, pages);
    else
      TFormStringsPrinterPreview::Execute(printer, pages, parent_);
  };
}

bool TPrintController::PreviewWith(TStringsPrinter& p, const TStrings& lines) {
  return p.Preview(lines);
}

bool TPrintController::PrintWith(TStringsPrinter& p, const TStrings& lines) {
  if (!TQtPrinterDevice::PrintersInstalled()) {
    std::string suggested =
        lastPdf_.empty() ? PdfNameFor(std::string(p.FileName().view())) : lastPdf_;
    std::optional<std::string> path = prompter_.AskSaveFileName(
        "プリンタがありません。PDF ファイルに印刷します", "PDF (*.pdf)", suggested);
    if (!path) return false;
    lastPdf_ = *path;
    device_->SetPdfOutput(*path);
  }
  return p.Print(lines);
}

bool TPrintController::PrintPreview(const TStrings& lines, TFountain* fountain,
                                    const std::string& fileName) {
  if (busy_) return false;
  BusyGuard guard(busy_);
  Prepare(*printer_, fountain, fileName);
  return PreviewWith(*printer_, lines);
}

bool TPrintController::Print(const TStrings& lines, TFountain* fountain,
                             const std::string& fileName) {
  if (busy_) return false;
  BusyGuard guard(busy_);
  Prepare(*printer_, fountain, fileName);
  return PrintWith(*printer_, lines);
}

bool TPrintController::PageSetup(const TStrings* lines, TFountain* fountain,
                                 const std::string& fileName) {
  if (busy_) return false;
  BusyGuard guard(busy_);
  Prepare(*printer_, fountain, fileName);
  TFormStringsPrinterEditor form(*printer_, lines, parent_);
  TStringsPrinter& copy = form.Copy();
  Prepare(copy, fountain, fileName);
  form.OnPrinterSetup = [this] {
    if (RunPrinterDialog)
      RunPrinterDialog(device_->Printer());
    else
      QPrintDialog(&device_->Printer(), parent_).exec();
  };
  form.OnPrint = [this](TStringsPrinter& p, const TStrings& l) { PrintWith(p, l); };
  form.OnPreview = [this](TStringsPrinter& p, const TStrings& l) { PreviewWith(p, l); };
  const bool ok = RunPageSetup ? RunPageSetup(form) : form.exec() == QDialog::Accepted;
  if (!ok) return false;
  printer_->CopyFrom(&copy);
  if (!SaveSettings()) prompter_.Error("印刷の設定を保存できませんでした: " + iniPath_);
  return true;
}

bool TPrintController::PrinterSetting() {
  if (busy_) return false;
  BusyGuard guard(busy_);
  if (RunPrinterDialog) return RunPrinterDialog(device_->Printer());
  QPrintDialog dialog(&device_->Printer(), parent_);
  return dialog.exec() == QDialog::Accepted;
}

} // namespace ze
