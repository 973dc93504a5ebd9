// Rows far wider than the window, on a 200 x 60 window painted through the
// Qt surface into an offscreen image:
// - a file that is one 10 MB line: open (load and first paint), End,
//   typing a character at the row's end, searching the row for an absent
//   pattern;
// - a file of 2,000 rows of 20,000 bytes: Page Down through it, each page
//   with its lazy colouring and its paint.
// Every figure is the median of single operations, printed beside the
// physical baseline of the same file (read it, count its lines with memchr)
// measured in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "bench/ProgramFountain.h"
#include "bench/SjisCorpus.h"
#include "editor/Editor.h"
#include "platform/qt/QtSurface.h"
#include "tests/support/HeadlessHost.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 60, kCols = 200;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::map<std::string, double>& Medians() {
  static std::map<std::string, double> m;
  return m;
}

std::string BenchDir() {
  const char* d = std::getenv("ZE_BENCH_DIR");
  std::string dir = d && *d ? d : "/tmp/ze-bench";
  std::filesystem::create_directories(dir);
  return dir;
}

// Corpus text with its line breaks turned into spaces, cut into rows of
// rowBytes bytes (never inside a double-byte character).
// Without comments (every "//" broken up) the tokenizer has to walk every
// token of a row, not skip to its end.
std::string MakeFile(const std::string& name, size_t rowBytes, size_t rows, bool comments = true) {
  const std::string path = BenchDir() + "/" + name;
  if (std::filesystem::exists(path)) return path;
  std::string text = ze::bench::GenerateSjisText(rowBytes * rows + rowBytes, 11);
  std::string out;
  out.reserve(rowBytes * rows + 2 * rows);
  size_t i = 0;
  for (size_t r = 0; r < rows; ++r) {
    size_t n = 0;
    while (n < rowBytes && i < text.size()) {
      char c = text[i];
      if (c == '\r') {
        ++i;
        continue;
      }
      if (c == '\n') c = ' ';
      if (!comments && c == '/' && !out.empty() && out.back() == '/') c = ' ';
      if (ze::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
        if (n + 2 > rowBytes) break;
        out += c;
        out += text[i + 1];
        i += 2;
        n += 2;
        continue;
      }
      out += c;
      ++i;
      ++n;
    }
    out += "\r\n";
  }
  const std::string tmp = path + ".part";
  std::ofstream(tmp, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
  std::filesystem::rename(tmp, path);
  return path;
}

const std::string& OneLine() {
  static const std::string p = MakeFile("ze-one-10mb-line.txt", 10u << 20, 1);
  return p;
}
const std::string& OneLineNoComments() {
  static const std::string p = MakeFile("ze-one-10mb-line-tokens.txt", 10u << 20, 1, false);
  return p;
}
const std::string& TallRows() {
  static const std::string p = MakeFile("ze-2000-rows-of-20000.txt", 20000, 2000);
  return p;
}

struct QtMeasuredHost : ze::test::THeadlessHost {
  ze::TQtSurface qtMeasure{nullptr};
  ze::TSurface& MeasureSurface() override { return qtMeasure; }
};

// An editor on a 200 x 60 window that paints into an image.
struct Window {
  std::unique_ptr<ze::TEditor> editor = ze::Create<ze::TEditor>(nullptr);
  ze::TEditor& e = *editor;
  QtMeasuredHost host;
  QImage img;
  Window() {
    e.SetHost(&host);
    ze::bench::ConfigureProgramFountain(*e.View()->Fountain());
    e.SetScrollBars(ze::ssBoth);
    host.width = e.TextLeft() + kCols * e.ColWidth() + e.ColWidth() / 2;
    host.height = e.TextTop() + 5 + kRows * e.RowHeight();
    e.Resized();
    img = QImage(host.width, host.height, QImage::Format_RGB32);
    host.focused = true;
    e.FocusIn();
  }
  ~Window() { e.SetHost(nullptr); }
  void Paint() {
    QPainter p(&img);
    p.fillRect(img.rect(), Qt::white);
    ze::TQtSurface surface(&p);
    e.Paint(surface, ze::TRect{0, 0, host.width, host.height});
  }
};

void Report(benchmark::State& state, const char* name, const std::vector<double>& times) {
  Medians()[name] = Median(times);
  state.counters["median_ms"] = Median(times);
  state.counters["max_ms"] = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
}

void Baseline(benchmark::State& state, const std::string& path, const char* name) {
  std::vector<double> times;
  for (auto _ : state) {
    ze::bench::Baseline b = ze::bench::MeasurePhysicalBaseline(path);
    benchmark::DoNotOptimize(b.lines);
    times.push_back(b.seconds * 1e3);
  }
  Report(state, name, times);
}
void BM_BaselineOneLine(benchmark::State& s) {
  Baseline(s, OneLine(), "baseline_10mb_line");
}
void BM_BaselineTallRows(benchmark::State& s) {
  Baseline(s, TallRows(), "baseline_2000x20000");
}
BENCHMARK(BM_BaselineOneLine)->Iterations(7);
BENCHMARK(BM_BaselineTallRows)->Iterations(7);

void BM_OpenOneLine(benchmark::State& state) {
  std::vector<double> times;
  for (auto _ : state) {
    Window w;
    auto t0 = Clock::now();
    w.e.Lines()->LoadFromFile(OneLine());
    w.Paint();
    times.push_back(Ms(t0, Clock::now()));
  }
  Report(state, "open_10mb_line", times);
}
BENCHMARK(BM_OpenOneLine)->Unit(benchmark::kMillisecond)->Iterations(5);

void EndOfOneLine(benchmark::State& state, const std::string& file, const char* name) {
  Window w;
  w.e.Lines()->LoadFromFile(file);
  w.Paint();
  std::vector<double> times;
  for (auto _ : state) {
    w.e.KeyDown(ze::VK_HOME, 0);
    w.Paint();
    auto t0 = Clock::now();
    w.e.KeyDown(ze::VK_END, 0);
    w.Paint();
    times.push_back(Ms(t0, Clock::now()));
  }
  if (w.e.Col() != w.e.RowEndCol(0)) state.SkipWithError("End did not reach the row's end");
  Report(state, name, times);
}
void BM_EndOfOneLine(benchmark::State& s) {
  EndOfOneLine(s, OneLine(), "end_10mb_line");
}
void BM_EndOfOneLineNoComments(benchmark::State& s) {
  EndOfOneLine(s, OneLineNoComments(), "end_10mb_line_no_comments");
}
BENCHMARK(BM_EndOfOneLineNoComments)->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_EndOfOneLine)->Unit(benchmark::kMillisecond)->Iterations(21);

