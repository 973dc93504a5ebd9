// TEditor: normal and box selection, selected text, offsets and the
// clipboard.
#include <algorithm>
#include <optional>

#include "editor/Editor.h"
#include "text/CharHelpers.h"

namespace ze {

TClipboard& TEditor::DefaultClipboard() {
  static TMemoryClipboard clipboard;
  return clipboard;
}

bool TEditor::SelectionShown() const {
  return selectionState_ == sstSelected ||
         (selectionState_ == sstHitSelected && hitStyle_ == hsDraw);
}

// ---------------------------------------------------------------- state

void TEditor::StartSelection() {
  if (HasSelection()) CleanSelection();
  if (list_->Count() == 0) return;
  selectionState_ = sstInit;
  const int len = static_cast<int>(RowText(row_).size());
  selAnchor_.Row = row_;
  selAnchor_.Pos = std::min(CaretPos(), len);
  selAnchor_.Col = selectionMode_ == smNormal ? std::min(col_, RowEndCol(row_)) : col_;
  selRange_ = {row_, row_, selAnchor_.Pos, selAnchor_.Pos};
  selRect_ = {row_, row_, selAnchor_.Col, selAnchor_.Col};
  prevSelRect_ = selRect_;
}

void TEditor::ExtendSelection() {
  if (selectionState_ == sstInit) {
    UnderlineBeginUpdate();
    selectionUnderline_ = true;
    selectionState_ = settingHit_ ? sstHitSelected : sstSelected;
    UpdateSelection();
  } else if (selectionState_ == sstSelected) {
    UpdateSelection();
  }
}

void TEditor::UpdateSelection() {
  if (!HasSelection()) return;
  const int p = CaretPos();
  const TSelectionAnchor& a = selAnchor_;
  selRange_.StartRow = std::min(a.Row, row_);
  selRange_.EndRow = std::max(a.Row, row_);
  if (a.Row == row_) {
    selRange_.StartPos = std::min(a.Pos, p);
    selRange_.EndPos = std::max(a.Pos, p) - 1;
  } else if (a.Row < row_) {
    selRange_.StartPos = a.Pos;
    selRange_.EndPos = p - 1;
  } else {
    selRange_.StartPos = p;
    selRange_.EndPos = a.Pos - 1;
  }
  prevSelRect_ = selRect_;
  selRect_.StartRow = selRange_.StartRow;
  selRect_.EndRow = selRange_.EndRow;
  if (selectionMode_ == smBox) {
    selRect_.StartCol = std::min(a.Col, col_);
    selRect_.EndCol = std::max(a.Col, col_);
  } else if (a.Row == row_) {
    int end = RowEndCol(row_);
    selRect_.StartCol = std::min(std::min(a.Col, col_), end);
    selRect_.EndCol = std::min(std::max(a.Col, col_), end);
  } else {
    bool anchorAbove = a.Row < row_;
    int upperCol = anchorAbove ? a.Col : col_, lowerCol = anchorAbove ? col_ : a.Col;
    selRect_.StartCol = std::min(upperCol, RowEndCol(selRect_.StartRow));
    selRect_.EndCol = std::min(lowerCol, RowEndCol(selRect_.EndRow));
  }
  if (SelectionShown()) {
    RepaintRows(std::min(prevSelRect_.StartRow, selRect_.StartRow),
                std::max(prevSelRect_.EndRow, selRect_.EndRow));
  }
  if (OnSelectionChange) OnSelectionChange(this, selectionState_ != sstNone);
}

void TEditor::CleanSelection() {
  if (!HasSelection() && selectionState_ != sstInit) return;
  const bool wasHitCaret = selectionState_ == sstHitSelected && hitStyle_ == hsCaret;
  const bool covered = HasSelection() &&
                       (selRect_.StartRow != selRect_.EndRow || selRect_.StartCol != selRect_.EndCol ||
                        selectionMode_ == smBox);
  const TSelectionRect r = selRect_;
  selectionState_ = sstNone;
  hitSelLength_ = 0;
  if (wasHitCaret && focused_) UpdateCaret();
  if (covered) RepaintRows(std::max(0, r.StartRow - 1), r.EndRow);
  if (selectionUnderline_) {
    selectionUnderline_ = false;
    UnderlineEndUpdate();
  }
  remembered_ = false;
  if (OnSelectionChange) OnSelectionChange(this, false);
}

void TEditor::SetSelectionMode(TSelectionMode m) {
  if (m == selectionMode_ || dragState_ == dsDragging) return;
  selectionMode_ = m;
  if (HasSelection()) {
    if (m == smBox) SetSelectionCursorKind(0);
    UpdateSelection();
    Refresh();
  }
  if (OnSelectionModeChange) OnSelectionModeChange(this);
}

// ---------------------------------------------------------------- geometry

void TEditor::BoxEdges(int row, int s, int e, int& first, int& last) const {
  const ByteString text = RowText(row);
  const auto columns = RowColumns(text);
  const int w = columns->Width();
  const int len = static_cast<int>(text.size());
  auto code = [&](int c) { return columns->Code(c); };
  // Left edge: a character or tab the edge cuts stays outside. Right edge:
  // one it cuts is inside. Either way the edge moves to the next
  // character boundary.
  auto boundary = [&](int c) {
    while (code(c) == caTrail || code(c) == caTabFill) ++c;
    return c >= w ? len + (c - w) : columns->ColToPos(c);
  };
  first = boundary(s);
  last = boundary(e);
  first = std::min(first, len);
  last = std::clamp(last, first, len);
}

bool TEditor::IsInSelection(int row, int col) const {
  if (!HasSelection()) return false;
  if (row < selRect_.StartRow || row > selRect_.EndRow) return false;
  if (selectionMode_ == smBox) {
    int first, last;
    BoxEdges(row, selRect_.StartCol, selRect_.EndCol, first, last);
    // As 1-based byte positions: first byte - 1 <= column <= last byte.
    return first <= col && col <= last;
  }
  if (row == selRect_.StartRow && col < selRect_.StartCol) return false;
  if (row == selRect_.EndRow && col >= selRect_.EndCol) return false;
  return true;
}

// ---------------------------------------------------------------- offsets

long long TEditor::SelStart() const {
  if (list_->Count() == 0) return 0;
  if (HasSelection())
    return CharOffset(0, selRange_.StartRow, PosToCol(selRange_.StartRow, selRange_.StartPos));
  int pos = std::min(CaretPos(), static_cast<int>(RowText(row_).size()));
  return CharOffset(0, row_, PosToCol(row_, pos));
}

void TEditor::SetSelStart(long long n) {
  if (HasSelection()) CleanSelection();
  if (n <= 0) SetRowCol(0, 0);
  else SetCaretByOffset(0, n);
}

long long TEditor::SelLength() const {
  if (selectionState_ != sstSelected) return 0;
  const TSelectionRange& r = selRange_;
  if (r.StartRow == r.EndRow) return std::max(0, r.EndPos - r.StartPos + 1);
  long long n = 0;
  if (selectionMode_ == smBox) {
    for (int row = r.StartRow; row <= r.EndRow; ++row) {
      int first, last;
      BoxEdges(row, selRect_.StartCol, selRect_.EndCol, first, last);
      n += last - first + 2;
    }
    return n;
  }
  for (int row = r.StartRow; row < r.EndRow; ++row) {
    int len = static_cast<int>(RowText(row).size());
    n += len - (row == r.StartRow ? std::min(r.StartPos, len) : 0);
    if (RowAttribute(row) == reLineBreak) n += 2;
  }
  int lastLen = static_cast<int>(RowText(r.EndRow).size());
  return n + std::min(r.EndPos + 1, lastLen);
}

void TEditor::SetSelLength(long long n) {
  if (selectionMode_ == smBox) {
    selectionMode_ = smNormal;
    if (OnSelectionModeChange) OnSelectionModeChange(this);
  }
  if (n <= 0) {
    if (HasSelection()) {
      TSelectionRect r = selRect_;
      CleanSelection();
      SetRowCol(r.StartRow, r.StartCol);
    }
    return;
  }
  if (HasSelection()) {
    TSelectionRect r = selRect_;
    CleanSelection();
    SetRowCol(r.StartRow, r.StartCol);
  }
  StartSelection();
  if (selectionState_ != sstInit) return;
  // Walk n characters from the caret.
  long long offset = CharOffset(0, row_, col_) + n;
  TRowCol rc = RowColAtOffset(*list_, 0, offset, ColumnSettings());
  if (rc.Row >= list_->Count()) {
    rc.Row = list_->Count();
    rc.Col = 0;
  }
  suppressCaret_ = true;
  SetRow(rc.Row);
  SetCol(rc.Col);
  suppressCaret_ = false;
  ExtendSelection();
  UpdateCaret();
}

void TEditor::SetHitSelLength(long long n) {
  if (hitStyle_ == hsSelect) {
    SetSelLength(n);
  } else {
    const int row = row_, col = col_;
    settingHit_ = true;
    SetSelLength(n);
    settingHit_ = false;
    if (hitStyle_ == hsCaret && n > 0 && HasSelection()) {
      int endCol = selRange_.StartRow == selRange_.EndRow ? selRect_.EndCol : RowEndCol(row);
      SetRowCol(row, col);
      if (focused_ && HandleAllocated()) {
        host_->DestroyCaret();
        host_->CreateCaret(std::max(2, colWidth_ * (endCol - col)), charHeight_);
        caretCreated_ = true;
        caretShown_ = false;
        PositionCaret();
        ShowCaret();
      }
    }
  }
  hitSelLength_ = n;
}

// ---------------------------------------------------------------- text

ByteString TEditor::SelText() const {
  if (selectionState_ != sstSelected) return ByteString();
  const TSelectionRange& r = selRange_;
  std::string out;
  if (selectionMode_ == smBox) {
    for (int row = r.StartRow; row <= r.EndRow; ++row) {
      int first, last;
      BoxEdges(row, selRect_.StartCol, selRect_.EndCol, first, last);
      out += RowText(row).view().substr(static_cast<size_t>(first), static_cast<size_t>(last - first));
      out += "\r\n";
    }
    return ByteString(out);
  }
  for (int row = r.StartRow; row <= r.EndRow; ++row) {
    std::string_view t = RowText(row).view();
    size_t from = row == r.StartRow ? std::min<size_t>(r.StartPos, t.size()) : 0;
    size_t to = row == r.EndRow ? std::min<size_t>(static_cast<size_t>(std::max(r.EndPos + 1, 0)), t.size())
                                : t.size();
    if (to > from) out += t.substr(from, to - from);
    if (row < r.EndRow && RowAttribute(row) == reLineBreak) out += "\r\n";
  }
  return ByteString(out);
}

void TEditor::SelectAll() {
  CaretBeginUpdate();
  SetSelStart(0);
  SetSelLength(TextLength());
  CaretEndUpdate();
}

std::vector<TEditor::TRemainingRow> TEditor::RemainingText() const {
  std::vector<TRemainingRow> rows;
  const TSelectionRange& r = selRange_;
  if (selectionMode_ == smBox) {
    for (int row = selRect_.StartRow; row <= selRect_.EndRow; ++row) {
      int first, last;
      BoxEdges(row, selRect_.StartCol, selRect_.EndCol, first, last);
      std::string t = RowText(row).str();
      t.erase(static_cast<size_t>(first), static_cast<size_t>(last - first));
      rows.push_back({t, RowAttribute(row), first});
    }
    return rows;
  }
  std::string_view start = RowText(r.StartRow).view();
  std::string t(start.substr(0, std::min<size_t>(r.StartPos, start.size())));
  if (r.EndRow < list_->Count()) {
    std::string_view end = RowText(r.EndRow).view();
    size_t after = static_cast<size_t>(std::max(r.EndPos + 1, 0));
    if (after < end.size()) t += end.substr(after);
  }
  rows.push_back({t, RowAttribute(r.EndRow), static_cast<int>(std::min<size_t>(r.StartPos, start.size()))});
  return rows;
}

std::string TEditor::JoinRows(const std::vector<TRemainingRow>& rows) {
  std::string out;
  for (const TRemainingRow& r : rows) {
    out += r.Text;
    if (r.End == reLineBreak) out += "\r\n";
  }
  return out;
}

void TEditor::DeleteSelection() {
  if (selectionState_ != sstSelected) return;
  const TSelectionRange r = selRange_;
  const int f = EditFirstRow(r.StartRow);
  const long long offset = CharOffset(f, r.StartRow, selRect_.StartCol);
  const std::string text = JoinRows(RemainingText());
  // Joining rows may change the row count: the underline waits too.
  std::optional<TEditGuard> guard;
  if (r.StartRow != r.EndRow) guard.emplace(*this, true);
  CleanSelection();
  int last = std::min(r.EndRow, list_->Count() - 1);
  list_->ReplaceText(r.StartRow, last - r.StartRow + 1, text);
  SetCaretByOffset(f, offset);
}

// ---------------------------------------------------------------- clipboard

void TEditor::CopyToClipboard() {
  if (selectionState_ != sstSelected) return;
  clipboard_->SetText(SelText().view(), selectionMode_ == smBox);
}

void TEditor::CutToClipboard() {
  if (selectionState_ != sstSelected) return;
  CopyToClipboard();
  if (!readOnly_) DeleteSelection();
}

void TEditor::PasteFromClipboard() {
  if (readOnly_ || !clipboard_->HasText()) return;
  std::string text = clipboard_->Text();
  if (clipboard_->HasBoxFormat()) SetSelTextBox(text);
  else SetSelText(text);
}

void TEditor::SetSelTextBox(std::string_view s) {
  if (readOnly_) return;
  if (s.empty()) {
    if (selectionState_ == sstSelected) DeleteSelection();
    return;
  }
  std::vector<std::string> lines;
  {
    TStringList list;
    list.SetText(s);
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i].str());
  }
  struct Target {
    std::string Text;
    TRowEnd End;
    int InsertPos; // -1: find it by the insertion column
    bool Exists;
  };
  std::vector<Target> targets;
  int firstRow, insertCol, nextSource;
  if (selectionState_ == sstSelected) {
    firstRow = selRect_.StartRow;
    insertCol = selRect_.StartCol;
    for (const TRemainingRow& r : RemainingText()) targets.push_back({r.Text, r.End, r.InsertPos, true});
    nextSource = selectionMode_ == smBox ? selRect_.EndRow + 1 : selRange_.EndRow + 1;
  } else {
    firstRow = row_;
    insertCol = col_;
    nextSource = row_;
  }
  const int count = list_->Count();
  std::string joined;
  int lastInsertPos = 0;
  int replaced = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string text;
    TRowEnd end = reLineBreak;
    int pos;
    if (i < targets.size()) {
      text = targets[i].Text;
      end = targets[i].End;
      pos = targets[i].InsertPos;
      ++replaced;
    } else if (nextSource < count) {
      text = RowText(nextSource).str();
      end = RowAttribute(nextSource);
      int first, last;
      BoxEdges(nextSource, insertCol, insertCol + 1, first, last);
      std::string codes = ColumnAttributes(text);
      int w = static_cast<int>(codes.size());
      pos = insertCol >= w ? static_cast<int>(text.size()) + (insertCol - w) : first;
      ++nextSource;
      ++replaced;
    } else {
      text.assign(static_cast<size_t>(insertCol), ' ');
      pos = insertCol;
    }
    if (static_cast<int>(text.size()) < pos) text.append(static_cast<size_t>(pos) - text.size(), ' ');
    text.insert(static_cast<size_t>(pos), lines[i]);
    lastInsertPos = pos;
    if (end == reEndOfText) end = reLineBreak;
    joined += text;
    if (end == reLineBreak) joined += "\r\n";
  }
  // Rows of the selection that received no line keep their remaining text.
  for (size_t i = lines.size(); i < targets.size(); ++i) {
    joined += targets[i].Text;
    TRowEnd end = targets[i].End == reEndOfText ? reLineBreak : targets[i].End;
    if (end == reLineBreak) joined += "\r\n";
    ++replaced;
  }
  TEditGuard guard(*this, true);
  if (HasSelection()) CleanSelection();
  int start = std::min(firstRow, count);
  int n = std::min(replaced, count - start);
  list_->ReplaceText(start, n, joined);
  SetRow(firstRow + static_cast<int>(lines.size()) - 1);
  SetCol(PosToCol(row_, lastInsertPos + static_cast<int>(lines.back().size())));
}

