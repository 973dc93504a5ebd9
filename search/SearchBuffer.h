#pragma once
// Finding a pattern in Shift-JIS text with the options of TSearchOptions:
// match case or not, whole words, full-width and half-width forms as equal
// (a half-width kana and its voiced mark counting as one character), and
// CR, LF and blanks skipped after the first matched character.
//
// A hit always starts and ends on a character boundary of the text.
//
// SearchBuffer searches one whole text. TSearchPattern does the same work
// on a window of a longer text (the row search feeds it a few kilobytes of
// rows at a time): whatever it cannot decide without bytes outside the
// window it reports as TScanResult::NeedMore instead of guessing, so the
// caller can widen the window and no hit is ever lost at its edges.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/SearchOptions.h"

namespace ze {

// Finds pattern in text. Forward (soDown) the first hit at or after
// info.Start + info.Length; backward the last hit that starts a whole
// pattern's length (or, with soNoMatchZenkaku, its number of characters)
// before info.Start. On success info holds the hit's offset and byte
// length; on failure info is unspecified. False for an empty pattern or
// text, or a start outside the text.
bool SearchBuffer(std::string_view text, TSearchInfo& info, std::string_view pattern,
                  TSearchOptions options);

// Part of a longer text. Offset 0 of Text must be a character boundary.
struct TSearchWindow {
  std::string_view Text;
  bool AtTextStart = true;  // Text[0] is the first byte of the whole text
  bool AtTextEnd = true;    // nothing follows Text
  unsigned char Before = 0; // the byte before Text[0] when !AtTextStart
};

enum class TScanResult {
  Found,    // Hit holds the hit
  NotFound, // no candidate of the window is a hit
  NeedMore, // Resume is a candidate that needs bytes outside the window
};

struct TScan {
  TScanResult Result = TScanResult::NotFound;
  TSearchInfo Hit;
  int32_t Resume = 0;
};

class TSearchPattern {
public:
  // Prepares the pattern: upper-cased without soMatchCase, converted to
  // full width with soNoMatchZenkaku.
  TSearchPattern(std::string_view pattern, TSearchOptions options);

  bool Empty() const noexcept { return codes_.empty(); }
  TSearchOptions Options() const noexcept { return options_; }
  // The prepared pattern's byte length and number of characters.
  int32_t ByteLength() const noexcept { return byteLength_; }
  int32_t CharCount() const noexcept { return static_cast<int32_t>(codes_.size()); }

  // Forward scan of the candidates from `from` to the end of the window.
  // NeedMore: every candidate before Resume failed, and the one at Resume
  // needs bytes after the window.
  TScan FindForward(const TSearchWindow& w, int32_t from) const;
  // Backward scan of the candidates from `from` down to offset 0.
  // NeedMore: every candidate after Resume failed, and the one at Resume
  // needs bytes after the window.
  TScan FindBackward(const TSearchWindow& w, int32_t from) const;
  // The first candidate of a backward search that must end by `start`:
  // the pattern's length in bytes before it, or with soNoMatchZenkaku its
  // number of characters (a kana and its mark being one). -1 when there
  // is none; kNeedEarlier when that cannot be told without earlier bytes.
  static constexpr int32_t kNeedEarlier = -2;
  int32_t BackwardStart(const TSearchWindow& w, int32_t start) const;

  // Tries a match at q, which must be a character boundary. Returns the
  // hit's byte length, 0 for no match, -1 when bytes after the window are
  // needed to tell. Whole-word tests are not applied here.
  int32_t MatchAt(const TSearchWindow& w, int32_t q) const;

private:
  enum Mode { kExact, kIgnoreCase, kZenkaku, kZenkakuIgnoreCase };
  bool CodesEqual(uint16_t text, uint16_t pattern) const;
  bool CanStartWith(unsigned char b) const;
  // Whole-word tests; -1 when bytes outside the window are needed.
  int WordStartAt(const TSearchWindow& w, int32_t q) const;
  int WordEndAt(const TSearchWindow& w, int32_t end) const;
  // Checks a candidate fully: boundary, word start, match, word end.
  // Returns the hit length, 0 for none, -1 for NeedMore.
  int32_t Candidate(const TSearchWindow& w, int32_t q) const;

  TSearchOptions options_;
  Mode mode_;
  std::vector<uint16_t> codes_;
  std::string bytes_; // the prepared pattern
  int32_t byteLength_ = 0;
  // Bytes that a text character equal to the first pattern character can
  // start with (for the backward scan).
  bool first_[256] = {};
  std::vector<unsigned char> firstList_;
  // The same as text characters: single bytes and double-byte codes. The
  // forward scan tests 16 positions at a time against them when they are
  // few, as they always are.
  std::vector<unsigned char> firstSingles_;
  std::vector<uint16_t> firstDoubles_;
  int32_t NextCandidate(std::string_view s, int32_t from) const;
  // The prepared pattern can be found by plain byte comparison.
  bool exactBytes_ = false;
};

// True when position q of s is a character boundary, counting from s[0]
// (a lead byte always takes the byte after it).
bool IsCharBoundary(std::string_view s, int32_t q);

} // namespace ze
