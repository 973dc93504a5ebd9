#pragma once
// The editor's context menu as a model: items with captions, shortcuts,
// tags, enabled and checked states and an action each. It knows no
// toolkit: the Qt widget builds a QMenu from it when it pops up (after
// Update) and hands it the keys it gets while the editor has the focus
// (ShortCut), so that the menu's shortcuts work without the menu shown.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Keys.h"

namespace ze {

class TEditor;

// A virtual key with modifier bits.
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

TShortCut MakeShortCut(int key, TShiftState shift);
// "Shift+Ctrl+3", "Ctrl+Z", "F1", "Del"; modifiers in any order and case.
// 0 for a text that names no key.
TShortCut TextToShortCut(std::string_view text);
// The canonical text: "Shift+", "Ctrl+", "Alt+" in this order, then the
// key. Empty for 0.
std::string ShortCutToText(TShortCut sc);

class TEditorMenuItem {
public:
  TEditorMenuItem() = default;
  TEditorMenuItem(std::string caption, TShortCut shortCut, int tag,
                  std::function<void(TEditorMenuItem&)> onClick);
  TEditorMenuItem(const TEditorMenuItem&) = delete;
  TEditorMenuItem& operator=(const TEditorMenuItem&) = delete;

  std::string Caption; // "-" is a separator; "&" marks the access key
  TShortCut ShortCut = 0;
  int Tag = 0;
  bool Enabled = true;
  bool Checked = false;
  std::function<void(TEditorMenuItem&)> OnClick;

  bool IsLine() const { return Caption == "-"; }
  std::string ShortCutText() const { return ShortCutToText(ShortCut); }

  // Submenu items.
  int Count() const { return static_cast<int>(items_.size()); }
  TEditorMenuItem& Item(int i) const { return *items_.at(static_cast<size_t>(i)); }
  TEditorMenuItem& Add(std::string caption, TShortCut shortCut = 0, int tag = 0,
                       std::function<void(TEditorMenuItem&)> onClick = nullptr);

  // Runs the action; nothing when the item is disabled.
  void Click();
  // The first item, depth first, that carries sc.
  TEditorMenuItem* Find(TShortCut sc);

private:
  std::vector<std::unique_ptr<TEditorMenuItem>> items_;
};

class TEditorPopupMenu {
public:
  explicit TEditorPopupMenu(TEditor* editor);
  TEditorPopupMenu(const TEditorPopupMenu&) = delete;
  TEditorPopupMenu& operator=(const TEditorPopupMenu&) = delete;

  // The editor the items act on; without one the menu does nothing.
  TEditor* Editor() const { return editor_; }
  void SetEditor(TEditor* e) { editor_ = e; }

  // The menu's items are the children of this root.
  TEditorMenuItem& Items() { return root_; }
  int Count() const { return root_.Count(); }
  TEditorMenuItem& Item(int i) const { return root_.Item(i); }

  TEditorMenuItem& MarkSetItem() const { return *markSet_; }
  TEditorMenuItem& MarkJumpItem() const { return *markJump_; }
  TEditorMenuItem& UndoItem() const { return *undo_; }
  TEditorMenuItem& RedoItem() const { return *redo_; }
  TEditorMenuItem& CutItem() const { return *cut_; }
  TEditorMenuItem& CopyItem() const { return *copy_; }
  TEditorMenuItem& PasteItem() const { return *paste_; }
  TEditorMenuItem& BoxPasteItem() const { return *boxPaste_; }
  TEditorMenuItem& DeleteItem() const { return *delete_; }
  TEditorMenuItem& SelectAllItem() const { return *selectAll_; }
  TEditorMenuItem& BoxModeItem() const { return *boxMode_; }

  // Enabled and checked states from the editor's state; run before the
  // menu pops up.
  void Update();
  // Runs the enabled item bound to the key. False when no item is bound
  // to it or the item is disabled: the key then goes on to the editor.
  bool ShortCut(int key, TShiftState shift);

private:
  TEditor* editor_;
  TEditorMenuItem root_;
  TEditorMenuItem *markSet_, *markJump_, *undo_, *redo_, *cut_, *copy_, *paste_, *boxPaste_,
      *delete_, *selectAll_, *boxMode_;
};

} // namespace ze
