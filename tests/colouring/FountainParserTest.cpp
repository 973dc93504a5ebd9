#include "colouring/FountainParser.h"

#include <gtest/gtest.h>

#include "colouring/EditorFountain.h"
#include "tests/colouring/TokenSupport.h"

namespace ze {
namespace {

using test::Fresh;
using test::Rows;
using test::Sjis;
using test::Tok;
using test::Tokenize;

// The base scanner, through an editor fountain with every extra off.
class BaseScanner : public test::ScannerTest {};

TEST_F(BaseScanner, Numbers) {
  EXPECT_EQ(Scan("12.5e+3"), (std::vector<Tok>{{ttFloat, 0, 7}}));
  EXPECT_EQ(Scan("12.x"), (std::vector<Tok>{{ttFloat, 0, 2}, {ttSymbol, 2, 1}, {ttAnk, 3, 1}}));
  EXPECT_EQ(Scan("12Ex"), (std::vector<Tok>{{ttFloat, 0, 3}, {ttAnk, 3, 1}}));
  EXPECT_EQ(Scan("12e+"), (std::vector<Tok>{{ttFloat, 0, 3}, {ttSymbol, 3, 1}}));
  EXPECT_EQ(Scan("1.e-5"), (std::vector<Tok>{{ttFloat, 0, 5}}));
  EXPECT_EQ(Scan("3.14.15"),
            (std::vector<Tok>{{ttFloat, 0, 4}, {ttSymbol, 4, 1}, {ttInteger, 5, 2}}));
  EXPECT_EQ(Scan("007 9"), (std::vector<Tok>{{ttInteger, 0, 3}, {ttInteger, 4, 1}}));
  EXPECT_EQ(Scan("5."), (std::vector<Tok>{{ttFloat, 0, 1}, {ttSymbol, 1, 1}}));
}

TEST_F(BaseScanner, WordsSymbolsTabsAndBlanks) {
  EXPECT_EQ(Scan("_ab12 x"), (std::vector<Tok>{{ttAnk, 0, 5}, {ttAnk, 6, 1}}));
  EXPECT_EQ(Scan("\t\t"), (std::vector<Tok>{{ttTab, 0, 1}, {ttTab, 1, 1}}));
  // CR, LF, space and control bytes other than TAB are skipped.
  EXPECT_EQ(Scan(" a\r\n\x01\x1F"
                 "b"),
            (std::vector<Tok>{{ttAnk, 1, 1}, {ttAnk, 6, 1}}));
  EXPECT_EQ(Scan("+=\x7F\x80\xA0\xFD\xFF"), (std::vector<Tok>{{ttSymbol, 0, 1},
                                                              {ttSymbol, 1, 1},
                                                              {ttSymbol, 2, 1},
                                                              {ttSymbol, 3, 1},
                                                              {ttSymbol, 4, 1},
                                                              {ttSymbol, 5, 1},
                                                              {ttSymbol, 6, 1}}));
  EXPECT_TRUE(Scan("").empty());
  EXPECT_TRUE(Scan("   ").empty());
}

TEST_F(BaseScanner, TokenTextAndEndRepeats) {
  p->NewData("  ab+", Fresh());
  EXPECT_EQ(p->NextToken(), ttAnk);
  EXPECT_EQ(p->TokenString(), "ab");
  EXPECT_EQ(p->SourcePos(), 2);
  EXPECT_EQ(p->NextToken(), ttSymbol);
  EXPECT_EQ(p->TokenString(), "+");
  EXPECT_EQ(p->NextToken(), ttEnd);
  EXPECT_EQ(p->SourcePos(), 5);
  EXPECT_EQ(p->TokenLength(), 0);
  EXPECT_EQ(p->NextToken(), ttEnd);
}

TEST_F(BaseScanner, DoubleByteRuns) {
  EXPECT_EQ(Scan(Sjis("ＡＢＣ１２３")), (std::vector<Tok>{{ttDbAlpha, 0, 6}, {ttDbDigit, 6, 6}}));
  EXPECT_EQ(Scan(Sjis("１，０００．５")), (std::vector<Tok>{{ttDbDigit, 0, 14}}));
  EXPECT_EQ(Scan(Sjis("ａｂＺ")), (std::vector<Tok>{{ttDbAlpha, 0, 6}}));
  EXPECT_EQ(Scan(Sjis("カタカナー")), (std::vector<Tok>{{ttKatakana, 0, 10}}));
  EXPECT_EQ(Scan(Sjis("ひらがなー－")), (std::vector<Tok>{{ttHiragana, 0, 12}}));
  EXPECT_EQ(Scan(Sjis("漢字かな")), (std::vector<Tok>{{ttKanji, 0, 4}, {ttHiragana, 4, 4}}));
  EXPECT_EQ(Scan(Sjis("、①")), (std::vector<Tok>{{ttDbSymbol, 0, 2}, {ttDbSymbol, 2, 2}}));
  // Symbols behind the run leads, each one character.
  EXPECT_EQ(Scan("\x82\x40\x82\x9B\x83\x97\x83\xF0"),
            (std::vector<Tok>{
                {ttDbSymbol, 0, 2}, {ttDbSymbol, 2, 2}, {ttDbSymbol, 4, 2}, {ttDbSymbol, 6, 2}}));
  // A long-vowel mark alone is a symbol; it joins only a kana run.
  EXPECT_EQ(Scan(Sjis("ーカ")), (std::vector<Tok>{{ttDbSymbol, 0, 2}, {ttKatakana, 2, 2}}));
  EXPECT_EQ(Scan(Sjis("ｱｲｳ｡ｴ")),
            (std::vector<Tok>{{ttKana, 0, 3}, {ttKanaSymbol, 3, 1}, {ttKana, 4, 1}}));
  // A trail byte that looks like ASCII stays inside its character.
  EXPECT_EQ(Scan("\x95\x5C"
                 "a"),
            (std::vector<Tok>{{ttKanji, 0, 2}, {ttAnk, 2, 1}}));
}

TEST_F(BaseScanner, LeadBytesWithoutACharacterCoverOnlyThemselves) {
  // 0x82 or 0x83 followed by a byte that makes no character: a one-byte
  // symbol, and the next byte is scanned on its own.
  EXPECT_EQ(Scan("\x82"
                 "1"),
            (std::vector<Tok>{{ttSymbol, 0, 1}, {ttInteger, 1, 1}}));
  EXPECT_EQ(Scan("\x83 b"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttAnk, 2, 1}}));
  EXPECT_EQ(Scan("\x83\xF1"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttKanji, 1, 1}}));
  // A lone lead byte at the end of the row never takes the NUL as trail.
  EXPECT_EQ(Scan("a\x82"), (std::vector<Tok>{{ttAnk, 0, 1}, {ttSymbol, 1, 1}}));
  EXPECT_EQ(Scan("\x83"), (std::vector<Tok>{{ttSymbol, 0, 1}}));
  EXPECT_EQ(Scan("\x81"), (std::vector<Tok>{{ttDbSymbol, 0, 1}}));
  EXPECT_EQ(Scan("\x87"), (std::vector<Tok>{{ttDbSymbol, 0, 1}}));
  EXPECT_EQ(Scan("\x88"), (std::vector<Tok>{{ttKanji, 0, 1}}));
  EXPECT_EQ(Scan(Sjis("ひ") + "\x82"), (std::vector<Tok>{{ttHiragana, 0, 2}, {ttSymbol, 2, 1}}));
}

