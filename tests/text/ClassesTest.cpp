#include "text/Classes.h"

#include <gtest/gtest.h>

namespace ze {
namespace {

struct Point : TPersistent {
  int x = 0;
  void CopyFrom(const TPersistent* s) override {
    if (auto* p = dynamic_cast<const Point*>(s)) x = p->x;
    else TPersistent::CopyFrom(s);
  }
};
struct Other : TPersistent {};

TEST(Persistent, CopyFromUnsupportedSourceNamesBothClasses) {
  Point a, b;
  b.x = 5;
  a.CopyFrom(&b);
  EXPECT_EQ(a.x, 5);
  Other o;
  try {
    a.CopyFrom(&o);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a Other to a Point");
  }
  EXPECT_THROW(a.CopyFrom(nullptr), EConvertError);
}

struct Watcher : TComponent {
  using TComponent::TComponent;
  TComponent* removed = nullptr;
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove) removed = c;
  }
};
struct Counted : TComponent {
  Counted(TComponent* owner, int& alive) : TComponent(owner), alive_(alive) { ++alive_; }
  ~Counted() override { --alive_; }
  int& alive_;
};

TEST(Component, OwnerFreesWhatItOwnsAndOthersAreTold) {
  int alive = 0;
  auto watcher = std::make_unique<Watcher>(nullptr);
  {
    TComponent owner(nullptr);
    auto* a = new Counted(&owner, alive);
    a->SetName("First");
    new Counted(&owner, alive);
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.FindComponent("FIRST"), a);
    watcher->FreeNotification(a);
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);
  EXPECT_NE(watcher->removed, nullptr);
}

TEST(Component, DeletingAnOwnedComponentTakesItOffItsOwner) {
  int alive = 0;
  TComponent owner(nullptr);
  auto* a = new Counted(&owner, alive);
  delete a;
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(alive, 0);
}

struct Item : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  int value = 0;
  void SetValue(int v) {
    value = v;
    Changed(false);
  }
  void CopyFrom(const TPersistent* s) override {
    if (auto* i = dynamic_cast<const Item*>(s)) value = i->value;
    else TCollectionItem::CopyFrom(s);
  }
};
struct ItemList : TCollection {
  ItemList() : TCollection([](TCollection* c) { return new Item(c); }) {}
  std::vector<TCollectionItem*> updates;
  void Update(TCollectionItem* item) override { updates.push_back(item); }
};

TEST(Collection, ItemChangesReachTheUpdateHookUnlessUpdating) {
  ItemList c;
  auto* a = static_cast<Item*>(c.Add());
  auto* b = static_cast<Item*>(c.Add());
  EXPECT_EQ(c.updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));
  c.updates.clear();
  b->SetValue(3);
  EXPECT_EQ(c.updates, (std::vector<TCollectionItem*>{b}));
  c.updates.clear();
  c.BeginUpdate();
  a->SetValue(1);
  c.Delete(1);
  EXPECT_TRUE(c.updates.empty());
  c.EndUpdate();
  EXPECT_EQ(c.updates, (std::vector<TCollectionItem*>{nullptr}));
  EXPECT_EQ(a->Index(), 0);
  EXPECT_THROW(c.Items(1), EListError);
}

TEST(Collection, CopyFromCopiesItemsInOrder) {
  ItemList a, b;
  static_cast<Item*>(a.Add())->value = 1;
  static_cast<Item*>(a.Add())->value = 2;
  b.Add();
  b.updates.clear();
  b.CopyFrom(&a);
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b.ItemAs<Item>(0)->value, 1);
  EXPECT_EQ(b.ItemAs<Item>(1)->value, 2);
  EXPECT_EQ(b.updates.size(), 1u); // one change for the whole copy
}

TEST(StringList, SortedListIgnoresDuplicatesWithoutRegardToCase) {
  TStringList list(true, TDuplicates::dupIgnore);
  list.Add("end");
  list.Add("Begin");
  list.Add("BEGIN");
  list.Add("case");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], "Begin");
  EXPECT_EQ(list[1], "case");
  EXPECT_EQ(list[2], "end");
  EXPECT_EQ(list.IndexOf("CASE"), 1);
  EXPECT_EQ(list.IndexOf("else"), -1);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
}

TEST(StringList, IndexErrorsLeaveTheListUnchanged) {
  TStringList list;
  list.Add("a");
  try {
    list.Delete(1);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_STREQ(e.what(), kListIndexError);
  }
  EXPECT_THROW(list.Get(-1), EStringListError);
  EXPECT_THROW(list.Exchange(0, 3), EStringListError);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "a");
}

TEST(StringList, TextJoinsWithCrLfAndSetTextSplits) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST(CompareText, FoldsAsciiButNotTrailBytes) {
  EXPECT_EQ(CompareText("Begin", "BEGIN"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  // ア (83 41) and ヂ (83 61) differ only in a trail byte that looks like
  // a letter: they are different characters.
  EXPECT_NE(CompareText("\x83\x41", "\x83\x61"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
}

struct Target {
  int hits = 0;
  void On(TObject*) { ++hits; }
  void Other(TObject*) {}
};

TEST(Event, MethodIdentityIsObjectAndMethod) {
  Target t, u;
  auto a = TNotifyEvent::Of(&t, &Target::On);
  EXPECT_TRUE(a.SameMethod(TNotifyEvent::Of(&t, &Target::On)));
  EXPECT_FALSE(a.SameMethod(TNotifyEvent::Of(&u, &Target::On)));
  EXPECT_FALSE(a.SameMethod(TNotifyEvent::Of(&t, &Target::Other)));
  TNotifyEvent lambda = [](TObject*) {};
  EXPECT_FALSE(lambda.SameMethod(lambda));
  a(nullptr);
  EXPECT_EQ(t.hits, 1);
  EXPECT_FALSE(TNotifyEvent());
}

} // namespace
} // namespace ze
