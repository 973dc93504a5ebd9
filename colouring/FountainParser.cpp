#include "colouring/FountainParser.h"

#include <array>
#include <cstring>

#include "colouring/Fountain.h"
#include "colouring/TokenCheckpoints.h"
#include "colouring/RunScan.h"
#include "colouring/ScanTables.h"

namespace ze {

using scan::Is;

namespace {

// Marks nextAt_ as not searched yet.
const unsigned char* const kAtUnknown = reinterpret_cast<const unsigned char*>(&kAtUnknown);

// RowBits keeps RemainBytes in 8 bits.
constexpr int kMaxRemainBytes = 255;

constexpr bool InRange(unsigned char c, unsigned lo, unsigned hi) {
  return c >= lo && c <= hi;
}

// Past a run of bytes of one class. The scan pointers are members, and a
// byte read may alias them; a local pointer keeps them out of memory.
const unsigned char* SkipClass(const unsigned char* q, uint8_t cls) {
  while (Is(*q, cls))
    ++q;
  return q;
}

// Blank bytes tested by arithmetic rather than the class table: the test
// ends the most frequent loop, and a shorter test lets a mispredicted loop
// exit resolve sooner.
const unsigned char* SkipBlankBytes(const unsigned char* q) {
  for (unsigned c = *q; c - 1u < 0x20u && c != '\t'; c = *++q) {
  }
  return q;
}

// The scanners of the first-byte procedures: each takes the token start,
// moves q past the token and returns its kind; end is the row's
// terminating NUL. The procedures and the direct path of NextToken share
// them.
TFountainTokenKind ScanSymbol(const unsigned char*& q, const unsigned char*) {
  if (*q != 0 && *q != '\r' && *q != '\n') ++q;
  return ttSymbol;
}

TFountainTokenKind ScanNull(const unsigned char*&, const unsigned char*) {
  return ttEnd;
}

TFountainTokenKind ScanTab(const unsigned char*& q, const unsigned char*) {
  if (*q == '\t') ++q;
  return ttTab;
}

TFountainTokenKind ScanLf(const unsigned char*& q, const unsigned char*) {
  if (*q == '\n') ++q;
  return ttEnd;
}

TFountainTokenKind ScanCr(const unsigned char*& q, const unsigned char*) {
  if (*q == '\r') ++q;
  if (*q == '\n') ++q;
  return ttEnd;
}

TFountainTokenKind ScanNumber(const unsigned char*& q, const unsigned char*) {
  TFountainTokenKind kind = ttInteger;
  const unsigned char* e = SkipClass(q, scan::kDigit);
  auto exponent = [&e] {
    ++e; // E or e
    if ((*e == '+' || *e == '-') && Is(e[1], scan::kDigit)) e += 2;
    e = SkipClass(e, scan::kDigit);
  };
  if (*e == '.') {
    kind = ttFloat;
    if (Is(e[1], scan::kDigit)) {
      e = SkipClass(e + 2, scan::kDigit);
      if (*e == 'E' || *e == 'e') exponent();
    } else if (e[1] == 'E' || e[1] == 'e') {
      ++e;
      exponent();
    }
    // otherwise the token ends before the full stop
  } else if (*e == 'E' || *e == 'e') {
    kind = ttFloat;
    exponent();
  }
  q = e;
  return kind;
}

TFountainTokenKind ScanAnk(const unsigned char*& q, const unsigned char* end) {
  q = scan::WordEnd(q, end);
  return ttAnk;
}

TFountainTokenKind ScanDbSymbol(const unsigned char*& q, const unsigned char*) {
  const unsigned char c = q[0], t = c != 0 ? q[1] : 0;
  if (c == 0x81 || InRange(c, 0x84, 0x87) ||
      ((c == 0x82 || c == 0x83) && (scan::RunClass(q) & scan::kRunSymbol)))
    q += t != 0 ? 2 : 1; // a lone lead byte at the row end is one byte
  return ttDbSymbol;
}

// What a character with lead 0x81-0x83 starts, by its run classes: the
// first run it belongs to in the order digit, Latin letter, hiragana,
// katakana; a single symbol; or (no CP932 character: a trail below 0x40,
// above 0xF0 after 0x83, or the row end) a lone lead byte.
struct DbStart {
  TFountainTokenKind kind;
  uint8_t run; // index into scan::kDbRuns, kNoRun for a single character
};
constexpr uint8_t kNoRun = 0xFF;

constexpr std::array<DbStart, 32> MakeDbStarts() {
  std::array<DbStart, 32> t{};
  for (unsigned cls = 0; cls < 32; ++cls) {
    DbStart s{ttSymbol, kNoRun};
    if (cls & scan::kRunDigit)
      s = {ttDbDigit, 0};
    else if (cls & scan::kRunAlpha)
      s = {ttDbAlpha, 1};
    else if (cls & scan::kRunHiragana)
      s = {ttHiragana, 2};
    else if (cls & scan::kRunKatakana)
      s = {ttKatakana, 3};
    else if (cls & scan::kRunSymbol)
      s = {ttDbSymbol, kNoRun};
    t[cls] = s;
  }
  return t;
}

constexpr std::array<DbStart, 32> kDbStarts = MakeDbStarts();

[[gnu::always_inline]] inline TFountainTokenKind ScanDbRun(const unsigned char*& q,
                                                           const unsigned char* end) {
  const unsigned char c = *q;
  // Reached with another byte when continuing a run on a row that starts
  // with it: nothing is consumed and the byte is scanned afresh.
  if (c != 0x82 && c != 0x83) return ttDbSymbol;
  // Looked up rather than tested in turn: which kind comes next is as
  // random as the text.
  const DbStart start = kDbStarts[scan::RunClass(q)];
  if (start.run != kNoRun)
    q = scan::DbRunEnd(q + 2, end, start.run);
  else
    q += start.kind == ttDbSymbol ? 2 : 1;
  return start.kind;
}

TFountainTokenKind ScanKanji(const unsigned char*& q, const unsigned char* end) {
  q = scan::KanjiEnd(q, end);
  return ttKanji;
}

TFountainTokenKind ScanKanaSymbol(const unsigned char*& q, const unsigned char*) {
  if (InRange(*q, 0xA1, 0xA5)) ++q;
  return ttKanaSymbol;
}

TFountainTokenKind ScanKana(const unsigned char*& q, const unsigned char* end) {
  q = scan::KanaEnd(q, end);
  return ttKana;
}

bool IsBlankRow(const ByteString& s) {
  for (unsigned char c : s.view())
    if (c != ' ') return false;
  return true;
}

} // namespace

TFountainParser::TFountainParser(TFountain* fountain) : fountain_(fountain) {
  if (!fountain) throw Exception("TFountainParser.Create need instance of TFountain");
}

TFountainParser::~TFountainParser() = default;

void TFountainParser::AfterConstruction() {
  TObject::AfterConstruction();
  InitMethodTable();
}

namespace {

// The procedure for each first byte, shared by the method table and the
// direct dispatch below so that the two cannot disagree.
enum FirstByteProc : uint8_t {
  fbSymbol,
  fbNull,
  fbTab,
  fbLf,
  fbCr,
  fbNumber,
  fbAnk,
  fbDbSymbol,
  fbDbRun,
  fbKanji,
  fbKanaSymbol,
  fbKana
};

constexpr std::array<uint8_t, 256> MakeFirstByteProcs() {
  std::array<uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    uint8_t proc = fbSymbol;
    if (c == 0x00)
      proc = fbNull;
    else if (c == 0x09)
      proc = fbTab;
    else if (c == 0x0A)
      proc = fbLf;
    else if (c == 0x0D)
      proc = fbCr;
    else if (InRange(c, '0', '9'))
      proc = fbNumber;
    else if (InRange(c, 'A', 'Z') || c == '_' || InRange(c, 'a', 'z'))
      proc = fbAnk;
    else if (c == 0x81 || InRange(c, 0x84, 0x87))
      proc = fbDbSymbol;
    else if (c == 0x82 || c == 0x83)
      proc = fbDbRun;
    else if (InRange(c, 0x88, 0x9F) || InRange(c, 0xE0, 0xFC))
      proc = fbKanji;
    else if (InRange(c, 0xA1, 0xA5))
      proc = fbKanaSymbol;
    else if (InRange(c, 0xA6, 0xDF))
      proc = fbKana;
    t[c] = proc;
  }
  return t;
}

constexpr std::array<uint8_t, 256> kFirstByteProcs = MakeFirstByteProcs();

} // namespace

