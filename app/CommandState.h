#pragma once
// Whether each command is enabled and checked, computed in one place from
// a snapshot of the situation (the active editor, the pages, the bars).
// The window takes the snapshot and applies the result to its actions;
// tests feed snapshots directly.

#include <array>
#include <bitset>

#include "app/Commands.h"
#include "platform/Encoding.h"

namespace ze {

// The marks of the active document as the Mark menu needs them.
struct TMarkSnapshot {
  std::array<bool, 5> Bookmark{};  // the caret row has bookmark n + 1
  std::array<bool, 10> Jump{};     // the caret row has jump mark n + 1
  std::array<bool, 10> JumpUsed{}; // some row has jump mark n + 1
  bool AnyBookmark = false;
  bool BookmarkAbove = false; // a bookmark on a row above the caret row
  bool BookmarkBelow = false;
};

struct TCommandSnapshot {
  // An active editor exists (false while the window has no page).
  bool HasEditor = false;
  bool ReadOnly = false;
  bool Modified = false;
  bool HasLines = false; // the document has at least one line
  bool HasSelection = false;
  bool WordWrap = false;
  bool BoxMode = false;
  bool CanUndo = false;
  bool CanRedo = false;
  int CaretRow = 0;
  int CaretCol = 0;
  int CaretRowEndCol = 0; // the column where the caret row's text ends
  bool ClipboardHasText = false;
  int PageCount = 0;
  bool ActivePageSplit = false;
  // The active document has a file (it is not "Untitled"), and the
  // encoding and line break it is saved in.
  bool HasFile = false;
  TEncoding Encoding = TEncoding::Cp932;
  TLineBreak LineBreak = TLineBreak::CrLf;
  // The active editor's view features.
  bool LineNumbers = false;
  bool Ruler = false;
  bool LineCursor = false;
  // Visibility of the bars (indexed by TBarId).
  std::array<bool, kBarCount> BarVisible{};
  bool StatusBarVisible = false;
  // A print command runs (pages built, preview or page setup shown).
  bool PrintBusy = false;
  TMarkSnapshot Marks;
  // Commands whose handler this build has; the others stay disabled.
  std::bitset<kCommandCount> Available;
};

struct TCommandState {
  bool Enabled = false;
  bool Checked = false;
};

using TCommandStates = std::array<TCommandState, kCommandCount>;

TCommandStates ComputeCommandStates(const TCommandSnapshot& s);

} // namespace ze
