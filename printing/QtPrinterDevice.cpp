#include "printing/QtPrinterDevice.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPrinterInfo>
#include <QScreen>
#include <cmath>
#include <vector>

#include "platform/CodePage.h"
#include "platform/qt/QtSurface.h"

namespace ze {

// ---------------------------------------------------------------- surface

QFont PrintFont(const TFontDesc& font, int dpi) {
  QFont f(ResolveFontFamily(font.Name));
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Size * dpi / 72.0))));
  f.setBold(HasFontStyle(font.Style, fsBold));
  f.setItalic(HasFontStyle(font.Style, fsItalic));
  f.setUnderline(HasFontStyle(font.Style, fsUnderline));
  f.setStrikeOut(HasFontStyle(font.Style, fsStrikeOut));
  // Cells place every character; kerning would only move them.
  f.setKerning(false);
  return f;
}

namespace {

// The character of one or two CP932 bytes, converted once and kept: pages
// of a long document hold millions of characters.
QChar CharOf(std::string_view bytes) {
  static std::vector<char16_t> table(65536 + 256, 0);
  const unsigned i =
      bytes.size() == 2
          ? (static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]))
          : 65536u + static_cast<unsigned char>(bytes[0]);
  char16_t& u = table[i];
  if (u == 0) {
    const std::u16string s = Cp932ToUtf16(bytes);
    u = s.size() == 1 && s[0] != 0 ? s[0] : char16_t{0xFFFD};
  }
  return QChar(u);
}

} // namespace

void TQtPageSurface::SetFont(const TFontDesc& font) {
  font_ = font;
}

QFont TQtPageSurface::FontFor(TFontStyles style) const {
  TFontDesc s = font_;
  s.Style = style;
  return PrintFont(s, dpi_);
}

TFontMetrics TQtPageSurface::FontMetrics() {
  QFontMetrics m(FontFor(font_.Style));
  return {m.height(), std::max(0, m.leading()), m.averageCharWidth()};
}

void TQtPageSurface::FillRect(const TRect& r, TColor color) {
  p_.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(color));
}

void TQtPageSurface::Line(int x1, int y1, int x2, int y2, TColor color) {
  p_.setPen(ToQColor(color));
  p_.drawLine(x1, y1, x2, y2);
}

void TQtPageSurface::TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance,
                             TColor fg, TColor bg, bool opaque, TFontStyles style) {
  if (sjis.empty()) return;
  p_.save();
  p_.setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()), Qt::IntersectClip);
  const QFont font = FontFor(style);
  QFontMetrics m(font);
  if (opaque)
    p_.fillRect(QRect(x, y, static_cast<int>(sjis.size()) * advance, m.height()), ToQColor(bg));
  p_.setFont(font);
  p_.setPen(ToQColor(fg));
  const int baseline = y + m.ascent();
  // Runs of characters whose glyphs are exactly as wide as their cells
  // are drawn as one text (a PDF then holds words, not letters); any
  // other character is placed in its cell alone.
  QString run;
  int runX = x;
  auto flush = [&] {
    if (!run.isEmpty()) p_.drawText(QPointF(runX, baseline), run);
    run.clear();
  };
  size_t i = 0;
  while (i < sjis.size()) {
    const int len = CharLengthAt(sjis, i);
    const QChar ch = CharOf(sjis.substr(i, static_cast<size_t>(len)));
    const int cellX = x + static_cast<int>(i) * advance;
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    if (b < 0x20) {
      flush();
    } else if (m.horizontalAdvance(ch) == len * advance) {
      if (run.isEmpty()) runX = cellX;
      run += ch;
    } else {
      flush();
      p_.drawText(QPointF(cellX, baseline), QString(ch));
    }
    i += static_cast<size_t>(len);
  }
  flush();
  p_.restore();
}

void TQtPageSurface::DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32);
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      uint32_t px = bmp.At(sx + xx, sy + yy);
      img.setPixel(xx, yy, px == 0xFF000000u ? 0u : (0xFF000000u | px));
    }
  p_.drawImage(dx, dy, img);
}

