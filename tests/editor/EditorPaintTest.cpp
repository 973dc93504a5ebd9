#include "editor/Resources.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;
using test::TDrawKind;

const std::string kKan = "\x8A\xBF"; // 漢

struct Painting : EditorFixture {};

TEST_F(Painting, TokensTakeTheirColoursAndTheRestTheDefaults) {
  e.View()->Colors()->Int()->SetColor(0x0000FF);
  e.View()->Colors()->Str()->SetBkColor(0x00FFFF);
  e.View()->SetQuotation("'");
  SetText("ab 123 'q' " + kKan + "\r\n");
  PaintAll();
  EXPECT_EQ(Shown(0, 14), "ab 123 'q' " + kKan + " ");
  EXPECT_EQ(screen.CellAt(X(0) + 2, Y(0) + 2).Fg, clBlack);
  EXPECT_EQ(screen.CellAt(X(3) + 2, Y(0) + 2).Fg, 0x0000FFu);
  EXPECT_EQ(screen.CellAt(X(5) + 2, Y(0) + 2).Fg, 0x0000FFu);
  EXPECT_EQ(screen.PixelAt(X(8) + 1, Y(0) + 1), 0x00FFFFu); // string background
  EXPECT_EQ(screen.PixelAt(X(2) + 1, Y(0) + 1), clWhite);
  // The double-byte character spans exactly two columns.
  EXPECT_TRUE(screen.CellAt(X(12) + 2, Y(0) + 2).Trail);
}

TEST_F(Painting, TabsArePaintedAsTheColumnsTheyCover) {
  e.Caret()->SetTabSpaceCount(4);
  SetText("\tab\tc\r\n");
  PaintAll();
  EXPECT_EQ(Shown(0, 9), "    ab  c");
  // The margins left of and above the text are painted too.
  EXPECT_EQ(screen.PixelAt(e.TextLeft() - 2, Y(0) + 4), clWhite);
  EXPECT_EQ(screen.PixelAt(X(0) + 4, 0), clWhite);
}

TEST_F(Painting, EofMarkFollowsTheText) {
  e.Marks()->EofMark()->SetVisible(true);
  PaintAll();
  EXPECT_EQ(Shown(0, 5), "[EOF]"); // empty text
  SetText("ab\r\n");
  PaintAll();
  EXPECT_EQ(Shown(0, 5), "ab   ");
  EXPECT_EQ(Shown(1, 5), "[EOF]");
  SetText("ab");
  PaintAll();
  EXPECT_EQ(Shown(0, 7), "ab[EOF]");
  EXPECT_EQ(Shown(1, 5), "     ");
}

TEST_F(Painting, LongRowsAreShownWholeWithoutAHideMark) {
  e.Marks()->HideMark()->SetVisible(true);
  e.Marks()->RetMark()->SetVisible(true);
  std::string row = std::string(999, 'y') + kKan + std::string(3000, 'z') + "END";
  SetText(row + "\r\n");
  PaintAll();
  // Only what the window can show goes to the surface.
  for (const auto& t : screen.Texts()) EXPECT_LE(t.size(), static_cast<size_t>(e.ColCount() + 4));
  // The double-byte character across column 1000 is drawn whole.
  e.SetTopCol(995);
  PaintAll();
  auto shownFrom = [&](int col, int n) { return screen.TextAt(X(col), Y(0), n, e.ColWidth()); };
  EXPECT_EQ(shownFrom(995, 8), "yyyy" + kKan + "zz");
  e.SetTopCol(1000);
  PaintAll();
  EXPECT_EQ(screen.CellAt(X(1000), Y(0)).Trail, true); // the right half, drawn from its lead
  // At the far end the row's last bytes and its line-break mark show.
  const int width = static_cast<int>(row.size());
  e.SetTopCol(width);
  EXPECT_EQ(e.TopCol(), width - e.ColCount() / 2); // the extent follows the row
  PaintAll();
  EXPECT_EQ(shownFrom(width - 5, 6), "zzEND ");
  bool retMark = false;
  for (const auto& c : screen.Calls(TDrawKind::Line))
    retMark = retMark || (c.Y >= Y(0) && c.Y < Y(1) && c.X >= X(width) && c.X < X(width + 1));
  EXPECT_TRUE(retMark);
}

