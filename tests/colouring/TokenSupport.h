#pragma once
// Helpers for tokenizer tests: tokens as (kind, position, length) triples,
// Shift-JIS text written as UTF-8, and a small row list that is recoloured
// row after row the way the screen-row store does it.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "colouring/EditorFountain.h"
#include "colouring/FountainParser.h"
#include "platform/CodePage.h"
#include "text/LineStore.h"

namespace ze::test {

struct Tok {
  int kind;
  int pos;
  int len;
  bool operator==(const Tok&) const = default;
};

inline void PrintTo(const Tok& t, std::ostream* os) {
  *os << "{kind " << t.kind << ", pos " << t.pos << ", len " << t.len << "}";
}

inline std::string Sjis(const char* utf8) {
  return Utf8ToCp932(utf8);
}

// The state of a row at the top of a text: no bracket open.
inline TRowAttributeData Fresh() {
  TRowAttributeData d;
  d.BracketIndex = -1;
  return d;
}

// Every token of text up to ttEnd (at most 10000, so a parser that makes
// no progress fails instead of hanging).
inline std::vector<Tok> Tokenize(TFountainParser& p, const std::string& text,
                                 const TRowAttributeData& data = Fresh()) {
  std::vector<Tok> out;
  p.NewData(text.c_str(), data);
  for (int guard = 0; guard < 10000; ++guard) {
    TFountainTokenKind k = p.NextToken();
    if (k == ttEnd) break;
    out.push_back({k, p.SourcePos(), p.TokenLength()});
  }
  return out;
}

// A text already cut into screen rows.
struct RowText {
  std::string text;
  TRowEnd end = reLineBreak;
};

class Rows {
public:
  Rows(std::initializer_list<RowText> rows) {
    for (const RowText& r : rows) {
      int i = list.Add(ByteString(r.text));
      list.SetRowAttribute(i, r.end);
    }
  }

  // Recolours every row from the top, storing each row's start state
  // through the packed row fields as the screen-row store does.
  void Reparse(TFountainParser& p) {
    TRowAttributeData d = Fresh();
    for (int k = 0; k < list.Count(); ++k) {
      d.RowAttribute = list.RowAttribute(k);
      list.SetRowAttributeData(k, d);
      d = list.RowAttributeData(k);
      p.UpdateRowData(k, list, d);
      d.PrevRowAttribute = list.RowAttribute(k);
    }
  }

  // The tokens a painter draws on row k: the next row is appended to a
  // wrapped row, and tokens that start beyond the row are not its own.
  std::vector<Tok> Paint(TFountainParser& p, int k) {
    std::string text = list.Get(k).str();
    const int len = static_cast<int>(text.size());
    if (list.RowAttribute(k) == reWrapped && k + 1 < list.Count()) text += list.Get(k + 1).str();
    std::vector<Tok> out;
    for (const Tok& t : Tokenize(p, text, list.RowAttributeData(k)))
      if (t.pos < len) out.push_back(t);
    return out;
  }

  TRowAttributeData State(int k) const { return list.RowAttributeData(k); }

  TEditorStringList list;
};


// A parser of a plain editor fountain, and brackets to add to it.
class ScannerTest : public ::testing::Test {
protected:
  std::unique_ptr<TEditorFountain> f = Create<TEditorFountain>(nullptr);
  std::unique_ptr<TFountainParser> p = f->CreateParser();
  std::vector<Tok> Scan(const std::string& s) { return Tokenize(*p, s); }
  void AddBracket(const char* left, const char* right) {
    auto* item = f->Brackets()->Add();
    item->SetLeftBracket(left);
    item->SetRightBracket(right);
  }
};

} // namespace ze::test
