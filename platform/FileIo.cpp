#include "platform/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ze {
namespace {

std::string Reason(int err) { return std::strerror(err); }

std::string DirName(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

} // namespace

std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFileError("Cannot open file \"" + path + "\": " + Reason(errno));
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EFileError("Cannot open file \"" + path + "\": " + Reason(EISDIR));
  }
  if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw EFileError("Cannot read file \"" + path + "\": " + Reason(err));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

std::string ResolveLinks(const std::string& path) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    char buf[PATH_MAX];
    ssize_t n = ::readlink(p.c_str(), buf, sizeof buf - 1);
    if (n < 0) return p;
    std::string link(buf, static_cast<size_t>(n));
    p = (!link.empty() && link[0] == '/') ? link : DirName(p) + "/" + link;
  }
  throw EFileError("Cannot write file \"" + path + "\": " + Reason(ELOOP));
}

namespace {

WriteFaultHook writeFault = nullptr;

// Writes all of data at offset (or at the file position when offset < 0);
// returns 0 or the errno of the failure.
int WriteAll(int fd, const std::string& file, const char* data, size_t size, long long offset) {
  while (size > 0) {
    if (writeFault)
      if (int err = writeFault(file, offset, size)) return err;
    ssize_t n = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<size_t>(n);
    if (offset >= 0) offset += n;
  }
  return 0;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a file that is not a regular file is, for the message that refuses it.
const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "フォルダーです";
  if (S_ISFIFO(mode)) return "名前付きパイプ (FIFO) です";
  if (S_ISCHR(mode)) return "キャラクターデバイスです";
  if (S_ISBLK(mode)) return "ブロックデバイスです";
  if (S_ISSOCK(mode)) return "ソケットです";
  return "通常のファイルではありません";
}

void SyncFolder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Removes the temporary files of earlier saves of the same target that
// nobody is writing any more: a writer holds a lock on its file for as
// long as it lives, and the lock goes with its process.
void RemoveStaleTemporaries(const std::string& dir, const std::string& prefix) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    std::string_view name = e->d_name;
    if (name.size() != prefix.size() + 10 || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - 4) != ".tmp")
      continue;
    std::string file = dir + "/" + std::string(name);
    int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(file.c_str());
    ::close(fd);
  }
  ::closedir(d);
}

// Creates "<prefix>XXXXXX<suffix>" beside the target, locked while open.
int CreateBeside(const std::string& dir, const std::string& prefix, const char* suffix,
                 std::string& name) {
  std::string templ = dir + "/" + prefix + "XXXXXX" + suffix;
  int fd = ::mkostemps(templ.data(), static_cast<int>(std::strlen(suffix)), O_CLOEXEC);
  if (fd < 0) return -1;
  ::flock(fd, LOCK_EX | LOCK_NB);
  name = templ;
  return fd;
}

} // namespace

void SetWriteFaultHookForTests(WriteFaultHook hook) { writeFault = hook; }

std::string SaveTempPrefix(const std::string& target) {
  // FNV-1a of the name: a fixed length, whatever the name's.
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : BaseName(target)) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
  return std::string(".ZorvaneEditor-") + hex + "-";
}

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : path_(path), target_(ResolveLinks(path)) {
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    // Writing onto a pipe, a device or a folder would replace it with a
    // file, or block, or destroy something that is not a document.
    if (!S_ISREG(st.st_mode))
      throw EFileError("ファイル \"" + path + "\" には保存できません: " + KindOf(st.st_mode));
    // A file the user may not write is not replaced behind its back, even
    // though its folder would allow the rename.
    if (::access(target_.c_str(), W_OK) != 0) {
      int err = errno;
      throw EFileError("Cannot write file \"" + path + "\": " + Reason(err));
    }
    existed_ = true;
    oldSize_ = st.st_size;
    oldUid_ = st.st_uid;
    oldGid_ = st.st_gid;
    oldMode_ = st.st_mode & 07777;
    inPlace_ = st.st_nlink > 1;
  }
  RemoveStaleTemporaries(DirName(target_), SaveTempPrefix(target_));
  if (inPlace_)
    OpenInPlace();
  else
    OpenReplacement();
}

void AtomicFileWriter::OpenReplacement() {
  fd_ = CreateBeside(DirName(target_), SaveTempPrefix(target_), ".tmp", temp_);
  if (fd_ < 0) {
    // The file is written beside its target first; say so, since the
    // reason refers to that temporary file, not to the target.
    int err = errno;
    throw EFileError("Cannot write file \"" + path_ + "\": cannot create a temporary file in \"" +
                     DirName(target_) + "\": " + Reason(err));
  }
}

