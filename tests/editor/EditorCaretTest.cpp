#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

const std::string kKan = "\x8A\xBF"; // 漢

struct Metrics : EditorFixture {};

TEST_F(Metrics, FormulasFollowTheBarsAndMargins) {
  EXPECT_EQ(e.ColWidth(), 8);
  EXPECT_EQ(e.CharHeight(), 16);
  EXPECT_EQ(e.RowHeight(), 16);
  EXPECT_EQ(e.TextLeft(), 19 + 12);
  EXPECT_EQ(e.TextTop(), 2);
  EXPECT_EQ(e.RowCount(), (480 - 2 - 5) / 16);
  EXPECT_EQ(e.ColCount(), (640 - 31 - 4) / 8);

  e.Ruler()->SetVisible(true); // 11 high with its edge
  EXPECT_EQ(e.TextTop(), 2 + 11);
  e.Ruler()->SetEdge(false);
  EXPECT_EQ(e.TextTop(), 2 + 10);
  e.Leftbar()->SetVisible(true); // 8 + 4 digits * 8 + 4 + 2
  EXPECT_EQ(e.TextLeft(), 19 + 12 + 46);
  e.Imagebar()->SetVisible(false);
  EXPECT_EQ(e.TextLeft(), 19 + 46);
  e.Margin()->SetLine(4);
  EXPECT_EQ(e.RowHeight(), 20);
  e.Marks()->Underline()->SetVisible(true); // one more pixel for the underline
  EXPECT_EQ(e.RowHeight(), 21);
  EXPECT_EQ(e.RowCount(), (480 - 12 - 5) / 21);
  e.SetScrollBars(ssBoth);
  EXPECT_EQ(e.RowCount(), (480 - 12 - 5 - 17) / 21);
  EXPECT_EQ(e.ColCount(), (640 - 19 - 46 - 4 - 17) / 8);
}

TEST_F(Metrics, LeftBarGrowsWithTheLineNumbers) {
  e.Leftbar()->SetVisible(true);
  std::string text;
  for (int i = 0; i < 12345; ++i) text += "x\r\n";
  SetText(text);
  EXPECT_EQ(e.LeftbarDigits(), 5); // 12346 lines with the one after the last break
  e.Leftbar()->SetColumn(7);
  EXPECT_EQ(e.LeftbarDigits(), 7);
}

struct Caret : EditorFixture {};

TEST_F(Caret, NeverRestsInsideADoubleByteCharacterOrATab) {
  SetText("a" + kKan + "\tb\r\nxyz\r\n");
  e.SetRowCol(0, 2); // second half of 漢
  EXPECT_EQ(e.Col(), 1);
  e.SetCol(2); // reached moving right: on to the next character
  EXPECT_EQ(e.Col(), 3);
  e.SetRowCol(0, 5); // inside the tab (columns 3..7): to its own column
  EXPECT_EQ(e.Col(), 3);
  e.SetCol(4); // moving right through a tab
  EXPECT_EQ(e.Col(), 8);
  e.SetCol(7); // moving left into it
  EXPECT_EQ(e.Col(), 3);
  e.Caret()->SetInTab(true);
  e.SetRowCol(0, 5);
  EXPECT_EQ(e.Col(), 5);
}

TEST_F(Caret, FreeCaretOffClampsToTheRowEnd) {
  SetText("0123456789012345678901234\r\nabcde\r\n" + std::string(30, 'z') + "\r\n");
  e.Caret()->SetFreeCaret(false);
  e.SetRowCol(0, 20);
  e.SetRow(1);
  EXPECT_EQ(e.Col(), 5);
  e.SetRow(2);
  EXPECT_EQ(e.Col(), 5); // without KeepCaret the column is forgotten

  e.Caret()->SetKeepCaret(true);
  e.SetRowCol(0, 20);
  e.SetRow(1);
  EXPECT_EQ(e.Col(), 5);
  e.SetRow(2);
  EXPECT_EQ(e.Col(), 20); // remembered

  e.Caret()->SetKeepCaret(false);
  e.Caret()->SetFreeRow(true);
  e.SetRowCol(0, 20);
  e.SetRow(1);
  EXPECT_EQ(e.Col(), 20); // vertical moves keep it past the end
  e.SetCol(e.Col() - 1);  // a horizontal move clamps
  EXPECT_EQ(e.Col(), 5);
}

