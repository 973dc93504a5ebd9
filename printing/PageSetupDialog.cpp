#include "printing/PageSetupDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/qt/QtSurface.h"

namespace ze {

const std::vector<TNamedColour>& StandardColours() {
  static const std::vector<TNamedColour> colours = {
      {"clBlack", 0x000000}, {"clMaroon", 0x000080},     {"clGreen", 0x008000},
      {"clOlive", 0x008080}, {"clNavy", 0x800000},       {"clPurple", 0x800080},
      {"clTeal", 0x808000},  {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
      {"clRed", 0x0000FF},   {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
      {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
      {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
      {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0}};
  return colours;
}

// ---------------------------------------------------------------- radio group

TPageRadioGroup::TPageRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
  auto* box = new QGroupBox(caption, this);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(box);
  auto* layout = new QVBoxLayout(box);
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], box);
    group_->addButton(b, i);
    layout->addWidget(b);
  }
  connect(group_, &QButtonGroup::idClicked, this, &TPageRadioGroup::Clicked);
}

int TPageRadioGroup::ItemIndex() const {
  return group_->checkedId();
}
void TPageRadioGroup::SetItemIndex(int i) {
  if (QAbstractButton* b = group_->button(i)) b->setChecked(true);
}
QRadioButton* TPageRadioGroup::Button(int i) const {
  return static_cast<QRadioButton*>(group_->button(i));
}

// ---------------------------------------------------------------- the form

namespace {

QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, const QString& suffix = {}) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setRange(lo, hi);
  s->setSuffix(suffix);
  return s;
}

void FillColours(QComboBox* box) {
  for (const TNamedColour& c : StandardColours()) {
    QPixmap swatch(12, 12);
    swatch.fill(ToQColor(c.Color));
    box->addItem(QIcon(swatch), QString::fromLatin1(c.Name), QVariant::fromValue<uint>(c.Color));
  }
}

void SelectColour(QComboBox* box, TColor c) {
  int i = box->findData(QVariant::fromValue<uint>(c));
  if (i < 0) {
    QPixmap swatch(12, 12);
    swatch.fill(ToQColor(c));
    box->addItem(QIcon(swatch), QString::asprintf("$%08X", c), QVariant::fromValue<uint>(c));
    i = box->count() - 1;
  }
  box->setCurrentIndex(i);
}

TColor ColourOf(QComboBox* box) {
  return static_cast<TColor>(box->currentData().toUInt());
}

} // namespace

TFormStringsPrinterEditor::TFormStringsPrinterEditor(TStringsPrinter& source, const TStrings* lines,
                                                     QWidget* parent)
    : QDialog(parent), StringsPrinter1(std::make_unique<TStringsPrinter>(nullptr)), lines_(lines) {
  setWindowTitle(QStringLiteral("  ページ 設定"));
  StringsPrinter1->CopyFrom(&source);
  StringsPrinter1->SetDevice(source.Device());
  auto* layout = new QVBoxLayout(this);

  // Printer and paper.
  auto* top = new QHBoxLayout;
  Label5 = new QLabel(QStringLiteral("current printer name"), this);
  Label12 = new QLabel(this);
  Label6 = new QLabel(this);
  Button4 = new QPushButton(QStringLiteral("プリンタ 設定"), this);
  Button5 = new QPushButton(QStringLiteral("印刷"), this);
  Button5->setToolTip(QStringLiteral("印刷"));
  Button6 = new QPushButton(QStringLiteral("プレビュー"), this);
  Button6->setToolTip(QStringLiteral("印刷 プレビュー"));
  for (QWidget* w :
       std::initializer_list<QWidget*>{Label5, Label12, Label6, Button4, Button5, Button6})
    top->addWidget(w);
  layout->addLayout(top);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1, 1);
  BuildFontPage();
  BuildMarginPage();
  BuildRangePage();
  BuildOtherPage();

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button1 = new QPushButton(QStringLiteral("O K"), this);
  Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
  Button1->setDefault(true);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  StatusBar1 = new QStatusBar(this);
  layout->addWidget(StatusBar1);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  connect(Button4, &QPushButton::clicked, this, [this] {
    if (OnPrinterSetup) OnPrinterSetup();
    RefreshPrinterInfo();
  });
  connect(Button5, &QPushButton::clicked, this, [this] {
    if (lines_ && OnPrint) OnPrint(*StringsPrinter1, *lines_);
  });
  connect(Button6, &QPushButton::clicked, this, [this] {
    if (lines_ && OnPreview) OnPreview(*StringsPrinter1, *lines_);
  });
  LoadFromCopy();
  // Wide enough that all four page tabs show.
  setMinimumSize(std::max(462, PageControl1->tabBar()->sizeHint().width() + 40), 283);
}

