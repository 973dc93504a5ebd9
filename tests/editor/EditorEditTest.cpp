#include "platform/CodePage.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

const std::string kKan = "\x8A\xBF"; // 漢
const std::string kJi = "\x8E\x9A";  // 字

struct Editing : EditorFixture {
  std::string All() { return e.Lines()->Text().str(); }
  void Type(const std::string& s) {
    for (unsigned char c : s) e.KeyPress(c);
  }
};

TEST_F(Editing, TypingPastTheRowEndFillsWithSpaces) {
  SetText("abcd\r\n");
  e.SetRowCol(0, 10);
  Type("x");
  EXPECT_EQ(All(), "abcd      x\r\n");
  EXPECT_EQ(e.Col(), 11);
}

TEST_F(Editing, TypingReplacesTheSelectionAndLeavesTheCaretAfterIt) {
  SetText("hello world\r\n");
  e.SetRowCol(0, 6);
  e.KeyDown(VK_RIGHT, ssShift);
  e.KeyDown(VK_RIGHT, ssShift);
  EXPECT_EQ(e.SelText(), "wo");
  Type("W");
  EXPECT_EQ(All(), "hello Wrld\r\n");
  EXPECT_EQ(e.Col(), 7);
  EXPECT_EQ(e.SelectionState(), sstNone);
}

TEST_F(Editing, SelTextSplitsRowsAndDeletes) {
  SetText("ab\r\n");
  e.SetRowCol(0, 1);
  e.SetSelText("1\r\n2");
  EXPECT_EQ(All(), "a1\r\n2b\r\n");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 1);
  e.SetRowCol(0, 0);
  e.StartSelection();
  e.SetRowCol(1, 1);
  e.ExtendSelection();
  e.SetSelText("");
  EXPECT_EQ(All(), "b\r\n");
  e.SetReadOnly(true);
  e.SetSelText("x");
  EXPECT_EQ(All(), "b\r\n");
}

TEST_F(Editing, OverwriteOverHalfADoubleByteCharacterLeavesASpace) {
  SetText("a" + kKan + "b\r\n");
  e.SetOverWrite(true);
  e.SetRowCol(0, 0);
  Type("xy"); // y lands on the first half of 漢
  EXPECT_EQ(All(), "xy b\r\n");
}

TEST_F(Editing, DeleteRowOfTheLastRowPutsTheCaretAtTheNewEnd) {
  SetText("one\r\ntwo");
  e.DeleteRow(1);
  EXPECT_EQ(All(), "one\r\n");
  SetText("one\r\ntwo");
  e.List().SetRowAttribute(0, reLineBreak);
  e.DeleteRow(0);
  EXPECT_EQ(All(), "two");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 0);
}

TEST_F(Editing, EveryEditIsOneChangeAndOneUndoStep) {
  SetText("x\r\n");
  int changes = 0;
  e.OnChange = [&](TObject*) { ++changes; };
  e.SetModified(false);
  Type("ab");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(e.Modified());
  e.Undo();
  EXPECT_EQ(All(), "ax\r\n");
  e.Undo();
  EXPECT_EQ(All(), "x\r\n");
}

TEST_F(Editing, ImeResultsAndTheirEchoedCharacters) {
  SetText("\r\n");
  // "日本語" through the input method; the system then sends the same
  // bytes again as characters, which must be dropped.
  std::string jp = Utf8ToCp932("日本語");
  e.ImeResultWithEcho(jp);
  Type(jp);
  EXPECT_EQ(All(), jp + "\r\n");
  EXPECT_EQ(e.Col(), 6);
  Type("!");
  EXPECT_EQ(All(), jp + "!\r\n");
  e.SetReadOnly(true);
  e.ImeResult(jp);
  EXPECT_EQ(All(), jp + "!\r\n");
}

TEST_F(Editing, DoubleByteCharacterTypedAsTwoMessagesIsOneCharacter) {
  SetText("\r\n");
  Type(kKan);
  EXPECT_EQ(All(), kKan + "\r\n");
  EXPECT_EQ(e.Col(), 2);
  EXPECT_EQ(e.CanUndo(), true);
  e.Undo();
  EXPECT_EQ(All(), "\r\n"); // one step, not two
}

struct Keys : EditorFixture {
  std::string All() { return e.Lines()->Text().str(); }
};

TEST_F(Keys, EnterIndentsAndShiftEnterOpensALineAbove) {
  SetText("    begin\r\n");
  e.SetRowCol(0, 9);
  e.KeyPress(13);
  EXPECT_EQ(All(), "    begin\r\n    \r\n");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 4);
  e.KeyPress('x');
  // Shift+Enter inside the indentation: the new line above is indented
  // up to the caret.
  e.SetRowCol(1, 2);
  e.KeyPress(13, ssShift);
  EXPECT_EQ(All(), "    begin\r\n  \r\n    x\r\n");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 2);
  e.Caret()->SetTabIndent(true);
  e.Caret()->SetTabSpaceCount(4);
  e.SetRowCol(0, 9);
  e.KeyPress(13);
  EXPECT_EQ(e.RowText(1), "\t");
}