void DrawPageInto(QPainter& painter, const TPageMetafile& page, const QRectF& target) {
  if (page.Width() <= 0 || page.Height() <= 0) return;
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.scale(target.width() / page.Width(), target.height() / page.Height());
  TQtPageSurface s(painter, page.Dpi());
  page.Replay(s);
  painter.restore();
}

// ---------------------------------------------------------------- printer

TQtPrinterDevice::TQtPrinterDevice()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  if (!PrintersInstalled()) printer_->setOutputFormat(QPrinter::PdfFormat);
}

TQtPrinterDevice::~TQtPrinterDevice() {
  if (painter_ && painter_->isActive()) painter_->end();
}

bool TQtPrinterDevice::PrintersInstalled() {
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void TQtPrinterDevice::SetPdfOutput(const std::string& path) {
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(QString::fromStdString(path));
}

bool TQtPrinterDevice::PdfOutput() const {
  return printer_->outputFormat() == QPrinter::PdfFormat;
}

bool TQtPrinterDevice::Available() const {
  return PdfOutput() || printer_->isValid();
}

int TQtPrinterDevice::PrinterIndex() const {
  if (PdfOutput()) return 0;
  return static_cast<int>(QPrinterInfo::availablePrinterNames().indexOf(printer_->printerName()));
}

std::string TQtPrinterDevice::PrinterName() const {
  if (PdfOutput()) return "PDF";
  return printer_->printerName().toStdString();
}

int TQtPrinterDevice::PaperCode() const {
  return printer_->pageLayout().pageSize().windowsId();
}

std::vector<TPaperItem> TQtPrinterDevice::Papers() const {
  QList<QPageSize> sizes;
  if (!PdfOutput()) sizes = QPrinterInfo(*printer_).supportedPageSizes();
  if (sizes.isEmpty())
    for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::B4,
                                     QPageSize::B5, QPageSize::JisB4, QPageSize::JisB5,
                                     QPageSize::Letter, QPageSize::Legal, QPageSize::Postcard})
      sizes.push_back(QPageSize(id));
  std::vector<TPaperItem> out;
  for (const QPageSize& s : sizes) {
    const QSizeF mm = s.size(QPageSize::Millimeter);
    const int code = s.windowsId();
    if (code <= 0 || code > 0xFFFF) continue;
    out.push_back({s.name().toStdString(), static_cast<int>(std::lround(mm.width())),
                   static_cast<int>(std::lround(mm.height())), static_cast<uint16_t>(code)});
  }
  return out;
}

int TQtPrinterDevice::PageWidth() const {
  return printer_->pageLayout().paintRectPixels(printer_->resolution()).width();
}

int TQtPrinterDevice::PageHeight() const {
  return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
}

int TQtPrinterDevice::DpiX() const {
  return printer_->resolution();
}
int TQtPrinterDevice::DpiY() const {
  return printer_->resolution();
}

bool TQtPrinterDevice::Landscape() const {
  return printer_->pageLayout().orientation() == QPageLayout::Landscape;
}

int TQtPrinterDevice::ScreenDpi() const {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? static_cast<int>(std::lround(s->logicalDotsPerInchX())) : 96;
}

TFontMetrics TQtPrinterDevice::MeasureFont(const TFontDesc& font) {
  const int dpi = Available() ? DpiY() : ScreenDpi();
  QFontMetrics m(PrintFont(font, dpi));
  return {m.height(), std::max(0, m.leading()), std::max(1, m.averageCharWidth())};
}

bool TQtPrinterDevice::BeginDoc(const std::string& title) {
  printer_->setDocName(QString::fromStdString(title));
  painter_ = std::make_unique<QPainter>();
  pageFailed_ = false;
  if (!painter_->begin(printer_.get())) {
    painter_.reset();
    return false;
  }
  return true;
}

void TQtPrinterDevice::NewPage() {
  if (painter_ && !printer_->newPage()) pageFailed_ = true;
}

void TQtPrinterDevice::DrawPage(const TPageMetafile& page) {
  if (!painter_) return;
  DrawPageInto(*painter_, page, QRectF(0, 0, PageWidth(), PageHeight()));
}

bool TQtPrinterDevice::EndDoc() {
  if (!painter_) return false;
  const bool ok = painter_->end() && !pageFailed_ && printer_->printerState() != QPrinter::Error;
  painter_.reset();
  return ok;
}

} // namespace ze
