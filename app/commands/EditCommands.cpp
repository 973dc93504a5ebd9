#include "app/commands/EditCommands.h"

#include <ctime>

#include "app/commands/MarkCommands.h"
#include "platform/CodePage.h"

namespace ze {
namespace {

bool Editable(const TEditor* e) {
  return e && !e->ReadOnly();
}

// The caret row as a normal selection of its whole text.
void SelectCaretRow(TEditor& e) {
  if (e.SelectionMode() != smNormal) e.SetSelectionMode(smNormal);
  const int row = e.Row();
  cmd::SelectInRow(e, row, 0, static_cast<int>(e.RowText(row).size()));
}

// Rows first..last joined as the editor stores them: CR LF after a row
// that ends a line, nothing after a wrapped one.
std::string JoinRows(const TEditor& e, int first, int last, bool breakAfterLast) {
  std::string text;
  for (int r = first; r <= last; ++r) {
    text += e.RowText(r).view();
    if ((r < last || breakAfterLast) && e.RowAttribute(r) == reLineBreak) text += "\r\n";
  }
  return text;
}

void ConvertBox(TEditor& e, bool upper) {
  const TSelectionRange range = e.SelectionRange();
  const TSelectionRect rect = e.SelectionRect();
  const TSelectionAnchor anchor = e.SelectionAnchor();
  const int caretRow = e.Row(), caretCol = e.Col();
  const int last = std::min(range.EndRow, e.ListCount() - 1);
  if (range.StartRow > last) return;
  std::string text;
  bool changed = false;
  for (int r = range.StartRow; r <= last; ++r) {
    std::string row = e.RowText(r).str();
    int first = 0, end = 0;
    e.BoxEdges(r, rect.StartCol, rect.EndCol, first, end);
    first = std::clamp(first, 0, static_cast<int>(row.size()));
    end = std::clamp(end, first, static_cast<int>(row.size()));
    std::string part =
        ConvertCase(std::string_view(row).substr(size_t(first), size_t(end - first)), upper);
    changed |= part != std::string_view(row).substr(size_t(first), size_t(end - first));
    row.replace(size_t(first), size_t(end - first), part);
    text += row;
    if (r < last && e.RowAttribute(r) == reLineBreak) text += "\r\n";
  }
  if (!changed) return;
  const long long length = static_cast<long long>(JoinRows(e, range.StartRow, last, false).size());
  {
    cmd::TKeepSelectionMode keep(e);
    cmd::SelectInRow(e, range.StartRow, 0, length);
    e.SetSelText(text);
  }
  // The same box again: the conversion kept every byte where it was.
  e.SetRowCol(anchor.Row, anchor.Col);
  e.StartSelection();
  e.SetRowCol(caretRow, caretCol);
  e.ExtendSelection();
}

void ConvertSelection(TEditor* e, bool upper) {
  if (!Editable(e) || !e->IsSelected()) return;
  if (e->SelectionMode() == smBox) return ConvertBox(*e, upper);
  const ByteString text = e->SelText();
  std::string converted = ConvertCase(text.view(), upper);
  if (converted != text.view()) e->SetSelText(converted);
}

void Insert(TEditor* e, const std::string& text) {
  if (Editable(e)) e->SetSelText(text);
}

std::string Digits(int value, int width) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
  return s;
}

} // namespace

void EditUndo(TEditor* e) {
  if (e && e->CanUndo()) e->Undo();
}

void EditRedo(TEditor* e) {
  if (e && e->CanRedo()) e->Redo();
}

void EditCut(const TDocumentViews& v) {
  TEditor* e = v.Active;
  if (!Editable(e) || !e->IsSelected() || e->SelLength() <= 0) return;
  e->CutToClipboard();
  CleanUpEmptyCaretRow(v);
}

void EditCopy(TEditor* e) {
  if (e && e->IsSelected() && e->SelLength() > 0) e->CopyToClipboard();
}

void EditPaste(TEditor* e) {
  if (Editable(e) && e->Clipboard().HasText()) e->PasteFromClipboard();
}

void EditBoxPaste(TEditor* e) {
  if (Editable(e) && e->Clipboard().HasText()) e->SetSelTextBox(e->Clipboard().Text());
}

