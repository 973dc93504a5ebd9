// The main window offscreen, with a scripted prompter and its settings in
// a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QtTest/QTest>
#include <filesystem>
#include <stdexcept>

#include "app/AppInfo.h"
#include "app/MainWindow.h"
#include "editorprop/EditorProp.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;

class MainWindowTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }

  std::unique_ptr<TForm1> Make() {
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = dir.Path();
    o.DataDir = dataDir.empty() ? dir.Path() : dataDir;
    o.OpenUrl = [this](const std::string& url) { opened.push_back(url); };
    auto w = std::make_unique<TForm1>(prompter, o);
    w->show();
    // The editors report caret moves only while they have the focus.
    QApplication::setActiveWindow(w.get());
    w->ActiveEditorWidget()->setFocus();
    QApplication::processEvents();
    return w;
  }

  std::string File(const std::string& name, const std::string& text) {
    test::WriteFile(dir.File(name), text);
    return std::filesystem::canonical(dir.File(name)).string();
  }

  static std::string Text(TEditor* e) { return e->Lines()->Text().str(); }
  static QString Tab(TForm1& w, int i) { return w.PageControl1()->tabText(i); }
  // A drag that enters the window and drops there.
  static void Drop(TForm1& w, const QMimeData& data) {
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
  }

  test::TempDir dir;
  std::string dataDir;
  test::ScriptedPrompter prompter;
  std::vector<std::string> opened;
};

TEST_F(MainWindowTest, StartsWithOneUntitledPageAndItsStatusTexts) {
  auto w = Make();
  ASSERT_EQ(w->PageCount(), 1);
  EXPECT_EQ(Tab(*w, 0), "Untitled");
  EXPECT_EQ(w->windowTitle(), "Untitled");
  EXPECT_EQ(w->Documents().ActivePath(), "Untitled");
  ASSERT_NE(w->ActiveEditor(), nullptr);
  EXPECT_EQ(w->StatusText(0), "    1 行  :   1 桁");
  EXPECT_EQ(w->StatusText(1), "");
  EXPECT_EQ(w->StatusText(2), " 挿入");
  EXPECT_EQ(w->StatusText(3), "");
  EXPECT_EQ(w->StatusText(4), "");
  EXPECT_FALSE(w->IsSplit());
  // The page's editor carries EditorProp1.
  EXPECT_EQ(w->ActiveEditor()->Font().Size, w->EditorProp1().Font().Size);
  EXPECT_EQ(w->ActiveEditor()->Caret()->TabSpaceCount(), w->EditorProp1().Caret()->TabSpaceCount());
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_GT(w->width(), 0);
  EXPECT_GT(w->height(), 0);
}

TEST_F(MainWindowTest, TwoFileArgumentsGiveTwoPagesTheSecondActive) {
  const std::string a = File("a.txt", "first\r\nfile\r\n");
  const std::string b = File("b.txt", "second");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt"), dir.File("b.txt")});
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().ActiveIndex(), 1);
  EXPECT_EQ(w->PageControl1()->currentIndex(), 1);
  EXPECT_EQ(Tab(*w, 0), "a"); // loaded into the start page
  EXPECT_EQ(Tab(*w, 1), "b");
  EXPECT_EQ(w->Documents().Path(0), a);
  EXPECT_EQ(w->windowTitle().toStdString(), b);
  EXPECT_EQ(Text(w->ActiveEditor()), "second");
  EXPECT_FALSE(w->ActiveEditor()->Modified());
  w->SetActivePage(0);
  EXPECT_EQ(Text(w->ActiveEditor()), "first\r\nfile\r\n");
  EXPECT_EQ(w->windowTitle().toStdString(), a);
}

