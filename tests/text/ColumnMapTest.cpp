// The column map answers every lookup the way the column attribute string
// does, on rows of any length, without building that string.
#include <gtest/gtest.h>

#include <random>

#include "text/Columns.h"

namespace ze {
namespace {

// Lookups computed from the column attribute string, the slow and plain
// way.
struct Reference {
  std::string text, codes;
  int ColToPos(int col) const {
    const int w = static_cast<int>(codes.size());
    if (col <= 0) return 0;
    if (col >= w) return static_cast<int>(text.size()) + (col - w);
    if (codes[static_cast<size_t>(col)] == caTrail) --col;
    int fill = 0;
    for (int k = 0; k <= col; ++k)
      fill += codes[static_cast<size_t>(k)] == caTabFill;
    return col - fill;
  }
  int PosToCol(int pos, const TColumnSettings& s) const {
    return StrWidth(text.substr(0, static_cast<size_t>(pos)), s);
  }
};

std::string RandomRow(std::mt19937& rng, int n) {
  // Tabs right after lead bytes, lone lead bytes at the end, trail bytes
  // that look like tabs' neighbours: the cases a byte-wise walk gets wrong.
  static const char* pieces[] = {"a",    " ", "\t",       "\x8A\xBF", "\x88\x9F", "\x88\t",
                                 "\xB1", "(", "\x81\x40", "\x95\x5C", "\t\t"};
  std::string s;
  while (static_cast<int>(s.size()) < n)
    s += pieces[std::uniform_int_distribution<size_t>(0, std::size(pieces) - 1)(rng)];
  if (rng() % 4 == 0) s += '\x8A'; // a lead byte with nothing after it
  return s;
}

TEST(ColumnMap, AgreesWithTheAttributeStringOnRandomRows) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    TColumnSettings cs;
    cs.TabSpaceCount = 1 + static_cast<int>(rng() % 8);
    cs.WordWrap = round % 5 == 0;
    cs.WrapByte = 20 + static_cast<int>(rng() % 60);
    Reference ref{RandomRow(rng, 1 + static_cast<int>(rng() % (cs.WordWrap ? 60 : 400))), {}};
    ref.codes = ColumnAttributes(ref.text, cs);
    const TColumnMap map(ref.text, cs);
    ASSERT_EQ(map.Width(), static_cast<int>(ref.codes.size())) << round;
    if (!cs.WordWrap) ASSERT_EQ(map.Width(), StrWidth(ref.text, cs));
    for (int col = -1; col <= map.Width() + 3; ++col) {
      const char want = col >= 0 && col < map.Width() ? ref.codes[static_cast<size_t>(col)] : caEnd;
      ASSERT_EQ(map.Code(col), want) << "round " << round << " col " << col;
      ASSERT_EQ(map.ColToPos(col), ref.ColToPos(col)) << "round " << round << " col " << col;
    }
    for (int pos = 0; pos <= static_cast<int>(ref.text.size()); ++pos)
      ASSERT_EQ(map.PosToCol(pos), ref.PosToCol(pos, cs)) << "round " << round << " pos " << pos;
  }
}

TEST(ColumnMap, ExpandTabsAndStrWidthAgreeWithTheAttributeString) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    TColumnSettings cs;
    cs.TabSpaceCount = 1 + static_cast<int>(rng() % 8);
    const std::string row = RandomRow(rng, 1 + static_cast<int>(rng() % 300));
    const std::string codes = ColumnAttributes(row, cs);
    const std::string expanded = ExpandTabs(row, cs);
    ASSERT_EQ(expanded.size(), codes.size()) << round;
    for (size_t k = 0; k < codes.size(); ++k)
      if (codes[k] == caTabFill) ASSERT_EQ(expanded[k], ' ');
    ASSERT_EQ(StrWidth(row, cs), static_cast<int>(codes.size()));
    const TColumnMap map(row, cs);
    std::string viaMap(static_cast<size_t>(map.Width()), '?');
    map.ExpandTo(viaMap.data());
    ASSERT_EQ(viaMap, expanded) << round;
  }
}

TEST(ColumnMap, LookupsFarOutOnAMegabyteRow) {
  std::string row(1 << 20, 'x');
  row[10] = '\t'; // columns 10..15
  row.replace(900000, 2, "\x8A\xBF");
  TColumnSettings cs;
  const TColumnMap map(row, cs);
  EXPECT_EQ(map.Width(), (1 << 20) + 5);
  EXPECT_EQ(map.Code(12), caTabFill);
  EXPECT_EQ(map.ColToPos(12), 10);
  EXPECT_EQ(map.Code(900005), caLead);
  EXPECT_EQ(map.Code(900006), caTrail);
  EXPECT_EQ(map.ColToPos(900006), 900000);
  EXPECT_EQ(map.PosToCol(900001), 900006);
  EXPECT_EQ(IsTrailAt(row, 900001), true);
  EXPECT_EQ(IsTrailAt(row, 900002), false);
}

} // namespace
} // namespace ze
