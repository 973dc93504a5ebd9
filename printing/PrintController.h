#pragma once
// The one entry point of printing for the main window: print preview,
// print, page setup and printer setting of a document's lines, with the
// printer's settings kept in the program's INI file.
//
// Without an installed printer, printing asks for a PDF file and prints
// into it.

#include <QPointer>
#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Prompter.h"
#include "printing/QtPrinterDevice.h"
#include "printing/StringsPrinter.h"

namespace ze {

class TFountain;
class TFormStringsPrinterEditor;
class TFormStringsPrinterProgress;

class TPrintController {
public:
  // iniPath: the printing settings file ("ZorvaneEditor.ini" beside the
  // program); its section "StringsPrinter1" is read here.
  TPrintController(QWidget* parent, TPrompter& prompter, std::string iniPath);
  ~TPrintController();
  TPrintController(const TPrintController&) = delete;
  TPrintController& operator=(const TPrintController&) = delete;

  TStringsPrinter& StringsPrinter1() { return *printer_; }
  TQtPrinterDevice& Device() { return *device_; }

  // lines: the document (the editor's Lines); fountain: the editor's
  // active fountain (may be null); fileName: the document's path, for the
  // header and footer. Each returns false when nothing was done
  // (cancelled, refused, failed - the reason told to the user).
  bool PrintPreview(const TStrings& lines, TFountain* fountain, const std::string& fileName);
  bool Print(const TStrings& lines, TFountain* fountain, const std::string& fileName);
  // lines may be null (no document): printing from the dialog is off then.
  // On OK the settings are stored at once.
  bool PageSetup(const TStrings* lines, TFountain* fountain, const std::string& fileName);
  // The platform's printer dialog: printer, paper and orientation.
  bool PrinterSetting();
  // True while pages are built or shown: every command is refused then.
  bool Busy() const noexcept { return busy_; }
  // Stops whatever the running command shows: the build is cancelled (as
  // if the progress window's cancel button was pressed) and the preview
  // and the dialogs close. The command returns once its event loop ends;
  // nothing happens when idle. For a window that must close or free the
  // document being printed.
  void Cancel();

  void LoadSettings();
  bool SaveSettings();

  // Seams for tests: how the preview is shown, how the page setup dialog
  // and the printer dialog are run (default: modally).
  std::function<void(TStringsPrinter&, const TMetaFileList&)> ShowPreview;
  std::function<bool(TFormStringsPrinterEditor&)> RunPageSetup;
  std::function<bool(QPrinter&)> RunPrinterDialog;
  // Told when Busy changes (the window's command states follow it).
  std::function<void()> OnBusyChange;

private:
  struct TBusyScope;
  void Prepare(TStringsPrinter& p, TFountain* fountain, const std::string& fileName);
  bool PrintWith(TStringsPrinter& p, const TStrings& lines);
  bool PreviewWith(TStringsPrinter& p, const TStrings& lines);
  QPointer<QWidget> parent_;
  TPrompter& prompter_;
  std::string iniPath_;
  std::unique_ptr<TQtPrinterDevice> device_;
  std::unique_ptr<TStringsPrinter> printer_;
  // Runs a modal window of a command, reachable by Cancel meanwhile.
  int ExecTracked(QDialog& dialog);
  std::string lastPdf_;
  bool busy_ = false;
  bool cancelled_ = false;
  QPointer<TFormStringsPrinterProgress> progress_;
  std::vector<QPointer<QDialog>> shown_;
};

} // namespace ze
