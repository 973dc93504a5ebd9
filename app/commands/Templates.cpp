#include "app/commands/Templates.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace ze {
namespace {

struct TTemplate {
  char Key;
  // The words in lower case: the keyword line, then (for blocks) the
  // closing word.
  const char* Head;
  const char* End;
};

constexpr std::array<TTemplate, 10> kTemplates{{
    {'A', "array[] of ;", nullptr},
    {'B', "begin", "end;"},
    {'C', "case  of", "end;"},
    {'D', "downto  do", nullptr},
    {'F', "function : ;", "end;"},
    {'I', "if  then", nullptr},
    {'P', "procedure ;", "end;"},
    {'R', "run();", nullptr},
    {'T', "type", "end;"},
    {'W', "while  do", nullptr},
}};

constexpr std::array<const char*, 11> kSeparators{": ",  " : ", ". ",  " ",  "  ", "- ",
                                                  " - ", "_ ",  " _ ", "/ ", " / "};

const TTemplate* FindTemplate(int key) {
  for (const TTemplate& t : kTemplates)
    if (t.Key == key) return &t;
  return nullptr;
}

std::string Spaces(int n) {
  return std::string(static_cast<size_t>(std::max(0, n)), ' ');
}

// Where the caret goes inside a one-line keyword: between the brackets or
// parentheses, else after the first word and its space.
int CaretStep(const std::string& word) {
  for (char open : {'[', '('})
    if (auto p = word.find(open); p != std::string::npos) return static_cast<int>(p) + 1;
  if (auto p = word.find(' '); p != std::string::npos) return static_cast<int>(p) + 1;
  return 0;
}

// Inserts text at (r, c), replacing a selection, and puts the caret at
// (caretRow, caretCol).
void InsertAt(TEditor& e, const std::string& text, int caretRow, int caretCol) {
  if (!text.empty()) e.SetSelText(text);
  e.SetRowCol(caretRow, caretCol);
}

void InsertTemplate(TEditor& e, const TTemplate& t, int R, int C, int reserveType) {
  // The editor's tab width is 2 to 8; never a raw setting that could be 0
  // or negative.
  const int T = std::max(1, e.TabSpaceCount());
  const std::string head = TemplateWord(t.Head, reserveType);
  if (!t.End) {
    InsertAt(e, head, R, C + CaretStep(head));
    return;
  }
  const std::string end = TemplateWord(t.End, reserveType);
  const std::string crlf = "\r\n";
  switch (t.Key) {
  case 'B': {
    int I = C;
    if (R < e.ListCount() && C > 1) {
      const int width = e.IndentWidth(e.RowText(R).view()); // -1: empty row
      if (width >= 0 && width != C) I = width;
    }
    InsertAt(e, head + crlf + Spaces(I + T) + crlf + Spaces(I) + end, R + 1, I + T);
    break;
  }
  case 'C':
    InsertAt(e, head + crlf + Spaces(C + T) + crlf + Spaces(C) + end, R, C + CaretStep(head));
    break;
  case 'F':
  case 'P': {
    const std::string begin = TemplateWord("begin", reserveType);
    InsertAt(e, head + crlf + Spaces(C) + begin + crlf + Spaces(C + T) + crlf + Spaces(C) + end, R,
             C + CaretStep(head));
    break;
  }
  case 'T':
    InsertAt(e, head + crlf + Spaces(C + T) + crlf + Spaces(C) + end, R + 1, C + T);
    break;
  }
}

// The number of list lines a digit key asks for, 0 for none.
int ListCount(int key, int numberType) {
  if (key < '0' || key > '9') return -1;
  const int d = key - '0';
  if (numberType == 1) return d == 0 ? 10 : d;
  if (numberType == 2) return d;
  return -1;
}

void InsertList(TEditor& e, int n, int numberType, int separateType) {
  const int R = e.Row(), C = e.Col();
  // Lists go only at or after the end of a row.
  if (C < e.RowEndCol(R)) return;
  const std::string prefix = n == 10 ? " " : "";
  const std::string sep = ListSeparator(separateType);
  const int last = numberType == 1 ? n - 1 : n;
  const int first = numberType == 1 ? 1 : 0;
  std::string text;
  for (int i = 0; i <= last; ++i) {
    // Every further line starts at column C of its own new row.
    if (i > 0) text += Spaces(C);
    if (i < last) text += prefix;
    text += std::to_string(first + i) + sep;
    if (i < last) text += "\r\n";
  }
  const int step = static_cast<int>(std::to_string(first).size() + sep.size() + prefix.size());
  InsertAt(e, text, R, C + step);
}

} // namespace

std::string ListSeparator(int separateType) {
  if (separateType < 0 || separateType >= static_cast<int>(kSeparators.size())) return {};
  return kSeparators[static_cast<size_t>(separateType)];
}

std::string TemplateWord(const std::string& lower, int reserveType) {
  std::string out;
  if (reserveType < 1 || reserveType > 3) return out;
  out = lower;
  bool wordStart = true;
  for (char& c : out) {
    const bool letter = std::isalpha(static_cast<unsigned char>(c));
    if (letter && (reserveType == 2 || (reserveType == 3 && wordStart)))
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    wordStart = !letter;
  }
  return out;
}

bool TemplateKeyDown(TEditor* e, int key, TShiftState shift, const TTemplateSettings& s) {
  constexpr TShiftState kModifiers = ssShift | ssCtrl | ssAlt;
  if (!e || e->ReadOnly() || (shift & kModifiers) != (ssShift | ssCtrl)) return false;
  if (s.WrapFlag || e->WordWrap()) return false;
  bool handled = false;
  if (s.ReserveType != 4) {
    if (const TTemplate* t = FindTemplate(key)) {
      // A template replaces the selection and starts where it started.
      int R = e->Row(), C = e->Col();
      if (e->IsSelected()) {
        R = e->SelectionRect().StartRow;
        C = e->SelectionRect().StartCol;
      }
      InsertTemplate(*e, *t, R, C, s.ReserveType);
      handled = true;
    }
  }
  if (const int n = ListCount(key, s.NumberType); n >= 0) {
    if (e->HasSelection()) e->CleanSelection();
    InsertList(*e, n, s.NumberType, s.SeparateType);
    handled = true;
  }
  return handled;
}

} // namespace ze
