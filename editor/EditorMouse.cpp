// TEditor: the mouse. Placing the caret, drag-selecting with the caret
// following the pointer, Shift-click, whole rows from the left margin,
// dragging the selection to move or copy it, and the cursor shapes.
#include <algorithm>
#include <cstdlib>

#include "editor/Editor.h"

namespace ze {
namespace {

class CaretBracket {
public:
  explicit CaretBracket(TEditor& e) : e_(e) { e_.CaretBeginUpdate(); }
  ~CaretBracket() { e_.CaretEndUpdate(); }
  CaretBracket(const CaretBracket&) = delete;
  CaretBracket& operator=(const CaretBracket&) = delete;

private:
  TEditor& e_;
};

enum { ckDefault, ckLeftMargin, ckTopMargin, ckInSelection, ckDragging, ckDraggingCopy };

} // namespace

// ---------------------------------------------------------------- cursor

void TEditor::SetSelectionCursorKind(int kind) {
  if (kind < ckDefault || kind > ckDraggingCopy) return;
  if (!caret_->AutoCursor() || kind == cursorKind_) return;
  cursorKind_ = kind;
  if (!host_) return;
  const TEditorCursors& c = *caret_->Cursors();
  int shape = c.DefaultCursor();
  switch (kind) {
  case ckLeftMargin: shape = c.LeftMarginCursor(); break;
  case ckTopMargin: shape = c.TopMarginCursor(); break;
  case ckInSelection: shape = c.InSelCursor(); break;
  case ckDragging: shape = c.DragSelCursor(); break;
  case ckDraggingCopy: shape = c.DragSelCopyCursor(); break;
  default: break;
  }
  host_->SetCursor(shape);
}

void TEditor::ChooseCursor(int x, int y) {
  int kind = ckDefault;
  if (x < TextLeft()) {
    kind = ckLeftMargin;
  } else if (y < TextTop()) {
    kind = ckTopMargin;
  } else {
    int row, col;
    PosToRowCol(x, y, row, col, false);
    if (CanDragSelection() && IsInSelection(row, col)) kind = ckInSelection;
  }
  SetSelectionCursorKind(kind);
}

bool TEditor::CanDragSelection() const {
  return !readOnly_ && selectionState_ == sstSelected && selectionMode_ == smNormal &&
         caret_->SelMove();
}

// ---------------------------------------------------------------- buttons

int TEditor::DragRow(int y, int row) const { return y < TextTop() ? std::max(0, row - 1) : row; }

bool TEditor::FarFromMouseDown(int x, int y) const {
  const int d = std::max(1, colWidth_ / 2);
  return std::abs(x - mouseDownX_) >= d || std::abs(y - mouseDownY_) >= d;
}

void TEditor::MouseDown(int x, int y, TShiftState shift) {
  if (host_ && !focused_) host_->SetFocus();
  int row, col;
  if (shift & ssShift) {
    if (selectionState_ != sstSelected) StartSelection();
    PosToRowCol(x, y, row, col, true);
    SetRowCol(row, col);
    ExtendSelection();
    mouseTracking_ = true;
  } else {
    mouseDownX_ = x;
    mouseDownY_ = y;
    PosToRowCol(x, y, row, col, false);
    if (CanDragSelection() && x >= TextLeft() && IsInSelection(row, col)) {
      SetRowCol(row, col);
      // Automatic mode: the press may become a drag of the selection, so
      // moving the pointer must not select (the press ends here as if
      // the button had been released).
      if (caret_->SelDragMode() == dmAutomatic) {
        mouseTracking_ = false;
        rowSelecting_ = false;
        dragState_ = dsPending;
      } else {
        mouseTracking_ = true;
      }
    } else {
      PosToRowCol(x, y, row, col, true);
      mouseTracking_ = true;
      if (x < TextLeft() && caret_->RowSelect()) {
        StartRowSelection(row);
      } else {
        CaretBracket caret(*this);
        SetRowCol(row, col);
        StartSelection();
      }
    }
  }
  if (host_) host_->SetCapture(true);
}

void TEditor::MouseMove(int x, int y, TShiftState shift) {
  if (dragState_ == dsPending) {
    if (FarFromMouseDown(x, y)) {
      dragState_ = dsDragging;
      SetSelectionCursorKind((shift & ssCtrl) ? ckDraggingCopy : ckDragging);
    }
    return;
  }
  int row, col;
  if (dragState_ == dsDragging) {
    // The caret shows where the text would land.
    PosToRowCol(x, y, row, col, false);
    SetRowCol(DragRow(y, row), col);
    return;
  }
  if (mouseTracking_ && !(shift & ssLeft)) {
    // The button went up where we did not see it.
    mouseTracking_ = false;
    rowSelecting_ = false;
  }
  if (!mouseTracking_) {
    ChooseCursor(x, y);
    return;
  }
  PosToRowCol(x, y, row, col, true);
  row = DragRow(y, row);
  if (rowSelecting_) {
    ExtendRowSelection(row);
    return;
  }
  // The caret follows the pointer, and scrolls the view with it.
  SetRowCol(row, col);
  if (selectionState_ == sstSelected) UpdateSelection();
  else if (FarFromMouseDown(x, y)) ExtendSelection();
}

void TEditor::MouseUp(int x, int y, TShiftState shift) {
  if (host_) host_->SetCapture(false);
  mouseTracking_ = false;
  rowSelecting_ = false;
  if (dragState_ == dsDragging) {
    dragState_ = dsNone;
    const bool outside = !HandleAllocated() || x < 0 || y < 0 || x >= host_->ClientWidth() ||
                         y >= host_->ClientHeight();
    if (outside || IsInSelection(row_, col_)) CleanSelection();
    else if (shift & ssCtrl) CopySelection(row_, col_);
    else MoveSelection(row_, col_);
    ChooseCursor(x, y);
  } else if (dragState_ == dsPending) {
    // A click inside the selection: it goes, the caret stays at the click.
    dragState_ = dsNone;
    SetSelectionCursorKind(ckDefault);
    CleanSelection();
  }
}

void TEditor::CancelDrag(bool byEscape) {
  if (dragState_ == dsNone) return;
  dragState_ = dsNone;
  if (byEscape && caret_->AutoCursor()) {
    cursorKind_ = ckDefault;
    if (host_) host_->SetCursor(caret_->Cursors()->DefaultCursor());
  } else {
    SetSelectionCursorKind(ckDefault);
  }
  CleanSelection();
}

void TEditor::MouseCaptureLost() {
  mouseTracking_ = false;
  rowSelecting_ = false;
  CancelDrag(false);
}

// ---------------------------------------------------------------- keys while the mouse is busy

bool TEditor::FilterKeyDown(int key, TShiftState shift) {
  if (!MouseBusy()) return false;
  if (dragState_ != dsDragging) return true;
  if (key == VK_CONTROL) SetSelectionCursorKind(ckDraggingCopy);
  else if (key == VK_ESCAPE) CancelDrag(true);
  return false;
}

bool TEditor::FilterKeyUp(int key, TShiftState shift) {
  if (!MouseBusy()) return false;
  if (dragState_ == dsDragging && key == VK_CONTROL) {
    SetSelectionCursorKind(ckDragging);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------- row selection

int TEditor::ClampSelectRow(int row) const {
  const int count = list_->Count();
  row = std::clamp(row, 0, count);
  if (row == count && count > 0 && list_->RowAttribute(count - 1) == reEndOfText) --row;
  return row;
}

void TEditor::StartRowSelection(int row) {
  if (list_->Count() == 0) return;
  const int r = ClampSelectRow(row);
  rowSelecting_ = true;
  rowSelStart_ = rowSelEnd_ = r;
  CaretBracket caret(*this);
  if (RowAttribute(r) == reEndOfText) {
    // No line break to take: the row's text, from its end back.
    SetRowCol(r, RowEndCol(r));
    StartSelection();
    SetRowCol(r, 0);
    ExtendSelection();
    return;
  }
  SetRowCol(r, 0);
  StartSelection();
  SetRowCol(r + 1, 0);
  ExtendSelection();
  SetRowCol(r, 0);
}

void TEditor::ExtendRowSelection(int row) {
  if (!rowSelecting_ || list_->Count() == 0) return;
  const int p = ClampSelectRow(row);
  if (p == rowSelEnd_) return;
  const int r = rowSelStart_;
  const bool wasBelow = rowSelEnd_ >= r;
  const bool below = p >= r;
  rowSelEnd_ = p;
  // The end of a row with its line break, or of a last row without one.
  auto toRowEnd = [this](int k) {
    if (RowAttribute(k) == reEndOfText) SetRowCol(k, RowEndCol(k));
    else SetRowCol(k + 1, 0);
  };
  CaretBracket caret(*this);
  if (below != wasBelow) {
    // Crossing the clicked row: the anchor goes to its other edge, so the
    // clicked row stays selected.
    if (below) SetRowCol(r, 0);
    else toRowEnd(r);
    StartSelection();
  }
  if (below) toRowEnd(p);
  else SetRowCol(p, 0);
  ExtendSelection();
}

// ---------------------------------------------------------------- moving and copying

void TEditor::CopySelection(int row, int col) {
  if (!CanDragSelection() || IsInSelection(row, col)) {
    CleanSelection();
    return;
  }
  const ByteString text = SelText();
  CleanSelection();
  SetRowCol(row, col);
  SetSelText(text.view());
}

void TEditor::MoveSelection(int row, int col) {
  if (!CanDragSelection() || IsInSelection(row, col)) {
    CleanSelection();
    return;
  }
  const int count = list_->Count();
  const int sr = selRange_.StartRow, er = selRange_.EndRow;
  const int sp = std::clamp(selRange_.StartPos, 0, static_cast<int>(RowText(sr).size()));
  const int ep = std::clamp(selRange_.EndPos + 1, 0, static_cast<int>(RowText(er).size()));
  const int tr = std::clamp(row, 0, count);
  const int tp = std::max(0, ColToPos(tr, col));
  auto before = [](int r1, int p1, int r2, int p2) { return r1 < r2 || (r1 == r2 && p1 < p2); };
  if (!before(tr, tp, sr, sp) && !before(er, ep, tr, tp)) {
    // From the start to the end of the selection, both included: the
    // text would not change.
    CleanSelection();
    return;
  }
  // The rows from the earlier to the later of selection and target as one
  // text, the target row filled up with spaces to the target.
  const int first = std::min(sr, tr), last = std::max(er, tr);
  std::string text;
  size_t s = 0, e = 0, t = 0;
  for (int r = first; r <= last; ++r) {
    std::string rowText = RowText(r).str();
    if (r == tr && static_cast<size_t>(tp) > rowText.size())
      rowText.resize(static_cast<size_t>(tp), ' ');
    if (r == sr) s = text.size() + static_cast<size_t>(sp);
    if (r == er) e = text.size() + static_cast<size_t>(ep);
    if (r == tr) t = text.size() + static_cast<size_t>(tp);
    text += rowText;
    if (r < count && RowAttribute(r) == reLineBreak) text += "\r\n";
  }
  const std::string moved = text.substr(s, e - s);
  std::string result;
  size_t caretEnd;
  if (t <= s) {
    result = text.substr(0, t) + moved + text.substr(t, s - t) + text.substr(e);
    caretEnd = t + moved.size();
  } else {
    result = text.substr(0, s) + text.substr(e, t - e) + moved + text.substr(t);
    caretEnd = t;
  }
  const int f = EditFirstRow(first);
  const long long offset = CharOffset(f, first, 0) + static_cast<long long>(caretEnd);
  CleanSelection();
  EditRows(first, last, result, f, offset, true);
}

} // namespace ze
