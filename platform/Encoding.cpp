#include "platform/Encoding.h"

#include <iconv.h>

#include <bitset>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "platform/CodePage.h"

namespace ze {
namespace {

constexpr char32_t kNone = 0xFFFFFFFF;
constexpr uint16_t kNoCode = 0xFFFF;

// CP932 as the C library maps it, both ways, made once on first use: every
// single byte and every lead/trail pair to Unicode, and every character of
// the basic plane to the code it becomes (several characters may share one
// code; the first table gives the one CP932 reads back).
struct Cp932Tables {
  char32_t single[256];
  std::vector<char32_t> pair;   // index lead << 8 | trail
  std::vector<uint16_t> toCode; // index code point (basic plane)
  // Codes that some other character also becomes (0x8160 for U+301C):
  // only these need their variants watched.
  std::vector<uint8_t> alias;

  Cp932Tables() : pair(65536, kNone), toCode(65536, kNoCode), alias(65536, 0) {
    iconv_t dec = iconv_open("UTF-32LE", "CP932");
    iconv_t enc = iconv_open("CP932", "UTF-32LE");
    if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv cannot convert between CP932 and UTF-32");
    auto decode = [&](const unsigned char* in, size_t n) -> char32_t {
      char buf[8];
      char* src = const_cast<char*>(reinterpret_cast<const char*>(in));
      char* dst = buf;
      size_t inLeft = n, outLeft = sizeof buf;
      iconv(dec, nullptr, nullptr, nullptr, nullptr);
      if (iconv(dec, &src, &inLeft, &dst, &outLeft) == size_t(-1) || inLeft || outLeft != 4)
        return kNone;
      unsigned char* b = reinterpret_cast<unsigned char*>(buf);
      return char32_t(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24);
    };
    for (int b = 0; b < 256; ++b) {
      unsigned char c = static_cast<unsigned char>(b);
      single[b] = IsLeadByte(c) ? kNone : decode(&c, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        unsigned char two[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
        pair[size_t(lead << 8 | trail)] = decode(two, 2);
      }
    }
    for (char32_t u = 0; u < 0x10000; ++u) {
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      unsigned char in[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8), 0, 0};
      char out[4];
      char* src = reinterpret_cast<char*>(in);
      char* dst = out;
      size_t inLeft = 4, outLeft = sizeof out;
      iconv(enc, nullptr, nullptr, nullptr, nullptr);
      if (iconv(enc, &src, &inLeft, &dst, &outLeft) == size_t(-1) || inLeft) continue;
      size_t n = sizeof out - outLeft;
      auto* o = reinterpret_cast<unsigned char*>(out);
      if (n == 1) toCode[u] = o[0];
      else if (n == 2) toCode[u] = uint16_t(o[0] << 8 | o[1]);
      else continue;
      if (Of(toCode[u]) != u) alias[toCode[u]] = 1;
    }
    iconv_close(dec);
    iconv_close(enc);
  }
  // What a code reads back as.
  char32_t Of(uint16_t code) const { return code < 0x100 ? single[code] : pair[code]; }
};

const Cp932Tables& Tables() {
  static const Cp932Tables tables;
  return tables;
}

// ---- code points in and out

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// Returns the length of the character at p (0 when invalid; -1 when the
// bytes end inside a character that is valid so far).
int Utf8Length(const unsigned char* p, const unsigned char* end, char32_t& u) {
  unsigned char c = p[0];
  if (c < 0x80) {
    u = c;
    return 1;
  }
  int n;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) n = 2, min = 0x80, u = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, min = 0x800, u = c & 0x0F;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, min = 0x10000, u = c & 0x07;
  else return 0;
  for (int i = 1; i < n; ++i) {
    if (p + i >= end) {
      // Incomplete: still report invalid if what is there cannot lead to a
      // valid character.
      if (i == 2 || i == 3) {
        char32_t partial = u << (6 * (n - i));
        if (n == 3 && (partial < 0x800 || (partial >= 0xD800 && partial <= 0xDFFF))) return 0;
        if (n == 4 && (partial < 0x10000 || partial > 0x10FFFF)) return 0;
      }
      return -1;
    }
    if ((p[i] & 0xC0) != 0x80) return 0;
    u = u << 6 | (p[i] & 0x3F);
    if (i == 1) { // reject overlong and out-of-range forms as soon as visible
      char32_t top = u << (6 * (n - 2));
      if (top < min && (top | ((1u << (6 * (n - 2))) - 1)) < min) return 0;
      if (n == 3 && top >= 0xD800 && top <= 0xDFFF) return 0;
      if (n == 4 && top > 0x10FFFF) return 0;
    }
  }
  if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
  return n;
}

void PutUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | u >> 6);
    out += char(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += char(0xE0 | u >> 12);
    out += char(0x80 | (u >> 6 & 0x3F));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xF0 | u >> 18);
    out += char(0x80 | (u >> 12 & 0x3F));
    out += char(0x80 | (u >> 6 & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}

void PutUtf16(std::string& out, char32_t u, bool bigEndian) {
  auto unit = [&](uint16_t w) {
    if (bigEndian) {
      out += char(w >> 8);
      out += char(w & 0xFF);
    } else {
      out += char(w & 0xFF);
      out += char(w >> 8);
    }
  };
  if (u < 0x10000) {
    unit(uint16_t(u));
  } else {
    u -= 0x10000;
    unit(uint16_t(0xD800 | u >> 10));
    unit(uint16_t(0xDC00 | (u & 0x3FF)));
  }
}

std::string Hex(char32_t u) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", unsigned(u));
  return buf;
}

