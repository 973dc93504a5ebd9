// The checks a file passes before it is opened, the dialog filters and
// the texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Documents.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

namespace fs = std::filesystem;

TEST(DocumentFiles, OnlyReadableRegularFilesWithinTheLimitPass) {
  test::TempDir dir;
  test::WriteFile(dir.File("ten.txt"), "0123456789");
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  std::string path, reason;
  EXPECT_EQ(CheckFileToOpen(dir.File("ten.txt"), path, 10), TFileCheck::Ok);
  EXPECT_EQ(path, fs::canonical(dir.File("ten.txt")).string());
  EXPECT_EQ(CheckFileToOpen(dir.File("ten.txt"), path, 9), TFileCheck::TooBig);
  // A FIFO is refused without being opened (opening it would block).
  EXPECT_EQ(CheckFileToOpen(dir.File("pipe"), path, 100), TFileCheck::NotRegular);
  EXPECT_EQ(CheckFileToOpen("/dev/zero", path, 100), TFileCheck::NotRegular);
  EXPECT_EQ(CheckFileToOpen(dir.File("ten.txt/x"), path, 100), TFileCheck::Missing);
  EXPECT_GT(MaxDocumentBytes(), uint64_t(1) << 20);
}

TEST(DocumentFiles, MessagesNameTheFile) {
  EXPECT_EQ(FileCheckMessage(TFileCheck::Missing, "/t/a.txt"), "/t/a.txt が存在しません！");
  for (TFileCheck c : {TFileCheck::NotRegular, TFileCheck::TooBig, TFileCheck::Unreadable})
    EXPECT_EQ(FileCheckMessage(c, "/t/p", "why").rfind("/t/p", 0), 0u);
  EXPECT_NE(FileCheckMessage(TFileCheck::Unreadable, "/t/p", "why").find("why"), std::string::npos);
  EXPECT_EQ(FileCheckMessage(TFileCheck::Ok, "/t/p"), "");
  EXPECT_EQ(InUseMessage("/t/a.txt"), "\n/t/a.txt は\n現在使用中です 上書きできません！");
  EXPECT_EQ(AlreadyOpenMessage("/t/memo.txt"), "memo は既に開かれています！");
  const std::string failed = SaveFailedMessage("/t/a.txt", "No space left on device");
  EXPECT_NE(failed.find("/t/a.txt"), std::string::npos);
  EXPECT_NE(failed.find("No space left on device"), std::string::npos);
}

TEST(DocumentFiles, ReadOnlyByThePermissionBits) {
  test::TempDir dir;
  test::WriteFile(dir.File("a.txt"), "x");
  EXPECT_FALSE(FileIsReadOnly(dir.File("a.txt")));
  ASSERT_EQ(::chmod(dir.File("a.txt").c_str(), 0444), 0);
  EXPECT_TRUE(FileIsReadOnly(dir.File("a.txt")));
  EXPECT_FALSE(FileIsReadOnly(dir.File("missing.txt")));
}

TEST(DocumentFiles, DialogFiltersInQtForm) {
  EXPECT_EQ(QtFilter(kSaveFilter), "テキストファイル (*.txt);;全てのファイル (*)");
  EXPECT_EQ(QtFilter(kOpenFilter),
            "テキスト形式 (*.txt *.pas *rtf *.euc *.sgm *.sgml *.sjs);;全てのファイル (*)");
  EXPECT_EQ(QtFilter(""), "");
}

TEST(DocumentFiles, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(WithDefaultExtension("/t/notes"), "/t/notes.txt");
  EXPECT_EQ(WithDefaultExtension("/t/notes.md"), "/t/notes.md");
  EXPECT_EQ(WithDefaultExtension("/t.d/notes"),
            "/t.d/notes.txt"); // a dotted folder is no extension
  EXPECT_EQ(WithDefaultExtension("/t/.profile"), "/t/.profile");
  EXPECT_EQ(WithDefaultExtension("/t/"), "/t/");
  EXPECT_EQ(DialogFolder("/t/a/b.txt"), "/t/a");
  EXPECT_EQ(DialogFolder("Untitled"), "");
}

} // namespace
} // namespace ze
