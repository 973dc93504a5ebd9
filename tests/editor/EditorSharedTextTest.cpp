// Two views of one text: the history and the modified flag belong to the
// text, not to the view that made the change.
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

struct SharedText : test::EditorFixture {
  std::unique_ptr<TEditor> second = Create<TEditor>(nullptr);
  test::THeadlessHost host2{640, 480};

  SharedText() { second->SetHost(&host2); }
  ~SharedText() override {
    if (second) second->SetHost(nullptr);
  }

  // The first view's settings with another tab width, as a settings
  // dialog would hand them over.
  static std::unique_ptr<TEditorCaret> OtherCaret(const TEditor& from) {
    auto c = std::make_unique<TEditorCaret>();
    c->CopyFrom(from.Caret());
    c->SetTabSpaceCount(from.Caret()->TabSpaceCount() == 4 ? 8 : 4);
    return c;
  }
};

TEST_F(SharedText, SettingsGivenToAJoiningViewKeepTheHistory) {
  e.SetSelText("abc");
  ASSERT_TRUE(e.CanUndo());
  second->ShareScreenStrings(&e);
  // The new view gets the window's settings only after it shows the text.
  const auto caret = OtherCaret(*second);
  second->SetCaret(caret.get());
  EXPECT_TRUE(second->CanUndo());
  EXPECT_TRUE(e.CanUndo());
  second->Undo();
  EXPECT_EQ(e.Lines()->Text().str(), "");
  EXPECT_TRUE(e.CanRedo());
}

TEST_F(SharedText, ACaretChangeOfTheFirstViewStillEmptiesTheHistory) {
  second->ShareScreenStrings(&e);
  e.SetSelText("abc");
  ASSERT_TRUE(second->CanUndo());
  const auto caret = OtherCaret(e);
  e.SetCaret(caret.get());
  EXPECT_FALSE(second->CanUndo());
  EXPECT_FALSE(e.CanUndo());
  // A caret with the same values is no change.
  e.SetSelText("x");
  e.SetCaret(caret.get());
  EXPECT_TRUE(e.CanUndo());
}

TEST_F(SharedText, OneModifiedFlagForEveryView) {
  e.SetSelText("abc");
  ASSERT_TRUE(e.Modified());
  second->ShareScreenStrings(&e);
  EXPECT_TRUE(second->Modified()); // changed before it joined
  EXPECT_TRUE(second->EmGetModify());
  second->SetModified(false); // saved through the second view
  EXPECT_FALSE(e.Modified());
  second->SetSelText("d");
  EXPECT_TRUE(e.Modified());
  e.EmSetModify(false);
  EXPECT_FALSE(second->Modified());
}

TEST_F(SharedText, AViewThatLeavesTakesNothingWithIt) {
  second->ShareScreenStrings(&e);
  second->SetSelText("abc");
  second->SetHost(nullptr);
  second.reset();
  EXPECT_TRUE(e.Modified());
  ASSERT_TRUE(e.CanUndo());
  e.Undo();
  EXPECT_EQ(e.Lines()->Text().str(), "");
}

TEST_F(SharedText, AJoiningViewDropsItsOwnTextsFlag) {
  second->SetSelText("own");
  ASSERT_TRUE(second->Modified());
  second->ShareScreenStrings(&e);
  EXPECT_FALSE(second->Modified());
  EXPECT_FALSE(second->CanUndo());
}

} // namespace
} // namespace ze
