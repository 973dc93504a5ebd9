#include <gtest/gtest.h>

#include <random>

#include "platform/Encoding.h"
#include "tests/platform/IconvHelper.h"

namespace ze {
namespace {

using test::Iconv;

// "日本語のテキスト。" in each encoding, made by the C library.
std::string Sample(const char* to) {
  bool ok = false;
  std::string s = Iconv(to, "UTF-8", "日本語のテキスト。\n", ok);
  EXPECT_TRUE(ok) << to;
  return s;
}

TEST(DetectEncoding, ShortJapaneseTextInEveryEncoding) {
  EXPECT_EQ(DetectEncoding(Sample("UTF-8")), TEncoding::Utf8);
  EXPECT_EQ(DetectEncoding(Sample("CP932")), TEncoding::Cp932);
  EXPECT_EQ(DetectEncoding(Sample("EUC-JP")), TEncoding::EucJp);
  EXPECT_EQ(DetectEncoding(Sample("ISO-2022-JP")), TEncoding::Iso2022Jp);
  EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF" + Sample("UTF-8")), TEncoding::Utf8Bom);
  EXPECT_EQ(DetectEncoding(Sample("UTF-16")), Sample("UTF-16")[0] == '\xFF'
                                                  ? TEncoding::Utf16Le
                                                  : TEncoding::Utf16Be);
  EXPECT_EQ(DetectEncoding("\xFE\xFF" + Sample("UTF-16BE")), TEncoding::Utf16Be);
  EXPECT_EQ(DetectEncoding("\xFF\xFE" + Sample("UTF-16LE")), TEncoding::Utf16Le);
  // Half-width katakana, a single kanji, a Latin-1 sign in UTF-8.
  EXPECT_EQ(DetectEncoding(Iconv("CP932", "UTF-8", "これは半角ｶﾅを含む文章です。")), TEncoding::Cp932);
  EXPECT_EQ(DetectEncoding(Iconv("EUC-JP", "UTF-8", "これは半角ｶﾅを含む文章です。")), TEncoding::EucJp);
  EXPECT_EQ(DetectEncoding("(c) \xC2\xA9 2026"), TEncoding::Utf8);
  EXPECT_EQ(DetectEncoding(Iconv("EUC-JP", "UTF-8", "漢")), TEncoding::EucJp);
}

TEST(DetectEncoding, AsciiTakesTheDefaultAndGarbageIsCp932) {
  EXPECT_EQ(DetectEncoding("plain text\r\n"), TEncoding::Cp932);
  EXPECT_EQ(DetectEncoding("plain text\n", TEncoding::Utf8), TEncoding::Utf8);
  EXPECT_EQ(DetectEncoding("", TEncoding::EucJp), TEncoding::EucJp);
  // No encoding reads these bytes: kept as CP932.
  EXPECT_EQ(DetectEncoding("x\x80\xA0\xFD"), TEncoding::Cp932);
  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    std::string s(300, '\0');
    for (char& c : s) c = char(rng());
    s[0] = 'x'; // no byte order mark
    TEncoding e = DetectEncoding(s);
    // Whatever is chosen must read it; random bytes are practically
    // never valid UTF-8 or EUC-JP.
    EXPECT_EQ(e, TEncoding::Cp932);
  }
}

TEST(DetectEncoding, AnIncompleteLastCharacterDoesNotChangeTheAnswer) {
  std::string utf8 = "テキスト";
  for (size_t cut = 1; cut < 3; ++cut)
    EXPECT_EQ(DetectEncoding(utf8.substr(0, utf8.size() - cut)), TEncoding::Utf8) << cut;
  std::string euc = Iconv("EUC-JP", "UTF-8", "テキストです");
  EXPECT_EQ(DetectEncoding(euc.substr(0, euc.size() - 1)), TEncoding::EucJp);
  std::string sjis = Iconv("CP932", "UTF-8", "テキストです");
  EXPECT_EQ(DetectEncoding(sjis.substr(0, sjis.size() - 1)), TEncoding::Cp932);
}

TEST(LineBreaks, MostFrequentStyleAndMixedFiles) {
  TLineBreakInfo i = DetectLineBreaks("a\nb\nc\r\n");
  EXPECT_EQ(i.Style, TLineBreak::Lf);
  EXPECT_TRUE(i.Mixed);
  EXPECT_EQ(i.Lf, 2);
  EXPECT_EQ(i.CrLf, 1);
  i = DetectLineBreaks("a\rb\r");
  EXPECT_EQ(i.Style, TLineBreak::Cr);
  EXPECT_FALSE(i.Mixed);
  i = DetectLineBreaks("a\r\nb\r\n\r\n");
  EXPECT_EQ(i.Style, TLineBreak::CrLf);
  EXPECT_EQ(i.CrLf, 3);
  EXPECT_FALSE(i.Mixed);
  i = DetectLineBreaks("no break", TLineBreak::Lf);
  EXPECT_FALSE(i.Found);
  EXPECT_EQ(i.Style, TLineBreak::Lf);
  // A CR at the very end, then CR CR LF.
  i = DetectLineBreaks("a\r\r\nb\r");
  EXPECT_EQ(i.Cr, 2);
  EXPECT_EQ(i.CrLf, 1);
}

void ExpectRoundTrip(const std::string& bytes, TEncoding e) {
  TDecodedText d = DecodeText(bytes, e);
  ASSERT_TRUE(d.Exact) << d.Problem;
  std::string out, problem;
  EXPECT_EQ(d.Encoding, e);
  ASSERT_TRUE(EncodeText(d.Text, d.Encoding, d.Variants, out, problem)) << problem;
  EXPECT_EQ(out, bytes) << EncodingName(e);
}

TEST(DecodeText, RoundTripsInEveryEncoding) {
  std::string text = "半角ｶﾅ、〜 − ― ‖ ¢ £ ¬ ①\r\n2 行目\n";
  ExpectRoundTrip(Iconv("UTF-8", "UTF-8", text), TEncoding::Utf8);
  ExpectRoundTrip("\xEF\xBB\xBF" + text, TEncoding::Utf8Bom);
  ExpectRoundTrip("\xFF\xFE" + Iconv("UTF-16LE", "UTF-8", text), TEncoding::Utf16Le);
  ExpectRoundTrip("\xFE\xFF" + Iconv("UTF-16BE", "UTF-8", text), TEncoding::Utf16Be);
  std::string jis = "半角なし、〜 − ‖\n2 行目\n"; // what JIS X 0208 holds
  ExpectRoundTrip(Iconv("EUC-JP", "UTF-8", jis), TEncoding::EucJp);
  ExpectRoundTrip(Iconv("ISO-2022-JP", "UTF-8", jis), TEncoding::Iso2022Jp);
  // Every byte of CP932 text is kept as it is, valid or not.
  ExpectRoundTrip(std::string("\x81\x60\x00\x1A\xFF\x81", 6), TEncoding::Cp932);
}

TEST(DecodeText, WaveDashComesBackAsTheVariantTheFileUsed) {
  for (const char* dash : {"〜", "～"}) {
    std::string file = std::string("1") + dash + "2\n";
    TDecodedText d = DecodeText(file, TEncoding::Utf8);
    ASSERT_TRUE(d.Exact) << d.Problem;
    EXPECT_EQ(d.Text, "1\x81\x60" "2\n");
    std::string out, problem;
    ASSERT_TRUE(EncodeText(d.Text, TEncoding::Utf8, d.Variants, out, problem));
    EXPECT_EQ(out, file);
  }
  // Typed text (no variant kept) is written as CP932 reads it back.
  std::string out, problem;
  ASSERT_TRUE(EncodeText("\x81\x60", TEncoding::Utf8, TUnicodeVariants(), out, problem));
  EXPECT_EQ(out, "～");
}

TEST(DecodeText, BothVariantsOfOneCodeCannotBeHeld) {
  TDecodedText d = DecodeText("ok\n1〜2\nx～y\n", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.ProblemLine, 3);
  EXPECT_EQ(d.ProblemColumn, 2);
  EXPECT_NE(d.Problem.find("U+301C"), std::string::npos) << d.Problem;
  EXPECT_NE(d.Problem.find("U+FF5E"), std::string::npos) << d.Problem;
  // The other order too.
  EXPECT_FALSE(DecodeText("x～y〜", TEncoding::Utf8).Exact);
}

TEST(DecodeText, CharactersCp932CannotHoldAreNamedWithLineAndColumn) {
  TDecodedText d = DecodeText("一行目\r\nあい😀う\r\n", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.ProblemLine, 2);
  EXPECT_EQ(d.ProblemColumn, 3);
  EXPECT_NE(d.Problem.find("U+1F600"), std::string::npos) << d.Problem;
  // Shown visibly, never dropped.
  EXPECT_EQ(d.Text.find('?'), 12u); // after 一行目 CR LF あい in CP932
}

TEST(DecodeText, BadInputIsReportedNeverLost) {
  // Truncated UTF-8 at the end.
  TDecodedText d = DecodeText("あい\xE3\x81", TEncoding::Utf8);
  EXPECT_FALSE(d.Exact);
  EXPECT_FALSE(d.Problem.empty());
  // A byte order mark alone, and an empty file: empty text, written back
  // as they were.
  ExpectRoundTrip("\xEF\xBB\xBF", TEncoding::Utf8Bom);
  ExpectRoundTrip("\xFF\xFE", TEncoding::Utf16Le);
  ExpectRoundTrip("", TEncoding::Utf8);
  // UTF-16 with an odd byte count, and a lone surrogate.
  d = DecodeText(std::string("\xFF\xFE" "a\0b", 5), TEncoding::Utf16Le);
  EXPECT_FALSE(d.Exact);
  EXPECT_EQ(d.Text.substr(0, 1), "a");
  d = DecodeText(std::string("\xFF\xFE\x00\xD8" "a\0", 6), TEncoding::Utf16Le);
  EXPECT_FALSE(d.Exact);
  // Overlong and surrogate forms are not UTF-8.
  EXPECT_FALSE(DecodeText("\xC0\xAF", TEncoding::Utf8).Exact);
  EXPECT_FALSE(DecodeText("\xED\xA0\x80", TEncoding::Utf8).Exact);
  EXPECT_FALSE(DecodeText("\xF4\x90\x80\x80", TEncoding::Utf8).Exact);
  // Bytes that are not EUC-JP.
  EXPECT_FALSE(DecodeText("ab\xA4", TEncoding::EucJp).Exact);
}

TEST(EncodeText, RefusesCharactersTheTargetCannotHoldNamingTheLine) {
  // ① (NEC special character 0x8740) is not in JIS X 0208.
  std::string out = "stale", problem;
  EXPECT_FALSE(EncodeText("ok\r\n\x87\x40\r\n", TEncoding::EucJp, TUnicodeVariants(), out, problem));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(problem.rfind("2 行目", 0), 0u) << problem;
  EXPECT_FALSE(EncodeText("a\n\n\x87\x40", TEncoding::Iso2022Jp, TUnicodeVariants(), out, problem));
  EXPECT_EQ(problem.rfind("3 行目", 0), 0u) << problem;
  // Typed 〜 (0x8160, read by CP932 as U+FF5E) goes to EUC-JP as the
  // character JIS X 0208 holds, U+301C.
  ASSERT_TRUE(EncodeText("\x81\x60", TEncoding::EucJp, TUnicodeVariants(), out, problem)) << problem;
  EXPECT_EQ(out, Iconv("EUC-JP", "UTF-8", "〜"));
  // Bytes that are not CP932 cannot become Unicode.
  EXPECT_FALSE(EncodeText("x\xFF", TEncoding::Utf8, TUnicodeVariants(), out, problem));
  EXPECT_FALSE(EncodeText("x\x81", TEncoding::Utf8, TUnicodeVariants(), out, problem));
  // UTF-8 and UTF-16 hold every CP932 character.
  EXPECT_TRUE(EncodeText("\x87\x40", TEncoding::Utf16Be, TUnicodeVariants(), out, problem));
  EXPECT_EQ(out, "\xFE\xFF\x24\x60");
}

TEST(EncodingKeys, NamesRoundTrip) {
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                      TEncoding::Iso2022Jp, TEncoding::Utf16Le, TEncoding::Utf16Be}) {
    TEncoding back;
    ASSERT_TRUE(EncodingFromKey(EncodingKey(e), back));
    EXPECT_EQ(back, e);
  }
  TEncoding e;
  EXPECT_FALSE(EncodingFromKey("latin1", e));
}

} // namespace
} // namespace ze

