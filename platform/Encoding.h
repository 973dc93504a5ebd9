#pragma once
// File encodings at the file edge. The editor works on CP932 bytes; a
// file in another encoding is decoded to CP932 when it is read and
// encoded back when it is written, so that a file opened and saved
// without an edit comes back byte for byte.
//
// Several Unicode characters share one CP932 code (U+301C WAVE DASH and
// U+FF5E FULLWIDTH TILDE are both 0x8160; likewise ‖/∥, −/－, ¢/￠, £/￡,
// ¬/￢, —/―). Decoding remembers, per code, which of them the file used,
// and encoding writes that one back. A file that uses two of them for one
// code, or a character CP932 lacks, cannot be held exactly: the decode
// says so (where, and which character) and the caller opens it read-only.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace ze {

enum class TEncoding { Cp932, Utf8, Utf8Bom, EucJp, Iso2022Jp, Utf16Le, Utf16Be };

// A short display name: "Shift_JIS", "UTF-8", "UTF-8 (BOM)", "EUC-JP",
// "ISO-2022-JP", "UTF-16LE", "UTF-16BE".
const char* EncodingName(TEncoding e);

struct TDetection {
  TEncoding Encoding = TEncoding::Cp932;
  // Every byte is below 0x80 and there are no ISO-2022-JP escapes: the
  // text reads the same in all of the ASCII-based encodings.
  bool Ascii = false;
  // Something the user should know (a UTF-16 file of an odd byte count),
  // or empty.
  std::string Note;
};

// Plausibility of bytes read as CP932, UTF-8 or EUC-JP (0 or more); -1
// when the bytes are not valid in that encoding. A character cut off by the end of the
// bytes does not make them invalid (so that a prefix scores too).
struct TEncodingScores {
  long long Cp932 = -1, Utf8 = -1, EucJp = -1;
};
TEncodingScores ScoreEncodings(std::string_view bytes);

// The encoding of a whole file: a BOM first (UTF-8, UTF-16 LE/BE); then
// ISO-2022-JP escapes in 7-bit text; then ASCII (with perhaps a character
// cut off by the end) gives asciiDefault; then the best scoring of UTF-8,
// CP932 and EUC-JP among those that are valid (ties: UTF-8, CP932); none
// valid gives CP932 (the bytes are kept as they are).
TDetection DetectEncoding(std::string_view bytes, TEncoding asciiDefault = TEncoding::Cp932);

// Per CP932 code, the Unicode character the file used where it is not
// the one CP932 converts back to.
using TVariantMap = std::map<uint16_t, char32_t>;

struct TDecoded {
  std::string Text; // CP932
  TVariantMap Variants;
  // False when the text cannot be written back exactly: the bytes are not
  // valid in the encoding, a character has no CP932 code, or two variants
  // of one code are used. Text then holds what could be decoded, with "?"
  // for what could not; do not save it over the file.
  bool Exact = true;
  // Where the first problem is (1-based line and column in characters of
  // the file) and a message in the program's language.
  size_t Line = 0, Column = 0;
  std::string Message;
};

// Bytes in encoding e to CP932. CP932 itself is taken as it is.
TDecoded DecodeToCp932(std::string_view bytes, TEncoding e);

struct TEncoded {
  std::string Bytes;
  bool Ok = true;
  // The first character that the encoding cannot hold: 1-based line and
  // column (in characters of the text), and a message.
  size_t Line = 0, Column = 0;
  std::string Message;
};

// CP932 text to encoding e, using the variants the file had; for a code
// without a remembered variant the usual character, or its twin when the
// encoding cannot hold the usual one. Nothing is written on failure: the
// caller checks Ok.
TEncoded EncodeFromCp932(std::string_view text, TEncoding e, const TVariantMap& variants = {});

enum class TLineBreak { CrLf, Lf, Cr };

struct TLineBreaks {
  TLineBreak Style = TLineBreak::CrLf; // the most frequent, or the default
  bool Mixed = false;                  // more than one style occurs
  size_t CrLf = 0, Lf = 0, Cr = 0;
};

// Counts the line breaks of CP932 (or any ASCII-based) text; a text
// without any gets the default. Ties go to CR LF, then LF.
TLineBreaks DetectLineBreaks(std::string_view text, TLineBreak def = TLineBreak::CrLf);

} // namespace ze