TEST_F(Painting, ControlBytesKeepOneColumnEachAndReachTheSurface) {
  // Byte 26 (the old end-of-file mark), other control bytes and DEL are
  // ordinary one-column bytes of the row; the surface draws their glyphs.
  const std::string row = std::string("before\x1A" "after\x01\x1F\x7F") + "z";
  SetText(row + "\r\nnext\r\n");
  EXPECT_EQ(e.RowText(0).str(), row);
  EXPECT_EQ(e.RowEndCol(0), static_cast<int>(row.size()));
  PaintAll();
  EXPECT_EQ(Shown(0, static_cast<int>(row.size())), row);
  EXPECT_EQ(Shown(1, 4), "next");
}

TEST_F(Painting, LineBreakAndWrapMarks) {
  e.Marks()->RetMark()->SetVisible(true);
  e.Marks()->RetMark()->SetColor(0x00FF00);
  e.Marks()->WrapMark()->SetVisible(true);
  e.Marks()->WrapMark()->SetColor(0xFF0000);
  e.WrapOption()->SetWrapByte(20);
  e.SetWordWrap(true);
  SetText(std::string(30, 'a') + "\r\nb");
  PaintAll();
  int ret = 0, wrap = 0;
  for (const auto& c : screen.Calls(TDrawKind::Line)) {
    ret += c.Fg == 0x00FF00u && c.Y >= Y(1) && c.Y < Y(2);
    wrap += c.Fg == 0xFF0000u && c.Y >= Y(0) && c.Y < Y(1);
  }
  EXPECT_EQ(ret, 3);  // shaft and two barbs after "aaaaaaaaaa"
  EXPECT_EQ(wrap, 2); // a chevron after the wrapped row
}

TEST_F(Painting, UnderlinedTokensGetADottedLine) {
  e.View()->Colors()->Int()->SetStyle(FontStyles({fsUnderline}));
  SetText("x 42\r\n");
  PaintAll();
  bool dotted = false;
  for (const auto& c : screen.Calls(TDrawKind::DrawBitmap))
    dotted = dotted || (c.Y == Y(0) + 15 && c.X == X(2));
  EXPECT_TRUE(dotted);
  for (const auto& c : screen.Calls(TDrawKind::TextOut))
    EXPECT_FALSE(HasFontStyle(c.Style, fsUnderline));
}

TEST_F(Painting, FullRedrawModeFillsInsteadOfDrawingABase) {
  SetText("abc 12\r\n");
  PaintAll();
  size_t baseTexts = screen.Calls(TDrawKind::TextOut).size();
  e.View()->Colors()->Int()->SetStyle(FontStyles({fsItalic}));
  EXPECT_TRUE(e.ItalicInUse());
  PaintAll();
  // Every token is drawn on its own now, and no opaque base row.
  EXPECT_GT(screen.Calls(TDrawKind::TextOut).size(), baseTexts);
  EXPECT_EQ(Shown(0, 6), "abc 12");
}

struct Bars : EditorFixture {};

TEST_F(Bars, LineNumbersInRowModeWithZeroLead) {
  e.Leftbar()->SetVisible(true);
  e.Leftbar()->SetZeroLead(true);
  std::string text;
  for (int i = 0; i < 10; ++i) text += "r\r\n";
  SetText(text);
  PaintAll();
  int x = e.ImagebarWidth() + e.Leftbar()->LeftMargin();
  EXPECT_EQ(screen.TextAt(x, Y(7), 4, 8), "0008");
  EXPECT_EQ(screen.TextAt(x, Y(10), 4, 8), "0011"); // the row after the final break
  EXPECT_EQ(screen.TextAt(x, Y(11), 4, 8), "    ");
  e.Leftbar()->SetZeroBase(true);
  e.Leftbar()->SetZeroLead(false);
  PaintAll();
  EXPECT_EQ(screen.TextAt(x, Y(7), 4, 8), "   7");
}

