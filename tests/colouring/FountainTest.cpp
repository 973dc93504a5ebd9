#include "colouring/Fountain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colouring/EditorFountain.h"
#include "text/ComponentStore.h"

namespace ze {
namespace {

// Counts the notifications a fountain sends to its listeners.
struct Listener {
  explicit Listener(TFountain& f) : fountain(f) {
    f.NotifyEventList()->Add(TNotifyEvent::Of(this, &Listener::Changed));
  }
  void Changed(TObject* sender) {
    EXPECT_EQ(sender, &fountain);
    ++count;
  }
  TFountain& fountain;
  int count = 0;
};

std::unique_ptr<TEditorFountain> NewFountain() {
  return Create<TEditorFountain>(nullptr);
}

TEST(FountainColor, NotifiesOncePerRealChange) {
  TFountainColor c;
  int changes = 0;
  c.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &c);
    ++changes;
  };
  c.SetColor(clNone);
  c.SetBkColor(clNone);
  c.SetStyle(0);
  EXPECT_EQ(changes, 0);
  c.SetColor(0x0000FF);
  c.SetColor(0x0000FF);
  EXPECT_EQ(changes, 1);
  c.SetBkColor(0x00FF00);
  c.SetStyle(FontStyles({fsBold, fsItalic}));
  EXPECT_EQ(changes, 3);
  c.BeginUpdate();
  c.SetColor(1);
  c.SetColor(2);
  EXPECT_EQ(changes, 3);
  c.EndUpdate();
  EXPECT_EQ(changes, 4);
}

TEST(FountainColor, CopyFromCopiesAllThreeWithOneNotificationAndRefusesOtherClasses) {
  TFountainColor a, b;
  a.SetBkColor(1);
  a.SetColor(2);
  a.SetStyle(FontStyles({fsUnderline}));
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.CopyFrom(&a);
  EXPECT_EQ(b.BkColor(), 1u);
  EXPECT_EQ(b.Color(), 2u);
  EXPECT_EQ(b.Style(), FontStyles({fsUnderline}));
  EXPECT_EQ(changes, 1);
  TNotifyPersistent other;
  EXPECT_THROW(b.CopyFrom(&other), EConvertError);
  EXPECT_EQ(b.Color(), 2u);
}

TEST(FountainBrackets, ItemColourAndStringChangesReachTheListenersOnce) {
  auto f = NewFountain();
  Listener l(*f);
  TFountainBracketItem* item = f->Brackets()->Add();
  EXPECT_EQ(l.count, 1); // the new item
  item->SetLeftBracket("(*");
  item->SetRightBracket("*)");
  EXPECT_EQ(l.count, 3);
  item->SetLeftBracket("(*");
  EXPECT_EQ(l.count, 3);
  item->ItemColor()->SetColor(0xFF);
  EXPECT_EQ(l.count, 4);
  item->ItemColor()->SetColor(0xFF);
  EXPECT_EQ(l.count, 4);

  TFountainColor red;
  red.SetColor(0x0000FF);
  red.SetStyle(FontStyles({fsBold}));
  item->SetItemColor(&red);
  EXPECT_EQ(item->ItemColor()->Style(), FontStyles({fsBold}));
  EXPECT_EQ(l.count, 5);
}

TEST(FountainBrackets, AddingTellsListenersOnlyOnceTheItemIsComplete) {
  auto f = NewFountain();
  int seen = -1;
  f->NotifyEventList()->Add([&](TObject*) {
    // A listener that looks at every item, as an editor recomputing its
    // metrics does, must find the new item whole.
    seen = 0;
    for (int i = 0; i < f->Brackets()->Count(); ++i)
      seen += f->Brackets()->Items(i)->ItemColor() != nullptr;
  });
  f->Brackets()->Add();
  EXPECT_EQ(seen, 1);
}

TEST(FountainBrackets, AFifteenthItemIsRefusedWithTheLimitMessage) {
  auto f = NewFountain();
  for (int i = 0; i < 14; ++i)
    f->Brackets()->Add();
  try {
    f->Brackets()->Add();
    FAIL() << "the fifteenth item was accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TFountainBracketCollection\r\nYou can not add item over 14");
  }
  EXPECT_EQ(f->Brackets()->Count(), 14);
  EXPECT_EQ(f->Brackets()->UpdateCount(), 0);
}

