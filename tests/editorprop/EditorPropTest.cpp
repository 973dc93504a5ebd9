// The editor property store: defaults and factories, the four change
// notifications, copies with editors and stores in their order, the
// word-wrap ordering rule, and copies that go on past a failed property.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editorprop/EditorProp.h"
#include "tests/editor/EditorFixture.h"

namespace ze {
namespace {

using test::EditorFixture;

std::vector<std::string> Words(const TStrings& l) {
  std::vector<std::string> out;
  for (int i = 0; i < l.Count(); ++i) out.emplace_back(l[i].view());
  return out;
}

// A store that records its factory calls and substitutes its own caret.
class TMyCaret : public TEditorCaret {};
class TRecordingProp : public TEditorProp {
public:
  using TEditorProp::TEditorProp;
  std::vector<std::string> calls;

protected:
  std::unique_ptr<TEditorCaret> CreateEditorCaret() override {
    calls.push_back("Caret");
    return std::make_unique<TMyCaret>();
  }
  std::unique_ptr<TEditorImagebar> CreateImagebar() override {
    calls.push_back("Imagebar");
    return TEditorProp::CreateImagebar();
  }
  std::unique_ptr<TEditorLeftbar> CreateLeftbar() override {
    calls.push_back("Leftbar");
    return TEditorProp::CreateLeftbar();
  }
  std::unique_ptr<TEditorMargin> CreateMargin() override {
    calls.push_back("Margin");
    return TEditorProp::CreateMargin();
  }
  std::unique_ptr<TEditorMarks> CreateMarks() override {
    calls.push_back("Marks");
    return TEditorProp::CreateMarks();
  }
  std::unique_ptr<TEditorRuler> CreateRuler() override {
    calls.push_back("Ruler");
    return TEditorProp::CreateRuler();
  }
  std::unique_ptr<TEditorSpeed> CreateSpeed() override {
    calls.push_back("Speed");
    return TEditorProp::CreateSpeed();
  }
  std::unique_ptr<TEditorViewInfo> CreateViewInfo() override {
    calls.push_back("View");
    return TEditorProp::CreateViewInfo();
  }
  std::unique_ptr<TEditorWrapOption> CreateWrapOption() override {
    calls.push_back("WrapOption");
    return TEditorProp::CreateWrapOption();
  }
};

TEST(EditorProp, StartsWithSystemColoursAndFixedSysFromItsFactories) {
  auto p = Create<TRecordingProp>(nullptr);
  EXPECT_EQ(p->calls, (std::vector<std::string>{"Caret", "Imagebar", "Leftbar", "Margin", "Marks",
                                                "Ruler", "View", "Speed", "WrapOption"}));
  EXPECT_NE(dynamic_cast<TMyCaret*>(p->Caret()), nullptr);
  EXPECT_EQ(p->Color(), 0xFF000005u);
  EXPECT_EQ(p->Font().Color, 0xFF000008u);
  EXPECT_EQ(p->Font().Name, "FixedSys");
  EXPECT_EQ(p->View()->GetOwner(), p.get());
}

TEST(EditorProp, NotificationsFireOnlyWhenTheValueChanges) {
  auto p = Create<TEditorProp>(nullptr);
  std::vector<std::string> log;
  p->OnColorChange = [&](TObject* s) { log.push_back(s == p.get() ? "color" : "?"); };
  p->OnHitStyleChange = [&](TObject*) { log.push_back("hit " + std::to_string(p->HitStyle())); };
  p->OnScrollBarsChange = [&](TObject*) { log.push_back("scroll"); };
  p->OnWordWrapChange = [&](TObject*) { log.push_back(p->WordWrap() ? "wrap on" : "wrap off"); };
  p->SetColor(p->Color());
  p->SetHitStyle(p->HitStyle());
  p->SetScrollBars(p->ScrollBars());
  p->SetWordWrap(p->WordWrap());
  EXPECT_TRUE(log.empty());
  p->SetColor(clWhite);
  p->SetHitStyle(hsCaret);
  p->SetScrollBars(ssVertical);
  p->SetWordWrap(true);
  p->SetColor(clWhite);
  EXPECT_EQ(log, (std::vector<std::string>{"color", "hit 2", "scroll", "wrap on"}));
}

TEST(EditorProp, ReservedWordsAreSortedWithoutDuplicates) {
  auto p = Create<TEditorProp>(nullptr);
  TStringList words;
  for (const char* w : {"while", "if", "begin", "if", "WHILE"}) words.Add(ByteString(w));
  p->SetReserveWordList(&words);
  EXPECT_EQ(Words(*p->ReserveWordList()), (std::vector<std::string>{"begin", "if", "while"}));
}

struct EditorPropWithEditor : EditorFixture {
  std::unique_ptr<TEditorProp> prop = Create<TEditorProp>(nullptr);
  TEditorProp& p = *prop;

