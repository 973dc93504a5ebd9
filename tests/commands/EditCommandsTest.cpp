#include "app/commands/EditCommands.h"
#include "app/commands/MarkCommands.h"
#include "platform/CodePage.h"
#include "tests/commands/CommandsFixture.h"

namespace ze {
namespace {

const std::string kA = "\x83\x41";                               // ア: its trail byte is 'A'
const std::string kTi = "\x83\x60";                              // チ: trail '`'
const std::string kDi = "\x83\x61";                              // ヂ: trail 'a'
const std::string kKan = "\x8A\xBF";                             // 漢
const std::string kFullA = "\x82\x60", kFullLowerA = "\x82\x81"; // Ａ ａ
const std::string kFullZ = "\x82\x79", kFullLowerZ = "\x82\x9A"; // Ｚ ｚ

struct EditCommands : test::CommandsFixture {
  void SelectBox(int r1, int c1, int r2, int c2) {
    e.SetSelectionMode(smBox);
    e.SetRowCol(r1, c1);
    e.StartSelection();
    e.SetRowCol(r2, c2);
    e.ExtendSelection();
  }
  void SelectNormal(int r1, int c1, int r2, int c2) {
    e.SetRowCol(r1, c1);
    e.StartSelection();
    e.SetRowCol(r2, c2);
    e.ExtendSelection();
  }
};

// ---------------------------------------------------------------- case

TEST(CaseConversion, ChangesOnlyLettersAndNeverATrailByte) {
  const std::string text = "ab" + kA + "Yz" + kDi + kTi + "\xB1q"; // \xB1: half-width ｱ
  EXPECT_EQ(ConvertCase(text, true), "AB" + kA + "YZ" + kDi + kTi + "\xB1Q");
  EXPECT_EQ(ConvertCase(text, false), "ab" + kA + "yz" + kDi + kTi + "\xB1q");
  // A lead byte at the very end stands alone; the letter before it changes.
  EXPECT_EQ(ConvertCase("x\x83", true), "X\x83");
  // A trail byte that looks like a letter right after a lead byte that
  // follows a letter: the pair stays whole.
  EXPECT_EQ(ConvertCase("a\x83"
                        "a",
                        true),
            "A\x83"
            "a");
}

TEST(CaseConversion, FullWidthLatinLettersWhenAsked) {
  const std::string text = kFullLowerA + kFullZ + kKan;
  EXPECT_EQ(ConvertCase(text, true), kFullA + kFullZ + kKan);
  EXPECT_EQ(ConvertCase(text, false), kFullLowerA + kFullLowerZ + kKan);
  EXPECT_EQ(ConvertCase(text, true, false), text);
}

TEST_F(EditCommands, UpperCaseReplacesANormalSelection) {
  Load("hello " + kA + "world|");
  SelectNormal(0, 2, 0, 10);
  EditUpperCase(&e);
  EXPECT_EQ(Text(), "heLLO " + kA + "WOrld|");
  EXPECT_EQ(e.SelectionState(), sstNone);
  e.Undo();
  EXPECT_EQ(Text(), "hello " + kA + "world|");
}

TEST_F(EditCommands, ABoxIsConvertedInPlaceRowByRow) {
  Load("abcdef|ghijkl|mnopqr|stuvwx|");
  SelectBox(0, 1, 2, 4);
  EditUpperCase(&e);
  EXPECT_EQ(Text(), "aBCDef|gHIJkl|mNOPqr|stuvwx|");
  // Still the same box, so the next conversion works on it again.
  EXPECT_EQ(e.SelectionMode(), smBox);
  EXPECT_TRUE(e.IsSelected());
  EXPECT_EQ(e.SelText(), "BCD\r\nHIJ\r\nNOP\r\n");
  EditLowerCase(&e);
  EXPECT_EQ(Text(), "abcdef|ghijkl|mnopqr|stuvwx|");
  e.Undo();
  EXPECT_EQ(Text(), "aBCDef|gHIJkl|mNOPqr|stuvwx|");
}

TEST_F(EditCommands, ABoxEdgeThroughADoubleByteCharacterKeepsItWhole) {
  // The box covers columns 2 and 3. In row 1 they hold ヂ whole (its trail
  // byte is 'a' and must stay); in row 2 column 2 is the second half of
  // ヂ, so the box starts after it.
  Load("abcd|xy" + kDi + "z|q" + kDi + "rs|");
  SelectBox(0, 2, 2, 4);
  EditUpperCase(&e);
  EXPECT_EQ(Text(), "abCD|xy" + kDi + "z|q" + kDi + "Rs|");
}

TEST_F(EditCommands, CaseCommandsNeedASelectionAndAWritableEditor) {
  Load("abc|");
  EditUpperCase(&e);
  EXPECT_EQ(Text(), "abc|");
  SelectNormal(0, 0, 0, 3);
  e.SetReadOnly(true);
  EditUpperCase(&e);
  EXPECT_EQ(Text(), "abc|");
  EditUpperCase(nullptr);
}

// ---------------------------------------------------------------- clipboard

TEST_F(EditCommands, CopyLineCopiesTheRowWithoutItsBreakAndKeepsTheCaret) {
  Load("first|\tsecond|");
  e.SetRowCol(1, 10);
  EditCopyLine(&e);
  EXPECT_EQ(clip.Text(), "\tsecond");
  EXPECT_FALSE(clip.HasBoxFormat());
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 10);
  // An empty row leaves the clipboard as it is.
  e.SetRowCol(2, 0);
  EditCopyLine(&e);
  EXPECT_EQ(clip.Text(), "\tsecond");
  e.SetWordWrap(true);
  e.SetRowCol(0, 0);
  EditCopyLine(&e);
  EXPECT_EQ(clip.Text(), "\tsecond");
}

TEST_F(EditCommands, CopyAllCopiesTheWholeTextAndKeepsTheCaret) {
  Load("one|two|three");
  e.SetRowCol(1, 2);
  EditCopyAll(&e);
  EXPECT_EQ(clip.Text(), "one\r\ntwo\r\nthree");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 2);
  EXPECT_EQ(e.SelectionState(), sstNone);
}