TEST_F(Bars, LineModeNumbersOnlyTheFirstRowOfEachLine) {
  e.Leftbar()->SetVisible(true);
  e.Leftbar()->SetShowNumberMode(nmLine);
  e.WrapOption()->SetWrapByte(20);
  e.SetWordWrap(true);
  SetText(std::string(50, 'a') + "\r\nb\r\n");
  PaintAll();
  int x = e.ImagebarWidth() + e.Leftbar()->LeftMargin();
  EXPECT_EQ(screen.TextAt(x, Y(0), 4, 8), "   1");
  EXPECT_EQ(screen.TextAt(x, Y(1), 4, 8), "    ");
  EXPECT_EQ(screen.TextAt(x, Y(2), 4, 8), "    ");
  EXPECT_EQ(screen.TextAt(x, Y(3), 4, 8), "   2");
  EXPECT_EQ(screen.TextAt(x, Y(4), 4, 8), "   3");
}

TEST_F(Bars, ImageBarShowsTheLowestDigitMarkAndTheLowestBookmark) {
  SetText("a\r\nb\r\n");
  e.List().SetRowMarks(0, (1u << 3) | (1u << 5) | (1u << 11) | (1u << 14));
  PaintAll();
  std::vector<const void*> images;
  for (const auto& c : screen.Calls(TDrawKind::DrawBitmap))
    if (c.Y == Y(0) + 2) images.push_back(c.BitmapId);
  EXPECT_EQ(images, (std::vector<const void*>{&DigitImage(3), &MarkImage(1)}));
}

TEST_F(Bars, HostImageListsReplaceOnlyTheImagesTheyHave) {
  SetText("a\r\nb\r\nc\r\n");
  TEditor::TImageList marks(2);
  marks[0].Resize(11, 11, 0x123456);
  marks[1].Resize(11, 11, 0x654321);
  e.SetImageMarks(&marks);
  e.List().SetRowMarks(0, 1u << 10);
  e.List().SetRowMarks(1, 1u << 11);
  e.List().SetRowMarks(2, 1u << 12); // the list has no third image
  PaintAll();
  std::vector<const void*> images;
  for (const auto& c : screen.Calls(TDrawKind::DrawBitmap)) images.push_back(c.BitmapId);
  EXPECT_EQ(images, (std::vector<const void*>{&marks[0], &marks[1], &MarkImage(2)}));
}

TEST_F(Bars, RulerShowsColumnNumbersAndMarksTheCaret) {
  e.Ruler()->SetVisible(true);
  SetText("abc\r\n");
  Focus();
  e.SetCol(2);
  PaintAll();
  const TBitmap& ruler = e.RulerBitmap();
  ASSERT_GT(ruler.Width, 0);
  // A long tick at every tenth column and the caret cell in the mark colour.
  EXPECT_EQ(ruler.At(10 * 8, 1), PixelOf(clBlack));
  EXPECT_EQ(screen.PixelAt(X(2) + 3, 4), e.Ruler()->MarkColor());
}

struct Selection : EditorFixture {};

TEST_F(Selection, NormalSelectionIsDrawnInvertedBetweenItsColumns) {
  SetText("0123456789\r\nabcdefghij\r\n");
  TFountainColor* sel = e.View()->Colors()->Select();
  sel->SetBkColor(0x0000C0);
  sel->SetColor(0x00FFFF);
  e.SetSelectionState(sstSelected);
  e.SelectionRectRef() = {0, 1, 4, 3};
  PaintAll();
  EXPECT_EQ(screen.PixelAt(X(3) + 1, Y(0) + 1), clWhite);
  EXPECT_EQ(screen.PixelAt(X(4) + 1, Y(0) + 1), 0x0000C0u);
  EXPECT_EQ(screen.CellAt(X(5) + 2, Y(0) + 4).Fg, 0x00FFFFu);
  EXPECT_EQ(screen.PixelAt(X(2) + 1, Y(1) + 1), 0x0000C0u);
  EXPECT_EQ(screen.PixelAt(X(3) + 1, Y(1) + 1), clWhite);
  // Without colours of its own the selection inverts the text.
  sel->SetBkColor(clNone);
  sel->SetColor(clNone);
  PaintAll();
  EXPECT_EQ(screen.PixelAt(X(4) + 1, Y(0) + 1), clBlack);
  EXPECT_EQ(screen.CellAt(X(5) + 2, Y(0) + 4).Fg, clWhite);
}

