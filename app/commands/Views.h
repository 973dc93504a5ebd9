#pragma once
// The editors a command acts on, and small editing helpers the commands
// share. Commands take the views of the active page: the active editor
// (nullptr when no page is open) and, on a split page, the other editor
// that shows the same text.

#include <functional>

#include "editor/Editor.h"

namespace ze {

struct TDocumentViews {
  // Brings the other view of a split page in step with the active one
  // after its mark column changed (the window copies the settings through
  // its property store). The commands themselves already copy the mark
  // column settings and the image lists.
  using TSyncFn = std::function<void(TEditor& active, TEditor& other)>;

  TDocumentViews(TEditor* active = nullptr, TEditor* other = nullptr, TSyncFn sync = {})
      : Active(active), Other(other), Sync(std::move(sync)) {}

  TEditor* Active;
  TEditor* Other;
  TSyncFn Sync;
};

namespace cmd {

// The caret row's text; empty for the row after a final line break.
ByteString CaretRowText(const TEditor& e);
bool CaretRowEmpty(const TEditor& e);
bool HasLines(const TEditor& e);
// The caret's byte position in its row (past the row end every column
// counts one byte).
int CaretBytePos(const TEditor& e);
// The column of byte position pos in row (past the end: one column a byte).
int ColOfPos(const TEditor& e, int row, int pos);
// Puts the caret at byte position pos of row.
void SetRowPos(TEditor& e, int row, int pos);

// Selects n characters (CR LF counting two) from the caret as a normal
// selection, walking only the rows it covers.
void SelectFromCaret(TEditor& e, long long n);
// Selects the bytes [pos, pos + n) of one row.
void SelectInRow(TEditor& e, int row, int pos, long long n);

// Keeps the selection mode: a command that selects in normal mode puts a
// box mode back afterwards.
class TKeepSelectionMode {
public:
  explicit TKeepSelectionMode(TEditor& e) : e_(e), mode_(e.SelectionMode()) {
    if (mode_ != smNormal) {
      if (e_.HasSelection()) e_.CleanSelection();
      e_.SetSelectionModeDirect(smNormal);
    }
  }
  ~TKeepSelectionMode() {
    if (mode_ != smNormal) {
      if (e_.HasSelection()) e_.CleanSelection();
      e_.SetSelectionModeDirect(mode_);
    }
  }
  TKeepSelectionMode(const TKeepSelectionMode&) = delete;
  TKeepSelectionMode& operator=(const TKeepSelectionMode&) = delete;

private:
  TEditor& e_;
  TSelectionMode mode_;
};

} // namespace cmd
} // namespace ze
