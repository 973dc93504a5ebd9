#include <gtest/gtest.h>

#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"
#include "text/CharHelpers.h"
#include "text/Columns.h"

namespace ze {
namespace {

using test::FakeView;
using test::Repeat;
using test::RowEnds;
using test::RowTexts;

const std::string kMaru = "\x81\x42";    // 。
const std::string kTen = "\x81\x41";     // 、
const std::string kKagi = "\x81\x75";    // 「
const std::string kKagiEnd = "\x81\x76"; // 」
const std::string kKan = "\x8A\xBF";     // 漢

struct WrapFixture : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorWrapOption& wo = *store->WrapOption();
  TEditorStringList rows;

  void SetUp() override { store->SetWordWrap(true); }
  void Split(const std::string& text) { store->SplitToRows(text, rows); }
};

TEST(Columns, AttributesOfTabsDoubleByteAndDelimiters) {
  TColumnSettings cs;
  cs.TabSpaceCount = 4;
  EXPECT_EQ(ColumnAttributes("a\tb", cs), "1233" "1");
  EXPECT_EQ(ColumnAttributes("ab\tc", cs), "11" "23" "1");
  EXPECT_EQ(ColumnAttributes(kKan + "x_,", cs), "45" "1" "1" "2");
  EXPECT_EQ(ColumnAttributes("\xB1\xA1", cs), "12"); // half-width kana is a word char, ｡ is not
  EXPECT_EQ(ColumnAttributes("a\x82", cs), "11");    // a lone lead byte is one column
  EXPECT_EQ(StrWidth("a\tb" + kKan, cs), 7);
  EXPECT_EQ(IndentWidth("  \t\x81\x40x", cs), 6);
  EXPECT_EQ(IndentWidth("", cs), -1);
  EXPECT_EQ(ExpandTabs("a\tb", cs), "a   b");
}

TEST(Columns, WrapCapsTabsAtTheWrapWidthAndStopsTheMapEarly) {
  TColumnSettings cs;
  cs.TabSpaceCount = 8;
  cs.WordWrap = true;
  cs.WrapByte = 20;
  std::string codes = ColumnAttributes(Repeat("x", 18) + "\t" + Repeat("y", 50), cs);
  EXPECT_EQ(codes.substr(18, 3), "231"); // the tab stops at column 20, not 24
  EXPECT_EQ(codes.size(), 23u);          // WrapByte + 3
  cs.WordWrap = false; // without wrap the map covers the whole row
  EXPECT_EQ(ColumnAttributes(Repeat("x", 1500) + "\t" + Repeat("y", 3000), cs).size(), 4504u);
}

TEST(AttributeArray, StepsOverTabFillersAndDoubleByteHalves) {
  TColumnSettings cs;
  cs.TabSpaceCount = 4;
  std::string text = "\tab" + kKan;
  TEditorAttributeArray a;
  a.Reset(text, ColumnAttributes(text, cs));
  EXPECT_EQ(a.Position(), 1);
  EXPECT_EQ(a.ByteCount(), 1);
  a.MoveTo(4); // last filler of the tab
  EXPECT_EQ(a.Code(), caTabFill);
  EXPECT_EQ(a.ByteCount(), 1);
  EXPECT_EQ(a.CurrentChar(), "\t");
  EXPECT_EQ(a.PeekNextChar(), "a");
  EXPECT_EQ(a.ByteCount(), 1); // peeking moves nothing
  a.MoveTo(7);                 // first half of 漢
  EXPECT_EQ(a.CurrentChar(), kKan);
  a.Next();
  EXPECT_EQ(a.CurrentChar(), kKan);
  a.StepBackChar(); // lands on 'b', never inside 漢
  EXPECT_EQ(a.CurrentChar(), "b");
  a.MoveTo(2);
  EXPECT_EQ(a.ByteCount(), 1); // back inside the tab: only the tab is covered
  a.MoveTo(1);
  EXPECT_EQ(a.ByteCount(), 1);
  a.MoveTo(100);
  EXPECT_EQ(a.Code(), caEnd);
  EXPECT_EQ(a.CurrentChar(), "");
}

TEST_F(WrapFixture, ExactWidthLineGetsAnEmptyRowUnlessFollowRetMark) {
  Split(Repeat("x", 80));
  EXPECT_EQ(RowTexts(rows), (std::vector<std::string>{Repeat("x", 80), ""}));
  EXPECT_EQ(RowEnds(rows), "WL");
  wo.SetFollowRetMark(true);
  Split(Repeat("x", 80));
  EXPECT_EQ(RowTexts(rows), (std::vector<std::string>{Repeat("x", 80)}));
  EXPECT_EQ(RowEnds(rows), "L");
  Split(Repeat("x", 79));
  EXPECT_EQ(RowEnds(rows), "L");
}

TEST_F(WrapFixture, DoubleByteCharacterAtTheEdgeMovesWhole) {
  Split(Repeat("x", 79) + kKan + "tail");
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(rows[0], Repeat("x", 79));
  EXPECT_EQ(rows[1], kKan + "tail");
  Split(Repeat(kKan, 60)); // 120 columns of kanji: 40 characters a row
  EXPECT_EQ(RowTexts(rows), (std::vector<std::string>{Repeat(kKan, 40), Repeat(kKan, 20)}));
}

TEST_F(WrapFixture, PunctuationHangsAtMostTwoColumns) {
  wo.SetFollowPunctuation(true);
  Split(Repeat("x", 80) + kMaru + "next");
  EXPECT_EQ(rows[0], Repeat("x", 80) + kMaru);
  EXPECT_EQ(rows[1], "next");
  Split(Repeat("x", 80) + ",,,z");
  EXPECT_EQ(rows[0], Repeat("x", 80) + ",,");
  EXPECT_EQ(rows[1], ",z");
  wo.SetFollowPunctuation(false);
  Split(Repeat("x", 80) + kMaru);
  EXPECT_EQ(rows[1], kMaru);
}

TEST_F(WrapFixture, LeadingKeepsOpeningAndClosingBracketsWithTheirText) {
  wo.SetLeading(true);
  // 「 would end the first row.
  Split(Repeat("x", 78) + kKagi + "word");
  EXPECT_EQ(rows[0], Repeat("x", 78));
  EXPECT_EQ(rows[1], kKagi + "word");
  // 」 would begin the second row: the cut moves back one character.
  Split(Repeat("x", 80) + kKagiEnd + "z");
  EXPECT_EQ(rows[0], Repeat("x", 79));
  EXPECT_EQ(rows[1], "x" + kKagiEnd + "z");
  // A run of 」 longer than the floor allows: the cut stops at column 64.
  Split(Repeat("x", 60) + Repeat(kKagiEnd, 30));
  EXPECT_EQ(StrWidth(rows[0].view(), store->ColumnSettings()), 64);
}

TEST_F(WrapFixture, LeadingNeverBeginsARowWithAClosingCharacterThatEndsTheLine) {
  wo.SetLeading(true);
  wo.SetFollowPunctuation(false);
  for (const std::string& closing : {std::string(")"), std::string("."), kKagiEnd, kMaru}) {
    const std::string line = Repeat("x", 80) + closing;
    Split(line);
    ASSERT_EQ(rows.Count(), 2) << closing;
    EXPECT_EQ(rows[0], Repeat("x", 79)) << closing;
    EXPECT_EQ(rows[1], "x" + closing) << closing;
    EXPECT_EQ(store->CountRows(line), rows.Count()) << closing;
  }
  // Without Leading the closing character may begin the row.
  wo.SetLeading(false);
  Split(Repeat("x", 80) + ")");
  EXPECT_EQ(rows[1], ")");
}

TEST_F(WrapFixture, WordBreakCutsAtTheLastBreakButNotBeforeAThird) {
  wo.SetWordBreak(true);
  Split(Repeat("word ", 20)); // 100 columns, a blank every five
  EXPECT_EQ(rows[0], Repeat("word ", 16));
  EXPECT_EQ(RowEnds(rows), "WL");
  Split(Repeat("a", 100));
  EXPECT_EQ(rows[0].size(), 26u);
  Split("abc " + Repeat(kKan, 50)); // double-byte characters are break points
  EXPECT_EQ(rows[0], "abc " + Repeat(kKan, 38));
}

TEST_F(WrapFixture, WrapByteIsClamped) {
  wo.SetWrapByte(10);
  EXPECT_EQ(wo.WrapByte(), 20);
  wo.SetWrapByte(300);
  EXPECT_EQ(wo.WrapByte(), 250);
}

TEST_F(WrapFixture, DefaultKinsokuStringsAreShiftJis) {
  EXPECT_TRUE(IncludesChar(kMaru, wo.FollowStr()));
  EXPECT_TRUE(IncludesChar(kKagiEnd, wo.FollowStr()));
  EXPECT_TRUE(IncludesChar("\xDF", wo.FollowStr())); // half-width semi-voiced mark
  EXPECT_TRUE(IncludesChar(kKagi, wo.LeadStr()));
  EXPECT_TRUE(IncludesChar(kTen, wo.PunctuationStr()));
  EXPECT_FALSE(IncludesChar("A", wo.FollowStr())); // 0x41 is a trail byte of 、 there
}

TEST_F(WrapFixture, CountRowsAgreesWithSplitToRows) {
  wo.SetFollowPunctuation(true);
  wo.SetLeading(true);
  for (const std::string& line : {Repeat("x", 79), Repeat("x", 80), Repeat("x", 200) + kMaru,
                                  Repeat(kKan + kKagi + "ab", 30)}) {
    Split(line);
    EXPECT_EQ(store->CountRows(line), rows.Count()) << line.size();
  }
}

TEST_F(WrapFixture, OptionChangeRewrapsAndDropsHistory) {
  store->ReplaceText(0, 0, Repeat("y", 100) + "\r\n");
  ASSERT_TRUE(store->UndoObj()->CanUndo());
  view.col = 7;
  wo.SetWrapByte(30);
  EXPECT_EQ(RowEnds(*store), "WWWL");
  EXPECT_FALSE(store->UndoObj()->CanUndo());
  EXPECT_EQ(view.col, 0);
  wo.SetFollowRetMark(true);
  EXPECT_EQ(RowEnds(*store), "WWWL");
}

} // namespace
} // namespace ze
