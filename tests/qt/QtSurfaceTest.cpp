// The Qt surface: which font is drawn, where each character lands, what
// the cells are filled with, and that coloured tokens drawn over their
// base text leave nothing of the base behind.
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtKeys.h"
#include "platform/qt/QtSurface.h"
#include "tests/qt/QtApp.h"

namespace ze {
namespace {

using test::App;
using test::CountPixels;
using test::Ink;

const std::string kKan = "\x8A\xBF"; // 漢
constexpr TColor kWhite = 0xFFFFFF, kBlack = 0x000000, kRed = 0x0000FF, kBlue = 0xFF0000;

// A white image with a surface on it, 12 pt "FixedSys".
struct Canvas {
  QImage img;
  std::unique_ptr<QPainter> painter;
  std::unique_ptr<TQtSurface> s;
  explicit Canvas(int w = 200, int h = 40, QColor fill = Qt::white) {
    App();
    img = QImage(w, h, QImage::Format_RGB32);
    img.fill(fill);
    painter = std::make_unique<QPainter>(&img);
    s = std::make_unique<TQtSurface>(painter.get());
    s->SetFont(TFontDesc{});
  }
  QImage& Done() {
    s.reset();
    painter.reset();
    return img;
  }
};

TEST(QtSurface, FixedSysFallsBackToAJapaneseFontWithHalfAndFullWidthOneToTwo) {
  App();
  const QString family = ResolveFontFamily("FixedSys");
  ASSERT_TRUE(QFontDatabase::hasFamily(family)) << family.toStdString();
  EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese));
  QFontMetrics m(ToQFont(TFontDesc{}));
  const int half = m.horizontalAdvance(QChar(u'a'));
  EXPECT_EQ(m.horizontalAdvance(QChar(u'\u6F22')), 2 * half);
  EXPECT_EQ(m.horizontalAdvance(QChar(u'M')), half);
  const TFontMetrics fm = MeasureFont(TFontDesc{});
  EXPECT_EQ(fm.AverageWidth, half);
  EXPECT_EQ(fm.Height, m.ascent() + m.descent());
  EXPECT_GE(fm.ExternalLeading, 0);
  // An installed font is taken as named.
  const QString mono = QStringLiteral("DejaVu Sans Mono");
  if (QFontDatabase::hasFamily(mono)) {
    EXPECT_EQ(ResolveFontFamily(mono.toStdString()), mono);
  }
}

TEST(QtSurface, EveryByteTakesOneColumnWhateverTheFontAdvances) {
  for (int advance : {8, 11}) {
    Canvas c(120, 20);
    c.s->TextOut(0, 0, TRect{0, 0, 120, 20}, "a" + kKan + "b", advance, kBlack, kWhite, true, 0);
    QImage& img = c.Done();
    const QColor white(Qt::white);
    const int h = img.height();
    // 'a' in column 0, the kanji over columns 1 and 2, 'b' in column 3.
    EXPECT_GT(Ink(img, QRect(0, 0, advance, h), white), 0) << advance;
    EXPECT_GT(Ink(img, QRect(advance, 0, advance, h), white), 0) << advance;
    EXPECT_GT(Ink(img, QRect(2 * advance, 0, advance, h), white), 0) << advance;
    EXPECT_GT(Ink(img, QRect(3 * advance, 0, advance, h), white), 0) << advance;
    EXPECT_EQ(Ink(img, QRect(4 * advance, 0, 120, h), white), 0) << advance;
  }
}

TEST(QtSurface, OpaqueTextFillsExactlyItsCellsInsideBothClips) {
  Canvas c(100, 30, Qt::green);
  const int h = MeasureFont(TFontDesc{}).Height;
  c.s->SetClipRect(TRect{4, 0, 100, 30});
  c.s->TextOut(0, 5, TRect{0, 0, 28, 30}, "  x ", 8, kBlack, kBlue, true, 0);
  QImage& img = c.Done();
  auto blue = [](QColor q) { return q == QColor(Qt::blue); };
  auto green = [](QColor q) { return q == QColor(Qt::green); };
  // Cells are x 0..31, y 5..5+h; the clips leave x 4..27.
  EXPECT_EQ(CountPixels(img, QRect(4, 5, 24, h), [](QColor q) { return q != QColor(Qt::green); }),
            24 * h);
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 4, 30), green), 4 * 30);
  EXPECT_EQ(CountPixels(img, QRect(28, 0, 72, 30), green), 72 * 30);
  EXPECT_EQ(CountPixels(img, QRect(4, 0, 24, 5), green), 24 * 5);
  EXPECT_EQ(CountPixels(img, QRect(4, 5 + h, 24, 30 - 5 - h), green), 24 * (25 - h));
  EXPECT_EQ(CountPixels(img, QRect(4, 5, 12, h), blue), 12 * h); // the two spaces
}

