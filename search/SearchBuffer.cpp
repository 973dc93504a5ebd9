#include "search/SearchBuffer.h"

#include <algorithm>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "platform/CodePage.h"
#include "search/SearchTables.h"

namespace ze {
namespace {

using uchar = unsigned char;

// The small letters of DoubleByteCapital.
constexpr uint16_t kSmallLetters[][2] = {{0x8281, 0x829A}, {0x83BF, 0x83D6}, {0x8470, 0x847E},
                                         {0x8480, 0x8491}, {0xEEEF, 0xEEF8}, {0xFA40, 0xFA49}};
constexpr size_t kMaxFilter = 4;

inline uchar ByteOf(std::string_view s, int32_t i) {
  return static_cast<uchar>(s[size_t(i)]);
}

inline bool MayCombine(uchar b) {
  return b == 0xB3 || VoicedKanaTable[b].CanVoice;
}

// Tells character boundaries in one window, scanning back over runs of
// lead-byte values. It remembers the last run, so that the candidates of
// one scan cost linear time together even in a text made of lead bytes.
class BoundaryFinder {
public:
  explicit BoundaryFinder(std::string_view s) : s_(s) {}
  bool operator()(int32_t q) {
    if (q < lo_ || q > hi_) {
      // Find the start of the run of lead-byte values that ends at q: the
      // byte before it is not a lead byte, so a character starts there.
      int32_t j = q - 1;
      while (j >= 0 && IsLeadByte(ByteOf(s_, j))) {
        if (j < hi_ && j >= lo_) {
          j = lo_ - 1;
          break;
        }
        --j;
      }
      lo_ = j + 1;
      hi_ = q;
    }
    return ((q - lo_) & 1) == 0;
  }

private:
  std::string_view s_;
  int32_t lo_ = 0, hi_ = 0; // bytes [lo_, hi_) are lead-byte values; lo_ is a boundary
};

} // namespace

bool IsCharBoundary(std::string_view s, int32_t q) {
  return BoundaryFinder(s)(q);
}

std::string UpperCaseSjis(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    uchar b = static_cast<uchar>(out[i]);
    if (IsLeadByte(b) && i + 1 < out.size()) {
      uint16_t cap = DoubleByteCapital(uint16_t(b << 8 | static_cast<uchar>(out[i + 1])));
      if (cap) {
        out[i] = char(cap >> 8);
        out[i + 1] = char(cap & 0xFF);
      }
      i += 2;
    } else {
      out[i++] = char(UpperTable[b]);
    }
  }
  return out;
}

std::string ToFullWidth(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  auto put = [&](uint16_t c) {
    if (c > 0xFF) out.push_back(char(c >> 8));
    out.push_back(char(c & 0xFF));
  };
  for (size_t i = 0; i < s.size();) {
    uchar b = static_cast<uchar>(s[i]);
    if (IsLeadByte(b) && i + 1 < s.size()) {
      out.append(s.substr(i, 2));
      i += 2;
    } else if (uint16_t c = i + 1 < s.size() ? CombinedKana(b, uchar(s[i + 1])) : 0) {
      put(c);
      i += 2;
    } else {
      put(FullWidthTable[b]);
      i += 1;
    }
  }
  return out;
}

TSearchPattern::TSearchPattern(std::string_view pattern, TSearchOptions options)
    : options_(options) {
  bool matchCase = options & soMatchCase, zenkaku = options & soNoMatchZenkaku;
  mode_ =
      zenkaku ? (matchCase ? kZenkaku : kZenkakuIgnoreCase) : (matchCase ? kExact : kIgnoreCase);
  bytes_ = matchCase ? std::string(pattern) : UpperCaseSjis(pattern);
  if (zenkaku) bytes_ = ToFullWidth(bytes_);
  byteLength_ = static_cast<int32_t>(bytes_.size());
  for (size_t i = 0; i < bytes_.size();) {
    uchar b = static_cast<uchar>(bytes_[i]);
    if (IsLeadByte(b) && i + 1 < bytes_.size()) {
      codes_.push_back(uint16_t(b << 8 | static_cast<uchar>(bytes_[i + 1])));
      i += 2;
    } else {
      codes_.push_back(b);
      i += 1;
    }
  }
  exactBytes_ = mode_ == kExact && !(options & (soIncludeCRLF | soIncludeSpace));
  if (codes_.empty()) return;

  // Which bytes can start a text character equal to the first pattern
  // character: as a single byte (or a lone lead byte at the text's end),
  // or as the lead byte of a double-byte character.
  uint16_t p0 = codes_[0];
  for (int b = 0; b < 256; ++b)
    first_[b] = CanStartWith(uchar(b));
  if (p0 > 0xFF) first_[p0 >> 8] = true;
  if (mode_ == kIgnoreCase || mode_ == kZenkakuIgnoreCase) {
    // The small letters whose capital is p0 (see DoubleByteCapital).
    for (auto& range : kSmallLetters)
      for (int c = range[0]; c <= range[1]; ++c)
        if (DoubleByteCapital(uint16_t(c)) == p0) first_[c >> 8] = true;
  }
  for (int b = 0; b < 256; ++b)
    if (first_[b]) firstList_.push_back(uchar(b));

  for (int b = 0; b < 256; ++b)
    if (!IsLeadByte(uchar(b)) && CanStartWith(uchar(b))) firstSingles_.push_back(uchar(b));
  if (p0 > 0xFF) firstDoubles_.push_back(p0);
  if (mode_ == kIgnoreCase || mode_ == kZenkakuIgnoreCase) {
    for (auto& range : kSmallLetters)
      for (int c = range[0]; c <= range[1]; ++c)
        if (DoubleByteCapital(uint16_t(c)) == p0) firstDoubles_.push_back(uint16_t(c));
  }
}

