// The edit, search and mark commands and the template keys, driven through
// the main window offscreen: shortcuts as key events, the dialogs and the
// questions answered by script.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>
#include <cstdlib>
#include <deque>

#include "app/MainWindow.h"
#include "app/commands/MarkCommands.h"
#include "platform/CodePage.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;

// What a scripted search or replace dialog answers: confirmed with these
// texts and options, or cancelled.
struct TDialogAnswer {
  bool Ok = false;
  std::string Find, Replace; // UTF-8
  TSearchOptions Options = 0;
};

class CommandsWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    // The real search dialog keeps its history under the user's config folder.
    ::setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    test::App();
  }

  std::unique_ptr<TForm1> Make(bool realSearchDialog = false) {
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = dir.Path();
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    o.Clock = [this] { return today; };
    o.PlaceReplaceQuestion = placeQuestion;
    if (!realSearchDialog)
      o.SearchDialog = [this](ByteString& find, TSearchOptions& options) {
        return Answer(find, nullptr, options);
      };
    o.ReplaceDialog = [this](ByteString& find, ByteString& replace, TSearchOptions& options) {
      return Answer(find, &replace, options);
    };
    auto w = std::make_unique<TForm1>(prompter, o);
    w->show();
    QApplication::setActiveWindow(w.get());
    w->ActiveEditorWidget()->setFocus();
    QApplication::processEvents();
    return w;
  }

  // Like the program's dialogs: a cancel clears what was remembered.
  bool Answer(ByteString& find, ByteString* replace, TSearchOptions& options) {
    if (dialogs.empty()) throw std::logic_error("unexpected search dialog");
    const TDialogAnswer a = dialogs.front();
    dialogs.pop_front();
    find = ByteString(a.Ok ? Utf8ToCp932(a.Find) : std::string());
    if (replace) *replace = ByteString(a.Ok ? Utf8ToCp932(a.Replace) : std::string());
    options = a.Ok ? a.Options : 0;
    return a.Ok;
  }

  static TEditor& Ed(TForm1& w) { return *w.ActiveEditor(); }
  static std::string Text(TForm1& w) { return Cp932ToUtf8(Ed(w).Lines()->Text().str()); }
  static void SetText(TForm1& w, const std::string& utf8) {
    Ed(w).Lines()->SetText(Utf8ToCp932(utf8));
    Ed(w).SetRowCol(0, 0);
  }
  static void Key(TForm1& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    // A key held with Ctrl types no character, as from a real keyboard.
    if (mods & Qt::ControlModifier)
      QTest::sendKeyEvent(QTest::Click, w.ActiveEditorWidget(), key, QString(), mods);
    else
      QTest::keyClick(w.ActiveEditorWidget(), key, mods);
    QApplication::processEvents();
  }
  static bool Enabled(TForm1& w, C id) {
    w.RefreshCommands();
    return w.Action(id)->isEnabled();
  }
  static bool Checked(TForm1& w, C id) {
    w.RefreshCommands();
    return w.Action(id)->isChecked();
  }
  std::size_t Asked() const { return prompter.asked.size(); }

  test::TempDir dir;
  test::ScriptedPrompter prompter;
  std::deque<TDialogAnswer> dialogs;
  TDate today{2024, 3, 5, 2};
  bool placeQuestion = false;
};

// ---------------------------------------------------------------- line commands

TEST_F(CommandsWindowTest, LineDownOnTheSecondToLastLineKeepsAMissingFinalBreak) {
  auto w = Make();
  SetText(*w, "one\r\ntwo\r\nthree");
  Ed(*w).SetRowCol(1, 2);
  Key(*w, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "one\r\nthree\r\ntwo");
  EXPECT_EQ(Ed(*w).Row(), 2);
  EXPECT_EQ(Ed(*w).Col(), 2);
  // One undo step takes the exchange back.
  Key(*w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "one\r\ntwo\r\nthree");
}

