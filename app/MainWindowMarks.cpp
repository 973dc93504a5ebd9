// TForm1: the Mark menu (bookmarks and jump marks), the mark states of the
// command table, and the key hooks of the page editors: code templates
// and numbered lists before the editor sees a key, the row mark clean-up
// after it.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "app/MainWindow.h"
#include "app/commands/MarkCommands.h"
#include "app/commands/Templates.h"
#include "platform/qt/EditorWidget.h"

namespace ze {

namespace {

using C = TCommandId;

constexpr TRowMarks kJumpMarks = 0x03FF;
constexpr TRowMarks kBookmarks = 0x7C00;

bool Has(TRowMarks marks, int mark) {
  return (marks >> mark) & 1u;
}

} // namespace

void TForm1::InstallMarkHandlers() {
  for (int n = 1; n <= kBookmarkCount; ++n)
    handlers_[Index(Nth(C::BoockMark1, n - 1))] = [this, n] { ToggleBookmark(Views(), n); };
  for (int n = 1; n <= kJumpMarkCount; ++n) {
    handlers_[Index(Nth(C::jump1, n - 1))] = [this, n] { ToggleJumpMark(Views(), n); };
    handlers_[Index(Nth(C::GoMark1, n - 1))] = [this, n] { GoToJumpMark(ActiveEditor(), n); };
  }
  handlers_[Index(C::BeforeBoockMark)] = [this] { PreviousBookmark(ActiveEditor()); };
  handlers_[Index(C::NextBoockMark)] = [this] { NextBookmark(ActiveEditor()); };
  handlers_[Index(C::DelBoockMarks)] = [this] { DeleteAllBookmarks(Views()); };
  handlers_[Index(C::DelJumpMarks)] = [this] { DeleteAllJumpMarks(Views()); };

  OnEditorKeyDown = [this](TEditor& e, int key, TShiftState shift) {
    TTemplateSettings t;
    t.ReserveType = settings_.ReserveType;
    t.NumberType = settings_.NumberType;
    t.SeparateType = settings_.SeparateType;
    t.WrapFlag = settings_.WrapFlag;
    return TemplateKeyDown(&e, key, shift, t);
  };
  // After every key the editor handled (Delete and Backspace among them):
  // an emptied caret row loses its marks.
  OnEditorKeyUp = [this](TEditor& e, int, TShiftState) {
    if (&e == ActiveEditor())
      CleanUpEmptyCaretRow(Views());
    else
      CleanUpEmptyCaretRow(TDocumentViews(&e));
    RefreshCommandsQuick();
  };
}

// One walk over the rows, and none at all while the document has no mark,
// since this runs with every refresh of the commands.
void TForm1::FillMarkSnapshot(const TEditor& e, TCommandSnapshot& s) const {
  TMarkSnapshot& m = s.Marks;
  const int row = e.Row();
  const TRowMarks here = e.GetRowMarks(row);
  for (int n = 0; n < kBookmarkCount; ++n)
    m.Bookmark[std::size_t(n)] = Has(here, BookmarkRowMark(n + 1));
  for (int n = 0; n < kJumpMarkCount; ++n)
    m.Jump[std::size_t(n)] = Has(here, JumpRowMark(n + 1));
  const TRowMarks used = e.List().UsedRowMarks() & (kJumpMarks | kBookmarks);
  if (!used) return;
  if (quickMarks_) {
    // What the document may hold; a command that cannot act finds out
    // when it runs.
    m.AnyBookmark = m.BookmarkAbove = m.BookmarkBelow = used & kBookmarks;
    for (int n = 0; n < kJumpMarkCount; ++n)
      m.JumpUsed[std::size_t(n)] = Has(used, JumpRowMark(n + 1));
    return;
  }
  for (int r = 0; r < e.ListCount(); ++r) {
    const TRowMarks marks = e.GetRowMarks(r) & (kJumpMarks | kBookmarks);
    if (!marks) continue;
    if (marks & kBookmarks) {
      m.AnyBookmark = true;
      m.BookmarkAbove = m.BookmarkAbove || r < row;
      m.BookmarkBelow = m.BookmarkBelow || r > row;
    }
    for (int n = 0; n < kJumpMarkCount; ++n)
      if (Has(marks, JumpRowMark(n + 1))) m.JumpUsed[std::size_t(n)] = true;
  }
}

bool TForm1::MarkKeyTaken(const QKeyEvent& e) const {
  const QKeySequence key(e.keyCombination());
  if (key.isEmpty() || !ActiveEditor()) return false;
  for (std::size_t i = Index(C::BoockMark1); i <= Index(C::DelJumpMarks); ++i) {
    const QKeySequence s = Action(CommandAt(i))->shortcut();
    if (!s.isEmpty() && s.matches(key) == QKeySequence::ExactMatch) return true;
  }
  return false;
}

void TForm1::RefreshCommandsQuick() {
  struct TQuick {
    bool& flag;
    explicit TQuick(bool& f) : flag(f) { flag = true; }
    ~TQuick() { flag = false; }
  } quick(quickMarks_);
  RefreshCommands();
}

// A submenu is open to the user only while one of its items can run.
void TForm1::RefreshMarkSubmenus() {
  for (C first : {C::jump1, C::GoMark1}) {
    bool any = false;
    for (int n = 0; n < kJumpMarkCount; ++n)
      any = any || Action(Nth(first, n))->isEnabled();
    for (QObject* o : Action(first)->associatedObjects())
      if (auto* menu = qobject_cast<QMenu*>(o)) menu->menuAction()->setEnabled(any);
  }
}

} // namespace ze
