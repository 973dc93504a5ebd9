// A long row is coloured from saved tokenizer states near the part shown;
// what the window shows, and the state the row hands to the next, must be
// what a scan from the row's first byte gives, before and after edits.

#include <algorithm>
#include <random>

#include "colouring/EditorFountain.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

struct LongRowColours : test::EditorFixture {
  TEditorFountain& f = *e.View()->Fountain();

  LongRowColours() {
    f.SetQuotation("'");
    f.SetCommenter("//");
    f.SetMail(true);
    f.Colors()->Int()->SetColor(0x0000FF);
    f.Colors()->Str()->SetBkColor(0x00FFFF);
    f.Colors()->Comment()->SetColor(0x008000);
    f.Colors()->Mail()->SetColor(0x800080);
    f.Colors()->Ank()->SetColor(0x804000);
    auto* braces = f.Brackets()->Add();
    braces->SetLeftBracket("{");
    braces->SetRightBracket("}");
    braces->ItemColor()->SetBkColor(0xC0C0FF);
  }

  // A row of about n bytes whose strings, spans and numbers run across
  // any saved point; a comment, when asked for, near its end.
  // Without spans, a brace or quote typed into the row changes the
  // colour of everything after it.
  static std::string Row(size_t n, unsigned seed, bool comment, bool spans = true) {
    static const char* const pieces[] = {"ab ",      "12 ", "3.5e+2", " a@b.jp ", "u.v", "  ",
                                         "\x88\x9f", "#",   " 'x y' ", "'",        "{",   "}"};
    const size_t kinds = spans ? std::size(pieces) : std::size(pieces) - 4;
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n)
      s += pieces[rng() % kinds];
    if (comment) s += " // to the end";
    return s;
  }

  // Text colour and background of every column shown on screen row 0.
  std::vector<std::pair<TColor, TColor>> Shown() {
    PaintAll();
    std::vector<std::pair<TColor, TColor>> v;
    for (int c = e.TopCol(); c < e.TopCol() + e.ColCount(); ++c)
      v.emplace_back(screen.CellAt(X(c) + 2, Y(0) + 2).Fg, screen.PixelAt(X(c) + 1, Y(0) + 1));
    return v;
  }

  // What the window shows at column col, with and without saved points,
  // and the state row 1 starts with after a full recolouring each way.
  void ExpectSameAsPlainScan(int col) {
    e.SetTopCol(col);
    const auto withPoints = Shown();
    EXPECT_GT(f.Checkpoints().PointCount(), 0u); // the long row was scanned from points
    e.List().ReparseAll();
    const TRowAttributeData stateWith = e.List().RowAttributeData(1);
    f.Checkpoints().Configure(static_cast<size_t>(-1), TTokenCheckpoints::kSpacing);
    const auto plain = Shown();
    e.List().ReparseAll();
    const TRowAttributeData statePlain = e.List().RowAttributeData(1);
    f.Checkpoints().Configure(TTokenCheckpoints::kMinRowBytes, TTokenCheckpoints::kSpacing);
    EXPECT_EQ(withPoints, plain) << "at column " << col;
    EXPECT_EQ(stateWith.BracketIndex, statePlain.BracketIndex) << "at column " << col;
  }
};

TEST_F(LongRowColours, ShownAsTheScanFromTheFirstByteShowsThem) {
  const std::string row = Row(3 * TTokenCheckpoints::kMinRowBytes, 1, true);
  SetText(row + "\r\nnext {\r\n");
  const int width = static_cast<int>(row.size());
  for (int col : {width / 3, width / 2, width - 40, width - 5})
    ExpectSameAsPlainScan(col);
  // The colours differ along the row, so the comparison is not of blanks.
  e.SetTopCol(width - 40);
  const auto end = Shown();
  EXPECT_NE(std::count(end.begin(), end.end(), end.front()), static_cast<long>(end.size()));
}

