#pragma once
// The user's own settings store, which stands for the registry of the
// current user: one INI file in the user's configuration folder, in which
// a key such as "\Software\Vendor\Product" is a group of sections, one for
// each of its subkeys ("[Software\Vendor\Product\Options]"). Keys,
// subkeys and value names are found without regard to ASCII case, as in
// the registry. Values are strings of any bytes: they are written quoted,
// with backslash, line breaks and control bytes escaped, so that a value
// keeps its blanks and may hold several lines.
//
// Nothing is created until a value is written. Flush writes the file
// atomically (a temporary file renamed over it) after creating its folder.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace ze {

class IniFile;

// $XDG_CONFIG_HOME/ZorvaneEditor/registry.ini; without that variable (or
// with a relative path in it, which the XDG rules say to ignore) the
// folder is ~/.config.
std::string UserSettingsPath();

class UserSettingsKey {
public:
  // Reads the store; a missing file is an empty store. An unreadable file
  // raises EFileError.
  explicit UserSettingsKey(std::string_view key, std::string file = UserSettingsPath());
  // Writes what Flush has not written yet; errors are lost here.
  ~UserSettingsKey();
  UserSettingsKey(const UserSettingsKey&) = delete;
  UserSettingsKey& operator=(const UserSettingsKey&) = delete;

  const std::string& FileName() const noexcept { return file_; }
  // The section that holds the subkey's values.
  std::string SectionOf(std::string_view subkey) const;

  std::optional<std::string> ReadString(std::string_view subkey, std::string_view name) const;
  std::string ReadString(std::string_view subkey, std::string_view name,
                         std::string_view def) const;
  // A decimal integer; def when the value is missing or not one.
  int ReadInteger(std::string_view subkey, std::string_view name, int def) const;
  // True for a non-zero decimal integer; def when missing or not a number.
  bool ReadBool(std::string_view subkey, std::string_view name, bool def) const;

  void WriteString(std::string_view subkey, std::string_view name, std::string_view value);
  void WriteInteger(std::string_view subkey, std::string_view name, int value);
  void WriteBool(std::string_view subkey, std::string_view name, bool value); // "1" / "0"

  // Writes pending changes; raises EFileError naming the file and reason.
  void Flush();

private:
  std::string file_;
  std::string key_;
  std::unique_ptr<IniFile> ini_;
};

// The escaping of values in the file, exposed for tests.
std::string EscapeSettingValue(std::string_view value);
std::string UnescapeSettingValue(std::string_view stored);

} // namespace ze
