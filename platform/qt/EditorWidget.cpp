#include "platform/qt/EditorWidget.h"

#include <QBitmap>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QWheelEvent>
#include <algorithm>

#include "platform/qt/QtKeys.h"

namespace ze {

namespace {

QRect ToQRect(const TRect& r) {
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}
TRect ToTRect(const QRect& r) {
  return TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}
int Index(TScrollBar bar) {
  return bar == TScrollBar::Vertical ? 1 : 0;
}

// The editor's row-selection cursor: an arrow pointing up and to the
// right, which Qt has no shape for.
QCursor MakeRightArrowCursor() {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const QPointF arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 18}, {9, 17}, {6, 11}, {11, 11}};
  QPolygonF poly;
  for (QPointF pt : arrow)
    poly << QPointF(15 - pt.x(), pt.y());
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawPolygon(poly);
  p.end();
  return QCursor(pm, 15, 0);
}

int ScrollCode(int action) {
  switch (action) {
  case QAbstractSlider::SliderSingleStepSub:
    return SB_LINEUP;
  case QAbstractSlider::SliderSingleStepAdd:
    return SB_LINEDOWN;
  case QAbstractSlider::SliderPageStepSub:
    return SB_PAGEUP;
  case QAbstractSlider::SliderPageStepAdd:
    return SB_PAGEDOWN;
  case QAbstractSlider::SliderToMinimum:
    return SB_TOP;
  case QAbstractSlider::SliderToMaximum:
    return SB_BOTTOM;
  case QAbstractSlider::SliderMove:
    return SB_THUMBTRACK;
  default:
    return -1;
  }
}

} // namespace

TEditorWidget::TEditorWidget(QWidget* parent) : TEditorWidget(Create<TEditor>(nullptr), parent) {}

TEditorWidget::TEditorWidget(std::unique_ptr<TEditor> editor, QWidget* parent)
    : QAbstractScrollArea(parent), editor_(std::move(editor)) {
  if (!editor_) editor_ = Create<TEditor>(nullptr);
  Init();
}

void TEditorWidget::Init() {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // paintEvent erases and paints every pixel itself, and an opaque
  // viewport lets scrolling move pixels instead of repainting them.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  viewport()->setAutoFillBackground(false);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true); // the cursor shape follows the pointer

  for (TScrollBar bar : {TScrollBar::Horizontal, TScrollBar::Vertical}) {
    QScrollBar* sb = Bar(bar);
    sb->setSingleStep(1);
    connect(sb, &QAbstractSlider::actionTriggered, this,
            [this, bar](int action) { ScrollAction(bar, action); });
    connect(sb, &QAbstractSlider::sliderReleased, this,
            [this, bar] { Scroll(bar, SB_THUMBPOSITION, Bar(bar)->sliderPosition()); });
  }

  SetCaretBlinkTime(QGuiApplication::styleHints()->cursorFlashTime() / 2);
  connect(&blink_, &QTimer::timeout, this, [this] { BlinkCaret(); });

  editor_->SetClipboard(&clipboard_);
  attached_ = true;
  editor_->SetHost(this);
}

TEditorWidget::~TEditorWidget() {
  blink_.stop();
  editor_->SetHost(nullptr);
  editor_->SetClipboard(nullptr);
  attached_ = false;
}

// ---------------------------------------------------------------- client area

int TEditorWidget::ClientWidth() const {
  return viewport()->width();
}
int TEditorWidget::ClientHeight() const {
  return viewport()->height();
}

void TEditorWidget::Dirty(const QRegion& r) {
  pending_ += r;
}

void TEditorWidget::Invalidate(const TRect& r) {
  if (r.IsEmpty()) return;
  viewport()->update(ToQRect(r));
  Dirty(ToQRect(r));
}

void TEditorWidget::InvalidateAll() {
  viewport()->update();
  Dirty(viewport()->rect());
}

void TEditorWidget::UpdateNow() {
  if (painting_ || pending_.isEmpty()) return;
  const QRegion r = pending_ & viewport()->rect();
  pending_ = QRegion();
  if (!r.isEmpty()) viewport()->repaint(r);
}

