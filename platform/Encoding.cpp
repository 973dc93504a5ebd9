#include "platform/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/CodePage.h"

namespace ze {
namespace {

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// Whether the twelve bytes at p are four three-byte UTF-8 sequences (a
// lead E0-EF and two continuation bytes each, values not checked), read
// as the little-endian words a (bytes 0-7) and b (bytes 8-11).
inline bool FourThreeByteChars(const unsigned char* p, uint64_t& a, uint32_t& b) {
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 4);
  return (a & 0xC0F0C0C0F0C0C0F0ull) == 0x80E08080E08080E0ull && (b & 0xC0C0F0C0u) == 0x8080E080u;
}
#endif

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
  std::vector<unsigned char> asciiAlias; // the codes below 0x80 among them

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
    for (unsigned c = 0; c < 0x80; ++c)
      if (alias[c]) asciiAlias.push_back(static_cast<unsigned char>(c));
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

// Names the place of a text's problem: "3 行 2 文字目の" before what it is.
void PlaceProblem(TDecodedText& d, long long line, long long col) {
  d.ProblemLine = line;
  d.ProblemColumn = col;
  d.Problem = std::to_string(line) + " 行 " + std::to_string(col) + " 文字目の" + d.Problem;
}

// The length of the run of ASCII bytes at p (16 or 8 bytes at a time).
size_t AsciiRun(const unsigned char* p, const unsigned char* end) {
  const unsigned char* q = p;
#if defined(__SSE2__)
  while (end - q >= 16) {
    unsigned high = unsigned(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q))));
    if (high) return size_t(q - p) + unsigned(__builtin_ctz(high));
    q += 16;
  }
#endif
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
// character that cannot be held exactly. The text is written at Out(): into
// a buffer of the most it can need (Reserve), cut to size by Finish, or,
// for text read piece by piece, into each piece's own buffer (Target).
class Cp932Sink {
public:
  explicit Cp932Sink(TDecodedText& d) : d_(d), t_(Tables()) { UpdateWatch(); }

  void Reserve(size_t most) {
    d_.Text.resize(most);
    Target(d_.Text.data(), 0);
  }
  // Writes from out on, which is offset `written` of the whole text.
  void Target(char* out, long long written) {
    begin_ = o_ = out;
    base_ = written;
  }
  long long Size() const { return OffsetOf(o_); }
  long long OffsetOf(const char* o) const { return base_ + (o - begin_); }
  char* Out() const { return o_; }
  void SetOut(char* o) { o_ = o; }
  // Where in the text the first problem is (-1 while exact).
  long long ProblemAt() const { return d_.Exact ? -1 : problemAt_; }

  void PutAscii(const unsigned char* p, size_t n) {
    std::memcpy(o_, p, n);
    o_ += n;
    if (watching_) Watch(p, n, Size() - static_cast<long long>(n));
  }

  // Whether ASCII bytes written must go through Watch: some byte that is
  // also what another character becomes ('\\' for U+00A5, '~' for U+203E)
  // has not been seen yet, or a file used that other character.
  bool Watching() const { return watching_; }
  // ASCII bytes p[0..n) written at offset at: once a file used U+00A5 for
  // '\\', the plain byte must not appear too, and the other way round.
  void Watch(const unsigned char* p, size_t n, long long at) {
    if (n == 1 && !watched_[p[0] & 0x7F]) return; // the common case, decoded one by one
    const unsigned char* first = nullptr; // the first byte in conflict
    for (unsigned char c : t_.asciiAlias) {
      if (plainSeen_[c] && !asciiVariant_[c]) continue;
      auto* hit = static_cast<const unsigned char*>(std::memchr(p, c, n));
      if (!hit) continue;
      if (asciiVariant_[c] && (!first || hit < first)) first = hit;
      plainSeen_[c] = true;
    }
    if (first) Conflict(*first, *first, at + (first - p));
    UpdateWatch();
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
      PutReplacement();
      return;
    }
    char32_t back = t_.Of(code);
    if (back != u) {
      char32_t kept = d_.Variants.Get(code);
      if (kept == 0) { // the first of this variant: the plain one must not be there yet
        bool plainUsed = code < 0x80 ? plainSeen_[code] : bool(defaultSeen_[code]);
        if (plainUsed) {
          Conflict(code, u, Size());
        } else {
          d_.Variants.Set(code, u);
          if (code < 0x80) {
            asciiVariant_[code] = true;
            UpdateWatch();
          }
        }
      } else if (kept != u) {
        Conflict(code, u, Size());
      }
    } else if (code < 0x80 ? asciiVariant_[code] : d_.Variants.Get(code) != 0) {
      Conflict(code, u, Size());
    } else {
      defaultSeen_[code] = true;
    }
    if (code > 0xFF) *o_++ = char(code >> 8);
    *o_++ = char(code & 0xFF);
  }

  // Bytes the encoding cannot read: kept visible as '?', the text inexact.
  void Bad(const char* what) {
    if (d_.Exact) Problem(what);
    PutReplacement();
  }
  // Bytes kept as they are (what follows a sequence a converter refused).
  void PutRaw(std::string_view bytes) {
    std::memcpy(o_, bytes.data(), bytes.size());
    o_ += bytes.size();
  }

  void Problem(const std::string& what) { Problem(what, Size()); }
  void Problem(const std::string& what, long long at) {
    d_.Exact = false;
    problemAt_ = at;
    d_.Problem = what;
  }

  // For text written whole into the reserved buffer: cuts it to size and
  // names the problem's place.
  void Finish() {
    d_.Text.resize(size_t(Size()));
    if (d_.Exact) return;
    long long line = 1, col = 1;
    const std::string& t = d_.Text;
    const size_t at = size_t(problemAt_);
    for (size_t i = 0; i < at && i < t.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if (c == '\n' || (c == '\r' && !(i + 1 < t.size() && t[i + 1] == '\n'))) {
        ++line;
        col = 1;
      } else if (c != '\r') {
        if (IsLeadByte(c) && i + 1 < at) ++i;
        ++col;
      }
    }
    PlaceProblem(d_, line, col);
  }

