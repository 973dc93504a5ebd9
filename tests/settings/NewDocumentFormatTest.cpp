// The encoding and line break of new documents in the settings files.
#include <gtest/gtest.h>

#include "app/settings/SettingsFiles.h"
#include "platform/IniFile.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(NewDocumentFormat, IsWrittenByNameAndReadBack) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  for (auto [e, b] :
       {std::pair{TEncoding::EucJp, TLineBreak::Lf}, std::pair{TEncoding::Utf16Be, TLineBreak::Cr},
        std::pair{TEncoding::Utf8Bom, TLineBreak::CrLf}}) {
    TSettings s;
    s.NewEncoding = e;
    s.NewLineBreak = b;
    WriteSettingsFiles(s, files);
    IniFile ini(files.Int);
    EXPECT_EQ(ini.ReadString("File", "Encoding", ""), EncodingKey(e));
    EXPECT_EQ(ini.ReadString("File", "LineBreak", ""), LineBreakKey(b));
    TSettings back;
    std::vector<std::string> problems;
    ReadSettingsFiles(back, files, &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(back.NewEncoding, e);
    EXPECT_EQ(back.NewLineBreak, b);
  }
}

TEST(NewDocumentFormat, UnknownNamesKeepTheDefaultsAndAreReported) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(files.Int, "[File]\nEncoding=KOI8-R\nLineBreak=NEL\n");
  TSettings s;
  std::vector<std::string> problems;
  ReadSettingsFiles(s, files, &problems);
  EXPECT_EQ(s.NewEncoding, TEncoding::Cp932);
  EXPECT_EQ(s.NewLineBreak, TLineBreak::CrLf);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("KOI8-R"), std::string::npos);
  EXPECT_NE(problems[1].find("NEL"), std::string::npos);

  // The name shown to users is understood too.
  WriteFile(files.Int, "[File]\nEncoding=UTF-8\nLineBreak=CR+LF\n");
  s.NewLineBreak = TLineBreak::Lf;
  ReadSettingsFiles(s, files);
  EXPECT_EQ(s.NewEncoding, TEncoding::Utf8);
  EXPECT_EQ(s.NewLineBreak, TLineBreak::CrLf);
}

TEST(NewDocumentFormat, OutOfRangeValuesAreClamped) {
  TSettings s;
  s.NewEncoding = static_cast<TEncoding>(42);
  s.NewLineBreak = static_cast<TLineBreak>(-1);
  ClampSettings(s);
  EXPECT_EQ(s.NewEncoding, TEncoding::Cp932);
  EXPECT_EQ(s.NewLineBreak, TLineBreak::CrLf);
  s.NewEncoding = TEncoding::Utf16Be;
  s.NewLineBreak = TLineBreak::Cr;
  ClampSettings(s);
  EXPECT_EQ(s.NewEncoding, TEncoding::Utf16Be);
  EXPECT_EQ(s.NewLineBreak, TLineBreak::Cr);
}

} // namespace
} // namespace ze
