#include "platform/Encoding.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "platform/CodePage.h"

namespace ze {
namespace {

constexpr char32_t kNoChar = 0xFFFFFFFF;
constexpr uint16_t kNoCode = 0xFFFF; // no CP932 code uses it

class Iconv {
public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }
  // Converts as much as it can; returns false on a sequence it cannot
  // convert (in then points at it) and true once all is converted (with
  // flush, the shift state is closed too). E2BIG never escapes.
  bool Run(const char*& in, size_t& left, std::string& out, bool flush) {
    char buf[16384];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      char* src = const_cast<char*>(in);
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      in = src;
      if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    if (flush) {
      char* dst = buf;
      size_t room = sizeof buf;
      iconv(cd_, nullptr, nullptr, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
    }
    return true;
  }

private:
  iconv_t cd_;
};

// The CP932 converter's own tables, read from iconv once: the character
// of every code and the code of every character of the basic plane.
struct Cp932Tables {
  std::vector<char32_t> FromCode = std::vector<char32_t>(0x10000, kNoChar);
  std::vector<uint16_t> ToCode = std::vector<uint16_t>(0x10000, kNoCode);
  // Codes that more than one character converts to (0x8160 from U+301C
  // and U+FF5E …): only these need to be watched while decoding.
  std::vector<uint8_t> Shared = std::vector<uint8_t>(0x10000, 0);

  Cp932Tables() {
    Iconv from("UTF-32LE", "CP932");
    auto decode = [&](const char* bytes, size_t n) -> char32_t {
      from.Reset();
      std::string out;
      const char* in = bytes;
      size_t left = n;
      if (!from.Run(in, left, out, false) || out.size() != 4) return kNoChar;
      uint32_t u;
      std::memcpy(&u, out.data(), 4);
      return u;
    };
    for (int b = 0; b < 0x100; ++b) {
      if (IsLeadByte(static_cast<unsigned char>(b))) continue;
      char c = static_cast<char>(b);
      FromCode[static_cast<size_t>(b)] = decode(&c, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        FromCode[static_cast<size_t>(lead << 8 | trail)] = decode(two, 2);
      }
    }
    Iconv to("CP932", "UTF-32LE");
    for (uint32_t u = 0; u < 0x10000; ++u) {
      if (u >= 0xD800 && u <= 0xDFFF) continue;
      to.Reset();
      std::string out;
      const char* in = reinterpret_cast<const char*>(&u);
      size_t left = 4;
      if (!to.Run(in, left, out, false) || out.empty() || out.size() > 2) continue;
      uint16_t code = static_cast<unsigned char>(out[0]);
      if (out.size() == 2) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(out[1]));
      ToCode[u] = code;
    }
    for (uint32_t u = 0; u < 0x10000; ++u)
      if (ToCode[u] != kNoCode && FromCode[ToCode[u]] != u) Shared[ToCode[u]] = 1;
  }
};

const Cp932Tables& Tables() {
  static const Cp932Tables t;
  return t;
}

// Characters that share a CP932 code: where an encoding cannot hold one,
// the other may do.
char32_t Twin(char32_t u) {
  static constexpr std::pair<char32_t, char32_t> kTwins[] = {
      {0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x00A2, 0xFFE0},
      {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2014, 0x2015}, {0x00A5, 0x005C},
      {0x203E, 0x007E}};
  for (auto [a, b] : kTwins) {
    if (u == a) return b;
    if (u == b) return a;
  }
  return kNoChar;
}

std::string Utf8Of(char32_t u) {
  std::string s;
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (u >> 18));
    s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
  return s;
}

std::string CharName(char32_t u) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(u));
  std::string s = "\"" + (u >= 0x20 && u != 0x7F ? Utf8Of(u) : std::string("?")) + "\" (" + buf + ")";
  return s;
}

std::string Where(size_t line, size_t col) {
  return std::to_string(line) + " 行 " + std::to_string(col) + " 桁";
}

// Line and column (1-based, in bytes) of a byte offset.
void ByteWhere(std::string_view bytes, size_t offset, size_t& line, size_t& col) {
  line = 1;
  size_t start = 0;
  for (size_t i = 0; i < offset && i < bytes.size(); ++i)
    if (bytes[i] == '\n') {
      ++line;
      start = i + 1;
    }
  col = offset - start + 1;
}

