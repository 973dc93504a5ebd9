#include <gtest/gtest.h>

#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"

namespace ze {
namespace {

using test::FakeView;
using test::RowTexts;

struct Undo : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};
  TEditorUndoObj& undo = *store->UndoObj();

  std::string All() { return lines.Text().str(); }
  // Types text at the caret of row 0 the way the editor does.
  void Type(const std::string& s) {
    std::string row = store->Get(view.row).str();
    std::string tail = store->RowAttribute(view.row) == reLineBreak ? "\r\n" : "";
    store->ReplaceText(view.row, 1, row.substr(0, view.col) + s + row.substr(view.col) + tail);
    view.col += static_cast<int>(s.size());
  }
};

TEST_F(Undo, TypeUndoRedoRestoresTextAndCaret) {
  lines.SetText("hello\r\n");
  view.row = 0;
  view.col = 2;
  Type("a"); // "heallo", caret 3
  EXPECT_EQ(All(), "heallo\r\n");
  store->Undo();
  EXPECT_EQ(All(), "hello\r\n");
  EXPECT_EQ(view.col, 2); // where it was before typing
  view.col = 5;           // the user moves before redoing
  store->Redo();
  EXPECT_EQ(All(), "heallo\r\n");
  EXPECT_EQ(view.col, 3); // where it was when undo was invoked
  EXPECT_TRUE(undo.CanUndo());
  EXPECT_FALSE(undo.CanRedo());
}

TEST_F(Undo, NewEditAfterUndoDropsRedo) {
  lines.SetText("x\r\n");
  Type("1");
  Type("2");
  store->Undo();
  EXPECT_TRUE(undo.CanRedo());
  Type("3");
  EXPECT_FALSE(undo.CanRedo());
  store->Redo(); // nothing to redo: nothing happens
  EXPECT_EQ(All(), "13x\r\n");
}

// The history keeps what an edit changed, not the rows it touched: typing
// in a long row must not keep a copy of the row per keystroke.
TEST_F(Undo, EditsInALongRowKeepOnlyTheChangedBytes) {
  const std::string row(1 << 20, 'q');
  lines.SetText("first\r\n" + row + "\r\nlast");
  view.row = 1;
  view.col = 1000;
  for (int i = 0; i < 40; ++i) Type("ab"); // inside the row
  view.col = static_cast<int>(store->Ref(1).size());
  Type("z"); // at its end, before the line break
  view.col = 0;
  Type("q"); // the same byte as the one after it
  EXPECT_LE(undo.TextBytes(), 100u);
  const std::string typed = All();
  for (int i = 0; i < 42; ++i) store->Undo();
  EXPECT_EQ(All(), "first\r\n" + row + "\r\nlast");
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"first", row, "last"}));
  EXPECT_LE(undo.TextBytes(), 100u);
  for (int i = 0; i < 42; ++i) store->Redo();
  EXPECT_EQ(All(), typed);
}

// Replacements whose kept head and tail could overlap: the change is
// still put back exactly, rows and line ends included.
TEST_F(Undo, AmbiguousChangesUndoExactly) {
  struct Case {
    const char* before;
    int row, n;
    const char* text;
  } cases[] = {
      {"aaaa\r\naaaa\r\n", 0, 1, "aaaaa\r\n"},     // one 'a' more, anywhere
      {"aaaa\r\naaaa\r\n", 0, 1, "aaa\r\n"},       // one 'a' less
      {"ab\r\nab\r\nab", 0, 2, "ab\r\n"},           // a whole repeated line
      {"ab\r\nab\r\nab", 1, 1, "ab\r\nab\r\n"},   // and one more
      {"x\r\n\r\n\r\ny", 1, 1, "\r\n\r\n"},       // line breaks only
      {"\x82\xA0\x82\xA0\r\n", 0, 1, "\x82\xA0\r\n"}, // a double-byte character
      {"abc", 0, 1, "abc\r\nabc"},                  // the text gains a line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    undo.Clear();
    lines.SetText(c.before);
    const std::string before = All();
    const std::vector<std::string> rows = RowTexts(*store);
    store->ReplaceText(c.row, c.n, c.text);
    const std::string after = All();
    const std::vector<std::string> rowsAfter = RowTexts(*store);
    store->Undo();
    EXPECT_EQ(All(), before);
    EXPECT_EQ(RowTexts(*store), rows);
    store->Redo();
    EXPECT_EQ(All(), after);
    EXPECT_EQ(RowTexts(*store), rowsAfter);
  }
}

TEST_F(Undo, LimitKeepsTheNewest64) {
  lines.SetText("\r\n");
  for (int i = 0; i < 65; ++i) Type("k");
  EXPECT_EQ(undo.UndoCount(), 64);
  for (int i = 0; i < 63; ++i) store->Undo();
  EXPECT_TRUE(undo.CanUndo());
  store->Undo();
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_EQ(All(), "k\r\n"); // the first keystroke can no longer be undone
  undo.SetUndoListMax(10);
  EXPECT_EQ(undo.UndoListMax(), 64);
  undo.SetUndoListMax(100);
  EXPECT_EQ(undo.UndoListMax(), 100);
}

