#include "search/SearchBuffer.h"
#include "search/SearchTables.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace ze {
namespace {

// Texts are written in UTF-8 here and searched as CP932.
std::string J(const char* utf8) {
  return Utf8ToCp932(utf8);
}

constexpr TSearchOptions F = soDown;
constexpr TSearchOptions MC = soMatchCase;
constexpr TSearchOptions WW = soWholeWord;
constexpr TSearchOptions ZK = soNoMatchZenkaku;
constexpr TSearchOptions SKIP = soIncludeCRLF | soIncludeSpace;

struct Case {
  const char* what;
  const char* text; // UTF-8
  const char* pattern;
  TSearchOptions options;
  int32_t start;
  int32_t length;
  int32_t hit; // -1: not found
  int32_t hitLength;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.what;
}

class SearchBufferCases : public testing::TestWithParam<Case> {};

TEST_P(SearchBufferCases, FindsExactlyTheExpectedHit) {
  const Case& c = GetParam();
  TSearchInfo info{c.start, c.length};
  bool found = SearchBuffer(J(c.text), info, J(c.pattern), c.options);
  if (c.hit < 0) {
    EXPECT_FALSE(found) << "hit at " << info.Start << " length " << info.Length;
    return;
  }
  ASSERT_TRUE(found);
  EXPECT_EQ(info.Start, c.hit);
  EXPECT_EQ(info.Length, c.hitLength);
}

// clang-format off
const Case kCaseCases[] = {
  {"match case skips other case",        "abc ABC", "ABC", F | MC, 0, 0, 4, 3},
  {"match case, absent",                 "abc",     "ABC", F | MC, 0, 0, -1, 0},
  {"ignore case, lower pattern",         "xx ABC",  "abc", F,      0, 0, 3, 3},
  {"ignore case, upper pattern",         "xx abc",  "ABC", F,      0, 0, 3, 3},
  {"ignore case leaves full width alone","ａｂｃ",   "abc", F,      0, 0, -1, 0},
  {"full-width small finds capital",     "ＡＢＣ",   "ａｂｃ", F,    0, 0, 0, 6},
  {"full-width capital finds small",     "ａｂｃ",   "ＡＢＣ", F,    0, 0, 0, 6},
  {"full-width, match case",             "ＡＢＣ",   "ａｂｃ", F | MC, 0, 0, -1, 0},
  {"Greek",                              "ΑΒΓ",     "αβγ", F,      0, 0, 0, 6},
  {"Cyrillic first half",                "Ё",       "ё",   F,      0, 0, 0, 2},
  {"Cyrillic second half",               "Я",       "я",   F,      0, 0, 0, 2},
  {"small Roman numeral",                "ⅩⅠ",      "ⅰ",   F,      0, 0, 2, 2},
  {"small Roman numeral, match case",    "ⅩⅠ",      "ⅰ",   F | MC, 0, 0, -1, 0},
  {"hiragana has no case",               "あア",    "ア",   F,      0, 0, 2, 2},
};

const Case kDoubleByteCases[] = {
  // ア is 0x83 0x41: its trail byte is 'A'.
  {"trail byte is not a letter",         "ア",      "A",   F | MC, 0, 0, -1, 0},
  {"trail byte, ignoring case",          "アa",     "A",   F,      0, 0, 2, 1},
  {"start inside a character moves on",  "アA",     "A",   F | MC, 1, 0, 2, 1},
  {"backward over a character",          "アA",     "A",   MC,     2, 0, -1, 0},
  {"backward finds the byte after it",   "アA",     "A",   MC,     3, 0, 2, 1},
};

const Case kZenkakuCases[] = {
  {"ガ finds ｶﾞ",                        "xｶﾞ",     "ガ",  F | ZK, 0, 0, 1, 2},
  {"ガ finds ガ",                        "xガ",     "ガ",  F | ZK, 0, 0, 1, 2},
  {"ｶﾞ finds ガ",                        "xガ",     "ｶﾞ",  F | ZK, 0, 0, 1, 2},
  {"カ does not find ｶﾞ",                "ｶﾞ",      "カ",  F | ZK, 0, 0, -1, 0},
  {"ヴ finds ｳﾞ",                        "ｳﾞ",      "ヴ",  F | ZK, 0, 0, 0, 2},
  {"パ finds ﾊﾟ",                        "ﾊﾟ",      "パ",  F | ZK, 0, 0, 0, 2},
  {"ｶﾟ is カ and ゜, not キ",            "ｶﾟ",      "キ",  F | ZK, 0, 0, -1, 0},
  {"ｶﾟ found as カ゜",                   "ｶﾟ",      "カ゜", F | ZK, 0, 0, 0, 2},
  {"ABC finds ＡＢＣ",                   "ＡＢＣ",   "ABC", F | ZK, 0, 0, 0, 6},
  {"mixed widths",                       "ＡBＣ",    "ABC", F | ZK, 0, 0, 0, 5},
  {"ignore case, small full width",      "ａｂｃ",   "ABC", F | ZK, 0, 0, 0, 6},
  {"ignore case, small half width",      "aBc",     "ＡＢＣ", F | ZK, 0, 0, 0, 3},
  {"match case keeps case",              "ＡＢＣ",   "abc", F | ZK | MC, 0, 0, -1, 0},
  {"match case, same case",              "ａｂｃ",   "abc", F | ZK | MC, 0, 0, 0, 6},
  {"space equals ideographic space",     "a　b",    "a b", F | ZK, 0, 0, 0, 4},
  {"symbols with their own forms",       "￥￣",     "\\~", F | ZK, 0, 0, 0, 4},
  {"byte without a form is itself",      "x\ty",    "\t",  F | ZK, 0, 0, 1, 1},
  {"half-width punctuation",             "｢ｱ｣",     "「ア」", F | ZK, 0, 0, 0, 3},
  {"no zenkaku: widths differ",          "ＡＢＣ",   "ABC", F,      0, 0, -1, 0},
};

const Case kSkipCases[] = {
  {"abc CR LF def",                      "abc\r\ndef", "abcdef", F | SKIP, 0, 0, 0, 8},
  {"line breaks not skipped without it", "abc\r\ndef", "abcdef", F,        0, 0, -1, 0},
  {"blanks and ideographic space",       "ab \t　cd",   "abcd",   F | SKIP, 0, 0, 0, 8},
  {"CR LF only",                         "ab \r\ncd",   "abcd",   F | soIncludeCRLF, 0, 0, -1, 0},
  {"blanks only",                        "ab \r\ncd",   "abcd",   F | soIncludeSpace, 0, 0, -1, 0},
  {"nothing skipped before the first",   "\r\n abc",    "abc",    F | SKIP, 0, 0, 3, 3},
  {"nothing skipped after the last",     "ab \r\n",     "ab",     F | SKIP, 0, 0, 0, 2},
  {"a blank in the pattern matches",     "a b",         "a b",    F | SKIP, 0, 0, 0, 3},
  {"skipping with zenkaku",              "ＡＢ\r\nC",    "ABC",    F | SKIP | ZK, 0, 0, 0, 7},
  {"backward across a line break",       "abc\r\ndef",  "abcdef", SKIP, 8, 0, 0, 8},
};

const Case kWholeWordCases[] = {
  {"not inside foobar",                  "foobar foo",  "foo", F | WW, 0, 0, 7, 3},
  {"underscore is a delimiter",          "foo_bar",     "foo", F | WW, 0, 0, 0, 3},
  {"period is a delimiter",              "foo.bar",     "foo", F | WW, 0, 0, 0, 3},
  {"word at the end of the text",        "x foo",       "foo", F | WW, 0, 0, 2, 3},
  {"not at the end of a word",           "xfoo",        "foo", F | WW, 0, 0, -1, 0},
  {"not at the start of a word",         "foox",        "foo", F | WW, 0, 0, -1, 0},
  {"between underscores",                "_foo_",       "foo", F | WW, 0, 0, 1, 3},
  {"digits are word bytes",              "1foo foo",    "foo", F | WW, 0, 0, 5, 3},
  {"kana are word bytes",                "ｱfoo",        "foo", F | WW, 0, 0, -1, 0},
  // ァ is 0x83 0x40: its trail byte '@' is judged by its own value.
  {"trail byte counts by its value",     "ァfoo",       "foo", F | WW, 0, 0, 2, 3},
  {"backward whole word",                "foo foobar",  "foo", WW,     10, 0, 0, 3},
  {"backward not inside a word",         "xfoo",        "foo", WW,     4, 0, -1, 0},
  // A hit never starts on a delimiter, whatever comes before it.
  {"backward delimiter at text start",   "_[",          "[",   WW,     2, 0, -1, 0},
  {"backward delimiter after a word",    "a_[",         "[",   WW,     3, 0, -1, 0},
  {"forward delimiter at text start",    "_[",          "[",   F | WW, 0, 0, -1, 0},
  {"forward delimiter after a word",     "a_[",         "[",   F | WW, 0, 0, -1, 0},
};

const Case kStartCases[] = {
  {"forward skips the previous hit",     "abcabc",  "abc", F | MC, 0, 3, 3, 3},
  {"forward from the end",               "abc",     "abc", F | MC, 3, 0, -1, 0},
  {"forward past the end",               "abc",     "abc", F | MC, 2, 2, -1, 0},
  {"backward from the end",              "abc abc", "abc", MC,     7, 0, 4, 3},
  {"backward before the previous hit",   "abc abc", "abc", MC,     4, 0, 0, 3},
  {"backward, too close to the start",   "abc abc", "abc", MC,     2, 0, -1, 0},
  {"backward from the start",            "abc",     "abc", MC,     0, 0, -1, 0},
  {"start before the text",              "abc",     "abc", F | MC, -1, 0, -1, 0},
  {"start after the text",               "abc",     "abc", MC,     4, 0, -1, 0},
  {"negative length",                    "abc",     "abc", F | MC, 0, -1, -1, 0},
  {"empty pattern",                      "abc",     "",    F,      0, 0, -1, 0},
  {"empty text",                         "",        "a",   F,      0, 0, -1, 0},
  {"pattern longer than the text",       "ab",      "abc", F,      0, 0, -1, 0},
};

const Case kBackwardZenkakuCases[] = {
  // Backward, a half-width kana and its mark are one character.
  {"steps over ｶﾞ as one",               "ｶﾞA",     "ガ",  ZK, 2, 0, 0, 2},
  {"finds the hit before a voiced kana", "AｶﾞA",    "Ａ",  ZK, 3, 0, 0, 1},
  {"from after a voiced kana",           "ｶﾞA",     "Ａ",  ZK, 3, 0, 2, 1},
  {"steps over a double-byte character", "Aア",     "Ａ",  ZK, 3, 0, 0, 1},
  // Ω is 0x83 0xB6: its trail byte has the value of ｶ, yet the ﾞ after it
  // is a character of its own.
  {"a mark after a trail byte stands alone", "Ωﾞ",  "゛",  ZK, 3, 0, 2, 1},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Case, SearchBufferCases, testing::ValuesIn(kCaseCases));
INSTANTIATE_TEST_SUITE_P(DoubleByte, SearchBufferCases, testing::ValuesIn(kDoubleByteCases));
INSTANTIATE_TEST_SUITE_P(Zenkaku, SearchBufferCases, testing::ValuesIn(kZenkakuCases));
INSTANTIATE_TEST_SUITE_P(Skip, SearchBufferCases, testing::ValuesIn(kSkipCases));
INSTANTIATE_TEST_SUITE_P(WholeWord, SearchBufferCases, testing::ValuesIn(kWholeWordCases));
INSTANTIATE_TEST_SUITE_P(Start, SearchBufferCases, testing::ValuesIn(kStartCases));
INSTANTIATE_TEST_SUITE_P(BackwardZenkaku, SearchBufferCases,
                         testing::ValuesIn(kBackwardZenkakuCases));

// Every hit of a pattern, walking forward from each previous hit and then
// backward from each previous hit's start.
std::vector<int32_t> AllHits(const std::string& text, const std::string& pattern,
                             TSearchOptions options) {
  std::vector<int32_t> hits;
  TSearchInfo info{0, 0};
  while (SearchBuffer(text, info, pattern, options | soDown))
    hits.push_back(info.Start);
  return hits;
}

TEST(SearchBuffer, NeverStartsOrEndsInsideADoubleByteCharacter) {
  // Every byte value appears as a trail byte here: 0x81 + each byte.
  std::string text;
  for (int b = 0x40; b <= 0xFC; ++b)
    text += std::string("\x81") + char(b);
  for (int b = 0x40; b <= 0xFC; ++b) {
    std::string single(1, char(b));
    EXPECT_TRUE(AllHits(text, single, soMatchCase).empty()) << b;
    if (!IsLeadByte(uint8_t(b))) { // else single + 0x81 is a character of its own
      EXPECT_TRUE(AllHits(text, single + "\x81", soMatchCase).empty()) << b;
    }
  }
  // Each character is found exactly once, at its own place.
  for (int b = 0x40; b <= 0xFC; ++b) {
    std::string ch = std::string("\x81") + char(b);
    EXPECT_EQ(AllHits(text, ch, soMatchCase), std::vector<int32_t>{2 * (b - 0x40)}) << b;
  }
}

TEST(SearchBuffer, BackwardSearchWalksEveryHitInReverse) {
  std::string text = J("ｶﾞx ガ　xｶﾞガ");
  std::vector<int32_t> back;
  TSearchInfo info{int32_t(text.size()), 0};
  while (SearchBuffer(text, info, J("ガ"), soNoMatchZenkaku)) {
    back.push_back(info.Start);
    info.Length = 0;
  }
  EXPECT_EQ(back, (std::vector<int32_t>{11, 9, 4, 0}));
  EXPECT_EQ(AllHits(text, J("ガ"), soNoMatchZenkaku), (std::vector<int32_t>{0, 4, 9, 11}));
}

TEST(SearchBuffer, TextNeedNotBeNulTerminated) {
  std::string text = "abcabc";
  TSearchInfo info{1, 0};
  EXPECT_FALSE(
      SearchBuffer(std::string_view(text).substr(0, 5), info, "abc", soDown | soMatchCase));
  info = {0, 0};
  std::string withNul("a\0bc", 4);
  EXPECT_TRUE(SearchBuffer(withNul, info, "bc", soDown));
  EXPECT_EQ(info.Start, 2);
}

TEST(SearchTables, FullWidthFormsThatDifferFromUnicodesOwn) {
  // ASCII forms the code page shows otherwise, kana punctuation, and
  // bytes that have no full-width form.
  const std::pair<int, uint16_t> forms[] = {
      {0x20, 0x8140}, {'"', 0x8168}, {'\'', 0x8166}, {'-', 0x817C},  {'\\', 0x818F}, {'`', 0x814D},
      {'|', 0x8162},  {'~', 0x8150}, {0xA1, 0x8142}, {0xA5, 0x8144}, {0xB0, 0x815B}, {0xDE, 0x814A},
      {0xDF, 0x814B}, {0x1F, 0x1F},  {0x7F, 0x7F},   {0xE0, 0xE0}};
  for (auto [byte, form] : forms)
    EXPECT_EQ(FullWidthTable[size_t(byte)], form) << byte;
}

TEST(SearchTables, FullWidthFormsAgreeWithUnicode) {
  // Letters, digits and the katakana as the code page converter sees them.
  for (int b = 0x21; b <= 0x7E; ++b) {
    if (std::string("\"'-\\`|~").find(char(b)) != std::string::npos) continue;
    std::u16string wide(1, char16_t(0xFF01 + b - 0x21));
    uint16_t sjis = FullWidthTable[b];
    EXPECT_EQ(Utf16ToCp932(wide), std::string({char(sjis >> 8), char(sjis & 0xFF)})) << b;
  }
  const char* kana = "ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
                     "ハヒフヘホマミムメモヤユヨラリルレロワン";
  std::string full = Utf8ToCp932(kana);
  for (int b = 0xA6; b <= 0xDD; ++b) {
    uint16_t sjis = FullWidthTable[b];
    size_t i = size_t(b - 0xA6) * 2;
    EXPECT_EQ(uint16_t(uint8_t(full[i]) << 8 | uint8_t(full[i + 1])), sjis) << b;
  }
}

TEST(SearchTables, VoicedKanaAndTheirMarks) {
  EXPECT_EQ(CombinedKana(0xB6, 0xDE), 0x834B); // ｶﾞ ガ
  EXPECT_EQ(CombinedKana(0xC4, 0xDE), 0x8368); // ﾄﾞ ド
  EXPECT_EQ(CombinedKana(0xC2, 0xDE), 0x8364); // ﾂﾞ ヅ
  EXPECT_EQ(CombinedKana(0xCA, 0xDE), 0x836F); // ﾊﾞ バ
  EXPECT_EQ(CombinedKana(0xCA, 0xDF), 0x8370); // ﾊﾟ パ
  EXPECT_EQ(CombinedKana(0xCE, 0xDF), 0x837C); // ﾎﾟ ポ
  EXPECT_EQ(CombinedKana(0xB3, 0xDE), 0x8394); // ｳﾞ ヴ
  EXPECT_EQ(CombinedKana(0xB6, 0xDF), 0);      // ｶﾟ has no single form
  EXPECT_EQ(CombinedKana(0xB1, 0xDE), 0);      // ｱﾞ neither
  EXPECT_EQ(CombinedKana(0xC5, 0xDE), 0);      // ﾅﾞ neither
  int voiced = 0;
  for (int b = 0; b < 256; ++b)
    voiced += VoicedKanaTable[b].CanVoice;
  EXPECT_EQ(voiced, 20);
}

TEST(SearchTables, WordDelimitersAndCaseFolding) {
  std::string words;
  for (int b = 0; b < 256; ++b)
    if (!WordDelimiters[b] && b < 0x80) words += char(b);
  EXPECT_EQ(words, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  EXPECT_TRUE(WordDelimiters['_']);
  EXPECT_TRUE(WordDelimiters[0x80]);
  EXPECT_TRUE(WordDelimiters[0xA5]);
  EXPECT_FALSE(WordDelimiters[0xA6]);
  EXPECT_FALSE(WordDelimiters[0x81]);
  EXPECT_FALSE(WordDelimiters[0xFC]);
  EXPECT_TRUE(WordDelimiters[0xFD]);
  EXPECT_EQ(UpperCaseSjis(J("aｂαё_ア")), J("AＢΑЁ_ア"));
  EXPECT_EQ(UpperTable[0xB1], 0xB1);
  // Both codes of the small Roman numeral one.
  EXPECT_EQ(DoubleByteCapital(0xEEEF), 0x8754);
  EXPECT_EQ(DoubleByteCapital(0xFA40), 0x8754);
  EXPECT_EQ(DoubleByteCapital(0xFA49), 0x875D);
  EXPECT_EQ(ToFullWidth(J("aｶﾞﾊﾟｶﾟ\t")), J("ａガパカ゜\t"));
}

} // namespace
} // namespace ze
