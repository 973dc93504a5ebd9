#pragma once
// Helpers that show a row list as plain data in assertions.

#include <string>
#include <vector>

#include "text/LineStore.h"

namespace ze::test {

inline std::vector<std::string> RowTexts(const TLineStringList& rows) {
  std::vector<std::string> out;
  for (int i = 0; i < rows.Count(); ++i) out.push_back(rows.Get(i).str());
  return out;
}

// One letter per row: L line break, W wrapped, E end of text.
inline std::string RowEnds(const TRowAttributeStringList& rows) {
  std::string out;
  for (int i = 0; i < rows.Count(); ++i) out += "LWEU"[rows.RowAttribute(i)];
  return out;
}

inline std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

} // namespace ze::test
