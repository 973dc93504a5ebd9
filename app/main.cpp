// ZorvaneEditor: for now one editor in a window (TShellWindow), showing
// the file named on the command line.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "app/ShellWindow.h"
#include "platform/qt/EditorWidget.h"

namespace {

// An error that reaches the event loop is shown, not fatal: the text and
// the chance to save it stay.
class TShellApplication : public QApplication {
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
  TShellApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZorvaneEditor"));

  ze::TShellWindow window;
  window.show();
  // Without a window manager (a bare X server) nothing else activates it.
  window.activateWindow();
  window.View()->setFocus();
  if (argc > 1) {
    // Paths stay native bytes.
    window.Load(argv[1]);
    if (argc > 2)
      std::fprintf(stderr, "ZorvaneEditor: this window shows one file; %d more not opened\n",
                   argc - 2);
  }
  return app.exec();
}
