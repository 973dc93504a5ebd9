#include "platform/FileRead.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ze {

std::string FileKindName(unsigned mode) {
  switch (mode & S_IFMT) {
  case S_IFDIR: return "ディレクトリ";
  case S_IFIFO: return "名前付きパイプ (FIFO)";
  case S_IFCHR: return "キャラクタデバイス";
  case S_IFBLK: return "ブロックデバイス";
  case S_IFSOCK: return "ソケット";
  case S_IFREG: return "通常のファイル";
  default: return "特殊なファイル";
  }
}

std::string GroupedNumber(uint64_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

namespace {

// A "Key:  123 kB" line of a /proc file, in bytes; false when absent.
bool ProcKiB(const char* file, const char* key, uint64_t& bytes) {
  FILE* f = std::fopen(file, "re");
  if (!f) return false;
  char line[256];
  const size_t keyLen = std::strlen(key);
  bool found = false;
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, key, keyLen) == 0 && line[keyLen] == ':') {
      bytes = std::strtoull(line + keyLen + 1, nullptr, 10) * 1024;
      found = true;
      break;
    }
  }
  std::fclose(f);
  return found;
}

// A file holding one number ("max" for none); false when absent or "max".
bool FileNumber(const char* file, uint64_t& n) {
  FILE* f = std::fopen(file, "re");
  if (!f) return false;
  char buf[64] = {};
  bool ok = std::fgets(buf, sizeof buf, f) && buf[0] >= '0' && buf[0] <= '9';
  std::fclose(f);
  if (ok) n = std::strtoull(buf, nullptr, 10);
  return ok;
}

// What is left under an address-space or data limit, given what is used.
void UnderLimit(int resource, const char* usedKey, uint64_t& avail) {
  struct rlimit rl {};
  if (::getrlimit(resource, &rl) != 0 || rl.rlim_cur == RLIM_INFINITY) return;
  uint64_t used = 0;
  ProcKiB("/proc/self/status", usedKey, used);
  const uint64_t limit = rl.rlim_cur;
  avail = std::min(avail, limit > used ? limit - used : 0);
}

} // namespace

uint64_t AvailableMemory() {
  uint64_t avail = UINT64_MAX;
  uint64_t memAvailable = 0, swapFree = 0;
  if (ProcKiB("/proc/meminfo", "MemAvailable", memAvailable)) {
    ProcKiB("/proc/meminfo", "SwapFree", swapFree);
    avail = memAvailable + swapFree;
  }
  UnderLimit(RLIMIT_AS, "VmSize", avail);
  UnderLimit(RLIMIT_DATA, "VmData", avail);
  uint64_t cgMax = 0, cgUsed = 0;
  if (FileNumber("/sys/fs/cgroup/memory.max", cgMax) &&
      FileNumber("/sys/fs/cgroup/memory.current", cgUsed))
    avail = std::min(avail, cgMax > cgUsed ? cgMax - cgUsed : 0);
  return avail;
}

TFileReader::TFileReader(const std::string& path) : path_(path) {
  // Look before opening: opening a device can have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) Fail("open", errno);
  if (!S_ISREG(st.st_mode))
    throw EFileError("ファイル \"" + path + "\" を開けません: " + FileKindName(st.st_mode) +
                     "です (通常のファイルではありません)");
  // The name may have been replaced since: open without blocking and
  // look again at what was opened.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) Fail("open", errno);
  if (::fstat(fd_, &st) != 0) Fail("read", errno);
  if (!S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EFileError("ファイル \"" + path + "\" を開けません: " + FileKindName(st.st_mode) +
                     "です (通常のファイルではありません)");
  }
  int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  identity_ = IdentityOf(st);
}

TFileReader::~TFileReader() {
  if (fd_ >= 0) ::close(fd_);
}

void TFileReader::Fail(const char* what, int err) const {
  throw EFileError(std::string("Cannot ") + what + " file \"" + path_ + "\": " +
                   std::strerror(err));
}

size_t TFileReader::Read(char* buf, size_t size) {
  for (;;) {
    ssize_t n = ::read(fd_, buf, size);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno != EINTR) Fail("read", errno);
  }
}

void TFileReader::CheckMemory(uint64_t need, uint64_t budget) const {
  if (need <= budget) return;
  constexpr uint64_t kMB = 1000 * 1000;
  throw EFileError("ファイル \"" + path_ + "\" は大きすぎて読み込めません: " +
                   GroupedNumber(Size()) + " バイト (読み込みに約 " +
                   GroupedNumber((need + kMB - 1) / kMB) + " MB のメモリが必要ですが、使えるのは約 " +
                   GroupedNumber(budget / kMB) + " MB です)");
}

void TFileReader::FailTooBig() const {
  throw EFileError("ファイル \"" + path_ + "\" は大きすぎて読み込めません: " +
                   GroupedNumber(Size()) + " バイト (メモリが足りません)");
}

} // namespace ze
