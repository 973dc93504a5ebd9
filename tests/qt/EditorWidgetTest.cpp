// The editor on a real Qt widget (offscreen): what it shows, its caret,
// its scroll bars, wheel and keys, and two views of one text.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

#include "platform/qt/EditorWidget.h"
#include "tests/qt/EditorWindow.h"
#include "tests/qt/QtApp.h"

namespace ze {
namespace {

using test::App;
using test::CountPixels;
using test::Ink;

const std::string kKan = "\x8A\xBF"; // 漢

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

std::string Lines(int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += "line " + std::to_string(i) + "\r\n";
  return s;
}

struct EditorWidget : test::EditorWindowTest {
  EditorWidget() : EditorWindowTest(520) {}

  void Focus() {
    window->activateWindow();
    w->setFocus();
    QApplication::processEvents();
  }
  QRect Cell(int row, int col, int cols = 1) const {
    return QRect(X(col), Y(row), cols * e->ColWidth(), e->CharHeight());
  }
  QImage Grab() const { return w->viewport()->grab().toImage(); }
  bool Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, m, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, m, text);
    QApplication::sendEvent(w, &release);
    return press.isAccepted();
  }
};

TEST_F(EditorWidget, ShowsShiftJisTextInTheTokenColours) {
  e->View()->Colors()->Int()->SetColor(0x0000FF); // red digits
  e->Lines()->SetText("abc 123 " + kKan + "\r\nxyz\r\n");
  const QImage img = Grab();
  auto red = [](QColor c) { return c.red() > 200 && c.green() < 90 && c.blue() < 90; };
  auto dark = [](QColor c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; };
  EXPECT_GT(CountPixels(img, Cell(0, 4), red), 0); // '1'
  EXPECT_EQ(CountPixels(img, Cell(0, 4), dark), 0);
  EXPECT_EQ(CountPixels(img, Cell(0, 0), red), 0); // 'a' in the font colour
  EXPECT_GT(CountPixels(img, Cell(0, 0), dark), 0);
  // The kanji fills its two columns, in the font colour.
  EXPECT_GT(CountPixels(img, Cell(0, 8), dark), 0);
  EXPECT_GT(CountPixels(img, Cell(0, 9), dark), 0);
  // Empty cells show the editor's colour.
  EXPECT_EQ(Ink(img, Cell(0, 20, 10), QColor(Qt::white)), 0);
  EXPECT_EQ(Ink(img, Cell(5, 0, 10), QColor(Qt::white)), 0);
  // So does the margin left of the text, which the editor leaves to the window.
  EXPECT_EQ(QColor(img.pixel(X(0) - 2, Y(0) + 4)), QColor(Qt::white));
}

TEST_F(EditorWidget, FocusGivesACaretThatIsDrawnAndLosingFocusTakesItAway) {
  e->Lines()->SetText("abc\r\n");
  Focus();
  ASSERT_TRUE(w->hasFocus());
  EXPECT_TRUE(w->CaretExists());
  EXPECT_TRUE(w->CaretShown());
  EXPECT_EQ(w->CaretRect(), QRect(X(0), Y(0), 2, e->CharHeight()));
  // Drawn inverted over the 'a' cell's white left edge.
  const QImage shown = Grab();
  const QRect caret = w->CaretRect();
  EXPECT_EQ(QColor(shown.pixel(caret.left(), caret.top())), QColor(Qt::black));

  Key(Qt::Key_End);
  EXPECT_EQ(w->CaretRect().topLeft(), QPoint(X(3), Y(0)));
  // The input method is told where the caret is, in the widget's own
  // coordinates (the viewport may sit inside a frame).
  const QRect ime = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(ime.topLeft(), w->viewport()->pos() + QPoint(X(3), Y(0)));
  EXPECT_EQ(ime.height(), e->CharHeight());

  other->setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(w->CaretExists());
  const QImage gone = Grab();
  EXPECT_EQ(QColor(gone.pixel(X(3), Y(0) + 1)), QColor(Qt::white));
}