TFormStringsPrinterEditor::~TFormStringsPrinterEditor() = default;

void TFormStringsPrinterEditor::BuildFontPage() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  ComboBox1 = new QComboBox(page);
  ComboBox2 = new QComboBox(page);
  g->addWidget(new QLabel(QStringLiteral("[ フォント ]"), page), 0, 0);
  g->addWidget(ComboBox1, 0, 1);
  g->addWidget(new QLabel(QStringLiteral("[ サイズ ]"), page), 0, 2);
  g->addWidget(ComboBox2, 0, 3);
  auto* mode = new QGroupBox(QStringLiteral(" [ プリント モード ]"), page);
  auto* m = new QGridLayout(mode);
  ComboBox6 = new QComboBox(mode);
  ComboBox6->addItems({QStringLiteral("白 黒"), QStringLiteral("カラー"),
                       QStringLiteral("白 黒  構文強調 表示"),
                       QStringLiteral("カラー 構文強調 表示")});
  ComboBox3 = new QComboBox(mode);
  ComboBox4 = new QComboBox(mode);
  ComboBox5 = new QComboBox(mode);
  FillColours(ComboBox3);
  FillColours(ComboBox4);
  FillColours(ComboBox5);
  ColorLabel3 = new QLabel(QStringLiteral("[ 前景 色 ]"), mode);
  ColorLabel4 = new QLabel(QStringLiteral("[ 背景 色 ]"), mode);
  ColorLabel5 = new QLabel(QStringLiteral("[ ヘッダー / フッター / 行番号 色 ]"), mode);
  m->addWidget(ComboBox6, 0, 0, 1, 2);
  m->addWidget(ColorLabel3, 1, 0);
  m->addWidget(ComboBox3, 1, 1);
  m->addWidget(ColorLabel4, 2, 0);
  m->addWidget(ComboBox4, 2, 1);
  m->addWidget(ColorLabel5, 3, 0);
  m->addWidget(ComboBox5, 3, 1);
  g->addWidget(mode, 1, 0, 1, 4);
  PageControl1->addTab(page, QStringLiteral(" フォント / カラー "));

  TStringsPrinter& c = *StringsPrinter1;
  connect(ComboBox1, &QComboBox::currentTextChanged, this, [this, &c](const QString& name) {
    if (!loading_) c.Font()->SetName(name.toStdString());
  });
  connect(ComboBox2, &QComboBox::currentTextChanged, this, [this, &c](const QString& text) {
    if (loading_) return;
    bool ok = false;
    int size = text.toInt(&ok);
    c.Font()->SetSize(ok ? size : 9);
  });
  connect(ComboBox3, &QComboBox::activated, this,
          [this, &c] { c.Font()->SetColor(ColourOf(ComboBox3)); });
  connect(ComboBox4, &QComboBox::activated, this,
          [this, &c] { c.SetBkColor(ColourOf(ComboBox4)); });
  connect(ComboBox5, &QComboBox::activated, this,
          [this, &c] { c.SetHeaderColor(ColourOf(ComboBox5)); });
  connect(ComboBox6, &QComboBox::currentIndexChanged, this, [this, &c](int i) {
    if (loading_ || i < 0) return;
    if (i == pmBW || i == pmBWFontStyle) {
      c.Font()->SetColor(clBlack);
      c.SetBkColor(clWhite);
      c.SetHeaderColor(clBlack);
      SelectColour(ComboBox3, clBlack);
      SelectColour(ComboBox4, clWhite);
      SelectColour(ComboBox5, clBlack);
    }
    c.SetPrintMode(static_cast<TStringsPrinterPrintMode>(i));
    SetColourControls();
  });
}

