#pragma once
// Colour values and font styles as the settings objects, the fountains and
// the painter exchange them.

#include <cstdint>
#include <initializer_list>

namespace ze {

// A colour: 0x00BBGGRR for a plain colour (red in the low byte),
// 0xFF0000nn for system colour nn, clNone for "no colour of its own" and
// clDefault for the default colour.
using TColor = uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;

// Font styles; a set of them is a bit mask with bit n for style n, the
// form in which the property tables publish sets.
enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;

constexpr TFontStyles FontStyles(std::initializer_list<TFontStyle> styles) {
  TFontStyles s = 0;
  for (TFontStyle f : styles)
    s = static_cast<TFontStyles>(s | (1u << f));
  return s;
}
constexpr bool HasFontStyle(TFontStyles s, TFontStyle f) {
  return (s >> f) & 1u;
}

} // namespace ze
