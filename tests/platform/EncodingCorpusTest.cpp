// Detection and exact round trips over real Japanese text on this
// machine: the Japanese manual pages (UTF-8) and the SKK dictionary
// (EUC-JP), each also converted to the other encodings by the C library.
// The inputs are made here from the installed packages; none is kept.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <map>

#include "platform/Encoding.h"
#include "tests/platform/IconvHelper.h"

namespace ze {
namespace {

using test::Iconv;

std::string Command(const std::string& cmd) {
  std::string out;
  FILE* f = ::popen(cmd.c_str(), "r");
  if (!f) return out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  ::pclose(f);
  return out;
}

void Walk(const std::string& dir, const std::function<void(const std::string&)>& each) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string path = dir + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) Walk(path, each);
    else if (S_ISREG(st.st_mode)) each(path);
  }
  ::closedir(d);
}

bool Ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

struct Tally {
  int files = 0, exact = 0, notHeld = 0, prefixes = 0;
};

// The answer expected for a prefix: text of ASCII bytes only gets the
// default; ISO-2022-JP is ASCII until its first escape.
TEncoding Expected(std::string_view prefix, TEncoding e) {
  if (e == TEncoding::Utf8Bom || e == TEncoding::Utf16Le || e == TEncoding::Utf16Be) return e;
  if (e == TEncoding::Iso2022Jp) {
    return prefix.find("\x1B$B") != std::string_view::npos ||
                   prefix.find("\x1B$@") != std::string_view::npos ||
                   prefix.find("\x1B(J") != std::string_view::npos ||
                   prefix.find("\x1B(I") != std::string_view::npos
               ? e
               : TEncoding::Cp932;
  }
  return Ascii(prefix) ? TEncoding::Cp932 : e;
}

// Checks one file in one encoding: detection of the whole and of prefixes
// from 64 bytes on, and a byte-exact round trip when the text can be held.
void Check(const std::string& name, const std::string& bytes, TEncoding e, Tally& t) {
  ++t.files;
  EXPECT_EQ(DetectEncoding(bytes), Expected(bytes, e)) << name << " as " << EncodingName(e);
  // Every length from 64 to 160, then lengths growing by a tenth.
  for (size_t n = 64; n < bytes.size(); n = n < 160 ? n + 1 : n + n / 10) {
    std::string_view prefix(bytes.data(), n);
    if (e == TEncoding::Utf16Le || e == TEncoding::Utf16Be) prefix = prefix.substr(0, n & ~size_t(1));
    // Three bytes or fewer above ASCII may be one cut character, which
    // several encodings read equally well: no answer is right there.
    size_t high = 0;
    for (char c : prefix) high += static_cast<unsigned char>(c) >= 0x80;
    if (high > 0 && high < 4 && e != TEncoding::Iso2022Jp) continue;
    ++t.prefixes;
    TEncoding want = Expected(prefix, e);
    TEncoding got = DetectEncoding(prefix);
    if (got != want) {
      ADD_FAILURE() << name << " as " << EncodingName(e) << ": prefix of " << n << " bytes read as "
                    << EncodingName(got);
      break;
    }
  }
  TDecodedText d = DecodeText(bytes, e);
  if (!d.Exact) {
    ++t.notHeld;
    EXPECT_GT(d.ProblemLine, 0) << name;
    return;
  }
  std::string out, problem;
  ASSERT_TRUE(EncodeText(d.Text, e, d.Variants, out, problem)) << name << ": " << problem;
  EXPECT_TRUE(out == bytes) << name << " as " << EncodingName(e) << " does not come back byte for byte";
  ++t.exact;
}

