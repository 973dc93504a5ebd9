// Rows far wider than the window: the caret, selections, editing, undo,
// search, box selection and scrolling work at any column.
#include <random>

#include "platform/CodePage.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

const std::string kKan = "\x8A\xBF"; // 漢

// A row of n bytes whose bytes tell where they are: "0123456789" repeated.
std::string Numbered(int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += static_cast<char>('0' + i % 10);
  return s;
}

struct LongRows : EditorFixture {
  bool CaretInView() const {
    return e.Col() >= e.TopCol() && e.Col() < e.TopCol() + e.ColCount() && e.Row() >= e.TopRow() &&
           e.Row() < e.TopRow() + e.RowCount();
  }
  std::string ShownAt(int row, int col, int n) {
    return screen.TextAt(X(col), Y(row), n, e.ColWidth());
  }
};

TEST_F(LongRows, EndThenShiftLeftSelectsCopiesCutsAndDeletesJustThoseCharacters) {
  Focus();
  const std::string row = Numbered(5000);
  SetText(row + "\r\nnext\r\n");
  e.KeyDown(VK_END, 0);
  EXPECT_EQ(e.Col(), 5000);
  EXPECT_TRUE(CaretInView());
  for (int i = 0; i < 3; ++i)
    e.KeyDown(VK_LEFT, ssShift);
  EXPECT_EQ(e.SelText(), "789");
  EXPECT_EQ(e.SelLength(), 3);
  e.CopyToClipboard();
  EXPECT_EQ(e.Clipboard().Text(), "789");
  e.CutToClipboard();
  EXPECT_EQ(e.Clipboard().Text(), "789");
  EXPECT_EQ(e.Lines()->Get(0).str(), row.substr(0, 4997));
  e.Undo();
  EXPECT_EQ(e.Lines()->Get(0).str(), row);

  // Delete on a selection in the middle of the row, and its undo.
  e.SetRowCol(0, 2500);
  for (int i = 0; i < 4; ++i)
    e.KeyDown(VK_RIGHT, ssShift);
  EXPECT_EQ(e.SelText(), "0123");
  e.KeyDown(VK_DELETE, 0);
  EXPECT_EQ(e.Lines()->Get(0).str(), row.substr(0, 2500) + row.substr(2504));
  EXPECT_EQ(e.Col(), 2500);
  e.Undo();
  EXPECT_EQ(e.Lines()->Get(0).str(), row);
  EXPECT_EQ(e.Lines()->Get(1).str(), "next");
}

TEST_F(LongRows, CopyFromTheEndOfAMegabyteRowTakesOnlyTheSelection) {
  Focus();
  SetText(Numbered(1 << 20));
  e.KeyDown(VK_END, 0);
  for (int i = 0; i < 3; ++i)
    e.KeyDown(VK_LEFT, ssShift);
  e.CopyToClipboard();
  EXPECT_EQ(e.Clipboard().Text(), Numbered(1 << 20).substr((1 << 20) - 3));
}

TEST_F(LongRows, CaretPastColumnOneThousandIsShownAndTypingThereIsSeen) {
  Focus();
  e.SetScrollBars(ssBoth);
  SetText(std::string(4000, 'x') + "\r\n");
  e.KeyDown(VK_END, 0);
  EXPECT_EQ(e.Col(), 4000);
  EXPECT_TRUE(CaretInView());
  EXPECT_EQ(host.caret.X, X(4000));
  EXPECT_GE(e.MaxLineWidth(), 4000);
  EXPECT_EQ(host.hbar.Max, e.ColCount() / 2 + e.MaxLineWidth());
  e.KeyPress('Q');
  e.KeyPress('R');
  EXPECT_EQ(e.Col(), 4002);
  EXPECT_TRUE(CaretInView());
  PaintAll();
  EXPECT_EQ(ShownAt(0, 3998, 4), "xxQR");
  // Home and back: the view follows.
  e.KeyDown(VK_HOME, 0);
  EXPECT_EQ(e.TopCol(), 0);
  e.SetRowCol(0, 3000);
  EXPECT_TRUE(CaretInView());
}

TEST_F(LongRows, ScrollBarThumbReachesPastSixteenBits) {
  e.SetScrollBars(ssBoth);
  SetText(std::string(100000, 'x'));
  e.SetRowCol(0, 99999); // the caret visits the row: the extent follows it
  EXPECT_EQ(e.MaxLineWidth(), 100000);
  e.HScroll(SB_THUMBTRACK, 70000);
  EXPECT_EQ(e.TopCol(), 70000);
  e.HScroll(SB_BOTTOM);
  EXPECT_EQ(e.TopCol(), 100000 - e.ColCount() / 2);
  PaintAll();
  EXPECT_EQ(ShownAt(0, 99998, 3), "xx ");
}

