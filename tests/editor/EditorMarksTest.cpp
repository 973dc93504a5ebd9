#include "editor/PopupMenu.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

struct Marks : test::EditorFixture {
  Marks() {
    Focus();
    std::string text;
    for (int i = 0; i < 200; ++i) text += "row " + std::to_string(i) + "\r\n";
    SetText(text);
  }
  TEditorPopupMenu& menu = *e.PopupMenu();
  TRowMarks Used() const { return e.List().UsedRowMarks(); }
  std::string All() { return e.Lines()->Text().str(); }
};

constexpr TShiftState kShiftCtrl = ssShift | ssCtrl;

TEST_F(Marks, NumberedMarksAreUniqueOthersMayRepeat) {
  e.PutRowMark(2, 3);
  e.PutRowMark(5, 3);
  EXPECT_EQ(e.GetRowMarks(2), 0);
  EXPECT_EQ(e.GetRowMarks(5), 1 << 3);
  e.PutRowMark(99999, 3); // outside the text: only taken away
  EXPECT_EQ(e.FindRowMark(3), -1);
  EXPECT_EQ(Used() & (1 << 3), 0);
  EXPECT_EQ(e.GetRowMarks(-1), 0);

  e.PutRowMark(1, 10);
  e.PutRowMark(4, 10);
  EXPECT_EQ(e.GetRowMarks(1), 1 << 10);
  EXPECT_EQ(e.GetRowMarks(4), 1 << 10);
  e.DeleteRowMark(4, 10); // still on row 1: still in use
  EXPECT_NE(Used() & (1 << 10), 0);
  e.DeleteRowMark(1, 10);
  EXPECT_EQ(Used() & (1 << 10), 0);
}

TEST_F(Marks, ShiftCtrlDigitMovesOrRemovesTheMark) {
  e.SetRow(2);
  EXPECT_TRUE(menu.ShortCut('3', kShiftCtrl));
  e.SetRow(7);
  EXPECT_TRUE(menu.ShortCut('3', kShiftCtrl));
  EXPECT_EQ(e.GetRowMarks(2), 0);
  EXPECT_EQ(e.GetRowMarks(7), 1 << 3);
  menu.Update();
  EXPECT_EQ(menu.MarkSetItem().Item(3).ShortCutText(), "Shift+Ctrl+3");
  EXPECT_TRUE(menu.MarkSetItem().Item(3).Checked);
  EXPECT_TRUE(menu.MarkJumpItem().Item(3).Checked);
  EXPECT_TRUE(menu.ShortCut('3', kShiftCtrl)); // again on the same row
  EXPECT_EQ(e.FindRowMark(3), -1);
  menu.Update();
  EXPECT_FALSE(menu.MarkSetItem().Item(3).Checked);
}

TEST_F(Marks, CtrlDigitJumpsAndCentresARowOutOfView) {
  e.PutRowMark(150, 3);
  EXPECT_TRUE(menu.ShortCut('3', ssCtrl));
  EXPECT_EQ(e.Row(), 150);
  EXPECT_EQ(e.TopRow(), 150 - e.RowCount() / 2);
  e.PutRowMark(140, 4); // in view: no scrolling
  menu.ShortCut('4', ssCtrl);
  EXPECT_EQ(e.Row(), 140);
  EXPECT_EQ(e.TopRow(), 150 - e.RowCount() / 2);
  menu.ShortCut('5', ssCtrl); // no mark 5
  EXPECT_EQ(e.Row(), 140);
}

TEST_F(Marks, MarksTravelWithTheirRowsAndRepaintTheImageBar) {
  host.ClearRecords();
  e.PutRowMark(3, 1);
  const TRect strip{0, Y(3), e.ImagebarWidth(), Y(3) + e.RowHeight()};
  ASSERT_EQ(host.invalidated.size(), 1u);
  EXPECT_EQ(test::ToString(host.invalidated[0]), test::ToString(strip));
  EXPECT_EQ(host.updateNowCount, 1);
  host.ClearRecords();
  e.SetRowMarks(3, 1 << 1); // unchanged
  EXPECT_TRUE(host.invalidated.empty());

  e.SetRowCol(0, 0);
  e.SetSelText("x\r\ny\r\n");
  EXPECT_EQ(e.FindRowMark(1), 5);
}