// ---------------------------------------------------------------- decoding

// Turns characters into CP932, remembering which character each code came
// from, so that the variants are known and a mix of two is caught.
class Cp932Sink {
public:
  Cp932Sink(TDecoded& out, TEncoding e)
      : out_(out), encoding_(e), tables_(Tables()), used_(0x10000, kNoChar) {}

  void Put(char32_t u) {
    if (newline_) {
      ++line_;
      col_ = 0;
    }
    newline_ = u == '\n';
    ++col_;
    uint16_t code = u < 0x10000 ? tables_.ToCode[u] : kNoCode;
    if (code == kNoCode) {
      Fail(CharName(u) + " は Shift_JIS にない文字です");
      out_.Text += kCp932Replacement;
      return;
    }
    char32_t& seen = used_[code];
    if (seen == kNoChar) {
      seen = u;
    } else if (seen != u) {
      Fail(CharName(seen) + " と " + CharName(u) +
           " が混在していて、Shift_JIS では区別できません");
    }
    if (code > 0xFF) out_.Text += static_cast<char>(code >> 8);
    out_.Text += static_cast<char>(code & 0xFF);
  }

  void Finish() {
    for (uint32_t code = 0; code < 0x10000; ++code) {
      char32_t u = used_[code];
      if (u != kNoChar && u != tables_.FromCode[code]) out_.Variants[static_cast<uint16_t>(code)] = u;
    }
  }

  // A problem at the current character.
  void Fail(const std::string& what) {
    if (!out_.Exact) return;
    out_.Exact = false;
    out_.Line = line_;
    out_.Column = col_;
    out_.Message = std::string(EncodingName(encoding_)) + " のファイルの " + Where(line_, col_) +
                   ": " + what + "。読み出し専用で開きます。";
  }

private:
  TDecoded& out_;
  TEncoding encoding_;
  const Cp932Tables& tables_;
  std::vector<char32_t> used_;
  size_t line_ = 1, col_ = 0;
  bool newline_ = false; // the previous character ended a line
};

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
// Returns the length of the character at i, 0 when invalid, and -n when
// the bytes end n bytes into an otherwise valid character.
int Utf8Char(std::string_view s, size_t i, char32_t& u) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    u = c;
    return 1;
  }
  int n;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) n = 2, u = c & 0x1F, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, u = c & 0x0F, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, u = c & 0x07, min = 0x10000;
  else return 0;
  for (int k = 1; k < n; ++k) {
    if (i + static_cast<size_t>(k) >= s.size()) return -k;
    const unsigned char t = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if ((t & 0xC0) != 0x80) return 0;
    u = (u << 6) | (t & 0x3F);
    if (k == 1 && ((n == 3 && c == 0xE0 && t < 0xA0) || (n == 4 && c == 0xF0 && t < 0x90) ||
                   (n == 4 && c == 0xF4 && t > 0x8F) || (n == 3 && c == 0xED && t > 0x9F)))
      return 0;
  }
  return u >= min ? n : 0;
}

// UTF-8 is by far the most common case and files are large, so it has
// its own loop: runs of ASCII are copied eight bytes at a time, the output
// is written in place (CP932 is never longer than UTF-8), and the place of
// a problem is worked out only when there is one.
// Utf8Char with the common three-byte forms (kana, kanji, full-width
// forms: first bytes E1-EC and EE-EF, which have no overlong or surrogate
// cases) done inline.
inline int Utf8CharFast(std::string_view s, size_t i, char32_t& u) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (((c >= 0xE1 && c <= 0xEC) || c >= 0xEE) && c <= 0xEF && i + 2 < s.size()) {
    const unsigned char b1 = static_cast<unsigned char>(s[i + 1]);
    const unsigned char b2 = static_cast<unsigned char>(s[i + 2]);
    if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80) {
      u = (char32_t(c & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
      return 3;
    }
  }
  return Utf8Char(s, i, u);
}

