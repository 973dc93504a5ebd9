#include "text/LineStore.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ze {
namespace {

struct Counter {
  int before = 0, after = 0;
  void Attach(TLineStringList& l) {
    l.OnBeforeChange = [this](TObject*) { ++before; };
    l.OnChange = [this](TObject*) { ++after; };
  }
};

TEST(LineStore, NewRowIsZeroedAndReadsNotYetParsed) {
  TEditorStringList l;
  l.Add("text");
  EXPECT_EQ(l.BracketIndex(0), -2);
  EXPECT_EQ(l.RowAttribute(0), reLineBreak);
  EXPECT_EQ(l.RowMarks(0), 0);
  EXPECT_EQ(l.RowData(0), 0);
  EXPECT_TRUE(l.RowDataStr(0).empty());
  EXPECT_EQ(l.RowBits(0), 0u);
  EXPECT_EQ(l.RowBits2(0), 0u);
}

TEST(LineStore, CapacityGrowsByTheFixedSequence) {
  TLineStringList l;
  std::vector<int> seen;
  for (int i = 0; i < 120; ++i) {
    l.Add("x");
    if (seen.empty() || seen.back() != l.GetCapacity()) seen.push_back(l.GetCapacity());
  }
  EXPECT_EQ(seen, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
  l.Delete(0);
  EXPECT_EQ(l.GetCapacity(), 147); // deleting never shrinks
  l.SetCapacity(200);
  EXPECT_EQ(l.GetCapacity(), 200);
}

TEST(LineStore, PackedFieldsKeepTheirWidthAndBias) {
  TRowAttributeStringList l;
  l.Add("");
  for (int v = -2; v <= 13; ++v) {
    l.SetBracketIndex(0, v);
    EXPECT_EQ(l.BracketIndex(0), v);
  }
  l.SetBracketIndex(0, 14); // 16 does not fit in 4 bits: reads as -2
  EXPECT_EQ(l.BracketIndex(0), -2);
  l.SetRowAttribute(0, reEndOfText);
  l.SetPrevRowAttribute(0, reWrapped);
  l.SetBracketIndex(0, 5);
  l.SetElementState(0, 0x1AB); // 8 bits kept
  l.SetRemainBytes(0, 7);
  l.SetExtraState(0, 0xFE);
  l.SetCarriedToken(0, 0x12);
  l.SetCarriedFlag(0, 0x34);
  l.SetRowMarks(0, 0x8001);
  EXPECT_EQ(l.RowBits(0), 0xFE07AB00u | (7u << 4) | (1u << 2) | 2u);
  EXPECT_EQ(l.RowBits2(0), 0x80013412u);
  EXPECT_EQ(l.RowAttribute(0), reEndOfText);
  EXPECT_EQ(l.PrevRowAttribute(0), reWrapped);
  EXPECT_EQ(l.BracketIndex(0), 5);
  EXPECT_EQ(l.ElementState(0), 0xAB);
  EXPECT_EQ(l.RemainBytes(0), 7);
  EXPECT_EQ(l.ExtraState(0), 0xFE);
  EXPECT_EQ(l.CarriedToken(0), 0x12);
  EXPECT_EQ(l.CarriedFlag(0), 0x34);
  EXPECT_EQ(l.RowMarks(0), 0x8001);
  // Each setter rewrites only its own bits.
  l.SetRowMarks(0, 0);
  EXPECT_EQ(l.RowBits2(0), 0x00003412u);
  l.SetElementState(0, 0);
  EXPECT_EQ(l.ExtraState(0), 0xFE);
  EXPECT_EQ(l.RemainBytes(0), 7);
}

TEST(LineStore, RowAttributeDataRoundTrips) {
  TRowAttributeStringList l;
  l.Add("a");
  l.Add("b");
  TRowAttributeData d;
  d.RowAttribute = reWrapped;
  d.PrevRowAttribute = reEndOfText;
  d.BracketIndex = 13;
  d.ElementState = 0x1FF; // low 8 bits kept
  d.RemainBytes = 3;
  d.ExtraState = 9;
  d.CarriedToken = 4;
  d.CarriedFlag = 1;
  d.DataStr = "state";
  l.SetRowAttributeData(1, d);
  TRowAttributeData r = l.RowAttributeData(1);
  EXPECT_EQ(r.RowAttribute, reWrapped);
  EXPECT_EQ(r.PrevRowAttribute, reEndOfText);
  EXPECT_EQ(r.BracketIndex, 13);
  EXPECT_EQ(r.ElementState, 0xFF);
  EXPECT_EQ(r.RemainBytes, 3);
  EXPECT_EQ(r.ExtraState, 9);
  EXPECT_EQ(r.CarriedToken, 4);
  EXPECT_EQ(r.CarriedFlag, 1);
  EXPECT_EQ(r.DataStr, "state");
  EXPECT_EQ(l.RowAttributeData(0).BracketIndex, -2);
}

TEST(LineStore, InsertDeleteAndExchangeMoveWholeRows) {
  TRowAttributeStringList l;
  for (const char* s : {"zero", "one", "two"}) l.Add(s);
  l.SetRowMarks(1, 0x0002);
  l.SetRowData(1, 77);
  l.SetRowDataStr(1, "one-data");
  l.Insert(1, "new");
  EXPECT_EQ(l[1], "new");
  EXPECT_EQ(l.RowMarks(1), 0);
  EXPECT_EQ(l.RowMarks(2), 0x0002);
  EXPECT_EQ(l.RowData(2), 77);
  l.Exchange(0, 2);
  EXPECT_EQ(l[0], "one");
  EXPECT_EQ(l.RowDataStr(0), "one-data");
  EXPECT_EQ(l.RowMarks(0), 0x0002);
  EXPECT_EQ(l[2], "zero");
  l.Delete(0);
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l[0], "new");
  EXPECT_EQ(l.RowMarks(0), 0);
  l.Insert(3, "end");
  EXPECT_EQ(l[3], "end");
}

TEST(LineStore, DeleteReleasesTheRowsStrings) {
  TLineStringList l;
  ByteString text("shared text");
  ByteString data("shared data");
  l.Add(text);
  l.SetRowDataStr(0, data);
  EXPECT_EQ(text.UseCount(), 2);
  l.Delete(0);
  EXPECT_EQ(text.UseCount(), 1);
  EXPECT_EQ(data.UseCount(), 1);
  l.Add(text);
  l.Clear();
  EXPECT_EQ(text.UseCount(), 1);
  EXPECT_EQ(l.GetCapacity(), 0);
}

TEST(LineStore, IndexErrorsLeaveTheListUnchanged) {
  TRowAttributeStringList l;
  l.Add("a");
  l.Add("b");
  Counter c;
  c.Attach(l);
  auto expectError = [](auto f) {
    try {
      f();
      ADD_FAILURE() << "no error";
    } catch (const EStringListError& e) {
      EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています");
    }
  };
  expectError([&] { l.Get(2); });
  expectError([&] { l.Put(-1, "x"); });
  expectError([&] { l.Insert(3, "x"); });
  expectError([&] { l.Delete(2); });
  expectError([&] { l.Exchange(0, 2); });
  expectError([&] { l.Exchange(5, 0); });
  expectError([&] { l.RowMarks(2); });
  expectError([&] { l.SetBracketIndex(-1, 0); });
  expectError([&] { l.SetRowDataStr(2, "x"); });
  EXPECT_EQ(l.Count(), 2);
  EXPECT_EQ(l[0], "a");
  EXPECT_EQ(l[1], "b");
  EXPECT_EQ(c.before, 0);
  EXPECT_EQ(c.after, 0);
}

TEST(LineStore, EveryChangeNotifiesBeforeAndAfter) {
  TRowAttributeStringList l;
  Counter c;
  c.Attach(l);
  l.Add("a");
  l.Insert(0, "b");
  l.Put(0, "c");
  l.Exchange(0, 1);
  l.Delete(0);
  EXPECT_EQ(c.before, 5);
  EXPECT_EQ(c.after, 5);
  l.SetRowMarks(0, 3); // per-row data is silent
  l.SetRowData(0, 1);
  EXPECT_EQ(c.after, 5);
  l.Clear();
  EXPECT_EQ(c.after, 6);
  l.Clear(); // empty: nothing at all
  EXPECT_EQ(c.before, 6);
  EXPECT_EQ(c.after, 6);
}

TEST(LineStore, UpdateBracketsCollapseNotifications) {
  TLineStringList l;
  l.Add("a");
  Counter c;
  c.Attach(l);
  l.BeginUpdate();
  EXPECT_EQ(c.before, 1); // entering the update state says a change is coming
  l.BeginUpdate();
  l.Put(0, "b");
  l.Add("c");
  l.EndUpdate();
  EXPECT_EQ(c.after, 0);
  l.EndUpdate();
  EXPECT_EQ(c.before, 1);
  EXPECT_EQ(c.after, 1);
}

TEST(LineStore, TextAndCopyThroughTheGenericListOperations) {
  TLineStringList l;
  l.SetText("one\r\ntwo\nthree");
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\n");
  TStringList copy;
  copy.CopyFrom(&l);
  EXPECT_EQ(copy.Text(), l.Text());
  EXPECT_EQ(l.IndexOf("TWO"), 1);
}

TEST(LineStore, DestructionFiresNothing) {
  int calls = 0;
  {
    TLineStringList l;
    l.Add("a");
    l.OnChange = [&](TObject*) { ++calls; };
    l.OnBeforeChange = [&](TObject*) { ++calls; };
  }
  EXPECT_EQ(calls, 0);
}

} // namespace
} // namespace ze

