#include "text/Undo.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "text/ScreenStrings.h"

namespace ze {

void TEditorUndoObj::CaretOf(int& row, int& col) const {
  TEditorView* v = store_.FocusedEditor();
  row = v ? v->Row() : 0;
  col = v ? v->Col() : 0;
}

void TEditorUndoObj::MoveCaret(int row, int col) {
  if (TEditorView* v = store_.FocusedEditor()) {
    v->SetRow(row);
    v->SetCol(col);
  }
}

TEditorUndoData& TEditorUndoObj::NewRecord() {
  TEditorUndoData& r = undoList_.Add();
  CaretOf(r.CaretRow, r.CaretCol);
  if (undoList_.Count() > limit_) undoList_.DeleteFirst();
  if (!redoing_) redoList_.Clear();
  return r;
}

void TEditorUndoObj::PushRedo(const TEditorUndoData& r) {
  TEditorUndoData& c = redoList_.Add();
  CaretOf(c.CaretRow, c.CaretCol);
  c.StartRow = r.StartRow;
  c.RowCount = r.RowCount;
  c.LastAttribute = r.LastAttribute;
  c.Text = r.Text;
  c.Head = r.Head;
  c.Tail = r.Tail;
  c.Cuts = r.Cuts;
}

void TEditorUndoObj::Clear() {
  undoList_.Clear();
  redoList_.Clear();
}

TEditorUndoObj::Applied TEditorUndoObj::Apply(const TEditorUndoData& r) {
  TEditorView* view = store_.FocusedEditor();
  struct CaretShown {
    TEditorView* v;
    ~CaretShown() {
      if (v) v->CaretEndUpdate();
    }
  } caret{view};
  if (view) view->CaretBeginUpdate();
  UpdateGuard<TStrings> update(store_);

  Applied a;
  TLogicalText cur;
  if (r.RowCount > 0) {
    cur = store_.GetLogicalText(r.StartRow, r.RowCount, true);
    a.cuts = std::move(cur.Cuts);
    a.lastAttribute = cur.LastAttribute;
    a.rowCount = cur.RowCount;
  }
  // The rows keep their head and tail; the inverse keeps what lies between.
  const std::string_view now = cur.Text.view();
  const size_t head = std::min(r.Head, now.size());
  const size_t tail = std::min(r.Tail, now.size() - head);
  a.text = head == 0 && tail == 0 ? cur.Text : ByteString(now.substr(head, now.size() - head - tail));
  std::string whole;
  if (head > 0 || tail > 0) {
    whole.reserve(head + r.Text.size() + tail);
    whole.append(now.substr(0, head)).append(r.Text.view()).append(now.substr(now.size() - tail));
  }
  const std::string_view text = head > 0 || tail > 0 ? std::string_view(whole) : r.Text.view();
  if (r.LastAttribute == reUnknown) {
    TRowMarks removed = store_.DeleteRows(r.StartRow, a.rowCount);
    if (store_.Count() > 0) {
      int to = std::min(r.StartRow, store_.Count() - 1);
      store_.SetRowMarks(to, store_.RowMarks(to) | removed);
    } else {
      store_.ExcludeRowMarks(removed);
    }
    a.newRowCount = 0;
  } else {
    TEditorStringList rows;
    if (!r.Cuts.empty()) {
      TEditorScreenStrings::RowsFromCuts(text, r.Cuts, rows);
    } else {
      store_.SplitToRows(text, rows);
      if (r.LastAttribute == reWrapped && rows.Count() > 0 && rows.Ref(rows.Count() - 1).empty())
        rows.Delete(rows.Count() - 1);
    }
    if (rows.Count() > 0) rows.SetRowAttribute(rows.Count() - 1, r.LastAttribute);
    store_.ReplaceRows(r.StartRow, a.rowCount, rows);
    a.newRowCount = rows.Count();
  }
  int recoloured = store_.ReparseFrom(r.StartRow, true);
  store_.SetChangeRegion({r.StartRow, a.rowCount, a.newRowCount, recoloured, true});
  return a;
}

void TEditorUndoObj::Undo() {
  if (!CanUndo()) return;
  TEditorUndoData& r = undoList_.Last();
  Applied a = Apply(r);
  // The record becomes its own inverse.
  r.RowCount = a.newRowCount;
  r.LastAttribute = a.lastAttribute;
  r.Text = a.text;
  r.Cuts = std::move(a.cuts);
  PushRedo(r);
  int row = r.CaretRow, col = r.CaretCol;
  undoList_.DeleteLast();
  MoveCaret(row, col);
}

void TEditorUndoObj::Redo() {
  if (!CanRedo()) return;
  TEditorUndoData& r = redoList_.Last();
  Applied a = Apply(r);
  {
    redoing_ = true;
    struct Reset {
      bool& f;
      ~Reset() { f = false; }
    } reset{redoing_};
    TEditorUndoData& n = NewRecord();
    n.StartRow = r.StartRow;
    n.RowCount = a.newRowCount;
    n.LastAttribute = a.lastAttribute;
    n.Text = a.text;
    n.Head = r.Head;
    n.Tail = r.Tail;
    n.Cuts = std::move(a.cuts);
  }
  int row = r.CaretRow, col = r.CaretCol;
  redoList_.DeleteLast();
  MoveCaret(row, col);
}

} // namespace ze