void CheckInEveryEncoding(const std::string& name, const std::string& utf8,
                          std::map<TEncoding, Tally>& tallies) {
  Check(name, utf8, TEncoding::Utf8, tallies[TEncoding::Utf8]);
  Check(name, "\xEF\xBB\xBF" + utf8, TEncoding::Utf8Bom, tallies[TEncoding::Utf8Bom]);
  bool ok;
  std::string le = Iconv("UTF-16LE", "UTF-8", utf8, ok);
  if (ok) Check(name, "\xFF\xFE" + le, TEncoding::Utf16Le, tallies[TEncoding::Utf16Le]);
  std::string be = Iconv("UTF-16BE", "UTF-8", utf8, ok);
  if (ok) Check(name, "\xFE\xFF" + be, TEncoding::Utf16Be, tallies[TEncoding::Utf16Be]);
  // The legacy encodings hold only some texts.
  std::string sjis = Iconv("CP932", "UTF-8", utf8, ok);
  if (ok) Check(name, sjis, TEncoding::Cp932, tallies[TEncoding::Cp932]);
  std::string euc = Iconv("EUC-JP", "UTF-8", utf8, ok);
  if (ok) Check(name, euc, TEncoding::EucJp, tallies[TEncoding::EucJp]);
  std::string jis = Iconv("ISO-2022-JP", "UTF-8", utf8, ok);
  if (ok) Check(name, jis, TEncoding::Iso2022Jp, tallies[TEncoding::Iso2022Jp]);
}

TEST(EncodingCorpus, JapaneseManualPages) {
  std::vector<std::string> pages;
  Walk("/usr/share/man/ja", [&](const std::string& p) {
    if (p.size() > 3 && p.compare(p.size() - 3, 3, ".gz") == 0) pages.push_back(p);
  });
  ASSERT_GT(pages.size(), 500u) << "manpages-ja is not installed (scripts/setup installs it)";
  std::map<TEncoding, Tally> tallies;
  int japanese = 0;
  for (const std::string& p : pages) {
    std::string utf8 = Command("gzip -dc '" + p + "'");
    if (utf8.empty()) continue;
    if (!Ascii(utf8)) ++japanese;
    CheckInEveryEncoding(p, utf8, tallies);
  }
  EXPECT_GT(japanese, 500);
  // Most pages are held exactly; the rest hold characters CP932 lacks.
  const Tally& u = tallies[TEncoding::Utf8];
  EXPECT_GT(u.exact, u.notHeld * 5);
  for (auto& [e, t] : tallies)
    std::printf("%-12s files %5d exact %5d not held %4d prefixes %7d\n", EncodingName(e), t.files,
                t.exact, t.notHeld, t.prefixes);
}

TEST(EncodingCorpus, SkkDictionaryInEucJp) {
  std::string euc = Command("cat /usr/share/skk/SKK-JISYO.L 2>/dev/null");
  ASSERT_GT(euc.size(), 1000000u) << "skkdic is not installed (scripts/setup installs it)";
  EXPECT_EQ(DetectEncoding(euc), TEncoding::EucJp);
  TDecodedText d = DecodeText(euc, TEncoding::EucJp);
  if (d.Exact) {
    std::string out, problem;
    ASSERT_TRUE(EncodeText(d.Text, TEncoding::EucJp, d.Variants, out, problem)) << problem;
    EXPECT_TRUE(out == euc);
  } else {
    EXPECT_GT(d.ProblemLine, 0);
    std::printf("SKK-JISYO.L is not held exactly: %s\n", d.Problem.c_str());
  }
  // Pieces of it (short files) in every encoding: blocks of 200 lines.
  bool ok;
  std::string utf8 = Iconv("UTF-8", "EUC-JP", euc, ok);
  ASSERT_TRUE(ok);
  std::map<TEncoding, Tally> tallies;
  size_t pos = 0;
  for (int block = 0; pos < utf8.size() && block < 300; ++block) {
    size_t end = pos;
    for (int i = 0; i < 200 && end != std::string::npos; ++i) end = utf8.find('\n', end + 1);
    if (end == std::string::npos) end = utf8.size();
    std::string piece = utf8.substr(pos, end - pos);
    CheckInEveryEncoding("SKK block " + std::to_string(block), piece, tallies);
    pos = end + 1;
    // Skip ahead so that the blocks sample the whole dictionary.
    pos = utf8.find('\n', pos + utf8.size() / 300);
    if (pos == std::string::npos) break;
    ++pos;
  }
  for (auto& [e, t] : tallies)
    std::printf("%-12s blocks %4d exact %4d not held %3d prefixes %7d\n", EncodingName(e), t.files,
                t.exact, t.notHeld, t.prefixes);
}

} // namespace
} // namespace ze