TEST_F(MainWindowTest, OneFileUnderTwoNamesOpensOnceAndOnlyFilesOpen) {
  const std::string a = File("a.txt", "x");
  std::filesystem::create_directory(dir.File("sub"));
  auto w = Make();
  w->OpenStartFiles(
      {dir.File("a.txt"), dir.File("sub/../a.txt"), dir.File("missing.txt"), dir.File("sub")});
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(w->Documents().Path(0), a);
  ASSERT_EQ(prompter.asked.size(), 2u); // the missing file is passed over silently
  EXPECT_EQ(prompter.asked[0].text, "a は既に開かれています！");
  EXPECT_NE(prompter.asked[1].text.find(" はファイルではないため開けません！"), std::string::npos);
}

TEST_F(MainWindowTest, DroppedFilesOpenExceptOnesAlreadyOpen) {
  File("a.txt", "a");
  const std::string b = File("b.txt", "b");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt")});
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.File("a.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.File("b.txt")))});
  Drop(*w, data);
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().ActivePath(), b);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "a は既に開かれています！");
  // Text dropped on the frame changes nothing.
  QMimeData text;
  text.setText("words");
  Drop(*w, text);
  EXPECT_EQ(w->PageCount(), 2);
  EXPECT_EQ(Text(w->ActiveEditor()), "b");
}

TEST_F(MainWindowTest, ClosingThreeUnmodifiedPagesAsksNothing) {
  File("a.txt", "a");
  File("b.txt", "b");
  File("c.txt", "c");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt"), dir.File("b.txt"), dir.File("c.txt")});
  ASSERT_EQ(w->PageCount(), 3);
  EXPECT_TRUE(w->close());
  EXPECT_EQ(w->PageCount(), 1); // two closed without a prompt, then the window
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File("ZorvaneEditorInt.ini")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("ZorvaneEditorColor.ini")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("ZorvaneEditorBool.ini")));
}

TEST_F(MainWindowTest, CancelInTheCloseQuestionKeepsTheWindowButWritesTheSettings) {
  auto w = Make();
  w->ActiveEditor()->SetSelText("typed");
  ASSERT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(w->StatusText(1), " 変更");
  prompter.answers = {TMsgResult::Cancel};
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "\nUntitled は\n変更されています 保存しますか?");
  EXPECT_EQ(prompter.asked[0].buttons, TMsgButtons::YesNoCancel);
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_TRUE(std::filesystem::exists(dir.File("ZorvaneEditorInt.ini")));
  // No: the window may close.
  prompter.answers = {TMsgResult::No};
  EXPECT_TRUE(w->close());
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenLetTheUserDecide) {
  test::WriteFile(dir.File("blocker"), "a file where the settings folder should be");
  TForm1::TOptions o;
  o.ProgramPath = dir.File("ZorvaneEditor");
  o.SettingsDir = dir.File("blocker/settings");
  TForm1 w(prompter, o);
  w.show();
  // The error box takes the first answer, the question the second.
  prompter.answers = {TMsgResult::Ok, TMsgResult::No};
  EXPECT_FALSE(w.close());
  ASSERT_EQ(prompter.asked.size(), 2u);
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Error);
  EXPECT_NE(prompter.asked[0].text.find("設定ファイルを書き込めませんでした"), std::string::npos);
  EXPECT_EQ(prompter.asked[1].buttons, TMsgButtons::YesNo);
  prompter.answers = {TMsgResult::Ok, TMsgResult::Yes};
  EXPECT_TRUE(w.close());
}

TEST_F(MainWindowTest, TheKeyHookRunsBeforeTheEditor) {
  auto w = Make();
  std::vector<int> seen;
  w->OnEditorKeyDown = [&](TEditor&, int vk, TShiftState) {
    seen.push_back(vk);
    return vk == 'Q'; // takes Q, leaves the rest
  };
  QTest::keyClicks(w->ActiveEditorWidget(), "aqb");
  EXPECT_EQ(Text(w->ActiveEditor()), "ab");
  EXPECT_EQ(seen, (std::vector<int>{'A', 'Q', 'B'}));
}

