// TEditor: caret placement, the system caret and scrolling.
#include <algorithm>
#include <cstdlib>

#include "editor/Editor.h"

namespace ze {
namespace {

// Closes a caret or underline bracket on every exit path.
template <void (TEditor::*Begin)(), void (TEditor::*End)()> class Bracket {
public:
  explicit Bracket(TEditor& e) : e_(e) { (e_.*Begin)(); }
  ~Bracket() { (e_.*End)(); }
  Bracket(const Bracket&) = delete;
  Bracket& operator=(const Bracket&) = delete;

private:
  TEditor& e_;
};
using CaretBracket = Bracket<&TEditor::CaretBeginUpdate, &TEditor::CaretEndUpdate>;
using UnderlineBracket = Bracket<&TEditor::UnderlineBeginUpdate, &TEditor::UnderlineEndUpdate>;

} // namespace

// ---------------------------------------------------------------- row and column

void TEditor::SetCol(int k) {
  k = std::clamp(k, 0, std::max(maxLineWidth_, RowEndCol(row_)) + 1);
  int old = col_;
  col_ = k;
  AdjustCol(false, k > old ? 1 : -1);
  if (ruler_->Visible() && col_ != old) MarkRulerCaret(old, col_);
}

void TEditor::SetRow(int r) {
  const int count = list_->Count();
  if (r == row_ && row_ != count) return;
  int oldCol = col_;
  {
    UnderlineBracket underline(*this);
    row_ = std::clamp(r, 0, count);
    if (row_ == count && row_ > 0 && list_->RowAttribute(count - 1) == reEndOfText) --row_;
    AdjustCol(true, -1);
  }
  if (ruler_->Visible() && col_ != oldCol) MarkRulerCaret(oldCol, col_);
}

void TEditor::SetRowCol(int r, int k) {
  // The column is moved off a trail half and (unless InTab) off a tab's
  // columns first, so that an edit that changed the row under an unmoved
  // caret still leaves it on a character boundary.
  const int count = list_->Count();
  int target = std::clamp(r, 0, count);
  if (target == count && count > 0 && list_->RowAttribute(count - 1) == reEndOfText) --target;
  const ByteString text = RowText(target);
  const auto columns = RowColumns(text);
  if (columns->Code(k) == caTrail) --k;
  if (!caret_->InTab())
    while (k > 0 && columns->Code(k) == caTabFill) --k;
  if (r == row_ && k == col_) return;
  suppressCaret_ = true;
  try {
    SetRow(r);
    SetCol(k);
  } catch (...) {
    suppressCaret_ = false;
    throw;
  }
  suppressCaret_ = false;
  UpdateCaret();
}

void TEditor::RememberCol(int k, bool vertical) {
  if (!vertical || rowSelecting_) return;
  rememberedCol_ = k;
  remembered_ = true;
}

void TEditor::AdjustCol(bool vertical, int direction) {
  const ByteString text = RowText(row_);
  const auto columns = RowColumns(text);
  const int w = columns->Width();
  auto code = [&](int c) { return columns->Code(c); };
  NoteLineWidth(w);
  const bool mouseDown = host_ && host_->LeftButtonDown();

  if (!vertical) remembered_ = false;
  else if (remembered_) col_ = rememberedCol_;

  if (!caret_->FreeCaret() && col_ > w) {
    if (caret_->KeepCaret()) RememberCol(mouseDown ? w : col_, vertical);
    if (!(caret_->FreeRow() && vertical && !mouseDown)) col_ = w;
  }
  if (code(col_) == caTrail) {
    RememberCol(col_, vertical);
    col_ += direction;
  }
  if (!caret_->InTab() && code(col_) == caTabFill) {
    RememberCol(col_, vertical);
    while (code(col_) == caTabFill) col_ += direction;
  }
  if (list_->WordWrap() && col_ >= w) {
    RememberCol(col_, vertical);
    const int wrapByte = list_->WrapOption()->WrapByte();
    if (RowAttribute(row_) == reWrapped && row_ < list_->Count()) col_ = std::max(0, w - 1);
    else if (col_ >= wrapByte) col_ = std::max(w, wrapByte - 1);
    if (code(col_) == caTrail) --col_;
    if (!caret_->InTab())
      while (col_ > 0 && code(col_) == caTabFill) --col_;
  }
  // A free caret may stand past the row's end, but not past the extent.
  col_ = std::min(col_, std::max(maxLineWidth_, w));
  col_ = std::max(col_, 0);
  if (!suppressCaret_) UpdateCaret();
}

void TEditor::SetCaretByOffset(int firstRow, long long offset) {
  // As RowColAtOffset counts, but through the row's column map, which the
  // caret's next steps ask again: a long row is walked once, not three
  // times.
  const int count = list_->Count();
  for (int r = std::max(firstRow, 0); r < count; ++r) {
    const ByteString& text = list_->Ref(r);
    const TRowEnd end = list_->RowAttribute(r);
    const long long span = static_cast<long long>(text.size()) +
                           (end == reLineBreak ? 2 : end == reEndOfText ? 1 : 0);
    if (offset < span || end == reEndOfText) {
      const int bytes =
          static_cast<int>(std::clamp<long long>(offset, 0, static_cast<long long>(text.size())));
      const int col = std::min(RowColumns(text)->PosToCol(bytes), RowEndCol(r));
      SetRowCol(r, col);
      return;
    }
    offset -= span;
  }
  SetRowCol(count, 0);
}

long long TEditor::CharOffset(int firstRow, int row, int col) const {
  long long n = 0;
  for (int r = std::max(firstRow, 0); r < row && r < list_->Count(); ++r) {
    TRowEnd end = list_->RowAttribute(r);
    n += static_cast<long long>(list_->Ref(r).size()) +
         (end == reLineBreak ? 2 : end == reEndOfText ? 1 : 0);
  }
  // Counted like a byte position: a column inside a tab is the tab itself.
  const ByteString text = RowText(row);
  const auto columns = RowColumns(text);
  if (col < 0) return n + col;
  if (col >= columns->Width()) return n + static_cast<long long>(text.size()) + (col - columns->Width());
  return n + columns->ColToPos(col) + (columns->Code(col) == caTrail ? 1 : 0);
}

void TEditor::PosToRowCol(int x, int y, int& row, int& col, bool nearest) const {
  if (x < TextLeft()) x -= colWidth_ - 1;
  if (nearest) col = std::max(0, (x + colWidth_ / 2 - 1 - TextLeft()) / colWidth_ + topCol_);
  else col = std::max(0, (x - TextLeft()) / colWidth_ + topCol_);
  row = (y - TextTop()) / rowHeight_ + topRow_;
}

// ---------------------------------------------------------------- system caret

void TEditor::UpdateCaret() {
  CreateCaretShape();
  ScrollCaret();
  PositionCaret();
  ShowCaret();
}

void TEditor::CreateCaretShape() {
  if (!focused_ || !HandleAllocated()) return;
  if (caretCreated_) host_->DestroyCaret();
  int w = 2, h = charHeight_;
  if (overWrite_ || caret_->Style() == csBrief) {
    w = colWidth_ - margin_->Character();
    const ByteString text = RowText(row_);
    if (overWrite_ && RowColumns(text)->Code(col_) == caLead) w *= 2;
    if (!overWrite_) h = 2;
  }
  host_->CreateCaret(w, h);
  caretCreated_ = true;
  caretShown_ = false;
}

void TEditor::PositionCaret() {
  if (!focused_ || !HandleAllocated()) return;
  int x = TextLeft() + (col_ - topCol_) * colWidth_;
  int y = TextTop() + rowHeight_ * (row_ - topRow_);
  int caretY = y + ((caret_->Style() == csBrief && !overWrite_) ? charHeight_ - 2 : 0);
  host_->SetCaretPos(x, caretY);
  if (keyRepeat_) {
    imeDeferred_ = true;
  } else {
    host_->SetImePosition(x, y, charHeight_);
    imeDeferred_ = false;
  }
  DoCaretMoved();
}

void TEditor::UpdateImeWindow() {
  if (!focused_ || !HandleAllocated()) return;
  int x = TextLeft() + (col_ - topCol_) * colWidth_;
  int y = TextTop() + rowHeight_ * (row_ - topRow_);
  if (keyRepeat_) {
    imeDeferred_ = true;
    return;
  }
  host_->SetImePosition(x, y, charHeight_);
  imeDeferred_ = false;
}

void TEditor::ShowCaret() {
  if (caretHideCount_ != 0 || !focused_ || caretShown_ || !caretCreated_ || !HandleAllocated())
    return;
  if (row_ < topRow_ || row_ > topRow_ + rowCount_ || col_ < topCol_ || col_ > topCol_ + colCount_)
    return;
  host_->ShowCaret();
  caretShown_ = true;
}

void TEditor::HideCaret() {
  if (!focused_ || !caretShown_ || !HandleAllocated()) return;
  host_->HideCaret();
  caretShown_ = false;
}

void TEditor::CaretBeginUpdate() {
  if (caretHideCount_++ == 0) HideCaret();
}

void TEditor::CaretEndUpdate() {
  if (caretHideCount_ == 0) return;
  if (--caretHideCount_ == 0) ShowCaret();
}

void TEditor::UnderlineBeginUpdate() {
  if (underlineCount_++ == 0 && marks_->Underline()->Visible() && selectionState_ == sstNone)
    EraseUnderline(row_);
}

void TEditor::UnderlineEndUpdate() {
  if (underlineCount_ == 0) return;
  if (--underlineCount_ == 0 && marks_->Underline()->Visible() && selectionState_ == sstNone)
    DrawUnderline(row_);
}

// ---------------------------------------------------------------- scrolling

void TEditor::ScrollCaret() {
  if (!focused_) return;
  if (row_ < topRow_) SetTopRow(row_);
  else if (row_ > topRow_ + rowCount_ - 1) SetTopRow(row_ - rowCount_ + 1);
  if (col_ < topCol_) {
    SetTopCol(std::max(0, std::min(col_, topCol_ - colCount_ / 4)));
  } else if (col_ > topCol_ + colCount_ - 1) {
    SetTopCol(std::min(std::max(col_ - colCount_ + 1, topCol_ + colCount_ / 4),
                       maxLineWidth_ - colCount_ / 2));
  }
}

void TEditor::SetTopRow(int r) {
  const int next = std::clamp(r, 0, list_->Count());
  if (!HandleAllocated()) {
    topRow_ = next;
    return;
  }
  CaretBracket caret(*this);
  UnderlineBracket underline(*this);
  const int d = topRow_ - next;
  topRow_ = next;
  if (d != 0) {
    // The scrolled area runs to the bottom of the window, below the last
    // whole row: a jump at least that high moves nothing worth keeping,
    // and a shorter scroll standing in for it would carry old pixels in.
    const TRect area{0, TextTop(), host_->ClientWidth(), host_->ClientHeight()};
    if (static_cast<long long>(std::abs(d)) * rowHeight_ >= area.Height()) {
      host_->Invalidate(area);
      host_->UpdateNow();
    } else {
      ScrollArea(0, d * rowHeight_, area);
    }
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
      host_->SetScrollInfo(TScrollBar::Vertical, 0, std::max(rowCount_, maxTopRow_), rowCount_,
                           topRow_);
    UpdateImeWindow();
    DoTopRowChange();
  }
}

void TEditor::SetTopCol(int k) {
  const int next = std::clamp(k, 0, std::max(0, maxLineWidth_ - colCount_ / 2));
  if (!HandleAllocated()) {
    topCol_ = next;
    return;
  }
  int oldCaretCol = col_;
  CaretBracket caret(*this);
  int dx = (topCol_ - next) * colWidth_;
  topCol_ = next;
  if (dx != 0) {
    ScrollArea(dx, 0, TRect{TextLeft(), 0, host_->ClientWidth(), host_->ClientHeight()});
    if (ruler_->Visible()) MarkRulerCaret(oldCaretCol, col_);
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
      host_->SetScrollInfo(TScrollBar::Horizontal, 0, colCount_ / 2 + maxLineWidth_, colCount_,
                           topCol_);
    UpdateImeWindow();
    DoTopColChange();
  }
}

void TEditor::ScrollArea(int dx, int dy, const TRect& r) {
  UnderlineBracket underline(*this);
  host_->ScrollContents(dx, dy, r);
  host_->UpdateNow();
}

void TEditor::InitScroll() {
  maxTopRow_ = std::max(0, list_->Count() + rowCount_ - 1);
  topRow_ = std::min(topRow_, maxTopRow_);
  topCol_ = std::min(topCol_, std::max(0, maxLineWidth_ - colCount_ / 2));
  if (!HandleAllocated()) return;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth)
    host_->SetScrollInfo(TScrollBar::Vertical, 0, std::max(rowCount_, maxTopRow_), rowCount_,
                         topRow_);
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth)
    host_->SetScrollInfo(TScrollBar::Horizontal, 0, colCount_ / 2 + maxLineWidth_, colCount_,
                         topCol_);
}

