// The images of the mark column: jump marks as white numbers 1 to 10 on a
// dark-blue tile, bookmarks as five shapes that differ in form and colour,
// so they stay apart for a reader who cannot tell the colours apart.
#include <cstdlib>

#include "app/commands/MarkCommands.h"
#include "editor/Resources.h"

namespace ze {
namespace {

constexpr int kJumpW = 12, kJumpH = 11;
constexpr int kMarkSize = 11;

void DrawGlyph(TBitmap& b, int digit, int x0, int y0, uint32_t pixel) {
  const uint8_t* g = DigitGlyph(digit);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < DigitGlyphWidth(digit); ++x)
      if (g[y] & (0x10 >> x)) b.At(x0 + x, y0 + y) = pixel;
}

TBitmap MakeJumpImage(int number) { // 1..10
  TBitmap b;
  b.Resize(kJumpW, kJumpH, kTransparentPixel);
  const uint32_t tile = PixelOf(clNavy), ink = PixelOf(clWhite);
  for (int y = 0; y < kJumpH; ++y)
    for (int x = 0; x < kJumpW; ++x) {
      const bool corner = (x == 0 || x == kJumpW - 1) && (y == 0 || y == kJumpH - 1);
      if (!corner) b.At(x, y) = tile;
    }
  if (number < 10) {
    const int w = DigitGlyphWidth(number);
    DrawGlyph(b, number, (kJumpW - w) / 2, 1, ink);
  } else {
    // "1" and "0" with one pixel between them.
    const int w = DigitGlyphWidth(1) + 1 + DigitGlyphWidth(0);
    const int x0 = (kJumpW - w) / 2;
    DrawGlyph(b, 1, x0, 1, ink);
    DrawGlyph(b, 0, x0 + DigitGlyphWidth(1) + 1, 1, ink);
  }
  return b;
}

// Whether pixel (x, y) of an 11 by 11 cell lies inside shape n.
bool InShape(int n, int x, int y) {
  const int dx = x - 5, dy = y - 5;
  switch (n) {
  case 0:
    return dx * dx + dy * dy <= 25; // circle
  case 1:
    return x >= 1 && x <= 9 && y >= 1 && y <= 9; // square
  case 2:
    return y >= 1 && y <= 9 && std::abs(dx) <= (y - 1) / 2 + 1; // triangle
  case 3:
    return std::abs(dx) + std::abs(dy) <= 5; // diamond
  default:
    return std::abs(dx) <= 1 || std::abs(dy) <= 1; // cross
  }
}

TBitmap MakeBookmarkImage(int n) { // 0..4
  static const TColor fills[kBookmarkCount] = {0x0000E0, 0xE06000, 0x00A000, 0x0080FF, 0xC000C0};
  TBitmap b;
  b.Resize(kMarkSize, kMarkSize, kTransparentPixel);
  for (int y = 0; y < kMarkSize; ++y)
    for (int x = 0; x < kMarkSize; ++x) {
      if (!InShape(n, x, y)) continue;
      // A dark rim where the shape meets the outside.
      const bool edge = x == 0 || y == 0 || x == kMarkSize - 1 || y == kMarkSize - 1 ||
                        !InShape(n, x - 1, y) || !InShape(n, x + 1, y) || !InShape(n, x, y - 1) ||
                        !InShape(n, x, y + 1);
      b.At(x, y) = PixelOf(edge ? clBlack : fills[n]);
    }
  return b;
}

} // namespace

const TEditor::TImageList& JumpMarkImages() {
  static const TEditor::TImageList images = [] {
    TEditor::TImageList list;
    for (int n = 1; n <= kJumpMarkCount; ++n)
      list.push_back(MakeJumpImage(n));
    return list;
  }();
  return images;
}

const TEditor::TImageList& BookmarkImages() {
  static const TEditor::TImageList images = [] {
    TEditor::TImageList list;
    for (int n = 0; n < kBookmarkCount; ++n)
      list.push_back(MakeBookmarkImage(n));
    return list;
  }();
  return images;
}

} // namespace ze
