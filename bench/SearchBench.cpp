// Searching the rows of the corpus file for a pattern that is not there,
// so every search reads the whole text (about 100 MB), in the option sets
// the search dialog offers.
//
//   bench_search --benchmark_repetitions=5
//   ZE_BENCH_SMALL=1 bench_search     (10 MB corpus for a quick run)
//
// Each benchmark reports bytes_per_second over the text as the search sees
// it (rows plus CR LF); the ratio of its median time to BM_PhysicalBaseline
// (reading the file and counting its lines) is printed at the end.

#include "bench/SjisCorpus.h"
#include "platform/CodePage.h"
#include "search/RowSearch.h"
#include "text/LineStore.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

struct Corpus {
  ze::TEditorStringList rows;
  int64_t bytes = 0; // text as searched: rows and their CR LF
};

// The corpus as screen rows without word wrap: every row ends a line.
const Corpus& LoadedCorpus() {
  static std::unique_ptr<Corpus> corpus = [] {
    auto c = std::make_unique<Corpus>();
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(ze::bench::CorpusPath());
    ze::bench::ForEachLine(file, [&](std::string_view line, bool ended) {
      int i = c->rows.Add(ze::ByteString(line));
      c->rows.SetRowAttribute(i, ended ? ze::reLineBreak : ze::reEndOfText);
      c->bytes += int64_t(line.size()) + (ended ? 2 : 0);
    });
    return c;
  }();
  return *corpus;
}

void Search(benchmark::State& state, const char* utf8Pattern, ze::TSearchOptions options) {
  const Corpus& corpus = LoadedCorpus();
  std::string pattern = ze::Utf8ToCp932(utf8Pattern);
  for (auto _ : state) {
    auto hit = ze::SearchRows(corpus.rows, 0, 0, pattern, options | ze::soDown);
    if (hit) {
      state.SkipWithError("the pattern is in the corpus");
      return;
    }
    benchmark::DoNotOptimize(hit);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * corpus.bytes);
  state.counters["MB"] = double(corpus.bytes) / 1e6;
}

void BM_SearchMatchCase(benchmark::State& s) {
  Search(s, "Selection", ze::soMatchCase);
}
void BM_SearchIgnoreCase(benchmark::State& s) {
  Search(s, "Selection", 0);
}
void BM_SearchZenkaku(benchmark::State& s) {
  Search(s, "Selection", ze::soNoMatchZenkaku);
}
void BM_SearchZenkakuMatchCase(benchmark::State& s) {
  Search(s, "Selection", ze::soNoMatchZenkaku | ze::soMatchCase);
}
// A Japanese pattern: its lead byte is among the most frequent bytes.
void BM_SearchJapaneseMatchCase(benchmark::State& s) {
  Search(s, "置換文字列", ze::soMatchCase);
}
void BM_SearchJapaneseIgnoreCase(benchmark::State& s) {
  Search(s, "置換文字列", 0);
}
void BM_SearchJapaneseZenkaku(benchmark::State& s) {
  Search(s, "置換文字列", ze::soNoMatchZenkaku);
}
// Line breaks and blanks skipped, as the dialog's check box sets them.
void BM_SearchIgnoreCaseSkipBlanks(benchmark::State& s) {
  Search(s, "Selection", ze::soIncludeCRLF | ze::soIncludeSpace);
}

BENCHMARK(BM_SearchMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchZenkaku)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchZenkakuMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchJapaneseMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchJapaneseIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchJapaneseZenkaku)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchIgnoreCaseSkipBlanks)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv,
                                  {"BM_SearchMatchCase", "BM_SearchIgnoreCase", "BM_SearchZenkaku",
                                   "BM_SearchZenkakuMatchCase", "BM_SearchJapaneseMatchCase",
                                   "BM_SearchJapaneseIgnoreCase", "BM_SearchJapaneseZenkaku",
                                   "BM_SearchIgnoreCaseSkipBlanks"});
}