TEST_F(CommandsWindowTest, LineUpDuplicateAndDeleteFromTheirShortcuts) {
  auto w = Make();
  SetText(*w, "aa\r\nbb\r\ncc\r\n");
  Ed(*w).SetRowCol(2, 1);
  Key(*w, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\nbb\r\n");
  EXPECT_EQ(Ed(*w).Row(), 1);
  Key(*w, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\ncc\r\nbb\r\n");
  EXPECT_EQ(Ed(*w).Row(), 2);
  Key(*w, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\nbb\r\n");
  // Line up on row 0 does nothing.
  Ed(*w).SetRowCol(0, 0);
  EXPECT_FALSE(Enabled(*w, C::ExChangeUpperL));
  Key(*w, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\nbb\r\n");
  // F12 and F11 cut the row at the caret; the line break stays.
  Ed(*w).SetRowCol(2, 1);
  Key(*w, Qt::Key_F12);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\nb\r\n");
  Key(*w, Qt::Key_F11);
  EXPECT_EQ(Text(*w), "aa\r\ncc\r\n\r\n");
}

// ---------------------------------------------------------------- text commands

TEST_F(CommandsWindowTest, LongDateComesFromTheClock) {
  auto w = Make();
  SetText(*w, "day: ");
  Ed(*w).SetRowCol(0, 5);
  ASSERT_TRUE(w->Run(C::LongDate1));
  EXPECT_EQ(Text(*w), "day: 2024年03月05日(火)");
  today = {2025, 12, 31, 3};
  SetText(*w, "");
  ASSERT_TRUE(w->Run(C::LongDate1));
  EXPECT_EQ(Text(*w), "2025年12月31日(水)");
  // Ctrl+D: the short date, with the year and the day in it.
  SetText(*w, "");
  Key(*w, Qt::Key_D, Qt::ControlModifier);
  EXPECT_NE(Text(*w).find("31"), std::string::npos) << Text(*w);
  EXPECT_NE(Text(*w).find("12"), std::string::npos) << Text(*w);
}

TEST_F(CommandsWindowTest, CaseKeysConvertOnlyTheSelectionAndKeepDoubleByteText) {
  auto w = Make();
  // ア is 0x83 0x41: its trail byte is an 'A' that must stay.
  SetText(*w, "abc アxyz def");
  Ed(*w).SetSelStart(4);
  Ed(*w).SetSelLength(5);
  Key(*w, Qt::Key_F7);
  EXPECT_EQ(Text(*w), "abc アXYZ def");
  Ed(*w).SelectAll();
  Key(*w, Qt::Key_F8);
  EXPECT_EQ(Text(*w), "abc アxyz def");
}

TEST_F(CommandsWindowTest, CaseKeysConvertABoxInPlace) {
  auto w = Make();
  SetText(*w, "abcd\r\nefgh\r\nijkl\r\n");
  Key(*w, Qt::Key_K, Qt::ControlModifier);
  Ed(*w).SetRowCol(0, 1);
  for (int i = 0; i < 2; ++i)
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
  for (int i = 0; i < 2; ++i)
    Key(*w, Qt::Key_Down, Qt::ShiftModifier);
  ASSERT_EQ(Ed(*w).SelectionMode(), smBox);
  Key(*w, Qt::Key_F7);
  // The rows keep their places: no line breaks come in with the box.
  EXPECT_EQ(Text(*w), "aBCd\r\neFGh\r\niJKl\r\n");
  EXPECT_EQ(Ed(*w).SelectionMode(), smBox);
}

TEST_F(CommandsWindowTest, CopyLineAndCopyAllLeaveTheCaretWhereItWas) {
  auto w = Make();
  SetText(*w, "first\r\nsecond\r\n");
  Ed(*w).SetRowCol(1, 3);
  Key(*w, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "second");
  EXPECT_EQ(Ed(*w).Row(), 1);
  EXPECT_EQ(Ed(*w).Col(), 3);
  EXPECT_FALSE(Ed(*w).HasSelection());
  // On the empty row after the final break nothing is copied.
  Ed(*w).SetRowCol(2, 0);
  Key(*w, Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "second");
  Key(*w, Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "first\nsecond\n");
  EXPECT_EQ(Ed(*w).Row(), 2);
}

TEST_F(CommandsWindowTest, DoubleClickSelectsAWholeAddressOrWithCtrlTheRow) {
  auto w = Make();
  SetText(*w, "see http://example.com/a-b now");
  TEditor& e = Ed(*w);
  QWidget* view = w->ActiveEditorWidget()->viewport();
  auto at = [&](int col) {
    return QPoint(e.TextLeft() + col * e.ColWidth() + 2, e.TextTop() + e.RowHeight() / 2);
  };
  QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, at(12));
  QApplication::processEvents();
  EXPECT_EQ(e.SelText().str(), "http://example.com/a-b");
  QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, at(1));
  EXPECT_EQ(e.SelText().str(), "see");
  QTest::mouseDClick(view, Qt::LeftButton, Qt::ControlModifier, at(1));
  EXPECT_EQ(e.SelText().str(), "see http://example.com/a-b now");
}

// ---------------------------------------------------------------- search

TEST_F(CommandsWindowTest, FindThenF3AndShiftF3WalkTheOccurrences) {
  auto w = Make();
  SetText(*w, "ab x ab x ab");
  dialogs.push_back({true, "ab", "", soDown});
  Key(*w, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(Ed(*w).SelStart(), 0);
  Key(*w, Qt::Key_F3);
  EXPECT_EQ(Ed(*w).SelStart(), 5);
  Key(*w, Qt::Key_F3);
  EXPECT_EQ(Ed(*w).SelStart(), 10);
  Key(*w, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Ed(*w).SelStart(), 5);
  EXPECT_EQ(Asked(), 0u);
  // Past the last one: the not-found message names the text.
  Key(*w, Qt::Key_F3);
  Key(*w, Qt::Key_F3);
  ASSERT_EQ(Asked(), 1u);
  EXPECT_EQ(prompter.LastText(), "検索文字列  ' ab '\nは見つかりませんでした ");
  EXPECT_EQ(Cp932ToUtf8(w->SearchState().FindText.str()), "ab");
}

TEST_F(CommandsWindowTest, F3AfterACancelledSearchDialogDoesNothing) {
  auto w = Make(true);
  SetText(*w, "ab ab");
  w->SearchState().FindText = ByteString("ab");
  w->SearchState().Options = soDown;
  // The program's own dialog, cancelled as soon as it shows.
  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      sawDialog = true;
      d->reject();
    }
  });
  ASSERT_TRUE(w->Run(C::Find2));
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(w->SearchState().FindText.size(), 0u);
  Ed(*w).SetRowCol(0, 0);
  Key(*w, Qt::Key_F3);
  Key(*w, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_FALSE(Ed(*w).HasSelection());
  EXPECT_EQ(Ed(*w).Col(), 0);
  EXPECT_EQ(Asked(), 0u); // not even a not-found message
}

TEST_F(CommandsWindowTest, ReplaceWithConfirmationAnsweredAllReplacesTheRestWithoutAsking) {
  auto w = Make();
  SetText(*w, "cat cat cat cat");
  dialogs.push_back({true, "cat", "dog", soDown | soReplaceAll | soReplaceConfirm});
  prompter.answers = {TMsgResult::No, TMsgResult::All};
  Key(*w, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "cat dog dog dog");
  // Two questions, then the not-found message after the last occurrence.
  ASSERT_EQ(Asked(), 3u);
  EXPECT_EQ(prompter.asked[0].text, " cat  を\n dog  に置き換えますか？");
  EXPECT_EQ(prompter.asked[0].buttons, TMsgButtons::YesNoCancelAll);
  EXPECT_EQ(prompter.asked[1].buttons, TMsgButtons::YesNoCancelAll);
  EXPECT_EQ(prompter.asked[2].buttons, TMsgButtons::Ok);
  EXPECT_TRUE(prompter.answers.empty());
  // Each replacement is its own undo step.
  Key(*w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "cat dog dog cat");
}

TEST_F(CommandsWindowTest, TheProgramsReplaceQuestionStandsBesideTheOccurrence) {
  placeQuestion = true;
  auto w = Make();
  SetText(*w, "xx cat\r\ncat");
  TEditor& e = Ed(*w);
  QWidget* view = w->ActiveEditorWidget()->viewport();
  dialogs.push_back({true, "cat", "dog", soDown | soReplaceAll | soReplaceConfirm});
  QRect box;
  QPoint hit;
  QTimer::singleShot(0, [&] {
    auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!m) return;
    box = m->frameGeometry();
    // The occurrence is selected while the question is asked.
    const TSelectionRange& r = e.SelectionRange();
    hit = view->mapToGlobal(QPoint(e.TextLeft() + e.PosToCol(r.StartRow, r.StartPos) * e.ColWidth(),
                                   e.TextTop() + r.StartRow * e.RowHeight()));
    m->button(QMessageBox::YesToAll)->click();
  });
  ASSERT_TRUE(w->Run(C::Replace1));
  EXPECT_EQ(Text(*w), "xx dog\r\ndog");
  ASSERT_FALSE(box.isNull());
  EXPECT_EQ(hit.x(), view->mapToGlobal(QPoint(e.TextLeft() + 3 * e.ColWidth(), 0)).x());
  EXPECT_EQ(box.left(), hit.x() + 2);
  // Above the row when there is room, else just below it.
  if (box.bottom() < hit.y())
    EXPECT_EQ(box.top(), hit.y() - box.height() - e.RowHeight());
  else
    EXPECT_EQ(box.top(), hit.y() + e.RowHeight());
  // Only the not-found message went through the prompter.
  ASSERT_EQ(Asked(), 1u);
  EXPECT_EQ(prompter.asked[0].buttons, TMsgButtons::Ok);
}