// The length of the run of ASCII bytes at p (8 bytes at a time).
size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  const unsigned char* q = p;
  while (end - q >= 8) {
    uint64_t w;
    std::memcpy(&w, q, 8);
    if (w & 0x8080808080808080ull) break;
    q += 8;
  }
  while (q < end && *q < 0x80) ++q;
  return size_t(q - p);
}

// Collects code points as CP932 text, keeping variants and the first
// character that cannot be held exactly. The text is written into a
// buffer of the most it can need (Reserve), cut to size by Finish.
class Cp932Sink {
public:
  explicit Cp932Sink(TDecodedText& d) : d_(d), t_(Tables()) {}

  void Reserve(size_t most) {
    d_.Text.resize(most);
    o_ = d_.Text.data();
    limit_ = o_ + most;
  }
  size_t Size() const { return size_t(o_ - d_.Text.data()); }

  void PutAscii(const unsigned char* p, size_t n) {
    std::memcpy(o_, p, n);
    o_ += n;
    // '\\' and '~' are also what U+00A5 and U+203E become: once a file
    // used one of those, the plain byte must not appear too.
    if (asciiVariantAny_)
      for (unsigned char c : {0x5C, 0x7E})
        if (asciiVariant_[c] && std::memchr(p, c, n)) Conflict(c, c);
  }

  void Put(char32_t u) {
    if (u < 0x80) {
      unsigned char c = static_cast<unsigned char>(u);
      PutAscii(&c, 1);
      return;
    }
    uint16_t code = u < 0x10000 ? t_.toCode[u] : kNoCode;
    if (code != kNoCode && !t_.alias[code]) { // the common case
      if (code > 0xFF) *o_++ = char(code >> 8);
      *o_++ = char(code & 0xFF);
      return;
    }
    if (code == kNoCode) {
      if (d_.Exact) {
        std::string s;
        PutUtf8(s, u);
        Problem("「" + s + "」(" + Hex(u) + ") は Shift-JIS で表せない文字です");
      }
      *o_++ = kCp932Replacement;
      return;
    }
    char32_t back = t_.Of(code);
    if (back != u) {
      char32_t kept = d_.Variants.Get(code);
      if (kept == 0) { // the first of this variant: the plain one must not be there yet
        bool plainUsed = code < 0x80 ? ByteInText(static_cast<unsigned char>(code))
                                     : bool(defaultSeen_[code]);
        if (plainUsed) {
          Conflict(code, u);
        } else {
          d_.Variants.Set(code, u);
          if (code < 0x80) asciiVariant_[code] = asciiVariantAny_ = true;
        }
      } else if (kept != u) {
        Conflict(code, u);
      }
    } else if (code < 0x80 ? asciiVariant_[code] : d_.Variants.Get(code) != 0) {
      Conflict(code, u);
    } else {
      defaultSeen_[code] = true;
    }
    if (code > 0xFF) *o_++ = char(code >> 8);
    *o_++ = char(code & 0xFF);
  }

  // Bytes the encoding cannot read: kept visible as '?', the text inexact.
  void Bad(const char* what) {
    if (d_.Exact) Problem(what);
    *o_++ = kCp932Replacement;
  }
  // Bytes kept as they are (what follows a sequence a converter refused).
  void PutRaw(std::string_view bytes) {
    std::memcpy(o_, bytes.data(), bytes.size());
    o_ += bytes.size();
  }

  void Problem(const std::string& what) {
    d_.Exact = false;
    problemAt_ = Size();
    d_.Problem = what;
  }

