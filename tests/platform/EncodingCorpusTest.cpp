// Detection and exact round trips over real Japanese text: every Japanese
// manual page on the machine (UTF-8) and the SKK dictionary (EUC-JP), each
// also converted with iconv to the other encodings. The inputs are made
// here from the installed packages (manpages-ja, skkdic); nothing of them
// is kept in the tree.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <sstream>
#include <zlib.h>

#include "platform/Encoding.h"

namespace ze {
namespace {

namespace fs = std::filesystem;

const char* const kManDir = "/usr/share/man/ja";
const char* const kSkkFile = "/usr/share/skk/SKK-JISYO.L";

// Whole-buffer iconv; nullopt when any character cannot be converted.
std::optional<std::string> Convert(const std::string& in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char* dst = out.data();
  size_t room = out.size();
  bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<size_t>(-1) &&
            iconv(cd, nullptr, nullptr, &dst, &room) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - room);
  return out;
}

std::string Gunzip(const fs::path& p) {
  std::string out;
  gzFile f = gzopen(p.c_str(), "rb");
  if (!f) return out;
  char buf[65536];
  int n;
  while ((n = gzread(f, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  gzclose(f);
  return out;
}

struct Sample {
  std::string Name;
  std::string Utf8; // the text in UTF-8
};

std::vector<Sample> ManPages() {
  std::vector<Sample> out;
  if (!fs::is_directory(kManDir)) return out;
  for (auto& e : fs::recursive_directory_iterator(kManDir)) {
    if (!e.is_regular_file() || e.path().extension() != ".gz") continue;
    out.push_back({e.path().string(), Gunzip(e.path())});
  }
  return out;
}

// The dictionary whole, and in pieces of 2,000 lines (short files).
std::vector<Sample> SkkPieces() {
  std::vector<Sample> out;
  std::ifstream in(kSkkFile, std::ios::binary);
  if (!in) return out;
  std::ostringstream all;
  all << in.rdbuf();
  auto utf8 = Convert(all.str(), "UTF-8", "EUC-JP");
  if (!utf8) {
    ADD_FAILURE() << "iconv cannot read " << kSkkFile;
    return out;
  }
  out.push_back({kSkkFile, *utf8});
  std::istringstream lines(*utf8);
  std::string line, piece;
  int n = 0, k = 0;
  while (std::getline(lines, line)) {
    piece += line + "\n";
    if (++n == 2000) {
      out.push_back({std::string(kSkkFile) + " piece " + std::to_string(k++), piece});
      piece.clear();
      n = 0;
    }
  }
  return out;
}

struct Version {
  TEncoding Encoding;
  std::string Bytes;
};

// The sample in every encoding iconv can write it in.
std::vector<Version> Versions(const std::string& utf8) {
  std::vector<Version> v{{TEncoding::Utf8, utf8}, {TEncoding::Utf8Bom, "\xEF\xBB\xBF" + utf8}};
  if (auto b = Convert(utf8, "CP932", "UTF-8")) v.push_back({TEncoding::Cp932, *b});
  if (auto b = Convert(utf8, "EUC-JP", "UTF-8")) v.push_back({TEncoding::EucJp, *b});
  if (auto b = Convert(utf8, "ISO-2022-JP", "UTF-8")) v.push_back({TEncoding::Iso2022Jp, *b});
  if (auto b = Convert(utf8, "UTF-16LE", "UTF-8")) v.push_back({TEncoding::Utf16Le, "\xFF\xFE" + *b});
  if (auto b = Convert(utf8, "UTF-16BE", "UTF-8")) v.push_back({TEncoding::Utf16Be, "\xFE\xFF" + *b});
  return v;
}

// ASCII, apart from at most three bytes above 0x7F at the very end (a
// character cut by the end of a prefix): nothing tells the encoding.
bool IsAscii(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && s.size() - end < 3 && static_cast<unsigned char>(s[end - 1]) >= 0x80) --end;
  for (size_t i = 0; i < end; ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80 || s[i] == 0x1B) return false;
  return true;
}

// Prefix lengths: every length from 64 to 256 (cuts at every place of a
// character), then doubling to the whole.
std::vector<size_t> PrefixLengths(size_t size) {
  std::vector<size_t> out;
  for (size_t n = 64; n <= 256 && n < size; ++n) out.push_back(n);
  for (size_t n = 512; n < size; n *= 2) out.push_back(n);
  return out;
}

struct Tally {
  int Files = 0, Versions = 0, Prefixes = 0, Exact = 0, NotHeld = 0;
  std::vector<std::string> Failures;
  void Fail(const std::string& what) {
    if (Failures.size() < 30) Failures.push_back(what);
    else if (Failures.size() == 30) Failures.push_back("...");
  }
};

void Check(const Sample& s, Tally& t) {
  ++t.Files;
  // Whether CP932 can hold the text at all (then it must come back exactly).
  const std::optional<std::string> cp932 = Convert(s.Utf8, "CP932", "UTF-8");
  for (const Version& v : Versions(s.Utf8)) {
    ++t.Versions;
    const std::string tag = s.Name + " as " + EncodingName(v.Encoding);
    const TDetection d = DetectEncoding(v.Bytes);
    if (!(d.Encoding == v.Encoding || (d.Ascii && IsAscii(v.Bytes))))
      t.Fail(tag + ": detected as " + EncodingName(d.Encoding));
    for (size_t n : PrefixLengths(v.Bytes.size())) {
      ++t.Prefixes;
      std::string_view p(v.Bytes.data(), n);
      const TDetection pd = DetectEncoding(p);
      if (!(pd.Encoding == v.Encoding || (pd.Ascii && IsAscii(p)))) {
        t.Fail(tag + ": prefix " + std::to_string(n) + " detected as " + EncodingName(pd.Encoding));
        break;
      }
    }
    const TDecoded dec = DecodeToCp932(v.Bytes, v.Encoding);
    if (!cp932) {
      ++t.NotHeld;
      if (dec.Exact) t.Fail(tag + ": holds characters outside CP932 but decoded as exact");
      else if (dec.Message.empty() || dec.Line == 0) t.Fail(tag + ": no place for the problem");
      continue;
    }
    if (!dec.Exact) {
      t.Fail(tag + ": not exact: " + dec.Message);
      continue;
    }
    if (dec.Text != *cp932) t.Fail(tag + ": decoded text differs from iconv's CP932");
    const TEncoded enc = EncodeFromCp932(dec.Text, v.Encoding, dec.Variants);
    if (!enc.Ok || enc.Bytes != v.Bytes) t.Fail(tag + ": not written back byte for byte " + enc.Message);
    else ++t.Exact;
  }
}

void Report(const char* what, const Tally& t) {
  std::printf("%s: %d files, %d encoded versions, %d prefixes; %d round trips exact, "
              "%d versions with characters outside CP932\n",
              what, t.Files, t.Versions, t.Prefixes, t.Exact, t.NotHeld);
  for (const std::string& f : t.Failures) ADD_FAILURE() << f;
}

TEST(EncodingCorpus, JapaneseManualPages) {
  std::vector<Sample> pages = ManPages();
  if (pages.empty()) GTEST_SKIP() << "manpages-ja is not installed (scripts/setup installs it)";
  Tally t;
  for (const Sample& s : pages) Check(s, t);
  Report("manual pages", t);
  EXPECT_GT(t.Exact, 1000);
}

TEST(EncodingCorpus, SkkDictionary) {
  std::vector<Sample> pieces = SkkPieces();
  if (pieces.empty()) GTEST_SKIP() << "skkdic is not installed (scripts/setup installs it)";
  Tally t;
  for (const Sample& s : pieces) Check(s, t);
  Report("SKK dictionary", t);
  EXPECT_GT(t.Exact, 0);
}

} // namespace
} // namespace ze
