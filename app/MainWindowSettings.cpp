// TForm1: the settings files read at start-up, EditorProp1, and the bars'
// places and visibility kept in the settings.
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/MainWindow.h"
#include "app/settings/ApplySettings.h"
#include "editorprop/EditorProp.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

namespace {

// The "Show" entry of each bar; the menu bar has none.
int ShowIndex(TBarId bar) {
  switch (bar) {
  case TBarId::FontBar:
    return swFont;
  case TBarId::FileBar:
    return swFile;
  case TBarId::EditBar:
    return swEdit;
  case TBarId::FindBar:
    return swFind;
  case TBarId::IndicateBar:
    return swIndicate;
  case TBarId::WindowBar:
    return swWindow;
  case TBarId::MainBar:
    return -1;
  }
  return -1;
}

std::vector<TScreenRect> Screens() {
  std::vector<TScreenRect> screens;
  for (QScreen* s : QGuiApplication::screens()) {
    const QRect r = s->availableGeometry();
    screens.push_back({r.left(), r.top(), r.width(), r.height()});
  }
  return screens;
}

} // namespace

void TForm1::ReadSettings() {
  if (options_.ProgramPath.empty())
    options_.ProgramPath = QCoreApplication::applicationFilePath().toStdString();
  if (options_.SettingsDir.empty()) {
    // An installed copy (its defaults under ../share) keeps the user's
    // settings in the configuration folder even where it could write
    // beside the program (a prefix in the home folder).
    const std::string programDir =
        std::filesystem::path(options_.ProgramPath).parent_path().string();
    const bool installed = DefaultsFolder(options_.ProgramPath) != programDir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    location_ =
        ChooseSettingsLocation(options_.ProgramPath, !installed && FolderWritable(programDir),
                               ConfigFolder(xdg ? xdg : "", home ? home : ""));
  } else {
    location_.Files = SettingsFilesFor(options_.ProgramPath, options_.SettingsDir);
    location_.Defaults =
        SettingsFilesFor(options_.ProgramPath, DefaultsFolder(options_.ProgramPath));
    location_.InConfigFolder = false;
  }
  if (options_.DataDir.empty()) options_.DataDir = DefaultsFolder(options_.ProgramPath);
  settings_ = LoadSettings(location_, &settingsProblems_);

  const TWindowRect r = PlaceWindow(settings_.Window.Rect, Screens());
  setGeometry(r.Left, r.Top, r.Width, r.Height);

  std::vector<std::string> fonts;
  for (int i = 0; i < fontName_->count(); ++i)
    fonts.push_back(fontName_->itemText(i).toStdString());
  int index = settings_.Window.FontName;
  const std::string fontName = ResolveFontName(fonts, index);
  fontName_->setCurrentIndex(index);
  fontSize_->setCurrentIndex(settings_.Window.FontSize - kMinFontSize);

  prop_ = Create<TEditorProp>(nullptr);
  InitEditorProp1(*prop_);
  ApplySettings(settings_, fontName, *prop_);
  // Without the word file the text is coloured without reserved words; only
  // a file that is there but cannot be read is worth a message.
  std::string problem;
  const std::string words = ReserveWordFileToRead(location_);
  if (!LoadReserveWords(*prop_->ReserveWordList(), words, &problem) &&
      std::filesystem::exists(words))
    settingsProblems_.push_back(words + ": " + problem);

  statusBar()->setVisible(settings_.Window.Show[swStatus]);
}

void TForm1::ApplyStartViewFeatures() {
  lineNumbers_ = settings_.LineNumberShow;
  ruler_ = settings_.RulerShow;
  lineCursor_ = settings_.LCursorShow;
}

// Puts the bars into the top dock by their rows and positions: rows top
// to bottom, in each row the bars by position.
void TForm1::PlaceBars() {
  std::multimap<std::pair<int, int>, QToolBar*> order;
  for (std::size_t b = 0; b < kBarCount; ++b) {
    const TDockPlace& place = settings_.Window.Bars[b];
    order.emplace(std::make_pair(place.Row, place.Pos), bars_[b]);
  }
  bool first = true;
  int row = 0;
  for (auto& [key, bar] : order) {
    removeToolBar(bar);
    if (!first && key.first != row) addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, bar);
    row = key.first;
    first = false;
  }
  for (std::size_t b = 0; b < kBarCount; ++b) {
    const int show = ShowIndex(static_cast<TBarId>(b));
    bars_[b]->setVisible(show < 0 || settings_.Window.Show[static_cast<std::size_t>(show)]);
  }
}

// Reads the bars' rows and positions back from where they stand in the
// top dock: rows by their top edge, positions by their left edge. A bar
// that is hidden or elsewhere keeps its stored place.
void TForm1::TakeBarPlaces() {
  std::vector<int> tops;
  for (QToolBar* bar : bars_)
    if (toolBarArea(bar) == Qt::TopToolBarArea && !bar->isHidden() && !bar->isFloating())
      tops.push_back(bar->y());
  std::sort(tops.begin(), tops.end());
  tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
  for (std::size_t b = 0; b < kBarCount; ++b) {
    QToolBar* bar = bars_[b];
    const int show = ShowIndex(static_cast<TBarId>(b));
    if (show >= 0) settings_.Window.Show[static_cast<std::size_t>(show)] = !bar->isHidden();
    if (bar->isHidden() || bar->isFloating() || toolBarArea(bar) != Qt::TopToolBarArea) continue;
    TDockPlace& place = settings_.Window.Bars[b];
    place.Row =
        static_cast<int>(std::lower_bound(tops.begin(), tops.end(), bar->y()) - tops.begin());
    place.Pos = bar->x();
  }
  settings_.Window.Show[swStatus] = !statusBar()->isHidden();
}

void TForm1::TakeProp(const TEditor& e) {
  ReportCopyFailures(prop_->TakeFrom(&e));
}

void TForm1::ApplyProp(TEditor& e) {
  ReportCopyFailures(prop_->ApplyTo(&e));
}

void TForm1::ReportCopyFailures(const std::vector<TPropCopyFailure>& failures) {
  if (failures.empty()) return;
  std::string text = "設定の一部を反映できませんでした。";
  for (const TPropCopyFailure& f : failures)
    text += "\n" + f.Property + ": " + f.Message;
  prompter_.Error(text);
}

} // namespace ze