void TFountainParser::InitMethodTable() {
  static constexpr Proc kProcs[] = {
      &TFountainParser::SymbolProc, &TFountainParser::NullProc,       &TFountainParser::TabProc,
      &TFountainParser::LfProc,     &TFountainParser::CrProc,         &TFountainParser::NumberProc,
      &TFountainParser::AnkProc,    &TFountainParser::DbSymbolProc,   &TFountainParser::DbRunProc,
      &TFountainParser::KanjiProc,  &TFountainParser::KanaSymbolProc, &TFountainParser::KanaProc};
  for (int c = 0; c < 256; ++c)
    methodTable_[c] = kProcs[kFirstByteProcs[c]];
  for (Proc& proc : tokenMethodTable_)
    proc = &TFountainParser::SymbolProc;
  tokenMethodTable_[ttInteger] = &TFountainParser::NumberProc;
  tokenMethodTable_[ttFloat] = &TFountainParser::NumberProc;
  tokenMethodTable_[ttBracket] = &TFountainParser::BracketProc;
  tokenMethodTable_[ttComment] = &TFountainParser::CommentProc;
  tokenMethodTable_[ttReserve] = &TFountainParser::ReserveWordProc;
  tokenMethodTable_[ttAnk] = &TFountainParser::AnkProc;
  tokenMethodTable_[ttDbSymbol] = &TFountainParser::DbSymbolProc;
  for (int k = ttDbDigit; k <= ttKatakana; ++k)
    tokenMethodTable_[k] = &TFountainParser::DbRunProc;
  tokenMethodTable_[ttKanji] = &TFountainParser::KanjiProc;
  tokenMethodTable_[ttKanaSymbol] = &TFountainParser::KanaSymbolProc;
  tokenMethodTable_[ttKana] = &TFountainParser::KanaProc;
  tokenMethodTable_[ttUrl] = &TFountainParser::UrlProc;
  tokenMethodTable_[ttMail] = &TFountainParser::MailProc;
  tokenMethodTable_[ttHex] = &TFountainParser::HexProc;
  tokenMethodTable_[ttSingleQuote] = &TFountainParser::SingleQuoteProc;
  tokenMethodTable_[ttDoubleQuote] = &TFountainParser::DoubleQuoteProc;
}

