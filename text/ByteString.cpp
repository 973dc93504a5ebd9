#include "text/ByteString.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace ze {

namespace {

constexpr size_t kChunkSize = size_t{1} << 20;
constexpr size_t kChunkHeader = 16;
constexpr size_t kLargest = 64 * 1024; // longer strings get a block of their own

struct ChunkHeader {
  int64_t live; // strings in the chunk, plus one while an arena fills it
};

ChunkHeader* ChunkOf(const void* p) {
  return reinterpret_cast<ChunkHeader*>(reinterpret_cast<uintptr_t>(p) & ~(kChunkSize - 1));
}

void ReleaseChunk(ChunkHeader* c) noexcept {
  if (--c->live == 0) std::free(c);
}

} // namespace

ByteStringArena::~ByteStringArena() {
  if (chunk_) ReleaseChunk(reinterpret_cast<ChunkHeader*>(chunk_));
}

ByteString ByteStringArena::Make(std::string_view s) {
  const size_t n = s.size();
  if (n == 0) return ByteString();
  if (n > kLargest) return ByteString(s);
  const size_t need = offsetof(ByteString::Rep, data) + n + 1;
  if (!chunk_ || used_ + need > kChunkSize) {
    void* c = std::aligned_alloc(kChunkSize, kChunkSize);
    if (!c) throw std::bad_alloc();
    if (chunk_) ReleaseChunk(reinterpret_cast<ChunkHeader*>(chunk_));
    chunk_ = static_cast<char*>(c);
    reinterpret_cast<ChunkHeader*>(chunk_)->live = 1;
    used_ = kChunkHeader;
  }
  auto* r = reinterpret_cast<ByteString::Rep*>(chunk_ + used_);
  used_ += need;
  ++reinterpret_cast<ChunkHeader*>(chunk_)->live;
  r->refs = 1;
  r->size = static_cast<uint32_t>(n) | ByteString::kArenaBit;
  std::memcpy(r->data, s.data(), n);
  r->data[n] = '\0';
  return ByteString(r);
}

ByteString::Rep* ByteString::Allocate(size_t n) {
  if (n > kSizeMask - 16)
    throw std::length_error("ByteString: string too long");
  void* p = std::malloc(offsetof(Rep, data) + n + 1);
  if (!p) throw std::bad_alloc();
  Rep* r = static_cast<Rep*>(p);
  r->refs = 1;
  r->size = static_cast<uint32_t>(n);
  r->data[n] = '\0';
  return r;
}

void ByteString::Free(Rep* r) noexcept {
  if (r->size & kArenaBit) ReleaseChunk(ChunkOf(r));
  else std::free(r);
}

} // namespace ze