  void Finish() {
    d_.Text.resize(Size());
    if (d_.Exact) return;
    long long line = 1, col = 1;
    const std::string& t = d_.Text;
    for (size_t i = 0; i < problemAt_ && i < t.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if (c == '\n' || (c == '\r' && !(i + 1 < t.size() && t[i + 1] == '\n'))) {
        ++line;
        col = 1;
      } else if (c != '\r') {
        if (IsLeadByte(c) && i + 1 < problemAt_) ++i;
        ++col;
      }
    }
    d_.ProblemLine = line;
    d_.ProblemColumn = col;
    d_.Problem = std::to_string(line) + " 行 " + std::to_string(col) + " 文字目の" + d_.Problem;
  }

private:
  // Whether the text so far holds the single byte c as a character of its
  // own (not as the trail byte of a two-byte character).
  bool ByteInText(unsigned char c) const {
    const char* t = d_.Text.data();
    for (size_t i = 0, n = Size(); i < n; ++i) {
      unsigned char b = static_cast<unsigned char>(t[i]);
      if (b == c) return true;
      if (IsLeadByte(b)) ++i;
    }
    return false;
  }

  void Conflict(uint16_t code, char32_t u) {
    if (!d_.Exact) return;
    char32_t other = d_.Variants.Get(code);
    if (other == 0 || other == u) other = t_.Of(code);
    std::string a, b;
    PutUtf8(a, u);
    PutUtf8(b, other);
    Problem("「" + a + "」(" + Hex(u) + ") と「" + b + "」(" + Hex(other) +
            ") は Shift-JIS では同じ文字になるため、両方を含むファイルは元どおりに保存できません");
  }

  TDecodedText& d_;
  const Cp932Tables& t_;
  char* o_ = nullptr;
  char* limit_ = nullptr;
  std::bitset<65536> defaultSeen_;
  bool asciiVariant_[128] = {};
  bool asciiVariantAny_ = false;
  size_t problemAt_ = 0;
};

// ---- iconv for EUC-JP and ISO-2022-JP

// Converts all of in; false on a byte sequence the converter refuses, with
// failAt the input offset where it stopped.
bool IconvAll(const char* to, const char* from, std::string_view in, std::string& out,
              size_t& failAt) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv: ") + from);
  out.assign(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  bool ok = true;
  while (inLeft > 0) {
    if (iconv(cd, &src, &inLeft, &dst, &outLeft) != size_t(-1)) continue;
    if (errno == E2BIG) {
      size_t used = out.size() - outLeft;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    ok = false;
    break;
  }
  if (ok) {
    for (;;) { // the closing shift sequence of a stateful encoding
      if (iconv(cd, nullptr, nullptr, &dst, &outLeft) != size_t(-1)) break;
      if (errno != E2BIG) break;
      size_t used = out.size() - outLeft;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      outLeft = out.size() - used;
    }
  }
  failAt = size_t(src - in.data());
  out.resize(out.size() - outLeft);
  iconv_close(cd);
  return ok;
}

const char* IconvName(TEncoding e) { return e == TEncoding::EucJp ? "EUC-JP" : "ISO-2022-JP"; }

// For EUC-JP and ISO-2022-JP: per shared code, the character to write when
// the document remembers none. CP932 reads 0x8160 as U+FF5E, which JIS
// X 0208 lacks (EUC-JP has it only in the rarely supported JIS X 0212);
// its twin U+301C is the JIS X 0208 character, so typed text is written
// with the twin, in the shortest form the encoding has, and never refused
// for want of it.
struct JisTwins {
  std::vector<char32_t> prefer; // per code, 0 when the usual one is fine
  explicit JisTwins(const char* name) : prefer(65536, 0) {
    const Cp932Tables& t = Tables();
    iconv_t cd = iconv_open(name, "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    // The bytes the encoding writes for u (escapes included), 0 if none.
    auto length = [&](char32_t u) -> size_t {
      unsigned char in[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                             static_cast<unsigned char>(u >> 16), 0};
      char out[32];
      char* src = reinterpret_cast<char*>(in);
      char* dst = out;
      size_t inLeft = 4, outLeft = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cd, &src, &inLeft, &dst, &outLeft) == size_t(-1) || inLeft != 0) return 0;
      return sizeof out - outLeft;
    };
    std::vector<size_t> best(65536, 0);
    for (char32_t u = 0x80; u < 0x10000; ++u) {
      uint16_t code = t.toCode[u];
      if (code == kNoCode || !t.alias[code] || t.Of(code) == u) continue;
      if (best[code] == 0) best[code] = length(t.Of(code));
      size_t n = length(u);
      if (n != 0 && (best[code] == 0 || n < best[code])) {
        best[code] = n;
        prefer[code] = u;
      }
    }
    iconv_close(cd);
  }
};

