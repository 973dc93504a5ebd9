#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(IniFile, FindsSectionsAndKeysWithoutRegardToCaseOrBlanks) {
  TempDir dir;
  WriteFile(dir.File("a.ini"), "; comment\r\n[Editor]\r\n  Font Name = IPAGothic  \r\nsize=12\r\n"
                               "Quoted=\"  spaced  \"\r\nsize=99\r\n");
  IniFile ini(dir.File("a.ini"));
  EXPECT_EQ(ini.ReadString("EDITOR", "font name", "x"), "IPAGothic");
  EXPECT_EQ(ini.ReadInteger("editor", "SIZE", 0), 12); // first duplicate wins
  EXPECT_EQ(ini.ReadString("Editor", "Quoted", ""), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Editor", "missing", "def"), "def");
  EXPECT_EQ(ini.ReadString("Nowhere", "size", "def"), "def");
  EXPECT_FALSE(ini.ValueExists("Editor", "; comment"));
}

TEST(IniFile, ReadIntegerAcceptsDecimalAndHexAndFallsBackOnGarbage) {
  TempDir dir;
  WriteFile(dir.File("n.ini"), "[N]\na=-42\nb=0x1F\nc=$FF000005\nd=12abc\ne=\n");
  IniFile ini(dir.File("n.ini"));
  EXPECT_EQ(ini.ReadInteger("N", "a", 0), -42);
  EXPECT_EQ(ini.ReadInteger("N", "b", 0), 31);
  EXPECT_EQ(static_cast<uint32_t>(ini.ReadInteger("N", "c", 0)), 0xFF000005u);
  EXPECT_EQ(ini.ReadInteger("N", "d", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "e", 8), 8);
}

TEST(IniFile, WritingKeepsOrderCommentsAndUntouchedLines) {
  TempDir dir;
  std::string f = dir.File("w.ini");
  WriteFile(f, "; keep me\r\n[One]\r\na=1\r\nb=2\r\n\r\n[Two]\r\nz=9\r\n");
  {
    IniFile ini(f);
    ini.WriteString("one", "B", "20");  // replaced in place, key spelling kept as given
    ini.WriteString("One", "c", "3");   // appended after the last key of the section
    ini.WriteString("Three", "x", "y"); // new section at the end
    ini.DeleteKey("Two", "z");
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadFile(f), "; keep me\r\n[One]\r\na=1\r\nB=20\r\nc=3\r\n\r\n[Two]\r\n\r\n[Three]\r\nx=y\r\n");
}

TEST(IniFile, JapaneseValuesRoundTripByteForByte) {
  TempDir dir;
  std::string f = dir.File("jp.ini");
  std::string value = "\x97\x5C\x96\xF1\x8C\xEA \x83\x5C\x83\x74\x83\x67"; // "予約語 ソフト"
  {
    IniFile ini(f);
    ini.WriteString("\x90\xDD\x92\xE8", "Word", value); // section "設定"
    ini.UpdateFile();
  }
  IniFile again(f);
  EXPECT_EQ(again.ReadString("\x90\xDD\x92\xE8", "word", ""), value);
}

TEST(IniFile, TrailByteThatLooksLikeALetterIsNotCaseFolded) {
  TempDir dir;
  std::string f = dir.File("t.ini");
  IniFile ini(f);
  ini.WriteString("S", "\x83\x41", "upper"); // "ア": trail byte 'A'
  EXPECT_EQ(ini.ReadString("S", "\x83\x41", ""), "upper");
  EXPECT_EQ(ini.ReadString("S", "\x83\x61", "none"), "none"); // "ヂ" is another character
}

TEST(IniFile, EraseSectionAndSectionLists) {
  TempDir dir;
  std::string f = dir.File("e.ini");
  WriteFile(f, "[A]\nk=1\nj=2\n[B]\nk=2\n");
  IniFile ini(f);
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"k", "j"}));
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(f), "[B]\nk=2\n"); // LF files stay LF
}

