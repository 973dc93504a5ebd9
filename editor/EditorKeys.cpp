// TEditor: key-down handling (navigation, Delete), character input
// (Backspace, Tab, Enter, typed bytes) and input-method results.
#include <algorithm>

#include "editor/Editor.h"

namespace ze {
namespace {

bool IsNavigationKey(int key) {
  return key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME ||
         key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

} // namespace

// ---------------------------------------------------------------- words

bool TEditor::WordMove(int direction, int& row, int& col) {
  const int count = list_->Count();
  if (row_ >= count) return false;
  row = row_;
  col = col_;
  TFountain* f = ActiveFountain();
  auto starts = [&](int r) {
    std::vector<int> out;
    std::string expanded = ExpandTabs(RowText(r).view());
    std::unique_ptr<TFountainParser> parser = f ? f->CreateParser() : Create<TTokenParser>();
    TRowAttributeData data;
    data.BracketIndex = -1;
    parser->NewData(expanded.c_str(), data);
    for (TFountainTokenKind k = parser->NextToken(); k != ttEnd; k = parser->NextToken())
      if (k != ttSymbol) out.push_back(parser->SourcePos());
    return out;
  };
  auto expandedEnd = [&](int r) { return static_cast<int>(ExpandTabs(RowText(r).view()).size()); };
  if (direction > 0) {
    if (col >= RowEndCol(row) && row < count) {
      if (row + 1 >= count) return false;
      ++row;
      col = -1;
    }
    for (int s : starts(row))
      if (s > col) {
        col = s;
        return row != row_ || col != col_;
      }
    if (RowAttribute(row) == reWrapped && row + 1 < count) {
      ++row;
      col = 0;
    } else {
      col = expandedEnd(row);
    }
    return row != row_ || col != col_;
  }
  if (col == 0) {
    if (row == 0) return false;
    --row;
    col = expandedEnd(row);
    if (RowAttribute(row) == reLineBreak) return true;
  }
  int found = -1;
  for (int s : starts(row)) {
    if (s >= col) break;
    found = s;
  }
  if (found >= 0) col = found;
  else if (row == 0) col = 0;
  else {
    --row;
    col = expandedEnd(row);
  }
  return row != row_ || col != col_;
}

// ---------------------------------------------------------------- key down

bool TEditor::KeyDown(int key, TShiftState shift, bool autoRepeat) {
  keyRepeat_ = autoRepeat;
  const bool ctrl = shift & ssCtrl;
  const bool withShift = shift & ssShift;
  const int count = list_->Count();
  if (IsNavigationKey(key)) {
    if (selectionState_ != sstSelected && withShift) StartSelection();
    else if (selectionState_ == sstSelected && !withShift) CleanSelection();
    else if (selectionState_ == sstHitSelected) CleanSelection();
  }
  switch (key) {
  case VK_PRIOR:
  case VK_NEXT: {
    int page = ((rowCount_ - 1) / 2) *
               (autoRepeat ? speed_->PageVerticalRangeAc() : speed_->PageVerticalRange());
    int n = key == VK_PRIOR ? -page : page;
    if (topRow_ == 0 && n < 0) {
      SetRow(0);
    } else if (!(topRow_ < count && RowAttribute(topRow_) == reEndOfText && n > 0)) {
      CaretBeginUpdate();
      int oldTop = topRow_;
      SetTopRow(std::clamp(topRow_ + n, 0, count));
      SetRow(row_ + (topRow_ - oldTop));
      CaretEndUpdate();
    }
    break;
  }
  case VK_END:
    if (ctrl) SetRow(count);
    SetCol(row_ == count ? 0 : RowEndCol(row_));
    break;
  case VK_HOME:
    if (ctrl) SetRow(0);
    SetCol(0);
    break;
  case VK_LEFT:
    if (ctrl) {
      int r, c;
      if (WordMove(-1, r, c)) SetRowCol(r, c);
    } else if (col_ > 0) {
      SetCol(col_ - 1);
    } else if (row_ > 0 && (caret_->NextLine() || RowAttribute(row_ - 1) == reWrapped)) {
      CaretBeginUpdate();
      SetRowCol(row_ - 1, RowEndCol(row_ - 1));
      CaretEndUpdate();
    }
    break;
  case VK_RIGHT:
    if (ctrl) {
      int r, c;
      if (WordMove(1, r, c)) SetRowCol(r, c);
    } else {
      int before = col_;
      SetCol(col_ + 1);
      if (col_ == before && row_ < count && RowAttribute(row_) != reEndOfText &&
          (caret_->NextLine() || RowAttribute(row_) == reWrapped)) {
        CaretBeginUpdate();
        SetRowCol(row_ + 1, 0);
        CaretEndUpdate();
      }
    }
    break;
  case VK_UP:
  case VK_DOWN: {
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
    break;
  }
  case VK_DELETE:
    if (!readOnly_) DeleteKey();
    return true;
  default:
    return false;
  }
  if (withShift) ExtendSelection();
  return true;
}

void TEditor::KeyUp(int, TShiftState) {
  keyRepeat_ = false;
  if (imeDeferred_) UpdateImeWindow();
}

// ---------------------------------------------------------------- Delete

void TEditor::DeleteKey() {
  if (selectionState_ == sstSelected) {
    DeleteSelection();
    return;
  }
  if (selectionState_ == sstHitSelected) CleanSelection();
  const int count = list_->Count();
  if (row_ >= count) return;
  const std::string row = RowText(row_).str();
  const int len = static_cast<int>(row.size());
  const int f = EditFirstRow(row_);
  const long long offset = CharOffset(f, row_, col_);
  const int p = CaretPos();
  if (p < len) {
    int n = IsLeadByte(row[static_cast<size_t>(p)]) && p + 1 < len ? 2 : 1;
    std::string text = row.substr(0, static_cast<size_t>(p)) + row.substr(static_cast<size_t>(p + n));
    if (RowAttribute(row_) == reLineBreak) text += "\r\n";
    EditRows(row_, row_, text, f, offset, false);
    return;
  }
  if (RowAttribute(row_) == reEndOfText) return;
  // Join with the next row; the line break between them goes.
  std::string text = row + std::string(static_cast<size_t>(p - len), ' ');
  int last = row_;
  if (row_ + 1 < count) {
    last = row_ + 1;
    text += RowText(last).view();
    if (RowAttribute(last) == reLineBreak) text += "\r\n";
  }
  EditRows(row_, last, text, f, offset, true);
}

// ---------------------------------------------------------------- characters

void TEditor::KeyPress(unsigned char c, TShiftState shift) {
  if (dragState_ != dsNone) return;
  if (c == 8) {
    if (!readOnly_) Backspace();
  } else if (c == 9) {
    if ((shift & (ssShift | ssCtrl)) || readOnly_ || !wantTabs_) return;
    TabKey();
  } else if (c == 13) {
    if (!readOnly_ && wantReturns_) EnterKey(shift & ssShift);
  } else if (pendingLead_ != 0) {
    unsigned char lead = pendingLead_;
    pendingLead_ = 0;
    char pair[2] = {static_cast<char>(lead), static_cast<char>(c)};
    if (c < 0x40) {
      // Not a trail byte: the lead byte stands alone.
      TypeBytes(std::string_view(pair, 1));
      KeyPress(c, shift);
      return;
    }
    TypeBytes(std::string_view(pair, 2));
  } else if (IsLeadByte(c)) {
    pendingLead_ = c;
  } else if ((c >= 0x20 && c <= 0x7E) || c >= 0xA0) {
    char b = static_cast<char>(c);
    TypeBytes(std::string_view(&b, 1));
  }
}

void TEditor::TypeBytes(std::string_view bytes) {
  if (imeSwallow_ >= 1) {
    imeSwallow_ -= static_cast<int>(bytes.size());
    if (imeSwallow_ < 0) imeSwallow_ = 0;
    return;
  }
  if (readOnly_) return;
  if (imeDeferred_) UpdateImeWindow();
  PutString(bytes);
}

void TEditor::ImeResult(std::string_view s) {
  if (readOnly_ || s.empty()) return;
  PutString(s);
}

void TEditor::ImeResultWithEcho(std::string_view s) {
  if (readOnly_ || s.empty()) return;
  imeSwallow_ = static_cast<int>(s.size());
  PutString(s);
}

void TEditor::TabKey() {
  const int n = TabWidthAt(col_, ColumnSettings());
  if (overWrite_) SetCol(col_ + n);
  else if (caret_->SoftTab()) PutString(std::string(static_cast<size_t>(n), ' '));
  else PutString("\t");
}

void TEditor::EnterKey(bool withShift) {
  if (selectionState_ == sstSelected) {
    if (withShift) return;
    DeleteSelection();
  }
  if (selectionState_ == sstHitSelected) CleanSelection();
  const int count = list_->Count();
  if (row_ >= count) {
    TEditGuard guard(*this, true);
    list_->ReplaceText(count, 0, "\r\n");
    SetRow(row_ + 1);
    SetCol(0);
    return;
  }
  if (overWrite_) {
    SetRow(row_ + 1);
    SetCol(0);
    return;
  }
  const int e = list_->FirstRowOfLine(row_);
  int indent = 0;
  if (caret_->AutoIndent()) {
    int g = IndentWidth(RowText(e).view());
    if (g < 1) {
      if (caret_->PrevSpaceIndent() && e == row_ && RowText(row_).empty()) {
        for (int r = e - 1; r >= 0; --r) {
          bool startsLine = r == 0 || RowAttribute(r - 1) == reLineBreak;
          if (startsLine && !RowText(r).empty()) {
            indent = std::max(0, IndentWidth(RowText(r).view()));
            break;
          }
        }
      }
    } else {
      indent = (e == row_ && col_ < g) ? col_ : g;
    }
  }
  std::string indentText;
  if (caret_->TabIndent()) {
    int tab = caret_->TabSpaceCount();
    indentText.assign(static_cast<size_t>(indent / tab), '\t');
    indentText.append(static_cast<size_t>(indent % tab), ' ');
  } else {
    indentText.assign(static_cast<size_t>(indent), ' ');
  }
  if (withShift) {
    // A new line above the current logical line.
    std::string text = indentText + "\r\n" + RowText(e).str();
    if (RowAttribute(e) == reLineBreak) text += "\r\n";
    EditRows(e, e, text, e, static_cast<long long>(indentText.size()), true);
    return;
  }
  const std::string row = RowText(row_).str();
  const int p = std::min(CaretPos(), static_cast<int>(row.size()));
  std::string text = row.substr(0, static_cast<size_t>(p)) + "\r\n" + indentText + row.substr(static_cast<size_t>(p));
  if (RowAttribute(row_) == reLineBreak) text += "\r\n";
  const long long offset = CharOffset(e, row_, PosToCol(row_, p)) + 2 + static_cast<long long>(indentText.size());
  EditRows(row_, row_, text, e, offset, true);
}

void TEditor::Backspace() {
  const int count = list_->Count();
  if (selectionState_ == sstSelected) {
    DeleteSelection();
    return;
  }
  if (count == 0) {
    SetCol(col_ - 1);
    return;
  }
  if (selectionState_ == sstHitSelected) CleanSelection();
  const int p = CaretPos();
  if (p < 1) {
    if (row_ == 0) return;
    const int d = row_ - 1;
    const int f = std::max(list_->FirstRowOfLine(d), row_ - 2);
    std::string above = RowText(d).str();
    long long offset;
    std::string text;
    if (RowAttribute(d) == reWrapped) {
      // A soft break: the last character of the row above goes.
      std::string codes = ColumnAttributes(above);
      int w = static_cast<int>(codes.size());
      int lastCol = w - 1;
      while (lastCol > 0 && (codes[static_cast<size_t>(lastCol)] == caTrail ||
                             codes[static_cast<size_t>(lastCol)] == caTabFill))
        --lastCol;
      int pos = ColToPos(d, lastCol);
      offset = CharOffset(f, d, PosToCol(d, pos));
      text = above.substr(0, static_cast<size_t>(pos));
    } else {
      offset = CharOffset(f, d, RowEndCol(d));
      text = above;
    }
    int last = d;
    if (row_ < count) {
      last = row_;
      text += RowText(row_).view();
      if (RowAttribute(row_) == reLineBreak) text += "\r\n";
    } else if (RowAttribute(d) == reLineBreak) {
      // Past the last row: only row d is rewritten, without its break.
    }
    EditRows(d, last, text, f, offset, true);
    return;
  }
  const std::string row = RowText(row_).str();
  const int len = static_cast<int>(row.size());
  const int indent = IndentWidth(row);
  const bool blankRow = row.find_first_not_of(" \t") == std::string::npos;
  const bool atIndentEnd = indent >= 0 && indent == col_ && indent < RowEndCol(row_);
  if (caret_->BackSpaceUnIndent() && (row.empty() || blankRow || atIndentEnd)) {
    Unindent();
    return;
  }
  if (p > len) {
    SetCol(col_ - 1);
    return;
  }
  // The character before the caret: a double-byte character or a tab
  // goes whole; a caret standing on a tab's columns deletes that tab.
  const std::string codes = ColumnAttributes(row);
  const int w = static_cast<int>(codes.size());
  auto code = [&](int k) { return k >= 0 && k < w ? codes[static_cast<size_t>(k)] : caEnd; };
  int c = code(col_) == caTabFill ? col_ : col_ - 1;
  while (c > 0 && (code(c) == caTrail || code(c) == caTabFill)) --c;
  const int pos = ColToPos(row_, c);
  const int n = code(c) == caLead ? 2 : 1;
  const int f = std::max(list_->FirstRowOfLine(row_), row_ - 1);
  const long long offset = CharOffset(f, row_, PosToCol(row_, pos));
  std::string text = row.substr(0, static_cast<size_t>(pos)) + row.substr(static_cast<size_t>(std::min(pos + n, len)));
  if (RowAttribute(row_) == reLineBreak) text += "\r\n";
  EditRows(row_, row_, text, f, offset, false);
}

void TEditor::Unindent() {
  const int first = list_->FirstRowOfLine(row_);
  int target = 0;
  for (int r = row_ - 1; r >= 0; --r) {
    int w = std::max(0, IndentWidth(RowText(r).view()));
    if (r > first) {
      if (w >= 1 && w <= col_ - 1) {
        target = w;
        break;
      }
    } else if (w < col_) {
      target = w;
      break;
    }
  }
  const std::string row = RowText(row_).str();
  const std::string codes = ColumnAttributes(row);
  if (target >= static_cast<int>(codes.size())) {
    SetCol(target);
    return;
  }
  // Text up to column target (a tab spanning it becomes spaces), then the
  // text from the caret on.
  std::string head;
  int col = 0;
  size_t i = 0;
  while (col < target && i < row.size()) {
    if (row[i] == '\t') {
      int w = TabWidthAt(col, ColumnSettings());
      if (col + w > target) {
        head.append(static_cast<size_t>(target - col), ' ');
        col = target;
        break;
      }
      head += '\t';
      col += w;
    } else {
      head += row[i];
      col += IsLeadByte(row[i]) ? 2 : 1;
      if (IsLeadByte(row[i]) && i + 1 < row.size()) head += row[++i];
    }
    ++i;
  }
  std::string tail;
  int p = ColToPos(row_, col_);
  if (col_ < static_cast<int>(codes.size()) && codes[static_cast<size_t>(col_)] == caTabFill) {
    // Columns of the tab after the caret remain as spaces.
    int end = col_;
    while (end < static_cast<int>(codes.size()) && codes[static_cast<size_t>(end)] == caTabFill) ++end;
    tail.append(static_cast<size_t>(end - col_), ' ');
    p = ColToPos(row_, end);
  }
  if (static_cast<size_t>(p) < row.size()) tail += row.substr(static_cast<size_t>(p));
  std::string text = head + tail;
  if (RowAttribute(row_) == reLineBreak) text += "\r\n";
  const int f = std::max(list_->FirstRowOfLine(row_), row_ - 1);
  const long long offset = CharOffset(f, row_, 0) + static_cast<long long>(head.size());
  EditRows(row_, row_, text, f, offset, false);
  SetCol(target);
}

} // namespace ze
