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
  ByteString(std::string_view s) : rep_(Make(s.data(), s.size())) {}
  ByteString(const char* s) : ByteString(std::string_view(s)) {}
  ByteString(const char* s, size_t n) : rep_(Make(s, n)) {}
  ByteString(const std::string& s) : ByteString(std::string_view(s)) {}

  ByteString(const ByteString& o) noexcept : rep_(o.rep_) {
    if (rep_) ++rep_->refs;
  }
  ByteString(ByteString&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  ByteString& operator=(const ByteString& o) noexcept {
    Rep* r = o.rep_; // o may be *this
    if (r) ++r->refs;
    Release();
    rep_ = r;
    return *this;
  }
  ByteString& operator=(ByteString&& o) noexcept {
    if (this != &o) {
      Release();
      rep_ = o.rep_;
      o.rep_ = nullptr;
    }
    return *this;
  }
  ~ByteString() { Release(); }

  // Builds a string of n bytes in place: fill(char*) writes exactly n bytes.
  template <class Fill> static ByteString Build(size_t n, Fill fill) {
    ByteString s;
    if (n == 0) return s;
    s.rep_ = Allocate(n);
    fill(s.rep_->data);
    return s;
  }

  size_t size() const noexcept { return rep_ ? (rep_->size & kSizeMask) : 0; }
  size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return rep_ == nullptr; }
  // Never null; data()[size()] is NUL.
  const char* data() const noexcept { return rep_ ? rep_->data : ""; }
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
  // How many ByteStrings share this block (0 for the empty string).
  int UseCount() const noexcept { return rep_ ? rep_->refs : 0; }

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
    return a.rep_ == b.rep_ || a.view() == b.view();
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
  // size's top bit marks a block that lives in an arena chunk.
  static constexpr uint32_t kArenaBit = 0x80000000u;
  static constexpr uint32_t kSizeMask = 0x7FFFFFFFu;
  // Packed: strings made in an arena follow each other without padding
  // (a loaded file has millions of them).
  struct __attribute__((packed)) Rep {
    int32_t refs;
    uint32_t size;
    char data[1];
  };
  explicit ByteString(Rep* adopted) noexcept : rep_(adopted) {}
  static Rep* Allocate(size_t n);
  static Rep* Make(const char* s, size_t n) {
    if (n == 0) return nullptr;
    Rep* r = Allocate(n);
    std::memcpy(r->data, s, n);
    return r;
  }
  static void Free(Rep* r) noexcept;
  void Release() noexcept {
    if (rep_ && --rep_->refs == 0) Free(rep_);
    rep_ = nullptr;
  }

  Rep* rep_ = nullptr;
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

} // namespace ze
