#include <gtest/gtest.h>

#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"

namespace ze {
namespace {

using test::FakeView;
using test::Repeat;
using test::RowEnds;
using test::RowTexts;

struct Store : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};

  std::string All() { return lines.Text().str(); }
};

TEST_F(Store, ReplaceTextInsertsSplitsAndJoinsRows) {
  lines.SetText("one\r\ntwo\r\nthree");
  EXPECT_EQ(RowEnds(*store), "LLE");
  store->ReplaceText(1, 1, "t\r\nwo\r\n"); // split a row
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"one", "t", "wo", "three"}));
  store->ReplaceText(1, 2, "two\r\n"); // join them again
  EXPECT_EQ(All(), "one\r\ntwo\r\nthree");
  store->ReplaceText(2, 1, "three\r\nfour"); // extend the last row
  EXPECT_EQ(All(), "one\r\ntwo\r\nthree\r\nfour");
  EXPECT_EQ(RowEnds(*store), "LLLE");
  store->ReplaceText(0, 0, "zero\r\n");
  EXPECT_EQ(store->Get(0), "zero");
  EXPECT_EQ(store->Count(), 5);
}

TEST_F(Store, ReplaceTextIgnoresBadRanges) {
  lines.SetText("a\r\nb\r\n");
  store->ReplaceText(-1, 0, "x");
  store->ReplaceText(1, 2, "x");
  store->ReplaceText(0, 0, "");
  EXPECT_EQ(All(), "a\r\nb\r\n");
  EXPECT_FALSE(store->UndoObj()->CanUndo());
}

TEST_F(Store, EndOfTextAttributeFollowsTheInsertedText) {
  store->ReplaceText(0, 0, "abc");
  EXPECT_EQ(RowEnds(*store), "E");
  store->ReplaceText(0, 1, "abc\r\n");
  EXPECT_EQ(RowEnds(*store), "L");
  EXPECT_EQ(All(), "abc\r\n");
}

TEST_F(Store, ChangeRegionReachesTheViewsAndIsClearedAfterwards) {
  lines.SetText("a\r\nb\r\nc\r\n");
  view.regions.clear();
  store->ReplaceText(1, 1, "b1\r\nb2\r\n");
  ASSERT_EQ(view.regions.size(), 1u);
  EXPECT_EQ(view.regions[0].StartRow, 1); // row 0 ends its own line
  EXPECT_EQ(view.regions[0].OldRowCount, 2);
  EXPECT_EQ(view.regions[0].NewRowCount, 3);
  EXPECT_FALSE(store->ChangeRegion().Pending);
}

TEST_F(Store, WholeLineDeletionMovesMarksToTheRowThatTakesTheirPlace) {
  lines.SetText("a\r\nb\r\nc\r\nd\r\n");
  store->SetRowMarks(1, 1u << 3);
  store->SetRowMarks(2, 1u << 4);
  store->IncludeRowMarks((1u << 3) | (1u << 4) | 1u);
  store->ReplaceText(1, 2, "");
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"a", "d"}));
  EXPECT_EQ(store->RowMarks(1), (1u << 3) | (1u << 4));
  store->ReplaceText(0, 2, ""); // everything: the marks are no longer used
  EXPECT_EQ(store->Count(), 0);
  EXPECT_EQ(store->UsedRowMarks(), 1u);
}

TEST_F(Store, SplittingARowAtItsFirstColumnKeepsTheMarkWithItsText) {
  lines.SetText("abc\r\n");
  store->SetRowMarks(0, 1);
  view.col = 0;
  store->ReplaceText(0, 1, "\r\nabc\r\n"); // Enter at column 0
  EXPECT_EQ(store->RowMarks(0), 0);
  EXPECT_EQ(store->RowMarks(1), 1);
  view.col = 2;
  store->ReplaceText(1, 1, "ab\r\nc\r\n"); // Enter inside the row
  EXPECT_EQ(store->RowMarks(1), 1);
  EXPECT_EQ(store->RowMarks(2), 0);
}

