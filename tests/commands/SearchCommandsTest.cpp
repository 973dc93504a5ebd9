#include "app/commands/SearchCommands.h"
#include "platform/CodePage.h"
#include "tests/commands/CommandsFixture.h"
#include "tests/support/ScriptedPrompter.h"

namespace ze {
namespace {

struct SearchCommands : test::CommandsFixture {
  test::ScriptedPrompter prompter;
  TSearchState state;
  int dialogRuns = 0;

  // A search dialog that accepts (or, with empty text, cancels) like the
  // real one: it clears what it remembered when it opens.
  TSearchDialogFn SearchDialog(std::string text, TSearchOptions options) {
    return [this, text, options](ByteString& find, TSearchOptions& opts) {
      ++dialogRuns;
      find = ByteString();
      opts = 0;
      if (text.empty()) return false;
      find = ByteString(text);
      opts = options;
      return true;
    };
  }
  TReplaceDialogFn ReplaceDialog(std::string find, std::string replace, TSearchOptions options) {
    return [this, find, replace, options](ByteString& f, ByteString& r, TSearchOptions& opts) {
      ++dialogRuns;
      f = r = ByteString();
      opts = 0;
      if (find.empty() || replace.empty()) return false;
      f = ByteString(find);
      r = ByteString(replace);
      opts = options;
      return true;
    };
  }
  int Confirmations() const {
    int n = 0;
    for (const auto& a : prompter.asked)
      n += a.buttons == TMsgButtons::YesNoCancelAll;
    return n;
  }
  int NotFounds() const {
    int n = 0;
    for (const auto& a : prompter.asked)
      n += a.buttons == TMsgButtons::Ok;
    return n;
  }
  int UndoSteps() {
    int n = 0;
    while (e.CanUndo()) {
      e.Undo();
      ++n;
    }
    return n;
  }
};

TEST(SearchMessages, TextsOfTheTwoBoxes) {
  EXPECT_EQ(NotFoundMessage(ByteString(Utf8ToCp932("漢字"))),
            "検索文字列  ' 漢字 '\nは見つかりませんでした ");
  EXPECT_EQ(ConfirmReplaceMessage(ByteString("old"), ByteString("new")),
            " old  を\n new  に置き換えますか？");
}

TEST(ConfirmBoxPlacement, RightOfTheCaretAboveItsRowOrBelowWhenThereIsNoRoom) {
  const TRect screen{0, 0, 1920, 1080};
  EXPECT_EQ(PlaceConfirmBox(100, 500, 16, 300, 120, screen), (TPoint{102, 364}));
  // No room above: below the caret's row.
  EXPECT_EQ(PlaceConfirmBox(100, 100, 16, 300, 120, screen), (TPoint{102, 116}));
  // Past the right edge: pulled in, 4 pixels from it.
  EXPECT_EQ(PlaceConfirmBox(1800, 500, 16, 300, 120, screen), (TPoint{1616, 364}));
  // Wider than the screen: at its left edge.
  EXPECT_EQ(PlaceConfirmBox(10, 500, 16, 300, 120, TRect{0, 0, 200, 600}), (TPoint{0, 364}));
  // A second screen to the right of the first.
  EXPECT_EQ(PlaceConfirmBox(2000, 1100, 16, 300, 120, TRect{1920, 1000, 3840, 2080}),
            (TPoint{2002, 1116}));
}

TEST_F(SearchCommands, FindSelectsTheNextOccurrence) {
  Load("one two one two|");
  auto hitStart = [&] { return e.SelectionRange().StartPos; };
  FindCommand(&e, state, prompter, SearchDialog("two", soDown | soMatchCase));
  EXPECT_EQ(e.SelText(), "two");
  EXPECT_EQ(hitStart(), 4);
  FindForward(&e, state, prompter);
  EXPECT_EQ(hitStart(), 12);
  FindBackward(&e, state, prompter);
  EXPECT_EQ(hitStart(), 4);
  EXPECT_EQ(state.Options & soDown, 0);
  EXPECT_TRUE(prompter.asked.empty());
  FindBackward(&e, state, prompter);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.LastText(), NotFoundMessage(ByteString("two")));
  EXPECT_EQ(prompter.asked.back().kind, TMsgKind::Information);
}

TEST_F(SearchCommands, FindForwardAfterACancelledDialogDoesNothing) {
  Load("abc abc|");
  FindCommand(&e, state, prompter, SearchDialog("abc", soDown));
  ASSERT_EQ(e.SelectionRange().StartPos, 0);
  FindCommand(&e, state, prompter, SearchDialog("", soDown)); // cancelled
  const int col = e.Col();
  FindForward(&e, state, prompter);
  FindBackward(&e, state, prompter);
  EXPECT_EQ(e.Col(), col);
  EXPECT_EQ(e.SelectionRange().StartPos, 0); // not moved on to the second "abc"
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(dialogRuns, 2);
}

TEST_F(SearchCommands, ReplaceWithoutAllReplacesOneOccurrence) {
  Load("cat cat cat|");
  ReplaceCommand(&e, state, prompter, ReplaceDialog("cat", "dog", soDown | soReplace));
  EXPECT_EQ(Text(), "dog cat cat|");
  EXPECT_EQ(e.Col(), 3);
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(SearchCommands, ReplaceAllTakesOneUndoStepPerReplacementAndEndsWithNotFound) {
  Load("cat cat|cat|scatter|");
  ReplaceCommand(&e, state, prompter, ReplaceDialog("cat", "dog", soDown | soReplaceAll));
  EXPECT_EQ(Text(), "dog dog|dog|sdogter|");
  EXPECT_EQ(NotFounds(), 1);
  EXPECT_EQ(UndoSteps(), 4);
  EXPECT_EQ(Text(), "cat cat|cat|scatter|");
}

TEST_F(SearchCommands, ReplaceAllWithConfirmationAnsweringAll) {
  Load("a1 a2 a3 a4 a5|");
  prompter.answers = {TMsgResult::Yes, TMsgResult::No, TMsgResult::All};
  ReplaceCommand(&e, state, prompter,
                 ReplaceDialog("a", "b", soDown | soReplaceAll | soReplaceConfirm));
  EXPECT_EQ(Text(), "b1 a2 b3 b4 b5|");
  EXPECT_EQ(Confirmations(), 3);
  EXPECT_EQ(NotFounds(), 1);
  EXPECT_EQ(prompter.asked[0].text, ConfirmReplaceMessage(ByteString("a"), ByteString("b")));
  EXPECT_EQ(state.Options & soReplaceConfirm, 0);
  EXPECT_NE(state.Options & soReplaceAll, 0);
}

TEST_F(SearchCommands, CancellingTheConfirmationStops) {
  Load("x x x|");
  prompter.answers = {TMsgResult::Yes, TMsgResult::Cancel};
  ReplaceCommand(&e, state, prompter,
                 ReplaceDialog("x", "y", soDown | soReplaceAll | soReplaceConfirm));
  EXPECT_EQ(Text(), "y x x|");
  EXPECT_EQ(NotFounds(), 0);
  // The question is about the selected occurrence, with the caret on it.
  EXPECT_EQ(e.SelText(), "x");
  EXPECT_EQ(e.Col(), 2);
}

TEST_F(SearchCommands, TheConfirmationIsAnchoredAtTheOccurrence) {
  Load("first|second target|");
  std::vector<TConfirmAnchor> anchors;
  TConfirmFn confirm = [&](const std::string& text, const TConfirmAnchor& where) {
    EXPECT_EQ(text, ConfirmReplaceMessage(ByteString("target"), ByteString("goal")));
    anchors.push_back(where);
    return TMsgResult::Yes;
  };
  ReplaceCommand(&e, state, prompter,
                 ReplaceDialog("target", "goal", soDown | soReplace | soReplaceConfirm), confirm);
  EXPECT_EQ(Text(), "first|second goal|");
  ASSERT_EQ(anchors.size(), 1u);
  EXPECT_EQ(anchors[0].CaretX, X(7));
  EXPECT_EQ(anchors[0].CaretY, Y(1));
  EXPECT_EQ(anchors[0].RowHeight, e.RowHeight());
}

TEST_F(SearchCommands, ReplaceAllBackwardsStartsBeforeEachReplacement) {
  Load("aa aa|aa|");
  e.SetRowCol(2, 0);
  ReplaceCommand(&e, state, prompter, ReplaceDialog("aa", "aaa", soReplaceAll));
  EXPECT_EQ(Text(), "aaa aaa|aaa|");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 0);
}

TEST_F(SearchCommands, AReplacementHoldingTheFindTextIsNotReplacedAgain) {
  Load("a-a|");
  ReplaceCommand(&e, state, prompter, ReplaceDialog("a", "aa", soDown | soReplaceAll));
  EXPECT_EQ(Text(), "aa-aa|");
}

TEST_F(SearchCommands, ReplacingNeverMatchesATrailByte) {
  const std::string a = "\x83\x41"; // ア: its trail byte is 'A'
  Load(a + "A" + a + "|");
  ReplaceCommand(&e, state, prompter, ReplaceDialog("A", "B", soDown | soMatchCase | soReplaceAll));
  EXPECT_EQ(Text(), a + "B" + a + "|");
}

TEST_F(SearchCommands, ReplaceNeedsAWritableEditorWithTextAndAConfirmedDialog) {
  Load("abc|");
  e.SetReadOnly(true);
  ReplaceCommand(&e, state, prompter, ReplaceDialog("b", "x", soDown | soReplaceAll));
  EXPECT_EQ(dialogRuns, 0);
  e.SetReadOnly(false);
  ReplaceCommand(&e, state, prompter, ReplaceDialog("b", "", soDown | soReplaceAll));
  EXPECT_EQ(dialogRuns, 1);
  EXPECT_EQ(Text(), "abc|");
  // The dialog cleared the find text: F3 does nothing either.
  FindForward(&e, state, prompter);
  EXPECT_TRUE(prompter.asked.empty());
  ReplaceCommand(nullptr, state, prompter, ReplaceDialog("b", "x", soDown));
  EXPECT_EQ(dialogRuns, 1);
}

TEST_F(SearchCommands, BoxModeSurvivesAReplace) {
  Load("abc abc|");
  e.SetSelectionMode(smBox);
  ReplaceCommand(&e, state, prompter, ReplaceDialog("abc", "xy", soDown | soReplaceAll));
  EXPECT_EQ(Text(), "xy xy|");
  EXPECT_EQ(e.SelectionMode(), smBox);
}

} // namespace
} // namespace ze
