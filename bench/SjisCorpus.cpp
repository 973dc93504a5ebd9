#include "bench/SjisCorpus.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ze::bench {
namespace {

// splitmix64: tiny, fast and fully specified, so the corpus is the same
// bytes with every compiler and standard library.
class Rng {
public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform enough in [0, n) for test data (multiply-shift, no rejection).
  uint32_t Below(uint32_t n) { return uint32_t(((Next() >> 32) * n) >> 32); }
  uint32_t Range(uint32_t lo, uint32_t hi) { return lo + Below(hi - lo + 1); }
  bool Percent(uint32_t p) { return Below(100) < p; }
  template <class T, size_t N> const T& Pick(const T (&a)[N]) { return a[Below(N)]; }

private:
  uint64_t state_;
};

const char* const kKeywords[] = {"begin", "end",   "if",   "then", "else", "while", "do",
                                 "for",   "to",    "var",  "not",  "and",  "or",    "div",
                                 "mod",   "until", "case", "of",   "with", "nil",   "repeat"};
const char* const kParts[] = {"Row",  "Col",   "Count", "Line", "Text", "Caret", "Index",
                              "Buf",  "Width", "Top",   "Left", "Str",  "Data",  "Attr",
                              "Mark", "Wrap",  "Len",   "Pos",  "Item", "Node",  "Font"};
const char* const kPrefixes[] = {"", "", "", "F", "T", "Get", "Set", "Is", "Old", "New"};
const char* const kTypes[] = {"Integer", "string", "Boolean", "TRect", "PChar", "Byte"};
const char* const kOps[] = {" + ", " - ", " * ", " div ", " and ", " or "};
const char* const kCompare[] = {" = ", " <> ", " < ", " > ", " <= ", " >= "};
const char* const kHosts[] = {"www.example.com", "example.co.jp", "ftp.example.org",
                              "www.example.ne.jp"};
const char* const kUsers[] = {"foo", "bar.baz", "info", "t-yamada", "support", "user_01"};
const char* const kEnglish[] = {"the", "row", "is",   "cut",    "when",  "a",   "line", "does",
                                "not", "fit", "into", "window", "width", "and", "then", "next"};
// 、 。 ・ ー 「 」 （ ） full-width space ？ ！ ：
const uint16_t kPunctuation[] = {0x8141, 0x8142, 0x8145, 0x815B, 0x8175, 0x8176,
                                 0x8169, 0x816A, 0x8140, 0x8148, 0x8149, 0x8146};

class Writer {
public:
  Writer(std::string& out, Rng& rng) : out_(out), rng_(rng) {}

  void Put(std::string_view s) { out_.append(s); }
  void Put2(unsigned lead, unsigned trail) {
    out_.push_back(char(lead));
    out_.push_back(char(trail));
  }
  // Any trail byte 0x40-0x7E or 0x80-0xFC. Trail bytes such as 0x5C '\',
  // 0x7B '{' and 0x40 '@' look like ASCII and must not fool a scanner.
  unsigned Trail() {
    unsigned t = 0x40 + rng_.Below(188);
    return t >= 0x7F ? t + 1 : t;
  }
  void Kanji() {
    // Leads whose whole trail range is assigned in JIS level 1 and level 2.
    unsigned lead = rng_.Percent(80)   ? rng_.Range(0x89, 0x97)
                    : rng_.Percent(40) ? rng_.Range(0x99, 0x9F)
                                       : rng_.Range(0xE0, 0xE9);
    Put2(lead, Trail());
  }
  void Hiragana() { Put2(0x82, rng_.Range(0x9F, 0xF1)); }
  void Katakana() {
    unsigned t = 0x40 + rng_.Below(86); // 0x8340-0x8396 without 0x837F
    Put2(0x83, t >= 0x7F ? t + 1 : t);
  }
  void FullWidth() {
    uint32_t k = rng_.Below(3);
    if (k == 0) return Put2(0x82, rng_.Range(0x4F, 0x58)); // ０-９
    if (k == 1) return Put2(0x82, rng_.Range(0x60, 0x79)); // Ａ-Ｚ
    Put2(0x82, rng_.Range(0x81, 0x9A));                    // ａ-ｚ
  }
  void HalfWidthKana() { out_.push_back(char(rng_.Range(0xA1, 0xDF))); }
  void Punctuation() {
    if (rng_.Percent(3)) return Put2(0x87, rng_.Range(0x40, 0x53)); // ① to ⑳
    uint16_t c = rng_.Pick(kPunctuation);
    Put2(c >> 8, c & 0xFF);
  }

