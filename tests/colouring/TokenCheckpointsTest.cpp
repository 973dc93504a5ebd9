// Long rows scanned from saved points must colour exactly as a scan from
// the row's first byte: the same tokens with the same states from every
// point on, and the same state at the row's end, also after edits
// anywhere in the row. Rows are random mixtures of the constructs whose
// state runs across a point: brackets, strings, comments, mail addresses,
// URLs, numbers and double-byte runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "colouring/EditorFountain.h"
#include "colouring/TokenCheckpoints.h"
#include "tests/colouring/TokenSupport.h"

namespace ze::test {
namespace {

// A token with the state the parser reports beside it.
struct StateTok {
  int kind, pos, len, bracket, tokenBracket, element;
  bool operator==(const StateTok&) const = default;
};

void PrintTo(const StateTok& t, std::ostream* os) {
  *os << "{kind " << t.kind << ", pos " << t.pos << ", len " << t.len << ", bracket " << t.bracket
      << ", tokenBracket " << t.tokenBracket << ", element " << t.element << "}";
}

// The tokens to the row's end; with points, noting each as a painter does.
std::vector<StateTok> Rest(TFountainParser& p, TTokenCheckpoints* points = nullptr) {
  std::vector<StateTok> out;
  for (TFountainTokenKind k; (k = p.NextToken()) != ttEnd;) {
    if (points) points->Note(p);
    out.push_back({k, p.SourcePos(), p.TokenLength(), p.BracketIndex(), p.TokenBracketIndex(),
                   p.ElementState()});
  }
  return out;
}

void Configure(TEditorFountain& f) {
  auto add = [&](const char* l, const char* r) {
    auto* item = f.Brackets()->Add();
    item->SetLeftBracket(l);
    item->SetRightBracket(r);
  };
  add("{", "}");
  add("(*", "*)");
  add("<!--", "-->");
  f.SetQuotation("'");
  f.SetCommenter("//");
  f.SetUrl(true);
  f.SetMail(true);
  f.SetControlCode(true);
  f.SetHexPrefix("0x");
}

// Pieces whose tokens and states differ by what came before them.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      " ", "  ", "\t", "a", "word", "Begin", "x.y-z_w", "@", ".", "user@host.jp", "a@b",
      "http://example.jp/p?q=1", "www.", "ftp:", "12", "3.5e+7", "1.", "0x1F", "#$AB", "#12",
      "'", "'str'", "''", "{", "}", "(*", "*)", "<!--", "-->", "-", "//", "/", "*",
      "\x88\x9f",         // kanji
      "\x82\xa0\x82\xa2", // hiragana
      "\x83\x41\x83\x43", // katakana
      "\x82\x60",         // full-width Latin letter
      "\x81\x40",         // full-width space
      "\xb1\xb2",         // half-width kana
      "\xa1",             // half-width kana symbol
      "\x81",             // a lead byte without its trail
  };
  return pieces;
}

std::string RandomRow(std::mt19937& rng, size_t bytes, bool withComments) {
  const auto& pieces = Pieces();
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  std::string s;
  while (s.size() < bytes) {
    const std::string& piece = pieces[pick(rng)];
    s += piece;
  }
  if (!withComments) // also the "//" of a URL that is not taken as one
    for (size_t i = s.find("//"); i != std::string::npos; i = s.find("//", i))
      s[i + 1] = ' ';
  return s;
}

std::string RandomEdit(std::mt19937& rng, std::string s) {
  std::uniform_int_distribution<size_t> at(0, s.size());
  const size_t p = at(rng);
  switch (rng() % 4) {
  case 0: // insert
    s.insert(p, Pieces()[rng() % Pieces().size()]);
    break;
  case 1: // delete a few bytes
    s.erase(p, rng() % 5 + 1);
    break;
  case 2: // type at the end
    s += Pieces()[rng() % Pieces().size()];
    break;
  default: // replace a byte
    if (p < s.size()) s[p] = Pieces()[rng() % Pieces().size()][0];
    break;
  }
  return s;
}

