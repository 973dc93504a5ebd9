// The settings files: names, round trips, the shipped defaults, clamping,
// damaged and missing files, and the per-user folder when the program's
// folder cannot be written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings/ColorNames.h"
#include "app/settings/SettingsFiles.h"
#include "platform/IniFile.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TSettings Changed() {
  TSettings s;
  s.Window.Rect = {12, 34, 1000, 700};
  s.Window.FontName = 3;
  s.Window.FontSize = 16;
  s.Window.Bars[sbFindBar] = {2, 410};
  s.Window.Bars[sbMainBar] = {1, 5};
  s.Window.Show[swStatus] = false;
  s.Window.Show[swWindow] = false;
  s.TopSpace = 5;
  s.LeftSpace = 0;
  s.LineSpace = 3;
  s.CharacterSpace = 1;
  s.TabCount = 4;
  s.WrapCount = 120;
  s.ReserveType = 2;
  s.SeparateType = 7;
  s.NumberType = 2;
  s.DicType = 3;
  s.Background = clWhite;
  s.Tokens[stAnk] = {0x123456, clNone, true, false, true};
  s.Tokens[stHit] = {0xFF00000E, 0xFF00000D};
  s.Tokens[stMail] = {clDefault, 0x00ABCDEF, false, true, false};
  s.RetColor = 0x000001;
  s.LineCursorColor = 0xFF000018; // clInfoBk
  s.DicName[1] = "広辞苑";
  s.DicAddress[4] = "https://example.org/?q=";
  s.SameBkFlag = true;
  s.AIndentFlag = false;
  s.WrapFlag = true;
  s.RulerShow = true;
  s.CommentOutRow = false;
  return s;
}

TEST(SettingsFiles, NamesFollowTheProgram) {
  TSettingsFileSet f = SettingsFilesFor("/opt/x/Editor.exe");
  EXPECT_EQ(f.Int, "/opt/x/EditorInt.ini");
  EXPECT_EQ(f.Color, "/opt/x/EditorColor.ini");
  EXPECT_EQ(f.Bool, "/opt/x/EditorBool.ini");
  EXPECT_EQ(f.Printer, "/opt/x/Editor.ini");
  EXPECT_EQ(f.ReserveWords, "/opt/x/予約語.txt");
  TSettingsFileSet g = SettingsFilesFor("/usr/bin/ZorvaneEditor", "/home/u/.config/ZorvaneEditor");
  EXPECT_EQ(g.Int, "/home/u/.config/ZorvaneEditor/ZorvaneEditorInt.ini");
  EXPECT_EQ(g.ReserveWords, "/home/u/.config/ZorvaneEditor/予約語.txt");
}

TEST(SettingsFiles, WritingThenReadingGivesTheSameSettings) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  const TSettings s = Changed();
  WriteSettingsFiles(s, files);
  TSettings back;
  std::vector<std::string> problems;
  ReadSettingsFiles(back, files, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(back, s);

  IniFile color(files.Color);
  EXPECT_EQ(color.ReadString("BKG", "Str", ""), "clWhite");
  EXPECT_EQ(color.ReadString("Ank", "FStr", ""), "$00123456");
  EXPECT_EQ(color.ReadString("Ank", "BStr", ""), "clNone");
  EXPECT_EQ(color.ReadString("Hit", "BStr", ""), "clHighlight");
  EXPECT_EQ(color.ReadString("Mail", "FStr", ""), "clDefault");
  EXPECT_EQ(color.ReadString("LineCorsor", "FStr", ""), "clInfoBk");
  IniFile boolean(files.Bool);
  EXPECT_EQ(boolean.ReadString("Bool", "SameBkFlag", ""), "1");
  EXPECT_EQ(boolean.ReadString("Ank", "UnderL", ""), "1");
  EXPECT_FALSE(boolean.ValueExists("Select", "Bold"));
}

