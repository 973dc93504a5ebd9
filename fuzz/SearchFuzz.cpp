// Checks the search engine against simpler searches it must agree with:
//
// - a match-case forward SearchBuffer finds what a plain byte search
//   finds when it only accepts hits that start and end on a character
//   boundary (a lead byte always takes the byte after it);
// - SearchRows over random rows, in random chunk sizes, finds exactly
//   what SearchBuffer finds in the rows joined into one text, forward and
//   backward, with every option.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "search/RowSearch.h"
#include "search/SearchBuffer.h"

namespace ze {
namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

std::vector<bool> Boundaries(const std::string& text) {
  std::vector<bool> at(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); i += static_cast<size_t>(CharLengthAt(text, i))) at[i] = true;
  at[text.size()] = true;
  return at;
}

void CheckPlainSearch(FuzzedDataProvider& in) {
  const std::string pattern = in.ConsumeRandomLengthString(6);
  const std::string text = in.ConsumeRandomLengthString(3000);
  const auto start = in.ConsumeIntegralInRange<int32_t>(0, static_cast<int32_t>(text.size()));
  const std::vector<bool> at = Boundaries(text);
  int32_t want = -1;
  if (!pattern.empty() && !text.empty() && start < static_cast<int32_t>(text.size())) {
    for (size_t q = static_cast<size_t>(start); q + pattern.size() <= text.size(); ++q) {
      if (at[q] && at[q + pattern.size()] && text.compare(q, pattern.size(), pattern) == 0) {
        want = static_cast<int32_t>(q);
        break;
      }
    }
  }
  TSearchInfo info{start, 0};
  const bool found = SearchBuffer(text, info, pattern, soDown | soMatchCase);
  if (found != (want >= 0)) Fail(found ? "match-case search found a hit the plain one did not"
                                       : "match-case search missed a hit");
  if (found && (info.Start != want || info.Length != static_cast<int32_t>(pattern.size())))
    Fail("match-case search found another hit than the plain one");
}

void CheckRowSearch(FuzzedDataProvider& in) {
  TEditorStringList list;
  std::string joined;
  std::vector<int32_t> starts;
  const int rows = in.ConsumeIntegralInRange(1, 12);
  for (int i = 0; i < rows; ++i) {
    std::string text = in.ConsumeRandomLengthString(40);
    TRowEnd end = in.ConsumeBool() ? reWrapped : reLineBreak;
    if (i == rows - 1 && in.ConsumeBool()) end = reEndOfText;
    // Word wrap never cuts after a lone lead byte; only a line can end so.
    if (end == reWrapped && !text.empty() && IsLeadByte(text.back()) &&
        Boundaries(text)[text.size() - 1])
      end = reLineBreak;
    int k = list.Add(ByteString(text));
    list.SetRowAttribute(k, end);
    starts.push_back(static_cast<int32_t>(joined.size()));
    joined += text;
    if (end == reLineBreak) joined += "\r\n";
  }
  starts.push_back(static_cast<int32_t>(joined.size()));

  std::string pattern;
  if (in.ConsumeBool() && !joined.empty()) {
    size_t from = in.ConsumeIntegralInRange<size_t>(0, joined.size() - 1);
    pattern = joined.substr(from, in.ConsumeIntegralInRange<size_t>(1, 6));
  } else {
    pattern = in.ConsumeRandomLengthString(5);
  }
  auto options = static_cast<TSearchOptions>(in.ConsumeIntegral<uint16_t>() &
                                             (soDown | soMatchCase | soWholeWord |
                                              soNoMatchZenkaku | soIncludeCRLF | soIncludeSpace));
  const int32_t row = in.ConsumeIntegralInRange<int32_t>(0, rows);
  const int32_t pos =
      row < rows ? in.ConsumeIntegralInRange<int32_t>(0, starts[row + 1] - starts[row]) : 0;
  const int32_t chunk = in.ConsumeIntegralInRange<int32_t>(1, 64);

  TSearchInfo info{row < rows ? starts[row] + pos : static_cast<int32_t>(joined.size()), 0};
  const bool want = SearchBuffer(joined, info, pattern, options);
  const auto got = SearchRows(list, row, pos, pattern, options, chunk);
  if (got.has_value() != want)
    Fail(want ? "the row search missed SearchBuffer's hit" : "the row search found an extra hit");
  if (!want) return;
  if (starts[got->Row] + got->Pos != info.Start) Fail("the row search hit starts elsewhere");
  if (got->Length != info.Length) Fail("the row search hit has another length");
  if (got->Pos > starts[got->Row + 1] - starts[got->Row]) Fail("the hit's position is past its row");
}

} // namespace
} // namespace ze

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  if (in.ConsumeBool())
    ze::CheckPlainSearch(in);
  else
    ze::CheckRowSearch(in);
  return 0;
}
