#pragma once
// Private-profile INI files as Windows knows them: sections and keys are
// found without regard to ASCII case, surrounding blanks are ignored, a
// value in matching quotes loses them, the first of duplicate keys wins,
// and writing keeps the order of the file, its comments and every line it
// does not touch. Values are bytes; nothing is converted.
//
// Changes are made in memory and written by UpdateFile, which replaces the
// file atomically (a temporary file renamed over it), so a failed write
// never leaves a truncated file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"

namespace ze {

class IniFile {
public:
  // Reads path if it exists; a missing file is an empty one. An empty
  // path makes a file that lives in memory only (see Text, SetText).
  explicit IniFile(std::string path);
  // Writes pending changes; errors are lost here, so call UpdateFile to
  // see them.
  ~IniFile();

  // The file's bytes as UpdateFile writes them, and replacing them as if
  // they had been read from the file.
  std::string Text() const;
  void SetText(std::string_view data);
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  const std::string& FileName() const noexcept { return path_; }

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // The value as a decimal or hexadecimal ("0x", "$") integer; def when the
  // key is missing or the value is not a number.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const; // keys

  // A value with blanks at its ends is written in quotes, so that it
  // keeps them. A value in matching quotes is written as it stands and
  // reads back without them, as Windows does (callers quote on purpose);
  // to store any text exactly, write QuotedIniValue(text). A section,
  // key or value that a line cannot hold (a line break, a key with "=" or
  // one that reads as a comment or a header, a section with "]") raises
  // Exception, rather than write lines nobody asked for.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);

  bool Modified() const noexcept { return dirty_; }
  // Writes the file if anything changed; raises EFileError on failure.
  void UpdateFile();

private:
  struct Line {
    std::string text;
  };
  // Index of the header line of the first section with that name, or -1.
  int FindSection(std::string_view section) const;
  // Index of the first key line in the section that starts after header.
  int FindKey(int header, std::string_view key) const;
  int SectionEnd(int header) const;

  std::string path_;
  std::vector<std::string> lines_;
  std::string eol_ = "\r\n";
  bool dirty_ = false;
};

// The value to write so that reading gives back exactly text: quoted when
// it has blanks at its ends or is itself in matching quotes.
std::string QuotedIniValue(std::string_view text);

// Windows' private-profile calls on a file path: each reads the file, and
// a write replaces it at once. A null value deletes the key; a null key
// deletes the section.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, const std::string& path);
int GetPrivateProfileInt(std::string_view section, std::string_view key, int def,
                         const std::string& path);
void WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& path);

} // namespace ze
