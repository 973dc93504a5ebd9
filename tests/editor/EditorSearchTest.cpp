#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

struct Search : EditorFixture {
  // Where the hit starts: with hsSelect and hsDraw the caret ends at the
  // end of the marked hit, with hsCaret at its start.
  int HitRow() const { return e.SelectionRange().StartRow; }
  int HitPos() const { return e.SelectionRange().StartPos; }

  // Many rows, so that a search crosses many 8 KB chunks.
  void ManyRows() {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "filler row number " + std::to_string(i) + "\r\n";
    text += "the needle is here\r\n";
    for (int i = 0; i < 3000; ++i) text += "more filler " + std::to_string(i) + "\r\n";
    SetText(text);
  }
};

TEST_F(Search, ForwardAndBackwardAcrossManyChunks) {
  ManyRows();
  ASSERT_TRUE(e.SearchText("needle", soDown | soMatchCase));
  EXPECT_EQ(HitRow(), 3000);
  EXPECT_EQ(HitPos(), 4);
  EXPECT_EQ(e.SelText(), "needle");
  EXPECT_FALSE(e.SearchText("needle", soDown | soMatchCase)); // no second one, no wrap
  EXPECT_EQ(e.SelText(), "needle");                           // nothing changed
  e.KeyDown(VK_END, ssCtrl);
  ASSERT_TRUE(e.SearchText("NEEDLE", 0)); // backward, ignoring case
  EXPECT_EQ(HitRow(), 3000);
  EXPECT_FALSE(e.SearchText("NEEDLE", 0));
}

TEST_F(Search, NextHitStartsAfterThePreviousOneInEveryHitStyle) {
  Focus();
  for (TEditorHitStyle style : {hsSelect, hsDraw, hsCaret}) {
    SetText("abcabcab\r\n");
    e.SetHitStyle(style);
    e.SetRowCol(0, 0);
    ASSERT_TRUE(e.SearchText("abc", soDown));
    EXPECT_EQ(HitPos(), 0);
    EXPECT_EQ(e.HitSelLength(), 3);
    if (style == hsCaret) {
      EXPECT_EQ(e.Col(), 0); // a wide caret over the hit, no highlighted selection
      EXPECT_EQ(host.caret.Width, 3 * 8);
      EXPECT_EQ(e.SelectionState(), sstHitSelected);
    }
    ASSERT_TRUE(e.SearchText("abc", soDown)) << "style " << style;
    EXPECT_EQ(HitPos(), 3) << "style " << style;
    EXPECT_FALSE(e.SearchText("abc", soDown));
  }
}

TEST_F(Search, HitAcrossALineBreakSelectsOverIt) {
  SetText("xxabc\r\ndefyy\r\n");
  ASSERT_TRUE(e.SearchText("abcdef", soDown | soIncludeCRLF | soIncludeSpace));
  EXPECT_EQ(HitRow(), 0);
  EXPECT_EQ(HitPos(), 2);
  EXPECT_EQ(e.HitSelLength(), 8);
  EXPECT_EQ(e.SelText(), "abc\r\ndef");
}

TEST_F(Search, EndsOfTheTextAndEmptyTexts) {
  EXPECT_FALSE(e.SearchText("a", soDown));
  SetText("aaa\r\n");
  e.SetRowCol(0, 0);
  EXPECT_FALSE(e.SearchText("a", 0)); // backward from the start
  e.KeyDown(VK_END, ssCtrl);
  EXPECT_FALSE(e.SearchText("a", soDown)); // forward from the end
  EXPECT_EQ(e.SelectionState(), sstNone);
  ASSERT_TRUE(e.SearchText("a", 0));
  EXPECT_EQ(HitPos(), 2);
}

TEST_F(Search, HitsNeverSplitADoubleByteCharacter) {
  // The trail byte of ア is 'A'; it must not be found as one.
  SetText("\x83\x41" "x\x82\x60" "A\r\n"); // ア x Ａ A
  ASSERT_TRUE(e.SearchText("A", soDown | soMatchCase));
  EXPECT_EQ(HitPos(), 5);
  e.CleanSelection();
  e.SetRowCol(0, 0);
  ASSERT_TRUE(e.SearchText("A", soDown | soMatchCase | soNoMatchZenkaku));
  EXPECT_EQ(HitPos(), 3); // the full-width Ａ
  EXPECT_EQ(e.HitSelLength(), 2);
}

TEST_F(Search, AHitBelowTheWindowIsScrolledIntoView) {
  ManyRows();
  ASSERT_TRUE(e.SearchText("needle", soDown));
  EXPECT_LE(e.TopRow(), 3000);
  EXPECT_GT(e.TopRow() + e.RowCount(), 3000);
}

TEST_F(Search, WholeWordHitsNeverStartOnADelimiterInEitherDirection) {
  // "[" is a delimiter: as a whole word it is found nowhere, whether the
  // text starts with it, with another delimiter or with a word.
  for (const std::string text : {"_[", "a_[", "[", " [", "x [ y", "_[\r\n_["})
    for (int more : {0, int(soMatchCase), int(soNoMatchZenkaku), soMatchCase | soNoMatchZenkaku,
                     soIncludeSpace | soIncludeCRLF}) {
      const TSearchOptions o = static_cast<TSearchOptions>(soWholeWord | more);
      SetText(text);
      e.KeyDown(VK_END, ssCtrl);
      EXPECT_FALSE(e.SearchText("[", o)) << "backward in " << text << " options " << o;
      e.KeyDown(VK_HOME, ssCtrl);
      EXPECT_FALSE(e.SearchText("[", static_cast<TSearchOptions>(o | soDown)))
          << "forward in " << text << " options " << o;
    }
}

} // namespace
} // namespace ze