TEST_F(Selection, BoxEdgesTakeDoubleByteCharactersWholeOnTheRight) {
  SetText("a" + kKan + "bc\r\n" + kKan + kKan + "\r\n" + "\tx\r\n");
  e.View()->Colors()->Select()->SetBkColor(0x0000C0);
  const TColor selected = 0x0000C0;
  e.SetSelectionState(sstSelected);
  e.SetSelectionModeDirect(smBox);
  e.SelectionRectRef() = {0, 2, 2, 4};
  PaintAll();
  // Row 0: 漢 (columns 1-2) is cut by the left edge: outside; b is inside.
  EXPECT_EQ(screen.PixelAt(X(2) + 1, Y(0) + 1), clWhite);
  EXPECT_EQ(screen.PixelAt(X(3) + 1, Y(0) + 1), selected);
  EXPECT_EQ(screen.PixelAt(X(4) + 1, Y(0) + 1), clWhite);
  // Row 1: the second 漢 (columns 2-3) is inside.
  EXPECT_EQ(screen.PixelAt(X(2) + 1, Y(1) + 1), selected);
  EXPECT_EQ(screen.PixelAt(X(4) + 1, Y(1) + 1), clWhite);
  // Row 2: the tab covers columns 0-7; both edges inside it move to its end.
  EXPECT_EQ(screen.PixelAt(X(3) + 1, Y(2) + 1), clWhite);
  // A right edge that cuts a character takes it whole.
  e.SelectionRectRef() = {1, 1, 0, 3};
  PaintAll();
  EXPECT_EQ(screen.PixelAt(X(3) + 6, Y(1) + 1), selected);
  EXPECT_EQ(screen.PixelAt(X(4) + 1, Y(1) + 1), clWhite);
}

struct Updater : EditorFixture {};

TEST_F(Updater, TypingInARowRepaintsThatRowOnly) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "row\r\n";
  SetText(text);
  PaintAll();
  host.ClearRecords();
  e.List().ReplaceText(5, 1, "rowx\r\n");
  // The edit rewraps the row and the line after it; nothing else is
  // touched.
  ASSERT_FALSE(host.invalidated.empty());
  for (const TRect& r : host.invalidated) {
    EXPECT_GE(r.Top, Y(5));
    EXPECT_LE(r.Bottom, Y(7));
  }
  EXPECT_TRUE(host.scrolls.empty());
  EXPECT_TRUE(e.Modified());
}

TEST_F(Updater, InsertedRowsScrollTheRestDown) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "row\r\n";
  SetText(text);
  host.ClearRecords();
  e.List().ReplaceText(5, 1, "a\r\nb\r\n");
  ASSERT_FALSE(host.scrolls.empty());
  EXPECT_EQ(host.scrolls.back().Dy, 16);
  EXPECT_EQ(host.scrolls.back().Rect.Top, Y(8)); // below a, b and the rewrapped row
}

TEST_F(Updater, ChangesReachBothViewsOfASharedText) {
  auto second = Create<TEditor>(nullptr);
  test::THeadlessHost host2;
  second->SetHost(&host2);
  second->ShareScreenStrings(&e);
  SetText("a\r\nb\r\n");
  host2.ClearRecords();
  int changes = 0;
  second->OnChange = [&](TObject*) { ++changes; };
  e.List().ReplaceText(1, 1, "c\r\n");
  EXPECT_FALSE(host2.invalidated.empty());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(second->RowText(1), "c");
  second->SetHost(nullptr);
}

} // namespace
} // namespace ze