void TFormStringsPrinterEditor::BuildMarginPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  auto* box = new QGroupBox(QStringLiteral(" [ 用紙 余白 ]"), page);
  auto* g = new QGridLayout(box);
  const QString mm = QStringLiteral(" mm");
  SpinEdit1 = Spin(box, "SpinEdit1", 0, 100, mm);
  SpinEdit2 = Spin(box, "SpinEdit2", 0, 100, mm);
  SpinEdit3 = Spin(box, "SpinEdit3", 0, 100, mm);
  SpinEdit4 = Spin(box, "SpinEdit4", 0, 100, mm);
  g->addWidget(new QLabel(QStringLiteral("[ 左 ]"), box), 0, 0);
  g->addWidget(SpinEdit1, 0, 1);
  g->addWidget(new QLabel(QStringLiteral("[ 右 ]"), box), 0, 2);
  g->addWidget(SpinEdit2, 0, 3);
  g->addWidget(new QLabel(QStringLiteral("[ 上 ]"), box), 1, 0);
  g->addWidget(SpinEdit3, 1, 1);
  g->addWidget(new QLabel(QStringLiteral("[ 下 ]"), box), 1, 2);
  g->addWidget(SpinEdit4, 1, 3);
  v->addWidget(box);
  auto* row = new QHBoxLayout;
  SpinEdit12 = Spin(page, "SpinEdit12", 0, 100, mm);
  row->addWidget(new QLabel(QStringLiteral("[ 行間 余白 ]"), page));
  row->addWidget(SpinEdit12);
  v->addLayout(row);
  PageControl1->addTab(page, QStringLiteral("  余  白  "));

  TStringsPrinter& c = *StringsPrinter1;
  auto hook = [this](QSpinBox* s, void (TStringsPrinter::*set)(int)) {
    connect(s, &QSpinBox::valueChanged, this, [this, set](int v) {
      if (!loading_) (StringsPrinter1.get()->*set)(v);
    });
  };
  (void)c;
  hook(SpinEdit1, &TStringsPrinter::SetMarginLeft);
  hook(SpinEdit2, &TStringsPrinter::SetMarginRight);
  hook(SpinEdit3, &TStringsPrinter::SetMarginTop);
  hook(SpinEdit4, &TStringsPrinter::SetMarginBottom);
  hook(SpinEdit12, &TStringsPrinter::SetMarginLine);
}

void TFormStringsPrinterEditor::BuildRangePage() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  const QStringList pageItems{QStringLiteral("全 ページ"), QStringLiteral("範囲 指定")};
  const QStringList lineItems{QStringLiteral("全 行"), QStringLiteral("範囲 指定")};
  RadioGroup5 = new TPageRadioGroup(QStringLiteral(" [ ページ 範囲 ]"), pageItems, page);
  RadioGroup6 = new TPageRadioGroup(QStringLiteral(" [ 行 範囲 ]"), lineItems, page);
  // Wide enough to type a value that is out of range, which is then mended.
  SpinEdit6 = Spin(page, "SpinEdit6", -1, 9999999);
  SpinEdit7 = Spin(page, "SpinEdit7", -1, 9999999);
  SpinEdit8 = Spin(page, "SpinEdit8", -1, 9999999);
  SpinEdit9 = Spin(page, "SpinEdit9", -1, 9999999);
  SpinEdit10 = Spin(page, "SpinEdit10", -1, 9999999);
  SpinEdit11 = Spin(page, "SpinEdit11", -1, 9999999);
  g->addWidget(RadioGroup5, 0, 0, 3, 1);
  g->addWidget(new QLabel(QStringLiteral("開始ページ"), page), 0, 1);
  g->addWidget(SpinEdit6, 0, 2);
  g->addWidget(new QLabel(QStringLiteral("終了ページ"), page), 1, 1);
  g->addWidget(SpinEdit7, 1, 2);
  g->addWidget(new QLabel(QStringLiteral("先頭ページ No"), page), 2, 1);
  g->addWidget(SpinEdit8, 2, 2);
  g->addWidget(RadioGroup6, 3, 0, 3, 1);
  g->addWidget(new QLabel(QStringLiteral("開始行"), page), 3, 1);
  g->addWidget(SpinEdit9, 3, 2);
  g->addWidget(new QLabel(QStringLiteral("終了行"), page), 4, 1);
  g->addWidget(SpinEdit10, 4, 2);
  g->addWidget(new QLabel(QStringLiteral("先頭行 No"), page), 5, 1);
  g->addWidget(SpinEdit11, 5, 2);
  PageControl1->addTab(page, QStringLiteral(" 印刷 範囲 "));

  for (QSpinBox* s : {SpinEdit6, SpinEdit7, SpinEdit8, SpinEdit9, SpinEdit10, SpinEdit11}) {
    connect(s, &QSpinBox::valueChanged, this, [this, s] { NumberEdited(s); });
    s->installEventFilter(this);
    if (s->findChild<QLineEdit*>()) s->findChild<QLineEdit*>()->installEventFilter(this);
  }
  connect(RadioGroup5, &TPageRadioGroup::Clicked, this, [this](int i) {
    if (loading_) return;
    TStringsPrinter& c = *StringsPrinter1;
    c.SetRangeOption(static_cast<TStringsPrinterRangeOption>(i));
    SpinEdit6->setEnabled(i == 1);
    SpinEdit7->setEnabled(i == 1);
    SpinEdit8->setValue(i == 1 ? c.StartPage() : 1);
  });
  connect(RadioGroup6, &TPageRadioGroup::Clicked, this, [this](int i) {
    if (loading_) return;
    TStringsPrinter& c = *StringsPrinter1;
    c.SetLineRangeOption(static_cast<TStringsPrinterRangeOption>(i));
    SpinEdit9->setEnabled(i == 1);
    SpinEdit10->setEnabled(i == 1);
    SpinEdit11->setValue(i == 1 ? c.StartLine() : 1);
  });
}

