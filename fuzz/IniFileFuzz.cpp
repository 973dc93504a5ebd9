// Reads random bytes as an INI file and checks that what was read can be
// written and read again without a change:
//
// - the file written back as it stands reads the same sections, keys and
//   values;
// - every value, written with QuotedIniValue into a fresh file and into
//   the file it came from, reads back exactly, with the same keys;
// - a key or value that a line cannot hold is refused, never written.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/IniFile.h"

namespace ze {
namespace {

[[noreturn]] void Fail(const char* what, const std::string& section, const std::string& key) {
  std::fprintf(stderr, "fuzz check failed: %s in [%s] %s\n", what, section.c_str(), key.c_str());
  std::abort();
}

struct Entry {
  std::string section, key, value;
};

std::vector<Entry> Entries(const IniFile& ini) {
  std::vector<Entry> out;
  for (const std::string& s : ini.ReadSections())
    for (const std::string& k : ini.ReadSection(s))
      out.push_back({s, k, ini.ReadString(s, k, "\x01missing")});
  return out;
}

void ExpectSameReads(const std::vector<Entry>& want, const IniFile& got, const char* what) {
  for (const Entry& e : want) {
    auto v = got.Find(e.section, e.key);
    if (!v) Fail(what, e.section, e.key);
    if (*v != e.value) Fail(what, e.section, e.key);
  }
}

} // namespace
} // namespace ze

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ze;
  FuzzedDataProvider in(data, size);
  const std::string stray = in.ConsumeRandomLengthString(12);
  const std::string text = in.ConsumeRemainingBytesAsString();

  IniFile read("");
  read.SetText(text);
  const std::vector<Entry> entries = Entries(read);

  IniFile asItStands("");
  asItStands.SetText(read.Text());
  ExpectSameReads(entries, asItStands, "the file written back reads differently");
  if (Entries(asItStands).size() != entries.size())
    Fail("the file written back has other keys", "", "");

  IniFile fresh("");
  for (const Entry& e : entries) {
    fresh.WriteString(e.section, e.key, QuotedIniValue(e.value));
    read.WriteString(e.section, e.key, QuotedIniValue(e.value));
  }
  IniFile freshAgain(""), readAgain("");
  freshAgain.SetText(fresh.Text());
  readAgain.SetText(read.Text());
  ExpectSameReads(entries, freshAgain, "a value written to a fresh file reads differently");
  ExpectSameReads(entries, readAgain, "a value written back in place reads differently");
  if (Entries(readAgain).size() != entries.size())
    Fail("writing values back added or lost keys", "", "");

  // Whatever the caller passes, a write adds at most one key line and,
  // in a file without the section, one header.
  const std::string before = readAgain.Text();
  const size_t sectionsBefore = readAgain.ReadSections().size();
  try {
    readAgain.WriteString(stray, stray, stray);
  } catch (const Exception&) {
    if (readAgain.Text() != before) Fail("a refused write changed the file", stray, stray);
    return 0;
  }
  IniFile strayAgain("");
  strayAgain.SetText(readAgain.Text());
  if (strayAgain.ReadSections().size() > sectionsBefore + 1)
    Fail("one write added several sections", stray, stray);
  if (Entries(strayAgain).size() > entries.size() + 1)
    Fail("one write added several keys", stray, stray);
  // It reads back as written, but for quotes around it, which Windows
  // takes off and callers put there on purpose.
  std::string want = stray;
  const bool blankEnds = !want.empty() && (want.front() == ' ' || want.front() == '\t' ||
                                           want.back() == ' ' || want.back() == '\t');
  if (!blankEnds && want.size() >= 2 && (want.front() == '"' || want.front() == '\'') &&
      want.back() == want.front())
    want = want.substr(1, want.size() - 2);
  ExpectSameReads({{stray, stray, want}}, strayAgain, "the stray write does not read back");
  return 0;
}
