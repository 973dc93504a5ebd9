#include "app/commands/Templates.h"
#include "tests/commands/CommandsFixture.h"

namespace ze {
namespace {

constexpr TShiftState kCS = ssShift | ssCtrl;

struct Templates : test::CommandsFixture {
  TTemplateSettings settings;
  bool Key(int key, TShiftState shift = kCS) { return TemplateKeyDown(&e, key, shift, settings); }
  std::string Sp(int n) { return std::string(size_t(n), ' '); }
};

TEST(TemplateWords, ThreeLetterCasesAndNone) {
  EXPECT_EQ(TemplateWord("array[] of ;", 1), "array[] of ;");
  EXPECT_EQ(TemplateWord("array[] of ;", 2), "ARRAY[] OF ;");
  EXPECT_EQ(TemplateWord("array[] of ;", 3), "Array[] Of ;");
  EXPECT_EQ(TemplateWord("run();", 3), "Run();");
  EXPECT_EQ(TemplateWord("end;", 0), "");
  EXPECT_EQ(TemplateWord("end;", 4), "");
  EXPECT_EQ(TemplateWord("end;", -7), "");
}

TEST(TemplateWords, ElevenSeparators) {
  const char* expected[] = {": ", " : ", ". ", " ", "  ", "- ", " - ", "_ ", " _ ", "/ ", " / "};
  for (int i = 0; i <= 10; ++i)
    EXPECT_EQ(ListSeparator(i), expected[i]) << i;
  EXPECT_EQ(ListSeparator(11), "");
  EXPECT_EQ(ListSeparator(-1), "");
}

TEST_F(Templates, OneLineTemplatesPutTheCaretInside) {
  struct Case {
    int key;
    int reserve;
    std::string text;
    int step;
  } cases[] = {
      {'A', 1, "array[] of ;", 6}, {'A', 2, "ARRAY[] OF ;", 6}, {'A', 3, "Array[] Of ;", 6},
      {'D', 1, "downto  do", 7},   {'I', 2, "IF  THEN", 3},     {'R', 3, "Run();", 4},
      {'W', 1, "while  do", 6},
  };
  for (const Case& c : cases) {
    Load("x := |");
    e.SetRowCol(0, 5);
    settings.ReserveType = c.reserve;
    EXPECT_TRUE(Key(c.key));
    EXPECT_EQ(Text(), "x := " + c.text + "|") << char(c.key);
    EXPECT_EQ(e.Row(), 0);
    EXPECT_EQ(e.Col(), 5 + c.step) << char(c.key);
  }
}

TEST_F(Templates, BeginBlockUnderAnIndentedRowUsesItsIndent) {
  const int T = e.TabSpaceCount();
  Load("    foobar|");
  e.SetRowCol(0, 8);
  EXPECT_TRUE(Key('B'));
  EXPECT_EQ(Text(), "    foobbegin|" + Sp(4 + T) + "|    end;ar|");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 4 + T);
}

TEST_F(Templates, BeginBlockAtColumnOneAlwaysUsesOne) {
  const int T = e.TabSpaceCount();
  Load("    |");
  e.SetRowCol(0, 1);
  EXPECT_TRUE(Key('B'));
  EXPECT_EQ(Text(), " begin|" + Sp(1 + T) + "| end;   |");
  EXPECT_EQ(e.Col(), 1 + T);
}

TEST_F(Templates, IndentationUsesTheEditorsTabWidthNeverAZeroOne) {
  // A settings file may hold Tab Count 0; the editor keeps 2 to 8.
  e.Caret()->SetTabSpaceCount(0);
  const int T = e.TabSpaceCount();
  ASSERT_GE(T, 2);
  Load("\tfoobar|");
  e.SetRowCol(0, 8); // the tab covers T columns; column 8 is inside "foobar"
  const int indent = T;
  EXPECT_TRUE(Key('B'));
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), indent + T);
  const std::string rows = Text();
  EXPECT_NE(rows.find("begin|" + Sp(indent + T) + "|" + Sp(indent) + "end;"), std::string::npos)
      << rows;
  e.Caret()->SetTabSpaceCount(-4);
  EXPECT_GE(e.TabSpaceCount(), 2);
}

TEST_F(Templates, BlockTemplatesAndTheirCarets) {
  const int T = e.TabSpaceCount();
  Load("  |");
  e.SetRowCol(0, 2);
  Key('C');
  EXPECT_EQ(Text(), "  case  of|" + Sp(2 + T) + "|  end;|");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 7);

  Load("|");
  settings.ReserveType = 2;
  Key('F');
  EXPECT_EQ(Text(), "FUNCTION : ;|BEGIN|" + Sp(T) + "|END;|");
  EXPECT_EQ(e.Col(), 9);

  Load("|");
  settings.ReserveType = 3;
  Key('P');
  EXPECT_EQ(Text(), "Procedure ;|Begin|" + Sp(T) + "|End;|");
  EXPECT_EQ(e.Col(), 10);

  Load("  |");
  e.SetRowCol(0, 2);
  settings.ReserveType = 1;
  Key('T');
  EXPECT_EQ(Text(), "  type|" + Sp(2 + T) + "|  end;|");
  EXPECT_EQ(e.Row(), 1);
  EXPECT_EQ(e.Col(), 2 + T);
  // One undo step takes a template back.
  e.Undo();
  EXPECT_EQ(Text(), "  |");
}

