#include "text/ByteString.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace ze {

namespace {

constexpr size_t kChunkHeader = 16;
constexpr size_t kLargest = 64 * 1024; // longer strings get a block of their own

struct ChunkHeader {
  int64_t live; // strings in the chunk, plus one while an arena fills it
};

void ReleaseChunk(void* chunk) noexcept {
  auto* c = static_cast<ChunkHeader*>(chunk);
  if (--c->live == 0) std::free(c);
}

} // namespace

ByteStringArena::~ByteStringArena() {
  if (chunk_) ReleaseChunk(chunk_);
}

ByteString ByteStringArena::Make(std::string_view s) {
  const size_t n = s.size();
  if (n == 0) return ByteString();
  if (n > kLargest) return ByteString(s);
  // Short strings carry their length in the string itself (see ByteString).
  const bool tagged = n <= ByteString::kTaggedMax;
  const size_t need = (tagged ? 0 : ByteString::kSizeBytes) + n + 1;
  constexpr size_t kChunk = ByteString::kChunkSize;
  if (!chunk_ || used_ + need > kChunk) {
    void* c = std::aligned_alloc(kChunk, kChunk);
    if (!c) throw std::bad_alloc();
    if (chunk_) ReleaseChunk(chunk_);
    chunk_ = static_cast<char*>(c);
    reinterpret_cast<ChunkHeader*>(chunk_)->live = 1;
    used_ = kChunkHeader;
  }
  // An address too high to share its word with a length (never seen on
  // x86-64 Linux, whose user addresses have 47 bits): a block of its own.
  if (tagged && reinterpret_cast<uintptr_t>(chunk_) + kChunk - 1 > ByteString::kAddressMask)
    return ByteString(s);
  char* h = chunk_ + used_;
  ++reinterpret_cast<ChunkHeader*>(chunk_)->live;
  if (tagged) {
    used_ += n + 1;
    std::memcpy(h, s.data(), n);
    h[n] = '\0';
    return ByteString(reinterpret_cast<uintptr_t>(h) | (uintptr_t{n} << ByteString::kLengthShift) |
                          ByteString::kTagged,
                      ByteString::Adopt{});
  }
  used_ += need;
  ByteString::Store(h, static_cast<uint32_t>(n) | ByteString::kArenaBit);
  std::memcpy(h + ByteString::kSizeBytes, s.data(), n);
  h[ByteString::kSizeBytes + n] = '\0';
  return ByteString(reinterpret_cast<uintptr_t>(h), ByteString::Adopt{});
}

uintptr_t ByteString::Allocate(size_t n) {
  if (n > kSizeMask - 16)
    throw std::length_error("ByteString: string too long");
  // The count, the size, the bytes and the NUL.
  char* block = static_cast<char*>(std::malloc(4 + kSizeBytes + n + 1));
  if (!block) throw std::bad_alloc();
  char* h = block + 4;
  Store(block, 1);
  Store(h, static_cast<uint32_t>(n));
  h[kSizeBytes + n] = '\0';
  return reinterpret_cast<uintptr_t>(h);
}

void ByteString::Free(uintptr_t v) noexcept {
  if (InArena(v)) ReleaseChunk(ChunkCount(InChunk(v)));
  else std::free(Header(v) - 4);
}

int ByteString::UseCount() const noexcept {
  if (!v_) return 0;
  if (InArena(v_)) return static_cast<int>(*ChunkCount(InChunk(v_)));
  return static_cast<int>(Load(Header(v_) - 4));
}

size_t CommonPrefixLength(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  constexpr size_t kBlock = 4096;
  size_t i = 0;
  while (i + kBlock <= n && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0)
    i += kBlock;
  while (i < n && a[i] == b[i])
    ++i;
  return i;
}

size_t CommonSuffixLength(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  constexpr size_t kBlock = 4096;
  const char* ea = a.data() + a.size();
  const char* eb = b.data() + b.size();
  size_t i = 0;
  while (i + kBlock <= n && std::memcmp(ea - i - kBlock, eb - i - kBlock, kBlock) == 0)
    i += kBlock;
  while (i < n && ea[-1 - static_cast<std::ptrdiff_t>(i)] == eb[-1 - static_cast<std::ptrdiff_t>(i)])
    ++i;
  return i;
}

} // namespace ze
