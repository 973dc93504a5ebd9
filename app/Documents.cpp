#include "app/Documents.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "app/DocumentList.h"
#include <vector>

namespace ze {

namespace fs = std::filesystem;

std::string PageCaption(const std::string& path) {
  if (path == kUntitled) return path;
  fs::path p(path);
  std::string stem = p.stem().string();
  // A name that is only an extension (".profile") keeps it.
  return stem.empty() ? p.filename().string() : stem;
}

uint64_t MaxDocumentBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long size = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return uint64_t(1) << 31;
  return uint64_t(pages) * uint64_t(size) / 2;
}

TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical) {
  return CheckFileToOpen(name, canonical, MaxDocumentBytes());
}

TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical, uint64_t maxBytes,
                           std::string* reason) {
  std::error_code ec;
  const fs::path full = fs::absolute(fs::path(name), ec);
  if (ec) return TFileCheck::Missing;
  struct stat st {};
  if (::stat(full.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return TFileCheck::Missing;
    if (reason) *reason = std::strerror(errno);
    return TFileCheck::Unreadable;
  }
  if (!S_ISREG(st.st_mode)) return TFileCheck::NotRegular;
  if (uint64_t(st.st_size) > maxBytes) return TFileCheck::TooBig;
  // Opening for reading tells what the permission bits alone do not; a
  // regular file does not block here.
  const int fd = ::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (reason) *reason = std::strerror(errno);
    return TFileCheck::Unreadable;
  }
  ::close(fd);
  const fs::path real = fs::canonical(full, ec);
  if (ec) return TFileCheck::Missing;
  canonical = real.string();
  return TFileCheck::Ok;
}

std::string FileCheckMessage(TFileCheck check, const std::string& name, const std::string& reason) {
  switch (check) {
  case TFileCheck::Ok:
    return {};
  case TFileCheck::Missing:
    return MissingMessage(name);
  case TFileCheck::NotRegular:
    return name + " はファイルではないため開けません！";
  case TFileCheck::TooBig:
    return name + " は大きすぎるため開けません！";
  case TFileCheck::Unreadable:
    return LoadFailedMessage(name, reason);
  }
  return {};
}

bool FileIsReadOnly(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  // Root may write anything; the bits still say what the owner meant.
  return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string WithDefaultExtension(const std::string& name) {
  const fs::path p(name);
  if (name.empty() || name.back() == '/' || p.has_extension() || p.filename().string()[0] == '.')
    return name;
  return name + "." + kDefaultExtension;
}

std::string DialogFolder(const std::string& path) {
  if (path == kUntitled) return {};
  return fs::path(path).parent_path().string();
}

std::string QtFilter(const std::string& pairs) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = pairs.find('|', start);
    parts.push_back(
        pairs.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::string out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string name = parts[i];
    if (const std::size_t paren = name.find(" ("); paren != std::string::npos) name.erase(paren);
    std::string patterns;
    std::size_t p = 0;
    const std::string& list = parts[i + 1];
    for (;;) {
      const std::size_t semi = list.find(';', p);
      std::string one = list.substr(p, semi == std::string::npos ? std::string::npos : semi - p);
      if (one == "*.*") one = "*";
      if (!one.empty()) patterns += (patterns.empty() ? "" : " ") + one;
      if (semi == std::string::npos) break;
      p = semi + 1;
    }
    if (!out.empty()) out += ";;";
    out += name + " (" + patterns + ")";
  }
  return out;
}

std::string LinesWithBreaks(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16);
  const std::size_t n = bytes.size();
  std::size_t start = 0;
  while (start < n) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = n;
    text.append(bytes, start, end - start).append("\r\n");
    if (end == n) break;
    start = end + 1;
    if (bytes[end] == '\r' && start < n && bytes[start] == '\n') ++start;
  }
  return text;
}

std::string CaretPositionText(int row, int col) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%5d 行  :%4d 桁", row + 1, col + 1);
  return buf;
}

std::string ModifiedText(bool modified) {
  return modified ? " 変更" : "";
}
std::string OverWriteText(bool overWrite) {
  return overWrite ? " 上書" : " 挿入";
}
std::string BoxModeText(bool box) {
  return box ? " 矩形選択" : "";
}
std::string ReadOnlyText(bool readOnly) {
  return readOnly ? " 読出し専用" : "";
}

std::string AlreadyOpenMessage(const std::string& path) {
  return PageCaption(path) + " は既に開かれています！";
}

std::string MissingMessage(const std::string& path) {
  return path + " が存在しません！";
}

std::string InUseMessage(const std::string& path) {
  return "\n" + path + " は\n現在使用中です 上書きできません！";
}

std::string SaveFailedMessage(const std::string& path, const std::string& reason) {
  return path + " を保存できませんでした。ファイルは元のままです。\n" + reason;
}

std::string LoadFailedMessage(const std::string& path, const std::string& reason) {
  return path + " を読み込めませんでした。\n" + reason;
}

std::string OverwriteQuestion(const std::string& path) {
  return path + " は既に存在します。\n上書きしますか?";
}

std::string ChangedOnDiskQuestion(const std::string& path) {
  return "\n" + path + " は\n他のプログラムによって変更されています 上書きしますか?";
}

std::string CloseQuestion(const std::string& caption) {
  return "\n" + caption + " は\n変更されています 保存しますか?";
}

} // namespace ze
