#include "platform/FileIo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

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

} // namespace
} // namespace ze
