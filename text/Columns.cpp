#include "text/Columns.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"

namespace ze {

TDelimiterSet DefaultDelimiterSet() {
  TDelimiterSet d;
  auto range = [&](int a, int b) {
    for (int c = a; c <= b; ++c) d.set(static_cast<size_t>(c));
  };
  range(0x00, 0x2F);
  range(0x3A, 0x40);
  range(0x5B, 0x5E);
  range(0x60, 0x60);
  range(0x7B, 0x80);
  range(0xA0, 0xA5);
  range(0xFD, 0xFF);
  return d;
}

int TabWidthAt(int k, const TColumnSettings& s) {
  int tab = std::max(1, s.TabSpaceCount);
  int w = tab - k % tab;
  if (s.WordWrap && s.WrapByte > 0) w = std::min(w, s.WrapByte - k % s.WrapByte);
  return w;
}

std::string ColumnAttributes(std::string_view text, const TColumnSettings& s) {
  const size_t cap = s.WordWrap ? static_cast<size_t>(std::max(0, s.WrapByte + 3)) : std::string::npos;
  std::string codes;
  codes.reserve(std::min(cap + 8, text.size() + 8));
  for (size_t i = 0; i < text.size() && codes.size() < cap; ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b) && i + 1 < text.size()) {
      codes += caLead;
      codes += caTrail;
      ++i;
    } else if (b == '\t') {
      int w = TabWidthAt(static_cast<int>(codes.size()), s);
      codes += caDelim;
      codes.append(static_cast<size_t>(w - 1), caTabFill);
    } else {
      codes += s.DelimiterSet.test(b) ? caDelim : caWord;
    }
  }
  return codes;
}

namespace {

// Calls tab(pos, col) for every tab of text (a 0x09 that is the second
// byte of a double-byte character is no tab), where col is the tab's first
// column, and returns the width of the whole text. Between tabs every byte
// is one column, so the bytes are never walked one by one.
// Calls tab(pos, col, width) for each tab at or after byte from and returns
// the text's width. segment is the first byte after the last tab before
// from, col its column.
template <class OnTab>
int WalkTabs(std::string_view text, const TColumnSettings& s, OnTab tab, size_t from = 0,
             size_t segment = 0, int col = 0) {
  const char* base = text.data();
  while (from < text.size()) {
    const void* hit = std::memchr(base + from, '\t', text.size() - from);
    if (!hit) break;
    const size_t q = static_cast<size_t>(static_cast<const char*>(hit) - base);
    from = q + 1;
    if (IsTrailAt(text, q)) continue;
    const int at = col + static_cast<int>(q - segment);
    const int w = TabWidthAt(at, s);
    tab(static_cast<int>(q), at, w);
    col = at + w;
    segment = q + 1;
  }
  return col + static_cast<int>(text.size() - segment);
}

} // namespace

int StrWidth(std::string_view text, const TColumnSettings& s) {
  return WalkTabs(text, s, [](int, int, int) {});
}

int IndentWidth(std::string_view text, const TColumnSettings& s) {
  if (text.empty()) return -1;
  int w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') ++w;
    else if (text[i] == '\t') w += TabWidthAt(w, s);
    else if (text[i] == '\x81' && i + 1 < text.size() && text[i + 1] == '\x40') {
      w += 2;
      ++i;
    } else break;
  }
  return w;
}

std::string ExpandTabs(std::string_view text, const TColumnSettings& s) {
  std::string out(static_cast<size_t>(StrWidth(text, s)), ' ');
  ExpandTabsTo(text, s, out.data());
  return out;
}

void ExpandTabsTo(std::string_view text, const TColumnSettings& s, char* out) {
  size_t done = 0;
  WalkTabs(text, s, [&](int pos, int, int w) {
    const size_t n = static_cast<size_t>(pos) - done;
    std::memcpy(out, text.data() + done, n);
    std::memset(out + n, ' ', static_cast<size_t>(w));
    out += n + static_cast<size_t>(w);
    done = static_cast<size_t>(pos) + 1;
  });
  std::memcpy(out, text.data() + done, text.size() - done);
}

bool IsTrailAt(std::string_view text, size_t i) {
  if (i == 0 || i >= text.size()) return false;
  size_t run = 0;
  while (run < i && IsLeadByte(static_cast<unsigned char>(text[i - 1 - run]))) ++run;
  // The run starts on a character boundary (the byte before it cannot lead
  // one), so its lead values pair up from there.
  return run % 2 == 1;
}

TColumnMap::TColumnMap(std::string_view text, const TColumnSettings& s)
    : text_(text), delimiters_(s.DelimiterSet), settings_(s), wrap_(s.WordWrap) {
  if (wrap_) {
    codes_ = ColumnAttributes(text, s);
    width_ = static_cast<int>(codes_.size());
  } else {
    width_ = WalkTabs(text, s, [&](int pos, int col, int w) { tabs_.push_back({pos, col, w}); });
  }
}

const TColumnMap::Tab* TColumnMap::TabAtOrBefore(int col) const {
  auto it = std::upper_bound(tabs_.begin(), tabs_.end(), col,
                             [](int c, const Tab& t) { return c < t.Col; });
  return it == tabs_.begin() ? nullptr : &*(it - 1);
}

