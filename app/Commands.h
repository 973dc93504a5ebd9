#pragma once
// Every command of the main window, with the names its menu items carry,
// and the table from which the menu bar, the toolbars and the editors'
// context menu are built. Qt-free: the window turns the table into
// actions; tests read it directly.

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace ze {

// X(id, caption, shortcut): shortcuts in Qt's portable text.
#define ZE_COMMANDS(X)                                                                             \
  X(New1, " 新規作成(&N)", "Ctrl+N")                                                               \
  X(Open1, " 開く(&O)...", "Ctrl+O")                                                               \
  X(AddRead, " 追加読込み", "Ins")                                                                 \
  X(Clear1, "   クリア", "")                                                                       \
  X(ClosePage, " ページを閉じる(&C)", "Ctrl+E")                                                    \
  X(Save1, " 上書き保存(&S)", "Ctrl+S")                                                            \
  X(SaveAs1, "   名前をつけて保存(&A)...", "")                                                     \
  X(ReopenCp932, "Shift-JIS", "")                                                                  \
  X(ReopenUtf8, "UTF-8", "")                                                                       \
  X(ReopenUtf8Bom, "UTF-8 (BOM)", "")                                                              \
  X(ReopenEucJp, "EUC-JP", "")                                                                     \
  X(ReopenIso2022Jp, "JIS (ISO-2022-JP)", "")                                                      \
  X(ReopenUtf16Le, "UTF-16LE", "")                                                                 \
  X(ReopenUtf16Be, "UTF-16BE", "")                                                                 \
  X(SaveEncCp932, "Shift-JIS", "")                                                                 \
  X(SaveEncUtf8, "UTF-8", "")                                                                      \
  X(SaveEncUtf8Bom, "UTF-8 (BOM)", "")                                                             \
  X(SaveEncEucJp, "EUC-JP", "")                                                                    \
  X(SaveEncIso2022Jp, "JIS (ISO-2022-JP)", "")                                                     \
  X(SaveEncUtf16Le, "UTF-16LE", "")                                                                \
  X(SaveEncUtf16Be, "UTF-16BE", "")                                                                \
  X(LineBreakCrLf, "CR+LF (Windows)", "")                                                          \
  X(LineBreakLf, "LF (Linux/UNIX)", "")                                                            \
  X(LineBreakCr, "CR (旧Mac)", "")                                                                 \
  X(PrintPreview, " 印刷プレビュー", "")                                                           \
  X(Print1, " 印刷(&P)...", "Ctrl+P")                                                              \
  X(PrintSetup1, "   ページ 設定(&R)...", "")                                                      \
  X(PrinterSetting, "   プリンタ設定", "")                                                         \
  X(Exit1, "   終了(&X)", "Ctrl+Q")                                                                \
  X(Undo1, " 元に戻す(&U)", "Ctrl+Z")                                                              \
  X(Redo1, " やり直し(&R)", "Ctrl+Shift+Z")                                                        \
  X(Cut1, " 切り取り(&T)", "Ctrl+X")                                                               \
  X(Copy1, " コピー(&C)", "Ctrl+C")                                                                \
  X(LineCopy1, " カーソル行コピー", "Ctrl+L")                                                      \
  X(AllCopy1, " 全てコピー", "Ctrl+G")                                                             \
  X(Paste1, " 貼り付け(&P)", "Ctrl+V")                                                             \
  X(BoxSel1, "   矩形選択モード", "Ctrl+K")                                                        \
  X(BoxPaste1, "   矩形貼付け", "Ctrl+B")                                                          \
  X(SelectAll1, "   全て選択(&L)", "Ctrl+A")                                                       \
  X(ExChangeUpperL, "   カーソル行を 上に移動", "Ctrl+Up")                                         \
  X(ExChangeLowerL, "   カーソル行を 下に移動", "Ctrl+Down")                                       \
  X(DoubleRow, "   カーソル行を 多重化", "Ctrl+W")                                                 \
  X(ExchangeB, "   選択文字を 大文字に変換", "F7")                                                 \
  X(ExchangeS, "   選択文字を 小文字に変換", "F8")                                                 \
  X(DeleteToHed, "   キャレット位置→行頭 削除", "F11")                                             \
  X(DeleteToEnd, "   キャレット位置→行末 削除", "F12")                                             \
  X(Delete1Line, "   カーソル行 削除", "Ctrl+Y")                                                   \
  X(ShortDate1, " 日付け入力 Short      ", "Ctrl+D")                                               \
  X(LongDate1, "   日付け入力 Long", "")                                                           \
  X(Find2, " 検索(&F)", "Ctrl+F")                                                                  \
  X(FindForward1, "　 前方検索", "F3")                                                             \
  X(FindBackward1, "　 後方検索", "Shift+F3")                                                      \
  X(Replace1, " 置換(&R)", "Ctrl+R")                                                               \
  X(LineNum1, " 行番号", "")                                                                       \
  X(Ruler1, " ルーラー", "")                                                                       \
  X(LCursor1, " ラインカーソル", "")                                                               \
  X(ViewFontBar, "   フォントバー", "")                                                            \
  X(ViewStatusBar, "   ステ-タスバー", "")                                                         \
  X(ViewFileTool, " ファイル ツール", "")                                                          \
  X(ViewEditTool, " 編集 ツール", "")                                                              \
  X(ViewFindTool, " 検索 ツール", "")                                                              \
  X(ViewShowTool, " 表示 ツール", "")                                                              \
  X(ViewWindowTool, " ウィンドウ ツール", "")                                                      \
  X(BoockMark1, "ブックマーク 1", "Alt+1")                                                         \
  X(BoockMark2, "ブックマーク 2", "Alt+2")                                                         \
  X(BoockMark3, "ブックマーク 3", "Alt+3")                                                         \
  X(BoockMark4, "ブックマーク 4", "Alt+4")                                                         \
  X(BoockMark5, "ブックマーク 5", "Alt+5")                                                         \
  X(BeforeBoockMark, " 前のブックマークへ", "Alt+Up")                                              \
  X(NextBoockMark, " 次のブックマークへ", "Alt+Down")                                              \
  X(DelBoockMarks, " 全ブックマーク削除", "Alt+Del")                                               \
  X(jump1, "ジャンプマーク 1 設定", "Ctrl+1")                                                      \
  X(jump2, "ジャンプマーク 2 設定", "Ctrl+2")                                                      \
  X(jump3, "ジャンプマーク 3 設定", "Ctrl+3")                                                      \
  X(jump4, "ジャンプマーク 4 設定", "Ctrl+4")                                                      \
  X(jump5, "ジャンプマーク 5 設定", "Ctrl+5")                                                      \
  X(jump6, "ジャンプマーク 6 設定", "Ctrl+6")                                                      \
  X(jump7, "ジャンプマーク 7 設定", "Ctrl+7")                                                      \
  X(jump8, "ジャンプマーク 8 設定", "Ctrl+8")                                                      \
  X(jump9, "ジャンプマーク 9 設定", "Ctrl+9")                                                      \
  X(jump10, "ジャンプマーク10 設定", "Ctrl+0")                                                     \
  X(GoMark1, "ジャンプマーク 1 に移動", "Ctrl+F1")                                                 \
  X(GoMark2, "ジャンプマーク 2 に移動", "Ctrl+F2")                                                 \
  X(GoMark3, "ジャンプマーク 3 に移動", "Ctrl+F3")                                                 \
  X(GoMark4, "ジャンプマーク 4 に移動", "Ctrl+F4")                                                 \
  X(GoMark5, "ジャンプマーク 5 に移動", "Ctrl+F5")                                                 \
  X(GoMark6, "ジャンプマーク 6 に移動", "Ctrl+F6")                                                 \
  X(GoMark7, "ジャンプマーク 7 に移動", "Ctrl+F7")                                                 \
  X(GoMark8, "ジャンプマーク 8 に移動", "Ctrl+F8")                                                 \
  X(GoMark9, "ジャンプマーク 9 に移動", "Ctrl+F9")                                                 \
  X(GoMark10, "ジャンプマーク10 に移動", "Ctrl+F10")                                               \
  X(DelJumpMarks, " 全ジャンプマーク削除", "Ctrl+Del")                                             \
  X(OptionSetting, "  環境 設定", "")                                                              \
  X(ReserveWordEdit, "  予約語 編集", "")                                                          \
  X(BrowserOpen, " Web 辞書", "")                                                                  \
  X(Divide1, " 2分割", "")                                                                         \
  X(About1, "バージョン情報(&A)...", "")                                                           \
  X(Verify_ver, "最新バージョン確認", "")                                                          \
  X(OpenURL, "Editor 機能説明", "F1")

enum class TCommandId {
#define ZE_COMMAND_ID(id, caption, shortcut) id,
  ZE_COMMANDS(ZE_COMMAND_ID)
#undef ZE_COMMAND_ID
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(TCommandId::OpenURL) + 1;

constexpr std::size_t Index(TCommandId id) {
  return static_cast<std::size_t>(id);
}
constexpr TCommandId CommandAt(std::size_t i) {
  return static_cast<TCommandId>(i);
}
// Offsets from the first of a numbered run (BoockMark1 + n, jump1 + n, GoMark1 + n).
constexpr TCommandId Nth(TCommandId first, int n) {
  return static_cast<TCommandId>(static_cast<int>(first) + n);
}

// The toolbar images, drawn by the window (app/Icons.cpp).
enum class TImage {
  None,
  New,
  Open,
  AddRead,
  Save,
  Preview,
  Print,
  Undo,
  Redo,
  Cut,
  Copy,
  LineCopy,
  AllCopy,
  Paste,
  Find,
  FindForward,
  FindBackward,
  Replace,
  LineNumbers,
  Ruler,
  LineCursor,
  Divide,
  Bookmark,
  Help,
  Settings
};

struct TCommandInfo {
  TCommandId Id;
  std::string_view Name;     // the menu item's name, as tests and settings know it
  std::string_view Caption;  // menu caption, "&" before the access key
  std::string_view ShortCut; // empty for none
  std::string_view Hint;     // the toolbar button's hint, empty when it has no button
  TImage Image;
  bool Checkable;
};

const TCommandInfo& CommandInfo(TCommandId id);
// The command of a name ("Save1"); false when no command has it.
bool CommandByName(std::string_view name, TCommandId& id);

// ---- bars

// The bars of the top dock, in the order their settings are kept.
enum class TBarId { FontBar, FileBar, EditBar, FindBar, IndicateBar, MainBar, WindowBar };
inline constexpr std::size_t kBarCount = 7;

struct TBarInfo {
  TBarId Id;
  std::string_view Name;    // object name: the settings section ("FileBar")
  std::string_view Caption; // the bar's caption
  int Row, Pos;             // built-in dock place
  TCommandId ViewCommand;   // the View menu item that shows it; only when Closable
  bool Closable;            // the menu bar cannot be closed
};

const TBarInfo& BarInfo(TBarId id);

// A line of a menu or toolbar: a command, a separator, or the start or
// end of a submenu.
struct TMenuLine {
  enum TKind { Command, Separator, SubmenuBegin, SubmenuEnd } Kind;
  TCommandId Id = TCommandId::New1;
  std::string_view Caption = {}; // a submenu's caption, or a caption that replaces the command's
};

struct TMenuInfo {
  std::string_view Caption;
  std::vector<TMenuLine> Lines;
};

// The menus of the menu bar, left to right.
const std::vector<TMenuInfo>& MainMenus();
// The buttons of a toolbar (the font bar and the menu bar have none).
const std::vector<TMenuLine>& ToolbarLines(TBarId bar);
// The editors' context menu.
const std::vector<TMenuLine>& ContextMenuLines();

} // namespace ze