void TEditorWidget::ScrollContents(int dx, int dy, const TRect& r) {
  const QRect area = ToQRect(r) & viewport()->rect();
  if (area.isEmpty() || (dx == 0 && dy == 0)) return;
  // The caret is drawn into the pixels: where it is and where the scroll
  // would carry it are repainted, so no copy of it is left behind.
  if (caretExists_) {
    viewport()->update(CaretRect());
    viewport()->update(CaretRect().translated(dx, dy));
    Dirty(QRegion(CaretRect()) + CaretRect().translated(dx, dy));
  }
  // Pending areas move with the pixels; the uncovered part is new.
  const QRegion moved = (pending_ & area).translated(dx, dy) & area;
  Dirty(moved + (QRegion(area) - area.translated(dx, dy)));
  viewport()->scroll(dx, dy, area);
  // A composition is drawn at the caret, not into the text: the copy the
  // scroll carried away must go.
  if (!preedit_.isEmpty()) InvalidateAll();
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TEditorWidget::SetRedraw(bool on) {
  viewport()->setUpdatesEnabled(on);
}

void TEditorWidget::paintEvent(QPaintEvent* e) {
  QPainter p(viewport());
  // As a window erases its background before painting: the editor leaves
  // its margins to the window.
  p.fillRect(e->rect(), BackgroundColor());
  painting_ = true;
  {
    TQtSurface surface(&p);
    editor_->Paint(surface, ToTRect(e->rect()));
  }
  // A composition is shown as if it were inserted: the rest of the caret
  // row is drawn again, moved right by its width.
  if (!preedit_.isEmpty()) {
    const QPoint at = CaretCell();
    const int shift = preeditCols_ * editor_->ColWidth();
    const int width = viewport()->width() - at.x() - shift;
    if (width > 0) {
      p.save();
      p.translate(shift, 0);
      TQtSurface surface(&p);
      editor_->Paint(surface, TRect{at.x(), at.y(), at.x() + width, at.y() + editor_->RowHeight()});
      p.restore();
    }
  }
  painting_ = false;
  pending_ -= e->region();
  // The composition, with its own cursor.
  if (!preedit_.isEmpty()) {
    PaintPreedit(p);
    return;
  }
  if (caretExists_ && caretShown_ && blinkOn_ && hasFocus()) {
    // Inverted, so the character under a block caret stays readable.
    p.setClipping(false);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(CaretRect(), Qt::white);
  }
}

QColor TEditorWidget::BackgroundColor() const {
  const TColor c = editor_->Color();
  return (c & 0xFF000000u) ? palette().color(QPalette::Base) : ToQColor(c);
}

void TEditorWidget::resizeEvent(QResizeEvent*) {
  editor_->Resized();
}

// ---------------------------------------------------------------- caret

void TEditorWidget::CreateCaret(int width, int height) {
  if (caretExists_ && caretShown_) viewport()->update(CaretRect());
  caretExists_ = true;
  caretShown_ = false;
  caretSize_ = QSize(std::max(1, width), std::max(1, height));
  blink_.stop();
}

void TEditorWidget::DestroyCaret() {
  if (caretExists_ && caretShown_) viewport()->update(CaretRect());
  caretExists_ = false;
  caretShown_ = false;
  blink_.stop();
}

void TEditorWidget::SetCaretPos(int x, int y) {
  if (!caretExists_ || caretPos_ == QPoint(x, y)) return;
  if (caretShown_) viewport()->update(CaretRect());
  caretPos_ = QPoint(x, y);
  if (!caretShown_) return;
  // A caret that moved is seen at once.
  blinkOn_ = true;
  viewport()->update(CaretRect());
  if (blink_.interval() > 0) blink_.start();
}

void TEditorWidget::ShowCaret() {
  if (!caretExists_ || caretShown_) return;
  caretShown_ = true;
  // The editor hides the caret while it paints; that is no reason to
  // restart the blinking (or it would never blink).
  if (painting_) return;
  blinkOn_ = true;
  viewport()->update(CaretRect());
  if (blink_.interval() > 0) blink_.start();
}

void TEditorWidget::HideCaret() {
  if (!caretExists_ || !caretShown_) return;
  caretShown_ = false;
  if (painting_) return; // the caret is drawn after the editor's paint anyway
  blink_.stop();
  viewport()->update(CaretRect());
}

void TEditorWidget::SetCaretBlinkTime(int ms) {
  blink_.setInterval(std::max(0, ms));
  if (ms <= 0) {
    blink_.stop();
    blinkOn_ = true;
  }
}

void TEditorWidget::BlinkCaret() {
  if (!caretExists_ || !caretShown_) return;
  blinkOn_ = !blinkOn_;
  viewport()->update(CaretRect());
}

void TEditorWidget::SetImePosition(int x, int y, int height) {
  imeRect_ = QRect(x, y, 1, std::max(1, height));
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

// ---------------------------------------------------------------- scroll bars

QScrollBar* TEditorWidget::Bar(TScrollBar bar) const {
  return bar == TScrollBar::Vertical ? verticalScrollBar() : horizontalScrollBar();
}

int TEditorWidget::ScrollBarSize(TScrollBar) const {
  return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void TEditorWidget::ShowScrollBar(TScrollBar bar, bool show) {
  const Qt::ScrollBarPolicy p = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (bar == TScrollBar::Vertical)
    setVerticalScrollBarPolicy(p);
  else
    setHorizontalScrollBarPolicy(p);
}

void TEditorWidget::SetScrollInfo(TScrollBar bar, int min, int max, int page, int pos) {
  // The editor gives the whole range and the page as a window does; a Qt
  // bar's maximum is the last position the page's top can take.
  QScrollBar* sb = Bar(bar);
  const QSignalBlocker block(sb);
  const int last = page > 0 ? std::max(min, max - page + 1) : std::max(min, max);
  sb->setRange(min, last);
  sb->setPageStep(std::max(1, page));
  sb->setValue(pos);
  barPos_[Index(bar)] = sb->value();
}

int TEditorWidget::ScrollTrackPos(TScrollBar bar) const {
  return Bar(bar)->sliderPosition();
}

void TEditorWidget::Scroll(TScrollBar bar, int code, int track) {
  if (bar == TScrollBar::Vertical)
    editor_->VScroll(code, track);
  else
    editor_->HScroll(code, track);
}

void TEditorWidget::ScrollAction(TScrollBar bar, int action) {
  const int code = ScrollCode(action);
  if (code < 0) return;
  QScrollBar* sb = Bar(bar);
  Scroll(bar, code, sb->sliderPosition());
  // The bar shows where the editor went, not where the bar alone would go.
  sb->setSliderPosition(barPos_[Index(bar)]);
}

void TEditorWidget::wheelEvent(QWheelEvent* e) {
  e->accept();
  if (editor_->MouseBusy()) return; // no scrolling under a drag
  const int lines = std::max(1, QGuiApplication::styleHints()->wheelScrollLines());
  const QPoint delta = e->angleDelta();
  // A notch is 120; finer wheels add up until they make one.
  for (TScrollBar bar : {TScrollBar::Vertical, TScrollBar::Horizontal}) {
    int& rest = wheelRest_[Index(bar)];
    rest += bar == TScrollBar::Vertical ? delta.y() : delta.x();
    while (rest >= 120 || rest <= -120) {
      const int code = rest > 0 ? SB_LINEUP : SB_LINEDOWN;
      rest += rest > 0 ? -120 : 120;
      for (int i = 0; i < lines; ++i)
        Scroll(bar, code, 0);
    }
  }
}

// ---------------------------------------------------------------- key and button state

bool TEditorWidget::KeyDown(int vk) const {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  switch (vk) {
  case VK_SHIFT:
    return m & Qt::ShiftModifier;
  case VK_CONTROL:
    return m & Qt::ControlModifier;
  case VK_MENU:
    return m & Qt::AltModifier;
  default:
    return keysDown_.count(vk) != 0;
  }
}

bool TEditorWidget::LeftButtonDown() const {
  return QGuiApplication::mouseButtons() & Qt::LeftButton;
}

void TEditorWidget::SetFocus() {
  setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- cursor and capture

void TEditorWidget::SetCursor(int cursor) {
  if (cursor == crRightArrow) {
    if (!rightArrow_) rightArrow_ = std::make_unique<QCursor>(MakeRightArrowCursor());
    viewport()->setCursor(*rightArrow_);
  } else
    viewport()->setCursor(QCursor(CursorShapeFromEditor(cursor)));
}

void TEditorWidget::SetCapture(bool on) {
  if (on == captured_) return;
  if (on && !viewport()->isVisible()) return;
  captured_ = on;
  if (on)
    viewport()->grabMouse();
  else
    viewport()->releaseMouse();
}

} // namespace ze
