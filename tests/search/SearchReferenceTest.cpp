// SearchBuffer against a slow reference that follows the comparison rules
// one character at a time, with no scanning shortcuts: it classifies every
// byte first, tries every character boundary in order and checks whole
// words afterwards.
#include "search/SearchBuffer.h"
#include "search/SearchTables.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace ze {
namespace {

using uchar = unsigned char;

struct Reference {
  std::string text;
  std::vector<uint16_t> pattern; // prepared pattern characters
  TSearchOptions options;
  std::vector<bool> trail; // byte i is the second byte of a character

  Reference(std::string t, const std::string& p, TSearchOptions o)
      : text(std::move(t)), options(o), trail(text.size() + 1, false) {
    for (size_t i = 0; i < text.size(); ++i)
      if (IsLeadByte(uchar(text[i])) && i + 1 < text.size()) trail[++i] = true;
    // The pattern: upper case, then full width, as whole characters.
    std::string prep = p;
    if (!(o & soMatchCase)) prep = UpperCaseSjis(prep);
    if (o & soNoMatchZenkaku) prep = ToFullWidth(prep);
    for (size_t i = 0; i < prep.size(); ++i) {
      if (IsLeadByte(uchar(prep[i])) && i + 1 < prep.size()) {
        pattern.push_back(uint16_t(uchar(prep[i]) << 8 | uchar(prep[i + 1])));
        ++i;
      } else {
        pattern.push_back(uchar(prep[i]));
      }
    }
  }

  bool Zenkaku() const { return options & soNoMatchZenkaku; }
  bool IgnoreCase() const { return !(options & soMatchCase); }
  uchar At(size_t i) const { return i < text.size() ? uchar(text[i]) : 0; }

  // The text character at i as (code, bytes), after the full-width
  // conversion when that applies.
  std::pair<uint16_t, int> CharAt(size_t i) const {
    if (IsLeadByte(At(i)) && i + 1 < text.size()) return {uint16_t(At(i) << 8 | At(i + 1)), 2};
    if (!Zenkaku()) return {At(i), 1};
    if (uint16_t c = CombinedKana(At(i), At(i + 1)); c && i + 1 < text.size()) return {c, 2};
    return {FullWidthTable[At(i)], 1};
  }

  bool Equal(uint16_t t, uint16_t p) const {
    if (t == p) return true;
    if (!IgnoreCase()) return false;
    if (t <= 0xFF) return !Zenkaku() && UpperTable[t] == p;
    return DoubleByteCapital(t) == p;
  }

  // Length of a hit at q, or 0.
  int MatchAt(size_t q) const {
    size_t pos = q, i = 0;
    bool matched = false;
    while (i < pattern.size()) {
      if (pos >= text.size()) return 0;
      auto [t, size] = CharAt(pos);
      if (Equal(t, pattern[i])) {
        ++i;
        pos += size;
        matched = true;
      } else if (matched && (options & soIncludeCRLF) && (At(pos) == '\r' || At(pos) == '\n')) {
        pos += 1;
      } else if (matched && (options & soIncludeSpace) && (At(pos) == '\t' || At(pos) == ' ')) {
        pos += 1;
      } else if (matched && (options & soIncludeSpace) && At(pos) == 0x81 && At(pos + 1) == 0x40) {
        pos += 2;
      } else {
        return 0;
      }
    }
    return int(pos - q);
  }

  bool Delim(uchar b) const { return WordDelimiters[b]; }

  std::optional<TSearchInfo> HitAt(size_t q) const {
    if (trail[q]) return std::nullopt;
    int len = MatchAt(q);
    if (len == 0) return std::nullopt;
    if (options & soWholeWord) {
      if (Delim(At(q)) || (q > 0 && !Delim(At(q - 1)))) return std::nullopt;
      if (q + size_t(len) < text.size() && !Delim(At(q + size_t(len)))) return std::nullopt;
    }
    return TSearchInfo{int32_t(q), len};
  }

  std::optional<TSearchInfo> Search(TSearchInfo info) const {
    int64_t L = int64_t(text.size());
    if (pattern.empty() || L == 0 || info.Start < 0 || info.Start > L || info.Length < 0)
      return std::nullopt;
    if (options & soDown) {
      for (int64_t q = int64_t(info.Start) + info.Length; q < L; ++q)
        if (auto h = HitAt(size_t(q))) return h;
      return std::nullopt;
    }
    int64_t s = info.Start;
    if (!Zenkaku()) {
      s -= ByteLength();
    } else {
      for (size_t n = 0; n < pattern.size(); ++n) {
        --s;
        if (s >= 1 && (trail[size_t(s)] ||
                       (!trail[size_t(s - 1)] && CombinedKana(At(size_t(s - 1)), At(size_t(s)))))) {
          --s;
        }
      }
    }
    if (s >= 0 && trail[size_t(s)]) --s;
    for (int64_t q = s; q >= 0; --q)
      if (auto h = HitAt(size_t(q))) return h;
    return std::nullopt;
  }

