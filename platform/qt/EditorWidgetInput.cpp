// TEditorWidget, the input side: keys and characters, the input method
// (composition drawn at the caret, results as CP932 bytes), the mouse and
// the context menu.
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "editor/PopupMenu.h"
#include "platform/CodePage.h"
#include "platform/qt/EditorMenu.h"
#include "platform/qt/EditorWidget.h"
#include "platform/qt/QtKeys.h"

namespace ze {

namespace {

std::string ToCp932(const QString& s) {
  return Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                          static_cast<size_t>(s.size())));
}

bool IsNavigationOrDelete(int vk) {
  return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_DELETE;
}

TShiftState MouseShift(const QMouseEvent* e) {
  return ShiftStateFromQt(e->modifiers(), e->buttons()) & (ssShift | ssCtrl | ssLeft);
}

} // namespace

QPoint TEditorWidget::CaretCell() const {
  const TEditor& e = *editor_;
  return QPoint(e.TextLeft() + (e.Col() - e.TopCol()) * e.ColWidth(),
                e.TextTop() + (e.Row() - e.TopRow()) * e.RowHeight());
}

// ---------------------------------------------------------------- keys

bool TEditorWidget::event(QEvent* e) {
  // Before a key becomes a shortcut of the window, the editor claims the
  // keys it uses itself: its menu's shortcuts win while it has the focus.
  if (e->type() == QEvent::ShortcutOverride && WantsKey(*static_cast<QKeyEvent*>(e))) {
    e->accept();
    return true;
  }
  return QAbstractScrollArea::event(e);
}

bool TEditorWidget::WantsKey(const QKeyEvent& e) const {
  if (editor_->MouseBusy()) return true;
  const int vk = VirtualKeyFromEvent(e);
  const TShiftState shift = ShiftStateFromQt(e.modifiers());
  if (vk != 0 && editor_->PopupMenu() &&
      editor_->PopupMenu()->Items().Find(MakeShortCut(vk, shift)))
    return true;
  if (IsNavigationOrDelete(vk)) return !(shift & ssAlt);
  // Typing, Backspace, Enter and a plain Tab; Escape and Ctrl+Tab stay
  // free for the window.
  if (vk == VK_TAB && (shift & (ssCtrl | ssAlt))) return false;
  const std::string bytes = CharacterBytes(e);
  return !bytes.empty() && bytes != "\x1B";
}

void TEditorWidget::keyPressEvent(QKeyEvent* e) {
  const int vk = VirtualKeyFromEvent(*e);
  if (vk != 0) keysDown_.insert(vk);
  const TShiftState shift = ShiftStateFromQt(e->modifiers(), QGuiApplication::mouseButtons());
  e->accept();
  // While the mouse is busy the editor decides first what a key may do,
  // and characters are dropped.
  const bool busy = editor_->MouseBusy();
  if (busy && (vk == 0 || editor_->FilterKeyDown(vk, shift))) return;
  if (vk != 0) {
    if (TEditorPopupMenu* menu = editor_->PopupMenu(); menu && menu->ShortCut(vk, shift)) return;
    if (editor_->KeyDown(vk, shift, e->isAutoRepeat())) return;
  }
  if (busy) return;
  const std::string bytes = CharacterBytes(*e);
  for (char b : bytes)
    editor_->KeyPress(static_cast<unsigned char>(b), shift);
  // What the editor does not use goes on to the window (a dialog's
  // Escape and default button, the menu bar's Alt keys).
  if (bytes.empty() || vk == VK_ESCAPE || (vk == VK_RETURN && !editor_->WantReturns())) e->ignore();
}

void TEditorWidget::keyReleaseEvent(QKeyEvent* e) {
  // A held key repeats presses only, as the editor expects.
  if (e->isAutoRepeat()) {
    e->ignore();
    return;
  }
  const int vk = VirtualKeyFromEvent(*e);
  if (vk == 0) {
    e->ignore();
    return;
  }
  keysDown_.erase(vk);
  const TShiftState shift = ShiftStateFromQt(e->modifiers(), QGuiApplication::mouseButtons());
  if (!editor_->MouseBusy() || !editor_->FilterKeyUp(vk, shift)) editor_->KeyUp(vk, shift);
  e->accept();
}

bool TEditorWidget::focusNextPrevChild(bool next) {
  // Tab belongs to the text while the editor wants tabs.
  if (editor_->WantTabs()) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

// ---------------------------------------------------------------- focus

void TEditorWidget::focusInEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusInEvent(e);
  editor_->FocusIn();
}

