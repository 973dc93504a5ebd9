#include "app/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ze {

namespace {

// Colours of the drawn images.
const QColor kInk(0x30, 0x30, 0x38);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kBlue(0x2A, 0x6F, 0xC9);
const QColor kGreen(0x2E, 0x9A, 0x4A);
const QColor kRed(0xC8, 0x3A, 0x32);
const QColor kYellow(0xF2, 0xC1, 0x3C);

// Every image is drawn on a 20 by 20 grid, scaled to the target.
void Sheet(QPainter& p, qreal x = 4, qreal y = 2, qreal w = 12, qreal h = 16) {
  QPainterPath path;
  path.moveTo(x, y);
  path.lineTo(x + w - 4, y);
  path.lineTo(x + w, y + 4);
  path.lineTo(x + w, y + h);
  path.lineTo(x, y + h);
  path.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(x + w - 4, y), QPointF(x + w - 4, y + 4));
  p.drawLine(QPointF(x + w - 4, y + 4), QPointF(x + w, y + 4));
}

void TextLines(QPainter& p, qreal x, qreal y, qreal w, int n, qreal step = 3) {
  for (int i = 0; i < n; ++i)
    p.drawLine(QPointF(x, y + i * step), QPointF(x + w, y + i * step));
}

void Arrow(QPainter& p, bool back, const QColor& c) {
  // A curved arrow, for undo (back) and redo.
  QPainterPath path;
  const qreal s = back ? 1 : -1;
  const qreal cx = 10;
  path.moveTo(cx - 6 * s, 9);
  path.cubicTo(cx - 3 * s, 4, cx + 6 * s, 4, cx + 6 * s, 11);
  path.cubicTo(cx + 6 * s, 15, cx + 2 * s, 16, cx, 16);
  p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  QPolygonF head;
  head << QPointF(cx - 8.5 * s, 5.5) << QPointF(cx - 3 * s, 11) << QPointF(cx - 8.5 * s, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(head);
}

void Lens(QPainter& p, qreal x, qreal y, qreal r) {
  p.setBrush(QColor(0xDD, 0xEB, 0xFA));
  p.setPen(QPen(kInk, 1.6));
  p.drawEllipse(QPointF(x, y), r, r);
  p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(x + r * 0.7, y + r * 0.7), QPointF(x + r * 0.7 + 4, y + r * 0.7 + 4));
}

void Triangle(QPainter& p, qreal x, qreal y, bool right, const QColor& c) {
  QPolygonF t;
  if (right)
    t << QPointF(x, y - 3) << QPointF(x + 4, y) << QPointF(x, y + 3);
  else
    t << QPointF(x + 4, y - 3) << QPointF(x, y) << QPointF(x + 4, y + 3);
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(t);
}

void Clipboard(QPainter& p) {
  p.setBrush(QColor(0xC8, 0x96, 0x5A));
  p.drawRoundedRect(QRectF(3, 3, 12, 15), 1.5, 1.5);
  p.setBrush(QColor(0x90, 0x90, 0x98));
  p.drawRect(QRectF(6, 1.5, 6, 3));
}

void Printer(QPainter& p) {
  p.setBrush(kPaper);
  p.drawRect(QRectF(5, 2, 10, 6));
  p.setBrush(QColor(0xB0, 0xB4, 0xBC));
  p.drawRoundedRect(QRectF(2, 8, 16, 7), 1.5, 1.5);
  p.setBrush(kPaper);
  p.drawRect(QRectF(5, 12, 10, 6));
  TextLines(p, 7, 14.5, 6, 2, 2);
}