// Bytes from i on that are below 0x80, eight at a time.
inline size_t SkipAscii(const char* p, size_t i, size_t n) {
  while (i + 8 <= n) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

void DecodeUtf8(std::string_view s, TDecoded& out) {
  const Cp932Tables& t = Tables();
  std::vector<char32_t> used(0x10000, kNoChar);
  std::vector<size_t> firstUse(0x80, SIZE_MAX); // of a non-ASCII twin of an ASCII code
  std::string& text = out.Text;
  text.resize(s.size());
  char* o = text.data();
  const char* p = s.data();
  const size_t n = s.size();
  auto problem = [&](size_t at, const std::string& what) {
    if (!out.Exact) return;
    out.Exact = false;
    out.Line = 1;
    size_t lineStart = 0;
    for (size_t k = 0; k < at; ++k)
      if (p[k] == '\n') ++out.Line, lineStart = k + 1;
    out.Column = 1;
    for (size_t k = lineStart; k < at; ++k)
      if ((static_cast<unsigned char>(p[k]) & 0xC0) != 0x80) ++out.Column;
    out.Message = std::string("UTF-8 のファイルの ") + Where(out.Line, out.Column) + ": " + what +
                  "。読み出し専用で開きます。";
  };
  size_t i = 0;
  while (i < n) {
    while (i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, p + i, 8);
      if (w & 0x8080808080808080ull) break;
      std::memcpy(o, p + i, 8);
      o += 8;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
      ++i;
      continue;
    }
    char32_t u;
    const int len = Utf8CharFast(s, i, u);
    if (len <= 0) {
      problem(i, "UTF-8 として正しくないバイトがあります");
      *o++ = kCp932Replacement;
      ++i;
      continue;
    }
    const uint16_t code = u < 0x10000 ? t.ToCode[u] : kNoCode;
    if (code == kNoCode) {
      problem(i, CharName(u) + " は Shift_JIS にない文字です");
      *o++ = kCp932Replacement;
    } else {
      if (t.Shared[code]) {
        char32_t& seen = used[code];
        if (seen == kNoChar) {
          seen = u;
          if (code < 0x80) firstUse[code] = i;
        } else if (seen != u) {
          problem(i, CharName(seen) + " と " + CharName(u) +
                         " が混在していて、Shift_JIS では区別できません");
        }
      }
      if (code > 0xFF) *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
    }
    i += static_cast<size_t>(len);
  }
  text.resize(static_cast<size_t>(o - text.data()));
  // ASCII went by without being recorded: a twin of an ASCII code (¥ for
  // "\\", ‾ for "~") mixes with it when the file holds that byte too.
  for (unsigned code = 0; code < 0x80; ++code) {
    if (firstUse[code] == SIZE_MAX) continue;
    const void* ascii = std::memchr(p, static_cast<int>(code), n);
    if (ascii) {
      const size_t at = std::max(firstUse[code], static_cast<size_t>(static_cast<const char*>(ascii) - p));
      problem(at, CharName(used[code]) + " と " + CharName(code) +
                      " が混在していて、Shift_JIS では区別できません");
    }
  }
  for (uint32_t code = 0; code < 0x10000; ++code) {
    const char32_t u = used[code];
    if (u != kNoChar && u != t.FromCode[code]) out.Variants[static_cast<uint16_t>(code)] = u;
  }
}

