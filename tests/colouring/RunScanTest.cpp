// The block scanners must end every run exactly where the byte loops do,
// from any start, near the row end and with bytes of any value after the
// run; and they must not read past the terminating NUL (each row lives in
// a heap block of exactly its size, so ASan catches an over-read).

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "colouring/RunScan.h"

namespace ze::scan {
namespace {

// Bytes that matter to some run: leads and trails of every full-width
// range and their neighbours, kanji leads, half-width kana, word bytes,
// line ends and the NUL.
const std::vector<unsigned char> kAlphabet = {
    0x00, '\r', '\n', ' ',  '_',  '0',  '9',  'a',  'z',  'A',  'Z',  '@',  '[',  '`',
    '{',  '/',  0x3F, 0x40, 0x43, 0x44, 0x45, 0x4E, 0x4F, 0x58, 0x59, 0x5B, 0x5F, 0x60,
    0x79, 0x7A, 0x7C, 0x80, 0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0x96, 0x97, 0x9A, 0x9E,
    0x9F, 0xA0, 0xA1, 0xA5, 0xA6, 0xDF, 0xE0, 0xF1, 0xF2, 0xFC, 0xFD, 0xFF};

// A row in a block of exactly its size plus the NUL.
struct Row {
  explicit Row(const std::string& s) : size(s.size()) {
    data = static_cast<unsigned char*>(std::malloc(size + 1));
    std::memcpy(data, s.data(), size);
    data[size] = 0;
  }
  ~Row() { std::free(data); }
  Row(const Row&) = delete;
  Row& operator=(const Row&) = delete;
  unsigned char* data;
  size_t size;
  const unsigned char* End() const { return data + size; }
};

std::string RandomRow(std::mt19937& rng) {
  // Long runs of one character class are what the block scanners skip
  // whole; mix them with single random bytes.
  static const char* const kRuns[] = {
      "\x82\xA0", // hiragana
      "\x83\x41", // katakana
      "\x81\x5B", // prolonged sound mark (hiragana and katakana)
      "\x82\x60", // full-width Latin letter
      "\x82\x4F", // full-width digit
      "\x81\x43", // full-width comma (a digit-run character)
      "\x88\x9F", // kanji
      "\xE0\x40", // kanji
      "\xB1",     // half-width kana
      "w",        // word byte
  };
  std::uniform_int_distribution<int> len(0, 70), pick(0, 9), byte(0, int(kAlphabet.size()) - 1);
  std::string s;
  const int n = len(rng);
  while (static_cast<int>(s.size()) < n) {
    if (pick(rng) < 6) {
      const std::string run = kRuns[pick(rng)];
      for (int k = pick(rng) * 3; k >= 0; --k)
        s += run;
    } else {
      const unsigned char c = kAlphabet[byte(rng)];
      if (c != 0 || pick(rng) == 0) s += static_cast<char>(c);
    }
  }
  return s;
}

TEST(RunScan, BlockScannersEndEveryRunWhereTheByteLoopsDo) {
  std::mt19937 rng(20261208);
  for (int n = 0; n < 4000; ++n) {
    const Row row(RandomRow(rng));
    for (size_t i = 0; i <= row.size; ++i) {
      const unsigned char* q = row.data + i;
      SCOPED_TRACE(testing::Message() << "row " << n << " from byte " << i << " of " << row.size);
      ASSERT_EQ(WordEnd(q, row.End()), WordEndBytes(q));
      ASSERT_EQ(KanjiEnd(q, row.End()), KanjiEndBytes(q));
      ASSERT_EQ(KanaEnd(q, row.End()), KanaEndBytes(q));
      ASSERT_EQ(LineEnd(q, row.End()), LineEndBytes(q));
      for (unsigned run = 0; run < 4; ++run)
        ASSERT_EQ(DbRunEnd(q, row.End(), run), DbRunEndBytes(q, kDbRuns[run].run)) << run;
    }
  }
}

// A comment runs to the line end over long stretches, scanned many blocks
// at a time: each stop byte at every place of a long row is found.
TEST(RunScan, LineEndFindsTheStopAnywhereInALongRow) {
  for (const char stop : {'\0', '\r', '\n'}) {
    for (size_t at = 0; at < 300; ++at) {
      std::string s(300, 'c');
      s[at] = stop;
      const Row row(s);
      for (size_t from : {size_t{0}, size_t{1}, size_t{15}, size_t{63}}) {
        if (from > at) continue;
        ASSERT_EQ(LineEnd(row.data + from, row.End()), row.data + at)
            << int(stop) << " at " << at << " from " << from;
      }
    }
  }
  const Row none(std::string(1000, 'c'));
  EXPECT_EQ(LineEnd(none.data, none.End()), none.End());
}

TEST(RunScan, CharStopStopsWhereTheByteLoopDoes) {
  // Stop bytes below 0x40 are never trails of valid characters but can
  // follow a lead byte here; 0x82 is a lead byte itself; 0x5B a trail.
  const unsigned char stops[] = {'\'', '}', '"', 0x82, 0x5B, 'w', '\r'};
  std::mt19937 rng(7);
  for (int n = 0; n < 3000; ++n) {
    std::string s = RandomRow(rng);
    // Runs of lead bytes of every length before quotes and braces.
    for (size_t i = 0; i + 1 < s.size(); i += 7)
      if (s[i] == ' ') s[i] = (n & 1) ? '\'' : '}';
    const Row row(s);
    for (unsigned char stop : stops)
      for (size_t i = 0; i <= row.size; ++i) {
        const unsigned char* q = row.data + i;
        ASSERT_EQ(CharStop(q, row.End(), stop), CharStopBytes(q, stop))
            << "row " << n << " from byte " << i << " stop " << int(stop);
      }
  }
  // A quote after a lead byte is its trail; after two lead bytes it is not.
  const std::string pad(20, 'x');
  const Row one(pad + "\x82'" + pad + "'");
  EXPECT_EQ(CharStop(one.data, one.End(), '\''), one.data + 42);
  const Row two(pad + "\x82\x82'" + pad);
  EXPECT_EQ(CharStop(two.data, two.End(), '\''), two.data + 22);
  // A lead byte before the NUL stands alone; the stop is the NUL.
  const Row lone(pad + "\x82");
  EXPECT_EQ(CharStop(lone.data, lone.End(), '\''), lone.End());
}

TEST(RunScan, HasByteLooksAtEveryByteOfTheRangeAndNoOther) {
  // Every length up to 150 (the word, block and loop paths), the byte at
  // each position, and ranges that stop just before it or start after it.
  for (size_t n = 0; n <= 150; ++n) {
    for (size_t at = 0; at <= n; ++at) {
      std::string s(n, 'x');
      if (at < n) s[at] = '@';
      if (n > 0 && at != 0) s[0] = '\0'; // a NUL does not end the search
      const Row row(s);
      SCOPED_TRACE(testing::Message() << n << " bytes, @ at " << at);
      ASSERT_EQ(HasByte(row.data, row.End(), '@'), at < n);
      if (at < n) {
        ASSERT_FALSE(HasByte(row.data, row.data + at, '@'));
        ASSERT_FALSE(HasByte(row.data + at + 1, row.End(), '@'));
        ASSERT_TRUE(HasByte(row.data + at, row.data + at + 1, '@'));
      }
    }
  }
  // Bytes that differ from the wanted one only in the high bit or by one.
  const Row near(std::string(9, '\xC0') + std::string(9, '\x3F') + std::string(9, '\x41'));
  EXPECT_FALSE(HasByte(near.data, near.End(), '@'));
  EXPECT_FALSE(HasByte(near.data, near.data + 5, '@'));
}

TEST(RunScan, RunsEndAtTheirFirstForeignCharacter) {
  // 20 hiragana (40 bytes: more than two blocks), then a katakana.
  std::string hira;
  for (int i = 0; i < 20; ++i)
    hira += "\x82\xA0";
  const Row a(hira + "\x83\x41");
  EXPECT_EQ(DbRunEnd(a.data, a.End(), 2), a.data + 40);
  // The prolonged sound mark belongs to both kana runs.
  EXPECT_EQ(DbRunEnd(a.data, a.End(), 3), a.data); // hiragana do not continue katakana
  // Katakana with the mark, then 0x8397, a symbol after the katakana.
  std::string kata;
  for (int i = 0; i < 3; ++i)
    kata += "\x83\x41\x81\x5B\x83\x96";
  const Row b(kata + "\x83\x97\x83\x41");
  EXPECT_EQ(DbRunEnd(b.data, b.End(), 3), b.data + 18);

  // A kanji lead byte before a byte that cannot be its trail ends the
  // kanji run after the lead; the run never passes the NUL.
  const Row c(std::string("\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F\x88\x9F") +
              "\x88\x9F\x88" + std::string(1, ' ') + "x");
  EXPECT_EQ(KanjiEnd(c.data, c.End()), c.data + 19);
  const Row d(std::string(32, '\xE0'));
  EXPECT_EQ(KanjiEnd(d.data, d.End()), d.End());

  // A word of 40 bytes, and a comment that stops at CR before the NUL.
  const Row e(std::string(40, 'w') + "-");
  EXPECT_EQ(WordEnd(e.data, e.End()), e.data + 40);
  const Row f(std::string(30, '\xA6') + "\r\n" + std::string(20, 'x'));
  EXPECT_EQ(LineEnd(f.data, f.End()), f.data + 30);
  EXPECT_EQ(KanaEnd(f.data, f.End()), f.data + 30);
}

TEST(RunScan, AnEmbeddedNulEndsEveryRun) {
  std::string s(40, 'w');
  s[20] = '\0';
  const Row row(s);
  EXPECT_EQ(WordEnd(row.data, row.End()), row.data + 20);
  EXPECT_EQ(LineEnd(row.data, row.End()), row.data + 20);
  std::string kanji;
  for (int i = 0; i < 12; ++i)
    kanji += "\x88\x9F";
  kanji[9] = '\0'; // a trail byte
  const Row k(kanji);
  EXPECT_EQ(KanjiEnd(k.data, k.End()), k.data + 9);
}

} // namespace
} // namespace ze::scan
