#include "app/options/OptionForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/options/ColorGrid.h"
#include "app/options/NumberEdit.h"
#include "platform/CodePage.h"
#include "platform/qt/EditorWidget.h"
#include "text/EditorStrings.h"

namespace ze {

const std::array<const char*, 14>& OptionSampleLines() {
  static const std::array<const char*, 14> lines{
      "マウスの左ボタンでカラーグリッドをクリックすると前景色、",
      "右ボタンでクリックすると背景色が設定されます。",
      "左のリストで色を変える項目を選んでください。",
      "{前景色=FG ; 背景色=BG}",
      "//*********************************************",
      "Number: 0123456789",
      "Symbol: +-*/=#$\\&|@^<>()[]!?,...",
      "http://www.example.com/zorvane/",
      "user@example.com",
      "procedure TForm1.Sample(Sender: TObject);",
      "var I: Integer;",
      "begin",
      "  for I := 0 to 9 do Caption := '文字列';",
      "end;",
  };
  return lines;
}

namespace {

QCheckBox* Box(const char* caption, QWidget* parent) {
  return new QCheckBox(QString::fromUtf8(caption), parent);
}

} // namespace

TOptionForm::TOptionForm(const TSettings& settings, const TEditorProp& active, QWidget* parent)
    : QDialog(parent), values_(LoadOptions(settings)) {
  setWindowTitle(QStringLiteral("  環境設定"));
  EditorProp2 = Create<TEditorProp>(nullptr);
  edited_ = Create<TEditorProp>(nullptr);
  // A property that cannot be copied keeps its default; the dialog
  // still opens.
  EditorProp2->TakeFrom(&active);
  edited_->TakeFrom(&active);

  BuildControls();

  // The preview always shows line numbers, ruler and line cursor, so
  // that their colours can be seen; OK keeps the active editor's state.
  TEditorProp& p = *EditorProp2;
  if (!p.Leftbar()->Visible()) {
    p.Leftbar()->SetVisible(true);
    p.Leftbar()->SetColumn(3);
    p.Imagebar()->SetVisible(false);
  }
  p.Leftbar()->SetShowNumber(true);
  p.Ruler()->SetVisible(true);
  p.Marks()->Underline()->SetVisible(true);
  p.SetScrollBars(ssBoth);
  RefreshPreview();
  TEditor& ed = *Editor1->Editor();
  std::string text;
  for (const char* line : OptionSampleLines())
    text += Utf8ToCp932(line) + "\r\n";
  ed.Lines()->SetText(text);
  ed.SetReadOnly(true);
  ed.SetModified(false);
  ed.SetRowCol(0, 0);

  LoadControls();
  Connect();
  adjustSize(); // the fixed size, so that the dialog can be centred
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
}

TOptionForm::~TOptionForm() = default;

void TOptionForm::BuildControls() {
  ListBox1 = new QListWidget(this);
  for (int i = 0; i < kOptionItemCount; ++i)
    ListBox1->addItem(QString::fromUtf8(OptionItemInfo(i).Caption));
  ListBox1->setFixedWidth(160);
  // Every item in view, without scrolling (a row to spare for the
  // style's margins).
  ListBox1->setMinimumHeight(ListBox1->sizeHintForRow(0) * (kOptionItemCount + 1) +
                             2 * ListBox1->frameWidth());

  ColorGrid1 = new TColorGrid(this);
  auto* defaults = new QGroupBox(QStringLiteral("[ 初期値カラーを使用 ]"), this);
  FB_CheckBox = Box("前景色", defaults);
  BG_CheckBox = Box("背景色", defaults);
  auto* dl = new QHBoxLayout(defaults);
  dl->addWidget(FB_CheckBox);
  dl->addWidget(BG_CheckBox);
  auto* styles = new QGroupBox(QStringLiteral("[ フォントスタイル ]"), this);
  BoldCheckBox = Box("太字", styles);
  ItalicCheckBox = Box("斜体", styles);
  UnderLCheckBox = Box("下線", styles);
  auto* sl = new QHBoxLayout(styles);
  sl->addWidget(BoldCheckBox);
  sl->addWidget(ItalicCheckBox);
  sl->addWidget(UnderLCheckBox);
  FitBackground = Box("文字の背景色をバックグラウンドに統一( 選択領域 検索ヒットを除く )", this);

  auto* colourColumn = new QVBoxLayout;
  colourColumn->addWidget(ColorGrid1, 0, Qt::AlignHCenter);
  colourColumn->addWidget(defaults);
  colourColumn->addWidget(styles);
  colourColumn->addStretch();

  // Margins, widths.
  auto* margins = new QGroupBox(QStringLiteral(" [ 余 白 ]"), this);
  auto* ml = new QGridLayout(margins);
  auto addNumber = [](QGridLayout* grid, int row, const char* caption, TNumberRange range,
                      QWidget* parent, TRightEdit*& edit, TUpDown*& upDown) {
    edit = new TRightEdit(range, parent);
    upDown = new TUpDown(edit, parent);
    grid->addWidget(new QLabel(QString::fromUtf8(caption), parent), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(upDown, row, 2);
  };
  addNumber(ml, 0, "トップマージン", kMarginRange, margins, TopSpaceEdit, TopMarginUpDown);
  addNumber(ml, 1, "レフトマージン", kMarginRange, margins, LeftSpaceEdit, LeftMarginUpDown);
  addNumber(ml, 2, "行間マージン", kMarginRange, margins, LineSpaceEdit, LineMarginUpDown);
  addNumber(ml, 3, "文字間マージン", kMarginRange, margins, CharacterSpaceEdit,
            CharacterMarginUpDown);
  auto* widths = new QGridLayout;
  CheckBoxWrap = Box("ワードラップ", this);
  WrapWidthEdit = new TRightEdit(kWrapRange, this);
  WrapWidthUpDown = new TUpDown(WrapWidthEdit, this);
  widths->addWidget(CheckBoxWrap, 0, 0);
  widths->addWidget(WrapWidthEdit, 0, 1);
  widths->addWidget(WrapWidthUpDown, 0, 2);
  addNumber(widths, 1, "タブ幅(字下げ)", kTabRange, this, TabWidthEdit, TabWidthUpDown);

  auto* functions = new QGroupBox(QStringLiteral(" [ 機 能 ]"), this);
  CheckBoxAutoIndent = Box("オートインデント", functions);
  CheckBoxFreeCaret = Box("フリーキャレット", functions);
  ChekBoxRetMark = Box("改行マーク表示", functions);
  CheckBoxEofMark = Box("EOF マーク表示", functions);
  CheckBoxTabIndent = Box("タブインデント", functions);
  CheckBoxComment = Box("1 行コメンター // 有効", functions);
  auto* fl = new QGridLayout(functions);
  fl->addWidget(CheckBoxAutoIndent, 0, 0);
  fl->addWidget(CheckBoxFreeCaret, 0, 1);
  fl->addWidget(ChekBoxRetMark, 1, 0);
  fl->addWidget(CheckBoxEofMark, 1, 1);
  fl->addWidget(CheckBoxTabIndent, 2, 0);
  fl->addWidget(CheckBoxComment, 2, 1);

  auto* reserve = new QGroupBox(QStringLiteral(" [ 構文補完 予約語表記 ]"), this);
  RadioLower = new QRadioButton(QStringLiteral("全て小文字"), reserve);
  RadioUpper = new QRadioButton(QStringLiteral("全て大文字"), reserve);
  RadioHedUpper = new QRadioButton(QStringLiteral("頭文字のみ大文字"), reserve);
  RadioUnSupply = new QRadioButton(QStringLiteral("構文補完をしない"), reserve);
  auto* rl = new QGridLayout(reserve);
  rl->addWidget(RadioLower, 0, 0);
  rl->addWidget(RadioUpper, 0, 1);
  rl->addWidget(RadioHedUpper, 1, 0);
  rl->addWidget(RadioUnSupply, 1, 1);

  auto* numbering = new QGroupBox(QStringLiteral(" ナンバリング"), this);
  Radio1Base = new QRadioButton(QStringLiteral("1 ベース"), numbering);
  Radio0Base = new QRadioButton(QStringLiteral("0 ベース"), numbering);
  SeparaterCombo = new QComboBox(numbering);
  for (const char* c : SeparatorCaptions())
    SeparaterCombo->addItem(QString::fromUtf8(c));
  auto* nl = new QGridLayout(numbering);
  nl->addWidget(Radio1Base, 0, 0);
  nl->addWidget(Radio0Base, 0, 1);
  nl->addWidget(SeparaterCombo, 1, 0, 1, 2);

  auto* newFiles = new QGroupBox(QStringLiteral(" [ 新規文書 ]"), this);
  EncodingCombo = new QComboBox(newFiles);
  for (int i = 0; i < 7; ++i)
    EncodingCombo->addItem(QString::fromUtf8(EncodingName(static_cast<TEncoding>(i))));
  LineBreakCombo = new QComboBox(newFiles);
  for (int i = 0; i < 3; ++i)
    LineBreakCombo->addItem(QString::fromUtf8(LineBreakName(static_cast<TLineBreak>(i))));
  auto* ef = new QGridLayout(newFiles);
  ef->addWidget(new QLabel(QStringLiteral("文字コード"), newFiles), 0, 0);
  ef->addWidget(EncodingCombo, 0, 1);
  ef->addWidget(new QLabel(QStringLiteral("改行コード"), newFiles), 1, 0);
  ef->addWidget(LineBreakCombo, 1, 1);

  auto* settingsColumn = new QVBoxLayout;
  settingsColumn->addWidget(margins);
  settingsColumn->addLayout(widths);
  settingsColumn->addWidget(newFiles);
  settingsColumn->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(ListBox1);
  top->addLayout(colourColumn);
  top->addLayout(settingsColumn);

  // The options below the colours, side by side, so that the dialog fits
  // a small screen.
  auto* options = new QHBoxLayout;
  options->addWidget(functions);
  options->addWidget(reserve);
  options->addWidget(numbering);

  Editor1 = new TEditorWidget(this);
  Editor1->setFixedHeight(200);
  Editor1->setFocusPolicy(Qt::ClickFocus);

  HintLabel = new QLabel(this);
  HintLabel->setStyleSheet(QStringLiteral("color: #c00000;"));
  OK = new QPushButton(QStringLiteral("O K"), this);
  CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  OK->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(HintLabel, 1);
  buttons->addWidget(OK);
  buttons->addWidget(CancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(FitBackground);
  layout->addLayout(options);
  layout->addWidget(Editor1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TOptionForm::LoadControls() {
  // Nothing is chosen yet: the grid and the boxes wait for an item.
  ColorGrid1->setEnabled(false);
  for (QCheckBox* b : {FB_CheckBox, BG_CheckBox, BoldCheckBox, ItalicCheckBox, UnderLCheckBox})
    b->setEnabled(false);
  FitBackground->setChecked(values_.SameBkFlag);

  TopSpaceEdit->SetValue(values_.TopSpace);
  LeftSpaceEdit->SetValue(values_.LeftSpace);
  LineSpaceEdit->SetValue(values_.LineSpace);
  CharacterSpaceEdit->SetValue(values_.CharacterSpace);
  WrapWidthEdit->SetValue(values_.WrapCount);
  TabWidthEdit->SetValue(values_.TabCount);
  // The fields show the values within their ranges; those are the values.
  values_.TopSpace = TopSpaceEdit->Value();
  values_.LeftSpace = LeftSpaceEdit->Value();
  values_.LineSpace = LineSpaceEdit->Value();
  values_.CharacterSpace = CharacterSpaceEdit->Value();
  values_.WrapCount = WrapWidthEdit->Value();
  values_.TabCount = TabWidthEdit->Value();

  CheckBoxWrap->setChecked(values_.WrapFlag);
  WrapWidthUpDown->setEnabled(values_.WrapFlag);
  WrapWidthEdit->setEnabled(values_.WrapFlag);
  CheckBoxAutoIndent->setChecked(values_.AIndentFlag);
  CheckBoxFreeCaret->setChecked(values_.FCaretFlag);
  ChekBoxRetMark->setChecked(values_.RetFlag);
  CheckBoxEofMark->setChecked(values_.EofFlag);
  CheckBoxTabIndent->setChecked(values_.TIndentFlag);
  CheckBoxComment->setChecked(values_.CommentOutRow);

  const std::array<QRadioButton*, 4> reserve{RadioLower, RadioUpper, RadioHedUpper, RadioUnSupply};
  for (int i = 0; i < 4; ++i)
    reserve[size_t(i)]->setChecked(values_.ReserveType == i + 1);
  Radio1Base->setChecked(values_.NumberType == 1);
  Radio0Base->setChecked(values_.NumberType == 2);
  SeparaterCombo->setCurrentIndex(values_.SeparateType >= 0 &&
                                          values_.SeparateType < SeparaterCombo->count()
                                      ? values_.SeparateType
                                      : -1);
  EncodingCombo->setCurrentIndex(static_cast<int>(values_.NewEncoding));
  LineBreakCombo->setCurrentIndex(static_cast<int>(values_.NewLineBreak));
  RefreshPreview();
}

void TOptionForm::Connect() {
  connect(ListBox1, &QListWidget::currentRowChanged, this, &TOptionForm::SelectItem);
  connect(ColorGrid1, &TColorGrid::ForegroundChosen, this,
          [this](TColor c) { ColorChosen(true, c); });
  connect(ColorGrid1, &TColorGrid::BackgroundChosen, this,
          [this](TColor c) { ColorChosen(false, c); });
  connect(FB_CheckBox, &QCheckBox::clicked, this, [this](bool on) { DefaultBoxClicked(true, on); });
  connect(BG_CheckBox, &QCheckBox::clicked, this,
          [this](bool on) { DefaultBoxClicked(false, on); });
  for (QCheckBox* b : {BoldCheckBox, ItalicCheckBox, UnderLCheckBox})
    connect(b, &QCheckBox::clicked, this, &TOptionForm::StyleClicked);
  connect(FitBackground, &QCheckBox::clicked, this, &TOptionForm::FitClicked);

  auto number = [this](TRightEdit* edit, int TOptionValues::*field) {
    connect(edit, &TRightEdit::ValueChanged, this, [this, field](int v) {
      values_.*field = v;
      RefreshPreview();
    });
    connect(edit, &TRightEdit::HintChanged, this, &TOptionForm::ShowHint);
  };
  number(TopSpaceEdit, &TOptionValues::TopSpace);
  number(LeftSpaceEdit, &TOptionValues::LeftSpace);
  number(LineSpaceEdit, &TOptionValues::LineSpace);
  number(CharacterSpaceEdit, &TOptionValues::CharacterSpace);
  number(WrapWidthEdit, &TOptionValues::WrapCount);
  number(TabWidthEdit, &TOptionValues::TabCount);

  auto flag = [this](QCheckBox* box, bool TOptionValues::*field) {
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
      values_.*field = on;
      RefreshPreview();
    });
  };
  flag(CheckBoxAutoIndent, &TOptionValues::AIndentFlag);
  flag(CheckBoxFreeCaret, &TOptionValues::FCaretFlag);
  flag(ChekBoxRetMark, &TOptionValues::RetFlag);
  flag(CheckBoxEofMark, &TOptionValues::EofFlag);
  flag(CheckBoxTabIndent, &TOptionValues::TIndentFlag);
  flag(CheckBoxComment, &TOptionValues::CommentOutRow);
  flag(CheckBoxWrap, &TOptionValues::WrapFlag);
  connect(CheckBoxWrap, &QCheckBox::toggled, WrapWidthUpDown, &QWidget::setEnabled);

  for (QRadioButton* r :
       {RadioLower, RadioUpper, RadioHedUpper, RadioUnSupply, Radio1Base, Radio0Base})
    connect(r, &QRadioButton::toggled, this, &TOptionForm::RadiosChanged);
  connect(SeparaterCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) values_.SeparateType = i;
  });
  connect(EncodingCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) values_.NewEncoding = static_cast<TEncoding>(i);
  });
  connect(LineBreakCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (i >= 0) values_.NewLineBreak = static_cast<TLineBreak>(i);
  });

  connect(OK, &QPushButton::clicked, this, &TOptionForm::accept);
  connect(CancelButton, &QPushButton::clicked, this, &TOptionForm::reject);
}

