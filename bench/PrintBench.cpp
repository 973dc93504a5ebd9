// Printing: laying out the pages of the ~100 MB corpus on the PDF printer
// (1200 dpi, A4, default settings), with the progress window shown, and
// the same with every token coloured. Reports the pages built, the bytes
// the recorded pages take against the text, the longest gap between two
// progress updates and how long a cancellation takes to end the build.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "bench/SjisCorpus.h"
#include "colouring/EditorFountain.h"
#include "printing/PrintPreview.h"
#include "printing/QtPrinterDevice.h"
#include "printing/StringsPrinter.h"

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

const ze::TStringList& CorpusLines(size_t* bytes = nullptr) {
  static ze::TStringList lines;
  static size_t textBytes = 0;
  if (lines.GetCount() == 0) {
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(ze::bench::CorpusPath());
    textBytes = file.size;
    lines.SetCapacity(2600000);
    ze::bench::ForEachLine(file,
                           [](std::string_view line, bool) { lines.Add(ze::ByteString(line)); });
  }
  if (bytes) *bytes = textBytes;
  return lines;
}

// The real progress window, noting when it is updated.
class TimedProgress : public ze::TFormStringsPrinterProgress {
public:
  // cancelAtPercent: cancels at the first update at or past that share of
  // the lines (0: never).
  explicit TimedProgress(int cancelAtPercent) : cancelAt_(cancelAtPercent) {}
  void Update(const std::string& caption, int last, int current) override {
    const Clock::time_point now = Clock::now();
    if (!updates.empty())
      maxGap = std::max(maxGap, std::chrono::duration<double>(now - updates.back()).count());
    updates.push_back(now);
    ze::TFormStringsPrinterProgress::Update(caption, last, current);
    if (cancelAt_ > 0 &&
        static_cast<int64_t>(current) * 100 >= static_cast<int64_t>(last) * cancelAt_ &&
        !Cancelled()) {
      Cancel();
      cancelledAt = now;
    }
  }
  std::vector<Clock::time_point> updates;
  double maxGap = 0;
  Clock::time_point cancelledAt{};

private:
  int cancelAt_;
};

// The PDF printer at its defaults.
struct Run {
  ze::TQtPrinterDevice device;
  ze::TStringsPrinter printer{nullptr};
  Run() {
    device.SetPdfOutput("/dev/null");
    printer.SetDevice(&device);
  }
};

void Layout(benchmark::State& state, bool coloured) {
  size_t textBytes = 0;
  const ze::TStringList& lines = CorpusLines(&textBytes);
  auto fountain = ze::Create<ze::TEditorFountain>(nullptr);
  fountain->ReserveWordList()->Add("begin");
  fountain->ReserveWordList()->Add("end");
  fountain->Colors()->Int()->SetColor(0x0000FF);
  fountain->Colors()->Str()->SetColor(0x800080);
  fountain->Colors()->DBCS()->SetColor(0x008080);
  fountain->Reserve()->SetColor(0x800000);
  for (auto _ : state) {
    Run run;
    if (coloured) run.printer.SetFountain(fountain.get());
    double maxGap = 0;
    run.printer.ProgressFactory = [&]() -> std::unique_ptr<ze::TPrintProgress> {
      struct Noting : TimedProgress {
        double* gap;
        explicit Noting(double* g) : TimedProgress(0), gap(g) {}
        ~Noting() override { *gap = maxGap; }
      };
      return std::make_unique<Noting>(&maxGap);
    };
    ze::TMetaFileList pages;
    const Clock::time_point t0 = Clock::now();
    if (!run.printer.MakePages(lines, pages, "印刷中")) state.SkipWithError("layout failed");
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(seconds);
    size_t recorded = 0;
    for (const auto& p : pages)
      recorded += p->ByteSize();
    state.counters["pages"] = static_cast<double>(pages.size());
    state.counters["pages_MB"] = static_cast<double>(recorded) / 1e6;
    state.counters["pages/text"] = static_cast<double>(recorded) / static_cast<double>(textBytes);
    state.counters["max_update_gap_ms"] = maxGap * 1e3;
  }
}

void BM_LayoutCorpus(benchmark::State& state) {
  Layout(state, false);
}
void BM_LayoutCorpusColoured(benchmark::State& state) {
  Layout(state, true);
}

// Cancels a build when the given percentage of the lines is laid out: the
// time from the cancellation to the build's end, freeing what it built
// included.
void BM_CancelLayout(benchmark::State& state) {
  const int cancelAt = static_cast<int>(state.range(0));
  const ze::TStringList& lines = CorpusLines();
  for (auto _ : state) {
    Run run;
    ze::TMetaFileList pages;
    Clock::time_point cancelledAt{};
    run.printer.ProgressFactory = [&]() -> std::unique_ptr<ze::TPrintProgress> {
      struct Noting : TimedProgress {
        Clock::time_point* at;
        Noting(Clock::time_point* a, int percent) : TimedProgress(percent), at(a) {}
        ~Noting() override { *at = cancelledAt; }
      };
      return std::make_unique<Noting>(&cancelledAt, cancelAt);
    };
    const bool built = run.printer.MakePages(lines, pages, "印刷中");
    const Clock::time_point end = Clock::now();
    if (built) state.SkipWithError("the build was not cancelled");
    const double latency = std::chrono::duration<double>(end - cancelledAt).count();
    state.SetIterationTime(latency);
    state.counters["cancel_latency_ms"] = latency * 1e3;
  }
}

BENCHMARK(BM_LayoutCorpus)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_LayoutCorpusColoured)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CancelLayout)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->Arg(10)
    ->Arg(90);

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return ze::bench::RunBenchmarks(argc, argv, {"BM_LayoutCorpus", "BM_LayoutCorpusColoured"});
}