void DecodeUtf16(std::string_view s, bool bigEndian, Cp932Sink& sink, TDecoded& out) {
  auto unit = [&](size_t i) -> char32_t {
    unsigned a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  auto bad = [&](size_t i, const char* what) {
    if (!out.Exact) return;
    out.Exact = false;
    out.Line = 0;
    out.Column = 0;
    out.Message = std::string(EncodingName(bigEndian ? TEncoding::Utf16Be : TEncoding::Utf16Le)) +
                  " のファイルの " + std::to_string(i) + " バイト目: " + what +
                  "。読み出し専用で開きます。";
  };
  size_t i = 0;
  for (; i + 1 < s.size(); i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
      char32_t lo = unit(i + 2);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        sink.Put(0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      bad(i, "対になっていないサロゲートがあります");
      out.Text += kCp932Replacement;
      continue;
    }
    sink.Put(u);
  }
  if (i < s.size()) bad(i, "バイト数が奇数です (最後の 1 バイトが余ります)");
}

const char* IconvName(TEncoding e) {
  switch (e) {
  case TEncoding::EucJp: return "EUC-JP";
  case TEncoding::Iso2022Jp: return "ISO-2022-JP";
  case TEncoding::Cp932: return "CP932";
  case TEncoding::Utf8:
  case TEncoding::Utf8Bom: return "UTF-8";
  case TEncoding::Utf16Le: return "UTF-16LE";
  case TEncoding::Utf16Be: return "UTF-16BE";
  }
  return "CP932";
}

// EUC-JP and ISO-2022-JP through iconv, in pieces, so that a large file
// never exists as one array of 32-bit characters.
void DecodeIconv(std::string_view s, TEncoding e, Cp932Sink& sink, TDecoded& out) {
  Iconv cv("UTF-32LE", IconvName(e));
  const char* in = s.data();
  size_t left = s.size();
  constexpr size_t kPiece = 1 << 16;
  while (left > 0) {
    size_t take = std::min(left, kPiece);
    size_t pieceLeft = take;
    std::string u32;
    const bool ok = cv.Run(in, pieceLeft, u32, false);
    const int err = ok ? 0 : errno;
    // Whatever stopped short (a character cut by the piece's end or a bad
    // sequence) is carried into the next attempt with more bytes.
    left -= take - pieceLeft;
    for (size_t k = 0; k + 3 < u32.size(); k += 4) {
      uint32_t u;
      std::memcpy(&u, u32.data() + k, 4);
      sink.Put(u);
    }
    if (ok) continue;
    if (err == EINVAL && left > pieceLeft)
      continue; // cut by the piece: the next round starts at the cut character
    // A real error: report it and go on after the byte.
    size_t line, col;
    ByteWhere(s, static_cast<size_t>(in - s.data()), line, col);
    if (out.Exact) {
      out.Exact = false;
      out.Line = line;
      out.Column = col;
      out.Message = std::string(EncodingName(e)) + " として正しくないバイトがあります (" +
                    Where(line, col) + ")。読み出し専用で開きます。";
    }
    out.Text += kCp932Replacement;
    ++in;
    --left;
    cv.Reset();
  }
}

// ---------------------------------------------------------------- encoding

void PutUtf8(std::string& out, char32_t u) { out += Utf8Of(u); }

void PutUtf16(std::string& out, char32_t u, bool bigEndian) {
  auto unit = [&](char32_t v) {
    char hi = static_cast<char>(v >> 8), lo = static_cast<char>(v & 0xFF);
    if (bigEndian) out += hi, out += lo;
    else out += lo, out += hi;
  };
  if (u >= 0x10000) {
    u -= 0x10000;
    unit(0xD800 + (u >> 10));
    unit(0xDC00 + (u & 0x3FF));
  } else {
    unit(u);
  }
}

// Whether an iconv target holds a character, asked once per character.
class Holds {
public:
  explicit Holds(const char* target) : cv_(target, "UTF-32LE") {}
  bool operator()(char32_t u) {
    if (u < 0x80) return true;
    auto it = cache_.find(u);
    if (it != cache_.end()) return it->second;
    cv_.Reset();
    std::string out;
    const char* in = reinterpret_cast<const char*>(&u);
    size_t left = 4;
    bool ok = cv_.Run(in, left, out, true);
    cache_.emplace(u, ok);
    return ok;
  }

private:
  Iconv cv_;
  std::unordered_map<char32_t, bool> cache_;
};

} // namespace

const char* EncodingName(TEncoding e) {
  switch (e) {
  case TEncoding::Cp932: return "Shift_JIS";
  case TEncoding::Utf8: return "UTF-8";
  case TEncoding::Utf8Bom: return "UTF-8 (BOM)";
  case TEncoding::EucJp: return "EUC-JP";
  case TEncoding::Iso2022Jp: return "ISO-2022-JP";
  case TEncoding::Utf16Le: return "UTF-16LE";
  case TEncoding::Utf16Be: return "UTF-16BE";
  }
  return "?";
}

