#include <gtest/gtest.h>

#include "tests/support/FakeView.h"
#include "tests/support/Rows.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

using test::FakeView;
using test::ReadFile;
using test::Repeat;
using test::RowEnds;
using test::RowTexts;
using test::TempDir;
using test::WriteFile;

struct Lines : ::testing::Test {
  std::unique_ptr<TEditorScreenStrings> store = Create<TEditorScreenStrings>();
  FakeView view{*store};
  TEditorStrings lines{store.get(), &view};
  TempDir dir;

  std::string Load(const std::string& bytes) {
    WriteFile(dir.File("in.txt"), bytes);
    lines.LoadFromFile(dir.File("in.txt"));
    return lines.Text().str();
  }
};

TEST_F(Lines, LoadNormalisesLineBreaksAndKeepsEveryOtherByte) {
  EXPECT_EQ(Load("a\r\nb\nc\rd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(RowEnds(*store), "LLLE");
  EXPECT_EQ(Load("x\r\n"), "x\r\n");
  EXPECT_EQ(RowEnds(*store), "L");
  EXPECT_EQ(Load(""), "");
  EXPECT_EQ(store->Count(), 0);
  EXPECT_EQ(Load("\r\n\r\n"), "\r\n\r\n");
  EXPECT_EQ(Load("\n\r"), "\r\n\r\n"); // LF, then a lone CR: two line breaks
  EXPECT_EQ(Load(std::string("a\0b\r\n\0\r\n", 8)), std::string("a\0b\r\n\0\r\n", 8));
  EXPECT_EQ(Load("\x82\xA0\x0D\x0A\x8A\xBF"), "\x82\xA0\r\n\x8A\xBF");
}

TEST_F(Lines, ByteTwentySixIsAnOrdinaryByte) {
  // The old end-of-file mark must not cut the text: what follows it was
  // lost on the next save.
  EXPECT_EQ(Load("line1\r\nbefore\x1A" "after\r\nline3\r\n"),
            "line1\r\nbefore\x1A" "after\r\nline3\r\n");
  EXPECT_EQ(RowEnds(*store), "LLL");
  EXPECT_EQ(Load("abc\r\n\x1A"), "abc\r\n\x1A");
  EXPECT_EQ(RowEnds(*store), "LE");
  EXPECT_EQ(Load("\x1A\x1A\n\x1A"), "\x1A\x1A\r\n\x1A");
}

TEST_F(Lines, CrLfSplitAcrossTheReadBlockIsOneLineBreak) {
  for (size_t crAt : {8191u, 8192u, (1u << 20) - 1, 1u << 20, (2u << 20) - 1}) {
    std::string text = std::string(crAt, 'q') + "\r\n" + "tail\r\n";
    EXPECT_TRUE(Load(text) == text) << crAt;
    EXPECT_EQ(store->Count(), 2) << crAt;
    // A lone CR at the block end, then a line: two rows, not one.
    text = std::string(crAt, 'q') + "\r" + "tail";
    EXPECT_EQ(Load(text).size(), crAt + 6) << crAt;
    EXPECT_EQ(RowEnds(*store), "LE") << crAt;
  }
  // A line longer than several blocks, ending exactly at a block end.
  std::string longLine = std::string(3u << 20, 'z');
  EXPECT_TRUE(Load(longLine) == longLine);
  EXPECT_EQ(RowEnds(*store), "E");
}

TEST_F(Lines, LoadingAMissingFileNamesItAndKeepsTheText) {
  lines.SetText("old\r\ntext");
  try {
    lines.LoadFromFile(dir.File("nope.txt"));
    FAIL();
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find("nope.txt"), std::string::npos);
  }
  EXPECT_EQ(lines.Text(), "old\r\ntext");
  EXPECT_EQ(RowEnds(*store), "LE");
}

TEST_F(Lines, SaveWritesTheTextByteForByteAndSafely) {
  std::string f = dir.File("out.txt");
  WriteFile(f, "previous");
  Load("one\ntwo\r\nthree");
  lines.SaveToFile(f);
  EXPECT_EQ(ReadFile(f), "one\r\ntwo\r\nthree");
  store->SetWordWrap(true);
  store->WrapOption()->SetWrapByte(20);
  store->ReplaceText(0, 1, Repeat("long ", 10) + "\r\n");
  lines.SaveToFile(f);
  EXPECT_EQ(ReadFile(f), Repeat("long ", 10) + "\r\ntwo\r\nthree");
  EXPECT_THROW(lines.SaveToFile(dir.File("missing/dir.txt")), EFileError);
  EXPECT_EQ(ReadFile(f), Repeat("long ", 10) + "\r\ntwo\r\nthree");
}

TEST_F(Lines, LoadWithWordWrapWrapsAndSeesLogicalLines) {
  store->SetWordWrap(true);
  Load(Repeat("a", 170) + "\r\nb\r\n");
  EXPECT_EQ(RowEnds(*store), "WWLL");
  EXPECT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Get(0), Repeat("a", 170));
  EXPECT_EQ(lines.Get(1), "b");
  EXPECT_EQ(lines.FirstRowOfLogicalLine(1), 3);
  EXPECT_THROW(lines.Get(2), EStringListError);
  lines.Put(0, Repeat("c", 250)); // more rows, same number of lines
  EXPECT_EQ(lines.Count(), 2);
  EXPECT_EQ(store->Count(), 5);
  lines.Delete(0);
  EXPECT_EQ(lines.Text(), "b\r\n");
}