void TFormStringsPrinterEditor::NumberEdited(QSpinBox* box) {
  if (loading_) return;
  int v = box->value();
  // Nothing or zero means "to the end"; one past the range starts anew.
  if (v <= 0)
    v = 999999;
  else if (v > 999999)
    v = 1;
  if (v != box->value()) {
    QSignalBlocker block(box);
    box->setValue(v);
  }
  TStringsPrinter& c = *StringsPrinter1;
  if (box == SpinEdit6) {
    c.SetStartPage(v);
    if (c.RangeOption() == roLimited) SpinEdit8->setValue(v);
  } else if (box == SpinEdit7) {
    c.SetLastPage(v);
  } else if (box == SpinEdit8) {
    c.SetFirstPageNumber(v);
  } else if (box == SpinEdit9) {
    c.SetStartLine(v);
    if (c.LineRangeOption() == roLimited) SpinEdit11->setValue(v);
  } else if (box == SpinEdit10) {
    c.SetLastLine(v);
  } else if (box == SpinEdit11) {
    c.SetFirstLineNumber(v);
  }
}

void TFormStringsPrinterEditor::ResetNumbers() {
  SpinEdit6->setValue(1);
  SpinEdit8->setValue(1);
  SpinEdit9->setValue(1);
  SpinEdit11->setValue(1);
  SpinEdit7->setValue(999999);
  SpinEdit10->setValue(999999);
}

bool TFormStringsPrinterEditor::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick) ResetNumbers();
  return QDialog::eventFilter(o, e);
}

void TFormStringsPrinterEditor::BuildOtherPage() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  const QStringList align{QStringLiteral("非表示"), QStringLiteral("左 配置"),
                          QStringLiteral("中央 配置"), QStringLiteral("右 配置")};
  RadioGroup2 = new TPageRadioGroup(QStringLiteral(" [ ヘッダー 表示 / 位置 ]"), align, page);
  RadioGroup3 = new TPageRadioGroup(QStringLiteral(" [ フッター 表示 / 位置 ]"), align, page);
  SpinEdit13 = Spin(page, "SpinEdit13", 2, 8, QStringLiteral(" Byte"));
  SpinEdit13->setSingleStep(2);
  // Stepped only, never typed into.
  if (auto* edit = SpinEdit13->findChild<QLineEdit*>()) edit->setReadOnly(true);
  CheckBox2 = new QCheckBox(QStringLiteral("ワードブレイク"), page);
  CheckBox1 = new QCheckBox(QStringLiteral("行番号 印刷"), page);
  g->addWidget(RadioGroup2, 0, 0);
  g->addWidget(RadioGroup3, 0, 1);
  g->addWidget(new QLabel(QStringLiteral("[ タブ幅 ]"), page), 1, 0);
  g->addWidget(SpinEdit13, 1, 1);
  g->addWidget(CheckBox2, 2, 0);
  g->addWidget(CheckBox1, 2, 1);
  PageControl1->addTab(page, QStringLiteral("ヘッダー / フッター その他"));

  connect(RadioGroup2, &TPageRadioGroup::Clicked, this, [this](int i) {
    if (!loading_) StringsPrinter1->SetHeaderAlign(static_cast<TStringsPrinterHeaderAlign>(i));
  });
  connect(RadioGroup3, &TPageRadioGroup::Clicked, this, [this](int i) {
    if (!loading_) StringsPrinter1->SetFooterAlign(static_cast<TStringsPrinterHeaderAlign>(i));
  });
  connect(SpinEdit13, &QSpinBox::valueChanged, this, [this](int v) {
    if (!loading_) StringsPrinter1->SetTabSpaceCount(v);
  });
  connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) StringsPrinter1->SetWordBreak(on);
  });
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
    if (!loading_) StringsPrinter1->SetLineNumber(on);
  });
}

