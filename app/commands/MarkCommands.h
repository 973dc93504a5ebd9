#pragma once
// Bookmarks and jump marks: both are row marks of the text. Jump marks 1
// to 10 are row marks 0 to 9 (unique in a document), bookmarks 1 to 5 are
// row marks 10 to 14. The mark column is shown only while the document has
// a mark, and a split page's other view is kept in step.

#include <array>
#include <string>
#include <vector>

#include "app/commands/Views.h"

namespace ze {

inline constexpr int kBookmarkCount = 5;
inline constexpr int kJumpMarkCount = 10;
inline constexpr int kFirstBookmarkMark = 10;
// Width of the mark column's two image slots while the program shows it.
inline constexpr int kMarkColumnSlotWidth = 13;

constexpr int BookmarkRowMark(int n) {
  return kFirstBookmarkMark + n - 1;
} // n = 1..5
constexpr int JumpRowMark(int n) {
  return n - 1;
} // n = 1..10

// Queries on the document of an editor.
bool HasBookmark(const TEditor& e);
bool HasJumpMark(const TEditor& e);
bool HasJumpMarkNumber(const TEditor& e, int n);
// The nearest row above (below) the caret row with a bookmark, -1 if none.
int BookmarkAbove(const TEditor& e);
int BookmarkBelow(const TEditor& e);

// The Mark menu as the window builds it: item name, caption (UTF-8) and
// shortcut in Qt's key sequence text. Submenu entries carry the name of
// their submenu in Parent; a submenu has no shortcut.
struct TMarkMenuItem {
  std::string Name;
  std::string Caption;
  std::string ShortCut;
  std::string Parent; // empty: the Mark menu itself
};
inline constexpr const char* kMarkMenuName = "MarkItem";
inline constexpr const char* kMarkMenuCaption = "マーク(&M)";
const std::vector<TMarkMenuItem>& MarkMenuItems();

// The Mark menu's states, computed from the caret row when a menu opens.
struct TMarkMenuState {
  bool Available = false; // an active editor
  std::array<bool, kBookmarkCount> BookmarkChecked{};
  bool BookmarksEnabled = false; // the five bookmark items
  bool PreviousEnabled = false;
  bool NextEnabled = false;
  bool DeleteBookmarksEnabled = false;
  bool SetJumpMenuEnabled = false; // the "set" submenu
  bool JumpToMenuEnabled = false;  // the "go to" submenu
  bool DeleteJumpMarksEnabled = false;
  std::array<bool, kJumpMarkCount> JumpSetChecked{};
  bool JumpSetItemsEnabled = false;
  std::array<bool, kJumpMarkCount> JumpGoEnabled{};
};
TMarkMenuState MarkMenuState(const TEditor* e);

// Alt+1..5: bookmark n on the caret row on or off. Any other bookmark on
// the row is removed first, looked up from the row itself at the moment
// the command acts, so that one row never holds two bookmarks.
void ToggleBookmark(const TDocumentViews& v, int n);
// Ctrl+1..0: jump mark n (1..10) on the caret row on or off; the row's
// other jump marks go, and the mark leaves any other row.
void ToggleJumpMark(const TDocumentViews& v, int n);
// Ctrl+F1..F10: caret to the row with jump mark n, centred when out of view.
void GoToJumpMark(TEditor* e, int n);
// Alt+Up / Alt+Down.
void PreviousBookmark(TEditor* e);
void NextBookmark(TEditor* e);
// Alt+Delete / Ctrl+Delete.
void DeleteAllBookmarks(const TDocumentViews& v);
void DeleteAllJumpMarks(const TDocumentViews& v);

// Removes every bookmark and jump mark from the caret row and updates the
// mark column.
void RowMarkCleanUp(const TDocumentViews& v);
// The same, only when the caret row is empty: after a key press, and after
// Delete or Backspace is released.
void CleanUpEmptyCaretRow(const TDocumentViews& v);
// Shows the mark column (with the program's layout and images) exactly
// while the document has a mark; both views of a split page.
void UpdateMarkColumn(const TDocumentViews& v);

// The images: ten jump mark images showing 1 to 10, and five bookmark
// symbols. Built once; they live as long as the program.
const TEditor::TImageList& JumpMarkImages();
const TEditor::TImageList& BookmarkImages();

} // namespace ze