TEST_F(MainWindowTest, AFailedSaveAtCloseKeepsTheDocumentAndTheWindow) {
  File("a.txt", "a");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt")});
  w->ActiveEditor()->SetSelText("more ");
  // The file's folder becomes a file: the save must fail.
  std::filesystem::remove(dir.File("a.txt"));
  std::filesystem::create_directory(dir.File("a.txt"));
  // Save: yes; the file changed on disk meanwhile, overwrite: yes.
  prompter.answers = {TMsgResult::Yes, TMsgResult::Yes};
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  ASSERT_EQ(prompter.asked.size(), 3u);
  EXPECT_NE(prompter.asked[1].text.find("他のプログラムによって変更されています"), std::string::npos);
  EXPECT_EQ(prompter.asked[2].kind, TMsgKind::Error);
  EXPECT_NE(prompter.asked[2].text.find("保存できませんでした"), std::string::npos);
}

TEST_F(MainWindowTest, YesSavesModifiedPagesBeforeClosingThem) {
  const std::string a = File("a.txt", "a");
  File("b.txt", "b");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt"), dir.File("b.txt")});
  w->SetActivePage(0);
  w->ActiveEditor()->SetSelText("new ");
  w->SetActivePage(1);
  // The page b closes unasked; then a is asked about.
  prompter.answers = {TMsgResult::Yes};
  EXPECT_TRUE(w->close());
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "\n" + a + " は\n変更されています 保存しますか?");
  EXPECT_EQ(test::ReadFile(a), "new a");
}

TEST_F(MainWindowTest, StatusFollowsTheCaretTheTextAndTheSelectionMode) {
  File("a.txt", "one\r\ntwo\r\nthree\r\n");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt")});
  TEditor* e = w->ActiveEditor();
  e->SetRowCol(2, 3);
  EXPECT_EQ(w->StatusText(0), "    3 行  :   4 桁");
  EXPECT_EQ(w->StatusText(1), "");
  e->SetSelText("x");
  EXPECT_EQ(w->StatusText(1), " 変更");
  EXPECT_EQ(w->StatusText(0), "    3 行  :   5 桁");
  EXPECT_TRUE(w->Run(C::BoxSel1));
  EXPECT_EQ(w->StatusText(3), " 矩形選択");
  EXPECT_TRUE(w->Action(C::BoxSel1)->isChecked());
  EXPECT_TRUE(w->Run(C::BoxSel1));
  EXPECT_EQ(w->StatusText(3), "");
}

TEST_F(MainWindowTest, SplitViewShowsOneTextTwiceAndChecksPerPage) {
  File("a.txt", "shared\r\n");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt")});
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->IsSplit());
  TPageWidget* pageA = w->ActivePage();
  TEditor* first = pageA->Editor()->Editor();
  TEditor* second = pageA->SecondEditor()->Editor();
  EXPECT_EQ(Text(second), "shared\r\n");
  second->SetSelText("both ");
  EXPECT_EQ(Text(first), "both shared\r\n");
  EXPECT_TRUE(first->Modified());
  EXPECT_TRUE(w->Action(C::Divide1)->isChecked());
  ASSERT_NE(w->OtherEditorWidget(), nullptr);
  EXPECT_NE(w->OtherEditorWidget(), w->ActiveEditorWidget());

  // A new page is not split: no check, and splitting it splits it
  // without touching page A.
  ASSERT_TRUE(w->Run(C::New1));
  EXPECT_FALSE(w->IsSplit());
  EXPECT_FALSE(w->Action(C::Divide1)->isChecked());
  ASSERT_TRUE(w->Run(C::Divide1));
  EXPECT_TRUE(w->IsSplit());
  EXPECT_TRUE(pageA->IsSplit());

  // Back on A: checked; joining A leaves the new page split.
  w->SetActivePage(0);
  EXPECT_TRUE(w->Action(C::Divide1)->isChecked());
  ASSERT_TRUE(w->Run(C::Divide1));
  EXPECT_FALSE(pageA->IsSplit());
  EXPECT_EQ(pageA->SecondEditor(), nullptr);
  EXPECT_TRUE(w->Documents().Page(1)->IsSplit());
  EXPECT_EQ(Text(w->ActiveEditor()), "both shared\r\n");
}

