// TEditor: the standard edit-control operations, so that generic code can
// drive the editor by character offsets.
#include <algorithm>
#include <cstring>

#include "editor/Editor.h"

namespace ze {

int TEditor::GetDlgCode() const {
  int code = DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (wantTabs_) code |= DLGC_WANTTAB;
  if (wantReturns_) code |= DLGC_WANTALLKEYS;
  return code;
}

int TEditor::WmGetText(char* buffer, int size) const {
  if (!buffer || size <= 0) return 0;
  ByteString text = lines_->Text();
  int n = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(size - 1)));
  std::memcpy(buffer, text.data(), static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

void TEditor::WmSetText(std::string_view text) {
  if (readOnly_) return;
  lines_->SetText(text);
}

bool TEditor::EmCanUndo() const { return !readOnly_ && CanUndo(); }

bool TEditor::EmUndo() {
  if (readOnly_ || !CanUndo()) return false;
  Undo();
  return true;
}

void TEditor::EmEmptyUndoBuffer() {
  if (!readOnly_) list_->UndoObj()->Clear();
}

int TEditor::EmGetLine(int row, char* buffer, int size) const {
  if (!buffer || size <= 0 || row < 0 || row >= list_->Count()) return 0;
  ByteString text = list_->Ref(row);
  int n = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(size)));
  std::memcpy(buffer, text.data(), static_cast<size_t>(n));
  return n;
}

void TEditor::EmSetModify(bool v) {
  if (!readOnly_) SetModified(v);
}

uint32_t TEditor::EmGetSel(long long* start, long long* end) const {
  long long s = SelStart(), e = s + SelLength();
  if (start) *start = s;
  if (end) *end = e;
  return static_cast<uint32_t>((s & 0xFFFF) | ((e & 0xFFFF) << 16));
}

void TEditor::EmSetSel(long long start, long long end) {
  if (start == 0 && end == -1) {
    SelectAll();
    return;
  }
  if (start == -1) {
    if (HasSelection()) CleanSelection();
    return;
  }
  SetSelStart(std::min(start, end));
  SetSelLength(std::max(start, end) - std::min(start, end));
}

void TEditor::EmReplaceSel(std::string_view text) {
  if (!readOnly_) SetSelText(text);
}

int TEditor::RowOfOffset(long long offset) const {
  TRowCol rc = RowColAtOffset(*list_, 0, std::max(0LL, offset), ColumnSettings());
  return std::min(rc.Row, std::max(0, list_->Count() - 1));
}

int TEditor::EmLineFromChar(long long offset) const {
  if (offset == -1) return HasSelection() ? selRange_.StartRow : row_;
  return RowOfOffset(offset);
}

long long TEditor::EmLineIndex(int row) const {
  if (row == -1) row = row_;
  if (row < 0 || row > list_->Count()) return -1;
  return CharOffset(0, row, 0);
}

int TEditor::EmLineLength(long long offset) const {
  if (offset == -1) {
    if (HasSelection())
      return static_cast<int>(RowText(selRange_.EndRow).size()) + selRange_.StartPos -
             selRange_.EndPos - 1;
    return static_cast<int>(RowText(row_).size());
  }
  return static_cast<int>(RowText(RowOfOffset(offset)).size());
}

uint32_t TEditor::EmCharFromPos(int x, int y) const {
  if (!HandleAllocated() || x < 0 || y < 0 || x >= host_->ClientWidth() || y >= host_->ClientHeight())
    return 0xFFFFFFFFu;
  int row, col;
  PosToRowCol(x, y, row, col, true);
  row = std::clamp(row, 0, std::max(0, list_->Count() - 1));
  std::string codes = ColumnAttributes(RowText(row).view());
  if (col < static_cast<int>(codes.size()) && codes[static_cast<size_t>(col)] == caTrail) --col;
  int pos = std::min(ColToPos(row, col), static_cast<int>(RowText(row).size()));
  long long offset = CharOffset(0, row, 0) + pos;
  return static_cast<uint32_t>((offset & 0xFFFF) | ((static_cast<long long>(row) & 0xFFFF) << 16));
}

uint32_t TEditor::EmPosFromChar(long long offset) const {
  const int row = RowOfOffset(offset);
  long long rest = offset - CharOffset(0, row, 0);
  std::string_view text = RowText(row).view();
  size_t bytes = static_cast<size_t>(std::clamp<long long>(rest, 0, static_cast<long long>(text.size())));
  int x = TextLeft() + (StrWidth(text.substr(0, bytes)) - topCol_) * colWidth_;
  int y = TextTop() + (row - topRow_) * rowHeight_;
  return static_cast<uint32_t>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}

void TEditor::WmCut() {
  if (readOnly_ || SelLength() == 0) clipboard_->Clear();
  else CutToClipboard();
}

void TEditor::WmCopy() {
  if (SelLength() > 0) CopyToClipboard();
  else clipboard_->Clear();
}

void TEditor::WmPaste() {
  if (!readOnly_) PasteFromClipboard();
}

void TEditor::WmClear() {
  if (!readOnly_) DeleteSelection();
}

} // namespace ze
