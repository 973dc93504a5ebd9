#include "app/commands/LineCommands.h"
#include "app/commands/MarkCommands.h"
#include "tests/commands/CommandsFixture.h"

namespace ze {
namespace {

struct LineCommands : test::CommandsFixture {};

TEST_F(LineCommands, LineUpExchangesWithTheLineAboveAndKeepsTheCaretPosition) {
  Load("one|two|three|");
  e.SetRowCol(2, 3); // thr|ee
  LineUp(&e);
  EXPECT_EQ(Text(), "one|three|two|");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 3);
  LineUp(&e);
  EXPECT_EQ(Text(), "three|one|two|");
  EXPECT_EQ(e.Row(), 0);
  LineUp(&e); // row 0: nothing
  EXPECT_EQ(Text(), "three|one|two|");
  // One undo step per exchange.
  e.Undo();
  EXPECT_EQ(Text(), "one|three|two|");
  e.Undo();
  EXPECT_EQ(Text(), "one|two|three|");
}

TEST_F(LineCommands, LineUpCountsTheCaretInBytesNotColumns) {
  Load("\tab|xyz|");
  e.SetRowCol(0, 9); // after the tab and "a": byte 2
  LineDown(&e);
  EXPECT_EQ(Text(), "xyz|\tab|");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.CaretPos(), 2);
}

TEST_F(LineCommands, LineDownOnTheSecondToLastLineKeepsAMissingFinalLineBreak) {
  Load("a|bb|ccc");
  e.SetRowCol(1, 1);
  LineDown(&e);
  EXPECT_EQ(Text(), "a|ccc|bb");
  EXPECT_EQ(e.Row(), 2);
  EXPECT_EQ(e.Col(), 1);
  // With the final line break it stays too.
  Load("a|bb|ccc|");
  e.SetRowCol(1, 0);
  LineDown(&e);
  EXPECT_EQ(Text(), "a|ccc|bb|");
}

TEST_F(LineCommands, LineDownOnTheLastLineOpensAnEmptyLineAboveIt) {
  Load("a|last");
  e.SetRowCol(1, 2);
  LineDown(&e);
  EXPECT_EQ(Text(), "a||last");
  EXPECT_EQ(e.Row(), 2);
  EXPECT_EQ(e.Col(), 2);
}

TEST_F(LineCommands, LineDownOnAnEmptyRowDoesNothing) {
  Load("a||b");
  e.SetRowCol(1, 0);
  LineDown(&e);
  EXPECT_EQ(Text(), "a||b");
  EXPECT_FALSE(e.CanUndo());
}

