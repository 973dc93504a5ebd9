#include "platform/UserSettings.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "platform/IniFile.h"

namespace ze {
namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

std::string_view TrimBackslashes(std::string_view s) {
  while (!s.empty() && s.front() == '\\')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == '\\')
    s.remove_suffix(1);
  return s;
}

bool ParseDecimal(std::string_view s, int& out) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  if (s.empty()) return false;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

} // namespace

std::string UserSettingsPath() {
  std::string folder;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
    folder = xdg;
  else
    folder = HomeFolder() + "/.config";
  return folder + "/ZorvaneEditor/registry.ini";
}

std::string EscapeSettingValue(std::string_view value) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : value) {
    unsigned char b = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (b < 0x20 || b == 0x7F) {
      out += "\\x";
      out += hex[b >> 4];
      out += hex[b & 15];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

// The file reader has already removed the quotes.
std::string UnescapeSettingValue(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char e = s[i + 1];
    if (e == '\\') {
      out += '\\';
      ++i;
    } else if (e == 'r') {
      out += '\r';
      ++i;
    } else if (e == 'n') {
      out += '\n';
      ++i;
    } else if (e == 'x' && i + 3 < s.size() && HexDigit(s[i + 2]) >= 0 && HexDigit(s[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 2]) * 16 + HexDigit(s[i + 3]));
      i += 3;
    } else {
      out += '\\'; // not an escape of ours: kept as it stands
    }
  }
  return out;
}

UserSettingsKey::UserSettingsKey(std::string_view key, std::string file)
    : file_(std::move(file)), key_(TrimBackslashes(key)), ini_(std::make_unique<IniFile>(file_)) {}

UserSettingsKey::~UserSettingsKey() {
  try {
    Flush();
  } catch (...) {
  }
}

std::string UserSettingsKey::SectionOf(std::string_view subkey) const {
  std::string_view sub = TrimBackslashes(subkey);
  if (sub.empty()) return key_;
  if (key_.empty()) return std::string(sub);
  return key_ + "\\" + std::string(sub);
}

std::optional<std::string> UserSettingsKey::ReadString(std::string_view subkey,
                                                       std::string_view name) const {
  auto v = ini_->Find(SectionOf(subkey), name);
  if (!v) return std::nullopt;
  return UnescapeSettingValue(*v);
}

std::string UserSettingsKey::ReadString(std::string_view subkey, std::string_view name,
                                        std::string_view def) const {
  auto v = ReadString(subkey, name);
  return v ? *v : std::string(def);
}

int UserSettingsKey::ReadInteger(std::string_view subkey, std::string_view name, int def) const {
  int n = 0;
  auto v = ReadString(subkey, name);
  return v && ParseDecimal(*v, n) ? n : def;
}

bool UserSettingsKey::ReadBool(std::string_view subkey, std::string_view name, bool def) const {
  return ReadInteger(subkey, name, def ? 1 : 0) != 0;
}

void UserSettingsKey::WriteString(std::string_view subkey, std::string_view name,
                                  std::string_view value) {
  ini_->WriteString(SectionOf(subkey), name, EscapeSettingValue(value));
}

void UserSettingsKey::WriteInteger(std::string_view subkey, std::string_view name, int value) {
  WriteString(subkey, name, std::to_string(value));
}

void UserSettingsKey::WriteBool(std::string_view subkey, std::string_view name, bool value) {
  WriteString(subkey, name, value ? "1" : "0");
}

void UserSettingsKey::Flush() {
  if (!ini_->Modified()) return;
  std::filesystem::path folder = std::filesystem::path(file_).parent_path();
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw EFileError("Cannot create folder \"" + folder.string() + "\": " + ec.message());
  ini_->UpdateFile();
}

} // namespace ze