TDecoded DecodeToCp932(std::string_view bytes, TEncoding e) {
  TDecoded out;
  if (e == TEncoding::Cp932) {
    out.Text.assign(bytes);
    return out;
  }
  if (e == TEncoding::Utf8 || e == TEncoding::Utf8Bom) {
    if (e == TEncoding::Utf8Bom && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    DecodeUtf8(bytes, out);
    return out;
  }
  out.Text.reserve(bytes.size());
  Cp932Sink sink(out, e);
  switch (e) {
  case TEncoding::Utf8Bom:
  case TEncoding::Utf8:
  case TEncoding::Utf16Le:
  case TEncoding::Utf16Be: {
    const bool be = e == TEncoding::Utf16Be;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == (be ? "\xFE\xFF" : "\xFF\xFE")) bytes.remove_prefix(2);
    DecodeUtf16(bytes, be, sink, out);
    break;
  }
  case TEncoding::EucJp:
  case TEncoding::Iso2022Jp: DecodeIconv(bytes, e, sink, out); break;
  case TEncoding::Cp932: break;
  }
  sink.Finish();
  // iconv's decoders accept forms that its encoders never write (an
  // escape sequence that changes nothing, JIS C 6226 designations): only
  // a text that encodes back to the same bytes is exact.
  if (out.Exact && (e == TEncoding::EucJp || e == TEncoding::Iso2022Jp)) {
    TEncoded back = EncodeFromCp932(out.Text, e, out.Variants);
    if (!back.Ok || back.Bytes != bytes) {
      size_t at = 0;
      while (at < back.Bytes.size() && at < bytes.size() && back.Bytes[at] == bytes[at]) ++at;
      ByteWhere(bytes, at, out.Line, out.Column);
      out.Exact = false;
      out.Message = std::string(EncodingName(e)) + " のファイルの " + Where(out.Line, out.Column) +
                    ": 元のバイト列どおりに書き戻せない書き方があります。読み出し専用で開きます。";
    }
  }
  return out;
}

TEncoded EncodeFromCp932(std::string_view text, TEncoding e, const TVariantMap& variants) {
  TEncoded out;
  if (e == TEncoding::Cp932) {
    out.Bytes.assign(text);
    return out;
  }
  const Cp932Tables& t = Tables();
  std::unique_ptr<Holds> holds;
  std::unique_ptr<Iconv> cv;
  std::string u32; // a piece of characters for iconv
  const bool viaIconv = e == TEncoding::EucJp || e == TEncoding::Iso2022Jp;
  if (viaIconv) {
    holds = std::make_unique<Holds>(IconvName(e));
    cv = std::make_unique<Iconv>(IconvName(e), "UTF-32LE");
  }
  if (e == TEncoding::Utf8Bom) out.Bytes += "\xEF\xBB\xBF";
  if (e == TEncoding::Utf16Le) out.Bytes += "\xFF\xFE";
  if (e == TEncoding::Utf16Be) out.Bytes += "\xFE\xFF";
  out.Bytes.reserve(out.Bytes.size() + text.size() * (viaIconv ? 1 : 2));
  auto flush = [&](bool last) {
    const char* in = u32.data();
    size_t left = u32.size();
    cv->Run(in, left, out.Bytes, last); // every character was checked
    u32.clear();
  };
  size_t line = 1, col = 0;
  bool newline = false;
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    uint16_t code = b;
    size_t n = 1;
    if (IsLeadByte(b) && i + 1 < text.size()) {
      code = static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(text[i + 1]));
      n = 2;
    }
    if (newline) ++line, col = 0;
    newline = code == '\n';
    ++col;
    auto v = variants.find(code);
    char32_t u = v != variants.end() ? v->second : t.FromCode[code];
    if (u != kNoChar && viaIconv && !(*holds)(u)) {
      char32_t twin = Twin(u);
      u = twin != kNoChar && (*holds)(twin) ? twin : kNoChar;
    }
    if (u == kNoChar) {
      out.Ok = false;
      out.Line = line;
      out.Column = col;
      char buf[8];
      std::snprintf(buf, sizeof buf, n == 2 ? "%04X" : "%02X", static_cast<unsigned>(code));
      std::string what = t.FromCode[code] == kNoChar ? std::string("Shift_JIS の文字ではないバイト ") + buf
                                                     : CharName(t.FromCode[code]) + " (" + buf + ")";
      out.Message = Where(line, col) + " の " + what + " は " + EncodingName(e) +
                    " で保存できません。保存を中止しました。";
      out.Bytes.clear();
      return out;
    }
    switch (e) {
    case TEncoding::Utf8:
    case TEncoding::Utf8Bom: PutUtf8(out.Bytes, u); break;
    case TEncoding::Utf16Le: PutUtf16(out.Bytes, u, false); break;
    case TEncoding::Utf16Be: PutUtf16(out.Bytes, u, true); break;
    default:
      u32.append(reinterpret_cast<const char*>(&u), 4);
      if (u32.size() >= (1u << 16)) flush(false);
      break;
    }
    i += n;
  }
  if (viaIconv) flush(true);
  return out;
}