private:
  void PutReplacement() {
    auto c = static_cast<unsigned char>(kCp932Replacement);
    PutAscii(&c, 1);
  }

  void UpdateWatch() {
    watching_ = false;
    for (unsigned char c : t_.asciiAlias) {
      watched_[c] = !plainSeen_[c] || asciiVariant_[c];
      watching_ |= watched_[c];
    }
  }

  void Conflict(uint16_t code, char32_t u, long long at) {
    if (!d_.Exact) return;
    char32_t other = d_.Variants.Get(code);
    if (other == 0 || other == u) other = t_.Of(code);
    std::string a, b;
    PutUtf8(a, u);
    PutUtf8(b, other);
    Problem("「" + a + "」(" + Hex(u) + ") と「" + b + "」(" + Hex(other) +
                ") は Shift-JIS では同じ文字になるため、両方を含むファイルは元どおりに保存できません",
            at);
  }

  TDecodedText& d_;
  const Cp932Tables& t_;
  char* begin_ = nullptr;
  char* o_ = nullptr;
  long long base_ = 0;
  std::bitset<65536> defaultSeen_;
  // Per ASCII byte: written as itself; written for another character.
  bool plainSeen_[128] = {};
  bool asciiVariant_[128] = {};
  bool watched_[128] = {}; // Watch looks for it
  bool watching_ = false;
  long long problemAt_ = 0;
};

// ---- UTF-8 to CP932

// For the common characters, the CP932 bytes of a code point in the order
// they are written (the first in the low byte, a second one in the high
// byte); 0 for every character that needs the careful way: one without a
// code, one whose code other characters share, or a form strict UTF-8
// forbids (overlong, surrogate).
struct Utf8Fast {
  uint16_t two[0x800];         // two-byte sequences, by code point
  std::vector<uint16_t> three; // three-byte sequences, by code point

  Utf8Fast() : three(0x10000, 0) {
    const Cp932Tables& t = Tables();
    auto entry = [&](char32_t u) -> uint16_t {
      uint16_t code = t.toCode[u];
      if (code == kNoCode || t.alias[code]) return 0;
      return code > 0xFF ? uint16_t(code >> 8 | (code & 0xFF) << 8) : code;
    };
    for (char32_t u = 0; u < 0x800; ++u) two[u] = u < 0x80 ? 0 : entry(u);
    for (char32_t u = 0x800; u < 0x10000; ++u)
      three[u] = u >= 0xD800 && u <= 0xDFFF ? 0 : entry(u);
  }
};

const Utf8Fast& FastUtf8() {
  static const Utf8Fast f;
  return f;
}

// Reads UTF-8 into a Cp932Sink. One is the plain reading, a character at
// a time; Run reads runs of ASCII 16 bytes at a time and the usual two-
// and three-byte characters by table, handing everything else to One, so
// that both give the same text, variants and problems.
class Utf8Decoder {
public:
  explicit Utf8Decoder(TDecodedText& d) : sink_(d), f_(FastUtf8()) {
    const auto& aliases = Tables().asciiAlias;
    prefilter_ = !aliases.empty() && aliases.size() <= 2;
#if defined(__SSE2__)
    if (prefilter_) {
      watch0_ = _mm_set1_epi8(char(aliases.front()));
      watch1_ = _mm_set1_epi8(char(aliases.back()));
    }
#endif
  }

