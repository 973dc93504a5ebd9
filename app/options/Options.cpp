#include "app/options/Options.h"

#include <algorithm>
#include <cctype>

#include "app/settings/ApplySettings.h"

namespace ze {
namespace {

constexpr TColor kMaroon = 0x000080, kGreen = 0x008000, kOlive = 0x008080, kPurple = 0x800080,
                 kTeal = 0x808000, kRed = 0x0000FF, kLime = 0x00FF00, kYellow = 0x00FFFF,
                 kBlue = 0xFF0000, kFuchsia = 0xFF00FF, kAqua = 0xFFFF00;

const std::array<TOptionItemInfo, kOptionItemCount> kItems{{
    {" バックグラウンド", -1, false, false, clWhite, clNone},
    {" 半角文字", stAnk, true, true, clBlack, clWhite},
    {" 全角文字", stDBCS, true, true, clBlack, clWhite},
    {" コメント", stComment, true, true, clBlack, clWhite},
    {" 整数", stInt, true, true, clBlack, clWhite},
    {" 文字列", stStr, true, true, clBlack, clWhite},
    {" シンボル", stSymbol, true, true, clBlack, clWhite},
    {" 予約語", stReserve, true, true, clBlack, clWhite},
    {" 選択領域", stSelect, true, false, clWhite, clNavy},
    {" 検索ヒット", stHit, true, false, clWhite, clNavy},
    {" Url", stUrl, true, true, kBlue, clWhite},
    {" Mail", stMail, true, true, kBlue, clWhite},
    {" 改行 マーク", -1, false, false, clSilver, clNone},
    {" [EOF] マーク", -1, false, false, clSilver, clNone},
    {" 行番号", -1, true, false, clBlack, clSilver},
    {" ルーラー", -1, true, false, clBlack, clSilver},
    {" ルーラーマーカー", -1, false, false, kYellow, clNone},
    {" ラインカーソル", -1, false, false, clSilver, clNone},
}};

bool ValidItem(int item) {
  return item >= 0 && item < kOptionItemCount;
}

TTokenSetting* TokenOf(TOptionValues& v, int item) {
  if (!ValidItem(item) || kItems[size_t(item)].Token < 0) return nullptr;
  return &v.Tokens[size_t(kItems[size_t(item)].Token)];
}
const TTokenSetting* TokenOf(const TOptionValues& v, int item) {
  return TokenOf(const_cast<TOptionValues&>(v), item);
}

// The text colour slot of the items that are not token kinds.
TColor* TextSlot(TOptionValues& v, int item) {
  if (TTokenSetting* t = TokenOf(v, item)) return &t->FStr;
  switch (item) {
  case oiBackground:
    return &v.Background;
  case oiRetMark:
    return &v.RetColor;
  case oiEofMark:
    return &v.EofColor;
  case oiLineNumber:
    return &v.LineNumColor;
  case oiRuler:
    return &v.RulerColor;
  case oiRulerMarker:
    return &v.RulerMarkColor;
  case oiLineCursor:
    return &v.LineCursorColor;
  default:
    return nullptr;
  }
}

TColor* BackSlot(TOptionValues& v, int item) {
  if (TTokenSetting* t = TokenOf(v, item)) return &t->BStr;
  switch (item) {
  case oiLineNumber:
    return &v.LineNumBkColor;
  case oiRuler:
    return &v.RulerBkColor;
  default:
    return nullptr;
  }
}

std::string RangeText(TNumberRange r) {
  std::string t = std::to_string(r.Min) + "～" + std::to_string(r.Max);
  if (r.Step > 1) t += " (" + std::to_string(r.Step) + " 刻み)";
  return t;
}

int IntoRange(long long value, TNumberRange r) {
  long long v = std::clamp<long long>(value, r.Min, r.Max);
  if (r.Step > 1) v -= (v - r.Min) % r.Step;
  return int(v);
}

} // namespace

TOptionValues LoadOptions(const TSettings& s) {
  TOptionValues v;
  v.Background = s.Background;
  v.Tokens = s.Tokens;
  v.RetColor = s.RetColor;
  v.EofColor = s.EofColor;
  v.LineNumColor = s.LineNumColor;
  v.LineNumBkColor = s.LineNumBkColor;
  v.RulerColor = s.RulerColor;
  v.RulerBkColor = s.RulerBkColor;
  v.RulerMarkColor = s.RulerMarkColor;
  v.LineCursorColor = s.LineCursorColor;
  v.TopSpace = s.TopSpace;
  v.LeftSpace = s.LeftSpace;
  v.LineSpace = s.LineSpace;
  v.CharacterSpace = s.CharacterSpace;
  v.TabCount = s.TabCount;
  v.WrapCount = s.WrapCount;
  v.ReserveType = s.ReserveType;
  v.SeparateType = s.SeparateType;
  v.NewEncoding = s.NewEncoding;
  v.NewLineBreak = s.NewLineBreak;
  v.NumberType = s.NumberType;
  v.SameBkFlag = s.SameBkFlag;
  v.AIndentFlag = s.AIndentFlag;
  v.TIndentFlag = s.TIndentFlag;
  v.FCaretFlag = s.FCaretFlag;
  v.RetFlag = s.RetFlag;
  v.EofFlag = s.EofFlag;
  v.WrapFlag = s.WrapFlag;
  v.CommentOutRow = s.CommentOutRow;
  return v;
}

void CommitOptions(const TOptionValues& v, TSettings& s) {
  s.Background = v.Background;
  s.Tokens = v.Tokens;
  s.RetColor = v.RetColor;
  s.EofColor = v.EofColor;
  s.LineNumColor = v.LineNumColor;
  s.LineNumBkColor = v.LineNumBkColor;
  s.RulerColor = v.RulerColor;
  s.RulerBkColor = v.RulerBkColor;
  s.RulerMarkColor = v.RulerMarkColor;
  s.LineCursorColor = v.LineCursorColor;
  s.TopSpace = v.TopSpace;
  s.LeftSpace = v.LeftSpace;
  s.LineSpace = v.LineSpace;
  s.CharacterSpace = v.CharacterSpace;
  s.TabCount = v.TabCount;
  s.WrapCount = v.WrapCount;
  s.ReserveType = v.ReserveType;
  s.SeparateType = v.SeparateType;
  s.NewEncoding = v.NewEncoding;
  s.NewLineBreak = v.NewLineBreak;
  s.NumberType = v.NumberType;
  s.SameBkFlag = v.SameBkFlag;
  s.AIndentFlag = v.AIndentFlag;
  s.TIndentFlag = v.TIndentFlag;
  s.FCaretFlag = v.FCaretFlag;
  s.RetFlag = v.RetFlag;
  s.EofFlag = v.EofFlag;
  s.WrapFlag = v.WrapFlag;
  s.CommentOutRow = v.CommentOutRow;
}

const TOptionItemInfo& OptionItemInfo(int item) {
  return kItems.at(size_t(item));
}

TColor ItemTextColor(const TOptionValues& v, int item) {
  const TColor* c = TextSlot(const_cast<TOptionValues&>(v), item);
  return c ? *c : clNone;
}

TColor ItemBackColor(const TOptionValues& v, int item) {
  const TColor* c = BackSlot(const_cast<TOptionValues&>(v), item);
  return c ? *c : clNone;
}

void SetItemTextColor(TOptionValues& v, int item, TColor c) {
  if (TColor* slot = TextSlot(v, item)) *slot = c;
}

void SetItemBackColor(TOptionValues& v, int item, TColor c) {
  if (TColor* slot = BackSlot(v, item)) *slot = c;
}

TTokenSetting ItemStyle(const TOptionValues& v, int item) {
  TTokenSetting out;
  const TTokenSetting* t = TokenOf(v, item);
  if (t && kItems[size_t(item)].HasStyle) {
    out.Bold = t->Bold;
    out.Italic = t->Italic;
    out.UnderL = t->UnderL;
  }
  return out;
}

void SetItemStyle(TOptionValues& v, int item, bool bold, bool italic, bool underline) {
  TTokenSetting* t = TokenOf(v, item);
  if (!t || !kItems[size_t(item)].HasStyle) return;
  t->Bold = bold;
  t->Italic = italic;
  t->UnderL = underline;
}

bool FollowsBackground(TSettingsToken t) {
  return t != stSelect && t != stHit;
}

void FitBackground(TOptionValues& v) {
  for (int i = 0; i < kSettingsTokenCount; ++i)
    if (FollowsBackground(TSettingsToken(i))) v.Tokens[size_t(i)].BStr = v.Background;
}

bool BackgroundFits(const TOptionValues& v) {
  for (int i = 0; i < kSettingsTokenCount; ++i)
    if (FollowsBackground(TSettingsToken(i)) && v.Tokens[size_t(i)].BStr != v.Background)
      return false;
  return true;
}

const std::array<TColor, 16>& GridColors() {
  static const std::array<TColor, 16> colors{clBlack, kMaroon,  kGreen,   kOlive, clNavy, kPurple,
                                             kTeal,   clGray,   clSilver, kRed,   kLime,  kYellow,
                                             kBlue,   kFuchsia, kAqua,    clWhite};
  return colors;
}

int GridIndexOf(TColor c) {
  const auto& colors = GridColors();
  auto it = std::find(colors.begin(), colors.end(), c);
  return it == colors.end() ? -1 : int(it - colors.begin());
}

const std::array<const char*, 11>& SeparatorCaptions() {
  static const std::array<const char*, 11> captions{
      ": + Space",         "Space + : + Space", ". + Space",         "Space",
      "Space + Space",     "- + Space",         "Space + - + Space", "_ + Space",
      "Space + _ + Space", "/ + Space",         "Space + / + Space"};
  return captions;
}

TNumberCheck CheckNumber(std::string_view text, TNumberRange range, int current) {
  TNumberCheck r;
  r.Value = current;
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
  if (!digits) {
    r.Hint = RangeText(range) + " の数字を入力してください";
    return r;
  }
  // Many digits saturate instead of overflowing; the range takes them.
  long long value = 0;
  for (char c : text)
    value = std::min<long long>(value * 10 + (c - '0'), 1'000'000'000LL);
  r.Accepted = true;
  r.Value = IntoRange(value, range);
  if (r.Value != value) {
    r.Clamped = true;
    r.Hint = RangeText(range) + " に合わせて " + std::to_string(r.Value) + " にしました";
  }
  return r;
}

int StepNumber(int value, TNumberRange range, int direction) {
  const int v = IntoRange(value, range);
  return IntoRange(static_cast<long long>(v) + (direction > 0 ? range.Step : -range.Step), range);
}

void ApplyOptions(const TOptionValues& v, TEditorProp& p) {
  p.SetColor(v.Background);
  TEditorColors& colors = *p.View()->Colors();
  for (int i = 0; i < kSettingsTokenCount; ++i) {
    const auto t = TSettingsToken(i);
    const TTokenSetting& s = v.Tokens[size_t(i)];
    TFountainColor* c = TokenColor(colors, t);
    c->SetColor(s.FStr);
    c->SetBkColor(s.BStr);
    if (TokenHasStyle(t)) c->SetStyle(TokenStyles(s));
  }
  ColourBrackets(*p.View()->Brackets(), v.Tokens[stComment]);
  p.View()->SetCommenter(v.CommentOutRow ? ByteString("//") : ByteString());

  p.Marks()->RetMark()->SetColor(v.RetColor);
  p.Marks()->EofMark()->SetColor(v.EofColor);
  p.Marks()->Underline()->SetColor(v.LineCursorColor);
  p.Leftbar()->SetColor(v.LineNumColor);
  p.Leftbar()->SetBkColor(v.LineNumBkColor);
  p.Ruler()->SetColor(v.RulerColor);
  p.Ruler()->SetBkColor(v.RulerBkColor);
  p.Ruler()->SetMarkColor(v.RulerMarkColor);

  p.Margin()->SetTop(v.TopSpace);
  p.Margin()->SetLeft(v.LeftSpace);
  p.Margin()->SetLine(v.LineSpace);
  p.Margin()->SetCharacter(v.CharacterSpace);
  p.Caret()->SetTabSpaceCount(v.TabCount);
  p.WrapOption()->SetWrapByte(v.WrapCount);
  p.SetWordWrap(v.WrapFlag);

  p.Marks()->RetMark()->SetVisible(v.RetFlag);
  p.Marks()->EofMark()->SetVisible(v.EofFlag);
  p.Caret()->SetAutoIndent(v.AIndentFlag);
  p.Caret()->SetTabIndent(v.TIndentFlag);
  p.Caret()->SetFreeCaret(v.FCaretFlag);
  p.Caret()->SetFreeRow(v.FCaretFlag);
}

TPropCopyFailures ApplyOptionResult(const TOptionValues& v, const TEditorProp& edited,
                                    TSettings& settings, TEditorProp& prop1,
                                    const std::vector<TEditor*>& pageEditors) {
  CommitOptions(v, settings);
  TPropCopyFailures failures = prop1.TakeFrom(&edited);
  for (auto it = pageEditors.rbegin(); it != pageEditors.rend(); ++it) {
    if (!*it) continue;
    TPropCopyFailures f = prop1.ApplyTo(*it);
    failures.insert(failures.end(), f.begin(), f.end());
  }
  return failures;
}

} // namespace ze
