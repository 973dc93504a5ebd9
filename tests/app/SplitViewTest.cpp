// A split page through the main window: typing, then splitting, must leave
// the history and the modified state with the document, whichever view the
// user works in.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QtTest/QTest>
#include <filesystem>

#include "app/MainWindow.h"
#include "app/PageWidget.h"
#include "editorprop/EditorProp.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;

class SplitViewTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }

  // The window with a.txt ("hello") open and "abc" typed at its start.
  std::unique_ptr<TForm1> OpenAndType() {
    test::WriteFile(dir.File("a.txt"), "hello");
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = dir.Path();
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    auto w = std::make_unique<TForm1>(prompter, o);
    w->show();
    QApplication::setActiveWindow(w.get());
    w->OpenStartFiles({dir.File("a.txt")});
    Focus(w->ActiveEditorWidget());
    QTest::keyClicks(w->ActiveEditorWidget(), "abc");
    QApplication::processEvents();
    return w;
  }

  static void Focus(TEditorWidget* v) {
    v->setFocus();
    QApplication::processEvents();
  }
  static std::string Text(TEditor* e) { return e->Lines()->Text().str(); }
  static TEditorWidget* Upper(TForm1& w) { return w.ActivePage()->SecondEditor(); }
  static TEditorWidget* Lower(TForm1& w) { return w.ActivePage()->Editor(); }
  // Each typed character is one step of the history.
  static void CtrlZ(TEditorWidget* v, int times) {
    for (int i = 0; i < times; ++i)
      QTest::keyClick(v, Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
  }

  // The page counts as modified and undoable in the view that is active.
  static void ExpectModifiedAndUndoable(TForm1& w, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_TRUE(w.ActiveEditor()->Modified());
    EXPECT_TRUE(w.Action(C::Save1)->isEnabled());
    EXPECT_EQ(w.StatusText(1), " 変更");
    EXPECT_TRUE(w.ActiveEditor()->CanUndo());
    EXPECT_TRUE(w.Action(C::Undo1)->isEnabled());
  }

  test::TempDir dir;
  test::ScriptedPrompter prompter;
};

TEST_F(SplitViewTest, BothViewsShowTheTypedDocumentAsModifiedAndUndoable) {
  auto w = OpenAndType();
  ASSERT_EQ(Text(w->ActiveEditor()), "abchello");
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->IsSplit());
  ExpectModifiedAndUndoable(*w, "right after splitting");
  Focus(Upper(*w));
  ASSERT_EQ(w->ActiveEditorWidget(), Upper(*w));
  ExpectModifiedAndUndoable(*w, "upper view");
  Focus(Lower(*w));
  ASSERT_EQ(w->ActiveEditorWidget(), Lower(*w));
  ExpectModifiedAndUndoable(*w, "lower view");
}

TEST_F(SplitViewTest, CtrlZInTheUpperViewUndoesTheTyping) {
  auto w = OpenAndType();
  ASSERT_TRUE(w->Run(C::Divide1));
  Focus(Upper(*w));
  CtrlZ(Upper(*w), 1);
  EXPECT_EQ(Text(Lower(*w)->Editor()), "abhello");
  CtrlZ(Upper(*w), 2);
  EXPECT_EQ(Text(Upper(*w)->Editor()), "hello");
  EXPECT_EQ(Text(Lower(*w)->Editor()), "hello");
}

TEST_F(SplitViewTest, CtrlZInTheLowerViewUndoesTheTyping) {
  auto w = OpenAndType();
  ASSERT_TRUE(w->Run(C::Divide1));
  Focus(Upper(*w));
  Focus(Lower(*w));
  CtrlZ(Lower(*w), 1);
  EXPECT_EQ(Text(Upper(*w)->Editor()), "abhello");
  CtrlZ(Lower(*w), 2);
  EXPECT_EQ(Text(Lower(*w)->Editor()), "hello");
  EXPECT_EQ(Text(Upper(*w)->Editor()), "hello");
}

TEST_F(SplitViewTest, SavingThroughOneViewClearsTheStateInBoth) {
  auto w = OpenAndType();
  ASSERT_TRUE(w->Run(C::Divide1));
  Focus(Upper(*w));
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(dir.File("a.txt")), "abchello");
  EXPECT_FALSE(w->Action(C::Save1)->isEnabled());
  EXPECT_EQ(w->StatusText(1), "");
  Focus(Lower(*w));
  EXPECT_FALSE(w->ActiveEditor()->Modified());
  EXPECT_FALSE(w->Action(C::Save1)->isEnabled());
  EXPECT_EQ(w->StatusText(1), "");
}

TEST_F(SplitViewTest, JoiningAndChangingPagesKeepTheHistoryAndTheState) {
  auto w = OpenAndType();
  ASSERT_TRUE(w->Run(C::Divide1));
  Focus(Upper(*w));
  ASSERT_TRUE(w->Run(C::Divide1)); // join again
  ASSERT_FALSE(w->IsSplit());
  ExpectModifiedAndUndoable(*w, "after joining");

  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->Run(C::New1));
  EXPECT_EQ(w->StatusText(1), "");
  EXPECT_FALSE(w->Action(C::Save1)->isEnabled());
  w->SetActivePage(0);
  ASSERT_TRUE(w->IsSplit());
  ExpectModifiedAndUndoable(*w, "back on the split page");
  Focus(Upper(*w));
  ExpectModifiedAndUndoable(*w, "upper view after the page change");
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(w->Run(C::Undo1));
  EXPECT_EQ(Text(w->ActiveEditor()), "hello");
  EXPECT_FALSE(w->Action(C::Undo1)->isEnabled());
  EXPECT_TRUE(w->Action(C::Redo1)->isEnabled());
}

TEST_F(SplitViewTest, WithWordWrapOnTheSettingsHandedToTheViewsKeepTheHistory) {
  auto w = OpenAndType();
  // Wrapping on, as the settings dialog leaves it: the window hands these
  // settings to each view again on every split and page change.
  w->EditorProp1().SetWordWrap(true);
  w->ApplyProp(*w->ActiveEditor());
  ASSERT_TRUE(w->ActiveEditor()->WordWrap());
  QTest::keyClicks(w->ActiveEditorWidget(), "d");
  ASSERT_TRUE(w->Run(C::Divide1));
  Focus(Upper(*w));
  ExpectModifiedAndUndoable(*w, "split with wrapping on");
  ASSERT_TRUE(w->Run(C::New1));
  w->SetActivePage(0);
  ExpectModifiedAndUndoable(*w, "back on the page with wrapping on");
  ASSERT_TRUE(w->Run(C::Undo1));
  EXPECT_EQ(Text(w->ActiveEditor()), "abchello");
}

} // namespace
} // namespace ze
