#pragma once
// The tokenizer behind every fountain. It scans one screen row (a
// NUL-terminated Shift-JIS byte string) in place, one token at a time, and
// computes the parse state with which the next row starts, so that
// comments, strings and bracketed spans can run over several rows.
//
// Scanning is driven by two tables of 256 member-function pointers: one
// chosen by the first byte of a token, one chosen by a token kind to
// continue a token cut at the end of the previous row. Descendants change
// the scanner by overriding the procedures and re-pointing table entries
// in InitMethodTable.
//
// Every procedure stops at the terminating NUL: a row that ends with a
// lone lead byte, an unfinished string, bracket or URL never makes the
// parser read past it. Every token except ttEnd covers at least one byte.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "platform/CodePage.h"
#include "text/ByteString.h"
#include "text/Classes.h"
#include "text/LineStore.h"
#include "text/RowStateParser.h"

namespace ze {

class TFountain;
class TFountainColor;
class TFountainBracketItem;

// Token kinds. Their values are stored in the row state and compared in
// sets, so they never change; no kind has the value 2, 5, 10 or 13. A
// stored CarriedToken may hold any byte, hence the 8-bit underlying type.
enum TFountainTokenKind : uint8_t {
  ttEnd = 0,
  ttSymbol = 1,
  ttInteger = 3,
  ttFloat = 4,
  ttBracket = 6,
  ttComment = 7,
  ttReserve = 8,
  ttTab = 9,
  ttAnk = 11,
  ttDbSymbol = 12,
  ttDbDigit = 14,
  ttDbAlpha = 15,
  ttHiragana = 16,
  ttKatakana = 17,
  ttKanji = 18,
  ttKanaSymbol = 19,
  ttKana = 20,
  ttUrl = 21,
  ttMail = 22,
  ttHex = 23,
  ttSingleQuote = 24,
  ttDoubleQuote = 25,
  ttQuotation = 26,
  ttControlCode = 27,
  ttControlCodeHex = 28,
};

// A set of token kinds (any byte value).
class TFountainTokenKinds {
public:
  constexpr TFountainTokenKinds() = default;
  constexpr TFountainTokenKinds(std::initializer_list<uint8_t> kinds) {
    for (uint8_t k : kinds)
      bits_[k >> 6] |= uint64_t{1} << (k & 63);
  }
  constexpr bool Contains(uint8_t k) const { return (bits_[k >> 6] >> (k & 63)) & 1u; }
  constexpr TFountainTokenKinds operator+(const TFountainTokenKinds& o) const {
    TFountainTokenKinds r;
    for (int i = 0; i < 4; ++i)
      r.bits_[i] = bits_[i] | o.bits_[i];
    return r;
  }
  constexpr bool operator==(const TFountainTokenKinds&) const = default;

private:
  uint64_t bits_[4] = {};
};

class TFountainParser : public TObject, public RowStateParser {
public:
  using Proc = void (TFountainParser::*)();

  ~TFountainParser() override;
  TFountainParser(const TFountainParser&) = delete;
  TFountainParser& operator=(const TFountainParser&) = delete;
  void AfterConstruction() override;

  // Starts a row. text must stay valid and unchanged, and be
  // NUL-terminated, until the next NewData. Changes of the fountain take
  // effect at the next NewData.
  void NewData(const char* text, const TRowAttributeData& data) {
    NewData(text, kUnknownLength, data);
  }
  // The same when the caller knows the row's length (the bytes before its
  // terminating NUL), which spares the tokenizer a search for it.
  virtual void NewData(const char* text, size_t length, const TRowAttributeData& data);
  static constexpr size_t kUnknownLength = static_cast<size_t>(-1);
  // The next token's kind; ttEnd at the end of the row (and on every call
  // after it). SourcePos, TokenLength, TokenString, Token and TokenColor
  // then describe the token.
  virtual TFountainTokenKind NextToken();
  // The colour of the current token, or nullptr for the editor's own.
  virtual TFountainColor* TokenColor() = 0;
  // True when the current token is in the fountain's reserve-word list.
  virtual bool IsReserveWord();
  // Turns data, the state at the start of row index, into the state at
  // the start of row index + 1.
  void UpdateRowData(int index, const TRowAttributeStringList& rows,
                     TRowAttributeData& data) override;

