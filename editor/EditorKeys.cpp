// TEditor: navigation keys.
#include <algorithm>

#include "editor/Editor.h"

namespace ze {

bool TEditor::KeyDown(int key, TShiftState shift, bool autoRepeat) {
  keyRepeat_ = autoRepeat;
  const bool ctrl = shift & ssCtrl;
  const int count = list_->Count();
  switch (key) {
  case VK_PRIOR:
  case VK_NEXT: {
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    int page = ((rowCount_ - 1) / 2) *
               (autoRepeat ? speed_->PageVerticalRangeAc() : speed_->PageVerticalRange());
    int n = key == VK_PRIOR ? -page : page;
    if (topRow_ == 0 && n < 0) {
      SetRow(0);
    } else if (!(RowAttribute(topRow_) == reEndOfText && topRow_ < count && n > 0)) {
      CaretBeginUpdate();
      int oldTop = topRow_;
      SetTopRow(std::clamp(topRow_ + n, 0, count));
      SetRow(row_ + (topRow_ - oldTop));
      CaretEndUpdate();
    }
    return true;
  }
  case VK_END:
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    if (ctrl) SetRow(count);
    SetCol(row_ == count ? 0 : RowEndCol(row_));
    return true;
  case VK_HOME:
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    if (ctrl) SetRow(0);
    SetCol(0);
    return true;
  case VK_LEFT:
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    if (col_ > 0) {
      SetCol(col_ - 1);
    } else if (row_ > 0 && (caret_->NextLine() || RowAttribute(row_ - 1) == reWrapped)) {
      CaretBeginUpdate();
      SetRowCol(row_ - 1, RowEndCol(row_ - 1));
      CaretEndUpdate();
    }
    return true;
  case VK_RIGHT: {
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    int before = col_;
    SetCol(col_ + 1);
    if (col_ == before && row_ < count && RowAttribute(row_) != reEndOfText &&
        (caret_->NextLine() || RowAttribute(row_) == reWrapped)) {
      CaretBeginUpdate();
      SetRowCol(row_ + 1, 0);
      CaretEndUpdate();
    }
    return true;
  }
  case VK_UP:
  case VK_DOWN: {
    if (selectionState_ != sstNone && !(shift & ssShift)) CleanSelection();
    const bool up = key == VK_UP;
    bool edge = up ? row_ == topRow_ : row_ == topRow_ + rowCount_ - 1;
    int step = (autoRepeat && edge) ? speed_->CaretVerticalAc() : 1;
    if (ctrl) {
      if (up) {
        if (row_ > 0) {
          SetTopRow(topRow_ - step);
          if (row_ >= topRow_ + rowCount_) SetRow(row_ - step);
        }
      } else {
        SetTopRow(topRow_ + step);
        if (row_ < topRow_) SetRow(row_ + step);
      }
    } else if (up) {
      if (row_ > 0) SetRow(row_ - step);
    } else if (RowAttribute(row_) != reEndOfText) {
      SetRow(row_ + step);
    }
    return true;
  }
  default:
    return false;
  }
}

void TEditor::KeyUp(int, TShiftState) {
  keyRepeat_ = false;
  if (imeDeferred_) UpdateImeWindow();
}

} // namespace ze
