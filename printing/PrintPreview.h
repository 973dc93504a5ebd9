#pragma once
// The progress window shown while pages are built, and the modal preview
// window that shows the built pages one at a time.

#include <QDialog>
#include <QPoint>
#include <string>

#include "printing/PrintDevice.h"
#include "printing/StringsPrinter.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QToolButton;
class QStatusBar;

namespace ze {

// Application-modal while shown, so that the only input that reaches the
// program while pages are built is the cancellation: the cancel button,
// Escape or closing the window.
class TFormStringsPrinterProgress : public QDialog, public TPrintProgress {
  Q_OBJECT
public:
  explicit TFormStringsPrinterProgress(QWidget* parent = nullptr);

  void Show(const std::string& caption) override;
  void Update(const std::string& caption, int last, int current) override;
  bool Cancelled() const override { return cancelled_; }
  void Cancel() { cancelled_ = true; }

  QLabel* Label1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* CancelButton = nullptr;

protected:
  void reject() override;
  void closeEvent(QCloseEvent* e) override;

private:
  bool cancelled_ = false;
};

class TFormStringsPrinterPreview : public QDialog {
  Q_OBJECT
public:
  enum TZoom { zmActual = 0, zmFitWidth = 1, zmFitHeight = 2 };

  TFormStringsPrinterPreview(TStringsPrinter& printer, const TMetaFileList& pages,
                             QWidget* parent = nullptr);

  // Creates the window, shows page 0 at actual size, modally.
  static void Execute(TStringsPrinter& printer, const TMetaFileList& pages, QWidget* parent);

  void GoToPage(int n);
  void SetZoom(TZoom mode);
  int Page() const noexcept { return page_; }
  TZoom Zoom() const noexcept { return zoom_; }
  // The size of the drawn page image.
  QSize ImageSize() const;

  QToolButton* SpeedButton1 = nullptr; // first
  QToolButton* SpeedButton2 = nullptr; // previous
  QToolButton* SpeedButton3 = nullptr; // next
  QToolButton* SpeedButton4 = nullptr; // last
  QToolButton* SpeedButton5 = nullptr; // fit height
  QToolButton* SpeedButton6 = nullptr; // fit width
  QToolButton* SpeedButton7 = nullptr; // actual size
  QToolButton* SpeedButton8 = nullptr; // close
  QLabel* Label1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  QLabel* Image1 = nullptr;

protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  void DrawPage();
  TStringsPrinter& printer_;
  const TMetaFileList& pages_;
  int page_ = 0;
  TZoom zoom_ = zmActual;
  QPoint mouseDown_;
  int vScrollWidth_ = 16, hScrollHeight_ = 16;
};

} // namespace ze
