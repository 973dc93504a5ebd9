// The text model on the ~100 MB corpus: loading, re-cutting for word
// wrap, typing, Enter, and undo/redo of a large paste, each beside the
// physical baseline measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/ProgramFountain.h"
#include "bench/SjisCorpus.h"
#include "colouring/EditorFountain.h"
#include "tests/support/FakeView.h"
#include "text/EditorStrings.h"

namespace {

using Clock = std::chrono::steady_clock;
using ze::test::FakeView;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);


// A text as an editor holds it: store, one 60-row view colouring with the
// application's fountain, and the Lines facade.
struct Editor {
  std::unique_ptr<ze::TEditorFountain> fountain = ze::bench::ProgramFountain();
  std::unique_ptr<ze::TEditorScreenStrings> store = ze::Create<ze::TEditorScreenStrings>();
  FakeView view{*store};
  ze::TEditorStrings lines{store.get(), &view};
  Editor() {
    view.screenRows = 60;
    view.parserFactory = [this] { return fountain->CreateParser(); };
  }
};

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

void BM_LoadFromFile(benchmark::State& state) {
  const std::string& path = ze::bench::CorpusPath();
  for (auto _ : state) {
    size_t before = ze::bench::ResidentBytes();
    auto e = std::make_unique<Editor>();
    auto t0 = Clock::now();
    e->lines.LoadFromFile(path);
    auto t1 = Clock::now();
    state.SetIterationTime(Seconds(t0, t1));
    size_t after = ze::bench::ResidentBytes();
    state.counters["rows"] = e->store->Count();
    state.counters["rss_MB"] = double(after - before) / 1e6;
    state.counters["rss_per_file_byte"] =
        double(after - before) / double(ze::bench::MeasurePhysicalBaseline(path).bytes);
    state.PauseTiming();
    e.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadFromFile)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

Editor& Loaded() {
  static std::unique_ptr<Editor> e = [] {
    auto x = std::make_unique<Editor>();
    x->lines.LoadFromFile(ze::bench::CorpusPath());
    return x;
  }();
  return *e;
}

void BM_WordWrapOn80(benchmark::State& state) {
  Editor& e = Loaded();
  e.store->WrapOption()->SetWrapByte(80);
  for (auto _ : state) {
    auto t0 = Clock::now();
    e.store->SetWordWrap(true);
    auto t1 = Clock::now();
    state.SetIterationTime(Seconds(t0, t1));
    state.counters["rows"] = e.store->Count();
    e.store->SetWordWrap(false);
  }
}
BENCHMARK(BM_WordWrapOn80)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// One typed character in the middle row: the edit, the rewrap and the
// recolouring until the saved state matches again. The character is taken
// out again untimed, so the row keeps its length.
void BM_TypeCharacterMiddle(benchmark::State& state) {
  Editor& e = Loaded();
  const int row = e.store->Count() / 2;
  e.store->ReparseFrom(row, false); // colour the middle once, as painting would
  const std::string original = e.store->Get(row).str() + "\r\n";
  std::string typed = original;
  typed.insert(typed.size() / 2, "x");
  for (auto _ : state) {
    auto t0 = Clock::now();
    e.store->ReplaceText(row, 1, typed);
    auto t1 = Clock::now();
    e.store->ReplaceText(row, 1, original);
    state.SetIterationTime(Seconds(t0, t1));
  }
}
BENCHMARK(BM_TypeCharacterMiddle)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_EnterMiddle(benchmark::State& state) {
  Editor& e = Loaded();
  int row = e.store->Count() / 2;
  for (auto _ : state) {
    std::string text = e.store->Get(row).str();
    text.insert(text.size() / 2, "\r\n");
    text += "\r\n";
    e.store->ReplaceText(row, 1, text);
    state.PauseTiming();
    e.store->Undo(); // keep the row count steady
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EnterMiddle)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_UndoRedo10000LinePaste(benchmark::State& state) {
  Editor& e = Loaded();
  int row = e.store->Count() / 2;
  std::string paste;
  for (int i = 0; i < 10000; ++i) paste += "  pasted line " + std::to_string(i) + " \x8A\xBF\x8E\x9A\r\n";
  std::vector<double> undo, redo;
  for (auto _ : state) {
    e.store->ReplaceText(row, 0, paste);
    auto t0 = Clock::now();
    e.store->Undo();
    auto t1 = Clock::now();
    e.store->Redo();
    auto t2 = Clock::now();
    e.store->Undo();
    state.SetIterationTime(Seconds(t0, t2));
    state.counters["undo_ms"] = Seconds(t0, t1) * 1e3;
    state.counters["redo_ms"] = Seconds(t1, t2) * 1e3;
  }
}
BENCHMARK(BM_UndoRedo10000LinePaste)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv, {"BM_LoadFromFile", "BM_WordWrapOn80"});
}