TEST_F(Keys, EnterWithASelection) {
  SetText("abcdef\r\n");
  e.SetRowCol(0, 1);
  e.KeyDown(VK_RIGHT, ssShift);
  e.KeyPress(13, ssShift); // Shift+Enter with a selection: nothing
  EXPECT_EQ(All(), "abcdef\r\n");
  e.KeyPress(13);
  EXPECT_EQ(All(), "a\r\ncdef\r\n");
}

TEST_F(Keys, EnterOnTheRowAfterTheLastBreakAppendsALine) {
  SetText("a\r\n");
  e.SetRow(1);
  e.KeyPress(13);
  EXPECT_EQ(All(), "a\r\n\r\n");
  EXPECT_EQ(e.Row(), 2);
}

TEST_F(Keys, BackspaceJoinsRowsAndDeletesWholeCharacters) {
  SetText("ab\r\n" + kKan + "c\r\n");
  e.SetRowCol(1, 2);
  e.KeyPress(8);
  EXPECT_EQ(All(), "ab\r\nc\r\n");
  EXPECT_EQ(e.Col(), 0);
  e.KeyPress(8);
  EXPECT_EQ(All(), "abc\r\n");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 2);
  e.SetRowCol(0, 0);
  e.KeyPress(8); // start of the text: nothing
  EXPECT_EQ(All(), "abc\r\n");
}

TEST_F(Keys, BackspaceAtAWrappedRowStartDeletesTheLastCharacterAbove) {
  e.WrapOption()->SetWrapByte(20);
  e.SetWordWrap(true);
  SetText(std::string(25, 'a') + "\r\n");
  e.SetRowCol(1, 0);
  e.KeyPress(8);
  EXPECT_EQ(All(), std::string(24, 'a') + "\r\n");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 19);
}

TEST_F(Keys, BackspaceUnindentsToTheIndentationAbove) {
  SetText("    a\r\n        b\r\n");
  e.SetRowCol(1, 8);
  e.KeyPress(8);
  EXPECT_EQ(All(), "    a\r\n    b\r\n");
  EXPECT_EQ(e.Col(), 4);
  e.KeyPress(8); // now under a line without less indentation: all goes
  EXPECT_EQ(All(), "    a\r\nb\r\n");
  EXPECT_EQ(e.Col(), 0);
  e.Caret()->SetBackSpaceUnIndent(false);
  SetText("  x\r\n");
  e.SetRowCol(0, 2);
  e.KeyPress(8);
  EXPECT_EQ(All(), " x\r\n");
}

TEST_F(Keys, DeleteRemovesCharactersAndJoinsLines) {
  SetText(kKan + "x\r\nyz\r\n");
  e.SetRowCol(0, 0);
  e.KeyDown(VK_DELETE, 0);
  EXPECT_EQ(All(), "x\r\nyz\r\n");
  e.SetRowCol(0, 3); // past the end: padded and joined
  e.KeyDown(VK_DELETE, 0);
  EXPECT_EQ(All(), "x  yz\r\n");
  e.SetReadOnly(true);
  e.KeyDown(VK_DELETE, 0);
  EXPECT_EQ(All(), "x  yz\r\n");
}

TEST_F(Keys, TabInsertsSpacesOrATabOrMoves) {
  SetText("ab\r\n");
  e.SetRowCol(0, 2);
  e.KeyPress(9);
  EXPECT_EQ(All(), "ab\t\r\n");
  EXPECT_EQ(e.Col(), 8);
  e.Caret()->SetSoftTab(true);
  e.KeyPress(9);
  EXPECT_EQ(All(), "ab\t        \r\n");
  e.SetOverWrite(true);
  e.SetRowCol(0, 0);
  e.KeyPress(9);
  EXPECT_EQ(e.Col(), 8);
  EXPECT_EQ(All(), "ab\t        \r\n");
  e.KeyPress(9, ssCtrl); // ignored with Ctrl
  EXPECT_EQ(e.Col(), 8);
}

TEST_F(Keys, CtrlArrowsMoveByWords) {
  SetText("alpha beta_1 + gamma\r\nnext\r\n");
  e.KeyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(e.Col(), 6);
  e.KeyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(e.Col(), 15); // '+' is a symbol, not a word start
  e.KeyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(e.Col(), 20);
  e.KeyDown(VK_RIGHT, ssCtrl);
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 0);
  e.KeyDown(VK_LEFT, ssCtrl); // to the end of the previous logical line
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 20);
  e.KeyDown(VK_LEFT, ssCtrl);
  EXPECT_EQ(e.Col(), 15);
}

