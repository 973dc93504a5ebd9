#pragma once
// The option word of search and replace and the in/out position of one
// buffer search. The bit values are stored by the dialogs and passed between
// the main window and the editor, so they never change.

#include <cstdint>

namespace ze {

using TSearchOptions = uint16_t;

inline constexpr TSearchOptions soDown = 0x0001;      // forward; clear = backward
inline constexpr TSearchOptions soMatchCase = 0x0002; // clear = ignore case
inline constexpr TSearchOptions soWholeWord = 0x0004;
inline constexpr TSearchOptions soNoMatchZenkaku = 0x0008; // full width equals half width
inline constexpr TSearchOptions soReplace = 0x0010;        // replace dialog closed with OK
inline constexpr TSearchOptions soReplaceAll = 0x0020;
inline constexpr TSearchOptions soReplaceConfirm = 0x0040;
inline constexpr TSearchOptions soIncludeCRLF = 0x0080;  // skip CR, LF after the first match
inline constexpr TSearchOptions soIncludeSpace = 0x0100; // skip TAB, space, 0x8140 likewise

// Start: byte offset into the text; Length: byte length of the hit there.
struct TSearchInfo {
  int32_t Start = 0;
  int32_t Length = 0;
};

} // namespace ze