// ---------------------------------------------------------------- a row

void TFountainParser::NewData(const char* text, size_t length, const TRowAttributeData& data) {
  rowStart_ = reinterpret_cast<const unsigned char*>(text);
  rowEnd_ = rowStart_ + (length == kUnknownLength ? std::strlen(text) : length);
  endPtr_ = tokenStart_ = p_ = rowStart_;
  token_ = ttEnd;
  tokenBracketIndex_ = -2;
  bracketIndex_ = data.BracketIndex;
  carriedToken_ = data.CarriedToken;
  remainBytes_ = data.RemainBytes;
  rowAttribute_ = data.RowAttribute;
  prevRowAttribute_ = data.PrevRowAttribute;
  elementState_ = data.ElementState;
  extraState_ = data.ExtraState;
  carriedFlag_ = data.CarriedFlag;
  dataStr_ = data.DataStr;
  continuing_ = false;
  noMailFrom_ = noMailTo_ = nullptr;
  nextAt_ = kAtUnknown;
  if (!fountain_) return; // bracketStarts_ stays empty
  const TFountainBracketCollection* brackets = fountain_->Brackets();
  if (!bracketsTaken_ || brackets->Version() != bracketVersion_ || brackets->UpdateCount() != 0) {
    brackets->LeftBracketStarts(bracketStarts_);
    bracketVersion_ = brackets->Version();
    // While an update is open, changes are not counted yet: take them anew.
    bracketsTaken_ = brackets->UpdateCount() == 0;
    ++bracketStamp_;
  }
}

