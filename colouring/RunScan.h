#pragma once
// The ends of the tokenizer's runs: words, kanji, half-width kana, runs of
// one kind of full-width character, the rest of a line, and strings and
// bracketed spans; and whether a row holds a byte at all.
//
// A run's length is as random as the text, so a byte-by-byte loop pays a
// mispredicted exit for nearly every token. Where sixteen bytes can be
// read, the bytes are classified together and the end is found from a bit
// mask instead; the byte loop only finishes the last few bytes of a row.
//
// Each function takes the first byte of a run and `end`, the row's
// terminating NUL, and returns the first byte after the run. Nothing at or
// after `end` belongs to a run, and nothing past `end` is read.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "colouring/ScanTables.h"
#include "platform/CodePage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ze::scan {

// Byte loops: the definitions, and what finishes a row.

inline bool IsWordByte(unsigned c) noexcept {
  return (c | 0x20u) - 'a' < 26u || c - '0' < 10u || c == '_';
}

inline const unsigned char* WordEndBytes(const unsigned char* q) noexcept {
  while (IsWordByte(*q))
    ++q;
  return q;
}

// Kanji are stepped two bytes at a time; a lead byte whose trail cannot be
// one (0x3F or below, the NUL among them) ends the run after the lead.
inline const unsigned char* KanjiEndBytes(const unsigned char* q) noexcept {
  while (Is(*q, kKanjiLead)) {
    ++q;
    if (*q > 0x3F) ++q;
  }
  return q;
}

inline const unsigned char* KanaEndBytes(const unsigned char* q) noexcept {
  while (Is(*q, kKana))
    ++q;
  return q;
}

// run is one of kRunDigit, kRunAlpha, kRunHiragana, kRunKatakana.
inline const unsigned char* DbRunEndBytes(const unsigned char* q, uint8_t run) noexcept {
  while (RunClass(q) & run)
    q += 2;
  return q;
}

inline const unsigned char* LineEndBytes(const unsigned char* q) noexcept {
  while (*q != 0 && *q != '\r' && *q != '\n')
    ++q;
  return q;
}

// From q, a character start, stepping over double-byte characters (a lead
// byte takes the next byte with it unless that is the NUL): the first
// character start holding NUL, CR, LF or stop. The scans of strings and
// bracketed spans stop only there.
inline const unsigned char* CharStopBytes(const unsigned char* q, unsigned char stop) noexcept {
  for (unsigned c = *q; c != 0 && c != '\r' && c != '\n' && c != stop; c = *q)
    q += (IsLeadByte(static_cast<unsigned char>(c)) && q[1] != 0) ? 2 : 1;
  return q;
}

// True when the byte before k is a lead byte at a character start, so that
// k is its trail; start is a character start at or before k. Lead bytes
// pair up from the first one after a byte that cannot be a lead.
inline bool FollowsLeadByte(const unsigned char* start, const unsigned char* k) noexcept {
  const unsigned char* p = k;
  while (p > start && IsLeadByte(p[-1]))
    --p;
  return ((k - p) & 1) != 0;
}

// True when c is one of the bytes from q to before end (a NUL among them
// does not end the search).
inline bool HasByteBytes(const unsigned char* q, const unsigned char* end,
                         unsigned char c) noexcept {
  for (; q < end; ++q)
    if (*q == c) return true;
  return false;
}

#if defined(__SSE2__)

namespace simd {

// A full-width run's bytes as the comparisons below take them, sixteen
// copies of each, ready to load.
struct DbRunVectors {
  alignas(16) uint8_t lead1[16];
  alignas(16) uint8_t shift1[16];
  alignas(16) uint8_t bound1[16];
  alignas(16) uint8_t lead2[16];
  alignas(16) uint8_t shift2[16];
  alignas(16) uint8_t bound2[16];
  alignas(16) uint16_t char1[8];
  alignas(16) uint16_t char2[8];
};

// See InRange for shift and bound.
constexpr DbRunVectors MakeDbRunVectors(const DbRunBytes& r) {
  DbRunVectors v{};
  for (int i = 0; i < 16; ++i) {
    v.lead1[i] = r.lead1;
    v.shift1[i] = static_cast<uint8_t>(r.lo1 + 0x80);
    v.bound1[i] = static_cast<uint8_t>(r.hi1 - r.lo1 + 1 - 0x80);
    v.lead2[i] = r.lead2;
    v.shift2[i] = static_cast<uint8_t>(r.lo2 + 0x80);
    v.bound2[i] = static_cast<uint8_t>(r.hi2 - r.lo2 + 1 - 0x80);
  }
  for (int i = 0; i < 8; ++i) {
    v.char1[i] = r.char1;
    v.char2[i] = r.char2;
  }
  return v;
}

inline constexpr DbRunVectors kDbRunVectors[4] = {
    MakeDbRunVectors(kDbRuns[0]), MakeDbRunVectors(kDbRuns[1]), MakeDbRunVectors(kDbRuns[2]),
    MakeDbRunVectors(kDbRuns[3])};

// Lanes of x from lo to hi (unsigned), as 0xFF.
inline __m128i InRange(__m128i x, unsigned lo, unsigned hi) noexcept {
  // Shifting the range to start at -128 turns the unsigned test into one
  // signed comparison.
  const __m128i shifted = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(lo + 0x80)));
  return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(hi - lo + 1 - 0x80)));
}

