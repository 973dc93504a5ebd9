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

int StrWidth(std::string_view text, const TColumnSettings& s) {
  if (std::memchr(text.data(), '\t', text.size()) == nullptr) return static_cast<int>(text.size());
  int w = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b) && i + 1 < text.size()) {
      w += 2;
      ++i;
    } else if (b == '\t') {
      w += TabWidthAt(w, s);
    } else {
      ++w;
    }
  }
  return w;
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
  std::string out;
  out.reserve(text.size());
  int col = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(b) && i + 1 < text.size()) {
      out += text[i];
      out += text[i + 1];
      col += 2;
      ++i;
    } else if (b == '\t') {
      int w = TabWidthAt(col, s);
      out.append(static_cast<size_t>(w), ' ');
      col += w;
    } else {
      out += text[i];
      ++col;
    }
  }
  return out;
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
    : text_(text), delimiters_(s.DelimiterSet) {
  direct_ = !s.WordWrap && std::memchr(text.data(), '\t', text.size()) == nullptr;
  if (direct_) {
    width_ = static_cast<int>(text.size());
  } else {
    codes_ = ColumnAttributes(text, s);
    width_ = static_cast<int>(codes_.size());
  }
}

char TColumnMap::Code(int col) const {
  if (col < 0 || col >= width_) return caEnd;
  if (!direct_) return codes_[static_cast<size_t>(col)];
  const size_t i = static_cast<size_t>(col);
  if (IsTrailAt(text_, i)) return caTrail;
  const auto b = static_cast<unsigned char>(text_[i]);
  if (IsLeadByte(b) && i + 1 < text_.size()) return caLead;
  return delimiters_.test(b) ? caDelim : caWord;
}

int TColumnMap::ColToPos(int col) const {
  if (col <= 0) return 0;
  if (col >= width_) return static_cast<int>(text_.size()) + (col - width_);
  if (Code(col) == caTrail) --col;
  if (direct_) return col;
  int fill = 0;
  for (int k = 0; k <= col; ++k) fill += codes_[static_cast<size_t>(k)] == caTabFill;
  return col - fill;
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
