#include "platform/IniFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/CodePage.h"
#include "platform/FileIo.h"

namespace ze {
namespace {

std::string_view Trim(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  return s.substr(a, b - a);
}

// ASCII case-insensitive equality that leaves double-byte characters alone.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  bool trail = false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = UpperByte(x);
      y = UpperByte(y);
    }
    if (x != y) return false;
    trail = !trail && IsLeadByte(x);
  }
  return true;
}

// The section name of a header line "[name]", or nullopt.
std::optional<std::string_view> HeaderName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// Key and value of "key=value", or nullopt for comments and other lines.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

bool ParseInt(std::string_view s, long long& out) {
  std::string t(Trim(s));
  if (t.empty()) return false;
  int base = 10;
  size_t start = 0;
  bool neg = false;
  if (t[0] == '-' || t[0] == '+') {
    neg = t[0] == '-';
    start = 1;
  }
  if (t.compare(start, 2, "0x") == 0 || t.compare(start, 2, "0X") == 0) {
    base = 16;
    start += 2;
  } else if (start < t.size() && t[start] == '$') {
    base = 16;
    start += 1;
  }
  if (start >= t.size()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(t.c_str() + start, &end, base);
  if (errno != 0 || *end != '\0' || end == t.c_str() + start) return false;
  if (t[start] == '-' || t[start] == '+') return false;
  out = neg ? -v : v;
  return out >= INT32_MIN && out <= UINT32_MAX;
}

} // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  struct stat st {};
  if (path_.empty() || ::stat(path_.c_str(), &st) != 0) return; // a missing file is empty
  SetText(ReadWholeFile(path_));
}

void IniFile::SetText(std::string_view data) {
  lines_.clear();
  eol_ = "\r\n";
  if (data.find("\r\n") == std::string_view::npos && data.find('\n') != std::string_view::npos)
    eol_ = "\n";
  size_t i = 0;
  while (i < data.size()) {
    size_t j = data.find_first_of("\r\n", i);
    if (j == std::string_view::npos) j = data.size();
    lines_.emplace_back(data.substr(i, j - i));
    i = j;
    if (i < data.size() && data[i] == '\r') ++i;
    if (i < data.size() && data[i] == '\n') ++i;
  }
}

std::string IniFile::Text() const {
  std::string data;
  for (const std::string& l : lines_) {
    data += l;
    data += eol_;
  }
  return data;
}

IniFile::~IniFile() {
  try {
    UpdateFile();
  } catch (...) {
  }
}

int IniFile::FindSection(std::string_view section) const {
  std::string_view want = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    auto name = HeaderName(lines_[i]);
    if (name && SameName(*name, want)) return static_cast<int>(i);
  }
  return -1;
}

int IniFile::SectionEnd(int header) const {
  size_t i = static_cast<size_t>(header) + 1;
  while (i < lines_.size() && !HeaderName(lines_[i])) ++i;
  return static_cast<int>(i);
}

int IniFile::FindKey(int header, std::string_view key) const {
  std::string_view want = Trim(key);
  int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    auto kv = KeyValue(lines_[static_cast<size_t>(i)]);
    if (kv && SameName(kv->first, want)) return i;
  }
  return -1;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  int h = FindSection(section);
  if (h < 0) return std::nullopt;
  int k = FindKey(h, key);
  if (k < 0) return std::nullopt;
  return std::string(Unquote(KeyValue(lines_[static_cast<size_t>(k)])->second));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  auto v = Find(section, key);
  return v ? *v : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto v = Find(section, key);
  long long n = 0;
  if (!v || !ParseInt(*v, n)) return def;
  return static_cast<int>(static_cast<uint32_t>(n));
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) >= 0; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key).has_value();
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> out;
  for (const std::string& l : lines_) {
    auto name = HeaderName(l);
    if (!name) continue;
    bool seen = false;
    for (const std::string& o : out) seen = seen || SameName(o, *name);
    if (!seen) out.emplace_back(*name);
  }
  return out;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  int h = FindSection(section);
  if (h < 0) return out;
  int end = SectionEnd(h);
  for (int i = h + 1; i < end; ++i)
    if (auto kv = KeyValue(lines_[static_cast<size_t>(i)])) out.emplace_back(kv->first);
  return out;
}

namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Blanks at the ends of a value would be lost on reading: keep them in
// quotes. A value in quotes is the caller's own quoting and stays as it is.
std::string StoredValue(std::string_view value) {
  if (Trim(value).size() != value.size()) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

} // namespace

std::string QuotedIniValue(std::string_view value) {
  if (Trim(value).size() != value.size() || Unquote(value).size() != value.size())
    return "\"" + std::string(value) + "\"";
  return std::string(value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view name = Trim(key);
  const char* wrong = nullptr;
  if (HasLineBreak(section) || Trim(section).find(']') != std::string_view::npos)
    wrong = "セクション名";
  else if (HasLineBreak(name) || name.find('=') != std::string_view::npos ||
           (!name.empty() && (name.front() == ';' || name.front() == '[')))
    wrong = "キー名";
  else if (HasLineBreak(value))
    wrong = "値 (改行を含む)";
  if (wrong)
    throw Exception("INI ファイル \"" + path_ + "\" に書けない" + wrong + "です: [" +
                    std::string(section) + "] " + std::string(key));
  std::string line = std::string(name) + "=" + StoredValue(value);
  int h = FindSection(section);
  if (h < 0) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(line);
    dirty_ = true;
    return;
  }
  int k = FindKey(h, key);
  if (k >= 0) {
    if (lines_[static_cast<size_t>(k)] != line) {
      lines_[static_cast<size_t>(k)] = line;
      dirty_ = true;
    }
    return;
  }
  // After the last non-blank line of the section.
  int at = SectionEnd(h);
  while (at > h + 1 && Trim(lines_[static_cast<size_t>(at - 1)]).empty()) --at;
  lines_.insert(lines_.begin() + at, line);
  dirty_ = true;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  int h = FindSection(section);
  if (h < 0) return;
  int k = FindKey(h, key);
  if (k < 0) return;
  lines_.erase(lines_.begin() + k);
  dirty_ = true;
}

void IniFile::EraseSection(std::string_view section) {
  for (int h = FindSection(section); h >= 0; h = FindSection(section)) {
    lines_.erase(lines_.begin() + h, lines_.begin() + SectionEnd(h));
    dirty_ = true;
  }
}

void IniFile::UpdateFile() {
  if (!dirty_ || path_.empty()) return;
  WriteFileAtomically(path_, Text());
  dirty_ = false;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, const std::string& path) {
  return IniFile(path).ReadString(section, key, def);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int def,
                         const std::string& path) {
  return IniFile(path).ReadInteger(section, key, def);
}

void WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& path) {
  IniFile ini(path);
  if (!key) ini.EraseSection(section);
  else if (!value) ini.DeleteKey(section, key);
  else ini.WriteString(section, key, value);
  ini.UpdateFile();
}

} // namespace ze
