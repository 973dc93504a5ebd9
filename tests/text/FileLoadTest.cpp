// Loading and saving files through the text facade: every byte kept,
// files that are not regular or too big refused without harm, and files
// changed on disk noticed before they are overwritten.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::FakeView;
using test::ReadFile;
using test::RowEnds;
using test::TempDir;
using test::WriteFile;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct FileLoad : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};
  TempDir dir;
};

// What the file should read back as after a load and a save: every line
// break (CR LF, lone LF, lone CR) becomes lb (CR LF by default), every
// other byte stays.
std::string WithCrLf(const std::string& bytes, const char* lb = "\r\n") {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += lb;
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else if (bytes[i] == '\n') {
      out += lb;
    } else {
      out += bytes[i];
    }
  }
  return out;
}

// Random files rich in what loaders trip over: line breaks of every kind,
// NUL, byte 26, lead bytes (also as the very last byte), high bytes.
std::string RandomBytes(std::mt19937& rng, size_t size) {
  static const unsigned char kBytes[] = {'\r', '\n', '\r', '\n', 0,    26,   'a',  ' ',
                                         0x82, 0x81, 0xE0, 0xFC, 0x9F, 0x40, 0xA0, 0xFF};
  std::string s(size, '\0');
  for (char& c : s) {
    unsigned r = rng();
    c = static_cast<char>(r % 4 == 0 ? kBytes[(r >> 8) % sizeof kBytes] : (r >> 8) & 0xFF);
  }
  return s;
}

TEST_F(FileLoad, LoadThenSaveKeepsEveryByteOfRandomFiles) {
  std::mt19937 rng(20261208);
  const std::string in = dir.File("in.bin"), out = dir.File("out.bin");
  for (int round = 0; round < 160; ++round) {
    size_t size = round < 150 ? rng() % 300 : (size_t{1} << 20) - 200 + rng() % 400;
    std::string bytes = RandomBytes(rng, size);
    if (round % 3 == 0 && !bytes.empty()) bytes.back() = '\x82'; // a cut lead byte last
    // A byte order mark at the start would make it another encoding's text.
    if (bytes.size() >= 2 && (bytes[0] & 0xFE) == 0xFE) bytes[0] = 'a';
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes[0] = 'a';
    WriteFile(in, bytes);
    lines.LoadFromFile(in);
    ASSERT_EQ(lines.FileFormat().Encoding, TEncoding::Cp932) << "round " << round << " size " << bytes.size() << " first " << int((unsigned char)bytes[0]);
    const std::string expected = WithCrLf(bytes);
    ASSERT_TRUE(lines.Text() == expected) << "round " << round;
    // One row per line break, and one more for text after the last.
    size_t breaks = 0;
    for (size_t i = 0; i < expected.size(); ++i) breaks += expected[i] == '\n';
    const bool tail = !expected.empty() && expected.back() != '\n';
    ASSERT_EQ(static_cast<size_t>(store->Count()), breaks + tail) << "round " << round;
    if (tail) {
      ASSERT_EQ(store->RowAttribute(store->Count() - 1), reEndOfText);
    }
    // Saved in the file's most frequent line break.
    lines.SaveToFile(out);
    ASSERT_TRUE(ReadFile(out) == WithCrLf(bytes, LineBreakBytes(lines.FileFormat().LineBreak)))
        << "round " << round;
    // Loading what was saved changes nothing more.
    lines.LoadFromFile(out);
    ASSERT_TRUE(lines.Text() == expected) << "round " << round;
  }
}

TEST_F(FileLoad, WordWrapKeepsEveryByteToo) {
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(20);
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    std::string bytes = RandomBytes(rng, rng() % 400);
    if (bytes.size() >= 2 && (bytes[0] & 0xFE) == 0xFE) bytes[0] = 'a';
    WriteFile(dir.File("w.bin"), bytes);
    lines.LoadFromFile(dir.File("w.bin"));
    lines.SaveToFile(dir.File("w-out.bin"));
    ASSERT_TRUE(ReadFile(dir.File("w-out.bin")) ==
                WithCrLf(bytes, LineBreakBytes(lines.FileFormat().LineBreak)))
        << "round " << round;
  }
}

