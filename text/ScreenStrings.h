#pragma once
// The single store of an editor's text: screen rows with their per-row
// data, shared by every view that shows the text. All text changes go
// through ReplaceText, which rewraps the touched logical lines, moves row
// marks with their rows, records undo, recolours until a row's saved
// state matches again, and leaves a change region for the views.

#include <memory>
#include <string_view>
#include <vector>

#include "text/LineStore.h"
#include "text/TextView.h"
#include "text/Undo.h"
#include "text/WrapOption.h"

namespace ze {

struct TChangeRegion {
  int StartRow = 0;
  int OldRowCount = 0;
  int NewRowCount = 0;
  int RecolouredRows = 0;
  bool Pending = false;
};

struct TLogicalText {
  ByteString Text;
  int RowCount = 0;
  TRowEnd LastAttribute = reUnknown;
  // When asked for: each row's byte length with its end in the top two
  // bits, so that exactly these rows can be rebuilt from Text.
  std::vector<uint32_t> Cuts;
};

class TEditorScreenStrings : public TEditorStringList {
public:
  TEditorScreenStrings();
  ~TEditorScreenStrings() override;
  void AfterConstruction() override;

  // Views, in attach order; the first one's settings are the text's.
  void AddEditor(TEditorView* view);
  void RemoveEditor(TEditorView* view);
  const std::vector<TEditorView*>& Editors() const { return editors_; }
  TEditorView* FirstEditor() const { return editors_.empty() ? nullptr : editors_.front(); }
  TEditorView* FocusedEditor() const;

  int FirstRowOfLine(int row) const;
  int LastRowOfLine(int row) const;
  // Rows start..start+n-1 (n = -1: to the end of start's logical line)
  // joined with CR LF after each line-break row.
  TLogicalText GetLogicalText(int start, int n, bool withCuts = false) const;
  // Each row's byte length with its end in the top two bits, rows
  // first..last.
  std::vector<uint32_t> RowCuts(int first, int last) const;
  // Rebuilds rows from a text and the cuts GetLogicalText gave for it.
  static void RowsFromCuts(std::string_view text, const std::vector<uint32_t>& cuts,
                           TEditorStringList& list);

  // Replaces rows start..start+n-1 (joined with CR LF after line-break
  // rows) by text and rewraps them. A caller that knows text keeps the
  // first keptHead and last keptTail bytes of those rows says so, and they
  // are not compared again for the undo record.
  void ReplaceText(int start, int n, std::string_view text, size_t keptHead = 0,
                   size_t keptTail = 0);
  void ReplaceRows(int start, int oldCount, const TEditorStringList& list);
  TRowMarks DeleteRows(int start, int n);

  int ReparseFrom(int row, bool notify);
  void ReparseAll();

  virtual void SplitToRows(std::string_view text, TEditorStringList& list);
  virtual int CountRows(std::string_view line);
  void WrapAll();
  void UnwrapAll();

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  TEditorWrapOption* WrapOption() const { return wrapOption_.get(); }
  void WrapOptionChanged(TObject* sender);

  void Clear() override;
  // Rows inserted, deleted or swapped from outside the store's own edits
  // may carry colouring state anywhere: the parsed prefix is forgotten.
  void Insert(int index, const ByteString& s) override;
  void Delete(int index) override;
  void Exchange(int i, int j) override;

  virtual void ExcludeRowMarks(TRowMarks marks) { usedRowMarks_ &= static_cast<TRowMarks>(~marks); }
  virtual void IncludeRowMarks(TRowMarks marks) { usedRowMarks_ |= marks; }
  virtual TRowMarks UsedRowMarks() const { return usedRowMarks_; }

  virtual void Undo() { undo_->Undo(); }
  virtual void Redo() { undo_->Redo(); }
  TEditorUndoObj* UndoObj() const { return undo_.get(); }

  // Changed since loaded or saved; one flag for every view of the text.
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }

  void ClampEditors();
  void UpdateAllViews();
  const TChangeRegion& ChangeRegion() const { return change_; }
  void SetChangeRegion(const TChangeRegion& r) { change_ = r; }

  // Column settings of the text: the first view's tab width and
  // delimiters with this store's wrap settings.
  TColumnSettings ColumnSettings() const;
  // True while the first view is streaming in its properties.
  bool OwnerLoading() const;

  // Fast path for loading: appends n empty rows without notifying.
  void AppendEmptyRows(int n);
  // Stores a loaded row's text without notifying.
  void SetLoadedText(int row, const ByteString& text);

protected:
  virtual std::unique_ptr<TEditorUndoObj> CreateUndoObj();
  virtual std::unique_ptr<TEditorWrapOption> CreateWrapOption();
  void SetUpdateState(bool updating) override;

private:
  // Fills an undo record for replacing rows first..last by newText with
  // what the edit changes: the old bytes between the head and tail that
  // newText keeps, the old rows' cuts and the last row's end.
  void RecordChange(TEditorUndoData& rec, int first, int last, std::string_view newText,
                    size_t keptHead, size_t keptTail) const;

  void NotifyEditors(TObject* sender);
  void CancelSelections();
  // Rows first.. with the zero colouring state marked unparsed.
  void ResetUnparsed(int from);
  void WrapLine(std::string_view line, const TColumnSettings& cs, TEditorStringList* out,
                int& count, int& put);
  int ParseLimit(int row) const;
  void Rewrapped();

  std::vector<TEditorView*> editors_;
  TChangeRegion change_;
  // Every row at or after this index is not yet coloured. Colouring only
  // ever extends a coloured prefix, so resets and restart searches stop
  // here instead of walking the whole text.
  int parsedEnd_ = 0;
  TRowMarks usedRowMarks_ = 0;
  std::unique_ptr<TEditorUndoObj> undo_;
  bool wordWrap_ = false;
  bool modified_ = false;
  std::unique_ptr<TEditorWrapOption> wrapOption_;
};

} // namespace ze