TEST_F(Templates, WithoutALetterCaseOnlyTheBlockShapeIsInserted) {
  const int T = e.TabSpaceCount();
  settings.ReserveType = 0;
  Load("|");
  EXPECT_TRUE(Key('B'));
  EXPECT_EQ(Text(), "|" + Sp(T) + "||");
  Load("|");
  Key('A');
  EXPECT_EQ(Text(), "|");
}

TEST_F(Templates, ATemplateReplacesTheSelection) {
  Load("x = old;|");
  e.SetRowCol(0, 4);
  e.StartSelection();
  e.SetRowCol(0, 7);
  e.ExtendSelection();
  Key('R');
  EXPECT_EQ(Text(), "x = run();;|");
  EXPECT_EQ(e.Col(), 8);
}

TEST_F(Templates, NumberedListsFromOne) {
  settings.NumberType = 1;
  Load("|");
  EXPECT_TRUE(Key('3'));
  EXPECT_EQ(Text(), "1: |2: |3: |");
  EXPECT_EQ(e.Row(), 0);
  EXPECT_EQ(e.Col(), 3);
  Load("|");
  Key('0');
  EXPECT_EQ(Text(), " 1: | 2: | 3: | 4: | 5: | 6: | 7: | 8: | 9: |10: |");
  EXPECT_EQ(e.Col(), 4);
}

TEST_F(Templates, NumberedListsFromZero) {
  settings.NumberType = 2;
  Load("|");
  Key('3');
  EXPECT_EQ(Text(), "0: |1: |2: |3: |");
  EXPECT_EQ(e.Col(), 3);
  Load("|");
  Key('0');
  EXPECT_EQ(Text(), "0: |");
}

TEST_F(Templates, ListSeparatorsAndColumns) {
  settings.SeparateType = 6; // " - "
  Load("ab|next|");
  e.SetRowCol(0, 2);
  Key('2');
  // Later lines start at the list's column on rows of their own.
  EXPECT_EQ(Text(), "ab1 - |  2 - |next|");
  EXPECT_EQ(e.Col(), 2 + 4);
  settings.SeparateType = 99; // no separator: the caret after the number
  Load("|");
  Key('2');
  EXPECT_EQ(Text(), "1|2|");
  EXPECT_EQ(e.Col(), 1);
}

TEST_F(Templates, TheRowAfterAFinalLineBreakTakesTemplatesAndLists) {
  const int T = e.TabSpaceCount();
  Load("x|");
  e.SetRowCol(1, 0);
  ASSERT_EQ(e.Row(), 1);
  EXPECT_TRUE(Key('B'));
  EXPECT_EQ(Text(), "x|begin|" + Sp(T) + "|end;");
  EXPECT_EQ(e.Row(), 2);
  Load("x|");
  e.SetRowCol(1, 0);
  EXPECT_TRUE(Key('2'));
  EXPECT_EQ(Text(), "x|1: |2: ");
}

TEST_F(Templates, ListsOnlyAtOrAfterTheRowEnd) {
  Load("abc|");
  e.SetRowCol(0, 1);
  EXPECT_TRUE(Key('3')); // taken, so the editor does not act on it either
  EXPECT_EQ(Text(), "abc|");
  EXPECT_FALSE(e.CanUndo());
}

TEST_F(Templates, KeysThatAreNotTemplateKeys) {
  Load("|");
  EXPECT_FALSE(Key('A', kCS | ssAlt));
  EXPECT_FALSE(Key('A', ssCtrl));
  EXPECT_FALSE(Key('Z'));
  settings.ReserveType = 4;
  EXPECT_FALSE(Key('A'));
  EXPECT_EQ(Text(), "|");
  EXPECT_TRUE(Key('3')); // lists stay on
  EXPECT_EQ(Text(), "1: |2: |3: |");
  settings.NumberType = 0;
  Load("|");
  EXPECT_FALSE(Key('3'));
  EXPECT_EQ(Text(), "|");
}

TEST_F(Templates, NothingWithWordWrapOrReadOnly) {
  Load("|");
  settings.WrapFlag = true;
  EXPECT_FALSE(Key('B'));
  EXPECT_FALSE(Key('3'));
  settings.WrapFlag = false;
  e.SetWordWrap(true);
  EXPECT_FALSE(Key('B'));
  e.SetWordWrap(false);
  e.SetReadOnly(true);
  EXPECT_FALSE(Key('B'));
  EXPECT_FALSE(Key('3'));
  EXPECT_EQ(Text(), "|");
  EXPECT_FALSE(TemplateKeyDown(nullptr, 'B', kCS, settings));
}

} // namespace
} // namespace ze