TEST(ShortCutText, ParsesAndPrints) {
  EXPECT_EQ(TextToShortCut("Shift+Ctrl+3"), scShift | scCtrl | '3');
  EXPECT_EQ(TextToShortCut("ctrl+shift+z"), TextToShortCut("Shift+Ctrl+Z"));
  EXPECT_EQ(ShortCutToText(TextToShortCut("alt+ctrl+del")), "Ctrl+Alt+Del");
  EXPECT_EQ(ShortCutToText(TextToShortCut("F10")), "F10");
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+F13"), 0);
  EXPECT_EQ(TextToShortCut("Ctrl+Zz"), 0);
}

TEST_F(Marks, ReadOnlyDisablesEveryEditingItem) {
  auto editing = [&] {
    menu.Update();
    std::string on;
    for (TEditorMenuItem* item : {&menu.UndoItem(), &menu.RedoItem(), &menu.CutItem(),
                                  &menu.PasteItem(), &menu.BoxPasteItem(), &menu.DeleteItem()})
      on += item->Enabled ? '1' : '0';
    return on;
  };
  e.SetRowCol(0, 0);
  e.SetSelText("a"); // something to undo ...
  e.SetSelText("b");
  e.Undo(); // ... and to redo
  e.Clipboard().SetText("clip", false);
  e.SetRowCol(1, 0);
  e.SetSelLength(3);
  e.SetReadOnly(true);
  EXPECT_EQ(editing(), "000000");
  EXPECT_TRUE(menu.CopyItem().Enabled);
  EXPECT_TRUE(menu.SelectAllItem().Enabled);
  const std::string before = All();
  EXPECT_FALSE(menu.ShortCut('Z', ssCtrl));
  EXPECT_EQ(All(), before);
  e.SetReadOnly(false);
  EXPECT_EQ(editing(), "111111");
  e.CleanSelection();
  menu.Update();
  EXPECT_FALSE(menu.CopyItem().Enabled);
  SetText("");
  menu.Update();
  EXPECT_FALSE(menu.SelectAllItem().Enabled);
}

TEST_F(Marks, BoxPastePastesPlainClipboardTextAsABox) {
  SetText("abcdef\r\nghijkl\r\n");
  e.Clipboard().SetText("12\r\n34", false);
  e.SetRowCol(0, 2);
  EXPECT_TRUE(menu.ShortCut('B', ssCtrl));
  EXPECT_EQ(All(), "ab12cdef\r\ngh34ijkl\r\n");
  EXPECT_TRUE(menu.ShortCut('Z', ssCtrl));
  EXPECT_TRUE(menu.ShortCut('A', ssCtrl)); // redo
  EXPECT_EQ(All(), "ab12cdef\r\ngh34ijkl\r\n");
  e.SetRowCol(0, 0);
  EXPECT_TRUE(menu.ShortCut('V', ssCtrl)); // not marked as a box: a stream
  EXPECT_EQ(All(), "12\r\n34ab12cdef\r\ngh34ijkl\r\n");
}

TEST_F(Marks, BoxModeItemFollowsTheModeSetElsewhere) {
  e.SetSelectionMode(smBox);
  EXPECT_TRUE(menu.ShortCut('K', ssCtrl));
  EXPECT_EQ(e.SelectionMode(), smNormal);
  EXPECT_TRUE(menu.ShortCut('K', ssCtrl));
  EXPECT_EQ(e.SelectionMode(), smBox);
  menu.SetEditor(nullptr);
  EXPECT_FALSE(menu.ShortCut('K', ssCtrl));
  menu.Update();
  EXPECT_EQ(e.SelectionMode(), smBox);
}

} // namespace
} // namespace ze