TEST_F(BaseScanner, BracketSpans) {
  AddBracket("(*", "*)");
  EXPECT_EQ(Scan("a (* b *) c"),
            (std::vector<Tok>{{ttAnk, 0, 1}, {ttBracket, 2, 7}, {ttAnk, 10, 1}}));
  EXPECT_EQ(p->BracketIndex(), -1);
  EXPECT_EQ(Scan("(* open"), (std::vector<Tok>{{ttBracket, 0, 7}}));
  EXPECT_EQ(p->BracketIndex(), 0);
  EXPECT_EQ(p->TokenBracketIndex(), 0);
  // Double-byte characters are stepped whole: 0x2A is a trail byte here.
  EXPECT_EQ(Scan("(*\x81\x2A)"), (std::vector<Tok>{{ttBracket, 0, 5}}));
  // A row that starts inside a bracket continues it.
  TRowAttributeData inside = Fresh();
  inside.BracketIndex = 0;
  EXPECT_EQ(Tokenize(*p, "x *) y", inside), (std::vector<Tok>{{ttBracket, 0, 4}, {ttAnk, 5, 1}}));
  // -2 switches bracket recognition off for the row.
  TRowAttributeData off = Fresh();
  off.BracketIndex = -2;
  EXPECT_EQ(Tokenize(*p, "(*", off), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttSymbol, 1, 1}}));
}

