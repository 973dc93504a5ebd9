#include "platform/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

AtomicFileWriter::AtomicFileWriter(const std::string& path) : target_(ResolveLinks(path)) {
  // A file the user may not write is not replaced behind its back, even
  // though its folder would allow the rename.
  if (::access(target_.c_str(), F_OK) == 0 && ::access(target_.c_str(), W_OK) != 0) {
    int err = errno;
    throw EFileError("Cannot write file \"" + path + "\": " + Reason(err));
  }
  std::string base = target_.substr(target_.rfind('/') == std::string::npos
                                        ? 0
                                        : target_.rfind('/') + 1);
  std::string templ = DirName(target_) + "/." + base + ".XXXXXX";
  fd_ = ::mkostemp(templ.data(), O_CLOEXEC);
  if (fd_ < 0) {
    // The file is written beside its target first; say so, since the
    // reason refers to that temporary file, not to the target.
    int err = errno;
    throw EFileError("Cannot write file \"" + path + "\": cannot create a temporary file in \"" +
                     DirName(target_) + "\": " + Reason(err));
  }
  temp_ = templ;
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFileWriter::Fail(const char* what, int err) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temp_.c_str());
  temp_.clear();
  throw EFileError(std::string("Cannot ") + what + " file \"" + target_ + "\": " + Reason(err));
}

void AtomicFileWriter::Flush() {
  const char* p = buffer_.data();
  size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("write", errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
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
  struct stat st {};
  mode_t mode;
  if (::stat(target_.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
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
  // Make the rename itself durable.
  int dir = ::open(DirName(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  AtomicFileWriter w(path);
  w.Write(bytes);
  w.Commit();
}

} // namespace ze
