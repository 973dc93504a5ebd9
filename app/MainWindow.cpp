// TForm1: creation, the bars and menus built from the command table, the
// font bar and the status bar.
#include "app/MainWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>

#include "app/Documents.h"
#include "app/Icons.h"
#include "editorprop/EditorProp.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"
#include "printing/PrintController.h"

namespace ze {

namespace {

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

constexpr int kPanelWidths[6] = {150, 100, 100, 100, 50, 160};

} // namespace

TForm1::TForm1(TPrompter& prompter, TOptions options, QWidget* parent)
    : QMainWindow(parent), prompter_(prompter), options_(std::move(options)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(ProgramIcon());
  setDockNestingEnabled(false);
  setAcceptDrops(true);
  actions_ = new TCommandActions(this, [this](TCommandId id) { Run(id); });

  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName(QStringLiteral("PageControl1"));
  pageControl_->setTabPosition(QTabWidget::South);
  pageControl_->setDocumentMode(true);
  pageControl_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 20px; }"));
  pageControl_->setFocusPolicy(Qt::NoFocus);
  setCentralWidget(pageControl_);
  connect(pageControl_, &QTabWidget::currentChanged, this, [this](int i) { TabChanged(i); });
  // A click on the active tab refreshes too (the focus goes back to its editor).
  connect(pageControl_, &QTabWidget::tabBarClicked, this, [this](int i) {
    if (i >= 0 && i == docs_.ActiveIndex()) PageControl1Change();
  });

  BuildBars();
  BuildStatusBar();
  InstallHandlers();
  InstallEncodingHandlers();
  ReadSettings();
  InstallPrintHandlers();
  PlaceBars();
  InstallDocumentHandlers();

  CreatePage(kUntitled);
  ApplyStartViewFeatures();
  building_ = false;
  PageControl1Change();
}

TForm1::~TForm1() {
  // The pages go before the actions their editors' events refresh.
  building_ = true;
  closing_ = true;
  while (pageControl_->count() > 0) {
    QWidget* page = pageControl_->widget(0);
    pageControl_->removeTab(0);
    delete page;
  }
}

// ---------------------------------------------------------------- bars

void TForm1::BuildBars() {
  for (std::size_t b = 0; b < kBarCount; ++b) {
    const TBarInfo& info = BarInfo(static_cast<TBarId>(b));
    auto* bar = new QToolBar(Text(info.Caption), this);
    bar->setObjectName(Text(info.Name));
    bar->setMovable(true);
    bar->setIconSize(QSize(20, 20));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    if (!info.Closable) bar->toggleViewAction()->setVisible(false);
    bars_[b] = bar;
    actions_->FillToolbar(*bar, ToolbarLines(info.Id));
    // Closed by the user (the dock's menu): the View item follows.
    connect(bar, &QToolBar::visibilityChanged, this, [this] {
      if (!building_) RefreshCommands();
    });
  }

  // The menu bar is a toolbar too, so it docks and moves like the others.
  auto* menus = new QMenuBar(Bar(TBarId::MainBar));
  menus->setObjectName(QStringLiteral("MainMenueBar"));
  menus->setNativeMenuBar(false);
  for (const TMenuInfo& m : MainMenus()) {
    QMenu* menu = menus->addMenu(Text(m.Caption));
    actions_->FillMenu(*menu, m.Lines);
    // The states are computed again whenever a menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this] { RefreshCommands(); });
  }
  Bar(TBarId::MainBar)->addWidget(menus);

  BuildFontBar(Bar(TBarId::FontBar));
}

void TForm1::BuildFontBar(QToolBar* bar) {
  fontName_ = new QComboBox(bar);
  fontName_->setObjectName(QStringLiteral("FontName"));
  fontName_->setFixedWidth(150);
  fontName_->setMaxVisibleItems(10);
  fontName_->setToolTip(QStringLiteral("フォント名"));
  fontName_->setFocusPolicy(Qt::ClickFocus);
  FillFontNames();
  fontSize_ = new QComboBox(bar);
  fontSize_->setObjectName(QStringLiteral("FontSize"));
  fontSize_->setFixedWidth(50);
  fontSize_->setToolTip(QStringLiteral("フォントサイズ"));
  fontSize_->setFocusPolicy(Qt::ClickFocus);
  for (int s = kMinFontSize; s <= kMaxFontSize; ++s)
    fontSize_->addItem(QString::number(s));
  bar->addWidget(fontName_);
  bar->addWidget(fontSize_);
  connect(fontName_, &QComboBox::activated, this, [this](int i) { FontNameChosen(i); });
  connect(fontSize_, &QComboBox::activated, this, [this](int i) { FontSizeChosen(i); });
}

void TForm1::FillFontNames() {
  // Vertical fonts ("@" names) are left out; the order is the font
  // database's.
  for (const QString& family : QFontDatabase::families()) {
    if (family.startsWith(QLatin1Char('@'))) continue;
    fontName_->addItem(family);
  }
}

// ---------------------------------------------------------------- status bar

void TForm1::BuildStatusBar() {
  QStatusBar* sb = statusBar();
  sb->setObjectName(QStringLiteral("StatusBar1"));
  sb->setSizeGripEnabled(true);
  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(sb);
    label->setObjectName(QStringLiteral("Panel%1").arg(i));
    label->setFixedWidth(kPanelWidths[i]);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    sb->addWidget(label);
    panels_[static_cast<std::size_t>(i)] = label;
  }
}

void TForm1::SetStatus(int panel, const std::string& text) {
  panels_.at(static_cast<std::size_t>(panel))->setText(QString::fromStdString(text));
}

QString TForm1::StatusText(int panel) const {
  return panels_.at(static_cast<std::size_t>(panel))->text();
}

// ---------------------------------------------------------------- font bar

void TForm1::FontNameChosen(int index) {
  TEditor* e = ActiveEditor();
  if (!e || index < 0) return;
  TFontDesc font = e->Font();
  font.Name = fontName_->itemText(index).toStdString();
  e->SetFont(font);
  TakeProp(*e);
  ActiveEditorWidget()->setFocus();
  if (TEditorWidget* other = OtherEditorWidget()) ApplyProp(*other->Editor());
}

void TForm1::FontSizeChosen(int index) {
  TEditor* e = ActiveEditor();
  if (!e || index < 0) return;
  TFontDesc font = e->Font();
  font.Size = index + kMinFontSize;
  e->SetFont(font);
  TakeProp(*e);
  ActiveEditorWidget()->setFocus();
  if (TEditorWidget* other = OtherEditorWidget()) ApplyProp(*other->Editor());
}

void TForm1::ShowError(const std::string& what) {
  prompter_.Error(what);
}

} // namespace ze
