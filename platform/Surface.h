#pragma once
// The drawing surface the editor control paints on. The core never sees a
// toolkit: the Qt widget implements this with QPainter, tests with a
// recording surface of fixed metrics, and printed pages with a recording
// that is replayed later.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Graphics.h"

namespace ze {

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
          a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
  if (r.IsEmpty()) return TRect{};
  return r;
}

struct TFontDesc {
  std::string Name = "FixedSys"; // UTF-8
  int Size = 12;                 // points
  TFontStyles Style = 0;
  TColor Color = clBlack;
  friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

struct TFontMetrics {
  int Height = 16;
  int ExternalLeading = 0;
  int AverageWidth = 8;
};

// A plain 32-bit image (0x00RRGGBB per pixel, row after row) built by the
// core for cached strips such as the ruler, and copied by the surface.
struct TBitmap {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  void Resize(int w, int h, uint32_t fill) {
    Width = w;
    Height = h;
    Pixels.assign(static_cast<size_t>(w > 0 && h > 0 ? w * h : 0), fill);
  }
  uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y * Width + x)]; }
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
};

// Colours as the surface takes them: already resolved (no clNone, no
// system colours), 0x00BBGGRR.
class TSurface {
public:
  virtual ~TSurface() = default;

  virtual void SetFont(const TFontDesc& font) = 0;
  virtual TFontMetrics FontMetrics() = 0;

  // Only what lies inside the clip rectangle is drawn.
  virtual void SetClipRect(const TRect& r) = 0;
  virtual TRect ClipRect() const = 0;

  virtual void FillRect(const TRect& r, TColor color) = 0;
  // One pixel wide, from (x1, y1) up to but not including (x2, y2), as a
  // pen moved to (x2, y2) draws it.
  virtual void Line(int x1, int y1, int x2, int y2, TColor color) = 0;

  // Draws Shift-JIS text with the top left of byte i at x + i * advance:
  // every byte takes one column, a double-byte character two. Nothing is
  // drawn outside clip. With opaque, the cells are first filled with bg.
  // style carries bold and italic; underline is drawn by the caller.
  virtual void TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance,
                       TColor fg, TColor bg, bool opaque, TFontStyles style) = 0;

  // Copies src (x, y, w, h) of the bitmap to (dx, dy); pixels equal to
  // 0xFF000000 are transparent and leave what is below.
  virtual void DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w, int h) = 0;
};

} // namespace ze
