// TEditor: row marks, and the context menu model with its shortcuts.
#include <algorithm>
#include <array>
#include <cctype>

#include "editor/Editor.h"
#include "editor/PopupMenu.h"

namespace ze {

// ---------------------------------------------------------------- row marks

namespace {

bool ValidMark(int n) { return n >= 0 && n <= 15; }
TRowMarks MarkBit(int n) { return static_cast<TRowMarks>(1u << n); }

} // namespace

TRowMarks TEditor::GetRowMarks(int row) const {
  if (row < 0 || row >= list_->Count()) return 0;
  return list_->RowMarks(row);
}

void TEditor::SetRowMarks(int row, TRowMarks marks) {
  const int count = list_->Count();
  if (row < 0 || row >= count) return;
  const TRowMarks old = list_->RowMarks(row);
  if (old == marks) return;
  list_->SetRowMarks(row, marks);
  list_->IncludeRowMarks(static_cast<TRowMarks>(marks & ~old));
  // A cleared mark stays in use while another row still has it (marks
  // 10-15 may stand on many rows). Searching on from the row first finds
  // the next one soon when marks are removed from the top down.
  TRowMarks unused = static_cast<TRowMarks>(old & ~marks);
  for (int i = 1; i < count && unused; ++i)
    unused &= static_cast<TRowMarks>(~list_->RowMarks((row + i) % count));
  list_->ExcludeRowMarks(unused);
  if (imagebar_->Visible()) RepaintImagebarRow(row);
}

void TEditor::RepaintImagebarRow(int row) {
  if (!HandleAllocated() || row < topRow_ || row > topRow_ + rowCount_) return;
  const int y = TextTop() + (row - topRow_) * rowHeight_;
  host_->Invalidate(TRect{0, y, ImagebarWidth(), y + rowHeight_});
  host_->UpdateNow();
}

int TEditor::FindRowMark(int n) const {
  if (!ValidMark(n)) return -1;
  const TRowMarks bit = MarkBit(n);
  for (int r = 0; r < list_->Count(); ++r)
    if (list_->RowMarks(r) & bit) return r;
  return -1;
}

void TEditor::PutRowMark(int row, int n) {
  if (!ValidMark(n)) return;
  const TRowMarks bit = MarkBit(n);
  const bool inText = row >= 0 && row < list_->Count();
  if (n < 10) {
    const int had = FindRowMark(n);
    if (had >= 0 && !(inText && had == row)) SetRowMarks(had, GetRowMarks(had) & ~bit);
  }
  if (inText) SetRowMarks(row, GetRowMarks(row) | bit);
}

void TEditor::DeleteRowMark(int row, int n) {
  if (!ValidMark(n)) return;
  SetRowMarks(row, GetRowMarks(row) & ~MarkBit(n));
}

void TEditor::GotoRowMark(int n) {
  const int row = FindRowMark(n);
  if (row < 0) return;
  if (row < topRow_ || row > topRow_ + rowCount_ - 1) SetTopRow(row - rowCount_ / 2);
  SetRow(row);
}

void TEditor::TPopupMenuDeleter::operator()(TEditorPopupMenu* m) const { delete m; }

std::unique_ptr<TEditorPopupMenu, TEditor::TPopupMenuDeleter> TEditor::CreatePopupMenu() {
  return std::unique_ptr<TEditorPopupMenu, TPopupMenuDeleter>(new TEditorPopupMenu(this));
}

// ---------------------------------------------------------------- shortcuts

namespace {

struct TKeyName {
  int Key;
  const char* Name;
};
constexpr std::array<TKeyName, 15> kKeyNames{{
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},   {VK_LEFT, "Left"},   {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},   {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
}};
constexpr int kMaxFunctionKey = 12;

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (text.size() <= prefix.size() || !EqualNoCase(text.substr(0, prefix.size()), prefix))
    return false;
  text.remove_prefix(prefix.size());
  return true;
}

int KeyFromName(std::string_view name) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return std::toupper(static_cast<unsigned char>(name[0]));
  for (const TKeyName& k : kKeyNames)
    if (EqualNoCase(name, k.Name)) return k.Key;
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return 0;
      n = n * 10 + (c - '0');
      if (n > kMaxFunctionKey) return 0;
    }
    if (n >= 1) return VK_F1 + n - 1;
  }
  return 0;
}

