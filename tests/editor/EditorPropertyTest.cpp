// Random key, character and input-method sequences on the editor, with
// word wrap on and off and in normal and box mode: after every step the
// rows must be consistent and the caret on a character boundary; undoing
// everything must give back the original text.
#include <random>

#include "text/CharHelpers.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

struct EditorProperty : EditorFixture, ::testing::WithParamInterface<int> {};

void CheckState(TEditor& e, int step) {
  SCOPED_TRACE(testing::Message() << "step " << step);
  TEditorScreenStrings& rows = e.List();
  const int count = rows.Count();
  for (int r = 0; r < count; ++r) {
    std::string_view t = rows.Ref(r).view();
    if (!t.empty()) {
      ASSERT_FALSE(IsLeadByteAt(t, static_cast<int>(t.size()))) << "row " << r;
    }
    TRowEnd end = rows.RowAttribute(r);
    if (r < count - 1) {
      ASSERT_NE(end, reEndOfText) << "row " << r;
    } else {
      ASSERT_NE(end, reWrapped);
    }
    if (!e.WordWrap()) {
      ASSERT_NE(end, reWrapped);
    } else {
      ASSERT_LE(e.StrWidth(t), e.WrapOption()->WrapByte() + 3);
    }
  }
  ASSERT_GE(e.Row(), 0);
  ASSERT_LE(e.Row(), count);
  ASSERT_LE(e.Col(), 1001);
  std::string codes = e.ColumnAttributes(e.RowText(e.Row()).view());
  if (e.Col() < static_cast<int>(codes.size())) {
    ASSERT_NE(codes[static_cast<size_t>(e.Col())], caTrail) << "caret inside a double-byte character";
    if (!e.Caret()->InTab()) {
      ASSERT_NE(codes[static_cast<size_t>(e.Col())], caTabFill) << "caret inside a tab";
    }
  }
  ASSERT_EQ(e.Host()->Focused(), true);
}

TEST_P(EditorProperty, RandomInputKeepsTheTextConsistentAndUndoable) {
  std::mt19937 rng(static_cast<uint32_t>(GetParam()) * 2654435761u + 7u);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  Focus();
  e.SetUndoListMax(100000);
  if (pick(0, 1)) {
    e.WrapOption()->SetWrapByte(pick(20, 40));
    e.SetWordWrap(true);
  }
  e.Caret()->SetInTab(pick(0, 3) == 0);
  e.Caret()->SetFreeCaret(pick(0, 1) == 1);
  const std::string original =
      "program Test;\r\n\tbegin\r\n    x := '\x8A\xBF\x8E\x9A';  // \x82\xA0\x82\xA2\r\n"
      "  end.\r\n\xB1\xB2\xB3 " + std::string(50, 'w') + "\r\nlast";
  SetText(original);
  e.SetModified(false);

  static const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT, VK_DELETE};
  static const char* strings[] = {"a", "Z", " ", "\x8A\xBF", "\x82\xA0", "\xB1", "(", "\t"};
  for (int step = 0; step < 400; ++step) {
    int what = pick(0, 102);
    if (what < 35) {
      TShiftState shift = static_cast<TShiftState>((pick(0, 2) == 0 ? ssShift : 0) | (pick(0, 5) == 0 ? ssCtrl : 0));
      e.KeyDown(keys[pick(0, static_cast<int>(std::size(keys)) - 1)], shift);
    } else if (what < 70) {
      for (unsigned char c : std::string(strings[pick(0, static_cast<int>(std::size(strings)) - 1)])) e.KeyPress(c);
    } else if (what < 78) {
      e.KeyPress(8);
    } else if (what < 84) {
      e.KeyPress(13, pick(0, 4) == 0 ? ssShift : 0);
    } else if (what < 88) {
      e.ImeResult("\x93\xFA\x96\x7B"); // 日本
    } else if (what < 91) {
      e.SetSelectionMode(e.SelectionMode() == smBox ? smNormal : smBox);
    } else if (what < 94) {
      e.CopyToClipboard();
    } else if (what < 96) {
      e.PasteFromClipboard();
    } else if (what < 97) {
      e.SetOverWrite(!e.OverWrite());
    } else {
      // A click, a drag with the left button (maybe with Shift or Ctrl,
      // maybe over the selection, which moves or copies it) and a release.
      auto point = [&] { return std::pair{pick(0, 400), pick(0, 200)}; };
      TShiftState mod = static_cast<TShiftState>(pick(0, 3) == 0 ? ssCtrl : (pick(0, 3) == 0 ? ssShift : 0));
      auto [x0, y0] = point();
      e.MouseDown(x0, y0, static_cast<TShiftState>(mod | ssLeft));
      for (int m = pick(0, 3); m > 0; --m) {
        auto [x, y] = point();
        e.MouseMove(x, y, static_cast<TShiftState>(mod | ssLeft));
      }
      auto [x1, y1] = point();
      e.MouseUp(x1, y1, mod);
    }
    CheckState(e, step);
    if (HasFatalFailure()) return;
  }
  int undone = 0;
  while (e.CanUndo()) {
    e.Undo();
    CheckState(e, 1000 + undone);
    if (HasFatalFailure()) return;
    ASSERT_LT(++undone, 2000);
  }
  EXPECT_GT(undone, 50); // the run really edited
  EXPECT_EQ(e.Lines()->Text(), original);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditorProperty, ::testing::Range(0, 16));

} // namespace
} // namespace ze
