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
  ByteString(std::string_view s) : v_(Make(s.data(), s.size())) {}
  ByteString(const char* s) : ByteString(std::string_view(s)) {}
  ByteString(const char* s, size_t n) : v_(Make(s, n)) {}
  ByteString(const std::string& s) : ByteString(std::string_view(s)) {}

  ByteString(const ByteString& o) noexcept : v_(o.v_) { AddRef(); }
  ByteString(ByteString&& o) noexcept : v_(o.v_) { o.v_ = 0; }
  ByteString& operator=(const ByteString& o) noexcept {
    const uintptr_t v = o.v_; // o may be *this
    if (v) AddRef(v);
    Release();
    v_ = v;
    return *this;
  }
  ByteString& operator=(ByteString&& o) noexcept {
    if (this != &o) {
      Release();
      v_ = o.v_;
      o.v_ = 0;
    }
    return *this;
  }
  ~ByteString() { Release(); }

  // Builds a string of n bytes in place: fill(char*) writes exactly n bytes.
  template <class Fill> static ByteString Build(size_t n, Fill fill) {
    ByteString s;
    if (n == 0) return s;
    s.v_ = Allocate(n);
    fill(Header(s.v_) + kSizeBytes);
    return s;
  }

  size_t size() const noexcept {
    if (v_ & kTagged) return (v_ >> kLengthShift) & kTaggedMax;
    return v_ ? (Load(Header(v_)) & kSizeMask) : 0;
  }
  size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return v_ == 0; }
  // Never null; data()[size()] is NUL.
  const char* data() const noexcept {
    if (v_ & kTagged) return reinterpret_cast<const char*>(v_ & kAddressMask);
    return v_ ? Header(v_) + kSizeBytes : "";
  }
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
    return a.v_ == b.v_ || a.view() == b.view();
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
  // A string is one word, v_: 0 for the empty string, else one of three
  // kinds.
  // - A block of its own: v_ points at a size word, followed by the bytes
  //   and a NUL; the reference count is in the word before the size.
  // - Made in an arena with a size word: as above, but the top bit of the
  //   size marks it and its chunk counts the strings alive in it.
  // - Made in an arena, short (the rows of a big file): no header at all,
  //   only the bytes and a NUL. v_ holds the bytes' address in its low 47
  //   bits, the length in the 16 bits above and kTagged on top. This saves
  //   four bytes on each of the millions of rows of a big file.
  // Arena strings follow each other without padding, so size words are
  // read and written unaligned.
  static constexpr uint32_t kArenaBit = 0x80000000u;
  static constexpr uint32_t kSizeMask = 0x7FFFFFFFu;
  static constexpr size_t kSizeBytes = 4;
  static constexpr uintptr_t kChunkSize = uintptr_t{1} << 20; // arena chunks, aligned to it
  static constexpr uintptr_t kTagged = uintptr_t{1} << 63;
  static constexpr int kLengthShift = 47;
  static constexpr uintptr_t kAddressMask = (uintptr_t{1} << kLengthShift) - 1;
  static constexpr size_t kTaggedMax = 0xFFFF;

  static char* Header(uintptr_t v) noexcept { return reinterpret_cast<char*>(v); }
  static uint32_t Load(const char* p) noexcept {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }
  static void Store(char* p, uint32_t v) noexcept { std::memcpy(p, &v, sizeof v); }
  // The chunk's count of live strings sits at the chunk's start.
  static int64_t* ChunkCount(uintptr_t address) noexcept {
    return reinterpret_cast<int64_t*>(address & ~(kChunkSize - 1));
  }
  // Whether v, not empty, is counted by its arena chunk, and the address
  // of a byte of it that lies in that chunk.
  static bool InArena(uintptr_t v) noexcept { return (v & kTagged) || (Load(Header(v)) & kArenaBit); }
  static uintptr_t InChunk(uintptr_t v) noexcept { return v & kAddressMask; }
  static void AddRef(uintptr_t v) noexcept {
    if (InArena(v)) ++*ChunkCount(InChunk(v));
    else Store(Header(v) - 4, Load(Header(v) - 4) + 1);
  }
  void AddRef() noexcept {
    if (v_) AddRef(v_);
  }

  struct Adopt {};
  ByteString(uintptr_t adopted, Adopt) noexcept : v_(adopted) {}
  static uintptr_t Allocate(size_t n);
  static uintptr_t Make(const char* s, size_t n) {
    if (n == 0) return 0;
    uintptr_t v = Allocate(n);
    std::memcpy(Header(v) + kSizeBytes, s, n);
    return v;
  }
  static void Free(uintptr_t v) noexcept;
  void Release() noexcept {
    if (!v_) return;
    if (InArena(v_)) {
      Free(v_);
    } else {
      char* h = Header(v_);
      const uint32_t refs = Load(h - 4) - 1;
      if (refs == 0) Free(v_);
      else Store(h - 4, refs);
    }
    v_ = 0;
  }

  uintptr_t v_ = 0;
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