TEST_F(Store, CaretsPastTheEndArePulledBack) {
  lines.SetText("a\r\nb\r\nc");
  view.row = 2;
  view.top = 2;
  store->ReplaceText(0, 2, "");
  EXPECT_EQ(view.row, 0); // one row left, and it ends the text
  EXPECT_EQ(view.top, 0);
}

TEST_F(Store, TypingInAWrappedLineRewrapsFromThePreviousRow) {
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(20);
  lines.SetText(Repeat("abcd ", 8) + "\r\n"); // 40 columns: two rows and an empty one
  EXPECT_EQ(RowEnds(*store), "WWL");
  view.regions.clear();
  // Delete the first character of row 1: rewrapping starts at row 0.
  store->ReplaceText(1, 1, store->Get(1).Mid(1));
  EXPECT_EQ(view.regions.at(0).StartRow, 0);
  EXPECT_EQ(store->Get(0), Repeat("abcd ", 4));
  EXPECT_EQ(All(), Repeat("abcd ", 4) + "bcd " + Repeat("abcd ", 3) + "\r\n");
}

TEST_F(Store, EqualWrapOptionsKeepTheHistoryOtherOnesRewrap) {
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(20);
  lines.SetText(Repeat("abcd ", 8) + "\r\n");
  store->ReplaceText(0, 1, "x" + store->Get(0).str());
  ASSERT_TRUE(store->UndoObj()->CanUndo());
  const std::string wrapped = RowEnds(*store);
  ASSERT_GT(wrapped.size(), 1u);
  // The same options handed over again, as every view of the text gets
  // them: nothing to rewrap, the history stays.
  auto same = std::make_unique<TEditorWrapOption>();
  same->CopyFrom(store->WrapOption());
  store->WrapOption()->CopyFrom(same.get());
  EXPECT_TRUE(store->UndoObj()->CanUndo());
  EXPECT_EQ(RowEnds(*store), wrapped);
  // A wider width does rewrap, and the old records would point at rows
  // that are gone.
  auto wider = std::make_unique<TEditorWrapOption>();
  wider->CopyFrom(same.get());
  wider->SetWrapByte(100);
  store->WrapOption()->CopyFrom(wider.get());
  EXPECT_EQ(store->WrapOption()->WrapByte(), 100);
  EXPECT_EQ(RowEnds(*store), "L");
  EXPECT_EQ(All(), "x" + Repeat("abcd ", 8) + "\r\n");
  EXPECT_FALSE(store->UndoObj()->CanUndo());
}

TEST_F(Store, WrapOffAndOnAgainGivesTheSameRowsAndUnitesMarks) {
  lines.SetText(Repeat("x", 200) + "\r\nshort\r\n" + Repeat("y", 90));
  store->SetWordWrap(true);
  auto wrapped = RowTexts(*store);
  std::string ends = RowEnds(*store);
  EXPECT_EQ(ends, "WWLLWE");
  store->SetRowMarks(1, 2);
  store->SetRowMarks(2, 4);
  store->SetWordWrap(false);
  EXPECT_EQ(RowEnds(*store), "LLE");
  EXPECT_EQ(store->RowMarks(0), 6);
  store->SetWordWrap(true);
  EXPECT_EQ(RowTexts(*store), wrapped);
  EXPECT_EQ(RowEnds(*store), ends);
  EXPECT_EQ(store->RowMarks(0), 6); // united on the first row
  EXPECT_EQ(store->RowMarks(1), 0);
}