char TColumnMap::Code(int col) const {
  if (col < 0 || col >= width_) return caEnd;
  if (wrap_) return codes_[static_cast<size_t>(col)];
  size_t i = static_cast<size_t>(col);
  if (const Tab* t = TabAtOrBefore(col)) {
    if (col < t->Col + t->Width) return col == t->Col ? caDelim : caTabFill;
    i = static_cast<size_t>(t->Pos + 1 + (col - t->Col - t->Width));
  }
  if (IsTrailAt(text_, i)) return caTrail;
  const auto b = static_cast<unsigned char>(text_[i]);
  if (IsLeadByte(b) && i + 1 < text_.size()) return caLead;
  return delimiters_.test(b) ? caDelim : caWord;
}

int TColumnMap::ColToPos(int col) const {
  if (col <= 0) return 0;
  if (col >= width_) return static_cast<int>(text_.size()) + (col - width_);
  if (wrap_) {
    if (codes_[static_cast<size_t>(col)] == caTrail) --col;
    int fill = 0;
    for (int k = 0; k <= col; ++k) fill += codes_[static_cast<size_t>(k)] == caTabFill;
    return col - fill;
  }
  int pos = col;
  if (const Tab* t = TabAtOrBefore(col)) {
    if (col < t->Col + t->Width) return t->Pos;
    pos = t->Pos + 1 + (col - t->Col - t->Width);
  }
  return IsTrailAt(text_, static_cast<size_t>(pos)) ? pos - 1 : pos;
}

void TColumnMap::ExpandTo(char* out) const {
  if (wrap_) {
    ExpandTabsTo(text_, settings_, out);
    return;
  }
  size_t done = 0;
  for (const Tab& t : tabs_) {
    const size_t n = static_cast<size_t>(t.Pos) - done;
    std::memcpy(out, text_.data() + done, n);
    std::memset(out + n, ' ', static_cast<size_t>(t.Width));
    out += n + static_cast<size_t>(t.Width);
    done = static_cast<size_t>(t.Pos) + 1;
  }
  std::memcpy(out, text_.data() + done, text_.size() - done);
}

TColumnMap::TColumnMap(std::string_view text, const TColumnMap& prior, size_t head)
    : text_(text), delimiters_(prior.delimiters_), settings_(prior.settings_) {
  if (prior.wrap_) {
    *this = TColumnMap(text, prior.settings_);
    return;
  }
  // A tab before head stands where it stood: its place and width depend on
  // the bytes before it only.
  head = std::min(head, text.size());
  auto kept = std::lower_bound(prior.tabs_.begin(), prior.tabs_.end(), head,
                               [](const Tab& t, size_t h) { return static_cast<size_t>(t.Pos) < h; });
  tabs_.assign(prior.tabs_.begin(), kept);
  size_t segment = 0;
  int col = 0;
  if (!tabs_.empty()) {
    segment = static_cast<size_t>(tabs_.back().Pos) + 1;
    col = tabs_.back().Col + tabs_.back().Width;
  }
  width_ = WalkTabs(
      text, settings_, [&](int pos, int c, int w) { tabs_.push_back({pos, c, w}); },
      std::max(head, segment), segment, col);
}

int TColumnMap::PosToCol(int pos) const {
  pos = std::clamp(pos, 0, static_cast<int>(text_.size()));
  if (wrap_) return StrWidth(text_.substr(0, static_cast<size_t>(pos)), settings_);
  auto it = std::lower_bound(tabs_.begin(), tabs_.end(), pos,
                             [](const Tab& t, int p) { return t.Pos < p; });
  if (it == tabs_.begin()) return pos;
  const Tab& t = *(it - 1);
  return t.Col + t.Width + (pos - t.Pos - 1);
}

// ---------------------------------------------------------------- cursor

void TEditorAttributeArray::Reset(std::string_view text, std::string codes) {
  text_ = text;
  codes_ = std::move(codes);
  codes_ += caEnd;
  position_ = 0;
  byteCount_ = 0;
  code_ = caEnd;
  Next();
}

void TEditorAttributeArray::Next() {
  if (position_ > 0 && code_ == caEnd) return;
  if (position_ >= ColumnCount() + 1) return;
  ++position_;
  code_ = codes_[static_cast<size_t>(position_ - 1)];
  if (code_ != caTabFill && code_ != caEnd) ++byteCount_;
}

void TEditorAttributeArray::Prev() {
  if (position_ <= 1) return;
  char left = code_;
  --position_;
  code_ = codes_[static_cast<size_t>(position_ - 1)];
  // Leaving a tab filler uncovers no byte: the tab itself is still under
  // the cursor, whatever column of it the cursor is on.
  if (left != caTabFill && left != caEnd) --byteCount_;
}

void TEditorAttributeArray::MoveTo(int column) {
  while (code_ != caEnd && position_ < column) Next();
  while (position_ > column && position_ > 1) Prev();
}

void TEditorAttributeArray::StepBackChar() {
  Prev();
  if (code_ == caLead) Prev();
}

std::string_view TEditorAttributeArray::CurrentChar() const {
  if (code_ == caEnd || byteCount_ < 1) return {};
  size_t bc = static_cast<size_t>(byteCount_);
  if (code_ == caTrail) return bc >= 2 ? text_.substr(bc - 2, 2) : std::string_view{};
  if (code_ == caLead) return text_.substr(bc - 1, 2);
  return text_.substr(bc - 1, 1);
}

std::string_view TEditorAttributeArray::PeekNextChar() {
  int pos = position_;
  char code = code_;
  int bc = byteCount_;
  Next();
  std::string_view c = (position_ == pos) ? std::string_view{} : CurrentChar();
  position_ = pos;
  code_ = code;
  byteCount_ = bc;
  return c;
}

} // namespace ze
