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

  // Starts parser on a row (its bytes before the terminating NUL, with
  // start state data) at the last saved point at or before pos, or at its
  // first byte, and returns where. From there NextToken gives exactly the
  // tokens and states it gives after NewData from the row's first byte.
  // The parser reads row until it is started again.
  size_t Start(TFountainParser& parser, const ByteString& row, const TRowAttributeData& data,
               size_t pos);
  // Call after each token of a parser started with Start: a point is
  // saved about every spacing bytes past the row's last one, so points
  // are taken by the scans a row needs anyway. Ignored for any other
  // parser and after a later Start.
  void Note(const TFountainParser& parser) {
    if (&parser == activeParser_) TakePoint(parser);
  }
  // Forgets every row and takes new sizes: rows shorter than minRowBytes
  // always start at their first byte; points are about spacing bytes apart.
  void Configure(size_t minRowBytes, size_t spacing);
  // Forgets every row.
  void Clear();
  // Points kept over all rows.
  size_t PointCount() const;

private:
  struct Point {
    TFountainParser::TResumePoint State;
    size_t Horizon = 0; // every byte before this was the same when taken
  };
  struct Slot {
    ByteString Row; // the row the points were taken on
    TRowAttributeData StartState;
    ByteString Key;
    std::vector<Point> Points;
    uint64_t Used = 0;
  };
  Slot& SlotFor(const ByteString& text, const TRowAttributeData& data, const ByteString& key);
  void TakePoint(const TFountainParser& parser);

  size_t minRowBytes_;
  size_t spacing_;
  int maxSlots_;
  std::vector<Slot> slots_;
  uint64_t clock_ = 0;
  // The row being scanned by the parser last started.
  Slot* active_ = nullptr;
  const TFountainParser* activeParser_ = nullptr;
  size_t mark_ = 0; // the next point is taken at the first token end from here
  size_t lookahead_ = 0;
  bool mail_ = false;
};

} // namespace ze
