// Replace all on the ~100 MB corpus: 10,000 occurrences of a marker planted
// evenly through the text are replaced, forward, without confirmation, one
// undo step per replacement, through the same loop as the Replace command.
// Target: under 2 s.
//
//   bench_replace --benchmark_repetitions=5
//   ZE_BENCH_SMALL=1 bench_replace     (10 MB corpus for a quick run)
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "app/commands/SearchCommands.h"
#include "bench/NullHost.h"
#include "bench/ProgramFountain.h"
#include "bench/SjisCorpus.h"
#include "platform/CodePage.h"

namespace {

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

constexpr int kOccurrences = 10000;
const char* const kMarker = "QZXJMARK"; // not in the corpus


double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Counts the messages; the run must end with exactly one "not found".
class CountingPrompter : public ze::TPrompter {
public:
  int messages = 0;
  ze::TMsgResult Message(const std::string&, ze::TMsgKind, ze::TMsgButtons,
                         const std::string&) override {
    ++messages;
    return ze::TMsgResult::Ok;
  }
  std::vector<std::string> AskOpenFileNames(const std::string&, const std::string&,
                                            const std::string&, bool) override {
    return {};
  }
  std::optional<std::string> AskSaveFileName(const std::string&, const std::string&,
                                             const std::string&) override {
    return {};
  }
};

// The corpus with the marker put into the middle of every n-th line, so
// that it occurs kOccurrences times spread over the whole text.
const std::string& PlantedText() {
  static const std::string text = [] {
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(ze::bench::CorpusPath());
    size_t lines = 0;
    ze::bench::ForEachLine(file, [&](std::string_view, bool) { ++lines; });
    const size_t every = std::max<size_t>(1, lines / kOccurrences);
    std::string out;
    out.reserve(file.size + kOccurrences * 16);
    size_t i = 0, planted = 0;
    ze::bench::ForEachLine(file, [&](std::string_view line, bool ended) {
      if (i++ % every == 0 && planted < kOccurrences) {
        // At a character boundary near the middle of the line.
        size_t cut = 0;
        while (cut < line.size() / 2)
          cut += size_t(ze::CharLengthAt(line, cut));
        out.append(line.substr(0, cut)).append(kMarker).append(line.substr(cut));
        ++planted;
      } else {
        out.append(line);
      }
      if (ended) out += "\r\n";
    });
    return out;
  }();
  return text;
}

void BM_ReplaceAll10000(benchmark::State& state) {
  ze::bench::NullHost host;
  auto editor = ze::Create<ze::TEditor>(nullptr);
  editor->SetHost(&host);
  editor->FocusIn();
  ze::bench::ConfigureProgramFountain(*editor->View()->Fountain());
  // Room for every step, so that the count below can check them.
  editor->SetUndoListMax(kOccurrences + 1);
  const std::string replacement = ze::Utf8ToCp932("置換済み");
  for (auto _ : state) {
    editor->Lines()->SetText(PlantedText());
    editor->EmEmptyUndoBuffer();
    editor->SetRowCol(0, 0);
    CountingPrompter prompter;
    ze::TSearchState s{ze::ByteString(kMarker), ze::ByteString(replacement),
                       ze::TSearchOptions(ze::soDown | ze::soMatchCase | ze::soReplaceAll)};
    const double cpu0 = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    ze::ReplaceLoop(*editor, s, prompter);
    const auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    // On a busy machine the wall time includes waiting for a core; the
    // thread's own CPU time shows the work.
    state.counters["loop_cpu_ms"] = (ThreadCpuSeconds() - cpu0) * 1000;
    int undoSteps = 0;
    // Counting the steps walks the undo list only; it is not timed.
    while (editor->CanUndo() && undoSteps <= kOccurrences) {
      editor->Undo();
      ++undoSteps;
    }
    if (prompter.messages != 1 || undoSteps != kOccurrences) {
      const std::string why = "messages " + std::to_string(prompter.messages) + ", undo steps " +
                              std::to_string(undoSteps);
      state.SkipWithError(why.c_str());
      break;
    }
  }
  editor->SetHost(nullptr);
  state.counters["replacements"] = kOccurrences;
}
BENCHMARK(BM_ReplaceAll10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv, {"BM_ReplaceAll10000"});
}
