#pragma once
// Code templates and numbered lists typed with Ctrl+Shift: a letter
// inserts a block of program text (begin ... end; and the like) in the
// chosen letter case, a digit a numbered list. The window calls
// TemplateKeyDown before the editor handles a key.

#include <string>
#include <vector>

#include "editor/Editor.h"

namespace ze {

struct TTemplateSettings {
  // 1 lower case, 2 upper case, 3 capitalised, 4 no templates; any other
  // value gives empty words.
  int ReserveType = 1;
  // 1 numbers from 1, 2 numbers from 0, other values no lists.
  int NumberType = 1;
  // 0 to 10, the separator after each number; other values none.
  int SeparateType = 0;
  // Word wrap: no templates and no lists.
  bool WrapFlag = false;
};

// The separator of a SeparateType ("" for values outside 0..10).
std::string ListSeparator(int separateType);
// A template word in a letter case ("begin" in ReserveType 3: "Begin").
std::string TemplateWord(const std::string& lower, int reserveType);

// Handles Ctrl+Shift+letter and Ctrl+Shift+digit. True when the key was
// one of the template or list keys the settings switch on: the editor must
// then not handle it. Indentation uses the editor's own tab width.
bool TemplateKeyDown(TEditor* e, int key, TShiftState shift, const TTemplateSettings& s);

} // namespace ze
