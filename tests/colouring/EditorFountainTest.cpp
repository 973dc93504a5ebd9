#include "colouring/EditorFountain.h"

#include <gtest/gtest.h>

#include "tests/colouring/TokenSupport.h"

namespace ze {
namespace {

using test::Fresh;
using test::Rows;
using test::Sjis;
using test::Tok;
using test::Tokenize;

struct Counter {
  explicit Counter(TFountain& f) {
    f.NotifyEventList()->Add([this](TObject*) { ++count; });
  }
  int count = 0;
};

std::vector<TFountainColor*> AllColors(const TEditorColors& c) {
  return {c.Ank(),     c.Comment(), c.DBCS(), c.Hit(),    c.Int(), c.Mail(),
          c.Reserve(), c.Select(),  c.Str(),  c.Symbol(), c.Url()};
}

// ---------------------------------------------------------------- colours

TEST(EditorColors, DefaultsAndTheSharedReserveColour) {
  auto f = Create<TEditorFountain>(nullptr);
  TEditorColors* c = f->Colors();
  EXPECT_EQ(c->Select()->BkColor(), 0x800000u);
  EXPECT_EQ(c->Select()->Color(), 0xFFFFFFu);
  for (TFountainColor* color : AllColors(*c)) {
    if (color == c->Select()) continue;
    EXPECT_EQ(color->BkColor(), clNone);
    EXPECT_EQ(color->Color(), clNone);
    EXPECT_EQ(color->Style(), 0);
  }
  EXPECT_EQ(c->Reserve(), f->Reserve());
  TFountainColor green;
  green.SetColor(0x00FF00);
  c->SetReserve(&green);
  EXPECT_EQ(f->Reserve()->Color(), 0x00FF00u);
}

TEST(EditorColors, EveryColourChangeReachesTheListenersOnce) {
  auto f = Create<TEditorFountain>(nullptr);
  Counter n(*f);
  int expected = 0;
  for (TFountainColor* color : AllColors(*f->Colors())) {
    color->SetStyle(FontStyles({fsBold}));
    EXPECT_EQ(n.count, ++expected);
    color->SetStyle(FontStyles({fsBold}));
    EXPECT_EQ(n.count, expected);
  }
}

TEST(EditorColors, CopyFromCopiesEveryColourWithOneNotification) {
  auto a = Create<TEditorFountain>(nullptr), b = Create<TEditorFountain>(nullptr);
  TColor v = 1;
  for (TFountainColor* color : AllColors(*a->Colors()))
    color->SetColor(v++);
  Counter n(*b);
  b->SetColors(a->Colors());
  EXPECT_EQ(n.count, 1);
  v = 1;
  for (TFountainColor* color : AllColors(*b->Colors()))
    EXPECT_EQ(color->Color(), v++);
  EXPECT_EQ(b->Reserve()->Color(), a->Reserve()->Color());
  EXPECT_NE(b->Reserve(), a->Reserve());
}

TEST(EditorFountain, SetAllColorChangesNineColoursAndNotifiesOnce) {
  auto f = Create<TEditorFountain>(nullptr);
  f->Brackets()->Add()->ItemColor()->SetColor(0x123456);
  Counter n(*f);
  f->SetAllColor(0x0000FF);
  EXPECT_EQ(n.count, 1);
  TEditorColors* c = f->Colors();
  for (TFountainColor* color : AllColors(*c)) {
    if (color == c->Select() || color == c->Hit()) continue;
    EXPECT_EQ(color->Color(), 0x0000FFu);
    EXPECT_EQ(color->BkColor(), clNone); // only the masked part
  }
  EXPECT_EQ(c->Select()->Color(), 0xFFFFFFu);
  EXPECT_EQ(c->Hit()->Color(), clNone);
  EXPECT_EQ(f->Brackets()->Items(0)->ItemColor()->Color(), 0x123456u);
}

TEST(EditorFountain, SetAllBkColorAndSetAllStyleTouchOnlyTheirPart) {
  auto f = Create<TEditorFountain>(nullptr);
  Counter n(*f);
  f->SetAllBkColor(0x00FFFF);
  f->SetAllStyle(FontStyles({fsItalic}));
  EXPECT_EQ(n.count, 2);
  EXPECT_EQ(f->Colors()->Ank()->BkColor(), 0x00FFFFu);
  EXPECT_EQ(f->Colors()->Ank()->Color(), clNone);
  EXPECT_EQ(f->Reserve()->Style(), FontStyles({fsItalic}));
  EXPECT_EQ(f->Colors()->Hit()->Style(), 0);
  EXPECT_EQ(f->Colors()->Select()->BkColor(), 0x800000u);
}

TEST(EditorBrackets, SetAllChangesEveryItemWithOneNotification) {
  auto f = Create<TEditorFountain>(nullptr);
  for (int i = 0; i < 3; ++i)
    f->Brackets()->Add();
  Counter n(*f);
  f->Brackets()->SetAllColor(0x808080);
  f->Brackets()->SetAllBkColor(0xC0C0C0);
  f->Brackets()->SetAllStyle(FontStyles({fsUnderline}));
  EXPECT_EQ(n.count, 3);
  for (int i = 0; i < 3; ++i) {
    TFountainColor* c = f->Brackets()->Items(i)->ItemColor();
    EXPECT_EQ(c->Color(), 0x808080u);
    EXPECT_EQ(c->BkColor(), 0xC0C0C0u);
    EXPECT_EQ(c->Style(), FontStyles({fsUnderline}));
  }
  EXPECT_EQ(f->Colors()->Comment()->Color(), clNone);
}

TEST(EditorFountain, SettingsNotifyOnlyWhenTheyChange) {
  auto f = Create<TEditorFountain>(nullptr);
  Counter n(*f);
  f->SetCommenter("//");
  f->SetCommenter("//");
  f->SetQuotation("'");
  f->SetHexPrefix("$");
  f->SetUrl(true);
  f->SetMail(true);
  f->SetControlCode(true);
  f->SetUrl(true);
  EXPECT_EQ(n.count, 6);
}

// ---------------------------------------------------------------- the parser

class EditorScanner : public test::ScannerTest {};

TEST_F(EditorScanner, CommentsAndQuotations) {
  f->SetCommenter("//");
  f->SetQuotation("'");
  EXPECT_EQ(Scan("a := 'x//y'; // c"), (std::vector<Tok>{{ttAnk, 0, 1},
                                                         {ttSymbol, 2, 1},
                                                         {ttSymbol, 3, 1},
                                                         {ttQuotation, 5, 6},
                                                         {ttSymbol, 11, 1},
                                                         {ttComment, 13, 4}}));
  EXPECT_EQ(Scan("'it''s' x"), (std::vector<Tok>{{ttQuotation, 0, 7}, {ttAnk, 8, 1}}));
  EXPECT_EQ(Scan("'open"), (std::vector<Tok>{{ttQuotation, 0, 5}}));
  EXPECT_EQ(Scan("'"), (std::vector<Tok>{{ttQuotation, 0, 1}}));
  EXPECT_EQ(Scan("'ab''"), (std::vector<Tok>{{ttQuotation, 0, 5}}));
  // A trail byte equal to the quote does not close the string.
  EXPECT_EQ(Scan("'\x83\x27' b"), (std::vector<Tok>{{ttQuotation, 0, 4}, {ttAnk, 5, 1}}));
  EXPECT_EQ(Scan("a / b"), (std::vector<Tok>{{ttAnk, 0, 1}, {ttSymbol, 2, 1}, {ttAnk, 4, 1}}));
  EXPECT_EQ(Scan("//"), (std::vector<Tok>{{ttComment, 0, 2}}));
}

TEST_F(EditorScanner, ControlCodes) {
  EXPECT_EQ(Scan("#13"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttInteger, 1, 2}}));
  f->SetControlCode(true);
  EXPECT_EQ(Scan("#13#10"), (std::vector<Tok>{{ttControlCode, 0, 3}, {ttControlCode, 3, 3}}));
  EXPECT_EQ(Scan("#$0D"), (std::vector<Tok>{{ttControlCodeHex, 0, 4}}));
  EXPECT_EQ(Scan("#$fFx"), (std::vector<Tok>{{ttControlCodeHex, 0, 4}, {ttAnk, 4, 1}}));
  // At the row end they take what there is.
  EXPECT_EQ(Scan("#"), (std::vector<Tok>{{ttControlCode, 0, 1}}));
  EXPECT_EQ(Scan("#$"), (std::vector<Tok>{{ttControlCodeHex, 0, 2}}));
}

