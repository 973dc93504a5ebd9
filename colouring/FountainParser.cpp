#include "colouring/FountainParser.h"

#include <array>
#include <cstring>

#include "colouring/Fountain.h"
#include "colouring/ScanTables.h"

namespace ze {

using scan::Is;

namespace {

// Marks nextAt_ as not searched yet.
const unsigned char* const kAtUnknown = reinterpret_cast<const unsigned char*>(&kAtUnknown);

// RowBits keeps RemainBytes in 8 bits.
constexpr int kMaxRemainBytes = 255;

constexpr bool InRange(unsigned char c, unsigned lo, unsigned hi) { return c >= lo && c <= hi; }

bool IsKanjiLead(unsigned char c) { return InRange(c, 0x88, 0x9F) || InRange(c, 0xE0, 0xFC); }

// Trail bytes after 0x82 that make a single full-width symbol.
bool IsSymbolTrail82(unsigned char t) {
  return InRange(t, 0x40, 0x4E) || InRange(t, 0x59, 0x5F) || InRange(t, 0x7A, 0x80) ||
         InRange(t, 0x9B, 0x9E) || t >= 0xF2;
}
bool IsSymbolTrail83(unsigned char t) { return InRange(t, 0x97, 0xF0); }
bool IsAlphaTrail82(unsigned char t) { return InRange(t, 0x60, 0x79) || InRange(t, 0x81, 0x9A); }

// Past a run of bytes of one class. The scan pointers are members, and a
// byte read may alias them; a local pointer keeps them out of memory.
const unsigned char* SkipClass(const unsigned char* q, uint8_t cls) {
  while (Is(*q, cls)) ++q;
  return q;
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

// The procedure for each first byte, shared by the method table and the
// direct dispatch below so that the two cannot disagree.
enum FirstByteProc : uint8_t {
  fbSymbol, fbNull, fbTab, fbLf, fbCr, fbNumber, fbAnk, fbDbSymbol, fbDbRun, fbKanji,
  fbKanaSymbol, fbKana
};

constexpr std::array<uint8_t, 256> MakeFirstByteProcs() {
  std::array<uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    uint8_t proc = fbSymbol;
    if (c == 0x00) proc = fbNull;
    else if (c == 0x09) proc = fbTab;
    else if (c == 0x0A) proc = fbLf;
    else if (c == 0x0D) proc = fbCr;
    else if (InRange(c, '0', '9')) proc = fbNumber;
    else if (InRange(c, 'A', 'Z') || c == '_' || InRange(c, 'a', 'z')) proc = fbAnk;
    else if (c == 0x81 || InRange(c, 0x84, 0x87)) proc = fbDbSymbol;
    else if (c == 0x82 || c == 0x83) proc = fbDbRun;
    else if (InRange(c, 0x88, 0x9F) || InRange(c, 0xE0, 0xFC)) proc = fbKanji;
    else if (InRange(c, 0xA1, 0xA5)) proc = fbKanaSymbol;
    else if (InRange(c, 0xA6, 0xDF)) proc = fbKana;
    t[c] = proc;
  }
  return t;
}

constexpr std::array<uint8_t, 256> kFirstByteProcs = MakeFirstByteProcs();

void TFountainParser::InitMethodTable() {
  static constexpr Proc kProcs[] = {
      &TFountainParser::SymbolProc,     &TFountainParser::NullProc,   &TFountainParser::TabProc,
      &TFountainParser::LfProc,         &TFountainParser::CrProc,     &TFountainParser::NumberProc,
      &TFountainParser::AnkProc,        &TFountainParser::DbSymbolProc, &TFountainParser::DbRunProc,
      &TFountainParser::KanjiProc,      &TFountainParser::KanaSymbolProc, &TFountainParser::KanaProc};
  for (int c = 0; c < 256; ++c) methodTable_[c] = kProcs[kFirstByteProcs[c]];
  for (Proc& proc : tokenMethodTable_) proc = &TFountainParser::SymbolProc;
  tokenMethodTable_[ttInteger] = &TFountainParser::NumberProc;
  tokenMethodTable_[ttFloat] = &TFountainParser::NumberProc;
  tokenMethodTable_[ttBracket] = &TFountainParser::BracketProc;
  tokenMethodTable_[ttComment] = &TFountainParser::CommentProc;
  tokenMethodTable_[ttReserve] = &TFountainParser::ReserveWordProc;
  tokenMethodTable_[ttAnk] = &TFountainParser::AnkProc;
  tokenMethodTable_[ttDbSymbol] = &TFountainParser::DbSymbolProc;
  for (int k = ttDbDigit; k <= ttKatakana; ++k) tokenMethodTable_[k] = &TFountainParser::DbRunProc;
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

void TFountainParser::NewData(const char* text, const TRowAttributeData& data) {
  rowStart_ = reinterpret_cast<const unsigned char*>(text);
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
  for (uint64_t& w : bracketStarts_) w = 0;
  if (!fountain_) return;
  TFountainBracketCollection* brackets = fountain_->Brackets();
  for (int i = 0, n = brackets->Count(); i < n; ++i) {
    const TFountainBracketItem* item = brackets->Items(i);
    if (item->LeftBracket().empty() || item->RightBracket().empty()) continue;
    unsigned char c = item->LeftBracket()[0];
    bracketStarts_[c >> 6] |= uint64_t{1} << (c & 63);
  }
}

TFountainTokenKind TFountainParser::NextToken() {
  SkipBlanks();
  tokenStart_ = p_ = endPtr_;
  continuing_ = carriedToken_ != 0;
  if (IsLineEnd(*p_)) token_ = ttEnd;
  else if (carriedToken_ != 0) WrappedTokenProc();
  else if (bracketIndex_ > -1) BracketProc();
  else DispatchProc();
  endPtr_ = p_;
  return token_;
}

void TFountainParser::SkipBlanks() { endPtr_ = SkipClass(endPtr_, scan::kBlank); }

void TFountainParser::DispatchProc() {
  if (bracketIndex_ == -1 && IsBracketStart()) BracketProc();
  else CallFirstByteProc();
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
    if (bracketIndex_ > -1) BracketProc();
    else DispatchProc();
    return;
  }
  token_ = static_cast<TFountainTokenKind>(carriedToken_);
  const unsigned char* q = p_;
  for (int n = remainBytes_; n > 0 && *q != 0; --n) ++q;
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
    unsigned char c = *q;
    if (IsLineEnd(c)) break;
    if (c == quote) {
      ++q;
      if (*q != quote) break;
      ++q; // a doubled quote stands for one
    } else {
      q += (IsLeadByte(c) && q[1] != 0) ? 2 : 1;
    }
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
    unsigned char c = *q;
    if (IsLineEnd(c)) break; // still open: the next row starts inside
    if (c == first && StartsWith(q, right)) {
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
    nextAt_ = reinterpret_cast<const unsigned char*>(std::strchr(reinterpret_cast<const char*>(q), '@'));
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

uint8_t TFountainParser::FirstByteProcId(unsigned char c) noexcept { return kFirstByteProcs[c]; }

// Flattened: the procedures are inlined into the one indirect jump.
__attribute__((flatten)) void TFountainParser::DirectProc(uint8_t id) {
  switch (id) {
  case fbSymbol: return TFountainParser::SymbolProc();
  case fbNull: return TFountainParser::NullProc();
  case fbTab: return TFountainParser::TabProc();
  case fbLf: return TFountainParser::LfProc();
  case fbCr: return TFountainParser::CrProc();
  case fbNumber: return TFountainParser::NumberProc();
  case fbAnk: return TFountainParser::AnkProc();
  case fbDbSymbol: return TFountainParser::DbSymbolProc();
  case fbDbRun: return TFountainParser::DbRunProc();
  case fbKanji: return TFountainParser::KanjiProc();
  case fbKanaSymbol: return TFountainParser::KanaSymbolProc();
  default: return TFountainParser::KanaProc();
  }
}

void TFountainParser::ReserveWordProc() {
  CallFirstByteProc();
  token_ = ttReserve;
}

void TFountainParser::NullProc() { token_ = ttEnd; }

void TFountainParser::TabProc() {
  token_ = ttTab;
  if (*p_ == '\t') ++p_;
}

void TFountainParser::LfProc() {
  token_ = ttEnd;
  if (*p_ == '\n') ++p_;
}

void TFountainParser::CrProc() {
  token_ = ttEnd;
  if (*p_ == '\r') ++p_;
  if (*p_ == '\n') ++p_;
}

void TFountainParser::CommentProc() {
  token_ = ttComment;
  const unsigned char* q = p_;
  while (!IsLineEnd(*q)) ++q;
  p_ = q;
}

void TFountainParser::HexProc() {
  token_ = ttHex;
  p_ = SkipClass(p_, scan::kHexDigit);
}

void TFountainParser::NumberProc() {
  token_ = ttInteger;
  const unsigned char* q = SkipClass(p_, scan::kDigit);
  auto exponent = [&q] {
    ++q; // E or e
    if ((*q == '+' || *q == '-') && Is(q[1], scan::kDigit)) q += 2;
    q = SkipClass(q, scan::kDigit);
  };
  if (*q == '.') {
    token_ = ttFloat;
    if (Is(q[1], scan::kDigit)) {
      q = SkipClass(q + 2, scan::kDigit);
      if (*q == 'E' || *q == 'e') exponent();
    } else if (q[1] == 'E' || q[1] == 'e') {
      ++q;
      exponent();
    }
    // otherwise the token ends before the full stop
  } else if (*q == 'E' || *q == 'e') {
    token_ = ttFloat;
    exponent();
  }
  p_ = q;
}

void TFountainParser::AnkProc() {
  token_ = ttAnk;
  p_ = SkipClass(p_, scan::kWord);
}

void TFountainParser::SymbolProc() {
  token_ = ttSymbol;
  if (!IsLineEnd(*p_)) ++p_;
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
  token_ = ttDbSymbol;
  const unsigned char c = p_[0], t = p_[1];
  if (c == 0x81 || InRange(c, 0x84, 0x87) || (c == 0x83 && IsSymbolTrail83(t)) ||
      (c == 0x82 && IsSymbolTrail82(t)))
    p_ += t != 0 ? 2 : 1; // a lone lead byte at the row end is one byte
}

void TFountainParser::DbRunProc() {
  const unsigned char c = p_[0], t = c != 0 ? p_[1] : 0;
  auto run = [this](auto inRun) {
    const unsigned char* q = p_ + 2;
    while (inRun(q[0], q[0] != 0 ? q[1] : 0)) q += 2;
    p_ = q;
  };
  auto mark = [](unsigned char a, unsigned char b) {
    return a == 0x81 && (b == 0x5B || b == 0x7C); // prolonged sound mark, full-width minus
  };
  if (c == 0x82 && InRange(t, 0x4F, 0x58)) {
    token_ = ttDbDigit;
    run([](unsigned char a, unsigned char b) {
      return (a == 0x82 && InRange(b, 0x4F, 0x58)) || (a == 0x81 && (b == 0x43 || b == 0x44));
    });
  } else if (c == 0x82 && IsAlphaTrail82(t)) {
    token_ = ttDbAlpha;
    run([](unsigned char a, unsigned char b) { return a == 0x82 && IsAlphaTrail82(b); });
  } else if (c == 0x82 && InRange(t, 0x9F, 0xF1)) {
    token_ = ttHiragana;
    run([&](unsigned char a, unsigned char b) {
      return (a == 0x82 && InRange(b, 0x9F, 0xF1)) || mark(a, b);
    });
  } else if (c == 0x83 && InRange(t, 0x40, 0x96)) {
    token_ = ttKatakana;
    run([&](unsigned char a, unsigned char b) {
      return (a == 0x83 && InRange(b, 0x40, 0x96)) || mark(a, b);
    });
  } else if ((c == 0x82 && IsSymbolTrail82(t)) || (c == 0x83 && IsSymbolTrail83(t))) {
    token_ = ttDbSymbol;
    p_ += 2;
  } else if (c == 0x82 || c == 0x83) {
    // No character of CP932 (a trail below 0x40, above 0xF0 after 0x83,
    // or the row end): the lead byte stands alone as a symbol.
    token_ = ttSymbol;
    ++p_;
  } else {
    // Reached when continuing a run on a row that starts with another
    // byte: nothing is consumed and the byte is scanned afresh.
    token_ = ttDbSymbol;
  }
}

void TFountainParser::KanjiProc() {
  token_ = ttKanji;
  const unsigned char* q = p_;
  while (IsKanjiLead(*q)) {
    ++q;
    if (*q > 0x3F) ++q;
  }
  p_ = q;
}

void TFountainParser::KanaSymbolProc() {
  token_ = ttKanaSymbol;
  if (InRange(*p_, 0xA1, 0xA5)) ++p_;
}

void TFountainParser::KanaProc() {
  token_ = ttKana;
  const unsigned char* q = p_;
  while (InRange(*q, 0xA6, 0xDF)) ++q;
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

TFountainTokenKinds TFountainParser::RowEndKinds() const { return {ttComment}; }

// ---------------------------------------------------------------- row state

void TFountainParser::UpdateRowData(int index, const TRowAttributeStringList& rows,
                                    TRowAttributeData& data) {
  if (RowEndKinds().Contains(data.CarriedToken)) {
    // The row starts inside a comment, which ends with the logical line.
    if (data.RowAttribute != reWrapped) data.CarriedToken = 0;
    data.RemainBytes = 0;
    return;
  }
  const ByteString& row = rows.Ref(index);
  const int len = static_cast<int>(row.size());
  const bool hasNext = index + 1 < rows.Count();
  if (IsBlankRow(row)) {
    // The state passes through, but a cut token cannot run past a line
    // break into the next logical line.
    if (data.RowAttribute != reWrapped) {
      data.CarriedToken = 0;
      data.RemainBytes = 0;
    }
    return;
  }
  // A token cut by the wrap is scanned whole: the next row is appended.
  ByteString joined;
  if (data.RowAttribute == reWrapped && hasNext) joined = row + rows.Ref(index + 1);
  const ByteString& text = joined.empty() ? row : joined;

  int lastBracket = data.BracketIndex;
  int lastElement = data.ElementState;
  TFountainTokenKind lastKind = ttEnd;
  bool cut = false;
  NewData(text.data(), data);
  for (TFountainTokenKind kind; (kind = NextToken()) != ttEnd;) {
    lastKind = kind;
    data.BracketIndex = bracketIndex_;
    if (kind == ttBracket) lastBracket = tokenBracketIndex_;
    lastElement = elementState_;
    if (SourcePos() + TokenLength() > len) {
      cut = true; // the token runs into the next row
      break;
    }
    data.ElementState = elementState_;
    data.CarriedFlag = carriedFlag_;
  }
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
