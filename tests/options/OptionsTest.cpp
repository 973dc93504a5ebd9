// What the settings dialog edits, without a window: loading and committing
// the working copies, the colour items, fitting the background, typed
// numbers, and the values reaching a property store and both views of a
// split page.
#include <gtest/gtest.h>

#include "app/options/Options.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

constexpr TColor kRed = 0x0000FF, kYellow = 0x00FFFF, kTeal = 0x808000, kMaroon = 0x000080;

TSettings Unusual() {
  TSettings s;
  s.Background = 0x123456;
  s.Tokens[stInt].FStr = kRed;
  s.Tokens[stMail].Italic = true;
  s.RetColor = kYellow;
  s.RulerMarkColor = kTeal;
  s.TopSpace = 7;
  s.LeftSpace = 9;
  s.LineSpace = 3;
  s.CharacterSpace = 1;
  s.TabCount = 4;
  s.WrapCount = 120;
  s.ReserveType = 2;
  s.SeparateType = 6;
  s.NumberType = 2;
  s.SameBkFlag = true;
  s.TIndentFlag = true;
  s.FCaretFlag = true;
  s.WrapFlag = true;
  s.CommentOutRow = false;
  return s;
}

TEST(OptionValues, LoadAndCommitCarryEveryEditedValueAndNothingElse) {
  const TSettings source = Unusual();
  TOptionValues v = LoadOptions(source);
  EXPECT_EQ(v.Background, 0x123456u);
  EXPECT_EQ(v.Tokens[stInt].FStr, kRed);
  EXPECT_EQ(v.RulerMarkColor, kTeal);
  EXPECT_EQ(v.TabCount, 4);
  EXPECT_EQ(v.SeparateType, 6);
  EXPECT_FALSE(v.CommentOutRow);

  // Committing into other settings gives the edited part of source and
  // keeps the window, the dictionaries and the bar flags of the target.
  TSettings target;
  target.Window.FontSize = 20;
  target.DicName[0] = "英和";
  target.DicType = 3;
  target.RulerShow = true;
  CommitOptions(v, target);
  EXPECT_EQ(LoadOptions(target), v);
  EXPECT_EQ(target.Window.FontSize, 20);
  EXPECT_EQ(target.DicName[0], "英和");
  EXPECT_EQ(target.DicType, 3);
  EXPECT_TRUE(target.RulerShow);
  TSettings expected = source;
  expected.Window = target.Window;
  expected.DicName = target.DicName;
  expected.DicType = target.DicType;
  expected.RulerShow = target.RulerShow;
  EXPECT_EQ(target, expected);
}

TEST(OptionItems, EachItemEditsItsOwnColours) {
  TOptionValues v = LoadOptions(TSettings());
  SetItemTextColor(v, oiBackground, kYellow);
  EXPECT_EQ(v.Background, kYellow);
  SetItemTextColor(v, oiComment, kRed);
  SetItemBackColor(v, oiComment, clSilver);
  EXPECT_EQ(v.Tokens[stComment].FStr, kRed);
  EXPECT_EQ(v.Tokens[stComment].BStr, clSilver);
  SetItemBackColor(v, oiHit, kTeal);
  EXPECT_EQ(v.Tokens[stHit].BStr, kTeal);
  SetItemTextColor(v, oiLineNumber, kMaroon);
  SetItemBackColor(v, oiRuler, kMaroon);
  SetItemTextColor(v, oiRulerMarker, kRed);
  SetItemTextColor(v, oiLineCursor, clWhite);
  SetItemTextColor(v, oiEofMark, clBlack);
  EXPECT_EQ(v.LineNumColor, kMaroon);
  EXPECT_EQ(v.RulerBkColor, kMaroon);
  EXPECT_EQ(v.RulerMarkColor, kRed);
  EXPECT_EQ(v.LineCursorColor, clWhite);
  EXPECT_EQ(v.EofColor, clBlack);

  // Items without a background have none to set or read.
  const TOptionValues before = v;
  for (int item :
       {int(oiBackground), int(oiRetMark), int(oiEofMark), int(oiRulerMarker), int(oiLineCursor)}) {
    EXPECT_FALSE(OptionItemInfo(item).HasBackground) << item;
    SetItemBackColor(v, item, kRed);
    EXPECT_EQ(ItemBackColor(v, item), clNone) << item;
  }
  EXPECT_EQ(v, before);

  // Styles only for the token kinds that have them.
  SetItemStyle(v, oiSelect, true, true, true);
  SetItemStyle(v, oiRuler, true, true, true);
  EXPECT_EQ(v, before);
  SetItemStyle(v, oiReserve, false, true, true);
  EXPECT_FALSE(v.Tokens[stReserve].Bold);
  EXPECT_TRUE(ItemStyle(v, oiReserve).Italic);
  EXPECT_TRUE(ItemStyle(v, oiReserve).UnderL);
}