TEST(SettingsFiles, EverySectionInTableOrder) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteSettingsFiles(TSettings{}, files);
  EXPECT_EQ(IniFile(files.Int).ReadSections(),
            (std::vector<std::string>{"Form", "Font", "Top", "Left", "Line", "Character", "Tab",
                                      "Wrap", "Reserve", "Separate", "Number", "FontBar",
                                      "FileBar", "EditBar", "FindBar", "IndicateBar", "MainBar",
                                      "WindowBar", "Dic", "File"}));
  EXPECT_EQ(IniFile(files.Int).ReadSection("Form"),
            (std::vector<std::string>{"Top", "Left", "Width", "Height"}));
  EXPECT_EQ(IniFile(files.Color).ReadSections(),
            (std::vector<std::string>{"BKG", "Ank", "DBCS", "Comment", "Int", "Str", "Symbol",
                                      "Reserve", "Select", "Hit", "Url", "Mail", "Ret", "Eof",
                                      "LineNum", "Ruler", "LineCorsor", "Dic"}));
  EXPECT_EQ(IniFile(files.Color).ReadSection("Dic"),
            (std::vector<std::string>{"Name1", "Name2", "Name3", "Name4", "Name5", "Adder1",
                                      "Adder2", "Adder3", "Adder4", "Adder5"}));
  EXPECT_EQ(IniFile(files.Bool).ReadSections(),
            (std::vector<std::string>{"Bool", "Ank", "DBCS", "Comment", "Int", "Str", "Symbol",
                                      "Reserve", "Url", "Mail", "LineNumber", "Ruler", "LCursor",
                                      "CommentOut", "Show"}));
  EXPECT_EQ(IniFile(files.Bool).ReadSection("Show"),
            (std::vector<std::string>{"Font", "Status", "File", "Edit", "Find", "Indicate",
                                      "Window"}));
}

TEST(SettingsFiles, WritingKeepsUnrelatedLinesAndLeavesNoTemporaryFiles) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(files.Int, "; my notes\r\n[Mine]\r\nKeep=1\r\n[Tab]\r\nCount=2\r\n");
  TSettings s;
  s.TabCount = 6;
  WriteSettingsFiles(s, files);
  std::string text = ReadFile(files.Int);
  EXPECT_EQ(text.rfind("; my notes\r\n[Mine]\r\nKeep=1\r\n[Tab]\r\nCount=6\r\n", 0), 0u);
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 3);
}

TEST(SettingsFiles, TheShippedFilesHoldTheBuiltInDefaults) {
  const std::string data = ZE_DATA_DIR;
  TSettingsFileSet shipped = SettingsFilesFor(data + "/ZorvaneEditor");
  TSettings s;
  s.TabCount = 2; // anything the files do not hold would stay so
  s.DicName[0] = "x";
  std::vector<std::string> problems;
  ReadSettingsFiles(s, shipped, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(s, TSettings{});
  // Writing the defaults over a copy changes nothing.
  TempDir dir;
  TSettingsFileSet copy = SettingsFilesFor(dir.File("ZorvaneEditor"));
  for (auto [from, to] : {std::pair{shipped.Int, copy.Int}, std::pair{shipped.Color, copy.Color},
                          std::pair{shipped.Bool, copy.Bool}})
    WriteFile(to, ReadFile(from));
  WriteSettingsFiles(TSettings{}, copy);
  EXPECT_EQ(ReadFile(copy.Int), ReadFile(shipped.Int));
  EXPECT_EQ(ReadFile(copy.Color), ReadFile(shipped.Color));
  EXPECT_EQ(ReadFile(copy.Bool), ReadFile(shipped.Bool));
  EXPECT_NE(ReadFile(data + "/予約語.txt").find("while\r\n"), std::string::npos);
}

TEST(SettingsFiles, MissingFilesAndKeysKeepTheDefaults) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  TSettings s;
  ReadSettingsFiles(s, files);
  EXPECT_EQ(s, TSettings{});
  EXPECT_GT(s.Window.Rect.Width, 0);
  EXPECT_GT(s.Window.Rect.Height, 0);
  EXPECT_NE(s.Background, clNone);

  WriteFile(files.Int, "[Font]\nSize=20\n");
  WriteFile(files.Color, "[Ank]\nFStr=clRed\n");
  WriteFile(files.Bool, "[Show]\nStatus=0\n");
  ReadSettingsFiles(s, files);
  TSettings expected;
  expected.Window.FontSize = 20;
  expected.Tokens[stAnk].FStr = 0x0000FF;
  expected.Window.Show[swStatus] = false;
  EXPECT_EQ(s, expected);
}

