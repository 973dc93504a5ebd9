// TEditor: the shape of every edit, typed text, replacing the selection,
// deleting a row.
#include <algorithm>
#include <optional>

#include "editor/Editor.h"

namespace ze {

void TEditor::EditRows(int r, int last, std::string_view text, int f, long long offset,
                       bool rowsMayChange, size_t keptHead, size_t keptTail) {
  if (selectionState_ == sstHitSelected) CleanSelection();
  TEditGuard guard(*this, rowsMayChange);
  const int count = list_->Count();
  int n;
  if (r >= count) n = 0;
  else if (last >= count) n = count - r;
  else n = last - r + 1;
  if (n == 0) keptHead = keptTail = 0;
  list_->ReplaceText(std::min(r, count), n, text, keptHead, keptTail);
  SetCaretByOffset(f, offset);
}

void TEditor::PutString(std::string_view s) {
  if (s.empty()) return;
  const bool hasCr = s.find('\r') != std::string_view::npos || s.find('\n') != std::string_view::npos;
  if (selectionState_ == sstSelected) {
    const TSelectionRange r = selRange_;
    const int f = EditFirstRow(r.StartRow);
    const long long offset =
        CharOffset(f, selRect_.StartRow, selRect_.StartCol) + static_cast<long long>(s.size());
    std::vector<TRemainingRow> rows = RemainingText();
    rows[0].Text.insert(static_cast<size_t>(std::min<int>(rows[0].InsertPos, static_cast<int>(rows[0].Text.size()))), s);
    const std::string text = JoinRows(rows);
    const bool spans = r.StartRow != r.EndRow;
    CleanSelection();
    EditRows(r.StartRow, r.EndRow, text, f, offset, spans || hasCr);
    return;
  }
  const int r = row_;
  const int f = EditFirstRow(r);
  const ByteString rowText = RowText(r); // shared, not copied: rows can be long
  const std::string_view row = rowText.view();
  const int len = static_cast<int>(row.size());
  const int p = CaretPos();
  const long long offset = CharOffset(f, row_, col_) + static_cast<long long>(s.size());
  int last = r;
  std::string text;
  // Built in one buffer: the row may be millions of bytes long. What the
  // new text keeps of the row is passed on, so that the undo record does
  // not compare a long row byte for byte to find it.
  size_t keptHead = static_cast<size_t>(std::min(p, len)), keptTail = 0;
  text.reserve(row.size() + s.size() + 2 + static_cast<size_t>(std::max(0, p - len)));
  if (p >= len) {
    text.append(row).append(static_cast<size_t>(p - len), ' ').append(s);
  } else if (overWrite_) {
    // Drop what the typed text covers; a double-byte character cut in
    // half leaves a space.
    std::string joined(row);
    TColumnSettings cs = ColumnSettings();
    cs.WordWrap = false;
    const int target = col_ + static_cast<int>(s.size());
    while (RowAttribute(last) == reWrapped && last + 1 < list_->Count() &&
           ze::StrWidth(joined, cs) < target) {
      ++last;
      joined += RowText(last).view();
    }
    const std::string codes = ze::ColumnAttributes(joined, cs);
    text.append(row.substr(0, static_cast<size_t>(p))).append(s);
    if (target < static_cast<int>(codes.size())) {
      int fill = 0;
      for (int k = 0; k < target; ++k) fill += codes[static_cast<size_t>(k)] == caTabFill;
      int pos = target - fill;
      if (codes[static_cast<size_t>(target)] == caTrail) {
        text += ' ';
        ++pos;
      }
      text.append(joined, static_cast<size_t>(pos));
    }
  } else {
    text.append(row.substr(0, static_cast<size_t>(p))).append(s).append(row.substr(static_cast<size_t>(p)));
    keptTail = static_cast<size_t>(len - p);
  }
  if (r < list_->Count() && RowAttribute(last) == reLineBreak) {
    text += "\r\n";
    if (last == r) keptTail += 2;
  }
  EditRows(r, last, text, f, offset, hasCr || last != r, keptHead, keptTail);
}

void TEditor::SetSelText(std::string_view s) {
  if (readOnly_) return;
  if (s.empty()) {
    if (selectionState_ == sstSelected) DeleteSelection();
    else if (selectionState_ == sstHitSelected) CleanSelection();
    return;
  }
  if (selectionState_ == sstSelected) {
    bool overWrite = overWrite_;
    overWrite_ = false; // replacing a selection never overwrites
    try {
      PutString(s);
    } catch (...) {
      overWrite_ = overWrite;
      throw;
    }
    overWrite_ = overWrite;
    return;
  }
  const int r = row_;
  const int f = EditFirstRow(r);
  std::string row = RowText(r).str();
  const int p = CaretPos();
  std::string head = row.substr(0, std::min<size_t>(static_cast<size_t>(p), row.size()));
  if (static_cast<int>(head.size()) < p) head.append(static_cast<size_t>(p) - head.size(), ' ');
  std::string text = head + std::string(s) + (static_cast<size_t>(p) < row.size() ? row.substr(static_cast<size_t>(p)) : "");
  if (r < list_->Count() && RowAttribute(r) == reLineBreak) text += "\r\n";
  const long long offset = CharOffset(f, row_, col_) + static_cast<long long>(s.size());
  const bool hasCr = s.find('\r') != std::string_view::npos || s.find('\n') != std::string_view::npos;
  EditRows(r, r, text, f, offset, hasCr);
}

void TEditor::DeleteRow(int r) {
  if (r < 0 || r >= list_->Count()) return;
  if (HasSelection()) CleanSelection();
  {
    TEditGuard guard(*this, true);
    list_->ReplaceText(r, 1, {});
  }
  if (r > 0 && r - 1 < list_->Count() && list_->RowAttribute(r - 1) == reEndOfText)
    SetRowCol(r - 1, RowEndCol(r - 1));
  else
    SetRowCol(r, 0);
}

} // namespace ze
