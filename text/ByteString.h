#pragma once
// ByteString: the editor's row text. A reference-counted, immutable run of
// bytes (Shift-JIS) that is always followed by a NUL, so scanners may stop
// at the terminator instead of checking lengths. Copying shares the bytes
// (O(1)); the bytes never change once a string exists. An empty string
// holds no block at all, so a zeroed ByteString is a valid empty string.
//
// The reference count is not atomic: the editor runs on one thread.

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ze {

class ByteString {
public:
  ByteString() noexcept = default;
  ByteString(std::string_view s) : hdr_(Make(s.data(), s.size())) {}
  ByteString(const char* s) : ByteString(std::string_view(s)) {}
  ByteString(const char* s, size_t n) : hdr_(Make(s, n)) {}
  ByteString(const std::string& s) : ByteString(std::string_view(s)) {}

  ByteString(const ByteString& o) noexcept : hdr_(o.hdr_) { AddRef(); }
  ByteString(ByteString&& o) noexcept : hdr_(o.hdr_) { o.hdr_ = nullptr; }
  ByteString& operator=(const ByteString& o) noexcept {
    char* h = o.hdr_; // o may be *this
    if (h) AddRef(h);
    Release();
    hdr_ = h;
    return *this;
  }
  ByteString& operator=(ByteString&& o) noexcept {
    if (this != &o) {
      Release();
      hdr_ = o.hdr_;
      o.hdr_ = nullptr;
    }
    return *this;
  }
  ~ByteString() { Release(); }

  // Builds a string of n bytes in place: fill(char*) writes exactly n bytes.
  template <class Fill> static ByteString Build(size_t n, Fill fill) {
    ByteString s;
    if (n == 0) return s;
    s.hdr_ = Allocate(n);
    fill(s.hdr_ + kSizeBytes);
    return s;
  }

  size_t size() const noexcept { return hdr_ ? (Load(hdr_) & kSizeMask) : 0; }
  size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return hdr_ == nullptr; }
  // Never null; data()[size()] is NUL.
  const char* data() const noexcept { return hdr_ ? hdr_ + kSizeBytes : ""; }
  const char* c_str() const noexcept { return data(); }
  const unsigned char* bytes() const noexcept {
    return reinterpret_cast<const unsigned char*>(data());
  }
  std::string_view view() const noexcept { return {data(), size()}; }
  operator std::string_view() const noexcept { return view(); }
  std::string str() const { return std::string(view()); }

  // Byte i (0-based); i == size() gives the terminating NUL.
  unsigned char operator[](size_t i) const noexcept { return bytes()[i]; }

  // Bytes [pos, pos + n) clipped to the string; shares nothing.
  ByteString Mid(size_t pos, size_t n = std::string_view::npos) const {
    return ByteString(view().substr(pos < size() ? pos : size(), n));
  }
  // How many ByteStrings share this block (0 for the empty string); for
  // a string made in an arena, how many strings are alive in its chunk.
  int UseCount() const noexcept;

  friend ByteString operator+(const ByteString& a, std::string_view b) {
    return Concat(a.view(), b);
  }
  friend ByteString operator+(std::string_view a, const ByteString& b) {
    return Concat(a, b.view());
  }
  friend ByteString operator+(const ByteString& a, const char* b) {
    return Concat(a.view(), b);
  }
  friend ByteString operator+(const char* a, const ByteString& b) {
    return Concat(a, b.view());
  }
  friend ByteString operator+(const ByteString& a, const ByteString& b) {
    return Concat(a.view(), b.view());
  }
  friend bool operator==(const ByteString& a, const ByteString& b) noexcept {
    return a.hdr_ == b.hdr_ || a.view() == b.view();
  }
  friend bool operator==(const ByteString& a, std::string_view b) noexcept {
    return a.view() == b;
  }
  friend bool operator==(const ByteString& a, const std::string& b) noexcept {
    return a.view() == std::string_view(b);
  }
  friend bool operator==(const ByteString& a, const char* b) noexcept {
    return a.view() == std::string_view(b);
  }
  friend std::strong_ordering operator<=>(const ByteString& a, const ByteString& b) noexcept {
    return a.view() <=> b.view();
  }

  static ByteString Concat(std::string_view a, std::string_view b) {
    return Build(a.size() + b.size(), [&](char* p) {
      if (!a.empty()) std::memcpy(p, a.data(), a.size());
      if (!b.empty()) std::memcpy(p + a.size(), b.data(), b.size());
    });
  }

private:
  friend class ByteStringArena;
  // A string is a size word, its bytes and a NUL. A string with a block
  // of its own has its reference count in the word before the size; one
  // made in an arena has none (saving four bytes on each of the millions
  // of rows of a big file): the top bit of its size marks it, and its
  // chunk counts the strings alive in it. Arena strings follow each other
  // without padding, so the words are read and written unaligned.
  static constexpr uint32_t kArenaBit = 0x80000000u;
  static constexpr uint32_t kSizeMask = 0x7FFFFFFFu;
  static constexpr size_t kSizeBytes = 4;
  static constexpr uintptr_t kChunkSize = uintptr_t{1} << 20; // arena chunks, aligned to it

  static uint32_t Load(const char* p) noexcept {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(char* p, uint32_t v) noexcept { std::memcpy(p, &v, sizeof v); }
  // The chunk's count of live strings sits at the chunk's start.
  static int64_t* ChunkCount(const char* h) noexcept {
    return reinterpret_cast<int64_t*>(reinterpret_cast<uintptr_t>(h) & ~(kChunkSize - 1));
  }
  static void AddRef(char* h) noexcept {
    if (Load(h) & kArenaBit) ++*ChunkCount(h);
    else Store(h - 4, Load(h - 4) + 1);
  }
  void AddRef() noexcept {
    if (hdr_) AddRef(hdr_);
  }

  struct Adopt {};
  ByteString(char* adopted, Adopt) noexcept : hdr_(adopted) {}
  static char* Allocate(size_t n);
  static char* Make(const char* s, size_t n) {
    if (n == 0) return nullptr;
    char* h = Allocate(n);
    std::memcpy(h + kSizeBytes, s, n);
    return h;
  }
  static void Free(char* h) noexcept;
  void Release() noexcept {
    if (!hdr_) return;
    if (Load(hdr_) & kArenaBit) {
      Free(hdr_);
    } else {
      const uint32_t refs = Load(hdr_ - 4) - 1;
      if (refs == 0) Free(hdr_);
      else Store(hdr_ - 4, refs);
    }
    hdr_ = nullptr;
  }

  char* hdr_ = nullptr;
};

static_assert(sizeof(ByteString) == sizeof(void*));

// Packs many short strings into 1 MiB chunks, back to back, with no
// per-string malloc overhead; used when a whole file is loaded. A chunk is
// freed when the arena and every string in it are gone. Strings made here
// behave like any other ByteString.
class ByteStringArena {
public:
  ByteStringArena() = default;
  ~ByteStringArena();
  ByteStringArena(const ByteStringArena&) = delete;
  ByteStringArena& operator=(const ByteStringArena&) = delete;

  ByteString Make(std::string_view s);

private:
  char* chunk_ = nullptr;
  size_t used_ = 0;
};

// How many leading (trailing) bytes a and b share. Long equal runs are
// compared a block at a time, as long rows usually differ only near an edit.
size_t CommonPrefixLength(std::string_view a, std::string_view b);
size_t CommonSuffixLength(std::string_view a, std::string_view b);

} // namespace ze