TEST_F(LongRows, PaintingAWideRowWidensTheExtent) {
  e.SetScrollBars(ssBoth);
  SetText("short\r\n" + std::string(2500, 'y') + "\r\n");
  EXPECT_EQ(e.MaxLineWidth(), TEditor::kMinLineWidth); // nothing measured up front
  PaintAll();
  EXPECT_EQ(e.MaxLineWidth(), 2500);
  EXPECT_EQ(host.hbar.Max, e.ColCount() / 2 + 2500);
}

struct LongRowSearch : LongRows, ::testing::WithParamInterface<TEditorHitStyle> {
  int HitRow() const { return e.SelectionRange().StartRow; }
  int HitPos() const { return e.SelectionRange().StartPos; }
  // The marked text: SelText for a selected hit, the marked range itself
  // for the other styles (SelText is empty for them).
  std::string Hit() const {
    if (GetParam() == hsSelect) return e.SelText().str();
    const TSelectionRange& r = e.SelectionRange();
    if (r.StartRow != r.EndRow || e.HitSelLength() != r.EndPos - r.StartPos + 1) return "?";
    return e.RowText(r.StartRow)
        .str()
        .substr(static_cast<size_t>(r.StartPos), static_cast<size_t>(e.HitSelLength()));
  }
};

TEST_P(LongRowSearch, ForwardFindsEveryHitPastColumnOneThousand) {
  Focus();
  e.SetHitStyle(GetParam());
  std::string row(1200, 'x');
  row.replace(1100, 6, "needle");
  row.replace(1150, 6, "needle");
  SetText(row + "\r\nneedle\r\n");
  for (auto [r, p] : {std::pair{0, 1100}, {0, 1150}, {1, 0}}) {
    ASSERT_TRUE(e.SearchText("needle", soDown | soMatchCase)) << r << ":" << p;
    EXPECT_EQ(HitRow(), r);
    EXPECT_EQ(HitPos(), p);
    EXPECT_EQ(e.SelectionRange().EndPos, p + 5);
    EXPECT_EQ(Hit(), "needle");
    EXPECT_TRUE(CaretInView());
  }
  EXPECT_FALSE(e.SearchText("needle", soDown | soMatchCase));
}

TEST_P(LongRowSearch, BackwardFromTheRowEndReachesEveryHit) {
  Focus();
  e.SetHitStyle(GetParam());
  std::string row(1300, 'x');
  row.replace(500, 6, "needle");
  row.replace(1100, 6, "needle");
  SetText("needle\r\n" + row + "\r\n");
  e.SetRowCol(1, 1300);
  for (auto [r, p] : {std::pair{1, 1100}, {1, 500}, {0, 0}}) {
    ASSERT_TRUE(e.SearchText("needle", soMatchCase)) << r << ":" << p;
    EXPECT_EQ(HitRow(), r);
    EXPECT_EQ(HitPos(), p);
    EXPECT_EQ(Hit(), "needle");
    EXPECT_TRUE(CaretInView());
  }
  EXPECT_FALSE(e.SearchText("needle", soMatchCase));
}

INSTANTIATE_TEST_SUITE_P(HitStyles, LongRowSearch, ::testing::Values(hsSelect, hsDraw, hsCaret));

TEST_F(LongRows, BoxSelectionPastColumnOneThousand) {
  Focus();
  // Row 1 has a double-byte character across columns 1201-1202, which
  // the box's left edge cuts: it stays outside.
  const std::string a = Numbered(1500);
  const std::string b = std::string(1201, 'b') + kKan + std::string(300, 'b');
  const std::string c = Numbered(1203);
  SetText(a + "\r\n" + b + "\r\n" + c + "\r\n");
  e.SetSelectionMode(smBox);
  e.SetRowCol(0, 1202);
  e.KeyDown(VK_DOWN, ssShift);
  e.KeyDown(VK_DOWN, ssShift);
  for (int i = 0; i < 4; ++i)
    e.KeyDown(VK_RIGHT, ssShift);
  EXPECT_EQ(e.Col(), 1206);
  EXPECT_EQ(e.SelText(), a.substr(1202, 4) + "\r\nbbb\r\n" + c.substr(1202, 1) + "\r\n");
  e.CutToClipboard();
  EXPECT_EQ(e.Lines()->Get(0).str(), a.substr(0, 1202) + a.substr(1206));
  EXPECT_EQ(e.Lines()->Get(1).str(), std::string(1201, 'b') + kKan + std::string(297, 'b'));
  EXPECT_EQ(e.Lines()->Get(2).str(), c.substr(0, 1202));
  e.Undo();
  EXPECT_EQ(e.Lines()->Get(1).str(), b);
}

