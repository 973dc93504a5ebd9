// Feeds random bytes to the component stream reader of an editor
// fountain (colours, bracket pairs, reserve words, file extensions):
//
// - a read either succeeds or raises EReadError, never anything else and
//   never a crash;
// - a failed read leaves the fountain as it was, to the byte;
// - what a successful read leaves streams out and back in unchanged.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "colouring/EditorFountain.h"
#include "text/ComponentStore.h"

namespace ze {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

} // namespace
} // namespace ze

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ze;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // Odd first bytes stand for the stream's own magic, so that most inputs
  // reach the properties.
  std::string bytes;
  if (!input.empty() && (input[0] & 1))
    bytes = "ZEC1" + std::string(input.substr(1));
  else
    bytes = std::string(input);

  auto fountain = Create<TEditorFountain>(nullptr);
  const std::string before = WriteComponentBytes(*fountain);
  try {
    ReadComponentBytes(*fountain, bytes);
  } catch (const EReadError&) {
    if (WriteComponentBytes(*fountain) != before) Fail("a failed read changed the fountain");
    if (fountain->Loading()) Fail("a failed read left the fountain loading");
    return 0;
  }
  const std::string after = WriteComponentBytes(*fountain);
  auto copy = Create<TEditorFountain>(nullptr);
  ReadComponentBytes(*copy, after);
  if (WriteComponentBytes(*copy) != after) Fail("what was read does not stream back the same");
  return 0;
}