void EditSelectAll(TEditor* e) {
  if (e && cmd::HasLines(*e)) e->SelectAll();
}

void EditToggleBoxMode(TEditor* e) {
  if (e && cmd::HasLines(*e)) e->SetSelectionMode(e->SelectionMode() == smBox ? smNormal : smBox);
}

void EditCopyLine(TEditor* e) {
  if (!e || e->WordWrap() || cmd::CaretRowEmpty(*e)) return;
  if (e->HasSelection()) e->CleanSelection();
  e->Clipboard().SetText(cmd::CaretRowText(*e).view(), false);
}

void EditCopyAll(TEditor* e) {
  if (!e || e->WordWrap() || !cmd::HasLines(*e)) return;
  const std::string text = JoinRows(*e, 0, e->ListCount() - 1, true);
  if (!text.empty()) e->Clipboard().SetText(text, false);
  if (e->HasSelection()) e->CleanSelection();
}

std::string ConvertCase(std::string_view text, bool upper, bool fullWidth) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    auto b = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(b) && i + 1 < out.size()) {
      // Full-width Ａ-Ｚ are 82 60-79, ａ-ｚ 82 81-9A.
      auto t = static_cast<unsigned char>(out[i + 1]);
      if (fullWidth && b == 0x82) {
        if (upper && t >= 0x81 && t <= 0x9A) out[i + 1] = static_cast<char>(t - 0x21);
        if (!upper && t >= 0x60 && t <= 0x79) out[i + 1] = static_cast<char>(t + 0x21);
      }
      ++i; // never look at a trail byte on its own
      continue;
    }
    out[i] = static_cast<char>(upper ? UpperByte(b) : LowerByte(b));
  }
  return out;
}

void EditUpperCase(TEditor* e) {
  ConvertSelection(e, true);
}
void EditLowerCase(TEditor* e) {
  ConvertSelection(e, false);
}

TDate Today() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return TDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday};
}

std::string LongDateText(const TDate& d) {
  static const char* const kWeekDays[7] = {"日", "月", "火", "水", "木", "金", "土"};
  const int wd = ((d.WeekDay % 7) + 7) % 7;
  const std::string utf8 = Digits(d.Year, 4) + "年" + Digits(d.Month, 2) + "月" + Digits(d.Day, 2) +
                           "日(" + kWeekDays[wd] + ")";
  return Utf8ToCp932(utf8);
}

std::string ShortDateText(const TDate& d, std::string_view pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    size_t n = 1;
    while (i + n < pattern.size() && pattern[i + n] == c)
      ++n;
    if (c == '\'') {
      const size_t close = pattern.find('\'', i + 1);
      const size_t end = close == std::string_view::npos ? pattern.size() : close;
      out += pattern.substr(i + 1, end - i - 1);
      i = end == pattern.size() ? end : end + 1;
      continue;
    }
    if (c == 'y')
      out += n >= 3 ? Digits(d.Year, 4) : Digits(d.Year % 100, 2);
    else if (c == 'M')
      out += Digits(d.Month, n >= 2 ? 2 : 1);
    else if (c == 'd')
      out += Digits(d.Day, n >= 2 ? 2 : 1);
    else
      out += pattern.substr(i, n);
    i += n;
  }
  return Utf8ToCp932(out);
}

void InsertShortDate(TEditor* e, const TClock& clock, std::string_view pattern) {
  if (Editable(e)) Insert(e, ShortDateText(clock(), pattern));
}

void InsertLongDate(TEditor* e, const TClock& clock) {
  if (Editable(e)) Insert(e, LongDateText(clock()));
}

void DoubleClickSelect(TEditor* e, int x, int y, TShiftState shift) {
  if (!e || !cmd::HasLines(*e)) return;
  if (shift & ssCtrl) {
    SelectCaretRow(*e);
    return;
  }
  // A selection left from before would become the start of the new one.
  if (e->HasSelection()) e->CleanSelection();
  ByteString text;
  TFountainTokenKind kind = ttEnd;
  const bool found = e->GetTokenAt(x, y, true, text, kind);
  e->SelectTokenAt(x, y, found && (kind == ttUrl || kind == ttMail));
}

} // namespace ze
