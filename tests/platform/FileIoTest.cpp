#include "platform/FileIo.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(FileIo, ReadWholeFileKeepsEveryByte) {
  TempDir dir;
  std::string bytes("a\0b\r\n\x1A\xFF", 7);
  WriteFile(dir.File("f"), bytes);
  EXPECT_EQ(ReadWholeFile(dir.File("f")), bytes);
}

TEST(FileIo, ReadErrorNamesTheFileAndTheReason) {
  TempDir dir;
  try {
    ReadWholeFile(dir.File("missing.txt"));
    FAIL() << "no error";
  } catch (const EFileError& e) {
    std::string m = e.what();
    EXPECT_NE(m.find("missing.txt"), std::string::npos) << m;
    EXPECT_NE(m.find("No such file"), std::string::npos) << m;
  }
  EXPECT_THROW(ReadWholeFile(dir.Path()), EFileError);
}

TEST(FileIo, AtomicWriteReplacesAndKeepsPermissionBits) {
  TempDir dir;
  std::string f = dir.File("doc.txt");
  WriteFile(f, "old");
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
  WriteFileAtomically(f, "new contents");
  EXPECT_EQ(ReadFile(f), "new contents");
  struct stat st {};
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // No temporary file is left behind.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) files += !!e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST(FileIo, WritingThroughALinkReplacesTheTargetAndKeepsTheLink) {
  TempDir dir;
  WriteFile(dir.File("real.txt"), "old");
  ASSERT_EQ(::symlink("real.txt", dir.File("link.txt").c_str()), 0);
  WriteFileAtomically(dir.File("link.txt"), "new");
  EXPECT_EQ(ReadFile(dir.File("real.txt")), "new");
  struct stat st {};
  ASSERT_EQ(::lstat(dir.File("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileIo, AbandonedWriterLeavesTheOldFileUntouched) {
  TempDir dir;
  std::string f = dir.File("keep.txt");
  WriteFile(f, "precious");
  {
    AtomicFileWriter w(f);
    w.Write("half written");
    // no Commit: an error happened while saving
  }
  EXPECT_EQ(ReadFile(f), "precious");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) files += !!e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST(FileIo, WriteIntoAMissingFolderFailsWithTheFileName) {
  TempDir dir;
  try {
    WriteFileAtomically(dir.File("no/such/dir.txt"), "x");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("dir.txt"), std::string::npos);
  }
}


// ---------------------------------------------------------------- saving safely

struct stat StatOf(const std::string& f) {
  struct stat st {};
  EXPECT_EQ(::lstat(f.c_str(), &st), 0) << f;
  return st;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> out;
  for (auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().filename());
  std::sort(out.begin(), out.end());
  return out;
}

// Runs fn in a child process; returns its exit status, or 128 + signal.
int InChild(const std::function<int()>& fn) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int rc = 99;
    try {
      rc = fn();
    } catch (...) {
      rc = 98;
    }
    ::_exit(rc);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Drops to an ordinary user; only a root process can.
bool BecomeUser(uid_t uid, gid_t gid) {
  return ::setgroups(0, nullptr) == 0 && ::setgid(gid) == 0 && ::setuid(uid) == 0;
}

TEST(FileSave, KeepsOwnerGroupAndSetuidOfAnotherUsersFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
  TempDir dir;
  std::string secret = dir.File("secret.txt"), tool = dir.File("tool");
  WriteFile(secret, "old");
  WriteFile(tool, "old");
  ASSERT_EQ(::chown(secret.c_str(), 65534, 65533), 0);
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  ASSERT_EQ(::chown(tool.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(tool.c_str(), 04755), 0);
  WriteFileAtomically(secret, "new");
  WriteFileAtomically(tool, "new");
  struct stat s = StatOf(secret), t = StatOf(tool);
  EXPECT_EQ(ReadFile(secret), "new");
  EXPECT_EQ(s.st_uid, 65534u);
  EXPECT_EQ(s.st_gid, 65533u);
  EXPECT_EQ(s.st_mode & 07777, 0600u);
  // Still setuid to its owner, not setuid root.
  EXPECT_EQ(t.st_uid, 65534u);
  EXPECT_EQ(t.st_mode & 07777, 04755u);
}

TEST(FileSave, AnOrdinaryUserSavingAnotherUsersFileDropsSetuidAndSetgid) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "needs root to make a file owned by another user and to save it as a third";
  TempDir dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  std::string f = dir.File("shared");
  WriteFile(f, "old");
  ASSERT_EQ(::chown(f.c_str(), 65533, 65533), 0);
  ASSERT_EQ(::chmod(f.c_str(), 06777), 0);
  int rc = InChild([&] {
    if (!BecomeUser(65534, 65534)) return 2;
    WriteFileAtomically(f, "new");
    return 0;
  });
  ASSERT_EQ(rc, 0);
  struct stat st = StatOf(f);
  EXPECT_EQ(ReadFile(f), "new");
  EXPECT_EQ(st.st_uid, 65534u); // the owner could not be kept
  EXPECT_EQ(st.st_mode & 07777, 0777u);
}

TEST(FileSave, AHardLinkedFileStaysOneFile) {
  TempDir dir;
  std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  WriteFile(a, "old content that is longer than the new one");
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  ASSERT_EQ(::chmod(a.c_str(), 0640), 0);
  ino_t inode = StatOf(a).st_ino;
  {
    AtomicFileWriter w(a);
    EXPECT_TRUE(w.InPlace());
    w.Write("new");
    w.Commit();
  }
  EXPECT_EQ(ReadFile(b), "new");
  struct stat st = StatOf(a);
  EXPECT_EQ(st.st_nlink, 2u);
  EXPECT_EQ(st.st_ino, inode);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.txt", "b.txt"})); // backup gone
  // Longer than before, and in several pieces.
  std::string big(3 << 20, 'x');
  WriteFileAtomically(b, big);
  EXPECT_EQ(ReadFile(a), big);
  EXPECT_EQ(StatOf(a).st_nlink, 2u);
}

// Fault injection for the writes of a save.
std::string faultFile;
long long faultFrom = 0;
bool faultSticky = false, faultHit = false;
int InjectedFault(const std::string& file, long long offset, size_t size) {
  bool hit = file == faultFile && offset >= faultFrom;
  if (faultSticky && faultHit && file == faultFile) hit = true;
  faultHit = faultHit || hit;
  return hit ? ENOSPC : 0;
}
// Saves in pieces of 512 KB, so that the first megabyte reaches the file
// before the rest.
void SaveInPieces(const std::string& path, size_t size, char c) {
  AtomicFileWriter w(path);
  for (size_t done = 0; done < size; done += 512 << 10) w.Write(std::string(512 << 10, c));
  w.Commit();
}
struct FaultGuard {
  FaultGuard(const std::string& file, long long from, bool sticky) {
    faultFile = file;
    faultFrom = from;
    faultSticky = sticky;
    faultHit = false;
    SetWriteFaultHookForTests(&InjectedFault);
  }
  ~FaultGuard() { SetWriteFaultHookForTests(nullptr); }
};

TEST(FileSave, AFailedInPlaceSavePutsTheOldContentBack) {
  TempDir dir;
  std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  std::string old(100000, 'o');
  WriteFile(a, old);
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  {
    FaultGuard fault(b, 1 << 20, false); // the disk fills after 1 MB
    try {
      SaveInPieces(b, 3 << 20, 'n');
      FAIL() << "no error";
    } catch (const EFileError& e) {
      std::string m = e.what();
      EXPECT_NE(m.find("b.txt"), std::string::npos) << m;
      EXPECT_NE(m.find("No space"), std::string::npos) << m;
      EXPECT_EQ(m.find(".bak"), std::string::npos) << m; // nothing to look for
    }
    EXPECT_TRUE(faultHit);
  }
  EXPECT_EQ(ReadFile(a), old);
  EXPECT_EQ(StatOf(b).st_nlink, 2u);
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(FileSave, WhenTheOldContentCannotBePutBackTheMessageSaysWhereItIs) {
  TempDir dir;
  std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  std::string old = "the only copy of something precious\r\n";
  WriteFile(a, old);
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  std::string message;
  {
    FaultGuard fault(a, 1 << 20, true); // and every later write fails too
    try {
      SaveInPieces(a, 3 << 20, 'n');
    } catch (const EFileError& e) {
      message = e.what();
    }
  }
  ASSERT_FALSE(message.empty());
  std::vector<std::string> names = Names(dir.Path());
  ASSERT_EQ(names.size(), 3u);
  std::string backup = dir.File(names[0]); // a hidden name sorts first
  EXPECT_EQ(names[0].rfind(SaveTempPrefix(a), 0), 0u) << names[0];
  EXPECT_NE(message.find(backup), std::string::npos) << message;
  EXPECT_EQ(ReadFile(backup), old);
  EXPECT_NE(ReadFile(a), old);
}

TEST(FileSave, AFailedReplacementLeavesTheFileAndNoTemporary) {
  TempDir dir;
  std::string f = dir.File("f.txt");
  WriteFile(f, "old");
  {
    // Fails on the temporary file, whatever its random name.
    FaultGuard fault("", 0, false);
    SetWriteFaultHookForTests([](const std::string& file, long long, size_t) {
      return file.find("/.ZorvaneEditor-") != std::string::npos ? EIO : 0;
    });
    EXPECT_THROW(WriteFileAtomically(f, "new"), EFileError);
  }
  EXPECT_EQ(ReadFile(f), "old");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"f.txt"}));
}