// Random selections on long rows of mixed characters: what SelText
// returns and what is painted highlighted are exactly the bytes between
// the anchor and the caret, counted independently of the editor.
class LongRowSelectionProperty : public LongRows, public ::testing::WithParamInterface<int> {};

struct RowModel {
  std::string Text;
  std::vector<int> ColOf;  // byte -> first column
  std::vector<int> ByteAt; // column -> byte (tab fillers and trail halves too)
};

RowModel Model(const std::string& text, int tab) {
  RowModel m{text, {}, {}};
  int col = 0;
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int w = 1, n = 1;
    if (b == '\t')
      w = tab - col % tab;
    else if (IsLeadByte(b) && i + 1 < text.size())
      w = n = 2;
    for (int k = 0; k < n; ++k)
      m.ColOf.push_back(col);
    for (int k = 0; k < w; ++k)
      m.ByteAt.push_back(static_cast<int>(i));
    col += w;
    i += static_cast<size_t>(n);
  }
  m.ColOf.push_back(col);
  return m;
}

TEST_P(LongRowSelectionProperty, SelTextAndHighlightAreTheBytesBetweenAnchorAndCaret) {
  std::mt19937 rng(static_cast<unsigned>(GetParam()));
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  static const char* pieces[] = {"x",        "y",    " ", "\t",      "\x8A\xBF",
                                 "\x82\xA0", "\xB1", "(", "\x88\x9F"};
  std::vector<RowModel> rows;
  std::string text;
  for (int r = 0; r < 4; ++r) {
    std::string row;
    const int target = pick(1100, 4000);
    while (static_cast<int>(row.size()) < target)
      row += pieces[pick(0, std::size(pieces) - 1)];
    rows.push_back(Model(row, e.Caret()->TabSpaceCount()));
    text += row + "\r\n";
  }
  SetText(text);
  Focus();
  const TColor white = clWhite;
  for (int round = 0; round < 25; ++round) {
    e.CleanSelection();
    const int ar = pick(0, 3), cr = pick(0, 3);
    e.SetRowCol(ar, pick(0, static_cast<int>(rows[ar].ByteAt.size())));
    const int aRow = e.Row(), aCol = e.Col();
    e.StartSelection();
    e.SetRowCol(cr, pick(0, static_cast<int>(rows[cr].ByteAt.size())));
    e.ExtendSelection();
    const int cRow = e.Row(), cCol = e.Col();
    // Both ends stand on character boundaries.
    auto byteOf = [&](int r, int col) {
      const RowModel& m = rows[static_cast<size_t>(r)];
      if (col >= static_cast<int>(m.ByteAt.size())) return static_cast<int>(m.Text.size());
      const int b = m.ByteAt[static_cast<size_t>(col)];
      EXPECT_EQ(m.ColOf[static_cast<size_t>(b)], col) << "caret inside a character";
      return b;
    };
    std::pair<int, int> from{aRow, byteOf(aRow, aCol)}, to{cRow, byteOf(cRow, cCol)};
    if (to < from) std::swap(from, to);
    std::string expected;
    for (int r = from.first; r <= to.first; ++r) {
      const std::string& t = rows[static_cast<size_t>(r)].Text;
      const int s = r == from.first ? from.second : 0;
      const int n = (r == to.first ? to.second : static_cast<int>(t.size())) - s;
      expected += t.substr(static_cast<size_t>(s), static_cast<size_t>(n));
      if (r != to.first) expected += "\r\n";
    }
    ASSERT_EQ(e.SelText().str(), expected) << "round " << round;

    // Highlight: look at the window around both ends of the selection.
    for (auto [r, b] : {from, to}) {
      const RowModel& m = rows[static_cast<size_t>(r)];
      e.SetTopCol(std::max(0, m.ColOf[static_cast<size_t>(b)] - e.ColCount() / 2));
      e.SetTopRow(std::max(0, r - 1));
      PaintAll();
      for (int col = e.TopCol(); col < e.TopCol() + e.ColCount(); ++col) {
        if (col >= static_cast<int>(m.ByteAt.size())) break;
        const std::pair<int, int> at{r, m.ByteAt[static_cast<size_t>(col)]};
        const bool selected = from <= at && at < to;
        const bool lit = screen.CellAt(X(col) + 1, Y(r) + 1).Bg != white;
        ASSERT_EQ(lit, selected) << "round " << round << " row " << r << " col " << col;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LongRowSelectionProperty, ::testing::Range(0, 8));

} // namespace
} // namespace ze