TEST(SettingsFiles, ValuesAreClampedWhenRead) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(files.Int,
            "[Font]\nSize=3\nName=-7\n[Tab]\nCount=7\n[Wrap]\nCount=999\n[Top]\nSpace=-5\n"
            "[Left]\nSpace=500\n[Reserve]\nReserveType=9\n[Separate]\nSeparateType=-1\n"
            "[Number]\nNumberType=5\n[Dic]\nType=6\n[FileBar]\nRow=12\nPos=-99999\n");
  TSettings s;
  ReadSettingsFiles(s, files);
  EXPECT_EQ(s.Window.FontSize, 7);
  EXPECT_EQ(s.Window.FontName, -1);
  EXPECT_EQ(s.TabCount, 6);
  EXPECT_EQ(s.WrapCount, 250);
  EXPECT_EQ(s.TopSpace, 0);
  EXPECT_EQ(s.LeftSpace, 100);
  EXPECT_EQ(s.ReserveType, 4);
  EXPECT_EQ(s.SeparateType, 0);
  EXPECT_EQ(s.NumberType, 0);
  EXPECT_EQ(s.DicType, 1);
  EXPECT_EQ(s.Window.Bars[sbFileBar].Row, 3);
  EXPECT_EQ(s.Window.Bars[sbFileBar].Pos, -100);

  WriteFile(files.Int, "[Font]\nSize=31\n[Tab]\nCount=1\n[Wrap]\nCount=$10\n");
  ReadSettingsFiles(s, files);
  EXPECT_EQ(s.Window.FontSize, 30);
  EXPECT_EQ(s.TabCount, 2);
  EXPECT_EQ(s.WrapCount, 20);
}

TEST(SettingsFiles, IntegersInHexAndColoursAboveTwoToThe31) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(files.Int, "[Tab]\nCount=$4\n[Wrap]\nCount=0x64\n");
  WriteFile(files.Color,
            "[BKG]\nStr=$FF000005\n[Ank]\nFStr=CLNONE\nBStr=-16777211\n"
            "[DBCS]\nFStr=0x1FFFFFFF\nBStr=$20000000\n[Ret]\nFStr=4278190095\n");
  TSettings s;
  std::vector<std::string> problems;
  ReadSettingsFiles(s, files, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(s.TabCount, 4);
  EXPECT_EQ(s.WrapCount, 100);
  EXPECT_EQ(s.Background, 0xFF000005u);
  EXPECT_EQ(s.Tokens[stAnk].FStr, clNone);
  EXPECT_EQ(s.Tokens[stAnk].BStr, 0xFF000005u);
  EXPECT_EQ(s.Tokens[stDBCS].FStr, clNone);
  EXPECT_EQ(s.Tokens[stDBCS].BStr, clDefault);
  EXPECT_EQ(s.RetColor, 0xFF00000Fu);
}

TEST(SettingsFiles, ADamagedFileKeepsTheDefaultsAndIsReported) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(files.Int, std::string("\0\xff", 2) +
                           "[Font\nSize=99999999999999999999\n[Tab]\nCount=abc\n"
                           "[Wrap]\nCount\n=5\n[Form]\nWidth=$\nHeight=-\n[Font]\nSize=1e3\n");
  WriteFile(files.Color, "[BKG]\nStr=clRainbow\n[Ank]\nFStr=$123456789\nBStr=$12345678\n"
                         "[Hit]\nFStr=\n[Ret]\nFStr=$FF0000FF\n");
  std::filesystem::create_directory(files.Bool); // cannot be read as a file
  TSettings s;
  std::vector<std::string> problems;
  ASSERT_NO_THROW(ReadSettingsFiles(s, files, &problems));
  EXPECT_EQ(s, TSettings{});
  EXPECT_GE(problems.size(), 8u);
  bool namesTheColour = false;
  for (const std::string& p : problems)
    namesTheColour = namesTheColour || p.find("clRainbow") != std::string::npos;
  EXPECT_TRUE(namesTheColour);
}

TEST(SettingsFiles, AFailedWriteNamesTheFileAndStillWritesTheOthers) {
  TempDir dir;
  TSettingsFileSet files = SettingsFilesFor(dir.File("ZorvaneEditor"));
  WriteFile(dir.File("blocker"), "a file, not a folder");
  files.Int = dir.File("blocker/ZorvaneEditorInt.ini");
  try {
    WriteSettingsFiles(Changed(), files);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("blocker"), std::string::npos);
  }
  TSettings back;
  ReadSettingsFiles(back, files);
  EXPECT_EQ(back.Background, clWhite);
  EXPECT_FALSE(back.AIndentFlag);
}