TFountainParser::TResumePoint TFountainParser::SavePoint() const {
  TResumePoint r;
  r.Pos = static_cast<size_t>(endPtr_ - rowStart_);
  r.BracketIndex = bracketIndex_;
  r.ElementState = elementState_;
  r.ExtraState = extraState_;
  r.CarriedFlag = carriedFlag_;
  r.Token = token_;
  r.TokenBracketIndex = tokenBracketIndex_;
  r.DataStr = dataStr_;
  return r;
}

void TFountainParser::ResumeAt(const TResumePoint& point) {
  const unsigned char* at = rowStart_ + point.Pos;
  if (at > rowEnd_) at = rowEnd_;
  endPtr_ = tokenStart_ = p_ = at;
  bracketIndex_ = point.BracketIndex;
  elementState_ = point.ElementState;
  extraState_ = point.ExtraState;
  carriedFlag_ = point.CarriedFlag;
  token_ = point.Token;
  tokenBracketIndex_ = point.TokenBracketIndex;
  dataStr_ = point.DataStr;
  carriedToken_ = 0;
  remainBytes_ = 0;
  continuing_ = false;
  noMailFrom_ = noMailTo_ = nullptr;
  nextAt_ = kAtUnknown;
}

bool TFountainParser::ResumeInfo(TResumeInfo&) const {
  return false;
}

// The first-byte procedures as the direct path of NextToken runs them: the
// token start comes in a register, not through p_.
struct TFountainParser::Direct {
  template <TFountainTokenKind (*Scan)(const unsigned char*&, const unsigned char*)>
  static TFountainTokenKind Run(TFountainParser& p, const unsigned char* q) {
    const TFountainTokenKind kind = Scan(q, p.rowEnd_);
    p.endPtr_ = q; // p_ is not needed again before the next token
    p.token_ = kind;
    return kind;
  }
  // In the order of FirstByteProc.
  static constexpr DirectFn kFns[] = {Run<ScanSymbol>, Run<ScanNull>,       Run<ScanTab>,
                                      Run<ScanLf>,     Run<ScanCr>,         Run<ScanNumber>,
                                      Run<ScanAnk>,    Run<ScanDbSymbol>,   Run<ScanDbRun>,
                                      Run<ScanKanji>,  Run<ScanKanaSymbol>, Run<ScanKana>};
};

TFountainTokenKind TFountainParser::NextToken() {
  if (directFns_) {
    // A descendant vouches that its class overrides none of the calls
    // below: the common token, decided by its first byte alone, is
    // scanned here without a virtual call.
    // The blank loop hands on the byte it stopped at: read again after a
    // store through a pointer, it would delay the jump below.
    const unsigned char* q = endPtr_;
    unsigned c = *q;
    while (c - 1u < 0x20u && c != '\t')
      c = *++q;
    const DirectFn fn = directFns_[c];
    tokenStart_ = q;
    if (carriedToken_ == 0 && bracketIndex_ < 0 && fn) {
      continuing_ = false;
      return fn(*this, q);
    }
    p_ = endPtr_ = q;
  } else {
    SkipBlanks();
    tokenStart_ = p_ = endPtr_;
  }
  continuing_ = carriedToken_ != 0;
  if (IsLineEnd(*p_))
    token_ = ttEnd;
  else if (carriedToken_ != 0)
    WrappedTokenProc();
  else if (bracketIndex_ > -1)
    BracketProc();
  else
    DispatchProc();
  endPtr_ = p_;
  return token_;
}

void TFountainParser::SkipBlanks() {
  endPtr_ = SkipBlankBytes(endPtr_);
}

void TFountainParser::DispatchProc() {
  if (bracketIndex_ == -1 && IsBracketStart())
    BracketProc();
  else
    CallFirstByteProc();
}

void TFountainParser::WrappedTokenProc() {
  if (remainBytes_ <= 0) {
    (this->*tokenMethodTable_[carriedToken_])();
    carriedToken_ = 0;
    remainBytes_ = 0;
    if (p_ != tokenStart_) return;
    // The row does not continue the carried token after all (its state is
    // stale): scan it as a fresh token rather than report an empty one.
    continuing_ = false;
    if (bracketIndex_ > -1)
      BracketProc();
    else
      DispatchProc();
    return;
  }
  token_ = static_cast<TFountainTokenKind>(carriedToken_);
  const unsigned char* q = p_;
  for (int n = remainBytes_; n > 0 && *q != 0; --n)
    ++q;
  p_ = q;
  if (token_ == ttBracket) {
    tokenBracketIndex_ = bracketIndex_;
    bracketIndex_ = -1; // the span closes within these bytes
  }
  carriedToken_ = 0;
  remainBytes_ = 0;
}

