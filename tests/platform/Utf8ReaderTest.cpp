// The fast ways of reading UTF-8 (DecodeText on the whole text, and
// TUtf8Reader piece by piece) against the plain reading a character at a
// time: on every input they must give the same CP932 bytes, the same
// variants and the same problem at the same place.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Encoding.h"

namespace ze {
namespace {

// Characters and byte sequences the inputs are made of: ASCII (with the
// two bytes other characters also become), line breaks, characters of two,
// three and four bytes with and without a CP932 code, pairs that share a
// code, and every kind of bad UTF-8.
const std::vector<std::string> kTokens = {
    "a", "Z", " ", "\t", "\\", "~", "?", "\r", "\n", "\r\n",
    "é", "§", "×", "α", "Ж", "¥", "¢", "£", "¬", "¦",             // two bytes
    "あ", "漢", "ｶ", "ﾟ", "〜", "～", "−", "－", "‖", "∥", "①", "﨑", // three bytes
    "‾", "€", "\xEF\xBB\xBF", "　", "ー",
    "😀", "𠀋",                                                   // four bytes
    "\x80", "\xBF", "\xC0\xAF", "\xC1\xBF", "\xC2", "\xE0\x80\xAF", "\xE0\x9F\xBF",
    "\xED\xA0\x80", "\xED\xBF\xBF", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80", "\xF5\x80",
    "\xFF", "\xFE", "\xE3\x81", "\xF0\x9F", "\xF0\x9F\x98"};

// The codes of the tokens that have one: where variants are kept.
std::set<uint16_t> TokenCodes() {
  std::set<uint16_t> codes;
  for (const std::string& t : kTokens) {
    std::string c = DecodeUtf8OneByOne(t).Text;
    if (c.size() == 1) codes.insert(static_cast<unsigned char>(c[0]));
    if (c.size() == 2)
      codes.insert(uint16_t(static_cast<unsigned char>(c[0]) << 8 | static_cast<unsigned char>(c[1])));
  }
  return codes;
}

void ExpectSame(const TDecodedText& want, const TDecodedText& got, const std::string& input,
                const char* how) {
  static const std::set<uint16_t> codes = TokenCodes();
  SCOPED_TRACE(::testing::Message() << how << " on " << ::testing::PrintToString(input));
  EXPECT_EQ(got.Encoding, want.Encoding);
  EXPECT_EQ(got.Exact, want.Exact);
  EXPECT_EQ(got.Problem, want.Problem);
  EXPECT_EQ(got.ProblemLine, want.ProblemLine);
  EXPECT_EQ(got.ProblemColumn, want.ProblemColumn);
  EXPECT_EQ(got.FellBack, want.FellBack);
  for (uint16_t c : codes) EXPECT_EQ(got.Variants.Get(c), want.Variants.Get(c)) << c;
}

// Line and column (1-based) of the character at offset `at` of CP932
// text: CR LF, LF and CR end a line, a two-byte character is one column.
std::pair<long long, long long> PlaceOf(const std::string& t, long long at) {
  long long line = 1, col = 1;
  for (long long i = 0; i < at; ++i) {
    unsigned char c = static_cast<unsigned char>(t[size_t(i)]);
    if (c == '\n' || (c == '\r' && !(size_t(i) + 1 < t.size() && t[size_t(i) + 1] == '\n'))) {
      ++line;
      col = 1;
    } else if (c != '\r') {
      if (IsLeadByte(c) && i + 1 < at) ++i;
      ++col;
    }
  }
  return {line, col};
}

// Reads input in pieces of the given sizes (the last one takes the rest).
TDecodedText ReadInPieces(const std::string& input, const std::vector<size_t>& sizes,
                          bool& invalid) {
  TUtf8Reader reader;
  std::string text;
  size_t at = 0;
  for (size_t k = 0; k <= sizes.size(); ++k) {
    const bool last = k == sizes.size();
    std::string_view piece =
        std::string_view(input).substr(at, last ? std::string::npos : sizes[k]);
    at += piece.size();
    // Fresh room each time, poisoned, so that nothing relies on what an
    // earlier piece left there.
    std::string out(piece.size() + TUtf8Reader::kSlack, '\xAA');
    size_t n = reader.Convert(piece, out.data(), last);
    EXPECT_LE(n, piece.size() + 3);
    text.append(out, 0, n);
    EXPECT_EQ(reader.Written(), static_cast<long long>(text.size()));
  }
  invalid = reader.Invalid();
  auto [line, col] = PlaceOf(text, reader.ProblemOffset());
  TDecodedText d = reader.Finish(line, col);
  d.Text = text;
  return d;
}

// Every way of reading input agrees with the plain one; pieces are cut at
// random sizes, and for short inputs also at every single position.
void CheckAllWays(const std::string& input, std::mt19937& rng) {
  const TDecodedText want = DecodeUtf8OneByOne(input);
  const TDecodedText whole = DecodeText(input, TEncoding::Utf8);
  ExpectSame(want, whole, input, "DecodeText");
  EXPECT_EQ(whole.Text, want.Text) << ::testing::PrintToString(input);
  EXPECT_EQ(DecodeText(input, TEncoding::Utf8Bom).Text, want.Text);

  // Bytes the sniffer does not read as UTF-8 are what the reader calls
  // invalid (a character cut by the end is neither).
  TEncodingSniffer sniff(false);
  sniff.Feed(input);
  const bool readsAsUtf8 = sniff.ReadsAs(TEncoding::Utf8);

  std::vector<std::vector<size_t>> cuts;
  cuts.push_back({});
  for (int k = 0; k < 3; ++k) {
    std::vector<size_t> sizes;
    for (size_t sum = 0; sum < input.size();) {
      size_t s = std::uniform_int_distribution<size_t>(0, k == 0 ? 5 : 40)(rng);
      sizes.push_back(s);
      sum += s;
    }
    cuts.push_back(sizes);
  }
  if (input.size() <= 64)
    for (size_t cut = 0; cut <= input.size(); ++cut) cuts.push_back({cut});
  for (const auto& sizes : cuts) {
    bool invalid = false;
    TDecodedText got = ReadInPieces(input, sizes, invalid);
    ExpectSame(want, got, input, "TUtf8Reader");
    EXPECT_EQ(got.Text, want.Text) << ::testing::PrintToString(input);
    EXPECT_EQ(invalid, !readsAsUtf8) << ::testing::PrintToString(input);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(Utf8Reader, AsciiRunsBrokenAtEveryPositionOfABlock) {
  std::mt19937 rng(1);
  for (const char* breaker : {"あ", "ｶ", "é", "😀", "\xFF", "\xE3\x81", "〜", "¥", "\\", "~"}) {
    for (size_t k = 0; k < 40; ++k) {
      std::string s = std::string(k, 'a') + breaker + std::string(40 - k, 'b') + breaker;
      CheckAllWays(s, rng);
      CheckAllWays("\xEF\xBB\xBF" + s, rng);
      // Kana right behind, so that the fast path for runs of three-byte
      // characters meets the breaker at every offset too.
      std::string kana;
      for (size_t i = 0; i < k; ++i) kana += i % 2 ? "な" : "か";
      CheckAllWays(kana + breaker + kana + "\r\n" + s, rng);
    }
  }
}

TEST(Utf8Reader, SequencesCutByBlockEdgesAndBadOnesAmongGoodOnes) {
  std::mt19937 rng(2);
  for (const std::string& t : kTokens) {
    for (size_t k = 0; k < 34; ++k) {
      std::string s = std::string(k, 'x') + t + "漢字かなカナ" + t + t + "end";
      CheckAllWays(s, rng);
      CheckAllWays(std::string(k, 'x') + t, rng); // at the very end
    }
  }
}

TEST(Utf8Reader, RandomTextsAgreeInEveryWay) {
  std::mt19937 rng(3);
  std::vector<std::string> good;
  for (const std::string& t : kTokens)
    if (DecodeUtf8OneByOne(t).Exact) good.push_back(t);
  for (int i = 0; i < 1500; ++i) {
    // Mostly good text, so that problems come late and variants pile up.
    const std::vector<std::string>& from = i % 3 == 0 ? kTokens : good;
    std::string s;
    const size_t n = std::uniform_int_distribution<size_t>(0, 120)(rng);
    for (size_t k = 0; k < n; ++k)
      s += from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(rng)];
    if (i % 4 == 0) s = "\xEF\xBB\xBF" + s;
    CheckAllWays(s, rng);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(Utf8Reader, RandomBytes) {
  std::mt19937 rng(4);
  for (int i = 0; i < 500; ++i) {
    std::string s(std::uniform_int_distribution<size_t>(0, 100)(rng), '\0');
    for (char& c : s) c = char(rng() % 4 == 0 ? rng() : 0x80 | (rng() & 0x3F));
    CheckAllWays(s, rng);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(Utf8Reader, AByteOrderMarkCutIntoPiecesIsStillOne) {
  for (const std::string& rest : {std::string(), std::string("a"), std::string("\xEF\xBB"),
                                  std::string("あ\n")}) {
    std::string s = "\xEF\xBB\xBF" + rest;
    for (size_t a = 0; a <= s.size(); ++a) {
      for (size_t b = 0; a + b <= s.size(); ++b) {
        bool invalid = false;
        TDecodedText d = ReadInPieces(s, {a, b}, invalid);
        EXPECT_EQ(d.Encoding, TEncoding::Utf8Bom);
        EXPECT_EQ(d.Text, DecodeText(s, TEncoding::Utf8).Text);
      }
    }
  }
  // Two of the three bytes only: not a mark, and not UTF-8.
  bool invalid = false;
  TDecodedText d = ReadInPieces("\xEF\xBB", {1}, invalid);
  EXPECT_EQ(d.Encoding, TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_FALSE(invalid); // cut by the end
}

// A plain '\' or '~' and the character that also becomes it (U+00A5,
// U+203E) cannot both be held; the problem is placed at the second one,
// wherever it stands in a run of ASCII.
TEST(Utf8Reader, PlainAndOtherCharacterOfOneByteAreNamedWhereTheyMeet) {
  TDecodedText d = DecodeText("¥ ok\nabc\\def\nmore\\", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.ProblemLine, 2);
  EXPECT_EQ(d.ProblemColumn, 4);
  EXPECT_NE(d.Problem.find("U+00A5"), std::string::npos) << d.Problem;
  d = DecodeText("a~b\nxy‾", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.ProblemLine, 2);
  EXPECT_EQ(d.ProblemColumn, 3);
  // Alone, either is held and written back as it was.
  for (const std::string s : {"¥100\n", "a\\b\n", "‾‾\n", "long ascii run~~~~~~~~~~~~~~~~~~~"}) {
    d = DecodeText(s, TEncoding::Utf8);
    ASSERT_TRUE(d.Exact) << d.Problem;
    std::string out, problem;
    ASSERT_TRUE(EncodeText(d.Text, TEncoding::Utf8, d.Variants, out, problem)) << problem;
    EXPECT_EQ(out, s);
  }
}

} // namespace
} // namespace ze
