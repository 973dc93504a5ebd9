#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

struct Mouse : test::EditorFixture {
  Mouse() { Focus(); }
  std::string All() { return e.Lines()->Text().str(); }
  // A point inside the cell of (row, col): both column rules give col.
  int PX(int col) const { return X(col) + 1; }
  int PY(int row) const { return Y(row) + 4; }
  void Press(int x, int y, TShiftState shift = 0) {
    host.leftButton = true;
    e.MouseDown(x, y, shift | ssLeft);
  }
  void Move(int x, int y, TShiftState shift = ssLeft) { e.MouseMove(x, y, shift); }
  void Release(int x, int y, TShiftState shift = 0) {
    host.leftButton = false;
    e.MouseUp(x, y, shift);
  }
  void Select(int r0, int c0, int r1, int c1) {
    e.SetRowCol(r0, c0);
    e.StartSelection();
    e.SetRowCol(r1, c1);
    e.ExtendSelection();
  }
  // Presses at (r0, c0), drags to (r1, c1) and releases there.
  void Drag(int r0, int c0, int r1, int c1, TShiftState shift = 0) {
    Press(PX(c0), PY(r0));
    Move(PX(c1), PY(r1), ssLeft | shift);
    Move(PX(c1), PY(r1) + 1, ssLeft | shift);
    Release(PX(c1), PY(r1), shift);
  }
};

TEST_F(Mouse, APlainClickPlacesTheCaretAndSelectsNothing) {
  SetText("hello world\r\n");
  Press(PX(3), PY(0));
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 3);
  Move(PX(3) + 3, PY(0)); // 3 pixels: less than half a column
  Release(PX(3) + 3, PY(0));
  EXPECT_EQ(e.SelectionState(), sstInit);
  EXPECT_EQ(e.SelLength(), 0);

  Press(PX(3), PY(0));
  Move(PX(3) + 4, PY(0)); // half a column: nearer to the next boundary
  EXPECT_EQ(e.SelText(), "l");
  Release(PX(3) + 4, PY(0));
  EXPECT_EQ(e.SelText(), "l");

  Press(PX(3), PY(0));
  Move(PX(3), PY(0) + 4); // half a column down, still on the row
  EXPECT_EQ(e.SelectionState(), sstSelected);
}

TEST_F(Mouse, ShiftClickSelectsFromTheCaretOrExtendsFromTheAnchor) {
  SetText("hello\r\nworld\r\n");
  e.SetRowCol(0, 2);
  Press(PX(3), PY(1), ssShift);
  Release(PX(3), PY(1), ssShift);
  EXPECT_EQ(e.SelText(), "llo\r\nwor");
  Press(PX(0), PY(0), ssShift); // the anchor stays at (0, 2)
  Release(PX(0), PY(0), ssShift);
  EXPECT_EQ(e.SelText(), "he");
}

TEST_F(Mouse, DraggingPastTheWindowEdgesScrollsOneRowPerMove) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "row " + std::to_string(i) + "\r\n";
  SetText(text);
  e.SetTopRow(50);
  Press(PX(1), PY(52));
  Move(PX(1), e.TextTop() - 1);
  EXPECT_EQ(e.TopRow(), 49);
  EXPECT_EQ(e.Row(), 49);
  Move(PX(1), e.TextTop() - 1);
  EXPECT_EQ(e.TopRow(), 48);
  EXPECT_EQ(e.SelectionRange().StartRow, 48);
  EXPECT_EQ(e.SelectionRange().EndRow, 52);

  Move(PX(1), host.height - 1); // below the last whole row
  EXPECT_EQ(e.Row(), 48 + e.RowCount());
  EXPECT_EQ(e.TopRow(), 49);
  EXPECT_EQ(e.SelectionRange().EndRow, 48 + e.RowCount());
}

