#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

struct Messages : EditorFixture {};

TEST_F(Messages, EmptyTextHasNoLengthAndNoLines) {
  char buf[16] = "xxxxxxxxxxxxxxx";
  EXPECT_EQ(e.WmGetTextLength(), 0);
  EXPECT_EQ(e.EmGetLine(0, buf, sizeof buf), 0);
  EXPECT_EQ(e.WmGetText(buf, sizeof buf), 0);
  EXPECT_EQ(buf[0], '\0');
}

TEST_F(Messages, TextAndLinesByOffset) {
  e.WmSetText("ab\r\ncdef\r\ng");
  char buf[8];
  EXPECT_EQ(e.WmGetText(buf, 5), 4); // size - 1 bytes and a NUL
  EXPECT_STREQ(buf, "ab\r\n");
  EXPECT_EQ(e.EmGetLine(1, buf, 3), 3);
  EXPECT_EQ(std::string(buf, 3), "cde");
  EXPECT_EQ(e.EmGetLineCount(), 3);
  EXPECT_EQ(e.EmLineIndex(1), 4);
  EXPECT_EQ(e.EmLineIndex(2), 10);
  EXPECT_EQ(e.EmLineFromChar(5), 1);
  EXPECT_EQ(e.EmLineLength(5), 4);
  e.SetReadOnly(true);
  e.WmSetText("ignored");
  EXPECT_EQ(e.WmGetTextLength(), 11);
}

TEST_F(Messages, SetSelectionAllClearAndRange) {
  e.WmSetText("hello\r\nworld");
  e.EmSetSel(0, -1);
  long long s = -1, end = -1;
  e.EmGetSel(&s, &end);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(end, 12);
  e.EmSetSel(-1, 0);
  EXPECT_EQ(e.SelLength(), 0);
  e.EmSetSel(9, 3); // either order
  EXPECT_EQ(e.SelText(), "lo\r\nwo");
  uint32_t packed = e.EmGetSel(nullptr, nullptr);
  EXPECT_EQ(packed & 0xFFFF, 3u);
  EXPECT_EQ(packed >> 16, 9u);
  e.EmReplaceSel("X");
  EXPECT_EQ(e.Lines()->Text(), "helXrld");
}

TEST_F(Messages, CopyAndCutWithNothingSelectedEmptyTheClipboard) {
  e.WmSetText("abc");
  e.Clipboard().SetText("old", false);
  e.WmCopy();
  EXPECT_FALSE(e.Clipboard().HasText());
  e.Clipboard().SetText("old", false);
  e.EmSetSel(0, 2);
  e.SetReadOnly(true);
  e.WmCut(); // read-only: nothing cut, the clipboard emptied
  EXPECT_FALSE(e.Clipboard().HasText());
  EXPECT_EQ(e.Lines()->Text(), "abc");
  e.SetReadOnly(false);
  e.WmCut();
  EXPECT_EQ(e.Clipboard().Text(), "ab");
  EXPECT_EQ(e.Lines()->Text(), "c");
  e.WmPaste();
  EXPECT_EQ(e.Lines()->Text(), "abc");
}

TEST_F(Messages, UndoThroughMessagesRespectsReadOnly) {
  e.WmSetText("a\r\n");
  e.KeyPress('x');
  EXPECT_TRUE(e.EmCanUndo());
  e.SetReadOnly(true);
  EXPECT_FALSE(e.EmCanUndo());
  EXPECT_FALSE(e.EmUndo());
  e.SetReadOnly(false);
  EXPECT_TRUE(e.EmUndo());
  EXPECT_EQ(e.Lines()->Text(), "a\r\n");
  e.KeyPress('y');
  e.EmEmptyUndoBuffer();
  EXPECT_FALSE(e.CanUndo());
}

TEST_F(Messages, PointsAndOffsets) {
  e.WmSetText("ab\x8A\xBF" "c\r\nxyz\r\n");
  uint32_t r = e.EmCharFromPos(X(3) + 1, Y(0) + 3); // second half of the kanji
  EXPECT_EQ(r & 0xFFFF, 2u);                         // its lead byte
  EXPECT_EQ(r >> 16, 0u);
  EXPECT_EQ(e.EmCharFromPos(-1, 5), 0xFFFFFFFFu);
  uint32_t p = e.EmPosFromChar(8); // "y" on row 1
  EXPECT_EQ(static_cast<int>(p & 0xFFFF), X(1));
  EXPECT_EQ(static_cast<int>(p >> 16), Y(1));
  EXPECT_EQ(e.GetDlgCode() & TEditor::DLGC_WANTTAB, TEditor::DLGC_WANTTAB);
}

} // namespace
} // namespace ze