namespace ze {
namespace {

// A row's text and bits live in parallel arrays, and its second word of
// bits, integer and second string in arrays that appear only once one is
// set: whatever moves rows must move them all. Random operations against a
// plain model of the rows.
TEST(LineStore, RowDataFollowsItsRowThroughEveryMove) {
  struct ModelRow {
    std::string text;
    int32_t data = 0;
    std::string dataStr;
    uint32_t bits = 0, bits2 = 0;
  };
  std::mt19937 rng(16);
  for (int round = 0; round < 30; ++round) {
    TEditorStringList l, other;
    std::vector<ModelRow> model, otherModel;
    for (int step = 0; step < 300; ++step) {
      const int n = l.Count();
      const std::string text = "r" + std::to_string(step);
      const int at = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
      const int k = static_cast<int>(rng() % 7);
      switch (rng() % 13) {
      case 0:
        l.Insert(at, text);
        model.insert(model.begin() + at, ModelRow{text, 0, ""});
        break;
      case 1:
        l.AppendSilently(ByteString(text));
        model.push_back(ModelRow{text, 0, ""});
        break;
      case 2:
        l.InsertRows(at, k);
        model.insert(model.begin() + at, static_cast<size_t>(k), ModelRow{});
        break;
      case 3:
        if (n == 0) break;
        l.Delete(at % n);
        model.erase(model.begin() + at % n);
        break;
      case 4:
        if (at + k > n) break;
        l.DeleteRowRange(at, k);
        model.erase(model.begin() + at, model.begin() + at + k);
        break;
      case 5:
        if (n == 0) break;
        l.Exchange(at % n, k % n);
        std::swap(model[at % n], model[k % n]);
        break;
      case 6:
      case 7:
        if (n == 0) break;
        l.SetRowData(at % n, static_cast<int32_t>(step));
        model[at % n].data = step;
        break;
      case 8:
        if (n == 0) break;
        l.SetRowDataStr(at % n, k == 0 ? ByteString() : ByteString(text));
        model[at % n].dataStr = k == 0 ? "" : text;
        break;
      case 9:
        if (k == 0) {
          l.Clear();
          model.clear();
        } else {
          l.SetCapacity(n + k);
        }
        break;
      case 10:
        l.SwapRows(other);
        std::swap(model, otherModel);
        break;
      case 11:
        if (n == 0) break;
        l.SetRowBits(at % n, rng());
        model[at % n].bits = l.RowBits(at % n);
        break;
      case 12:
        if (n == 0) break;
        l.SetRowBits2(at % n, k < 2 ? 0u : static_cast<uint32_t>(rng()));
        model[at % n].bits2 = l.RowBits2(at % n);
        break;
      }
      ASSERT_EQ(l.Count(), static_cast<int>(model.size())) << step;
      for (int i = 0; i < l.Count(); ++i) {
        ASSERT_EQ(l.Get(i), model[i].text) << step << " row " << i;
        ASSERT_EQ(l.RowData(i), model[i].data) << step << " row " << i;
        ASSERT_EQ(l.RowDataStr(i), model[i].dataStr) << step << " row " << i;
        ASSERT_EQ(l.RowAttributeData(i).DataStr, model[i].dataStr) << step << " row " << i;
        ASSERT_EQ(l.RowBits(i), model[i].bits) << step << " row " << i;
        ASSERT_EQ(l.RowBits2(i), model[i].bits2) << step << " row " << i;
      }
    }
  }
}

} // namespace
} // namespace ze