TEST(QtSurface, ColouredTokensOverTheirBaseTextLeaveNoTraceOfIt) {
  // As a row is painted: filled, the whole text in the default colour,
  // then each coloured token again on a clear brush. Also on a screen of
  // twice the pixel density, where the same coordinates cover 2 x 2
  // device pixels.
  for (int ratio : {1, 2}) {
    App();
    QImage img(200 * ratio, 20 * ratio, QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::green);
    {
      QPainter painter(&img);
      TQtSurface s(&painter);
      s.SetFont(TFontDesc{});
      const TRect row{0, 0, 200, 20};
      s.SetClipRect(row);
      s.FillRect(row, kWhite);
      s.TextOut(0, 0, row, "x = 123 + " + kKan, 8, kBlack, kWhite, false, 0);
      s.TextOut(32, 0, row, "123", 8, kRed, kWhite, false, 0);
      s.TextOut(80, 0, row, kKan, 8, kRed, kWhite, false, 0);
    }
    const int k = ratio;
    // Red on white, antialiased: every pixel keeps full red.
    auto notRedOnWhite = [](QColor q) { return q.red() != 255; };
    EXPECT_EQ(CountPixels(img, QRect(32 * k, 0, 24 * k, 20 * k), notRedOnWhite), 0) << ratio;
    EXPECT_EQ(CountPixels(img, QRect(80 * k, 0, 16 * k, 20 * k), notRedOnWhite), 0) << ratio;
    EXPECT_GT(CountPixels(img, QRect(32 * k, 0, 24 * k, 20 * k),
                          [](QColor q) { return q.green() < 100; }),
              0);
    // The untouched base stays black, and the kanji covers both its columns.
    EXPECT_GT(CountPixels(img, QRect(0, 0, 8 * k, 20 * k), [](QColor q) { return q.red() < 100; }),
              0);
    EXPECT_GT(
        CountPixels(img, QRect(88 * k, 0, 8 * k, 20 * k), [](QColor q) { return q.green() < 100; }),
        0);
  }
}

TEST(QtSurface, TextOverPixelsItDidNotFillIsBlendedNotBoxed) {
  Canvas c(64, 20);
  TBitmap bmp;
  bmp.Resize(64, 20, 0x0000FF); // blue, 0x00RRGGBB
  c.s->DrawBitmap(0, 0, bmp, 0, 0, 64, 20);
  c.s->TextOut(0, 0, TRect{0, 0, 64, 20}, "ab", 8, kBlack, kWhite, false, 0);
  QImage& img = c.Done();
  auto blue = [](QColor q) { return q == QColor(Qt::blue); };
  auto white = [](QColor q) { return q == QColor(Qt::white); };
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 16, 20), white), 0);
  EXPECT_GT(CountPixels(img, QRect(0, 0, 16, 20), blue), 100);
  EXPECT_LT(CountPixels(img, QRect(0, 0, 16, 20), blue), 16 * 20);
}