TEST_F(Mouse, LeftMarginSelectsWholeRows) {
  SetText("one\r\ntwo\r\nthree\r\nlast");
  Press(5, PY(1));
  EXPECT_EQ(e.SelText(), "two\r\n");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 0);
  Move(5, PY(2));
  EXPECT_EQ(e.SelText(), "two\r\nthree\r\n");
  Move(5, PY(0)); // above the clicked row: it stays selected
  EXPECT_EQ(e.SelText(), "one\r\ntwo\r\n");
  Move(PX(2), PY(3)); // anywhere on the last row: to its end
  EXPECT_EQ(e.SelText(), "two\r\nthree\r\nlast");
  Release(PX(2), PY(3));
  EXPECT_FALSE(e.RowSelecting());

  Press(5, PY(3)); // the last row has no line break
  Release(5, PY(3));
  EXPECT_EQ(e.SelText(), "last");
  Press(5, PY(9)); // below the text: the last row
  Release(5, PY(9));
  EXPECT_EQ(e.SelText(), "last");

  e.Caret()->SetRowSelect(false);
  Press(5, PY(1));
  EXPECT_EQ(e.SelectionState(), sstInit);
  EXPECT_EQ(e.Row(), 1);
}

TEST_F(Mouse, DraggingTheSelectionMovesItAsOneUndoStep) {
  SetText("one two three\r\n");
  Select(0, 4, 0, 8); // "two "
  Press(PX(5), PY(0));
  EXPECT_EQ(e.DragState(), dsPending);
  Move(PX(5) + 4, PY(0));
  EXPECT_EQ(e.DragState(), dsDragging);
  Move(PX(13), PY(0));
  Release(PX(13), PY(0));
  EXPECT_EQ(All(), "one threetwo \r\n");
  EXPECT_EQ(e.Col(), 13); // after the moved text
  EXPECT_EQ(e.SelectionState(), sstNone);
  e.Undo();
  EXPECT_EQ(All(), "one two three\r\n");
  EXPECT_FALSE(e.CanUndo());

  SetText("aaa\r\nbbb\r\nccc\r\n");
  Press(5, PY(1)); // the whole row "bbb" ...
  Release(5, PY(1));
  Drag(1, 1, 0, 0); // ... to the top
  EXPECT_EQ(All(), "bbb\r\naaa\r\nccc\r\n");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 0);

  SetText("ab\r\nxy\r\n");
  Select(0, 0, 0, 2);
  Drag(0, 1, 1, 5); // past the end of "xy": filled with spaces
  EXPECT_EQ(All(), "\r\nxy   ab\r\n");
}

TEST_F(Mouse, MovingToHalfADoubleByteCharacterLandsBeforeIt) {
  const std::string kan = "\x8A\xBF", ji = "\x8E\x9A"; // 漢字
  SetText(kan + ji + "ab\r\n");
  Select(0, 4, 0, 6);
  e.MoveSelection(0, 3); // the second half of 字
  EXPECT_EQ(All(), kan + "ab" + ji + "\r\n");
  EXPECT_EQ(e.Col(), 4);
}

TEST_F(Mouse, CtrlDragCopiesTheSelection) {
  SetText("one two\r\n");
  Select(0, 0, 0, 3);
  Press(PX(1), PY(0));
  Move(PX(7), PY(0), ssLeft | ssCtrl);
  EXPECT_EQ(host.cursor, e.Caret()->Cursors()->DragSelCopyCursor());
  Move(PX(7), PY(0) + 1, ssLeft | ssCtrl);
  Release(PX(7), PY(0), ssCtrl);
  EXPECT_EQ(All(), "one twoone\r\n");
  EXPECT_EQ(e.Col(), 10);
  e.Undo();
  EXPECT_EQ(All(), "one two\r\n");
  EXPECT_FALSE(e.CanUndo());
}

TEST_F(Mouse, DroppingOntoTheSelectionOrOutsideOnlyClearsIt) {
  SetText("one two three\r\n");
  e.SetModified(false);
  Select(0, 4, 0, 8);
  Drag(0, 4, 0, 6); // inside
  EXPECT_EQ(All(), "one two three\r\n");
  EXPECT_EQ(e.SelectionState(), sstNone);
  Select(0, 4, 0, 8);
  Drag(0, 5, 0, 8); // right after it: the text would not change
  EXPECT_EQ(All(), "one two three\r\n");
  Select(0, 4, 0, 8);
  Press(PX(5), PY(0));
  Move(PX(12), PY(0));
  Move(PX(12), PY(0) + 1);
  Release(host.width + 5, PY(0)); // outside the window
  EXPECT_EQ(All(), "one two three\r\n");
  EXPECT_FALSE(e.Modified());
  EXPECT_FALSE(e.CanUndo());

  Select(0, 4, 0, 8);
  Press(PX(6), PY(0)); // a click inside the selection removes it
  Release(PX(6), PY(0));
  EXPECT_EQ(e.SelectionState(), sstNone);
  EXPECT_EQ(e.Col(), 6);
}

