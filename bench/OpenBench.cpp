// Opening a big file end to end, as a user sees it: a fresh process
// starts, loads the file into the real editor widget (offscreen) and
// paints its first frame. Each run is its own process, so its CPU time
// and its peak memory (VmHWM) are those of one open and nothing else.
//
//   bench_open [runs] [file ...]   (default: 5 runs on the 100 MB corpus)
//
// With several files, each is measured in turn within every run, and the
// later ones are compared with the first: e.g. the corpus and its UTF-8
// form, which bench_encoding writes beside it (ze-corpus-100mb.txt.utf8).
//
// Beside it, in the same run and also one process each, the baseline:
// read the whole file into memory and count its lines with memchr. The
// program prints medians of each, and the open's figures as ratios to the
// baseline and to the file size.

#include <QApplication>
#include <QPaintEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "bench/SjisCorpus.h"
#include "editor/Editor.h"
#include "platform/qt/EditorWidget.h"
#include "text/EditorStrings.h"

namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// A "Vm...:" figure of this process from /proc/self/status, in bytes.
size_t StatusBytes(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  size_t kb = 0;
  const size_t n = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, n) == 0) kb = std::strtoull(line + n, nullptr, 10);
  std::fclose(f);
  return kb * 1024;
}

// Peak and present resident memory of this process.
size_t PeakResident() { return StatusBytes("VmHWM:"); }
size_t Resident() { return StatusBytes("VmRSS:"); }

struct Figures {
  double cpu = 0, wall = 0;
  size_t peak = 0;
  long long rows = 0;
  size_t resident = 0;
};

void Print(const Figures& f) {
  std::printf("%.6f %.6f %zu %lld %zu\n", f.cpu, f.wall, f.peak, f.rows, f.resident);
  std::fflush(stdout);
}

// The least any loader has to do.
int RunBaseline(const std::string& path, double wall0) {
  ze::bench::Baseline b = ze::bench::MeasurePhysicalBaseline(path);
  Print({CpuSeconds(), WallSeconds() - wall0, PeakResident(), (long long)b.lines, Resident()});
  return 0;
}

// The widget, reporting the moment its first frame has been painted.
class TFirstPaintWidget : public ze::TEditorWidget {
public:
  double wall0 = 0;
  bool done = false;

protected:
  void paintEvent(QPaintEvent* e) override {
    ze::TEditorWidget::paintEvent(e);
    if (done) return;
    done = true;
    Print({CpuSeconds(), WallSeconds() - wall0, PeakResident(), Editor()->Lines()->Count(),
           Resident()});
    QApplication::exit(0);
  }
};

int RunOpen(int argc, char** argv, const std::string& path, double wall0) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TFirstPaintWidget w;
  w.wall0 = wall0;
  w.resize(1000, 700);
  w.Editor()->Lines()->LoadFromFile(path);
  w.show();
  return app.exec();
}

std::string SelfPath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, size_t(n)) : std::string("bench_open");
}

Figures RunChild(const char* mode, const std::string& path) {
  std::string cmd = "'" + SelfPath() + "' " + mode + " '" + path + "'";
  FILE* p = popen(cmd.c_str(), "r");
  Figures f;
  if (!p || std::fscanf(p, "%lf %lf %zu %lld %zu", &f.cpu, &f.wall, &f.peak, &f.rows, &f.resident) != 5) {
    std::fprintf(stderr, "bench_open: the %s run failed\n", mode);
    std::exit(1);
  }
  pclose(p);
  return f;
}

template <class T> T Median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
  const double wall0 = WallSeconds();
  if (argc == 3 && std::strcmp(argv[1], "--baseline") == 0) return RunBaseline(argv[2], wall0);
  if (argc == 3 && std::strcmp(argv[1], "--open") == 0) return RunOpen(argc, argv, argv[2], wall0);

  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<std::string> paths;
  for (int k = 2; k < argc; ++k) paths.emplace_back(argv[k]);
  if (paths.empty()) paths.push_back(ze::bench::CorpusPath());

  struct Series {
    std::string path;
    double size = 0;
    std::vector<double> bCpu, bWall, oCpu, oWall;
    std::vector<size_t> bPeak, oPeak, oResident;
    long long rows = 0, lines = 0;
  };
  std::vector<Series> all;
  for (const std::string& path : paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
      std::fprintf(stderr, "bench_open: cannot read %s\n", path.c_str());
      return 1;
    }
    all.push_back(Series{path, double(st.st_size)});
    // Warm the page cache first so that both measure the same thing.
    RunChild("--baseline", path);
  }
  // The files take turns, so that a slower spell of the machine weighs on
  // each of them alike.
  for (int i = 0; i < runs; ++i) {
    for (Series& f : all) {
      Figures b = RunChild("--baseline", f.path);
      Figures o = RunChild("--open", f.path);
      f.bCpu.push_back(b.cpu), f.bWall.push_back(b.wall), f.bPeak.push_back(b.peak), f.lines = b.rows;
      f.oCpu.push_back(o.cpu), f.oWall.push_back(o.wall), f.oPeak.push_back(o.peak), f.rows = o.rows;
      f.oResident.push_back(o.resident);
    }
  }
  for (const Series& f : all) {
    std::printf("file %s: %.1f MB, %lld lines (%lld rows loaded), %d runs, medians\n",
                f.path.c_str(), f.size / 1e6, f.lines, f.rows, runs);
    std::printf("%-30s %10s %10s %12s %12s\n", "", "CPU s", "wall s", "VmHWM MB", "VmHWM/file");
    auto row = [&](const char* name, double cpu, double wall, size_t peak) {
      std::printf("%-30s %10.3f %10.3f %12.1f %12.2f\n", name, cpu, wall, double(peak) / 1e6,
                  double(peak) / f.size);
    };
    row("baseline (read + count lines)", Median(f.bCpu), Median(f.bWall), Median(f.bPeak));
    row("open to first paint", Median(f.oCpu), Median(f.oWall), Median(f.oPeak));
    std::printf("resident at the first paint: %.1f MB (%.2f x the file)\n",
                double(Median(f.oResident)) / 1e6, double(Median(f.oResident)) / f.size);
    std::printf("open / baseline: CPU %.2fx, wall %.2fx\n\n", Median(f.oCpu) / Median(f.bCpu),
                Median(f.oWall) / Median(f.bWall));
  }
  // Further files against the first, e.g. the same text in another
  // encoding against its CP932 form.
  for (size_t k = 1; k < all.size(); ++k)
    std::printf("open of %s / open of %s: CPU %.2fx, wall %.2fx, VmHWM %+.1f MB\n",
                all[k].path.c_str(), all[0].path.c_str(), Median(all[k].oCpu) / Median(all[0].oCpu),
                Median(all[k].oWall) / Median(all[0].oWall),
                (double(Median(all[k].oPeak)) - double(Median(all[0].oPeak))) / 1e6);
  return 0;
}
