#pragma once
// Edit history of one row store. Every ReplaceText leaves one record that
// holds the text the edited rows held before; applying a record puts that
// text back and yields the record of the opposite direction.

#include <deque>
#include <memory>
#include <vector>

#include "text/LineStore.h"

namespace ze {

class TEditorScreenStrings;

struct TEditorUndoData {
  int CaretRow = 0;
  int CaretCol = 0;
  int StartRow = -1;
  int RowCount = 0;
  TRowEnd LastAttribute = reUnknown;
  // Only what the edit changed: the rows' joined text (as GetLogicalText
  // joins it) is Head bytes the edit kept, then Text, then Tail kept
  // bytes. Typing in a row of ten megabytes so keeps a byte, not the row.
  ByteString Text;
  size_t Head = 0;
  size_t Tail = 0;
  // How the whole text (with its kept head and tail) was cut into rows
  // (see TLogicalText::Cuts). Rewrapping it instead could cut it
  // differently (with WordBreak the cut of a row depends on the rows after
  // it), and the older records would then point at the wrong rows.
  std::vector<uint32_t> Cuts;
};

// Records, oldest first; deleting a record releases its text.
class TUndoDataList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TEditorUndoData& Last() { return *items_.back(); }
  TEditorUndoData& Add() { return *items_.emplace_back(std::make_unique<TEditorUndoData>()); }
  void DeleteLast() { items_.pop_back(); }
  void DeleteFirst() { items_.pop_front(); }
  void Clear() { items_.clear(); }
  size_t TextBytes() const {
    size_t n = 0;
    for (const auto& r : items_) n += r->Text.size();
    return n;
  }

private:
  std::deque<std::unique_ptr<TEditorUndoData>> items_;
};

class TEditorUndoObj {
public:
  explicit TEditorUndoObj(TEditorScreenStrings& store) : store_(store) {}
  virtual ~TEditorUndoObj() = default;

  // A fresh record with the focused view's caret, appended to the undo
  // list (the oldest is dropped past the limit); clears redo unless a redo
  // is recording its inverse.
  virtual TEditorUndoData& NewRecord();
  virtual bool CanRedo() const { return redoList_.Count() > 0; }
  virtual bool CanUndo() const { return undoList_.Count() > 0; }
  virtual void Redo();
  virtual void Undo();
  virtual void PushRedo(const TEditorUndoData& r);
  virtual void Clear();

  int UndoListMax() const { return limit_; }
  // Never below 64.
  void SetUndoListMax(int v) { limit_ = v < 64 ? 64 : v; }
  // Bytes of text the undo and redo records hold.
  size_t TextBytes() const { return undoList_.TextBytes() + redoList_.TextBytes(); }
  int UndoCount() const { return undoList_.Count(); }
  int RedoCount() const { return redoList_.Count(); }

private:
  struct Applied {
    ByteString text;
    std::vector<uint32_t> cuts;
    TRowEnd lastAttribute = reUnknown;
    int rowCount = 0;
    int newRowCount = 0;
  };
  Applied Apply(const TEditorUndoData& r);
  void CaretOf(int& row, int& col) const;
  void MoveCaret(int row, int col);

  TEditorScreenStrings& store_;
  int limit_ = 64;
  bool redoing_ = false;
  TUndoDataList redoList_;
  TUndoDataList undoList_;
};

} // namespace ze