inline __m128i Load(const unsigned char* q) noexcept {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

template <class T> __m128i LoadAligned(const T* v) noexcept {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(v));
}

// Lanes of x within the range given by a shift and a bound (see InRange).
inline __m128i InShiftedRange(__m128i x, __m128i shift, __m128i bound) noexcept {
  return _mm_cmplt_epi8(_mm_sub_epi8(x, shift), bound);
}

inline unsigned Mask(__m128i x) noexcept {
  return static_cast<unsigned>(_mm_movemask_epi8(x));
}

} // namespace simd

inline const unsigned char* WordEnd(const unsigned char* q, const unsigned char* end) noexcept {
  using namespace simd;
  for (; end - q >= 15; q += 16) {
    const __m128i x = Load(q);
    const __m128i word = _mm_or_si128(
        _mm_or_si128(InRange(_mm_or_si128(x, _mm_set1_epi8(0x20)), 'a', 'z'), InRange(x, '0', '9')),
        _mm_cmpeq_epi8(x, _mm_set1_epi8('_')));
    if (const unsigned stop = ~Mask(word) & 0xFFFFu) return q + std::countr_zero(stop);
  }
  return WordEndBytes(q);
}

inline const unsigned char* KanjiEnd(const unsigned char* q, const unsigned char* end) noexcept {
  using namespace simd;
  for (; end - q >= 15; q += 16) {
    const __m128i x = Load(q);
    const unsigned lead = Mask(_mm_or_si128(InRange(x, 0x88, 0x9F), InRange(x, 0xE0, 0xFC)));
    const unsigned trail = Mask(InRange(x, 0x40, 0xFF));
    // Characters start at the even bytes.
    if (const unsigned stop = ~(lead & (trail >> 1)) & 0x5555u) {
      const int i = std::countr_zero(stop);
      return q + i + ((lead >> i) & 1u); // a kanji lead byte alone ends after itself
    }
  }
  return KanjiEndBytes(q);
}

inline const unsigned char* KanaEnd(const unsigned char* q, const unsigned char* end) noexcept {
  using namespace simd;
  for (; end - q >= 15; q += 16) {
    if (const unsigned stop = ~Mask(InRange(Load(q), 0xA6, 0xDF)) & 0xFFFFu)
      return q + std::countr_zero(stop);
  }
  return KanaEndBytes(q);
}

// run is an index into kDbRuns.
inline const unsigned char* DbRunEnd(const unsigned char* q, const unsigned char* end,
                                     unsigned run) noexcept {
  using namespace simd;
  const DbRunVectors& r = kDbRunVectors[run];
  for (; end - q >= 15; q += 16) {
    const __m128i x = Load(q);
    // In each 16-bit lane the lead byte is the low half: each trail test is
    // moved onto its lead byte.
    const __m128i first = _mm_and_si128(
        _mm_cmpeq_epi8(x, LoadAligned(r.lead1)),
        _mm_srli_epi16(InShiftedRange(x, LoadAligned(r.shift1), LoadAligned(r.bound1)), 8));
    const __m128i second = _mm_and_si128(
        _mm_cmpeq_epi8(x, LoadAligned(r.lead2)),
        _mm_srli_epi16(InShiftedRange(x, LoadAligned(r.shift2), LoadAligned(r.bound2)), 8));
    const __m128i single = _mm_or_si128(_mm_cmpeq_epi16(x, LoadAligned(r.char1)),
                                        _mm_cmpeq_epi16(x, LoadAligned(r.char2)));
    const unsigned in = Mask(_mm_or_si128(_mm_or_si128(first, second), single));
    if (const unsigned stop = ~in & 0x5555u) return q + std::countr_zero(stop);
  }
  return DbRunEndBytes(q, kDbRuns[run].run);
}

