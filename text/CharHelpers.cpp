#include "text/CharHelpers.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"

namespace ze {
namespace {

// 0 when byte i (1-based) is a single-byte character, 1 for a lead byte,
// 2 for a trail byte, -1 past the end.
int ByteClassAt(std::string_view s, int i) {
  if (i < 1 || i > static_cast<int>(s.size())) return -1;
  int pos = 1;
  while (pos < i) pos += IsLeadByte(s[static_cast<size_t>(pos - 1)]) ? 2 : 1;
  if (pos > i) return 2;
  return IsLeadByte(s[static_cast<size_t>(i - 1)]) ? 1 : 0;
}

} // namespace

bool IsLeadByteAt(std::string_view s, int i) { return ByteClassAt(s, i) == 1; }

bool IsTrailByteAt(std::string_view s, int i) { return ByteClassAt(s, i) == 2; }

unsigned char ByteAt(std::string_view s, int i) {
  if (i < 1 || i > static_cast<int>(s.size())) return 0;
  return static_cast<unsigned char>(s[static_cast<size_t>(i - 1)]);
}

bool IncludesChar(std::string_view c, std::string_view list) {
  if (c.empty() || list.size() < c.size()) return false;
  size_t i = 0;
  while (i + c.size() <= list.size()) {
    if (list.compare(i, c.size(), c) == 0) return true;
    i += IsLeadByte(list[i]) ? 2 : 1;
  }
  return false;
}

int CountByte(std::string_view s, char b, int limit) {
  size_t n = std::min(s.size(), limit < 0 ? size_t{0} : static_cast<size_t>(limit));
  return static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n), b));
}

void SplitLines(std::string_view text, TStrings& list) {
  UpdateGuard<TStrings> update(list);
  list.Clear();
  if (text.empty()) return;
  // Scanning stops at a NUL, as at the end of the text.
  size_t end = text.find('\0');
  if (end == std::string_view::npos) end = text.size();
  int lf = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  if (text.back() == '\n') --lf;
  for (int k = 0; k <= lf; ++k) list.Add(ByteString());
  size_t i = 0;
  int row = 0;
  while (i < end) {
    size_t start = i;
    while (i < end && text[i] != '\r' && text[i] != '\n') ++i;
    ByteString line(text.substr(start, i - start));
    if (row < list.Count()) list.Put(row, line);
    else list.Add(line);
    ++row;
    if (i < end && text[i] == '\r') ++i;
    if (i < end && text[i] == '\n') ++i;
  }
}

} // namespace ze
