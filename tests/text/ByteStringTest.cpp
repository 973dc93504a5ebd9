#include "text/ByteString.h"

#include <gtest/gtest.h>

#include <vector>

namespace ze {
namespace {

TEST(ByteString, CopiesShareOneBlock) {
  ByteString a("\x8A\xBF\x8E\x9A abc");
  ByteString b = a;
  ByteString c;
  c = b;
  EXPECT_EQ(a.UseCount(), 3);
  EXPECT_EQ(a.data(), c.data()); // same bytes, not a copy
  { ByteString d = std::move(c); EXPECT_EQ(a.UseCount(), 3); }
  EXPECT_EQ(a.UseCount(), 2);
  EXPECT_TRUE(c.empty());
}

TEST(ByteString, IsAlwaysNulTerminatedAndMayHoldNul) {
  ByteString empty;
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_EQ(empty.data()[0], '\0');
  EXPECT_EQ(empty[0], 0);
  EXPECT_EQ(empty.UseCount(), 0);
  ByteString s("ab\0cd", 5);
  EXPECT_EQ(s.size(), 5u);
  EXPECT_EQ(s[2], 0);
  EXPECT_EQ(s[5], 0); // the terminator is readable
  EXPECT_EQ(ByteString("").UseCount(), 0); // empty text holds no block
}

TEST(ByteString, MidConcatAndComparison) {
  ByteString s("hello world");
  EXPECT_EQ(s.Mid(6), "world");
  EXPECT_EQ(s.Mid(6, 3), "wor");
  EXPECT_EQ(s.Mid(20), "");
  EXPECT_EQ(s.Mid(0, 0).UseCount(), 0);
  EXPECT_EQ(ByteString("ab") + "cd", "abcd");
  EXPECT_EQ("x" + ByteString("y") + ByteString("z"), "xyz");
  EXPECT_LT(ByteString("a"), ByteString("b"));
  EXPECT_LT(ByteString("a"), ByteString("\x82\xA0")); // bytes compare unsigned
  EXPECT_EQ(ByteString("same"), ByteString("same"));
}

TEST(ByteString, SelfAssignmentKeepsTheText) {
  ByteString s("keep");
  ByteString& r = s;
  s = r;
  EXPECT_EQ(s, "keep");
  s = std::move(r);
  EXPECT_EQ(s, "keep");
}

TEST(ByteString, BuildFillsInPlace) {
  ByteString s = ByteString::Build(3, [](char* p) { p[0] = 'x'; p[1] = 'y'; p[2] = 'z'; });
  EXPECT_EQ(s, "xyz");
  EXPECT_EQ(s.data()[3], '\0');
  EXPECT_TRUE(ByteString::Build(0, [](char*) {}).empty());
}

} // namespace
} // namespace ze

namespace ze {
namespace {

TEST(ByteStringArena, StringsOutliveTheArenaAndShareLikeAnyOther) {
  std::vector<ByteString> kept;
  {
    ByteStringArena arena;
    for (int i = 0; i < 50000; ++i) // several chunks
      kept.push_back(arena.Make("row " + std::to_string(i) + " \x8A\xBF"));
    kept.push_back(arena.Make(std::string(100000, 'L'))); // too long for a chunk
    EXPECT_TRUE(arena.Make("").empty());
  }
  EXPECT_EQ(kept[0], "row 0 \x8A\xBF");
  EXPECT_EQ(kept[49999], "row 49999 \x8A\xBF");
  EXPECT_EQ(kept[123].data()[kept[123].size()], '\0');
  EXPECT_EQ(kept.back().size(), 100000u);
  // An arena string is counted with its chunk: a copy adds one, its end
  // takes it back.
  const int alive = kept[7].UseCount();
  ByteString copy = kept[7];
  EXPECT_EQ(kept[7].UseCount(), alive + 1);
  {
    ByteString another = copy;
    EXPECT_EQ(copy.UseCount(), alive + 2);
  }
  EXPECT_EQ(copy.UseCount(), alive + 1);
  kept.erase(kept.begin(), kept.begin() + 40000); // frees whole chunks
  EXPECT_EQ(copy, "row 7 \x8A\xBF");
  EXPECT_EQ(copy + "!", "row 7 \x8A\xBF!");
}

// Arena strings of every length around the sizes where their layout
// changes (short ones keep their length in the string itself, longer ones
// a size word, the longest a block of their own) hold their bytes, their
// NUL and their count, and mix with each other and with heap strings.
TEST(ByteStringArena, EveryLayoutHoldsItsBytesAndCountsItsCopies) {
  std::vector<std::string> texts;
  for (size_t n : {size_t{1}, size_t{2}, size_t{127}, size_t{128}, size_t{65534}, size_t{65535},
                   size_t{65536}, size_t{65537}, size_t{200000}}) {
    std::string t(n, '\0');
    for (size_t i = 0; i < n; ++i) t[i] = static_cast<char>('a' + (i * 7 + n) % 26);
    t[n / 2] = '\0'; // a NUL inside is a byte like any other
    texts.push_back(t);
  }
  std::vector<ByteString> made;
  {
    ByteStringArena arena;
    for (const std::string& t : texts) made.push_back(arena.Make(t));
  }
  for (size_t k = 0; k < texts.size(); ++k) {
    SCOPED_TRACE(texts[k].size());
    const ByteString& b = made[k];
    EXPECT_EQ(b.size(), texts[k].size());
    EXPECT_TRUE(b.view() == texts[k]);
    EXPECT_EQ(b.data()[b.size()], '\0');
    EXPECT_EQ(b, ByteString(texts[k])); // equal to a heap string of the same bytes
    const int alive = b.UseCount();
    {
      ByteString copy = b, moved = std::move(copy);
      EXPECT_TRUE(copy.empty());
      EXPECT_EQ(b.UseCount(), alive + 1);
      copy = moved;
      moved = ByteString("other");
      EXPECT_EQ(b.UseCount(), alive + 1);
      EXPECT_EQ(copy.data(), b.data());
    }
    EXPECT_EQ(b.UseCount(), alive);
    EXPECT_EQ(b.Mid(1, 3), texts[k].substr(1, 3));
  }
  made.clear(); // every chunk goes (leaks show under the sanitizers)
}

} // namespace
} // namespace ze