TEST_F(CommandsWindowTest, ReplaceCancelledAtTheQuestionKeepsTheTextAndTheHitStyle) {
  auto w = Make();
  SetText(*w, "cat cat");
  Ed(*w).SetHitStyle(hsCaret);
  dialogs.push_back({true, "cat", "dog", soDown | soReplace | soReplaceConfirm});
  // Without "all" one occurrence is handled.
  prompter.answers = {TMsgResult::Yes};
  ASSERT_TRUE(w->Run(C::Replace1));
  EXPECT_EQ(Text(*w), "dog cat");
  EXPECT_EQ(Ed(*w).HitStyle(), hsCaret);
  dialogs.push_back({true, "cat", "dog", soDown | soReplaceAll | soReplaceConfirm});
  prompter.answers = {TMsgResult::Cancel};
  ASSERT_TRUE(w->Run(C::Replace1));
  EXPECT_EQ(Text(*w), "dog cat");
  EXPECT_EQ(Ed(*w).HitStyle(), hsCaret);
  // A cancelled replace dialog replaces nothing.
  dialogs.push_back({false});
  ASSERT_TRUE(w->Run(C::Replace1));
  EXPECT_EQ(Text(*w), "dog cat");
  EXPECT_EQ(Asked(), 2u);
}

// ---------------------------------------------------------------- templates and lists

