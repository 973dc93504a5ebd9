// Random bytes through encoding detection, decoding and encoding back:
// nothing may crash or read out of bounds, and whatever a decode calls
// exact must encode back to the very same bytes (the promise behind
// saving an unedited file), in the encoding the decode reports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Encoding.h"

using namespace ze;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)EncodingName(DetectEncoding(bytes));
  (void)DetectLineBreaks(bytes);
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