TEST(FountainBrackets, AssignCopiesItemsInOrderWithOneNotification) {
  auto a = NewFountain(), b = NewFountain();
  for (const char* s : {"{", "(*", "/*"}) {
    auto* item = a->Brackets()->Add();
    item->SetLeftBracket(s);
    item->SetRightBracket(std::string(s) + "end");
    item->ItemColor()->SetColor(static_cast<TColor>(item->Index() + 10));
  }
  b->Brackets()->Add()->SetLeftBracket("old");
  Listener l(*b);
  b->SetBrackets(a->Brackets());
  EXPECT_EQ(l.count, 1);
  ASSERT_EQ(b->Brackets()->Count(), 3);
  EXPECT_EQ(b->Brackets()->Items(1)->LeftBracket(), "(*");
  EXPECT_EQ(b->Brackets()->Items(1)->RightBracket(), "(*end");
  EXPECT_EQ(b->Brackets()->Items(2)->ItemColor()->Color(), 12u);

  // Assigning a collection to itself keeps its items.
  b->SetBrackets(b->Brackets());
  EXPECT_EQ(b->Brackets()->Count(), 3);
}

TEST(FountainBrackets, AssignFromALongerCollectionKeepsFourteenAndRaises) {
  auto f = NewFountain();
  TFountainBracketCollection longer(nullptr);
  for (int i = 0; i < 16; ++i) // items made directly are not counted by Add
    (new TFountainBracketItem(&longer))->SetLeftBracket(std::to_string(i));
  Listener l(*f);
  EXPECT_THROW(f->SetBrackets(&longer), Exception);
  EXPECT_EQ(f->Brackets()->Count(), 14);
  EXPECT_EQ(f->Brackets()->Items(13)->LeftBracket(), "13");
  EXPECT_EQ(f->Brackets()->UpdateCount(), 0);
  EXPECT_EQ(l.count, 1);
}

TEST(FountainReserveWords, SortedCaseInsensitiveAndFirstSpellingKept) {
  auto f = NewFountain();
  TStringList words;
  for (const char* w : {"Begin", "end", "BEGIN", "+", "and"})
    words.Add(w);
  f->SetReserveWordList(&words);
  TStringList* list = f->ReserveWordList();
  ASSERT_EQ(list->Count(), 4);
  EXPECT_EQ(list->Get(0), "+");
  EXPECT_EQ(list->Get(1), "and");
  EXPECT_EQ(list->Get(2), "Begin");
  EXPECT_EQ(list->Get(3), "end");
  EXPECT_GE(list->IndexOf("bEgIn"), 0);
}

TEST(FountainReserveWords, SettingTheListAlwaysNotifies) {
  auto f = NewFountain();
  TStringList words;
  words.Add("begin");
  Listener l(*f);
  f->SetReserveWordList(&words);
  f->SetReserveWordList(&words);
  EXPECT_EQ(l.count, 2);
}

// Records the order in which construction runs the virtual factories and
// what exists at each step.
class TRecordingFountain : public TEditorFountain {
public:
  std::vector<std::string> log;

protected:
  using TEditorFountain::TEditorFountain;
  template <class T, class... A> friend std::unique_ptr<T> Create(A&&...);

  std::unique_ptr<TFountainBracketCollection> CreateBrackets() override {
    log.push_back(NotifyEventList() ? "brackets after list" : "brackets before list");
    return TEditorFountain::CreateBrackets();
  }
  void InitBracketItems() override {
    log.push_back("init brackets");
    auto* item = Brackets()->Add();
    item->SetLeftBracket("{");
    item->SetRightBracket("}");
  }
  void InitReserveWordList() override {
    log.push_back(Reserve() ? "words after colours" : "words before colours");
    ReserveWordList()->Add("begin");
  }
  void CreateFountainColors() override {
    log.push_back("colours");
    TEditorFountain::CreateFountainColors();
  }
  std::unique_ptr<TEditorColors> CreateEditorColors() override {
    log.push_back(Reserve() ? "editor colours after reserve" : "editor colours first");
    return TEditorFountain::CreateEditorColors();
  }
};