// ---------------------------------------------------------------- helpers

bool TFountainParser::StartsWith(const unsigned char* p, std::string_view s) noexcept {
  for (size_t i = 0; i < s.size(); ++i)
    if (p[i] == 0 || p[i] != static_cast<unsigned char>(s[i])) return false;
  return true;
}

const TFountainBracketItem* TFountainParser::BracketItem(int index) const {
  if (!fountain_ || index < 0) return nullptr;
  TFountainBracketCollection* brackets = fountain_->Brackets();
  if (index >= brackets->Count()) return nullptr;
  const TFountainBracketItem* item = brackets->Items(index);
  return item->RightBracket().empty() ? nullptr : item;
}

void TFountainParser::ScanQuoted(unsigned char quote) {
  const unsigned char* q = p_;
  for (;;) {
    q = scan::CharStop(q, rowEnd_, quote);
    if (IsLineEnd(*q)) break;
    ++q; // the quote
    if (*q != quote) break;
    ++q; // a doubled quote stands for one
  }
  p_ = q;
}

// ---------------------------------------------------------------- brackets

bool TFountainParser::IsBracketStart() {
  if (!fountain_ || !MayStartBracket(*p_)) return false;
  TFountainBracketCollection* brackets = fountain_->Brackets();
  for (int i = 0, n = brackets->Count(); i < n; ++i) {
    const TFountainBracketItem* item = brackets->Items(i);
    const ByteString& left = item->LeftBracket();
    // A pair without a right bracket could never close; it opens nothing.
    if (left.empty() || item->RightBracket().empty()) continue;
    if (left[0] == *p_ && StartsWith(p_, left)) {
      bracketIndex_ = i;
      p_ += left.size();
      return true;
    }
  }
  return false;
}

void TFountainParser::BracketProc() {
  const TFountainBracketItem* item = BracketItem(bracketIndex_);
  if (!item) {
    token_ = ttEnd;
    return;
  }
  token_ = ttBracket;
  tokenBracketIndex_ = bracketIndex_;
  std::string_view right = item->RightBracket().view();
  const unsigned char first = static_cast<unsigned char>(right[0]);
  const unsigned char* q = p_;
  for (;;) {
    q = scan::CharStop(q, rowEnd_, first);
    const unsigned char c = *q;
    if (IsLineEnd(c)) break; // still open: the next row starts inside
    if (StartsWith(q, right)) {
      q += right.size();
      bracketIndex_ = -1;
      break;
    }
    q += (IsLeadByte(c) && q[1] != 0) ? 2 : 1;
  }
  p_ = q;
}

// ---------------------------------------------------------------- URLs and mail

bool TFountainParser::IsUrlStart() {
  std::string_view prefix;
  switch (*p_) {
  case 'f':
    prefix = "ftp:";
    break;
  case 'h':
    prefix = StartsWith(p_, "http:") ? "http:" : "https:";
    break;
  case 'w':
    prefix = "www.";
    break;
  default:
    return false;
  }
  if (!StartsWith(p_, prefix)) return false;
  p_ += prefix.size();
  return true;
}

void TFountainParser::UrlProc() {
  token_ = ttUrl;
  p_ = SkipClass(p_, scan::kUrl);
}

