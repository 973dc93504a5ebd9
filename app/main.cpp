// ZorvaneEditor: one editor in a window, showing the file named on the
// command line. The full main window (pages, menus, settings) takes this
// place later.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "platform/qt/EditorWidget.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZorvaneEditor"));

  QMainWindow window;
  auto* view = new ze::TEditorWidget(&window);
  window.setCentralWidget(view);
  ze::TEditor* editor = view->Editor();
  ze::TFontSpec font = editor->Font();
  font.Size = 12;
  editor->SetFont(font);
  editor->SetScrollBars(ze::ssBoth);

  QString title = QStringLiteral("Untitled");
  QString error;
  if (argc > 1) {
    // Paths stay native bytes; only the title is decoded for display.
    try {
      editor->Lines()->LoadFromFile(argv[1]);
      title = QFileInfo(QFile::decodeName(argv[1])).fileName();
    } catch (const std::exception& e) {
      error = QString::fromUtf8(e.what());
    }
    if (argc > 2)
      std::fprintf(stderr, "ZorvaneEditor: this window shows one file; %d more not opened\n",
                   argc - 2);
  }
  window.setWindowTitle(title + QStringLiteral(" - ZorvaneEditor"));
  window.resize(960, 720);
  window.show();
  // Without a window manager (a bare X server) nothing else activates it.
  window.activateWindow();
  view->setFocus();
  if (!error.isEmpty()) QMessageBox::critical(&window, QStringLiteral("ZorvaneEditor"), error);
  return app.exec();
}