  // Japanese prose of at least n bytes, in runs like real text.
  void Japanese(size_t n) {
    size_t end = out_.size() + n;
    while (out_.size() < end)
      JapaneseRun();
  }
  void JapaneseRun() {
    uint32_t k = rng_.Below(100);
    if (k < 33) return Repeat(rng_.Range(1, 3), &Writer::Kanji);
    if (k < 66) return Repeat(rng_.Range(1, 5), &Writer::Hiragana);
    if (k < 76) return Repeat(rng_.Range(2, 6), &Writer::Katakana);
    if (k < 81) return Repeat(rng_.Range(1, 4), &Writer::FullWidth);
    if (k < 86) return Repeat(rng_.Range(2, 8), &Writer::HalfWidthKana);
    if (k < 97) return Punctuation();
    Put(" ");
    Put(rng_.Pick(kEnglish));
    Put(" ");
  }
  void Repeat(uint32_t n, void (Writer::*f)()) {
    while (n-- > 0)
      (this->*f)();
  }

  void Indent() {
    const char* step = rng_.Percent(25) ? "\t" : "  ";
    for (int depth = 0; depth < 8 && rng_.Percent(55); ++depth)
      Put(step);
  }
  void Identifier() {
    Put(rng_.Pick(kPrefixes));
    Put(rng_.Pick(kParts));
    if (rng_.Percent(40)) Put(rng_.Pick(kParts));
    if (rng_.Percent(10)) Put(std::to_string(rng_.Below(10)));
  }
  void Number() {
    // Draws happen in statement order: argument order is unspecified.
    uint32_t k = rng_.Below(6);
    uint32_t a = rng_.Below(k == 0 ? 0x10000 : k == 3 ? 100000 : 100);
    uint32_t b = rng_.Below(10);
    const char* format = k == 0 ? "$%X" : k == 1 ? "%u.%u" : k == 2 ? "%u.5e+%u" : "%u";
    char text[32];
    std::snprintf(text, sizeof text, format, a, b);
    Put(text);
  }
  void Operand() {
    uint32_t k = rng_.Below(10);
    if (k < 5) return Identifier();
    if (k < 8) return Number();
    StringLiteral(rng_.Range(2, 16));
  }
  void StringLiteral(size_t n) {
    Put("'");
    if (rng_.Percent(70)) {
      Japanese(n);
    } else {
      Identifier();
      if (rng_.Percent(20)) Put("''s");
    }
    Put("'");
  }
  void Url() {
    if (rng_.Percent(30)) {
      Put(rng_.Pick(kUsers));
      Put("@");
      Put(rng_.Pick(kHosts));
      return;
    }
    Put(rng_.Percent(70) ? "http://" : "https://");
    Put(rng_.Pick(kHosts));
    Put("/docs/");
    Identifier();
    Put(rng_.Percent(50) ? ".html" : "?id=" + std::to_string(rng_.Below(1000)) + "&lang=ja");
  }
  void Comment() {
    Put("// ");
    Japanese(rng_.Range(8, 48));
  }