bool TFountainParser::IsMailStart() {
  const unsigned char* q = p_;
  if (!Is(*q, scan::kMail) || *q == '@') return false;
  // Every position inside a run that held no address gives the same answer.
  if (q >= noMailFrom_ && q < noMailTo_) return false;
  // An address needs an at sign; most rows have none at all.
  if (nextAt_ != kAtUnknown && nextAt_ != nullptr && nextAt_ < q) nextAt_ = kAtUnknown;
  if (nextAt_ == kAtUnknown)
    nextAt_ =
        reinterpret_cast<const unsigned char*>(std::strchr(reinterpret_cast<const char*>(q), '@'));
  if (nextAt_ == nullptr) return false;
  bool at = false;
  for (;; ++q) {
    unsigned char c = *q;
    if (!Is(c, scan::kMail)) break; // NUL, CR and LF are not mail characters
    if (c == '@') {
      at = true;
    } else if (c == '.' && at) {
      p_ = q + 1;
      return true;
    }
  }
  noMailFrom_ = p_;
  noMailTo_ = q;
  return false;
}

void TFountainParser::MailProc() {
  token_ = ttMail;
  p_ = SkipClass(p_, scan::kMail);
}

// ---------------------------------------------------------------- single-byte tokens

TFountainParser::DirectFn TFountainParser::FirstByteFn(unsigned char c) noexcept {
  return Direct::kFns[kFirstByteProcs[c]];
}

void TFountainParser::ReserveWordProc() {
  CallFirstByteProc();
  token_ = ttReserve;
}

void TFountainParser::NullProc() {
  const unsigned char* q = p_;
  token_ = ScanNull(q, rowEnd_);
  p_ = q;
}

void TFountainParser::TabProc() {
  const unsigned char* q = p_;
  token_ = ScanTab(q, rowEnd_);
  p_ = q;
}

void TFountainParser::LfProc() {
  const unsigned char* q = p_;
  token_ = ScanLf(q, rowEnd_);
  p_ = q;
}

void TFountainParser::CrProc() {
  const unsigned char* q = p_;
  token_ = ScanCr(q, rowEnd_);
  p_ = q;
}

void TFountainParser::CommentProc() {
  token_ = ttComment;
  p_ = scan::LineEnd(p_, rowEnd_);
}

void TFountainParser::HexProc() {
  token_ = ttHex;
  p_ = SkipClass(p_, scan::kHexDigit);
}

void TFountainParser::NumberProc() {
  const unsigned char* q = p_;
  token_ = ScanNumber(q, rowEnd_);
  p_ = q;
}

void TFountainParser::AnkProc() {
  const unsigned char* q = p_;
  token_ = ScanAnk(q, rowEnd_);
  p_ = q;
}

void TFountainParser::SymbolProc() {
  const unsigned char* q = p_;
  token_ = ScanSymbol(q, rowEnd_);
  p_ = q;
}

void TFountainParser::SingleQuoteProc() {
  token_ = ttSingleQuote;
  if (!continuing_ && *p_ == '\'') ++p_;
  ScanQuoted('\'');
}

void TFountainParser::DoubleQuoteProc() {
  token_ = ttDoubleQuote;
  if (!continuing_ && *p_ == '"') ++p_;
  ScanQuoted('"');
}

// ---------------------------------------------------------------- double-byte tokens

void TFountainParser::DbSymbolProc() {
  const unsigned char* q = p_;
  token_ = ScanDbSymbol(q, rowEnd_);
  p_ = q;
}

void TFountainParser::DbRunProc() {
  const unsigned char* q = p_;
  token_ = ScanDbRun(q, rowEnd_);
  p_ = q;
}

void TFountainParser::KanjiProc() {
  const unsigned char* q = p_;
  token_ = ScanKanji(q, rowEnd_);
  p_ = q;
}

void TFountainParser::KanaSymbolProc() {
  const unsigned char* q = p_;
  token_ = ScanKanaSymbol(q, rowEnd_);
  p_ = q;
}

void TFountainParser::KanaProc() {
  const unsigned char* q = p_;
  token_ = ScanKana(q, rowEnd_);
  p_ = q;
}

// ---------------------------------------------------------------- reserve words

bool TFountainParser::IsReserveWord() {
  if (continuing_ || !fountain_) return false;
  if (token_ == ttEnd || token_ == ttBracket || token_ == ttComment) return false;
  TStringList* words = fountain_->ReserveWordList();
  int index = 0;
  return words->Count() > 0 && words->Find(TokenView(), index);
}

void TFountainParser::AdjustWrappedKind(TFountainTokenKind& kind) {
  if (IsReserveWord()) kind = ttReserve;
}

