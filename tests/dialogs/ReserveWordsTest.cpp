#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/dialogs/ReserveWords.h"
#include "app/dialogs/WebAddress.h"
#include "platform/Errors.h"
#include "tests/support/TempDir.h"
#include "text/Classes.h"

namespace ze {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(ReserveWordFile, MissingFileIsAnEmptyListAndIsCreatedOnSave) {
  TempDir dir;
  TStringList list;
  list.Add("stale");
  EXPECT_FALSE(LoadReserveWordFile(dir.File("予約語.txt"), list));
  EXPECT_EQ(list.Count(), 0);

  list.Add("begin");
  list.Add("end");
  SaveReserveWordFile(dir.File("予約語.txt"), list);
  EXPECT_EQ(ReadFile(dir.File("予約語.txt")), "begin\r\nend\r\n");
}

TEST(ReserveWordFile, EveryLineIsTakenAsItStands) {
  TempDir dir;
  // Blanks kept, empty lines kept, LF and CR LF both end a line, a
  // double-byte word whose trail byte is a backslash stays whole.
  WriteFile(dir.File("w.txt"), " if\r\n\r\nthen \n\x95\x5C\r\n");
  TStringList list;
  ASSERT_TRUE(LoadReserveWordFile(dir.File("w.txt"), list));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(std::string(list[0].view()), " if");
  EXPECT_EQ(std::string(list[1].view()), "");
  EXPECT_EQ(std::string(list[2].view()), "then ");
  EXPECT_EQ(std::string(list[3].view()), "\x95\x5C");
}

TEST(ReserveWordFile, UnreadableFileRaisesAndLeavesTheListAlone) {
  TempDir dir;
  TStringList list;
  list.Add("keep");
  // A folder in place of the file cannot be read as one.
  ASSERT_EQ(::mkdir(dir.File("w.txt").c_str(), 0755), 0);
  EXPECT_THROW(LoadReserveWordFile(dir.File("w.txt"), list), EFileError);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(std::string(list[0].view()), "keep");
}

// A save that fails part way (here: the file size limit, which holds for
// root too) leaves the old list whole and says which file.
TEST(ReserveWordFile, FailedSaveLeavesTheOldFileWhole) {
  TempDir dir;
  std::string path = dir.File("予約語.txt");
  WriteFile(path, "old\r\nwords\r\n");
  pid_t pid = ::fork();
  ASSERT_NE(pid, -1);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    TStringList list;
    for (int i = 0; i < 2000; ++i) list.Add("reserved_word");
    try {
      SaveReserveWordFile(path, list);
    } catch (const EFileError& e) {
      std::string what = e.what();
      _exit(what.find("予約語.txt") != std::string::npos ? 0 : 2);
    }
    _exit(1); // reported success
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the failed save reported success; 2: message without file";
  EXPECT_EQ(ReadFile(path), "old\r\nwords\r\n");
}

TEST(WebAddress, OnlyAbsoluteHttpAndHttpsWithAHostPass) {
  EXPECT_TRUE(IsOpenableWebAddress("https://dictionary.example.org/search?q="));
  EXPECT_TRUE(IsOpenableWebAddress("HTTP://example.com"));
  EXPECT_TRUE(IsOpenableWebAddress("http://user@example.com:8080/x"));
  for (const char* bad :
       {"", "/etc/passwd", "file:///etc/passwd", "javascript:alert(1)", "ftp://example.com/",
        "http://", "https:///path", "http://:80/", "example.com", "app.desktop",
        "/usr/share/applications/x.desktop", "https://exa mple.com", "http://a\nb"}) {
    std::string why;
    EXPECT_FALSE(IsOpenableWebAddress(bad, &why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
  }
}

} // namespace
} // namespace ze
