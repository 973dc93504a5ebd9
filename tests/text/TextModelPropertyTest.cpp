// Long random edit sequences against a plain string model: after every
// ReplaceText the rows must join to the model's text and obey the wrap
// rules; undoing everything must restore the start and redoing everything
// the end.
#include <gtest/gtest.h>

#include <random>

#include "platform/CodePage.h"
#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"
#include "text/CharHelpers.h"

namespace ze {
namespace {

using test::FakeView;
using test::RowTexts;

class Model {
public:
  explicit Model(uint32_t seed) : rng_(seed) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }

  std::string Text(int maxPieces) {
    static const char* pieces[] = {
        "a", "b", "word", " ", "  ", "\t", ",", ".", "_x1", "\x8A\xBF", "\x8E\x9A",
        "\x82\xA0", "\x81\x75", "\x81\x76", "\x81\x42", "\x81\x41", "\x81\x5B", "\xB1",
        "\xDE", "(", ")", "{", "}", "\r\n", "\r\n", "\x83\x41", "\x83\x5C",
    };
    std::string s;
    int n = Int(0, maxPieces);
    for (int i = 0; i < n; ++i) {
      const char* p = pieces[Int(0, static_cast<int>(std::size(pieces)) - 1)];
      // Now and then a long run, so that lines wrap several times.
      int repeat = Chance(5) ? Int(10, 60) : 1;
      for (int k = 0; k < repeat; ++k) s += p;
    }
    return s;
  }

private:
  std::mt19937 rng_;
};

std::string Join(const TEditorScreenStrings& s) { return s.GetLogicalText(0, s.Count()).Text.str(); }

size_t OffsetOfRow(const TEditorScreenStrings& s, int row) {
  size_t off = 0;
  for (int r = 0; r < row; ++r) off += s.Ref(r).size() + (s.RowAttribute(r) == reLineBreak ? 2 : 0);
  return off;
}

TRowMarks MarkUnion(const TEditorScreenStrings& s) {
  TRowMarks m = 0;
  for (int r = 0; r < s.Count(); ++r) m |= s.RowMarks(r);
  return m;
}

// Every row is whole characters, ends as its position requires and, with
// word wrap, fits the width and the line-breaking rules.
void CheckRows(TEditorScreenStrings& s, const char* when) {
  const TColumnSettings cs = s.ColumnSettings();
  const TEditorWrapOption& wo = *s.WrapOption();
  const int w = wo.WrapByte();
  const int floor = (w / 5) * 4;
  for (int r = 0; r < s.Count(); ++r) {
    std::string_view row = s.Ref(r).view();
    TRowEnd end = s.RowAttribute(r);
    SCOPED_TRACE(testing::Message() << when << " row " << r);
    if (!row.empty()) ASSERT_FALSE(IsLeadByteAt(row, static_cast<int>(row.size())));
    if (r < s.Count() - 1) ASSERT_NE(end, reEndOfText);
    else ASSERT_NE(end, reWrapped);
    if (!s.WordWrap()) {
      ASSERT_NE(end, reWrapped);
      continue;
    }
    int width = StrWidth(row, cs);
    // Hanging punctuation may start in column w + 2 and be double-byte.
    ASSERT_LE(width, w + (wo.FollowPunctuation() ? 3 : 0));
    if (end != reWrapped) continue;
    ASSERT_GE(width, wo.WordBreak() ? w / 3 - 1 : floor - 1);
    bool textFollows = r + 1 < s.Count() && !s.Ref(r + 1).empty();
    if (wo.Leading() && width > floor + 2 && textFollows) {
      // The row does not end with an opening bracket.
      int last = IsTrailByteAt(row, static_cast<int>(row.size())) ? 2 : 1;
      ASSERT_FALSE(IncludesChar(row.substr(row.size() - last), wo.LeadStr())) << Cp932ToUtf8(row);
    }
  }
}

struct PropertyCase {
  bool wrap;
  int wrapByte;
  bool followRetMark, followPunctuation, leading, wordBreak;
};

class TextModelProperty : public ::testing::TestWithParam<int> {};

TEST_P(TextModelProperty, RandomEditsKeepRowsConsistentAndUndoRedoExactly) {
  Model rnd(static_cast<uint32_t>(GetParam()) * 7919u + 13u);
  PropertyCase pc{rnd.Chance(75), rnd.Int(20, 40), rnd.Chance(50), rnd.Chance(50),
                  rnd.Chance(50), rnd.Chance(40)};
  auto store = Create<TEditorScreenStrings>();
  FakeView view(*store);
  view.tab = 2 * rnd.Int(1, 4);
  TEditorStrings lines(store.get(), &view);
  TEditorWrapOption& wo = *store->WrapOption();
  wo.SetWrapByte(pc.wrapByte);
  wo.SetFollowRetMark(pc.followRetMark);
  wo.SetFollowPunctuation(pc.followPunctuation);
  wo.SetLeading(pc.leading);
  wo.SetWordBreak(pc.wordBreak);
  store->SetWordWrap(pc.wrap);
  store->UndoObj()->SetUndoListMax(100000);

  std::string model;
  for (int i = 0; i < 30; ++i) model += rnd.Text(6) + "\r\n";
  lines.SetText(model);
  ASSERT_EQ(Join(*store), model);
  for (int r = 0; r < store->Count(); r += 3) store->SetRowMarks(r, static_cast<TRowMarks>(1u << (r % 16)));
  const TRowMarks marks = MarkUnion(*store);
  const std::vector<std::string> startRows = RowTexts(*store);
  const std::string startText = model;

  int steps = 0;
  bool everEmpty = false;
  for (int i = 0; i < 400; ++i) {
    int count = store->Count();
    bool endsOpen = count > 0 && store->RowAttribute(count - 1) == reEndOfText;
    int start = rnd.Int(0, endsOpen ? count - 1 : count);
    int n = rnd.Int(0, std::min(3, count - start));
    std::string text = rnd.Text(8);
    if (n == 0 && text.empty()) continue;
    view.row = std::min(start, std::max(count - 1, 0));
    view.col = rnd.Int(0, 3);
    size_t from = OffsetOfRow(*store, start), to = OffsetOfRow(*store, start + n);
    model = model.substr(0, from) + text + model.substr(to);
    store->ReplaceText(start, n, text);
    ++steps;
    ASSERT_EQ(Join(*store), model) << "step " << i;
    CheckRows(*store, "edit");
    if (store->Count() == 0) everEmpty = true;
    if (!everEmpty) ASSERT_EQ(MarkUnion(*store), marks) << "step " << i;
  }
  const std::string endText = model;
  const std::vector<std::string> endRows = RowTexts(*store);

  for (int i = 0; i < steps; ++i) {
    ASSERT_TRUE(store->UndoObj()->CanUndo());
    store->Undo();
    CheckRows(*store, "undo");
  }
  EXPECT_FALSE(store->UndoObj()->CanUndo());
  EXPECT_EQ(Join(*store), startText);
  EXPECT_EQ(RowTexts(*store), startRows);
  if (!everEmpty) EXPECT_EQ(MarkUnion(*store), marks);

  for (int i = 0; i < steps; ++i) {
    store->Redo();
    CheckRows(*store, "redo");
  }
  EXPECT_FALSE(store->UndoObj()->CanRedo());
  EXPECT_EQ(Join(*store), endText);
  EXPECT_EQ(RowTexts(*store), endRows);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TextModelProperty, ::testing::Range(0, 12));

} // namespace
} // namespace ze
