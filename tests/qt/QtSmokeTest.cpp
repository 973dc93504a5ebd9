// Proves the Qt tool chain: an application on the offscreen platform
// creates a widget, paints it and the pixels come out as painted.
#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Swatch : public QWidget {
protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x12, 0x34, 0x56));
    p.fillRect(QRect(0, 0, 8, 16), Qt::yellow);
  }
};

QApplication& App() {
  static int argc = 1;
  static char name[] = "qt_smoke_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

TEST(QtSmoke, WidgetPaintsIntoAnImage) {
  App();
  Swatch w;
  w.resize(40, 30);
  QImage img = w.grab().toImage();
  ASSERT_EQ(img.size(), QSize(40, 30));
  EXPECT_EQ(QColor(img.pixel(3, 3)), QColor(Qt::yellow));
  EXPECT_EQ(QColor(img.pixel(30, 20)), QColor(0x12, 0x34, 0x56));
}

TEST(QtSmoke, AJapaneseFontIsInstalled) {
  App();
  EXPECT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).size() > 0);
}

} // namespace
