#include "text/EditorSettings.h"

#include <gtest/gtest.h>

#include "text/ComponentStore.h"
#include "text/Properties.h"

namespace ze {
namespace {

template <class T> struct Counted {
  T obj;
  int changes = 0;
  Counted() {
    obj.OnChange = [this](TObject*) { ++changes; };
  }
};

TEST(EditorSettings, ClampsAndEvenSteps) {
  TEditorCaret caret;
  for (auto [in, out] : {std::pair{5, 4}, {1, 2}, {12, 8}, {7, 6}, {8, 8}}) {
    caret.SetTabSpaceCount(in);
    EXPECT_EQ(caret.TabSpaceCount(), out) << in;
  }
  TEditorRuler ruler;
  ruler.SetGaugeRange(9);
  EXPECT_EQ(ruler.GaugeRange(), 8);
  ruler.SetGaugeRange(20);
  EXPECT_EQ(ruler.GaugeRange(), 10);
  TEditorLeftbar bar;
  bar.SetColumn(0);
  EXPECT_EQ(bar.Column(), 1);
  bar.SetColumn(9);
  EXPECT_EQ(bar.Column(), 8);
  TEditorMargin margin;
  margin.SetLeft(-5);
  EXPECT_EQ(margin.Left(), 0);
  margin.SetTop(500);
  EXPECT_EQ(margin.Top(), 100);
  TEditorImagebar image;
  image.SetDigitWidth(101);
  EXPECT_EQ(image.DigitWidth(), 100);
}

TEST(EditorSettings, DefaultsAsShipped) {
  TEditorCaret caret;
  EXPECT_TRUE(caret.AutoIndent());
  EXPECT_TRUE(caret.FreeCaret());
  EXPECT_FALSE(caret.FreeRow());
  EXPECT_EQ(caret.SelDragMode(), dmAutomatic);
  EXPECT_EQ(caret.TabSpaceCount(), 8);
  EXPECT_EQ(caret.Cursors()->DefaultCursor(), -4);
  EXPECT_EQ(caret.Cursors()->LeftMarginCursor(), 1958);
  EXPECT_EQ(caret.Cursors()->DragSelCopyCursor(), 1959);
  TEditorMargin margin;
  EXPECT_EQ(margin.Left(), 19);
  EXPECT_EQ(margin.Top(), 2);
  TEditorMarks marks;
  EXPECT_EQ(marks.EofMark()->Color(), 0x808080u);
  EXPECT_FALSE(marks.Underline()->Visible());
  TEditorLeftbar bar;
  EXPECT_EQ(bar.BkColor(), 0xC0C0C0u);
  EXPECT_EQ(bar.ShowNumberMode(), nmRow);
  TEditorImagebar image;
  EXPECT_TRUE(image.Visible());
  TEditorSpeed speed;
  EXPECT_EQ(speed.PageVerticalRange(), 2);
  EXPECT_FALSE(speed.InitBracketsFull());
}

TEST(EditorSettings, NotifyOnlyOnRealChangesAndPlainSettersNever) {
  Counted<TEditorRuler> ruler;
  ruler.obj.SetVisible(false);
  EXPECT_EQ(ruler.changes, 0);
  ruler.obj.SetVisible(true);
  EXPECT_EQ(ruler.changes, 1);
  Counted<TEditorCaret> caret;
  caret.obj.SetAutoIndent(false); // plain
  caret.obj.SetTabSpaceCount(9);  // clamps to the current 8: no change
  EXPECT_EQ(caret.changes, 0);
  caret.obj.SetStyle(csBrief);
  EXPECT_EQ(caret.changes, 1);
}

TEST(EditorSettings, AMarkChangeIsAChangeOfMarks) {
  Counted<TEditorMarks> marks;
  marks.obj.RetMark()->SetColor(0x0000FF);
  EXPECT_EQ(marks.changes, 1);
  marks.obj.RetMark()->SetColor(0x0000FF);
  EXPECT_EQ(marks.changes, 1);
  TEditorMarks other;
  other.HideMark()->SetVisible(true);
  other.Underline()->SetColor(1);
  marks.obj.CopyFrom(&other);
  EXPECT_EQ(marks.changes, 2); // the whole copy is one change
  EXPECT_TRUE(marks.obj.HideMark()->Visible());
}

TEST(EditorSettings, CopyingACaretNotifiesOnceAndCopiesItsCursors) {
  Counted<TEditorCaret> caret;
  TEditorCaret source;
  source.SetTabSpaceCount(4);
  source.SetInTab(true);
  source.Cursors()->SetInSelCursor(7);
  caret.obj.CopyFrom(&source);
  EXPECT_EQ(caret.changes, 1);
  EXPECT_EQ(caret.obj.TabSpaceCount(), 4);
  EXPECT_TRUE(caret.obj.InTab());
  EXPECT_EQ(caret.obj.Cursors()->InSelCursor(), 7);
  TEditorRuler ruler;
  EXPECT_THROW(caret.obj.CopyFrom(&ruler), EConvertError);
}

TEST(EditorSettings, PublishedInDeclarationOrder) {
  TEditorMarks marks;
  std::vector<std::string> names;
  WalkProperties(&marks, KindBit(TTypeKind::tkClass),
                 [&](TObject*, const TPropInfo& p) { names.push_back(p.Name); });
  EXPECT_EQ(names, (std::vector<std::string>{"EofMark", "RetMark", "WrapMark", "HideMark",
                                             "Underline"}));
  EXPECT_EQ(TEditorCaret::ClassProps().All().size(), 18u);
  EXPECT_EQ(TEditorLeftbar::ClassProps().All().size(), 11u);
}

} // namespace
} // namespace ze

namespace ze {
namespace {

// The editor empties its undo lists on a caret change, so a copy of equal
// values must not report one.
TEST(EditorSettings, CopyingAnEqualCaretReportsNoChange) {
  Counted<TEditorCaret> caret;
  TEditorCaret same;
  caret.obj.CopyFrom(&same);
  EXPECT_EQ(caret.changes, 0);
  same.Cursors()->SetTopMarginCursor(5);
  caret.obj.CopyFrom(&same);
  EXPECT_EQ(caret.changes, 1);
  EXPECT_EQ(caret.obj.Cursors()->TopMarginCursor(), 5);
}

} // namespace
} // namespace ze
