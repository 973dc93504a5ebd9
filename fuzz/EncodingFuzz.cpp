// Random bytes through encoding detection, decoding and encoding back:
// nothing may crash or read out of bounds, and whatever a decode calls
// exact must encode back to the very same bytes (the promise behind
// saving an unedited file), in the encoding the decode reports. The fast
// readings of UTF-8 (whole, and in pieces whose sizes the data gives)
// must agree with the plain one in everything.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/Encoding.h"

using namespace ze;

namespace {

bool SameVariants(const TUnicodeVariants& a, const TUnicodeVariants& b) {
  if (a.Empty() != b.Empty()) return false;
  if (a.Empty()) return true;
  for (unsigned c = 0; c < 65536; ++c)
    if (a.Get(uint16_t(c)) != b.Get(uint16_t(c))) return false;
  return true;
}

bool Same(const TDecodedText& a, const TDecodedText& b) {
  return a.Text == b.Text && a.Encoding == b.Encoding && a.Exact == b.Exact &&
         a.Problem == b.Problem && a.ProblemLine == b.ProblemLine &&
         a.ProblemColumn == b.ProblemColumn && SameVariants(a.Variants, b.Variants);
}

void CheckUtf8Readings(std::string_view bytes) {
  const TDecodedText plain = DecodeUtf8OneByOne(bytes);
  if (!Same(plain, DecodeText(bytes, TEncoding::Utf8))) __builtin_trap();
  TUtf8Reader reader;
  std::string text;
  for (size_t at = 0, k = 0;; ++k) {
    const bool last = at == bytes.size();
    const size_t n = last ? 0 : 1 + static_cast<unsigned char>(bytes[k % bytes.size()]) % 37;
    std::string_view piece = bytes.substr(at, n);
    at += piece.size();
    std::string out(piece.size() + TUtf8Reader::kSlack, '\0');
    text.append(out.data(), reader.Convert(piece, out.data(), last));
    if (last) break;
  }
  // The problem's place in the text, as loading finds it.
  long long line = 1, col = 1;
  const long long problem = reader.ProblemOffset();
  for (long long i = 0; i < problem; ++i) {
    unsigned char c = static_cast<unsigned char>(text[size_t(i)]);
    if (c == '\n' || (c == '\r' && !(size_t(i) + 1 < text.size() && text[size_t(i) + 1] == '\n'))) {
      ++line;
      col = 1;
    } else if (c != '\r') {
      if (IsLeadByte(c) && i + 1 < problem) ++i;
      ++col;
    }
  }
  TDecodedText pieces = reader.Finish(line, col);
  pieces.Text = text;
  if (!Same(plain, pieces)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)EncodingName(DetectEncoding(bytes));
  (void)DetectLineBreaks(bytes);
  CheckUtf8Readings(bytes);
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                      TEncoding::Iso2022Jp, TEncoding::Utf16Le, TEncoding::Utf16Be}) {
    TDecodedText dec = DecodeText(bytes, e);
    if (!dec.Exact) {
      if (dec.Problem.empty()) __builtin_trap(); // an inexact text always says why
      continue;
    }
    std::string out, problem;
    if (!EncodeText(dec.Text, dec.Encoding, dec.Variants, out, problem) || out != bytes)
      __builtin_trap();
  }
  return 0;
}