TEST(OptionItems, TheTableNamesEighteenItemsWithTheirDefaults) {
  EXPECT_STREQ(OptionItemInfo(oiBackground).Caption, " バックグラウンド");
  EXPECT_STREQ(OptionItemInfo(oiLineCursor).Caption, " ラインカーソル");
  EXPECT_EQ(OptionItemInfo(oiSelect).DefaultBack, clNavy);
  EXPECT_EQ(OptionItemInfo(oiUrl).DefaultText, 0xFF0000u); // blue
  EXPECT_EQ(OptionItemInfo(oiLineNumber).DefaultBack, clSilver);
  int withStyle = 0;
  for (int i = 0; i < kOptionItemCount; ++i) {
    const TOptionItemInfo& info = OptionItemInfo(i);
    withStyle += info.HasStyle;
    // Every default the use-default boxes put back can be shown in the grid.
    EXPECT_GE(GridIndexOf(info.DefaultText), 0) << i;
    if (info.HasBackground) EXPECT_GE(GridIndexOf(info.DefaultBack), 0) << i;
  }
  EXPECT_EQ(withStyle, 9);
  EXPECT_THROW(OptionItemInfo(kOptionItemCount), std::out_of_range);
}

TEST(OptionItems, FittingTheBackgroundLeavesSelectionAndHitAlone) {
  TOptionValues v = LoadOptions(TSettings());
  v.Background = kYellow;
  const TTokenSetting select = v.Tokens[stSelect], hit = v.Tokens[stHit];
  EXPECT_FALSE(BackgroundFits(v));
  FitBackground(v);
  EXPECT_TRUE(BackgroundFits(v));
  for (TSettingsToken t :
       {stAnk, stDBCS, stComment, stInt, stStr, stSymbol, stReserve, stUrl, stMail})
    EXPECT_EQ(v.Tokens[t].BStr, kYellow) << TokenSection(t);
  EXPECT_EQ(v.Tokens[stSelect], select);
  EXPECT_EQ(v.Tokens[stHit], hit);
  v.Tokens[stMail].BStr = kRed;
  EXPECT_FALSE(BackgroundFits(v));
  v.Tokens[stMail].BStr = kYellow;
  v.Tokens[stHit].BStr = kRed; // the hit does not count
  EXPECT_TRUE(BackgroundFits(v));
}

TEST(OptionNumbers, TypedTextIsRefusedOrBroughtIntoRange) {
  // Not a number: refused, the current value stays, the user is told.
  for (const char* bad : {"abc", "-5", "", " ", "1a", "+3", "１２"}) {
    TNumberCheck c = CheckNumber(bad, kMarginRange, 12);
    EXPECT_FALSE(c.Accepted) << bad;
    EXPECT_EQ(c.Value, 12) << bad;
    EXPECT_NE(c.Hint.find("0～100"), std::string::npos) << bad;
  }
  TNumberCheck ok = CheckNumber(" 42 ", kMarginRange, 12);
  EXPECT_TRUE(ok.Accepted);
  EXPECT_FALSE(ok.Clamped);
  EXPECT_EQ(ok.Value, 42);
  EXPECT_TRUE(ok.Hint.empty());

  TNumberCheck high = CheckNumber("300", kMarginRange, 12);
  EXPECT_TRUE(high.Accepted && high.Clamped);
  EXPECT_EQ(high.Value, 100);
  EXPECT_NE(high.Hint.find("100"), std::string::npos);
  EXPECT_EQ(CheckNumber("5", kWrapRange, 80).Value, 20);
  EXPECT_EQ(CheckNumber("99999999999999999999", kWrapRange, 80).Value, 250);
  // The tab width goes in steps of two.
  TNumberCheck odd = CheckNumber("5", kTabRange, 8);
  EXPECT_TRUE(odd.Clamped);
  EXPECT_EQ(odd.Value, 4);
  EXPECT_EQ(CheckNumber("6", kTabRange, 8).Value, 6);
  EXPECT_FALSE(CheckNumber("6", kTabRange, 8).Clamped);
}

TEST(OptionNumbers, UpDownStepsStayInRange) {
  EXPECT_EQ(StepNumber(4, kTabRange, 1), 6);
  EXPECT_EQ(StepNumber(8, kTabRange, 1), 8);
  EXPECT_EQ(StepNumber(2, kTabRange, -1), 2);
  EXPECT_EQ(StepNumber(5, kTabRange, 1), 6); // onto the steps first
  EXPECT_EQ(StepNumber(0, kMarginRange, -1), 0);
  EXPECT_EQ(StepNumber(-40, kMarginRange, 1), 1);
  EXPECT_EQ(StepNumber(250, kWrapRange, 1), 250);
  EXPECT_EQ(StepNumber(21, kWrapRange, -1), 20);
}

