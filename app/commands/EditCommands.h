#pragma once
// The Edit menu's text commands on the active editor: undo and redo, the
// clipboard, box mode, select all, letter case, dates and double-click
// selection. Each checks its own preconditions (an editor, text, not
// read-only) and otherwise does nothing.

#include <functional>
#include <string>
#include <string_view>

#include "app/commands/Views.h"

namespace ze {

void EditUndo(TEditor* e);
void EditRedo(TEditor* e);
// Cut runs the row mark clean-up when it leaves the caret row empty.
void EditCut(const TDocumentViews& v);
void EditCopy(TEditor* e);
void EditPaste(TEditor* e);
// Pastes the clipboard text as a rectangular block at the caret.
void EditBoxPaste(TEditor* e);
void EditSelectAll(TEditor* e);
// Switches between normal and box selection.
void EditToggleBoxMode(TEditor* e);
// Copies the caret row's text (without its line break); the caret and the
// clipboard stay as they are when the row is empty.
void EditCopyLine(TEditor* e);
// Copies the whole text; the caret stays where it is.
void EditCopyAll(TEditor* e);

// Converts letters of a CP932 text: single-byte ASCII letters and, with
// fullWidth, the full-width Latin letters; every other character, and the
// trail byte of any double-byte character, is kept as it is.
std::string ConvertCase(std::string_view text, bool upper, bool fullWidth = true);
// F7 / F8: the selection in upper (lower) case. A box selection is
// converted in place, row by row, and stays selected.
void EditUpperCase(TEditor* e);
void EditLowerCase(TEditor* e);

// A calendar date; WeekDay 0 is Sunday.
struct TDate {
  int Year = 1970, Month = 1, Day = 1, WeekDay = 4;
};
// Today in local time.
TDate Today();
using TClock = std::function<TDate()>;
// "2024年03月05日(火)" as CP932.
std::string LongDateText(const TDate& d);
// A short date by a pattern of the usual letters: yyyy, yy, MM, M, dd, d;
// anything else is copied (a UTF-8 pattern, CP932 result). Text in single
// quotes is copied as it stands.
std::string ShortDateText(const TDate& d, std::string_view pattern = "yyyy/MM/dd");
// Ctrl+D and the long date: the text replaces the selection at the caret.
void InsertShortDate(TEditor* e, const TClock& clock = Today,
                     std::string_view pattern = "yyyy/MM/dd");
void InsertLongDate(TEditor* e, const TClock& clock = Today);

// A double-click at client point (x, y). With Ctrl the whole caret row is
// selected; on a URL or a mail address the whole address; else the word.
void DoubleClickSelect(TEditor* e, int x, int y, TShiftState shift);

} // namespace ze
