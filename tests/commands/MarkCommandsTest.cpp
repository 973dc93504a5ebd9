#include "app/commands/MarkCommands.h"
#include "editor/Resources.h"
#include "tests/commands/CommandsFixture.h"

namespace ze {
namespace {

struct MarkCommands : test::CommandsFixture {
  MarkCommands() {
    std::string text;
    for (int i = 0; i < 100; ++i)
      text += "row " + std::to_string(i) + "|";
    Load(text);
  }
  TRowMarks Bookmark(int n) const { return static_cast<TRowMarks>(1u << BookmarkRowMark(n)); }
  TRowMarks Jump(int n) const { return static_cast<TRowMarks>(1u << JumpRowMark(n)); }
};

TEST_F(MarkCommands, ABookmarkTogglesAndShowsTheMarkColumnWhileItExists) {
  e.SetRowCol(3, 0);
  ToggleBookmark(Views(), 1);
  EXPECT_EQ(e.GetRowMarks(3), Bookmark(1));
  TEditorImagebar& bar = *e.Imagebar();
  EXPECT_TRUE(bar.Visible());
  EXPECT_EQ(bar.MarkWidth(), 13);
  EXPECT_EQ(bar.DigitWidth(), 13);
  EXPECT_EQ(bar.LeftMargin(), 0);
  EXPECT_EQ(bar.RightMargin(), 0);
  EXPECT_EQ(e.ImageMarks(), &BookmarkImages());
  EXPECT_EQ(e.ImageDigits(), &JumpMarkImages());
  ToggleBookmark(Views(), 1);
  EXPECT_EQ(e.GetRowMarks(3), 0);
  EXPECT_FALSE(bar.Visible());
}

TEST_F(MarkCommands, ARowHoldsOneBookmarkWhateverTheMenuLastShowed) {
  e.SetRowCol(5, 0);
  ToggleBookmark(Views(), 3);
  // No menu was opened since: the row itself decides.
  ToggleBookmark(Views(), 2);
  EXPECT_EQ(e.GetRowMarks(5), Bookmark(2));
  ToggleBookmark(Views(), 1);
  EXPECT_EQ(e.GetRowMarks(5), Bookmark(1));
  // A bookmark number may stand on several rows.
  e.SetRowCol(9, 0);
  ToggleBookmark(Views(), 1);
  EXPECT_EQ(e.GetRowMarks(9), Bookmark(1));
  EXPECT_EQ(e.GetRowMarks(5), Bookmark(1));
}

TEST_F(MarkCommands, JumpMarksAreUniqueAndOnePerRow) {
  e.SetRowCol(10, 0);
  ToggleJumpMark(Views(), 3);
  e.SetRowCol(20, 0);
  ToggleJumpMark(Views(), 3);
  EXPECT_EQ(e.GetRowMarks(10), 0);
  EXPECT_EQ(e.GetRowMarks(20), Jump(3));
  ToggleJumpMark(Views(), 10);
  EXPECT_EQ(e.GetRowMarks(20), Jump(10));
  ToggleBookmark(Views(), 4); // bookmarks and jump marks live side by side
  EXPECT_EQ(e.GetRowMarks(20), Jump(10) | Bookmark(4));
  ToggleJumpMark(Views(), 0); // out of range
  ToggleJumpMark(Views(), 11);
  ToggleBookmark(Views(), 6);
  EXPECT_EQ(e.GetRowMarks(20), Jump(10) | Bookmark(4));
}

TEST_F(MarkCommands, MarksNeverGoOnEmptyRows) {
  Load("a||b|");
  e.SetRowCol(1, 0);
  ToggleBookmark(Views(), 1);
  ToggleJumpMark(Views(), 1);
  EXPECT_EQ(e.GetRowMarks(1), 0);
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(MarkCommands, GoToJumpMarkCentresARowOutOfView) {
  const int visible = e.RowCount();
  ASSERT_LT(visible, 90);
  e.PutRowMark(80, JumpRowMark(5));
  GoToJumpMark(&e, 5);
  EXPECT_EQ(e.Row(), 80);
  EXPECT_EQ(e.TopRow(), 80 - visible / 2);
  const int top = e.TopRow();
  e.PutRowMark(81, JumpRowMark(6));
  GoToJumpMark(&e, 6); // in view: no scrolling
  EXPECT_EQ(e.Row(), 81);
  EXPECT_EQ(e.TopRow(), top);
  GoToJumpMark(&e, 7); // no such mark
  EXPECT_EQ(e.Row(), 81);
  GoToJumpMark(nullptr, 6);
}

TEST_F(MarkCommands, PreviousAndNextBookmark) {
  e.PutRowMark(4, BookmarkRowMark(2));
  e.PutRowMark(60, BookmarkRowMark(5));
  e.PutRowMark(30, JumpRowMark(1)); // not a bookmark
  e.SetRowCol(20, 0);
  NextBookmark(&e);
  EXPECT_EQ(e.Row(), 60);
  NextBookmark(&e); // none below
  EXPECT_EQ(e.Row(), 60);
  PreviousBookmark(&e);
  EXPECT_EQ(e.Row(), 4);
  PreviousBookmark(&e);
  EXPECT_EQ(e.Row(), 4);
  e.SetRowCol(100, 0); // the row after the final line break
  PreviousBookmark(&e);
  EXPECT_EQ(e.Row(), 60);
}

TEST_F(MarkCommands, DeleteAllRemovesOneKindOnly) {
  e.PutRowMark(1, BookmarkRowMark(1));
  e.PutRowMark(2, BookmarkRowMark(5));
  e.PutRowMark(2, JumpRowMark(2));
  e.PutRowMark(3, 15); // a mark the program does not use stays
  UpdateMarkColumn(Views());
  DeleteAllBookmarks(Views());
  EXPECT_FALSE(HasBookmark(e));
  EXPECT_EQ(e.GetRowMarks(2), Jump(2));
  EXPECT_TRUE(e.Imagebar()->Visible());
  DeleteAllJumpMarks(Views());
  EXPECT_FALSE(HasJumpMark(e));
  EXPECT_EQ(e.GetRowMarks(3), 1 << 15);
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(MarkCommands, CleanUpOnlyTouchesAnEmptyCaretRow) {
  Load("abc|def|");
  e.PutRowMark(0, BookmarkRowMark(1));
  e.PutRowMark(0, JumpRowMark(4));
  e.SetRowCol(0, 3);
  CleanUpEmptyCaretRow(Views());
  EXPECT_EQ(e.GetRowMarks(0), Bookmark(1) | Jump(4));
  // The text goes (as with Backspace), the marks stay until the clean-up.
  e.SetRowCol(0, 0);
  e.StartSelection();
  e.SetRowCol(0, 3);
  e.ExtendSelection();
  e.SetSelText("");
  CleanUpEmptyCaretRow(Views());
  EXPECT_EQ(e.GetRowMarks(0), 0);
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(MarkCommands, MenuStatesFollowTheCaretRow) {
  TMarkMenuState none = MarkMenuState(nullptr);
  EXPECT_FALSE(none.Available);
  e.PutRowMark(10, BookmarkRowMark(3));
  e.PutRowMark(10, JumpRowMark(7));
  e.SetRowCol(10, 0);
  TMarkMenuState s = MarkMenuState(&e);
  EXPECT_TRUE(s.Available);
  EXPECT_TRUE(s.BookmarkChecked[2]);
  EXPECT_FALSE(s.BookmarkChecked[0]);
  EXPECT_TRUE(s.JumpSetChecked[6]);
  EXPECT_TRUE(s.JumpGoEnabled[6]);
  EXPECT_FALSE(s.JumpGoEnabled[0]);
  EXPECT_TRUE(s.BookmarksEnabled);
  EXPECT_FALSE(s.PreviousEnabled);
  EXPECT_FALSE(s.NextEnabled);
  EXPECT_TRUE(s.DeleteBookmarksEnabled);
  EXPECT_TRUE(s.JumpToMenuEnabled);
  EXPECT_TRUE(s.DeleteJumpMarksEnabled);
  e.SetRowCol(5, 0);
  s = MarkMenuState(&e);
  EXPECT_TRUE(s.NextEnabled);
  EXPECT_FALSE(s.PreviousEnabled);
  EXPECT_FALSE(s.BookmarkChecked[2]);
  e.SetRowCol(100, 0);
  s = MarkMenuState(&e);
  EXPECT_FALSE(s.BookmarksEnabled);
  EXPECT_FALSE(s.SetJumpMenuEnabled);
  EXPECT_FALSE(s.JumpSetItemsEnabled);
  EXPECT_TRUE(s.PreviousEnabled);
}

TEST_F(MarkCommands, TheOtherViewOfASplitPageKeepsInStep) {
  std::unique_ptr<TEditor> other = Create<TEditor>(nullptr);
  other->ShareScreenStrings(&e);
  other->Imagebar()->SetVisible(false);
  int synced = 0;
  TDocumentViews v(&e, other.get(), [&](TEditor& a, TEditor& b) {
    EXPECT_EQ(&a, &e);
    EXPECT_EQ(&b, other.get());
    ++synced;
  });
  e.SetRowCol(2, 0);
  ToggleBookmark(v, 2);
  EXPECT_EQ(other->GetRowMarks(2), Bookmark(2)); // one text, one set of marks
  EXPECT_TRUE(other->Imagebar()->Visible());
  EXPECT_EQ(other->Imagebar()->MarkWidth(), 13);
  EXPECT_EQ(other->ImageMarks(), &BookmarkImages());
  EXPECT_EQ(other->ImageDigits(), &JumpMarkImages());
  EXPECT_EQ(synced, 1);
  DeleteAllBookmarks(v);
  EXPECT_FALSE(other->Imagebar()->Visible());
  EXPECT_EQ(synced, 2);
}

TEST(MarkMenu, ItemsCaptionsAndShortcuts) {
  const auto& items = MarkMenuItems();
  ASSERT_EQ(items.size(), 5u + 3u + 1u + 10u + 1u + 10u + 1u);
  auto find = [&](const std::string& name) -> const TMarkMenuItem* {
    for (const auto& i : items)
      if (i.Name == name) return &i;
    return nullptr;
  };
  ASSERT_TRUE(find("BoockMark3"));
  EXPECT_EQ(find("BoockMark3")->Caption, "ブックマーク 3");
  EXPECT_EQ(find("BoockMark3")->ShortCut, "Alt+3");
  EXPECT_EQ(find("jump1")->Caption, "ジャンプマーク 1 設定");
  EXPECT_EQ(find("jump10")->Caption, "ジャンプマーク10 設定");
  EXPECT_EQ(find("jump10")->ShortCut, "Ctrl+0");
  EXPECT_EQ(find("jump10")->Parent, "SetJumpMarks");
  EXPECT_EQ(find("GoMark9")->Caption, "ジャンプマーク 9 に移動");
  EXPECT_EQ(find("GoMark10")->ShortCut, "Ctrl+F10");
  EXPECT_EQ(find("DelJumpMarks")->ShortCut, "Ctrl+Del");
  EXPECT_EQ(find("BeforeBoockMark")->Caption, " 前のブックマークへ");
}

TEST(MarkImages, TenNumbersAndFiveDistinctSymbols) {
  const TEditor::TImageList& jumps = JumpMarkImages();
  const TEditor::TImageList& marks = BookmarkImages();
  ASSERT_EQ(jumps.size(), 10u);
  ASSERT_EQ(marks.size(), 5u);
  auto ink = [](const TBitmap& b, uint32_t pixel) {
    int n = 0;
    for (uint32_t p : b.Pixels)
      n += p == pixel;
    return n;
  };
  for (size_t i = 0; i < jumps.size(); ++i) {
    EXPECT_LE(jumps[i].Width, 13);
    EXPECT_LE(jumps[i].Height, 12);
    EXPECT_GT(ink(jumps[i], PixelOf(clWhite)), 5) << i;
    for (size_t j = 0; j < i; ++j)
      EXPECT_NE(jumps[i].Pixels, jumps[j].Pixels) << i << " " << j;
  }
  // "10" is wider in ink than "1".
  EXPECT_GT(ink(jumps[9], PixelOf(clWhite)), ink(jumps[0], PixelOf(clWhite)));
  for (size_t i = 0; i < marks.size(); ++i) {
    EXPECT_LE(marks[i].Width, 13);
    EXPECT_GT(ink(marks[i], kTransparentPixel), 0) << i; // not a plain square
    for (size_t j = 0; j < i; ++j) {
      // Different shapes: the transparent pixels differ, not just colours.
      std::vector<bool> a, b;
      for (uint32_t p : marks[i].Pixels)
        a.push_back(p == kTransparentPixel);
      for (uint32_t p : marks[j].Pixels)
        b.push_back(p == kTransparentPixel);
      EXPECT_NE(a, b) << i << " " << j;
    }
  }
}

TEST_F(MarkCommands, TheImagesArePaintedInTheMarkColumn) {
  e.SetRowCol(1, 0);
  ToggleJumpMark(Views(), 10);
  ToggleBookmark(Views(), 5);
  PaintAll();
  // Jump mark 10 at the left margin 0, bookmark 5 one slot (13) further,
  // both 2 pixels below the row top.
  bool jump = false, mark = false;
  for (const test::TDrawCall& c : screen.Calls(test::TDrawKind::DrawBitmap)) {
    jump |= c.BitmapId == &JumpMarkImages()[9] && c.X == 0 && c.Y == Y(1) + 2;
    mark |= c.BitmapId == &BookmarkImages()[4] && c.X == 13 && c.Y == Y(1) + 2;
  }
  EXPECT_TRUE(jump);
  EXPECT_TRUE(mark);
}

} // namespace
} // namespace ze
