#include "colouring/EditorFountain.h"

#include "colouring/RunScan.h"
#include "colouring/ScanTables.h"

#include "platform/CodePage.h"
#include <algorithm>
#include <cstring>
#include <string>
#include <typeinfo>

namespace ze {

// ---------------------------------------------------------------- TEditorColors

TEditorColors::TEditorColors(TEditorFountain* fountain)
    : ank_(MakeColor()), comment_(MakeColor()), dbcs_(MakeColor()), hit_(MakeColor()),
      int_(MakeColor()), mail_(MakeColor()), select_(MakeColor()), str_(MakeColor()),
      symbol_(MakeColor()), url_(MakeColor()), fountain_(fountain) {
  // OnChange is not wired yet, so setting the defaults notifies no one.
  select_->SetBkColor(clNavy);
  select_->SetColor(clWhite);
}

TEditorColors::~TEditorColors() = default;

std::unique_ptr<TEditorColor> TEditorColors::MakeColor() {
  auto color = std::make_unique<TEditorColor>();
  color->OnChange = ChangedProcEvent();
  return color;
}

TFountainColor* TEditorColors::Reserve() const noexcept {
  return fountain_ ? fountain_->Reserve() : nullptr;
}

void TEditorColors::SetReserve(const TFountainColor* v) {
  if (fountain_) fountain_->SetReserve(v);
}

void TEditorColors::CopyFrom(const TPersistent* source) {
  auto* src = dynamic_cast<const TEditorColors*>(source);
  if (!src) return TNotifyPersistent::CopyFrom(source);
  // Reserve reports straight to the fountain's listeners; holding them
  // back too makes the whole copy one notification.
  std::unique_ptr<UpdateGuard<TNotifyEventList>> listeners;
  if (fountain_)
    listeners = std::make_unique<UpdateGuard<TNotifyEventList>>(*fountain_->NotifyEventList());
  UpdateGuard<TEditorColors> guard(*this);
  SetAnk(src->Ank());
  SetComment(src->Comment());
  SetDBCS(src->DBCS());
  SetHit(src->Hit());
  SetInt(src->Int());
  SetMail(src->Mail());
  SetStr(src->Str());
  SetSymbol(src->Symbol());
  if (src->Reserve()) SetReserve(src->Reserve());
  SetUrl(src->Url());
  SetSelect(src->Select());
}

const TPropTable& TEditorColors::ClassProps() {
  auto color = [](const char* name, TFountainColor* (*get)(const TEditorColors&)) {
    return ClassProp<TEditorColors>(
        name, [get](const TEditorColors& c) { return static_cast<TObject*>(get(c)); });
  };
  static const TPropTable table(
      nullptr,
      {color("Ank", [](const TEditorColors& c) -> TFountainColor* { return c.Ank(); }),
       color("Comment", [](const TEditorColors& c) -> TFountainColor* { return c.Comment(); }),
       color("DBCS", [](const TEditorColors& c) -> TFountainColor* { return c.DBCS(); }),
       color("Hit", [](const TEditorColors& c) -> TFountainColor* { return c.Hit(); }),
       color("Int", [](const TEditorColors& c) -> TFountainColor* { return c.Int(); }),
       color("Mail", [](const TEditorColors& c) -> TFountainColor* { return c.Mail(); }),
       color("Reserve", [](const TEditorColors& c) -> TFountainColor* { return c.Reserve(); }),
       color("Select", [](const TEditorColors& c) -> TFountainColor* { return c.Select(); }),
       color("Str", [](const TEditorColors& c) -> TFountainColor* { return c.Str(); }),
       color("Symbol", [](const TEditorColors& c) -> TFountainColor* { return c.Symbol(); }),
       color("Url", [](const TEditorColors& c) -> TFountainColor* { return c.Url(); })});
  return table;
}

// ---------------------------------------------------------------- TEditorBracketCollection

void TEditorBracketCollection::SetAllBkColor(TColor color) {
  UpdateGuard<TCollection> guard(*this);
  for (int i = 0; i < Count(); ++i)
    Items(i)->ItemColor()->SetBkColor(color);
}

void TEditorBracketCollection::SetAllColor(TColor color) {
  UpdateGuard<TCollection> guard(*this);
  for (int i = 0; i < Count(); ++i)
    Items(i)->ItemColor()->SetColor(color);
}

void TEditorBracketCollection::SetAllStyle(TFontStyles style) {
  UpdateGuard<TCollection> guard(*this);
  for (int i = 0; i < Count(); ++i)
    Items(i)->ItemColor()->SetStyle(style);
}

// ---------------------------------------------------------------- TEditorFountain

TEditorFountain::~TEditorFountain() = default;

void TEditorFountain::AfterConstruction() {
  TFountain::AfterConstruction();
  colors_ = CreateEditorColors();
}

std::unique_ptr<TEditorColors> TEditorFountain::CreateEditorColors() {
  auto colors = std::make_unique<TEditorColors>(this);
  colors->OnChange = NotifyEvent();
  return colors;
}

std::unique_ptr<TFountainBracketCollection> TEditorFountain::CreateBrackets() {
  auto brackets = std::make_unique<TEditorBracketCollection>(this);
  brackets->OnChange = NotifyEvent();
  return brackets;
}

TFountain::TFountainParserClass TEditorFountain::GetParserClass() {
  return &TEditorParser::New;
}

void TEditorFountain::ColorApplyWalkProc(TObject* instance, const TPropInfo& prop) {
  // The selection and search-hit colours are not token colours.
  if (CompareText(prop.Name, "Select") == 0 || CompareText(prop.Name, "Hit") == 0) return;
  TFountain::ColorApplyWalkProc(instance, prop);
}

void TEditorFountain::SetCommenter(const ByteString& v) {
  if (v == commenter_) return;
  commenter_ = v;
  Notify();
}

void TEditorFountain::SetControlCode(bool v) {
  if (v == controlCode_) return;
  controlCode_ = v;
  Notify();
}

void TEditorFountain::SetHexPrefix(const ByteString& v) {
  if (v == hexPrefix_) return;
  hexPrefix_ = v;
  Notify();
}

void TEditorFountain::SetMail(bool v) {
  if (v == mail_) return;
  mail_ = v;
  Notify();
}

void TEditorFountain::SetQuotation(const ByteString& v) {
  if (v == quotation_) return;
  quotation_ = v;
  Notify();
}

void TEditorFountain::SetUrl(bool v) {
  if (v == url_) return;
  url_ = v;
  Notify();
}

void TEditorFountain::SetAll(const TFountainColor& source, uint8_t mask) {
  UpdateGuard<TNotifyEventList> guard(*NotifyEventList());
  ApplyFountainColors(colors_.get(), &source, mask);
}

void TEditorFountain::SetAllBkColor(TColor color) {
  TFountainColor source;
  source.SetBkColor(color);
  SetAll(source, kApplyBkColor);
}

void TEditorFountain::SetAllColor(TColor color) {
  TFountainColor source;
  source.SetColor(color);
  SetAll(source, kApplyColor);
}

void TEditorFountain::SetAllStyle(TFontStyles style) {
  TFountainColor source;
  source.SetStyle(style);
  SetAll(source, kApplyStyle);
}

const TPropTable& TEditorFountain::ClassProps() {
  using F = TEditorFountain;
  static const TPropTable table(
      &TFountain::ClassProps(),
      {ClassProp<F>("Colors", [](const F& f) { return static_cast<TObject*>(f.Colors()); }),
       StrProp<F>("Commenter", &F::Commenter, &F::SetCommenter),
       BoolProp<F>("ControlCode", &F::ControlCode, &F::SetControlCode),
       StrProp<F>("HexPrefix", &F::HexPrefix, &F::SetHexPrefix),
       BoolProp<F>("Mail", &F::Mail, &F::SetMail),
       StrProp<F>("Quotation", &F::Quotation, &F::SetQuotation),
       BoolProp<F>("Url", &F::Url, &F::SetUrl)});
  return table;
}

// ---------------------------------------------------------------- TEditorParser

TEditorParser::TEditorParser(TFountain* fountain)
    : TFountainParser(fountain), editorFountain_(dynamic_cast<TEditorFountain*>(fountain)) {}

std::unique_ptr<TFountainParser> TEditorParser::New(TFountain* fountain) {
  return Create<TEditorParser>(fountain);
}

void TEditorParser::InitMethodTable() {
  TFountainParser::InitMethodTable();
  tokenMethodTable_[ttQuotation] = static_cast<Proc>(&TEditorParser::QuotationProc);
  tokenMethodTable_[ttControlCode] = static_cast<Proc>(&TEditorParser::ControlCodeProc);
  tokenMethodTable_[ttControlCodeHex] = static_cast<Proc>(&TEditorParser::ControlHexProc);
}

void TEditorParser::AfterConstruction() {
  TFountainParser::AfterConstruction();
  // A descendant may override any procedure; only this very class may
  // skip the virtual calls.
  direct_ = editorFountain_ && typeid(*this) == typeid(TEditorParser);
}

void TEditorParser::DispatchProc() {
  if (direct_) return DirectDispatchProc();
  // The order decides between overlapping starts: a bracket pair beats
  // the comment starter, a mail address beats a URL, and so on.
  const TEditorFountain* f = editorFountain_;
  if (bracketIndex_ >= -1 && IsBracketStart())
    BracketProc();
  else if (f && f->Mail() && IsMailStart())
    MailProc();
  else if (f && f->Url() && IsUrlStart())
    UrlProc();
  else if (IsCommentStart())
    CommentProc();
  else if (IsQuotationStart())
    QuotationProc();
  else if (IsControlHexStart())
    ControlHexProc();
  else if (IsControlCodeStart())
    ControlCodeProc();
  else if (IsHexPrefixStart())
    HexProc();
  else
    CallFirstByteProc();
}

void TEditorParser::NewData(const char* text, size_t length, const TRowAttributeData& data) {
  TFountainParser::NewData(text, length, data);
  if (!direct_) return;
  const TEditorFountain* f = editorFountain_;
  if (!tablesBuilt_ || f->SettingsVersion() != settingsVersion_ ||
      bracketStamp_ != bracketStampSeen_) {
    const ByteString& commenter = f->Commenter();
    const ByteString& quotation = f->Quotation();
    const ByteString& prefix = f->HexPrefix();
    StartSettings s;
    s.flags = uint64_t{f->Mail()} << kMail | uint64_t{f->Url()} << kUrl |
              uint64_t{f->ControlCode()} << kControlCode |
              uint64_t{!commenter.empty()} << kHasComment |
              uint64_t{!quotation.empty()} << kHasQuote |
              uint64_t{!prefix.empty()} << kHasHexPrefix | uint64_t{commenter[0]} << 8 |
              uint64_t{quotation[0]} << 16 | uint64_t{UpperByte(prefix[0])} << 24;
    settingsVersion_ = f->SettingsVersion();
    bracketStampSeen_ = bracketStamp_;
    BuildStartTables(s);
  }
  const bool mail = settings_.Has(kMail);
  // An address needs an at sign: without one in the row, the mail test
  // cannot succeed anywhere in it.
  const bool at = mail && scan::HasByte(rowStart_, rowEnd_, '@');
  directFns_ = at ? fnsWithMail_ : fnsWithoutMail_;
}

void TEditorParser::BuildStartTables(const StartSettings& s) {
  settings_ = s;
  tablesBuilt_ = true;
  for (int i = 0; i < 256; ++i) {
    const unsigned char c = static_cast<unsigned char>(i);
    bool special = MayStartBracket(c) || (s.Has(kUrl) && (c == 'f' || c == 'h' || c == 'w')) ||
                   (s.Has(kHasComment) && c == s.Byte(1)) || (s.Has(kHasQuote) && c == s.Byte(2)) ||
                   (s.Has(kControlCode) && c == '#') ||
                   (s.Has(kHasHexPrefix) && UpperByte(c) == s.Byte(3));
    // CR and LF are skipped as blanks and never start a token; the NUL
    // gives ttEnd through its procedure as the general path does.
    special = special || c == '\r' || c == '\n';
    const DirectFn fn = FirstByteFn(c);
    fnsWithoutMail_[i] = special ? nullptr : fn;
    fnsWithMail_[i] = special || (s.Has(kMail) && scan::Is(c, scan::kMail)) ? nullptr : fn;
  }
}

void TEditorParser::DirectDispatchProc() {
  const unsigned char c = *p_;
  if (const DirectFn fn = directFns_[c]) return RunDirect(fn);
  if (bracketIndex_ >= -1 && MayStartBracket(c) && TFountainParser::IsBracketStart())
    return TFountainParser::BracketProc();
  if (directFns_ == fnsWithMail_ && scan::Is(c, scan::kMail) && TFountainParser::IsMailStart())
    return TFountainParser::MailProc();
  if (settings_.Has(kUrl) && (c == 'f' || c == 'h' || c == 'w') && TFountainParser::IsUrlStart())
    return TFountainParser::UrlProc();
  if (settings_.Has(kHasComment) && c == settings_.Byte(1) && TEditorParser::IsCommentStart())
    return TFountainParser::CommentProc();
  if (settings_.Has(kHasQuote) && c == settings_.Byte(2)) {
    ++p_;
    return TEditorParser::QuotationProc();
  }
  if (c == '#' && TEditorParser::IsControlHexStart()) return TEditorParser::ControlHexProc();
  if (c == '#' && TEditorParser::IsControlCodeStart()) return TEditorParser::ControlCodeProc();
  if (settings_.Has(kHasHexPrefix) && UpperByte(c) == settings_.Byte(3) &&
      TEditorParser::IsHexPrefixStart())
    return TFountainParser::HexProc();
  DirectFirstByteProc();
}

bool TEditorParser::IsCommentStart() {
  if (!editorFountain_) return false;
  const ByteString& commenter = editorFountain_->Commenter();
  if (commenter.empty() || commenter[0] != *p_ || !StartsWith(p_, commenter)) return false;
  p_ += commenter.size();
  return true;
}

bool TEditorParser::IsQuotationStart() {
  if (!editorFountain_) return false;
  const ByteString& quotation = editorFountain_->Quotation();
  if (quotation.empty() || quotation[0] != *p_) return false;
  ++p_;
  return true;
}

bool TEditorParser::IsControlHexStart() {
  if (!editorFountain_ || !editorFountain_->ControlCode()) return false;
  if (p_[0] != '#' || p_[1] != '$') return false;
  p_ += 2;
  return true;
}

bool TEditorParser::IsControlCodeStart() {
  if (!editorFountain_ || !editorFountain_->ControlCode() || *p_ != '#') return false;
  ++p_;
  return true;
}

bool TEditorParser::IsHexPrefixStart() {
  if (!editorFountain_) return false;
  const ByteString& prefix = editorFountain_->HexPrefix();
  if (prefix.empty()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (p_[i] == 0 || UpperByte(p_[i]) != UpperByte(prefix[i])) return false;
  p_ += prefix.size();
  return true;
}

void TEditorParser::QuotationProc() {
  if (!editorFountain_ || editorFountain_->Quotation().empty()) {
    token_ = ttEnd;
    return;
  }
  token_ = ttQuotation;
  // The opening quote is not skipped here, so that this also continues a
  // string cut at the previous row's end.
  ScanQuoted(editorFountain_->Quotation()[0]);
}

void TEditorParser::ControlCodeProc() {
  token_ = ttControlCode;
  const unsigned char* q = p_;
  while (scan::Is(*q, scan::kDigit))
    ++q;
  p_ = q;
}

void TEditorParser::ControlHexProc() {
  token_ = ttControlCodeHex;
  const unsigned char* q = p_;
  while (scan::Is(*q, scan::kHexDigit))
    ++q;
  p_ = q;
}

bool TEditorParser::ResumeInfo(TResumeInfo& info) const {
  // Only this class's own scanning is known to look no further than
  // below; a descendant may keep state of its own.
  if (!direct_) return false;
  const TEditorFountain* f = editorFountain_;
  const TFountainBracketCollection* brackets = f->Brackets();
  if (brackets->UpdateCount() != 0) return false;
  std::string key;
  size_t longest = 6; // "https:"
  auto put = [&](const ByteString& s) {
    key += std::to_string(s.size());
    key += ':';
    key.append(s.view());
    longest = std::max(longest, s.size());
  };
  key += f->Mail() ? 'M' : 'm';
  key += f->Url() ? 'U' : 'u';
  key += f->ControlCode() ? 'C' : 'c';
  put(f->Commenter());
  put(f->Quotation());
  put(f->HexPrefix());
  for (int i = 0, n = brackets->Count(); i < n; ++i) {
    put(brackets->Items(i)->LeftBracket());
    put(brackets->Items(i)->RightBracket());
  }
  info.Key = ByteString(key);
  // A number reads two bytes past its digits, a doubled quote one, a
  // prefix or bracket test its whole string from a byte inside the token.
  info.Lookahead = longest + 4;
  info.Mail = f->Mail();
  return true;
}

TFountainTokenKinds TEditorParser::RescanKinds() const {
  return TFountainParser::RescanKinds() + TFountainTokenKinds{ttQuotation};
}

TFountainColor* TEditorParser::TokenColor() {
  if (IsReserveWord()) return fountain_->Reserve();
  if (token_ == ttBracket) {
    TFountainBracketCollection* brackets = fountain_->Brackets();
    int i = tokenBracketIndex_;
    return i >= 0 && i < brackets->Count() ? brackets->Items(i)->ItemColor() : nullptr;
  }
  if (token_ == ttReserve) return fountain_->Reserve();
  const TEditorColors* colors = editorFountain_ ? editorFountain_->Colors() : nullptr;
  if (!colors) return nullptr;
  switch (token_) {
  case ttSymbol:
    return colors->Symbol();
  case ttInteger:
  case ttFloat:
  case ttHex:
    return colors->Int();
  case ttComment:
    return colors->Comment();
  case ttAnk:
    return colors->Ank();
  case ttDbSymbol:
  case ttDbDigit:
  case ttDbAlpha:
  case ttHiragana:
  case ttKatakana:
  case ttKanji:
  case ttKanaSymbol:
  case ttKana:
    return colors->DBCS();
  case ttUrl:
    return colors->Url();
  case ttMail:
    return colors->Mail();
  case ttQuotation:
  case ttControlCode:
  case ttControlCodeHex:
    return colors->Str();
  default:
    return nullptr; // ttEnd, ttTab, the quote kinds and unused values
  }
}

} // namespace ze