TEST(IniFile, PrivateProfileCallsWriteThrough) {
  TempDir dir;
  std::string f = dir.File("p.ini");
  WritePrivateProfileString("Sec", "Key", "Value", f);
  EXPECT_EQ(GetPrivateProfileString("sec", "key", "", f), "Value");
  WritePrivateProfileString("Sec", "Num", "17", f);
  EXPECT_EQ(GetPrivateProfileInt("Sec", "Num", 0, f), 17);
  WritePrivateProfileString("Sec", "Key", nullptr, f);
  EXPECT_EQ(GetPrivateProfileString("Sec", "Key", "gone", f), "gone");
  WritePrivateProfileString("Sec", nullptr, nullptr, f);
  EXPECT_EQ(GetPrivateProfileInt("Sec", "Num", -1, f), -1);
}

TEST(IniFile, FailedWriteLeavesTheOldFile) {
  TempDir dir;
  IniFile ini(dir.File("missing-dir/x.ini"));
  ini.WriteString("A", "b", "c");
  EXPECT_THROW(ini.UpdateFile(), EFileError);
}

TEST(IniFile, AValueReadCanBeWrittenBackUnchanged) {
  IniFile ini("");
  ini.SetText("[S]\r\nblank=\"  two blanks  \"\r\nquoted=\"'single'\"\r\nplain=x\r\n");
  for (const char* key : {"blank", "quoted", "plain"}) {
    std::string v = ini.ReadString("S", key, "");
    ini.WriteString("S", std::string(key) + "2", QuotedIniValue(v));
  }
  // Blanks at the ends need no help from the caller.
  ini.WriteString("S", "blank3", " lead");
  IniFile again("");
  again.SetText(ini.Text());
  EXPECT_EQ(again.ReadString("S", "blank2", ""), "  two blanks  ");
  EXPECT_EQ(again.ReadString("S", "quoted2", ""), "'single'");
  EXPECT_EQ(again.ReadString("S", "plain2", ""), "x");
  EXPECT_EQ(again.ReadString("S", "blank3", ""), " lead");
  EXPECT_NE(ini.Text().find("plain2=x\r\n"), std::string::npos); // no quotes it does not need
  // A caller's own quotes are kept as Windows keeps them.
  ini.WriteString("S", "own", "\"1\"");
  again.SetText(ini.Text());
  EXPECT_EQ(again.ReadString("S", "own", ""), "1");
}

TEST(IniFile, WritingCannotAddLinesNobodyAskedFor) {
  TempDir dir;
  std::string f = dir.File("w.ini");
  WriteFile(f, "[S]\r\na=1\r\n");
  {
    IniFile ini(f);
    EXPECT_THROW(ini.WriteString("S", "a", "1\r\n[Evil]\r\nb=2"), Exception);
    EXPECT_THROW(ini.WriteString("S", "k=v", "1"), Exception);
    EXPECT_THROW(ini.WriteString("S", "[T]", "1"), Exception);
    EXPECT_THROW(ini.WriteString("S", ";k", "1"), Exception);
    EXPECT_THROW(ini.WriteString("S\nT", "k", "1"), Exception);
    EXPECT_THROW(ini.WriteString("S]x", "k", "1"), Exception);
    try {
      ini.WriteString("S", "a", "x\ny");
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("w.ini"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(ini.Modified());
  }
  EXPECT_EQ(ReadFile(f), "[S]\r\na=1\r\n");
}

TEST(IniFile, AFileWithoutANameLivesInMemory) {
  IniFile ini("");
  ini.SetText("[A]\nx=1\n");
  ini.WriteString("A", "y", "2");
  EXPECT_EQ(ini.Text(), "[A]\nx=1\ny=2\n"); // the file's own line ends
  EXPECT_NO_THROW(ini.UpdateFile());         // nothing to write to
  EXPECT_TRUE(ini.Modified());
}

} // namespace
} // namespace ze
