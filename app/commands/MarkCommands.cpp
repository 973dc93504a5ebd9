#include "app/commands/MarkCommands.h"

#include <cstdlib>

namespace ze {
namespace {

constexpr TRowMarks kJumpMask = 0x03FF;     // row marks 0-9
constexpr TRowMarks kBookmarkMask = 0x7C00; // row marks 10-14

TRowMarks Bit(int mark) {
  return static_cast<TRowMarks>(1u << mark);
}

// The store's record of used marks may still name a mark whose last row
// went; it only rules marks out quickly, the rows decide.
bool AnyRowHas(const TEditor& e, TRowMarks mask) {
  if (!(e.List().UsedRowMarks() & mask)) return false;
  for (int r = 0; r < e.ListCount(); ++r)
    if (e.GetRowMarks(r) & mask) return true;
  return false;
}

bool AnyMark(const TEditor& e) {
  return AnyRowHas(e, kJumpMask | kBookmarkMask);
}

void ShowMarkColumn(TEditor& e) {
  TEditorImagebar& bar = *e.Imagebar();
  bar.SetMarkWidth(kMarkColumnSlotWidth);
  bar.SetDigitWidth(kMarkColumnSlotWidth);
  bar.SetLeftMargin(0);
  bar.SetRightMargin(0);
  bar.SetVisible(true);
  e.SetImageMarks(&BookmarkImages());
  e.SetImageDigits(&JumpMarkImages());
}

void SetMarkColumn(TEditor& e, bool show) {
  if (show)
    ShowMarkColumn(e);
  else
    e.Imagebar()->SetVisible(false);
}

void SyncOther(const TDocumentViews& v) {
  if (!v.Active || !v.Other || v.Other == v.Active) return;
  v.Other->Imagebar()->CopyFrom(v.Active->Imagebar());
  v.Other->SetImageMarks(&BookmarkImages());
  v.Other->SetImageDigits(&JumpMarkImages());
  if (v.Sync) v.Sync(*v.Active, *v.Other);
}

void ToggleMark(const TDocumentViews& v, int mark) {
  TEditor& e = *v.Active;
  ShowMarkColumn(e);
  const int row = e.Row();
  if (e.GetRowMarks(row) & Bit(mark))
    e.DeleteRowMark(row, mark);
  else
    e.PutRowMark(row, mark);
  SetMarkColumn(e, AnyMark(e));
  SyncOther(v);
}

// Removes from the caret row every mark of mask except keep.
void DropOthers(TEditor& e, TRowMarks mask, int keep) {
  const int row = e.Row();
  const TRowMarks marks = e.GetRowMarks(row) & mask;
  for (int m = 0; m < 16; ++m)
    if (m != keep && (marks & Bit(m))) e.DeleteRowMark(row, m);
}

void DeleteAll(const TDocumentViews& v, TRowMarks mask) {
  if (!v.Active) return;
  TEditor& e = *v.Active;
  if (e.List().UsedRowMarks() & mask) {
    for (int r = 0; r < e.ListCount(); ++r)
      if (TRowMarks marks = e.GetRowMarks(r) & mask)
        e.SetRowMarks(r, static_cast<TRowMarks>(e.GetRowMarks(r) & ~marks));
  }
  SetMarkColumn(e, AnyMark(e));
  SyncOther(v);
}

void GoToRow(TEditor& e, int row) {
  if (row < e.TopRow() || row > e.TopRow() + e.RowCount() - 1) e.SetTopRow(row - e.RowCount() / 2);
  e.SetRow(row);
}

} // namespace

const std::vector<TMarkMenuItem>& MarkMenuItems() {
  static const std::vector<TMarkMenuItem> items = [] {
    std::vector<TMarkMenuItem> v;
    for (int n = 1; n <= kBookmarkCount; ++n)
      v.push_back({"BoockMark" + std::to_string(n), "ブックマーク " + std::to_string(n),
                   "Alt+" + std::to_string(n), ""});
    v.push_back({"BeforeBoockMark", " 前のブックマークへ", "Alt+Up", ""});
    v.push_back({"NextBoockMark", " 次のブックマークへ", "Alt+Down", ""});
    v.push_back({"DelBoockMarks", " 全ブックマーク削除", "Alt+Del", ""});
    v.push_back({"SetJumpMarks", "ジャンプマーク設定", "", ""});
    // "ジャンプマーク 1" to " 9", then "ジャンプマーク10": the number
    // takes two places.
    auto number = [](int n) { return n < 10 ? " " + std::to_string(n) : std::to_string(n); };
    for (int n = 1; n <= kJumpMarkCount; ++n)
      v.push_back({"jump" + std::to_string(n), "ジャンプマーク" + number(n) + " 設定",
                   "Ctrl+" + std::to_string(n % 10), "SetJumpMarks"});
    v.push_back({"JumpToMark", " マークにジャンプ", "", ""});
    for (int n = 1; n <= kJumpMarkCount; ++n)
      v.push_back({"GoMark" + std::to_string(n), "ジャンプマーク" + number(n) + " に移動",
                   "Ctrl+F" + std::to_string(n), "JumpToMark"});
    v.push_back({"DelJumpMarks", " 全ジャンプマーク削除", "Ctrl+Del", ""});
    return v;
  }();
  return items;
}

bool HasBookmark(const TEditor& e) {
  return AnyRowHas(e, kBookmarkMask);
}
bool HasJumpMark(const TEditor& e) {
  return AnyRowHas(e, kJumpMask);
}
bool HasJumpMarkNumber(const TEditor& e, int n) {
  return n >= 1 && n <= kJumpMarkCount && e.FindRowMark(JumpRowMark(n)) >= 0;
}

int BookmarkAbove(const TEditor& e) {
  if (!(e.List().UsedRowMarks() & kBookmarkMask)) return -1;
  for (int r = std::min(e.Row(), e.ListCount()) - 1; r >= 0; --r)
    if (e.GetRowMarks(r) & kBookmarkMask) return r;
  return -1;
}

int BookmarkBelow(const TEditor& e) {
  if (!(e.List().UsedRowMarks() & kBookmarkMask)) return -1;
  for (int r = e.Row() + 1; r < e.ListCount(); ++r)
    if (e.GetRowMarks(r) & kBookmarkMask) return r;
  return -1;
}

TMarkMenuState MarkMenuState(const TEditor* e) {
  TMarkMenuState s;
  if (!e) return s;
  s.Available = true;
  const TRowMarks marks = e->GetRowMarks(e->Row());
  for (int n = 1; n <= kBookmarkCount; ++n)
    s.BookmarkChecked[size_t(n - 1)] = marks & Bit(BookmarkRowMark(n));
  for (int n = 1; n <= kJumpMarkCount; ++n) {
    s.JumpSetChecked[size_t(n - 1)] = marks & Bit(JumpRowMark(n));
    s.JumpGoEnabled[size_t(n - 1)] = HasJumpMarkNumber(*e, n);
  }
  const bool rowHasText = !cmd::CaretRowEmpty(*e);
  s.BookmarksEnabled = cmd::HasLines(*e) && rowHasText;
  s.SetJumpMenuEnabled = s.BookmarksEnabled;
  s.JumpSetItemsEnabled = rowHasText;
  s.PreviousEnabled = BookmarkAbove(*e) >= 0;
  s.NextEnabled = BookmarkBelow(*e) >= 0;
  s.DeleteBookmarksEnabled = HasBookmark(*e);
  s.JumpToMenuEnabled = HasJumpMark(*e);
  s.DeleteJumpMarksEnabled = s.JumpToMenuEnabled;
  return s;
}

void ToggleBookmark(const TDocumentViews& v, int n) {
  if (!v.Active || n < 1 || n > kBookmarkCount || cmd::CaretRowEmpty(*v.Active)) return;
  DropOthers(*v.Active, kBookmarkMask, BookmarkRowMark(n));
  ToggleMark(v, BookmarkRowMark(n));
}

void ToggleJumpMark(const TDocumentViews& v, int n) {
  if (!v.Active || n < 1 || n > kJumpMarkCount || cmd::CaretRowEmpty(*v.Active)) return;
  DropOthers(*v.Active, kJumpMask, JumpRowMark(n));
  ToggleMark(v, JumpRowMark(n));
}

void GoToJumpMark(TEditor* e, int n) {
  if (!e || n < 1 || n > kJumpMarkCount) return;
  const int row = e->FindRowMark(JumpRowMark(n));
  if (row >= 0) GoToRow(*e, row);
}

void PreviousBookmark(TEditor* e) {
  if (!e) return;
  if (int row = BookmarkAbove(*e); row >= 0) GoToRow(*e, row);
}

void NextBookmark(TEditor* e) {
  if (!e) return;
  if (int row = BookmarkBelow(*e); row >= 0) GoToRow(*e, row);
}

void DeleteAllBookmarks(const TDocumentViews& v) {
  DeleteAll(v, kBookmarkMask);
}
void DeleteAllJumpMarks(const TDocumentViews& v) {
  DeleteAll(v, kJumpMask);
}

void RowMarkCleanUp(const TDocumentViews& v) {
  if (!v.Active) return;
  TEditor& e = *v.Active;
  const int row = e.Row();
  const TRowMarks marks = e.GetRowMarks(row);
  if (marks & (kBookmarkMask | kJumpMask))
    e.SetRowMarks(row, static_cast<TRowMarks>(marks & ~(kBookmarkMask | kJumpMask)));
  UpdateMarkColumn(v);
}

void CleanUpEmptyCaretRow(const TDocumentViews& v) {
  if (v.Active && cmd::CaretRowEmpty(*v.Active)) RowMarkCleanUp(v);
}

void UpdateMarkColumn(const TDocumentViews& v) {
  if (!v.Active) return;
  const bool show = AnyMark(*v.Active);
  // Nothing to change for the common case of a document without marks
  // whose column is hidden already.
  if (!show && !v.Active->Imagebar()->Visible() && !(v.Other && v.Other->Imagebar()->Visible()))
    return;
  SetMarkColumn(*v.Active, show);
  SyncOther(v);
}

} // namespace ze