TEST_F(EditCommands, CutEmptyingTheCaretRowTakesItsMarksAway) {
  Load("abc|def|");
  e.PutRowMark(0, 10);
  e.PutRowMark(1, 5);
  SelectNormal(0, 0, 0, 3);
  EditCut(Views());
  EXPECT_EQ(clip.Text(), "abc");
  EXPECT_EQ(Text(), "|def|");
  EXPECT_EQ(e.GetRowMarks(0), 0);
  EXPECT_EQ(e.GetRowMarks(1), 1 << 5);
  EXPECT_TRUE(e.Imagebar()->Visible());
  // Cutting part of a row keeps its marks.
  SelectNormal(1, 0, 1, 1);
  EditCut(Views());
  EXPECT_EQ(Text(), "|ef|");
  EXPECT_EQ(e.GetRowMarks(1), 1 << 5);
}

TEST_F(EditCommands, CopyCutAndPasteCheckTheirConditions) {
  Load("abc|");
  clip.SetText("old", false);
  EditCopy(&e); // nothing selected
  EditCut(Views());
  EXPECT_EQ(clip.Text(), "old");
  e.SetRowCol(0, 1);
  EditPaste(&e);
  EXPECT_EQ(Text(), "aoldbc|");
  e.SetReadOnly(true);
  EditPaste(&e);
  EditBoxPaste(&e);
  SelectNormal(0, 0, 0, 1);
  EditCut(Views());
  EXPECT_EQ(Text(), "aoldbc|");
  EditCopy(&e); // copying stays possible
  EXPECT_EQ(clip.Text(), "a");
  clip.Clear();
  e.SetReadOnly(false);
  EditPaste(&e);
  EXPECT_EQ(Text(), "aoldbc|");
}

TEST_F(EditCommands, BoxPastePutsAnyTextAsABlockAtTheCaret) {
  Load("abcd|ef|");
  clip.SetText("XY\r\nZW\r\nUV", false);
  e.SetRowCol(0, 3);
  EditBoxPaste(&e);
  EXPECT_EQ(Text(), "abcXYd|ef ZW|   UV|");
}