// Loads path and expects a refusal naming it and containing what.
void ExpectRefused(TEditorStrings& lines, const std::string& path, const std::string& what) {
  try {
    lines.LoadFromFile(path);
    ADD_FAILURE() << "loaded " << path;
  } catch (const EFileError& e) {
    std::string m = e.what();
    EXPECT_NE(m.find(path), std::string::npos) << m;
    EXPECT_NE(m.find(what), std::string::npos) << m;
  }
}

TEST_F(FileLoad, OnlyRegularFilesAreReadAndARefusalChangesNothing) {
  WriteFile(dir.File("good.txt"), "kept\r\ntext");
  lines.LoadFromFile(dir.File("good.txt"));
  store->ReplaceText(0, 1, "edited\r\n"); // something to undo
  const TFileIdentity identity = lines.FileIdentity();

  // A FIFO without a writer: refused at once, never waited on.
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ExpectRefused(lines, fifo, "FIFO");
  ExpectRefused(lines, dir.Path(), "ディレクトリ");
  ExpectRefused(lines, "/dev/zero", "キャラクタデバイス");
  ExpectRefused(lines, "/dev/null", "キャラクタデバイス");
  // A link to a FIFO is the FIFO.
  ASSERT_EQ(::symlink(fifo.c_str(), dir.File("link").c_str()), 0);
  ExpectRefused(lines, dir.File("link"), "FIFO");

  EXPECT_EQ(lines.Text(), "edited\r\ntext");
  EXPECT_EQ(RowEnds(*store), "LE");
  EXPECT_TRUE(store->UndoObj()->CanUndo());
  EXPECT_EQ(lines.FilePath(), dir.File("good.txt"));
  EXPECT_TRUE(lines.FileIdentity() == identity);
}

TEST_F(FileLoad, AFileTooBigForMemoryIsRefusedBeforeReadingAndNamesItsSize) {
  if (kAddressSanitizer) GTEST_SKIP() << "an address-space limit cannot be tried under ASan";
  // A sparse 3 GiB file costs no disk; the load runs in a child whose
  // address space is limited to far less.
  const std::string big = dir.File("big.txt");
  int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{3} << 30), 0);
  ::close(fd);
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::close(pipeFds[0]);
    int status = 1;
    std::string report;
    try {
      lines.SetText("old\r\n");
      struct rlimit rl {};
      ::getrlimit(RLIMIT_AS, &rl);
      rl.rlim_cur = 1536ull << 20;
      if (::setrlimit(RLIMIT_AS, &rl) != 0) ::_exit(3);
      try {
        lines.LoadFromFile(big);
        report = "loaded";
      } catch (const EFileError& e) {
        report = e.what();
        status = lines.Text() == "old\r\n" ? 0 : 2;
      }
    } catch (...) {
      report = "other exception";
    }
    ssize_t ignored = ::write(pipeFds[1], report.data(), report.size());
    (void)ignored;
    ::_exit(status);
  }
  ::close(pipeFds[1]);
  std::string report;
  char buf[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) report.append(buf, size_t(n));
  ::close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "the child died: " << report;
  EXPECT_EQ(WEXITSTATUS(status), 0) << report;
  EXPECT_NE(report.find(big), std::string::npos) << report;
  EXPECT_NE(report.find("3,221,225,472 バイト"), std::string::npos) << report;
  EXPECT_NE(report.find("大きすぎ"), std::string::npos) << report;
  // Refused on its size, not after memory ran out part way.
  EXPECT_NE(report.find("必要"), std::string::npos) << report;
}