TEST(OptionGrid, SixteenDistinctBasicColours) {
  const auto& colors = GridColors();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(GridIndexOf(colors[size_t(i)]), i);
  EXPECT_EQ(GridIndexOf(clBlack), 0);
  EXPECT_EQ(GridIndexOf(clWhite), 15);
  EXPECT_EQ(GridIndexOf(clWindow), -1);
  EXPECT_EQ(GridIndexOf(clNone), -1);
  EXPECT_EQ(SeparatorCaptions().size(), 11u);
  EXPECT_STREQ(SeparatorCaptions()[6], "Space + - + Space");
}

TEST(ApplyOptions, ReachesTheStoreAndLeavesTheRestAlone) {
  auto p = Create<TEditorProp>(nullptr);
  TEditorBracketCollection& brackets = *p->View()->Brackets();
  TFountainBracketItem* pair = brackets.Add();
  pair->SetLeftBracket(ByteString("{"));
  pair->SetRightBracket(ByteString("}"));
  p->Leftbar()->SetVisible(false);
  p->Ruler()->SetVisible(true);
  TFontDesc font = p->Font();
  font.Name = "IPAGothic";
  p->SetFont(font);

  TOptionValues v = LoadOptions(Unusual());
  v.Tokens[stComment] = {kTeal, kYellow, true, false, true};
  v.CommentOutRow = true;
  ApplyOptions(v, *p);
  EXPECT_EQ(p->Color(), 0x123456u);
  TEditorColors& c = *p->View()->Colors();
  EXPECT_EQ(c.Int()->Color(), kRed);
  EXPECT_EQ(c.Mail()->Style(), FontStyles({fsItalic, fsUnderline})); // underlined by default
  EXPECT_EQ(c.Comment()->BkColor(), kYellow);
  EXPECT_EQ(pair->ItemColor()->Color(), kTeal);
  EXPECT_EQ(pair->ItemColor()->BkColor(), kYellow);
  EXPECT_EQ(pair->ItemColor()->Style(), FontStyles({fsBold, fsUnderline}));
  EXPECT_EQ(std::string(p->View()->Commenter().view()), "//");
  EXPECT_EQ(p->Marks()->RetMark()->Color(), kYellow);
  EXPECT_EQ(p->Ruler()->MarkColor(), kTeal);
  EXPECT_EQ(p->Margin()->Top(), 7);
  EXPECT_EQ(p->Margin()->Character(), 1);
  EXPECT_EQ(p->Caret()->TabSpaceCount(), 4);
  EXPECT_EQ(p->WrapOption()->WrapByte(), 120);
  EXPECT_TRUE(p->WordWrap());
  EXPECT_TRUE(p->Caret()->FreeCaret());
  EXPECT_TRUE(p->Caret()->FreeRow());
  EXPECT_TRUE(p->Caret()->TabIndent());
  // What the dialog does not edit stays.
  EXPECT_FALSE(p->Leftbar()->Visible());
  EXPECT_TRUE(p->Ruler()->Visible());
  EXPECT_EQ(p->Font().Name, "IPAGothic");

  v.CommentOutRow = false;
  v.WrapFlag = false;
  ApplyOptions(v, *p);
  EXPECT_TRUE(p->View()->Commenter().empty());
  EXPECT_FALSE(p->WordWrap());
}

struct SplitPage : test::EditorFixture {
  std::unique_ptr<TEditor> second = Create<TEditor>(nullptr);
  test::THeadlessHost host2;
  SplitPage() {
    second->SetHost(&host2);
    second->ShareScreenStrings(&e);
  }
  ~SplitPage() override { second->SetHost(nullptr); }
};

TEST_F(SplitPage, OkResultReachesBothViewsTheSettingsAndTheStore) {
  SetText("procedure\r\n");
  auto prop1 = Create<TEditorProp>(nullptr);
  prop1->TakeFrom(&e);
  TSettings settings;
  TOptionValues v = LoadOptions(settings);
  v.Background = kTeal;
  v.Tokens[stReserve].FStr = kRed;
  v.TopSpace = 11;
  v.TabCount = 2;
  v.ReserveType = 0;
  auto edited = Create<TEditorProp>(nullptr);
  edited->TakeFrom(prop1.get());
  ApplyOptions(v, *edited);

  TPropCopyFailures failures = ApplyOptionResult(v, *edited, settings, *prop1, {&e, second.get()});
  EXPECT_TRUE(failures.empty());
  for (TEditor* ed : {&e, second.get()}) {
    EXPECT_EQ(ed->Color(), kTeal);
    EXPECT_EQ(ed->View()->Colors()->Reserve()->Color(), kRed);
    EXPECT_EQ(ed->Margin()->Top(), 11);
    EXPECT_EQ(ed->Caret()->TabSpaceCount(), 2);
  }
  EXPECT_EQ(prop1->Color(), kTeal);
  EXPECT_EQ(settings.Background, kTeal);
  EXPECT_EQ(settings.TopSpace, 11);
  EXPECT_EQ(settings.ReserveType, 0); // no case chosen is stored as such
  // The text is still one text for both views.
  EXPECT_EQ(std::string(second->Lines()->Text().view()), "procedure\r\n");
}

} // namespace
} // namespace ze
