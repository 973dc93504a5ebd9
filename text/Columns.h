#pragma once
// Display columns of a row: a single-byte character takes one column, a
// double-byte character two, a tab runs to the next tab stop (and, with
// word wrap on, never past the wrap width). Word wrap, box selection,
// caret placement and painting all measure rows with these functions.

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace ze {

using TDelimiterSet = std::bitset<256>;

// The delimiters an editor starts with: everything but letters, digits,
// '_' and half-width katakana.
TDelimiterSet DefaultDelimiterSet();

struct TColumnSettings {
  int TabSpaceCount = 8;
  bool WordWrap = false;
  int WrapByte = 80;
  TDelimiterSet DelimiterSet = DefaultDelimiterSet();
};

// Codes of the column attribute string.
inline constexpr char caWord = '1';     // single-byte, not a delimiter
inline constexpr char caDelim = '2';    // single-byte delimiter (tabs too)
inline constexpr char caTabFill = '3';  // further columns of a tab
inline constexpr char caLead = '4';     // first column of a double-byte character
inline constexpr char caTrail = '5';    // second column
inline constexpr char caEnd = '0';      // end mark of TEditorAttributeArray

// Width of a tab that starts at column k.
int TabWidthAt(int k, const TColumnSettings& s);

// One code per display column, built left to right. With word wrap on the
// map stops once it reaches WrapByte + 3 columns; with it off it covers the
// whole row, however long. A lead byte with nothing after it is a
// single-byte character.
std::string ColumnAttributes(std::string_view text, const TColumnSettings& s);

// Display width of the whole string (not capped). Between tabs every byte
// is one column, so only the tabs are visited.
int StrWidth(std::string_view text, const TColumnSettings& s);

// Display width of the leading blanks (spaces, full-width spaces, tabs);
// -1 for an empty string.
int IndentWidth(std::string_view text, const TColumnSettings& s);

// The string with every tab replaced by the spaces it covers.
std::string ExpandTabs(std::string_view text, const TColumnSettings& s);
// The same written to out, which holds StrWidth(text, s) bytes.
void ExpandTabsTo(std::string_view text, const TColumnSettings& s, char* out);

// True when byte i of text is the second byte of a double-byte character.
// Character boundaries are found by walking back over the run of lead-byte
// values before i, so the cost does not grow with the row.
bool IsTrailAt(std::string_view text, size_t i);

// The columns of one row, for lookups on rows of any length. With word
// wrap off nothing per column is built: between tabs every byte is one
// column, so the map keeps only where each tab stands and answers a lookup
// at column ten million as fast as one at column ten. With word wrap on
// (rows are short) it keeps the column attribute string.
class TColumnMap {
public:
  TColumnMap() = default;
  TColumnMap(std::string_view text, const TColumnSettings& s);
  // The map of text, which starts with the first head bytes of the text
  // prior was made for: only what follows them is walked.
  TColumnMap(std::string_view text, const TColumnMap& prior, size_t head);
  bool HasTabs() const { return wrap_ ? text_.find('\t') != std::string_view::npos : !tabs_.empty(); }
  // The number of columns (the size of the column attribute string).
  int Width() const { return width_; }
  // The code of a column, caEnd outside the row.
  char Code(int col) const;
  // The byte of a column: a trail half counts as its lead, a tab's filler
  // as the tab; past the row every column counts as one byte.
  int ColToPos(int col) const;
  // The first column of byte pos (the row's width for pos at its end).
  int PosToCol(int pos) const;
  // The row with its tabs expanded, written to out (Width() bytes; with
  // word wrap on, StrWidth of the row).
  void ExpandTo(char* out) const;

private:
  struct Tab {
    int Pos, Col, Width;
  };
  // The last tab that starts at or before col (by column), or nullptr.
  const Tab* TabAtOrBefore(int col) const;

  std::string_view text_;
  TDelimiterSet delimiters_;
  TColumnSettings settings_;
  bool wrap_ = false;
  std::string codes_;     // word wrap on
  std::vector<Tab> tabs_; // word wrap off
  int width_ = 0;
};

// A cursor over a text and its column attribute string, used by the wrap.
class TEditorAttributeArray {
public:
  void Reset(std::string_view text, std::string codes);
  void Next();
  void Prev();
  void MoveTo(int column);
  // Prev, and once more if that lands on the first half of a double-byte
  // character, so that a character is never split.
  void StepBackChar();
  int ColumnCount() const { return static_cast<int>(codes_.size()) - 1; }
  std::string_view CurrentChar() const;
  std::string_view PeekNextChar();

  char Code() const { return code_; }
  int Position() const { return position_; }
  int ByteCount() const { return byteCount_; }

private:
  std::string_view text_;
  std::string codes_; // with the end mark
  char code_ = caEnd;
  int position_ = 0;
  int byteCount_ = 0;
};

} // namespace ze
