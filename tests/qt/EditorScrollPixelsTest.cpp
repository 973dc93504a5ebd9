// After every kind of scrolling the window shows exactly what a fresh
// full repaint shows: no pixel of the previous screen is left behind.
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/qt/EditorWindow.h"

namespace ze {
namespace {

std::string Text() {
  // Rows of different lengths and characters, Japanese among them, and a
  // long row for horizontal scrolling.
  std::string s;
  for (int i = 0; i < 600; ++i) {
    s += std::to_string(i) + " begin \x93\xFA\x96\x7B\x8C\xEA 'str' // row";
    s += std::string(static_cast<size_t>(i % 37), i % 2 ? 'W' : 'j') + "\r\n";
    if (i == 300) s += std::string(3000, 'Q') + "end\r\n";
  }
  return s;
}

struct ScrollPixels : test::EditorWindowTest {
  ScrollPixels() : EditorWindowTest(420) {}

  void Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, m, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, m, text);
    QApplication::sendEvent(w, &release);
  }
  // What the window really holds (its backing store), not a new rendering.
  QImage Shown() {
    QApplication::processEvents();
    const QPoint at = w->viewport()->mapTo(window.get(), QPoint(0, 0));
    const QPixmap all = window->screen()->grabWindow(window->winId());
    return all.toImage().copy(QRect(at, w->viewport()->size()));
  }
  // Compares the window with a full repaint of it.
  void Check(const std::string& what) {
    const QImage before = Shown();
    w->viewport()->repaint();
    const QImage fresh = Shown();
    ASSERT_EQ(before.size(), fresh.size());
    int wrong = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < fresh.height(); ++y)
      for (int x = 0; x < fresh.width(); ++x)
        if (before.pixel(x, y) != fresh.pixel(x, y) && wrong++ == 0) {
          firstX = x;
          firstY = y;
        }
    if (wrong && std::getenv("ZE_STALE_DUMP")) {
      before.save(
          QString::fromStdString(std::string(std::getenv("ZE_STALE_DUMP")) + "-before.png"));
      fresh.save(QString::fromStdString(std::string(std::getenv("ZE_STALE_DUMP")) + "-fresh.png"));
    }
    EXPECT_EQ(wrong, 0) << what << ": first stale pixel at (" << firstX << ", " << firstY
                        << "), text top " << e->TextTop();
  }
  void Prepare(bool bars) {
    e->SetScrollBars(ssBoth);
    e->Ruler()->SetVisible(bars);
    e->Leftbar()->SetVisible(bars);
    e->Lines()->SetText(Text());
    window->activateWindow();
    w->setFocus();
    w->SetCaretBlinkTime(0); // a steady caret: the two pictures must agree
    QApplication::processEvents();
  }
};

class ScrollPixelsBars : public ScrollPixels, public ::testing::WithParamInterface<bool> {};

TEST_P(ScrollPixelsBars, EveryWayOfScrollingLeavesTheWindowAsAFullRepaintDrawsIt) {
  Prepare(GetParam());
  Check("start");
  Key(Qt::Key_End, Qt::ControlModifier);
  Check("Ctrl+End");
  Key(Qt::Key_Home, Qt::ControlModifier);
  Check("Ctrl+Home");
  for (int i = 0; i < 3; ++i) {
    Key(Qt::Key_PageDown);
    Check("Page Down " + std::to_string(i));
  }
  Key(Qt::Key_PageUp);
  Check("Page Up");
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  Check("Down, Up");

  QScrollBar* bar = w->verticalScrollBar();
  bar->setSliderDown(true);
  for (int pos : {40, 41, 250, 120, 599}) {
    bar->setSliderPosition(pos);
    Check("dragging the scroll bar to " + std::to_string(pos));
  }
  bar->setSliderDown(false);
  Check("scroll bar released");

  // Horizontally: the long row's end and back.
  e->SetRowCol(301, 0);
  Key(Qt::Key_End);
  Check("End of the long row");
  Key(Qt::Key_Home);
  Check("Home of the long row");

  // An undo far from the view scrolls back to the change.
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  Key(Qt::Key_End, Qt::ControlModifier);
  Check("before undo");
  e->Undo();
  Check("undo that scrolls");
  e->Redo();
  Check("redo");
}

INSTANTIATE_TEST_SUITE_P(RulerAndLeftbar, ScrollPixelsBars, ::testing::Bool());

} // namespace
} // namespace ze