const JisTwins& TwinsFor(TEncoding e) {
  static const JisTwins euc("EUC-JP"), jis("ISO-2022-JP");
  return e == TEncoding::EucJp ? euc : jis;
}

// ---- detection

// Each validator returns kInvalid when the bytes are not valid in its
// encoding, else where an incomplete last character starts (s.size() when
// the bytes end on a whole character), so that a file read block by block
// is judged like the whole.
constexpr size_t kInvalid = size_t(-1);

size_t ValidUtf8(std::string_view s, long long& count) {
  auto* b = reinterpret_cast<const unsigned char*>(s.data());
  auto* p = b;
  auto* end = p + s.size();
  while (p < end) {
    if (*p < 0x80) {
      p += AsciiRun(p, end);
      continue;
    }
    if (*p >= 0xE1 && *p <= 0xEC && end - p >= 3 && (p[1] & 0xC0) == 0x80 &&
        (p[2] & 0xC0) == 0x80) { // three bytes, no overlong or surrogate form possible
      ++count;
      p += 3;
      continue;
    }
    char32_t u;
    int n = Utf8Length(p, end, u);
    if (n == -1) return size_t(p - b); // cut at the end
    if (n == 0) return kInvalid;
    ++count;
    p += n;
  }
  return s.size();
}

size_t ValidCp932(std::string_view s) {
  const Cp932Tables& t = Tables();
  auto* b = reinterpret_cast<const unsigned char*>(s.data());
  auto* p = b;
  auto* end = p + s.size();
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      p += AsciiRun(p, end);
    } else if (IsLeadByte(c)) {
      if (p + 1 == end) return size_t(p - b); // cut at the end
      if (t.pair[size_t(c << 8 | p[1])] == kNone) return kInvalid;
      p += 2;
    } else {
      if (t.single[c] == kNone || c == 0x80 || c == 0xA0 || c >= 0xFD) return kInvalid;
      ++p;
    }
  }
  return s.size();
}

size_t ValidEucJp(std::string_view s) {
  auto* b = reinterpret_cast<const unsigned char*>(s.data());
  auto* p = b;
  auto* end = p + s.size();
  auto high = [](unsigned char c) { return c >= 0xA1 && c <= 0xFE; };
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      p += AsciiRun(p, end);
      continue;
    }
    int n;
    if (c == 0x8E) n = 2;
    else if (c == 0x8F) n = 3;
    else if (high(c)) n = 2;
    else return kInvalid;
    for (int i = 1; i < n; ++i) {
      if (p + i >= end) return size_t(p - b); // cut at the end
      if (c == 0x8E && i == 1 ? !(p[1] >= 0xA1 && p[1] <= 0xDF) : !high(p[i])) return kInvalid;
    }
    p += n;
  }
  return s.size();
}

// Whether s holds an escape that shifts into a Japanese set (ESC ( B
// alone, back to ASCII, says nothing).
bool HasJisEscape(std::string_view s) {
  for (size_t i = 0; i + 2 < s.size(); ++i) {
    if (s[i] != 0x1B) continue;
    char a = s[i + 1], b = s[i + 2];
    if ((a == '$' && (b == '@' || b == 'B')) || (a == '(' && (b == 'J' || b == 'I')) ||
        (a == '$' && b == '(' && i + 3 < s.size() && s[i + 3] == 'D'))
      return true;
  }
  return false;
}

// How much a code point looks like a character of Japanese or Western
// text: kana most, then CJK punctuation and kanji; half-width katakana,
// control characters, private use and unassigned codes count against.
int CharScore(char32_t u) {
  if (u < 0x80) return 0;
  if (u >= 0x3041 && u <= 0x30FF) return 3;           // hiragana, katakana
  if (u >= 0x3000 && u <= 0x303F) return 2;           // CJK punctuation
  if (u >= 0x4E00 && u <= 0x9FFF) return 2;           // kanji
  if (u >= 0xFF01 && u <= 0xFF5E) return 1;           // full-width ASCII
  if (u >= 0xFF61 && u <= 0xFF9F) return -1;          // half-width katakana
  if (u >= 0x00A0 && u <= 0x024F) return 1;           // Latin letters and signs
  if (u >= 0x2000 && u <= 0x27BF) return 1;           // punctuation, arrows, symbols
  if (u >= 0x0370 && u <= 0x04FF) return 0;           // Greek, Cyrillic
  if (u < 0xA0 || (u >= 0xE000 && u <= 0xF8FF)) return -5; // C1 controls, private use
  return -1;
}

