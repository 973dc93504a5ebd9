#pragma once
// The printer of the running program: a QPrinter (CUPS printers through
// QPrinterInfo, or Qt's PDF output), paper names and sizes from QPageSize,
// and the surface that draws recorded pages with QPainter as real text, so
// that a printed or PDF page keeps its text.

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "printing/PrintDevice.h"

namespace ze {

// Draws recorded page calls on a painter whose coordinates are the page's
// pixels; font sizes in points become dpi / 72 pixels each. Every byte
// takes its cell: characters are placed at x + byte index * advance.
class TQtPageSurface : public TSurface {
public:
  TQtPageSurface(QPainter& painter, int dpi) : p_(painter), dpi_(dpi) {}

  void SetFont(const TFontDesc& font) override;
  TFontMetrics FontMetrics() override;
  void SetClipRect(const TRect& r) override { clip_ = r; }
  TRect ClipRect() const override { return clip_; }
  void FillRect(const TRect& r, TColor color) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance, TColor fg,
               TColor bg, bool opaque, TFontStyles style) override;
  void DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) override;

private:
  QFont FontFor(TFontStyles style) const;
  QPainter& p_;
  int dpi_;
  TFontDesc font_;
  TRect clip_{-1000000, -1000000, 1000000, 1000000};
};

// The QFont of a printing font at dpi.
QFont PrintFont(const TFontDesc& font, int dpi);

// Draws a recorded page stretched into target on painter.
void DrawPageInto(QPainter& painter, const TPageMetafile& page, const QRectF& target);

class TQtPrinterDevice : public TPrinterDevice {
public:
  TQtPrinterDevice();
  ~TQtPrinterDevice() override;

  QPrinter& Printer() { return *printer_; }
  // True when the system knows at least one printer.
  static bool PrintersInstalled();
  // Prints into a PDF file instead of a printer.
  void SetPdfOutput(const std::string& path);
  bool PdfOutput() const;

  bool Available() const override;
  int PrinterIndex() const override;
  std::string PrinterName() const override;
  int PaperCode() const override;
  std::vector<TPaperItem> Papers() const override;
  int PageWidth() const override;
  int PageHeight() const override;
  int DpiX() const override;
  int DpiY() const override;
  bool Landscape() const override;
  int ScreenDpi() const override;
  TFontMetrics MeasureFont(const TFontDesc& font) override;
  bool BeginDoc(const std::string& title) override;
  void NewPage() override;
  void DrawPage(const TPageMetafile& page) override;
  bool EndDoc() override;

private:
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  bool pageFailed_ = false;
};

} // namespace ze
