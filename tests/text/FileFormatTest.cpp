// Files in other encodings and line-break styles through the text facade:
// detected on loading, converted to CP932 inside, written back exactly.
#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "tests/platform/IconvHelper.h"
#include "tests/support/FakeView.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::FakeView;
using test::Iconv;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct FileFormat : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};
  TempDir dir;

  // Loads bytes from a file and saves them unedited to another.
  std::string RoundTrip(const std::string& bytes) {
    WriteFile(dir.File("in"), bytes);
    lines.LoadFromFile(dir.File("in"));
    lines.SaveToFile(dir.File("out"));
    return ReadFile(dir.File("out"));
  }
};

TEST_F(FileFormat, EveryEncodingAndLineBreakComesBackByteForByte) {
  const std::string text = "一行目 〜 ｶﾅ\n二行目 − ‖\n\nlast";
  for (const char* lb : {"\n", "\r\n", "\r"}) {
    std::string utf8;
    for (char c : text) utf8 += c == '\n' ? std::string(lb) : std::string(1, c);
    struct Case {
      const char* iconvName;
      TEncoding e;
      std::string prefix;
    } cases[] = {{"UTF-8", TEncoding::Utf8, ""},
                 {"UTF-8", TEncoding::Utf8Bom, "\xEF\xBB\xBF"},
                 {"CP932", TEncoding::Cp932, ""},
                 {"EUC-JP", TEncoding::EucJp, ""},
                 {"UTF-16LE", TEncoding::Utf16Le, "\xFF\xFE"},
                 {"UTF-16BE", TEncoding::Utf16Be, "\xFE\xFF"}};
    for (const Case& c : cases) {
      bool ok;
      std::string bytes = c.prefix + Iconv(c.iconvName, "UTF-8", utf8, ok);
      if (!ok) continue; // EUC-JP has no half-width ｶ? it has: 0x8E
      std::string back = RoundTrip(bytes);
      EXPECT_EQ(lines.FileFormat().Encoding, c.e) << EncodingName(c.e);
      EXPECT_TRUE(lines.FileFormat().Exact) << lines.FileFormat().Problem;
      EXPECT_TRUE(back == bytes) << EncodingName(c.e) << " with " << (lb[0] == '\r' ? "CR" : "LF");
      // Inside, the text is CP932 with one row per line.
      EXPECT_EQ(lines.Count(), 4);
      EXPECT_EQ(lines[0].str(), Iconv("CP932", "UTF-8", "一行目 〜 ｶﾅ"));
    }
  }
}

TEST_F(FileFormat, MixedBreaksAreWrittenInTheMostFrequentStyle) {
  EXPECT_EQ(RoundTrip("a\nb\nc\r\nd"), "a\nb\nc\nd");
  EXPECT_TRUE(lines.FileFormat().MixedLineBreaks);
  EXPECT_EQ(lines.FileFormat().LineBreak, TLineBreak::Lf);
  EXPECT_EQ(RoundTrip("a\r\nb\r\n"), "a\r\nb\r\n");
  EXPECT_FALSE(lines.FileFormat().MixedLineBreaks);
}

TEST_F(FileFormat, AsciiTakesTheDefaultEncodingAndNewTextKeepsTheFormat) {
  lines.SetDefaultEncoding(TEncoding::Utf8);
  RoundTrip("plain\n");
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Utf8);
  // Typed Japanese is written in the document's encoding and line break.
  lines.Add(Iconv("CP932", "UTF-8", "日本語"));
  lines.SaveToFile(dir.File("out"));
  EXPECT_EQ(ReadFile(dir.File("out")), "plain\n日本語\n");
}

TEST_F(FileFormat, TextCp932CannotHoldIsReportedNotHidden) {
  WriteFile(dir.File("emoji"), "ok\nsmile 😀 here\n");
  lines.LoadFromFile(dir.File("emoji"));
  EXPECT_FALSE(lines.FileFormat().Exact);
  EXPECT_NE(lines.FileFormat().Problem.find("2 行"), std::string::npos) << lines.FileFormat().Problem;
  EXPECT_NE(lines[1].str().find('?'), std::string::npos); // shown, not dropped
}

TEST_F(FileFormat, SavingInAnEncodingThatCannotHoldACharacterWritesNothing) {
  WriteFile(dir.File("doc"), Iconv("EUC-JP", "UTF-8", "漢字\nかな\n"));
  lines.LoadFromFile(dir.File("doc"));
  ASSERT_EQ(lines.FileFormat().Encoding, TEncoding::EucJp);
  lines.Add("\x87\x40"); // ① is not in EUC-JP's JIS X 0208
  const std::string before = ReadFile(dir.File("doc"));
  try {
    lines.SaveToFile(dir.File("doc"));
    FAIL() << "saved a character EUC-JP cannot hold";
  } catch (const EFileError& e) {
    std::string what = e.what();
    EXPECT_NE(what.find("3 行目"), std::string::npos) << what;
    EXPECT_NE(what.find(dir.File("doc")), std::string::npos) << what;
  }
  EXPECT_EQ(ReadFile(dir.File("doc")), before);
}

TEST_F(FileFormat, ReadingInAChosenEncoding) {
  std::string euc = Iconv("EUC-JP", "UTF-8", "テキスト\n");
  WriteFile(dir.File("f"), euc);
  lines.LoadFromFileAs(dir.File("f"), TEncoding::Cp932);
  EXPECT_EQ(lines.FileFormat().Encoding, TEncoding::Cp932);
  EXPECT_EQ(lines[0].str(), euc.substr(0, euc.size() - 1)); // the bytes as they are
  lines.LoadFromFileAs(dir.File("f"), TEncoding::EucJp);
  EXPECT_EQ(lines[0].str(), Iconv("CP932", "UTF-8", "テキスト"));
}

} // namespace
} // namespace ze