// The score of bytes read in encoding e (whole characters only). A
// multi-byte UTF-8 character earns extra: text in another encoding forms
// valid UTF-8 only by rare chance.
long long Plausibility(std::string_view s, TEncoding e) {
  long long score = 0;
  auto* p = reinterpret_cast<const unsigned char*>(s.data());
  auto* end = p + s.size();
  if (e == TEncoding::Utf8) {
    while (p < end) {
      char32_t u;
      int n = Utf8Length(p, end, u);
      if (n <= 0) break;
      if (n > 1) score += CharScore(u) + 2;
      p += n;
    }
  } else if (e == TEncoding::Cp932) {
    const Cp932Tables& t = Tables();
    while (p < end) {
      if (*p < 0x80) {
        ++p;
      } else if (IsLeadByte(*p)) {
        if (p + 1 == end) break;
        score += CharScore(t.pair[size_t(p[0] << 8 | p[1])]);
        p += 2;
      } else {
        score += CharScore(t.single[*p]);
        ++p;
      }
    }
  } else {
    std::string utf32;
    size_t failAt = 0;
    IconvAll("UTF-32LE", "EUC-JP", s, utf32, failAt);
    auto* u = reinterpret_cast<const unsigned char*>(utf32.data());
    for (size_t i = 0; i + 4 <= utf32.size(); i += 4)
      score += CharScore(char32_t(u[i] | u[i + 1] << 8 | u[i + 2] << 16 | uint32_t(u[i + 3]) << 24));
  }
  return score;
}

} // namespace

// ---- names

const char* EncodingName(TEncoding e) {
  switch (e) {
  case TEncoding::Cp932: return "Shift-JIS";
  case TEncoding::Utf8: return "UTF-8";
  case TEncoding::Utf8Bom: return "UTF-8 (BOM)";
  case TEncoding::EucJp: return "EUC-JP";
  case TEncoding::Iso2022Jp: return "JIS";
  case TEncoding::Utf16Le: return "UTF-16LE";
  case TEncoding::Utf16Be: return "UTF-16BE";
  }
  return "";
}

const char* EncodingKey(TEncoding e) {
  switch (e) {
  case TEncoding::Cp932: return "CP932";
  case TEncoding::Utf8: return "UTF-8";
  case TEncoding::Utf8Bom: return "UTF-8-BOM";
  case TEncoding::EucJp: return "EUC-JP";
  case TEncoding::Iso2022Jp: return "ISO-2022-JP";
  case TEncoding::Utf16Le: return "UTF-16LE";
  case TEncoding::Utf16Be: return "UTF-16BE";
  }
  return "";
}

bool EncodingFromKey(std::string_view key, TEncoding& e) {
  for (TEncoding c : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                      TEncoding::Iso2022Jp, TEncoding::Utf16Le, TEncoding::Utf16Be}) {
    if (key == EncodingKey(c)) {
      e = c;
      return true;
    }
  }
  return false;
}

const char* LineBreakName(TLineBreak b) {
  return b == TLineBreak::CrLf ? "CR+LF" : b == TLineBreak::Lf ? "LF" : "CR";
}
const char* LineBreakBytes(TLineBreak b) {
  return b == TLineBreak::CrLf ? "\r\n" : b == TLineBreak::Lf ? "\n" : "\r";
}

// ---- variants

TUnicodeVariants::TUnicodeVariants() = default;
TUnicodeVariants::~TUnicodeVariants() = default;
TUnicodeVariants::TUnicodeVariants(const TUnicodeVariants& o) { *this = o; }
TUnicodeVariants& TUnicodeVariants::operator=(const TUnicodeVariants& o) {
  if (this == &o) return *this;
  count_ = o.count_;
  if (o.map_) {
    map_ = std::make_unique<char32_t[]>(65536);
    std::memcpy(map_.get(), o.map_.get(), 65536 * sizeof(char32_t));
  } else {
    map_.reset();
  }
  return *this;
}
char32_t TUnicodeVariants::Get(uint16_t code) const { return map_ ? map_[code] : 0; }
void TUnicodeVariants::Set(uint16_t code, char32_t u) {
  if (!map_) map_ = std::make_unique<char32_t[]>(65536); // zeroed
  if (map_[code] == 0 && u != 0) ++count_;
  map_[code] = u;
}

// ---- detection

// ---- the sniffer

void TEncodingSniffer::Check(Validity& v, std::string_view block,
                             size_t (*valid)(std::string_view, long long&)) {
  if (!v.Valid) return;
  std::string joined;
  std::string_view s = block;
  if (!v.Tail.empty()) {
    joined = v.Tail;
    joined.append(block);
    s = joined;
  }
  long long count = 0;
  size_t r = valid(s, count);
  if (r == kInvalid) {
    v.Valid = false;
    v.Tail.clear();
    return;
  }
  v.Count += count;
  v.Tail.assign(s.substr(r));
}