void TEditorWidget::focusOutEvent(QFocusEvent* e) {
  QAbstractScrollArea::focusOutEvent(e);
  // The input method now serves whoever has the focus: a commit asked
  // for now would land there.
  FinishPreedit(false);
  keysDown_.clear();
  if (editor_->MouseBusy()) editor_->MouseCaptureLost();
  editor_->FocusOut();
}

// ---------------------------------------------------------------- input method

QVariant TEditorWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
  case Qt::ImEnabled:
    return !editor_->ReadOnly();
  case Qt::ImCursorRectangle: {
    QRect r = imeRect_;
    if (!preedit_.isEmpty()) {
      const QPoint at = CaretCell();
      r = QRect(at.x() + PreeditColumnAt(std::max(0, preeditCursor_)) * editor_->ColWidth(), at.y(),
                1, editor_->CharHeight());
    }
    return QVariant(r.translated(viewport()->pos()));
  }
  case Qt::ImFont:
    return QVariant(ToQFont(editor_->Font()));
  case Qt::ImHints:
    return QVariant(static_cast<int>(Qt::ImhMultiLine));
  // The text around the caret is not offered: an input method that
  // edited it would need offsets the CP932 rows do not keep.
  case Qt::ImSurroundingText:
  case Qt::ImCurrentSelection:
  case Qt::ImTextBeforeCursor:
  case Qt::ImTextAfterCursor:
    return QVariant(QString());
  case Qt::ImCursorPosition:
  case Qt::ImAnchorPosition:
    return QVariant(0);
  default:
    return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void TEditorWidget::inputMethodEvent(QInputMethodEvent* e) {
  e->accept();
  const QString commit = e->commitString();
  if (!commit.isEmpty()) {
    SetPreedit(QString(), {});
    // Committed text arrives here only, never also as key text.
    editor_->ImeResult(ToCp932(commit));
  }
  // A read-only editor takes no text, so it shows no composition either.
  if (editor_->ReadOnly())
    SetPreedit(QString(), {});
  else
    SetPreedit(e->preeditString(), e->attributes());
}

void TEditorWidget::SetPreedit(const QString& text,
                               const QList<QInputMethodEvent::Attribute>& attributes) {
  if (text.isEmpty() && preedit_.isEmpty()) return;
  preedit_ = text;
  preeditCursor_ = text.isEmpty() ? -1 : static_cast<int>(text.size());
  preeditChars_.clear();
  preeditFormats_.clear();
  // Each character takes the columns its CP932 bytes will take.
  int col = 0;
  for (int i = 0; i < text.size();) {
    const int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const int cells = static_cast<int>(ToCp932(text.mid(i, len)).size());
    preeditChars_.push_back({i, len, col, cells});
    col += cells;
    i += len;
  }
  preeditCols_ = col;
  for (const QInputMethodEvent::Attribute& a : attributes) {
    if (a.type == QInputMethodEvent::Cursor)
      preeditCursor_ = a.length > 0 ? std::clamp(a.start, 0, static_cast<int>(text.size())) : -1;
    else if (a.type == QInputMethodEvent::TextFormat && a.value.canConvert<QTextFormat>())
      preeditFormats_.push_back({a.start, a.length, a.value.value<QTextFormat>().toCharFormat()});
  }
  KeepPreeditInView();
  // The composition and the rest of its row, which it pushes right.
  QRect now = PreeditRect();
  if (!now.isEmpty()) now.setRight(viewport()->width());
  if (!now.isEmpty()) now.setHeight(editor_->RowHeight());
  viewport()->update(preeditShown_ | now);
  // The block caret comes back where the composition was.
  if (caretExists_) viewport()->update(CaretRect());
  preeditShown_ = now;
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TEditorWidget::FinishPreedit(bool mayCommit) {
  if (preedit_.isEmpty()) return;
  // The input method sends the commit at once (as an input-method event).
  if (mayCommit && hasFocus()) QGuiApplication::inputMethod()->commit();
  if (preedit_.isEmpty()) return;
  const QString text = preedit_;
  SetPreedit(QString(), {});
  QGuiApplication::inputMethod()->reset();
  editor_->ImeResult(ToCp932(text));
}

void TEditorWidget::KeepPreeditInView() {
  if (preedit_.isEmpty()) return;
  TEditor& e = *editor_;
  // The part being worked on (the cursor, else the end) and the column
  // after it must be in the window, as the caret is when typing.
  const int active = preeditCursor_ >= 0 ? PreeditColumnAt(preeditCursor_) : preeditCols_;
  const int need = e.Col() + active;
  e.NoteLineWidth(e.RowEndCol(e.Row()) + preeditCols_);
  if (need > e.TopCol() + e.ColCount() - 1)
    e.SetTopCol(std::max(need - e.ColCount() + 1, e.TopCol() + e.ColCount() / 4));
  else if (need < e.TopCol())
    e.SetTopCol(std::max(0, need - e.ColCount() / 4));
}

QRect TEditorWidget::PreeditRect() const {
  if (preedit_.isEmpty()) return QRect();
  // One column more for the cursor after the last character.
  return QRect(CaretCell(), QSize((preeditCols_ + 1) * editor_->ColWidth(), editor_->CharHeight()));
}

int TEditorWidget::PreeditColumnAt(int index) const {
  for (const PreeditChar& c : preeditChars_)
    if (c.Index >= index) return c.Col;
  return preeditCols_;
}

void TEditorWidget::PaintPreedit(QPainter& p) {
  const QRect area = PreeditRect();
  const int w = editor_->ColWidth();
  const int h = editor_->CharHeight();
  const TColor fc = editor_->Font().Color;
  const QColor fg = (fc & 0xFF000000u) ? palette().color(QPalette::Text) : ToQColor(fc);
  p.setClipping(false);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  // Its own columns only: the text it pushes right starts after them.
  p.fillRect(QRect(area.topLeft(), QSize(preeditCols_ * w, h)), BackgroundColor());
  p.setFont(ToQFont(editor_->Font()));
  for (const PreeditChar& c : preeditChars_) {
    const QRect cell(area.left() + c.Col * w, area.top(), c.Cells * w, h);
    QColor ink = fg;
    // The clause being converted, as the input method formats it.
    for (const PreeditFormat& f : preeditFormats_) {
      if (c.Index < f.Start || c.Index >= f.Start + f.Length) continue;
      if (f.Format.background().style() != Qt::NoBrush) p.fillRect(cell, f.Format.background());
      if (f.Format.foreground().style() != Qt::NoBrush) ink = f.Format.foreground().color();
    }
    p.setPen(ink);
    p.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               preedit_.mid(c.Index, c.Length));
  }
  // Underlined, as a composition is shown, with its cursor.
  p.fillRect(QRect(area.left(), area.top() + h - 1, preeditCols_ * w, 1), fg);
  if (preeditCursor_ >= 0)
    p.fillRect(QRect(area.left() + PreeditColumnAt(preeditCursor_) * w, area.top(), 2, h), fg);
}

