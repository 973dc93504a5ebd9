#pragma once
// What the row store and the text facade need from the views that show a
// text. The editor control implements this; the text model never sees the
// editor itself.

#include <memory>

#include "text/Columns.h"
#include "text/RowStateParser.h"

namespace ze {

class TEditorView {
public:
  virtual ~TEditorView() = default;

  // Settings of the view (the first view's are the text's).
  virtual int TabSpaceCount() const = 0;
  virtual const TDelimiterSet& DelimiterSet() const = 0;
  // A parser of the view's active fountain, or nullptr without colouring.
  virtual std::unique_ptr<RowStateParser> CreateRowParser() = 0;
  virtual int RowHeight() const = 0;    // pixels
  virtual int ScreenHeight() const = 0; // pixels of the text area
  virtual bool InitBracketsFull() const = 0;
  virtual bool Loading() const = 0;    // properties being streamed in
  virtual bool Destroying() const = 0;
  virtual bool Focused() const = 0;

  // Caret and scrolling.
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual void SetRow(int row) = 0;
  virtual void SetCol(int col) = 0;
  virtual int TopRow() const = 0;
  virtual void SetTopRow(int row) = 0;
  // Puts the caret at a character offset counted from a row.
  virtual void SetCaretByOffset(int firstRow, long long offset) = 0;
  virtual void CaretBeginUpdate() = 0;
  virtual void CaretEndUpdate() = 0;
  virtual void CancelSelection() = 0;

  // Notifications from the store.
  virtual void StoreChanged() = 0;       // a change region is pending
  virtual void InvalidateRow(int row) = 0;
  virtual void UpdateView() = 0;         // recompute rows, scroll bars, repaint all

  // Bulk updates through the text facade.
  virtual void BeginBulkUpdate() = 0;
  virtual void EndBulkUpdate() = 0;
};

} // namespace ze
