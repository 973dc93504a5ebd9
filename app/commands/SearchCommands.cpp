#include "app/commands/SearchCommands.h"

#include <algorithm>
#include <optional>

#include "platform/CodePage.h"
#include "search/RowSearch.h"
#include "text/EditorStrings.h"

namespace ze {
namespace {

// Where the next search starts, as the editor's own search chooses it:
// after (before) a selection, else at the caret.
void SearchStart(const TEditor& e, bool forward, int& row, int& pos) {
  if (e.HasSelection()) {
    const TSelectionRange& r = e.SelectionRange();
    row = forward ? r.EndRow : r.StartRow;
    pos = forward ? r.EndPos + 1 : r.StartPos;
    return;
  }
  row = e.Row();
  pos = e.CaretPos();
  const int count = e.ListCount();
  if (row >= count && !forward) {
    row = count - 1;
    pos = static_cast<int>(e.RowText(row).size()) + (e.RowAttribute(row) == reLineBreak ? 2 : 0);
  }
}

// Selects a hit with the caret at its start. Only the rows from the hit on
// are walked, so each replacement in a long text costs the same.
void SelectHit(TEditor& e, const TRowHit& hit) {
  if (e.HasSelection()) e.CleanSelection();
  TRowCol end = RowColAtOffset(e.List(), hit.Row, static_cast<long long>(hit.Pos) + hit.Length,
                               e.ColumnSettings());
  if (end.Row >= e.ListCount()) end = {e.ListCount(), e.RowEndCol(e.ListCount())};
  e.SetRowCol(end.Row, end.Col);
  e.StartSelection();
  e.SetCaretByOffset(hit.Row, hit.Pos);
  e.ExtendSelection();
  e.ScrollCaretIntoView();
}

bool FindForReplace(TEditor& e, const TSearchState& s) {
  if (e.ListCount() == 0 || s.FindText.size() == 0) return false;
  int row = 0, pos = 0;
  SearchStart(e, s.Options & soDown, row, pos);
  std::optional<TRowHit> hit = SearchRows(e.List(), row, pos, s.FindText.view(), s.Options);
  if (!hit) return false;
  SelectHit(e, *hit);
  return true;
}

// Replaces the selected hit. Searching backwards, the caret goes back to
// the start of the new text, so that the next search begins before it.
void ReplaceHit(TEditor& e, const TSearchState& s) {
  const TSelectionRange range = e.SelectionRange();
  const int first = e.List().FirstRowOfLine(range.StartRow);
  const long long start =
      e.CharOffset(first, range.StartRow, e.PosToCol(range.StartRow, range.StartPos));
  e.SetSelText(s.ReplaceText.view());
  if (!(s.Options & soDown)) e.SetCaretByOffset(first, start);
}

TConfirmAnchor AnchorOf(const TEditor& e) {
  const TSelectionRange& r = e.SelectionRange();
  const int col = e.HasSelection() ? e.PosToCol(r.StartRow, r.StartPos) : e.Col();
  const int row = e.HasSelection() ? r.StartRow : e.Row();
  return TConfirmAnchor{e.TextLeft() + (col - e.TopCol()) * e.ColWidth(),
                        e.TextTop() + (row - e.TopRow()) * e.RowHeight(), e.RowHeight()};
}

} // namespace

TPoint PlaceConfirmBox(int caretX, int caretY, int rowHeight, int boxWidth, int boxHeight,
                       const TRect& screen) {
  TPoint p{caretX + 2, caretY - boxHeight - rowHeight};
  if (p.Y < screen.Top) p.Y = caretY + rowHeight;
  if (p.X + boxWidth > screen.Right) p.X = screen.Right - boxWidth - 4;
  // A box wider than the screen starts at its left edge.
  p.X = std::max(p.X, screen.Left);
  return p;
}

std::string NotFoundMessage(const ByteString& findText) {
  return "検索文字列  ' " + Cp932ToUtf8(findText.view()) + " '\nは見つかりませんでした ";
}

std::string ConfirmReplaceMessage(const ByteString& findText, const ByteString& replaceText) {
  return " " + Cp932ToUtf8(findText.view()) + "  を\n " + Cp932ToUtf8(replaceText.view()) +
         "  に置き換えますか？";
}

bool FindNext(TEditor& e, const TSearchState& s, TPrompter& prompter) {
  if (e.SearchText(s.FindText.view(), s.Options)) return true;
  prompter.Message(NotFoundMessage(s.FindText), TMsgKind::Information, TMsgButtons::Ok);
  return false;
}

void FindCommand(TEditor* e, TSearchState& s, TPrompter& prompter, const TSearchDialogFn& dialog) {
  if (!e || !dialog) return;
  if (dialog(s.FindText, s.Options) && cmd::HasLines(*e)) FindNext(*e, s, prompter);
}

void FindForward(TEditor* e, TSearchState& s, TPrompter& prompter) {
  if (!e || s.FindText.size() == 0 || !cmd::HasLines(*e)) return;
  s.Options |= soDown;
  FindNext(*e, s, prompter);
}

void FindBackward(TEditor* e, TSearchState& s, TPrompter& prompter) {
  if (!e || s.FindText.size() == 0 || !cmd::HasLines(*e)) return;
  s.Options &= static_cast<TSearchOptions>(~soDown);
  FindNext(*e, s, prompter);
}

void ReplaceCommand(TEditor* e, TSearchState& s, TPrompter& prompter,
                    const TReplaceDialogFn& dialog, const TConfirmFn& confirm) {
  if (!e || e->ReadOnly() || !cmd::HasLines(*e) || !dialog) return;
  if (!dialog(s.FindText, s.ReplaceText, s.Options)) return;
  ReplaceLoop(*e, s, prompter, confirm);
}

void ReplaceLoop(TEditor& e, TSearchState& s, TPrompter& prompter, const TConfirmFn& confirm) {
  if (e.ReadOnly() || s.FindText.size() == 0) return;
  // Hits are shown as a normal selection, so the user sees what a question
  // is about whatever the hit style.
  cmd::TKeepSelectionMode keep(e);
  do {
    if (!FindForReplace(e, s)) {
      prompter.Message(NotFoundMessage(s.FindText), TMsgKind::Information, TMsgButtons::Ok);
      break;
    }
    if (s.Options & soReplaceConfirm) {
      const std::string text = ConfirmReplaceMessage(s.FindText, s.ReplaceText);
      const TMsgResult answer =
          confirm ? confirm(text, AnchorOf(e))
                  : prompter.Message(text, TMsgKind::Confirmation, TMsgButtons::YesNoCancelAll);
      if (answer == TMsgResult::Cancel) break;
      if (answer == TMsgResult::All) {
        s.Options |= soReplaceAll;
        s.Options &= static_cast<TSearchOptions>(~soReplaceConfirm);
      }
      if (answer != TMsgResult::No) ReplaceHit(e, s);
    } else {
      ReplaceHit(e, s);
    }
  } while (s.Options & soReplaceAll);
}

} // namespace ze
