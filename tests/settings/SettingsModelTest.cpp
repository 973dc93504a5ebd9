// Colour identifiers and system colours, window placement, the font
// choice, and applying the settings to the property store.
#include <gtest/gtest.h>

#include <limits>

#include <set>

#include "app/settings/ApplySettings.h"
#include "app/settings/ColorNames.h"
#include "tests/support/TempDir.h"

namespace ze {
namespace {

TEST(ColorNames, FiftyTwoDistinctIdentifiersThatReadBack) {
  int n = 0;
  const TColorIdent* ids = ColorIdents(n);
  ASSERT_EQ(n, 52);
  std::set<std::string> names;
  std::set<TColor> values;
  for (int i = 0; i < n; ++i) {
    names.insert(ids[i].Name);
    values.insert(ids[i].Value);
    EXPECT_EQ(ColorToString(ids[i].Value), ids[i].Name);
    EXPECT_EQ(StringToColor(ids[i].Name), ids[i].Value) << ids[i].Name;
  }
  EXPECT_EQ(names.size(), 52u);
  EXPECT_EQ(values.size(), 52u);
}

TEST(ColorNames, TellingValues) {
  EXPECT_EQ(StringToColor("clMaroon"), 0x000080u);
  EXPECT_EQ(StringToColor("clblue"), 0xFF0000u);
  EXPECT_EQ(StringToColor(" clMoneyGreen "), 0xC0DCC0u);
  EXPECT_EQ(StringToColor("clSkyBlue"), 0xF0CAA6u);
  EXPECT_EQ(StringToColor("clCream"), 0xF0FBFFu);
  EXPECT_EQ(StringToColor("clMedGray"), 0xA4A0A0u);
  EXPECT_EQ(StringToColor("clScrollBar"), 0xFF000000u);
  EXPECT_EQ(StringToColor("clBtnFace"), 0xFF00000Fu);
  EXPECT_EQ(StringToColor("clWindowText"), 0xFF000008u);
  EXPECT_EQ(StringToColor("clNone"), 0x1FFFFFFFu);
  EXPECT_EQ(StringToColor("clDefault"), 0x20000000u);
}

TEST(ColorNames, NumbersWithoutOverflowAndOnlyColours) {
  EXPECT_EQ(ColorToString(0x00123456), "$00123456");
  EXPECT_EQ(ColorToString(0xFF00001E), "clMenuBar");
  EXPECT_EQ(StringToColor("$00abcdef"), 0xABCDEFu);
  EXPECT_EQ(StringToColor("0xFF000005"), 0xFF000005u);
  EXPECT_EQ(StringToColor("4278190085"), 0xFF000005u);
  EXPECT_EQ(StringToColor("-16777211"), 0xFF000005u);
  EXPECT_EQ(StringToColor("255"), 0xFFu);
  for (const char* bad : {"", "$", "0x", "clRainbow", "$100000000", "99999999999999999999",
                          "$12345678", "$FF00001F", "$FF000105", "$7FFFFFFF", "12x", "- 5",
                          "-2147483649"})
    EXPECT_FALSE(StringToColor(bad).has_value()) << bad;
}

TEST(ColorNames, SystemColoursStandForPaletteRoles) {
  EXPECT_EQ(SystemColorRole(clWindow), TPaletteRole::Base);
  EXPECT_EQ(SystemColorRole(clWindowText), TPaletteRole::Text);
  EXPECT_EQ(SystemColorRole(0xFF00000F), TPaletteRole::Button);
  EXPECT_EQ(SystemColorRole(0xFF000012), TPaletteRole::ButtonText);
  EXPECT_EQ(SystemColorRole(0xFF00000D), TPaletteRole::Highlight);
  EXPECT_EQ(SystemColorRole(0xFF00000E), TPaletteRole::HighlightedText);
  EXPECT_EQ(SystemColorRole(0xFF000018), TPaletteRole::ToolTipBase);
  EXPECT_EQ(SystemColorRole(0xFF000011), TPaletteRole::PlaceholderText);
  EXPECT_FALSE(SystemColorRole(clNone).has_value());
  EXPECT_FALSE(SystemColorRole(0x00FF0000).has_value());

  auto palette = [](TPaletteRole r) -> TColor {
    return r == TPaletteRole::Base ? 0x202020 : r == TPaletteRole::Text ? 0xEEEEEE : 0x777777;
  };
  EXPECT_EQ(ResolveColor(clWindow, palette, 0), 0x202020u); // a dark desktop theme
  EXPECT_EQ(ResolveColor(clWindowText, palette, 0), 0xEEEEEEu);
  EXPECT_EQ(ResolveColor(0x123456, palette, 0), 0x123456u);
  EXPECT_EQ(ResolveColor(clNone, palette, 0x010101), 0x010101u);
  EXPECT_EQ(ResolveColor(clDefault, palette, 0x020202), 0x020202u);
  EXPECT_EQ(ResolveColor(clWindow, nullptr, 0), 0xFFFFFFu);
  EXPECT_EQ(ResolveColor(clWindowText, nullptr, 0xFF), 0u);
}

TEST(PlaceWindow, NeverTooSmallAndAlwaysOnAScreen) {
  std::vector<TScreenRect> one{{0, 0, 1920, 1080}};
  EXPECT_EQ(PlaceWindow({0, 0, 0, 0}, one), (TWindowRect{0, 0, kMinWindowWidth, kMinWindowHeight}));
  EXPECT_EQ(PlaceWindow({5000, -300, 800, 600}, one), (TWindowRect{1120, 0, 800, 600}));
  EXPECT_EQ(PlaceWindow({-50, 900, 4000, 3000}, one), (TWindowRect{0, 0, 1920, 1080}));
  EXPECT_EQ(PlaceWindow({100, 80, 800, 600}, one), (TWindowRect{100, 80, 800, 600}));
  // Two screens side by side: the window stays on the one it mostly covers.
  std::vector<TScreenRect> two{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  EXPECT_EQ(PlaceWindow({2900, 100, 800, 600}, two), (TWindowRect{2400, 100, 800, 600}));
  EXPECT_EQ(PlaceWindow({100, 100, 800, 600}, {}), (TWindowRect{100, 100, 800, 600}));
  // Values from a damaged file at the ends of the integer range (found by
  // fuzzing: the overlap was summed in 32 bits and overflowed).
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  EXPECT_EQ(PlaceWindow({kMax, kMax, kMax, kMax}, one), (TWindowRect{0, 0, 1920, 1080}));
  EXPECT_EQ(PlaceWindow({kMin, kMin, 800, 600}, one), (TWindowRect{0, 0, 800, 600}));
  EXPECT_EQ(PlaceWindow({100, 2000, kMax, 600}, two), (TWindowRect{0, 480, 1920, 600}));
}

TEST(ResolveFontName, TheIndexElseAJapaneseFontElseTheFirst) {
  std::vector<std::string> fonts{"DejaVu Sans", "IPAGothic", "Noto Serif"};
  int i = 2;
  EXPECT_EQ(ResolveFontName(fonts, i), "Noto Serif");
  EXPECT_EQ(i, 2);
  i = 7;
  EXPECT_EQ(ResolveFontName(fonts, i), "IPAGothic");
  EXPECT_EQ(i, 1);
  i = -1;
  std::vector<std::string> western{"DejaVu Sans", "Liberation Mono"};
  EXPECT_EQ(ResolveFontName(western, i), "DejaVu Sans");
  EXPECT_EQ(i, 0);
  i = 0;
  EXPECT_EQ(ResolveFontName({}, i), "FixedSys");
  EXPECT_EQ(i, -1);
}

TEST(ApplySettings, TheInitialStoreOfTheMainWindow) {
  auto p = Create<TEditorProp>(nullptr);
  p->Caret()->SetRowSelect(false);
  p->Caret()->Cursors()->SetInSelCursor(9);
  p->Imagebar()->SetDigitWidth(20);
  p->View()->SetUrl(false);
  p->WrapOption()->SetFollowStr(ByteString("x"));
  InitEditorProp1(*p);
  EXPECT_TRUE(p->Caret()->RowSelect());
  EXPECT_EQ(p->Caret()->Cursors()->InSelCursor(), 0);
  EXPECT_EQ(p->Caret()->Cursors()->DragSelCopyCursor(), 1959);
  EXPECT_EQ(p->Caret()->Cursors()->LeftMarginCursor(), 1958);
  EXPECT_EQ(p->Imagebar()->DigitWidth(), 8);
  EXPECT_EQ(p->Leftbar()->BkColor(), clSilver);
  EXPECT_EQ(p->Marks()->WrapMark()->Color(), clGray);
  EXPECT_FALSE(p->Marks()->HideMark()->Visible());
  EXPECT_TRUE(p->View()->Url());
  EXPECT_TRUE(p->View()->Mail());
  EXPECT_FALSE(p->View()->ControlCode());
  EXPECT_EQ(p->WrapOption()->FollowStr(), ByteString(TEditorWrapOption::kDefaultFollowStr));
}

TEST(ApplySettings, EveryValueReachesTheStore) {
  auto p = Create<TEditorProp>(nullptr);
  InitEditorProp1(*p);
  TSettings s;
  s.Window.FontSize = 15;
  s.Tokens[stInt] = {0x112233, 0x445566, true, true, false};
  s.Tokens[stComment] = {0x00AA00, clNone, false, true, false};
  s.Tokens[stSelect] = {clWhite, clBlack};
  s.TopSpace = 4;
  s.LeftSpace = 6;
  s.LineSpace = 1;
  s.CharacterSpace = 2;
  s.TabCount = 4;
  s.WrapCount = 72;
  s.Background = 0xFF000018;
  s.RetColor = 0x010203;
  s.EofColor = 0x040506;
  s.LineNumColor = 0x070809;
  s.LineNumBkColor = 0x0A0B0C;
  s.RulerColor = 0x0D0E0F;
  s.RulerBkColor = 0x101112;
  s.RulerMarkColor = 0x131415;
  s.LineCursorColor = 0x161718;
  s.EofFlag = false;
  s.RetFlag = true;
  s.LCursorShow = true;
  s.LineNumberShow = true;
  s.RulerShow = true;
  s.WrapFlag = true;
  s.AIndentFlag = false;
  s.TIndentFlag = true;
  s.FCaretFlag = true;
  ApplySettings(s, "IPAGothic", *p);

  EXPECT_EQ(p->Font().Name, "IPAGothic");
  EXPECT_EQ(p->Font().Size, 15);
  TEditorColors& c = *p->View()->Colors();
  EXPECT_EQ(c.Int()->Color(), 0x112233u);
  EXPECT_EQ(c.Int()->BkColor(), 0x445566u);
  EXPECT_EQ(c.Int()->Style(), FontStyles({fsBold, fsItalic}));
  EXPECT_EQ(c.Select()->Color(), clWhite);
  EXPECT_EQ(c.Reserve()->Style(), FontStyles({fsBold}));
  EXPECT_EQ(p->Margin()->Top(), 4);
  EXPECT_EQ(p->Margin()->Left(), 6);
  EXPECT_EQ(p->Margin()->Line(), 1);
  EXPECT_EQ(p->Margin()->Character(), 2);
  EXPECT_EQ(p->Caret()->TabSpaceCount(), 4);
  EXPECT_EQ(p->WrapOption()->WrapByte(), 72);
  EXPECT_EQ(p->Leftbar()->Column(), 3);
  EXPECT_EQ(p->Leftbar()->LeftMargin(), 2);
  EXPECT_EQ(p->Leftbar()->RightMargin(), 2);
  EXPECT_EQ(p->Color(), 0xFF000018u);
  EXPECT_EQ(p->Marks()->RetMark()->Color(), 0x010203u);
  EXPECT_EQ(p->Marks()->EofMark()->Color(), 0x040506u);
  EXPECT_EQ(p->Leftbar()->Color(), 0x070809u);
  EXPECT_EQ(p->Leftbar()->BkColor(), 0x0A0B0Cu);
  EXPECT_EQ(p->Ruler()->Color(), 0x0D0E0Fu);
  EXPECT_EQ(p->Ruler()->BkColor(), 0x101112u);
  EXPECT_EQ(p->Ruler()->MarkColor(), 0x131415u);
  EXPECT_EQ(p->Marks()->Underline()->Color(), 0x161718u);
  EXPECT_FALSE(p->Marks()->EofMark()->Visible());
  EXPECT_TRUE(p->Marks()->RetMark()->Visible());
  EXPECT_TRUE(p->Marks()->Underline()->Visible());
  EXPECT_TRUE(p->Leftbar()->Visible());
  EXPECT_TRUE(p->Leftbar()->ShowNumber());
  EXPECT_FALSE(p->Imagebar()->Visible());
  EXPECT_TRUE(p->Ruler()->Visible());
  EXPECT_TRUE(p->WordWrap());
  EXPECT_FALSE(p->Caret()->AutoIndent());
  EXPECT_TRUE(p->Caret()->TabIndent());
  EXPECT_TRUE(p->Caret()->FreeCaret());
  EXPECT_TRUE(p->Caret()->FreeRow());
  EXPECT_FALSE(p->Caret()->RowSelect());
  EXPECT_EQ(p->View()->Quotation(), ByteString("'"));
  EXPECT_EQ(p->View()->Commenter(), ByteString("//"));
  TEditorBracketCollection& b = *p->View()->Brackets();
  ASSERT_EQ(b.Count(), 1);
  EXPECT_EQ(b.Items(0)->LeftBracket(), ByteString("{"));
  EXPECT_EQ(b.Items(0)->RightBracket(), ByteString("}"));
  EXPECT_EQ(b.Items(0)->ItemColor()->Color(), 0x00AA00u);
  EXPECT_EQ(b.Items(0)->ItemColor()->Style(), FontStyles({fsItalic}));

  TSettings taken;
  TakeViewFlags(taken, *p);
  EXPECT_TRUE(taken.RulerShow);
  EXPECT_TRUE(taken.LCursorShow);
  p->Leftbar()->SetVisible(false);
  TakeViewFlags(taken, *p);
  EXPECT_FALSE(taken.LineNumberShow);

  // Applying again adds no second brace pair; no line comment when off.
  s.CommentOutRow = false;
  ApplySettings(s, "IPAGothic", *p);
  EXPECT_EQ(b.Count(), 1);
  EXPECT_EQ(p->View()->Commenter(), ByteString());
}

TEST(ApplySettings, ReservedWordsFromTheFile) {
  test::TempDir dir;
  TStringList list(true, TDuplicates::dupIgnore);
  list.Add(ByteString("old"));
  test::WriteFile(dir.File("words.txt"), "while\r\nif\r\n\x8E\x9F\r\nif\r\n");
  EXPECT_TRUE(LoadReserveWords(list, dir.File("words.txt")));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0].view(), "if");
  EXPECT_EQ(list[1].view(), "while");
  EXPECT_EQ(list[2].view(), "\x8E\x9F");
  std::string problem;
  EXPECT_FALSE(LoadReserveWords(list, dir.File("missing.txt"), &problem));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_NE(problem.find("missing.txt"), std::string::npos);
}

TEST(ApplySettings, StartUpFromTheShippedFiles) {
  test::TempDir dir;
  const std::string program = dir.File("ZorvaneEditor");
  TSettings shipped;
  shipped.Window.Rect = {3000, 3000, 0, 0};
  shipped.Window.FontName = 9;
  shipped.WrapCount = 64;
  WriteSettingsFiles(shipped, SettingsFilesFor(program));
  test::WriteFile(dir.File("予約語.txt"), "return\r\nfor\r\n");
  auto p = Create<TEditorProp>(nullptr);
  std::vector<std::string> problems;
  TSettings s = LoadStartupSettings(ChooseSettingsLocation(program, true, dir.File("cfg")),
                                    {"DejaVu Sans", "IPAGothic"}, {{0, 0, 1024, 768}}, *p,
                                    &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(s.Window.Rect, (TWindowRect{1024 - kMinWindowWidth, 768 - kMinWindowHeight,
                                        kMinWindowWidth, kMinWindowHeight}));
  EXPECT_EQ(s.Window.FontName, 1);
  EXPECT_EQ(p->Font().Name, "IPAGothic");
  EXPECT_EQ(p->WrapOption()->WrapByte(), 64);
  ASSERT_EQ(p->ReserveWordList()->Count(), 2);
  EXPECT_EQ((*p->ReserveWordList())[0].view(), "for");

  // Nothing at all beside the program: built-in defaults, a reported
  // missing word file, still a usable store.
  test::TempDir empty;
  auto q = Create<TEditorProp>(nullptr);
  problems.clear();
  TSettings d = LoadStartupSettings(
      ChooseSettingsLocation(empty.File("ZorvaneEditor"), true, empty.File("cfg")), {}, {}, *q,
      &problems);
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_EQ(d.Window.Rect, TSettings{}.Window.Rect);
  EXPECT_EQ(q->Font().Name, "FixedSys");
  EXPECT_EQ(q->Font().Size, 12);
}

} // namespace
} // namespace ze