TEST_F(MainWindowTest, TheLowerViewGoesOnWhereTheUpperOneEnds) {
  std::string text;
  for (int i = 0; i < 300; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  File("long.txt", text);
  auto w = Make();
  w->resize(800, 600);
  w->OpenStartFiles({dir.File("long.txt")});
  TEditor* first = w->ActiveEditor();
  first->SetTopRow(40);
  const int rowsBefore = first->RowCount();
  ASSERT_TRUE(w->Run(C::Divide1));
  QApplication::processEvents();
  TEditor* top = w->ActivePage()->SecondEditor()->Editor();
  EXPECT_EQ(top->TopRow(), 40);
  EXPECT_LT(top->RowCount(), rowsBefore);
  EXPECT_GT(top->RowCount(), rowsBefore / 4);
  EXPECT_EQ(first->TopRow(), top->TopRow() + top->RowCount());
}

TEST_F(MainWindowTest, ClosingASplitPageFreesBothViews) {
  auto w = Make();
  ASSERT_TRUE(w->Run(C::New1));
  ASSERT_TRUE(w->Run(C::Divide1));
  ASSERT_TRUE(w->Run(C::ClosePage)); // not modified: no question
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_FALSE(w->IsSplit());
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(MainWindowTest, AChangeOfPageKeepsTheUndoHistory) {
  auto w = Make();
  w->ActiveEditor()->SetSelText("typed");
  ASSERT_TRUE(w->Run(C::New1));
  w->SetActivePage(0);
  EXPECT_TRUE(w->ActiveEditor()->CanUndo());
  EXPECT_TRUE(w->Run(C::Undo1));
  EXPECT_EQ(Text(w->ActiveEditor()), "");
}

TEST_F(MainWindowTest, ViewTogglesReachTheEditorsAndEditorProp1) {
  auto w = Make();
  ASSERT_TRUE(w->Run(C::Divide1));
  TEditor* e = w->ActiveEditor();
  TEditor* other = w->OtherEditorWidget()->Editor();
  struct Toggle {
    C Id;
    std::function<bool(TEditor*)> OnEditor;
    std::function<bool(const TEditorProp&)> InProp;
  };
  const Toggle toggles[] = {
      {C::LineNum1, [](TEditor* x) { return x->Leftbar()->Visible(); },
       [](const TEditorProp& p) { return p.Leftbar()->Visible(); }},
      {C::Ruler1, [](TEditor* x) { return x->Ruler()->Visible(); },
       [](const TEditorProp& p) { return p.Ruler()->Visible(); }},
      {C::LCursor1, [](TEditor* x) { return x->Marks()->Underline()->Visible(); },
       [](const TEditorProp& p) { return p.Marks()->Underline()->Visible(); }},
  };
  for (const Toggle& t : toggles) {
    const bool before = t.OnEditor(e);
    EXPECT_EQ(w->Action(t.Id)->isChecked(), before);
    ASSERT_TRUE(w->Run(t.Id));
    EXPECT_EQ(t.OnEditor(e), !before);
    EXPECT_EQ(t.OnEditor(other), !before);
    EXPECT_EQ(t.InProp(w->EditorProp1()), !before);
    EXPECT_EQ(w->Action(t.Id)->isChecked(), !before);
    // A new page gets the same.
    ASSERT_TRUE(w->Run(C::New1));
    EXPECT_EQ(t.OnEditor(w->ActiveEditor()), !before);
    ASSERT_TRUE(w->Run(C::ClosePage));
  }
}

TEST_F(MainWindowTest, BarsAndViewFlagsSurviveARestart) {
  {
    auto w = Make();
    const bool ruler = w->RulerOn();
    ASSERT_TRUE(w->Run(C::ViewFindTool));
    EXPECT_TRUE(w->Bar(TBarId::FindBar)->isHidden());
    EXPECT_FALSE(w->Action(C::ViewFindTool)->isChecked());
    ASSERT_TRUE(w->Run(C::Ruler1));
    EXPECT_EQ(w->RulerOn(), !ruler);
    w->FontSizeBox()->setCurrentIndex(20 - 7);
    ASSERT_TRUE(w->close());
    EXPECT_EQ(w->Settings().RulerShow, !ruler);
  }
  auto w = Make();
  EXPECT_TRUE(w->Bar(TBarId::FindBar)->isHidden());
  EXPECT_FALSE(w->Bar(TBarId::FileBar)->isHidden());
  EXPECT_FALSE(w->Action(C::ViewFindTool)->isChecked());
  EXPECT_TRUE(w->Action(C::ViewFileTool)->isChecked());
  EXPECT_EQ(w->RulerOn(), w->ActiveEditor()->Ruler()->Visible());
  EXPECT_EQ(w->Settings().Window.FontSize, 20);
  EXPECT_EQ(w->ActiveEditor()->Font().Size, 20);
}

TEST_F(MainWindowTest, ClosingABarUnchecksItsViewItem) {
  auto w = Make();
  QToolBar* edit = w->Bar(TBarId::EditBar);
  ASSERT_FALSE(edit->isHidden());
  EXPECT_TRUE(w->Action(C::ViewEditTool)->isChecked());
  // What the dock's own menu does when the user closes the bar there.
  edit->toggleViewAction()->trigger();
  EXPECT_TRUE(edit->isHidden());
  EXPECT_FALSE(w->Action(C::ViewEditTool)->isChecked());
  ASSERT_TRUE(w->Run(C::ViewEditTool));
  EXPECT_FALSE(edit->isHidden());
  EXPECT_TRUE(w->Action(C::ViewEditTool)->isChecked());
  // The menu bar cannot be closed.
  EXPECT_FALSE(w->Bar(TBarId::MainBar)->toggleViewAction()->isVisible());
}

TEST_F(MainWindowTest, ContextMenuRepeatsTheEditCommandsWithTheirStates) {
  auto w = Make();
  auto menu = w->CreateContextMenu();
  QStringList texts;
  QAction* paste = nullptr;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    texts << a->text();
    if (a->text() == " 貼付け(&P)") paste = a;
  }
  ASSERT_EQ(texts.size(), 26);
  EXPECT_EQ(texts.front(), " 元に戻す(&U)");
  EXPECT_EQ(texts.back(), " ページを閉じる(&C)");
  ASSERT_NE(paste, nullptr);
  EXPECT_EQ(paste->isEnabled(), w->Action(C::Paste1)->isEnabled());
  EXPECT_FALSE(w->Action(C::ClosePage)->isEnabled()); // one page
}

TEST_F(MainWindowTest, RightClickInAnEditorPopsUpTheWindowsContextMenu) {
  auto w = Make();
  ASSERT_TRUE(w->Run(C::Divide1));
  for (TEditorWidget* editor : {w->ActivePage()->Editor(), w->ActivePage()->SecondEditor()}) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        for (QAction* a : popup->actions())
          if (!a->isSeparator()) shown << a->text();
        popup->close();
      }
    });
    const QPoint at(20, 20);
    QContextMenuEvent ev(QContextMenuEvent::Mouse, at, editor->viewport()->mapToGlobal(at));
    QApplication::sendEvent(editor->viewport(), &ev);
    EXPECT_TRUE(shown.contains(" 貼付け(&P)"));
    EXPECT_TRUE(shown.contains(" 追加読込み"));
    EXPECT_EQ(w->ActiveEditorWidget(), editor); // the clicked view is the active one
  }
}

