#pragma once
// Searching the editor's screen rows. The rows are read a few kilobytes at
// a time into one buffer, each row followed by CR LF when it ends a line
// (reLineBreak) and by nothing when word wrap cut it (reWrapped) or it ends
// the text, so that a hit can span rows, line breaks included. The whole
// text is never built. A hit is found exactly as SearchBuffer would find it
// in the whole text: a window is widened whenever a candidate near its edge
// needs bytes beyond it, so hits that span windows are never lost.

#include <cstdint>
#include <optional>
#include <string_view>

#include "search/SearchOptions.h"
#include "text/LineStore.h"

namespace ze {

// The usual amount of text searched at a time.
inline constexpr int32_t kSearchChunkBytes = 8191;

// A hit: its first byte as a row and a byte position in that row (a hit
// that starts at a line break has Pos = the row's length or one more), and
// its length in bytes of the text, two for each CR LF it spans.
struct TRowHit {
  int32_t Row = 0;
  int32_t Pos = 0;
  int32_t Length = 0;
  friend bool operator==(const TRowHit&, const TRowHit&) = default;
};

// Searches rows from (row, pos) with SearchBuffer's rules. Forward
// (soDown): the first hit that starts at or after that position; the
// caller passes the position just after a previous hit to find the next
// one. Backward: the last hit that starts the pattern's length before that
// position or earlier. row may be rows.Count() (the end of the text); pos
// is clamped to the row's length plus its line break. Nothing is found in
// an empty list or with an empty pattern. chunkBytes is for tests.
std::optional<TRowHit> SearchRows(const TRowAttributeStringList& rows, int32_t row, int32_t pos,
                                  std::string_view pattern, TSearchOptions options,
                                  int32_t chunkBytes = kSearchChunkBytes);

} // namespace ze