TEST_F(Store, RecolouringStopsWhereTheSavedStateMatches) {
  view.initBracketsFull = true;
  std::string text;
  for (int i = 0; i < 50; ++i) text += "row\r\n";
  lines.SetText(text);
  EXPECT_EQ(store->BracketIndex(49), -1);
  view.invalidated.clear();
  view.parseCalls = 0;
  store->ReplaceText(10, 1, "row x\r\n"); // no brace: only the edited row changes
  EXPECT_LE(view.parseCalls, 3);
  store->ReplaceText(10, 1, "{\r\n"); // opens a span: rows below change state
  EXPECT_EQ(store->BracketIndex(11), 0);
  EXPECT_EQ(store->BracketIndex(20), 0);
  // Never more than two screens (2 x 10 rows) past the edit; the rest waits.
  EXPECT_EQ(store->BracketIndex(40), -2);
  store->ReplaceText(15, 1, "}\r\n");
  EXPECT_EQ(store->BracketIndex(16), -1);
}

TEST_F(Store, ReparseAllColoursTheFirstScreensOnly) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "{\r\n";
  lines.SetText(text);
  EXPECT_EQ(store->BracketIndex(0), -1);
  EXPECT_EQ(store->BracketIndex(1), 0);
  EXPECT_EQ(store->BracketIndex(20), 0);
  EXPECT_EQ(store->BracketIndex(21), -2);
  view.initBracketsFull = true;
  store->ReparseAll();
  EXPECT_EQ(store->BracketIndex(99), 0);
}

TEST_F(Store, ColouringFarBelowContinuesFromTheColouredPrefix) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += (i % 7 == 0 ? "{\r\n" : i % 7 == 3 ? "}\r\n" : "x\r\n");
  lines.SetText(text);
  auto expected = [](int row) { return row % 7 >= 1 && row % 7 <= 3 ? 0 : -1; };
  store->ReparseFrom(250, false); // as painting a far row does
  for (int r = 0; r <= 250; ++r) ASSERT_EQ(store->BracketIndex(r), expected(r)) << r;
  EXPECT_EQ(store->BracketIndex(299), -2); // past two screens: left for later
  // Seven rows inserted near the top keep the pattern; colouring again far
  // below must not trust the rows that moved.
  store->ReplaceText(7, 0, "{\r\nx\r\nx\r\n}\r\nx\r\nx\r\nx\r\n");
  store->ReparseFrom(290, false);
  for (int r = 0; r <= 290; ++r) ASSERT_EQ(store->BracketIndex(r), expected(r)) << r;
  // A deletion near the top, then colouring far below again.
  store->ReplaceText(0, 7, "");
  store->ReparseFrom(280, false);
  for (int r = 0; r <= 280; ++r) ASSERT_EQ(store->BracketIndex(r), expected(r)) << r;
}

TEST_F(Store, ClearEmptiesEverything) {
  lines.SetText("a\r\nb");
  store->SetRowMarks(0, 1);
  store->IncludeRowMarks(1);
  view.row = 1;
  view.col = 1;
  store->Clear();
  EXPECT_EQ(store->Count(), 0);
  EXPECT_EQ(store->UsedRowMarks(), 0);
  EXPECT_EQ(view.row, 0);
  EXPECT_EQ(view.col, 0);
  EXPECT_FALSE(store->UndoObj()->CanUndo());
}

TEST_F(Store, SharedStoreTellsEveryView) {
  FakeView second(*store);
  second.focused = false;
  lines.SetText("a\r\n");
  int before = second.changes;
  store->ReplaceText(0, 1, "b\r\n");
  EXPECT_GT(second.changes, before);
  EXPECT_EQ(store->FocusedEditor(), &view);
  view.focused = false;
  EXPECT_EQ(store->FocusedEditor(), &view); // nobody focused: the first
  second.focused = true;
  EXPECT_EQ(store->FocusedEditor(), &second);
}

TEST_F(Store, NulBytesInARowSurviveEdits) {
  store->ReplaceText(0, 0, std::string("a\0b\r\n", 5));
  store->ReplaceText(0, 1, std::string("a\0bc\r\n", 6));
  EXPECT_EQ(store->Get(0), std::string("a\0bc", 4));
}

} // namespace
} // namespace ze