// ---------------------------------------------------------------- mouse

void TEditorWidget::mousePressEvent(QMouseEvent* e) {
  // A click ends a composition before it moves the caret.
  FinishPreedit(true);
  // The editor takes the left button; the right one opens the context
  // menu (contextMenuEvent).
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  const QPoint at = e->position().toPoint();
  editor_->MouseDown(at.x(), at.y(), MouseShift(e) | ssLeft);
  e->accept();
}

void TEditorWidget::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  editor_->MouseMove(at.x(), at.y(), MouseShift(e));
  e->accept();
}

void TEditorWidget::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  const QPoint at = e->position().toPoint();
  editor_->MouseUp(at.x(), at.y(), MouseShift(e));
  e->accept();
}

void TEditorWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double-click selects the word under it; it is
  // not a new press, so it neither moves the anchor nor starts a drag.
  e->accept();
  if (e->button() != Qt::LeftButton || editor_->MouseBusy()) return;
  FinishPreedit(true);
  const QPoint at = e->position().toPoint();
  editor_->SelectTokenAt(at.x(), at.y(), true);
}

// ---------------------------------------------------------------- context menu

std::unique_ptr<QMenu> TEditorWidget::CreateContextMenu() {
  TEditorPopupMenu* model = editor_->PopupMenu();
  if (!model) return nullptr;
  model->Update();
  // No parent: the menu may outlive nothing of this widget's, and a
  // widget destroyed while it is open does not delete it under its owner.
  auto menu = std::make_unique<QMenu>();
  FillMenu(*menu, model->Items());
  return menu;
}

void TEditorWidget::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  if (editor_->MouseBusy()) return;
  FinishPreedit(true);
  std::unique_ptr<QMenu> menu = CreateContextMenu();
  if (!menu) return;
  QPoint at = e->globalPos();
  if (e->reason() != QContextMenuEvent::Mouse)
    at = viewport()->mapToGlobal(CaretCell() + QPoint(0, editor_->CharHeight()));
  QPointer<TEditorWidget> alive(this);
  QAction* chosen = menu->exec(at);
  if (!alive) return;
  if (TEditorMenuItem* item = MenuItemOf(chosen)) item->Click();
}

} // namespace ze