void TOptionForm::SelectItem(int item) {
  if (item < 0 || item >= kOptionItemCount) return;
  item_ = item;
  const TOptionItemInfo& info = OptionItemInfo(item);
  ColorGrid1->setEnabled(true);
  ColorGrid1->SetForegroundEnabled(true);
  ColorGrid1->SetForegroundColor(ItemTextColor(values_, item));
  ColorGrid1->SetBackgroundEnabled(info.HasBackground);
  ColorGrid1->SetBackgroundColor(info.HasBackground ? ItemBackColor(values_, item) : clNone);
  FB_CheckBox->setEnabled(true);
  BG_CheckBox->setEnabled(info.HasBackground);
  UpdateDefaultBoxes();
  const TTokenSetting style = ItemStyle(values_, item);
  const std::array<std::pair<QCheckBox*, bool>, 3> boxes{
      {{BoldCheckBox, style.Bold}, {ItalicCheckBox, style.Italic}, {UnderLCheckBox, style.UnderL}}};
  for (auto [box, on] : boxes) {
    box->setEnabled(info.HasStyle);
    box->setChecked(info.HasStyle && on);
  }
}

void TOptionForm::UpdateDefaultBoxes() {
  if (item_ < 0) return;
  const TOptionItemInfo& info = OptionItemInfo(item_);
  FB_CheckBox->setChecked(ItemTextColor(values_, item_) == info.DefaultText);
  BG_CheckBox->setChecked(info.HasBackground && ItemBackColor(values_, item_) == info.DefaultBack);
}

