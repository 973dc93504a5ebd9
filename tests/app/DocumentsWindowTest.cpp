// Documents in the main window: open, insert, clear, save, save as and
// close, with a scripted prompter; files dropped on an editor.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "app/MainWindow.h"
#include "dragdrop/qt/OleddEditorWidget.h"
#include "platform/FileIo.h"
#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using C = TCommandId;
namespace fs = std::filesystem;

// Also records what the file dialogs were given.
struct DialogPrompter : test::ScriptedPrompter {
  std::vector<std::string> filters, folders, suggested;
  std::vector<std::string> AskOpenFileNames(const std::string& title, const std::string& filter,
                                            const std::string& startDir, bool multi) override {
    filters.push_back(filter);
    folders.push_back(startDir);
    return ScriptedPrompter::AskOpenFileNames(title, filter, startDir, multi);
  }
  std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& filter,
                                             const std::string& name) override {
    filters.push_back(filter);
    suggested.push_back(name);
    return ScriptedPrompter::AskSaveFileName(title, filter, name);
  }
};

class DocumentsWindowTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }
  void TearDown() override { SetWriteFaultHookForTests(nullptr); }

  std::unique_ptr<TForm1> Make() {
    TForm1::TOptions o;
    o.ProgramPath = dir.File("ZorvaneEditor");
    o.SettingsDir = dir.Path();
    o.DataDir = dir.Path();
    o.OpenUrl = [](const std::string&) {};
    o.EditorFactory = [](QWidget* parent) -> TEditorWidget* {
      return new TOleddEditorWidget(parent);
    };
    auto w = std::make_unique<TForm1>(prompter, o);
    w->show();
    QApplication::setActiveWindow(w.get());
    w->ActiveEditorWidget()->setFocus();
    QApplication::processEvents();
    return w;
  }

  std::string File(const std::string& name, const std::string& text) {
    test::WriteFile(dir.File(name), text);
    return fs::canonical(dir.File(name)).string();
  }
  // Opens a file through the Open command's dialog.
  void Open(TForm1& w, const std::string& name) {
    prompter.openAnswers.push_back({name});
    ASSERT_TRUE(w.Run(C::Open1));
  }
  static std::string Text(TEditor* e) { return e->Lines()->Text().str(); }
  static QString Tab(TForm1& w, int i) { return w.PageControl1()->tabText(i); }

  test::TempDir dir;
  DialogPrompter prompter;
};

TEST_F(DocumentsWindowTest, DialogsGetTheirFiltersAndStartAtTheDocument) {
  const std::string a = File("a.txt", "a");
  auto w = Make();
  Open(*w, a);
  Open(*w, dir.File("missing.txt"));
  ASSERT_EQ(prompter.filters.size(), 2u);
  EXPECT_EQ(prompter.filters[0],
            "テキスト形式 (*.txt *.pas *rtf *.euc *.sgm *.sgml *.sjs);;全てのファイル (*)");
  EXPECT_EQ(prompter.folders[0], ""); // Untitled: the dialog's own choice
  EXPECT_EQ(prompter.folders[1], fs::path(a).parent_path().string());
  prompter.saveAnswers.push_back(std::nullopt);
  w->SaveActiveAs();
  EXPECT_EQ(prompter.filters.back(), "テキストファイル (*.txt);;全てのファイル (*)");
  EXPECT_EQ(prompter.suggested.back(), a);
  ASSERT_TRUE(w->Run(C::New1));
  w->ActiveEditor()->SetSelText("x");
  prompter.saveAnswers.push_back(std::nullopt);
  w->SaveActiveAs();
  EXPECT_EQ(prompter.suggested.back(), "*.txt");
}