TEST(FileSave, OnlyRegularFilesAreWritten) {
  TempDir dir;
  std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(::symlink("pipe", dir.File("to-pipe").c_str()), 0);
  ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
  // A socket stands for the devices, which only root can make.
  int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", dir.File("socket").c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  struct Case {
    std::string path, kind;
  } cases[] = {{fifo, "FIFO"},
               {dir.File("to-pipe"), "FIFO"},
               {dir.File("folder"), "フォルダー"},
               {dir.File("socket"), "ソケット"}};
  for (const Case& c : cases) {
    try {
      WriteFileAtomically(c.path, "x");
      ADD_FAILURE() << c.path << " was written";
    } catch (const EFileError& e) {
      std::string m = e.what();
      EXPECT_NE(m.find(c.path), std::string::npos) << m;
      EXPECT_NE(m.find(c.kind), std::string::npos) << m;
    }
  }
  EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
  EXPECT_TRUE(S_ISDIR(StatOf(dir.File("folder")).st_mode));
  EXPECT_EQ(Names(dir.Path()),
            (std::vector<std::string>{"folder", "pipe", "socket", "to-pipe"}));
  ::close(sock);
}

TEST(FileSave, NamesUpToTheLongestAllowedCanBeSaved) {
  TempDir dir;
  for (size_t len : {248u, 251u, 255u}) {
    std::string f = dir.File(std::string(len - 4, 'n') + ".txt");
    WriteFile(f, "old");
    WriteFileAtomically(f, "new");
    EXPECT_EQ(ReadFile(f), "new") << len;
    std::string fresh = dir.File(std::string(len - 4, 'm') + ".txt");
    WriteFileAtomically(fresh, "fresh");
    EXPECT_EQ(ReadFile(fresh), "fresh") << len;
  }
}