TEST_F(EditCommands, BoxModeAndSelectAllNeedText) {
  EditToggleBoxMode(&e);
  EXPECT_EQ(e.SelectionMode(), smNormal);
  EditSelectAll(&e);
  EXPECT_FALSE(e.IsSelected());
  Load("ab|cd");
  EditToggleBoxMode(&e);
  EXPECT_EQ(e.SelectionMode(), smBox);
  EditToggleBoxMode(&e);
  EXPECT_EQ(e.SelectionMode(), smNormal);
  EditSelectAll(&e);
  EXPECT_EQ(e.SelText(), "ab\r\ncd");
}

TEST_F(EditCommands, UndoAndRedo) {
  Load("ab|");
  e.SetRowCol(0, 2);
  e.SetSelText("c");
  EditUndo(&e);
  EXPECT_EQ(Text(), "ab|");
  EditRedo(&e);
  EXPECT_EQ(Text(), "abc|");
  EditRedo(&e); // nothing left to redo
  EXPECT_EQ(Text(), "abc|");
}

// ---------------------------------------------------------------- dates

TEST(Dates, LongDateIsYearMonthDayAndTheWeekday) {
  EXPECT_EQ(Cp932ToUtf8(LongDateText({2024, 3, 5, 2})), "2024年03月05日(火)");
  EXPECT_EQ(Cp932ToUtf8(LongDateText({987, 12, 31, 0})), "0987年12月31日(日)");
  EXPECT_EQ(Cp932ToUtf8(LongDateText({2026, 12, 12, 6})), "2026年12月12日(土)");
}

TEST(Dates, ShortDateFollowsItsPattern) {
  const TDate d{2024, 3, 5, 2};
  EXPECT_EQ(ShortDateText(d), "2024/03/05");
  EXPECT_EQ(ShortDateText(d, "d.M.yy"), "5.3.24");
  EXPECT_EQ(Cp932ToUtf8(ShortDateText(d, "yyyy年M月d日")), "2024年3月5日");
  EXPECT_EQ(ShortDateText(d, "'dd' dd"), "dd 05");
}

TEST_F(EditCommands, DatesReplaceTheSelectionUnlessReadOnly) {
  Load("on X.|");
  const TClock clock = [] { return TDate{2024, 3, 5, 2}; };
  SelectNormal(0, 3, 0, 4);
  InsertLongDate(&e, clock);
  EXPECT_EQ(Cp932ToUtf8(e.Lines()->Text().view()), "on 2024年03月05日(火).\r\n");
  e.SetRowCol(0, 0);
  InsertShortDate(&e, clock);
  EXPECT_EQ(Cp932ToUtf8(e.Lines()->Text().view()), "2024/03/05on 2024年03月05日(火).\r\n");
  e.SetReadOnly(true);
  InsertShortDate(&e, clock);
  InsertLongDate(&e, clock);
  EXPECT_EQ(Cp932ToUtf8(e.Lines()->Text().view()), "2024/03/05on 2024年03月05日(火).\r\n");
}

// ---------------------------------------------------------------- double-click

TEST_F(EditCommands, DoubleClickSelectsAWordAUrlOrWithCtrlTheRow) {
  e.View()->SetUrl(true);
  e.View()->SetMail(true);
  Load("see http://example.com/a-b now|mail me@example.org here|");
  DoubleClickSelect(&e, X(1) + 2, Y(0) + 4, 0);
  EXPECT_EQ(e.SelText(), "see");
  DoubleClickSelect(&e, X(16) + 2, Y(0) + 4, 0);
  EXPECT_EQ(e.SelText(), "http://example.com/a-b");
  DoubleClickSelect(&e, X(8) + 2, Y(1) + 4, 0);
  EXPECT_EQ(e.SelText(), "me@example.org");
  e.SetRowCol(1, 3);
  DoubleClickSelect(&e, X(3) + 2, Y(1) + 4, ssCtrl);
  EXPECT_EQ(e.SelText(), "mail me@example.org here");
  EXPECT_EQ(e.Row(), 1);
}

TEST_F(EditCommands, DoubleClickWithoutUrlColouringSelectsWords) {
  e.View()->SetUrl(false);
  Load("see http://example.com/a-b now|");
  DoubleClickSelect(&e, X(16) + 2, Y(0) + 4, 0);
  EXPECT_EQ(e.SelText(), "example");
}

} // namespace
} // namespace ze