void TEditor::NoteLineWidth(int w) {
  if (w <= maxLineWidth_) return;
  maxLineWidth_ = w;
  if (HandleAllocated() && (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth))
    host_->SetScrollInfo(TScrollBar::Horizontal, 0, colCount_ / 2 + maxLineWidth_, colCount_,
                         topCol_);
}

void TEditor::VScroll(int code, int trackPos) {
  int step;
  switch (code) {
  case SB_LINEUP: step = -1; break;
  case SB_LINEDOWN: step = 1; break;
  case SB_PAGEUP: step = -std::max(1, rowCount_); break;
  case SB_PAGEDOWN: step = std::max(1, rowCount_); break;
  case SB_TOP: step = -topRow_; break;
  case SB_BOTTOM: step = maxTopRow_ - topRow_; break;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: step = trackPos - topRow_; break;
  default: return;
  }
  step = std::clamp(step, -topRow_, maxTopRow_ - topRow_);
  if (step == 0) return;
  SetTopRow(topRow_ + step);
  if (caret_->LockScroll()) SetRow(row_ + step);
}

void TEditor::HScroll(int code, int trackPos) {
  int step;
  const int right = colCount_ / 2 + maxLineWidth_;
  switch (code) {
  case SB_LINEUP: step = -1; break;
  case SB_LINEDOWN: step = 1; break;
  case SB_PAGEUP: step = -std::max(1, colCount_); break;
  case SB_PAGEDOWN: step = std::max(1, colCount_); break;
  case SB_TOP: step = -topCol_; break;
  case SB_BOTTOM: step = right - topCol_; break;
  case SB_THUMBPOSITION:
  // The whole position: rows run far past the 16 bits of a scroll message.
  case SB_THUMBTRACK: step = trackPos - topCol_; break;
  default: return;
  }
  step = std::clamp(step, -topCol_, right - topCol_);
  if (step != 0) SetTopCol(topCol_ + step);
}

} // namespace ze
