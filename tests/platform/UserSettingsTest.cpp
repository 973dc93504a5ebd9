#include "platform/UserSettings.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace ze {
namespace {

const char* const kKey = "\\Software\\Morvell\\Delphi\\TStrings Property Editor";

TEST(UserSettings, ValuesLiveInOneSectionPerSubkey) {
  test::TempDir dir;
  std::string file = dir.File("cfg/ZorvaneEditor/registry.ini");
  {
    UserSettingsKey key(kKey, file);
    EXPECT_FALSE(key.ReadString("Options", "MatchCase"));
    key.WriteBool("Options", "MatchCase", true);
    key.WriteInteger("Options", "Direction", 0);
    key.WriteString("SearchItems", "Text", "abc\r\nABC\r\n");
    key.Flush(); // creates the folders
  }
  std::string stored = test::ReadFile(file);
  EXPECT_NE(stored.find("[Software\\Morvell\\Delphi\\TStrings Property Editor\\Options]"),
            std::string::npos)
      << stored;
  EXPECT_NE(stored.find("MatchCase=\"1\""), std::string::npos) << stored;

  // Read back through another key object, names in another case.
  UserSettingsKey again("Software\\MORVELL\\Delphi\\TStrings Property Editor\\", file);
  EXPECT_TRUE(again.ReadBool("options", "matchcase", false));
  EXPECT_EQ(again.ReadInteger("Options", "Direction", 1), 0);
  EXPECT_EQ(again.ReadString("SearchItems", "Text", ""), "abc\r\nABC\r\n");
  EXPECT_EQ(again.ReadString("ReplaceItems", "Text", "none"), "none");
}

TEST(UserSettings, AnyBytesSurviveTheFile) {
  test::TempDir dir;
  std::string file = dir.File("registry.ini");
  const std::string values[] = {"  leading and trailing blanks  ",
                                "\"quoted\"",
                                "back\\slash \\n not a break",
                                std::string("tab\tnul\0bell\x07", 13),
                                "; not a comment",
                                "[not a section]",
                                "key=value",
                                "\x8C\x9F\x8D\xF5 (CP932 bytes)",
                                "検索 (UTF-8)",
                                ""};
  {
    UserSettingsKey key(kKey, file);
    for (size_t i = 0; i < std::size(values); ++i)
      key.WriteString("Values", "v" + std::to_string(i), values[i]);
  } // the destructor writes
  UserSettingsKey key(kKey, file);
  for (size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(key.ReadString("Values", "v" + std::to_string(i), "missing"), values[i]) << i;
  // A value is always one line of the file.
  std::string stored = test::ReadFile(file);
  EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 1 + long(std::size(values)));
}

TEST(UserSettings, NumbersAreDecimalAndBadOnesGiveTheDefault) {
  test::TempDir dir;
  std::string file = dir.File("registry.ini");
  test::WriteFile(file, "[Software\\Morvell\\Delphi\\TStrings Property Editor\\Options]\n"
                        "A=1\nB=0\nC=7\nD=yes\nE=0x10\nF=-2\nG=\nH= 12 \nI=99999999999\n");
  UserSettingsKey key(kKey, file);
  EXPECT_TRUE(key.ReadBool("Options", "A", false));
  EXPECT_FALSE(key.ReadBool("Options", "B", true));
  EXPECT_TRUE(key.ReadBool("Options", "C", false));
  EXPECT_TRUE(key.ReadBool("Options", "D", true)); // not a number: the default
  EXPECT_FALSE(key.ReadBool("Options", "D", false));
  EXPECT_EQ(key.ReadInteger("Options", "E", 5), 5); // hexadecimal is not read
  EXPECT_EQ(key.ReadInteger("Options", "F", 5), -2);
  EXPECT_EQ(key.ReadInteger("Options", "G", 5), 5);
  EXPECT_EQ(key.ReadInteger("Options", "H", 5), 12);
  EXPECT_EQ(key.ReadInteger("Options", "I", 5), 5);
  EXPECT_EQ(key.ReadInteger("Options", "Missing", 5), 5);
}

TEST(UserSettings, WritingKeepsOtherKeysAndFailsLoudly) {
  test::TempDir dir;
  std::string file = dir.File("registry.ini");
  test::WriteFile(file, "; hand-written\r\n[Software\\Other]\r\nX=\"1\"\r\n");
  {
    UserSettingsKey key(kKey, file);
    key.WriteString("Options", "Direction", "1");
    key.Flush();
  }
  EXPECT_EQ(UserSettingsKey("Software\\Other", file).ReadString("", "X", ""), "1");
  EXPECT_EQ(test::ReadFile(file).rfind("; hand-written\r\n", 0), 0u);

  // A folder that cannot be created is reported, naming it.
  test::WriteFile(dir.File("plain"), "x");
  UserSettingsKey bad(kKey, dir.File("plain/sub/registry.ini"));
  bad.WriteBool("Options", "MatchCase", true);
  try {
    bad.Flush();
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("plain/sub"), std::string::npos) << e.what();
  }
}

TEST(UserSettings, TheFileIsInTheUsersConfigurationFolder) {
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  std::string saved = oldXdg ? oldXdg : "";
  ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  EXPECT_EQ(UserSettingsPath(), "/somewhere/config/ZorvaneEditor/registry.ini");
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1); // ignored, as the XDG rules say
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  if (!home.empty()) {
    EXPECT_EQ(UserSettingsPath(), home + "/.config/ZorvaneEditor/registry.ini");
  }
  if (oldXdg)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace ze