TEST(FileSave, TheNextSaveRemovesATemporaryLeftByAKilledSave) {
  TempDir dir;
  std::string f = dir.File("f.txt"), other = dir.File("other.txt");
  WriteFile(f, "old");
  auto killedSave = [](const std::string& target) {
    return InChild([&] {
      AtomicFileWriter w(target);
      w.Write(std::string(2 << 20, 'x'));
      ::raise(SIGKILL);
      return 0;
    });
  };
  EXPECT_EQ(killedSave(f), 128 + SIGKILL);
  EXPECT_EQ(killedSave(other), 128 + SIGKILL);
  std::vector<std::string> names = Names(dir.Path());
  ASSERT_EQ(names.size(), 3u);
  for (int i = 0; i < 2; ++i) { // recognisable as a save's temporary file
    EXPECT_EQ(names[i].rfind(".ZorvaneEditor-", 0), 0u) << names[i];
    EXPECT_EQ(names[i].substr(names[i].size() - 4), ".tmp") << names[i];
  }
  EXPECT_EQ(ReadFile(f), "old");
  WriteFileAtomically(f, "new");
  EXPECT_EQ(ReadFile(f), "new");
  // Only the left-over of this file went; the other file's stays.
  names = Names(dir.Path());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].rfind(SaveTempPrefix(other), 0), 0u);
  EXPECT_EQ(names[1], "f.txt");
}

TEST(FileSave, ASaveInProgressKeepsItsTemporary) {
  TempDir dir;
  std::string f = dir.File("f.txt");
  AtomicFileWriter first(f);
  first.Write("first");
  WriteFileAtomically(f, "second"); // must not take the first's file away
  first.Commit();
  EXPECT_EQ(ReadFile(f), "first");
}

TEST(FileSave, AKilledInPlaceSaveLeavesTheWholeOldContentBeside) {
  TempDir dir;
  std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  std::string old(300000, 'o');
  WriteFile(a, old);
  ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
  EXPECT_EQ(InChild([&] {
              AtomicFileWriter w(a);
              w.Write(std::string(2 << 20, 'n')); // 1 MB reaches the file
              ::raise(SIGKILL);
              return 0;
            }),
            128 + SIGKILL);
  std::vector<std::string> names = Names(dir.Path());
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0].substr(names[0].size() - 4), ".bak");
  EXPECT_EQ(ReadFile(dir.File(names[0])), old);
  EXPECT_NE(ReadFile(b), old);
  // The backup may be the only copy: a later save keeps it.
  WriteFileAtomically(a, "new");
  EXPECT_EQ(Names(dir.Path()), names);
  EXPECT_EQ(ReadFile(b), "new");
}

} // namespace
} // namespace ze