std::string KeyName(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    return std::string(1, static_cast<char>(key));
  for (const TKeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  if (key >= VK_F1 && key < VK_F1 + kMaxFunctionKey) return "F" + std::to_string(key - VK_F1 + 1);
  return {};
}

} // namespace

TShortCut MakeShortCut(int key, TShiftState shift) {
  if (key <= 0 || key > 0xFF) return 0;
  TShortCut sc = static_cast<TShortCut>(key);
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

TShortCut TextToShortCut(std::string_view text) {
  TShiftState shift = 0;
  for (bool more = true; more;) {
    more = false;
    if (ConsumePrefix(text, "Shift+")) shift |= ssShift, more = true;
    if (ConsumePrefix(text, "Ctrl+")) shift |= ssCtrl, more = true;
    if (ConsumePrefix(text, "Alt+")) shift |= ssAlt, more = true;
  }
  return MakeShortCut(KeyFromName(text), shift);
}

std::string ShortCutToText(TShortCut sc) {
  std::string key = KeyName(sc & 0xFF);
  if (key.empty()) return {};
  std::string text;
  if (sc & scShift) text += "Shift+";
  if (sc & scCtrl) text += "Ctrl+";
  if (sc & scAlt) text += "Alt+";
  return text + key;
}

// ---------------------------------------------------------------- menu items

TEditorMenuItem::TEditorMenuItem(std::string caption, TShortCut shortCut, int tag,
                                 std::function<void(TEditorMenuItem&)> onClick)
    : Caption(std::move(caption)), ShortCut(shortCut), Tag(tag), OnClick(std::move(onClick)) {}

TEditorMenuItem& TEditorMenuItem::Add(std::string caption, TShortCut shortCut, int tag,
                                      std::function<void(TEditorMenuItem&)> onClick) {
  items_.push_back(
      std::make_unique<TEditorMenuItem>(std::move(caption), shortCut, tag, std::move(onClick)));
  return *items_.back();
}

void TEditorMenuItem::Click() {
  if (Enabled && OnClick) OnClick(*this);
}

TEditorMenuItem* TEditorMenuItem::Find(TShortCut sc) {
  if (sc == 0) return nullptr;
  for (const auto& item : items_) {
    if (item->ShortCut == sc) return item.get();
    if (TEditorMenuItem* inner = item->Find(sc)) return inner;
  }
  return nullptr;
}

// ---------------------------------------------------------------- the menu

TEditorPopupMenu::TEditorPopupMenu(TEditor* editor) : editor_(editor) {
  // Every action goes through editor_, so that a menu without an editor
  // does nothing.
  auto act = [this](void (*f)(TEditor&, TEditorMenuItem&)) {
    return [this, f](TEditorMenuItem& item) {
      if (editor_) f(*editor_, item);
    };
  };
  markSet_ = &root_.Add("マーク設定");
  for (int n = 0; n <= 9; ++n) {
    const std::string digit(1, static_cast<char>('0' + n));
    markSet_->Add(digit, TextToShortCut("Shift+Ctrl+" + digit), n,
                  act([](TEditor& e, TEditorMenuItem& item) {
                    const int row = e.Row();
                    if (e.GetRowMarks(row) & (1u << item.Tag)) e.DeleteRowMark(row, item.Tag);
                    else e.PutRowMark(row, item.Tag);
                  }));
  }
  markJump_ = &root_.Add("マークジャンプ");
  for (int n = 0; n <= 9; ++n) {
    const std::string digit(1, static_cast<char>('0' + n));
    markJump_->Add(digit, TextToShortCut("Ctrl+" + digit), n,
                   act([](TEditor& e, TEditorMenuItem& item) { e.GotoRowMark(item.Tag); }));
  }
  root_.Add("-");
  undo_ = &root_.Add("元に戻す(&U)", TextToShortCut("Ctrl+Z"), 0,
                     act([](TEditor& e, TEditorMenuItem&) { e.Undo(); }));
  // Redo sits on Ctrl+A; select-all has no shortcut.
  redo_ = &root_.Add("やり直し(&R)", TextToShortCut("Ctrl+A"), 0,
                     act([](TEditor& e, TEditorMenuItem&) { e.Redo(); }));
  root_.Add("-");
  cut_ = &root_.Add("切り取り(&T)", TextToShortCut("Ctrl+X"), 0,
                    act([](TEditor& e, TEditorMenuItem&) { e.CutToClipboard(); }));
  copy_ = &root_.Add("コピー(&C)", TextToShortCut("Ctrl+C"), 0,
                     act([](TEditor& e, TEditorMenuItem&) { e.CopyToClipboard(); }));
  paste_ = &root_.Add("貼り付け(&P)", TextToShortCut("Ctrl+V"), 0,
                      act([](TEditor& e, TEditorMenuItem&) { e.PasteFromClipboard(); }));
  // Any clipboard text, also from other programs, goes in as a box.
  boxPaste_ = &root_.Add("Box貼り付け(&B)", TextToShortCut("Ctrl+B"), 0,
                         act([](TEditor& e, TEditorMenuItem&) {
                           if (e.Clipboard().HasText()) e.SetSelTextBox(e.Clipboard().Text());
                         }));
  delete_ = &root_.Add("削除(&D)", 0, 0,
                       act([](TEditor& e, TEditorMenuItem&) { e.DeleteSelection(); }));
  root_.Add("-");
  selectAll_ = &root_.Add("すべて選択(&A)", 0, 0,
                          act([](TEditor& e, TEditorMenuItem&) { e.SelectAll(); }));
  root_.Add("-");
  boxMode_ = &root_.Add("Box選択モード(&K)", TextToShortCut("Ctrl+K"), 0,
                        act([](TEditor& e, TEditorMenuItem& item) {
                          item.Checked = !item.Checked;
                          e.SetSelectionMode(item.Checked ? smBox : smNormal);
                        }));
}

void TEditorPopupMenu::Update() {
  if (!editor_) return;
  const TEditor& e = *editor_;
  const bool selected = e.SelLength() > 0;
  const bool writable = !e.ReadOnly();
  const bool clipText = e.Clipboard().HasText();
  const TRowMarks used = e.List().UsedRowMarks();
  for (int n = 0; n <= 9; ++n) {
    markSet_->Item(n).Checked = used & (1u << n);
    markJump_->Item(n).Checked = used & (1u << n);
  }
  undo_->Enabled = e.CanUndo() && writable;
  redo_->Enabled = e.CanRedo() && writable;
  cut_->Enabled = selected && writable;
  copy_->Enabled = selected;
  paste_->Enabled = clipText && writable;
  boxPaste_->Enabled = clipText && writable;
  delete_->Enabled = selected && writable;
  // TextLength > 0, without summing the whole text: a second row means a
  // line break or a wrapped first row.
  const int rows = e.ListCount();
  selectAll_->Enabled =
      rows > 1 || (rows == 1 && (!e.RowText(0).empty() || e.RowAttribute(0) == reLineBreak));
  boxMode_->Checked = e.SelectionMode() == smBox;
}

bool TEditorPopupMenu::ShortCut(int key, TShiftState shift) {
  if (!editor_) return false;
  TEditorMenuItem* item = root_.Find(MakeShortCut(key, shift));
  if (!item) return false;
  Update();
  if (!item->Enabled) return false;
  item->Click();
  return true;
}

} // namespace ze