void TEncodingSniffer::Feed(std::string_view block) {
  if (block.empty()) return;
  if (head_.size() < 3) head_.append(block.substr(0, 3 - head_.size()));
  fed_ = true;
  if (ascii_) {
    auto* p = reinterpret_cast<const unsigned char*>(block.data());
    if (AsciiRun(p, p + block.size()) != block.size()) ascii_ = false;
  }
  if (ascii_ && !escape_) {
    std::string edge = escTail_;
    edge.append(block.substr(0, 4));
    escape_ = HasJisEscape(edge) || HasJisEscape(block);
    // The last bytes of everything fed, for an escape cut by the next block.
    edge = escTail_;
    edge.append(block.substr(block.size() > 3 ? block.size() - 3 : 0));
    escTail_.assign(std::string_view(edge).substr(edge.size() > 3 ? edge.size() - 3 : 0));
  }
  Check(utf8_, block, ValidUtf8);
  // Many valid UTF-8 characters settle it while the rest stays valid; a
  // quick reader stops checking the others then (should UTF-8 fail later,
  // Settled says so and the whole text is weighed).
  if (quick_ && utf8_.Valid && utf8_.Count >= 32) {
    skipped_ = true;
    return;
  }
  Check(euc_, block, [](std::string_view s, long long&) { return ValidEucJp(s); });
  // Once neither UTF-8 nor EUC-JP reads the bytes, the answer is CP932
  // whether it reads them or not: the rest need not be checked.
  if (utf8_.Valid || euc_.Valid)
    Check(sjis_, block, [](std::string_view s, long long&) { return ValidCp932(s); });
}

bool TEncodingSniffer::LikelyConverted() const {
  if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0 || head_.compare(0, 2, "\xFF\xFE") == 0 ||
      head_.compare(0, 2, "\xFE\xFF") == 0)
    return true;
  if (ascii_) return escape_;
  if (utf8_.Valid && utf8_.Count >= 32) return true;
  return !sjis_.Valid && (utf8_.Valid || euc_.Valid);
}

bool TEncodingSniffer::Settled(TEncoding asciiDefault, TEncoding& e) const {
  if (head_.compare(0, 3, "\xEF\xBB\xBF") == 0) return e = TEncoding::Utf8Bom, true;
  if (head_.compare(0, 2, "\xFF\xFE") == 0) return e = TEncoding::Utf16Le, true;
  if (head_.compare(0, 2, "\xFE\xFF") == 0) return e = TEncoding::Utf16Be, true;
  if (ascii_) return e = escape_ ? TEncoding::Iso2022Jp : asciiDefault, true;
  // Text in another encoding forms a run of valid multi-byte UTF-8
  // characters only by rare chance: many of them settle it.
  if (utf8_.Valid && utf8_.Count >= 32) return e = TEncoding::Utf8, true;
  if (skipped_) return false;
  int valid = int(utf8_.Valid) + int(sjis_.Valid) + int(euc_.Valid);
  if (valid == 0) return e = TEncoding::Cp932, true;
  if (valid > 1) return false;
  e = utf8_.Valid ? TEncoding::Utf8 : sjis_.Valid ? TEncoding::Cp932 : TEncoding::EucJp;
  return true;
}

TEncoding DetectEncoding(std::string_view bytes, TEncoding asciiDefault) {
  TEncodingSniffer sniffer(false);
  sniffer.Feed(bytes);
  TEncoding settled;
  if (sniffer.Settled(asciiDefault, settled)) return settled;
  long long best = 0;
  TEncoding choice = TEncoding::Cp932;
  bool first = true;
  // Ties go to UTF-8, then EUC-JP: Japanese text in CP932 almost always
  // has lead bytes below 0xA1, which EUC-JP never has, while EUC-JP text
  // often reads as valid CP932.
  for (TEncoding e : {TEncoding::Utf8, TEncoding::EucJp, TEncoding::Cp932}) {
    if (!sniffer.ReadsAs(e)) continue;
    long long s = Plausibility(bytes, e);
    if (first || s > best) {
      best = s;
      choice = e;
      first = false;
    }
  }
  // Nothing that looks like text either way (a cut character alone): the
  // bytes stay as they are.
  if (best <= 0 && sniffer.ReadsAs(TEncoding::Cp932)) return TEncoding::Cp932;
  return choice;
}

