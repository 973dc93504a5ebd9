#pragma once
// A printer of fixed metrics for layout tests: 254 dpi (one millimetre is
// ten pixels), an A4 page without unprintable margins, a font 16 pixels
// high whose bytes are 8 pixels wide, and a record of the print job.

#include <string>
#include <vector>

#include "printing/PrintDevice.h"

namespace ze::test {

// One drawn text of a replayed page.
struct TTextCall {
  int X, Y;
  std::string Text;
  TRect Clip;
  TColor Fg, Bg;
  bool Opaque;
  TFontStyles Style;
};

// Replays keep only what tests ask about: texts and fills.
class TTextSurface : public TSurface {
public:
  void SetFont(const TFontDesc& f) override { Font = f; }
  TFontMetrics FontMetrics() override { return {16, 0, 8}; }
  void SetClipRect(const TRect& r) override { clip_ = r; }
  TRect ClipRect() const override { return clip_; }
  void FillRect(const TRect& r, TColor c) override { Fills.push_back({r, c}); }
  void Line(int, int, int, int, TColor) override {}
  void TextOut(int x, int y, const TRect& clip, std::string_view s, int advance, TColor fg,
               TColor bg, bool opaque, TFontStyles style) override {
    Texts.push_back({x, y, std::string(s), clip, fg, bg, opaque, style});
  }
  void DrawBitmap(int, int, const TBitmap&, int, int, int, int) override {}

  struct Fill {
    TRect Rect;
    TColor Color;
  };
  TFontDesc Font;
  std::vector<TTextCall> Texts;
  std::vector<Fill> Fills;

private:
  TRect clip_;
};

class TFakePrinter : public TPrinterDevice {
public:
  bool Available() const override { return available; }
  int PrinterIndex() const override { return 0; }
  std::string PrinterName() const override { return "Fake"; }
  int PaperCode() const override { return paperCode; }
  std::vector<TPaperItem> Papers() const override { return papers; }
  int PageWidth() const override { return pageWidth; }
  int PageHeight() const override { return pageHeight; }
  int DpiX() const override { return dpiX; }
  int DpiY() const override { return dpiY; }
  bool Landscape() const override { return landscape; }
  TFontMetrics MeasureFont(const TFontDesc&) override { return metrics; }
  bool BeginDoc(const std::string& title) override {
    events.push_back("begin");
    return beginOk;
  }
  void NewPage() override { events.push_back("newpage"); }
  void DrawPage(const TPageMetafile& page) override {
    TTextSurface s;
    page.Replay(s);
    std::string texts;
    for (const TTextCall& t : s.Texts)
      texts += t.Text + "|";
    events.push_back("page:" + texts);
  }
  bool EndDoc() override {
    events.push_back("end");
    return endOk;
  }

  bool available = true;
  int paperCode = 9;
  std::vector<TPaperItem> papers;
  int pageWidth = 2100, pageHeight = 2970;
  int dpiX = 254, dpiY = 254;
  bool landscape = false;
  TFontMetrics metrics{16, 0, 8};
  bool beginOk = true, endOk = true;
  std::vector<std::string> events;
};

} // namespace ze::test
