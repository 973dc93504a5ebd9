#pragma once
// The fixed tables of the search engine: single-byte upper-casing,
// full-width forms of half-width characters, the half-width kana that take
// a voiced mark, case folding of double-byte letters and the bytes that end
// a word. All are built at compile time and never change.
//
// A character is handled as a 16-bit code: a double-byte character as
// (lead << 8) | trail, which is always 0x8140 or more, and a single byte as
// its own value (below 0x100).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace ze {

namespace detail {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b)
    t[b] = UpperByte(static_cast<unsigned char>(b));
  return t;
}

// JIS X 0208 row 0x25 (katakana), column c, as Shift-JIS.
constexpr uint16_t KatakanaJisToSjis(int c) {
  return static_cast<uint16_t>(0x8300 | (c + 0x1F + (c >= 0x60 ? 1 : 0)));
}

constexpr std::array<uint16_t, 256> MakeFullWidthTable() {
  std::array<uint16_t, 256> t{};
  for (int b = 0; b < 256; ++b)
    t[b] = static_cast<uint16_t>(b);
  // 0x20 ... 0x7E
  constexpr uint16_t ascii[95] = {
      0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, // sp ! " # $ % & '
      0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E, // ( ) * + , - . /
      0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256, // 0-7
      0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, // 8 9 : ; < = > ?
      0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266, // @ A-G
      0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E, // H-O
      0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, // P-W
      0x8277, 0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151, // X Y Z [ \ ] ^ _
      0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287, // ` a-g
      0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, // h-o
      0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297, // p-w
      0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,         // x y z { | } ~
  };
  for (int b = 0x20; b <= 0x7E; ++b)
    t[b] = ascii[b - 0x20];
  // 0xA1 ... 0xDF: half-width punctuation and katakana (JIS X 0201).
  constexpr uint16_t kana[63] = {
      0x8142, 0x8175, 0x8176, 0x8141, 0x8144, 0x8392, 0x8340,         // A1-A7
      0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, // A8-AF
      0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, // B0-B7
      0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, // B8-BF
      0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, // C0-C7
      0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, // C8-CF
      0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, // D0-D7
      0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B, // D8-DF
  };
  for (int b = 0xA1; b <= 0xDF; ++b)
    t[b] = kana[b - 0xA1];
  return t;
}

struct VoicedKana {
  bool CanVoice = false; // takes the voiced mark 0xDE
  uint8_t JisLow = 0;    // column of the plain kana in JIS row 0x25
};

constexpr std::array<VoicedKana, 256> MakeVoicedKanaTable() {
  std::array<VoicedKana, 256> t{};
  // ｶ ｷ ｸ ｹ ｺ ｻ ｼ ｽ ｾ ｿ ﾀ ﾁ ﾂ ﾃ ﾄ, then ﾊ ﾋ ﾌ ﾍ ﾎ
  constexpr uint8_t ka[15] = {0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39,
                              0x3B, 0x3D, 0x3F, 0x41, 0x44, 0x46, 0x48};
  for (int b = 0xB6; b <= 0xC4; ++b)
    t[b] = {true, ka[b - 0xB6]};
  constexpr uint8_t ha[5] = {0x4F, 0x52, 0x55, 0x58, 0x5B};
  for (int b = 0xCA; b <= 0xCE; ++b)
    t[b] = {true, ha[b - 0xCA]};
  return t;
}

constexpr std::array<bool, 256> MakeWordDelimiters() {
  std::array<bool, 256> t{};
  auto range = [&](int a, int b) {
    for (int i = a; i <= b; ++i)
      t[i] = true;
  };
  range(0x00, 0x2F);
  range(0x3A, 0x40);
  range(0x5B, 0x60);
  range(0x7B, 0x80);
  range(0xA0, 0xA5);
  range(0xFD, 0xFF);
  return t;
}

} // namespace detail

inline constexpr std::array<unsigned char, 256> UpperTable = detail::MakeUpperTable();
inline constexpr std::array<uint16_t, 256> FullWidthTable = detail::MakeFullWidthTable();
inline constexpr std::array<detail::VoicedKana, 256> VoicedKanaTable =
    detail::MakeVoicedKanaTable();
inline constexpr std::array<bool, 256> WordDelimiters = detail::MakeWordDelimiters();

inline constexpr uint16_t kVoicedMark = 0xDE;     // ﾞ
inline constexpr uint16_t kSemiVoicedMark = 0xDF; // ﾟ

// The full-width character that a half-width kana and the mark after it
// form together, or 0 when they do not combine. ｳﾞ is ヴ; the kana of
// VoicedKanaTable take ﾞ; only ﾊ ﾋ ﾌ ﾍ ﾎ take ﾟ (ｶﾟ stays カ and ゜).
constexpr uint16_t CombinedKana(unsigned char kana, unsigned char mark) {
  if (mark == kVoicedMark) {
    if (kana == 0xB3) return 0x8394;
    if (VoicedKanaTable[kana].CanVoice)
      return detail::KatakanaJisToSjis(VoicedKanaTable[kana].JisLow + 1);
  } else if (mark == kSemiVoicedMark && kana >= 0xCA && kana <= 0xCE) {
    return detail::KatakanaJisToSjis(VoicedKanaTable[kana].JisLow + 2);
  }
  return 0;
}

// The capital of a double-byte small letter (full-width Latin, Greek,
// Cyrillic, small Roman numerals), or 0 for any other code. The small
// Roman numerals have two codes, 0xEEEF and the IBM extension 0xFA40 that
// the Unicode converters produce; both fold to 0x8754.
constexpr uint16_t DoubleByteCapital(uint16_t c) {
  if (c >= 0x8281 && c <= 0x829A) return static_cast<uint16_t>(c - 0x8281 + 0x8260);
  if (c >= 0x83BF && c <= 0x83D6) return static_cast<uint16_t>(c - 0x83BF + 0x839F);
  if (c >= 0x8470 && c <= 0x847E) return static_cast<uint16_t>(c - 0x8470 + 0x8440);
  if (c >= 0x8480 && c <= 0x8491) return static_cast<uint16_t>(c - 0x8480 + 0x844F);
  if (c >= 0xEEEF && c <= 0xEEF8) return static_cast<uint16_t>(c - 0xEEEF + 0x8754);
  if (c >= 0xFA40 && c <= 0xFA49) return static_cast<uint16_t>(c - 0xFA40 + 0x8754);
  return 0;
}

inline bool IsWordDelimiter(unsigned char b) {
  return WordDelimiters[b];
}

// Upper-cases single-byte letters and double-byte small letters; every
// other character, and the trail byte of each double-byte one, is kept.
std::string UpperCaseSjis(std::string_view s);
// Converts half-width characters to their full-width forms (a kana and
// its mark become one character); double-byte characters are copied.
std::string ToFullWidth(std::string_view s);

} // namespace ze
