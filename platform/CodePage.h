#pragma once
// Code page 932 (Shift-JIS as Windows defines it): the lead-byte table,
// single-byte upper-casing and conversion to and from Unicode.
//
// Document text stays CP932 bytes everywhere below the Qt adapter; these
// conversions are for the edges only (painting, clipboard, IME, dialogs).

#include <cstdint>
#include <string>
#include <string_view>

namespace ze {

// Lead bytes of CP932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// The system's upper-casing of single bytes: ASCII letters only, so a
// half-width katakana or any byte above 0x7F is left alone.
constexpr unsigned char UpperByte(unsigned char b) {
  return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - 0x20) : b;
}
constexpr unsigned char LowerByte(unsigned char b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 0x20) : b;
}

// Characters CP932 cannot hold become this byte when converting to CP932.
inline constexpr char kCp932Replacement = '?';
// Byte sequences that are not valid CP932 become U+FFFD, one per byte.
inline constexpr char16_t kUnicodeReplacement = 0xFFFD;

std::u16string Cp932ToUtf16(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);
std::string Utf16ToCp932(std::u16string_view text);
std::string Utf8ToCp932(std::string_view text);

// Byte length of the character that starts at bytes[i]: 2 for a lead byte
// followed by another byte, else 1. A lone lead byte at the end counts 1.
inline int CharLengthAt(std::string_view bytes, size_t i) {
  return (IsLeadByte(bytes[i]) && i + 1 < bytes.size()) ? 2 : 1;
}

} // namespace ze
