#pragma once
// Byte classes of the tokenizers: one table lookup per byte instead of a
// chain of range comparisons.

#include <array>
#include <cstdint>

namespace ze::scan {

enum : uint8_t {
  kDigit = 0x01,   // 0-9
  kWord = 0x02,    // 0-9 A-Z _ a-z
  kHexDigit = 0x04, // 0-9 A-F a-f
  kUrl = 0x08,     // characters a URL runs over after its prefix
  kMail = 0x10,    // characters of a mail address
  kBlank = 0x20,   // 0x01-0x08 and 0x0A-0x20: skipped between tokens
};

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> t{};
  auto add = [&t](unsigned lo, unsigned hi, uint8_t bit) {
    for (unsigned c = lo; c <= hi; ++c) t[c] |= bit;
  };
  add('0', '9', kDigit | kWord | kHexDigit | kUrl | kMail);
  add('A', 'Z', kWord | kUrl | kMail);
  add('a', 'z', kWord | kUrl | kMail);
  add('A', 'F', kHexDigit);
  add('a', 'f', kHexDigit);
  add('_', '_', kWord | kUrl | kMail);
  for (char c : {'#', '%', '&', '+', '-', '.', '/', ':', '=', '?', '~'}) add(uint8_t(c), uint8_t(c), kUrl);
  for (char c : {'!', '$', '%', '&', '*', ',', '-', '.', '/', ';', '=', '?', '@', '^', '~'})
    add(uint8_t(c), uint8_t(c), kMail);
  add(0x01, 0x08, kBlank);
  add(0x0A, 0x20, kBlank);
  return t;
}

inline constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool Is(unsigned char c, uint8_t cls) noexcept { return (kClasses[c] & cls) != 0; }

} // namespace ze::scan
