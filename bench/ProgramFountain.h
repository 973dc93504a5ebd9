#pragma once
// The colouring rules the benchmarks use, as the application sets them for
// program text: brackets "{" "}", quotation "'", comment "//", URLs and
// mail addresses, and about forty Pascal reserve words.

#include "colouring/EditorFountain.h"

namespace ze::bench {

inline void ConfigureProgramFountain(TEditorFountain& f) {
  static const char* const words[] = {
      "and",    "array",    "as",     "begin", "case",      "class",     "const",
      "div",    "do",       "downto", "else",  "end",       "except",    "finally",
      "for",    "function", "if",     "in",    "inherited", "interface", "is",
      "mod",    "nil",      "not",    "of",    "or",        "procedure", "property",
      "record", "repeat",   "shl",    "shr",   "string",    "then",      "to",
      "try",    "type",     "until",  "var",   "while",     "with",      "xor"};
  auto* braces = f.Brackets()->Add();
  braces->SetLeftBracket("{");
  braces->SetRightBracket("}");
  f.SetQuotation("'");
  f.SetCommenter("//");
  f.SetUrl(true);
  f.SetMail(true);
  TStringList list;
  for (const char* w : words) list.Add(w);
  f.SetReserveWordList(&list);
}

inline std::unique_ptr<TEditorFountain> ProgramFountain() {
  auto f = Create<TEditorFountain>(nullptr);
  ConfigureProgramFountain(*f);
  return f;
}

} // namespace ze::bench
