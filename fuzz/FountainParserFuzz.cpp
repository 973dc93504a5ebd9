// Feeds random rows, with random fountain settings and random row states,
// through the tokenizers and checks what every caller relies on:
//
// - tokens come in order and tile the row: between two tokens there are
//   only blank bytes, every token but ttEnd covers at least one byte, and
//   none reaches past the terminating NUL (rows live in buffers of exactly
//   their size, so AddressSanitizer reports any read beyond it);
// - ttEnd comes at the NUL, or earlier only when the row state names a
//   bracket that has no item to close it;
// - the editor parser's direct dispatch and the general virtual one give
//   the same tokens and the same row states, whether or not the row's
//   length is given;
// - recolouring rows with UpdateRowData never fails, whatever the rows.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "colouring/EditorFountain.h"
#include "colouring/FountainParser.h"
#include "text/LineStore.h"

namespace ze {
namespace {

// An editor parser that is not of the exact class, so it takes the
// general path with its virtual calls.
class TGeneralParser : public TEditorParser {
public:
  static std::unique_ptr<TGeneralParser> New(TFountain* f) { return Create<TGeneralParser>(f); }

protected:
  using TEditorParser::TEditorParser;
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);
};

struct Tok {
  int kind, pos, len;
  bool operator==(const Tok&) const = default;
};

[[noreturn]] void Fail(const char* what, const std::string& row, int pos) {
  std::fprintf(stderr, "fuzz check failed: %s at %d in a row of %zu bytes\n", what, pos,
               row.size());
  std::abort();
}

bool IsBlank(unsigned char c) {
  return (c >= 0x01 && c <= 0x08) || (c >= 0x0A && c <= 0x20);
}

bool NamesClosableBracket(const TFountain& f, int index) {
  return index >= 0 && index < f.Brackets()->Count() &&
         !f.Brackets()->Items(index)->RightBracket().empty();
}

// Tokenizes text, held in a heap block of exactly its size, and checks
// the tiling; returns the tokens.
std::vector<Tok> CheckedTokens(TFountainParser& p, const TFountain* f, const std::string& text,
                               const TRowAttributeData& state, bool giveLength = false) {
  const size_t size = text.size() + 1;
  auto* block = static_cast<char*>(std::malloc(size));
  std::memcpy(block, text.c_str(), size);
  const int len = static_cast<int>(std::strlen(block)); // what the parser can see
  std::vector<Tok> out;
  if (giveLength)
    p.NewData(block, text.size(), state);
  else
    p.NewData(block, state);
  int prevEnd = 0;
  for (;;) {
    TFountainTokenKind kind = p.NextToken();
    const int pos = p.SourcePos(), n = p.TokenLength();
    if (pos < prevEnd) Fail("token before the previous one's end", text, pos);
    for (int i = prevEnd; i < pos; ++i)
      if (!IsBlank(static_cast<unsigned char>(block[i]))) Fail("gap over a non-blank", text, i);
    if (kind == ttEnd) {
      if (n != 0) Fail("ttEnd with a length", text, pos);
      if (pos != len &&
          !(f && p.BracketIndex() >= 0 && !NamesClosableBracket(*f, p.BracketIndex())))
        Fail("ttEnd before the row end", text, pos);
      if (p.NextToken() != ttEnd || p.SourcePos() != pos) Fail("ttEnd did not repeat", text, pos);
      break;
    }
    if (n < 1) Fail("empty token", text, pos);
    if (pos + n > len) Fail("token past the row end", text, pos);
    if (p.TokenString().size() != static_cast<size_t>(n)) Fail("token text", text, pos);
    p.TokenColor();
    if (f) p.IsReserveWord();
    out.push_back({kind, pos, n});
    prevEnd = pos + n;
    if (out.size() > text.size() + 1) Fail("more tokens than bytes", text, pos);
  }
  std::free(block);
  return out;
}

bool SameState(const TRowAttributeData& a, const TRowAttributeData& b) {
  return a.RowAttribute == b.RowAttribute && a.BracketIndex == b.BracketIndex &&
         a.ElementState == b.ElementState && a.RemainBytes == b.RemainBytes &&
         a.CarriedToken == b.CarriedToken && a.CarriedFlag == b.CarriedFlag;
}

ByteString SmallString(FuzzedDataProvider& in, size_t max) {
  return ByteString(in.ConsumeRandomLengthString(max));
}

} // namespace
} // namespace ze

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ze;
  FuzzedDataProvider in(data, size);

  auto fountain = Create<TEditorFountain>(nullptr);
  TEditorFountain& f = *fountain;
  f.SetUrl(in.ConsumeBool());
  f.SetMail(in.ConsumeBool());
  f.SetControlCode(in.ConsumeBool());
  f.SetCommenter(SmallString(in, 3));
  f.SetQuotation(SmallString(in, 2));
  f.SetHexPrefix(SmallString(in, 3));
  for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
    auto* item = f.Brackets()->Add();
    item->SetLeftBracket(SmallString(in, 3));
    item->SetRightBracket(SmallString(in, 3));
  }
  TStringList words(true, TDuplicates::dupIgnore);
  for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
    words.Add(SmallString(in, 5));
  f.SetReserveWordList(&words);

  TEditorStringList rows;
  std::vector<std::string> texts;
  for (int n = in.ConsumeIntegralInRange(1, 8); n > 0 && in.remaining_bytes() > 0; --n) {
    texts.push_back(in.ConsumeRandomLengthString(300));
    int i = rows.Add(ByteString(texts.back()));
    rows.SetRowAttribute(i, in.ConsumeBool() ? reWrapped : reLineBreak);
  }
  if (rows.Count() == 0) return 0;

  auto direct = f.CreateParser();
  auto general = TGeneralParser::New(&f);
  auto words_only = Create<TTokenParser>();

  // Recolour from the top as the row store does, with both editor parsers.
  TRowAttributeData a, b;
  a.BracketIndex = b.BracketIndex = -1;
  std::vector<TRowAttributeData> states;
  for (int k = 0; k < rows.Count(); ++k) {
    a.RowAttribute = b.RowAttribute = rows.RowAttribute(k);
    rows.SetRowAttributeData(k, a);
    a = b = rows.RowAttributeData(k);
    states.push_back(a);
    direct->UpdateRowData(k, rows, a);
    general->UpdateRowData(k, rows, b);
    if (!SameState(a, b)) Fail("direct and general row states differ", texts[k], 0);
    a.PrevRowAttribute = b.PrevRowAttribute = rows.RowAttribute(k);
  }

  // Paint every row from its stored state, alone and with the next row
  // appended when it is wrapped; then from a random state.
  for (int k = 0; k < rows.Count(); ++k) {
    std::string text = texts[k];
    if (rows.RowAttribute(k) == reWrapped && k + 1 < rows.Count()) text += texts[k + 1];
    for (const std::string* t : {&texts[k], &text}) {
      auto x = CheckedTokens(*direct, &f, *t, states[k], t == &text);
      auto y = CheckedTokens(*general, &f, *t, states[k]);
      if (!(x == y)) Fail("direct and general tokens differ", *t, 0);
    }
    TRowAttributeData odd;
    odd.BracketIndex = in.ConsumeIntegralInRange(-2, 13);
    odd.CarriedToken = in.ConsumeIntegral<uint8_t>();
    odd.RemainBytes = in.ConsumeIntegralInRange(-2, 300);
    odd.RowAttribute = rows.RowAttribute(k);
    auto x = CheckedTokens(*direct, &f, text, odd);
    auto y = CheckedTokens(*general, &f, text, odd);
    if (!(x == y)) Fail("direct and general tokens differ from a random state", text, 0);
    TRowAttributeData plain;
    plain.BracketIndex = -2;
    CheckedTokens(*words_only, nullptr, text, plain);
    odd.BracketIndex = -1;
    CheckedTokens(*words_only, nullptr, text, odd);
  }
  return 0;
}