  int64_t ByteLength() const {
    int64_t n = 0;
    for (uint16_t c : pattern)
      n += c > 0xFF ? 2 : 1;
    return n;
  }
};

// Characters chosen to meet every rule: letters of both cases and widths,
// a trail byte that is 'A', a trail byte with a lead byte's value, kana
// that take marks, marks, blanks, line breaks and delimiters.
const char* const kPieces[] = {
    "a",        "A", "b", "B", "_", ".", " ", "\t", "\r", "\n", "\r\n",
    "\xB6",     // ｶ
    "\xCA",     // ﾊ
    "\xB3",     // ｳ
    "\xDE",     // ﾞ
    "\xDF",     // ﾟ
    "\x83\x41", // ア (trail 'A')
    "\x83\x40", // ァ (trail '@')
    "\x82\x60", // Ａ
    "\x82\x81", // ａ
    "\x82\x82", // ｂ
    "\x83\x4A", // カ
    "\x83\x4B", // ガ
    "\x83\x6F", // バ
    "\x83\x70", // パ
    "\x83\x94", // ヴ
    "\x81\x4A", // ゛
    "\x81\x40", // ideographic space
    "\x88\x9F", // 亜 (trail byte in the lead range)
    "\x9F\x88", // another with the bytes swapped
    "\x83\xB6", // Ω (trail byte 0xB6)
    "\x83\xBF", // α
    "\xEE\xEF", // ⅰ
    "\xFA\x40", // ⅰ as an IBM extension
    "\x87\x54", // Ⅰ
};

std::string RandomText(std::mt19937& rng, int pieces) {
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::string s;
  for (int i = 0; i < pieces; ++i)
    s += kPieces[pick(rng)];
  // Now and then a lone lead byte at the end.
  if (rng() % 8 == 0) s += '\x83';
  return s;
}

TSearchOptions RandomOptions(std::mt19937& rng) {
  TSearchOptions o = 0;
  for (TSearchOptions bit : {soDown, soMatchCase, soWholeWord, soNoMatchZenkaku})
    if (rng() % 2) o |= bit;
  switch (rng() % 4) {
  case 0:
    o |= soIncludeCRLF | soIncludeSpace;
    break;
  case 1:
    o |= soIncludeCRLF;
    break;
  default:
    break;
  }
  return o;
}

TEST(SearchBufferReference, AgreesWithTheReferenceOnRandomTexts) {
  std::mt19937 rng(20240607);
  int found = 0, total = 0;
  for (int round = 0; round < 60000; ++round) {
    std::string text = RandomText(rng, int(rng() % 24));
    std::string pattern;
    if (rng() % 3 && text.size() > 1) {
      size_t a = rng() % text.size(), n = 1 + rng() % 4;
      pattern = text.substr(a, n); // may cut a character: that is fine too
    } else {
      pattern = RandomText(rng, 1 + int(rng() % 3));
    }
    TSearchOptions options = RandomOptions(rng);
    TSearchInfo info{int32_t(rng() % (text.size() + 3)) - 1, int32_t(rng() % 3)};
    Reference ref(text, pattern, options);
    std::optional<TSearchInfo> want = ref.Search(info);
    TSearchInfo got = info;
    bool ok = SearchBuffer(text, got, pattern, options);
    ++total;
    found += ok;
    ASSERT_EQ(ok, want.has_value())
        << "round " << round << " options " << options << " start " << info.Start;
    if (ok) {
      ASSERT_EQ(got.Start, want->Start) << "round " << round;
      ASSERT_EQ(got.Length, want->Length) << "round " << round;
    }
  }
  // The mix must find something often enough to test the hit path.
  EXPECT_GT(found, total / 20);
}

TEST(SearchBufferReference, LongTextsTakeTheFastPaths) {
  // Long texts with few first-byte candidates, so that the memchr and
  // memmem scans skip far before each try.
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string text;
    while (text.size() < 3000)
      text += rng() % 50 ? std::string("\x88\x9F") : RandomText(rng, 3);
    std::string pattern = RandomText(rng, 1 + int(rng() % 3));
    TSearchOptions options = RandomOptions(rng);
    TSearchInfo info{options & soDown ? 0 : int32_t(text.size()), 0};
    Reference ref(text, pattern, options);
    for (int step = 0; step < 50; ++step) {
      std::optional<TSearchInfo> want = ref.Search(info);
      TSearchInfo got = info;
      bool ok = SearchBuffer(text, got, pattern, options);
      ASSERT_EQ(ok, want.has_value()) << "round " << round << " step " << step;
      if (!ok) break;
      ASSERT_EQ(got.Start, want->Start) << "round " << round << " step " << step;
      ASSERT_EQ(got.Length, want->Length);
      info = options & soDown ? got : TSearchInfo{got.Start, 0};
    }
  }
}

} // namespace
} // namespace ze
