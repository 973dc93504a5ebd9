#include "search/RowSearch.h"

#include <algorithm>
#include <string>
#include <vector>

#include "search/SearchBuffer.h"

namespace ze {
namespace {

// Consecutive rows [First, Last] as one buffer.
class RowWindow {
public:
  explicit RowWindow(const TRowAttributeStringList& rows) : rows_(rows), count_(rows.Count()) {}

  int32_t Count() const { return count_; }
  int32_t First() const { return first_; }
  int32_t Last() const { return last_; }

  // Bytes that row r occupies in a window: its text and its line break.
  int32_t RowBytes(int32_t r) const {
    return static_cast<int32_t>(rows_.Ref(r).size()) +
           (rows_.RowAttribute(r) == reLineBreak ? 2 : 0);
  }

  void Load(int32_t first, int32_t last) {
    first_ = first;
    last_ = last;
    buffer_.clear();
    starts_.clear();
    for (int32_t r = first; r <= last; ++r) {
      starts_.push_back(static_cast<int32_t>(buffer_.size()));
      const ByteString& text = rows_.Ref(r);
      buffer_.append(text.data(), text.size());
      if (rows_.RowAttribute(r) == reLineBreak) buffer_.append("\r\n", 2);
    }
    starts_.push_back(static_cast<int32_t>(buffer_.size()));
  }

  TSearchWindow View() const {
    return TSearchWindow{buffer_, first_ == 0, last_ == count_ - 1, ByteBefore()};
  }

  int32_t Offset(int32_t row) const { return starts_[size_t(row - first_)]; }

  // The row that holds byte `offset` of the window (of several rows that
  // start there, the last, since the others are empty).
  int32_t RowOf(int32_t offset) const {
    auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, offset);
    return first_ + static_cast<int32_t>(it - starts_.begin()) - 1;
  }

  TRowHit Hit(const TSearchInfo& info) const {
    int32_t row = RowOf(info.Start);
    return {row, info.Start - Offset(row), info.Length};
  }

  // Rows from `first` on, at least up to minLast and then until the window
  // holds `bytes` bytes or the text ends.
  int32_t LastFor(int32_t first, int32_t minLast, int64_t bytes) const {
    int32_t last = first;
    int64_t size = RowBytes(first);
    while (last + 1 < count_ && (last < minLast || size < bytes))
      size += RowBytes(++last);
    return last;
  }
  // Rows before `end` (exclusive), enough to hold `bytes` bytes.
  int32_t FirstFor(int32_t end, int64_t bytes) const {
    int32_t first = end;
    int64_t size = 0;
    while (first > 0 && (first == end || size < bytes))
      size += RowBytes(--first);
    return first;
  }

private:
  // The byte just before the window in the whole text; only whole-word
  // tests look at it.
  unsigned char ByteBefore() const {
    for (int32_t r = first_ - 1; r >= 0; --r) {
      if (rows_.RowAttribute(r) == reLineBreak) return '\n';
      const ByteString& text = rows_.Ref(r);
      if (!text.empty()) return text[text.size() - 1];
    }
    return 0;
  }

  const TRowAttributeStringList& rows_;
  int32_t count_;
  int32_t first_ = 0, last_ = -1;
  std::string buffer_;
  std::vector<int32_t> starts_; // offset of each row, then the buffer size
};

int64_t Grown(int64_t bytes) {
  return std::min<int64_t>(bytes * 2, INT32_MAX / 2);
}

std::optional<TRowHit> SearchForward(const TSearchPattern& pattern, RowWindow& win, int32_t row,
                                     int32_t pos, int32_t chunk) {
  int32_t first = row, minLast = row, from = pos;
  int64_t bytes = chunk;
  for (;;) {
    win.Load(first, win.LastFor(first, minLast, bytes));
    TScan scan = pattern.FindForward(win.View(), from);
    if (scan.Result == TScanResult::Found) return win.Hit(scan.Hit);
    if (scan.Result == TScanResult::NotFound) {
      if (win.Last() == win.Count() - 1) return std::nullopt;
      first = minLast = win.Last() + 1;
      from = 0;
      bytes = chunk;
      continue;
    }
    // A candidate at the window's end: start again from its row with more
    // rows after it (twice as many bytes when it is still the first row).
    int32_t r = win.RowOf(scan.Resume);
    bytes = r == first ? Grown(bytes) : chunk;
    from = scan.Resume - win.Offset(r);
    minLast = win.Last() + 1;
    first = r;
  }
}

std::optional<TRowHit> SearchBackward(const TSearchPattern& pattern, RowWindow& win, int32_t row,
                                      int32_t pos, int32_t chunk) {
  int64_t bytes = chunk;
  int32_t last = row;
  win.Load(win.FirstFor(row + 1, bytes), last);
  int32_t from;
  for (;;) {
    from = pattern.BackwardStart(win.View(), win.Offset(row) + pos);
    if (from != TSearchPattern::kNeedEarlier) break;
    bytes = Grown(bytes);
    win.Load(win.FirstFor(win.First(), bytes), last);
  }
  if (from < 0) return std::nullopt;

  int64_t more = chunk;
  for (;;) {
    TScan scan = pattern.FindBackward(win.View(), from);
    if (scan.Result == TScanResult::Found) return win.Hit(scan.Hit);
    if (scan.Result == TScanResult::NeedMore) {
      // The candidate's hit may run past the window: add rows after it.
      last = win.LastFor(win.First(), win.Last() + 1, int64_t(win.Offset(win.Last())) + more);
      more = Grown(more);
      win.Load(win.First(), last);
      from = scan.Resume;
      continue;
    }
    if (win.First() == 0) return std::nullopt;
    // The rows before the window, with its first row kept as lookahead;
    // the candidates go on just before that row.
    int32_t keep = win.First();
    win.Load(win.FirstFor(keep, chunk), keep);
    from = win.Offset(keep) - 1;
    more = chunk;
  }
}

} // namespace

std::optional<TRowHit> SearchRows(const TRowAttributeStringList& rows, int32_t row, int32_t pos,
                                  std::string_view pattern, TSearchOptions options,
                                  int32_t chunkBytes) {
  const int32_t count = rows.Count();
  if (count == 0 || pattern.empty()) return std::nullopt;
  TSearchPattern prepared(pattern, options);
  if (prepared.Empty()) return std::nullopt;
  RowWindow win(rows);
  int32_t chunk = std::max<int32_t>(chunkBytes, 1);
  if (row < 0) row = 0, pos = 0;
  if (row >= count) {
    row = count - 1;
    pos = win.RowBytes(row);
  }
  pos = std::clamp<int32_t>(pos, 0, win.RowBytes(row));
  if (options & soDown) {
    if (row == count - 1 && pos == win.RowBytes(row)) return std::nullopt;
    return SearchForward(prepared, win, row, pos, chunk);
  }
  return SearchBackward(prepared, win, row, pos, chunk);
}

} // namespace ze
