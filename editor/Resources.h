#pragma once
// Images the editor draws with, built once in the program: the ruler's
// digit glyphs, the image bar's digit images (row marks 0-9) and mark
// images (row marks 10-15), and the dotted-line strips.

#include "platform/Surface.h"

namespace ze {

// The 5 by 9 glyph of a digit: bit (4 - x) of row y is set where the
// glyph has ink. The glyph of 1 is 3 pixels wide.
const uint8_t* DigitGlyph(int digit);
int DigitGlyphWidth(int digit);

// Image n of the module lists: digits 8 by 11, marks 11 by 11. Pixels
// equal to TransparentPixel are not drawn.
inline constexpr uint32_t kTransparentPixel = 0xFF000000u;
const TBitmap& DigitImage(int n);
const TBitmap& MarkImage(int n);
inline constexpr int kDigitImageCount = 10;
inline constexpr int kMarkImageCount = 6;

// A one-pixel-high strip of width pixels with every other pixel, starting
// with the first, in line and the rest in background. Cached per colour
// pair for the life of the program.
const TBitmap& DottedLineStrip(TColor line, TColor background, int width);

// 0x00BBGGRR to the surface's bitmap pixels (0x00RRGGBB).
inline uint32_t PixelOf(TColor c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

} // namespace ze