  void Statement() {
    switch (rng_.Below(6)) {
    case 0:
      Put("if ");
      Identifier();
      Put(rng_.Pick(kCompare));
      Operand();
      Put(" then");
      break;
    case 1:
      Put("for I := 0 to ");
      Identifier();
      Put(" - 1 do");
      break;
    case 2:
      Identifier();
      Put("(");
      Operand();
      for (uint32_t n = rng_.Below(3); n > 0; --n) {
        Put(", ");
        Operand();
      }
      Put(");");
      break;
    default:
      Identifier();
      Put(" := ");
      Operand();
      if (rng_.Percent(50)) {
        Put(rng_.Pick(kOps));
        Operand();
      }
      Put(";");
      break;
    }
    if (rng_.Percent(25)) {
      Put("  ");
      Comment();
    }
  }
  void Header() {
    Put(rng_.Percent(60) ? "procedure T" : "function T");
    Identifier();
    Put(".");
    Identifier();
    Put("(");
    Identifier();
    Put(": ");
    Put(rng_.Pick(kTypes));
    Put(");");
  }
  void BlockWord() {
    uint32_t k = rng_.Below(10);
    Put(k < 4 ? "begin" : k < 8 ? "end;" : k < 9 ? "end else" : "end.");
  }
  // A line of several hundred bytes so word wrap has work to do.
  void LongLine() {
    size_t n = rng_.Range(200, 1200);
    switch (rng_.Below(4)) {
    case 0:
      Identifier();
      Put(" := ");
      while (n > 40) {
        size_t piece = rng_.Range(20, 60);
        StringLiteral(piece);
        Put(" + ");
        n -= std::min(n, piece + 5);
      }
      StringLiteral(8);
      Put(";");
      break;
    case 1: // English-like words; some runs without any blank
      Put("// ");
      for (size_t end = out_.size() + n; out_.size() < end;) {
        Put(rng_.Pick(kEnglish));
        Put(rng_.Percent(90) ? " " : "_");
      }
      break;
    default:
      Japanese(n);
      break;
    }
  }

  void Line() {
    LineText(rng_.Below(1000));
    Put("\r\n");
  }
  // k in [0, 1000) picks the kind of line.
  void LineText(uint32_t k) {
    if (k < 60) return; // empty
    if (k < 70) return LongLine();
    Indent();
    if (k < 330) return Statement();
    if (k < 450) return BlockWord();
    if (k < 500) return Header();
    if (k < 650) return Comment();
    if (k < 700) return BraceComment();
    if (k < 730) return UrlComment();
    if (k < 760) return KeywordLine();
    Japanese(rng_.Range(8, 90));
  }
  void BraceComment() {
    Put("{ ");
    Japanese(rng_.Range(4, 30));
    Put(" }");
  }
  void UrlComment() {
    Put("// ");
    Japanese(rng_.Range(2, 10));
    Put(" ");
    Url();
  }
  void KeywordLine() {
    Put(rng_.Pick(kKeywords));
    Put(" ");
    Identifier();
    Put(";");
  }

private:
  std::string& out_;
  Rng& rng_;
};

bool EnvIs(const char* name, const char* value) {
  const char* v = std::getenv(name);
  return v && std::strcmp(v, value) == 0;
}

double MedianOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Console output as usual, and remembers each benchmark's real times.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
  RecordingReporter() : ConsoleReporter(::isatty(1) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      double s = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
      const std::string& name = r.run_name.function_name;
      if (r.error_occurred) continue;
      if (r.run_type == Run::RT_Iteration)
        times_[name].push_back(s);
      else if (r.aggregate_name == "median")
        medians_[name] = s;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Median real seconds of one run of the benchmark, or 0 if it did not run.
  double Median(const std::string& name) const {
    if (auto m = medians_.find(name); m != medians_.end()) return m->second;
    auto t = times_.find(name);
    return t == times_.end() ? 0 : MedianOf(t->second);
  }

private:
  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, double> medians_;
};

} // namespace

std::string GenerateSjisText(size_t approxBytes, uint64_t seed) {
  std::string out;
  out.reserve(approxBytes + 4096);
  Rng rng(seed);
  Writer w(out, rng);
  while (out.size() < approxBytes)
    w.Line();
  return out;
}

