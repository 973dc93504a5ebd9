#include "text/ScreenStrings.h"

#include <algorithm>
#include <cstring>

#include "text/CharHelpers.h"
#include "text/RowEdits.h"

namespace ze {
namespace {

constexpr uint32_t kMarkBits = 0xFFFF0000; // RowMarks in RowBits2

// Calls fn(line) for each line of text; CR LF, LF and a lone CR end a
// line, a final line break adds no empty line. Unlike SplitLines a NUL is
// an ordinary byte here: row text may hold one and must survive edits.
template <class Fn> void ForEachLine(std::string_view text, Fn fn) {
  // The next CR and the next LF are each found with memchr and kept until
  // passed, so a long line costs two scans at memchr speed.
  const char* base = text.data();
  const size_t n = text.size();
  auto find = [&](char c, size_t from) {
    const void* p = std::memchr(base + from, c, n - from);
    return p ? static_cast<size_t>(static_cast<const char*>(p) - base) : n;
  };
  size_t i = 0, cr = find('\r', 0), lf = find('\n', 0);
  while (i < n) {
    if (cr < i) cr = find('\r', i);
    if (lf < i) lf = find('\n', i);
    const size_t end = std::min(cr, lf);
    fn(text.substr(i, end - i));
    i = end;
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
}

struct RowPiece {
  size_t offset;
  size_t length;
  TRowEnd attribute;
};

// Cuts one logical line into rows by the wrap options.
void CutLine(std::string_view line, const TColumnSettings& cs, const TEditorWrapOption& wo,
             std::vector<RowPiece>& out) {
  out.clear();
  const int w = cs.WrapByte;
  std::string codes = ColumnAttributes(line, cs);
  if (static_cast<int>(codes.size()) < w) {
    out.push_back({0, line.size(), reLineBreak});
    return;
  }
  size_t offset = 0;
  std::string_view rest = line;
  TEditorAttributeArray cur;
  cur.Reset(rest, std::move(codes));
  cur.MoveTo(w);
  for (;;) {
    if (cur.Code() == caEnd) {
      if (!rest.empty()) out.push_back({offset, rest.size(), reLineBreak});
      else if (!wo.FollowRetMark() || out.empty()) out.push_back({offset, 0, reLineBreak});
      else out.back().attribute = reLineBreak;
      return;
    }
    if (cur.Code() == caLead) {
      cur.Prev();
    } else if (wo.WordBreak() && cur.ColumnCount() > w) {
      while (cur.Code() != caDelim && cur.Code() != caTabFill && cur.Code() != caTrail &&
             cur.Position() > w / 3)
        cur.StepBackChar();
    }
    if (wo.FollowPunctuation()) {
      while (cur.Position() < w + 2 && IncludesChar(cur.PeekNextChar(), wo.PunctuationStr())) {
        cur.Next();
        if (cur.Code() == caLead) cur.Next();
      }
    }
    if (wo.Leading() && cur.Position() < cur.ColumnCount()) {
      const int floor = (w / 5) * 4;
      while (cur.Position() > floor && IncludesChar(cur.CurrentChar(), wo.LeadStr()))
        cur.StepBackChar();
      // The next character may be the last of the line: it must not begin
      // a row either.
      if (IncludesChar(cur.PeekNextChar(), wo.FollowStr())) {
        std::string_view next = cur.PeekNextChar();
        while (cur.Position() > floor && (IncludesChar(cur.CurrentChar(), wo.LeadStr()) ||
                                          IncludesChar(next, wo.FollowStr()))) {
          next = cur.CurrentChar();
          cur.StepBackChar();
        }
      }
    }
    size_t take = static_cast<size_t>(std::max(cur.ByteCount(), 1));
    take = std::min(take, rest.size());
    out.push_back({offset, take, reWrapped});
    offset += take;
    rest.remove_prefix(take);
    cur.Reset(rest, ColumnAttributes(rest, cs));
    cur.MoveTo(w);
  }
}

// Keeps the store's change event off for a scope.
class SilentScope {
public:
  explicit SilentScope(TLineStringList& list) : list_(list), saved_(list.OnChange) {
    list_.OnChange = nullptr;
  }
  ~SilentScope() { list_.OnChange = saved_; }
  SilentScope(const SilentScope&) = delete;
  SilentScope& operator=(const SilentScope&) = delete;

private:
  TLineStringList& list_;
  TNotifyEvent saved_;
};

} // namespace

TEditorScreenStrings::TEditorScreenStrings() {
  OnChange = TNotifyEvent::Of(this, &TEditorScreenStrings::NotifyEditors);
}

TEditorScreenStrings::~TEditorScreenStrings() { OnChange = nullptr; }

void TEditorScreenStrings::AfterConstruction() {
  TEditorStringList::AfterConstruction();
  undo_ = CreateUndoObj();
  wrapOption_ = CreateWrapOption();
  wrapOption_->OnChange = TNotifyEvent::Of(this, &TEditorScreenStrings::WrapOptionChanged);
}

std::unique_ptr<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() {
  return std::make_unique<TEditorUndoObj>(*this);
}

std::unique_ptr<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
  return std::make_unique<TEditorWrapOption>();
}

// ---------------------------------------------------------------- views

void TEditorScreenStrings::AddEditor(TEditorView* view) {
  if (view && std::find(editors_.begin(), editors_.end(), view) == editors_.end())
    editors_.push_back(view);
}

void TEditorScreenStrings::RemoveEditor(TEditorView* view) {
  editors_.erase(std::remove(editors_.begin(), editors_.end(), view), editors_.end());
}

TEditorView* TEditorScreenStrings::FocusedEditor() const {
  for (TEditorView* v : editors_)
    if (v->Focused()) return v;
  return FirstEditor();
}

bool TEditorScreenStrings::OwnerLoading() const {
  TEditorView* v = FirstEditor();
  return v && v->Loading();
}

TColumnSettings TEditorScreenStrings::ColumnSettings() const {
  TColumnSettings cs;
  if (TEditorView* v = FirstEditor()) {
    cs.TabSpaceCount = v->TabSpaceCount();
    cs.DelimiterSet = v->DelimiterSet();
  }
  cs.WordWrap = wordWrap_;
  cs.WrapByte = wrapOption_->WrapByte();
  return cs;
}

void TEditorScreenStrings::NotifyEditors(TObject*) {
  // A view may detach while being told; copy the list first.
  std::vector<TEditorView*> views = editors_;
  for (TEditorView* v : views) v->StoreChanged();
}

void TEditorScreenStrings::CancelSelections() {
  for (TEditorView* v : editors_) v->CancelSelection();
}

void TEditorScreenStrings::ClampEditors() {
  int count = Count();
  int limit = (count > 0 && RowAttribute(count - 1) == reEndOfText) ? count - 1 : count;
  for (TEditorView* v : editors_) {
    if (v->Row() > count - 1 && v->Row() != limit) v->SetRow(limit);
    if (v->TopRow() > count - 1 && v->TopRow() != limit) v->SetTopRow(limit);
  }
}

void TEditorScreenStrings::UpdateAllViews() {
  for (TEditorView* v : editors_) v->UpdateView();
}

void TEditorScreenStrings::SetUpdateState(bool updating) {
  TEditorStringList::SetUpdateState(updating);
  if (!updating) {
    change_ = TChangeRegion{};
    ClampEditors();
  }
}

// ---------------------------------------------------------------- lines

int TEditorScreenStrings::FirstRowOfLine(int row) const {
  if (row > Count()) return row;
  while (row > 0 && RowAttribute(row - 1) == reWrapped) --row;
  return row;
}

int TEditorScreenStrings::LastRowOfLine(int row) const {
  if (row < 0) return row;
  while (row < Count() - 1 && RowAttribute(row) == reWrapped) ++row;
  return row;
}

namespace {

// The joined text of rows [from, to] (as GetLogicalText joins it) piece by
// piece, first to last or last to first, while fn returns true.
template <class Fn>
void ForEachPiece(const TEditorScreenStrings& s, int from, int to, bool backward, Fn fn) {
  static constexpr std::string_view kLineBreak("\r\n", 2);
  for (int k = 0; k <= to - from; ++k) {
    const int i = backward ? to - k : from + k;
    const bool br = s.RowAttribute(i) == reLineBreak;
    if (backward && br && !fn(kLineBreak)) return;
    if (!fn(s.Ref(i).view())) return;
    if (!backward && br && !fn(kLineBreak)) return;
  }
}

} // namespace

void TEditorScreenStrings::RecordChange(TEditorUndoData& rec, int first, int last,
                                        std::string_view newText, size_t keptHead,
                                        size_t keptTail) const {
  if (first < 0 || first >= Count() || last < first) {
    rec.LastAttribute = reUnknown; // there were no rows: undo removes the new ones
    return;
  }
  last = std::min(last, Count() - 1);
  size_t oldSize = 0;
  ForEachPiece(*this, first, last, false, [&](std::string_view p) {
    oldSize += p.size();
    return true;
  });
  // What the caller knows is kept is not compared again.
  const size_t shorter = std::min(oldSize, newText.size());
  keptHead = std::min(keptHead, shorter);
  keptTail = std::min(keptTail, shorter - keptHead);
  size_t head = 0;
  ForEachPiece(*this, first, last, false, [&](std::string_view p) {
    const size_t skip = std::min(keptHead - std::min(keptHead, head), p.size());
    const size_t at = std::min(head + skip, newText.size());
    const size_t same = skip + CommonPrefixLength(p.substr(skip), newText.substr(at));
    head += same;
    return same == p.size();
  });
  const size_t room = shorter - head;
  size_t tail = 0;
  ForEachPiece(*this, first, last, true, [&](std::string_view p) {
    const size_t skip = std::min(keptTail - std::min(keptTail, tail), p.size());
    const size_t end = newText.size() - std::min(tail + skip, newText.size());
    const size_t same = skip + CommonSuffixLength(p.substr(0, p.size() - skip), newText.substr(0, end));
    tail += same;
    return same == p.size() && tail < room;
  });
  tail = std::min(tail, room);

  rec.Head = head;
  rec.Tail = tail;
  rec.Text = ByteString::Build(oldSize - head - tail, [&](char* out) {
    size_t at = 0; // offset of the piece in the joined text
    const size_t from = head, to = oldSize - tail;
    ForEachPiece(*this, first, last, false, [&](std::string_view p) {
      const size_t b = std::max(at, from), e = std::min(at + p.size(), to);
      if (b < e) {
        std::memcpy(out, p.data() + (b - at), e - b);
        out += e - b;
      }
      at += p.size();
      return at < to;
    });
  });
  rec.LastAttribute = RowAttribute(last);
  rec.Cuts = RowCuts(first, last);
}

std::vector<uint32_t> TEditorScreenStrings::RowCuts(int first, int last) const {
  std::vector<uint32_t> cuts;
  cuts.reserve(static_cast<size_t>(last - first + 1));
  for (int i = first; i <= last; ++i)
    cuts.push_back(static_cast<uint32_t>(Ref(i).size()) |
                   (static_cast<uint32_t>(RowAttribute(i)) << 30));
  return cuts;
}

TLogicalText TEditorScreenStrings::GetLogicalText(int start, int n, bool withCuts) const {
  TLogicalText r;
  if (start < 0 || start >= Count() || n == 0) return r;
  int end = n < 0 ? LastRowOfLine(start) : std::min(start + n - 1, Count() - 1);
  size_t total = 0;
  for (int i = start; i <= end; ++i)
    total += Ref(i).size() + (RowAttribute(i) == reLineBreak ? 2 : 0);
  r.Text = ByteString::Build(total, [&](char* p) {
    for (int i = start; i <= end; ++i) {
      const ByteString& s = Ref(i);
      if (!s.empty()) std::memcpy(p, s.data(), s.size());
      p += s.size();
      if (RowAttribute(i) == reLineBreak) {
        *p++ = '\r';
        *p++ = '\n';
      }
    }
  });
  r.RowCount = end - start + 1;
  r.LastAttribute = RowAttribute(end);
  if (withCuts) r.Cuts = RowCuts(start, end);
  return r;
}

void TEditorScreenStrings::RowsFromCuts(std::string_view text, const std::vector<uint32_t>& cuts,
                                        TEditorStringList& list) {
  UpdateGuard<TStrings> update(list);
  list.Clear();
  size_t at = 0;
  for (uint32_t cut : cuts) {
    size_t len = std::min<size_t>(cut & 0x3FFFFFFF, text.size() - std::min(at, text.size()));
    auto end = static_cast<TRowEnd>(cut >> 30);
    int r = list.Add(ByteString(text.substr(at, len)));
    list.SetRowAttribute(r, end);
    at += len + (end == reLineBreak ? 2 : 0);
  }
}

// ---------------------------------------------------------------- editing

void TEditorScreenStrings::ReplaceText(int start, int n, std::string_view text, size_t keptHead,
                                       size_t keptTail) {
  const int count = Count();
  if (start < 0 || n < 0 || start + n - 1 > count - 1 || (n == 0 && text.empty())) return;
  UpdateGuard<TStrings> update(*this);

  const int first = std::max(FirstRowOfLine(start), start - 1);
  const int last = start + n - 1;
  int lineEnd = LastRowOfLine(last);

  if (first == start && lineEnd == last && text.empty() && n > 0) {
    // Exactly whole logical lines go.
    TEditorUndoData& rec = undo_->NewRecord();
    TLogicalText old = GetLogicalText(start, n, true);
    rec.StartRow = start;
    rec.Text = old.Text;
    rec.Cuts = std::move(old.Cuts);
    rec.LastAttribute = old.LastAttribute;
    rec.RowCount = 0;
    TRowMarks removed = DeleteRows(start, n);
    if (Count() > 0) {
      int to = std::min(start, Count() - 1);
      SetRowMarks(to, RowMarks(to) | removed);
    } else {
      ExcludeRowMarks(removed);
    }
    int recoloured = ReparseFrom(start, true);
    change_ = {start, n, 0, recoloured, true};
    return;
  }

  TRowEnd endAttribute;
  if (last < lineEnd) {
    endAttribute = RowAttribute(lineEnd);
  } else if (lineEnd < count - 1) {
    lineEnd = LastRowOfLine(lineEnd + 1); // the next logical line is rewrapped too
    endAttribute = RowAttribute(lineEnd);
  } else {
    endAttribute = (!text.empty() && text.back() == '\n') ? reLineBreak : reEndOfText;
  }

  std::string joined;
  auto appendRows = [&](int from, int to) {
    for (int i = from; i <= to; ++i) {
      joined += Ref(i).view();
      if (RowAttribute(i) == reLineBreak) joined += "\r\n";
    }
  };
  // Only when rows around the replaced ones are rewrapped with it is the
  // text copied: a long row is split straight from the caller's text.
  const bool alone = first == start && last == lineEnd;
  if (!alone) {
    appendRows(first, start - 1);
    joined += text;
    appendRows(last + 1, lineEnd);
  }

  const std::string_view newText = alone ? text : std::string_view(joined);

  TEditorUndoData& rec = undo_->NewRecord();
  rec.StartRow = first;
  // The kept bytes the caller knows of, counted in the rewrapped rows.
  size_t rowsBefore = 0, rowsAfter = 0;
  ForEachPiece(*this, first, start - 1, false, [&](std::string_view p) {
    rowsBefore += p.size();
    return true;
  });
  ForEachPiece(*this, last + 1, lineEnd, false, [&](std::string_view p) {
    rowsAfter += p.size();
    return true;
  });
  RecordChange(rec, first, lineEnd, newText, rowsBefore + keptHead, rowsAfter + keptTail);

  TEditorStringList rows;
  SplitToRows(newText, rows);
  rows.SetRowAttribute(rows.Count() - 1, endAttribute);
  rec.RowCount = rows.Count();
  const int oldCount = lineEnd - first + 1;
  const ByteString before = first >= 0 && first < Count() ? Ref(first) : ByteString();
  ReplaceRows(first, oldCount, rows);
  if (!before.empty() && first < Count()) NoteRowEdit(before, Ref(first), rec.Head);
  int recoloured = ReparseFrom(first, true);
  change_ = {first, oldCount, rows.Count(), recoloured, true};
}

TRowMarks TEditorScreenStrings::DeleteRows(int start, int n) {
  if (start < 0 || start >= Count() || n <= 0) return 0;
  n = std::min(n, Count() - start);
  TRowMarks marks = 0;
  for (int i = start; i < start + n; ++i) marks |= RowMarks(i);
  DeleteRowRange(start, n);
  if (start < parsedEnd_) parsedEnd_ = std::max(start, parsedEnd_ - n);
  return marks;
}

void TEditorScreenStrings::ReplaceRows(int start, int oldCount, const TEditorStringList& list) {
  UpdateGuard<TStrings> update(*this);
  const int added = list.Count();
  std::vector<TRowMarks> marks(static_cast<size_t>(added), 0);
  if (added < oldCount) {
    TRowMarks removed = DeleteRows(start, oldCount - added);
    for (int i = 0; i < added; ++i) marks[i] = RowMarks(start + i);
    if (added < 1) ExcludeRowMarks(removed);
    else marks[0] |= removed;
  } else if (added == oldCount) {
    for (int i = 0; i < added; ++i) marks[i] = RowMarks(start + i);
  } else {
    if (oldCount > 0) {
      for (int j = 1; j < oldCount; ++j) marks[added - oldCount + j] = RowMarks(start + j);
      // A mark on a row split at its first column travels with the text.
      TEditorView* focused = FocusedEditor();
      int to = (focused && focused->Col() != 0) ? 0 : added - oldCount;
      marks[to] |= RowMarks(start);
    }
    InsertRows(start + oldCount, added - oldCount);
    if (start + oldCount < parsedEnd_) parsedEnd_ += added - oldCount;
  }
  for (int i = 0; i < added; ++i) {
    int r = start + i;
    SetTextSilently(r, list.Ref(i));
    SetRowBits(r, list.RowBits(i));
    SetRowBits2(r, (list.RowBits2(i) & ~kMarkBits) | (static_cast<uint32_t>(marks[i]) << 16));
    SetRowData(r, list.RowData(i));
    SetRowDataStr(r, list.RowDataStr(i));
  }
}

// ---------------------------------------------------------------- colouring

int TEditorScreenStrings::ParseLimit(int row) const {
  TEditorView* v = FirstEditor();
  int screenRows = v ? v->ScreenHeight() / std::max(v->RowHeight(), 1) : 0;
  return std::min(row + 2 * screenRows, Count() - 1);
}

namespace {

bool SameState(const TRowAttributeStringList& rows, int k, const TRowAttributeData& d) {
  return rows.PrevRowAttribute(k) == (d.PrevRowAttribute & 3) &&
         rows.BracketIndex(k) == ((d.BracketIndex + 2) & 0xF) - 2 &&
         rows.ElementState(k) == (d.ElementState & 0xFF) &&
         rows.RemainBytes(k) == (d.RemainBytes & 0xFF) &&
         rows.ExtraState(k) == (d.ExtraState & 0xFF) && rows.CarriedToken(k) == d.CarriedToken &&
         rows.CarriedFlag(k) == d.CarriedFlag && rows.RowDataStr(k) == d.DataStr;
}

TRowAttributeData FreshState() {
  TRowAttributeData d;
  d.BracketIndex = -1;
  return d;
}

} // namespace

void TEditorScreenStrings::ResetUnparsed(int from) {
  from = std::max(from, 0);
  if (from >= parsedEnd_) return;
  ResetColouring(from, parsedEnd_);
  parsedEnd_ = from;
}

void TEditorScreenStrings::Insert(int index, const ByteString& s) {
  TEditorStringList::Insert(index, s);
  parsedEnd_ = Count();
}

void TEditorScreenStrings::Delete(int index) {
  TEditorStringList::Delete(index);
  parsedEnd_ = Count();
}

void TEditorScreenStrings::Exchange(int i, int j) {
  TEditorStringList::Exchange(i, j);
  parsedEnd_ = Count();
}

int TEditorScreenStrings::ReparseFrom(int row, bool notify) {
  if (Count() == 0 || editors_.empty()) return 0;
  std::unique_ptr<RowStateParser> parser = FirstEditor()->CreateRowParser();
  if (!parser) return 0;
  row = std::clamp(row, 0, Count() - 1);

  TRowAttributeData d;
  int k = std::min(row, parsedEnd_) - 1;
  while (k >= 0 && BracketIndex(k) == -2) --k;
  if (k >= 0) {
    d = RowAttributeData(k);
    parser->UpdateRowData(k, *this, d);
    d.PrevRowAttribute = RowAttribute(k);
    ++k;
  } else {
    d = FreshState();
    k = 0;
  }

  const int limit = ParseLimit(row);
  int counted = 0;
  for (; k <= limit; ++k) {
    d.RowAttribute = RowAttribute(k);
    if (SameState(*this, k, d)) return counted; // rows below are up to date
    SetRowAttributeData(k, d);
    parsedEnd_ = std::max(parsedEnd_, k + 1);
    if (notify) {
      ++counted;
      for (TEditorView* v : editors_) v->InvalidateRow(k);
    }
    parser->UpdateRowData(k, *this, d);
    d.PrevRowAttribute = RowAttribute(k);
  }
  ResetUnparsed(limit + 1);
  return counted;
}

void TEditorScreenStrings::ReparseAll() {
  TEditorView* owner = FirstEditor();
  if (owner && (owner->Loading() || owner->Destroying())) return;
  ResetUnparsed(0);
  if (!owner || Count() == 0) return;
  std::unique_ptr<RowStateParser> parser = owner->CreateRowParser();
  if (!parser) return;
  int limit = owner->InitBracketsFull()
                  ? Count() - 1
                  : std::min(Count() - 1, 2 * (owner->ScreenHeight() / std::max(owner->RowHeight(), 1)) +
                                              owner->TopRow());
  TRowAttributeData d = FreshState();
  for (int k = 0; k <= limit; ++k) {
    d.RowAttribute = RowAttribute(k);
    SetRowAttributeData(k, d);
    parsedEnd_ = std::max(parsedEnd_, k + 1);
    parser->UpdateRowData(k, *this, d);
    d.PrevRowAttribute = RowAttribute(k);
  }
}

// ---------------------------------------------------------------- wrapping

void TEditorScreenStrings::SplitToRows(std::string_view text, TEditorStringList& list) {
  UpdateGuard<TStrings> update(list);
  list.Clear();
  if (text.empty()) {
    list.Add(ByteString());
    return;
  }
  if (!wordWrap_) {
    ForEachLine(text, [&](std::string_view line) { list.Add(ByteString(line)); });
    return;
  }
  const TColumnSettings cs = ColumnSettings();
  std::vector<RowPiece> pieces;
  ForEachLine(text, [&](std::string_view line) {
    CutLine(line, cs, *wrapOption_, pieces);
    for (const RowPiece& p : pieces) {
      int r = list.Add(ByteString(line.substr(p.offset, p.length)));
      list.SetRowAttribute(r, p.attribute);
    }
  });
}

int TEditorScreenStrings::CountRows(std::string_view line) {
  if (!wordWrap_) return 1;
  std::vector<RowPiece> pieces;
  CutLine(line, ColumnSettings(), *wrapOption_, pieces);
  return static_cast<int>(pieces.size());
}

void TEditorScreenStrings::WrapAll() {
  if (Count() == 0 || OwnerLoading()) return;
  CancelSelections();
  // The views are told once, by the caller, when the re-cut is done.
  SilentScope silent(*this);
  UpdateGuard<TStrings> update(*this);

  const TColumnSettings cs = ColumnSettings();
  const TRowEnd lastAttribute = RowAttribute(Count() - 1);
  TEditorStringList out;
  out.SetCapacity(Count() + Count() / 8 + 16);
  std::vector<RowPiece> pieces;
  std::string joined;
  for (int first = 0; first < Count();) {
    int end = LastRowOfLine(first);
    std::string_view line;
    if (end == first) {
      line = Ref(first).view();
    } else {
      joined.clear();
      for (int i = first; i <= end; ++i) joined += Ref(i).view();
      line = joined;
    }
    if (StrWidth(line, cs) < cs.WrapByte) pieces.assign(1, RowPiece{0, line.size(), reLineBreak});
    else CutLine(line, cs, *wrapOption_, pieces);
    const int oldRows = end - first + 1;
    const int base = out.Count();
    out.InsertRows(base, static_cast<int>(pieces.size()));
    for (size_t i = 0; i < pieces.size(); ++i) {
      int r = base + static_cast<int>(i);
      if (end == first && pieces.size() == 1) out.SetTextSilently(r, Ref(first));
      else out.SetTextSilently(r, ByteString(line.substr(pieces[i].offset, pieces[i].length)));
      out.SetRowAttribute(r, pieces[i].attribute);
    }
    // Marks: new row i takes old row i's; surplus old rows give theirs to
    // the last new row.
    const int newRows = static_cast<int>(pieces.size());
    for (int i = 0; i < oldRows; ++i) {
      int to = base + std::min(i, newRows - 1);
      out.SetRowMarks(to, out.RowMarks(to) | RowMarks(first + i));
    }
    first = end + 1;
  }
  out.SetRowAttribute(out.Count() - 1, lastAttribute);
  Changing();
  SwapRows(out);
  parsedEnd_ = 0; // every row is new and uncoloured
  Changed();
}

void TEditorScreenStrings::UnwrapAll() {
  if (Count() == 0) return;
  CancelSelections();
  TRowEnd lastAttribute = RowAttribute(Count() - 1);
  if (lastAttribute == reWrapped) lastAttribute = reEndOfText;
  // The views are told once, by the caller, when the re-cut is done.
  SilentScope silent(*this);
  UpdateGuard<TStrings> update(*this);

  int written = 0;
  std::string joined;
  for (int first = 0; first < Count();) {
    int end = LastRowOfLine(first);
    TRowMarks marks = 0;
    for (int i = first; i <= end; ++i) marks |= RowMarks(i);
    ByteString text;
    if (end == first) {
      text = Ref(first);
    } else {
      joined.clear();
      for (int i = first; i <= end; ++i) joined += Ref(i).view();
      text = ByteString(joined);
    }
    SetTextSilently(written, text);
    SetRowBits(written, reLineBreak);
    SetRowBits2(written, static_cast<uint32_t>(marks) << 16);
    SetRowData(written, 0);
    SetRowDataStr(written, ByteString());
    ++written;
    first = end + 1;
  }
  SetRowAttribute(written - 1, lastAttribute);
  DeleteRows(written, Count() - written);
  parsedEnd_ = 0; // every row was written anew, uncoloured
}

void TEditorScreenStrings::Rewrapped() {
  undo_->Clear();
  if (wordWrap_) WrapAll();
  else UnwrapAll();
  ReparseAll();
  UpdateAllViews();
  ClampEditors();
  for (TEditorView* v : editors_) v->SetCol(0);
}

void TEditorScreenStrings::SetWordWrap(bool on) {
  if (on == wordWrap_) return;
  wordWrap_ = on;
  if (!OwnerLoading()) Rewrapped();
}

void TEditorScreenStrings::WrapOptionChanged(TObject*) {
  if (OwnerLoading() || !wordWrap_) return;
  Rewrapped();
}

void TEditorScreenStrings::Clear() {
  CancelSelections();
  undo_->Clear();
  change_ = {0, Count(), 0, 0, true};
  TEditorStringList::Clear();
  change_ = TChangeRegion{};
  parsedEnd_ = 0;
  for (TEditorView* v : editors_) {
    v->SetRow(0);
    v->SetCol(0);
  }
  usedRowMarks_ = 0;
}

void TEditorScreenStrings::AppendEmptyRows(int n) {
  SetCapacity(std::max(GetCapacity(), Count() + n));
  InsertRows(Count(), n);
}

void TEditorScreenStrings::SetLoadedText(int row, const ByteString& text) {
  SetTextSilently(row, text);
}

} // namespace ze
