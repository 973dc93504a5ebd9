// The settings dialog offscreen: what choosing a colour item enables, the
// grid's two buttons, fitting the background, the use-default boxes, the
// number fields, the radio buttons, the preview, and OK against Cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <map>
#include <optional>

#include "app/options/ColorGrid.h"
#include "app/options/NumberEdit.h"
#include "app/options/OptionForm.h"
#include "app/settings/ApplySettings.h"
#include "platform/CodePage.h"
#include "platform/qt/EditorWidget.h"
#include "text/EditorStrings.h"

namespace ze {
namespace {

constexpr TColor kRed = 0x0000FF, kYellow = 0x00FFFF, kAqua = 0xFFFF00;

QApplication& App() {
  static int argc = 1;
  static char name[] = "options_qt_tests";
  static char* argv[] = {name, nullptr};
  // Never destroyed: synthetic mouse events make Qt create its pointing
  // device after the application, and an application destroyed at exit
  // would free that device after Qt's device registry is gone.
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct OptionFormTest : ::testing::Test {
  OptionFormTest() {
    App();
    // The active page as start-up leaves it (brace pair, line comment),
    // with the bars switched off.
    InitEditorProp1(*active);
    ApplySettings(settings, "IPAGothic", *active);
    active->Leftbar()->SetVisible(false);
    active->Ruler()->SetVisible(false);
    active->Marks()->Underline()->SetVisible(false);
  }
  TSettings settings;
  std::unique_ptr<TEditorProp> active = Create<TEditorProp>(nullptr);
  std::optional<TOptionValues> okValues;

  std::unique_ptr<TOptionForm> Open() {
    auto f = std::make_unique<TOptionForm>(settings, *active);
    f->OnOk = [this](const TOptionValues& v, const TEditorProp&) { okValues = v; };
    return f;
  }
  static TEditor& Preview(TOptionForm& f) { return *f.Editor1->Editor(); }
  static void Click(TOptionForm& f, TColor c, Qt::MouseButton button) {
    const int cell = GridIndexOf(c);
    ASSERT_GE(cell, 0);
    QTest::mouseClick(f.ColorGrid1, button, {}, f.ColorGrid1->CellRect(cell).center());
  }
};

TEST_F(OptionFormTest, ChoosingAnItemEnablesWhatItAllows) {
  auto f = Open();
  EXPECT_EQ(f->ListBox1->count(), kOptionItemCount);
  EXPECT_EQ(f->ListBox1->item(9)->text(), QString::fromUtf8(" 検索ヒット"));
  // Nothing chosen yet: nothing to edit.
  EXPECT_FALSE(f->ColorGrid1->isEnabled());
  EXPECT_FALSE(f->FB_CheckBox->isEnabled());
  EXPECT_FALSE(f->BoldCheckBox->isEnabled());

  f->ListBox1->setCurrentRow(oiReserve);
  EXPECT_TRUE(f->ColorGrid1->isEnabled());
  EXPECT_TRUE(f->ColorGrid1->BackgroundEnabled());
  EXPECT_TRUE(f->BG_CheckBox->isEnabled());
  EXPECT_TRUE(f->BoldCheckBox->isEnabled());
  EXPECT_TRUE(f->BoldCheckBox->isChecked()); // reserved words are bold by default
  EXPECT_FALSE(f->ItalicCheckBox->isChecked());
  EXPECT_EQ(f->ColorGrid1->ForegroundColor(), settings.Tokens[stReserve].FStr);

  // The selection has colours but no style: the style boxes go off and
  // are cleared.
  f->ListBox1->setCurrentRow(oiSelect);
  for (QCheckBox* b : {f->BoldCheckBox, f->ItalicCheckBox, f->UnderLCheckBox}) {
    EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(b->isChecked());
  }
  EXPECT_TRUE(f->BG_CheckBox->isEnabled());

  // Items without a background: only the text colour.
  for (int item :
       {int(oiBackground), int(oiRetMark), int(oiEofMark), int(oiRulerMarker), int(oiLineCursor)}) {
    f->ListBox1->setCurrentRow(item);
    EXPECT_TRUE(f->FB_CheckBox->isEnabled()) << item;
    EXPECT_FALSE(f->BG_CheckBox->isEnabled()) << item;
    EXPECT_FALSE(f->BG_CheckBox->isChecked()) << item;
    EXPECT_FALSE(f->ColorGrid1->BackgroundEnabled()) << item;
    EXPECT_FALSE(f->BoldCheckBox->isEnabled()) << item;
  }
  f->ListBox1->setCurrentRow(oiLineNumber);
  EXPECT_TRUE(f->BG_CheckBox->isEnabled());
  EXPECT_TRUE(f->BG_CheckBox->isChecked()); // silver is its default
  EXPECT_FALSE(f->BoldCheckBox->isEnabled());
}

TEST_F(OptionFormTest, GridButtonsSetTextAndBackgroundAndThePreviewFollows) {
  settings.Tokens[stInt].FStr = clNavy;
  auto f = Open();
  f->ListBox1->setCurrentRow(oiInt);
  Click(*f, kRed, Qt::LeftButton);
  Click(*f, kYellow, Qt::RightButton);
  EXPECT_EQ(f->Values().Tokens[stInt].FStr, kRed);
  EXPECT_EQ(f->Values().Tokens[stInt].BStr, kYellow);
  EXPECT_EQ(Preview(*f).View()->Colors()->Int()->Color(), kRed);
  EXPECT_EQ(Preview(*f).View()->Colors()->Int()->BkColor(), kYellow);
  EXPECT_FALSE(f->FB_CheckBox->isChecked());
  Click(*f, clBlack, Qt::LeftButton); // the item's default text colour
  EXPECT_TRUE(f->FB_CheckBox->isChecked());

  // The comment's colours go to the brace pair too.
  f->ListBox1->setCurrentRow(oiComment);
  Click(*f, kAqua, Qt::LeftButton);
  TEditorBracketCollection& brackets = *Preview(*f).View()->Brackets();
  ASSERT_GT(brackets.Count(), 0);
  EXPECT_EQ(brackets.Items(0)->ItemColor()->Color(), kAqua);

  // The right button does nothing for an item without a background.
  f->ListBox1->setCurrentRow(oiRetMark);
  const TOptionValues before = f->Values();
  Click(*f, kRed, Qt::RightButton);
  EXPECT_EQ(f->Values(), before);
  EXPECT_EQ(f->ColorGrid1->BackgroundIndex(), -1);
  EXPECT_FALSE(f->ColorGrid1->BackgroundEnabled());
  Click(*f, kRed, Qt::LeftButton);
  EXPECT_EQ(f->Values().RetColor, kRed);
  EXPECT_EQ(Preview(*f).Marks()->RetMark()->Color(), kRed);
}

TEST_F(OptionFormTest, FitBackgroundGivesTheNineKindsTheBackgroundButNotSelectionOrHit) {
  settings.SameBkFlag = false;
  auto f = Open();
  const TTokenSetting select = f->Values().Tokens[stSelect], hit = f->Values().Tokens[stHit];
  f->ListBox1->setCurrentRow(oiBackground);
  Click(*f, kYellow, Qt::LeftButton);
  EXPECT_EQ(Preview(*f).Color(), kYellow);
  EXPECT_FALSE(f->FitBackground->isChecked());
  f->FitBackground->click();
  EXPECT_TRUE(f->Values().SameBkFlag);
  for (TSettingsToken t :
       {stAnk, stDBCS, stComment, stInt, stStr, stSymbol, stReserve, stUrl, stMail})
    EXPECT_EQ(f->Values().Tokens[t].BStr, kYellow) << TokenSection(t);
  EXPECT_EQ(Preview(*f).View()->Colors()->Str()->BkColor(), kYellow);
  EXPECT_EQ(f->Values().Tokens[stSelect], select);
  EXPECT_EQ(f->Values().Tokens[stHit], hit);
  EXPECT_EQ(Preview(*f).View()->Colors()->Hit()->BkColor(), hit.BStr);

  // While it is on, a new background takes the nine along.
  Click(*f, kAqua, Qt::LeftButton);
  EXPECT_EQ(f->Values().Tokens[stMail].BStr, kAqua);
  EXPECT_TRUE(f->FitBackground->isChecked());

  // One kind's own background ends the fit.
  f->ListBox1->setCurrentRow(oiAnk);
  EXPECT_EQ(f->ColorGrid1->BackgroundColor(), kAqua);
  Click(*f, kRed, Qt::RightButton);
  EXPECT_FALSE(f->FitBackground->isChecked());
  EXPECT_FALSE(f->Values().SameBkFlag);
  // The selection's background is not the background: no effect on the fit.
  f->FitBackground->click();
  f->ListBox1->setCurrentRow(oiSelect);
  Click(*f, kRed, Qt::RightButton);
  EXPECT_TRUE(f->FitBackground->isChecked());
  // Checking the box with a token item chosen moves the grid's BG mark.
  f->ListBox1->setCurrentRow(oiDBCS);
  Click(*f, kRed, Qt::RightButton);
  EXPECT_FALSE(f->FitBackground->isChecked());
  f->FitBackground->click();
  EXPECT_EQ(f->ColorGrid1->BackgroundColor(), kAqua);
}

TEST_F(OptionFormTest, UseDefaultBoxesChangeOnlyTheWorkingCopyAndCanBeUndone) {
  settings.Tokens[stStr].FStr = kRed;
  settings.Tokens[stStr].BStr = kYellow;
  settings.Tokens[stInt].FStr = clBlack;
  const TSettings original = settings;
  auto f = Open();
  f->ListBox1->setCurrentRow(oiStr);
  EXPECT_FALSE(f->FB_CheckBox->isChecked());
  f->FB_CheckBox->click();
  f->BG_CheckBox->click();
  EXPECT_EQ(f->Values().Tokens[stStr].FStr, clBlack);
  EXPECT_EQ(f->Values().Tokens[stStr].BStr, clWhite);
  EXPECT_EQ(f->ColorGrid1->ForegroundColor(), clBlack);
  EXPECT_EQ(Preview(*f).View()->Colors()->Str()->Color(), clBlack);
  // Unchecking gives the colour back.
  f->FB_CheckBox->click();
  EXPECT_FALSE(f->FB_CheckBox->isChecked());
  EXPECT_EQ(f->Values().Tokens[stStr].FStr, kRed);
  // A colour that already was the default has nothing to go back to.
  f->ListBox1->setCurrentRow(oiInt);
  ASSERT_TRUE(f->FB_CheckBox->isChecked());
  f->FB_CheckBox->click();
  EXPECT_TRUE(f->FB_CheckBox->isChecked());
  EXPECT_FALSE(f->HintLabel->text().isEmpty());

  f->CancelButton->click();
  EXPECT_FALSE(okValues.has_value());
  EXPECT_EQ(settings, original);
  EXPECT_EQ(f->result(), QDialog::Rejected);
}

TEST_F(OptionFormTest, CancelDropsEveryChange) {
  const TSettings original = settings;
  auto activeBefore = Create<TEditorProp>(nullptr);
  activeBefore->TakeFrom(active.get());
  auto f = Open();
  f->ListBox1->setCurrentRow(oiUrl);
  f->FB_CheckBox->click();
  f->ItalicCheckBox->click();
  f->TopMarginUpDown->UpButton()->click();
  f->CheckBoxWrap->click();
  f->RadioLower->click();
  f->SeparaterCombo->setCurrentIndex(9);
  EXPECT_NE(f->Values(), LoadOptions(original)); // the dialog did change its copies
  f->CancelButton->click();
  EXPECT_FALSE(okValues.has_value());
  EXPECT_EQ(settings, original);
  EXPECT_EQ(active->Margin()->Top(), activeBefore->Margin()->Top());
  EXPECT_EQ(active->WordWrap(), activeBefore->WordWrap());
  EXPECT_EQ(active->View()->Colors()->Url()->Style(),
            activeBefore->View()->Colors()->Url()->Style());
}

TEST_F(OptionFormTest, NumberFieldsRefuseBadTextAndSaySo) {
  settings.TopSpace = 12;
  auto f = Open();
  TRightEdit& top = *f->TopSpaceEdit;
  EXPECT_EQ(top.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(top.text(), QStringLiteral("12"));

  // Keystrokes that are not digits never reach the text.
  top.setFocus();
  top.selectAll();
  QTest::keyClicks(&top, "abc");
  EXPECT_EQ(top.text(), QStringLiteral("12"));
  EXPECT_TRUE(f->HintLabel->text().contains(QStringLiteral("0～100")));
  EXPECT_EQ(f->Values().TopSpace, 12);
  QTest::keyClick(&top, Qt::Key_Minus);
  EXPECT_EQ(top.text(), QStringLiteral("12"));

  // Text put there otherwise ("-5" pasted) is refused on leaving the field.
  top.setText(QStringLiteral("-5"));
  top.Finish();
  EXPECT_EQ(top.text(), QStringLiteral("12"));
  EXPECT_EQ(f->Values().TopSpace, 12);
  EXPECT_TRUE(f->HintLabel->text().contains(QStringLiteral("12 に戻しました")));

  // Too large: not taken while typing, clamped on leaving, and said.
  top.selectAll();
  QTest::keyClicks(&top, "300");
  EXPECT_EQ(f->Values().TopSpace, 30); // the last number in range on the way
  EXPECT_FALSE(f->HintLabel->text().isEmpty());
  top.Finish();
  EXPECT_EQ(top.text(), QStringLiteral("100"));
  EXPECT_EQ(f->Values().TopSpace, 100);
  EXPECT_EQ(Preview(*f).Margin()->Top(), 100);

  // A good number is taken as typed and clears the hint.
  top.selectAll();
  QTest::keyClicks(&top, "7");
  EXPECT_EQ(f->Values().TopSpace, 7);
  EXPECT_TRUE(f->HintLabel->text().isEmpty());

  // The tab width: steps of two, odd numbers brought down.
  TRightEdit& tab = *f->TabWidthEdit;
  tab.setText(QStringLiteral("5"));
  tab.Finish();
  EXPECT_EQ(f->Values().TabCount, 4);
  f->TabWidthUpDown->UpButton()->click();
  EXPECT_EQ(tab.text(), QStringLiteral("6"));
  EXPECT_EQ(Preview(*f).Caret()->TabSpaceCount(), 6);
  f->TabWidthUpDown->UpButton()->click();
  f->TabWidthUpDown->UpButton()->click();
  EXPECT_EQ(f->Values().TabCount, 8);

  // Text left in a field when OK is pressed counts as on leaving it.
  f->LeftSpaceEdit->setText(QStringLiteral("xyz"));
  f->LineSpaceEdit->setText(QStringLiteral("999"));
  f->OK->click();
  ASSERT_TRUE(okValues.has_value());
  EXPECT_EQ(okValues->LeftSpace, settings.LeftSpace);
  EXPECT_EQ(okValues->LineSpace, 100);
  EXPECT_EQ(okValues->TopSpace, 7);
}

TEST_F(OptionFormTest, WordWrapSwitchesItsWidthAndThePreview) {
  settings.WrapFlag = false;
  settings.WrapCount = 40;
  auto f = Open();
  EXPECT_FALSE(f->WrapWidthUpDown->isEnabled());
  EXPECT_FALSE(f->WrapWidthEdit->isEnabled());
  f->CheckBoxWrap->click();
  EXPECT_TRUE(f->WrapWidthUpDown->isEnabled());
  EXPECT_TRUE(f->WrapWidthEdit->isEnabled());
  EXPECT_TRUE(Preview(*f).WordWrap());
  f->WrapWidthUpDown->DownButton()->click();
  EXPECT_EQ(Preview(*f).WrapOption()->WrapByte(), 39);

  f->CheckBoxFreeCaret->click();
  EXPECT_EQ(Preview(*f).Caret()->FreeCaret(), !settings.FCaretFlag);
  EXPECT_EQ(Preview(*f).Caret()->FreeRow(), !settings.FCaretFlag);
  ASSERT_TRUE(settings.CommentOutRow);
  EXPECT_EQ(std::string(Preview(*f).View()->Commenter().view()), "//");
  f->CheckBoxComment->click();
  EXPECT_TRUE(Preview(*f).View()->Commenter().empty());
}

TEST_F(OptionFormTest, RadioButtonsGiveTheTypesAndNoneGivesZero) {
  settings.ReserveType = 0;
  settings.NumberType = 0;
  settings.SeparateType = 3;
  {
    auto f = Open();
    for (QRadioButton* r : {f->RadioLower, f->RadioUpper, f->RadioHedUpper, f->RadioUnSupply,
                            f->Radio1Base, f->Radio0Base})
      EXPECT_FALSE(r->isChecked());
    EXPECT_EQ(f->SeparaterCombo->count(), 11);
    EXPECT_EQ(f->SeparaterCombo->currentIndex(), 3);
    f->OK->click();
    ASSERT_TRUE(okValues.has_value());
    EXPECT_EQ(okValues->ReserveType, 0);
    EXPECT_EQ(okValues->NumberType, 0);
    EXPECT_EQ(okValues->SeparateType, 3);
  }
  settings.ReserveType = 2;
  settings.NumberType = 1;
  auto f = Open();
  EXPECT_TRUE(f->RadioUpper->isChecked());
  EXPECT_TRUE(f->Radio1Base->isChecked());
  f->RadioHedUpper->click();
  f->Radio0Base->click();
  f->SeparaterCombo->setCurrentIndex(10);
  f->OK->click();
  EXPECT_EQ(okValues->ReserveType, 3);
  EXPECT_EQ(okValues->NumberType, 2);
  EXPECT_EQ(okValues->SeparateType, 10);
}

TEST_F(OptionFormTest, PreviewShowsEveryBarButOkKeepsTheActiveEditorsState) {
  TStringList words;
  words.Add(ByteString("procedure"));
  active->SetReserveWordList(&words);
  active->Margin()->SetLeft(3);
  auto f = Open();
  TEditor& preview = Preview(*f);
  EXPECT_TRUE(preview.ReadOnly());
  EXPECT_TRUE(preview.Leftbar()->Visible());
  EXPECT_EQ(preview.Leftbar()->Column(), 3);
  EXPECT_FALSE(preview.Imagebar()->Visible());
  EXPECT_TRUE(preview.Ruler()->Visible());
  EXPECT_TRUE(preview.Marks()->Underline()->Visible());
  EXPECT_EQ(preview.ReserveWordList()->IndexOf("procedure") >= 0, true);
  EXPECT_EQ(preview.Lines()->Count(), int(OptionSampleLines().size()));
  EXPECT_EQ(std::string(preview.Lines()->Get(3).view()), Utf8ToCp932("{前景色=FG ; 背景色=BG}"));

  f->ListBox1->setCurrentRow(oiReserve);
  Click(*f, kRed, Qt::LeftButton);
  f->UnderLCheckBox->click();
  f->LeftMarginUpDown->UpButton()->click();
  const TEditorProp* handed = nullptr;
  f->OnOk = [&](const TOptionValues& v, const TEditorProp& edited) {
    okValues = v;
    handed = &edited;
    // The edited store has the new values...
    EXPECT_EQ(edited.View()->Colors()->Reserve()->Color(), kRed);
    EXPECT_EQ(edited.View()->Colors()->Reserve()->Style(), FontStyles({fsBold, fsUnderline}));
    EXPECT_EQ(edited.Margin()->Left(), settings.LeftSpace + 1);
    // ...and not the preview's forced bars.
    EXPECT_FALSE(edited.Leftbar()->Visible());
    EXPECT_FALSE(edited.Ruler()->Visible());
    EXPECT_FALSE(edited.Marks()->Underline()->Visible());
    EXPECT_NE(edited.ReserveWordList()->IndexOf("procedure"), -1);
  };
  f->OK->click();
  ASSERT_NE(handed, nullptr);
  EXPECT_EQ(handed, &f->Edited());
  EXPECT_TRUE(okValues->Tokens[stReserve].UnderL);
  EXPECT_EQ(f->result(), QDialog::Accepted);
  // The store it was given is untouched: the window applies the result.
  EXPECT_EQ(active->Margin()->Left(), 3);
}

} // namespace
} // namespace ze

namespace ze {
namespace {

TEST_F(OptionFormTest, PreviewSampleShowsEveryColouredTokenKind) {
  TStringList words;
  for (const char* w : {"procedure", "begin", "end", "var"})
    words.Add(ByteString(w));
  active->SetReserveWordList(&words);
  auto f = Open();
  TEditor& preview = Preview(*f);
  TEditorColors& c = *preview.View()->Colors();
  std::map<const TFountainColor*, std::string> wanted{
      {c.Ank(), "Ank"},         {c.DBCS(), "DBCS"}, {c.Comment(), "Comment"},
      {c.Int(), "Int"},         {c.Str(), "Str"},   {c.Symbol(), "Symbol"},
      {c.Reserve(), "Reserve"}, {c.Url(), "Url"},   {c.Mail(), "Mail"}};
  std::unique_ptr<TFountainParser> parser = preview.View()->Fountain()->CreateParser();
  for (int i = 0; i < preview.Lines()->Count(); ++i) {
    const ByteString row = preview.Lines()->Get(i);
    TRowAttributeData data;
    data.BracketIndex = -1;
    parser->NewData(row.c_str(), data);
    for (int n = 0; n < 1000 && parser->NextToken() != ttEnd; ++n)
      wanted.erase(parser->TokenColor());
  }
  std::string missing;
  for (const auto& [colour, name] : wanted)
    missing += name + " ";
  EXPECT_TRUE(wanted.empty()) << "not in the sample: " << missing;
}

TEST_F(OptionFormTest, NewDocumentEncodingAndLineBreakComeFromTheSettingsAndOkGivesThem) {
  settings.NewEncoding = TEncoding::Iso2022Jp;
  settings.NewLineBreak = TLineBreak::Lf;
  {
    auto f = Open();
    ASSERT_EQ(f->EncodingCombo->count(), 7);
    ASSERT_EQ(f->LineBreakCombo->count(), 3);
    EXPECT_EQ(f->EncodingCombo->currentText().toStdString(), "JIS");
    EXPECT_EQ(f->LineBreakCombo->currentText().toStdString(), "LF");
    f->EncodingCombo->setCurrentIndex(static_cast<int>(TEncoding::Utf8));
    f->LineBreakCombo->setCurrentIndex(static_cast<int>(TLineBreak::Cr));
    f->OK->click();
  }
  ASSERT_TRUE(okValues.has_value());
  EXPECT_EQ(okValues->NewEncoding, TEncoding::Utf8);
  EXPECT_EQ(okValues->NewLineBreak, TLineBreak::Cr);
  CommitOptions(*okValues, settings);
  EXPECT_EQ(settings.NewEncoding, TEncoding::Utf8);
  EXPECT_EQ(settings.NewLineBreak, TLineBreak::Cr);

  // Cancel gives nothing.
  okValues.reset();
  auto f = Open();
  f->EncodingCombo->setCurrentIndex(0);
  f->CancelButton->click();
  EXPECT_FALSE(okValues.has_value());
}

} // namespace
} // namespace ze
