#pragma once
// Conversions by the C library, for making test inputs.

#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace ze::test {

inline std::string Iconv(const char* to, const char* from, std::string_view in, bool& ok) {
  ok = false;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  ok = iconv(cd, &src, &inLeft, &dst, &outLeft) != size_t(-1) &&
       iconv(cd, nullptr, nullptr, &dst, &outLeft) != size_t(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

inline std::string Iconv(const char* to, const char* from, std::string_view in) {
  bool ok;
  return Iconv(to, from, in, ok);
}

} // namespace ze::test