TEST_F(LongRowColours, EditsAnywhereRecolourAsAFullScanWould) {
  std::string row = Row(3 * TTokenCheckpoints::kMinRowBytes, 2, false, false);
  SetText(row + "\r\nnext\r\n");
  std::mt19937 rng(3);
  const char typed[] = {'{', '}', '\'', '/', '@', '.', 'a', '1', ' '};
  for (int i = 0; i < 12; ++i) {
    const int width = static_cast<int>(e.RowText(0).size());
    e.SetTopCol(width - 60);
    Shown(); // points up to the end are saved before the edit
    const int at = i % 3 == 0 ? width : static_cast<int>(rng() % width);
    e.SetRowCol(0, at);
    e.KeyPress(static_cast<unsigned char>(typed[rng() % std::size(typed)]));
    ExpectSameAsPlainScan(std::max(at - 20, 0));
    ExpectSameAsPlainScan(static_cast<int>(e.RowText(0).size()) - 30);
    if (HasFailure()) return;
  }
}

// A long row with tabs keeps its column map and its expansion from one
// edit to the next; after typing, deleting and undoing anywhere (tabs
// included) the window shows the row as it now is, coloured as a full
// scan colours it, and columns map to bytes as a fresh map says.
TEST_F(LongRowColours, EditsOfARowWithTabsShowTheRowAsItNowIs) {
  std::string row;
  {
    const std::string plain = Row(3 * TTokenCheckpoints::kMinRowBytes, 5, false, false);
    std::mt19937 rng(6);
    for (char c : plain) {
      row += c;
      if (rng() % 200 == 0 && !IsLeadByte(static_cast<unsigned char>(c))) row += '\t';
    }
  }
  SetText(row + "\r\nnext\r\nmore\r\nand more\r\n"); // Delete at the end joins the next line
  std::mt19937 rng(7);
  for (int i = 0; i < 16; ++i) {
    const ByteString before = e.RowText(0);
    e.SetTopCol(std::max(e.RowEndCol(0) - 60, 0));
    Shown(); // the map, the expansion and the points are made before the edit
    const int at = i % 4 == 0 ? static_cast<int>(before.size()) : static_cast<int>(rng() % before.size());
    e.SetRowCol(0, e.PosToCol(0, at));
    switch (i % 5) {
    case 0: e.KeyPress('\t'); break;
    case 1: e.KeyPress(8); break; // backspace
    case 2: e.KeyDown(VK_DELETE, 0); break;
    case 3: e.KeyPress('a'); break;
    default: e.Undo(); break;
    }
    const std::string now = e.RowText(0).str();
    ASSERT_TRUE(now != before.view()) << "step " << i << ": the row did not change";
    const TColumnSettings cs = e.List().ColumnSettings();
    const std::string expanded = ExpandTabs(now, cs);
    ASSERT_EQ(e.RowEndCol(0), static_cast<int>(expanded.size())) << "step " << i;
    const TColumnMap fresh(now, cs);
    for (int k = 0; k < 50; ++k) {
      const int p = static_cast<int>(rng() % (now.size() + 1));
      ASSERT_EQ(e.PosToCol(0, p), fresh.PosToCol(p)) << "step " << i << " byte " << p;
      const int c = static_cast<int>(rng() % (expanded.size() + 1));
      ASSERT_EQ(e.ColToPos(0, c), fresh.ColToPos(c)) << "step " << i << " column " << c;
    }
    for (int col : {std::max(e.PosToCol(0, at) - 20, 0), std::max(e.RowEndCol(0) - 30, 0)}) {
      e.SetTopCol(col);
      PaintAll();
      const size_t n = std::min<size_t>(static_cast<size_t>(e.ColCount()), expanded.size() - static_cast<size_t>(col));
      std::string want = expanded.substr(static_cast<size_t>(col), n);
      ASSERT_TRUE(screen.TextAt(X(col), Y(0), static_cast<int>(n), e.ColWidth()) == want)
          << "step " << i << " column " << col;
      ExpectSameAsPlainScan(col);
    }
    if (HasFailure()) return;
  }
}

} // namespace
} // namespace ze