void TypeAtEndOfOneLine(benchmark::State& state, const std::string& file, const char* name) {
  Window w;
  w.e.Lines()->LoadFromFile(file);
  w.e.KeyDown(ze::VK_END, 0);
  w.Paint();
  std::vector<double> times;
  const std::string before = w.e.RowText(0).str();
  for (auto _ : state) {
    auto t0 = Clock::now();
    w.e.KeyPress('x');
    w.Paint();
    times.push_back(Ms(t0, Clock::now()));
  }
  const std::string after = w.e.RowText(0).str();
  if (after.size() != before.size() + times.size() || after.back() != 'x')
    state.SkipWithError("typing did not land at the row's end");
  Report(state, name, times);
}
void BM_TypeAtEndOfOneLine(benchmark::State& s) {
  TypeAtEndOfOneLine(s, OneLine(), "type_at_end_10mb_line");
}
void BM_TypeAtEndOfOneLineNoComments(benchmark::State& s) {
  TypeAtEndOfOneLine(s, OneLineNoComments(), "type_at_end_10mb_line_no_comments");
}
BENCHMARK(BM_TypeAtEndOfOneLineNoComments)->Unit(benchmark::kMillisecond)->Iterations(21);
BENCHMARK(BM_TypeAtEndOfOneLine)->Unit(benchmark::kMillisecond)->Iterations(51);

