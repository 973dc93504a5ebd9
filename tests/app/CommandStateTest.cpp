// The command table and the enabled/checked rules, without a window.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/CommandState.h"
#include "app/Commands.h"

namespace ze {
namespace {

using C = TCommandId;

TCommandSnapshot AllAvailable() {
  TCommandSnapshot s;
  s.Available.set();
  return s;
}

// An editable document with two lines, the caret inside the first one.
TCommandSnapshot Editing() {
  TCommandSnapshot s = AllAvailable();
  s.HasEditor = true;
  s.HasLines = true;
  s.PageCount = 1;
  s.CaretRow = 0;
  s.CaretCol = 3;
  s.CaretRowEndCol = 10;
  return s;
}

bool On(const TCommandStates& st, C id) {
  return st[Index(id)].Enabled;
}
bool Checked(const TCommandStates& st, C id) {
  return st[Index(id)].Checked;
}

TEST(CommandTable, NamesCaptionsAndShortcutsOfTheMenus) {
  TCommandId id{};
  ASSERT_TRUE(CommandByName("Save1", id));
  EXPECT_EQ(id, C::Save1);
  EXPECT_EQ(CommandInfo(C::Save1).Caption, " 上書き保存(&S)");
  EXPECT_EQ(CommandInfo(C::Save1).ShortCut, "Ctrl+S");
  EXPECT_EQ(CommandInfo(C::Redo1).ShortCut, "Ctrl+Shift+Z");
  EXPECT_EQ(CommandInfo(C::FindBackward1).Caption, "　 後方検索");
  EXPECT_EQ(CommandInfo(C::jump10).Caption, "ジャンプマーク10 設定");
  EXPECT_EQ(CommandInfo(C::jump10).ShortCut, "Ctrl+0");
  EXPECT_EQ(CommandInfo(C::GoMark10).ShortCut, "Ctrl+F10");
  EXPECT_EQ(CommandInfo(C::OpenURL).ShortCut, "F1");
  EXPECT_FALSE(CommandByName("NoSuchItem", id));
  // Names are unique, and every id maps back to itself.
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    EXPECT_EQ(CommandInfo(CommandAt(i)).Id, CommandAt(i));
    EXPECT_TRUE(names.insert(CommandInfo(CommandAt(i)).Name).second);
  }
}

TEST(CommandTable, NoTwoCommandsShareAShortcut) {
  std::set<std::string_view> seen;
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    std::string_view sc = CommandInfo(CommandAt(i)).ShortCut;
    if (!sc.empty()) {
      EXPECT_TRUE(seen.insert(sc).second) << sc;
    }
  }
}

TEST(CommandTable, EveryCommandIsReachableFromTheMenuBar) {
  std::set<C> inMenus;
  int depth = 0;
  for (const TMenuInfo& m : MainMenus())
    for (const TMenuLine& line : m.Lines) {
      if (line.Kind == TMenuLine::Command) inMenus.insert(line.Id);
      depth += line.Kind == TMenuLine::SubmenuBegin ? 1
               : line.Kind == TMenuLine::SubmenuEnd ? -1
                                                    : 0;
      EXPECT_GE(depth, 0);
    }
  EXPECT_EQ(depth, 0);
  for (std::size_t i = 0; i < kCommandCount; ++i)
    EXPECT_TRUE(inMenus.count(CommandAt(i))) << CommandInfo(CommandAt(i)).Name;
}