inline const unsigned char* LineEnd(const unsigned char* q, const unsigned char* end) noexcept {
  using namespace simd;
  auto stops = [](const unsigned char* p) {
    const __m128i x = Load(p);
    return _mm_or_si128(_mm_cmpeq_epi8(x, _mm_setzero_si128()),
                        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\r')),
                                     _mm_cmpeq_epi8(x, _mm_set1_epi8('\n'))));
  };
  // A comment can run for megabytes: 64 bytes a step, and the block with
  // the stop is found below.
  for (; end - q >= 64; q += 64) {
    const __m128i any = _mm_or_si128(_mm_or_si128(stops(q), stops(q + 16)),
                                     _mm_or_si128(stops(q + 32), stops(q + 48)));
    if (Mask(any)) break;
  }
  for (; end - q >= 15; q += 16)
    if (const unsigned bits = Mask(stops(q))) return q + std::countr_zero(bits);
  return LineEndBytes(q);
}

// Only candidates (the four stop bytes) are looked at one by one; whether
// a candidate is a trail byte is read from the lead bytes before it.
inline const unsigned char* CharStop(const unsigned char* q, const unsigned char* end,
                                     unsigned char stop) noexcept {
  using namespace simd;
  const unsigned char* start = q; // the last known character start
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(stop));
  while (end - q >= 15) {
    const __m128i x = Load(q);
    const unsigned hits = Mask(_mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_setzero_si128()), _mm_cmpeq_epi8(x, wanted)),
        _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\r')),
                     _mm_cmpeq_epi8(x, _mm_set1_epi8('\n')))));
    if (hits == 0) {
      q += 16;
      continue;
    }
    const unsigned char* k = q + std::countr_zero(hits);
    // A lead byte before the NUL stands alone.
    if (*k == 0 || !FollowsLeadByte(start, k)) return k;
    start = q = k + 1; // a trail byte: the next character starts after it
  }
  // The byte loop finishes from a character start.
  if (q > start && FollowsLeadByte(start, q)) --q;
  return CharStopBytes(q, stop);
}

// Asked once for every row, of rows of any length: up to 64 bytes are
// covered by four overlapping blocks without a loop, shorter rows by two
// overlapping words.
inline bool HasByte(const unsigned char* q, const unsigned char* end, unsigned char c) noexcept {
  using namespace simd;
  const ptrdiff_t n = end - q;
  if (n >= 16) {
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(c));
    for (; end - q > 64; q += 64) {
      const __m128i hit = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(Load(q), wanted), _mm_cmpeq_epi8(Load(q + 16), wanted)),
          _mm_or_si128(_mm_cmpeq_epi8(Load(q + 32), wanted), _mm_cmpeq_epi8(Load(q + 48), wanted)));
      if (Mask(hit)) return true;
    }
    // At most 64 bytes are left, and at least 16 can be read back from end.
    const unsigned char* last = end - 16;
    q = std::min(q, last);
    const __m128i hit =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(Load(q), wanted),
                                  _mm_cmpeq_epi8(Load(std::min(q + 16, last)), wanted)),
                     _mm_or_si128(_mm_cmpeq_epi8(Load(std::min(q + 32, last)), wanted),
                                  _mm_cmpeq_epi8(Load(last), wanted)));
    return Mask(hit) != 0;
  }
  if (n >= 4) {
    // Two words, overlapping, of 8 bytes or of 4.
    const int w = n >= 8 ? 8 : 4;
    uint64_t a = 0, b = 0;
    std::memcpy(&a, q, static_cast<size_t>(w));
    std::memcpy(&b, end - w, static_cast<size_t>(w));
    const uint64_t ones = 0x0101010101010101u >> (64 - 8 * w);
    const uint64_t highs = ones << 7;
    const uint64_t x = a ^ (ones * c), y = b ^ (ones * c);
    // A byte of x or y is zero where c is.
    return (((x - ones) & ~x) | ((y - ones) & ~y)) & highs;
  }
  return HasByteBytes(q, end, c);
}

#else

inline const unsigned char* WordEnd(const unsigned char* q, const unsigned char*) noexcept {
  return WordEndBytes(q);
}
inline const unsigned char* KanjiEnd(const unsigned char* q, const unsigned char*) noexcept {
  return KanjiEndBytes(q);
}
inline const unsigned char* KanaEnd(const unsigned char* q, const unsigned char*) noexcept {
  return KanaEndBytes(q);
}
inline const unsigned char* DbRunEnd(const unsigned char* q, const unsigned char*,
                                     uint8_t run) noexcept {
  return DbRunEndBytes(q, r.run);
}
inline const unsigned char* LineEnd(const unsigned char* q, const unsigned char*) noexcept {
  return LineEndBytes(q);
}
inline bool HasByte(const unsigned char* q, const unsigned char* end, unsigned char c) noexcept {
  return HasByteBytes(q, end, c);
}
inline const unsigned char* CharStop(const unsigned char* q, const unsigned char*,
                                     unsigned char stop) noexcept {
  return CharStopBytes(q, stop);
}

#endif

} // namespace ze::scan