TEST_F(Undo, UndoingAnAppendRemovesRowsAndKeepsTheirMarks) {
  lines.SetText("a\r\n");
  store->ReplaceText(1, 0, "b\r\nc\r\n");
  EXPECT_EQ(store->Count(), 3);
  store->SetRowMarks(2, 1u << 7);
  store->Undo();
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"a"}));
  EXPECT_EQ(store->RowMarks(0), 1u << 7);
  store->Redo();
  EXPECT_EQ(All(), "a\r\nb\r\nc\r\n");
}

TEST_F(Undo, UndoingALineDeletionRestoresTheLines) {
  lines.SetText("a\r\nb\r\nc\r\nd\r\n");
  store->SetRowMarks(1, 2);
  store->ReplaceText(1, 2, "");
  EXPECT_EQ(All(), "a\r\nd\r\n");
  store->Undo();
  EXPECT_EQ(All(), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(store->RowMarks(3), 2); // stays on the row that received it
  store->Redo();
  EXPECT_EQ(All(), "a\r\nd\r\n");
  store->Undo();
  store->Undo(); // nothing older than the deletion but the load
  EXPECT_EQ(All(), "a\r\nb\r\nc\r\nd\r\n");
}

TEST_F(Undo, WrappedEditsUndoExactly) {
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(20);
  lines.SetText(std::string(50, 'w') + "\r\nnext\r\n");
  auto before = RowTexts(*store);
  store->ReplaceText(1, 1, std::string(10, 'w') + "INSERTED" + std::string(10, 'w'));
  EXPECT_NE(RowTexts(*store), before);
  store->Undo();
  EXPECT_EQ(RowTexts(*store), before);
}

// An editor typing into a row tells the store which bytes of the row the
// new text keeps; in wrapped lines, where the rows before and after are
// rewrapped with it, the edit, its undo and its redo come out as without.
TEST_F(Undo, KeptBytesTheCallerNamesGiveTheSameRowsAndHistory) {
  auto twin = Create<TEditorScreenStrings>();
  FakeView otherView{*twin};
  TEditorStrings twinLines{twin.get(), &otherView};
  const std::string text = "head\r\n" + std::string(45, 'w') + "\x82\xA0" + std::string(30, 'v') + "\r\ntail";
  for (TEditorScreenStrings* s : {store.get(), twin.get()}) {
    s->SetWordWrap(true);
    s->WrapOption()->SetWrapByte(20);
  }
  for (int row : {1, 2, 3, 5}) {
    for (size_t at : {size_t{0}, size_t{7}, size_t{19}}) {
      SCOPED_TRACE(testing::Message() << "row " << row << " byte " << at);
      lines.SetText(text);
      twinLines.SetText(text);
      const std::string old = store->Get(row).str();
      at = std::min(at, old.size());
      const std::string tail = store->RowAttribute(row) == reLineBreak ? "\r\n" : "";
      const std::string edited = old.substr(0, at) + "\x82\xA2xy" + old.substr(at) + tail;
      store->ReplaceText(row, 1, edited, at, old.size() - at + tail.size());
      twin->ReplaceText(row, 1, edited);
      const auto after = RowTexts(*twin);
      ASSERT_EQ(RowTexts(*store), after);
      store->Undo();
      twin->Undo();
      EXPECT_EQ(RowTexts(*store), RowTexts(*twin));
      EXPECT_EQ(All(), text);
      store->Redo();
      EXPECT_EQ(RowTexts(*store), after);
    }
  }
}

TEST_F(Undo, SwitchingWordWrapClearsBothHistories) {
  lines.SetText("a\r\n");
  Type("x");
  Type("y");
  store->Undo();
  ASSERT_TRUE(undo.CanUndo());
  ASSERT_TRUE(undo.CanRedo());
  store->SetWordWrap(true);
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_FALSE(undo.CanRedo());
}

TEST_F(Undo, CaretIsHiddenAroundApplyingAndShownAgain) {
  lines.SetText("a\r\n");
  Type("b");
  store->Undo();
  EXPECT_EQ(view.caretDepth, 0);
}

} // namespace
} // namespace ze

namespace ze {
namespace {

// With WordBreak a row's cut depends on the rows after it, so rewrapping
// the old text on undo could cut it into a different number of rows and
// send every older record to the wrong rows. Undo rebuilds the exact rows.
TEST_F(Undo, WordBreakUndoRestoresTheExactRows) {
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(30);
  store->WrapOption()->SetWordBreak(true);
  lines.SetText(std::string(40, 'a') + " bb cc\r\n");
  // Typing a blank late in the line lets an earlier row break earlier
  // only when rewrapped from the line start.
  std::vector<std::string> before = test::RowTexts(*store);
  store->ReplaceText(1, 1, store->Get(1).str() + " x\r\n");
  store->ReplaceText(0, 1, std::string(12, 'a') + " " + store->Get(0).Mid(13).str());
  store->Undo();
  store->Undo();
  EXPECT_EQ(test::RowTexts(*store), before);
  EXPECT_EQ(All(), std::string(40, 'a') + " bb cc\r\n");
}

} // namespace
} // namespace ze