// The first position >= from where a text character that can equal the
// first pattern character may start: a byte of firstSingles_, a pair of
// firstDoubles_, or a lead byte cut by the end of s. Not yet checked for
// a character boundary. s.size() when there is none.
int32_t TSearchPattern::NextCandidate(std::string_view s, int32_t from) const {
  const auto* p = reinterpret_cast<const uchar*>(s.data());
  const int32_t n = static_cast<int32_t>(s.size());
  int32_t i = from;
#ifdef __SSE2__
  const bool simd = firstSingles_.size() <= kMaxFilter && firstDoubles_.size() <= kMaxFilter;
  __m128i singles[kMaxFilter], leads[kMaxFilter], trails[kMaxFilter];
  const size_t ns = std::min(firstSingles_.size(), kMaxFilter);
  const size_t nd = std::min(firstDoubles_.size(), kMaxFilter);
  for (size_t k = 0; k < ns; ++k)
    singles[k] = _mm_set1_epi8(char(firstSingles_[k]));
  for (size_t k = 0; k < nd; ++k) {
    leads[k] = _mm_set1_epi8(char(firstDoubles_[k] >> 8));
    trails[k] = _mm_set1_epi8(char(firstDoubles_[k] & 0xFF));
  }
  for (; simd && i + 17 <= n; i += 16) {
    __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    __m128i m = _mm_setzero_si128();
    for (size_t k = 0; k < ns; ++k)
      m = _mm_or_si128(m, _mm_cmpeq_epi8(v0, singles[k]));
    for (size_t k = 0; k < nd; ++k)
      m = _mm_or_si128(m,
                       _mm_and_si128(_mm_cmpeq_epi8(v0, leads[k]), _mm_cmpeq_epi8(v1, trails[k])));
    if (int mask = _mm_movemask_epi8(m)) return i + __builtin_ctz(unsigned(mask));
  }
#endif
  for (; i < n; ++i) {
    uchar b = p[i];
    if (IsLeadByte(b)) {
      if (i + 1 == n) return i;
      uint16_t code = uint16_t(b << 8 | p[i + 1]);
      for (uint16_t d : firstDoubles_)
        if (d == code) return i;
    } else {
      for (uchar c : firstSingles_)
        if (c == b) return i;
    }
  }
  return n;
}

bool TSearchPattern::CodesEqual(uint16_t t, uint16_t p) const {
  if (t == p) return true;
  switch (mode_) {
  case kExact:
  case kZenkaku:
    return false;
  case kIgnoreCase:
    return t <= 0xFF ? UpperTable[t] == p : DoubleByteCapital(t) == p;
  case kZenkakuIgnoreCase:
    return t > 0xFF && DoubleByteCapital(t) == p;
  }
  return false;
}

bool TSearchPattern::CanStartWith(uchar b) const {
  uint16_t p0 = codes_[0];
  if (mode_ == kExact || mode_ == kIgnoreCase) return CodesEqual(b, p0);
  if (CodesEqual(FullWidthTable[b], p0)) return true;
  if (uint16_t c = CombinedKana(b, uchar(kVoicedMark)); c && CodesEqual(c, p0)) return true;
  if (uint16_t c = CombinedKana(b, uchar(kSemiVoicedMark)); c && CodesEqual(c, p0)) return true;
  return false;
}

