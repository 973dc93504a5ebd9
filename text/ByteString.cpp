#include "text/ByteString.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <stdexcept>

namespace ze {

ByteString::Rep* ByteString::Allocate(size_t n) {
  if (n > std::numeric_limits<uint32_t>::max() - 16)
    throw std::length_error("ByteString: string too long");
  void* p = std::malloc(offsetof(Rep, data) + n + 1);
  if (!p) throw std::bad_alloc();
  Rep* r = static_cast<Rep*>(p);
  r->refs = 1;
  r->size = static_cast<uint32_t>(n);
  r->data[n] = '\0';
  return r;
}

void ByteString::Free(Rep* r) noexcept { std::free(r); }

} // namespace ze
