// The document list, the file checks and the status texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "app/DocumentList.h"
#include "app/Documents.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

struct Page {
  int Id;
};

TEST(DocumentList, NoDocumentIsAState) {
  TDocumentList<Page> docs;
  EXPECT_TRUE(docs.Empty());
  EXPECT_EQ(docs.ActiveIndex(), -1);
  EXPECT_EQ(docs.Active(), nullptr);
  EXPECT_THROW(docs.ActivePath(), std::out_of_range);
  EXPECT_THROW(docs.SetActive(0), std::out_of_range);
  EXPECT_THROW(docs.Remove(0), std::out_of_range);
  EXPECT_EQ(docs.IndexOfPath(kUntitled), -1);
}

TEST(DocumentList, AddedDocumentsBecomeActive) {
  Page a{1}, b{2};
  TDocumentList<Page> docs;
  EXPECT_EQ(docs.Add(kUntitled, &a), 0);
  EXPECT_EQ(docs.Add("/t/b.txt", &b), 1);
  EXPECT_EQ(docs.Active(), &b);
  EXPECT_EQ(docs.ActivePath(), "/t/b.txt");
  EXPECT_EQ(docs.IndexOfPage(&a), 0);
  EXPECT_EQ(docs.IndexOfPath("/t/b.txt"), 1);
  EXPECT_EQ(docs.IndexOfPath("/t/B.txt"), -1); // exact comparison
  docs.SetPath(0, "/t/a.txt");
  EXPECT_EQ(docs.IndexOfPath("/t/a.txt"), 0);
}

TEST(DocumentList, RemovingPicksThePageBeforeOrTheNewFirst) {
  Page p[3] = {{0}, {1}, {2}};
  TDocumentList<Page> docs;
  for (Page& x : p)
    docs.Add("p" + std::to_string(x.Id), &x);

  docs.SetActive(0);
  docs.Remove(0); // the first of three: the new first
  EXPECT_EQ(docs.Active(), &p[1]);
  EXPECT_EQ(docs.Count(), 2);

  docs.Add("p3", &p[0]);
  docs.Remove(2); // the third: the second
  EXPECT_EQ(docs.Active(), &p[2]);

  // Removing another page keeps the active one.
  docs.Add("p4", &p[0]); // [p1, p2, p4], p4 active
  docs.Remove(0);
  EXPECT_EQ(docs.Active(), &p[0]);
  EXPECT_EQ(docs.ActiveIndex(), 1);
  docs.SetActive(0);
  docs.Remove(1);
  EXPECT_EQ(docs.Active(), &p[2]);

  docs.Remove(0);
  EXPECT_TRUE(docs.Empty());
  EXPECT_EQ(docs.ActiveIndex(), -1);
}

TEST(Documents, PageCaptionsAndTexts) {
  EXPECT_EQ(PageCaption("/home/u/memo.txt"), "memo");
  EXPECT_EQ(PageCaption("/home/u/archive.tar.gz"), "archive.tar");
  EXPECT_EQ(PageCaption("/home/u/README"), "README");
  EXPECT_EQ(PageCaption("/home/u/.profile"), ".profile");
  EXPECT_EQ(PageCaption(kUntitled), "Untitled");
  EXPECT_EQ(AlreadyOpenMessage("/home/u/memo.txt"), "memo は既に開かれています！");
  EXPECT_EQ(CloseQuestion("/a/b.txt"), "\n/a/b.txt は\n変更されています 保存しますか?");

  EXPECT_EQ(CaretPositionText(0, 0), "    1 行  :   1 桁");
  EXPECT_EQ(CaretPositionText(12344, 998), "12345 行  : 999 桁");
  EXPECT_EQ(CaretPositionText(123455, 12344), "123456 行  :12345 桁"); // wider, not cut
  EXPECT_EQ(ModifiedText(true), " 変更");
  EXPECT_EQ(ModifiedText(false), "");
  EXPECT_EQ(OverWriteText(true), " 上書");
  EXPECT_EQ(OverWriteText(false), " 挿入");
  EXPECT_EQ(BoxModeText(true), " 矩形選択");
  EXPECT_EQ(ReadOnlyText(true), " 読出し専用");
  EXPECT_EQ(ReadOnlyText(false), "");
}

TEST(Documents, InsertedLinesAllEndWithALineBreak) {
  EXPECT_EQ(LinesWithBreaks("a\nb"), "a\r\nb\r\n");
  EXPECT_EQ(LinesWithBreaks("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(LinesWithBreaks("a\rb\n\nc"), "a\r\nb\r\n\r\nc\r\n");
  EXPECT_EQ(LinesWithBreaks("\n"), "\r\n");
  EXPECT_EQ(LinesWithBreaks(""), "");
  // Shift-JIS bytes pass untouched (0x5C as a trail byte).
  EXPECT_EQ(LinesWithBreaks("\x95\x5C\n"), "\x95\x5C\r\n");
}

TEST(Documents, OnlyRegularFilesOpenUnderTheirCanonicalPath) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.txt"), "x");
  std::filesystem::create_directory(dir.File("sub"));
  std::filesystem::create_symlink(dir.File("a.txt"), dir.File("link.txt"));
  std::string a, b, c;
  ASSERT_EQ(CheckFileToOpen(dir.File("a.txt"), a), TFileCheck::Ok);
  ASSERT_EQ(CheckFileToOpen(dir.File("sub/../link.txt"), b), TFileCheck::Ok);
  EXPECT_EQ(a, b); // two names of one file are one document
  EXPECT_EQ(a, std::filesystem::canonical(dir.File("a.txt")).string());
  EXPECT_EQ(CheckFileToOpen(dir.File("sub"), c), TFileCheck::NotRegular);
  EXPECT_EQ(CheckFileToOpen(dir.File("missing.txt"), c), TFileCheck::Missing);
  EXPECT_EQ(CheckFileToOpen("/dev/null", c), TFileCheck::NotRegular);
  // A relative name is taken from the current folder.
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const TFileCheck rel = CheckFileToOpen("a.txt", c);
  std::filesystem::current_path(here);
  EXPECT_EQ(rel, TFileCheck::Ok);
  EXPECT_EQ(c, a);
}

} // namespace
} // namespace ze