TEST_F(EditorWidget, CaretBlinksThroughRepaintsAndAMoveShowsItAtOnce) {
  e->Lines()->SetText("abc\r\n");
  w->SetCaretBlinkTime(30);
  Focus();
  ASSERT_TRUE(w->CaretShown());
  // Grabbing repaints, and the editor hides the caret while it paints:
  // that must not restart the blinking.
  auto on = [&] {
    const QImage img = Grab();
    return QColor(img.pixel(w->CaretRect().left(), w->CaretRect().top())) == QColor(Qt::black);
  };
  auto waitFor = [&](bool state) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1000) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      if (on() == state) return true;
    }
    return false;
  };
  EXPECT_TRUE(on());
  EXPECT_TRUE(waitFor(false));
  EXPECT_TRUE(waitFor(true));
  ASSERT_TRUE(waitFor(false));
  Key(Qt::Key_Right);
  EXPECT_TRUE(on());
}

TEST_F(EditorWidget, TwoViewsOfOneTextBothRepaintOnAChange) {
  auto second = std::make_unique<TEditorWidget>();
  second->resize(640, 240);
  second->show();
  TEditor* e2 = second->Editor();
  e->Lines()->SetText(Lines(5));
  e2->ShareScreenStrings(e);
  QApplication::processEvents();
  PaintCounter one(w->viewport()), two(second->viewport());
  e->List().ReplaceText(2, 1, "changed\r\n");
  QApplication::processEvents();
  EXPECT_GT(one.paints, 0);
  EXPECT_GT(two.paints, 0);
  EXPECT_EQ(e2->RowText(2).str(), "changed");
  const QImage img = second->viewport()->grab().toImage();
  EXPECT_GT(Ink(img, QRect(X(6), Y(2), e->ColWidth(), e->CharHeight()), QColor(Qt::white)), 0);
  e2->ShareScreenStrings(nullptr);
}

TEST_F(EditorWidget, ScrollBarsShowTheEditorsRangeAndDriveIt) {
  e->SetScrollBars(ssBoth);
  QApplication::processEvents();
  e->Lines()->SetText(Lines(200));
  QScrollBar* v = w->verticalScrollBar();
  ASSERT_TRUE(v->isVisible());
  EXPECT_TRUE(w->horizontalScrollBar()->isVisible());
  EXPECT_EQ(v->pageStep(), e->RowCount());
  EXPECT_EQ(v->minimum(), 0);
  EXPECT_EQ(v->maximum(), std::max(e->RowCount(), e->MaxTopRow()) - e->RowCount() + 1);

  // The editor moves the bar; the bar does not move the editor back.
  int topChanges = 0;
  e->OnTopRowChange = [&](TObject*) { ++topChanges; };
  e->SetTopRow(50);
  EXPECT_EQ(v->value(), 50);
  EXPECT_EQ(e->TopRow(), 50);
  EXPECT_EQ(topChanges, 1);

  v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(e->TopRow(), 51);
  EXPECT_EQ(v->value(), 51);
  v->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(e->TopRow(), 51 - e->RowCount());
  EXPECT_EQ(v->value(), e->TopRow());
  v->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(e->TopRow(), 0);
  // Dragging the thumb scrolls as it goes.
  v->setSliderDown(true);
  v->setSliderPosition(120);
  EXPECT_EQ(e->TopRow(), 120);
  v->setSliderDown(false);
  EXPECT_EQ(e->TopRow(), 120);
}