TEST_F(EditorScanner, HexPrefixIsMatchedWithoutRegardToCase) {
  f->SetHexPrefix("$");
  EXPECT_EQ(Scan("$ff $FF $"), (std::vector<Tok>{{ttHex, 0, 3}, {ttHex, 4, 3}, {ttHex, 8, 1}}));
  f->SetHexPrefix("0x");
  EXPECT_EQ(Scan("0X1Fg 0"), (std::vector<Tok>{{ttHex, 0, 4}, {ttAnk, 4, 1}, {ttInteger, 6, 1}}));
}

TEST_F(EditorScanner, UrlsAreRecognisedOnlyWhenOn) {
  EXPECT_EQ(Scan("www.a"), (std::vector<Tok>{{ttAnk, 0, 3}, {ttSymbol, 3, 1}, {ttAnk, 4, 1}}));
  f->SetUrl(true);
  EXPECT_EQ(Scan("www.example.com/a?b=c&d=%20#x~y (z"),
            (std::vector<Tok>{{ttUrl, 0, 31}, {ttSymbol, 32, 1}, {ttAnk, 33, 1}}));
  EXPECT_EQ(Scan("https://x.jp/"), (std::vector<Tok>{{ttUrl, 0, 13}}));
  EXPECT_EQ(Scan("http:"), (std::vector<Tok>{{ttUrl, 0, 5}}));
  EXPECT_EQ(Scan("ftp://h"), (std::vector<Tok>{{ttUrl, 0, 7}}));
  EXPECT_EQ(Scan("http https wwwx ftp"),
            (std::vector<Tok>{{ttAnk, 0, 4}, {ttAnk, 5, 5}, {ttAnk, 11, 4}, {ttAnk, 16, 3}}));
  // A URL stops before a double-byte character.
  EXPECT_EQ(Scan("www.a" + Sjis("あ")), (std::vector<Tok>{{ttUrl, 0, 5}, {ttHiragana, 5, 2}}));
}