int32_t TSearchPattern::MatchAt(const TSearchWindow& w, int32_t q) const {
  std::string_view s = w.Text;
  const int32_t L = static_cast<int32_t>(s.size());
  const bool zenkaku = mode_ == kZenkaku || mode_ == kZenkakuIgnoreCase;
  const bool skipCrLf = options_ & soIncludeCRLF, skipSpace = options_ & soIncludeSpace;
  int32_t pos = q;
  int32_t matched = 0;
  for (size_t i = 0; i < codes_.size();) {
    if (pos >= L) return w.AtTextEnd ? 0 : -1;
    uchar b = ByteOf(s, pos);
    uint16_t t = b;
    int32_t size = 1;
    bool isDouble = false;
    if (IsLeadByte(b)) {
      if (pos + 1 < L) {
        t = uint16_t(b << 8 | ByteOf(s, pos + 1));
        size = 2;
        isDouble = true;
      } else if (!w.AtTextEnd) {
        return -1; // its trail byte is outside the window
      }
    } else if (zenkaku) {
      uint16_t combined = 0;
      if (MayCombine(b)) {
        if (pos + 1 < L)
          combined = CombinedKana(b, ByteOf(s, pos + 1));
        else if (!w.AtTextEnd)
          return -1; // a mark may follow outside the window
      }
      if (combined) {
        t = combined;
        size = 2;
      } else {
        t = FullWidthTable[b];
      }
    }
    if (CodesEqual(t, codes_[i])) {
      ++i;
      pos += size;
      matched += size;
      continue;
    }
    // Blanks and line breaks between matched characters belong to the hit.
    if (matched == 0) return 0;
    if (skipCrLf && (b == '\r' || b == '\n')) {
      pos += 1;
    } else if (skipSpace && (b == '\t' || b == ' ')) {
      pos += 1;
    } else if (skipSpace && isDouble && t == 0x8140) {
      pos += 2;
    } else {
      return 0;
    }
  }
  return pos - q;
}

int TSearchPattern::WordStartAt(const TSearchWindow& w, int32_t q) const {
  if (IsWordDelimiter(ByteOf(w.Text, q))) return 0;
  if (q > 0) return IsWordDelimiter(ByteOf(w.Text, q - 1)) ? 1 : 0;
  return w.AtTextStart || IsWordDelimiter(w.Before) ? 1 : 0;
}

int TSearchPattern::WordEndAt(const TSearchWindow& w, int32_t end) const {
  if (end < static_cast<int32_t>(w.Text.size())) return IsWordDelimiter(ByteOf(w.Text, end));
  return w.AtTextEnd ? 1 : -1;
}

namespace {

// Steps backward through the positions whose byte is in a small set, with
// memrchr for each byte of the set (a table test when the set is larger).
class ByteScanner {
public:
  ByteScanner(std::string_view s, const std::vector<uchar>& list, const bool* table)
      : p_(reinterpret_cast<const uchar*>(s.data())), list_(list), table_(table) {
    for (size_t i = 0; i < list_.size() && i < kMax; ++i)
      prev_[i] = -2; // not searched yet
  }
  // The last position <= from whose byte is in the set, or -1. Calls go
  // from higher to lower positions.
  int32_t Prev(int32_t from) {
    if (from < 0) return -1;
    if (list_.size() > kMax) {
      while (from >= 0 && !table_[p_[from]])
        --from;
      return from;
    }
    int32_t best = -1;
    for (size_t i = 0; i < list_.size(); ++i) {
      if (prev_[i] == -2 || prev_[i] > from) {
        auto* hit = static_cast<const uchar*>(::memrchr(p_, list_[i], size_t(from + 1)));
        prev_[i] = hit ? int32_t(hit - p_) : -1;
      }
      if (prev_[i] > best) best = prev_[i];
    }
    return best;
  }

private:
  static constexpr size_t kMax = 3;
  const uchar* p_;
  const std::vector<uchar>& list_;
  const bool* table_;
  int32_t prev_[kMax];
};

} // namespace

int32_t TSearchPattern::Candidate(const TSearchWindow& w, int32_t q) const {
  int32_t len = MatchAt(w, q);
  if (len <= 0) return len;
  if (options_ & soWholeWord) {
    int end = WordEndAt(w, q + len);
    if (end <= 0) return end;
  }
  return len;
}