TEST_F(DocumentsWindowTest, OpenFillsTheEmptyStartPageThenMakesNewPages) {
  const std::string a = File("a.txt", "alpha\r\n");
  const std::string b = File("b.txt", "beta");
  auto w = Make();
  Open(*w, dir.File("a.txt"));
  ASSERT_EQ(w->PageCount(), 1);
  EXPECT_EQ(Tab(*w, 0), "a");
  EXPECT_EQ(w->windowTitle().toStdString(), a);
  EXPECT_EQ(Text(w->ActiveEditor()), "alpha\r\n");
  EXPECT_FALSE(w->ActiveEditor()->Modified());

  Open(*w, dir.File("b.txt"));
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().ActiveIndex(), 1);
  EXPECT_EQ(Tab(*w, 1), "b");
  EXPECT_EQ(w->Documents().Path(1), b);
  EXPECT_EQ(Text(w->ActiveEditor()), "beta");
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(DocumentsWindowTest, AModifiedOrNonEmptyUntitledPageIsNeverReplaced) {
  File("a.txt", "file");
  auto w = Make();
  w->ActiveEditor()->SetSelText("typed");
  Open(*w, dir.File("a.txt"));
  ASSERT_EQ(w->PageCount(), 2);
  w->SetActivePage(0);
  EXPECT_EQ(Text(w->ActiveEditor()), "typed");
  EXPECT_EQ(Tab(*w, 0), "Untitled");
}

TEST_F(DocumentsWindowTest, OpeningAnOpenFileNamesItAndStaysOnThePage) {
  const std::string memo = File("memo.txt", "m");
  File("other.txt", "o");
  fs::create_directory(dir.File("sub"));
  auto w = Make();
  Open(*w, dir.File("memo.txt"));
  Open(*w, dir.File("other.txt"));
  // Under another name (a relative detour) it is still the same file.
  Open(*w, dir.File("sub/../memo.txt"));
  EXPECT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().ActiveIndex(), 1); // the open page is not activated
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "memo は既に開かれています！");
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Information);
  EXPECT_EQ(prompter.asked[0].buttons, TMsgButtons::Ok);
}

TEST_F(DocumentsWindowTest, MissingFifoAndFolderAreReportedAndChangeNothing) {
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  fs::create_directory(dir.File("folder"));
  auto w = Make();
  Open(*w, dir.File("missing.txt"));
  Open(*w, dir.File("pipe")); // must not block on the pipe
  Open(*w, dir.File("folder"));
  ASSERT_EQ(prompter.asked.size(), 3u);
  EXPECT_EQ(prompter.asked[0].text, dir.File("missing.txt") + " が存在しません！");
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Information);
  EXPECT_NE(prompter.asked[1].text.find(dir.File("pipe")), std::string::npos);
  EXPECT_NE(prompter.asked[2].text.find(dir.File("folder")), std::string::npos);
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(w->Documents().ActivePath(), "Untitled");
  EXPECT_EQ(Tab(*w, 0), "Untitled");
}

TEST_F(DocumentsWindowTest, OpenByNameOfAMissingFileLeavesNoPageClaimingIt) {
  auto w = Make();
  EXPECT_FALSE(w->OpenByName(dir.File("gone.txt")));
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(w->Documents().ActivePath(), "Untitled");
  EXPECT_EQ(w->windowTitle(), "Untitled");
}

TEST_F(DocumentsWindowTest, ReadOnlyFollowsEachFile) {
  const std::string ro = File("ro.txt", "");
  ASSERT_EQ(::chmod(ro.c_str(), 0444), 0);
  File("rw.txt", "w");
  auto w = Make();
  Open(*w, ro);
  EXPECT_TRUE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(w->StatusText(3), " 読出し専用");
  Open(*w, dir.File("rw.txt"));
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_FALSE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(w->StatusText(3), "");
  // Saved under a writable name, the read-only document becomes writable.
  w->SetActivePage(0);
  prompter.saveAnswers.push_back(dir.File("copy.txt"));
  ASSERT_TRUE(w->SaveActiveAs());
  EXPECT_FALSE(w->ActiveEditor()->ReadOnly());
  EXPECT_EQ(w->StatusText(3), "");
}