void TFormStringsPrinterEditor::RefreshPrinterInfo() {
  TStringsPrinterInfo* info = StringsPrinter1->Info();
  Label5->setText(QString::fromStdString(info->PrinterName()));
  const std::string paper = info->PaperName();
  Label12->setText(QString::fromStdString(paper));
  Label6->setText(info->Landscape() ? QStringLiteral("横") : QStringLiteral("縦"));
}

void TFormStringsPrinterEditor::SetColourControls() {
  const TStringsPrinterPrintMode m = StringsPrinter1->PrintMode();
  const bool colour = m == pmThreeColor || m == pmColorToken;
  for (QWidget* w : std::initializer_list<QWidget*>{ComboBox3, ComboBox4, ComboBox5, ColorLabel3,
                                                    ColorLabel4, ColorLabel5})
    w->setEnabled(colour);
}

void TFormStringsPrinterEditor::LoadFromCopy() {
  loading_ = true;
  TStringsPrinter& c = *StringsPrinter1;
  // Fonts: the printer's own are Qt's font database; vertical "@" faces
  // are left out.
  for (const QString& f : QFontDatabase::families())
    if (!f.startsWith(QLatin1Char('@'))) ComboBox1->addItem(f);
  const QString name = QString::fromStdString(c.Font()->Name());
  if (ComboBox1->findText(name) < 0) ComboBox1->insertItem(0, name);
  ComboBox1->setCurrentIndex(ComboBox1->findText(name));
  for (int s = 6; s <= 30; ++s)
    ComboBox2->addItem(QString::number(s));
  const QString size = QString::number(c.Font()->Size());
  if (ComboBox2->findText(size) < 0) ComboBox2->addItem(size);
  ComboBox2->setCurrentIndex(ComboBox2->findText(size));

  if (c.Font()->Color() == clNone) c.Font()->SetColor(clBlack);
  SelectColour(ComboBox3, c.Font()->Color());
  SelectColour(ComboBox4, c.BkColor());
  SelectColour(ComboBox5, c.HeaderColor());

  RefreshPrinterInfo();

  SpinEdit1->setValue(c.MarginLeft());
  SpinEdit2->setValue(c.MarginRight());
  SpinEdit3->setValue(c.MarginTop());
  SpinEdit4->setValue(c.MarginBottom());
  SpinEdit12->setValue(c.MarginLine());
  CheckBox1->setChecked(c.LineNumber());
  CheckBox2->setChecked(c.WordBreak());
  RadioGroup2->SetItemIndex(c.HeaderAlign());
  RadioGroup3->SetItemIndex(c.FooterAlign());
  SpinEdit13->setValue(c.TabSpaceCount());
  RadioGroup5->SetItemIndex(c.RangeOption());
  SpinEdit6->setValue(c.StartPage());
  SpinEdit7->setValue(c.LastPage());
  SpinEdit8->setValue(c.FirstPageNumber());
  SpinEdit6->setEnabled(c.RangeOption() == roLimited);
  SpinEdit7->setEnabled(c.RangeOption() == roLimited);
  // The line range is shown as it is stored, like the page range: what
  // the dialog shows is what will be printed.
  RadioGroup6->SetItemIndex(c.LineRangeOption());
  SpinEdit9->setValue(c.StartLine());
  SpinEdit10->setValue(c.LastLine());
  SpinEdit11->setValue(c.FirstLineNumber());
  SpinEdit9->setEnabled(c.LineRangeOption() == roLimited);
  SpinEdit10->setEnabled(c.LineRangeOption() == roLimited);

  c.SetHeader("%F");
  c.SetFooter("- %p -");

  const bool haveLines = lines_ != nullptr;
  for (QWidget* w :
       std::initializer_list<QWidget*>{Label5, Label6, Label12, Button4, Button5, Button6})
    w->setEnabled(haveLines);

  ComboBox6->setCurrentIndex(c.PrintMode());
  SetColourControls();
  loading_ = false;
}

bool TFormStringsPrinterEditor::PageSetup(TStringsPrinter* printer, const TStrings* lines,
                                          QWidget* parent,
                                          std::function<void(TFormStringsPrinterEditor&)> prepare) {
  if (!printer) return false;
  TFormStringsPrinterEditor form(*printer, lines, parent);
  if (prepare) prepare(form);
  if (form.exec() != QDialog::Accepted) return false;
  TFountain* fountain = printer->Fountain();
  printer->CopyFrom(form.StringsPrinter1.get());
  printer->SetFountain(fountain);
  return true;
}

} // namespace ze