TEST(Fountain, ConstructionRunsTheFactoriesOfTheMostDerivedClassInOrder) {
  auto f = Create<TRecordingFountain>(nullptr);
  EXPECT_EQ(f->log, (std::vector<std::string>{"brackets after list", "init brackets",
                                              "words before colours", "colours",
                                              "editor colours after reserve"}));
  EXPECT_EQ(f->Brackets()->Count(), 1);
  EXPECT_EQ(f->ReserveWordList()->Count(), 1);
  ASSERT_NE(f->Colors(), nullptr);
  EXPECT_EQ(f->Colors()->Reserve(), f->Reserve());
  // Colours made by the factory report to the listeners.
  Listener l(*f);
  f->Reserve()->SetColor(1);
  f->Brackets()->Items(0)->ItemColor()->SetColor(1);
  EXPECT_EQ(l.count, 2);
}

TEST(Fountain, HasItalicFontStyleVisitsReserveBracketsAndColors) {
  auto f = NewFountain();
  EXPECT_FALSE(f->HasItalicFontStyle(f.get()));
  f->Reserve()->SetStyle(FontStyles({fsBold, fsUnderline}));
  EXPECT_FALSE(f->HasItalicFontStyle(f.get()));

  f->Reserve()->SetStyle(FontStyles({fsItalic}));
  EXPECT_TRUE(f->HasItalicFontStyle(f.get()));
  f->Reserve()->SetStyle(0);

  f->Brackets()->Add();
  f->Brackets()->Add()->ItemColor()->SetStyle(FontStyles({fsItalic}));
  EXPECT_TRUE(f->HasItalicFontStyle(f.get()));
  f->Brackets()->Clear();
  EXPECT_FALSE(f->HasItalicFontStyle(f.get()));

  f->Colors()->Url()->SetStyle(FontStyles({fsItalic, fsBold}));
  EXPECT_TRUE(f->HasItalicFontStyle(f.get()));
  EXPECT_TRUE(f->HasItalicFontStyle(f->Colors()));
  EXPECT_FALSE(f->HasItalicFontStyle(f->Brackets()));
}

TEST(Fountain, ApplyFountainColorsReachesCollectionItemsAndSetsOnlyTheMaskedParts) {
  auto f = NewFountain();
  auto* item = f->Brackets()->Add();
  TFountainColor source;
  source.SetBkColor(0x111111);
  source.SetColor(0x222222);
  source.SetStyle(FontStyles({fsBold}));
  f->ApplyFountainColors(f.get(), &source, TFountain::kApplyBkColor | TFountain::kApplyStyle);
  for (TFountainColor* c :
       std::vector<TFountainColor*>{item->ItemColor(), f->Reserve(), f->Colors()->Ank()}) {
    EXPECT_EQ(c->BkColor(), 0x111111u);
    EXPECT_EQ(c->Color(), clNone);
    EXPECT_EQ(c->Style(), FontStyles({fsBold}));
  }
  EXPECT_EQ(f->Colors()->Select()->BkColor(), clNavy);
}

TEST(FountainStream, FifteenBracketItemsAreAReadErrorAndTheFountainKeepsItsOwn) {
  auto f = NewFountain();
  f->Brackets()->Add()->SetLeftBracket("{");
  f->Brackets()->Items(0)->SetRightBracket("}");
  const std::string before = WriteComponentBytes(*f);
  // "ZEC1", the property "Brackets" with fifteen empty items, the end.
  std::string stream("ZEC1\x08\0\0\0Brackets\x04\x40\0\0\0\x0F\0", 23);
  stream += std::string(66, '\0');
  ASSERT_EQ(stream.size(), 89u);
  try {
    ReadComponentBytes(*f, stream);
    FAIL() << "fifteen bracket items were read";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("over 14"), std::string::npos) << e.what();
  }
  ASSERT_EQ(f->Brackets()->Count(), 1);
  EXPECT_EQ(f->Brackets()->Items(0)->LeftBracket(), "{");
  EXPECT_EQ(f->Brackets()->Items(0)->RightBracket(), "}");
  EXPECT_EQ(WriteComponentBytes(*f), before);
  EXPECT_FALSE(f->Loading());
}

} // namespace
} // namespace ze