TEST_F(BaseScanner, TheFirstMatchingBracketWinsAndIncompletePairsNeverOpen) {
  AddBracket("", "x"); // no left bracket
  AddBracket("<", ""); // no right bracket: it could never close
  AddBracket("(", ")");
  AddBracket("(*", "*)");
  EXPECT_EQ(Scan("(*a)"), (std::vector<Tok>{{ttBracket, 0, 4}}));
  EXPECT_EQ(p->TokenBracketIndex(), 2);
  EXPECT_EQ(Scan("< a"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttAnk, 2, 1}}));
  EXPECT_EQ(p->BracketIndex(), -1);
}

TEST_F(BaseScanner, AStoredBracketIndexThatNamesNoItemEndsTheRow) {
  AddBracket("{", "}");
  TRowAttributeData stale = Fresh();
  stale.BracketIndex = 5;
  EXPECT_TRUE(Tokenize(*p, "a b", stale).empty());
}

TEST(TokenParser, WorksWithoutAFountain) {
  auto p = Create<TTokenParser>();
  TRowAttributeData d;
  d.BracketIndex = -2;
  EXPECT_EQ(Tokenize(*p, "ab 12", d), (std::vector<Tok>{{ttAnk, 0, 2}, {ttInteger, 3, 2}}));
  EXPECT_EQ(p->TokenColor(), nullptr);
  EXPECT_FALSE(p->IsReserveWord());
  // Without a fountain there is no bracket to scan, even from a stored index.
  d.BracketIndex = -1;
  EXPECT_EQ(Tokenize(*p, "{a}", d),
            (std::vector<Tok>{{ttSymbol, 0, 1}, {ttAnk, 1, 1}, {ttSymbol, 2, 1}}));
  // Row states still follow a word cut by the wrap.
  Rows rows{{"ab cd", reWrapped}, {"ef g"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttAnk);
  EXPECT_EQ(rows.State(1).RemainBytes, 2);
}

TEST(FountainParser, CreatingWithoutAFountainFails) {
  try {
    TEditorParser::New(nullptr);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TFountainParser.Create need instance of TFountain");
  }
}

// ---------------------------------------------------------------- row states

class RowState : public BaseScanner {};

TEST_F(RowState, ABracketOpenedOnOneRowAndClosedTwoRowsLaterColoursAllThree) {
  AddBracket("{", "}");
  AddBracket("(*", "*)");
  Rows rows{{"a (* b"}, {"c d"}, {"e *) f"}, {"g"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(0).BracketIndex, -1);
  EXPECT_EQ(rows.State(1).BracketIndex, 1);
  EXPECT_EQ(rows.State(2).BracketIndex, 1);
  EXPECT_EQ(rows.State(3).BracketIndex, -1);
  EXPECT_EQ(rows.Paint(*p, 0), (std::vector<Tok>{{ttAnk, 0, 1}, {ttBracket, 2, 4}}));
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttBracket, 0, 3}}));
  EXPECT_EQ(rows.Paint(*p, 2), (std::vector<Tok>{{ttBracket, 0, 4}, {ttAnk, 5, 1}}));
  EXPECT_EQ(rows.Paint(*p, 3), (std::vector<Tok>{{ttAnk, 0, 1}}));
}

TEST_F(RowState, BlankRowsPassAnOpenBracketThrough) {
  AddBracket("{", "}");
  Rows rows{{"{ a"}, {""}, {"   "}, {"b }"}, {"c"}};
  rows.Reparse(*p);
  for (int k = 1; k <= 3; ++k)
    EXPECT_EQ(rows.State(k).BracketIndex, 0) << k;
  EXPECT_EQ(rows.State(4).BracketIndex, -1);
}