TEST_F(DocumentsWindowTest, InsertEndsEveryLineAndCheckedFilesOnly) {
  File("part.txt", "one\ntwo"); // no final line break
  auto w = Make();
  w->ActiveEditor()->SetSelText("end");
  w->ActiveEditor()->SetRowCol(0, 0);
  prompter.openAnswers.push_back({dir.File("part.txt")});
  ASSERT_TRUE(w->Run(C::AddRead));
  EXPECT_EQ(Text(w->ActiveEditor()), "one\r\ntwo\r\nend");
  prompter.openAnswers.push_back({dir.File("nothing.txt")});
  w->Run(C::AddRead);
  EXPECT_EQ(prompter.LastText(), dir.File("nothing.txt") + " が存在しません！");
  EXPECT_EQ(Text(w->ActiveEditor()), "one\r\ntwo\r\nend");
  prompter.openAnswers.push_back({}); // cancelled
  w->Run(C::AddRead);
  EXPECT_EQ(Text(w->ActiveEditor()), "one\r\ntwo\r\nend");
}

TEST_F(DocumentsWindowTest, InsertConvertsAFileInAnotherEncoding) {
  // UTF-8 text; the document holds CP932.
  File("utf8.txt",
       "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe6\x96\x87\xe7\xab\xa0\xe3\x81\xa7"
       "\xe3\x81\x99\xe3\x80\x82\n");
  auto w = Make();
  prompter.openAnswers.push_back({dir.File("utf8.txt")});
  ASSERT_TRUE(w->Run(C::AddRead));
  // 日本語の文章です。 in CP932.
  EXPECT_EQ(Text(w->ActiveEditor()),
            "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd\x82\xc5\x82\xb7\x81\x42\r\n");
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(DocumentsWindowTest, ClearAsksAndKeepsThePathAndCaption) {
  const std::string a = File("a.txt", "x\r\ny\r\n");
  auto w = Make();
  Open(*w, a);
  prompter.answers = {TMsgResult::No};
  ASSERT_TRUE(w->Run(C::Clear1));
  EXPECT_EQ(Text(w->ActiveEditor()), "x\r\ny\r\n");
  EXPECT_EQ(prompter.LastText(), "このページの全内容をクリアします。　よろしいですか？");
  EXPECT_EQ(prompter.asked.back().buttons, TMsgButtons::YesNo);
  prompter.answers = {TMsgResult::Yes};
  ASSERT_TRUE(w->Run(C::Clear1));
  EXPECT_EQ(w->ActiveEditor()->Lines()->Count(), 0);
  EXPECT_EQ(w->Documents().ActivePath(), a);
  EXPECT_EQ(Tab(*w, 0), "a");
}

TEST_F(DocumentsWindowTest, SaveWritesAModifiedPageAndAsksForANameOtherwise) {
  const std::string a = File("a.txt", "old");
  auto w = Make();
  Open(*w, a);
  // Not modified: Save is Save as.
  prompter.saveAnswers.push_back(std::nullopt);
  EXPECT_FALSE(w->SaveActive());
  EXPECT_EQ(prompter.saveTitles.size(), 1u);

  w->ActiveEditor()->SetSelText("new ");
  EXPECT_EQ(w->StatusText(1), " 変更");
  ASSERT_TRUE(w->Run(C::Save1));
  EXPECT_EQ(test::ReadFile(a), "new old");
  EXPECT_FALSE(w->ActiveEditor()->Modified());
  EXPECT_EQ(w->StatusText(1), "");
  EXPECT_EQ(prompter.saveTitles.size(), 1u);
}

TEST_F(DocumentsWindowTest, SaveAsOntoItsOwnPathIsAllowedOntoAnotherPagesRefused) {
  const std::string a = File("a.txt", "a");
  const std::string b = File("b.txt", "b");
  fs::create_symlink(b, dir.File("link.txt"));
  auto w = Make();
  Open(*w, a);
  Open(*w, b);
  w->SetActivePage(0);
  w->ActiveEditor()->SetSelText("1");
  prompter.saveAnswers.push_back(a);
  ASSERT_TRUE(w->SaveActiveAs());
  EXPECT_EQ(test::ReadFile(a), "1a");
  EXPECT_TRUE(prompter.asked.empty());

  w->ActiveEditor()->SetSelText("2");
  for (const std::string& other : {b, dir.File("link.txt")}) {
    prompter.saveAnswers.push_back(other);
    EXPECT_FALSE(w->SaveActiveAs());
    EXPECT_EQ(prompter.LastText(), "\n" + b + " は\n現在使用中です 上書きできません！");
  }
  EXPECT_EQ(test::ReadFile(b), "b");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(w->Documents().ActivePath(), a);

  // To a new name: the page follows it.
  prompter.saveAnswers.push_back(dir.File("c.txt"));
  ASSERT_TRUE(w->SaveActiveAs());
  EXPECT_EQ(w->Documents().ActivePath(), fs::canonical(dir.File("c.txt")).string());
  EXPECT_EQ(Tab(*w, 0), "c");
  EXPECT_EQ(test::ReadFile(dir.File("c.txt")), "12a");
  EXPECT_EQ(test::ReadFile(a), "1a");
}

TEST_F(DocumentsWindowTest, SaveAsGivesANameWithoutExtensionTheDefaultOne) {
  auto w = Make();
  w->ActiveEditor()->SetSelText("text");
  prompter.saveAnswers.push_back(dir.File("notes"));
  ASSERT_TRUE(w->SaveActiveAs());
  EXPECT_EQ(test::ReadFile(dir.File("notes.txt")), "text");
  EXPECT_FALSE(fs::exists(dir.File("notes")));
  EXPECT_EQ(Tab(*w, 0), "notes");
  // Onto an existing file through the added extension: asked, refused.
  ASSERT_TRUE(w->Run(C::New1));
  w->ActiveEditor()->SetSelText("other");
  prompter.saveAnswers.push_back(dir.File("notes"));
  prompter.answers = {TMsgResult::No};
  EXPECT_FALSE(w->SaveActiveAs());
  EXPECT_EQ(test::ReadFile(dir.File("notes.txt")), "text");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  // The open dialog finds it under the name typed without extension.
  w->ActiveEditor()->SetRowCol(0, 0);
  prompter.openAnswers.push_back({dir.File("notes")});
  ASSERT_TRUE(w->Run(C::AddRead));
  EXPECT_EQ(Text(w->ActiveEditor()), "text\r\nother");
}

TEST_F(DocumentsWindowTest, DraggingOverAnotherTabShowsItsPage) {
  File("a.txt", "a");
  File("b.txt", "b");
  auto w = Make();
  Open(*w, dir.File("a.txt"));
  Open(*w, dir.File("b.txt"));
  ASSERT_EQ(w->Documents().ActiveIndex(), 1);
  QTabBar* bar = w->PageControl1()->tabBar();
  const QPoint pos = bar->mapTo(w.get(), bar->tabRect(0).center());
  QMimeData mime;
  mime.setText(QStringLiteral("carried"));
  QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.get(), &enter);
  EXPECT_EQ(w->Documents().ActiveIndex(), 0);
  EXPECT_EQ(w->windowTitle().toStdString(), w->Documents().Path(0));
  EXPECT_EQ(Text(w->ActiveEditor()), "a");
  // Text let go on the window itself inserts nothing anywhere.
  QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.get(), &drop);
  EXPECT_EQ(Text(w->ActiveEditor()), "a");
  EXPECT_EQ(w->PageCount(), 2);
}