TEST_F(EditorScanner, MailAddresses) {
  f->SetMail(true);
  EXPECT_EQ(Scan("foo.bar@example.co.jp x"), (std::vector<Tok>{{ttMail, 0, 21}, {ttAnk, 22, 1}}));
  EXPECT_EQ(Scan("a-b_c@d.e"), (std::vector<Tok>{{ttMail, 0, 9}}));
  // Not addresses: the run starts with the at sign, or has no full stop after it.
  EXPECT_EQ(Scan("@foo.com"),
            (std::vector<Tok>{{ttSymbol, 0, 1}, {ttAnk, 1, 3}, {ttSymbol, 4, 1}, {ttAnk, 5, 3}}));
  EXPECT_EQ(Scan("foo@bar"), (std::vector<Tok>{{ttAnk, 0, 3}, {ttSymbol, 3, 1}, {ttAnk, 4, 3}}));
  EXPECT_EQ(Scan("a.b@c"),
            (std::vector<Tok>{
                {ttAnk, 0, 1}, {ttSymbol, 1, 1}, {ttAnk, 2, 1}, {ttSymbol, 3, 1}, {ttAnk, 4, 1}}));
  // A later run is judged on its own.
  EXPECT_EQ(Scan("a.b x@y.z"),
            (std::vector<Tok>{{ttAnk, 0, 1}, {ttSymbol, 1, 1}, {ttAnk, 2, 1}, {ttMail, 4, 5}}));
}