  // What word wrap was when the editor's wrap width changed.
  std::vector<bool> WrapStateAtWidthChanges() {
    auto seen = std::make_shared<std::vector<bool>>();
    TNotifyEvent previous = e.WrapOption()->OnChange;
    e.WrapOption()->OnChange = [this, seen, previous](TObject* s) {
      seen->push_back(e.WordWrap());
      if (previous) previous(s);
    };
    seenWrap = seen;
    return {};
  }
  std::shared_ptr<std::vector<bool>> seenWrap;
};

TEST_F(EditorPropWithEditor, CopiesEveryPropertyOntoAnEditorAndBack) {
  p.SetColor(0x102030);
  p.Caret()->SetTabSpaceCount(4);
  TFontDesc f = p.Font();
  f.Name = "IPAGothic";
  f.Size = 14;
  p.SetFont(f);
  p.SetHitStyle(hsDraw);
  p.Imagebar()->SetVisible(false);
  p.Leftbar()->SetVisible(true);
  p.Margin()->SetLeft(5);
  p.Marks()->RetMark()->SetVisible(true);
  TStringList words;
  words.Add(ByteString("return"));
  p.SetReserveWordList(&words);
  p.Ruler()->SetVisible(true);
  p.SetScrollBars(ssHorizontal);
  p.Speed()->SetCaretVerticalAc(4);
  p.View()->SetCommenter(ByteString("//"));
  p.SetWordWrap(true);
  p.WrapOption()->SetWrapByte(40);

  p.CopyTo(&e);
  EXPECT_EQ(e.Color(), 0x102030u);
  EXPECT_EQ(e.Caret()->TabSpaceCount(), 4);
  EXPECT_EQ(e.Font().Name, "IPAGothic");
  EXPECT_EQ(e.Font().Size, 14);
  EXPECT_EQ(e.HitStyle(), hsDraw);
  EXPECT_FALSE(e.Imagebar()->Visible());
  EXPECT_TRUE(e.Leftbar()->Visible());
  EXPECT_EQ(e.Margin()->Left(), 5);
  EXPECT_TRUE(e.Marks()->RetMark()->Visible());
  EXPECT_EQ(Words(*e.ReserveWordList()), std::vector<std::string>{"return"});
  EXPECT_TRUE(e.Ruler()->Visible());
  EXPECT_EQ(e.ScrollBars(), ssHorizontal);
  EXPECT_EQ(e.Speed()->CaretVerticalAc(), 4);
  EXPECT_EQ(e.View()->Commenter(), ByteString("//"));
  EXPECT_TRUE(e.WordWrap());
  EXPECT_EQ(e.WrapOption()->WrapByte(), 40);

  auto back = Create<TEditorProp>(nullptr);
  back->CopyFrom(&e);
  EXPECT_EQ(back->Color(), 0x102030u);
  EXPECT_EQ(back->Caret()->TabSpaceCount(), 4);
  EXPECT_EQ(back->Font(), e.Font());
  EXPECT_EQ(back->HitStyle(), hsDraw);
  EXPECT_EQ(back->Margin()->Left(), 5);
  EXPECT_EQ(Words(*back->ReserveWordList()), std::vector<std::string>{"return"});
  EXPECT_EQ(back->ScrollBars(), ssHorizontal);
  EXPECT_EQ(back->View()->Commenter(), ByteString("//"));
  EXPECT_TRUE(back->WordWrap());
  EXPECT_EQ(back->WrapOption()->WrapByte(), 40);
}

TEST_F(EditorPropWithEditor, SwitchesWrappingOffBeforeTheWidthChanges) {
  SetText(std::string(100, 'a'));
  e.WrapOption()->SetWrapByte(30);
  e.SetWordWrap(true);
  ASSERT_GT(e.ListCount(), 1);
  WrapStateAtWidthChanges();
  p.SetWordWrap(false);
  p.WrapOption()->SetWrapByte(60);
  p.CopyTo(&e);
  EXPECT_EQ(*seenWrap, std::vector<bool>{false});
  EXPECT_EQ(e.ListCount(), 1);
  EXPECT_EQ(e.WrapOption()->WrapByte(), 60);
}

TEST_F(EditorPropWithEditor, SetsTheWidthBeforeSwitchingWrappingOn) {
  SetText(std::string(100, 'a'));
  WrapStateAtWidthChanges();
  p.SetWordWrap(true);
  p.WrapOption()->SetWrapByte(50);
  p.CopyTo(&e);
  EXPECT_EQ(*seenWrap, std::vector<bool>{false});
  EXPECT_TRUE(e.WordWrap());
  ASSERT_GE(e.ListCount(), 2);
  EXPECT_EQ(e.RowText(0).size(), 50u); // wrapped at 50, never at the old 80
  EXPECT_EQ(e.RowText(1).size(), 50u);
}

TEST_F(EditorPropWithEditor, ApplyingTheSameCaretKeepsTheUndoLists) {
  Focus();
  e.KeyPress('x');
  ASSERT_TRUE(e.CanUndo());
  p.CopyFrom(&e);
  p.CopyTo(&e); // as a page change does
  EXPECT_TRUE(e.CanUndo());
  e.Undo();
  EXPECT_EQ(e.RowText(0).view(), "");
  e.KeyPress('y');
  p.Caret()->SetTabSpaceCount(e.Caret()->TabSpaceCount() == 4 ? 6 : 4);
  p.CopyTo(&e); // a caret setting that really changes
  EXPECT_FALSE(e.CanUndo());
}

TEST(EditorPropCopies, StoreToStoreCopiesEveryPropertyAndTheExtensions) {
  auto a = Create<TEditorProp>(nullptr);
  auto b = Create<TEditorProp>(nullptr);
  a->SetColor(clNavy);
  a->Caret()->SetAutoIndent(false);
  a->Leftbar()->SetColumn(6);
  a->SetWordWrap(true);
  a->WrapOption()->SetWrapByte(120);
  a->FileExtList()->Add(ByteString(".txt"));
  std::vector<std::string> log;
  b->OnColorChange = [&](TObject*) { log.push_back("color"); };
  b->OnWordWrapChange = [&](TObject*) { log.push_back("wrap"); };
  b->CopyFrom(a.get());
  EXPECT_EQ(b->Color(), clNavy);
  EXPECT_FALSE(b->Caret()->AutoIndent());
  EXPECT_EQ(b->Leftbar()->Column(), 6);
  EXPECT_TRUE(b->WordWrap());
  EXPECT_EQ(b->WrapOption()->WrapByte(), 120);
  EXPECT_EQ(Words(*b->FileExtList()), std::vector<std::string>{".txt"});
  EXPECT_EQ(log, (std::vector<std::string>{"color", "wrap"}));
  auto c = Create<TEditorProp>(nullptr);
  a->CopyTo(c.get());
  EXPECT_EQ(c->Leftbar()->Column(), 6);
}

TEST(EditorPropCopies, UnrelatedClassesAreRefused) {
  auto p = Create<TEditorProp>(nullptr);
  TEditorRuler ruler;
  EXPECT_THROW(p->CopyFrom(&ruler), EConvertError);
  EXPECT_THROW(p->CopyTo(&ruler), EConvertError);
}

// Setting objects whose copy fails, to see that the copy goes on.
class TBrokenRuler : public TEditorRuler {
public:
  void CopyFrom(const TPersistent*) override { throw Exception("ルーラーが壊れています"); }
};
class TBrokenCaret : public TEditorCaret {
public:
  void CopyFrom(const TPersistent*) override { throw Exception("キャレットが壊れています"); }
};
class TEditorWithBrokenRuler : public TEditor {
public:
  using TEditor::TEditor;

protected:
  std::unique_ptr<TEditorRuler> CreateEditorRuler() override {
    return std::make_unique<TBrokenRuler>();
  }
};
class TPropWithBrokenCaret : public TEditorProp {
public:
  using TEditorProp::TEditorProp;

protected:
  std::unique_ptr<TEditorCaret> CreateEditorCaret() override {
    return std::make_unique<TBrokenCaret>();
  }
};

TEST(EditorPropCopies, AFailedPropertyLeavesTheOthersAppliedAndIsReported) {
  auto e = Create<TEditorWithBrokenRuler>(nullptr);
  e->SetWordWrap(true);
  auto p = Create<TEditorProp>(nullptr);
  p->SetScrollBars(ssVertical);
  p->Speed()->SetPageVerticalRange(3);
  p->View()->SetCommenter(ByteString("#"));
  p->SetWordWrap(false);
  p->WrapOption()->SetWrapByte(100);
  try {
    p->CopyTo(e.get());
    FAIL() << "no error raised";
  } catch (const EEditorPropCopyError& err) {
    ASSERT_EQ(err.Failures().size(), 1u);
    EXPECT_EQ(err.Failures()[0].Property, "Ruler");
    EXPECT_EQ(err.Failures()[0].Message, "ルーラーが壊れています");
    EXPECT_NE(std::string(err.what()).find("Ruler"), std::string::npos);
  }
  // Everything after the ruler was copied all the same.
  EXPECT_EQ(e->ScrollBars(), ssVertical);
  EXPECT_EQ(e->Speed()->PageVerticalRange(), 3);
  EXPECT_EQ(e->View()->Commenter(), ByteString("#"));
  EXPECT_FALSE(e->WordWrap());
  EXPECT_EQ(e->WrapOption()->WrapByte(), 100);

  // ApplyTo reports without raising.
  e->SetWordWrap(true);
  TPropCopyFailures failures = p->ApplyTo(e.get());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_FALSE(e->WordWrap());
}

TEST(EditorPropCopies, TakingFromAnEditorGoesOnPastABrokenCaret) {
  auto e = Create<TEditor>(nullptr);
  e->SetColor(clNavy);
  e->SetHitStyle(hsCaret);
  e->Margin()->SetTop(9);
  e->SetWordWrap(true);
  auto p = Create<TPropWithBrokenCaret>(nullptr);
  TPropCopyFailures failures = p->TakeFrom(e.get());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].Property, "Caret");
  EXPECT_EQ(p->Color(), clNavy);
  EXPECT_EQ(p->HitStyle(), hsCaret);
  EXPECT_EQ(p->Margin()->Top(), 9);
  EXPECT_TRUE(p->WordWrap());
  EXPECT_THROW(p->CopyFrom(e.get()), EEditorPropCopyError);
}

TEST(EditorPropCopies, PublishesItsPropertiesInOrder) {
  auto p = Create<TEditorProp>(nullptr);
  std::vector<std::string> names;
  for (const TPropInfo* info : p->PublishedProps()->All()) names.push_back(info->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"FileExtList", "Color", "Caret", "HitStyle",
                                             "Imagebar", "Leftbar", "Margin", "Marks",
                                             "ReserveWordList", "Ruler", "ScrollBars", "Speed",
                                             "View", "WordWrap", "WrapOption"}));
}

} // namespace
} // namespace ze