  Cp932Sink& Sink() { return sink_; }
  // Bytes that are not UTF-8 were met (a character cut by the very end of
  // the text does not count).
  bool Invalid() const { return invalid_; }

  const unsigned char* One(const unsigned char* p, const unsigned char* end) {
    if (*p < 0x80) {
      sink_.PutAscii(p, 1);
      return p + 1;
    }
    char32_t u;
    int n = Utf8Length(p, end, u);
    if (n > 0) {
      sink_.Put(u);
      return p + n;
    }
    if (n < 0) cutAtEnd_ = true; // the rest is that character
    else if (!cutAtEnd_) invalid_ = true;
    sink_.Bad(n < 0 ? "ファイルの終わりで文字が途切れています"
                    : "UTF-8 として正しくないバイトがあります");
    return p + 1;
  }

  // Converts the characters that start before stop and returns where it
  // stopped. Unless atEnd says that end is the end of the text, a
  // character is read only with four bytes in view (the longest UTF-8
  // has), so that text read in pieces comes out as when read whole. The
  // sink needs room for end - p bytes and 16 more.
  const unsigned char* Run(const unsigned char* p, const unsigned char* end,
                           const unsigned char* stop, bool atEnd) {
    char* o = sink_.Out();
    // Locals: the compiler must assume that a byte written at o changes
    // any member.
    const uint16_t* const three = f_.three.data();
    const uint16_t* const two = f_.two;
    while (p < stop && end - p >= 16) {
      if (*p < 0x80) {
        size_t n;
#if defined(__SSE2__)
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
        unsigned high = unsigned(_mm_movemask_epi8(v));
        n = high ? unsigned(__builtin_ctz(high)) : 16u;
        if (sink_.Watching()) {
          unsigned hits = 0xFFFF;
          if (prefilter_)
            hits = unsigned(_mm_movemask_epi8(
                       _mm_or_si128(_mm_cmpeq_epi8(v, watch0_), _mm_cmpeq_epi8(v, watch1_)))) &
                   ((1u << n) - 1);
          if (hits) sink_.Watch(p, n, sink_.OffsetOf(o));
        }
#else
        n = AsciiRun(p, p + 16);
        std::memcpy(o, p, n);
        if (sink_.Watching()) sink_.Watch(p, n, sink_.OffsetOf(o));
#endif
        p += n;
        o += n;
        continue;
      }
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
      // Kana and kanji come in runs: four three-byte characters at once.
      for (;;) {
        uint64_t a;
        uint32_t b;
        if (!FourThreeByteChars(p, a, b)) break;
        auto index = [](uint64_t x) {
          return size_t((x & 0x0F) << 12 | (x & 0x3F00) >> 2 | (x & 0x3F0000) >> 16);
        };
        uint16_t c0 = three[index(a)], c1 = three[index(a >> 24)],
                 c2 = three[index(a >> 48 | uint64_t(b) << 16)], c3 = three[index(b >> 8)];
        if (!((c0 != 0) & (c1 != 0) & (c2 != 0) & (c3 != 0))) break;
        Put2(o, c0);
        Put2(o, c1);
        Put2(o, c2);
        Put2(o, c3);
        p += 12;
        if (p >= stop || end - p < 16) break;
      }
      if (p >= stop || end - p < 16 || *p < 0x80) continue;
#endif
      uint32_t w = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
      uint16_t code = 0;
      int len = 0;
      if ((w & 0xC0C0F0) == 0x8080E0) {
        code = three[(w & 0x0F) << 12 | (w & 0x3F00) >> 2 | (w & 0x3F0000) >> 16];
        len = 3;
      } else if ((w & 0xC0E0) == 0x80C0) {
        code = two[(w & 0x1F) << 6 | (w & 0x3F00) >> 8];
        len = 2;
      }
      if (code) {
        Put2(o, code);
        p += len;
        continue;
      }
      sink_.SetOut(o);
      p = One(p, end);
      o = sink_.Out();
    }
    sink_.SetOut(o);
    while (p < stop && (atEnd ? p < end : end - p >= 4)) p = One(p, end);
    return p;
  }

private:
  // A table entry written: both bytes, the second kept only when the
  // code has one.
  static void Put2(char*& o, uint16_t c) {
    o[0] = char(c & 0xFF);
    o[1] = char(c >> 8);
    o += 1 + (c > 0xFF);
  }

  Cp932Sink sink_;
  const Utf8Fast& f_;
  bool prefilter_ = false;
#if defined(__SSE2__)
  __m128i watch0_{}, watch1_{};
#endif
  bool invalid_ = false, cutAtEnd_ = false;
};

