#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace ze {
namespace {

TEST(CodePage, LeadByteTableHasExactlyTheTwoRanges) {
  int count = 0;
  for (int b = 0; b < 256; ++b) count += IsLeadByte(static_cast<unsigned char>(b));
  EXPECT_EQ(count, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
  EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0x80)));
  EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x81)));
  EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0x9F)));
  EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xA0)));
  EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xDF))); // half-width katakana
  EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xE0)));
  EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(0xFC)));
  EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(0xFD)));
}

TEST(CodePage, UpperCasingTouchesAsciiLettersOnly) {
  EXPECT_EQ(UpperByte('a'), 'A');
  EXPECT_EQ(UpperByte('z'), 'Z');
  EXPECT_EQ(UpperByte('A'), 'A');
  EXPECT_EQ(UpperByte('{'), '{');
  EXPECT_EQ(UpperByte(0xE1), 0xE1); // not Latin-1
  EXPECT_EQ(LowerByte('Q'), 'q');
  EXPECT_EQ(LowerByte(0xC1), 0xC1);
}

TEST(CodePage, ConvertsJapaneseBothWays) {
  // "あ漢ｱ" + backslash and tilde, which CP932 keeps as ASCII.
  std::string sjis = "\x82\xA0\x8A\xBF\xB1\\~";
  std::string utf8 = "あ漢ｱ\\~";
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToCp932(utf8), sjis);
  EXPECT_EQ(Cp932ToUtf16(sjis), u"あ漢ｱ\\~");
  EXPECT_EQ(Utf16ToCp932(u"あ漢ｱ\\~"), sjis);
}

TEST(CodePage, LongTextCrossesTheConversionBuffer) {
  std::string sjis, utf8;
  for (int i = 0; i < 5000; ++i) {
    sjis += "\x83\x41x"; // "アx": trail byte 0x41 is 'A'
    utf8 += "アx";
  }
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToCp932(utf8), sjis);
}

TEST(CodePage, InvalidBytesBecomeVisibleReplacementsAndNothingIsLost) {
  // A lone lead byte at the end, an undefined single byte, a lead byte
  // with an impossible trail byte: each bad byte gives one U+FFFD and the
  // text after it survives.
  EXPECT_EQ(Cp932ToUtf16("ab\x81"), u"ab\uFFFD");
  EXPECT_EQ(Cp932ToUtf16("\xFD" "cd"), u"\uFFFDcd");
  EXPECT_EQ(Cp932ToUtf16("\x81 x\x82\xA0"), u"\uFFFD xあ");
  EXPECT_EQ(Cp932ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(CodePage, CharactersCp932CannotHoldAreReplacedNotDropped) {
  EXPECT_EQ(Utf8ToCp932("café"), "caf?");
  // A character outside the BMP is one replacement, not two.
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf16ToCp932(u"x\u00E9\u00E9y"), "x??y");
  // Broken UTF-8 and a lone surrogate do not stop the conversion.
  EXPECT_EQ(Utf8ToCp932("a\xC3" "b"), "a?b");
  EXPECT_EQ(Utf16ToCp932(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
}

TEST(CodePage, OverlongUtf8IsInvalidLikeAnyBrokenSequence) {
  // "/", NUL and "A" spelt with more bytes than they need; each byte
  // becomes a replacement, never the character.
  EXPECT_EQ(Utf8ToCp932("a\xC0\xAF" "b"), "a??b");
  EXPECT_EQ(Utf8ToCp932(std::string("\xC0\x80", 2)), "??");
  EXPECT_EQ(Utf8ToCp932("\xC1\x81"), "??");
  EXPECT_EQ(Utf8ToCp932("\xE0\x80\xAF"), "???");
  EXPECT_EQ(Utf8ToCp932("\xE0\x81\x81"), "???");
  EXPECT_EQ(Utf8ToCp932("\xF0\x80\x80\xAF"), "????");
  EXPECT_EQ(Utf8ToCp932("\xF0\x8F\xBF\xBF"), "????"); // U+FFFF in four bytes
  // The shortest forms at each boundary are still read.
  EXPECT_EQ(Utf8ToCp932("\x7F"), "\x7F");
  EXPECT_EQ(Utf8ToCp932("\xE3\x81\x82"), "\x82\xA0"); // あ, three bytes
  EXPECT_EQ(Utf8ToCp932("\xEF\xBD\xB1"), "\xB1");     // half-width ｱ
  EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80"), "?");     // one character, four bytes
}

TEST(CodePage, CharLengthAtDoesNotRunPastTheEnd) {
  std::string s = "a\x82\xA0\x82";
  EXPECT_EQ(CharLengthAt(s, 0), 1);
  EXPECT_EQ(CharLengthAt(s, 1), 2);
  EXPECT_EQ(CharLengthAt(s, 3), 1);
}

} // namespace
} // namespace ze