TLineBreakInfo DetectLineBreaks(std::string_view s, TLineBreak none) {
  TLineBreakInfo info;
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) {
    const void* hit = nullptr;
    // The next CR or LF: two memchr scans are far faster than a byte loop.
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t((cr ? cr : end) - p)));
    hit = lf ? lf : cr;
    if (!hit) break;
    const char* q = static_cast<const char*>(hit);
    if (*q == '\n') {
      ++info.Lf;
      p = q + 1;
    } else if (q + 1 < end && q[1] == '\n') {
      ++info.CrLf;
      p = q + 2;
    } else {
      ++info.Cr;
      p = q + 1;
    }
  }
  info.Found = info.CrLf + info.Lf + info.Cr > 0;
  if (!info.Found) {
    info.Style = none;
    return info;
  }
  info.Style = TLineBreak::CrLf;
  long long most = info.CrLf;
  if (info.Lf > most) info.Style = TLineBreak::Lf, most = info.Lf;
  if (info.Cr > most) info.Style = TLineBreak::Cr, most = info.Cr;
  info.Mixed = (info.CrLf > 0) + (info.Lf > 0) + (info.Cr > 0) > 1;
  return info;
}

// ---- decoding

TDecodedText DecodeText(std::string_view bytes, TEncoding e) {
  TDecodedText d;
  d.Encoding = e;
  if (e == TEncoding::Cp932) {
    d.Text.assign(bytes);
    return d;
  }
  Cp932Sink sink(d);
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto* end = p + bytes.size();
  switch (e) {
  case TEncoding::Utf8:
  case TEncoding::Utf8Bom: {
    // Whether the file starts with a byte order mark decides which of the
    // two it is written back as.
    bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    d.Encoding = bom ? TEncoding::Utf8Bom : TEncoding::Utf8;
    if (bom) p += 3;
    sink.Reserve(size_t(end - p)); // never more bytes than UTF-8 has
    while (p < end) {
      if (*p < 0x80) {
        size_t n = AsciiRun(p, end);
        sink.PutAscii(p, n);
        p += n;
        continue;
      }
      if ((*p & 0xF0) == 0xE0 && end - p >= 3 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        char32_t u3 = char32_t((*p & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        if (u3 >= 0x800 && (u3 < 0xD800 || u3 > 0xDFFF)) { // the kana and kanji of most text
          sink.Put(u3);
          p += 3;
          continue;
        }
      }
      char32_t u;
      int n = Utf8Length(p, end, u);
      if (n > 0) {
        sink.Put(u);
        p += n;
      } else {
        sink.Bad(n < 0 ? "ファイルの終わりで文字が途切れています"
                       : "UTF-8 として正しくないバイトがあります");
        ++p;
      }
    }
    break;
  }
  case TEncoding::Utf16Le:
  case TEncoding::Utf16Be: {
    bool be = e == TEncoding::Utf16Be;
    sink.Reserve(size_t(end - p) + 1);
    // UTF-16 files are written with a byte order mark; one without cannot
    // come back as it was.
    if (bytes.substr(0, 2) == (be ? std::string_view("\xFE\xFF") : std::string_view("\xFF\xFE")))
      p += 2;
    else
      sink.Problem("UTF-16 のファイルの先頭に BOM (バイト順マーク) がありません");
    auto unit = [&](const unsigned char* q) -> char32_t {
      return be ? char32_t(q[0] << 8 | q[1]) : char32_t(q[1] << 8 | q[0]);
    };
    while (end - p >= 2) {
      char32_t w = unit(p);
      if (w >= 0xD800 && w <= 0xDBFF && end - p >= 4) {
        char32_t w2 = unit(p + 2);
        if (w2 >= 0xDC00 && w2 <= 0xDFFF) {
          sink.Put(0x10000 + ((w - 0xD800) << 10) + (w2 - 0xDC00));
          p += 4;
          continue;
        }
      }
      if (w >= 0xD800 && w <= 0xDFFF) sink.Bad("対になっていないサロゲートがあります");
      else sink.Put(w);
      p += 2;
    }
    if (p < end) {
      sink.Bad("UTF-16 のファイルのバイト数が奇数です");
    }
    break;
  }
  case TEncoding::EucJp:
  case TEncoding::Iso2022Jp: {
    // Whole characters only: a character cut at the very end is reported.
    std::string utf32;
    size_t failAt = 0;
    bool ok = IconvAll("UTF-32LE", IconvName(e), bytes, utf32, failAt);
    sink.Reserve(utf32.size() / 2 + bytes.size() - std::min(failAt, bytes.size()) + 1);
    auto* u = reinterpret_cast<const unsigned char*>(utf32.data());
    for (size_t i = 0; i + 4 <= utf32.size(); i += 4)
      sink.Put(char32_t(u[i] | u[i + 1] << 8 | u[i + 2] << 16 | uint32_t(u[i + 3]) << 24));
    if (!ok) {
      sink.Bad(failAt + 3 >= bytes.size() ? "ファイルの終わりで文字が途切れています"
                                          : "この文字コードとして正しくないバイトがあります");
      // The rest is kept as it is (read as CP932) so that nothing is hidden.
      if (failAt + 1 < bytes.size()) sink.PutRaw(bytes.substr(failAt + 1));
    }
    sink.Finish();
    if (ok && d.Exact) {
      // The converter may write some texts back differently (escape
      // sequences, alternative codes): check the round trip itself.
      std::string again, problem;
      if (!EncodeText(d.Text, e, d.Variants, again, problem) || again != bytes) {
        size_t at = 0;
        while (at < again.size() && at < bytes.size() && again[at] == bytes[at]) ++at;
        long long line = 1;
        for (size_t i = 0; i < at; ++i)
          if (bytes[i] == '\n') ++line;
        d.Exact = false;
        d.ProblemLine = line;
        d.ProblemColumn = 0;
        d.Problem = std::to_string(line) + " 行目が " + EncodingName(e) +
                    " として元どおりに書き戻せません";
      }
    }
    return d;
  }
  case TEncoding::Cp932: break;
  }
  sink.Finish();
  return d;
}

// ---- encoding

bool EncodeText(std::string_view cp932, TEncoding e, const TUnicodeVariants& variants,
                std::string& out, std::string& problem) {
  out.clear();
  problem.clear();
  if (e == TEncoding::Cp932) {
    out.assign(cp932);
    return true;
  }
  const Cp932Tables& t = Tables();
  long long line = 1;
  auto fail = [&](const std::string& what) {
    problem = std::to_string(line) + " 行目: " + what;
    out.clear();
    return false;
  };
  std::u32string points;
  bool direct = e == TEncoding::Utf8 || e == TEncoding::Utf8Bom || e == TEncoding::Utf16Le ||
                e == TEncoding::Utf16Be;
  if (e == TEncoding::Utf8Bom) out += "\xEF\xBB\xBF";
  if (e == TEncoding::Utf16Le) out += "\xFF\xFE";
  if (e == TEncoding::Utf16Be) out += "\xFE\xFF";
  if (direct) out.reserve(cp932.size() * (e == TEncoding::Utf16Le || e == TEncoding::Utf16Be ? 2 : 3) / 2 + 4);
  else points.reserve(cp932.size());
  auto emit = [&](char32_t u) {
    switch (e) {
    case TEncoding::Utf8:
    case TEncoding::Utf8Bom: PutUtf8(out, u); break;
    case TEncoding::Utf16Le: PutUtf16(out, u, false); break;
    case TEncoding::Utf16Be: PutUtf16(out, u, true); break;
    default: points += u; break;
    }
  };
  bool anyVariant = !variants.Empty();
  auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
  auto* end = p + cp932.size();
  while (p < end) {
    unsigned char c = *p;
    if (c < 0x80) {
      if (c == '\n') ++line;
      char32_t v = anyVariant ? variants.Get(c) : 0;
      emit(v ? v : c);
      ++p;
      continue;
    }
    uint16_t code;
    if (IsLeadByte(c)) {
      if (p + 1 == end) return fail("Shift-JIS として途切れた文字があります");
      code = uint16_t(c << 8 | p[1]);
      p += 2;
    } else {
      code = c;
      ++p;
    }
    char32_t v = anyVariant ? variants.Get(code) : 0;
    if (!v && !direct && t.alias[code]) v = TwinsFor(e).prefer[code];
    char32_t u = v ? v : t.Of(code);
    if (u == kNone) {
      char buf[8];
      std::snprintf(buf, sizeof buf, code > 0xFF ? "%04X" : "%02X", unsigned(code));
      return fail(std::string("Shift-JIS として正しくないバイト (") + buf + ") があります");
    }
    emit(u);
  }
  if (direct) return true;
  std::string_view in(reinterpret_cast<const char*>(points.data()), points.size() * 4);
  size_t failAt = 0;
  if (!IconvAll(IconvName(e), "UTF-32LE", in, out, failAt)) {
    size_t index = failAt / 4;
    line = 1;
    for (size_t i = 0; i < index && i < points.size(); ++i)
      if (points[i] == '\n') ++line;
    std::string s;
    if (index < points.size()) PutUtf8(s, points[index]);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", index < points.size() ? unsigned(points[index]) : 0u);
    return fail("「" + s + "」(" + hex + ") は " + EncodingName(e) + " で表せない文字です");
  }
  return true;
}

} // namespace ze
