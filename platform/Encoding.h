#pragma once
// The encodings of text files and their line breaks. Inside, the editor
// works on CP932 bytes; a file in another encoding is converted when it is
// read and converted back when it is written. Every conversion is exact:
// a file read and written without an edit comes back byte for byte, or
// the reader says why it cannot (a character CP932 cannot hold, or a text
// that uses two Unicode characters which CP932 keeps as one code).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ze {

enum class TEncoding { Cp932, Utf8, Utf8Bom, EucJp, Iso2022Jp, Utf16Le, Utf16Be };
enum class TLineBreak { CrLf, Lf, Cr };

// The name shown to the user ("Shift-JIS", "UTF-8", "UTF-8 (BOM)"...),
// and the short name kept in settings ("CP932", "UTF-8", "UTF-8-BOM"...).
const char* EncodingName(TEncoding e);
const char* EncodingKey(TEncoding e);
bool EncodingFromKey(std::string_view key, TEncoding& e);
const char* LineBreakName(TLineBreak b); // "CR+LF", "LF", "CR"
const char* LineBreakBytes(TLineBreak b);

// The most plausible encoding of a whole file: a byte order mark first,
// then ISO-2022-JP escape sequences, then which of UTF-8, CP932 and EUC-JP
// reads the bytes without error (an incomplete character at the very end
// is not held against a candidate, so any prefix of a file is detected
// like the file), the likeliest Japanese text winning when several do.
// Text of ASCII bytes only is asciiDefault; bytes that no candidate reads
// are CP932 (kept as they are).
TEncoding DetectEncoding(std::string_view bytes, TEncoding asciiDefault = TEncoding::Cp932);

// Detection fed block by block, for a file read in pieces: the bytes of a
// character may straddle two blocks.
class TEncodingSniffer {
public:
  // A quick sniffer stops checking the other encodings once many UTF-8
  // characters have settled it; ReadsAs is then only sure for UTF-8.
  explicit TEncodingSniffer(bool quick = true) : quick_(quick) {}
  void Feed(std::string_view block);
  // The encoding, when the bytes fed so far settle it without weighing
  // which reading is likelier (DetectEncoding does that on the whole text).
  bool Settled(TEncoding asciiDefault, TEncoding& e) const;
  // Whether the bytes fed so far read without error in e (UTF-8, CP932 or
  // EUC-JP; a character cut by the end is no error).
  // Whether the bytes so far are most likely not CP932 (a byte order mark,
  // ISO-2022-JP escapes, many UTF-8 characters, bytes only EUC-JP reads):
  // a reader then keeps the bytes whole for converting them.
  bool LikelyConverted() const;
  bool ReadsAs(TEncoding e) const {
    return e == TEncoding::Utf8 ? utf8_.Valid : e == TEncoding::Cp932 ? sjis_.Valid : euc_.Valid;
  }

private:
  struct Validity {
    bool Valid = true;
    long long Count = 0; // multi-byte characters (UTF-8)
    std::string Tail;    // an incomplete character at the end
  };
  static void Check(Validity& v, std::string_view block,
                    size_t (*valid)(std::string_view, long long&));
  std::string head_, escTail_;
  bool quick_, skipped_ = false;
  bool fed_ = false, ascii_ = true, escape_ = false;
  Validity utf8_, sjis_, euc_;
};

// The line breaks of a text: the most frequent style, and whether others
// occur too. A text without any break is CR LF unless told otherwise.
struct TLineBreakInfo {
  TLineBreak Style = TLineBreak::CrLf;
  bool Mixed = false;
  bool Found = false;
  long long CrLf = 0, Lf = 0, Cr = 0;
};
// For ASCII-compatible bytes (CP932 text after decoding qualifies).
TLineBreakInfo DetectLineBreaks(std::string_view bytes, TLineBreak none = TLineBreak::CrLf);

// For each CP932 code that several Unicode characters share (both U+301C
// WAVE DASH and U+FF5E FULLWIDTH TILDE become 0x8160), which one a file
// used, so that writing it back restores that one.
class TUnicodeVariants {
public:
  TUnicodeVariants();
  ~TUnicodeVariants();
  TUnicodeVariants(const TUnicodeVariants& o);
  TUnicodeVariants& operator=(const TUnicodeVariants& o);
  // The character written for a two-byte code (0 when no variant is kept).
  char32_t Get(uint16_t code) const;
  void Set(uint16_t code, char32_t u);
  bool Empty() const { return count_ == 0; }

private:
  std::unique_ptr<char32_t[]> map_; // 65536 entries, allocated on first Set
  int count_ = 0;
};

// A file's bytes read as CP932 text.
struct TDecodedText {
  std::string Text; // CP932 bytes
  TEncoding Encoding = TEncoding::Cp932;
  TUnicodeVariants Variants;
  // False when the text cannot be written back exactly; Problem then names
  // the first character concerned with its line and column (1-based), and
  // the text shows it as kCp932Replacement ('?') or the replaced bytes.
  bool Exact = true;
  std::string Problem;
  long long ProblemLine = 0, ProblemColumn = 0;
  // The encoding could not read the bytes at all: Text holds them as they
  // are, read as CP932 (Encoding is then Cp932, Exact true).
  bool FellBack = false;
};

// Reads bytes in encoding e. Never throws for bad input; see TDecodedText.
// UTF-8 with and without a byte order mark are one family: the result's
// Encoding says which the bytes are.
TDecodedText DecodeText(std::string_view bytes, TEncoding e);

// UTF-8 (with or without a byte order mark) read into CP932 text piece by
// piece, with the same result as DecodeText on the whole: for a file read
// in blocks, so that neither its bytes nor the converted text need to be
// held whole.
class TUtf8Reader {
public:
  // Room Convert needs beyond the size of the piece.
  static constexpr size_t kSlack = 32;

  TUtf8Reader();
  ~TUtf8Reader();
  TUtf8Reader(const TUtf8Reader&) = delete;
  TUtf8Reader& operator=(const TUtf8Reader&) = delete;

  // Converts the next piece into out, which has room for piece.size() +
  // kSlack bytes, and returns the number of bytes written. The bytes of a
  // character the piece's end cuts are kept for the next call; last says
  // that no piece follows.
  size_t Convert(std::string_view piece, char* out, bool last);
  // Bytes written so far, by all calls together.
  long long Written() const;
  // Where in those bytes the first character not held exactly starts; -1
  // while the text is exact.
  long long ProblemOffset() const;
  // Bytes that are not UTF-8 were met (a character cut by the end of the
  // last piece does not count).
  bool Invalid() const;
  // After the last piece: the result without its text (Encoding, Variants,
  // Exact and Problem), the problem placed at the line and column (1-based)
  // the caller found for ProblemOffset.
  TDecodedText Finish(long long problemLine, long long problemColumn);

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// UTF-8 read a character at a time, without the fast paths of DecodeText
// and TUtf8Reader: the measure they are tested against.
TDecodedText DecodeUtf8OneByOne(std::string_view bytes);

// CP932 text written in encoding e, each two-byte code as the variant
// remembered for it. When e cannot hold a character, returns false and
// names its line and column in problem (nothing is to be written then).
bool EncodeText(std::string_view cp932, TEncoding e, const TUnicodeVariants& variants,
                std::string& out, std::string& problem);

} // namespace ze
