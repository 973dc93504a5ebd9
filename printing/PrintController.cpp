#include "printing/PrintController.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

#include "platform/IniFile.h"
#include "printing/PageSetupDialog.h"
#include "printing/PrintPreview.h"
#include "text/ComponentStore.h"

namespace ze {

namespace {

std::string PdfNameFor(const std::string& document) {
  std::string base = document.empty() ? std::string("Untitled") : document;
  size_t slash = base.find_last_of('/');
  size_t dot = base.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) base.erase(dot);
  return base + ".pdf";
}

// The platform's print dialog used to choose the printer: it prints
// nothing, so its button says OK, not "Print".
void AsPrinterSetting(QPrintDialog& dialog) {
  dialog.setWindowTitle(QStringLiteral("プリンタ設定"));
  for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
    if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
}

} // namespace

// Marks a command running; a cancellation lasts until it returns.
struct TPrintController::TBusyScope {
  TPrintController& c;
  explicit TBusyScope(TPrintController& controller) : c(controller) {
    c.busy_ = true;
    c.cancelled_ = false;
    if (c.OnBusyChange) c.OnBusyChange();
  }
  ~TBusyScope() {
    c.busy_ = false;
    c.cancelled_ = false;
    if (c.OnBusyChange) c.OnBusyChange();
  }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;
};

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
  p.ProgressFactory = [this]() -> std::unique_ptr<TPrintProgress> {
    auto progress = std::make_unique<TFormStringsPrinterProgress>(parent_.data());
    // A cancellation asked for before the window existed still counts.
    if (cancelled_) progress->Cancel();
    progress_ = progress.get();
    return progress;
  };
  p.OnPreview = [this](TStringsPrinter& printer, const TMetaFileList& pages) {
    if (cancelled_) return;
    if (ShowPreview) {
      ShowPreview(printer, pages);
    } else {
      TFormStringsPrinterPreview form(printer, pages, parent_);
      ExecTracked(form);
    }
  };
}

int TPrintController::ExecTracked(QDialog& dialog) {
  if (cancelled_) return QDialog::Rejected;
  shown_.emplace_back(&dialog);
  const int result = dialog.exec();
  std::erase_if(shown_, [&](const QPointer<QDialog>& d) { return !d || d == &dialog; });
  return cancelled_ ? int(QDialog::Rejected) : result;
}

void TPrintController::Cancel() {
  if (!busy_) return;
  cancelled_ = true;
  if (progress_) progress_->Cancel();
  // Innermost first: a preview opened from the page setup closes before it.
  for (auto it = shown_.rbegin(); it != shown_.rend(); ++it)
    if (*it) (*it)->reject();
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
    if (!path || cancelled_) return false;
    lastPdf_ = *path;
    device_->SetPdfOutput(*path);
  }
  return p.Print(lines);
}

bool TPrintController::PrintPreview(const TStrings& lines, TFountain* fountain,
                                    const std::string& fileName) {
  if (busy_) return false;
  TBusyScope busy(*this);
  Prepare(*printer_, fountain, fileName);
  return PreviewWith(*printer_, lines);
}

bool TPrintController::Print(const TStrings& lines, TFountain* fountain,
                             const std::string& fileName) {
  if (busy_) return false;
  TBusyScope busy(*this);
  Prepare(*printer_, fountain, fileName);
  return PrintWith(*printer_, lines);
}

bool TPrintController::PageSetup(const TStrings* lines, TFountain* fountain,
                                 const std::string& fileName) {
  if (busy_) return false;
  TBusyScope busy(*this);
  Prepare(*printer_, fountain, fileName);
  TFormStringsPrinterEditor form(*printer_, lines, parent_);
  TStringsPrinter& copy = form.Copy();
  Prepare(copy, fountain, fileName);
  form.OnPrinterSetup = [this] {
    if (RunPrinterDialog) {
      RunPrinterDialog(device_->Printer());
    } else {
      QPrintDialog dialog(&device_->Printer(), parent_);
      AsPrinterSetting(dialog);
      ExecTracked(dialog);
    }
  };
  form.OnPrint = [this](TStringsPrinter& p, const TStrings& l) { PrintWith(p, l); };
  form.OnPreview = [this](TStringsPrinter& p, const TStrings& l) { PreviewWith(p, l); };
  const bool ok = RunPageSetup ? RunPageSetup(form) : ExecTracked(form) == QDialog::Accepted;
  if (!ok || cancelled_) return false;
  printer_->CopyFrom(&copy);
  if (!SaveSettings()) prompter_.Error("印刷の設定を保存できませんでした: " + iniPath_);
  return true;
}

bool TPrintController::PrinterSetting() {
  if (busy_) return false;
  TBusyScope busy(*this);
  if (RunPrinterDialog) return RunPrinterDialog(device_->Printer());
  QPrintDialog dialog(&device_->Printer(), parent_);
  AsPrinterSetting(dialog);
  return ExecTracked(dialog) == QDialog::Accepted;
}

} // namespace ze
