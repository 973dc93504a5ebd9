#pragma once
// Benchmark support shared by every bench_* program: a large, deterministic
// Shift-JIS (CP932) test file, the "physical baseline" every load benchmark
// is compared with, and a main() helper that prints time ratios against it.

#include <cstddef>
#include <cstring>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace ze::bench {

// Generates lines of editor-like text separated by CR LF until at least
// approxBytes bytes exist (about 44 bytes per line on average, so 100 MiB
// gives about 2.4 million lines). Pascal-like program text mixed with kanji,
// kana, full-width and half-width characters, indentation by spaces and
// tabs, URLs and mail addresses; about one line in a hundred is several
// hundred bytes long. The same seed always gives the same bytes: only a
// private splitmix64 generator is used. The result is valid CP932 and ends
// with CR LF.
std::string GenerateSjisText(size_t approxBytes, uint64_t seed = 1);

// True when every byte sequence is a valid CP932 character (a double-byte
// character is never cut) and every CR is followed by LF and every LF
// preceded by CR.
bool IsValidSjisText(std::string_view text);

// Path of the corpus file, generated once into $ZE_BENCH_DIR (default
// /tmp/ze-bench): ze-corpus-100mb.txt, or ze-corpus-10mb.txt when
// ZE_BENCH_SMALL=1. The file is written under a temporary name and renamed,
// so an interrupted run never leaves a partial corpus behind. Delete the
// file after changing the generator.
const std::string& CorpusPath();

// A whole file read with a single read loop into an uninitialised buffer.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
};
FileBytes ReadWholeFile(const std::string& path);

// Calls fn(line, ended) for every line of the file: the bytes before CR LF
// (or a lone LF), ended false for a last line without a terminator.
template <class Fn> void ForEachLine(const FileBytes& file, Fn fn) {
  const char* p = file.data.get();
  const char* end = p + file.size;
  while (p < end) {
    auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* stop = nl ? nl : end;
    size_t n = static_cast<size_t>(stop - p);
    if (nl && n > 0 && stop[-1] == '\r') --n;
    fn(std::string_view(p, n), nl != nullptr);
    p = nl ? nl + 1 : end;
  }
}

// The physical baseline: read the file into memory and count its lines with
// memchr for '\n'. This is the least any loader has to do.
struct Baseline {
  double seconds;
  size_t lines;
  size_t bytes;
};
Baseline MeasurePhysicalBaseline(const std::string& path);

// Resident set size of this process in bytes, from /proc/self/statm.
size_t ResidentBytes();
// Bytes handed out by malloc right now (mallinfo2), after returning free
// memory to the system with malloc_trim.
size_t HeapBytesInUse();

// Registers BM_PhysicalBaseline on the corpus file; later calls do nothing.
// Benchmarks run in the order they were registered, so a bench program that
// wants the baseline first calls this during static initialisation, before
// its own BENCHMARK lines; otherwise RunBenchmarks registers it last.
void RegisterBaseline();

// main() of a bench program: registers the baseline, runs the benchmarks
// selected on the command line and then prints, for each name in
// ratioToBaseline, its median real time divided by the baseline's.
int RunBenchmarks(int argc, char** argv, std::initializer_list<const char*> ratioToBaseline);

} // namespace ze::bench
