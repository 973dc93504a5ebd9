// ZorvaneEditor: the program entry. Creates the main window, opens the
// files named on the command line and runs the event loop.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "app/MainWindow.h"
#include "app/MainWindowTools.h"
#include "app/QtTranslation.h"
#include "app/StartupTimer.h"
#include "dragdrop/qt/OleddEditorWidget.h"
#include "platform/qt/QtPrompter.h"

namespace {

// An error that reaches the event loop is shown, not fatal: the text and
// the chance to save it stay.
class TApplication : public QApplication {
public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* e) override {
    try {
      return QApplication::notify(receiver, e);
    } catch (const std::exception& error) {
      QMessageBox::critical(activeWindow(), QStringLiteral("ZorvaneEditor"),
                            QString::fromUtf8(error.what()));
    }
    return false;
  }
};

} // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  TApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZorvaneEditor"));
  QApplication::setApplicationDisplayName(QStringLiteral("ZorvaneEditor"));
  QGuiApplication::setDesktopFileName(QStringLiteral("zorvaneeditor"));
  // Without the translation Qt's dialogs simply stay in English.
  ze::InstallQtTranslation(app);

  ze::TQtPrompter prompter(nullptr);
  ze::TForm1::TOptions options;
  // Every page editor drags its selection out and takes drops.
  options.EditorFactory = [](QWidget* parent) -> ze::TEditorWidget* {
    auto* w = new ze::TOleddEditorWidget(parent);
    w->Editor()->Caret()->SetSelDragMode(ze::dmManual);
    return w;
  };
  // Each replacement is asked about in a box beside the occurrence.
  options.PlaceReplaceQuestion = true;
  ze::TForm1 window(prompter, std::move(options));
  prompter.SetParent(&window);
  ze::InstallToolHandlers(window, prompter);
  ze::WatchFirstPaint(window, clock);
  window.show();
  // Without a window manager (a bare X server) nothing else activates it.
  window.activateWindow();
  // Paths stay native bytes.
  std::vector<std::string> files(argv + 1, argv + argc);
  window.OpenStartFiles(files);
  return app.exec();
}
