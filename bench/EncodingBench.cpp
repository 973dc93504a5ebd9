// Opening the ~100 MB corpus as UTF-8 against opening it as CP932: read
// the file, detect its encoding, decode it to CP932 (nothing to do for
// CP932) and load the text model. The UTF-8 copy of the corpus is made
// once beside it. The ratio of the two medians is printed at the end;
// the resident memory each open adds is reported as a counter.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

#include "bench/SjisCorpus.h"
#include "platform/Encoding.h"
#include "tests/support/FakeView.h"
#include "text/EditorStrings.h"

namespace {

using Clock = std::chrono::steady_clock;

[[maybe_unused]] const bool kBaselineFirst = (ze::bench::RegisterBaseline(), true);

const std::string& Utf8CorpusPath() {
  static const std::string path = [] {
    const std::string cp932 = ze::bench::CorpusPath();
    const std::string out = cp932.substr(0, cp932.size() - 4) + "-utf8.txt";
    struct stat st {};
    if (::stat(out.c_str(), &st) == 0) return out;
    ze::bench::FileBytes in = ze::bench::ReadWholeFile(cp932);
    ze::TEncoded utf8 = ze::EncodeFromCp932(std::string_view(in.data.get(), in.size),
                                            ze::TEncoding::Utf8);
    if (!utf8.Ok) {
      std::fprintf(stderr, "corpus cannot be written as UTF-8: %s\n", utf8.Message.c_str());
      std::abort();
    }
    const std::string temp = out + ".part";
    std::ofstream(temp, std::ios::binary).write(utf8.Bytes.data(),
                                                static_cast<std::streamsize>(utf8.Bytes.size()));
    std::rename(temp.c_str(), out.c_str());
    return out;
  }();
  return path;
}

struct Model {
  std::unique_ptr<ze::TEditorScreenStrings> store = ze::Create<ze::TEditorScreenStrings>();
  ze::test::FakeView view{*store};
  ze::TEditorStrings lines{store.get(), &view};
  Model() { view.screenRows = 60; }
};

void Open(benchmark::State& state, const std::string& path, ze::TEncoding expected) {
  for (auto _ : state) {
    size_t before = ze::bench::ResidentBytes();
    auto m = std::make_unique<Model>();
    auto t0 = Clock::now();
    ze::bench::FileBytes file = ze::bench::ReadWholeFile(path);
    std::string_view bytes(file.data.get(), file.size);
    ze::TDetection d = ze::DetectEncoding(bytes);
    if (d.Encoding != expected) state.SkipWithError("wrong encoding detected");
    if (d.Encoding == ze::TEncoding::Cp932) {
      m->lines.SetText(bytes);
    } else {
      ze::TDecoded text = ze::DecodeToCp932(bytes, d.Encoding);
      if (!text.Exact) state.SkipWithError("not exact");
      file = {}; // the file's bytes are not needed once decoded
      m->lines.SetText(text.Text);
    }
    auto t1 = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    state.counters["rss_MB"] = double(ze::bench::ResidentBytes() - before) / 1e6;
    state.counters["rows"] = m->store->Count();
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
}

void BM_OpenCp932(benchmark::State& state) {
  Open(state, ze::bench::CorpusPath(), ze::TEncoding::Cp932);
}
void BM_OpenUtf8(benchmark::State& state) {
  Open(state, Utf8CorpusPath(), ze::TEncoding::Utf8);
}
// The codec alone, for reference.
void BM_DecodeUtf8Only(benchmark::State& state) {
  ze::bench::FileBytes file = ze::bench::ReadWholeFile(Utf8CorpusPath());
  for (auto _ : state) {
    ze::TDecoded text = ze::DecodeToCp932(std::string_view(file.data.get(), file.size),
                                          ze::TEncoding::Utf8);
    benchmark::DoNotOptimize(text.Text.data());
  }
}
BENCHMARK(BM_OpenCp932)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_OpenUtf8)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_DecodeUtf8Only)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
  (void)Utf8CorpusPath();
  return ze::bench::RunBenchmarks(argc, argv, {"BM_OpenCp932", "BM_OpenUtf8", "BM_DecodeUtf8Only"});
}
