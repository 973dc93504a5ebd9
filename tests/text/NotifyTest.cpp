#include "text/Notify.h"

#include <gtest/gtest.h>

namespace ze {
namespace {

struct Setting : TNotifyPersistent {
  int value = 0;
  void SetValue(int v) {
    if (v == value) return;
    value = v;
    Changed();
  }
};

TEST(NotifyPersistent, ChangedIsSilentWhileUpdatingAndEndUpdateAlwaysFires) {
  Setting s;
  std::vector<TObject*> senders;
  s.OnChange = [&](TObject* sender) { senders.push_back(sender); };
  s.SetValue(1);
  s.SetValue(1);
  EXPECT_EQ(senders, (std::vector<TObject*>{&s}));
  s.BeginUpdate();
  s.BeginUpdate();
  s.SetValue(2);
  s.SetValue(3);
  s.EndUpdate(); // the outer level is still open
  EXPECT_EQ(senders.size(), 1u);
  s.EndUpdate();
  EXPECT_EQ(senders.size(), 2u);
  s.BeginUpdate();
  s.EndUpdate(); // fires even though nothing changed
  EXPECT_EQ(senders.size(), 3u);
}

TEST(NotifyPersistent, ChangedProcReportsAChildsChangeAsTheOwners) {
  Setting owner, child;
  int ownerChanges = 0;
  owner.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &owner);
    ++ownerChanges;
  };
  child.OnChange = owner.ChangedProcEvent();
  child.SetValue(5);
  EXPECT_EQ(ownerChanges, 1);
  owner.ChangedProc(&owner); // its own change is not reported twice
  EXPECT_EQ(ownerChanges, 1);
}

struct Entry : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  void Touch() { Changed(false); }
};

TEST(NotifyCollection, ItemChangesAndChildChangesReachOnChange) {
  Setting owner;
  TNotifyCollection coll([](TCollection* c) { return new Entry(c); }, &owner);
  EXPECT_EQ(coll.GetOwner(), &owner);
  int changes = 0;
  coll.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &coll);
    ++changes;
  };
  auto* e = static_cast<Entry*>(coll.Add());
  EXPECT_EQ(changes, 1);
  e->Touch();
  EXPECT_EQ(changes, 2);
  Setting child;
  child.OnChange = coll.ChangedProcEvent();
  child.SetValue(1);
  EXPECT_EQ(changes, 3);
  coll.ChangedProc(&coll);
  EXPECT_EQ(changes, 3);
}

struct Listener {
  std::vector<std::string>* log;
  std::string name;
  void Heard(TObject*) { log->push_back(name); }
};

TEST(MethodList, RemoveTakesTheLaterOfTwoEqualEntries) {
  std::vector<std::string> log;
  Listener a{&log, "a"}, b{&log, "b"};
  TMethodList list;
  list.Add(TNotifyEvent::Of(&a, &Listener::Heard));
  list.Add(TNotifyEvent::Of(&b, &Listener::Heard));
  list.Add(TNotifyEvent::Of(&a, &Listener::Heard));
  list.Remove(TNotifyEvent::Of(&a, &Listener::Heard));
  ASSERT_EQ(list.Count(), 2);
  list.Method(0)(nullptr);
  list.Method(1)(nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  list.Remove(TNotifyEvent::Of(&b, &Listener::Heard));
  list.Remove(TNotifyEvent::Of(&b, &Listener::Heard)); // absent: nothing happens
  EXPECT_EQ(list.Count(), 1);
}

TEST(NotifyEventList, CallsEverySubscriberInOrderWithTheOwnerAsSender) {
  std::vector<std::string> log;
  Listener a{&log, "a"}, b{&log, "b"};
  Setting owner;
  TNotifyEventList events(&owner);
  TObject* sender = nullptr;
  events.Add(TNotifyEvent::Of(&a, &Listener::Heard));
  events.Add(TNotifyEvent::Of(&b, &Listener::Heard));
  events.Add([&](TObject* s) { sender = s; });
  events.Changed();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(sender, &owner);
  events.BeginUpdate();
  events.Changed();
  EXPECT_EQ(log.size(), 2u);
  events.EndUpdate();
  EXPECT_EQ(log.size(), 4u);
  events.Remove(TNotifyEvent::Of(&a, &Listener::Heard));
  events.Changed();
  EXPECT_EQ(log.back(), "b");
  EXPECT_EQ(log.size(), 5u);
}

TEST(NotifyEventList, SubscriberMayUnsubscribeWhileBeingTold) {
  TNotifyEventList events(nullptr);
  int calls = 0;
  struct Quitter {
    TNotifyEventList* list;
    int* calls;
    void Heard(TObject*) {
      ++*calls;
      list->Remove(TNotifyEvent::Of(this, &Quitter::Heard));
    }
  } q{&events, &calls};
  events.Add(TNotifyEvent::Of(&q, &Quitter::Heard));
  events.Changed();
  events.Changed();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(events.Count(), 0);
}

struct PascalFiles : TFileExtComponent {
  using TFileExtComponent::TFileExtComponent;
  void InitFileExtList() override {
    FileExtList()->Add(".pas");
    FileExtList()->Add(".dpr");
    FileExtList()->Add(".PAS");
  }
};

TEST(FileExtComponent, DefaultsComeFromTheDerivedHookAndStaySorted) {
  auto c = Create<PascalFiles>(nullptr);
  ASSERT_EQ(c->FileExtList()->Count(), 2);
  EXPECT_EQ(c->FileExtList()->Get(0), ".dpr");
  EXPECT_TRUE(c->HasExtension(".pas"));
  EXPECT_TRUE(c->HasExtension(".Pas"));
  EXPECT_FALSE(c->HasExtension(".txt"));
  TStringList other;
  other.Add(".txt");
  other.Add(".c");
  c->SetFileExtList(&other);
  EXPECT_EQ(c->FileExtList()->Get(0), ".c");
  EXPECT_FALSE(c->HasExtension(".pas"));
}

} // namespace
} // namespace ze