void Draw(QPainter& p, TImage image) {
  p.setPen(QPen(kInk, 1.1));
  switch (image) {
  case TImage::None:
    break;
  case TImage::New:
    Sheet(p);
    p.setPen(QPen(kYellow.darker(120), 1.6));
    p.drawLine(QPointF(14, 11), QPointF(14, 17));
    p.drawLine(QPointF(11, 14), QPointF(17, 14));
    break;
  case TImage::Open: {
    p.setBrush(kYellow.darker(110));
    p.drawRect(QRectF(2, 5, 15, 12));
    p.setBrush(kYellow);
    QPolygonF flap;
    flap << QPointF(4, 9) << QPointF(19, 9) << QPointF(17, 17) << QPointF(2, 17);
    p.drawPolygon(flap);
    break;
  }
  case TImage::AddRead:
    Sheet(p, 2, 2, 11, 15);
    TextLines(p, 4, 8, 6, 3);
    p.setPen(QPen(kGreen, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.5, 9), QPointF(15.5, 17));
    p.drawLine(QPointF(12.5, 14), QPointF(15.5, 17));
    p.drawLine(QPointF(18.5, 14), QPointF(15.5, 17));
    break;
  case TImage::Save:
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(5, 3, 10, 6));
    p.setBrush(QColor(0xD0, 0xD4, 0xDA));
    p.drawRect(QRectF(6, 12, 8, 5.5));
    break;
  case TImage::Preview:
    Sheet(p, 2, 2, 11, 15);
    TextLines(p, 4, 8, 6, 3);
    Lens(p, 12, 11, 3.5);
    break;
  case TImage::Print:
    Printer(p);
    break;
  case TImage::Undo:
    Arrow(p, true, kBlue);
    break;
  case TImage::Redo:
    Arrow(p, false, kBlue);
    break;
  case TImage::Cut:
    p.setPen(QPen(kInk, 1.6));
    p.drawLine(QPointF(6, 2), QPointF(13, 13));
    p.drawLine(QPointF(14, 2), QPointF(7, 13));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRed, 1.8));
    p.drawEllipse(QPointF(6, 15.5), 2.6, 2.6);
    p.drawEllipse(QPointF(14, 15.5), 2.6, 2.6);
    break;
  case TImage::Copy:
    Sheet(p, 2, 2, 10, 12);
    Sheet(p, 8, 6, 10, 12);
    break;
  case TImage::LineCopy:
    Sheet(p, 2, 2, 10, 12);
    Sheet(p, 8, 6, 10, 12);
    p.setPen(QPen(kRed, 1.8));
    p.drawLine(QPointF(10, 13), QPointF(16, 13));
    break;
  case TImage::AllCopy:
    Sheet(p, 2, 2, 10, 12);
    Sheet(p, 8, 6, 10, 12);
    p.setPen(QPen(kBlue, 1.2));
    TextLines(p, 10, 11, 6, 3, 2);
    break;
  case TImage::Paste:
    Clipboard(p);
    Sheet(p, 9, 7, 9, 11);
    break;
  case TImage::Find:
    Lens(p, 8, 8, 5);
    break;
  case TImage::FindForward:
    Lens(p, 7, 8, 4.5);
    Triangle(p, 14, 5, true, kGreen);
    break;
  case TImage::FindBackward:
    Lens(p, 9, 8, 4.5);
    Triangle(p, 1.5, 5, false, kGreen);
    break;
  case TImage::Replace:
    Lens(p, 7, 7, 4);
    p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 15), QPointF(18, 15));
    Triangle(p, 15, 15, true, kRed);
    break;
  case TImage::LineNumbers: {
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    p.drawRect(QRectF(2, 2, 6, 16));
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 2, 10, 16));
    QFont f = p.font();
    f.setPixelSize(5);
    f.setBold(true);
    p.setFont(f);
    for (int i = 0; i < 3; ++i)
      p.drawText(QRectF(2, 3 + i * 5, 6, 5), Qt::AlignCenter, QString::number(i + 1));
    TextLines(p, 10, 5.5, 6, 3, 5);
    break;
  }
  case TImage::Ruler:
    p.setBrush(kYellow);
    p.drawRect(QRectF(1.5, 6, 17, 8));
    for (int i = 0; i < 8; ++i)
      p.drawLine(QPointF(3.5 + i * 2, 6), QPointF(3.5 + i * 2, i % 2 ? 8.5 : 10.5));
    break;
  case TImage::LineCursor:
    p.setBrush(kPaper);
    p.drawRect(QRectF(2, 2, 16, 16));
    TextLines(p, 4, 6, 12, 2, 3);
    p.setPen(QPen(kRed, 1.8));
    p.drawLine(QPointF(3, 13), QPointF(17, 13));
    break;
  case TImage::Divide:
    p.setBrush(kPaper);
    p.drawRect(QRectF(2, 2, 16, 7));
    p.drawRect(QRectF(2, 11, 16, 7));
    p.setPen(QPen(kBlue, 1.0));
    TextLines(p, 4, 4.5, 10, 2, 2.5);
    TextLines(p, 4, 13.5, 10, 2, 2.5);
    break;
  case TImage::Bookmark: {
    QPolygonF flag;
    flag << QPointF(5, 2) << QPointF(15, 2) << QPointF(15, 18) << QPointF(10, 13.5)
         << QPointF(5, 18);
    p.setBrush(kBlue);
    p.drawPolygon(flag);
    break;
  }
  case TImage::Help: {
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(10, 10), 8, 8);
    p.setPen(QPen(kPaper, 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath q;
    q.moveTo(7.2, 7.5);
    q.cubicTo(7.2, 4.5, 12.8, 4.5, 12.8, 7.5);
    q.cubicTo(12.8, 9.5, 10, 9.5, 10, 12);
    p.setBrush(Qt::NoBrush);
    p.drawPath(q);
    p.drawPoint(QPointF(10, 15));
    break;
  }
  case TImage::Settings: {
    p.setBrush(QColor(0x80, 0x86, 0x90));
    for (int i = 0; i < 8; ++i) {
      p.save();
      p.translate(10, 10);
      p.rotate(i * 45);
      p.drawRect(QRectF(-1.8, -8.5, 3.6, 4));
      p.restore();
    }
    p.drawEllipse(QPointF(10, 10), 6, 6);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(10, 10), 2.5, 2.5);
    break;
  }
  }
}