// ---------------------------------------------------------------- detection

TEncodingScores ScoreEncodings(std::string_view s) {
  TEncodingScores sc;
  const Cp932Tables& t = Tables();
  // CP932: kana, common symbols and the first kanji level are what
  // Japanese text is made of; half-width katakana and user-defined codes
  // are rare.
  {
    long long score = 0;
    bool ok = true;
    for (size_t i = 0; i < s.size() && ok;) {
      i = SkipAscii(s.data(), i, s.size());
      if (i >= s.size()) break;
      const unsigned char b = static_cast<unsigned char>(s[i]);
      if (IsLeadByte(b)) {
        if (i + 1 >= s.size()) break; // cut at the end
        const unsigned code = b << 8 | static_cast<unsigned char>(s[i + 1]);
        if (t.FromCode[code] == kNoChar) ok = false;
        else if (b == 0x82 || b == 0x83) score += 2;
        else if (b >= 0x88 && code <= 0x9872) score += 2;
        else if (b == 0x81 || (code > 0x9872 && b <= 0xEA)) score += 1;
        else if (b >= 0xF0 && b <= 0xF9) score -= 5;
        i += 2;
      } else if (b >= 0xA1 && b <= 0xDF) {
        score -= 1;
        ++i;
      } else {
        ok = false;
      }
    }
    if (ok) sc.Cp932 = std::max(score, 0LL);
  }
  // EUC-JP: the same judgement on JIS rows.
  {
    long long score = 0;
    bool ok = true;
    for (size_t i = 0; i < s.size() && ok;) {
      i = SkipAscii(s.data(), i, s.size());
      if (i >= s.size()) break;
      const unsigned char b = static_cast<unsigned char>(s[i]);
      auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
      if (b == 0x8E) {
        if (i + 1 >= s.size()) break;
        if (at(1) < 0xA1 || at(1) > 0xDF) ok = false;
        score -= 1;
        i += 2;
      } else if (b == 0x8F) {
        if (i + 2 >= s.size()) break;
        if (at(1) < 0xA1 || at(1) > 0xFE || at(2) < 0xA1 || at(2) > 0xFE) ok = false;
        score += 2; // three bytes of the right shape: letters such as ü, rare kanji
        i += 3;
      } else if (b >= 0xA1 && b <= 0xFE) {
        if (i + 1 >= s.size()) break;
        if (at(1) < 0xA1 || at(1) > 0xFE) ok = false;
        else if (b >= 0xA3 && b <= 0xA5) score += 2;
        else if (b >= 0xB0 && b <= 0xCF) score += 2;
        else if (b <= 0xA2 || (b >= 0xD0 && b <= 0xF4)) score += 1;
        else if (b >= 0xF5) score -= 5;
        i += 2;
      } else {
        ok = false;
      }
    }
    if (ok) sc.EucJp = std::max(score, 0LL);
  }
  // UTF-8: strict; kana, kanji and full-width forms count.
  {
    long long score = 0;
    bool ok = true;
    for (size_t i = 0; i < s.size();) {
      i = SkipAscii(s.data(), i, s.size());
      if (i >= s.size()) break;
      char32_t u;
      int n = Utf8CharFast(s, i, u);
      if (n < 0) break; // cut at the end
      if (n == 0) {
        ok = false;
        break;
      }
      // Kana and kanji take three bytes here and two in the others, so
      // they weigh more; Latin-1 letters are as telling as kana (a
      // European UTF-8 text must not pass for kanji), rarer Latin letters
      // less than a common kanji would be; IPA letters and
      // spacing modifiers are what Japanese bytes tend to look like.
      if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF)) score += 3;
      else if ((u >= 0x3000 && u <= 0x303F) || (u >= 0xFF00 && u <= 0xFFEF)) score += 2;
      else if (u >= 0xA0 && u <= 0xFF) score += 2;
      else if (u >= 0x100 && u <= 0x24F) score += 1;
      else if (u >= 0x370 && u <= 0x4FF) score += 1;
      else if (u >= 0x250 && u <= 0x36F) score -= 1;
      i += static_cast<size_t>(n);
    }
    if (ok) sc.Utf8 = std::max(score, 0LL);
  }
  return sc;
}

