#include <gtest/gtest.h>

#include <string>

#include "text/RowEdits.h"

namespace ze {
namespace {

struct RowEdits : ::testing::Test {
  RowEdits() { ForgetRowEdits(); }
  ~RowEdits() override { ForgetRowEdits(); }
};

TEST_F(RowEdits, WithoutARecordTheRowsAreCompared) {
  const ByteString a("abcdefgh"), b("abcdXfgh"), c("abcdefgh");
  EXPECT_EQ(SharedPrefix(a, a), 8u);
  EXPECT_EQ(SharedPrefix(a, b), 4u);
  EXPECT_EQ(SharedPrefix(a, c), 8u); // equal bytes, another string
  EXPECT_EQ(SharedPrefix(a, ByteString()), 0u);
  EXPECT_EQ(SharedPrefix(ByteString("abc"), ByteString("abcdef")), 3u);
}

// A record is taken at its word: a head shorter than the bytes really
// shared shows that the answer came from the record, not a comparison.
TEST_F(RowEdits, RecordedEditsAnswerAndChainsTakeTheShortestHead) {
  const std::string base(100, 'x');
  const ByteString a(base), b(base + "1"), c(base + "12"), d(base + "123");
  NoteRowEdit(a, b, 60);
  EXPECT_EQ(SharedPrefix(a, b), 60u);
  NoteRowEdit(b, c, 80);
  NoteRowEdit(c, d, 70);
  EXPECT_EQ(SharedPrefix(b, c), 80u);
  EXPECT_EQ(SharedPrefix(a, d), 60u); // a -> b -> c -> d
  EXPECT_EQ(SharedPrefix(b, d), 70u);
  // Not a step of the chain backwards, nor strings with equal bytes.
  EXPECT_EQ(SharedPrefix(d, a), 100u);
  EXPECT_EQ(SharedPrefix(ByteString(base), b), 100u);
  // A head is never past either string.
  const ByteString e(base.substr(0, 10));
  NoteRowEdit(d, e, 1000);
  EXPECT_EQ(SharedPrefix(d, e), 10u);
}

TEST_F(RowEdits, ForgottenAndCrowdedOutRecordsFallBackToComparing) {
  const std::string base(50, 'y');
  ByteString first(base), prev = first;
  NoteRowEdit(first, ByteString(base + "a"), 10);
  for (int i = 0; i < 8; ++i) {
    ByteString next(base + std::to_string(i));
    NoteRowEdit(prev, next, 5);
    prev = next;
  }
  EXPECT_EQ(SharedPrefix(first, prev), 50u); // too long a chain: compared
  ByteString x(base + "x"), y(base + "y");
  NoteRowEdit(x, y, 3);
  ForgetRowEdits();
  EXPECT_EQ(SharedPrefix(x, y), 50u);
}

} // namespace
} // namespace ze
