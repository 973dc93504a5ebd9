#include "app/commands/LineCommands.h"

#include <algorithm>

#include "app/commands/MarkCommands.h"

namespace ze {
namespace {

bool LineCommandsAllowed(const TEditor* e) {
  return e && !e->WordWrap() && !e->ReadOnly();
}

bool RowExists(const TEditor& e, int row) {
  return row >= 0 && row < e.ListCount();
}

void GiveFocus(TEditor& e) {
  if (e.Host()) e.Host()->SetFocus();
}

// Replaces the text of rows first..last (not the line break of last) by
// text as one edit.
void ReplaceRows(TEditor& e, int first, int last, const std::string& text) {
  long long length = 0;
  for (int r = first; r <= last; ++r)
    length += static_cast<long long>(e.RowText(r).size()) +
              (r < last && e.RowAttribute(r) == reLineBreak ? 2 : 0);
  cmd::TKeepSelectionMode keep(e);
  cmd::SelectInRow(e, first, 0, length);
  e.SetSelText(text);
}

// Rows a and b (adjacent, a above) change places, marks included.
void ExchangeRows(TEditor& e, int a, int b) {
  const TRowMarks marksA = e.GetRowMarks(a), marksB = e.GetRowMarks(b);
  const std::string textA = e.RowText(a).str(), textB = e.RowText(b).str();
  ReplaceRows(e, a, b, textB + "\r\n" + textA);
  e.SetRowMarks(a, 0);
  e.SetRowMarks(b, 0);
  e.SetRowMarks(a, marksB);
  e.SetRowMarks(b, marksA);
}

} // namespace

void LineUp(TEditor* e) {
  if (!LineCommandsAllowed(e)) return;
  const int L = e->Row();
  if (L == 0 || !RowExists(*e, L)) return;
  const int P = cmd::CaretBytePos(*e);
  ExchangeRows(*e, L - 1, L);
  cmd::SetRowPos(*e, L - 1, P);
  GiveFocus(*e);
}

void LineDown(TEditor* e) {
  if (!LineCommandsAllowed(e) || cmd::CaretRowEmpty(*e)) return;
  const int L = e->Row();
  const int E = e->ListCount() - 1;
  const int P = cmd::CaretBytePos(*e);
  if (L < E) {
    ExchangeRows(*e, L, L + 1);
  } else {
    // The last line: an empty line opens above it.
    const TRowMarks marks = e->GetRowMarks(L);
    const std::string text = e->RowText(L).str();
    ReplaceRows(*e, L, L, "\r\n" + text);
    e->SetRowMarks(L, 0);
    e->SetRowMarks(L + 1, marks);
  }
  cmd::SetRowPos(*e, L + 1, P);
  GiveFocus(*e);
}

void DuplicateLine(TEditor* e) {
  if (!LineCommandsAllowed(e) || cmd::CaretRowEmpty(*e)) return;
  const int L = e->Row();
  const int P = cmd::CaretBytePos(*e);
  const TRowMarks marks = e->GetRowMarks(L);
  const std::string text = e->RowText(L).str();
  ReplaceRows(*e, L, L, text + "\r\n" + text);
  // The marks stay on the original line; the copy has none.
  e->SetRowMarks(L + 1, 0);
  e->SetRowMarks(L, marks);
  cmd::SetRowPos(*e, L + 1, P);
  GiveFocus(*e);
}

void DeleteToLineHead(const TDocumentViews& v) {
  TEditor* e = v.Active;
  if (!LineCommandsAllowed(e) || cmd::CaretRowEmpty(*e) || e->Col() == 0) return;
  const int row = e->Row();
  const int size = static_cast<int>(e->RowText(row).size());
  // A caret past the row end deletes the row's text, never the line break
  // and the text of the next line.
  const int P = std::min(cmd::CaretBytePos(*e), size);
  if (P == size) RowMarkCleanUp(v);
  {
    cmd::TKeepSelectionMode keep(*e);
    cmd::SelectInRow(*e, row, 0, P);
    e->SetSelText({});
  }
  e->SetRowCol(row, 0);
  GiveFocus(*e);
}

void DeleteToLineEnd(const TDocumentViews& v) {
  TEditor* e = v.Active;
  if (!LineCommandsAllowed(e)) return;
  const int row = e->Row();
  if (e->Col() >= e->RowEndCol(row)) return;
  const int size = static_cast<int>(e->RowText(row).size());
  const int P = cmd::CaretBytePos(*e);
  const int col = e->Col();
  if (P == 0) RowMarkCleanUp(v);
  {
    cmd::TKeepSelectionMode keep(*e);
    cmd::SelectInRow(*e, row, P, size - P);
    e->SetSelText({});
  }
  e->SetRowCol(row, col);
  GiveFocus(*e);
}

void DeleteLine(const TDocumentViews& v) {
  TEditor* e = v.Active;
  if (!LineCommandsAllowed(e) || cmd::CaretRowEmpty(*e)) return;
  RowMarkCleanUp(v);
  e->DeleteRow(e->Row());
}

} // namespace ze
