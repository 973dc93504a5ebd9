// TEditor: searching the text from the caret or the selection.
#include <algorithm>

#include "editor/Editor.h"
#include "search/RowSearch.h"

namespace ze {

bool TEditor::SearchText(std::string_view pattern, TSearchOptions options) {
  const int count = list_->Count();
  if (count == 0 || pattern.empty()) return false;
  const bool forward = options & soDown;
  int row, pos;
  if (HasSelection()) {
    // Forward from just after the selection or hit (never past the end of
    // a hit, so that overlapping occurrences are found), backward from its
    // start.
    row = forward ? selRange_.EndRow : selRange_.StartRow;
    pos = forward ? selRange_.EndPos + 1 : selRange_.StartPos;
  } else {
    row = row_;
    pos = CaretPos();
    if (row >= count && !forward) {
      row = count - 1;
      pos = static_cast<int>(RowText(row).size()) + (RowAttribute(row) == reLineBreak ? 2 : 0);
    }
  }
  std::optional<TRowHit> hit = SearchRows(*list_, row, pos, pattern, options);
  if (!hit) return false;
  CleanSelection();
  SetCaretByOffset(hit->Row, hit->Pos);
  SetHitSelLength(hit->Length);
  ScrollCaretIntoView();
  return true;
}

void TEditor::ScrollCaretIntoView() {
  if (row_ < topRow_ || row_ >= topRow_ + rowCount_) SetTopRow(row_ - rowCount_ / 3);
  if (col_ < topCol_ || col_ >= topCol_ + colCount_) SetTopCol(col_ - colCount_ / 3);
}

} // namespace ze
