#pragma once
// The window of an editor control: a QAbstractScrollArea whose viewport
// shows a TEditor. It is a thin adapter: Qt events become the editor's
// entry points (paint, focus, resize, keys and characters, input-method
// results, mouse, scroll bars, wheel, the context menu) and the editor's
// requests to its window (invalidate, scroll, caret, scroll bar ranges,
// cursor, input-method position) become Qt calls. It also draws and
// blinks the caret, since the editor keeps no timers, and draws the
// input method's composition at the caret until it is committed.
//
// EditorWidget.cpp holds the window side (painting, caret, scroll bars),
// EditorWidgetInput.cpp the input side (keys, input method, mouse, menu).

#include <QAbstractScrollArea>
#include <QInputMethodEvent>
#include <QRegion>
#include <QTextCharFormat>
#include <QTimer>
#include <memory>
#include <set>
#include <vector>

#include "editor/Editor.h"
#include "platform/WindowHost.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtSurface.h"

class QCursor;
class QMenu;
class QScrollBar;

namespace ze {

class TEditorWidget : public QAbstractScrollArea, public TWindowHost {
  Q_OBJECT
public:
  explicit TEditorWidget(QWidget* parent = nullptr);
  // Shows an editor made elsewhere (a derived class); takes it over.
  explicit TEditorWidget(std::unique_ptr<TEditor> editor, QWidget* parent = nullptr);
  ~TEditorWidget() override;

  TEditor* Editor() const { return editor_.get(); }

  // ---- TWindowHost
  bool HasWindow() const override { return attached_; }
  bool Showing() const override { return isVisible() || painting_; }
  bool Focused() const override { return hasFocus(); }
  int ClientWidth() const override;
  int ClientHeight() const override;
  TSurface& MeasureSurface() override { return measure_; }
  void Invalidate(const TRect& r) override;
  void InvalidateAll() override;
  void UpdateNow() override;
  void ScrollContents(int dx, int dy, const TRect& r) override;
  void SetRedraw(bool on) override;
  void CreateCaret(int width, int height) override;
  void DestroyCaret() override;
  void SetCaretPos(int x, int y) override;
  void ShowCaret() override;
  void HideCaret() override;
  void SetImePosition(int x, int y, int height) override;
  int ScrollBarSize(TScrollBar bar) const override;
  void ShowScrollBar(TScrollBar bar, bool show) override;
  void SetScrollInfo(TScrollBar bar, int min, int max, int page, int pos) override;
  int ScrollTrackPos(TScrollBar bar) const override;
  void SetCursor(int cursor) override;
  void SetCapture(bool on) override;
  bool LeftButtonDown() const override;
  bool KeyDown(int virtualKey) const override;
  void SetFocus() override;

  // ---- the caret as drawn (viewport coordinates)
  bool CaretExists() const { return caretExists_; }
  bool CaretShown() const { return caretExists_ && caretShown_; }
  QRect CaretRect() const { return QRect(caretPos_, caretSize_); }
  // Time the caret stays on and off; 0 keeps it on (the desktop's
  // setting by default).
  void SetCaretBlinkTime(int ms);

  // Where the input method shows its window: at the caret (or at the
  // cursor inside the composition while there is one).
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

  // ---- the input method's composition (not yet in the text)
  QString PreeditText() const { return preedit_; }
  // Where it is drawn, in viewport coordinates; empty without one.
  QRect PreeditRect() const;

  // The context menu as it pops up: the editor's menu model, updated,
  // as a QMenu whose actions stand for the model's items (MenuItemOf).
  std::unique_ptr<QMenu> CreateContextMenu();

protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  // The editor scrolls its contents itself (ScrollContents).
  void scrollContentsBy(int, int) override {}
  bool focusNextPrevChild(bool next) override;

private:
  void Init();
  QScrollBar* Bar(TScrollBar bar) const;
  void ScrollAction(TScrollBar bar, int action);
  void Scroll(TScrollBar bar, int code, int track);
  void Dirty(const QRegion& r);
  void BlinkCaret();
  QColor BackgroundColor() const;
  // The top left of the caret's character cell (viewport coordinates).
  QPoint CaretCell() const;
  // True for the keys the editor takes before any shortcut of the window.
  bool WantsKey(const QKeyEvent& e) const;

  // The composition: set from the input method, cleared when committed.
  void SetPreedit(const QString& text, const QList<QInputMethodEvent::Attribute>& attributes);
  // Ends a composition the user leaves (a click, the focus going): the
  // input method commits it when it can; otherwise the text shown is
  // inserted as it stands, so that nothing typed is lost.
  void FinishPreedit(bool mayCommit);
  // Scrolls so that the composition's active part stays in the window.
  void KeepPreeditInView();
  void PaintPreedit(QPainter& p);
  int PreeditColumnAt(int index) const;

  std::unique_ptr<TEditor> editor_;
  TQtSurface measure_{nullptr};
  TQtClipboard clipboard_;
  bool attached_ = false;
  bool painting_ = false;
  // What the editor invalidated (or a scroll uncovered) and is not yet
  // painted: what UpdateNow paints at once.
  QRegion pending_;

  bool caretExists_ = false;
  bool caretShown_ = false;
  bool blinkOn_ = true;
  QPoint caretPos_;
  QSize caretSize_;
  QTimer blink_;

  QRect imeRect_;
  // The composition, its cursor (a UTF-16 index, -1 hidden), the columns
  // of its characters as the text will show them, and its clause formats.
  struct PreeditChar {
    int Index, Length, Col, Cells;
  };
  struct PreeditFormat {
    int Start, Length;
    QTextCharFormat Format;
  };
  QString preedit_;
  int preeditCursor_ = -1;
  int preeditCols_ = 0;
  std::vector<PreeditChar> preeditChars_;
  std::vector<PreeditFormat> preeditFormats_;
  QRect preeditShown_;     // where it was last asked to be drawn
  int barPos_[2] = {0, 0}; // where the editor put each bar (horizontal, vertical)
  int wheelRest_[2] = {0, 0};
  std::set<int> keysDown_;
  bool captured_ = false;
  std::unique_ptr<QCursor> rightArrow_;
};

} // namespace ze