TEST_F(LineCommands, TheRowAfterAFinalLineBreakIsLeftAlone) {
  Load("a|b|");
  e.SetRowCol(2, 0);
  ASSERT_EQ(e.Row(), 2); // the row after the final line break
  TDocumentViews v = Views();
  LineUp(&e);
  LineDown(&e);
  DuplicateLine(&e);
  DeleteLine(v);
  DeleteToLineHead(v);
  DeleteToLineEnd(v);
  ToggleBookmark(v, 1);
  ToggleJumpMark(v, 1);
  EXPECT_EQ(Text(), "a|b|");
  EXPECT_FALSE(e.CanUndo());
  EXPECT_FALSE(HasBookmark(e));
  EXPECT_FALSE(HasJumpMark(e));
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(LineCommands, LineCommandsDoNothingWithWordWrapOrReadOnly) {
  Load("one|two|three|");
  e.SetRowCol(1, 1);
  e.SetWordWrap(true);
  TDocumentViews v = Views();
  LineUp(&e);
  LineDown(&e);
  DuplicateLine(&e);
  DeleteLine(v);
  DeleteToLineHead(v);
  DeleteToLineEnd(v);
  EXPECT_EQ(Text(), "one|two|three|");
  e.SetWordWrap(false);
  e.SetReadOnly(true);
  LineUp(&e);
  LineDown(&e);
  DuplicateLine(&e);
  DeleteLine(v);
  DeleteToLineHead(v);
  DeleteToLineEnd(v);
  EXPECT_EQ(Text(), "one|two|three|");
}

TEST_F(LineCommands, ExchangedLinesTakeTheirMarksAlong) {
  Load("one|two|three|");
  e.PutRowMark(0, 11); // bookmark 2 on "one"
  e.PutRowMark(1, 4);  // jump mark 5 on "two"
  e.SetRowCol(1, 0);
  LineUp(&e);
  EXPECT_EQ(Text(), "two|one|three|");
  EXPECT_EQ(e.GetRowMarks(0), 1 << 4);
  EXPECT_EQ(e.GetRowMarks(1), 1 << 11);
  e.SetRowCol(1, 0);
  LineDown(&e);
  EXPECT_EQ(Text(), "two|three|one|");
  EXPECT_EQ(e.GetRowMarks(2), 1 << 11);
  EXPECT_EQ(e.GetRowMarks(1), 0);
}

TEST_F(LineCommands, DuplicateLinePutsTheCopyBelowAndTheCaretOnIt) {
  Load("a|" + std::string("\x8A\xBF") + "x|b");
  e.SetRowCol(1, 2); // after the kanji
  e.PutRowMark(1, 2);
  DuplicateLine(&e);
  EXPECT_EQ(Text(), "a|\x8A\xBFx|\x8A\xBFx|b");
  EXPECT_EQ(e.Row(), 2);
  EXPECT_EQ(e.Col(), 2);
  EXPECT_EQ(e.GetRowMarks(1), 1 << 2);
  EXPECT_EQ(e.GetRowMarks(2), 0);
  // The last line without a line break stays without one.
  e.SetRowCol(3, 1);
  DuplicateLine(&e);
  EXPECT_EQ(Text(), "a|\x8A\xBFx|\x8A\xBFx|b|b");
  EXPECT_EQ(e.Row(), 4);
  e.Undo();
  EXPECT_EQ(Text(), "a|\x8A\xBFx|\x8A\xBFx|b");
}

TEST_F(LineCommands, DeleteToLineHeadAndEndKeepTheLineBreak) {
  Load("hello world|next|");
  e.SetRowCol(0, 6);
  DeleteToLineHead(Views());
  EXPECT_EQ(Text(), "world|next|");
  EXPECT_EQ(e.Col(), 0);
  DeleteToLineHead(Views()); // column 0: nothing
  EXPECT_EQ(Text(), "world|next|");
  e.SetRowCol(0, 2);
  DeleteToLineEnd(Views());
  EXPECT_EQ(Text(), "wo|next|");
  EXPECT_EQ(e.Col(), 2);
  DeleteToLineEnd(Views()); // at the row end: nothing
  EXPECT_EQ(Text(), "wo|next|");
}

TEST_F(LineCommands, DeletingAWholeRowTextRemovesItsMarks) {
  Load("abc|def|");
  e.PutRowMark(0, 10);
  e.PutRowMark(0, 3);
  e.PutRowMark(1, 12);
  UpdateMarkColumn(Views());
  ASSERT_TRUE(e.Imagebar()->Visible());
  e.SetRowCol(0, 3);
  DeleteToLineHead(Views());
  EXPECT_EQ(Text(), "|def|");
  EXPECT_EQ(e.GetRowMarks(0), 0);
  EXPECT_TRUE(e.Imagebar()->Visible()); // bookmark 3 remains on "def"
  e.SetRowCol(1, 0);
  DeleteToLineEnd(Views());
  EXPECT_EQ(Text(), "||");
  EXPECT_FALSE(HasBookmark(e));
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(LineCommands, DeleteToLineHeadWithTheCaretPastTheEndDeletesOnlyThatRow) {
  e.Caret()->SetFreeCaret(true);
  Load("abc|def|");
  e.SetRowCol(0, 7);
  ASSERT_EQ(e.Col(), 7);
  DeleteToLineHead(Views());
  EXPECT_EQ(Text(), "|def|");
}

TEST_F(LineCommands, DeleteLineRemovesTheRowButNotAnEmptyOne) {
  Load("a|b||c");
  e.SetRowCol(1, 0);
  e.PutRowMark(1, 13);
  DeleteLine(Views());
  EXPECT_EQ(Text(), "a||c");
  EXPECT_FALSE(HasBookmark(e));
  e.SetRowCol(1, 0);
  DeleteLine(Views());
  EXPECT_EQ(Text(), "a||c");
  e.SetRowCol(2, 0); // the last line, without a line break of its own
  DeleteLine(Views());
  EXPECT_EQ(Text(), "a||");
}

} // namespace
} // namespace ze