TEST_F(EditorWidget, WheelScrollsThreeRowsPerNotch) {
  e->Lines()->SetText(Lines(100));
  auto wheel = [&](int dy) {
    const QPointF at(50, 50);
    QWheelEvent ev(at, w->viewport()->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->viewport(), &ev);
  };
  wheel(-120);
  EXPECT_EQ(e->TopRow(), 3);
  wheel(-240);
  EXPECT_EQ(e->TopRow(), 9);
  wheel(-60); // half a notch waits for the other half
  EXPECT_EQ(e->TopRow(), 9);
  wheel(-60);
  EXPECT_EQ(e->TopRow(), 12);
  wheel(120);
  EXPECT_EQ(e->TopRow(), 9);
}

TEST_F(EditorWidget, NavigationKeysReachTheEditorOtherKeysPassOn) {
  e->Lines()->SetText(Lines(100));
  Focus();
  EXPECT_TRUE(Key(Qt::Key_Down));
  EXPECT_EQ(e->Row(), 1);
  EXPECT_TRUE(Key(Qt::Key_End));
  EXPECT_EQ(e->Col(), 6);
  EXPECT_TRUE(Key(Qt::Key_End, Qt::ControlModifier));
  EXPECT_EQ(e->Row(), 100);
  EXPECT_GT(e->TopRow(), 0);
  EXPECT_TRUE(Key(Qt::Key_Home, Qt::ControlModifier));
  EXPECT_EQ(e->Row(), 0);
  EXPECT_TRUE(Key(Qt::Key_PageDown));
  EXPECT_GT(e->Row(), 0);
  EXPECT_TRUE(Key(Qt::Key_Down, Qt::ShiftModifier));
  EXPECT_EQ(e->SelectionState(), sstSelected);
  // A key the editor has no use for goes on (here to the menu bar).
  EXPECT_FALSE(Key(Qt::Key_Q, Qt::AltModifier, QStringLiteral("q")));
  EXPECT_EQ(e->RowText(0).str(), "line 0");
}

TEST_F(EditorWidget, TheLeftButtonPlacesTheCaretAndDragsASelection) {
  e->Lines()->SetText(Lines(10));
  Focus();
  auto mouse = [&](QEvent::Type type, int row, int col, Qt::MouseButtons held,
                   Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at(X(col) + 1, Y(row) + 4);
    QMouseEvent ev(type, at, w->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w->viewport(), &ev);
    return ev.isAccepted();
  };
  mouse(QEvent::MouseButtonPress, 2, 3, Qt::LeftButton);
  EXPECT_EQ(e->Row(), 2);
  EXPECT_EQ(e->Col(), 3);
  mouse(QEvent::MouseMove, 2, 5, Qt::LeftButton, Qt::NoButton);
  mouse(QEvent::MouseButtonRelease, 2, 5, Qt::NoButton);
  EXPECT_EQ(e->SelectionState(), sstSelected);
  EXPECT_EQ(e->SelText().str(), "e ");
  // Other buttons are not the editor's.
  EXPECT_FALSE(mouse(QEvent::MouseButtonPress, 0, 0, Qt::RightButton, Qt::RightButton));
  EXPECT_EQ(e->Row(), 2);
}

TEST_F(EditorWidget, UpdateNowPaintsWhatWasInvalidatedAtOnce) {
  PaintCounter counter(w->viewport());
  w->Invalidate(TRect{0, 0, 50, 20});
  EXPECT_EQ(counter.paints, 0);
  w->UpdateNow();
  EXPECT_EQ(counter.paints, 1);
  w->UpdateNow(); // nothing left to paint
  EXPECT_EQ(counter.paints, 1);
}

TEST_F(EditorWidget, CopyAndPasteGoThroughTheSystemClipboard) {
  e->Lines()->SetText("ab\r\n" + kKan + "\r\n");
  e->SelectAll();
  e->CopyToClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("ab\n漢\n"));
  QGuiApplication::clipboard()->setText(QStringLiteral("z"));
  e->Lines()->SetText("");
  e->PasteFromClipboard();
  EXPECT_EQ(e->RowText(0).str(), "z");
}

} // namespace
} // namespace ze