std::vector<TRowAttributeData> StartStates() {
  std::vector<TRowAttributeData> v(4, Fresh());
  v[1].BracketIndex = 0; // inside "{"
  v[2].BracketIndex = 2; // inside "<!--"
  v[3].CarriedToken = ttQuotation; // continuing a string cut by the wrap
  v[3].PrevRowAttribute = reWrapped;
  return v;
}

class TokenCheckpointsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Configure(*f);
    Configure(*plain);
    // Rows of a few kilobytes get dozens of points here.
    f->Checkpoints().Configure(256, 97);
    plain->Checkpoints().Configure(static_cast<size_t>(-1), 97);
  }

  // Starts the checkpointed parser at pos and compares what follows with
  // the plain scan of the whole row.
  void ExpectSameFrom(const std::string& row, const TRowAttributeData& data, size_t pos) {
    auto ref = plain->CreateParser();
    ref->NewData(row.c_str(), row.size(), data);
    const std::vector<StateTok> all = Rest(*ref);
    const ByteString text(row); // the parser reads it until the end
    const size_t b = f->Checkpoints().Start(*p, text, data, pos);
    ASSERT_LE(b, pos);
    const std::vector<StateTok> rest = Rest(*p, &f->Checkpoints());
    if (b == 0 && rest == all) return;
    // The point is a token's end, and the tokens from it are the plain
    // scan's tokens after that token.
    auto from = std::find_if(all.begin(), all.end(),
                             [&](const StateTok& t) { return static_cast<size_t>(t.pos) >= b; });
    ASSERT_TRUE(b == 0 || (from != all.begin() &&
                           static_cast<size_t>(std::prev(from)->pos + std::prev(from)->len) == b))
        << "resumed at " << b << ", not at a token's end";
    EXPECT_EQ(rest, std::vector<StateTok>(from, all.end())) << "resumed at " << b;
  }

  // The end state of one row through UpdateRowData, for either fountain.
  static TRowAttributeData EndState(TEditorFountain& fountain, const std::string& row,
                                    TRowAttributeData data) {
    TEditorStringList list;
    list.Add(ByteString(row));
    list.SetRowAttribute(0, reLineBreak);
    data.RowAttribute = reLineBreak;
    auto parser = fountain.CreateParser();
    parser->UpdateRowData(0, list, data);
    return data;
  }

  static void ExpectSameState(const TRowAttributeData& a, const TRowAttributeData& b) {
    EXPECT_EQ(a.BracketIndex, b.BracketIndex);
    EXPECT_EQ(a.ElementState, b.ElementState);
    EXPECT_EQ(a.RemainBytes, b.RemainBytes);
    EXPECT_EQ(a.CarriedToken, b.CarriedToken);
    EXPECT_EQ(a.CarriedFlag, b.CarriedFlag);
    EXPECT_EQ(a.ExtraState, b.ExtraState);
  }

  std::unique_ptr<TEditorFountain> f = Create<TEditorFountain>(nullptr);
  std::unique_ptr<TEditorFountain> plain = Create<TEditorFountain>(nullptr);
  std::unique_ptr<TFountainParser> p = f->CreateParser();
};

TEST_F(TokenCheckpointsTest, TokensFromAnyPointMatchThePlainScanThroughRandomEdits) {
  std::mt19937 rng(20261208);
  for (int round = 0; round < 24; ++round) {
    const TRowAttributeData data = StartStates()[round % 4];
    std::string row = RandomRow(rng, 1500 + rng() % 3000, round % 3 != 0);
    for (int edit = 0; edit < 12; ++edit) {
      for (int probe = 0; probe < 6; ++probe) {
        ExpectSameFrom(row, data, rng() % (row.size() + 1));
        if (HasFatalFailure()) return;
      }
      ExpectSameFrom(row, data, row.size());
      row = RandomEdit(rng, row);
    }
  }
  EXPECT_GT(f->Checkpoints().PointCount(), 0u);
}

