#pragma once
// The one QApplication of a Qt test program (offscreen platform), and
// pixel helpers for images grabbed from widgets or painted by a surface.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QRect>
#include <gtest/gtest.h>

namespace ze::test {

// Made on first use and destroyed when the tests are done, before the
// program's static objects go: Qt cannot tear down an application (its
// input devices, its fonts) after its own globals are gone.
class QtEnvironment : public ::testing::Environment {
public:
  QApplication& App() {
    if (!app_) app_ = new QApplication(argc_, argv_);
    return *app_;
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

private:
  int argc_ = 1;
  char name_[16] = "editor_qt_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

inline QtEnvironment* const kQtEnvironment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

inline QApplication& App() {
  return kQtEnvironment->App();
}

// Pixels in r (clipped to the image) for which pred(colour) holds.
template <class Pred> int CountPixels(const QImage& img, const QRect& r, Pred pred) {
  int n = 0;
  const QRect v = r & img.rect();
  for (int y = v.top(); y <= v.bottom(); ++y)
    for (int x = v.left(); x <= v.right(); ++x)
      n += pred(QColor(img.pixel(x, y))) ? 1 : 0;
  return n;
}

// Pixels in r that differ from the background colour: the ink.
inline int Ink(const QImage& img, const QRect& r, QColor bg) {
  return CountPixels(img, r, [&](QColor c) { return c != bg; });
}

} // namespace ze::test
