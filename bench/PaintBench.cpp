// The editor on screen: a full paint of a 60-row by 200-column window of
// coloured Japanese and ASCII text through the Qt surface into an
// offscreen image, and Page Down through the ~100 MB corpus on a headless
// window (no painting). Both report the median of single operations.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "bench/SjisCorpus.h"
#include "editor/Editor.h"
#include "platform/qt/QtSurface.h"
#include "tests/support/HeadlessHost.h"

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

constexpr int kRows = 60, kCols = 200;

// A window without a screen, measuring fonts as the Qt window does.
struct QtMeasuredHost : ze::test::THeadlessHost {
  ze::TQtSurface qtMeasure{nullptr};
  ze::TSurface& MeasureSurface() override { return qtMeasure; }
};

// Colours and words as the application sets them up: every kind of token
// in its own colour, so a row is painted as its base plus many tokens.
void ApplicationColours(ze::TEditor& e) {
  static const char* const words[] = {"and",    "array",  "begin",  "case", "class",    "const",
                                      "do",     "else",   "end",    "for",  "function", "if",
                                      "in",     "nil",    "not",    "of",   "or",       "procedure",
                                      "record", "repeat", "string", "then", "to",       "try",
                                      "type",   "until",  "var",    "while"};
  ze::TStringList list;
  for (const char* w : words)
    list.Add(w);
  e.SetReserveWordList(&list);
  ze::TEditorViewInfo* v = e.View();
  v->SetQuotation("'");
  v->SetCommenter("//");
  v->SetUrl(true);
  v->SetMail(true);
  auto* braces = v->Brackets()->Add();
  braces->SetLeftBracket("{");
  braces->SetRightBracket("}");
  braces->ItemColor()->SetColor(0x008000);
  ze::TEditorColors* c = v->Colors();
  c->Int()->SetColor(0x0000FF);
  c->Str()->SetColor(0x800080);
  c->Comment()->SetColor(0x008000);
  c->Reserve()->SetColor(0x800000);
  c->Reserve()->SetStyle(ze::FontStyles({ze::fsBold}));
  c->Symbol()->SetColor(0x808000);
  c->DBCS()->SetColor(0x004080);
  c->Url()->SetColor(0xFF0000);
  c->Mail()->SetColor(0xFF0080);
}

// Rows of corpus text run together until each fills the window's width.
std::string FullRows(int rows) {
  const std::string corpus = ze::bench::GenerateSjisText(400 * 1024, 7);
  std::string out, row;
  size_t i = 0;
  while (rows > 0 && i < corpus.size()) {
    size_t end = corpus.find("\r\n", i);
    if (end == std::string::npos) end = corpus.size();
    if (!row.empty()) row += ' ';
    row.append(corpus, i, end - i);
    i = end + 2;
    if (row.size() >= static_cast<size_t>(kCols)) {
      out += row + "\r\n";
      row.clear();
      --rows;
    }
  }
  return out;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

void BM_PaintFullWindow(benchmark::State& state) {
  auto editor = ze::Create<ze::TEditor>(nullptr);
  ze::TEditor& e = *editor;
  QtMeasuredHost host;
  e.SetHost(&host);
  ApplicationColours(e);
  e.Lines()->SetText(FullRows(kRows + 10));
  // Size the window so that exactly 60 rows and 200 columns fit.
  host.width = e.TextLeft() + kCols * e.ColWidth() + e.ColWidth() / 2;
  host.height = e.TextTop() + 5 + kRows * e.RowHeight();
  e.Resized();
  if (e.RowCount() != kRows || e.ColCount() != kCols) {
    state.SkipWithError("the window does not hold 60 x 200 cells");
    return;
  }
  QImage img(host.width, host.height, QImage::Format_RGB32);
  img.fill(Qt::white); // what the window erases; the editor leaves its margins to it
  const ze::TRect all{0, 0, host.width, host.height};
  std::vector<double> times;
  for (auto _ : state) {
    auto t0 = Clock::now();
    {
      QPainter p(&img);
      ze::TQtSurface surface(&p);
      e.Paint(surface, all);
    }
    auto t1 = Clock::now();
    times.push_back(Ms(t0, t1));
  }
  state.counters["median_ms"] = Median(times);
  state.counters["first_ms"] = times.empty() ? 0 : times.front(); // glyph images made here
  // To see what was measured: ZE_PAINT_IMAGE=/tmp/paint.png
  if (const char* path = std::getenv("ZE_PAINT_IMAGE")) img.save(QString::fromLocal8Bit(path));
  e.SetHost(nullptr);
}
BENCHMARK(BM_PaintFullWindow)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_PageDownThroughCorpus(benchmark::State& state) {
  auto editor = ze::Create<ze::TEditor>(nullptr);
  ze::TEditor& e = *editor;
  ze::test::THeadlessHost host;
  e.SetHost(&host);
  ApplicationColours(e);
  host.width = e.TextLeft() + kCols * e.ColWidth() + e.ColWidth() / 2;
  host.height = e.TextTop() + 5 + kRows * e.RowHeight();
  e.Resized();
  e.Lines()->LoadFromFile(ze::bench::CorpusPath());
  host.focused = true;
  e.FocusIn();
  std::vector<double> times;
  double longest = 0;
  for (auto _ : state) {
    e.SetRowCol(0, 0);
    e.SetTopRow(0);
    times.clear();
    const int last = e.ListCount();
    while (e.TopRow() + e.RowCount() < last) {
      host.ClearRecords();
      const int top = e.TopRow();
      auto t0 = Clock::now();
      e.KeyDown(ze::VK_NEXT, 0, false);
      // What painting the new page needs before it draws: the colouring
      // state of every visible row, parsed lazily where it is missing.
      for (int r = e.TopRow(); r < std::min(e.TopRow() + e.RowCount(), last); ++r)
        if (e.List().BracketIndex(r) == -2) e.List().ReparseFrom(r, false);
      auto t1 = Clock::now();
      if (e.TopRow() == top) {
        state.SkipWithError("Page Down stopped before the end of the text");
        return;
      }
      times.push_back(Ms(t0, t1));
      longest = std::max(longest, times.back());
    }
  }
  state.counters["pages"] = static_cast<double>(times.size());
  state.counters["rows"] = e.ListCount();
  state.counters["median_ms"] = Median(times);
  state.counters["max_ms"] = longest;
  e.SetHost(nullptr);
}
BENCHMARK(BM_PageDownThroughCorpus)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return ze::bench::RunBenchmarks(argc, argv, {});
}