TEST_F(MainWindowTest, CommandsWithoutHandlersAreDisabledUntilPluggedIn) {
  auto w = Make();
  w->SetHandler(C::Find2, {}); // unplugged again
  w->ActiveEditor()->SetSelText("text");
  w->RefreshCommands();
  EXPECT_FALSE(w->Action(C::Find2)->isEnabled());
  EXPECT_FALSE(w->Run(C::Find2));
  int runs = 0;
  w->SetHandler(C::Find2, [&] { ++runs; });
  EXPECT_TRUE(w->Action(C::Find2)->isEnabled());
  EXPECT_TRUE(w->Run(C::Find2));
  EXPECT_EQ(runs, 1);
  // A handler that fails is reported, not thrown through the event loop.
  w->SetHandler(C::Find2, [] { throw std::runtime_error("検索に失敗"); });
  EXPECT_TRUE(w->Run(C::Find2));
  EXPECT_EQ(prompter.LastText(), "検索に失敗");
}

TEST_F(MainWindowTest, MenusCarryTheTableCaptionsAndShortcuts) {
  auto w = Make();
  EXPECT_EQ(w->Action(C::Save1)->text(), " 上書き保存(&S)");
  EXPECT_EQ(w->Action(C::Save1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  EXPECT_EQ(w->Action(C::Redo1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
  EXPECT_EQ(w->Action(C::Save1)->toolTip(), "アクティブページの保存");
  EXPECT_EQ(w->Bar(TBarId::FileBar)->windowTitle(), "  ファイル ツール");
  EXPECT_EQ(w->Bar(TBarId::WindowBar)->windowTitle(), "ウィンドウ ツール");
  EXPECT_EQ(w->FontSizeBox()->count(), 24);
  EXPECT_EQ(w->FontSizeBox()->itemText(0), "7");
  EXPECT_EQ(w->PageControl1()->tabPosition(), QTabWidget::South);
  for (int i = 0; i < w->FontNameBox()->count(); ++i)
    EXPECT_FALSE(w->FontNameBox()->itemText(i).startsWith('@'));
}

TEST_F(MainWindowTest, HelpCommandsOpenShippedPages) {
  dataDir = ZE_TEST_APP_DIR; // the build's pages beside the program
  auto w = Make();
  ASSERT_TRUE(w->Run(C::OpenURL));
  ASSERT_TRUE(w->Run(C::Verify_ver));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].rfind("file://", 0), 0u);
  const std::string version = QUrl(QString::fromStdString(opened[1])).toLocalFile().toStdString();
  EXPECT_NE(test::ReadFile(version).find(ProgramVersion()), std::string::npos);
  EXPECT_TRUE(prompter.asked.empty());

  // Without the pages: a message, no browser.
  dataDir = dir.Path();
  auto bare = Make();
  ASSERT_TRUE(bare->Run(C::OpenURL));
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(prompter.asked.back().kind, TMsgKind::Error);

  ASSERT_TRUE(bare->Run(C::About1));
  EXPECT_NE(prompter.LastText().find(ProgramVersion()), std::string::npos);
}

TEST_F(MainWindowTest, ExitClosesTheUnmodifiedPagesFirst) {
  File("a.txt", "a");
  File("b.txt", "b");
  auto w = Make();
  w->OpenStartFiles({dir.File("a.txt"), dir.File("b.txt")});
  ASSERT_TRUE(w->Run(C::New1));
  w->ActiveEditor()->SetSelText("keep");
  prompter.answers = {TMsgResult::Cancel};
  ASSERT_TRUE(w->Run(C::Exit1));
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(Text(w->ActiveEditor()), "keep");
  EXPECT_TRUE(w->isVisible());
}

TEST_F(MainWindowTest, DamagedSettingsAreClampedAndReportedNotFatal) {
  test::WriteFile(dir.File("ZorvaneEditorInt.ini"),
                  "[Font]\nSize=400\n[Tab]\nCount=abc\n[Form]\nWidth=0\nHeight=-5\n");
  test::WriteFile(dir.File("ZorvaneEditorColor.ini"), "[BKG]\nStr=notacolour\n");
  auto w = Make();
  w->OpenStartFiles({});
  EXPECT_EQ(w->ActiveEditor()->Font().Size, 30);
  EXPECT_GE(w->width(), 320);
  EXPECT_GE(w->height(), 240);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Warning);
  EXPECT_NE(prompter.asked[0].text.find("Count"), std::string::npos);
  EXPECT_NE(prompter.asked[0].text.find("notacolour"), std::string::npos);
  // Reported once only.
  w->OpenStartFiles({});
  EXPECT_EQ(prompter.asked.size(), 1u);
}

} // namespace
} // namespace ze
