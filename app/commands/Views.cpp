#include "app/commands/Views.h"

#include <algorithm>

#include "text/EditorStrings.h"

namespace ze::cmd {

ByteString CaretRowText(const TEditor& e) {
  return e.RowText(e.Row());
}

bool CaretRowEmpty(const TEditor& e) {
  return e.RowText(e.Row()).size() == 0;
}

bool HasLines(const TEditor& e) {
  return e.ListCount() > 0;
}

int CaretBytePos(const TEditor& e) {
  return e.CaretPos();
}

int ColOfPos(const TEditor& e, int row, int pos) {
  const int size = static_cast<int>(e.RowText(row).size());
  if (pos <= size) return e.PosToCol(row, std::max(0, pos));
  return e.RowEndCol(row) + (pos - size);
}

void SetRowPos(TEditor& e, int row, int pos) {
  e.SetRowCol(row, ColOfPos(e, row, pos));
}

void SelectFromCaret(TEditor& e, long long n) {
  if (e.HasSelection()) e.CleanSelection();
  if (n <= 0) return;
  e.StartSelection();
  if (e.SelectionState() != sstInit) return;
  // Counted from the caret row, so that a selection near the end of a
  // long text does not walk the rows above it.
  const int row = e.Row();
  const long long offset = e.CharOffset(row, row, e.Col()) + n;
  TRowCol rc = RowColAtOffset(e.List(), row, offset, e.ColumnSettings());
  if (rc.Row >= e.ListCount()) rc = {e.ListCount(), 0};
  e.SetRowCol(rc.Row, rc.Col);
  e.ExtendSelection();
}

void SelectInRow(TEditor& e, int row, int pos, long long n) {
  if (e.HasSelection()) e.CleanSelection();
  SetRowPos(e, row, pos);
  SelectFromCaret(e, n);
}

} // namespace ze::cmd