TScan TSearchPattern::FindForward(const TSearchWindow& w, int32_t from) const {
  TScan r;
  const int32_t L = static_cast<int32_t>(w.Text.size());
  if (codes_.empty() || from >= L) return r;
  if (from < 0) from = 0;
  const bool wholeWord = options_ & soWholeWord;
  BoundaryFinder boundary(w.Text);
  auto consider = [&](int32_t q) -> bool { // true when the scan ends at q
    if (!boundary(q)) return false;
    if (wholeWord && !WordStartAt(w, q)) return false;
    int32_t len = Candidate(w, q);
    if (len == 0) return false;
    r.Result = len > 0 ? TScanResult::Found : TScanResult::NeedMore;
    r.Hit = {q, len};
    r.Resume = q;
    return true;
  };

  if (exactBytes_) {
    // Whole pattern by memmem; the last PL - 1 positions of a window that
    // does not end the text go through the checks one by one, since their
    // hit would end outside the window.
    const char* base = w.Text.data();
    int32_t pos = from;
    while (pos < L) {
      auto* hit = static_cast<const char*>(
          ::memmem(base + pos, size_t(L - pos), bytes_.data(), bytes_.size()));
      if (!hit) break;
      int32_t q = int32_t(hit - base);
      if (consider(q)) return r;
      pos = q + 1;
    }
    if (w.AtTextEnd) return r;
    from = std::max(from, L - byteLength_ + 1);
  }
  for (int32_t q = NextCandidate(w.Text, from); q < L; q = NextCandidate(w.Text, q + 1))
    if (consider(q)) return r;
  return r;
}

TScan TSearchPattern::FindBackward(const TSearchWindow& w, int32_t from) const {
  TScan r;
  const int32_t L = static_cast<int32_t>(w.Text.size());
  if (codes_.empty() || from < 0 || L == 0) return r;
  if (from >= L) from = L - 1;
  const bool wholeWord = options_ & soWholeWord;
  BoundaryFinder boundary(w.Text);
  ByteScanner scan(w.Text, firstList_, first_);
  for (int32_t q = scan.Prev(from); q >= 0; q = scan.Prev(q - 1)) {
    if (!boundary(q)) continue;
    if (wholeWord && !WordStartAt(w, q)) continue;
    int32_t len = Candidate(w, q);
    if (len == 0) continue;
    r.Result = len > 0 ? TScanResult::Found : TScanResult::NeedMore;
    r.Hit = {q, len};
    r.Resume = q;
    return r;
  }
  return r;
}

int32_t TSearchPattern::BackwardStart(const TSearchWindow& w, int32_t start) const {
  std::string_view s = w.Text;
  const bool zenkaku = mode_ == kZenkaku || mode_ == kZenkakuIgnoreCase;
  BoundaryFinder boundary(s);
  int32_t q;
  if (!zenkaku) {
    q = start - byteLength_;
  } else {
    // Step back one text character per pattern character; a half-width
    // kana and the mark that combines with it are one character.
    q = start;
    for (size_t n = 0; n < codes_.size() && q >= 0; ++n) {
      q -= 1;
      if (q < 1) continue;
      if (!boundary(q)) {
        q -= 1;
      } else if (uchar m = ByteOf(s, q); (m == kVoicedMark || m == kSemiVoicedMark) &&
                                         boundary(q - 1) && CombinedKana(ByteOf(s, q - 1), m)) {
        q -= 1;
      }
    }
  }
  if (q >= 0 && q < static_cast<int32_t>(s.size()) && !boundary(q)) q -= 1;
  if (!w.AtTextStart && (q < 0 || (zenkaku && q == 0))) return kNeedEarlier;
  return q < 0 ? -1 : q;
}

bool SearchBuffer(std::string_view text, TSearchInfo& info, std::string_view pattern,
                  TSearchOptions options) {
  const int64_t L = static_cast<int64_t>(text.size());
  if (pattern.empty() || L == 0 || L > INT32_MAX) return false;
  if (info.Start < 0 || info.Start > L || info.Length < 0) return false;
  TSearchPattern p(pattern, options);
  if (p.Empty()) return false;
  TSearchWindow w{text, true, true, 0};
  TScan scan;
  if (options & soDown) {
    int64_t s = int64_t(info.Start) + info.Length;
    if (s > L) return false;
    scan = p.FindForward(w, int32_t(s));
  } else {
    int32_t s = p.BackwardStart(w, info.Start);
    if (s < 0) return false;
    scan = p.FindBackward(w, s);
  }
  if (scan.Result != TScanResult::Found) return false;
  info = scan.Hit;
  return true;
}

} // namespace ze