TEST(CommandTable, ToolbarButtonsCarryHintsAndTheContextMenuItsOrder) {
  const auto& file = ToolbarLines(TBarId::FileBar);
  ASSERT_EQ(file.size(), 7u);
  EXPECT_EQ(CommandInfo(file[2].Id).Hint, "キャレット位置に追加読込み");
  EXPECT_EQ(file[4].Kind, TMenuLine::Separator);
  EXPECT_EQ(CommandInfo(ToolbarLines(TBarId::WindowBar)[0].Id).Hint, "画面2分割");
  for (TBarId bar : {TBarId::FileBar, TBarId::EditBar, TBarId::FindBar, TBarId::IndicateBar})
    for (const TMenuLine& line : ToolbarLines(bar))
      if (line.Kind == TMenuLine::Command) {
        EXPECT_FALSE(CommandInfo(line.Id).Hint.empty());
        EXPECT_NE(CommandInfo(line.Id).Image, TImage::None);
      }
  const auto& ctx = ContextMenuLines();
  EXPECT_EQ(ctx.front().Id, C::Undo1);
  EXPECT_EQ(ctx.back().Id, C::ClosePage);
  EXPECT_EQ(ctx[ctx.size() - 2].Id, C::AddRead);
  EXPECT_EQ(ctx[7].Id, C::Paste1);
  EXPECT_EQ(ctx[7].Caption, " 貼付け(&P)");
  EXPECT_EQ(BarInfo(TBarId::FontBar).Pos, 219);
  EXPECT_FALSE(BarInfo(TBarId::MainBar).Closable);
}

TEST(CommandState, WithoutAPageOnlyTheWindowCommandsRun) {
  TCommandSnapshot s = AllAvailable(); // no editor
  s.ClipboardHasText = true;
  const TCommandStates st = ComputeCommandStates(s);
  for (C id : {C::New1, C::Open1, C::Exit1, C::About1, C::OpenURL, C::ViewFontBar})
    EXPECT_TRUE(On(st, id));
  for (C id : {C::Save1, C::SaveAs1, C::Undo1, C::Paste1, C::Copy1, C::LineNum1, C::Divide1,
               C::Find2, C::ClosePage, C::AddRead, C::BoockMark1, C::Print1})
    EXPECT_FALSE(On(st, id)) << CommandInfo(id).Name;
}

TEST(CommandState, CommandsWithoutAHandlerStayDisabled) {
  TCommandSnapshot s = Editing();
  s.Available.reset(Index(C::Find2));
  s.Available.reset(Index(C::LineCopy1));
  const TCommandStates st = ComputeCommandStates(s);
  EXPECT_FALSE(On(st, C::Find2));
  EXPECT_FALSE(On(st, C::LineCopy1));
  EXPECT_TRUE(On(st, C::FindForward1));
  EXPECT_TRUE(On(st, C::AllCopy1));
}

TEST(CommandState, SelectionAndReadOnlyRules) {
  TCommandSnapshot s = Editing();
  EXPECT_FALSE(On(ComputeCommandStates(s), C::Copy1));
  s.HasSelection = true;
  TCommandStates st = ComputeCommandStates(s);
  for (C id : {C::Copy1, C::Cut1, C::ExchangeB, C::ExchangeS})
    EXPECT_TRUE(On(st, id));
  s.ReadOnly = true;
  s.ClipboardHasText = true;
  st = ComputeCommandStates(s);
  EXPECT_TRUE(On(st, C::Copy1)); // copying stays available on a read-only text
  for (C id : {C::Cut1, C::ExchangeB, C::ExchangeS, C::Paste1, C::BoxPaste1, C::AddRead, C::Clear1,
               C::Replace1, C::ShortDate1, C::LongDate1, C::Delete1Line})
    EXPECT_FALSE(On(st, id)) << CommandInfo(id).Name;
  EXPECT_TRUE(On(st, C::Find2));
  s.ReadOnly = false;
  EXPECT_TRUE(On(ComputeCommandStates(s), C::Paste1));
  s.ClipboardHasText = false;
  EXPECT_FALSE(On(ComputeCommandStates(s), C::Paste1));
  EXPECT_FALSE(On(ComputeCommandStates(s), C::BoxPaste1));
}

