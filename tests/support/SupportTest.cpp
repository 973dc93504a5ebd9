// The headless window and the recording surface are what every editor
// painting test trusts, so their rasterising and scrolling are checked
// here against hand-worked pixels.
#include <gtest/gtest.h>

#include "tests/support/HeadlessHost.h"
#include "tests/support/RecordingSurface.h"

namespace ze::test {
namespace {

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0x000000;

TEST(RecordingSurface, TextTakesOneCellPerByteAndADoubleByteCharacterTwo) {
  TRecordingSurface s(100, 40);
  s.FillRect(TRect{0, 0, 100, 40}, kWhite);
  // "a", then 0x82A0 (hiragana a), then "b"
  s.TextOut(8, 16, TRect{0, 0, 100, 40},
            "a\x82\xA0"
            "b",
            8, kRed, kBlue, true, 0);
  EXPECT_EQ(s.TextAt(8, 16, 4, 8), "a\x82\xA0"
                                   "b");
  TCell lead = s.CellAt(16 + 7, 16 + 15), trail = s.CellAt(24, 16);
  EXPECT_TRUE(lead.HasText && !lead.Trail);
  EXPECT_TRUE(trail.HasText && trail.Trail);
  EXPECT_EQ(trail.Byte, 0xA0);
  EXPECT_EQ(lead.Fg, kRed);
  EXPECT_EQ(lead.Bg, kBlue); // opaque
  // Nothing beyond the four cells and the font height.
  EXPECT_FALSE(s.CellAt(40, 16).HasText);
  EXPECT_FALSE(s.CellAt(8, 32).HasText);
  EXPECT_EQ(s.PixelAt(40, 16), kWhite);
  EXPECT_EQ(s.CountPixels(TRect{0, 0, 100, 40}, kBlue), 4 * 8 * 16);
}

TEST(RecordingSurface, TransparentTextKeepsThePixelsBelowAndALoneLeadByteIsOneCell) {
  TRecordingSurface s(64, 16);
  s.FillRect(TRect{0, 0, 64, 16}, kBlue);
  s.TextOut(0, 0, TRect{0, 0, 64, 16}, "x\x82", 8, kBlack, kWhite, false, 0);
  EXPECT_EQ(s.CellAt(3, 3).Bg, kBlue);
  EXPECT_FALSE(s.CellAt(8, 0).Trail);
  EXPECT_EQ(s.CellAt(8, 0).Byte, 0x82);
  EXPECT_EQ(s.CountPixels(TRect{0, 0, 64, 16}, kWhite), 0);
}

TEST(RecordingSurface, ClipOfTheSurfaceAndOfTheTextBothApply) {
  TRecordingSurface s(80, 20);
  s.SetClipRect(TRect{10, 0, 80, 20});
  s.TextOut(0, 0, TRect{0, 0, 30, 20}, "abcdef", 8, kRed, kBlue, true, 0);
  // Cells 0 (x 0..7) is outside the surface clip; cell 1 is cut at x 10;
  // cells from x 30 on are outside the text clip.
  EXPECT_FALSE(s.CellAt(5, 5).HasText);
  EXPECT_FALSE(s.CellAt(9, 5).HasText);
  EXPECT_EQ(s.CellAt(10, 5).Byte, 'b');
  EXPECT_EQ(s.CellAt(29, 5).Byte, 'd');
  EXPECT_FALSE(s.CellAt(30, 5).HasText);
  EXPECT_EQ(s.CountPixels(TRect{0, 0, 80, 20}, kBlue), 20 * 16);
  s.FillRect(TRect{0, 0, 80, 20}, kWhite);
  EXPECT_EQ(s.PixelAt(9, 0), TRecordingSurface::kUnpainted);
  EXPECT_FALSE(s.CellAt(12, 5).HasText); // a fill covers text
}

TEST(RecordingSurface, LinesLeaveOutTheirEndPoint) {
  TRecordingSurface s(20, 20);
  s.Line(2, 2, 2, 6, kRed);     // vertical: y 2..5
  s.Line(4, 2, 8, 2, kBlue);    // horizontal: x 4..7
  s.Line(10, 10, 13, 13, kRed); // diagonal: (10,10)..(12,12)
  EXPECT_EQ(s.CountPixels(TRect{2, 0, 3, 20}, kRed), 4);
  EXPECT_EQ(s.PixelAt(2, 6), TRecordingSurface::kUnpainted);
  EXPECT_EQ(s.CountPixels(TRect{0, 2, 20, 3}, kBlue), 4);
  EXPECT_EQ(s.PixelAt(8, 2), TRecordingSurface::kUnpainted);
  EXPECT_EQ(s.PixelAt(12, 12), kRed);
  EXPECT_EQ(s.PixelAt(13, 13), TRecordingSurface::kUnpainted);
  ASSERT_EQ(s.Calls(TDrawKind::Line).size(), 3u);
  EXPECT_EQ(s.Calls(TDrawKind::Line)[1].X2, 8);
}

TEST(RecordingSurface, BitmapsSwapToColourOrderSkipTransparentPixelsAndStayInTheirSource) {
  TRecordingSurface s(20, 20);
  s.FillRect(TRect{0, 0, 20, 20}, kWhite);
  TBitmap bmp;
  bmp.Resize(3, 2, 0x00112233); // 0x00RRGGBB
  bmp.At(1, 0) = 0xFF000000;    // transparent
  // Asks for more than the bitmap has: only its 3 x 2 pixels are copied.
  s.DrawBitmap(5, 5, bmp, 0, 0, 10, 10);
  EXPECT_EQ(s.PixelAt(5, 5), 0x332211u);
  EXPECT_EQ(s.PixelAt(6, 5), kWhite);
  EXPECT_EQ(s.PixelAt(7, 6), 0x332211u);
  EXPECT_EQ(s.PixelAt(8, 5), kWhite);
  EXPECT_EQ(s.PixelAt(5, 7), kWhite);
  // From an offset into the bitmap.
  s.DrawBitmap(0, 0, bmp, 2, 1, 1, 1);
  EXPECT_EQ(s.PixelAt(0, 0), 0x332211u);
  EXPECT_EQ(s.PixelAt(1, 0), kWhite);
}

// A 4 x 4 raster with a distinct colour per pixel, to follow moves.
TRecordingSurface Numbered() {
  TRecordingSurface s(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      s.FillRect(TRect{x, y, x + 1, y + 1}, TColor(y * 4 + x));
  return s;
}

TEST(RecordingSurface, ScrollingMovesPixelsInsideTheRectInEitherDirection) {
  TRecordingSurface up = Numbered();
  up.ScrollPixels(0, -1, TRect{0, 0, 4, 4});
  EXPECT_EQ(up.PixelAt(1, 0), 5u);
  EXPECT_EQ(up.PixelAt(1, 2), 13u);
  EXPECT_EQ(up.PixelAt(1, 3), 13u); // uncovered: keeps its old pixels

  TRecordingSurface down = Numbered();
  down.ScrollPixels(0, 2, TRect{0, 0, 4, 4});
  EXPECT_EQ(down.PixelAt(2, 2), 2u);
  EXPECT_EQ(down.PixelAt(2, 3), 6u);

  TRecordingSurface right = Numbered();
  right.ScrollPixels(1, 0, TRect{1, 1, 4, 3}); // only rows 1-2, columns 1-3
  EXPECT_EQ(right.PixelAt(2, 1), 5u);
  EXPECT_EQ(right.PixelAt(3, 2), 10u);
  EXPECT_EQ(right.PixelAt(0, 1), 4u); // outside the rect: untouched
  EXPECT_EQ(right.PixelAt(3, 0), 3u);
}

TEST(HeadlessHost, UncoveredPartOfAScroll) {
  const TRect r{0, 10, 100, 110};
  EXPECT_EQ(UncoveredByScroll(0, -16, r), (std::vector<TRect>{TRect{0, 94, 100, 110}}));
  EXPECT_EQ(UncoveredByScroll(0, 16, r), (std::vector<TRect>{TRect{0, 10, 100, 26}}));
  EXPECT_EQ(UncoveredByScroll(-8, 0, r), (std::vector<TRect>{TRect{92, 10, 100, 110}}));
  EXPECT_EQ(UncoveredByScroll(8, 16, r),
            (std::vector<TRect>{TRect{0, 10, 100, 26}, TRect{0, 26, 8, 110}}));
  EXPECT_EQ(UncoveredByScroll(0, -100, r), std::vector<TRect>{r});
  EXPECT_TRUE(UncoveredByScroll(0, 0, r).empty());
}

TEST(HeadlessHost, ScrollCarriesPendingAreasAndTheScreenAndUpdateNowPaintsTheRest) {
  THeadlessHost host(100, 100);
  TRecordingSurface screen(100, 100);
  host.screen = &screen;
  screen.FillRect(TRect{0, 0, 100, 50}, kRed);
  screen.FillRect(TRect{0, 50, 100, 100}, kBlue);
  host.Invalidate(TRect{0, 60, 10, 70});
  host.ScrollContents(0, -20, TRect{0, 20, 100, 100});
  EXPECT_EQ(screen.PixelAt(50, 29), kRed);
  EXPECT_EQ(screen.PixelAt(50, 30), kBlue);
  EXPECT_TRUE(host.IsDirty(5, 45));  // the invalid area moved up with its pixels
  EXPECT_TRUE(host.IsDirty(50, 85)); // uncovered at the bottom
  EXPECT_FALSE(host.IsDirty(50, 50));

  TRect painted;
  host.onUpdateNow = [&](const TRect& r) { painted = r; };
  host.UpdateNow();
  EXPECT_EQ(painted, (TRect{0, 40, 100, 100}));
  EXPECT_TRUE(host.DirtyBounds().IsEmpty());
  painted = TRect{};
  host.UpdateNow(); // nothing dirty: nothing painted
  EXPECT_TRUE(painted.IsEmpty());
  EXPECT_EQ(host.Count("UpdateNow"), 2);
}

TEST(HeadlessHost, CaretIsCreatedHiddenAndIgnoresCallsWithoutOne) {
  THeadlessHost host;
  host.ShowCaret();
  host.SetCaretPos(5, 5);
  EXPECT_FALSE(host.caret.Visible);
  EXPECT_EQ(host.caret.Shows, 0);
  host.CreateCaret(2, 16);
  EXPECT_FALSE(host.caret.Visible);
  host.SetCaretPos(31, 18);
  host.ShowCaret();
  EXPECT_TRUE(host.caret.Visible);
  EXPECT_EQ(host.caret.X, 31);
  host.DestroyCaret();
  EXPECT_FALSE(host.caret.Exists || host.caret.Visible);
  EXPECT_LT(host.Find("CreateCaret"), host.Find("ShowCaret", host.Find("CreateCaret")));
}

} // namespace
} // namespace ze::test
