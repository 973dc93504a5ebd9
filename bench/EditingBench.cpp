// Editing in the middle of the ~100 MB corpus with word wrap on at 80
// columns: typing through the character entry point (model, recolouring
// and the repaint region, no painting), pasting 1 MB, selecting all and
// deleting; and searching the whole text for an absent pattern.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/NullHost.h"
#include "bench/ProgramFountain.h"
#include "bench/SjisCorpus.h"
#include "editor/Editor.h"

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}


struct Loaded {
  ze::bench::NullHost host;
  std::unique_ptr<ze::TEditor> editor = ze::Create<ze::TEditor>(nullptr);
  explicit Loaded(bool wrap) {
    editor->SetHost(&host);
    editor->FocusIn();
    ze::bench::ConfigureProgramFountain(*editor->View()->Fountain());
    if (wrap) {
      editor->WrapOption()->SetWrapByte(80);
      editor->SetWordWrap(true);
    }
    editor->Lines()->LoadFromFile(ze::bench::CorpusPath());
  }
  ~Loaded() { editor->SetHost(nullptr); }
  void GoMiddle() {
    editor->SetRowCol(editor->ListCount() / 2, 10);
  }
};

Loaded& Wrapped() {
  static Loaded l(true);
  return l;
}

void BM_Type1000Characters(benchmark::State& state) {
  Loaded& l = Wrapped();
  const char text[] = "the quick brown fox jumps over the lazy dog ";
  static int run = 0;
  for (auto _ : state) {
    // A fresh row each run, so that one line does not grow run after run.
    l.editor->SetRowCol(l.editor->ListCount() / 2 + 200 * run++, 10);
    auto t0 = Clock::now();
    for (int i = 0; i < 1000; ++i) l.editor->KeyPress(static_cast<unsigned char>(text[i % 44]));
    auto t1 = Clock::now();
    state.SetIterationTime(Seconds(t0, t1));
    state.counters["us_per_char"] = Seconds(t0, t1) * 1e6 / 1000;
  }
}
BENCHMARK(BM_Type1000Characters)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_Paste1MB(benchmark::State& state) {
  Loaded& l = Wrapped();
  std::string paste;
  for (int i = 0; paste.size() < (1u << 20); ++i)
    paste += "pasted \x8A\xBF\x8E\x9A line " + std::to_string(i) + " with some text\r\n";
  l.editor->Clipboard().SetText(paste, false);
  for (auto _ : state) {
    l.GoMiddle();
    auto t0 = Clock::now();
    l.editor->PasteFromClipboard();
    auto t1 = Clock::now();
    state.SetIterationTime(Seconds(t0, t1));
    l.editor->Undo();
  }
}
BENCHMARK(BM_Paste1MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_SelectAllAndDelete(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto l = std::make_unique<Loaded>(true);
    state.ResumeTiming();
    auto t0 = Clock::now();
    l->editor->SelectAll();
    l->editor->DeleteSelection();
    auto t1 = Clock::now();
    state.SetIterationTime(Seconds(t0, t1));
    state.counters["rows_left"] = l->editor->ListCount();
    state.PauseTiming();
    l.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SelectAllAndDelete)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// SearchText through the editor for a pattern that is not there.
void SearchAbsent(benchmark::State& state, const char* pattern, ze::TSearchOptions options) {
  static Loaded l(false);
  for (auto _ : state) {
    l.editor->SetRowCol(0, 0);
    auto t0 = Clock::now();
    bool found = l.editor->SearchText(pattern, options);
    auto t1 = Clock::now();
    if (found) state.SkipWithError("the pattern is in the text");
    state.SetIterationTime(Seconds(t0, t1));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * l.editor->TextLength());
}
void BM_SearchMatchCase(benchmark::State& s) { SearchAbsent(s, "Selection", ze::soDown | ze::soMatchCase); }
void BM_SearchIgnoreCase(benchmark::State& s) { SearchAbsent(s, "Selection", ze::soDown); }
void BM_SearchZenkaku(benchmark::State& s) { SearchAbsent(s, "Selection", ze::soDown | ze::soNoMatchZenkaku); }
BENCHMARK(BM_SearchMatchCase)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SearchIgnoreCase)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SearchZenkaku)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv,
                                  {"BM_SearchMatchCase", "BM_SearchIgnoreCase", "BM_SearchZenkaku"});
}