int FailEveryWrite(const std::string&, long long, size_t) {
  return ENOSPC;
}

TEST_F(DocumentsWindowTest, AFailedSaveKeepsTheFileAndThePageModified) {
  const std::string a = File("a.txt", "on disk");
  auto w = Make();
  Open(*w, a);
  w->ActiveEditor()->SetSelText("edited ");
  SetWriteFaultHookForTests(&FailEveryWrite);
  EXPECT_TRUE(w->Run(C::Save1));
  SetWriteFaultHookForTests(nullptr);
  EXPECT_EQ(test::ReadFile(a), "on disk");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(w->StatusText(1), " 変更");
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].kind, TMsgKind::Error);
  EXPECT_NE(prompter.asked[0].text.find(a), std::string::npos);
  EXPECT_NE(prompter.asked[0].text.find(std::strerror(ENOSPC)), std::string::npos);

  // Save as to a new name fails the same way: the page keeps its path.
  SetWriteFaultHookForTests(&FailEveryWrite);
  prompter.saveAnswers.push_back(dir.File("new.txt"));
  EXPECT_FALSE(w->SaveActiveAs());
  SetWriteFaultHookForTests(nullptr);
  EXPECT_FALSE(fs::exists(dir.File("new.txt")));
  EXPECT_EQ(w->Documents().ActivePath(), a);
  EXPECT_TRUE(w->ActiveEditor()->Modified());
}