TEST(CommandState, LineCommandsFollowTheCaretAndWordWrap) {
  TCommandSnapshot s = Editing();
  TCommandStates st = ComputeCommandStates(s);
  EXPECT_FALSE(On(st, C::ExChangeUpperL)); // the first row cannot go up
  for (C id : {C::ExChangeLowerL, C::DoubleRow, C::Delete1Line, C::DeleteToHed, C::DeleteToEnd,
               C::LineCopy1, C::AllCopy1})
    EXPECT_TRUE(On(st, id)) << CommandInfo(id).Name;

  s.CaretRow = 1;
  s.CaretCol = 0;
  st = ComputeCommandStates(s);
  EXPECT_TRUE(On(st, C::ExChangeUpperL));
  EXPECT_FALSE(On(st, C::DeleteToHed)); // nothing left of the caret
  EXPECT_TRUE(On(st, C::DeleteToEnd));

  s.CaretCol = 10; // at the row's end
  EXPECT_FALSE(On(ComputeCommandStates(s), C::DeleteToEnd));

  s.CaretRowEndCol = 0; // an empty row
  s.CaretCol = 0;
  st = ComputeCommandStates(s);
  for (C id : {C::LineCopy1, C::DoubleRow, C::Delete1Line, C::ExChangeLowerL})
    EXPECT_FALSE(On(st, id)) << CommandInfo(id).Name;
  EXPECT_TRUE(On(st, C::AllCopy1));

  s = Editing();
  s.WordWrap = true;
  st = ComputeCommandStates(s);
  for (C id : {C::LineCopy1, C::AllCopy1, C::ExChangeLowerL, C::DoubleRow, C::Delete1Line,
               C::DeleteToHed, C::DeleteToEnd})
    EXPECT_FALSE(On(st, id)) << CommandInfo(id).Name;
  EXPECT_TRUE(On(st, C::SelectAll1));
}

TEST(CommandState, FileCommandsAndAnEmptyDocument) {
  TCommandSnapshot s = Editing();
  TCommandStates st = ComputeCommandStates(s);
  EXPECT_FALSE(On(st, C::Save1));     // not modified
  EXPECT_FALSE(On(st, C::ClosePage)); // the last page stays
  EXPECT_TRUE(On(st, C::SaveAs1));
  s.Modified = true;
  s.PageCount = 2;
  st = ComputeCommandStates(s);
  EXPECT_TRUE(On(st, C::Save1));
  EXPECT_TRUE(On(st, C::ClosePage));

  s = Editing();
  s.HasLines = false;
  s.CaretRowEndCol = 0;
  s.CaretCol = 0;
  st = ComputeCommandStates(s);
  for (C id : {C::SaveAs1, C::Clear1, C::SelectAll1, C::BoxSel1, C::Find2, C::FindForward1,
               C::FindBackward1, C::Replace1, C::AllCopy1})
    EXPECT_FALSE(On(st, id)) << CommandInfo(id).Name;
  EXPECT_TRUE(On(st, C::ShortDate1));
  EXPECT_TRUE(On(st, C::AddRead));
}

TEST(CommandState, ChecksComeFromTheSituation) {
  TCommandSnapshot s = Editing();
  s.CanUndo = true;
  s.BoxMode = true;
  s.LineNumbers = true;
  s.ActivePageSplit = true;
  s.BarVisible[static_cast<std::size_t>(TBarId::FindBar)] = true;
  s.StatusBarVisible = true;
  TCommandStates st = ComputeCommandStates(s);
  EXPECT_TRUE(On(st, C::Undo1));
  EXPECT_FALSE(On(st, C::Redo1));
  EXPECT_TRUE(Checked(st, C::BoxSel1));
  EXPECT_TRUE(Checked(st, C::LineNum1));
  EXPECT_FALSE(Checked(st, C::Ruler1));
  EXPECT_TRUE(Checked(st, C::Divide1));
  EXPECT_TRUE(Checked(st, C::ViewFindTool));
  EXPECT_FALSE(Checked(st, C::ViewFileTool));
  EXPECT_TRUE(Checked(st, C::ViewStatusBar));
  // The split check is the active page's: another page that is not split
  // shows no check.
  s.ActivePageSplit = false;
  EXPECT_FALSE(Checked(ComputeCommandStates(s), C::Divide1));
}

} // namespace
} // namespace ze
