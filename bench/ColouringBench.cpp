// Tokenizing every row of the corpus file with the application's fountain
// settings: bracket pair "{" "}", quotation "'", comment "//", URLs and
// mail addresses on, and a list of Pascal reserve words.
//
//   bench_colouring --benchmark_repetitions=5
//   ZE_BENCH_SMALL=1 bench_colouring     (10 MB corpus for a quick run)
//
// BM_UpdateRowData computes the start state of every row from the one
// before, as recolouring a whole text does. BM_NextToken tokenizes every
// row from its stored state, as painting does (without colour lookups),
// passing the row's length as a painter holding the row can.
// Both count the bytes of row text (line breaks excluded; text_MB, in
// 10^6 bytes; bytes_per_second is in MiB/s) and run on rows already in
// memory; BM_PhysicalBaseline reads the file and counts its lines, and the
// time ratios against it are printed at the end.

#include "bench/SjisCorpus.h"
#include "colouring/EditorFountain.h"
#include "text/ByteString.h"
#include "text/LineStore.h"
#include "bench/ProgramFountain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);



struct Corpus {
  ze::TEditorStringList rows;
  size_t textBytes = 0;
  std::unique_ptr<ze::TEditorFountain> fountain;
};


ze::TRowAttributeData TopState() {
  ze::TRowAttributeData d;
  d.BracketIndex = -1;
  return d;
}

// The rows of the corpus with the state of every row stored, loaded once.
Corpus& LoadedCorpus() {
  static std::unique_ptr<Corpus> corpus = [] {
    auto c = std::make_unique<Corpus>();
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(ze::bench::CorpusPath());
    // Rows packed as the editor packs a loaded file.
    ze::ByteStringArena arena;
    ze::bench::ForEachLine(file, [&](std::string_view line, bool) {
      c->rows.Add(arena.Make(line));
      c->textBytes += line.size();
    });
    c->fountain = ze::bench::ProgramFountain();
    auto parser = c->fountain->CreateParser();
    ze::TRowAttributeData d = TopState();
    for (int k = 0; k < c->rows.Count(); ++k) {
      d.RowAttribute = c->rows.RowAttribute(k);
      c->rows.SetRowAttributeData(k, d);
      parser->UpdateRowData(k, c->rows, d);
      d.PrevRowAttribute = c->rows.RowAttribute(k);
    }
    return c;
  }();
  return *corpus;
}

void BM_UpdateRowData(benchmark::State& state) {
  Corpus& c = LoadedCorpus();
  const int count = c.rows.Count();
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    auto parser = c.fountain->CreateParser();
    ze::TRowAttributeData d = TopState();
    for (int k = 0; k < count; ++k) {
      d.RowAttribute = c.rows.RowAttribute(k);
      parser->UpdateRowData(k, c.rows, d);
      d.PrevRowAttribute = d.RowAttribute;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    benchmark::DoNotOptimize(d.BracketIndex);
  }
  state.counters["rows"] = count;
  state.counters["text_MB"] = double(c.textBytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.textBytes));
}
BENCHMARK(BM_UpdateRowData)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_NextToken(benchmark::State& state) {
  Corpus& c = LoadedCorpus();
  const int count = c.rows.Count();
  size_t tokens = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    auto parser = c.fountain->CreateParser();
    tokens = 0;
    for (int k = 0; k < count; ++k) {
      const ze::ByteString& row = c.rows.Ref(k);
      parser->NewData(row.data(), row.size(), c.rows.RowAttributeData(k));
      while (parser->NextToken() != ze::ttEnd)
        ++tokens;
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    benchmark::DoNotOptimize(tokens);
  }
  state.counters["rows"] = count;
  state.counters["tokens"] = double(tokens);
  state.counters["text_MB"] = double(c.textBytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.textBytes));
}
BENCHMARK(BM_NextToken)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv, {"BM_UpdateRowData", "BM_NextToken"});
}
