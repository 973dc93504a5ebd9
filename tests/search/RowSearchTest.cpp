#include "search/RowSearch.h"
#include "search/SearchBuffer.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <random>

namespace ze {
namespace {

std::string J(const char* utf8) {
  return Utf8ToCp932(utf8);
}

struct Row {
  std::string text;
  TRowEnd end = reLineBreak;
};

void Fill(TEditorStringList& list, const std::vector<Row>& rows) {
  for (const Row& r : rows) {
    int i = list.Add(ByteString(r.text));
    list.SetRowAttribute(i, r.end);
  }
}

// The rows as one text, as the search sees them, and where each row starts.
struct Joined {
  std::string text;
  std::vector<int32_t> starts;
};
Joined Join(const TRowAttributeStringList& list) {
  Joined j;
  for (int i = 0; i < list.Count(); ++i) {
    j.starts.push_back(int32_t(j.text.size()));
    j.text += list.Get(i).str();
    if (list.RowAttribute(i) == reLineBreak) j.text += "\r\n";
  }
  j.starts.push_back(int32_t(j.text.size()));
  return j;
}
int32_t OffsetOf(const Joined& j, int32_t row, int32_t pos) {
  return j.starts[size_t(row)] + pos;
}

class RowSearchTest : public testing::Test {
protected:
  TEditorStringList list;
  std::optional<TRowHit> Search(int32_t row, int32_t pos, const std::string& pattern,
                                TSearchOptions options, int32_t chunk = kSearchChunkBytes) {
    return SearchRows(list, row, pos, pattern, options, chunk);
  }
};

TEST_F(RowSearchTest, NothingInAnEmptyListOrForAnEmptyPattern) {
  EXPECT_FALSE(Search(0, 0, "a", soDown));
  Fill(list, {{"abc", reEndOfText}});
  EXPECT_FALSE(Search(0, 0, "", soDown));
}

TEST_F(RowSearchTest, TheNextSearchStartsAtTheEndOfTheHit) {
  // A forward search from just after a hit finds the occurrence that
  // follows it directly, with nothing in between skipped.
  Fill(list, {{"abcabc", reLineBreak}, {"abc", reEndOfText}});
  auto hit = Search(0, 0, "abc", soDown);
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (TRowHit{0, 0, 3}));
  hit = Search(hit->Row, hit->Pos + hit->Length, "abc", soDown);
  EXPECT_EQ(hit, (TRowHit{0, 3, 3}));
  hit = Search(0, 6, "abc", soDown);
  EXPECT_EQ(hit, (TRowHit{1, 0, 3}));
  EXPECT_FALSE(Search(1, 3, "abc", soDown));
}

TEST_F(RowSearchTest, AtTheEndsOfTheText) {
  Fill(list, {{"abc", reLineBreak}, {"abc", reLineBreak}});
  EXPECT_FALSE(Search(0, 0, "abc", 0));                   // backward from the start
  EXPECT_FALSE(Search(1, 5, "abc", soDown));              // forward from the end
  EXPECT_FALSE(Search(2, 0, "abc", soDown));              // caret below the last row
  EXPECT_EQ(Search(2, 0, "abc", 0), (TRowHit{1, 0, 3}));  // backward from there
  EXPECT_EQ(Search(1, 99, "abc", 0), (TRowHit{1, 0, 3})); // position clamped
  EXPECT_EQ(Search(-3, 7, "abc", soDown), (TRowHit{0, 0, 3}));
}

TEST_F(RowSearchTest, BackwardFromASelectionStart) {
  Fill(list, {{"abc abc", reLineBreak}, {"abc", reEndOfText}});
  EXPECT_EQ(Search(1, 0, "abc", 0), (TRowHit{0, 4, 3}));
  EXPECT_EQ(Search(0, 4, "abc", 0), (TRowHit{0, 0, 3}));
  EXPECT_FALSE(Search(0, 2, "abc", 0));
}

TEST_F(RowSearchTest, AHitSpanningManyRowsAndChunks) {
  // "ab", then 300 empty lines, then "cd": with line breaks skipped the hit
  // runs over some 600 bytes, many times the chunk size.
  std::vector<Row> rows{{"xx ab", reLineBreak}};
  for (int i = 0; i < 300; ++i)
    rows.push_back({"", reLineBreak});
  rows.push_back({"cd yy", reEndOfText});
  Fill(list, rows);
  const TSearchOptions skip = soIncludeCRLF | soIncludeSpace;
  for (int32_t chunk : {1, 16, 64, kSearchChunkBytes}) {
    EXPECT_EQ(Search(0, 0, "abcd", soDown | skip, chunk), (TRowHit{0, 3, 2 + 301 * 2 + 2}))
        << chunk;
    EXPECT_EQ(Search(301, 5, "abcd", skip, chunk), (TRowHit{0, 3, 2 + 301 * 2 + 2})) << chunk;
    EXPECT_FALSE(Search(0, 0, "abcd", soDown, chunk)) << chunk;
  }
}

TEST_F(RowSearchTest, WrappedRowsJoinWithoutALineBreak) {
  // The logical line "xx foobar" is cut after "fo"; chunks of one row.
  Fill(list, {{"xx fo", reWrapped}, {"obar", reLineBreak}, {"foo", reEndOfText}});
  EXPECT_EQ(Search(0, 0, "foob", soDown, 1), (TRowHit{0, 3, 4}));
  // As a whole word, foo is only the last row: neither end of the wrap
  // boundary may be mistaken for the end of the text.
  EXPECT_EQ(Search(0, 0, "foo", soDown | soWholeWord, 1), (TRowHit{2, 0, 3}));
  EXPECT_FALSE(Search(1, 0, "bar", soDown | soWholeWord, 1));
  EXPECT_FALSE(Search(2, 0, "ob", soWholeWord, 1));
  EXPECT_FALSE(Search(2, 0, "xx fo", soWholeWord, 1));
}

TEST_F(RowSearchTest, AVoicedMarkOnTheNextWrappedRowBelongsToTheKana) {
  Fill(list, {{J("あいｶ"), reWrapped}, {J("ﾞう"), reEndOfText}});
  for (int32_t chunk : {1, kSearchChunkBytes}) {
    EXPECT_FALSE(Search(0, 0, J("カ"), soDown | soNoMatchZenkaku, chunk)) << chunk;
    EXPECT_EQ(Search(0, 0, J("ガ"), soDown | soNoMatchZenkaku, chunk), (TRowHit{0, 4, 2}));
    EXPECT_EQ(Search(1, 3, J("ガ"), soNoMatchZenkaku, chunk), (TRowHit{0, 4, 2}));
  }
}

TEST_F(RowSearchTest, ARowLongerThanAChunk) {
  std::string longRow(20000, 'x');
  longRow += "needle";
  Fill(list, {{"needle", reLineBreak}, {longRow, reLineBreak}, {"end", reEndOfText}});
  EXPECT_EQ(Search(0, 1, "needle", soDown), (TRowHit{1, 20000, 6}));
  EXPECT_EQ(Search(2, 0, "needle", 0), (TRowHit{1, 20000, 6}));
  EXPECT_EQ(Search(1, 20000, "needle", 0), (TRowHit{0, 0, 6}));
}

TEST_F(RowSearchTest, EveryHitForwardAndBackwardAcrossManyChunks) {
  // 5000 rows of Japanese text; every 37th row holds the word twice.
  std::vector<TRowHit> expected;
  for (int i = 0; i < 5000; ++i) {
    std::string text = J("日本語のテキスト");
    if (i % 37 == 0) {
      expected.push_back({i, int32_t(text.size()), 6});
      text += J("検索語") + "--" + J("検索語");
      expected.push_back({i, int32_t(text.size()) - 6, 6});
    }
    Fill(list, {{text, i % 5 == 4 ? reWrapped : reLineBreak}});
  }
  std::string word = J("検索語");
  std::vector<TRowHit> forward;
  int32_t row = 0, pos = 0;
  while (auto hit = Search(row, pos, word, soDown)) {
    forward.push_back(*hit);
    row = hit->Row;
    pos = hit->Pos + hit->Length;
  }
  EXPECT_EQ(forward, expected);
  std::vector<TRowHit> backward;
  row = list.Count();
  pos = 0;
  while (auto hit = Search(row, pos, word, 0)) {
    backward.push_back(*hit);
    row = hit->Row;
    pos = hit->Pos;
  }
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, expected);
}