bool IsValidSjisText(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned c = p[i];
    if (c == '\r') {
      if (i + 1 >= n || p[i + 1] != '\n') return false;
      ++i;
    } else if (c == '\n') {
      return false;
    } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 >= n) return false;
      unsigned t = p[++i];
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    } else if (c == 0x80 || c == 0xA0 || c > 0xFC) {
      return false;
    }
  }
  return true;
}

const std::string& CorpusPath() {
  static const std::string path = [] {
    bool small = EnvIs("ZE_BENCH_SMALL", "1");
    const char* dir = std::getenv("ZE_BENCH_DIR");
    std::filesystem::path folder = dir && *dir ? dir : "/tmp/ze-bench";
    std::filesystem::path file = folder / (small ? "ze-corpus-10mb.txt" : "ze-corpus-100mb.txt");
    if (std::filesystem::exists(file)) return file.string();

    std::filesystem::create_directories(folder);
    std::string text = GenerateSjisText(size_t(small ? 10 : 100) << 20);
    if (!IsValidSjisText(text)) throw std::logic_error("corpus generator produced invalid CP932");
    std::filesystem::path tmp = file;
    tmp += ".tmp." + std::to_string(::getpid());
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = f && std::fclose(f) == 0 && ok;
    if (!ok) throw std::runtime_error("cannot write " + tmp.string());
    std::filesystem::rename(tmp, file);
    return file.string();
  }();
  return path;
}

FileBytes ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot stat " + path);
  }
  FileBytes file{std::unique_ptr<char[]>(new char[size_t(st.st_size)]), size_t(st.st_size)};
  size_t done = 0;
  while (done < file.size) {
    ssize_t got = ::read(fd, file.data.get() + done, file.size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += size_t(got);
  }
  ::close(fd);
  if (done != file.size) throw std::runtime_error("short read of " + path);
  return file;
}

Baseline MeasurePhysicalBaseline(const std::string& path) {
  auto start = std::chrono::steady_clock::now();
  FileBytes file = ReadWholeFile(path);
  size_t lines = 0;
  const char* p = file.data.get();
  const char* end = p + file.size;
  while (const void* nl = std::memchr(p, '\n', size_t(end - p))) {
    ++lines;
    p = static_cast<const char*>(nl) + 1;
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return {took.count(), lines, file.size};
}

size_t ResidentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return size_t(resident) * size_t(::sysconf(_SC_PAGESIZE));
}

size_t HeapBytesInUse() {
  ::malloc_trim(0);
  struct mallinfo2 mi = ::mallinfo2();
  return mi.uordblks + mi.hblkhd;
}

namespace {
void BM_PhysicalBaseline(benchmark::State& state) {
  const std::string& path = CorpusPath();
  Baseline b{};
  for (auto _ : state) {
    b = MeasurePhysicalBaseline(path);
    state.SetIterationTime(b.seconds);
    benchmark::DoNotOptimize(b.lines);
  }
  state.counters["lines"] = double(b.lines);
  state.counters["file_MB"] = double(b.bytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(b.bytes));
}
} // namespace

void RegisterBaseline() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  benchmark::RegisterBenchmark("BM_PhysicalBaseline", BM_PhysicalBaseline)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
}

int RunBenchmarks(int argc, char** argv, std::initializer_list<const char*> ratioToBaseline) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Make the corpus before any timing starts.
  std::printf("corpus: %s\n", CorpusPath().c_str());
  RegisterBaseline();
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double base = reporter.Median("BM_PhysicalBaseline");
  for (const char* name : ratioToBaseline) {
    double t = reporter.Median(name);
    if (base > 0 && t > 0)
      std::printf("%s / BM_PhysicalBaseline = %.2f  (median %.1f ms / %.1f ms)\n", name, t / base,
                  t * 1e3, base * 1e3);
  }
  benchmark::Shutdown();
  return 0;
}

} // namespace ze::bench