TEST(QtSurface, ControlBytesShowAGlyphInTheirOwnCellTabsAndSpacesShowNothing) {
  // Every control byte but the tab, DEL too, each in its own one-column
  // cell between two spaces: opaque (cell images) and transparent (glyph
  // runs) drawing alike.
  std::string bytes;
  for (int b = 0; b < 0x20; ++b)
    if (b != '\t') bytes += static_cast<char>(b);
  bytes += '\x7F';
  for (bool opaque : {true, false}) {
    const int n = static_cast<int>(bytes.size());
    Canvas c(8 * 3 * n + 8, 20);
    for (int i = 0; i < n; ++i) {
      const std::string cell = std::string(" ") + bytes[static_cast<size_t>(i)] + " ";
      c.s->TextOut(i * 24, 0, TRect{0, 0, 24 * n, 20}, cell, 8, kBlack, kWhite, opaque, 0);
    }
    QImage& img = c.Done();
    const QColor white(Qt::white);
    for (int i = 0; i < n; ++i) {
      const int b = static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
      EXPECT_GT(Ink(img, QRect(i * 24 + 8, 0, 8, 20), white), 3) << "byte " << b;
      // Squeezed into its cell: nothing leaks into the spaces around it.
      EXPECT_EQ(Ink(img, QRect(i * 24, 0, 8, 20), white), 0) << "byte " << b;
      EXPECT_EQ(Ink(img, QRect(i * 24 + 16, 0, 8, 20), white), 0) << "byte " << b;
    }
  }
  Canvas c(120, 20);
  c.s->TextOut(0, 0, TRect{0, 0, 120, 20}, "\t \t ", 8, kBlack, kWhite, true, 0);
  EXPECT_EQ(Ink(c.Done(), QRect(0, 0, 32, 20), QColor(Qt::white)), 0);
}

TEST(QtSurface, BrokenBytesShowAReplacement) {
  Canvas c(120, 20);
  // An unassigned double-byte code, then a lead byte with nothing after it.
  c.s->TextOut(40, 0, TRect{0, 0, 120, 20}, "\x85\x40\x82", 8, kBlack, kWhite, true, 0);
  QImage& img = c.Done();
  const QColor white(Qt::white);
  EXPECT_GT(Ink(img, QRect(40, 0, 16, 20), white), 0);
  EXPECT_GT(Ink(img, QRect(56, 0, 8, 20), white), 0);
}

TEST(QtSurface, LinesAndBitmapsDrawAsTheRecordingSurfaceDoes) {
  Canvas c(20, 20);
  c.s->Line(2, 2, 2, 6, kRed);
  TBitmap bmp;
  bmp.Resize(2, 1, 0x00112233);
  bmp.At(1, 0) = 0xFF000000; // transparent
  c.s->DrawBitmap(10, 10, bmp, 0, 0, 2, 1);
  QImage& img = c.Done();
  for (int y = 2; y < 6; ++y)
    EXPECT_EQ(QColor(img.pixel(2, y)), QColor(Qt::red)) << y;
  EXPECT_EQ(QColor(img.pixel(2, 6)), QColor(Qt::white)); // the end point is left out
  EXPECT_EQ(QColor(img.pixel(10, 10)), QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(QColor(img.pixel(11, 10)), QColor(Qt::white));
}

TEST(QtKeys, NavigationKeysAndModifiersMapToVirtualKeys) {
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageDown), VK_NEXT);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageUp), VK_PRIOR);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home), VK_HOME);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_End), VK_END);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), VK_DOWN);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backtab), VK_TAB);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_C), 'C');
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F5), VK_F1 + 4);
  EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Eacute), 0);
  EXPECT_EQ(ShiftStateFromQt(Qt::ShiftModifier | Qt::ControlModifier), ssShift | ssCtrl);
  EXPECT_EQ(ShiftStateFromQt(Qt::AltModifier, Qt::LeftButton), ssAlt | ssLeft);
}

TEST(QtClipboard, TextCrossesAsUnicodeAndTheBoxMarkOnlyWithItsOwnText) {
  App();
  TQtClipboard clip;
  QClipboard* system = QGuiApplication::clipboard();
  clip.SetText("ab\r\n" + kKan + "\r\n", true);
  EXPECT_EQ(system->text(), QString::fromUtf8("ab\n漢\n"));
  EXPECT_TRUE(clip.HasBoxFormat());
  EXPECT_EQ(clip.Text(), "ab\r\n" + kKan + "\r\n");

  // Another program's text: no box, its line ends become CR LF, and what
  // CP932 cannot hold is replaced visibly.
  system->setText(QString::fromUtf8("x\U0001F600y\nz\r"));
  EXPECT_TRUE(clip.HasText());
  EXPECT_FALSE(clip.HasBoxFormat());
  EXPECT_EQ(clip.Text(), "x?y\r\nz\r\n");
  clip.Clear();
  EXPECT_FALSE(clip.HasText());
}

} // namespace
} // namespace ze
