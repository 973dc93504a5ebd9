// UTF-8 files larger than one read block: converted as they are read, they
// must load exactly as the whole file decoded at once, with the same rows,
// line breaks, variants and problem, and a file that only looked like
// UTF-8 at first must be judged on the whole of it.
#include <gtest/gtest.h>

#include <random>

#include "platform/Encoding.h"
#include "tests/support/FakeView.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::FakeView;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The loader reads 1 MB first and smaller blocks after, so that every
// multiple of 1 MB is the edge of a block.
constexpr size_t kBlock = size_t{1} << 20;

// Lines of kana, kanji, half-width katakana and ASCII.
std::string Utf8Lines(size_t bytes, unsigned seed, const char* lineBreak = "\r\n") {
  static const char* const kWords[] = {"漢字", "かな", "カタカナ", "ｶﾀｶﾅ", "word", " ", "、", "123",
                                       "〜", "Ω", "①"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < bytes) {
    int n = std::uniform_int_distribution<int>(0, 14)(rng);
    for (int k = 0; k < n; ++k) s += kWords[rng() % std::size(kWords)];
    s += lineBreak;
  }
  return s;
}

// Text of exactly n bytes: s cut before a character and padded with 'x'.
std::string Pad(std::string s, size_t n) {
  if (s.size() > n) {
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    s.resize(n);
  }
  if (!s.empty() && s.back() == '\r') s.back() = 'x';
  s.resize(n, 'x');
  return s;
}

// Cuts CP932 text into rows as loading does.
std::vector<std::string> Rows(const std::string& t) {
  std::vector<std::string> rows;
  size_t i = 0;
  while (i < t.size()) {
    size_t e = t.find_first_of("\r\n", i);
    if (e == std::string::npos) {
      rows.push_back(t.substr(i));
      break;
    }
    rows.push_back(t.substr(i, e - i));
    i = e + (t.compare(e, 2, "\r\n") == 0 ? 2 : 1);
  }
  return rows;
}

struct Utf8Load : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};
  TempDir dir;

  std::vector<std::string> Loaded() const {
    std::vector<std::string> rows;
    for (int r = 0; r < store->Count(); ++r) rows.emplace_back(store->Ref(r).view());
    return rows;
  }

  // Loads bytes (detected, or read as forced) and checks the result
  // against DecodeText on the whole.
  void ExpectLoadedAsWhole(const std::string& bytes, TEncoding e, const TEncoding* forced = nullptr) {
    WriteFile(dir.File("f"), bytes);
    if (forced) lines.LoadFromFileAs(dir.File("f"), *forced);
    else lines.LoadFromFile(dir.File("f"));
    const TDecodedText d = DecodeText(bytes, e);
    const TFileFormat& f = lines.FileFormat();
    EXPECT_EQ(f.Encoding, d.Encoding);
    EXPECT_EQ(f.Exact, d.Exact);
    EXPECT_EQ(f.Problem, d.Problem);
    const TLineBreakInfo breaks = DetectLineBreaks(d.Text);
    if (breaks.Found) {
      EXPECT_EQ(f.LineBreak, breaks.Style);
    }
    EXPECT_EQ(f.MixedLineBreaks, breaks.Mixed);
    EXPECT_TRUE(Loaded() == Rows(d.Text)) << "rows differ";
  }
};

TEST_F(Utf8Load, BlocksCutThroughCharactersAndLineBreaksLoadAsTheWhole) {
  // A CR LF split by the first block's end, a three-byte character by the
  // second's, a two-byte one by the third's.
  std::string s = Pad(Utf8Lines(kBlock, 1), kBlock - 3) + "ab\r\n";
  s += Pad(Utf8Lines(kBlock, 2), 2 * kBlock - 1 - s.size()) + "漢";
  s += Pad(Utf8Lines(kBlock, 3), 3 * kBlock - 1 - s.size()) + "Ω";
  s += Utf8Lines(5000, 4);
  ExpectLoadedAsWhole(s, TEncoding::Utf8);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8);
  ASSERT_TRUE(lines.FileFormat().Exact) << lines.FileFormat().Problem;
  // Unedited, it is saved as it was.
  lines.SaveToFile(dir.File("out"));
  EXPECT_TRUE(ReadFile(dir.File("out")) == s);

  // With a byte order mark, and with mixed line breaks.
  ExpectLoadedAsWhole("\xEF\xBB\xBF" + s, TEncoding::Utf8);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8Bom);
  std::string mixed = Utf8Lines(kBlock, 2, "\n") + Utf8Lines(kBlock / 2, 3, "\r") + "end";
  ExpectLoadedAsWhole(mixed, TEncoding::Utf8);
  EXPECT_EQ(lines.FileFormat().LineBreak, TLineBreak::Lf);
  EXPECT_TRUE(lines.FileFormat().MixedLineBreaks);
}