TFountainTokenKinds TFountainParser::RescanKinds() const {
  return {ttComment, ttSingleQuote, ttDoubleQuote};
}

TFountainTokenKinds TFountainParser::RowEndKinds() const {
  return {ttComment};
}

// ---------------------------------------------------------------- row state

void TFountainParser::UpdateRowData(int index, const TRowAttributeStringList& rows,
                                    TRowAttributeData& data) {
  if (data.CarriedToken != 0 && RowEndKinds().Contains(data.CarriedToken)) {
    // The row starts inside a comment, which ends with the logical line.
    if (data.RowAttribute != reWrapped) data.CarriedToken = 0;
    data.RemainBytes = 0;
    return;
  }
  const ByteString& row = rows.Ref(index);
  const int len = static_cast<int>(row.size());
  const bool wrapped = data.RowAttribute == reWrapped;
  // An empty or blank row passes the state through, but a cut token cannot
  // run past a line break into the next logical line. (A blank row that
  // ends its line gives the same through the scan below, which finds no
  // token; only a wrapped one needs the test.)
  if (row.empty() || (wrapped && row[0] == ' ' && IsBlankRow(row))) {
    if (!wrapped) {
      data.CarriedToken = 0;
      data.RemainBytes = 0;
    }
    return;
  }
  const bool hasNext = wrapped && index + 1 < rows.Count();
  // A token cut by the wrap is scanned whole: the next row is appended.
  ByteString joined;
  if (hasNext) joined = row + rows.Ref(index + 1);
  const ByteString& text = joined.empty() ? row : joined;

  int lastBracket = data.BracketIndex;
  int lastElement = data.ElementState;
  TFountainTokenKind lastKind = ttEnd;
  bool cut = false;
  // The state is kept in locals while the row is scanned and stored after.
  // A long row starts from the last saved point before its end whose
  // bytes are unchanged, and saves points as it goes.
  TTokenCheckpoints* points = hasNext || !fountain_ ? nullptr : &fountain_->Checkpoints();
  if (points)
    points->Start(*this, row, data, row.size());
  else
    NewData(text.data(), text.size(), data);
  int bracket = bracketIndex_;
  int element = elementState_;
  uint8_t flag = carriedFlag_;
  const unsigned char* const rowEnd = rowStart_ + len;
  for (TFountainTokenKind kind; (kind = NextToken()) != ttEnd;) {
    if (points) points->Note(*this);
    lastKind = kind;
    bracket = bracketIndex_;
    if (kind == ttBracket) lastBracket = tokenBracketIndex_;
    lastElement = elementState_;
    if (endPtr_ > rowEnd) {
      cut = true; // the token runs into the next row
      break;
    }
    element = elementState_;
    flag = carriedFlag_;
  }
  data.BracketIndex = bracket;
  data.ElementState = element;
  data.CarriedFlag = flag;
  data.RemainBytes = 0;
  data.CarriedToken = 0;
  if (!cut) return;

  const int end = SourcePos() + TokenLength();
  if (SourcePos() >= len) {
    data.BracketIndex = -1;
    return;
  }
  data.ElementState = lastElement;
  const int overhang = end - len;
  if (lastKind == ttBracket) {
    if (data.BracketIndex != -1) return; // still open: the next row starts inside
    // The span closed in the appended text; when the cut falls inside the
    // right bracket, the next row starts with the rest of it.
    data.BracketIndex = lastBracket;
    const TFountainBracketItem* item = BracketItem(lastBracket);
    if (item && overhang < static_cast<int>(item->RightBracket().size()) &&
        overhang <= kMaxRemainBytes) {
      data.CarriedToken = ttBracket;
      data.RemainBytes = overhang;
    }
    return;
  }
  TFountainTokenKind kind = lastKind;
  AdjustWrappedKind(kind);
  data.CarriedToken = kind;
  if (RescanKinds().Contains(kind)) return;
  if (end >= static_cast<int>(text.size()) && hasNext && rows.RowAttribute(index + 1) == reWrapped)
    return; // it fills the next row too: that row re-scans it
  // A longer rest than the row state can hold is re-scanned instead.
  if (overhang <= kMaxRemainBytes) data.RemainBytes = overhang;
}

} // namespace ze