TEST_F(EditorScanner, ALongRunWithoutAnAddressIsNotRescannedFromEveryToken) {
  // Each full stop is a token of its own; judging each start by scanning
  // the rest of the run again would take hours here instead of milliseconds.
  f->SetMail(true);
  const std::string dots(1000000, '.');
  p->NewData(dots.c_str(), Fresh());
  int count = 0;
  while (p->NextToken() == ttSymbol)
    ++count;
  EXPECT_EQ(count, 1000000);
  EXPECT_EQ(p->SourcePos(), 1000000);
}

TEST_F(EditorScanner, DispatchOrder) {
  f->SetMail(true);
  f->SetUrl(true);
  // The mail test runs before the URL test.
  EXPECT_EQ(Scan("www.a@b.c"), (std::vector<Tok>{{ttMail, 0, 9}}));
  // The URL test runs before the comment starter.
  f->SetCommenter("www");
  EXPECT_EQ(Scan("www.a"), (std::vector<Tok>{{ttUrl, 0, 5}}));
  // Brackets come before the comment starter.
  f->SetCommenter("//");
  AddBracket("//", "\\\\");
  EXPECT_EQ(Scan("// a \\\\ b"), (std::vector<Tok>{{ttBracket, 0, 7}, {ttAnk, 8, 1}}));
  // The comment starter comes before the quotation.
  f->SetCommenter("'");
  f->SetQuotation("'");
  EXPECT_EQ(Scan("'a' b"), (std::vector<Tok>{{ttComment, 0, 5}}));
  // The quotation comes before control codes.
  f->SetCommenter("");
  f->SetQuotation("#");
  f->SetControlCode(true);
  EXPECT_EQ(Scan("#13# x"), (std::vector<Tok>{{ttQuotation, 0, 4}, {ttAnk, 5, 1}}));
  // Control codes come before the hexadecimal prefix.
  f->SetQuotation("");
  f->SetHexPrefix("#");
  EXPECT_EQ(Scan("#ff"), (std::vector<Tok>{{ttControlCode, 0, 1}, {ttAnk, 1, 2}}));
  // The hexadecimal prefix comes before the first-byte table.
  f->SetControlCode(false);
  EXPECT_EQ(Scan("#ff"), (std::vector<Tok>{{ttHex, 0, 3}}));
}

TEST_F(EditorScanner, TokenColours) {
  f->SetUrl(true);
  f->SetMail(true);
  f->SetQuotation("'");
  f->SetCommenter("//");
  f->SetHexPrefix("$");
  f->SetControlCode(true);
  AddBracket("{", "}");
  TEditorColors* c = f->Colors();
  struct Case {
    std::string text;
    TFountainTokenKind kind;
    TFountainColor* color;
  };
  const Case cases[] = {
      {"+", ttSymbol, c->Symbol()},
      {"12", ttInteger, c->Int()},
      {"1.5", ttFloat, c->Int()},
      {"$1f", ttHex, c->Int()},
      {"{ x }", ttBracket, f->Brackets()->Items(0)->ItemColor()},
      {"// x", ttComment, c->Comment()},
      {"abc", ttAnk, c->Ank()},
      {Sjis("、"), ttDbSymbol, c->DBCS()},
      {Sjis("１"), ttDbDigit, c->DBCS()},
      {Sjis("Ａ"), ttDbAlpha, c->DBCS()},
      {Sjis("あ"), ttHiragana, c->DBCS()},
      {Sjis("ア"), ttKatakana, c->DBCS()},
      {Sjis("字"), ttKanji, c->DBCS()},
      {Sjis("｡"), ttKanaSymbol, c->DBCS()},
      {Sjis("ｱ"), ttKana, c->DBCS()},
      {"http://x", ttUrl, c->Url()},
      {"a@b.c", ttMail, c->Mail()},
      {"'s'", ttQuotation, c->Str()},
      {"#10", ttControlCode, c->Str()},
      {"#$a", ttControlCodeHex, c->Str()},
      {"\t", ttTab, nullptr},
  };
  for (const Case& k : cases) {
    p->NewData(k.text.c_str(), Fresh());
    EXPECT_EQ(p->NextToken(), k.kind) << k.text;
    EXPECT_EQ(p->TokenColor(), k.color) << k.text;
  }
  p->NewData("", Fresh());
  EXPECT_EQ(p->NextToken(), ttEnd);
  EXPECT_EQ(p->TokenColor(), nullptr);
}

