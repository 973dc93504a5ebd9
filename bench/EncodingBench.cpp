// Reading the corpus in each encoding at the file edge: detection over the
// whole file and conversion to the CP932 text the editor keeps.
//
//   bench_encoding --benchmark_repetitions=5
//
// BM_OpenCp932 reads the CP932 corpus, detects its encoding and takes the
// bytes as they are; BM_OpenUtf8 does the same for the corpus written as
// UTF-8 (made once beside it), which adds the conversion. The ratio of the
// two is what converting costs; peak_MB is the extra memory at the peak
// (file bytes and converted text together). BM_ReadUtf8InBlocks reads the
// UTF-8 corpus as the loader does: block by block from the file, each
// block converted as it comes (TUtf8Reader), nothing held whole; the
// converted bytes are only counted.

#include "bench/SjisCorpus.h"
#include "platform/Encoding.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

const std::string& Utf8CorpusPath() {
  static const std::string path = [] {
    std::string p = ze::bench::CorpusPath() + ".utf8";
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) {
      ze::bench::FileBytes f = ze::bench::ReadWholeFile(ze::bench::CorpusPath());
      std::string out, problem;
      if (!ze::EncodeText(std::string_view(f.data.get(), f.size), ze::TEncoding::Utf8,
                          ze::TUnicodeVariants(), out, problem)) {
        std::fprintf(stderr, "cannot write the corpus as UTF-8: %s\n", problem.c_str());
        std::exit(1);
      }
      std::string tmp = p + ".part";
      FILE* o = std::fopen(tmp.c_str(), "wb");
      std::fwrite(out.data(), 1, out.size(), o);
      std::fclose(o);
      std::rename(tmp.c_str(), p.c_str());
    }
    return p;
  }();
  return path;
}

void Open(benchmark::State& state, const std::string& path, ze::TEncoding expect) {
  size_t peak = 0, textBytes = 0, fileBytes = 0;
  for (auto _ : state) {
    size_t heap0 = ze::bench::HeapBytesInUse();
    Clock::time_point start = Clock::now();
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(path);
    std::string_view bytes(file.data.get(), file.size);
    ze::TEncoding e = ze::DetectEncoding(bytes);
    ze::TDecodedText d = ze::DecodeText(bytes, e);
    ze::TLineBreakInfo lb = ze::DetectLineBreaks(d.Text);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    peak = ze::bench::HeapBytesInUse() - heap0;
    if (e != expect || !d.Exact || lb.Style != ze::TLineBreak::CrLf) {
      state.SkipWithError("wrong detection or inexact text");
      return;
    }
    textBytes = d.Text.size();
    fileBytes = file.size;
  }
  state.counters["peak_MB"] = double(peak) / 1e6;
  state.counters["file_MB"] = double(fileBytes) / 1e6;
  state.counters["text_MB"] = double(textBytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fileBytes));
}

void BM_OpenCp932(benchmark::State& state) {
  Open(state, ze::bench::CorpusPath(), ze::TEncoding::Cp932);
}
BENCHMARK(BM_OpenCp932)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenUtf8(benchmark::State& state) {
  Open(state, Utf8CorpusPath(), ze::TEncoding::Utf8);
}
BENCHMARK(BM_OpenUtf8)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReadUtf8InBlocks(benchmark::State& state) {
  constexpr size_t kBlock = size_t{1} << 18;
  const std::string& path = Utf8CorpusPath();
  std::unique_ptr<char[]> in(new char[kBlock]);
  std::unique_ptr<char[]> out(new char[kBlock + ze::TUtf8Reader::kSlack]);
  long long textBytes = 0;
  size_t fileBytes = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      state.SkipWithError("cannot open the UTF-8 corpus");
      return;
    }
    ze::TUtf8Reader reader;
    fileBytes = 0;
    ssize_t n;
    while ((n = ::read(fd, in.get(), kBlock)) > 0) {
      fileBytes += size_t(n);
      reader.Convert(std::string_view(in.get(), size_t(n)), out.get(), false);
    }
    reader.Convert({}, out.get(), true);
    ::close(fd);
    textBytes = reader.Written();
    ze::TDecodedText d = reader.Finish(0, 0);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (!d.Exact || reader.Invalid()) {
      state.SkipWithError("inexact text");
      return;
    }
  }
  state.counters["file_MB"] = double(fileBytes) / 1e6;
  state.counters["text_MB"] = double(textBytes) / 1e6;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fileBytes));
}
BENCHMARK(BM_ReadUtf8InBlocks)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return ze::bench::RunBenchmarks(argc, argv, {"BM_OpenCp932", "BM_OpenUtf8", "BM_ReadUtf8InBlocks"});
}