void TOptionForm::SetFitBox(bool on) {
  FitBackground->setChecked(on);
  values_.SameBkFlag = on;
}

void TOptionForm::ColorChosen(bool text, TColor c) {
  if (item_ < 0) return;
  const TOptionItemInfo& info = OptionItemInfo(item_);
  if (!text && !info.HasBackground) return;
  if (text)
    SetItemTextColor(values_, item_, c);
  else
    SetItemBackColor(values_, item_, c);
  if (item_ == oiBackground) {
    if (values_.SameBkFlag) ze::FitBackground(values_);
    SetFitBox(BackgroundFits(values_));
  } else if (info.Token >= 0 && FollowsBackground(TSettingsToken(info.Token)) &&
             ItemBackColor(values_, item_) != values_.Background) {
    SetFitBox(false);
  }
  RefreshPreview();
  UpdateDefaultBoxes();
}

void TOptionForm::DefaultBoxClicked(bool text, bool on) {
  if (item_ < 0) return;
  const TOptionItemInfo& info = OptionItemInfo(item_);
  const TColor now = text ? ItemTextColor(values_, item_) : ItemBackColor(values_, item_);
  const auto key = std::make_pair(item_, text);
  TColor target;
  if (on) {
    // Only the working copy gets the default: Cancel drops it too.
    if (now != (text ? info.DefaultText : info.DefaultBack)) beforeDefault_[key] = now;
    target = text ? info.DefaultText : info.DefaultBack;
  } else {
    auto it = beforeDefault_.find(key);
    if (it == beforeDefault_.end()) {
      ShowHint(QStringLiteral("グリッドで別の色を選ぶと初期値カラーは使われなくなります"));
      UpdateDefaultBoxes();
      return;
    }
    target = it->second;
    beforeDefault_.erase(it);
  }
  if (text)
    ColorGrid1->SetForegroundColor(target);
  else
    ColorGrid1->SetBackgroundColor(target);
  ColorChosen(text, target);
}