TEST_F(Caret, FreeCaretAllowsColumnsPastTheEndButNotPastTheExtent) {
  SetText("ab\r\n" + std::string(3000, 'x') + "\r\n");
  e.SetCol(50);
  EXPECT_EQ(e.Col(), 50);
  e.SetCol(5000);
  EXPECT_EQ(e.Col(), 1000); // no longer row seen yet
  e.SetRowCol(1, 0);        // visiting the long row widens the extent
  e.SetRowCol(0, 5000);
  EXPECT_EQ(e.Col(), 3000);
}

TEST_F(Caret, RowAfterAFinalLineBreakOnlyWhenThereIsOne) {
  SetText("a\r\nb\r\n");
  e.SetRow(99);
  EXPECT_EQ(e.Row(), 2);
  SetText("a\r\nb");
  e.SetRow(99);
  EXPECT_EQ(e.Row(), 1);
}

TEST_F(Caret, WrappedRowEndIsNotACaretPosition) {
  e.WrapOption()->SetWrapByte(20);
  e.SetWordWrap(true);
  SetText(std::string(30, 'w') + "\r\n");
  e.SetRowCol(0, 25);
  EXPECT_EQ(e.Col(), 19); // the last column of the wrapped row
  e.SetRowCol(1, 15);
  EXPECT_EQ(e.Col(), 15); // free caret on the last row of the line
}

TEST_F(Caret, OffsetsCountLineBreaksAndTabColumns) {
  SetText("ab\r\n\tc\r\nlast");
  EXPECT_EQ(e.CharOffset(0, 1, 8), 4 + 1); // the tab is one character
  e.SetCaretByOffset(0, 6);               // "ab\r\n\tc" -> after c
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 9);
  e.SetCaretByOffset(0, 1000); // past the end: the end of the last row
  EXPECT_EQ(e.Row(), 2);
  EXPECT_EQ(e.Col(), 4);
}

TEST_F(Caret, PointToRowAndColumn) {
  SetText("abc\r\n");
  int row, col;
  e.PosToRowCol(X(2) + 3, Y(0) + 5, row, col, false);
  EXPECT_EQ(row, 0);
  EXPECT_EQ(col, 2);
  e.PosToRowCol(X(2) + 5, Y(1), row, col, true); // nearer the next boundary
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 1);
  e.PosToRowCol(0, 0, row, col, false);
  EXPECT_EQ(col, 0);
  EXPECT_EQ(row, 0); // a little above the text still gives the top row
}

TEST_F(Caret, FocusCreatesShowsAndDestroysTheSystemCaret) {
  SetText("hello\r\n");
  EXPECT_FALSE(host.caret.Exists);
  Focus();
  EXPECT_TRUE(host.caret.Exists);
  EXPECT_TRUE(host.caret.Visible);
  EXPECT_EQ(host.caret.Width, 2);
  EXPECT_EQ(host.caret.Height, 16);
  e.SetCol(3);
  EXPECT_EQ(host.caret.X, X(3));
  EXPECT_EQ(host.caret.Y, Y(0));
  e.SetOverWrite(true);
  EXPECT_EQ(host.caret.Width, 8);
  e.FocusOut();
  EXPECT_FALSE(host.caret.Exists);
}

TEST_F(Caret, BriefCaretIsAnUnderscoreAndWideOnDoubleByteInOverwrite) {
  SetText(kKan + "\r\n");
  Focus();
  e.Caret()->SetStyle(csBrief);
  EXPECT_EQ(host.caret.Height, 2);
  EXPECT_EQ(host.caret.Y, Y(0) + 16 - 2);
  e.SetOverWrite(true);
  EXPECT_EQ(host.caret.Width, 16);
  EXPECT_EQ(host.caret.Height, 16);
}

TEST_F(Caret, CaretUpdateBracketsNest) {
  SetText("x\r\n");
  Focus();
  e.CaretBeginUpdate();
  e.CaretBeginUpdate();
  EXPECT_FALSE(host.caret.Visible);
  e.CaretEndUpdate();
  EXPECT_FALSE(host.caret.Visible);
  e.CaretEndUpdate();
  EXPECT_TRUE(host.caret.Visible);
  e.CaretEndUpdate(); // never below zero
  EXPECT_TRUE(host.caret.Visible);
}

struct Scrolling : EditorFixture {};

