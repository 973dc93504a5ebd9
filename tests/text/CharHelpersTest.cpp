#include "text/CharHelpers.h"

#include <gtest/gtest.h>

namespace ze {
namespace {

// "a漢ア" : a, 0x8A 0xBF, 0x83 0x41 (the last trail byte is 'A')
const std::string kMixed = "a\x8A\xBF\x83\x41";

TEST(CharHelpers, LeadAndTrailAreFoundByWalkingFromTheStart) {
  EXPECT_FALSE(IsLeadByteAt(kMixed, 1));
  EXPECT_TRUE(IsLeadByteAt(kMixed, 2));
  EXPECT_FALSE(IsLeadByteAt(kMixed, 3));
  EXPECT_TRUE(IsTrailByteAt(kMixed, 3));
  EXPECT_TRUE(IsLeadByteAt(kMixed, 4));
  EXPECT_TRUE(IsTrailByteAt(kMixed, 5));
  EXPECT_FALSE(IsLeadByteAt(kMixed, 6));
  EXPECT_FALSE(IsTrailByteAt(kMixed, 6));
  EXPECT_FALSE(IsLeadByteAt(kMixed, 0));
  // Two kanji, the first with a trail byte (0x9F) inside the lead range:
  // only a walk from the start tells that byte 2 is a trail byte.
  std::string s = "\x88\x9F\x9F\x40";
  EXPECT_TRUE(IsTrailByteAt(s, 2));
  EXPECT_FALSE(IsLeadByteAt(s, 2));
  EXPECT_TRUE(IsLeadByteAt(s, 3));
}

TEST(CharHelpers, LoneLeadByteAtTheEnd) {
  std::string s = "ab\x82";
  EXPECT_TRUE(IsLeadByteAt(s, 3));
  EXPECT_FALSE(IsTrailByteAt(s, 4));
}

TEST(CharHelpers, ByteAtAndCountByte) {
  EXPECT_EQ(ByteAt("abc", 1), 'a');
  EXPECT_EQ(ByteAt("abc", 3), 'c');
  EXPECT_EQ(ByteAt("abc", 0), 0);
  EXPECT_EQ(ByteAt("abc", 4), 0);
  EXPECT_EQ(CountByte("a\tb\t\tc", '\t', 100), 3);
  EXPECT_EQ(CountByte("a\tb\t\tc", '\t', 3), 1);
  EXPECT_EQ(CountByte("a\tb", '\t', -1), 0);
}

TEST(CharHelpers, IncludesCharOnlyAtCharacterBoundaries) {
  EXPECT_TRUE(IncludesChar("a", kMixed));
  EXPECT_TRUE(IncludesChar("\x83\x41", kMixed));
  EXPECT_TRUE(IncludesChar("\x8A\xBF", kMixed));
  // 'A' is the trail byte of ア, not a character of the list.
  EXPECT_FALSE(IncludesChar("A", kMixed));
  EXPECT_FALSE(IncludesChar("\xBF\x83", kMixed)); // straddles two characters
  EXPECT_FALSE(IncludesChar("", kMixed));
  EXPECT_FALSE(IncludesChar("ab", "a"));
  EXPECT_TRUE(IncludesChar(",", " ,.;"));
}

TEST(CharHelpers, SplitLinesCutsAtEveryKindOfLineEnd) {
  TStringList list;
  SplitLines("a\rb", list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "a");
  EXPECT_EQ(list[1], "b");

  SplitLines("abc\r\n", list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "abc");

  SplitLines("abc\r\n\r\n", list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1], "");

  SplitLines("x\ny\r\nz", list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[2], "z");

  SplitLines("", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(CharHelpers, SplitLinesNotifiesOnceAndKeepsDoubleByteText) {
  TStringList list;
  list.Add("old");
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  SplitLines("\x82\xA0\r\n\x8A\xBF", list);
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "\x82\xA0");
  EXPECT_EQ(list[1], "\x8A\xBF");
}

} // namespace
} // namespace ze