void TOptionForm::StyleClicked() {
  if (item_ < 0) return;
  SetItemStyle(values_, item_, BoldCheckBox->isChecked(), ItalicCheckBox->isChecked(),
               UnderLCheckBox->isChecked());
  RefreshPreview();
}

void TOptionForm::FitClicked(bool on) {
  values_.SameBkFlag = on;
  if (on) {
    ze::FitBackground(values_);
    if (item_ >= 0) {
      const int token = OptionItemInfo(item_).Token;
      if (token >= 0 && FollowsBackground(TSettingsToken(token)))
        ColorGrid1->SetBackgroundColor(values_.Background);
    }
    UpdateDefaultBoxes();
  }
  RefreshPreview();
}

void TOptionForm::RadiosChanged() {
  const std::array<QRadioButton*, 4> reserve{RadioLower, RadioUpper, RadioHedUpper, RadioUnSupply};
  values_.ReserveType = 0;
  for (int i = 0; i < 4; ++i)
    if (reserve[size_t(i)]->isChecked()) values_.ReserveType = i + 1;
  values_.NumberType = Radio1Base->isChecked() ? 1 : Radio0Base->isChecked() ? 2 : 0;
}

void TOptionForm::ShowHint(const QString& hint) {
  HintLabel->setText(hint);
}

void TOptionForm::RefreshPreview() {
  ApplyOptions(values_, *EditorProp2);
  EditorProp2->ApplyTo(Editor1->Editor());
}

void TOptionForm::accept() {
  // A number still being typed counts as it would on leaving its field.
  for (TRightEdit* e : {TopSpaceEdit, LeftSpaceEdit, LineSpaceEdit, CharacterSpaceEdit,
                        WrapWidthEdit, TabWidthEdit})
    e->Finish();
  RadiosChanged();
  ApplyOptions(values_, *edited_);
  if (OnOk) OnOk(values_, *edited_);
  QDialog::accept();
}

} // namespace ze