TEST(SettingsLocation, ConfigFolderFollowsXdg) {
  EXPECT_EQ(ConfigFolder("/x/cfg", "/home/u"), "/x/cfg/ZorvaneEditor");
  EXPECT_EQ(ConfigFolder("", "/home/u"), "/home/u/.config/ZorvaneEditor");
  EXPECT_EQ(ConfigFolder("relative", "/home/u"), "/home/u/.config/ZorvaneEditor");
}

TEST(SettingsLocation, WritabilityIsTriedForReal) {
  TempDir dir;
  EXPECT_TRUE(FolderWritable(dir.Path()));
  EXPECT_FALSE(FolderWritable(dir.File("missing")));
  EXPECT_FALSE(FolderWritable("/proc"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            0);
}

TEST(SettingsLocation, AReadOnlyProgramFolderUsesTheConfigFolder) {
  TempDir dir;
  const std::string bin = dir.File("bin");
  std::filesystem::create_directory(bin);
  const std::string program = bin + "/ZorvaneEditor";
  // Shipped defaults beside the program, with a tab width of 4.
  TSettings shipped;
  shipped.TabCount = 4;
  WriteSettingsFiles(shipped, SettingsFilesFor(program));
  const std::string shippedInt = ReadFile(bin + "/ZorvaneEditorInt.ini");
  WriteFile(bin + "/予約語.txt", "if\r\n");

  const std::string config = dir.File("home/.config/ZorvaneEditor");
  TSettingsLocation loc = ChooseSettingsLocation(program, false, config);
  EXPECT_TRUE(loc.InConfigFolder);
  EXPECT_EQ(loc.Files.Int, config + "/ZorvaneEditorInt.ini");
  EXPECT_EQ(loc.Defaults.Int, bin + "/ZorvaneEditorInt.ini");
  EXPECT_EQ(ReserveWordFileToRead(loc), bin + "/予約語.txt");

  // First run: the shipped defaults.
  TSettings s = LoadSettings(loc);
  EXPECT_EQ(s.TabCount, 4);
  s.WrapCount = 100;
  WriteSettingsFiles(s, loc.Files); // creates the folder
  EXPECT_EQ(ReadFile(bin + "/ZorvaneEditorInt.ini"), shippedInt);
  TSettings again = LoadSettings(loc);
  EXPECT_EQ(again.TabCount, 4);
  EXPECT_EQ(again.WrapCount, 100);

  // A writable program folder keeps its files beside the program.
  TSettingsLocation here = ChooseSettingsLocation(program, true, config);
  EXPECT_FALSE(here.InConfigFolder);
  EXPECT_EQ(here.Files.Int, here.Defaults.Int);
}

TEST(SettingsLocation, TheEnvironmentNamesTheConfigFolder) {
  // /proc cannot be written even by root: a stand-in for an installed
  // program's folder.
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", "/x/cfg", 1);
  TSettingsLocation loc = ChooseSettingsLocation("/proc/ZorvaneEditor");
  if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(loc.InConfigFolder);
  EXPECT_EQ(loc.Files.Color, "/x/cfg/ZorvaneEditor/ZorvaneEditorColor.ini");
  EXPECT_EQ(loc.Defaults.Color, "/proc/ZorvaneEditorColor.ini");
}

TEST(SettingsLocation, InstalledDefaultsComeFromShare) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("share/ZorvaneEditor"));
  std::filesystem::create_directories(dir.File("bin"));
  WriteSettingsFiles(TSettings{}, SettingsFilesFor(dir.File("share/ZorvaneEditor/ZorvaneEditor")));
  EXPECT_EQ(DefaultsFolder(dir.File("bin/ZorvaneEditor")), dir.File("bin/../share/ZorvaneEditor"));
  EXPECT_EQ(DefaultsFolder(dir.File("share/ZorvaneEditor/ZorvaneEditor")),
            dir.File("share/ZorvaneEditor"));
}

} // namespace
} // namespace ze