void SearchOneLine(benchmark::State& state, const char* name, ze::TSearchOptions options) {
  static Window* w = [] {
    auto* win = new Window;
    win->e.Lines()->LoadFromFile(OneLine());
    return win;
  }();
  std::vector<double> times;
  for (auto _ : state) {
    w->e.SetRowCol(0, 0);
    auto t0 = Clock::now();
    const bool found = w->e.SearchText("Selection", options);
    times.push_back(Ms(t0, Clock::now()));
    if (found) state.SkipWithError("the pattern is in the text");
  }
  Report(state, name, times);
  state.counters["MB_per_s"] = static_cast<double>(w->e.TextLength()) / 1e3 / Median(times);
}
void BM_SearchMatchCase(benchmark::State& s) {
  SearchOneLine(s, "search_match_case", ze::soDown | ze::soMatchCase);
}
void BM_SearchIgnoreCase(benchmark::State& s) {
  SearchOneLine(s, "search_ignore_case", ze::soDown);
}
void BM_SearchZenkaku(benchmark::State& s) {
  SearchOneLine(s, "search_zenkaku", ze::soDown | ze::soNoMatchZenkaku);
}
BENCHMARK(BM_SearchMatchCase)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_SearchIgnoreCase)->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_SearchZenkaku)->Unit(benchmark::kMillisecond)->Iterations(9);

// Page Down through the tall rows. With paint: the key, the lazy colouring
// and the paint of each new page, through the text twice; the first pass
// is reported apart, as most of it is the font engine rendering glyphs it
// has not drawn before. Without: the key and the colouring state of every
// newly visible row (as the corpus Page Down benchmark measures).
void PageDownTallRows(benchmark::State& state, bool paint, const char* name) {
  Window w;
  w.e.Lines()->LoadFromFile(TallRows());
  std::vector<double> times;
  for (auto _ : state) {
    w.e.SetRowCol(0, 0);
    w.e.SetTopRow(0);
    w.Paint();
    if (!times.empty()) Medians()[std::string(name) + "_first_pass"] = Median(times);
    times.clear();
    const int last = w.e.ListCount();
    while (w.e.TopRow() + w.e.RowCount() < last) {
      const int top = w.e.TopRow();
      auto t0 = Clock::now();
      w.e.KeyDown(ze::VK_NEXT, 0, false);
      if (paint) {
        w.Paint();
      } else {
        for (int r = w.e.TopRow(); r < std::min(w.e.TopRow() + w.e.RowCount(), last); ++r)
          if (w.e.List().BracketIndex(r) == -2) w.e.List().ReparseFrom(r, false);
      }
      times.push_back(Ms(t0, Clock::now()));
      if (w.e.TopRow() == top) {
        state.SkipWithError("Page Down stopped before the end of the text");
        return;
      }
    }
  }
  state.counters["pages"] = static_cast<double>(times.size());
  Report(state, name, times);
}
void BM_PageDownTallRows(benchmark::State& s) {
  PageDownTallRows(s, false, "page_down_2000x20000");
}
void BM_PageDownTallRowsPainted(benchmark::State& s) {
  PageDownTallRows(s, true, "page_down_painted_2000x20000");
}
BENCHMARK(BM_PageDownTallRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PageDownTallRowsPainted)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  OneLine();
  OneLineNoComments();
  TallRows();
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nmedians (ms), beside the read + memchr line count of the same file:\n");
  for (const auto& [name, ms] : Medians())
    std::printf("  %-26s %9.3f\n", name.c_str(), ms);
  const double b1 = Medians()["baseline_10mb_line"], b2 = Medians()["baseline_2000x20000"];
  for (const char* n : {"open_10mb_line", "end_10mb_line", "type_at_end_10mb_line",
                        "end_10mb_line_no_comments", "type_at_end_10mb_line_no_comments",
                        "search_match_case", "search_ignore_case", "search_zenkaku"})
    if (b1 > 0) std::printf("  %-26s %9.2f x baseline_10mb_line\n", n, Medians()[n] / b1);
  for (const char* n : {"page_down_2000x20000", "page_down_painted_2000x20000"})
    if (b2 > 0) std::printf("  %-26s %9.4f x baseline_2000x20000\n", n, Medians()[n] / b2);
  benchmark::Shutdown();
  return 0;
}