TDetection DetectEncoding(std::string_view s, TEncoding asciiDefault) {
  TDetection d;
  if (s.substr(0, 3) == "\xEF\xBB\xBF") {
    d.Encoding = TEncoding::Utf8Bom;
    return d;
  }
  const bool le = s.substr(0, 2) == "\xFF\xFE", be = s.substr(0, 2) == "\xFE\xFF";
  if (le || be) {
    // An odd byte count is a cut or damaged UTF-16 file: still UTF-16,
    // and the decode says what is wrong.
    d.Encoding = le ? TEncoding::Utf16Le : TEncoding::Utf16Be;
    if (s.size() % 2 != 0) d.Note = "UTF-16 のファイルですがバイト数が奇数です";
    return d;
  }
  // 7-bit text with a designation (also one cut by the end) is
  // ISO-2022-JP.
  size_t high = s.size(); // the first byte above 0x7F
  bool escapes = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b >= 0x80) {
      high = i;
      break;
    }
    if (b == 0x1B && (i + 1 == s.size() || s[i + 1] == '$' || s[i + 1] == '(')) escapes = true;
  }
  if (high == s.size() && escapes) {
    d.Encoding = TEncoding::Iso2022Jp;
    return d;
  }
  // ASCII, or ASCII and a character cut off by the end: nothing to judge
  // by.
  bool tailOnly = s.size() - high <= 3;
  for (size_t i = high; i < s.size() && tailOnly; ++i)
    tailOnly = static_cast<unsigned char>(s[i]) >= 0x80;
  if (tailOnly) {
    d.Encoding = asciiDefault;
    d.Ascii = true;
    return d;
  }
  // The most plausible of those that are valid; on a tie UTF-8 (valid
  // UTF-8 is rarely anything else), then CP932.
  const TEncodingScores sc = ScoreEncodings(s);
  d.Encoding = TEncoding::Cp932;
  long long best = sc.Cp932;
  if (sc.Utf8 >= 0 && sc.Utf8 >= best) {
    d.Encoding = TEncoding::Utf8;
    best = sc.Utf8;
  }
  if (sc.EucJp >= 0 && sc.EucJp > best) d.Encoding = TEncoding::EucJp;
  return d;
}

TLineBreaks DetectLineBreaks(std::string_view s, TLineBreak def) {
  TLineBreaks r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') {
        ++r.CrLf;
        ++i;
      } else {
        ++r.Cr;
      }
    } else if (s[i] == '\n') {
      ++r.Lf;
    }
  }
  const int kinds = (r.CrLf > 0) + (r.Lf > 0) + (r.Cr > 0);
  r.Mixed = kinds > 1;
  if (kinds == 0) r.Style = def;
  else if (r.CrLf >= r.Lf && r.CrLf >= r.Cr) r.Style = TLineBreak::CrLf;
  else if (r.Lf >= r.Cr) r.Style = TLineBreak::Lf;
  else r.Style = TLineBreak::Cr;
  return r;
}

} // namespace ze
