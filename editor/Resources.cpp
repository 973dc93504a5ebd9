#include "editor/Resources.h"

#include <array>
#include <map>
#include <memory>
#include <utility>

namespace ze {
namespace {

// Rows of each digit, top to bottom; bit 4 is the leftmost pixel.
constexpr uint8_t kGlyphs[10][9] = {
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, // 0
    {0x08, 0x18, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x1C}, // 1 (3 wide)
    {0x0E, 0x11, 0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}, // 2
    {0x0E, 0x11, 0x01, 0x01, 0x06, 0x01, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x12, 0x1F, 0x02, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x10, 0x1E, 0x01, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x0E, 0x11, 0x10, 0x1E, 0x11, 0x11, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x02, 0x04, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x01, 0x11, 0x0E}, // 9
};

TBitmap MakeDigitImage(int n) {
  // A dark-blue square with the digit in white, on a transparent ground.
  TBitmap b;
  b.Resize(8, 11, kTransparentPixel);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 8; ++x) b.At(x, y) = PixelOf(clNavy);
  const uint8_t* g = kGlyphs[n];
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 5; ++x)
      if (g[y] & (0x10 >> x)) b.At(x + 2, y + 1) = PixelOf(clWhite);
  return b;
}

TBitmap MakeMarkImage(int n) {
  // A flag in one of six colours, on a transparent ground.
  static const TColor colors[kMarkImageCount] = {0x0000FF, 0x00A000, 0xFF0000,
                                                 0x00A0FF, 0xC000C0, 0x808000};
  TBitmap b;
  b.Resize(11, 11, kTransparentPixel);
  for (int y = 0; y < 11; ++y) b.At(2, y) = PixelOf(clBlack);
  for (int y = 0; y < 6; ++y)
    for (int x = 3; x < 10 - y / 2; ++x) b.At(x, y) = PixelOf(colors[n]);
  return b;
}

} // namespace

const uint8_t* DigitGlyph(int digit) { return kGlyphs[digit]; }
int DigitGlyphWidth(int digit) { return digit == 1 ? 3 : 5; }

const TBitmap& DigitImage(int n) {
  static const std::array<TBitmap, kDigitImageCount> images = [] {
    std::array<TBitmap, kDigitImageCount> a;
    for (int i = 0; i < kDigitImageCount; ++i) a[static_cast<size_t>(i)] = MakeDigitImage(i);
    return a;
  }();
  return images[static_cast<size_t>(n)];
}

const TBitmap& MarkImage(int n) {
  static const std::array<TBitmap, kMarkImageCount> images = [] {
    std::array<TBitmap, kMarkImageCount> a;
    for (int i = 0; i < kMarkImageCount; ++i) a[static_cast<size_t>(i)] = MakeMarkImage(i);
    return a;
  }();
  return images[static_cast<size_t>(n)];
}

const TBitmap& DottedLineStrip(TColor line, TColor background, int width) {
  static std::map<std::pair<TColor, TColor>, std::unique_ptr<TBitmap>> cache;
  auto& slot = cache[{line, background}];
  if (!slot || slot->Width < width) {
    auto b = std::make_unique<TBitmap>();
    int w = std::max(width, slot ? slot->Width : 0);
    b->Resize(w, 1, PixelOf(background));
    for (int x = 0; x < w; x += 2) b->At(x, 0) = PixelOf(line);
    slot = std::move(b);
  }
  return *slot;
}

} // namespace ze
