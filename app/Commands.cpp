#include "app/Commands.h"

#include <stdexcept>

namespace ze {

namespace {

using C = TCommandId;

struct TButton {
  TCommandId Id;
  std::string_view Hint;
  TImage Image;
};

// Commands with a toolbar button: their hint and image.
constexpr TButton kButtons[] = {
    {C::New1, "新規作成", TImage::New},
    {C::Open1, "ファイルを開く", TImage::Open},
    {C::AddRead, "キャレット位置に追加読込み", TImage::AddRead},
    {C::Save1, "アクティブページの保存", TImage::Save},
    {C::PrintPreview, "印刷プレビュー", TImage::Preview},
    {C::Print1, "印刷", TImage::Print},
    {C::Undo1, "元に戻す", TImage::Undo},
    {C::Redo1, "やり直し", TImage::Redo},
    {C::Cut1, "切り取り", TImage::Cut},
    {C::Copy1, "コピー", TImage::Copy},
    {C::LineCopy1, "カーソル行コピー", TImage::LineCopy},
    {C::AllCopy1, "全てコピー", TImage::AllCopy},
    {C::Paste1, "貼り付け", TImage::Paste},
    {C::LineNum1, "行番号表示", TImage::LineNumbers},
    {C::Ruler1, "ルーラー表示", TImage::Ruler},
    {C::LCursor1, "ラインカーソル表示", TImage::LineCursor},
    {C::Find2, "検索", TImage::Find},
    {C::FindForward1, "前方検索", TImage::FindForward},
    {C::FindBackward1, "後方検索", TImage::FindBackward},
    {C::Replace1, "置換", TImage::Replace},
    {C::Divide1, "画面2分割", TImage::Divide},
};

// Menu items without a button that still show an image in the menu.
constexpr std::pair<TCommandId, TImage> kMenuImages[] = {
    {C::BoockMark1, TImage::Bookmark},
    {C::OptionSetting, TImage::Settings},
    {C::OpenURL, TImage::Help},
    {C::SaveAs1, TImage::Save},
};

bool IsCheckable(TCommandId id) {
  // The document's own saving format is ticked among its choices.
  if (Index(id) >= Index(C::SaveEncCp932) && Index(id) <= Index(C::LineBreakCr)) return true;
  switch (id) {
  case C::BoxSel1:
  case C::LineNum1:
  case C::Ruler1:
  case C::LCursor1:
  case C::ViewFontBar:
  case C::ViewStatusBar:
  case C::ViewFileTool:
  case C::ViewEditTool:
  case C::ViewFindTool:
  case C::ViewShowTool:
  case C::ViewWindowTool:
  case C::Divide1:
    return true;
  default:
    // The mark items show the caret row's marks.
    return (id >= C::BoockMark1 && id <= C::BoockMark5) || (id >= C::jump1 && id <= C::jump10);
  }
}

std::array<TCommandInfo, kCommandCount> MakeTable() {
  std::array<TCommandInfo, kCommandCount> t{};
  std::size_t i = 0;
#define ZE_COMMAND_INFO(id, caption, shortcut)                                                     \
  t[i] = {C::id, #id, caption, shortcut, {}, TImage::None, IsCheckable(C::id)};                    \
  ++i;
  ZE_COMMANDS(ZE_COMMAND_INFO)
#undef ZE_COMMAND_INFO
  for (const TButton& b : kButtons) {
    t[Index(b.Id)].Hint = b.Hint;
    t[Index(b.Id)].Image = b.Image;
  }
  for (const auto& [id, image] : kMenuImages)
    t[Index(id)].Image = image;
  return t;
}

const std::array<TCommandInfo, kCommandCount>& Table() {
  static const auto table = MakeTable();
  return table;
}

TMenuLine Cmd(TCommandId id) {
  return {TMenuLine::Command, id};
}
TMenuLine Sep() {
  return {TMenuLine::Separator};
}
TMenuLine Sub(std::string_view caption) {
  return {TMenuLine::SubmenuBegin, C::New1, caption};
}
TMenuLine End() {
  return {TMenuLine::SubmenuEnd};
}

std::vector<TMenuLine> Run(TCommandId first, int count) {
  std::vector<TMenuLine> lines;
  for (int n = 0; n < count; ++n)
    lines.push_back(Cmd(Nth(first, n)));
  return lines;
}

template <typename... T> std::vector<TMenuLine> Join(T&&... parts) {
  std::vector<TMenuLine> all;
  (all.insert(all.end(), parts.begin(), parts.end()), ...);
  return all;
}

} // namespace

const TCommandInfo& CommandInfo(TCommandId id) {
  return Table().at(Index(id));
}

bool CommandByName(std::string_view name, TCommandId& id) {
  for (const TCommandInfo& info : Table())
    if (info.Name == name) {
      id = info.Id;
      return true;
    }
  return false;
}

const TBarInfo& BarInfo(TBarId id) {
  static const TBarInfo bars[kBarCount] = {
      {TBarId::FontBar, "FontBar", "  フォント バー", 0, 219, C::ViewFontBar, true},
      {TBarId::FileBar, "FileBar", "  ファイル ツール", 1, -6, C::ViewFileTool, true},
      {TBarId::EditBar, "EditBar", "  編集 ツール", 1, 176, C::ViewEditTool, true},
      {TBarId::FindBar, "FindBar", "  検索 ツール", 1, 376, C::ViewFindTool, true},
      {TBarId::IndicateBar, "IndicateBar", "  表示 ツール", 1, 499, C::ViewShowTool, true},
      {TBarId::MainBar, "MainBar", "  メニュー バー", 0, 0, C::Exit1, false},
      {TBarId::WindowBar, "WindowBar", "ウィンドウ ツール", 1, 592, C::ViewWindowTool, true},
  };
  return bars[static_cast<std::size_t>(id)];
}

const std::vector<TMenuInfo>& MainMenus() {
  static const std::vector<TMenuInfo> menus = {
      {"ファイル(&F)",
       Join(std::vector<TMenuLine>{Cmd(C::New1), Cmd(C::Open1), Cmd(C::AddRead), Cmd(C::Clear1),
                                   Cmd(C::ClosePage), Sub(" 文字コードを指定して開き直す")},
            Run(C::ReopenCp932, 7),
            std::vector<TMenuLine>{End(), Sep(), Cmd(C::Save1), Cmd(C::SaveAs1),
                                   Sub("   保存する文字コード")},
            Run(C::SaveEncCp932, 7), std::vector<TMenuLine>{End(), Sub("   改行コード")},
            Run(C::LineBreakCrLf, 3),
            std::vector<TMenuLine>{End(), Sep(), Cmd(C::PrintPreview), Cmd(C::Print1),
                                   Cmd(C::PrintSetup1), Cmd(C::PrinterSetting), Sep(),
                                   Cmd(C::Exit1)})},
      {"編集(&E)",
       {Cmd(C::Undo1),
        Cmd(C::Redo1),
        Sep(),
        Cmd(C::Cut1),
        Cmd(C::Copy1),
        Cmd(C::LineCopy1),
        Cmd(C::AllCopy1),
        Cmd(C::Paste1),
        Sep(),
        Cmd(C::BoxSel1),
        Cmd(C::BoxPaste1),
        Cmd(C::SelectAll1),
        Sep(),
        Cmd(C::ExChangeUpperL),
        Cmd(C::ExChangeLowerL),
        Cmd(C::DoubleRow),
        Sep(),
        Cmd(C::ExchangeB),
        Cmd(C::ExchangeS),
        Sep(),
        Cmd(C::DeleteToHed),
        Cmd(C::DeleteToEnd),
        Cmd(C::Delete1Line),
        Sep(),
        Cmd(C::ShortDate1),
        Cmd(C::LongDate1)}},
      {"検索(&S)",
       {Cmd(C::Find2), Cmd(C::FindForward1), Cmd(C::FindBackward1), Sep(), Cmd(C::Replace1)}},
      {"表示(&V)",
       {Cmd(C::LineNum1), Cmd(C::Ruler1), Cmd(C::LCursor1), Sep(), Cmd(C::ViewFontBar),
        Cmd(C::ViewStatusBar), Sub("   ツールボタン"), Cmd(C::ViewFileTool), Cmd(C::ViewEditTool),
        Cmd(C::ViewFindTool), Cmd(C::ViewShowTool), Cmd(C::ViewWindowTool), End()}},
      {"マーク(&M)",
       Join(Run(C::BoockMark1, 5),
            std::vector<TMenuLine>{Sep(), Cmd(C::BeforeBoockMark), Cmd(C::NextBoockMark),
                                   Cmd(C::DelBoockMarks), Sep(), Sub("ジャンプマーク設定")},
            Run(C::jump1, 10), std::vector<TMenuLine>{End(), Sub(" マークにジャンプ")},
            Run(C::GoMark1, 10), std::vector<TMenuLine>{End(), Cmd(C::DelJumpMarks)})},
      {"ツール(&T)", {Cmd(C::OptionSetting), Cmd(C::ReserveWordEdit), Cmd(C::BrowserOpen)}},
      {"ウィンドウ(&W)", {Cmd(C::Divide1)}},
      {"ヘルプ(&H)", {Cmd(C::OpenURL), Cmd(C::Verify_ver), Sep(), Cmd(C::About1)}},
  };
  return menus;
}

const std::vector<TMenuLine>& ToolbarLines(TBarId bar) {
  static const std::vector<TMenuLine> none;
  static const std::vector<TMenuLine> file = {Cmd(C::New1),  Cmd(C::Open1), Cmd(C::AddRead),
                                              Cmd(C::Save1), Sep(),         Cmd(C::PrintPreview),
                                              Cmd(C::Print1)};
  static const std::vector<TMenuLine> edit = {Cmd(C::Undo1),    Cmd(C::Redo1), Sep(),
                                              Cmd(C::Cut1),     Cmd(C::Copy1), Cmd(C::LineCopy1),
                                              Cmd(C::AllCopy1), Cmd(C::Paste1)};
  static const std::vector<TMenuLine> indicate = {Cmd(C::LineNum1), Cmd(C::Ruler1),
                                                  Cmd(C::LCursor1)};
  static const std::vector<TMenuLine> find = {Cmd(C::Find2), Cmd(C::FindForward1),
                                              Cmd(C::FindBackward1), Sep(), Cmd(C::Replace1)};
  static const std::vector<TMenuLine> window = {Cmd(C::Divide1)};
  switch (bar) {
  case TBarId::FileBar:
    return file;
  case TBarId::EditBar:
    return edit;
  case TBarId::IndicateBar:
    return indicate;
  case TBarId::FindBar:
    return find;
  case TBarId::WindowBar:
    return window;
  default:
    return none;
  }
}

const std::vector<TMenuLine>& ContextMenuLines() {
  static const std::vector<TMenuLine> lines = {
      Cmd(C::Undo1),
      Cmd(C::Redo1),
      Sep(),
      Cmd(C::Cut1),
      Cmd(C::Copy1),
      Cmd(C::LineCopy1),
      Cmd(C::AllCopy1),
      TMenuLine{TMenuLine::Command, C::Paste1, " 貼付け(&P)"},
      Cmd(C::BoxSel1),
      Cmd(C::BoxPaste1),
      Cmd(C::SelectAll1),
      Sep(),
      Cmd(C::ExChangeUpperL),
      Cmd(C::ExChangeLowerL),
      Cmd(C::DoubleRow),
      Sep(),
      Cmd(C::ExchangeB),
      Cmd(C::ExchangeS),
      Sep(),
      Cmd(C::DeleteToHed),
      Cmd(C::DeleteToEnd),
      Cmd(C::Delete1Line),
      Sep(),
      Cmd(C::ShortDate1),
      Cmd(C::LongDate1),
      Sep(),
      Cmd(C::Find2),
      Cmd(C::FindForward1),
      Cmd(C::FindBackward1),
      Cmd(C::Replace1),
      Sep(),
      Cmd(C::AddRead),
      Cmd(C::ClosePage)};
  return lines;
}

} // namespace ze
