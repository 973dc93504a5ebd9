#include "app/settings/Settings.h"

#include <algorithm>

namespace ze {
namespace {

constexpr TColor kGreen = 0x008000;
constexpr TColor kMaroon = 0x000080;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kPurple = 0x800080;
constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kHighlight = 0xFF00000D;
constexpr TColor kHighlightText = 0xFF00000E;

int Within(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

// Japanese fonts whose half-width and full-width characters are exactly
// 1:2, most wanted first.
constexpr const char* kPreferredFonts[] = {"IPAGothic", "IPAexGothic", "VL Gothic",
                                           "Noto Sans Mono CJK JP", "TakaoGothic"};

} // namespace

std::array<TTokenSetting, kSettingsTokenCount> TSettings::DefaultTokens() {
  std::array<TTokenSetting, kSettingsTokenCount> t{};
  t[stComment].FStr = kGreen;
  t[stInt].FStr = clNavy;
  t[stStr].FStr = kMaroon;
  t[stSymbol].FStr = kPurple;
  t[stReserve].FStr = kBlue;
  t[stReserve].Bold = true;
  t[stSelect] = {kHighlightText, kHighlight};
  t[stHit] = {clBlack, kYellow};
  t[stUrl].FStr = kBlue;
  t[stUrl].UnderL = true;
  t[stMail].FStr = kBlue;
  t[stMail].UnderL = true;
  return t;
}

std::array<std::string, kDictionaryCount> TSettings::DefaultDicNames() {
  return {"Wikipedia", "Weblio 辞書", "英辞郎 on the WEB", "goo 辞書", "Google 検索"};
}

std::array<std::string, kDictionaryCount> TSettings::DefaultDicAddresses() {
  return {"https://ja.wikipedia.org/wiki/", "https://www.weblio.jp/content/",
          "https://eow.alc.co.jp/search?q=", "https://dictionary.goo.ne.jp/srch/all/",
          "https://www.google.com/search?q="};
}

const char* TokenSection(TSettingsToken t) {
  static constexpr const char* kNames[kSettingsTokenCount] = {
      "Ank", "DBCS", "Comment", "Int", "Str", "Symbol", "Reserve", "Select", "Hit", "Url", "Mail"};
  return kNames[t];
}

bool TokenHasStyle(TSettingsToken t) { return t != stSelect && t != stHit; }

const char* LineBreakKey(TLineBreak b) {
  switch (b) {
  case TLineBreak::CrLf: return "CRLF";
  case TLineBreak::Lf: return "LF";
  case TLineBreak::Cr: return "CR";
  }
  return "CRLF";
}

bool LineBreakFromKey(const std::string& key, TLineBreak& b) {
  for (int n = 0; n < 3; ++n) {
    const auto candidate = static_cast<TLineBreak>(n);
    if (key == LineBreakKey(candidate) || key == LineBreakName(candidate)) {
      b = candidate;
      return true;
    }
  }
  return false;
}

void ClampSettings(TSettings& s) {
  const TSettings d;
  TWindowState& w = s.Window;
  w.FontSize = Within(w.FontSize, kMinFontSize, kMaxFontSize);
  if (w.FontName < -1) w.FontName = -1;
  for (TDockPlace& b : w.Bars) {
    b.Row = Within(b.Row, 0, kMaxDockRow);
    b.Pos = Within(b.Pos, -100, 10000);
  }
  s.TopSpace = Within(s.TopSpace, 0, 100);
  s.LeftSpace = Within(s.LeftSpace, 0, 100);
  s.LineSpace = Within(s.LineSpace, 0, 100);
  s.CharacterSpace = Within(s.CharacterSpace, 0, 100);
  s.TabCount = Within(s.TabCount, 2, 8);
  s.TabCount -= s.TabCount % 2;
  s.WrapCount = Within(s.WrapCount, 20, 250);
  if (s.ReserveType < 1 || s.ReserveType > 4) s.ReserveType = d.ReserveType;
  if (s.SeparateType < 0 || s.SeparateType > 10) s.SeparateType = d.SeparateType;
  if (s.NumberType != 1 && s.NumberType != 2) s.NumberType = 0;
  if (s.DicType < 0 || s.DicType > kDictionaryCount) s.DicType = d.DicType;
  if (static_cast<int>(s.NewEncoding) < 0 || static_cast<int>(s.NewEncoding) > 6)
    s.NewEncoding = d.NewEncoding;
  if (static_cast<int>(s.NewLineBreak) < 0 || static_cast<int>(s.NewLineBreak) > 2)
    s.NewLineBreak = d.NewLineBreak;
}

TWindowRect PlaceWindow(const TWindowRect& r, const std::vector<TScreenRect>& screens) {
  TWindowRect out = r;
  out.Width = std::max(out.Width, kMinWindowWidth);
  out.Height = std::max(out.Height, kMinWindowHeight);
  if (screens.empty()) return out;
  // The screen the window overlaps most; the first when it overlaps none.
  const TScreenRect* best = &screens.front();
  long long bestArea = 0;
  for (const TScreenRect& sc : screens) {
    // In 64 bits: a damaged file may hold any position and size.
    long long w = std::min<long long>(static_cast<long long>(r.Left) + std::max(r.Width, 0),
                                      static_cast<long long>(sc.Left) + sc.Width) -
                  std::max(r.Left, sc.Left);
    long long h = std::min<long long>(static_cast<long long>(r.Top) + std::max(r.Height, 0),
                                      static_cast<long long>(sc.Top) + sc.Height) -
                  std::max(r.Top, sc.Top);
    if (w > 0 && h > 0 && w * h > bestArea) {
      bestArea = w * h;
      best = &sc;
    }
  }
  const TScreenRect& sc = *best;
  out.Width = std::min(out.Width, std::max(sc.Width, 1));
  out.Height = std::min(out.Height, std::max(sc.Height, 1));
  out.Left = Within(out.Left, sc.Left, sc.Left + sc.Width - out.Width);
  out.Top = Within(out.Top, sc.Top, sc.Top + sc.Height - out.Height);
  return out;
}

std::string ResolveFontName(const std::vector<std::string>& fonts, int& index) {
  const int count = static_cast<int>(fonts.size());
  if (index >= 0 && index < count) return fonts[static_cast<size_t>(index)];
  for (const char* want : kPreferredFonts) {
    auto it = std::find(fonts.begin(), fonts.end(), want);
    if (it != fonts.end()) {
      index = static_cast<int>(it - fonts.begin());
      return *it;
    }
  }
  if (count > 0) {
    index = 0;
    return fonts.front();
  }
  index = -1;
  return "FixedSys";
}

} // namespace ze