TEST_F(CommandsWindowTest, BeginBlockAtColumn8UnderAFourIndentedRowUsesIndent4) {
  auto w = Make();
  w->Settings().ReserveType = 1;
  SetText(*w, "    foo;");
  Ed(*w).SetRowCol(0, 8);
  const int T = Ed(*w).TabSpaceCount();
  ASSERT_GT(T, 0);
  Key(*w, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "    foo;begin\r\n" + std::string(std::size_t(4 + T), ' ') + "\r\n    end;");
  EXPECT_EQ(Ed(*w).Row(), 1);
  EXPECT_EQ(Ed(*w).Col(), 4 + T);
  // Upper case with the same key.
  w->Settings().ReserveType = 2;
  SetText(*w, "");
  Key(*w, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "BEGIN\r\n" + std::string(std::size_t(T), ' ') + "\r\nEND;");
}

TEST_F(CommandsWindowTest, TemplatesStayOutOfReadOnlyWrappedAndSwitchedOffEditors) {
  auto w = Make();
  w->Settings().ReserveType = 4;
  w->Settings().NumberType = 1;
  Key(*w, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "");
  w->Settings().ReserveType = 1;
  Key(*w, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(Text(*w), "");
  Ed(*w).SetReadOnly(true);
  Key(*w, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "");
  Ed(*w).SetReadOnly(false);
  w->Settings().WrapFlag = true;
  Key(*w, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "");
  w->Settings().WrapFlag = false;
  Key(*w, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "array[] of ;");
  EXPECT_EQ(Ed(*w).Col(), 6);
}

TEST_F(CommandsWindowTest, NumberedListsCountFromOneOrFromZero) {
  auto w = Make();
  w->Settings().SeparateType = 0;
  w->Settings().NumberType = 1;
  Key(*w, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "1: \r\n2: \r\n3: ");
  EXPECT_EQ(Ed(*w).Row(), 0);
  EXPECT_EQ(Ed(*w).Col(), 3);

  SetText(*w, "");
  Key(*w, Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
  std::string ten;
  for (int n = 1; n <= 9; ++n)
    ten += " " + std::to_string(n) + ": \r\n";
  EXPECT_EQ(Text(*w), ten + "10: ");
  EXPECT_EQ(Ed(*w).Col(), 4);

  w->Settings().NumberType = 2;
  w->Settings().SeparateType = 2;
  SetText(*w, "");
  Key(*w, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "0. \r\n1. \r\n2. \r\n3. ");
  SetText(*w, "");
  Key(*w, Qt::Key_0, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "0. ");
  // Not in the middle of a row.
  SetText(*w, "abc");
  Ed(*w).SetRowCol(0, 1);
  Key(*w, Qt::Key_3, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Text(*w), "abc");
}

// ---------------------------------------------------------------- marks

TEST_F(CommandsWindowTest, ABookmarkShortcutOnARowWithAnotherBookmarkReplacesIt) {
  auto w = Make();
  SetText(*w, "one\r\ntwo\r\n");
  TEditor& e = Ed(*w);
  EXPECT_FALSE(e.Imagebar()->Visible());
  Key(*w, Qt::Key_3, Qt::AltModifier);
  EXPECT_EQ(e.GetRowMarks(0), 1u << BookmarkRowMark(3));
  EXPECT_TRUE(Checked(*w, C::BoockMark3));
  EXPECT_TRUE(e.Imagebar()->Visible());
  EXPECT_EQ(e.ImageMarks(), &BookmarkImages());
  // The menu was never opened: the row itself decides.
  Key(*w, Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(e.GetRowMarks(0), 1u << BookmarkRowMark(2));
  EXPECT_TRUE(Checked(*w, C::BoockMark2));
  EXPECT_FALSE(Checked(*w, C::BoockMark3));
  // Twice on the same row: off again, and the column goes.
  Key(*w, Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(e.GetRowMarks(0), 0u);
  EXPECT_FALSE(e.Imagebar()->Visible());
  // Not on the empty row after the final break.
  e.SetRowCol(2, 0);
  EXPECT_FALSE(Enabled(*w, C::BoockMark1));
  Key(*w, Qt::Key_1, Qt::AltModifier);
  EXPECT_EQ(e.GetRowMarks(2), 0u);
}

TEST_F(CommandsWindowTest, JumpMarksAndBookmarkNavigationFromTheirShortcuts) {
  auto w = Make();
  std::string text;
  for (int i = 0; i < 30; ++i)
    text += "row " + std::to_string(i) + "\r\n";
  SetText(*w, text);
  TEditor& e = Ed(*w);
  // The "go to" submenu opens only while a jump mark exists.
  QMenu* goTo = nullptr;
  for (QObject* o : w->Action(C::GoMark1)->associatedObjects())
    if (auto* m = qobject_cast<QMenu*>(o)) goTo = m;
  ASSERT_NE(goTo, nullptr);
  w->RefreshCommands();
  EXPECT_FALSE(goTo->menuAction()->isEnabled());
  e.SetRowCol(10, 0);
  Key(*w, Qt::Key_3, Qt::ControlModifier);
  EXPECT_TRUE(goTo->menuAction()->isEnabled());
  e.SetRowCol(20, 0);
  Key(*w, Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(e.GetRowMarks(10), 0u);
  EXPECT_EQ(e.GetRowMarks(20), 1u << JumpRowMark(3));
  EXPECT_EQ(e.ImageDigits(), &JumpMarkImages());
  e.SetRowCol(0, 0);
  EXPECT_TRUE(Enabled(*w, C::GoMark3));
  EXPECT_FALSE(Enabled(*w, C::GoMark5));
  Key(*w, Qt::Key_F5, Qt::ControlModifier); // no jump mark 5: nothing
  EXPECT_EQ(e.Row(), 0);
  Key(*w, Qt::Key_F3, Qt::ControlModifier);
  EXPECT_EQ(e.Row(), 20);

  e.SetRowCol(5, 0);
  Key(*w, Qt::Key_1, Qt::AltModifier);
  e.SetRowCol(25, 0);
  Key(*w, Qt::Key_4, Qt::AltModifier);
  e.SetRowCol(15, 0);
  Key(*w, Qt::Key_Down, Qt::AltModifier);
  EXPECT_EQ(e.Row(), 25);
  Key(*w, Qt::Key_Down, Qt::AltModifier); // none below: stays
  EXPECT_EQ(e.Row(), 25);
  EXPECT_FALSE(Enabled(*w, C::NextBoockMark));
  // The refreshes after keys only guess from the marks the document may
  // hold; the Mark menu looks at the rows when it opens.
  w->RefreshCommandsQuick();
  QMenu* markMenu = nullptr;
  for (QObject* o : w->Action(C::NextBoockMark)->associatedObjects())
    if (auto* m = qobject_cast<QMenu*>(o)) markMenu = m;
  ASSERT_NE(markMenu, nullptr);
  emit markMenu->aboutToShow();
  EXPECT_FALSE(w->Action(C::NextBoockMark)->isEnabled());
  EXPECT_TRUE(w->Action(C::BeforeBoockMark)->isEnabled());
  Key(*w, Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(e.Row(), 5);

  Key(*w, Qt::Key_Delete, Qt::AltModifier);
  EXPECT_FALSE(HasBookmark(e));
  EXPECT_TRUE(HasJumpMark(e));
  EXPECT_TRUE(e.Imagebar()->Visible());
  Key(*w, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_FALSE(HasJumpMark(e));
  EXPECT_FALSE(e.Imagebar()->Visible());
  EXPECT_EQ(Text(*w), text); // the text never changed
}

TEST_F(CommandsWindowTest, EmptiedRowsLoseTheirMarksAndSplitViewsFollow) {
  auto w = Make();
  SetText(*w, "abc\r\ndef\r\n");
  ASSERT_TRUE(w->Run(C::Divide1));
  TEditor& e = Ed(*w);
  TEditor& other = *w->OtherEditorWidget()->Editor();
  e.SetRowCol(0, 3);
  Key(*w, Qt::Key_1, Qt::AltModifier);
  EXPECT_TRUE(other.Imagebar()->Visible());
  EXPECT_EQ(other.ImageMarks(), &BookmarkImages());
  // F11 at the row's end takes the whole text and the mark with it.
  Key(*w, Qt::Key_F11);
  EXPECT_EQ(Text(*w), "\r\ndef\r\n");
  EXPECT_EQ(e.GetRowMarks(0), 0u);
  EXPECT_FALSE(e.Imagebar()->Visible());
  EXPECT_FALSE(other.Imagebar()->Visible());
  // Backspace that empties a row: the clean-up runs after the key.
  e.SetRowCol(1, 3);
  Key(*w, Qt::Key_5, Qt::ControlModifier);
  EXPECT_TRUE(HasJumpMark(e));
  for (int i = 0; i < 3; ++i)
    Key(*w, Qt::Key_Backspace);
  EXPECT_EQ(Text(*w), "\r\n\r\n");
  EXPECT_FALSE(HasJumpMark(e));
  EXPECT_FALSE(e.Imagebar()->Visible());
}

TEST_F(CommandsWindowTest, ToolbarButtonsAndContextEntriesRunTheSameCommands) {
  auto w = Make();
  SetText(*w, "one\r\ntwo\r\n");
  Ed(*w).SetRowCol(1, 1);
  QApplication::clipboard()->setText("old");
  w->RefreshCommands();
  QToolBar* edit = w->Bar(TBarId::EditBar);
  auto* button = qobject_cast<QAbstractButton*>(edit->widgetForAction(w->Action(C::LineCopy1)));
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_EQ(QApplication::clipboard()->text(), "two");
  // The context menu's own "paste" entry pastes at the caret.
  Ed(*w).SetRowCol(0, 0);
  std::unique_ptr<QMenu> menu = w->CreateContextMenu();
  QAction* paste = nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == " 貼付け(&P)") paste = a;
  ASSERT_NE(paste, nullptr);
  ASSERT_TRUE(paste->isEnabled());
  paste->trigger();
  EXPECT_EQ(Text(*w), "twoone\r\ntwo\r\n");
}

// ---------------------------------------------------------------- states

TEST_F(CommandsWindowTest, AReadOnlyPageOffersOnlyWhatLeavesTheTextAlone) {
  auto w = Make();
  SetText(*w, "abc\r\ndef"); // the caret ends on a row with text
  Ed(*w).SelectAll();
  QApplication::clipboard()->setText("clip");
  Ed(*w).SetReadOnly(true);
  for (C id :
       {C::Cut1, C::Paste1, C::BoxPaste1, C::ExChangeLowerL, C::DoubleRow, C::Delete1Line,
        C::DeleteToEnd, C::ExchangeB, C::ExchangeS, C::ShortDate1, C::LongDate1, C::Replace1})
    EXPECT_FALSE(Enabled(*w, id)) << CommandInfo(id).Name;
  for (C id :
       {C::Copy1, C::LineCopy1, C::AllCopy1, C::SelectAll1, C::Find2, C::BoxSel1, C::BoockMark1})
    EXPECT_TRUE(Enabled(*w, id)) << CommandInfo(id).Name;
  // The shortcuts of the disabled commands change nothing either.
  Key(*w, Qt::Key_F7);
  Key(*w, Qt::Key_Y, Qt::ControlModifier);
  Key(*w, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "abc\r\ndef");
}

TEST_F(CommandsWindowTest, WordWrapSwitchesTheLineCommandsOff) {
  auto w = Make();
  SetText(*w, "abc\r\ndef\r\n");
  Ed(*w).SetRowCol(1, 1);
  Ed(*w).SetWordWrap(true);
  for (C id : {C::ExChangeUpperL, C::ExChangeLowerL, C::DoubleRow, C::Delete1Line, C::DeleteToHed,
               C::DeleteToEnd, C::LineCopy1, C::AllCopy1})
    EXPECT_FALSE(Enabled(*w, id)) << CommandInfo(id).Name;
  for (C id : {C::Undo1, C::SelectAll1, C::Find2, C::Replace1, C::LongDate1})
    EXPECT_EQ(Enabled(*w, id), id != C::Undo1 || Ed(*w).CanUndo()) << CommandInfo(id).Name;
  Key(*w, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "abc\r\ndef\r\n");
  Ed(*w).SetWordWrap(false);
  EXPECT_TRUE(Enabled(*w, C::ExChangeUpperL));
}

TEST_F(CommandsWindowTest, BoxModeAndBoxPasteFromTheirShortcuts) {
  auto w = Make();
  SetText(*w, "abcd\r\nefgh\r\n");
  Key(*w, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(Ed(*w).SelectionMode(), smBox);
  EXPECT_TRUE(Checked(*w, C::BoxSel1));
  Key(*w, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(Ed(*w).SelectionMode(), smNormal);
  QApplication::clipboard()->setText("X\nY");
  Ed(*w).SetRowCol(0, 1);
  Key(*w, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Text(*w), "aXbcd\r\neYfgh\r\n");
  Key(*w, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(Ed(*w).HasSelection());
}

} // namespace
} // namespace ze