TEST_F(Mouse, KeysWhileTheMouseIsBusy) {
  SetText("one two three\r\n");
  EXPECT_FALSE(e.FilterKeyDown(VK_LEFT, 0));
  Press(PX(1), PY(0)); // selecting: keys are dropped
  EXPECT_TRUE(e.MouseBusy());
  EXPECT_TRUE(e.FilterKeyDown(VK_LEFT, 0));
  Release(PX(1), PY(0));
  EXPECT_FALSE(e.MouseBusy());

  Select(0, 4, 0, 8);
  Press(PX(5), PY(0));
  EXPECT_TRUE(e.FilterKeyDown('A', 0)); // pending
  Move(PX(12), PY(0));
  EXPECT_FALSE(e.FilterKeyDown(VK_CONTROL, ssCtrl)); // dragging: handled as usual
  EXPECT_EQ(e.SelectionCursorKind(), 5);
  EXPECT_FALSE(e.FilterKeyUp(VK_CONTROL, 0));
  EXPECT_EQ(e.SelectionCursorKind(), 4);
  e.KeyPress('x');
  EXPECT_FALSE(e.FilterKeyDown(VK_ESCAPE, 0));
  EXPECT_EQ(e.DragState(), dsNone);
  EXPECT_EQ(e.SelectionState(), sstNone);
  EXPECT_EQ(host.cursor, e.Caret()->Cursors()->DefaultCursor());
  Release(PX(12), PY(0));
  EXPECT_EQ(All(), "one two three\r\n");

  Select(0, 4, 0, 8);
  Press(PX(5), PY(0));
  e.MouseCaptureLost();
  EXPECT_EQ(e.DragState(), dsNone);
  EXPECT_FALSE(e.MouseBusy());
}

TEST_F(Mouse, CursorKindsFollowThePointer) {
  TEditorCursors& c = *e.Caret()->Cursors();
  c.SetTopMarginCursor(102);
  c.SetInSelCursor(103);
  SetText("one two three\r\n");
  Select(0, 4, 0, 8);
  Move(5, PY(0), 0);
  EXPECT_EQ(host.cursor, c.LeftMarginCursor());
  Move(PX(1), 0, 0);
  EXPECT_EQ(host.cursor, 102);
  Move(PX(5), PY(0), 0);
  EXPECT_EQ(host.cursor, 103);
  host.ClearRecords();
  Move(PX(6), PY(0), 0); // same kind: not set again
  EXPECT_EQ(host.cursorSets, 0);
  Move(PX(9), PY(0), 0);
  EXPECT_EQ(host.cursor, c.DefaultCursor());
  e.SetReadOnly(true); // no dragging: no in-selection cursor
  Move(PX(5), PY(0), 0);
  EXPECT_EQ(e.SelectionCursorKind(), 0);
  e.SetReadOnly(false);

  e.Caret()->SetAutoCursor(false);
  host.ClearRecords();
  Move(5, PY(0), 0);
  Move(PX(5), PY(0), 0);
  Drag(0, 5, 0, 13);
  EXPECT_EQ(host.cursorSets, 0);
  EXPECT_EQ(All(), "one threetwo \r\n"); // the drag itself still works
}

TEST_F(Mouse, ManualDragModeLeavesTheDragToTheHost) {
  SetText("one two three\r\n");
  e.Caret()->SetSelDragMode(dmManual);
  Select(0, 4, 0, 8);
  Press(PX(5), PY(0));
  EXPECT_EQ(e.DragState(), dsNone);
  EXPECT_EQ(e.SelText(), "two ");
  EXPECT_EQ(e.Col(), 5);
}

} // namespace
} // namespace ze
