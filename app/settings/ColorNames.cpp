#include "app/settings/ColorNames.h"

#include <cstdint>
#include <cstdio>

namespace ze {
namespace {

constexpr TColor Sys(int index) { return 0xFF000000u | static_cast<TColor>(index); }

// System colour indices of the classic desktop.
enum : int {
  kScrollBar = 0, kBackground = 1, kActiveCaption = 2, kInactiveCaption = 3, kMenu = 4,
  kWindow = 5, kWindowFrame = 6, kMenuText = 7, kWindowText = 8, kCaptionText = 9,
  kActiveBorder = 10, kInactiveBorder = 11, kAppWorkSpace = 12, kHighlight = 13,
  kHighlightText = 14, kBtnFace = 15, kBtnShadow = 16, kGrayText = 17, kBtnText = 18,
  kInactiveCaptionText = 19, kBtnHighlight = 20, k3DDkShadow = 21, k3DLight = 22,
  kInfoText = 23, kInfoBk = 24, kHotLight = 26, kGradientActiveCaption = 27,
  kGradientInactiveCaption = 28, kMenuHighlight = 29, kMenuBar = 30, kLastSystem = 30
};

constexpr TColorIdent kIdents[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", Sys(kActiveBorder)},
    {"clActiveCaption", Sys(kActiveCaption)},
    {"clAppWorkSpace", Sys(kAppWorkSpace)},
    {"clBackground", Sys(kBackground)},
    {"clBtnFace", Sys(kBtnFace)},
    {"clBtnHighlight", Sys(kBtnHighlight)},
    {"clBtnShadow", Sys(kBtnShadow)},
    {"clBtnText", Sys(kBtnText)},
    {"clCaptionText", Sys(kCaptionText)},
    {"clDefault", clDefault},
    {"clGradientActiveCaption", Sys(kGradientActiveCaption)},
    {"clGradientInactiveCaption", Sys(kGradientInactiveCaption)},
    {"clGrayText", Sys(kGrayText)},
    {"clHighlight", Sys(kHighlight)},
    {"clHighlightText", Sys(kHighlightText)},
    {"clHotLight", Sys(kHotLight)},
    {"clInactiveBorder", Sys(kInactiveBorder)},
    {"clInactiveCaption", Sys(kInactiveCaption)},
    {"clInactiveCaptionText", Sys(kInactiveCaptionText)},
    {"clInfoBk", Sys(kInfoBk)},
    {"clInfoText", Sys(kInfoText)},
    {"clMenu", Sys(kMenu)},
    {"clMenuBar", Sys(kMenuBar)},
    {"clMenuHighlight", Sys(kMenuHighlight)},
    {"clMenuText", Sys(kMenuText)},
    {"clNone", clNone},
    {"clScrollBar", Sys(kScrollBar)},
    {"cl3DDkShadow", Sys(k3DDkShadow)},
    {"cl3DLight", Sys(k3DLight)},
    {"clWindow", Sys(kWindow)},
    {"clWindowFrame", Sys(kWindowFrame)},
    {"clWindowText", Sys(kWindowText)},
};
static_assert(sizeof(kIdents) / sizeof(kIdents[0]) == 52);

bool SameIdent(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// An integer of at most 32 bits, as unsigned; a leading "-" gives the
// two's complement, so that a negative decimal written by a signed writer
// reads as the same colour.
std::optional<uint32_t> ParseColorNumber(std::string_view t) {
  bool neg = false;
  std::optional<uint32_t> v = ParseIniMagnitude(t, neg);
  if (!v || !neg) return v;
  if (*v > 0x80000000u) return std::nullopt;
  return static_cast<uint32_t>(0x100000000ull - *v);
}

bool IsColorValue(TColor c) {
  if (c == clNone || c == clDefault) return true;
  if ((c & 0xFF000000u) == 0) return true;
  return IsSystemColor(c);
}

// The classic desktop's system colours, for painting without a palette.
TColor ClassicColor(TPaletteRole role) {
  switch (role) {
  case TPaletteRole::Base: return 0xFFFFFF;
  case TPaletteRole::Text: return 0x000000;
  case TPaletteRole::Window: return 0xC0C0C0;
  case TPaletteRole::WindowText: return 0x000000;
  case TPaletteRole::Button: return 0xC0C0C0;
  case TPaletteRole::ButtonText: return 0x000000;
  case TPaletteRole::Highlight: return 0x800000;
  case TPaletteRole::HighlightedText: return 0xFFFFFF;
  case TPaletteRole::ToolTipBase: return 0xE1FFFF;
  case TPaletteRole::ToolTipText: return 0x000000;
  case TPaletteRole::Light: return 0xFFFFFF;
  case TPaletteRole::Midlight: return 0xDFDFDF;
  case TPaletteRole::Mid: return 0x808080;
  case TPaletteRole::Dark: return 0x808080;
  case TPaletteRole::Shadow: return 0x404040;
  case TPaletteRole::Link: return 0xCC6600;
  case TPaletteRole::PlaceholderText: return 0x808080;
  }
  return 0;
}

} // namespace

const TColorIdent* ColorIdents(int& count) {
  count = static_cast<int>(sizeof(kIdents) / sizeof(kIdents[0]));
  return kIdents;
}

std::string ColorToString(TColor c) {
  for (const TColorIdent& id : kIdents)
    if (id.Value == c) return id.Name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
  return buf;
}

std::optional<TColor> StringToColor(std::string_view text) {
  text = Trim(text);
  for (const TColorIdent& id : kIdents)
    if (SameIdent(id.Name, text)) return id.Value;
  auto n = ParseColorNumber(text);
  if (!n || !IsColorValue(*n)) return std::nullopt;
  return *n;
}

bool IsSystemColor(TColor c) {
  return (c & 0xFFFFFF00u) == 0xFF000000u && (c & 0xFFu) <= kLastSystem;
}

std::optional<TPaletteRole> SystemColorRole(TColor c) {
  if (!IsSystemColor(c)) return std::nullopt;
  using R = TPaletteRole;
  switch (static_cast<int>(c & 0xFFu)) {
  case kScrollBar: return R::Mid;
  case kBackground: return R::Dark;
  case kActiveCaption: return R::Highlight;
  case kInactiveCaption: return R::Mid;
  case kMenu: return R::Window;
  case kWindow: return R::Base;
  case kWindowFrame: return R::Shadow;
  case kMenuText: return R::WindowText;
  case kWindowText: return R::Text;
  case kCaptionText: return R::HighlightedText;
  case kActiveBorder: return R::Window;
  case kInactiveBorder: return R::Window;
  case kAppWorkSpace: return R::Mid;
  case kHighlight: return R::Highlight;
  case kHighlightText: return R::HighlightedText;
  case kBtnFace: return R::Button;
  case kBtnShadow: return R::Dark;
  case kGrayText: return R::PlaceholderText;
  case kBtnText: return R::ButtonText;
  case kInactiveCaptionText: return R::WindowText;
  case kBtnHighlight: return R::Light;
  case k3DDkShadow: return R::Shadow;
  case k3DLight: return R::Midlight;
  case kInfoText: return R::ToolTipText;
  case kInfoBk: return R::ToolTipBase;
  case kHotLight: return R::Link;
  case kGradientActiveCaption: return R::Highlight;
  case kGradientInactiveCaption: return R::Mid;
  case kMenuHighlight: return R::Highlight;
  case kMenuBar: return R::Window;
  default: return R::Window; // index 25 is unused; show it as a window face
  }
}

TColor ResolveColor(TColor c, const TPaletteLookup& palette, TColor fallback) {
  if (c == clNone || c == clDefault) return fallback;
  if (auto role = SystemColorRole(c)) return palette ? palette(*role) : ClassicColor(*role);
  if (c & 0xFF000000u) return fallback;
  return c;
}

std::optional<uint32_t> ParseIniMagnitude(std::string_view t, bool& negative) {
  negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  } else if (!t.empty() && t[0] == '$') {
    base = 16;
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  uint64_t v = 0; // 64 bits: stops before anything can overflow
  for (char c : t) {
    int d = DigitValue(c, base);
    if (d < 0) return std::nullopt;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<uint32_t>(v);
}

} // namespace ze