TEST_F(DocumentsWindowTest, AFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSays) {
  const std::string a = File("a.txt", "first");
  auto w = Make();
  Open(*w, a);
  w->ActiveEditor()->SetSelText("mine ");
  test::WriteFile(a, "theirs, longer");
  prompter.answers = {TMsgResult::No};
  EXPECT_FALSE(w->SaveActive());
  EXPECT_EQ(test::ReadFile(a), "theirs, longer");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(prompter.LastText(),
            "\n" + a + " は\n他のプログラムによって変更されています 上書きしますか?");
  prompter.answers = {TMsgResult::Yes};
  EXPECT_TRUE(w->SaveActive());
  EXPECT_EQ(test::ReadFile(a), "mine first");
  // Saved here: the next save asks nothing.
  w->ActiveEditor()->SetSelText("again ");
  const std::size_t before = prompter.asked.size();
  EXPECT_TRUE(w->SaveActive());
  EXPECT_EQ(prompter.asked.size(), before);
}

TEST_F(DocumentsWindowTest, ClosePageActivatesTheNeighbourAndAsksAboutChanges) {
  File("a.txt", "a");
  File("b.txt", "b");
  File("c.txt", "c");
  auto w = Make();
  for (const char* n : {"a.txt", "b.txt", "c.txt"})
    Open(*w, dir.File(n));
  w->SetActivePage(0);
  ASSERT_TRUE(w->Run(C::ClosePage));
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().ActiveIndex(), 0);
  EXPECT_EQ(Tab(*w, 0), "b");
  EXPECT_EQ(Text(w->ActiveEditor()), "b");
  EXPECT_EQ(w->windowTitle().toStdString(), w->Documents().Path(0));

  // A modified page: Cancel keeps it, No closes it.
  w->SetActivePage(1);
  w->ActiveEditor()->SetSelText("x");
  prompter.answers = {TMsgResult::Cancel};
  w->Run(C::ClosePage);
  EXPECT_EQ(w->PageCount(), 2);
  EXPECT_EQ(prompter.LastText(),
            "\n" + w->Documents().Path(1) + " は\n変更されています 保存しますか?");
  EXPECT_EQ(prompter.asked.back().buttons, TMsgButtons::YesNoCancel);
  prompter.answers = {TMsgResult::No};
  w->Run(C::ClosePage);
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(test::ReadFile(dir.File("c.txt")), "c");
  // The last of three pages: the one before it.
  Open(*w, dir.File("a.txt"));
  Open(*w, dir.File("c.txt"));
  ASSERT_EQ(w->PageCount(), 3);
  ASSERT_EQ(w->Documents().ActiveIndex(), 2);
  w->Run(C::ClosePage);
  EXPECT_EQ(w->Documents().ActiveIndex(), 1);
  EXPECT_EQ(Text(w->ActiveEditor()), "a");
  w->Run(C::ClosePage);
  // The last page never closes.
  w->CloseActivePage();
  EXPECT_EQ(w->PageCount(), 1);
}