void AtomicFileWriter::OpenInPlace() {
  const std::string dir = DirName(target_);
  int in = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    int err = errno;
    throw EFileError("Cannot write file \"" + path_ + "\": " + Reason(err));
  }
  int bak = CreateBeside(dir, SaveTempPrefix(target_), ".bak", backup_);
  if (bak < 0) {
    int err = errno;
    ::close(in);
    throw EFileError("ファイル \"" + path_ + "\" に保存できません: \"" + dir +
                     "\" に元の内容の控えを作れません: " + Reason(err));
  }
  // The backup: the whole old content, on disk before the first byte of
  // the target changes. Readable by the same people as the file.
  int err = 0;
  if (::fchown(bak, oldUid_, oldGid_) != 0) ::fchmod(bak, 0600);
  else ::fchmod(bak, oldMode_ & 0666);
  char buf[65536];
  long long copied = 0;
  while (err == 0) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;
    if (n <= 0) break;
    err = WriteAll(bak, backup_, buf, static_cast<size_t>(n), copied);
    copied += n;
  }
  ::close(in);
  if (err == 0 && ::fsync(bak) != 0) err = errno;
  ::close(bak);
  if (err == 0) SyncFolder(dir);
  if (err == 0) {
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0) err = errno;
  }
  if (err != 0) {
    ::unlink(backup_.c_str());
    backup_.clear();
    throw EFileError("ファイル \"" + path_ + "\" に保存できません: 元の内容の控えを \"" + dir +
                     "\" に書けません: " + Reason(err));
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) Discard();
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  if (!backup_.empty() && (!touched_ || RestoreFromBackup())) ::unlink(backup_.c_str());
  backup_.clear();
}

bool AtomicFileWriter::RestoreFromBackup() {
  int in = ::open(backup_.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
  bool ok = out >= 0;
  char buf[65536];
  long long at = 0;
  while (ok) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    ok = WriteAll(out, target_, buf, static_cast<size_t>(n), at) == 0;
    at += n;
  }
  ok = ok && at == oldSize_ && ::ftruncate(out, at) == 0 && ::fsync(out) == 0;
  if (out >= 0) ::close(out);
  ::close(in);
  return ok;
}

void AtomicFileWriter::Fail(const char* what, int err) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  // Written in place: put the old content back; if even that fails, the
  // backup is all there is, so it stays and the message names it.
  std::string kept;
  if (touched_ && !backup_.empty()) {
    if (RestoreFromBackup()) {
      touched_ = false;
    } else {
      kept = backup_;
      backup_.clear();
    }
  }
  Discard();
  std::string message =
      std::string("Cannot ") + what + " file \"" + target_ + "\": " + Reason(err);
  if (!kept.empty())
    message += "。ファイルは書きかけです。元の内容は \"" + kept + "\" に残っています";
  throw EFileError(message);
}

void AtomicFileWriter::Flush() {
  if (buffer_.empty()) return;
  touched_ = touched_ || inPlace_;
  int err = WriteAll(fd_, inPlace_ ? target_ : temp_, buffer_.data(), buffer_.size(), written_);
  if (err != 0) Fail("write", err);
  written_ += static_cast<long long>(buffer_.size());
  buffer_.clear();
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) throw EFileError("Cannot write file \"" + target_ + "\": writer is closed");
  buffer_.append(bytes);
  if (buffer_.size() >= (1u << 20)) Flush();
}

void AtomicFileWriter::Commit() {
  if (fd_ < 0) throw EFileError("Cannot write file \"" + target_ + "\": writer is closed");
  Flush();
  if (inPlace_)
    CommitInPlace();
  else
    CommitReplacement();
}

void AtomicFileWriter::CommitInPlace() {
  touched_ = true; // the length changes even when no byte was written
  if (::ftruncate(fd_, written_) != 0) Fail("write", errno);
  if (::fsync(fd_) != 0) Fail("write", errno);
  if (::close(fd_) != 0) {
    fd_ = -1;
    Fail("write", errno);
  }
  fd_ = -1;
  committed_ = true;
  ::unlink(backup_.c_str());
  backup_.clear();
  SyncFolder(DirName(target_));
}

void AtomicFileWriter::CommitReplacement() {
  mode_t mode;
  if (existed_) {
    mode = oldMode_;
    // Keep the owner and the group. Where the owner cannot be kept, the
    // file becomes the saver's, and setuid or setgid would now grant the
    // saver's rights: drop them; likewise setgid with a group not kept.
    bool ownerKept = true, groupKept = true;
    struct stat mine {};
    if (::fstat(fd_, &mine) != 0) Fail("write", errno);
    if (mine.st_uid != oldUid_ || mine.st_gid != oldGid_) {
      if (::fchown(fd_, oldUid_, oldGid_) != 0) {
        ownerKept = mine.st_uid == oldUid_;
        groupKept = mine.st_gid == oldGid_ || ::fchown(fd_, static_cast<uid_t>(-1), oldGid_) == 0;
      }
    }
    if (!ownerKept) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    if (!groupKept) mode &= ~static_cast<mode_t>(S_ISGID);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd_, mode) != 0) Fail("write", errno);
  if (::fsync(fd_) != 0) Fail("write", errno);
  if (::close(fd_) != 0) {
    fd_ = -1;
    Fail("write", errno);
  }
  fd_ = -1;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("write", errno);
  committed_ = true;
  temp_.clear();
  // Make the rename itself durable.
  SyncFolder(DirName(target_));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter w(path);
  w.Write(bytes);
  w.Commit();
}

} // namespace ze
