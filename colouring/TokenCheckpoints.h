#pragma once
// Saved tokenizer states along long rows, so that painting the far end of
// a row, or finding a long row's end state after an edit near its end,
// scans from a nearby point instead of from the row's first byte.
//
// A point is kept with the row bytes it was taken on and is used again
// only while every byte its tokens could have read is unchanged: each
// point knows that horizon (its position plus the parser's look-ahead, or
// further when a run of mail characters crosses it). An edit therefore
// drops exactly the points whose horizon it reaches. Short rows, and
// parsers that cannot resume, are started at their first byte as before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "colouring/FountainParser.h"

namespace ze {

class TTokenCheckpoints {
public:
  static constexpr size_t kMinRowBytes = 128 * 1024;
  static constexpr size_t kSpacing = 64 * 1024;
  static constexpr int kSlots = 4;

  explicit TTokenCheckpoints(size_t minRowBytes = kMinRowBytes, size_t spacing = kSpacing,
                             int slots = kSlots);

  // Starts parser on a row (length bytes before its terminating NUL, with
  // start state data) at a token boundary at or before pos and returns
  // that boundary. From there NextToken gives exactly the tokens and
  // states it gives after NewData from the row's first byte.
  // A copy of the row's bytes is kept to find what a later version of the
  // row changed.
  size_t Start(TFountainParser& parser, const ByteString& text, const TRowAttributeData& data,
               size_t pos);
  // Forgets every row and takes new sizes: rows shorter than minRowBytes
  // always start at their first byte; points are about spacing bytes apart.
  void Configure(size_t minRowBytes, size_t spacing);
  // Forgets every row.
  void Clear() { slots_.clear(); }
  // Points kept over all rows.
  size_t PointCount() const;

private:
  struct Point {
    TFountainParser::TResumePoint State;
    size_t Horizon = 0; // every byte before this was the same when taken
  };
  struct Slot {
    std::string Text;
    TRowAttributeData StartState;
    ByteString Key;
    std::vector<Point> Points;
    uint64_t Used = 0;
  };
  Slot& SlotFor(const ByteString& text, const TRowAttributeData& data, const ByteString& key);
  // Takes points up to pos on a parser just started on the row; true
  // when it moved the parser.
  bool Extend(Slot& slot, TFountainParser& parser, const TFountainParser::TResumeInfo& info,
              const char* text, size_t length, size_t pos);

  size_t minRowBytes_;
  size_t spacing_;
  int maxSlots_;
  std::vector<Slot> slots_;
  uint64_t clock_ = 0;
};

} // namespace ze
