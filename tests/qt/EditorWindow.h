#pragma once
// A shown window holding an editor widget and a line edit for the focus to
// go to, for tests of the widget.

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

#include "platform/qt/EditorWidget.h"
#include "tests/qt/QtApp.h"

namespace ze::test {

struct EditorWindowTest : ::testing::Test {
  std::unique_ptr<QWidget> window;
  TEditorWidget* w = nullptr;
  QLineEdit* other = nullptr; // somewhere else for the focus to go
  TEditor* e = nullptr;

  explicit EditorWindowTest(int height) {
    App();
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    w = new TEditorWidget;
    other = new QLineEdit;
    layout->addWidget(w);
    layout->addWidget(other);
    window->resize(640, height);
    window->show();
    QApplication::processEvents();
    e = w->Editor();
  }
  int X(int col) const { return e->TextLeft() + (col - e->TopCol()) * e->ColWidth(); }
  int Y(int row) const { return e->TextTop() + (row - e->TopRow()) * e->RowHeight(); }
};

} // namespace ze::test