TEST_F(RowState, AWordCutByTheWrapContinuesByItsByteCount) {
  Rows rows{{"x abc", reWrapped}, {"de f"}, {"g"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttAnk);
  EXPECT_EQ(rows.State(1).RemainBytes, 2);
  EXPECT_EQ(rows.State(2).CarriedToken, 0);
  EXPECT_EQ(rows.State(2).RemainBytes, 0);
  // The painter sees the cut word whole on the first row.
  EXPECT_EQ(rows.Paint(*p, 0), (std::vector<Tok>{{ttAnk, 0, 1}, {ttAnk, 2, 5}}));
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttAnk, 0, 2}, {ttAnk, 3, 1}}));
}

TEST_F(RowState, ACutReserveWordIsCarriedAsReserve) {
  TStringList words;
  words.Add("BEGIN");
  f->SetReserveWordList(&words);
  Rows rows{{"x begi", reWrapped}, {"n y"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttReserve);
  EXPECT_EQ(rows.State(1).RemainBytes, 1);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttReserve, 0, 1}, {ttAnk, 2, 1}}));
}

TEST_F(RowState, ATokenStartingInTheNextRowIsNotCarried) {
  Rows rows{{"ab ", reWrapped}, {"cd"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, 0);
  EXPECT_EQ(rows.State(1).BracketIndex, -1);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttAnk, 0, 2}}));
}

TEST_F(RowState, ATokenFillingAWrappedNextRowIsRescannedThere) {
  f->SetUrl(true);
  Rows rows{{"x http://aa", reWrapped}, {"bbbb", reWrapped}, {"cc d"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttUrl);
  EXPECT_EQ(rows.State(1).RemainBytes, 0); // its length is not known yet
  EXPECT_EQ(rows.State(2).CarriedToken, ttUrl);
  EXPECT_EQ(rows.State(2).RemainBytes, 2);
  // On the middle row the painter sees the address run on into the next.
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttUrl, 0, 6}}));
  EXPECT_EQ(rows.Paint(*p, 2), (std::vector<Tok>{{ttUrl, 0, 2}, {ttAnk, 3, 1}}));
}

TEST_F(RowState, ARightBracketCutByTheWrapIsCarriedByItsRest) {
  AddBracket("(*", "*)");
  Rows rows{{"(* a *", reWrapped}, {") b"}, {"c"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).BracketIndex, 0);
  EXPECT_EQ(rows.State(1).CarriedToken, ttBracket);
  EXPECT_EQ(rows.State(1).RemainBytes, 1);
  EXPECT_EQ(rows.State(2).BracketIndex, -1);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttBracket, 0, 1}, {ttAnk, 2, 1}}));
  EXPECT_EQ(p->BracketIndex(), -1);
}

TEST_F(RowState, ABracketStillOpenAfterTheWrapKeepsItsIndex) {
  AddBracket("(*", "*)");
  Rows rows{{"(* a", reWrapped}, {"b c", reWrapped}, {"d *) e"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).BracketIndex, 0);
  EXPECT_EQ(rows.State(1).CarriedToken, 0);
  EXPECT_EQ(rows.State(2).BracketIndex, 0);
  EXPECT_EQ(rows.Paint(*p, 2), (std::vector<Tok>{{ttBracket, 0, 4}, {ttAnk, 5, 1}}));
}

TEST_F(RowState, ARestLongerThanTheRowStateHoldsIsRescanned) {
  const std::string tail(300, 'z');
  Rows rows{{"x abc", reWrapped}, {tail + " y"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttAnk);
  EXPECT_EQ(rows.State(1).RemainBytes, 0);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttAnk, 0, 300}, {ttAnk, 301, 1}}));
}

TEST_F(RowState, AStaleCarriedTokenNeverYieldsAnEmptyToken) {
  TRowAttributeData d = Fresh();
  d.CarriedToken = ttInteger; // the row no longer starts with digits
  EXPECT_EQ(Tokenize(*p, "ab 1", d), (std::vector<Tok>{{ttAnk, 0, 2}, {ttInteger, 3, 1}}));
  d.CarriedToken = ttUrl;
  d.RemainBytes = 200; // more than the row holds
  EXPECT_EQ(Tokenize(*p, "abc", d), (std::vector<Tok>{{ttUrl, 0, 3}}));
}

} // namespace
} // namespace ze