// The standard theme names of the images that have one.
const char* ThemeName(TImage image) {
  switch (image) {
  case TImage::New:
    return "document-new";
  case TImage::Open:
    return "document-open";
  case TImage::Save:
    return "document-save";
  case TImage::Preview:
    return "document-print-preview";
  case TImage::Print:
    return "document-print";
  case TImage::Undo:
    return "edit-undo";
  case TImage::Redo:
    return "edit-redo";
  case TImage::Cut:
    return "edit-cut";
  case TImage::Copy:
    return "edit-copy";
  case TImage::Paste:
    return "edit-paste";
  case TImage::Find:
    return "edit-find";
  case TImage::Replace:
    return "edit-find-replace";
  case TImage::Help:
    return "help-contents";
  default:
    return nullptr;
  }
}

class TDrawnIcon : public QIconEngine {
public:
  explicit TDrawnIcon(std::function<void(QPainter&)> draw) : draw_(std::move(draw)) {}
  void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->translate(rect.topLeft());
    p->scale(rect.width() / 20.0, rect.height() / 20.0);
    if (mode == QIcon::Disabled) p->setOpacity(0.35);
    draw_(*p);
    p->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(&p, QRect(QPoint(0, 0), size), mode, state);
    return pm;
  }
  QIconEngine* clone() const override { return new TDrawnIcon(draw_); }

private:
  std::function<void(QPainter&)> draw_;
};

} // namespace

void PaintImage(QPainter& p, TImage image, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(r.topLeft());
  p.scale(r.width() / 20.0, r.height() / 20.0);
  Draw(p, image);
  p.restore();
}

QIcon CommandIcon(TImage image, bool themeFirst) {
  if (image == TImage::None) return {};
  if (themeFirst)
    if (const char* name = ThemeName(image); name && QIcon::hasThemeIcon(QString::fromLatin1(name)))
      return QIcon::fromTheme(QString::fromLatin1(name));
  return QIcon(new TDrawnIcon([image](QPainter& p) { Draw(p, image); }));
}

QIcon ProgramIcon() {
  return QIcon(new TDrawnIcon([](QPainter& p) {
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2.5, 1.5, 15, 17), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2.5, 1.5, 3.5, 17));
    p.setPen(QPen(kInk, 1.0));
    TextLines(p, 8, 5, 7, 2, 3);
    QFont f = p.font();
    f.setPixelSize(7);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kRed);
    p.drawText(QRectF(6.5, 10, 11, 8), Qt::AlignCenter, QStringLiteral("あ"));
  }));
}

} // namespace ze