TEST_F(DocumentsWindowTest, YesOnCloseClosesOnlyWhenTheTextWasWritten) {
  const std::string a = File("a.txt", "a");
  auto w = Make();
  Open(*w, a);
  ASSERT_TRUE(w->Run(C::New1));
  ASSERT_EQ(w->PageCount(), 2);
  w->ActiveEditor()->SetSelText("precious");
  // Saved onto the other page's file: refused, so the page stays.
  prompter.answers = {TMsgResult::Yes};
  prompter.saveAnswers.push_back(a);
  w->Run(C::ClosePage);
  EXPECT_EQ(w->PageCount(), 2);
  EXPECT_EQ(Text(w->ActiveEditor()), "precious");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(test::ReadFile(a), "a");
  // The dialog cancelled: the page stays too.
  prompter.answers = {TMsgResult::Yes};
  prompter.saveAnswers.push_back(std::nullopt);
  w->Run(C::ClosePage);
  EXPECT_EQ(w->PageCount(), 2);
  // Written: the page goes.
  prompter.answers = {TMsgResult::Yes};
  prompter.saveAnswers.push_back(dir.File("kept.txt"));
  w->Run(C::ClosePage);
  EXPECT_EQ(w->PageCount(), 1);
  EXPECT_EQ(test::ReadFile(dir.File("kept.txt")), "precious");
}

TEST_F(DocumentsWindowTest, ClosingTheWindowKeepsAPageWhoseSaveWasRefused) {
  const std::string a = File("a.txt", "a");
  auto w = Make();
  Open(*w, a);
  ASSERT_TRUE(w->Run(C::New1));
  w->ActiveEditor()->SetSelText("precious");
  prompter.answers = {TMsgResult::Yes};
  prompter.saveAnswers.push_back(a);
  EXPECT_FALSE(w->close());
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(Text(w->ActiveEditor()), "precious");
  EXPECT_TRUE(w->ActiveEditor()->Modified());
  EXPECT_EQ(test::ReadFile(a), "a");
  EXPECT_EQ(prompter.LastText(), "\n" + a + " は\n現在使用中です 上書きできません！");
}

TEST_F(DocumentsWindowTest, FilesDroppedOnAnEditorOpenExceptTheOpenOne) {
  const std::string a = File("a.txt", "a");
  const std::string b = File("b.txt", "b");
  auto w = Make();
  Open(*w, a);
  ASSERT_NE(qobject_cast<TOleddEditorWidget*>(w->ActiveEditorWidget()), nullptr);
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)),
                QUrl::fromLocalFile(QString::fromStdString(b))});
  mime.setText(QStringLiteral("text is not inserted"));
  QWidget* target = w->ActiveEditorWidget()->viewport();
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  ASSERT_EQ(w->PageCount(), 2);
  EXPECT_EQ(w->Documents().Path(1), b);
  EXPECT_EQ(Text(w->ActiveEditor()), "b");
  w->SetActivePage(0);
  EXPECT_EQ(Text(w->ActiveEditor()), "a");
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "a は既に開かれています！");
}

TEST_F(DocumentsWindowTest, PageEditorsDragTheirSelectionThemselves) {
  auto w = Make();
  EXPECT_EQ(w->ActiveEditor()->Caret()->SelDragMode(), dmManual);
  ASSERT_TRUE(w->Run(C::New1));
  EXPECT_EQ(w->ActiveEditor()->Caret()->SelDragMode(), dmManual);
  EXPECT_NE(w->DropTarget(), nullptr);
}

} // namespace
} // namespace ze
