#include "tests/support/RecordingSurface.h"

#include <algorithm>
#include <cstdlib>

#include "platform/CodePage.h"

namespace ze::test {

namespace {

constexpr uint32_t kTransparentPixel = 0xFF000000u;

// Bitmap pixels are 0x00RRGGBB, colours 0x00BBGGRR.
TColor FromBitmapPixel(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

} // namespace

TRecordingSurface::TRecordingSurface(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)), clip_{0, 0, width_, height_} {
  ClearRaster();
}

void TRecordingSurface::ClearRaster() {
  pixels_.assign(static_cast<size_t>(width_) * height_, kUnpainted);
  glyphAt_.assign(pixels_.size(), -1);
  glyphs_.clear();
}

TRect TRecordingSurface::Visible(const TRect& r) const {
  return Intersect(Intersect(r, clip_), TRect{0, 0, width_, height_});
}

void TRecordingSurface::Plot(int x, int y, TColor c) {
  if (!clip_.Contains(x, y) || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[Index(x, y)] = c;
}

void TRecordingSurface::SetFont(const TFontDesc& font) {
  font_ = font;
  TDrawCall c;
  c.Kind = TDrawKind::SetFont;
  c.Font = font;
  c.Style = font.Style;
  c.Fg = font.Color;
  calls_.push_back(std::move(c));
}

void TRecordingSurface::SetClipRect(const TRect& r) {
  clip_ = r;
  TDrawCall c;
  c.Kind = TDrawKind::SetClip;
  c.Rect = r;
  calls_.push_back(std::move(c));
}

void TRecordingSurface::FillRect(const TRect& r, TColor color) {
  TDrawCall c;
  c.Kind = TDrawKind::FillRect;
  c.Rect = r;
  c.Fg = color;
  calls_.push_back(std::move(c));
  TRect v = Visible(r);
  for (int y = v.Top; y < v.Bottom; ++y)
    for (int x = v.Left; x < v.Right; ++x) {
      pixels_[Index(x, y)] = color;
      glyphAt_[Index(x, y)] = -1;
    }
}

void TRecordingSurface::Line(int x1, int y1, int x2, int y2, TColor color) {
  TDrawCall c;
  c.Kind = TDrawKind::Line;
  c.X = x1;
  c.Y = y1;
  c.X2 = x2;
  c.Y2 = y2;
  c.Fg = color;
  calls_.push_back(std::move(c));
  // Bresenham, stopping before the end point.
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (x != x2 || y != y2) {
    Plot(x, y, color);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void TRecordingSurface::TextOut(int x, int y, const TRect& clip, std::string_view sjis, int advance,
                                TColor fg, TColor bg, bool opaque, TFontStyles style) {
  TDrawCall c;
  c.Kind = TDrawKind::TextOut;
  c.Rect = clip;
  c.X = x;
  c.Y = y;
  c.Text = std::string(sjis);
  c.Advance = advance;
  c.Fg = fg;
  c.Bg = bg;
  c.Opaque = opaque;
  c.Style = style;
  const int call = static_cast<int>(calls_.size());
  calls_.push_back(std::move(c));

  const TRect area = Visible(clip);
  bool trail = false;
  for (size_t i = 0; i < sjis.size(); ++i) {
    const auto b = static_cast<unsigned char>(sjis[i]);
    const bool isTrail = trail;
    trail = !isTrail && IsLeadByte(b) && i + 1 < sjis.size();
    const TRect cell = Intersect(TRect{x + static_cast<int>(i) * advance, y,
                                       x + static_cast<int>(i + 1) * advance, y + metrics_.Height},
                                 area);
    if (cell.IsEmpty()) continue;
    const int g = static_cast<int>(glyphs_.size());
    glyphs_.push_back(Glyph{b, isTrail, fg, style, call});
    for (int py = cell.Top; py < cell.Bottom; ++py)
      for (int px = cell.Left; px < cell.Right; ++px) {
        if (opaque) pixels_[Index(px, py)] = bg;
        glyphAt_[Index(px, py)] = g;
      }
  }
}

void TRecordingSurface::DrawBitmap(int dx, int dy, const TBitmap& bmp, int sx, int sy, int w,
                                   int h) {
  TDrawCall c;
  c.Kind = TDrawKind::DrawBitmap;
  c.Rect = TRect{dx, dy, dx + w, dy + h};
  c.X = dx;
  c.Y = dy;
  c.X2 = sx;
  c.Y2 = sy;
  c.BitmapId = &bmp;
  c.BitmapWidth = bmp.Width;
  c.BitmapHeight = bmp.Height;
  calls_.push_back(std::move(c));
  // Only the part that exists in the bitmap is copied.
  const TRect src = Intersect(TRect{sx, sy, sx + w, sy + h}, TRect{0, 0, bmp.Width, bmp.Height});
  const TRect v = Visible(
      TRect{dx + src.Left - sx, dy + src.Top - sy, dx + src.Right - sx, dy + src.Bottom - sy});
  for (int y = v.Top; y < v.Bottom; ++y)
    for (int x = v.Left; x < v.Right; ++x) {
      const uint32_t px = bmp.At(x - dx + sx, y - dy + sy);
      if (px == kTransparentPixel) continue; // leaves what is below
      pixels_[Index(x, y)] = FromBitmapPixel(px);
      glyphAt_[Index(x, y)] = -1;
    }
}

std::vector<TDrawCall> TRecordingSurface::Calls(TDrawKind kind) const {
  std::vector<TDrawCall> out;
  for (const TDrawCall& c : calls_)
    if (c.Kind == kind) out.push_back(c);
  return out;
}

std::vector<std::string> TRecordingSurface::Texts() const {
  std::vector<std::string> out;
  for (const TDrawCall& c : calls_)
    if (c.Kind == TDrawKind::TextOut) out.push_back(c.Text);
  return out;
}

TColor TRecordingSurface::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kUnpainted;
  return pixels_[Index(x, y)];
}

TCell TRecordingSurface::CellAt(int x, int y) const {
  TCell cell;
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    cell.Bg = kUnpainted;
    return cell;
  }
  cell.Bg = pixels_[Index(x, y)];
  const int g = glyphAt_[Index(x, y)];
  if (g < 0) return cell;
  const Glyph& gl = glyphs_[static_cast<size_t>(g)];
  cell.HasText = true;
  cell.Byte = gl.Byte;
  cell.Trail = gl.Trail;
  cell.Fg = gl.Fg;
  cell.Style = gl.Style;
  cell.Call = gl.Call;
  return cell;
}

std::string TRecordingSurface::TextAt(int x, int y, int n, int advance) const {
  std::string out;
  for (int i = 0; i < n; ++i) {
    TCell c = CellAt(x + i * advance, y);
    out.push_back(c.HasText ? static_cast<char>(c.Byte) : ' ');
  }
  return out;
}

int TRecordingSurface::CountPixels(const TRect& r, TColor c) const {
  const TRect v = Intersect(r, TRect{0, 0, width_, height_});
  int n = 0;
  for (int y = v.Top; y < v.Bottom; ++y)
    for (int x = v.Left; x < v.Right; ++x)
      if (pixels_[Index(x, y)] == c) ++n;
  return n;
}

void TRecordingSurface::ScrollPixels(int dx, int dy, const TRect& r) {
  const TRect area = Intersect(r, TRect{0, 0, width_, height_});
  if (area.IsEmpty() || (dx == 0 && dy == 0)) return;
  const TRect dst =
      Intersect(TRect{area.Left + dx, area.Top + dy, area.Right + dx, area.Bottom + dy}, area);
  if (dst.IsEmpty()) return;
  // Copy in the order that never reads a pixel already overwritten.
  const int y0 = dy > 0 ? dst.Bottom - 1 : dst.Top, y1 = dy > 0 ? dst.Top - 1 : dst.Bottom;
  const int ys = dy > 0 ? -1 : 1;
  const int x0 = dx > 0 ? dst.Right - 1 : dst.Left, x1 = dx > 0 ? dst.Left - 1 : dst.Right;
  const int xs = dx > 0 ? -1 : 1;
  for (int y = y0; y != y1; y += ys)
    for (int x = x0; x != x1; x += xs) {
      pixels_[Index(x, y)] = pixels_[Index(x - dx, y - dy)];
      glyphAt_[Index(x, y)] = glyphAt_[Index(x - dx, y - dy)];
    }
}

} // namespace ze::test
