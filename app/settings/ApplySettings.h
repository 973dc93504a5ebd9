#pragma once
// Moving settings between the in-memory settings and the main window's
// editor property store EditorProp1.

#include <string>

#include "app/settings/Settings.h"
#include "app/settings/SettingsFiles.h"
#include "editorprop/EditorProp.h"

namespace ze {

// The values EditorProp1 holds before the settings files are applied:
// caret options and cursors, font pitch, hit style, image bar, line-number
// column, marks, ruler, speed, view and wrap options.
void InitEditorProp1(TEditorProp& p);

// A token's font styles, and the colour item of the editor colours that
// a token of the settings sets.
TFontStyles TokenStyles(const TTokenSetting& t);
TFountainColor* TokenColor(TEditorColors& c, TSettingsToken t);
// Brackets are shown in the Comment token's colours and style.
void ColourBrackets(TEditorBracketCollection& brackets, const TTokenSetting& comment);

// Applies the settings as start-up does: font name (chosen from the font
// list by the caller) and size, the token styles and colours, margins,
// tab and wrap widths, the line-number column (width 3, margins 2 and 2),
// background, marks and their visibility, line numbers, ruler, image bar
// hidden, word wrap, indent and free-caret flags; then URLs and mail
// coloured, row selection off, the bracket pair "{" "}" and the line
// comment "//" (when CommentOut/Row is on) in the Comment colours and
// style, and "'" as quotation.
void ApplySettings(const TSettings& s, const std::string& fontName, TEditorProp& p);

// Takes the line-number, ruler and line-cursor visibility from a store
// that was copied from the active editor, as the close does.
void TakeViewFlags(TSettings& s, const TEditorProp& p);

// Replaces list with the lines of the reserved-word file (Shift-JIS, one
// word per line). A missing or unreadable file leaves the list empty and
// returns false with the reason in problem.
bool LoadReserveWords(TStrings& list, const std::string& path, std::string* problem = nullptr);

// Start-up in one call: the settings of loc (shipped defaults first),
// the window placed on one of screens, the font chosen from fonts (the
// font bar's list; the chosen index is stored back into the settings),
// and p filled: InitEditorProp1, ApplySettings and the reserved words.
// Never raises for what it reads; problems collects what was skipped.
TSettings LoadStartupSettings(const TSettingsLocation& loc, const std::vector<std::string>& fonts,
                              const std::vector<TScreenRect>& screens, TEditorProp& p,
                              std::vector<std::string>* problems = nullptr);

} // namespace ze
