#pragma once
// A drawing surface for tests: fixed font metrics, every call recorded as
// plain data, and a small raster of what ended up where, so that a test
// can ask both "what was drawn" and "what does the window show now".
//
// The raster keeps one colour per pixel and, per pixel, the text cell
// that covers it (the byte, its colours and style). Text cells are
// `advance` wide and the font height high; lines are rasterised without
// their end point, the way a pen moved to (x2, y2) draws.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace ze::test {

enum class TDrawKind { SetFont, SetClip, FillRect, Line, TextOut, DrawBitmap };

struct TDrawCall {
  TDrawKind Kind = TDrawKind::FillRect;
  // FillRect: the rectangle; SetClip: the new clip; TextOut: its clip;
  // DrawBitmap: the destination rectangle.
  TRect Rect;
  // TextOut: origin of byte 0; Line: start point; DrawBitmap: destination.
  int X = 0, Y = 0;
  // Line: end point. DrawBitmap: source origin.
  int X2 = 0, Y2 = 0;
  std::string Text; // TextOut bytes
  int Advance = 0;
  // FillRect and Line: Fg is the colour.
  TColor Fg = 0, Bg = 0;
  bool Opaque = false;
  TFontStyles Style = 0;
  TFontDesc Font; // SetFont
  // DrawBitmap: the bitmap's address (its identity) and size.
  const void* BitmapId = nullptr;
  int BitmapWidth = 0, BitmapHeight = 0;
};

// What covers one pixel of the raster.
struct TCell {
  bool HasText = false;
  unsigned char Byte = 0; // the byte drawn in this column
  bool Trail = false;     // second byte of a double-byte character
  TColor Fg = 0;          // text colour (meaningful with HasText)
  TColor Bg = 0;          // the pixel's colour under the text
  TFontStyles Style = 0;
  int Call = -1; // index of the TextOut call in Calls(), -1 without text
};

class TRecordingSurface : public TSurface {
public:
  // Colour of raster pixels that nothing has drawn on.
  static constexpr TColor kUnpainted = 0xFFFFFFFF;

  explicit TRecordingSurface(int width = 640, int height = 480);

  // ---- TSurface
  void SetFont(const TFontDesc& font) override;
  TFontMetrics FontMetrics() override { return metrics_; }
  void SetClipRect(const TRect& r) override;
  TRect ClipRect() const override { return clip_; }
  void FillRect(const TRect& r, TColor color) override;
  void Line(int x1, int y1, int x2, int y2, TColor color) override;
  void TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance, TColor fg,
               TColor bg, bool opaque, TFontStyles style) override;
  void DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) override;

  // ---- set up
  void SetMetrics(const TFontMetrics& m) { metrics_ = m; }
  const TFontDesc& Font() const { return font_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // ---- the record
  const std::vector<TDrawCall>& Calls() const { return calls_; }
  std::vector<TDrawCall> Calls(TDrawKind kind) const;
  // Text of every TextOut call, in order.
  std::vector<std::string> Texts() const;
  void ClearCalls() { calls_.clear(); }

  // ---- the raster
  TColor PixelAt(int x, int y) const;
  TCell CellAt(int x, int y) const;
  // The bytes of n text cells starting at pixel (x, y), one cell every
  // advance pixels; a cell without text reads as a space.
  std::string TextAt(int x, int y, int n, int advance) const;
  // Number of pixels in r (clipped to the raster) that have colour c.
  int CountPixels(const TRect& r, TColor c) const;
  // Moves the pixels in r by (dx, dy), clipped to r, as a window scroll
  // does; what r uncovers keeps its old pixels. Not a drawing call: the
  // clip does not apply and nothing is recorded.
  void ScrollPixels(int dx, int dy, const TRect& r);
  // Forgets every pixel (back to kUnpainted) but keeps the record.
  void ClearRaster();

private:
  struct Glyph {
    unsigned char Byte;
    bool Trail;
    TColor Fg;
    TFontStyles Style;
    int Call;
  };
  TRect Visible(const TRect& r) const; // r within clip and raster
  void Plot(int x, int y, TColor c);
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_, height_;
  TFontMetrics metrics_;
  TFontDesc font_;
  TRect clip_;
  std::vector<TDrawCall> calls_;
  std::vector<TColor> pixels_;
  std::vector<int> glyphAt_; // index into glyphs_, -1 for none
  std::vector<Glyph> glyphs_;
};

} // namespace ze::test
