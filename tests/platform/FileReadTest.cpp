#include "platform/FileRead.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(FileRead, ReadsARegularFileAndKnowsWhichFileItIs) {
  TempDir dir;
  const std::string f = dir.File("f.txt");
  WriteFile(f, std::string("a\0b\x1A\r\n", 6));
  TFileReader in(f);
  EXPECT_EQ(in.Size(), 6u);
  EXPECT_TRUE(in.Identity() == IdentityOfPath(f));
  char buf[4];
  std::string got;
  for (size_t n; (n = in.Read(buf, sizeof buf)) > 0;) got.append(buf, n);
  EXPECT_EQ(got, std::string("a\0b\x1A\r\n", 6));
  EXPECT_FALSE(IdentityOfPath(dir.File("none")).Known());
}

TEST(FileRead, NamesWhatAFileIsWhenItIsNotRegular) {
  EXPECT_EQ(FileKindName(S_IFDIR), "ディレクトリ");
  EXPECT_EQ(FileKindName(S_IFIFO), "名前付きパイプ (FIFO)");
  EXPECT_EQ(FileKindName(S_IFCHR), "キャラクタデバイス");
  EXPECT_EQ(FileKindName(S_IFBLK), "ブロックデバイス");
  EXPECT_EQ(FileKindName(S_IFSOCK), "ソケット");
  TempDir dir;
  try {
    TFileReader in(dir.Path());
    FAIL() << "a directory was opened";
  } catch (const EFileError& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find(dir.Path()), std::string::npos) << m;
    EXPECT_NE(m.find("ディレクトリ"), std::string::npos) << m;
  }
  try {
    TFileReader in(dir.File("missing"));
    FAIL() << "a missing file was opened";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
  }
}

TEST(FileRead, SizesAreGroupedInThousands) {
  EXPECT_EQ(GroupedNumber(0), "0");
  EXPECT_EQ(GroupedNumber(999), "999");
  EXPECT_EQ(GroupedNumber(1000), "1,000");
  EXPECT_EQ(GroupedNumber(3221225472ull), "3,221,225,472");
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(FileRead, AvailableMemoryHonoursTheAddressSpaceLimit) {
  const uint64_t avail = AvailableMemory();
  EXPECT_GT(avail, 0u);
  // In a child, so that the limit does not stay on the test program.
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    struct rlimit rl {};
    ::getrlimit(RLIMIT_AS, &rl);
    rl.rlim_cur = 2048ull << 20;
    if (::setrlimit(RLIMIT_AS, &rl) != 0) ::_exit(3);
    ::_exit(AvailableMemory() < (2048ull << 20) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

TEST(FileRead, CheckMemoryRefusesWhatDoesNotFit) {
  TempDir dir;
  WriteFile(dir.File("f"), std::string(5000, 'x'));
  TFileReader in(dir.File("f"));
  EXPECT_NO_THROW(in.CheckMemory(1000, 1000));
  try {
    in.CheckMemory(3000000, 2000000);
    FAIL();
  } catch (const EFileError& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find(dir.File("f")), std::string::npos) << m;
    EXPECT_NE(m.find("5,000 バイト"), std::string::npos) << m;
    EXPECT_NE(m.find("約 3 MB"), std::string::npos) << m;
    EXPECT_NE(m.find("約 2 MB"), std::string::npos) << m;
  }
}

} // namespace
} // namespace ze
