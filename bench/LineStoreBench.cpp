// Loading and editing the row store on the corpus file.
//
//   bench_linestore --benchmark_repetitions=5
//   ZE_BENCH_SMALL=1 bench_linestore     (10 MB corpus for a quick run)
//
// BM_LineStoreAppend times what BM_PhysicalBaseline times (one read of the
// file into memory) plus cutting it at CR LF and adding every line as a row;
// the ratio of the two is printed at the end. Both run on a warm page cache.

#include "bench/SjisCorpus.h"
#include "text/ByteString.h"
#include "text/LineStore.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
using ze::bench::FileBytes;

// The baseline is reported first.
[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// Adds every line of the file as a row; CR LF (or a lone LF) ends a line and
// a final line without a terminator is added too.
void AppendLines(ze::TLineStringList& list, const FileBytes& file) {
  ze::bench::ForEachLine(file, [&](std::string_view line, bool) { list.Add(ze::ByteString(line)); });
}

void BM_LineStoreAppend(benchmark::State& state) {
  const std::string& path = ze::bench::CorpusPath();
  size_t rows = 0, textBytes = 0, rss = 0, heap = 0;
  for (auto _ : state) {
    size_t heap0 = ze::bench::HeapBytesInUse();
    size_t rss0 = ze::bench::ResidentBytes();
    ze::TLineStringList list;
    Clock::time_point start = Clock::now();
    FileBytes file = ze::bench::ReadWholeFile(path);
    AppendLines(list, file);
    state.SetIterationTime(Seconds(start, Clock::now()));

    // Memory of the rows alone: the file buffer goes first.
    textBytes = file.size;
    file = {};
    heap = ze::bench::HeapBytesInUse() - heap0;
    rss = ze::bench::ResidentBytes() - rss0;
    rows = size_t(list.Count());
  }
  textBytes -= 2 * rows; // without the CR LF pairs
  state.counters["rows"] = double(rows);
  state.counters["text_B/row"] = double(textBytes) / double(rows);
  state.counters["heap_B/row"] = double(heap) / double(rows);
  state.counters["rss_B/row"] = double(rss) / double(rows);
  state.counters["rss_MB"] = double(rss) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(textBytes + 2 * rows));
}
BENCHMARK(BM_LineStoreAppend)->UseManualTime()->Unit(benchmark::kMillisecond);

// All rows of the corpus, loaded once and shared by the edit benchmarks.
ze::TLineStringList& LoadedList() {
  static std::unique_ptr<ze::TLineStringList> list = [] {
    auto l = std::make_unique<ze::TLineStringList>();
    AppendLines(*l, ze::bench::ReadWholeFile(ze::bench::CorpusPath()));
    return l;
  }();
  return *list;
}

// A typical row: program text with a Shift-JIS comment (行を挿入).
ze::ByteString NewRow() {
  return ze::ByteString("    Result := Count + 1;  // \x8D\x73\x82\xF0\x91\x7D\x93\xFC");
}

// Each iteration inserts one row in the middle and deletes it again, so the
// store keeps its size; only the operation named by the benchmark is timed.
void BM_LineStoreInsertMiddle(benchmark::State& state) {
  ze::TLineStringList& list = LoadedList();
  int mid = list.Count() / 2;
  ze::ByteString row = NewRow();
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    list.Insert(mid, row);
    state.SetIterationTime(Seconds(start, Clock::now()));
    list.Delete(mid);
  }
  state.counters["rows"] = list.Count();
}
BENCHMARK(BM_LineStoreInsertMiddle)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LineStoreDeleteMiddle(benchmark::State& state) {
  ze::TLineStringList& list = LoadedList();
  int mid = list.Count() / 2;
  ze::ByteString row = NewRow();
  for (auto _ : state) {
    list.Insert(mid, row);
    Clock::time_point start = Clock::now();
    list.Delete(mid);
    state.SetIterationTime(Seconds(start, Clock::now()));
  }
  state.counters["rows"] = list.Count();
}
BENCHMARK(BM_LineStoreDeleteMiddle)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv, {"BM_LineStoreAppend"});
}
