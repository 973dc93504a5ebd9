// The Mark menu's states as the command table computes them from the
// caret row and the document's marks.
#include <gtest/gtest.h>

#include "app/CommandState.h"

namespace ze {
namespace {

using C = TCommandId;

TCommandSnapshot OnARowWithText() {
  TCommandSnapshot s;
  s.Available.set();
  s.HasEditor = true;
  s.HasLines = true;
  s.PageCount = 1;
  s.CaretRow = 4;
  s.CaretRowEndCol = 6;
  return s;
}

TEST(MarkState, AnUnmarkedDocumentOffersOnlyPuttingMarks) {
  const TCommandStates st = ComputeCommandStates(OnARowWithText());
  for (int n = 0; n < 5; ++n) {
    EXPECT_TRUE(st[Index(Nth(C::BoockMark1, n))].Enabled);
    EXPECT_FALSE(st[Index(Nth(C::BoockMark1, n))].Checked);
  }
  for (int n = 0; n < 10; ++n) {
    EXPECT_TRUE(st[Index(Nth(C::jump1, n))].Enabled);
    EXPECT_FALSE(st[Index(Nth(C::GoMark1, n))].Enabled);
  }
  for (C id : {C::BeforeBoockMark, C::NextBoockMark, C::DelBoockMarks, C::DelJumpMarks})
    EXPECT_FALSE(st[Index(id)].Enabled) << CommandInfo(id).Name;
}

TEST(MarkState, AnEmptyCaretRowTakesNoMarkButNavigationStays) {
  TCommandSnapshot s = OnARowWithText();
  s.CaretRowEndCol = 0;
  s.Marks.AnyBookmark = s.Marks.BookmarkAbove = true;
  s.Marks.JumpUsed[6] = true;
  const TCommandStates st = ComputeCommandStates(s);
  EXPECT_FALSE(st[Index(C::BoockMark1)].Enabled);
  EXPECT_FALSE(st[Index(C::jump7)].Enabled);
  EXPECT_TRUE(st[Index(C::BeforeBoockMark)].Enabled);
  EXPECT_FALSE(st[Index(C::NextBoockMark)].Enabled);
  EXPECT_TRUE(st[Index(C::DelBoockMarks)].Enabled);
  EXPECT_TRUE(st[Index(C::GoMark7)].Enabled);
  EXPECT_FALSE(st[Index(C::GoMark6)].Enabled);
  EXPECT_TRUE(st[Index(C::DelJumpMarks)].Enabled);
}

TEST(MarkState, TheCaretRowsMarksAreChecked) {
  TCommandSnapshot s = OnARowWithText();
  s.Marks.Bookmark[2] = true;
  s.Marks.Jump[9] = true;
  s.Marks.JumpUsed[9] = true;
  s.Marks.AnyBookmark = true;
  const TCommandStates st = ComputeCommandStates(s);
  EXPECT_TRUE(st[Index(C::BoockMark3)].Checked);
  EXPECT_FALSE(st[Index(C::BoockMark2)].Checked);
  EXPECT_TRUE(st[Index(C::jump10)].Checked);
  EXPECT_FALSE(st[Index(C::jump1)].Checked);
  EXPECT_TRUE(st[Index(C::GoMark10)].Enabled);
  EXPECT_TRUE(CommandInfo(C::BoockMark3).Checkable);
  EXPECT_TRUE(CommandInfo(C::jump10).Checkable);
  EXPECT_FALSE(CommandInfo(C::GoMark10).Checkable);
  // Without an editor nothing of the Mark menu acts.
  s.HasEditor = false;
  const TCommandStates none = ComputeCommandStates(s);
  for (std::size_t i = Index(C::BoockMark1); i <= Index(C::DelJumpMarks); ++i)
    EXPECT_FALSE(none[i].Enabled) << CommandInfo(CommandAt(i)).Name;
}

} // namespace
} // namespace ze