namespace ze {
namespace {

// Whatever bytes come in: a text read as exact is written back to the
// same bytes, and an inexact one always says where.
TEST(DecodeText, ExactMeansByteForByteOnRandomInput) {
  std::mt19937 rng(20261208);
  // Bytes that matter: ASCII, CR/LF, '\\' and '~', UTF-8 leads and
  // continuations, CP932 and EUC-JP leads, ESC, BOM bytes.
  const unsigned char pool[] = {'a',  '\\', '~',  '\r', '\n', 0x1B, '$',  'B',  '(',  'J',
                                0x00, 0x1A, 0x80, 0x81, 0x8E, 0x8F, 0x9F, 0xA1, 0xA4, 0xB0,
                                0xC2, 0xDF, 0xE0, 0xE3, 0xED, 0xEF, 0xF0, 0xF4, 0xFC, 0xFE,
                                0xFF, 0xBB, 0xBF, 0x40, 0x7F, 0x60};
  int exact = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = char(pool[rng() % sizeof pool]);
    for (TEncoding e : {TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                        TEncoding::Iso2022Jp, TEncoding::Utf16Le, TEncoding::Utf16Be}) {
      std::string bytes = s;
      if (e == TEncoding::Utf8Bom) bytes = "\xEF\xBB\xBF" + s;
      TDecodedText d = DecodeText(bytes, e);
      if (!d.Exact) {
        EXPECT_FALSE(d.Problem.empty());
        continue;
      }
      ++exact;
      std::string out, problem;
      ASSERT_TRUE(EncodeText(d.Text, d.Encoding, d.Variants, out, problem)) << problem;
      ASSERT_EQ(out, bytes) << EncodingName(e) << " case " << i;
    }
    (void)DetectEncoding(s);
  }
  EXPECT_GT(exact, 300); // the property was tested, not skipped
}

// Random texts of characters whose mapping is not one to one, written by
// the C library in each encoding: read exactly unless the text mixes two
// characters of one code or holds one CP932 lacks, and then written back
// byte for byte.
TEST(DecodeText, RandomTextsWithVariantCharactersRoundTrip) {
  const char* pool[] = {"a", "\\", "~", "\n", "\r\n", "あ", "漢", "ｶ", "〜", "～", "−", "－",
                        "‖", "∥", "¢", "￠", "£", "￡", "¬", "￢", "—", "―", "①", "¥", "‾",
                        "😀", "𠀋", "é"};
  // Pairs that CP932 keeps as one code.
  const std::pair<const char*, const char*> twins[] = {
      {"〜", "～"}, {"−", "－"}, {"‖", "∥"}, {"¢", "￠"}, {"£", "￡"}, {"¬", "￢"},
      {"—", "―"}, {"\\", "¥"}, {"~", "‾"}};
  std::mt19937 rng(42);
  int exact = 0, refused = 0;
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    int n = 1 + int(rng() % 8);
    for (int k = 0; k < n; ++k) text += pool[rng() % (sizeof pool / sizeof *pool)];
    bool holdable = text.find("😀") == std::string::npos &&
                    text.find("𠀋") == std::string::npos && text.find("é") == std::string::npos;
    for (auto& [a, b] : twins)
      if (text.find(a) != std::string::npos && text.find(b) != std::string::npos) holdable = false;
    for (auto [e, name] : {std::pair{TEncoding::Utf8, "UTF-8"}, {TEncoding::Utf16Le, "UTF-16LE"},
                           {TEncoding::EucJp, "EUC-JP"}, {TEncoding::Iso2022Jp, "ISO-2022-JP"}}) {
      bool ok;
      std::string bytes = Iconv(name, "UTF-8", text, ok);
      if (!ok) continue; // the encoding itself cannot hold the text
      if (e == TEncoding::Utf16Le) bytes = "\xFF\xFE" + bytes;
      TDecodedText d = DecodeText(bytes, e);
      // The Unicode encodings keep every character apart; EUC-JP and JIS
      // have already merged some (¥ and \\ are both 0x5C there), so only
      // their round trip is checked.
      if (e == TEncoding::Utf8 || e == TEncoding::Utf16Le) {
        EXPECT_EQ(d.Exact, holdable) << text << " in " << name << ": " << d.Problem;
        if (!holdable) ++refused;
      }
      if (!d.Exact) continue;
      ++exact;
      std::string out, problem;
      ASSERT_TRUE(EncodeText(d.Text, d.Encoding, d.Variants, out, problem)) << text << ": " << problem;
      EXPECT_EQ(out, bytes) << text << " in " << name;
    }
  }
  EXPECT_GT(exact, 1000);
  EXPECT_GT(refused, 500);
}

} // namespace
} // namespace ze

