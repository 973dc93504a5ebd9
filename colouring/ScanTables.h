#pragma once
// Byte classes of the tokenizers: one table lookup per byte instead of a
// chain of range comparisons.

#include <array>
#include <cstdint>

namespace ze::scan {

// Blanks (0x01-0x08, 0x0A-0x20) and word characters (0-9 A-Z _ a-z) are
// tested by arithmetic in the tokenizer's hottest loops instead.
enum : uint8_t {
  kDigit = 0x01,     // 0-9
  kHexDigit = 0x04,  // 0-9 A-F a-f
  kUrl = 0x08,       // characters a URL runs over after its prefix
  kMail = 0x10,      // characters of a mail address
  kKanjiLead = 0x40, // 0x88-0x9F and 0xE0-0xFC
  kKana = 0x80,      // half-width katakana 0xA6-0xDF
};

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> t{};
  auto add = [&t](unsigned lo, unsigned hi, uint8_t bit) {
    for (unsigned c = lo; c <= hi; ++c)
      t[c] |= bit;
  };
  add('0', '9', kDigit | kHexDigit | kUrl | kMail);
  add('A', 'Z', kUrl | kMail);
  add('a', 'z', kUrl | kMail);
  add('A', 'F', kHexDigit);
  add('a', 'f', kHexDigit);
  add('_', '_', kUrl | kMail);
  for (char c : {'#', '%', '&', '+', '-', '.', '/', ':', '=', '?', '~'})
    add(uint8_t(c), uint8_t(c), kUrl);
  for (char c : {'!', '$', '%', '&', '*', ',', '-', '.', '/', ';', '=', '?', '@', '^', '~'})
    add(uint8_t(c), uint8_t(c), kMail);
  add(0x88, 0x9F, kKanjiLead);
  add(0xE0, 0xFC, kKanjiLead);
  add(0xA6, 0xDF, kKana);
  return t;
}

inline constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool Is(unsigned char c, uint8_t cls) noexcept {
  return (kClasses[c] & cls) != 0;
}

// Double-byte characters with lead 0x81, 0x82 or 0x83 by the runs they
// belong to: full-width digits (with the full-width comma and full stop),
// Latin letters, hiragana and katakana (both with the prolonged sound mark
// and the full-width minus), and single symbols.
enum : uint8_t {
  kRunDigit = 1,
  kRunAlpha = 2,
  kRunHiragana = 4,
  kRunKatakana = 8,
  kRunSymbol = 16
};

// The characters of each full-width run, two bytes each: two ranges of
// trail bytes, each after one lead byte, and two more characters. Unused
// slots repeat a used one. The run class table below and the block
// scanners of the tokenizer are both made from these.
struct DbRunBytes {
  uint8_t run; // the run class
  uint8_t lead1, lo1, hi1;
  uint8_t lead2, lo2, hi2;
  uint16_t char1, char2; // lead byte in the low half
};

// In the order of the run class bits.
inline constexpr DbRunBytes kDbRuns[4] = {
    {kRunDigit, 0x82, 0x4F, 0x58, 0x82, 0x4F, 0x58, 0x4381, 0x4481},
    {kRunAlpha, 0x82, 0x60, 0x79, 0x82, 0x81, 0x9A, 0x6082, 0x6082},
    {kRunHiragana, 0x82, 0x9F, 0xF1, 0x82, 0x9F, 0xF1, 0x5B81, 0x7C81},
    {kRunKatakana, 0x83, 0x40, 0x96, 0x83, 0x40, 0x96, 0x5B81, 0x7C81}};

constexpr std::array<std::array<uint8_t, 256>, 3> MakeRunClasses() {
  std::array<std::array<uint8_t, 256>, 3> t{};
  auto add = [&t](unsigned lead, unsigned lo, unsigned hi, uint8_t bit) {
    for (unsigned c = lo; c <= hi; ++c)
      t[lead - 0x81][c] |= bit;
  };
  for (const DbRunBytes& r : kDbRuns) {
    add(r.lead1, r.lo1, r.hi1, r.run);
    add(r.lead2, r.lo2, r.hi2, r.run);
    add(r.char1 & 0xFFu, r.char1 >> 8, r.char1 >> 8, r.run);
    add(r.char2 & 0xFFu, r.char2 >> 8, r.char2 >> 8, r.run);
  }
  add(0x82, 0x40, 0x4E, kRunSymbol);
  add(0x82, 0x59, 0x5F, kRunSymbol);
  add(0x82, 0x7A, 0x80, kRunSymbol);
  add(0x82, 0x9B, 0x9E, kRunSymbol);
  add(0x82, 0xF2, 0xFF, kRunSymbol);
  add(0x83, 0x97, 0xF0, kRunSymbol);
  return t;
}

inline constexpr std::array<std::array<uint8_t, 256>, 3> kRunClasses = MakeRunClasses();

// The run classes of the character at q; 0 for any other lead byte. The
// trail is read only after a lead byte, so never past the NUL.
inline uint8_t RunClass(const unsigned char* q) noexcept {
  const unsigned i = q[0] - 0x81u;
  return i < 3 ? kRunClasses[i][q[1]] : 0;
}

} // namespace ze::scan