// ---------------------------------------------------------------- tokens

bool TEditor::GetTokenAt(int x, int y, bool withFountain, ByteString& text, TFountainTokenKind& kind) {
  if (x < TextLeft() || y < TextTop() || list_->Count() == 0) return false;
  int row, col;
  PosToRowCol(x, y, row, col, true);
  if (row < 0 || row >= list_->Count()) return false;
  int pos = ColToPos(row, col);
  if (pos > static_cast<int>(RowText(row).size())) return false;
  const int first = list_->FirstRowOfLine(row);
  std::string line;
  int offset = 0;
  for (int r = first; r <= list_->LastRowOfLine(row); ++r) {
    if (r == row) offset = static_cast<int>(line.size()) + pos;
    line += list_->Ref(r).view();
  }
  std::unique_ptr<TFountainParser> parser;
  TRowAttributeData data;
  TFountain* f = ActiveFountain();
  if (withFountain && f) {
    parser = f->CreateParser();
    if (list_->BracketIndex(first) == -2) list_->ReparseFrom(first, false);
    data = list_->RowAttributeData(first);
  } else {
    parser = Create<TTokenParser>();
    data.BracketIndex = -1;
  }
  parser->NewData(line.c_str(), data);
  for (TFountainTokenKind k = parser->NextToken(); k != ttEnd; k = parser->NextToken()) {
    int start = parser->SourcePos(), len = parser->TokenLength();
    if (offset >= start && offset < start + len) {
      text = ByteString(parser->TokenString());
      kind = k;
      tokenStart_ = start;
      tokenFirstRow_ = first;
      return true;
    }
  }
  return false;
}

bool TEditor::SelectTokenAt(int x, int y, bool withFountain) {
  ByteString text;
  TFountainTokenKind kind;
  if (!GetTokenAt(x, y, withFountain, text, kind)) return false;
  SetCaretByOffset(tokenFirstRow_, tokenStart_);
  SetSelLength(static_cast<long long>(text.size()));
  return true;
}

} // namespace ze