// Random rows searched in random chunk sizes must give what SearchBuffer
// gives on the whole text.
const char* const kPieces[] = {"a",        "A",        "b",        "_",        " ",
                               "\t",       "\xB6",     "\xCA",     "\xDE",     "\xDF",
                               "\x83\x41", "\x83\x4B", "\x82\x60", "\x82\x81", "\x81\x40",
                               "\x88\x9F", "\x83\xB6", "ab",       "ba"};

std::string RandomRowText(std::mt19937& rng, int maxPieces) {
  std::string s;
  int n = int(rng() % size_t(maxPieces + 1));
  for (int i = 0; i < n; ++i)
    s += kPieces[rng() % std::size(kPieces)];
  return s;
}

TEST(RowSearchReference, AgreesWithTheWholeTextSearch) {
  std::mt19937 rng(99);
  int found = 0;
  for (int round = 0; round < 4000; ++round) {
    TEditorStringList list;
    int rows = 1 + int(rng() % 12);
    for (int i = 0; i < rows; ++i) {
      std::string text = RandomRowText(rng, 6);
      TRowEnd end = rng() % 3 == 0 ? reWrapped : reLineBreak;
      // A lone lead byte can only end a line, never a wrapped row.
      if (end == reLineBreak && rng() % 10 == 0) text += '\x83';
      if (i == rows - 1 && rng() % 2) end = reEndOfText;
      int k = list.Add(ByteString(text));
      list.SetRowAttribute(k, end);
    }
    Joined j = Join(list);
    std::string pattern = RandomRowText(rng, 3);
    if (pattern.empty() || rng() % 3 != 0) pattern = j.text.substr(rng() % (j.text.size() + 1), 3);
    TSearchOptions options = TSearchOptions(rng() & 0x0F);
    if (rng() % 2) options |= soIncludeCRLF | soIncludeSpace;
    int32_t row = int32_t(rng() % size_t(rows + 1));
    int32_t pos =
        row < rows ? int32_t(rng() % (j.starts[size_t(row) + 1] - j.starts[size_t(row)] + 1)) : 0;
    int32_t chunk = 1 + int32_t(rng() % 24);

    TSearchInfo info{row < rows ? OffsetOf(j, row, pos) : int32_t(j.text.size()), 0};
    bool want = SearchBuffer(j.text, info, pattern, options);
    auto got = SearchRows(list, row, pos, pattern, options, chunk);
    ASSERT_EQ(got.has_value(), want) << "round " << round << " chunk " << chunk;
    if (!want) continue;
    ++found;
    ASSERT_EQ(OffsetOf(j, got->Row, got->Pos), info.Start) << "round " << round;
    ASSERT_EQ(got->Length, info.Length) << "round " << round;
    ASSERT_LE(got->Pos, j.starts[size_t(got->Row) + 1] - j.starts[size_t(got->Row)]);
  }
  EXPECT_GT(found, 400);
}

} // namespace
} // namespace ze