// Whole UTF-8 text, with or without a byte order mark.
TDecodedText DecodeUtf8(std::string_view bytes, bool fast) {
  TDecodedText d;
  Utf8Decoder dec(d);
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto* end = p + bytes.size();
  // Whether the file starts with a byte order mark decides which of the
  // two it is written back as.
  bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  d.Encoding = bom ? TEncoding::Utf8Bom : TEncoding::Utf8;
  if (bom) p += 3;
  dec.Sink().Reserve(size_t(end - p) + TUtf8Reader::kSlack); // never more bytes than UTF-8 has
  if (fast) p = dec.Run(p, end, end, true);
  else
    while (p < end) p = dec.One(p, end);
  dec.Sink().Finish();
  return d;
}

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
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Runs of kana and kanji, four characters at a time: three bytes each,
    // none led by E0 or ED (which need their second byte checked).
    bool four = false;
    while (end - p >= 12) {
      uint64_t a;
      uint32_t b;
      if (!FourThreeByteChars(p, a, b)) break;
      const unsigned n0 = a & 0x0F, n1 = (a >> 24) & 0x0F, n2 = (a >> 48) & 0x0F, n3 = (b >> 8) & 0x0F;
      if ((n0 == 0) | (n0 == 0xD) | (n1 == 0) | (n1 == 0xD) | (n2 == 0) | (n2 == 0xD) | (n3 == 0) |
          (n3 == 0xD))
        break;
      count += 4;
      p += 12;
      four = true;
    }
    if (four) continue;
#endif
    if (((*p >= 0xE1 && *p <= 0xEC) || *p >= 0xEE) && *p <= 0xEF && end - p >= 3 &&
        (p[1] & 0xC0) == 0x80 &&
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
  if (e == TEncoding::Utf8 || e == TEncoding::Utf8Bom) return DecodeUtf8(bytes, true);
  Cp932Sink sink(d);
  auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  auto* end = p + bytes.size();
  switch (e) {
  case TEncoding::Utf8:
  case TEncoding::Utf8Bom: break; // above
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

TDecodedText DecodeUtf8OneByOne(std::string_view bytes) { return DecodeUtf8(bytes, false); }

// ---- UTF-8 in pieces

struct TUtf8Reader::Impl {
  TDecodedText d;
  Utf8Decoder dec{d};
  std::string carry; // bytes of the last piece not read yet (at most 3)
  bool started = false;
  long long written = 0;
};

TUtf8Reader::TUtf8Reader() : impl_(std::make_unique<Impl>()) {
  impl_->d.Encoding = TEncoding::Utf8;
}
TUtf8Reader::~TUtf8Reader() = default;

long long TUtf8Reader::Written() const { return impl_->written; }
long long TUtf8Reader::ProblemOffset() const { return impl_->dec.Sink().ProblemAt(); }
bool TUtf8Reader::Invalid() const { return impl_->dec.Invalid(); }

size_t TUtf8Reader::Convert(std::string_view piece, char* out, bool last) {
  Impl& m = *impl_;
  Cp932Sink& sink = m.dec.Sink();
  sink.Target(out, m.written);
  auto* p = reinterpret_cast<const unsigned char*>(piece.data());
  auto* end = p + piece.size();
  if (!m.started) {
    // A byte order mark is known only with three bytes in view.
    size_t take = std::min(3 - m.carry.size(), piece.size());
    m.carry.append(piece.data(), take);
    p += take;
    if (m.carry.size() < 3 && !last) return 0;
    m.started = true;
    if (m.carry == "\xEF\xBB\xBF") {
      m.d.Encoding = TEncoding::Utf8Bom;
      m.carry.clear();
    }
  }
  if (!m.carry.empty()) {
    // The characters begun in the last piece, read with the first bytes
    // of this one.
    const size_t kept = m.carry.size();
    const size_t take = std::min<size_t>(size_t(end - p), 4);
    std::string joined = m.carry;
    joined.append(reinterpret_cast<const char*>(p), take);
    auto* j = reinterpret_cast<const unsigned char*>(joined.data());
    auto* jend = j + joined.size();
    auto* q = m.dec.Run(j, jend, j + kept, last && take == size_t(end - p));
    if (q < j + kept) { // a piece too short to see a character through
      m.carry.assign(reinterpret_cast<const char*>(q), size_t(jend - q));
      p += take;
    } else {
      p += (q - j) - kept;
      m.carry.clear();
    }
  }
  if (m.carry.empty()) {
    auto* q = m.dec.Run(p, end, end, last);
    m.carry.assign(reinterpret_cast<const char*>(q), size_t(end - q));
  }
  const size_t n = size_t(sink.Out() - out);
  m.written += static_cast<long long>(n);
  return n;
}

TDecodedText TUtf8Reader::Finish(long long problemLine, long long problemColumn) {
  TDecodedText d = std::move(impl_->d);
  if (!d.Exact) PlaceProblem(d, problemLine, problemColumn);
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
