// Loads random bytes as a file with word wrap on, under random wrap
// settings, and checks what a user relies on when opening and saving:
//
// - load -> save -> load is a fixed point: the rows and their ends come
//   back the same, and saving again writes the same bytes;
// - word wrap cuts a line only between characters: the rows of a line,
//   joined, are read character by character, and no double-byte
//   character straddles the end of a wrapped row.
//
// Only the public facade is used (TEditorStrings over a
// TEditorScreenStrings), through real files in a private folder.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/CodePage.h"
#include "text/EditorStrings.h"
#include "text/ScreenStrings.h"

namespace ze {
namespace {

std::string folder;

[[noreturn]] void Fail(const char* what, int row) {
  std::fprintf(stderr, "fuzz check failed: %s at row %d\n", what, row);
  std::abort();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    Fail("cannot write the input file", -1);
  ::close(fd);
}

std::string ReadBytes(const std::string& path) {
  std::string out;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot read a saved file", -1);
  char buf[65536];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fd);
  return out;
}

struct Row {
  std::string text;
  TRowEnd end;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const TEditorScreenStrings& store) {
  std::vector<Row> out;
  for (int r = 0; r < store.Count(); ++r)
    out.push_back({std::string(store.Ref(r).view()), store.RowAttribute(r)});
  return out;
}

// Walks each line's rows as one text, a character at a time.
void CheckCuts(const std::vector<Row>& rows) {
  size_t r = 0;
  while (r < rows.size()) {
    size_t last = r;
    while (last + 1 < rows.size() && rows[last].end == reWrapped) ++last;
    std::string line;
    std::vector<size_t> ends;
    for (size_t k = r; k <= last; ++k) {
      line += rows[k].text;
      ends.push_back(line.size());
    }
    size_t i = 0, k = 0;
    while (i < line.size()) {
      const size_t from = i;
      i += CharLengthAt(line, i);
      for (; k < ends.size() && ends[k] < i; ++k)
        if (ends[k] > from) Fail("a cut splits a double-byte character", static_cast<int>(r + k));
    }
    r = last + 1;
  }
}

} // namespace
} // namespace ze

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Saving flushes every file to disk; in memory that costs nothing.
  std::string templ = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  templ += "/ze-fuzz-loader-XXXXXX";
  if (!::mkdtemp(templ.data())) return 1;
  ze::folder = templ;
  std::atexit([] {
    for (const char* name : {"/input", "/first", "/second"}) ::unlink((ze::folder + name).c_str());
    ::rmdir(ze::folder.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ze;
  FuzzedDataProvider in(data, size);
  const int wrapByte = in.ConsumeIntegralInRange(20, 250);
  const bool followRetMark = in.ConsumeBool(), followPunctuation = in.ConsumeBool();
  const bool leading = in.ConsumeBool(), wordBreak = in.ConsumeBool();
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  auto store = Create<TEditorScreenStrings>();
  store->SetWordWrap(true);
  TEditorWrapOption& w = *store->WrapOption();
  w.SetWrapByte(wrapByte);
  w.SetFollowRetMark(followRetMark);
  w.SetFollowPunctuation(followPunctuation);
  w.SetLeading(leading);
  w.SetWordBreak(wordBreak);
  TEditorStrings lines(store.get(), nullptr);

  const std::string input = folder + "/input", first = folder + "/first",
                    second = folder + "/second";
  WriteBytes(input, bytes);
  lines.LoadFromFile(input);
  const std::vector<Row> loaded = Rows(*store);
  CheckCuts(loaded);
  // A text that could not be held exactly is never saved over its file (the
  // window opens it read-only); its rows are kept here as CP932 instead.
  if (!lines.FileFormat().Exact) {
    TFileFormat f = lines.FileFormat();
    f.Encoding = TEncoding::Cp932;
    lines.SetFileFormat(f);
  }
  const TEncoding encoding = lines.FileFormat().Encoding;
  lines.SaveToFile(first);

  // Read back in the encoding it was written in: detection may weigh a
  // short converted text otherwise.
  lines.LoadFromFileAs(first, encoding);
  const std::vector<Row> again = Rows(*store);
  if (!(again == loaded)) Fail("the saved file loads differently", 0);
  lines.SaveToFile(second);
  if (ReadBytes(first) != ReadBytes(second)) Fail("saving again writes other bytes", 0);
  return 0;
}
