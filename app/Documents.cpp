#include "app/Documents.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/DocumentList.h"

namespace ze {

namespace fs = std::filesystem;

std::string PageCaption(const std::string& path) {
  if (path == kUntitled) return path;
  fs::path p(path);
  std::string stem = p.stem().string();
  // A name that is only an extension (".profile") keeps it.
  return stem.empty() ? p.filename().string() : stem;
}

TFileCheck CheckFileToOpen(const std::string& name, std::string& canonical) {
  std::error_code ec;
  const fs::path full = fs::absolute(fs::path(name), ec);
  if (ec) return TFileCheck::Missing;
  const fs::file_status st = fs::status(full, ec);
  if (ec || !fs::exists(st)) return TFileCheck::Missing;
  if (!fs::is_regular_file(st)) return TFileCheck::NotRegular;
  const fs::path real = fs::canonical(full, ec);
  if (ec) return TFileCheck::Missing;
  canonical = real.string();
  return TFileCheck::Ok;
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

std::string NotAFileMessage(const std::string& path) {
  return path + " はファイルではないため開けません！";
}

std::string CloseQuestion(const std::string& caption) {
  return "\n" + caption + " は\n変更されています 保存しますか?";
}

} // namespace ze