TEST_F(Scrolling, ScrollCaretKeepsTheCaretInViewAndJumpsAQuarter) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += std::string(300, 'x') + "\r\n";
  SetText(text);
  Focus();
  e.SetRow(50);
  EXPECT_EQ(e.TopRow(), 50 - e.RowCount() + 1);
  e.SetRow(10);
  EXPECT_EQ(e.TopRow(), 10);
  e.SetCol(e.ColCount()); // one past the last visible column
  EXPECT_EQ(e.TopCol(), e.ColCount() / 4);
  e.SetCol(0);
  EXPECT_EQ(e.TopCol(), 0);
}

TEST_F(Scrolling, RangesAndMessages) {
  e.SetScrollBars(ssBoth);
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  SetText(text);
  const int rows = e.RowCount();
  EXPECT_EQ(e.MaxTopRow(), 100 + rows - 1);
  EXPECT_EQ(host.vbar.Max, std::max(rows, e.MaxTopRow()));
  EXPECT_EQ(host.vbar.Page, rows);
  EXPECT_EQ(host.hbar.Max, e.ColCount() / 2 + 1000);
  e.VScroll(SB_LINEDOWN);
  EXPECT_EQ(e.TopRow(), 1);
  e.VScroll(SB_PAGEDOWN);
  EXPECT_EQ(e.TopRow(), 1 + rows);
  EXPECT_EQ(host.vbar.Pos, 1 + rows);
  e.VScroll(SB_THUMBTRACK, 40);
  EXPECT_EQ(e.TopRow(), 40);
  e.VScroll(SB_TOP);
  EXPECT_EQ(e.TopRow(), 0);
  e.VScroll(SB_LINEUP); // already at the top
  EXPECT_EQ(e.TopRow(), 0);
  e.Caret()->SetLockScroll(true);
  e.SetRow(5);
  e.VScroll(SB_LINEDOWN);
  EXPECT_EQ(e.Row(), 6); // the caret keeps its place in the window
  e.HScroll(SB_PAGEDOWN);
  EXPECT_EQ(e.TopCol(), e.ColCount());
  e.HScroll(SB_THUMBTRACK, 7);
  EXPECT_EQ(e.TopCol(), 7);
}

TEST_F(Scrolling, ScrollingMovesPixelsInsteadOfRepainting) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\r\n";
  SetText(text);
  host.ClearRecords();
  e.SetTopRow(3);
  ASSERT_EQ(host.scrolls.size(), 1u);
  EXPECT_EQ(host.scrolls[0].Dy, -3 * 16);
  EXPECT_EQ(host.scrolls[0].Rect, (TRect{0, e.TextTop(), 640, 480}));
}

struct Navigation : EditorFixture {};

TEST_F(Navigation, ArrowsHomeEndAndPages) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\r\n";
  SetText(text);
  Focus();
  e.Caret()->SetFreeCaret(false);
  e.KeyDown(VK_END, 0);
  EXPECT_EQ(e.Col(), 5);
  e.KeyDown(VK_RIGHT, 0); // hard line end: stays without NextLine
  EXPECT_EQ(e.Row(), 0);
  e.Caret()->SetNextLine(true);
  e.KeyDown(VK_RIGHT, 0);
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 0);
  e.KeyDown(VK_LEFT, 0);
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 5);
  e.KeyDown(VK_HOME, 0);
  EXPECT_EQ(e.Col(), 0);
  const int page = ((e.RowCount() - 1) / 2) * 2;
  e.KeyDown(VK_NEXT, 0);
  EXPECT_EQ(e.TopRow(), page);
  EXPECT_EQ(e.Row(), page);
  e.KeyDown(VK_PRIOR, 0);
  EXPECT_EQ(e.TopRow(), 0);
  e.KeyDown(VK_END, ssCtrl);
  EXPECT_EQ(e.Row(), 100);
  e.KeyDown(VK_DOWN, 0); // the row after the last break has nowhere to go
  EXPECT_EQ(e.Row(), 100);
  e.KeyDown(VK_HOME, ssCtrl);
  EXPECT_EQ(e.Row(), 0);
  e.KeyDown(VK_UP, 0);
  EXPECT_EQ(e.Row(), 0);
}

TEST_F(Navigation, CtrlArrowsScrollWithoutMovingTheCaret) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "r\r\n";
  SetText(text);
  Focus();
  e.SetRow(10);
  e.KeyDown(VK_DOWN, ssCtrl);
  EXPECT_EQ(e.TopRow(), 1);
  EXPECT_EQ(e.Row(), 10);
  e.KeyDown(VK_UP, ssCtrl);
  EXPECT_EQ(e.TopRow(), 0);
}

} // namespace
} // namespace ze
