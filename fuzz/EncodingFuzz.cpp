// Random bytes through encoding detection, decoding and encoding back:
// nothing may crash or read out of bounds, the detection must name one of
// the encodings, and whatever a decode calls exact must encode back to
// the very same bytes (the promise behind saving an unedited file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Encoding.h"

using namespace ze;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TDetection d = DetectEncoding(bytes);
  (void)EncodingName(d.Encoding);
  (void)DetectLineBreaks(bytes);
  for (TEncoding e : {TEncoding::Cp932, TEncoding::Utf8, TEncoding::Utf8Bom, TEncoding::EucJp,
                      TEncoding::Iso2022Jp, TEncoding::Utf16Le, TEncoding::Utf16Be}) {
    TDecoded dec = DecodeToCp932(bytes, e);
    TEncoded enc = EncodeFromCp932(dec.Text, e, dec.Variants);
    if (!dec.Exact) continue;
    std::string_view expected = bytes;
    // A decode drops the byte-order mark it was given; the encoder writes
    // one where the encoding has one.
    if (e == TEncoding::Utf8 || e == TEncoding::Cp932 || e == TEncoding::EucJp ||
        e == TEncoding::Iso2022Jp) {
      if (!enc.Ok || enc.Bytes != expected) __builtin_trap();
    } else {
      std::string withMark = enc.Bytes;
      if (!enc.Ok) __builtin_trap();
      TDecoded again = DecodeToCp932(withMark, e);
      if (!again.Exact || again.Text != dec.Text) __builtin_trap();
    }
  }
  return 0;
}
