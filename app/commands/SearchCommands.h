#pragma once
// Find, find forward and backward, and replace on the active editor. The
// window keeps one TSearchState; the dialogs are passed in as functions
// (the program passes SearchDialog and ReplaceDialog of the search
// dialogs, tests a script), and questions go through the prompter.

#include <functional>
#include <string>

#include "app/commands/Views.h"
#include "platform/Prompter.h"
#include "search/SearchOptions.h"

namespace ze {

struct TSearchState {
  ByteString FindText;    // CP932
  ByteString ReplaceText; // CP932
  TSearchOptions Options = 0;
};

// The search dialog: true when confirmed; it sets (or clears) the text and
// the options.
using TSearchDialogFn = std::function<bool(ByteString& findText, TSearchOptions& options)>;
// The replace dialog, likewise with the replacement text.
using TReplaceDialogFn =
    std::function<bool(ByteString& findText, ByteString& replaceText, TSearchOptions& options)>;

// Where a replacement is being asked about: the caret's top left in the
// editor's client coordinates and the height of one row. The window maps
// it to the screen and places the box with PlaceConfirmBox.
struct TConfirmAnchor {
  int CaretX = 0, CaretY = 0, RowHeight = 0;
};
// Asks one replacement: Yes, No, Cancel or All.
using TConfirmFn = std::function<TMsgResult(const std::string& text, const TConfirmAnchor& where)>;

// The confirmation box's top left on the screen for a caret at screen
// point (caretX, caretY): just right of the caret and above its row, below
// the row when there is no room above, pulled in from the right edge.
struct TPoint {
  int X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
TPoint PlaceConfirmBox(int caretX, int caretY, int rowHeight, int boxWidth, int boxHeight,
                       const TRect& screen);

// The texts of the two messages (UTF-8).
std::string NotFoundMessage(const ByteString& findText);
std::string ConfirmReplaceMessage(const ByteString& findText, const ByteString& replaceText);

// Searches the next occurrence with the state's text and options; tells
// the user and returns false when there is none.
bool FindNext(TEditor& e, const TSearchState& s, TPrompter& prompter);
// Ctrl+F: the search dialog, then the next occurrence.
void FindCommand(TEditor* e, TSearchState& s, TPrompter& prompter, const TSearchDialogFn& dialog);
// F3 / Shift+F3: the remembered text again, forward (backward).
void FindForward(TEditor* e, TSearchState& s, TPrompter& prompter);
void FindBackward(TEditor* e, TSearchState& s, TPrompter& prompter);
// Ctrl+R: the replace dialog, then one replacement or all of them, each
// confirmed when the options ask for it (through confirm, or the prompter
// when confirm is empty).
void ReplaceCommand(TEditor* e, TSearchState& s, TPrompter& prompter,
                    const TReplaceDialogFn& dialog, const TConfirmFn& confirm = {});
// The replace loop alone, on the state as it stands (the dialog has run).
void ReplaceLoop(TEditor& e, TSearchState& s, TPrompter& prompter, const TConfirmFn& confirm = {});

} // namespace ze