TEST_F(Lines, AddJoinsOrAppendsByTheLastLineBreak) {
  lines.SetText("a\r\nb");
  EXPECT_EQ(lines.Add("c"), 2);
  EXPECT_EQ(lines.Text(), "a\r\nb\r\nc");
  EXPECT_EQ(RowEnds(*store), "LLE");
  lines.SetText("a\r\n");
  lines.Add("c");
  EXPECT_EQ(lines.Text(), "a\r\nc\r\n");
  lines.Clear();
  lines.Add("first");
  EXPECT_EQ(lines.Text(), "first\r\n");
}

TEST_F(Lines, InsertPutDeletePlaceTheCaretAndStayBalanced) {
  lines.SetText("a\r\nb\r\n");
  lines.Insert(1, "new");
  EXPECT_EQ(lines.Text(), "a\r\nnew\r\nb\r\n");
  EXPECT_EQ(view.row, 2); // after the inserted text
  EXPECT_EQ(view.col, 0);
  lines.Put(0, "A");
  EXPECT_EQ(lines.Text(), "A\r\nnew\r\nb\r\n");
  lines.Delete(1);
  EXPECT_EQ(lines.Text(), "A\r\nb\r\n");
  EXPECT_EQ(view.row, 1);
  lines.Insert(2, "end"); // at the count: same as Add
  EXPECT_EQ(lines.Text(), "A\r\nb\r\nend\r\n");
  EXPECT_THROW(lines.Insert(5, "x"), EStringListError);
  EXPECT_THROW(lines.Delete(3), EStringListError);
  EXPECT_EQ(view.caretDepth, 0);
  EXPECT_GE(view.selectionCancels, 4);
}

TEST_F(Lines, SetTextEndsWithoutAnEmptyRow) {
  lines.SetText("x\r\ny\r\n");
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(RowEnds(*store), "LL");
  lines.SetText("x\r\ny");
  EXPECT_EQ(RowEnds(*store), "LE");
  EXPECT_FALSE(store->UndoObj()->CanUndo());
}

TEST_F(Lines, UpdateBracketsReachTheEditorOnce) {
  lines.BeginUpdate();
  lines.BeginUpdate();
  EXPECT_EQ(view.bulkDepth, 1);
  lines.Add("a");
  lines.EndUpdate();
  EXPECT_EQ(view.bulkDepth, 1);
  lines.EndUpdate();
  EXPECT_EQ(view.bulkDepth, 0);
  EXPECT_GT(view.fullUpdates, 0);
}

TEST_F(Lines, StreamedStringsJoinWrappedRows) {
  store->SetWordWrap(true);
  lines.SetText(Repeat("s", 100) + "\r\nt");
  EXPECT_EQ(lines.StreamedStrings(), (std::vector<ByteString>{Repeat("s", 100), "t"}));
  lines.ReadStreamedStrings({"p", "q"});
  EXPECT_EQ(RowTexts(*store), (std::vector<std::string>{"p", "q"}));
  EXPECT_FALSE(store->UndoObj()->CanUndo());
}

TEST_F(Lines, FiftyMegabyteRoundTrip) {
  std::string text;
  text.reserve(50u << 20);
  const char* pieces[] = {"begin\r\n", "\x82\xA0\x82\xA2\x8A\xBF\n", "\tx := 1;\r", "\xB1\xB2\xB3\r\n"};
  for (size_t i = 0; text.size() < (50u << 20); ++i) text += pieces[i % 4];
  text += "no final break";
  std::string expected;
  expected.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      expected += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      expected += "\r\n";
    } else {
      expected += text[i];
    }
  }
  EXPECT_TRUE(Load(text) == expected);
  std::string f = dir.File("big-out.txt");
  lines.SaveToFile(f);
  EXPECT_TRUE(ReadFile(f) == expected);
}

} // namespace
} // namespace ze