TEST_F(EditorScanner, ReserveWordsOfAnyKindTakeTheReserveColour) {
  f->SetCommenter("//");
  AddBracket("{", "}");
  TStringList words;
  for (const char* w : {"BEGIN", "+", "12", "{}", "//"})
    words.Add(w);
  words.Add(Sjis("漢字"));
  f->SetReserveWordList(&words);
  for (std::string text : {std::string("begin"), std::string("Begin"), std::string("+"),
                           std::string("12"), Sjis("漢字")}) {
    p->NewData(text.c_str(), Fresh());
    p->NextToken();
    EXPECT_TRUE(p->IsReserveWord()) << text;
    EXPECT_EQ(p->TokenColor(), f->Reserve()) << text;
  }
  // Brackets and comments never are, nor are parts of words.
  for (const char* text : {"{}", "//", "beginning", "12.5"}) {
    p->NewData(text, Fresh());
    p->NextToken();
    EXPECT_FALSE(p->IsReserveWord()) << text;
  }
}

TEST_F(EditorScanner, AContinuingTokenIsNeverAReserveWord) {
  TStringList words;
  words.Add("de");
  f->SetReserveWordList(&words);
  TRowAttributeData d = Fresh();
  d.CarriedToken = ttAnk;
  d.RemainBytes = 2;
  p->NewData("de de", d);
  EXPECT_EQ(p->NextToken(), ttAnk);
  EXPECT_FALSE(p->IsReserveWord());
  EXPECT_EQ(p->TokenColor(), f->Colors()->Ank());
  EXPECT_EQ(p->NextToken(), ttAnk);
  EXPECT_TRUE(p->IsReserveWord());
}

TEST_F(EditorScanner, FountainChangesTakeEffectAtTheNextRow) {
  EXPECT_EQ(Scan("// a"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttSymbol, 1, 1}, {ttAnk, 3, 1}}));
  f->SetCommenter("//");
  EXPECT_EQ(Scan("// a"), (std::vector<Tok>{{ttComment, 0, 4}}));
  f->SetMail(true);
  EXPECT_EQ(Scan("a@b.c"), (std::vector<Tok>{{ttMail, 0, 5}}));
  f->SetMail(false);
  EXPECT_EQ(Scan("a@b.c").size(), 5u);
  AddBracket("(*", "*)");
  EXPECT_EQ(Scan("(* a *)"), (std::vector<Tok>{{ttBracket, 0, 7}}));
  f->Brackets()->Items(0)->SetLeftBracket("<<");
  EXPECT_EQ(Scan("(* a"), (std::vector<Tok>{{ttSymbol, 0, 1}, {ttSymbol, 1, 1}, {ttAnk, 3, 1}}));
  EXPECT_EQ(Scan("<< a"), (std::vector<Tok>{{ttBracket, 0, 4}}));
  // A change made while the collection's update is open counts at once.
  f->Brackets()->BeginUpdate();
  f->Brackets()->Items(0)->SetLeftBracket("[[");
  EXPECT_EQ(Scan("[[ a"), (std::vector<Tok>{{ttBracket, 0, 4}}));
  f->Brackets()->EndUpdate();
  f->Brackets()->Clear();
  EXPECT_EQ(Scan("[[").size(), 2u);
}