namespace ze {
namespace {

// A file read in blocks is judged like the whole, wherever the blocks cut
// its characters and escapes.
TEST(EncodingSniffer, BlocksAreJudgedLikeTheWhole) {
  const std::string text = "日本語と ASCII の混ざった文、〜も ｶﾅ も。\nline two\n";
  std::vector<std::string> samples = {
      Iconv("UTF-8", "UTF-8", text), Iconv("CP932", "UTF-8", text), Iconv("EUC-JP", "UTF-8", text),
      Iconv("ISO-2022-JP", "UTF-8", "日本語\n"), "plain ascii\n", "\xEF\xBB\xBFx", "x\x80\xA0\xFD"};
  std::mt19937 rng(5);
  for (const std::string& s : samples) {
    TEncodingSniffer whole;
    whole.Feed(s);
    TEncoding a{}, b{};
    bool settledWhole = whole.Settled(TEncoding::Cp932, a);
    for (int round = 0; round < 50; ++round) {
      TEncodingSniffer parts;
      for (size_t i = 0; i < s.size();) {
        size_t n = 1 + rng() % 5;
        parts.Feed(std::string_view(s).substr(i, n));
        i += n;
      }
      ASSERT_EQ(parts.Settled(TEncoding::Cp932, b), settledWhole);
      if (settledWhole) EXPECT_EQ(a, b);
      for (TEncoding e : {TEncoding::Utf8, TEncoding::Cp932, TEncoding::EucJp})
        EXPECT_EQ(parts.ReadsAs(e), whole.ReadsAs(e));
    }
    EXPECT_EQ(DetectEncoding(s), settledWhole ? a : DetectEncoding(s));
  }
}

} // namespace
} // namespace ze
