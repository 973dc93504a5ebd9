#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace ze {
namespace {

// One converter per direction and thread: iconv_open costs far more than a
// short conversion, and painting converts every visible row.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in; on a sequence it cannot convert, calls onBad(in, size)
  // which returns how many input bytes to skip after appending its own
  // replacement to out.
  template <class OnBad>
  void Run(const char* in, size_t inLeft, std::string& out, OnBad onBad) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[4096];
    while (inLeft > 0) {
      char* dst = buf;
      size_t dstLeft = sizeof buf;
      char* src = const_cast<char*>(in);
      size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
      out.append(buf, static_cast<size_t>(dst - buf));
      in = src;
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (incomplete sequence at the end)
      size_t skip = onBad(in, inLeft, out);
      in += skip;
      inLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }

private:
  iconv_t cd_;
};

Converter& FromCp932() {
  thread_local Converter c("UTF-16LE", "CP932");
  return c;
}
Converter& ToCp932() {
  thread_local Converter c("CP932", "UTF-16LE");
  return c;
}

void AppendUnit(std::string& out, char16_t u) {
  out.push_back(static_cast<char>(u & 0xFF));
  out.push_back(static_cast<char>(u >> 8));
}

std::u16string FromLe(const std::string& le) {
  std::u16string r(le.size() / 2, u'\0');
  for (size_t i = 0; i < r.size(); ++i)
    r[i] = static_cast<char16_t>(static_cast<unsigned char>(le[2 * i]) |
                                 (static_cast<unsigned char>(le[2 * i + 1]) << 8));
  return r;
}

// UTF-8 <-> UTF-16 by hand: both directions are total here (a bad UTF-8
// byte, overlong forms included, becomes U+FFFD, a lone surrogate becomes
// U+FFFD).
std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string r;
  r.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 4; }
    else { r.push_back(kUnicodeReplacement); ++i; continue; }
    bool ok = i + n <= s.size();
    for (int k = 1; ok && k < n; ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (t & 0x3F);
    }
    // An overlong form (C0 AF for "/") is as invalid as any broken
    // sequence: accepting it would let a byte such as "/" or NUL slip
    // past a check made on the UTF-8 text.
    static constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && cp < kShortest[n]) ok = false;
    if (!ok) { r.push_back(kUnicodeReplacement); ++i; continue; }
    i += n;
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      r.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      r.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      r.push_back(kUnicodeReplacement);
    } else {
      r.push_back(static_cast<char16_t>(cp));
    }
  }
  return r;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string r;
  r.reserve(s.size() * 3);
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kUnicodeReplacement;
    }
    if (cp < 0x80) r.push_back(static_cast<char>(cp));
    else if (cp < 0x800) {
      r.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      r.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      r.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return r;
}

} // namespace

std::u16string Cp932ToUtf16(std::string_view bytes) {
  // ASCII is by far the most common text: skip iconv for it.
  size_t i = 0;
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  std::u16string r(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
  if (i == bytes.size()) return r;
  std::string le;
  le.reserve((bytes.size() - i) * 2);
  FromCp932().Run(bytes.data() + i, bytes.size() - i, le,
                  [](const char*, size_t, std::string& out) {
                    AppendUnit(out, kUnicodeReplacement);
                    return size_t{1};
                  });
  r += FromLe(le);
  return r;
}

std::string Cp932ToUtf8(std::string_view bytes) { return Utf16ToUtf8(Cp932ToUtf16(bytes)); }

std::string Utf16ToCp932(std::u16string_view text) {
  std::string le;
  le.reserve(text.size() * 2);
  for (char16_t u : text) AppendUnit(le, u);
  std::string out;
  out.reserve(text.size() * 2);
  ToCp932().Run(le.data(), le.size(), out, [](const char* in, size_t left, std::string& o) {
    o.push_back(kCp932Replacement);
    // A surrogate pair is one character: replace it once.
    if (left >= 4) {
      char16_t hi = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                          (static_cast<unsigned char>(in[1]) << 8));
      char16_t lo = static_cast<char16_t>(static_cast<unsigned char>(in[2]) |
                                          (static_cast<unsigned char>(in[3]) << 8));
      if (hi >= 0xD800 && hi <= 0xDBFF && lo >= 0xDC00 && lo <= 0xDFFF) return size_t{4};
    }
    return left >= 2 ? size_t{2} : left;
  });
  return out;
}

std::string Utf8ToCp932(std::string_view text) { return Utf16ToCp932(Utf8ToUtf16(text)); }

} // namespace ze