// Gives path a modification time of its own, so that a change within
// the file system's time resolution is still seen.
void Touch(const std::string& path, long seconds) {
  timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FileLoad, AChangeOnDiskIsNoticedUntilTheNextSave) {
  const std::string f = dir.File("doc.txt");
  WriteFile(f, "one\r\n");
  Touch(f, 1000000000);
  EXPECT_FALSE(lines.FileChangedOnDisk()); // nothing loaded yet
  lines.LoadFromFile(f);
  EXPECT_FALSE(lines.FileChangedOnDisk());

  // Same size, new time: another program wrote it.
  WriteFile(f, "two\r\n");
  Touch(f, 1000000100);
  EXPECT_TRUE(lines.FileChangedOnDisk());
  EXPECT_EQ(lines.SaveToFileChecked(f), TEditorStrings::srChangedOnDisk);
  EXPECT_EQ(ReadFile(f), "two\r\n"); // untouched
  // Forced, it is written, and from then on it is ours again.
  EXPECT_EQ(lines.SaveToFileChecked(f, true), TEditorStrings::srSaved);
  EXPECT_EQ(ReadFile(f), "one\r\n");
  EXPECT_FALSE(lines.FileChangedOnDisk());
  store->ReplaceText(0, 1, "three\r\n");
  EXPECT_EQ(lines.SaveToFileChecked(f), TEditorStrings::srSaved);
  EXPECT_EQ(ReadFile(f), "three\r\n");

  // Replaced by another file under the same name (a new inode), even
  // with the same bytes and time.
  struct stat before {};
  ASSERT_EQ(::stat(f.c_str(), &before), 0);
  WriteFile(dir.File("other"), "three\r\n");
  timespec times[2] = {before.st_mtim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("other").c_str(), times, 0), 0);
  ASSERT_EQ(::rename(dir.File("other").c_str(), f.c_str()), 0);
  EXPECT_TRUE(lines.FileChangedOnDisk());
  lines.SaveToFile(f); // the plain save does not ask
  EXPECT_FALSE(lines.FileChangedOnDisk());

  // Removed: that is a change too, and saving creates it again.
  ASSERT_EQ(::unlink(f.c_str()), 0);
  EXPECT_TRUE(lines.FileChangedOnDisk());
  EXPECT_EQ(lines.SaveToFileChecked(f), TEditorStrings::srChangedOnDisk);
  EXPECT_EQ(lines.SaveToFileChecked(f, true), TEditorStrings::srSaved);
  EXPECT_EQ(ReadFile(f), "three\r\n");
}

TEST_F(FileLoad, SavingUnderAnotherNameIsNotHeldUpByTheFirstFile) {
  const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
  WriteFile(a, "a\r\n");
  lines.LoadFromFile(a);
  WriteFile(a, "changed elsewhere\r\n");
  Touch(a, 1000000200);
  WriteFile(b, "older b\r\n");
  EXPECT_EQ(lines.SaveToFileChecked(b), TEditorStrings::srSaved);
  EXPECT_EQ(ReadFile(b), "a\r\n");
  EXPECT_EQ(lines.FilePath(), b);
  EXPECT_FALSE(lines.FileChangedOnDisk());
  // The same file under another name (a link) is the same file.
  ASSERT_EQ(::symlink(b.c_str(), dir.File("b-link").c_str()), 0);
  WriteFile(b, "changed b\r\n");
  Touch(b, 1000000300);
  EXPECT_EQ(lines.SaveToFileChecked(dir.File("b-link")), TEditorStrings::srChangedOnDisk);
  EXPECT_EQ(ReadFile(b), "changed b\r\n");
}

TEST_F(FileLoad, AFileThatTellsNoSizeIsStillReadToItsEnd) {
  // Files under /proc are regular and say they are empty.
  struct stat st {};
  ASSERT_EQ(::stat("/proc/self/status", &st), 0);
  ASSERT_EQ(st.st_size, 0);
  lines.LoadFromFile("/proc/self/status");
  EXPECT_GT(store->Count(), 5);
  EXPECT_EQ(lines.Get(0).view().substr(0, 5), "Name:");
}

TEST_F(FileLoad, AFailedLoadKeepsTheIdentityOfTheFileShown) {
  const std::string f = dir.File("doc.txt");
  WriteFile(f, "doc\r\n");
  lines.LoadFromFile(f);
  EXPECT_THROW(lines.LoadFromFile(dir.File("missing")), EFileError);
  EXPECT_EQ(lines.FilePath(), f);
  EXPECT_FALSE(lines.FileChangedOnDisk());
}

} // namespace
} // namespace ze