TEST_F(TokenCheckpointsTest, RowEndStatesMatchThePlainScanThroughRandomEdits) {
  std::mt19937 rng(8122026);
  int openAtEnd = 0;
  for (int round = 0; round < 32; ++round) {
    const TRowAttributeData data = StartStates()[round % 4];
    std::string row = RandomRow(rng, 1000 + rng() % 4000, round % 2 == 0);
    for (int edit = 0; edit < 16; ++edit) {
      const TRowAttributeData want = EndState(*plain, row, data);
      ExpectSameState(EndState(*f, row, data), want);
      if (HasFailure()) return;
      openAtEnd += want.BracketIndex >= 0;
      row = RandomEdit(rng, row);
    }
  }
  // The rows do carry open brackets to their end, so the states compared
  // are not all the same.
  EXPECT_GT(openAtEnd, 0);
  EXPECT_GT(f->Checkpoints().PointCount(), 0u);
}

TEST_F(TokenCheckpointsTest, AnEditInsideAMailRunDropsPointsTheRunCrosses) {
  // A long run of mail characters without an at sign: tokens inside it
  // depend on its far end, where an edit makes the whole run an address.
  std::string row = "x@y ";
  for (int i = 0; i < 200; ++i)
    row += "abc.def-";
  row += " tail {open";
  ExpectSameFrom(row, Fresh(), row.size());
  ExpectSameState(EndState(*f, row, Fresh()), EndState(*plain, row, Fresh()));
  std::string edited = row;
  edited.replace(1200, 1, "@");
  ExpectSameFrom(edited, Fresh(), edited.size());
  ExpectSameFrom(edited, Fresh(), 1100);
  ExpectSameState(EndState(*f, edited, Fresh()), EndState(*plain, edited, Fresh()));
}

TEST_F(TokenCheckpointsTest, ChangedSettingsAndStartStatesAreNotMixedUp) {
  std::mt19937 rng(77);
  const std::string row = RandomRow(rng, 4000, true);
  ExpectSameFrom(row, Fresh(), row.size());
  TRowAttributeData open = Fresh();
  open.BracketIndex = 0;
  ExpectSameFrom(row, open, row.size());
  // Without a commenter the same bytes scan differently.
  f->SetCommenter("");
  plain->SetCommenter("");
  ExpectSameFrom(row, Fresh(), row.size());
  auto* item = f->Brackets()->Add();
  item->SetLeftBracket("a");
  item->SetRightBracket("e");
  item = plain->Brackets()->Add();
  item->SetLeftBracket("a");
  item->SetRightBracket("e");
  ExpectSameFrom(row, Fresh(), row.size());
  ExpectSameState(EndState(*f, row, open), EndState(*plain, row, open));
}

TEST_F(TokenCheckpointsTest, ShortRowsStartAtTheFirstByteLongRowsNearTheEnd) {
  TTokenCheckpoints points; // the sizes the editor uses
  const std::string small(1000, 'a');
  EXPECT_EQ(points.Start(*p, ByteString(small), Fresh(), small.size()), 0u);
  EXPECT_EQ(points.PointCount(), 0u);
  std::mt19937 rng(5);
  const ByteString big(RandomRow(rng, 3 * TTokenCheckpoints::kMinRowBytes, false));
  // The first scan starts at the first byte and saves points on its way.
  EXPECT_EQ(points.Start(*p, big, Fresh(), big.size()), 0u);
  const std::vector<StateTok> all = Rest(*p, &points);
  EXPECT_GT(points.PointCount(), 3u);
  const size_t b = points.Start(*p, big, Fresh(), big.size() - 10);
  EXPECT_GT(b, big.size() - 2 * TTokenCheckpoints::kSpacing);
  const std::vector<StateTok> rest = Rest(*p);
  ASSERT_FALSE(rest.empty());
  EXPECT_TRUE(std::equal(rest.begin(), rest.end(), all.end() - rest.size()));
}

} // namespace
} // namespace ze::test
