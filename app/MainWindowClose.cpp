// TForm1: the close query and writing the settings at close.
#include <QCloseEvent>
#include <QComboBox>
#include <exception>

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/settings/ApplySettings.h"
#include "editorprop/EditorProp.h"
#include "platform/Prompter.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

void TForm1::closeEvent(QCloseEvent* e) {
  // A running print command uses a page's document: it is cancelled and
  // the window closes once it has returned.
  if (DeferCloseWhilePrinting()) {
    e->ignore();
    return;
  }
  bool allow = false;
  // Nothing may leave this handler unreported: a failure keeps the
  // window open and the documents as they are.
  try {
    allow = CloseQuery();
  } catch (const std::exception& error) {
    ShowError(error.what());
    allow = false;
  }
  if (allow) {
    closing_ = true;
    e->accept();
  } else {
    e->ignore();
  }
}

// Goes through the pages as many times as there were pages: an unmodified
// page closes without a question, a modified one is asked about; the
// last page's answer decides. The settings are written whatever the
// answer was.
bool TForm1::CloseQuery() {
  bool allow = false;
  const int passes = docs_.Count();
  for (int pass = 0; pass < passes; ++pass) {
    TEditor* e = ActiveEditor();
    if (!e) {
      allow = true;
      break;
    }
    const bool more = docs_.Count() > 1;
    bool closePage = true; // this page may go
    // A save that fails, is refused or is cancelled keeps the page and
    // the window.
    if (e->Modified()) closePage = PageCloseQuery();
    if (!closePage) {
      allow = false;
      break;
    }
    if (more) {
      CloseActivePage();
      allow = false;
    } else {
      allow = true;
    }
  }
  if (!WriteSettings()) {
    // The user decides whether to go without the settings.
    if (allow && prompter_.Message("設定を保存できませんでした。このまま終了しますか?",
                                   TMsgKind::Warning, TMsgButtons::YesNo) != TMsgResult::Yes)
      allow = false;
  }
  return allow;
}

bool TForm1::WriteSettings() {
  TakeBarPlaces();
  const QRect g = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
  settings_.Window.Rect = {g.left(), g.top(), g.width(), g.height()};
  if (fontName_->currentIndex() >= 0) settings_.Window.FontName = fontName_->currentIndex();
  if (fontSize_->currentIndex() >= 0)
    settings_.Window.FontSize = fontSize_->currentIndex() + kMinFontSize;
  if (TEditor* e = ActiveEditor()) {
    TakeProp(*e);
    TakeViewFlags(settings_, *prop_);
  }
  try {
    WriteSettingsFiles(settings_, location_.Files);
  } catch (const std::exception& error) {
    ShowError(std::string("設定ファイルを書き込めませんでした。\n") + error.what());
    return false;
  }
  return true;
}

} // namespace ze