TEST_F(Utf8Load, AProblemInALaterBlockIsPlacedAsInTheWholeText) {
  const std::string s = Utf8Lines(2 * kBlock + 1000, 4);
  // A character CP932 lacks, at a block's start, in mid-line and right
  // after a line break.
  for (size_t at : {kBlock, kBlock + 700, s.find("\r\n", 2 * kBlock - 500) + 2}) {
    std::string t = s;
    size_t start = at;
    while ((static_cast<unsigned char>(t[start]) & 0xC0) == 0x80) ++start; // a character's start
    t.insert(start, "😀");
    ExpectLoadedAsWhole(t, TEncoding::Utf8);
    EXPECT_FALSE(lines.FileFormat().Exact);
    EXPECT_NE(lines.FileFormat().Problem.find("U+1F600"), std::string::npos);
  }
  // Both variants of one code, far apart: the second is the problem.
  std::string t = "～\n" + s + "〜";
  ExpectLoadedAsWhole(t, TEncoding::Utf8);
  EXPECT_FALSE(lines.FileFormat().Exact);
  // The same for '\' and the yen sign.
  ExpectLoadedAsWhole("¥\n" + s + "abc\\", TEncoding::Utf8);
  EXPECT_FALSE(lines.FileFormat().Exact);
  // A character cut by the end of the file.
  ExpectLoadedAsWhole(s + "\xE6\xBC", TEncoding::Utf8);
  EXPECT_FALSE(lines.FileFormat().Exact);
  EXPECT_NE(lines.FileFormat().Problem.find("途切れ"), std::string::npos);
}

TEST_F(Utf8Load, BytesThatAreNotUtf8LateInTheFileAreJudgedOnTheWhole) {
  const std::string s = Utf8Lines(kBlock + 4000, 5);
  // Looks like UTF-8 for a whole block, then is not: no encoding reads
  // it all, so it is kept as it is, and saved as it was.
  std::string bad = s + "\xFF\xFE broken\r\n";
  ASSERT_EQ(DetectEncoding(bad), TEncoding::Cp932);
  ExpectLoadedAsWhole(bad, TEncoding::Cp932);
  EXPECT_TRUE(lines.FileFormat().Exact);
  lines.SaveToFile(dir.File("out"));
  EXPECT_TRUE(ReadFile(dir.File("out")) == bad);
  // The same when the bad byte is the very last one.
  ASSERT_EQ(DetectEncoding(s + "\xFF"), TEncoding::Cp932);
  ExpectLoadedAsWhole(s + "\xFF", TEncoding::Cp932);
  EXPECT_TRUE(lines.FileFormat().Exact);
  // With a byte order mark it is UTF-8 all the same, the bad bytes shown.
  ExpectLoadedAsWhole("\xEF\xBB\xBF" + bad, TEncoding::Utf8);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8Bom);
  EXPECT_FALSE(lines.FileFormat().Exact);
}

TEST_F(Utf8Load, UntilPastTheFirstBlockTheFileLooksLikeAscii) {
  const std::string ascii = Pad("", kBlock + 10) + "\r\n";
  ExpectLoadedAsWhole(ascii + Utf8Lines(kBlock, 8), TEncoding::Utf8);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8);
  EXPECT_TRUE(lines.FileFormat().Exact);
  ExpectLoadedAsWhole(ascii + "😀" + Utf8Lines(1000, 9) + "\xE3", TEncoding::Utf8);
  EXPECT_FALSE(lines.FileFormat().Exact);
  EXPECT_NE(lines.FileFormat().Problem.find("U+1F600"), std::string::npos);
}

TEST_F(Utf8Load, ReadingAsUtf8WhenChosen) {
  // CP932 bytes read as UTF-8: every byte that is not UTF-8 is shown.
  std::string sjis = DecodeText(Utf8Lines(kBlock + 100, 6), TEncoding::Utf8).Text;
  const TEncoding utf8 = TEncoding::Utf8;
  ExpectLoadedAsWhole(sjis, TEncoding::Utf8, &utf8);
  EXPECT_FALSE(lines.FileFormat().Exact);
  // Real UTF-8 chosen as UTF-8 (BOM): the mark decides which it is.
  const TEncoding bom = TEncoding::Utf8Bom;
  ExpectLoadedAsWhole(Utf8Lines(1000, 7), TEncoding::Utf8, &bom);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8);
  EXPECT_TRUE(lines.FileFormat().Exact);
}

} // namespace
} // namespace ze