TEST_F(Keys, ShiftArrowsSelectAndPlainArrowsClear) {
  SetText("abc\r\ndef\r\n");
  e.SetRowCol(0, 1);
  e.KeyDown(VK_DOWN, ssShift);
  EXPECT_EQ(e.SelText(), "bc\r\nd");
  EXPECT_EQ(e.SelLength(), 5);
  EXPECT_EQ(e.SelStart(), 1);
  e.KeyDown(VK_LEFT, 0);
  EXPECT_EQ(e.SelectionState(), sstNone);
}

struct Box : EditorFixture {
  std::string All() { return e.Lines()->Text().str(); }
};

TEST_F(Box, EdgesCutDoubleByteCharactersOutOnTheLeftAndInOnTheRight) {
  SetText("ab" + kKan + "cd" + kJi + "ef\r\n");
  // Columns: a0 b1 漢2-3 c4 d5 字6-7 e8 f9. A box from 3 to 7 (exclusive).
  int first, last;
  e.BoxEdges(0, 3, 7, first, last);
  EXPECT_EQ(first, 4); // after 漢
  EXPECT_EQ(last, 8);  // 字 included whole
  e.SetSelectionModeDirect(smBox);
  e.SetSelectionState(sstSelected);
  e.SelectionRectRef() = {0, 0, 3, 7};
  e.SelectionRangeRef() = {0, 0, 4, 7};
  EXPECT_EQ(e.SelText(), "cd" + kJi + "\r\n");
  e.BoxEdges(0, 1, 3, first, last); // both edges inside 漢's columns
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 4);
}

TEST_F(Box, CopyAndPasteBackAsABoxPastTheEnd) {
  SetText("0123\r\nabcd\r\nxy\r\n");
  e.SetSelectionMode(smBox);
  e.SetRowCol(0, 1);
  e.StartSelection();
  e.SetRowCol(1, 3);
  e.ExtendSelection();
  EXPECT_EQ(e.SelText(), "12\r\nbc\r\n"); // a box text ends with CR LF
  e.CopyToClipboard();
  EXPECT_TRUE(e.Clipboard().HasBoxFormat());
  e.CleanSelection();
  e.SetRowCol(2, 5); // past the end of "xy", two rows from the end
  e.PasteFromClipboard();
  EXPECT_EQ(All(), "0123\r\nabcd\r\nxy   12\r\n     bc\r\n");
  e.Undo();
  EXPECT_EQ(All(), "0123\r\nabcd\r\nxy\r\n");
}

TEST_F(Box, NormalCopyPastesAsAStream) {
  SetText("0123\r\nabcd\r\n");
  e.SetRowCol(0, 2);
  e.StartSelection();
  e.SetRowCol(1, 1);
  e.ExtendSelection();
  e.CopyToClipboard();
  EXPECT_FALSE(e.Clipboard().HasBoxFormat());
  EXPECT_EQ(e.Clipboard().Text(), "23\r\na");
  e.CleanSelection();
  e.SetRowCol(1, 4);
  e.PasteFromClipboard();
  EXPECT_EQ(All(), "0123\r\nabcd23\r\na\r\n");
}

TEST_F(Box, BoxPasteOfPlainTextAndSelLengthLeavingBoxMode) {
  SetText("aaaa\r\nbbbb\r\n");
  e.SetRowCol(0, 2);
  e.SetSelTextBox("X\r\nY");
  EXPECT_EQ(All(), "aaXaa\r\nbbYbb\r\n");
  int modeChanges = 0;
  e.OnSelectionModeChange = [&](TObject*) { ++modeChanges; };
  e.SetSelectionMode(smBox);
  e.SetRowCol(0, 0);
  e.SetSelLength(2);
  EXPECT_EQ(e.SelectionMode(), smNormal);
  EXPECT_EQ(modeChanges, 2);
  EXPECT_EQ(e.SelText(), "aa");
}

TEST_F(Box, SelectAllOnAnEmptyTextSelectsNothing) {
  e.SelectAll();
  EXPECT_EQ(e.SelLength(), 0);
  SetText("ab\r\ncd");
  e.SelectAll();
  EXPECT_EQ(e.SelText(), "ab\r\ncd");
  EXPECT_EQ(e.SelLength(), 6);
}

TEST_F(Box, ClipboardTextFromOtherProgramsKeepsWhatFollowsAReplacement) {
  SetText("\r\n");
  e.Clipboard().SetText(Utf8ToCp932("a€b日"), false); // the euro sign is not in CP932
  e.PasteFromClipboard();
  EXPECT_EQ(e.RowText(0), "a?b" + Utf8ToCp932("日"));
}

} // namespace
} // namespace ze