  int SourcePos() const noexcept { return static_cast<int>(tokenStart_ - rowStart_); }
  int TokenLength() const noexcept { return static_cast<int>(endPtr_ - tokenStart_); }
  ByteString TokenString() const { return ByteString(TokenView()); }
  std::string_view TokenView() const noexcept {
    return {reinterpret_cast<const char*>(tokenStart_), static_cast<size_t>(TokenLength())};
  }
  TFountainTokenKind Token() const noexcept { return token_; }
  // The bracket open after the current token (-1 none, -2 brackets off).
  int BracketIndex() const noexcept { return bracketIndex_; }
  // The bracket item index of the current ttBracket token.
  int TokenBracketIndex() const noexcept { return tokenBracketIndex_; }
  int ElementState() const noexcept { return elementState_; }
  uint8_t CarriedFlag() const noexcept { return carriedFlag_; }
  int ExtraState() const noexcept { return extraState_; }
  const ByteString& DataStr() const noexcept { return dataStr_; }
  // True while the current token continues one cut at the previous row's end.
  bool Continuing() const noexcept { return continuing_; }
  TFountain* Fountain() const noexcept { return fountain_; }

  // The state between two tokens of a row, at the end of the current
  // token, from which the rest of the row scans as it does after a start
  // from its first byte. Only taken after the row's first token, once a
  // token cut at the previous row's end is done with.
  struct TResumePoint {
    size_t Pos = 0; // the current token's end
    int BracketIndex = -1;
    int ElementState = 0;
    int ExtraState = 0;
    uint8_t CarriedFlag = 0;
    TFountainTokenKind Token = ttEnd;
    int TokenBracketIndex = -2;
    ByteString DataStr;
  };
  // False while a carried token is still pending (no point is taken then).
  bool CanSavePoint() const noexcept {
    return rowStart_ != nullptr && endPtr_ > rowStart_ && carriedToken_ == 0 && remainBytes_ == 0;
  }
  TResumePoint SavePoint() const;
  // Moves a parser just started on a row (NewData) to a point taken on
  // the same row bytes up to point.Pos with the same start state.
  void ResumeAt(const TResumePoint& point);
  // What a parser that can resume part way through a row tells about its
  // scanning: a key of every setting its tokens depend on (points taken
  // under another key are not reused), how many bytes past a token's end
  // any test may read, and whether the mail test runs (it reads a whole
  // run of mail characters from a token's start). False for a parser that
  // cannot resume; such a parser always starts rows at their first byte.
  struct TResumeInfo {
    ByteString Key;
    size_t Lookahead = 0;
    bool Mail = false;
  };
  virtual bool ResumeInfo(TResumeInfo& info) const;

protected:
  // Raises Exception when fountain is null. Made by TFountain::CreateParser
  // or Create<T>, which runs InitMethodTable.
  explicit TFountainParser(TFountain* fountain);
  // A parser that works without a fountain (TTokenParser).
  struct NoFountain {};
  explicit TFountainParser(NoFountain) {}
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);

  virtual void InitMethodTable();
  virtual void SkipBlanks();
  virtual bool IsBracketStart();
  virtual void BracketProc();
  virtual bool IsMailStart();
  virtual void MailProc();
  virtual bool IsUrlStart();
  virtual void UrlProc();
  virtual void ReserveWordProc();
  virtual void NullProc();
  virtual void TabProc();
  virtual void LfProc();
  virtual void CrProc();
  virtual void CommentProc();
  virtual void HexProc();
  virtual void NumberProc();
  virtual void AnkProc();
  virtual void DbSymbolProc();
  virtual void DbRunProc();
  virtual void KanjiProc();
  virtual void KanaSymbolProc();
  virtual void KanaProc();
  virtual void SymbolProc();
  virtual void SingleQuoteProc();
  virtual void DoubleQuoteProc();
  virtual void WrappedTokenProc();
  virtual void DispatchProc();
  virtual void AdjustWrappedKind(TFountainTokenKind& kind);
  // Kinds whose procedure re-scans a token cut at a row end from the next
  // row's start, so no byte count is carried.
  virtual TFountainTokenKinds RescanKinds() const;
  // Kinds that end with the logical line.
  virtual TFountainTokenKinds RowEndKinds() const;