// A class derived from the editor parser takes the general, virtual path;
// it must find exactly the tokens of the editor parser's direct one.
class TDerivedParser : public TEditorParser {
public:
  static std::unique_ptr<TDerivedParser> New(TFountain* f) { return Create<TDerivedParser>(f); }

protected:
  using TEditorParser::TEditorParser;
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);
};

TEST_F(EditorScanner, TheGeneralPathFindsTheSameTokensAsTheDirectOne) {
  auto general = TDerivedParser::New(f.get());
  f->SetUrl(true);
  f->SetMail(true);
  f->SetCommenter("//");
  f->SetQuotation("'");
  f->SetHexPrefix("$");
  f->SetControlCode(true);
  AddBracket("{", "}");
  const std::string rows[] = {
      "if FCount <> $1F then Inc(x, 12.5e3); // " + Sjis("コメント"),
      "s := 'it''s' + #13#10 + #$0D; { note } www.example.com/a?b=1",
      "mail foo.bar@example.co.jp, http://x.jp/ ftp:// hello world",
      Sjis("　全角ＡＢＣ１２３、ひらがなー・カタカナ漢字ｶﾅ｡") + "	"
                                                                "1",
      "{ open bracket at the end",
  };
  for (const std::string& row : rows) {
    EXPECT_EQ(Tokenize(*general, row), Tokenize(*p, row)) << row;
    TRowAttributeData inside = Fresh();
    inside.BracketIndex = 0;
    EXPECT_EQ(Tokenize(*general, row, inside), Tokenize(*p, row, inside)) << row;
  }
}

// ---------------------------------------------------------------- row states

TEST_F(EditorScanner, ACommentContinuesOverWrappedRowsUntilTheLineEnds) {
  f->SetCommenter("//");
  Rows rows{{"x // ab", reWrapped}, {"cd", reWrapped}, {"ef"}, {"g"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttComment);
  EXPECT_EQ(rows.State(1).RemainBytes, 0);
  EXPECT_EQ(rows.State(2).CarriedToken, ttComment);
  EXPECT_EQ(rows.State(3).CarriedToken, 0);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttComment, 0, 4}}));
  EXPECT_EQ(rows.Paint(*p, 2), (std::vector<Tok>{{ttComment, 0, 2}}));
  EXPECT_EQ(rows.Paint(*p, 3), (std::vector<Tok>{{ttAnk, 0, 1}}));
}

TEST_F(EditorScanner, AQuotationContinuesOnlyOverWrappedRows) {
  f->SetQuotation("'");
  Rows rows{{"a 'bc", reWrapped}, {"de' f"}, {"'open"}, {"g"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttQuotation);
  EXPECT_EQ(rows.State(1).RemainBytes, 0);
  EXPECT_EQ(rows.Paint(*p, 1), (std::vector<Tok>{{ttQuotation, 0, 3}, {ttAnk, 4, 1}}));
  EXPECT_EQ(rows.State(2).CarriedToken, 0);
  // An unclosed string ends with its logical line.
  EXPECT_EQ(rows.State(3).CarriedToken, 0);
  EXPECT_EQ(rows.Paint(*p, 3), (std::vector<Tok>{{ttAnk, 0, 1}}));
}

TEST_F(EditorScanner, ACutTokenDoesNotLeakOverABlankRowIntoTheNextLine) {
  f->SetQuotation("'");
  Rows rows{{"'abc", reWrapped}, {"   "}, {"x y"}};
  rows.Reparse(*p);
  EXPECT_EQ(rows.State(1).CarriedToken, ttQuotation);
  EXPECT_EQ(rows.State(2).CarriedToken, 0);
  EXPECT_EQ(rows.Paint(*p, 2), (std::vector<Tok>{{ttAnk, 0, 1}, {ttAnk, 2, 1}}));
}

} // namespace
} // namespace ze
