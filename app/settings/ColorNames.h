#pragma once
// Colour values as the settings files write them: one of 52 identifiers
// (clWhite, clWindow …) or "$" and eight upper-case hexadecimal digits.
// System colours ($FF0000nn) stand for a role of the desktop palette;
// the mapping to roles is here, the palette itself is the window's.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Graphics.h"

namespace ze {

// The 52 identifiers with their values, in the order the files list them.
struct TColorIdent {
  const char* Name;
  TColor Value;
};
const TColorIdent* ColorIdents(int& count);

// The identifier of c, or "$" and eight upper-case hex digits.
std::string ColorToString(TColor c);

// An identifier (letter case ignored) or an integer: decimal, "$" or "0x"
// hexadecimal, up to $FFFFFFFF, read without overflow. Only values that
// are colours are taken: $00BBGGRR, a system colour $FF000000-$FF00001E,
// clNone and clDefault. Anything else gives nullopt.
std::optional<TColor> StringToColor(std::string_view text);

// A number as the settings files write it: decimal, or hexadecimal after
// "$" or "0x", with an optional sign. Gives its magnitude (at most 32
// bits) and whether it was negative; nothing when the text is not such a
// number.
std::optional<uint32_t> ParseIniMagnitude(std::string_view t, bool& negative);

// The roles of a desktop palette that stand in for the system colours.
// The names follow Qt's QPalette roles so that the window can fill them
// one to one.
enum class TPaletteRole {
  Window,
  WindowText,
  Base,
  Text,
  Button,
  ButtonText,
  Highlight,
  HighlightedText,
  ToolTipBase,
  ToolTipText,
  Light,
  Midlight,
  Mid,
  Dark,
  Shadow,
  Link,
  PlaceholderText,
};

bool IsSystemColor(TColor c);
// The palette role of a system colour, nullopt for any other value.
std::optional<TPaletteRole> SystemColorRole(TColor c);

// Looks a role up in the desktop's palette ($00BBGGRR).
using TPaletteLookup = std::function<TColor(TPaletteRole)>;

// A plain colour for painting: system colours through palette (or, when
// it is empty, through the classic desktop colours), plain colours as
// they are. clNone and clDefault are not colours and give fallback.
TColor ResolveColor(TColor c, const TPaletteLookup& palette, TColor fallback);

} // namespace ze
