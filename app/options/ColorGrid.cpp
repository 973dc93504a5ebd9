#include "app/options/ColorGrid.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/options/Options.h"

namespace ze {
namespace {

constexpr int kCell = 28;

QColor ToQColor(TColor c) {
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
  setToolTip(QStringLiteral("マウスの左ボタンで前景色、右ボタンで背景色を設定"));
  setContextMenuPolicy(Qt::PreventContextMenu);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TColorGrid::sizeHint() const {
  return QSize(4 * kCell + 1, 4 * kCell + 1);
}

QRect TColorGrid::CellRect(int index) const {
  return QRect((index % 4) * kCell, (index / 4) * kCell, kCell, kCell);
}

int TColorGrid::CellAt(const QPoint& p) const {
  if (p.x() < 0 || p.y() < 0 || p.x() >= 4 * kCell || p.y() >= 4 * kCell) return -1;
  return (p.y() / kCell) * 4 + p.x() / kCell;
}

void TColorGrid::SetForegroundColor(TColor c) {
  fg_ = GridIndexOf(c);
  update();
}

void TColorGrid::SetBackgroundColor(TColor c) {
  bg_ = GridIndexOf(c);
  update();
}

TColor TColorGrid::ForegroundColor() const {
  return fg_ < 0 ? clNone : GridColors()[size_t(fg_)];
}
TColor TColorGrid::BackgroundColor() const {
  return bg_ < 0 ? clNone : GridColors()[size_t(bg_)];
}

void TColorGrid::SetForegroundEnabled(bool on) {
  fgOn_ = on;
  update();
}

void TColorGrid::SetBackgroundEnabled(bool on) {
  bgOn_ = on;
  update();
}

void TColorGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const auto& colors = GridColors();
  for (int i = 0; i < 16; ++i) {
    QRect r = CellRect(i);
    p.fillRect(r, isEnabled() ? ToQColor(colors[size_t(i)]) : QColor(0xC0, 0xC0, 0xC0));
    p.setPen(Qt::darkGray);
    p.drawRect(r);
  }
  if (!isEnabled()) return;
  auto mark = [&](int index, const QString& text, Qt::Alignment align) {
    const QColor c = ToQColor(colors[size_t(index)]);
    p.setPen(c.lightness() > 128 ? Qt::black : Qt::white);
    p.drawText(CellRect(index).adjusted(2, 1, -2, -1), int(align), text);
  };
  if (fgOn_ && fg_ >= 0) mark(fg_, QStringLiteral("FG"), Qt::AlignLeft | Qt::AlignTop);
  if (bgOn_ && bg_ >= 0) mark(bg_, QStringLiteral("BG"), Qt::AlignRight | Qt::AlignBottom);
}

void TColorGrid::mousePressEvent(QMouseEvent* e) {
  const int cell = CellAt(e->position().toPoint());
  if (cell < 0) return;
  const TColor c = GridColors()[size_t(cell)];
  if (e->button() == Qt::LeftButton && fgOn_) {
    fg_ = cell;
    update();
    emit ForegroundChosen(c);
  } else if (e->button() == Qt::RightButton && bgOn_) {
    bg_ = cell;
    update();
    emit BackgroundChosen(c);
  }
}

} // namespace ze