  // Scanning helpers.
  static bool IsLineEnd(unsigned char c) noexcept { return c == 0 || c == '\r' || c == '\n'; }
  // True when the text at p starts with s; never reads past a NUL.
  static bool StartsWith(const unsigned char* p, std::string_view s) noexcept;
  // Scans a string up to and including its closing quote, or to the row
  // end; a double-byte character is stepped whole unless its trail would
  // be the terminating NUL.
  void ScanQuoted(unsigned char quote);
  // The bracket item with this index whose RightBracket is not empty.
  const TFountainBracketItem* BracketItem(int index) const;
  void CallFirstByteProc() { (this->*methodTable_[*p_])(); }
  // What CallFirstByteProc does with the tables InitMethodTable fills, as
  // direct calls of this class's procedures: only for a class that
  // overrides none of them and leaves the first-byte table as it is.
  void DirectFirstByteProc() { RunDirect(FirstByteFn(*p_)); }
  // A first-byte procedure as a direct call: it scans the token starting
  // at its second argument and sets token_ and endPtr_.
  using DirectFn = TFountainTokenKind (*)(TFountainParser&, const unsigned char*);
  // The direct call of byte c's first-byte procedure.
  static DirectFn FirstByteFn(unsigned char c) noexcept;
  // Runs fn from p_ and moves p_ past the token.
  void RunDirect(DirectFn fn) {
    fn(*this, p_);
    p_ = endPtr_;
  }
  // For a descendant that overrides none of SkipBlanks, the first-byte
  // procedures and the tests of its DispatchProc: for each first byte, the
  // direct call of the procedure its DispatchProc would surely call there,
  // or nullptr. NextToken then scans such tokens without virtual calls;
  // the function itself, not a number for it, is looked up, as the jump to
  // it waits for every load before it.
  struct Direct;
  const DirectFn* directFns_ = nullptr;
  // False when no bracket pair can open at a byte c (see bracketStarts_).
  bool MayStartBracket(unsigned char c) const noexcept {
    return (bracketStarts_[c >> 6] >> (c & 63)) & 1u;
  }
  // First bytes of the left brackets that can open a span, taken from the
  // fountain when a row starts: most bytes are rejected without a look at
  // the bracket items.
  uint64_t bracketStarts_[4] = {};
  // Bumped whenever bracketStarts_ is taken anew from the fountain.
  uint32_t bracketStamp_ = 0;

  // Parser state, in the order the row is described by it.
  const unsigned char* rowStart_ = nullptr;
  int bracketIndex_ = -1;
  ByteString dataStr_;
  int tokenBracketIndex_ = -2;
  int elementState_ = 0;
  TFountain* fountain_ = nullptr;
  bool continuing_ = false;
  Proc methodTable_[256] = {};
  const unsigned char* p_ = nullptr; // moves while a procedure scans
  uint8_t prevRowAttribute_ = 0;
  uint8_t carriedFlag_ = 0;
  int extraState_ = 0;
  uint8_t rowAttribute_ = 0;
  const unsigned char* endPtr_ = nullptr; // where the next token search starts
  uint8_t carriedToken_ = 0;
  TFountainTokenKind token_ = ttEnd;
  Proc tokenMethodTable_[256] = {};
  const unsigned char* tokenStart_ = nullptr;
  int remainBytes_ = 0;
  // The row's terminating NUL (the first one when the length is not given).
  const unsigned char* rowEnd_ = nullptr;

private:
  // Runs of mail characters already known to hold no address, so that a
  // long run is not re-scanned from every token inside it.
  const unsigned char* noMailFrom_ = nullptr;
  const unsigned char* noMailTo_ = nullptr;
  // The next at sign at or after the last mail test, nullptr when the rest
  // of the row has none; a marker value while not searched yet.
  const unsigned char* nextAt_ = nullptr;
  // The bracket collection's version when bracketStarts_ was taken.
  uint32_t bracketVersion_ = 0;
  bool bracketsTaken_ = false;
};

// A tokenizer without a fountain, for finding the word at a position.
// Start rows with BracketIndex -2. Without a fountain there are no
// brackets and no reserve words: IsReserveWord is false and UpdateRowData
// only tracks cut tokens.
class TTokenParser : public TFountainParser {
public:
  TFountainColor* TokenColor() override { return nullptr; }

protected:
  TTokenParser() : TFountainParser(NoFountain{}) {}
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);
};

} // namespace ze
