// Which dropped names open as documents, and what the user is told about
// the others.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dragdrop/DroppedFiles.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempDir.h"
#include "text/Classes.h"

namespace ze {
namespace {

TEST(DroppedFilesCheck, SkipsWhatCannotBeOpenedWithOneNoticeEach) {
  test::TempDir dir;
  const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  test::WriteFile(a, "aaa");
  test::WriteFile(b, "bb");
  const std::string sub = dir.File("folder");
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  const std::string gone = dir.File("missing.txt");
  const std::string dangling = dir.File("link");
  ASSERT_EQ(symlink(gone.c_str(), dangling.c_str()), 0);

  test::ScriptedPrompter p;
  TDroppedFileCheck check;
  const auto ok = check.Filter({a, sub, "https://example.com/x.txt", fifo, gone, dangling, b}, p);
  EXPECT_EQ(ok, (std::vector<std::string>{a, b}));
  ASSERT_EQ(p.asked.size(), 5u);
  EXPECT_EQ(p.asked[0].text, FolderMessage(sub));
  EXPECT_EQ(p.asked[1].text, NotAFileMessage("https://example.com/x.txt"));
  EXPECT_EQ(p.asked[2].text, NotRegularMessage(fifo)); // and no hang on opening it
  EXPECT_NE(p.asked[3].text.find(gone), std::string::npos);
  EXPECT_NE(p.asked[3].text.find("読み込めません"), std::string::npos);
  EXPECT_NE(p.asked[4].text.find(dangling), std::string::npos);
  for (const auto& q : p.asked)
    EXPECT_EQ(q.kind, TMsgKind::Information);
}

TEST(DroppedFilesCheck, AFileTooBigForMemoryIsRefusedWithAMessage) {
  test::TempDir dir;
  const std::string small = dir.File("small.txt"), big = dir.File("big.txt");
  test::WriteFile(small, "12345");
  test::WriteFile(big, "123456");
  test::ScriptedPrompter p;
  TDroppedFileCheck check;
  check.MaxBytes = 5;
  EXPECT_EQ(check.Filter({big, small}, p), (std::vector<std::string>{small}));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_EQ(p.asked[0].kind, TMsgKind::Error);
  EXPECT_EQ(p.asked[0].text, TooBigMessage(big, 6));
  EXPECT_NE(p.asked[0].text.find("大きすぎ"), std::string::npos);
  EXPECT_GT(TDroppedFileCheck::DefaultMaxBytes(), uint64_t{1} << 20);
}

TEST(DroppedFilesCheck, TheDropListsIntoAStringList) {
  TStringList list;
  list.Add("old");
  auto block = MakeDropFiles({"/a", "/b c"});
  ListDroppedFiles(block.get(), list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(0).str(), "/a");
  EXPECT_EQ(list.Get(1).str(), "/b c");
}

} // namespace
} // namespace ze
